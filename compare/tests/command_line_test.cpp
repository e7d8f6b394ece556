// The command line: plain arguments are files, only "-" starts a switch.
#include "command_line_info.h"

#include <gtest/gtest.h>

namespace {

CMyCommandLineInfo Parse(const QStringList& arguments)
{
    CMyCommandLineInfo info;
    info.ParseArguments(arguments);
    return info;
}

} // namespace

TEST(CommandLine, TwoPathsAreTheTwoFilesAndNothingStarts)
{
    const CMyCommandLineInfo info = Parse({"/plans/a.vkd", "/plans/b.vkd"});
    EXPECT_EQ(info.file1, "/plans/a.vkd");
    EXPECT_EQ(info.file2, "/plans/b.vkd");
    EXPECT_FALSE(info.compareAtStart);
    EXPECT_TRUE(info.screenshotPath.isEmpty());
}

TEST(CommandLine, ADashArgumentIsAnIgnoredSwitch)
{
    const CMyCommandLineInfo info = Parse({"-x", "a.bmp"});
    EXPECT_EQ(info.file1, "a.bmp");
    EXPECT_TRUE(info.file2.isEmpty());
    EXPECT_FALSE(info.compareAtStart);
}

TEST(CommandLine, AnAbsolutePathIsAFileNotASwitch)
{
    const CMyCommandLineInfo info = Parse({"/x", "a.bmp"});
    EXPECT_EQ(info.file1, "/x");
    EXPECT_EQ(info.file2, "a.bmp");
}

TEST(CommandLine, WithThreeFilesTheLastIsFileTwo)
{
    const CMyCommandLineInfo info = Parse({"a", "b", "c"});
    EXPECT_EQ(info.file1, "a");
    EXPECT_EQ(info.file2, "c");
}

TEST(CommandLine, NoArgumentsLeaveBothFilesEmpty)
{
    const CMyCommandLineInfo info = Parse({});
    EXPECT_TRUE(info.file1.isEmpty());
    EXPECT_TRUE(info.file2.isEmpty());
}

TEST(CommandLine, CompareAndScreenshotSwitches)
{
    const CMyCommandLineInfo compare = Parse({"a.png", "-compare", "b.png"});
    EXPECT_TRUE(compare.compareAtStart);
    EXPECT_EQ(compare.file2, "b.png");

    const CMyCommandLineInfo shot = Parse({"-screenshot", "/out/w.png", "a.vkd", "b.vkd"});
    EXPECT_EQ(shot.screenshotPath, "/out/w.png");
    EXPECT_EQ(shot.file1, "a.vkd");
    EXPECT_EQ(shot.file2, "b.vkd");

    const CMyCommandLineInfo cut = Parse({"-screenshot", "-y", "a.vkd"});
    EXPECT_TRUE(cut.screenshotPath.isEmpty());
    EXPECT_EQ(cut.file1, "a.vkd");
}
