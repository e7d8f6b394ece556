// LoadResExtDLL in ordinary and data-file mode.
#include "process_test_fixture.h"

#include <dlfcn.h>

#include <fstream>

using Lines = std::vector<std::string>;

class LoadResExtDll : public TolkaraProcess {
protected:
  std::string marker() const { return path("constructor-ran"); }
  std::vector<std::string> markerEnvironment() const { return {"TOLKARA_TEST_MARKER=" + marker()}; }
};

TEST_F(LoadResExtDll, MissingLibraryGivesNull) {
  writeIni("[Program]\nDefLang=de\n");
  EXPECT_EQ(probe({"resext", "0", "resext", "1"}), (Lines{"resext null", "resext null"}));
}

TEST_F(LoadResExtDll, ADirectoryOfThatNameGivesNull) {
  writeIni("[Program]\nDefLang=de\n");
  std::filesystem::create_directory(path("tolkara-probede.so"));
  EXPECT_EQ(probe({"resext", "0", "resext", "1"}), (Lines{"resext null", "resext null"}));
}

TEST_F(LoadResExtDll, OrdinaryHandleReadsItsTable) {
  writeIni("[Program]\nDefLang=de\n");
  install("tolkara-probede.so");
  EXPECT_EQ(probe({"resext", "0", "tlstr", "1", "0", "tlstr", "1", "1031", "tlstr", "1", "1033"}),
            (Lines{"resext " + path("tolkara-probede.so"), "tlstr 6 de:one", "tlstr 6 de:one",
                   "tlstr 0 "}));
}

TEST_F(LoadResExtDll, DataFileModeReadsStringsAndRunsNoCode) {
  writeIni("[Program]\nDefLang=mk\n");
  install("tolkara-probemk.so");
  EXPECT_EQ(
      probe({"resext", "1", "tlstr", "1", "0", "tlstr", "2", "1033", "free"}, markerEnvironment()),
      (Lines{"resext data", "tlstr 6 mk:one", "tlstr 12 mk:two \xC3\xA9t\xC3\xA9"}));
  EXPECT_FALSE(std::filesystem::exists(marker()));
}

TEST_F(LoadResExtDll, OrdinaryModeRunsTheConstructorThatDataFileModeSkips) {
  // Shows that the marker library would leave its marker when loaded.
  writeIni("[Program]\nDefLang=mk\n");
  install("tolkara-probemk.so");
  EXPECT_EQ(probe({"resext", "0", "tlstr", "1", "0"}, markerEnvironment()),
            (Lines{"resext " + path("tolkara-probemk.so"), "tlstr 6 mk:one"}));
  EXPECT_TRUE(std::filesystem::exists(marker()));
}

TEST_F(LoadResExtDll, CorruptFileGivesNullInBothModes) {
  writeIni("[Program]\nDefLang=de\n");
  std::ofstream(path("tolkara-probede.so")) << "\x7f"
                                               "ELF but not really";
  EXPECT_EQ(probe({"resext", "1", "resext", "0"}), (Lines{"resext null", "resext null"}));
}

TEST_F(LoadResExtDll, DataFileWithoutTableGivesAHandleThatFindsNothing) {
  writeIni("[Program]\nDefLang=de\n");
  std::filesystem::copy_file(TOLKARA_LIBRARY, path("tolkara-probede.so"));
  EXPECT_EQ(probe({"resext", "1", "tlstr", "1", "0"}), (Lines{"resext data", "tlstr 0 "}));
}

TEST_F(LoadResExtDll, TolkaraUnloadsRightAfterTheCallAndTheHandleStaysValid) {
  // How a program takes its language library: load Tolkara, call, free it.
  writeIni("[Program]\nDefLang=de\n");
  void *tolkara = dlopen(path("libtolkara.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(tolkara, nullptr) << dlerror();
  using LoadResExtDllFunction = void *(*)(void *, int);
  auto loadResExtDll = reinterpret_cast<LoadResExtDllFunction>(dlsym(tolkara, "LoadResExtDLL"));
  ASSERT_NE(loadResExtDll, nullptr);
  // The language library of this test program, built from the probe's German table.
  install("tolkara-probede.so", "tolkara_process_testsde.so");
  void *language = loadResExtDll(nullptr, 0);
  dlclose(tolkara);
  EXPECT_EQ(dlopen(path("libtolkara.so").c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
  ASSERT_NE(language, nullptr);
  EXPECT_NE(dlsym(language, "tolkara_string_table"), nullptr);
  dlclose(language);
}
