// Texts: the built-in English table under its numbers, the German library
// translating every one with the same placeholders, the formatting of
// placeholders, file kinds and the file dialog's filters.
#include "file_filter.h"
#include "file_kind.h"
#include "message_format.h"
#include "string_ids.h"
#include "text_table.h"
#include "version_text.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

// Every number the program reads.
const int kAllIds[] = {1000, 1001, 1002, 1003, 1004, 1006,  1007,  1008,  1009,  1010,  1011,  1012, 1014, 1015,
                       1016, 1017, 1018, 1019, 1020, 1021,  1025,  1026,  1030,  1031,  1032,  1100, 1101, 1102,
                       1103, 1104, 1105, 1106, 1107, 1108,  1110,  1111,  1112,  1113,  1114,  1115, 1116, 1117,
                       1120, 1121, 1122, 7001, 7003, 32784, 32785, 32786, 32787, 32788, 32789, 57344};

QStringList Placeholders(const QString& text)
{
    QStringList found;
    static const QRegularExpression placeholder("%[lh]*[sdiuxX]");
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text))
        found << match.captured();
    return found;
}

class GermanLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle = ::dlopen(TWINVIEW_GERMAN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << ::dlerror();
    }
    void TearDown() override
    {
        if (handle)
            ::dlclose(handle);
    }
    void* handle = nullptr;
};

} // namespace

TEST(BuiltInTexts, MessagesAreUnderTheirNumbers)
{
    const CStringTable texts;
    EXPECT_EQ(texts.Get(ids::kAppTitle), "Twinview");
    EXPECT_EQ(texts.Get(ids::kCompare), "Compare selected Drawings");
    EXPECT_EQ(texts.Get(ids::kCannotRead), "Cannot read selected files");
    EXPECT_EQ(texts.Get(ids::kAboutItem), "&About Twinview...");
    EXPECT_EQ(texts.Get(ids::kHelpItem), "&Help...");
    EXPECT_EQ(texts.Format(ids::kWrongPath, {"/x/a.vkd"}),
              "The path to file '/x/a.vkd' is not correct. Please, enter correct path.");
    EXPECT_EQ(texts.Format(ids::kDifferentSize, {"640", "480", "640", "481"}),
              "Selected images have different size: 640 x 480 and 640 x 481 \r\n"
              "The utility can compare images of the same size only.");
    EXPECT_EQ(texts.Get(ids::kFile1), texts.Get(ids::kSelectFile1));
    EXPECT_TRUE(texts.Get(ids::kFile2).contains("'Select File 2...'"));
    EXPECT_TRUE(texts.Get(99999).isEmpty());
}

TEST(BuiltInTexts, EveryNumberTheProgramReadsHasAText)
{
    const CStringTable texts;
    for (int id : kAllIds)
        EXPECT_FALSE(texts.Get(id).isEmpty()) << id;
}

TEST_F(GermanLibrary, TranslatesEveryTextWithTheSamePlaceholders)
{
    const CStringTable english;
    const CStringTable german(handle);
    int different = 0;
    for (int id : kAllIds) {
        const QString text = german.Get(id);
        ASSERT_FALSE(text.isEmpty()) << id;
        EXPECT_EQ(Placeholders(text), Placeholders(english.Get(id))) << id;
        different += text != english.Get(id);
    }
    EXPECT_GT(different, 45);
    EXPECT_EQ(german.Get(ids::kDifferencesDetected), QString::fromUtf8("Unterschiede gefunden!"));
}

TEST(MessageFormat, FillsPlaceholdersInTurn)
{
    EXPECT_EQ(FormatMessage("%d x %d and %d x %d", {"1", "2", "3", "4"}), "1 x 2 and 3 x 4");
    EXPECT_EQ(FormatMessage("'%s' at 100%%", {"a"}), "'a' at 100%");
    EXPECT_EQ(FormatMessage("%s Error: %lX", {"D-Bus", "800706BA"}), "D-Bus Error: 800706BA");
}

TEST(MessageFormat, AFaultyTranslationCannotReadMissingArguments)
{
    EXPECT_EQ(FormatMessage("%s and %s and %d", {"one"}), "one and  and ");
    EXPECT_EQ(FormatMessage("50% off %q", {}), "50% off %q");
    EXPECT_EQ(FormatMessage("end %", {"x"}), "end %");
}

TEST(FileKinds, TheExtensionOfTheFileNameDecides)
{
    EXPECT_EQ(KindOfFile("/a/plan.VKD"), FileKind::Drawing);
    EXPECT_EQ(KindOfFile("/a/plan.vkd"), FileKind::Drawing);
    EXPECT_EQ(KindOfFile("/a/plan.Png"), FileKind::Raster);
    EXPECT_EQ(KindOfFile("/a/plan.jpg"), FileKind::Raster);
    EXPECT_EQ(KindOfFile("/a/plan.bmp"), FileKind::Raster);
    EXPECT_EQ(KindOfFile("/a/plan.qvx"), FileKind::OtherDrawing);
    EXPECT_EQ(KindOfFile("/a/plan.DWG"), FileKind::OtherDrawing);
    EXPECT_EQ(KindOfFile("/a/plan.Q2X"), FileKind::OtherDrawing);
    EXPECT_EQ(KindOfFile("/a/plan.jpeg"), FileKind::Unsupported);
    EXPECT_EQ(KindOfFile("/a/plans.vkd/readme"), FileKind::Unsupported);
    EXPECT_EQ(KindOfFile("/a/plan"), FileKind::Unsupported);
}

TEST(FileKinds, TheSameFileIsDecidedByCanonicalPathsExactly)
{
    QTemporaryDir dir;
    QFile(dir.filePath("a.vkd")).open(QIODevice::WriteOnly);
    QFile(dir.filePath("A.vkd")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(dir.filePath("a.vkd"), dir.filePath("link.vkd")));
    EXPECT_TRUE(IsSameFile(dir.filePath("a.vkd"), dir.path() + "/./a.vkd"));
    EXPECT_TRUE(IsSameFile(dir.filePath("a.vkd"), dir.filePath("link.vkd")));
    EXPECT_FALSE(IsSameFile(dir.filePath("a.vkd"), dir.filePath("A.vkd")));
    EXPECT_FALSE(IsSameFile(dir.filePath("missing.vkd"), dir.filePath("missing.vkd")));
    // A hard link is the same file under another path.
    ASSERT_EQ(::link(QFile::encodeName(dir.filePath("a.vkd")).constData(),
                     QFile::encodeName(dir.filePath("hard.vkd")).constData()),
              0);
    EXPECT_TRUE(IsSameFile(dir.filePath("a.vkd"), dir.filePath("hard.vkd")));
}

TEST(FileFilter, TheTableFilterBecomesQtFiltersInBothCases)
{
    const QStringList filters = FileDialogFilters(CStringTable().Get(ids::kFileFilter));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0], "All supported files (*.VKD *.vkd *.BMP *.bmp *.PNG *.png *.JPG *.jpg)");
    EXPECT_EQ(filters[1], "Draftora files (*.VKD *.vkd)");
    // The label's own pattern list is not repeated beside Qt's.
    EXPECT_EQ(filters[2], "Image files (*.BMP *.bmp *.PNG *.png *.JPG *.jpg)");
    EXPECT_EQ(FileDialogFilters("Pictures (*.png)|*.PNG||"), QStringList{"Pictures (*.PNG *.png)"});
    EXPECT_EQ(FileDialogFilters("Plans (ground floor)|*.VKD||"), QStringList{"Plans (ground floor) (*.VKD *.vkd)"});
}

TEST(VersionText, FourNumbersWithDots)
{
    EXPECT_EQ(VersionText(1, 22, 333, 4), "1.22.333.4");
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$").match(ProgramVersionText()).hasMatch());
}
