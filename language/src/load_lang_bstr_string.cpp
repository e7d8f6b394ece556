// LoadLangBSTRString: a string as BSTR in a chosen language, with the same
// fallbacks and "Error" boxes as LoadLangString.
#include "tolkara/tolkara.h"

#include "c_boundary.h"
#include "language_code.h"
#include "language_library.h"
#include "loaded_module.h"
#include "message_box.h"
#include "missing_string_message.h"
#include "module_file.h"
#include "string_table_format.h"
#include "text_convert.h"

namespace {

using tolkara::LookupResult;
using tolkara::LookupStatus;

constexpr std::size_t kMaxUnits = 255;

VARIANT bstrVariant(std::u16string_view text) {
  std::size_t length = tolkara::utf16CutLength(text, kMaxUnits);
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = TolkaraSysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.data()),
                                           static_cast<unsigned int>(length));
  return value;
}

// Where to look and in which language first.
struct Choice {
  std::optional<tolkara::StringSource> library;  // empty: the main module
  std::uint16_t language;
};

Choice chooseSource(const tolkara::LoadedModule &main, const std::string &code, int language) {
  if (language != 0)
    return {std::nullopt, static_cast<std::uint16_t>(language & 0xFFFF)};
  std::uint16_t languageId = tolkara::languageIdOf(code);
  std::optional<std::string> path = tolkara::languageLibraryPathFor(main.fileName(), code);
  if (!path)
    return {std::nullopt, languageId};
  std::optional<tolkara::StringSource> library = tolkara::languageLibrarySource(*path);
  if (!library)
    return {std::nullopt, tolkara::format::kEnglishUs};
  return {std::move(library), languageId};
}

LookupResult lookupInSource(const tolkara::StringSource &source, unsigned int id,
                            std::uint16_t language) {
  for (std::optional<std::uint16_t> tried :
       {std::optional<std::uint16_t>(language),
        std::optional<std::uint16_t>(tolkara::format::kEnglishUs),
        std::optional<std::uint16_t>()}) {
    LookupResult found = source.lookup(id, tried);
    if (found.status == LookupStatus::Found)
      return found;
  }
  return {};
}

}  // namespace

namespace {

VARIANT loadLangBstrString(const char *moduleName, unsigned int id, int language) {
  static tolkara::LanguageCodeCache languageCode;
  const std::string &code = languageCode.code();
  std::unique_ptr<tolkara::LoadedModule> main = tolkara::LoadedModule::find(moduleName);
  if (!main)
    return bstrVariant(u"");
  tolkara::StringSource mainSource = main->source();
  Choice choice = chooseSource(*main, code, language);
  const tolkara::StringSource &source = choice.library ? *choice.library : mainSource;

  LookupResult found = lookupInSource(source, id, choice.language);
  if (found.status == LookupStatus::Found)
    return bstrVariant(found.text);
  std::string message = tolkara::missingInModuleMessage(id, source.fileName);
  LookupResult fromMain = mainSource.lookup(id, std::nullopt);
  if (fromMain.status == LookupStatus::Found) {
    tolkara::showErrorBox(message);
    return bstrVariant(fromMain.text);
  }
  message = tolkara::missingEverywhereMessage(message, id, main->fileName());
  tolkara::showErrorBox(tolkara::withSystemError(message, fromMain.status));
  return bstrVariant(u"");
}

}  // namespace

extern "C" VARIANT LoadLangBSTRString(const char *moduleName, unsigned int id, int language) {
  VARIANT empty;
  TolkaraVariantInit(&empty);
  return tolkara::guarded(empty, [&] { return loadLangBstrString(moduleName, id, language); });
}
