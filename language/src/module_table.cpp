#include "module_table.h"

#include "string_table_format.h"

#include <dlfcn.h>
#include <link.h>

namespace tolkara {

ByteView tableOfLoadedModule(void *dlHandle) {
  dlerror();
  void *symbol = dlsym(dlHandle, format::kSymbolName);
  link_map *own = nullptr;
  if (symbol == nullptr || dlinfo(dlHandle, RTLD_DI_LINKMAP, &own) != 0)
    return {};
  Dl_info info{};
  void *holder = nullptr;
  void *entry = nullptr;
  if (dladdr1(symbol, &info, &holder, RTLD_DL_LINKMAP) == 0 || holder != own ||
      dladdr1(symbol, &info, &entry, RTLD_DL_SYMENT) == 0 || entry == nullptr)
    return {};
  std::size_t size = static_cast<const ElfW(Sym) *>(entry)->st_size;
  return {static_cast<const unsigned char *>(symbol), size};
}

}  // namespace tolkara
