#include "string_file.h"

#include "string_table_format.h"

#include <cctype>
#include <sstream>

namespace tolkara::tools {

namespace {

constexpr std::uint32_t kMaxId = (format::kMaxBlockNumber - 1) * format::kStringsPerBlock + 15;
constexpr std::size_t kMaxUnits = 0xFFFF;

struct Fault {
  std::string reason;
};

void appendCodePoint(std::u16string &out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    throw Fault{"invalid code point"};
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

// Decodes one UTF-8 character at `at`, rejecting overlong and bad forms.
char32_t decodeUtf8(std::string_view text, std::size_t &at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at++);
  if (lead < 0x80)
    return lead;
  int extra = lead >= 0xC2 && lead <= 0xDF   ? 1
              : lead >= 0xE0 && lead <= 0xEF ? 2
              : lead >= 0xF0 && lead <= 0xF4 ? 3
                                             : -1;
  if (extra < 0 || text.size() - at < static_cast<std::size_t>(extra))
    throw Fault{"invalid UTF-8"};
  char32_t cp = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    if ((byte(at) & 0xC0) != 0x80)
      throw Fault{"invalid UTF-8"};
    cp = (cp << 6) | (byte(at++) & 0x3F);
  }
  static const char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra])
    throw Fault{"invalid UTF-8"};
  return cp;
}

unsigned hexValue(char c) {
  return std::isdigit(static_cast<unsigned char>(c))
             ? c - '0'
             : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// Reads up to `maxDigits` digits of base 8 or 16 at `at`; at least one.
std::uint32_t readNumberEscape(std::string_view text, std::size_t &at, int base,
                               std::size_t maxDigits) {
  std::uint32_t value = 0;
  std::size_t digits = 0;
  for (; digits < maxDigits && at < text.size(); ++digits, ++at) {
    char c = text[at];
    bool ok =
        base == 8 ? (c >= '0' && c <= '7') : std::isxdigit(static_cast<unsigned char>(c)) != 0;
    if (!ok)
      break;
    value = value * base + hexValue(c);
  }
  if (digits == 0)
    throw Fault{"escape without digits"};
  return value;
}

// One escape after a backslash; \ooo and \xHHHH give a UTF-16 code unit,
// \uXXXX and \UXXXXXXXX a code point.
void readEscape(std::string_view text, std::size_t &at, std::u16string &out) {
  if (at >= text.size())
    throw Fault{"unterminated string"};
  char c = text[at++];
  static const std::string_view kSimple = "abfnrtv\\'\"?";
  static const char16_t kSimpleValues[] = {7, 8, 12, 10, 13, 9, 11, '\\', '\'', '"', '?'};
  if (std::size_t i = kSimple.find(c); i != std::string_view::npos) {
    out += kSimpleValues[i];
  } else if (c >= '0' && c <= '7') {
    --at;
    out += static_cast<char16_t>(readNumberEscape(text, at, 8, 3));
  } else if (c == 'x') {
    out += static_cast<char16_t>(readNumberEscape(text, at, 16, 4));
  } else if (c == 'u' || c == 'U') {
    std::size_t digits = c == 'u' ? 4 : 8;
    std::size_t start = at;
    char32_t cp = readNumberEscape(text, at, 16, digits);
    if (at - start != digits)
      throw Fault{"\\u needs 4 and \\U 8 hex digits"};
    appendCodePoint(out, cp);
  } else {
    throw Fault{std::string("unknown escape \\") + c};
  }
}

// The quoted text starting at `at`; nothing but blanks may follow it.
std::u16string readQuoted(std::string_view line, std::size_t at) {
  if (at >= line.size() || line[at] != '"')
    throw Fault{"expected a quoted text"};
  std::u16string out;
  for (++at;;) {
    if (at >= line.size())
      throw Fault{"unterminated string"};
    char c = line[at];
    if (c == '"')
      break;
    if (c == '\\') {
      readEscape(line, ++at, out);
    } else {
      appendCodePoint(out, decodeUtf8(line, at));
    }
  }
  if (line.find_first_not_of(" \t\r", at + 1) != std::string_view::npos)
    throw Fault{"text after the closing quote"};
  if (out.size() > kMaxUnits)
    throw Fault{"string longer than 65535 UTF-16 units"};
  return out;
}

// A decimal (or with `allowHex`, 0x hexadecimal) number at the start of
// `line`; `end` receives the index after it.
std::uint64_t readNumber(std::string_view line, std::size_t &end, bool allowHex) {
  int base = allowHex && line.substr(0, 2) == "0x" ? 16 : 10;
  std::size_t at = base == 16 ? 2 : 0;
  std::uint64_t value = 0;
  std::size_t start = at;
  for (; at < line.size() && std::isxdigit(static_cast<unsigned char>(line[at])); ++at) {
    if (base == 10 && !std::isdigit(static_cast<unsigned char>(line[at])))
      break;
    value = value * base + hexValue(line[at]);
    if (value > 0xFFFFFFFFu)
      throw Fault{"number too large"};
  }
  if (at == start)
    throw Fault{"expected a number"};
  end = at;
  return value;
}

std::string_view trimmed(std::string_view line) {
  std::size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos)
    return {};
  return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

std::uint16_t readLanguage(std::string_view line) {
  std::size_t end = 0;
  std::uint64_t language = readNumber(line, end, true);
  if (end != line.size())
    throw Fault{"a language line holds only the identifier"};
  if (language > 0xFFFF)
    throw Fault{"language identifier above 0xFFFF"};
  return static_cast<std::uint16_t>(language);
}

void readString(std::string_view line, std::map<std::uint32_t, std::u16string> &strings) {
  std::size_t end = 0;
  std::uint64_t id = readNumber(line, end, false);
  if (id > kMaxId)
    throw Fault{"string id above " + std::to_string(kMaxId)};
  if (end >= line.size() || (line[end] != ' ' && line[end] != '\t'))
    throw Fault{"expected blanks after the id"};
  std::u16string text = readQuoted(line, line.find_first_not_of(" \t", end));
  if (!strings.emplace(static_cast<std::uint32_t>(id), std::move(text)).second)
    throw Fault{"string id " + std::to_string(id) + " given twice"};
}

}  // namespace

void parseStringFile(std::string_view text, const std::string &fileName,
                     StringTableContents &table) {
  std::istringstream lines{std::string(text)};
  std::map<std::uint32_t, std::u16string> *strings = nullptr;
  int lineNumber = 0;
  try {
    for (std::string raw; std::getline(lines, raw);) {
      ++lineNumber;
      std::string_view line = trimmed(raw);
      if (line.empty() || line.front() == '#')
        continue;
      if (strings == nullptr)
        strings = &table[readLanguage(line)];
      else
        readString(line, *strings);
    }
    ++lineNumber;
    if (strings == nullptr)
      throw Fault{"no language identifier"};
  } catch (const Fault &fault) {
    throw StringFileError(fileName + ":" + std::to_string(lineNumber) + ": " + fault.reason);
  }
}

}  // namespace tolkara::tools
