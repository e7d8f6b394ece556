// The Compare command with the recording fake engine and a capturing user
// interface: the checks and their order, the messages with their numbers and
// texts, failures that leave no bitmaps, and the temporary bitmaps' lives.
#include "compare_command.h"

#include "compare_fixture.h"
#include "string_ids.h"

#include <QFileInfo>

#include <filesystem>

namespace {

using Ids = std::vector<int>;

class CompareCommand : public CompareFiles {
protected:
    CompareOutcome Run(const QString& a, const QString& b) { return command.Run(a, b, settings); }
    QString Text(int id, const QStringList& arguments = {}) const { return texts.Format(id, arguments); }

    TwinviewSettings settings;
    CCompareCommand command{ui, texts, *temp, &engine, true};
};

} // namespace

TEST_F(CompareCommand, AMissingFileIsNamed)
{
    const QString present = Png("a.png", 4, 4);
    const QString missing = dir.filePath("nothere.png");
    EXPECT_EQ(Run(missing, present).status, CompareStatus::CheckFailed);
    EXPECT_EQ(Run(present, missing).status, CompareStatus::CheckFailed);
    EXPECT_EQ(Run("", present).status, CompareStatus::CheckFailed);
    EXPECT_EQ(Run(dir.path(), present).status, CompareStatus::CheckFailed); // a directory
    ASSERT_EQ(ui.Ids(), (Ids{ids::kWrongPath, ids::kWrongPath, ids::kWrongPath, ids::kWrongPath}));
    EXPECT_EQ(ui.messages[0].text, Text(ids::kWrongPath, {missing}));
    EXPECT_EQ(ui.messages[1].text, Text(ids::kWrongPath, {missing}));
    EXPECT_EQ(ui.messages[0].caption, "Twinview");
    EXPECT_EQ(fake->Count("Document.RunMacro"), 0);
}

TEST_F(CompareCommand, MissingFilesAreReportedBeforeUnsupportedOnes)
{
    const QString text = Garbage("notes.txt");
    EXPECT_EQ(Run(text, dir.filePath("gone.vkd")).status, CompareStatus::CheckFailed);
    EXPECT_EQ(ui.Ids(), (Ids{ids::kWrongPath}));
}

TEST_F(CompareCommand, AnUnsupportedExtensionIsNamed)
{
    const QString png = Png("a.png", 4, 4);
    const QString text = Garbage("notes.txt");
    const QString jpeg = Garbage("photo.jpeg");
    Run(text, png);
    Run(png, jpeg);
    ASSERT_EQ(ui.Ids(), (Ids{ids::kNotSupported, ids::kNotSupported}));
    EXPECT_EQ(ui.messages[0].text, Text(ids::kNotSupported, {text}));
    EXPECT_EQ(ui.messages[1].text, "The file '" + jpeg + "' is not supported by Comparer.");
}

TEST_F(CompareCommand, TheSameDrawingTwiceIsRefusedBeforeRendering)
{
    const QString drawing = Drawing("plan.VKD");
    EXPECT_EQ(Run(drawing, dir.path() + "/./plan.VKD").status, CompareStatus::Failed);
    EXPECT_EQ(ui.Ids(), (Ids{ids::kSameFile}));
    EXPECT_EQ(ui.messages[0].text, "The same file is selected. Please, select different files.");
    EXPECT_EQ(fake->Count("Documents.Open"), 0);
}

TEST_F(CompareCommand, DrawingsNamedInAnotherCaseAreTwoFiles)
{
    const QString lower = Drawing("plan.vkd");
    const QString upper = Drawing("PLAN.vkd");
    EXPECT_EQ(Run(lower, upper).status, CompareStatus::Compared);
    EXPECT_EQ(ui.Ids(), (Ids{ids::kNoDifferences}));
}

TEST_F(CompareCommand, TheSameRasterFileTwiceHasNoDifferences)
{
    const QString png = Png("a.png", 6, 5);
    const CompareOutcome outcome = Run(png, png);
    EXPECT_EQ(outcome.status, CompareStatus::Compared);
    EXPECT_EQ(ui.Ids(), (Ids{ids::kNoDifferences}));
    EXPECT_FALSE(outcome.differenceBox.has_value());
    EXPECT_EQ(outcome.difference.size(), QSize(6, 5));
}

TEST_F(CompareCommand, ImagesOfDifferentSizesAreNamedInOrder)
{
    const CompareOutcome outcome = Run(Png("a.png", 640, 480), Png("b.png", 640, 481));
    EXPECT_EQ(outcome.status, CompareStatus::Failed);
    EXPECT_TRUE(outcome.first.isNull());
    EXPECT_TRUE(outcome.second.isNull());
    ASSERT_EQ(ui.Ids(), (Ids{ids::kDifferentSize}));
    EXPECT_EQ(ui.messages[0].text, Text(ids::kDifferentSize, {"640", "480", "640", "481"}));
    EXPECT_TRUE(ui.messages[0].text.startsWith("Selected images have different size: 640 x 480 and 640 x 481"));
}

TEST_F(CompareCommand, AnUnreadableBitmapIsReportedAndLeavesNoBitmaps)
{
    const QString good = Png("a.png", 8, 8);
    const QString bad = Garbage("b.png");
    for (auto [first, second] : {std::pair{good, bad}, std::pair{bad, good}}) {
        ui.messages.clear();
        const CompareOutcome outcome = Run(first, second);
        EXPECT_EQ(outcome.status, CompareStatus::Failed);
        EXPECT_TRUE(outcome.first.isNull());
        EXPECT_TRUE(outcome.second.isNull());
        EXPECT_TRUE(outcome.difference.isNull());
        EXPECT_EQ(ui.Ids(), (Ids{ids::kCannotRead}));
        EXPECT_EQ(ui.messages[0].text, "Cannot read selected files");
    }
}

TEST_F(CompareCommand, OnePixelApartGivesItsBoxAndTheDifferencesMessage)
{
    const CompareOutcome outcome = Run(Png("a.png", 10, 7), Png("b.png", 10, 7, qRgb(255, 255, 255), {3, 6}));
    ASSERT_EQ(outcome.status, CompareStatus::Compared);
    EXPECT_EQ(ui.Ids(), (Ids{ids::kDifferencesDetected}));
    EXPECT_EQ(ui.messages[0].text, "Differences have been Detected!");
    ASSERT_TRUE(outcome.differenceBox.has_value());
    EXPECT_EQ(*outcome.differenceBox, (IntRect{3, 6, 3, 6}));
    EXPECT_EQ(outcome.differingPixels, 1);
    EXPECT_EQ(outcome.difference.pixel(3, 6), qRgb(0, 0, 0));
}

TEST_F(CompareCommand, TwoDrawingsAreRenderedIntoTemporaryBitmapsWithTheSettings)
{
    settings = {640, true, 0x123456};
    const QString a = Drawing("a.vkd");
    const QString b = Drawing("b.vkd");
    ASSERT_EQ(Run(a, b).status, CompareStatus::Compared);
    EXPECT_EQ(fake->Count("Document.RunMacro"), 2);
    ASSERT_EQ(fake->macros.size(), 2u);
    EXPECT_NE(fake->macros[0].find("<Width 640"), std::string::npos);
    EXPECT_NE(fake->macros[0].find(command.TemporaryBitmap1().toStdString()), std::string::npos);
    EXPECT_NE(fake->macros[1].find(command.TemporaryBitmap2().toStdString()), std::string::npos);
    EXPECT_EQ(fake->Count("Background.Put"), 4); // set and put back, twice
    EXPECT_TRUE(QFileInfo(command.TemporaryBitmap1()).fileName().startsWith("cmp"));
    EXPECT_TRUE(command.TemporaryBitmap1().endsWith(".BMP"));
    EXPECT_GE(ui.broughtToFront, 1);
}

TEST_F(CompareCommand, ADrawingAgainstARasterFileRendersOnlyTheDrawing)
{
    const QString drawing = Drawing("a.vkd");
    const QString raster = Png("b.png", 1, 1);
    ASSERT_EQ(Run(raster, drawing).status, CompareStatus::Compared);
    EXPECT_EQ(fake->Count("Document.RunMacro"), 1);
    EXPECT_TRUE(command.TemporaryBitmap1().isEmpty());
    EXPECT_FALSE(command.TemporaryBitmap2().isEmpty());
}

TEST_F(CompareCommand, TemporaryBitmapsAreDeletedAtTheNextCompareAndAtTheEnd)
{
    const QString a = Drawing("a.vkd");
    const QString b = Drawing("b.vkd");
    QString bitmap1;
    QString bitmap2;
    {
        CCompareCommand own(ui, texts, *temp, &engine, true);
        ASSERT_EQ(own.Run(a, b, settings).status, CompareStatus::Compared);
        bitmap1 = own.TemporaryBitmap1();
        bitmap2 = own.TemporaryBitmap2();
        EXPECT_TRUE(QFileInfo::exists(bitmap1));
        EXPECT_TRUE(QFileInfo::exists(bitmap2));
        own.Run(Png("x.png", 2, 2), Png("y.png", 2, 2), settings);
        EXPECT_FALSE(QFileInfo::exists(bitmap1));
        EXPECT_FALSE(QFileInfo::exists(bitmap2));
        ASSERT_EQ(own.Run(a, b, settings).status, CompareStatus::Compared);
        bitmap1 = own.TemporaryBitmap1();
        EXPECT_TRUE(QFileInfo::exists(bitmap1));
    }
    EXPECT_FALSE(QFileInfo::exists(bitmap1));
}

TEST_F(CompareCommand, EngineErrorsAreShownInOrderFollowedByCannotRead)
{
    fake->FailAt("View.ZoomToWindow", 1);
    const CompareOutcome outcome = Run(Drawing("a.vkd"), Drawing("b.vkd"));
    EXPECT_EQ(outcome.status, CompareStatus::Failed);
    ASSERT_EQ(ui.Ids(), (Ids{0, ids::kRetryComparison, ids::kCannotRead}));
    EXPECT_TRUE(ui.messages[0].text.contains("Error(Setup View - Zoom)"));
    EXPECT_EQ(ui.messages[1].text, Text(ids::kRetryComparison));
    EXPECT_GE(ui.broughtToFront, 1);
}

TEST_F(CompareCommand, ABitmapThatNeverAppearsIsCannotRead)
{
    fake->bitmap = BitmapBehaviour::Never;
    EXPECT_EQ(Run(Drawing("a.vkd"), Drawing("b.vkd")).status, CompareStatus::Failed);
    EXPECT_EQ(ui.Ids(), (Ids{ids::kCannotRead}));
}

TEST_F(CompareCommand, ADeadEngineIsRestartedOrReported)
{
    fake->Kill();
    fake->canStart = false;
    EXPECT_EQ(Run(Drawing("a.vkd"), Drawing("b.vkd")).status, CompareStatus::Failed);
    EXPECT_EQ(ui.Ids().back(), ids::kCannotRead);
}

TEST_F(CompareCommand, AVanishedTemporaryDirectoryIsCannotRead)
{
    const QString a = Drawing("a.vkd"), b = Drawing("b.vkd");
    std::filesystem::remove_all(temp->Path());
    EXPECT_EQ(Run(a, b).status, CompareStatus::Failed);
    EXPECT_EQ(ui.Ids(), (Ids{ids::kCannotRead}));
    EXPECT_EQ(fake->Count("Document.RunMacro"), 0);
}

TEST_F(CompareCommand, DrawingsNoEngineRendersAreCannotRead)
{
    const QString other = Garbage("plan.QVX");
    EXPECT_EQ(Run(other, Png("b.png", 2, 2)).status, CompareStatus::Failed);
    CCompareCommand withoutEngine(ui, texts, *temp, nullptr, false);
    EXPECT_EQ(withoutEngine.Run(Drawing("a.vkd"), Drawing("b.vkd"), settings).status, CompareStatus::Failed);
    EXPECT_EQ(ui.Ids(), (Ids{ids::kCannotRead, ids::kCannotRead}));
    EXPECT_EQ(fake->Count("Document.RunMacro"), 0);
}
