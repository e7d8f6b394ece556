// The language code of the INI file beside libtolkara.so.
#ifndef TOLKARA_LANGUAGE_CODE_H
#define TOLKARA_LANGUAGE_CODE_H

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace tolkara {

// The INI file of a library file name: the name cut at the last "." of its
// file name, plus ".INI". Empty when the file name has no ".".
std::optional<std::string> iniPathFor(const std::string &libraryFileName);

// The code for a "DefLang" value (empty: key or file absent). The value is
// cut to 3 bytes; "NUL" in any case gives "en". Because the code becomes part
// of a library path that is loaded as code, a value with anything but
// letters, digits, "_" and "-" also gives "en".
std::string languageCodeFromValue(const std::optional<std::string> &value);

// Reads the code from the INI file of libtolkara.so.
std::string readLanguageCode();

// The numeric language identifier of a code; case-sensitive, 1033 for
// anything not in the table.
std::uint16_t languageIdOf(const std::string &code);

// One export's cached code: the INI file is read on the first call and never
// again in the life of the process.
class LanguageCodeCache {
public:
  const std::string &code();

private:
  std::once_flag once_;
  std::string code_;
};

}  // namespace tolkara

#endif
