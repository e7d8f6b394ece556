#include "ini_file.h"

#include <fstream>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>

namespace tolkara {

namespace {

std::string_view trim(std::string_view text) {
  const char *space = " \t\r\n";
  std::size_t first = text.find_first_not_of(space);
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

// Empty views may carry a null pointer, which strncasecmp must not see.
bool equalNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && (a.empty() || strncasecmp(a.data(), b.data(), a.size()) == 0);
}

std::string unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

// Returns the section name when `line` is a "[section]" header.
std::optional<std::string_view> sectionHeader(std::string_view line) {
  if (line.empty() || line.front() != '[')
    return std::nullopt;
  std::size_t close = line.find(']');
  if (close == std::string_view::npos)
    return std::nullopt;
  return trim(line.substr(1, close - 1));
}

}  // namespace

std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
  // Editors on other systems start UTF-8 files with a byte-order mark.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  bool inSection = false;
  std::istringstream lines{std::string(text)};
  for (std::string raw; std::getline(lines, raw);) {
    std::string_view line = trim(raw);
    if (line.empty() || line.front() == ';' || line.front() == '#')
      continue;
    if (auto name = sectionHeader(line)) {
      inSection = equalNoCase(*name, section);
      continue;
    }
    std::size_t equals = line.find('=');
    if (!inSection || equals == std::string_view::npos)
      continue;
    if (equalNoCase(trim(line.substr(0, equals)), key))
      return unquote(trim(line.substr(equals + 1)));
  }
  return std::nullopt;
}

std::optional<std::string> readIniValue(const std::string &path, std::string_view section,
                                        std::string_view key) {
  // Only a regular file counts: a directory, a FIFO or a device named like
  // the INI file is as good as none (and must not block or throw).
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad())
    return std::nullopt;
  return iniValue(text.str(), section, key);
}

}  // namespace tolkara
