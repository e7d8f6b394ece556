// 24-bit BMP files written so that they appear only when complete.
#include "bmp_file.h"
#include "twinview/private_temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

using namespace draftora;

namespace {

std::uint32_t At32(const std::vector<std::uint8_t>& b, std::size_t i)
{
    return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | std::uint32_t(b[i + 3]) << 24;
}

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(BmpFile, HeaderDescribesABottomUp24BitImage)
{
    const Canvas canvas(3, 2, Rgb{0, 0, 0});
    const auto h = BmpHeader(canvas);
    const std::vector<std::uint8_t> b(h.begin(), h.end());
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(At32(b, 2), 54u + 2 * 12) << "rows of 9 bytes padded to 12";
    EXPECT_EQ(At32(b, 10), 54u);
    EXPECT_EQ(At32(b, 14), 40u);
    EXPECT_EQ(At32(b, 18), 3u);
    EXPECT_EQ(At32(b, 22), 2u);
    EXPECT_EQ(b[26] | b[27] << 8, 1);
    EXPECT_EQ(b[28] | b[29] << 8, 24);
    EXPECT_EQ(At32(b, 30), 0u);
    EXPECT_EQ(At32(b, 34), 24u);
}

TEST(BmpFile, WritesPixelsBottomUpInBlueGreenRedOrder)
{
    CPrivateTempDir dir;
    Canvas canvas(2, 2, Rgb{255, 255, 255});
    canvas.Set(1, 0, Rgb{10, 20, 30}); // top right
    const std::string path = dir.NewFileName("out", ".BMP");
    WriteBmpFile(path, canvas);
    const auto bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 54u + 2 * 8);
    EXPECT_EQ(At32(bytes, 2), bytes.size());
    // The top row is the second row in the file; its second pixel is at 3.
    const std::size_t topRight = 54 + 8 + 3;
    EXPECT_EQ(bytes[topRight], 30);
    EXPECT_EQ(bytes[topRight + 1], 20);
    EXPECT_EQ(bytes[topRight + 2], 10);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1u) << "no partial file is left beside the bitmap";
}

TEST(BmpFile, AnUnwritablePlaceIsASystemErrorAndLeavesNothing)
{
    CPrivateTempDir dir;
    const Canvas canvas(2, 2, Rgb{});
    EXPECT_THROW(WriteBmpFile(dir.Path() + "/missing/out.BMP", canvas), std::system_error);
    std::filesystem::create_directory(dir.Path() + "/taken.BMP");
    EXPECT_THROW(WriteBmpFile(dir.Path() + "/taken.BMP", canvas), std::system_error);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
        << "only the directory that was in the way";
}
