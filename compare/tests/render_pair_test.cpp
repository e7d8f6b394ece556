// The render step on the recording fake: the exact order of role calls and
// their values, the macro text, and documents left as they were found.
#include "engine_fixture.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>

using Names = std::vector<std::string>;

namespace {

const Names kOpenAndSetUp{"Documents.Open",      "Document.MakeCurrent", "Document.ActiveView", "View.FillFrame",
                          "Document.ActiveView", "View.Refresh",         "Document.Extents"};
const Names kExport{"Document.ActiveView", "View.FillFrame", "Document.ViewPointsHolder", "ViewPoints.PutPoints",
                    "View.ZoomToWindow",   "View.Scale",     "Document.RunMacro"};

Names Concat(std::initializer_list<Names> parts)
{
    Names all;
    for (const Names& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::string ExpectedMacro(const std::string& bitmap)
{
    return ">SaveBmp\r\n{\r\n"
           "<PointXYZ -2.120000000000000e+01,-1.200000000000000e+00,0.000000000000000e+00\r\n"
           "<PointXYZ 1.012000000000000e+02,7.120000000000000e+01,0.000000000000000e+00\r\n"
           "<FileName \"" +
        bitmap + "\"\r\n<Type 1\r\n<Width 1000\r\n}\r\n";
}

// Activates a locale that writes a decimal comma, when one is installed (the
// test build makes de_DE.UTF-8 under LOCPATH when it can).
class DecimalCommaLocale {
public:
    DecimalCommaLocale()
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name)) {
                char text[16];
                std::snprintf(text, sizeof text, "%.1f", 1.5);
                active = std::string(text) == "1,5";
                if (active)
                    return;
            }
        }
        std::setlocale(LC_ALL, "C");
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool active = false;
};

} // namespace

TEST_F(EngineTest, RendersAPairWithTheExactCallsAndValues)
{
    ConnectQuietly();
    const RenderResult result = engine.RenderPair(Pair());
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(fake->Names(),
              Concat({{"Application.IsVisible", "Application.IsReady", "Application.MainWindow",
                       "Application.Documents", "Documents.Count"},
                      kOpenAndSetUp,
                      {"Documents.Count", "Documents.Item", "Document.FullName"},
                      kOpenAndSetUp,
                      kExport,
                      {"Document.Close"},
                      kExport,
                      {"Document.Close"}}));
    EXPECT_EQ(engine.EngineWindow(), 0x5A5Au);

    const auto points = CallsNamed("ViewPoints.PutPoints");
    ASSERT_EQ(points.size(), 2u);
    for (const FakeCall& call : points) {
        ASSERT_EQ(call.numbers.size(), 7u);
        EXPECT_EQ(call.numbers[0], 2) << "selector";
        // Union -20..100 x 0..70, widened by 1 % of the width 120 in x and y.
        const double expected[6] = {-21.2, -1.2, 0, 101.2, 71.2, 0};
        for (int i = 0; i < 6; ++i)
            EXPECT_DOUBLE_EQ(call.numbers[static_cast<std::size_t>(i + 1)], expected[i]) << i;
    }
    for (const FakeCall& call : CallsNamed("View.Scale"))
        EXPECT_EQ(call.numbers, std::vector<double>{0.95});
    for (const FakeCall& call : CallsNamed("Document.MakeCurrent"))
        EXPECT_EQ(call.numbers, std::vector<double>{1});
    for (const FakeCall& call : CallsNamed("Document.Close")) {
        EXPECT_EQ(call.numbers, std::vector<double>{0}) << "closed without saving";
        EXPECT_EQ(call.text, "");
    }
    EXPECT_EQ(sleeper->sleeps,
              (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(100), std::chrono::milliseconds(100)}));
}

TEST_F(EngineTest, WritesTheMacroTextByteForByte)
{
    ConnectQuietly();
    ASSERT_TRUE(engine.RenderPair(Pair()).ok);
    ASSERT_EQ(fake->macros.size(), 2u);
    EXPECT_EQ(fake->macros[0], ExpectedMacro(bitmap1));
    EXPECT_EQ(fake->macros[1], ExpectedMacro(bitmap2));
}

TEST_F(EngineTest, WritesTheMacroNumbersInTheCLocaleUnderADecimalCommaLocale)
{
    ConnectQuietly();
    DecimalCommaLocale locale;
    if (!locale.active)
        GTEST_SKIP() << "no decimal-comma locale is installed";
    ASSERT_TRUE(engine.RenderPair(Pair()).ok);
    ASSERT_EQ(fake->macros.size(), 2u);
    EXPECT_EQ(fake->macros[0], ExpectedMacro(bitmap1));
}

TEST_F(EngineTest, KeepsTheMacroFileInThePrivateDirectoryUnderUniqueNamesAndRemovesIt)
{
    ConnectQuietly();
    ASSERT_TRUE(engine.RenderPair(Pair()).ok);
    ASSERT_EQ(fake->macroPaths.size(), 2u);
    EXPECT_NE(fake->macroPaths[0], fake->macroPaths[1]);
    for (const std::string& path : fake->macroPaths) {
        EXPECT_EQ(std::filesystem::path(path).parent_path(), temp->Path());
        EXPECT_FALSE(std::filesystem::exists(path)) << "the macro file is deleted after the run";
    }
}

TEST_F(EngineTest, WritesATallDrawingWithATruncatedWidth)
{
    fake->AddDrawing("/plans/tower.vkd", {0, 0, 0, 10, 29, 0});
    ConnectQuietly();
    RenderRequest request;
    request.drawing1 = "/plans/tower.vkd";
    request.bitmap1 = bitmap1;
    request.drawing2 = "/plans/tower.png"; // a raster file: not rendered
    ASSERT_TRUE(engine.RenderPair(request).ok);
    ASSERT_EQ(fake->macros.size(), 1u);
    // Window 10.58 x 29.58: 1000 * 10.58 / 29.58 = 357.67, truncated.
    EXPECT_NE(fake->macros[0].find("<Width 357\r\n"), std::string::npos) << fake->macros[0];
    EXPECT_EQ(fake->Count("Documents.Open"), 1);
}

TEST_F(EngineTest, RendersOnlyTheSecondDrawingWhenTheFirstIsARasterFile)
{
    ConnectQuietly();
    RenderRequest request = Pair();
    request.bitmap1.clear();
    ASSERT_TRUE(engine.RenderPair(request).ok);
    const auto opened = CallsNamed("Documents.Open");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].text, drawing2);
    const auto points = CallsNamed("ViewPoints.PutPoints");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_DOUBLE_EQ(points[0].numbers[1], -21.0) << "drawing 2's own extents, widened by 1";
}

TEST_F(EngineTest, WidensTheWindowOfAnEmptyDrawingToAUnitBox)
{
    fake->AddDrawing("/plans/empty.vkd", {3, 4, 0, 3, 4, 0});
    ConnectQuietly();
    RenderRequest request;
    request.drawing1 = "/plans/empty.vkd";
    request.bitmap1 = bitmap1;
    ASSERT_TRUE(engine.RenderPair(request).ok);
    const auto points = CallsNamed("ViewPoints.PutPoints");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].numbers, (std::vector<double>{2, 2.5, 3.5, 0, 3.5, 4.5, 0}));
    EXPECT_NE(fake->macros[0].find("<Width 1000\r\n"), std::string::npos);
}

TEST_F(EngineTest, UsesAnAlreadyOpenDocumentWithoutReopeningAndLeavesItOpen)
{
    fake->OpenAlready(drawing1);
    ConnectQuietly();
    ASSERT_TRUE(engine.RenderPair(Pair()).ok);
    const auto opened = CallsNamed("Documents.Open");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].text, drawing2);
    EXPECT_EQ(fake->Count("View.Restore"), 1) << "the borrowed document gets the restoring call";
    EXPECT_EQ(fake->Count("Document.Close"), 1) << "only the document opened here is closed";
    ASSERT_EQ(fake->documents.size(), 2u);
    EXPECT_TRUE(fake->documents[0].open);
    EXPECT_FALSE(fake->documents[1].open);
}

TEST_F(EngineTest, PutsTheBackgroundColourBack)
{
    fake->OpenAlready(drawing1, 0x123456);
    ConnectQuietly();
    RenderRequest request = Pair();
    request.changeColour = true;
    request.colour = 0x00FF00;
    ASSERT_TRUE(engine.RenderPair(request).ok);
    const auto puts = CallsNamed("Background.Put");
    ASSERT_EQ(puts.size(), 4u);
    EXPECT_EQ(puts[0].numbers, std::vector<double>{0x00FF00});
    EXPECT_EQ(puts[1].numbers, std::vector<double>{0x123456});
    EXPECT_EQ(fake->documents[0].colour, 0x123456u);
    // The colour is changed before the export and put back after it.
    const Names names = fake->Names();
    const auto firstPut = std::find(names.begin(), names.end(), "Background.Put");
    const auto firstMacro = std::find(names.begin(), names.end(), "Document.RunMacro");
    EXPECT_LT(firstPut - names.begin(), firstMacro - names.begin());
}

TEST_F(EngineTest, PutsTheBackgroundColourBackAndClosesItsDocumentsWhenTheExportFails)
{
    fake->OpenAlready(drawing1, 0x123456);
    fake->FailAt("Document.RunMacro", 1);
    ConnectQuietly();
    RenderRequest request = Pair();
    request.changeColour = true;
    request.colour = 0x0000FF;
    const RenderResult result = engine.RenderPair(request);
    EXPECT_FALSE(result.ok);
    ASSERT_FALSE(result.messages.empty());
    EXPECT_NE(result.messages[0].text.find("Error(MacroEXEc)"), std::string::npos);
    EXPECT_EQ(fake->documents[0].colour, 0x123456u);
    EXPECT_TRUE(fake->documents[0].open);
    EXPECT_EQ(fake->Count("View.Restore"), 1);
    EXPECT_FALSE(fake->documents[1].open) << "drawing 2 was opened here and must be closed";
}

TEST_F(EngineTest, ClosesTheFirstDocumentWhenTheSecondCannotBeSetUp)
{
    fake->FailAt("Document.Extents", 2);
    ConnectQuietly();
    const RenderResult result = engine.RenderPair(Pair());
    EXPECT_FALSE(result.ok);
    ASSERT_EQ(fake->documents.size(), 2u);
    EXPECT_FALSE(fake->documents[0].open);
    EXPECT_FALSE(fake->documents[1].open);
    EXPECT_EQ(fake->Count("Document.RunMacro"), 0);
}

TEST_F(EngineTest, GoesOnWithTheOtherCleanUpsWhenOneFails)
{
    fake->OpenAlready(drawing1, 0x111111);
    fake->FailAt("View.ZoomToWindow", 1);
    fake->FailAt("Background.Put", 2); // putting drawing 1's colour back
    ConnectQuietly();
    RenderRequest request = Pair();
    request.changeColour = true;
    EXPECT_FALSE(engine.RenderPair(request).ok);
    EXPECT_EQ(fake->Count("View.Restore"), 1);
    EXPECT_FALSE(fake->documents[1].open);
}

TEST_F(EngineTest, ReconnectsToADeadEngineAndGoesOn)
{
    fake->running = false;
    ConnectQuietly();
    fake->Kill();
    const RenderResult result = engine.RenderPair(Pair());
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.messages.empty());
    const Names names = fake->Names();
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names[0], "Application.IsVisible");
    EXPECT_EQ(names[1], "System.Attach");
    EXPECT_EQ(names[2], "System.CreateAndRun");
    EXPECT_EQ(fake->macros.size(), 2u);
    EXPECT_TRUE(engine.StartedEngine());
}

TEST_F(EngineTest, FailsWithoutMessageWhenADeadEngineCannotBeRestarted)
{
    ConnectQuietly();
    fake->Kill();
    fake->canStart = false;
    const RenderResult result = engine.RenderPair(Pair());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.messages.empty());
}

TEST_F(EngineTest, RefusesABitmapPathThatWouldBreakTheMacro)
{
    ConnectQuietly();
    for (const char* bad : {"/tmp/a\"b.BMP", "/tmp/a\nb.BMP", "/tmp/a\rb.BMP"}) {
        RenderRequest request = Pair();
        request.bitmap2 = bad;
        const RenderResult result = engine.RenderPair(request);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.messages.empty());
    }
    EXPECT_TRUE(fake->calls.empty()) << "nothing is asked of the engine";
}
