// The fallbacks and "Error" boxes of LoadLangString and LoadLangBSTRString.
// Ids of the probe's tables: 1 everywhere, 2 only in the main program, 3
// nowhere, 4 in the main program as 1031 and 1033, 6 empty in the main
// program, 7 empty in the German library, 5000 in no block of any table.
#include "process_test_fixture.h"

using Lines = std::vector<std::string>;

class LoadLangStringFallback : public TolkaraProcess {
protected:
  void SetUp() override {
    TolkaraProcess::SetUp();
    writeIni("[Program]\nDefLang=de\n");
  }
  std::string german() const { return path("tolkara-probede.so"); }
  Lines str(const std::string &id, const std::string &mode = "0", const std::string &size = "64") {
    return probe({"str", "-", id, mode, size});
  }
};

TEST_F(LoadLangStringFallback, FoundInTheLanguageLibraryWithoutMessage) {
  install("tolkara-probede.so");
  EXPECT_EQ(str("1"), Lines{"str 6 de:one"});
}

TEST_F(LoadLangStringFallback, OnlyInTheMainProgramShowsOneBoxNamingTheLanguageLibrary) {
  install("tolkara-probede.so");
  EXPECT_EQ(str("2"), (Lines{"box Error|" + firstMessage(2, german()), "str 8 main:two"}));
  EXPECT_EQ(str("7"), (Lines{"box Error|" + firstMessage(7, german()), "str 10 main:seven"}));
}

TEST_F(LoadLangStringFallback, NowhereShowsTheCombinedBoxAndReturnsEmpty) {
  install("tolkara-probede.so");
  EXPECT_EQ(str("3"), (Lines{"box Error|" + bothMessages(3, german(), probeFile()), "str 0 "}));
  EXPECT_EQ(str("6"), (Lines{"box Error|" + bothMessages(6, german(), probeFile()), "str 0 "}));
}

TEST_F(LoadLangStringFallback, NonZeroLowModeBitsReadTheMainProgram) {
  install("tolkara-probede.so");
  EXPECT_EQ(probe({"str", "-", "1", "1", "64", "str", "-", "1", "0x10000", "64"}),
            (Lines{"str 8 main:one", "str 6 de:one"}));
}

TEST_F(LoadLangStringFallback, WithoutLanguageLibraryTheMainProgramIsTheSource) {
  EXPECT_EQ(probe({"str", "-", "2", "0", "64", "str", "-", "3", "0", "64"}),
            (Lines{"str 8 main:two", "box Error|" + bothMessages(3, probeFile(), probeFile()),
                   "str 0 "}));
}

TEST_F(LoadLangStringFallback, BufferSizeCutsAndNullBufferWritesNothing) {
  install("tolkara-probede.so");
  EXPECT_EQ(
      probe({"str", "-", "2", "0", "5", "str", "-", "1", "0", "null", "str", "-", "1", "0", "0"}),
      (Lines{"box Error|" + firstMessage(2, german()), "str 4 main", "str 0 untouched",
             "str 0 untouched"}));
}

TEST_F(LoadLangStringFallback, NamedModuleUsesItsOwnLanguageLibrary) {
  install("libtkpluginde.so");
  std::string plugin = TOLKARA_PLUGIN;
  EXPECT_EQ(
      probe(
          {"load", plugin, "str", "libtkplugin.so", "1", "0", "64", "str", "libtkplugin.so",   "2",
           "0",    "64",   "str", plugin,           "1", "1", "64", "str", "libnot-loaded.so", "1",
           "0",    "64"}),
      (Lines{"load ok", "str 13 plugin-de:one",
             "box Error|" + firstMessage(2, path("libtkpluginde.so")), "str 10 plugin:two",
             "str 10 plugin:one", "str 0 "}));
}

TEST_F(LoadLangStringFallback, RepeatedLoadsKeepOneLibraryReference) {
  install("tolkara-probede.so");
  Lines lines = probe({"str", "-", "1", "0",  "64",   "str", "-", "2", "1",    "64",    "str",
                       "-",   "1", "0", "64", "bstr", "-",   "1", "0", "refs", german()});
  EXPECT_EQ(lines, (Lines{"str 6 de:one", "str 8 main:two", "str 6 de:one",
                          "bstr vt=8 len=6 last=0065 de:one", "refs 1"}));
}

class LoadLangBstrStringFallback : public LoadLangStringFallback {
protected:
  Lines bstr(const std::string &id, const std::string &language = "0") {
    return probe({"bstr", "-", id, language});
  }
};

TEST_F(LoadLangBstrStringFallback, FoundInTheLanguageLibraryWithoutMessage) {
  install("tolkara-probede.so");
  EXPECT_EQ(bstr("1"), Lines{"bstr vt=8 len=6 last=0065 de:one"});
  EXPECT_EQ(bstr("4"), Lines{"bstr vt=8 len=7 last=0072 de:four"});
}

TEST_F(LoadLangBstrStringFallback, OnlyInTheMainProgramShowsOneBoxNamingTheLanguageLibrary) {
  install("tolkara-probede.so");
  EXPECT_EQ(bstr("2"), (Lines{"box Error|" + firstMessage(2, german()),
                              "bstr vt=8 len=8 last=006F main:two"}));
}

TEST_F(LoadLangBstrStringFallback, NowhereShowsTheCombinedBoxAndReturnsAnEmptyBstr) {
  install("tolkara-probede.so");
  // Block 1 exists in the main program, so there is no system error text.
  EXPECT_EQ(bstr("3"), (Lines{"box Error|" + bothMessages(3, german(), probeFile()),
                              "bstr vt=8 len=0 last=0000 "}));
}

TEST_F(LoadLangBstrStringFallback, MissingBlockAddsTheSystemErrorText) {
  install("tolkara-probede.so");
  EXPECT_EQ(
      bstr("5000"),
      (Lines{"box Error|" + bothMessages(5000, german(), probeFile()) +
                 "\\n\\nSystem error: The string table of the module has no block for this string.",
             "bstr vt=8 len=0 last=0000 "}));
}

TEST_F(LoadLangBstrStringFallback, MissingLanguageLibraryReadsTheMainProgramIn1033First) {
  EXPECT_EQ(bstr("4"), Lines{"bstr vt=8 len=14 last=0072 main-1033:four"});
}

TEST_F(LoadLangBstrStringFallback, ExplicitLanguageReadsTheMainProgramInItsLow16Bits) {
  install("tolkara-probede.so");
  EXPECT_EQ(
      probe({"bstr", "-", "4", "1031", "bstr", "-", "4", "0x10407", "bstr", "-", "4", "1036"}),
      (Lines{"bstr vt=8 len=14 last=0072 main-1031:four",
             "bstr vt=8 len=14 last=0072 main-1031:four",
             "bstr vt=8 len=14 last=0072 main-1033:four"}));
}

TEST_F(LoadLangBstrStringFallback, LongStringsAreCutTo255UnitsWithoutSplittingAPair) {
  Lines lines = probe({"bstr", "-", "100", "1033", "bstr", "-", "101", "1033"});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 27), "bstr vt=8 len=255 last=DE00");
  EXPECT_EQ(lines[1].substr(0, 27), "bstr vt=8 len=254 last=DE00");
}
