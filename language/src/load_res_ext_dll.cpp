// LoadResExtDLL: finds and loads the language library of a program.
#include "tolkara/tolkara.h"

#include "c_boundary.h"
#include "data_module.h"
#include "language_code.h"
#include "language_library.h"
#include "module_file.h"

#include <dlfcn.h>

namespace {

TolkaraModule loadResExtDll(TolkaraModule module, int dataFile) {
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
  // A damaged file would bring the loader down (a truncated library ends in
  // SIGBUS inside dlopen): it counts as missing.
  if (!tolkara::isSoundLibraryFile(*path))
    return nullptr;
  return dlopen(path->c_str(), RTLD_NOW | RTLD_LOCAL);
}

}  // namespace

extern "C" TolkaraModule LoadResExtDLL(TolkaraModule module, int dataFile) {
  return tolkara::guarded<TolkaraModule>(nullptr, [&] { return loadResExtDll(module, dataFile); });
}
