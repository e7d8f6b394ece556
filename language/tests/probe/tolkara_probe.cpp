// A test program that drives a copy of libtolkara.so in its own process, so
// that each test has a fresh first-call state and its own INI file.
//
//   tolkara-probe <libtolkara.so> <command>...
//
// Commands (each prints one line; message boxes print "box <caption>|<text>"):
//   resext <flag>                  LoadResExtDLL(main program, flag)
//   tlstr <id> <language>          TolkaraLoadString on the last resext handle
//   free                           TolkaraFreeModule on the last resext handle
//   str <module|-> <id> <mode> <size|null>   LoadLangString
//   bstr <module|-> <id> <language>          LoadLangBSTRString
//   load <path>                    dlopen a library, to name it as module
//   ini <text>                     rewrite libtolkara.INI ("\n" for newlines)
//   refs <path>                    how many references keep a library loaded
//                                  (drops them all: use it last)
#include <tolkara/tolkara.h>

#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Tolkara {
  decltype(&LoadResExtDLL) loadResExtDll;
  decltype(&LoadLangString) loadLangString;
  decltype(&LoadLangBSTRString) loadLangBstrString;
  decltype(&TolkaraLoadString) loadString;
  decltype(&TolkaraFreeModule) freeModule;
  decltype(&TolkaraSetMessageHook) setMessageHook;
  decltype(&TolkaraVariantClear) variantClear;
};

template <typename Function> void bind(void *library, const char *name, Function &function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  if (function == nullptr) {
    std::fprintf(stderr, "missing export %s\n", name);
    std::exit(3);
  }
}

std::string escaped(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out;
}

void printBox(void *, const char *text, const char *caption) {
  std::printf("box %s|%s\n", caption, escaped(text).c_str());
}

std::string utf8Of(BSTR text, unsigned int length) {
  std::string out;
  for (unsigned int i = 0; i < length; ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < length)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string moduleFile(void *handle) {
  link_map *map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr)
    return "?";
  return map->l_name;
}

class Probe {
public:
  Probe(const Tolkara &tolkara, std::string iniPath) : tk_(tolkara), iniPath_(std::move(iniPath)) {}
  ~Probe() {
    tk_.freeModule(handle_);
    for (void *library : loaded_)
      dlclose(library);
  }

  // Runs the command at args[at]; returns the index after its arguments.
  std::size_t run(const std::vector<std::string> &args, std::size_t at) {
    const std::string &command = args.at(at);
    auto arg = [&](std::size_t i) -> const std::string & { return args.at(at + i); };
    auto module = [&](std::size_t i) { return arg(i) == "-" ? nullptr : arg(i).c_str(); };
    auto number = [&](std::size_t i) {
      return static_cast<int>(std::strtol(arg(i).c_str(), nullptr, 0));
    };
    if (command == "resext")
      return resext(number(1)), at + 2;
    if (command == "tlstr")
      return tlstr(number(1), number(2)), at + 3;
    if (command == "free")
      return tk_.freeModule(handle_), handle_ = nullptr, at + 1;
    if (command == "str")
      return str(module(1), number(2), number(3), arg(4)), at + 5;
    if (command == "bstr")
      return bstr(module(1), number(2), number(3)), at + 4;
    if (command == "load")
      return load(arg(1)), at + 2;
    if (command == "ini")
      return ini(arg(1)), at + 2;
    if (command == "refs")
      return refs(arg(1)), at + 2;
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    std::exit(2);
  }

private:
  void resext(int flag) {
    tk_.freeModule(handle_);
    handle_ = tk_.loadResExtDll(nullptr, flag);
    if (handle_ == nullptr)
      std::printf("resext null\n");
    else if (flag != 0)
      std::printf("resext data\n");
    else
      std::printf("resext %s\n", moduleFile(handle_).c_str());
  }
  void tlstr(int id, int language) {
    char buffer[512];
    int count = tk_.loadString(handle_, id, language, buffer, sizeof buffer);
    std::printf("tlstr %d %s\n", count, escaped(buffer).c_str());
  }
  void str(const char *module, int id, int mode, const std::string &size) {
    char buffer[512] = "untouched";
    bool null = size == "null";
    int count = tk_.loadLangString(module, id, mode, null ? nullptr : buffer,
                                   null ? 64 : std::atoi(size.c_str()));
    std::printf("str %d %s\n", count, escaped(buffer).c_str());
  }
  void bstr(const char *module, int id, int language) {
    VARIANT value = tk_.loadLangBstrString(module, id, language);
    unsigned int length = 0;
    if (value.bstrVal != nullptr)
      while (value.bstrVal[length] != 0)
        ++length;
    unsigned last = length > 0 ? value.bstrVal[length - 1] : 0;
    std::printf("bstr vt=%d len=%u last=%04X %s\n", value.vt, length, last,
                escaped(utf8Of(value.bstrVal, length)).c_str());
    tk_.variantClear(&value);
  }
  void load(const std::string &path) {
    void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library != nullptr)
      loaded_.push_back(library);
    std::printf("load %s\n", library != nullptr ? "ok" : "failed");
  }
  void ini(std::string text) {
    for (std::size_t at; (at = text.find("\\n")) != std::string::npos;)
      text.replace(at, 2, "\n");
    std::ofstream(iniPath_, std::ios::trunc) << text;
    std::printf("ini written\n");
  }

  void refs(const std::string &path) {
    int count = 0;
    // Each round adds one reference with RTLD_NOLOAD and drops two.
    for (void *library; (library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD)) != nullptr;
         ++count) {
      dlclose(library);
      dlclose(library);
    }
    std::printf("refs %d\n", count);
  }

  const Tolkara &tk_;
  std::string iniPath_;
  TolkaraModule handle_ = nullptr;
  std::vector<void *> loaded_;
};

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2)
    return 2;
  std::string library = argv[1];
  void *handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 3;
  }
  Tolkara tk{};
  bind(handle, "LoadResExtDLL", tk.loadResExtDll);
  bind(handle, "LoadLangString", tk.loadLangString);
  bind(handle, "LoadLangBSTRString", tk.loadLangBstrString);
  bind(handle, "TolkaraLoadString", tk.loadString);
  bind(handle, "TolkaraFreeModule", tk.freeModule);
  bind(handle, "TolkaraSetMessageHook", tk.setMessageHook);
  bind(handle, "TolkaraVariantClear", tk.variantClear);
  tk.setMessageHook(printBox, nullptr);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  {
    Probe probe(tk, library.substr(0, library.rfind('.')) + ".INI");
    std::vector<std::string> args(argv + 2, argv + argc);
    for (std::size_t at = 0; at < args.size();)
      at = probe.run(args, at);
  }
  dlclose(handle);
  return 0;
}
