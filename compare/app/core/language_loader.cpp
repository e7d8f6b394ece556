#include "language_loader.h"

#include <dlfcn.h>

void* CSystemLibraries::Open(const std::string& name)
{
    return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* CSystemLibraries::Symbol(void* library, const std::string& name)
{
    return ::dlsym(library, name.c_str());
}

void CSystemLibraries::Close(void* library)
{
    ::dlclose(library);
}

void* LoadLanguageLibrary(IDynamicLibraries& libraries, const std::string& tolkara)
{
    using LoadResExtDllFunction = void* (*)(void* module, int dataFile);
    void* library = libraries.Open(tolkara);
    if (!library)
        return nullptr;
    void* module = nullptr;
    if (void* symbol = libraries.Symbol(library, "LoadResExtDLL")) {
        // Null module: the running program; 0: load it as an ordinary library.
        module = reinterpret_cast<LoadResExtDllFunction>(symbol)(nullptr, 0);
    }
    libraries.Close(library);
    return module;
}
