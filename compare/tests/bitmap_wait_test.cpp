// Waiting for the engine's bitmap: bounded probes with free waits, the
// completeness check of a BMP, and stale files removed before the macro.
#include "bitmap_wait.h"
#include "engine_fixture.h"

#include <filesystem>
#include <fstream>

namespace {

using std::chrono::milliseconds;

// Answers from a script, then repeats its last answer; counts the probes.
struct ScriptedProbe {
    std::vector<BitmapState> answers;
    int probes = 0;
    BitmapState operator()(const std::string&)
    {
        const auto i = static_cast<std::size_t>(probes++);
        return i < answers.size() ? answers[i] : answers.back();
    }
};

} // namespace

TEST(BitmapWait, GivesUpAfterFiftyProbesTwoHundredMillisecondsApart)
{
    FakeSleeper sleeper;
    ScriptedProbe probe{{BitmapState::Missing}};
    EXPECT_FALSE(WaitForBitmap("/x.BMP", sleeper, std::ref(probe)));
    EXPECT_EQ(probe.probes, 50);
    EXPECT_EQ(sleeper.sleeps, std::vector<milliseconds>(49, milliseconds(200)));
}

TEST(BitmapWait, WaitsForTheFileAndThenForItsCompletion)
{
    FakeSleeper sleeper;
    ScriptedProbe probe{{BitmapState::Missing, BitmapState::Missing, BitmapState::Incomplete, BitmapState::Incomplete,
                         BitmapState::Complete}};
    EXPECT_TRUE(WaitForBitmap("/x.BMP", sleeper, std::ref(probe)));
    EXPECT_EQ(probe.probes, 5);
    EXPECT_EQ(sleeper.sleeps.size(), 3u);
}

TEST(BitmapWait, GivesUpOnAFileThatStaysIncomplete)
{
    FakeSleeper sleeper;
    ScriptedProbe probe{{BitmapState::Incomplete}};
    EXPECT_FALSE(WaitForBitmap("/x.BMP", sleeper, std::ref(probe)));
    EXPECT_EQ(probe.probes, 51) << "one probe finds it, fifty wait for its completion";
    EXPECT_EQ(sleeper.sleeps.size(), 49u);
}

class BitmapFileTest : public ::testing::Test {
protected:
    CPrivateTempDir dir;
    std::string path = dir.NewFileName("probe", ".BMP");
};

TEST_F(BitmapFileTest, ProbeTellsMissingIncompleteAndComplete)
{
    EXPECT_EQ(ProbeBitmapFile(path), BitmapState::Missing);
    std::filesystem::create_directory(path);
    EXPECT_EQ(ProbeBitmapFile(path), BitmapState::Missing) << "a directory is no bitmap";
    std::filesystem::remove(path);
    std::ofstream(path) << "BM";
    EXPECT_EQ(ProbeBitmapFile(path), BitmapState::Incomplete) << "header cut short";
    WriteTinyBmp(path, false);
    EXPECT_EQ(ProbeBitmapFile(path), BitmapState::Incomplete) << "size field above file size";
    WriteTinyBmp(path, true);
    EXPECT_EQ(ProbeBitmapFile(path), BitmapState::Complete);
}

TEST_F(BitmapFileTest, RemovesAStaleFileButNotADirectory)
{
    WriteTinyBmp(path);
    EXPECT_TRUE(RemoveStaleBitmap(path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(RemoveStaleBitmap(path)) << "nothing there is fine";
    std::filesystem::create_directory(path);
    EXPECT_FALSE(RemoveStaleBitmap(path));
}

TEST_F(EngineTest, ABitmapThatNeverAppearsFailsAfterFiftyProbesWithoutWaiting)
{
    fake->bitmap = BitmapBehaviour::Never;
    ConnectQuietly();
    RenderRequest request = Pair();
    request.bitmap2.clear();
    const RenderResult result = engine.RenderPair(request);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.messages.empty()) << "no automation error, no message here";
    std::vector<milliseconds> expected{milliseconds(100)};
    expected.insert(expected.end(), 49, milliseconds(200));
    EXPECT_EQ(sleeper->sleeps, expected);
    EXPECT_EQ(fake->Count("Document.Close"), 1) << "the document is still closed";
}

TEST_F(EngineTest, ALateBitmapIsAccepted)
{
    fake->bitmap = BitmapBehaviour::Late;
    fake->lateAfterSleeps = 3;
    ConnectQuietly();
    EXPECT_TRUE(engine.RenderPair(Pair()).ok);
    EXPECT_EQ(sleeper->sleeps.size(), 2u * (1 + 3));
}

TEST_F(EngineTest, AnIncompleteBitmapFailsBothExportsButBothAreTried)
{
    fake->bitmap = BitmapBehaviour::Incomplete;
    ConnectQuietly();
    const RenderResult result = engine.RenderPair(Pair());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(fake->macros.size(), 2u);
}

TEST_F(EngineTest, AStaleBitmapAtTheTargetIsNotTakenForTheNewOne)
{
    fake->bitmap = BitmapBehaviour::Never;
    WriteTinyBmp(bitmap1);
    ConnectQuietly();
    RenderRequest request = Pair();
    request.bitmap2.clear();
    EXPECT_FALSE(engine.RenderPair(request).ok);
    EXPECT_FALSE(std::filesystem::exists(bitmap1));
}

TEST_F(EngineTest, ExportOfNoDocumentFails)
{
    EXPECT_FALSE(engine.ExportBitmap(nullptr, 1000, bitmap1, extents1));
    EXPECT_TRUE(fake->calls.empty());
}
