// Reading one value of an INI file the way the profile functions of the
// original platform do: section and key names compare without regard to
// case, the value is trimmed and loses one pair of surrounding quotes.
#ifndef TOLKARA_INI_FILE_H
#define TOLKARA_INI_FILE_H

#include <optional>
#include <string>
#include <string_view>

namespace tolkara {

// The value of `key` in `section` of the INI text; empty when absent.
std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

// Reads the file at `path`; empty when the file or the key is absent.
std::optional<std::string> readIniValue(const std::string &path, std::string_view section,
                                        std::string_view key);

}  // namespace tolkara

#endif
