// The private temporary directory of the macro files and bitmaps.
#include "twinview/private_temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(PrivateTempDir, IsOnlyForItsOwnerAndGoesAwayWithEverythingInIt)
{
    std::string path;
    {
        CPrivateTempDir dir;
        path = dir.Path();
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        dir.CreateFile("vkmacro", ".vkm", "text");
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST(PrivateTempDir, NamesAreUniqueAndFreeAndTwoDirectoriesDiffer)
{
    CPrivateTempDir a;
    CPrivateTempDir b;
    EXPECT_NE(a.Path(), b.Path());
    const std::string first = a.NewFileName("cmp", ".BMP");
    std::ofstream(first) << "x";
    const std::string second = a.NewFileName("cmp", ".BMP");
    EXPECT_NE(first, second);
    EXPECT_FALSE(fs::exists(second));
    EXPECT_EQ(fs::path(second).extension(), ".BMP");
}

// A name that cannot even be checked fails at once instead of trying the
// next number for ever.
TEST(PrivateTempDir, NamesThatCannotBeCheckedAreAnError)
{
    CPrivateTempDir dir;
    EXPECT_THROW(dir.NewFileName(std::string(300, 'x'), ".BMP"), std::system_error);
    const std::string path = dir.Path();
    fs::remove_all(path);
    std::ofstream(path) << "a file where the directory was";
    EXPECT_THROW(dir.NewFileName("cmp", ".BMP"), std::system_error);
    fs::remove(path);
}

TEST(PrivateTempDir, CreateFileNeverFollowsOrOverwritesWhatIsThere)
{
    CPrivateTempDir dir;
    const std::string target = dir.NewFileName("target", ".txt");
    std::ofstream(target) << "keep";
    // Plant links at the next names the directory would use.
    for (int n = 1; n <= 5; ++n)
        fs::create_symlink(target, dir.Path() + "/vkmacro" + std::to_string(n + 1) + ".vkm");
    const std::string created = dir.CreateFile("vkmacro", ".vkm", "macro");
    EXPECT_FALSE(fs::is_symlink(created));
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
    std::ifstream macro(created);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(macro), {}), "macro");
}
