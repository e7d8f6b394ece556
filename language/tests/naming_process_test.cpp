// Naming and the INI file, each case in a fresh probe process.
#include "process_test_fixture.h"

using Lines = std::vector<std::string>;

namespace {

const char *const kResext[] = {"resext", "0"};
Lines resext() { return Lines(std::begin(kResext), std::end(kResext)); }

}  // namespace

TEST_F(TolkaraProcess, WithoutIniFileTheCodeIsEn) {
  install("tolkara-probeen.so");
  install("tolkara-probede.so");
  EXPECT_EQ(probe(resext()), Lines{"resext " + path("tolkara-probeen.so")});
}

TEST_F(TolkaraProcess, IniWithoutTheKeyGivesEn) {
  writeIni("[Other]\nDefLang=de\n[Program]\nLanguage=de\n");
  install("tolkara-probeen.so");
  install("tolkara-probede.so");
  EXPECT_EQ(probe(resext()), Lines{"resext " + path("tolkara-probeen.so")});
}

TEST_F(TolkaraProcess, NulInAnyCaseGivesEn) {
  writeIni("[Program]\nDefLang=nul\n");
  install("tolkara-probeen.so");
  EXPECT_EQ(probe(resext()), Lines{"resext " + path("tolkara-probeen.so")});
}

TEST_F(TolkaraProcess, DeNamesTheDeLibraryAndIdentifier1031) {
  writeIni("[Program]\nDefLang=de\n");
  install("tolkara-probeger.so", "tolkara-probede.so");  // holds 1031 and 1033
  EXPECT_EQ(
      probe({"resext", "0", "bstr", "-", "1", "0"}),
      (Lines{"resext " + path("tolkara-probede.so"), "bstr vt=8 len=12 last=0065 ger-1031:one"}));
}

TEST_F(TolkaraProcess, GermanIsReadAsGerWithIdentifier1033) {
  writeIni("[Program]\nDefLang=german\n");
  install("tolkara-probeger.so");
  EXPECT_EQ(
      probe({"resext", "0", "bstr", "-", "1", "0"}),
      (Lines{"resext " + path("tolkara-probeger.so"), "bstr vt=8 len=12 last=0065 ger-1033:one"}));
}

TEST_F(TolkaraProcess, UpperCaseCzNamesTheCzLibraryButIdentifier1033) {
  writeIni("[Program]\nDefLang=CZ\n");
  install("tolkara-probeCZ.so");
  EXPECT_EQ(
      probe({"resext", "0", "bstr", "-", "1", "0"}),
      (Lines{"resext " + path("tolkara-probeCZ.so"), "bstr vt=8 len=11 last=0065 CZ-1033:one"}));
}

TEST_F(TolkaraProcess, PathCharactersInTheCodeFallBackToEn) {
  writeIni("[Program]\nDefLang=../x\n");
  install("tolkara-probeen.so");
  // What the unchecked code would load: "<dir>/tolkara-probe../.so".
  std::filesystem::create_directory(path("tolkara-probe.."));
  install("tolkara-probede.so", "tolkara-probe../.so");
  EXPECT_EQ(probe(resext()), Lines{"resext " + path("tolkara-probeen.so")});
}

TEST_F(TolkaraProcess, ProgramInADottedDirectoryKeepsItsBaseName) {
  ASSERT_NE(probeFile().find("/app.v2/tolkara-probe"), std::string::npos);
  writeIni("[Program]\nDefLang=de\n");
  install("tolkara-probede.so");
  EXPECT_EQ(probe(resext()), Lines{"resext " + path("tolkara-probede.so")});
}

TEST_F(TolkaraProcess, EditingTheIniAfterAnExportsFirstCallDoesNotChangeThatExport) {
  writeIni("[Program]\nDefLang=de\n");
  install("tolkara-probede.so");
  install("tolkara-probefr.so");
  Lines lines = probe({"resext",
                       "0",
                       "ini",
                       "[Program]\\nDefLang=fr\\n",
                       "resext",
                       "0",
                       "str",
                       "-",
                       "1",
                       "0",
                       "64",
                       "ini",
                       "[Program]\\nDefLang=de\\n",
                       "str",
                       "-",
                       "1",
                       "0",
                       "64",
                       "bstr",
                       "-",
                       "1",
                       "0"});
  // Each export reads the file on its own first call, and never again.
  EXPECT_EQ(lines, (Lines{"resext " + path("tolkara-probede.so"), "ini written",
                          "resext " + path("tolkara-probede.so"), "str 6 fr:one", "ini written",
                          "str 6 fr:one", "bstr vt=8 len=6 last=0065 de:one"}));
}
