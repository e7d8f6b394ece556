// LoadLangString: a string as UTF-8, from the language library of a module
// or from the module itself, with "Error" boxes when it is missing.
#include "tolkara/tolkara.h"

#include "c_boundary.h"
#include "language_code.h"
#include "language_library.h"
#include "loaded_module.h"
#include "message_box.h"
#include "missing_string_message.h"
#include "module_file.h"
#include "text_convert.h"

namespace {

using tolkara::LookupResult;
using tolkara::LookupStatus;

int store(const LookupResult &found, char *buffer, int bufferSize) {
  return tolkara::copyUtf8ToBuffer(tolkara::utf16ToUtf8(found.text), buffer, bufferSize);
}

std::optional<tolkara::StringSource> languageLibraryOf(const tolkara::LoadedModule &main,
                                                       const std::string &code) {
  std::optional<std::string> path = tolkara::languageLibraryPathFor(main.fileName(), code);
  if (!path)
    return std::nullopt;
  return tolkara::languageLibrarySource(*path);
}

}  // namespace

namespace {

int loadLangString(const char *moduleName, unsigned int id, int mode, char *buffer,
                   int bufferSize) {
  static tolkara::LanguageCodeCache languageCode;
  const std::string &code = languageCode.code();
  if (buffer == nullptr || bufferSize <= 0)
    return 0;
  buffer[0] = '\0';
  // A module that is not loaded has no strings to fall back on, and no one
  // to tell: no message.
  std::unique_ptr<tolkara::LoadedModule> main = tolkara::LoadedModule::find(moduleName);
  if (!main)
    return 0;
  tolkara::StringSource mainSource = main->source();
  std::optional<tolkara::StringSource> library;
  if ((mode & 0xFFFF) == 0)
    library = languageLibraryOf(*main, code);
  const tolkara::StringSource &source = library ? *library : mainSource;

  LookupResult found = source.lookup(id, std::nullopt);
  if (found.status == LookupStatus::Found)
    return store(found, buffer, bufferSize);
  std::string message = tolkara::missingInModuleMessage(id, source.fileName);
  LookupResult fromMain = mainSource.lookup(id, std::nullopt);
  if (fromMain.status == LookupStatus::Found) {
    tolkara::showErrorBox(message);
    return store(fromMain, buffer, bufferSize);
  }
  tolkara::showErrorBox(tolkara::missingEverywhereMessage(message, id, main->fileName()));
  return 0;
}

}  // namespace

extern "C" int LoadLangString(const char *moduleName, unsigned int id, int mode, char *buffer,
                              int bufferSize) {
  return tolkara::guarded(0,
                          [&] { return loadLangString(moduleName, id, mode, buffer, bufferSize); });
}
