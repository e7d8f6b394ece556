// Modules that the process has already loaded, and the string tables they
// carry under their exported symbol.
#ifndef TOLKARA_LOADED_MODULE_H
#define TOLKARA_LOADED_MODULE_H

#include "module_table.h"
#include "string_source.h"

#include <memory>
#include <string>

namespace tolkara {

// A reference to an already loaded module, found by file name, held while
// this object lives.
class LoadedModule {
public:
  // `name` null: the main program. A name with a "/" is compared as a path,
  // else with the file names of the loaded modules. Null when no loaded
  // module has that name.
  static std::unique_ptr<LoadedModule> find(const char *name);

  LoadedModule(void *handle, std::string fileName)
      : handle_(handle), fileName_(std::move(fileName)) {}
  ~LoadedModule();
  LoadedModule(const LoadedModule &) = delete;
  LoadedModule &operator=(const LoadedModule &) = delete;

  const std::string &fileName() const { return fileName_; }
  StringSource source() const { return {fileName_, tableOfLoadedModule(handle_)}; }

private:
  void *handle_;
  std::string fileName_;
};

}  // namespace tolkara

#endif
