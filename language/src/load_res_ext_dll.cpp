// LoadResExtDLL: finds and loads the language library of a program.
#include "tolkara/tolkara.h"

#include "data_module.h"
#include "language_code.h"
#include "module_file.h"

#include <dlfcn.h>

extern "C" TolkaraModule LoadResExtDLL(TolkaraModule module, int dataFile) {
  static tolkara::LanguageCodeCache languageCode;
  const std::string &code = languageCode.code();
  // A data-file handle names no program of ours; and dlinfo on it would
  // read a record that is not a link map.
  if (tolkara::isDataModule(module))
    return nullptr;
  std::optional<std::string> moduleFile = tolkara::moduleFileName(module);
  if (!moduleFile)
    return nullptr;
  std::optional<std::string> path = tolkara::languageLibraryPathFor(*moduleFile, code);
  if (!path || !tolkara::isPresentFile(*path))
    return nullptr;
  if (dataFile != 0)
    return tolkara::openDataModule(*path);
  return dlopen(path->c_str(), RTLD_NOW | RTLD_LOCAL);
}
