#include "large_image.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

std::uint32_t NumberOf(int x, int y)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(y * 4099 + x) & 0xFFFFFFu);
}

// Every pixel a value of its own, so a misplaced row or stride shows.
void Number(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = NumberOf(x, y);
    }
}

bool IsNumbered(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x] != NumberOf(x, y))
                return false;
    }
    return true;
}

} // namespace

// Below and above the size from which the pixels get a mapping of their
// own, and with odd widths: the image is a plain RGB32 image either way.
TEST(LargeImage, SmallAndLargeImagesHoldEveryPixelAndDetachOnWrite)
{
    for (const QSize size : {QSize(1, 1), QSize(37, 11), QSize(1024, 1024), QSize(1001, 1537)}) {
        SCOPED_TRACE(size.width());
        QImage image = NewLargeImage(size);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), size);
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_EQ(image.bytesPerLine() % 4, 0);
        EXPECT_TRUE(image.isDetached());
        Number(image);
        EXPECT_TRUE(IsNumbered(image));

        // A copy shares the pixels until one side writes.
        QImage copy = image;
        copy.setPixel(0, 0, qRgb(1, 2, 3));
        EXPECT_TRUE(IsNumbered(image)) << "writing a copy changed the original";
        image = QImage(); // the mapping goes; the copy has pixels of its own
        EXPECT_EQ(copy.pixel(0, 0), qRgb(1, 2, 3));
        copy.setPixel(0, 0, NumberOf(0, 0));
        EXPECT_TRUE(IsNumbered(copy));
    }
}

TEST(LargeImage, EmptyAndImpossibleSizesGiveANullImage)
{
    EXPECT_TRUE(NewLargeImage(QSize(0, 10)).isNull());
    EXPECT_TRUE(NewLargeImage(QSize(10, 0)).isNull());
    EXPECT_TRUE(NewLargeImage(QSize(-5, 10)).isNull());
    EXPECT_TRUE(NewLargeImage(QSize(INT_MAX, INT_MAX)).isNull());
}
