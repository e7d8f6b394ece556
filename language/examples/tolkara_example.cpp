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

  // The texts are format strings of the program's own tables.
  std::printf(loadString(2).c_str(), "Tolkara");
  std::printf("\n");
  std::printf(loadString(3).c_str(), 2, 1);
  std::printf("\n");
  std::string englishOnly = loadString(4);
  std::printf("%s\n\n", englishOnly.c_str());
  return 0;
}
