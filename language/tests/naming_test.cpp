// Naming rules: the INI file, the language code, base names and library
// paths.
#include "c_boundary.h"
#include "ini_file.h"
#include "language_code.h"
#include "module_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>

namespace {

using tolkara::iniValue;
using tolkara::languageCodeFromValue;

TEST(IniPath, CutsTheFileNameAtItsLastDot) {
  EXPECT_EQ(tolkara::iniPathFor("/usr/lib/libtolkara.so"), "/usr/lib/libtolkara.INI");
  EXPECT_EQ(tolkara::iniPathFor("/opt/app.v2/libtolkara.so"), "/opt/app.v2/libtolkara.INI");
  EXPECT_EQ(tolkara::iniPathFor("/opt/a.b/lib.tolkara.so"), "/opt/a.b/lib.tolkara.INI");
}

TEST(IniPath, NoDotInTheFileNameMeansNoIniFile) {
  EXPECT_EQ(tolkara::iniPathFor("/opt/app.v2/tolkara"), std::nullopt);
  EXPECT_EQ(tolkara::iniPathFor("tolkara"), std::nullopt);
}

TEST(IniFile, FindsTheKeyOfTheSectionWithoutRegardToCase) {
  std::string text = "; comment\n[Other]\nDefLang=xx\n[ program ]\r\n  deflang =  de  \r\n";
  EXPECT_EQ(iniValue(text, "Program", "DefLang"), "de");
  EXPECT_EQ(iniValue(text, "Program", "Missing"), std::nullopt);
  EXPECT_EQ(iniValue("DefLang=de\n", "Program", "DefLang"), std::nullopt);
}

TEST(IniFile, DropsOnePairOfQuotes) {
  EXPECT_EQ(iniValue("[Program]\nDefLang=\"fr\"\n", "Program", "DefLang"), "fr");
  EXPECT_EQ(iniValue("[Program]\nDefLang='it'\n", "Program", "DefLang"), "it");
  EXPECT_EQ(iniValue("[Program]\nDefLang=\"x\n", "Program", "DefLang"), "\"x");
}

// Found by fuzzing: an empty section header compared with an empty name
// handed a null pointer to strncasecmp.
TEST(IniFile, EmptySectionAndKeyNamesMatchEachOther) {
  EXPECT_EQ(iniValue("[]\nDefLang=de\n", "", "DefLang"), "de");
  EXPECT_EQ(iniValue("[]\n=x\n", "", ""), "x");
  EXPECT_EQ(iniValue("[]\nDefLang=de\n", "Program", "DefLang"), std::nullopt);
}

TEST(IniFile, MissingFileGivesNoValue) {
  EXPECT_EQ(tolkara::readIniValue("/nonexistent/dir/x.INI", "Program", "DefLang"), std::nullopt);
}

TEST(LanguageCode, AbsentOrNulGivesEnglish) {
  EXPECT_EQ(languageCodeFromValue(std::nullopt), "en");
  EXPECT_EQ(languageCodeFromValue(std::string("NUL")), "en");
  EXPECT_EQ(languageCodeFromValue(std::string("nul")), "en");
  EXPECT_EQ(languageCodeFromValue(std::string("Nul")), "en");
}

TEST(LanguageCode, LongValuesAreCutToThreeCharacters) {
  EXPECT_EQ(languageCodeFromValue(std::string("german")), "ger");
  EXPECT_EQ(languageCodeFromValue(std::string("nullish")), "en");  // "nul"
  EXPECT_EQ(languageCodeFromValue(std::string("CZ")), "CZ");
  EXPECT_EQ(languageCodeFromValue(std::string("pt-BR")), "pt-");
}

TEST(LanguageCode, OnlyLettersDigitsUnderscoreAndDashAreAccepted) {
  EXPECT_EQ(languageCodeFromValue(std::string("../x")), "en");
  EXPECT_EQ(languageCodeFromValue(std::string("a/b")), "en");
  EXPECT_EQ(languageCodeFromValue(std::string("d e")), "en");
  EXPECT_EQ(languageCodeFromValue(std::string("\xC3\xA9t")), "en");
  EXPECT_EQ(languageCodeFromValue(std::string("z_1")), "z_1");
  EXPECT_EQ(languageCodeFromValue(std::string("")), "");
}

TEST(LanguageId, TableIsCaseSensitiveWithEnglishForTheRest) {
  EXPECT_EQ(tolkara::languageIdOf("de"), 1031);
  EXPECT_EQ(tolkara::languageIdOf("fr"), 1036);
  EXPECT_EQ(tolkara::languageIdOf("ja"), 1041);
  EXPECT_EQ(tolkara::languageIdOf("it"), 1040);
  EXPECT_EQ(tolkara::languageIdOf("cz"), 1029);
  EXPECT_EQ(tolkara::languageIdOf("zh"), 2052);
  EXPECT_EQ(tolkara::languageIdOf("ru"), 1049);
  EXPECT_EQ(tolkara::languageIdOf("pt"), 1046);
  for (const char *other : {"en", "CZ", "DE", "cs", "ger", ""})
    EXPECT_EQ(tolkara::languageIdOf(other), 1033) << other;
}

TEST(BaseName, CutsAtADotOfTheFileNameOnly) {
  EXPECT_EQ(tolkara::baseNameOf("/opt/app.v2/twinview"), "twinview");
  EXPECT_EQ(tolkara::baseNameOf("/opt/app.v2/twinview.bin"), "twinview");
  EXPECT_EQ(tolkara::baseNameOf("/usr/lib/libtkplugin.so"), "libtkplugin");
  EXPECT_EQ(tolkara::baseNameOf("/usr/bin/my.tool.x"), "my.tool");
}

TEST(LanguageLibraryPath, JoinsTolkarasDirectoryBaseNameAndCode) {
  EXPECT_EQ(tolkara::languageLibraryPath("/usr/lib/twinview/libtolkara.so",
                                         "/usr/lib/twinview/twinview", "de"),
            "/usr/lib/twinview/twinviewde.so");
  EXPECT_EQ(tolkara::languageLibraryPath("/opt/t.k/libtolkara.so", "/opt/app.v2/twinview", "CZ"),
            "/opt/t.k/twinviewCZ.so");
  EXPECT_EQ(tolkara::directoryOf("/a/b.c/d"), "/a/b.c/");
}

TEST(ModuleFile, MainProgramAndOwnFileNamesAreAbsolute) {
  std::optional<std::string> main = tolkara::mainProgramFileName();
  ASSERT_TRUE(main.has_value());
  EXPECT_EQ(main->front(), '/');
  EXPECT_TRUE(std::filesystem::exists(*main));
  EXPECT_EQ(tolkara::moduleFileName(nullptr), main);
  // The unit tests link Tolkara's objects, so "Tolkara itself" is this program.
  EXPECT_EQ(tolkara::tolkaraFileName(), main);
}

TEST(PresentFile, NeedsANonEmptyNameOfSomethingNotADirectory) {
  EXPECT_FALSE(tolkara::isPresentFile(""));
  EXPECT_FALSE(tolkara::isPresentFile("/"));
  EXPECT_FALSE(tolkara::isPresentFile("/nonexistent/file"));
  EXPECT_TRUE(tolkara::isPresentFile(*tolkara::mainProgramFileName()));
}

}  // namespace

TEST(IniFile, AByteOrderMarkAtTheStartIsSkipped) {
  EXPECT_EQ(iniValue("\xEF\xBB\xBF[Program]\nDefLang=de\n", "Program", "DefLang"), "de");
  EXPECT_EQ(iniValue("\xEF\xBB\xBF", "Program", "DefLang"), std::nullopt);
}

TEST(IniFile, OnlyARegularFileCounts) {
  // A directory or a FIFO named like the INI file is as good as none: no
  // exception, no waiting for a writer.
  std::string pattern = (std::filesystem::temp_directory_path() / "tolkara-ini.XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::filesystem::path dir = pattern;
  std::filesystem::create_directory(dir / "a.INI");
  EXPECT_EQ(tolkara::readIniValue((dir / "a.INI").string(), "Program", "DefLang"), std::nullopt);
  ASSERT_EQ(mkfifo((dir / "b.INI").c_str(), 0600), 0);
  EXPECT_EQ(tolkara::readIniValue((dir / "b.INI").string(), "Program", "DefLang"), std::nullopt);
  std::ofstream(dir / "c.INI") << "\xEF\xBB\xBF[Program]\nDefLang=fr\n";
  EXPECT_EQ(tolkara::readIniValue((dir / "c.INI").string(), "Program", "DefLang"), "fr");
  std::filesystem::remove_all(dir);
}

TEST(CBoundary, ExceptionsBecomeTheFailureValue) {
  EXPECT_EQ(tolkara::guarded(-1, [] { return 7; }), 7);
  EXPECT_EQ(tolkara::guarded(-1, []() -> int { throw std::runtime_error("inside"); }), -1);
  EXPECT_EQ(tolkara::guarded<void *>(nullptr, []() -> void * { throw std::bad_alloc(); }), nullptr);
}
