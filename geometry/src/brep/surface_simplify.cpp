// Binding of the mesh-simplification adapter library.
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <mutex>
#include <string>

#include "tessaly/surface.h"

QSLIMCommandsBase::~QSLIMCommandsBase() = default;

double QSLIMCommandsBase::GetMaxRelativeError()
{
    return 1.0;
}

bool QSLIMCommandsBase::Progress(double)
{
    return true;
}

namespace {
const char* kAdapterFile = "libSimplexa.so";

struct Search {
    const char* fileName;
    std::string path;
};

int MatchLoaded(dl_phdr_info* info, std::size_t, void* data)
{
    auto* search = static_cast<Search*>(data);
    const char* name = info->dlpi_name;
    if (!name || !*name)
        return 0;
    const char* slash = std::strrchr(name, '/');
    if (std::strcmp(slash ? slash + 1 : name, search->fileName) != 0)
        return 0;
    search->path = name;
    return 1;
}

// Full file name of an already loaded module, or empty.
std::string LoadedPath(const char* fileName)
{
    Search search{fileName, ""};
    dl_iterate_phdr(MatchLoaded, &search);
    return search.path;
}

std::string DirectoryOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void KernelAnchor() {}

// The directory of the module that holds the kernel (libtessaly.so).
std::string KernelDirectory()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&KernelAnchor), &info) || !info.dli_fname)
        return "";
    return DirectoryOf(info.dli_fname);
}

QSlimSimplifierAdapterFunc TryBind(const std::string& path)
{
    if (path.empty())
        return nullptr;
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    void* symbol = dlsym(library, "QSlimSimplifierAdapter");
    if (!symbol) {
        dlclose(library);
        return nullptr;
    }
    // The library stays loaded for the life of the process.
    QSlimSimplifierAdapterFunc adapter;
    static_assert(sizeof(adapter) == sizeof(symbol), "function and object pointers of one size");
    std::memcpy(&adapter, &symbol, sizeof(symbol));
    return adapter;
}

QSlimSimplifierAdapterFunc Bind()
{
    std::string ferrox = LoadedPath("libFerrox16.so");
    const std::string candidates[] = {
        LoadedPath(kAdapterFile),
        ferrox.empty() ? std::string() : DirectoryOf(ferrox) + kAdapterFile,
        KernelDirectory().empty() ? std::string() : KernelDirectory() + kAdapterFile,
        kAdapterFile,
    };
    for (const std::string& path : candidates)
        if (QSlimSimplifierAdapterFunc adapter = TryBind(path))
            return adapter;
    return nullptr;
}
} // namespace

QSlimSimplifierAdapterFunc G3Surface::GetSimplifierAdapter()
{
    static std::once_flag once;
    static QSlimSimplifierAdapterFunc adapter = nullptr;
    std::call_once(once, [] { adapter = Bind(); });
    return adapter;
}

G3Surface* G3Surface::QSlimSimplifierInternal(G3Surface* s, QSLIM_TYPE type, QSLIM_RES& result, int count, double ratio,
                                              QSLIM_DESIREDTRISETTYPE desired, CHECK_LEVEL level,
                                              QSLIMCommandsBase* commands)
{
    result = QSLIM_RES();
    QSlimSimplifierAdapterFunc adapter = GetSimplifierAdapter();
    if (!adapter) {
        result.status = QSLIM_NO_ADAPTER;
        return nullptr;
    }
    if (!s) {
        result.status = QSLIM_BAD_INPUT;
        return nullptr;
    }
    return adapter(s, type, result, count, ratio, desired, level, commands);
}

G3Surface* G3Surface::QSlimSimplifier(G3Surface* s, CHECK_LEVEL level, int count, QSLIM_TYPE type, QSLIM_RES& result,
                                      QSLIMCommandsBase* commands)
{
    return QSlimSimplifierInternal(s, type, result, count, 0.0, QSLIM_DESIRED_COUNT, level, commands);
}

G3Surface* G3Surface::QSlimSimplifier(G3Surface* s, CHECK_LEVEL level, double ratio, QSLIM_TYPE type, QSLIM_RES& result,
                                      QSLIMCommandsBase* commands)
{
    return QSlimSimplifierInternal(s, type, result, -1, ratio, QSLIM_DESIRED_RATIO, level, commands);
}
