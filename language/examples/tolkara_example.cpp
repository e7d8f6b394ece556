// Loads the language library chosen in libtolkara.INI and prints a few
// strings in that language. A string the language library lacks comes from
// the built-in English table, and Tolkara reports it through the hook.
#include <tolkara/tolkara.h>

#include <cstdio>
#include <string>

namespace {

void printMessageBox(void *, const char *text, const char *caption) {
  std::printf("[message box \"%s\"]\n%s\n[end of message box]\n", caption, text);
}

std::string loadString(unsigned int id) {
  char buffer[256];
  LoadLangString(nullptr, id, 0, buffer, sizeof buffer);
  return buffer;
}

// The conversions of a format text in order ("sd" for "%s ... %d"); "%%"
// is no conversion. Anything else (flags, widths, other letters) gives "?".
std::string conversionsOf(const std::string &format) {
  std::string found;
  for (std::size_t k = 0; k < format.size(); ++k) {
    if (format[k] != '%')
      continue;
    const char next = k + 1 < format.size() ? format[k + 1] : '\0';
    if (next == '%') {
      ++k;
      continue;
    }
    found += next == 's' || next == 'd' ? next : '?';
    ++k;
  }
  return found;
}

// A translated text is a format only when its conversions are exactly the
// ones the program passes arguments for; otherwise it is printed as it is,
// so that a translation with a stray "%s" cannot read the stack.
template <typename... Args>
void printTranslated(const std::string &text, const char *expected, Args... args) {
  if (conversionsOf(text) == expected)
    std::printf(text.c_str(), args...);
  else
    std::printf("%s", text.c_str());
}

}  // namespace

int main() {
  TolkaraSetMessageHook(printMessageBox, nullptr);

  TolkaraModule language = LoadResExtDLL(nullptr, 0);
  char name[64];
  if (language != nullptr && TolkaraLoadString(language, 1, 0, name, sizeof name) > 0)
    std::printf("Language library: %s\n", name);
  else
    std::printf("No language library; using the built-in strings.\n");
  TolkaraFreeModule(language);

  // The texts are format strings of the program's own tables, checked
  // before they are used as such.
  printTranslated(loadString(2), "s", "Tolkara");
  std::printf("\n");
  printTranslated(loadString(3), "dd", 2, 1);
  std::printf("\n");
  std::string englishOnly = loadString(4);
  std::printf("%s\n\n", englishOnly.c_str());
  return 0;
}
