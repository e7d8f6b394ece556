#include "language_code.h"

#include "ini_file.h"
#include "module_file.h"

#include <strings.h>

namespace tolkara {

namespace {

constexpr std::size_t kMaxCodeLength = 3;  // a 4-byte buffer with terminator
const char *const kDefaultCode = "en";

// ASCII only: std::isalnum would follow the host program's locale, where a
// Latin-1 byte may count as a letter.
bool isSafeCode(const std::string &code) {
  for (char c : code) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    bool digit = c >= '0' && c <= '9';
    if (!letter && !digit && c != '_' && c != '-')
      return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> iniPathFor(const std::string &libraryFileName) {
  std::size_t slash = libraryFileName.rfind('/');
  std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = libraryFileName.rfind('.');
  if (dot == std::string::npos || dot < nameStart)
    return std::nullopt;
  return libraryFileName.substr(0, dot) + ".INI";
}

std::string languageCodeFromValue(const std::optional<std::string> &value) {
  std::string code = value.value_or("NUL").substr(0, kMaxCodeLength);
  if (strcasecmp(code.c_str(), "NUL") == 0 || !isSafeCode(code))
    return kDefaultCode;
  return code;
}

std::string readLanguageCode() {
  std::optional<std::string> own = tolkaraFileName();
  if (!own)
    return kDefaultCode;
  std::optional<std::string> ini = iniPathFor(*own);
  if (!ini)
    return kDefaultCode;
  return languageCodeFromValue(readIniValue(*ini, "Program", "DefLang"));
}

std::uint16_t languageIdOf(const std::string &code) {
  struct Row {
    const char *code;
    std::uint16_t id;
  };
  static const Row kTable[] = {{"de", 1031}, {"fr", 1036}, {"ja", 1041}, {"it", 1040},
                               {"cz", 1029}, {"zh", 2052}, {"ru", 1049}, {"pt", 1046}};
  for (const Row &row : kTable)
    if (code == row.code)
      return row.id;
  return 1033;
}

const std::string &LanguageCodeCache::code() {
  std::call_once(once_, [this] { code_ = readLanguageCode(); });
  return code_;
}

}  // namespace tolkara
