#include "language_library.h"

#include "elf_section.h"
#include "loaded_module.h"
#include "module_file.h"
#include "string_table_format.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace tolkara {

void *openLanguageLibrary(const std::string &path) {
  static std::mutex mutex;
  // The map is freed when libtolkara.so goes; the libraries stay loaded on
  // purpose, strings already handed out never point into them anyway.
  static std::map<std::string, void *> opened;
  std::lock_guard<std::mutex> lock(mutex);
  auto known = opened.find(path);
  if (known != opened.end())
    return known->second;
  if (!isSoundLibraryFile(path))
    return nullptr;
  void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle != nullptr)
    opened.emplace(path, handle);
  return handle;
}

bool isSoundLibraryFile(const std::string &path) {
  return readElfSection(path, format::kSectionName).status != ElfSectionStatus::BadFile;
}

std::optional<StringSource> languageLibrarySource(const std::string &path) {
  if (!isPresentFile(path))
    return std::nullopt;
  void *handle = openLanguageLibrary(path);
  if (handle == nullptr)
    return std::nullopt;
  return StringSource(path, tableOfLoadedModule(handle));
}

}  // namespace tolkara
