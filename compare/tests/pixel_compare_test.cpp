// The pixel comparison against an independent per-pixel oracle written from
// the rule: per colour byte NOT (a XOR b), a pixel differs when any of its
// bytes is not 0xFF, the box spans the differing pixels with rows counted
// from the top.
#include "pixel_compare.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cstring>
#include <random>

namespace {

QImage Filled(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

struct Oracle {
    QImage image;
    bool differs = false;
    IntRect box{1 << 30, 1 << 30, -1, -1};
    std::int64_t count = 0;
};

Oracle ComputeOracle(const QImage& a, const QImage& b)
{
    Oracle o;
    o.image = QImage(a.size(), QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y);
            const QRgb pb = b.pixel(x, y);
            const int r = 255 - (qRed(pa) ^ qRed(pb));
            const int g = 255 - (qGreen(pa) ^ qGreen(pb));
            const int bl = 255 - (qBlue(pa) ^ qBlue(pb));
            o.image.setPixel(x, y, qRgb(r, g, bl));
            if (r != 255 || g != 255 || bl != 255) {
                o.differs = true;
                ++o.count;
                o.box.left = std::min(o.box.left, x);
                o.box.top = std::min(o.box.top, y);
                o.box.right = std::max(o.box.right, x);
                o.box.bottom = std::max(o.box.bottom, y);
            }
        }
    }
    return o;
}

void ExpectMatchesOracle(const QImage& a, const QImage& b)
{
    const PixelDifference result = ComparePixels(a, b);
    const Oracle oracle = ComputeOracle(a, b);
    ASSERT_FALSE(result.image.isNull());
    EXPECT_EQ(result.differs, oracle.differs);
    EXPECT_EQ(result.count, oracle.count);
    if (oracle.differs) {
        EXPECT_EQ(result.box, oracle.box);
    }
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            ASSERT_EQ(result.image.pixel(x, y), oracle.image.pixel(x, y)) << x << "," << y;
        }
    }
}

} // namespace

TEST(PixelCompare, IdenticalImagesGiveAllWhiteAndNoDifferences)
{
    QImage image = Filled(7, 5, qRgb(10, 200, 30));
    image.setPixel(3, 2, qRgb(1, 2, 3));
    const PixelDifference result = ComparePixels(image, image.copy());
    EXPECT_FALSE(result.differs);
    EXPECT_EQ(result.image, Filled(7, 5, qRgb(255, 255, 255)));
}

TEST(PixelCompare, OneDifferingPixelGivesAZeroSizeBoxAtItsPosition)
{
    const QImage a = Filled(9, 6, qRgb(255, 255, 255));
    for (QPoint p : {QPoint(0, 0), QPoint(4, 2), QPoint(8, 5), QPoint(2, 5)}) {
        QImage b = a.copy();
        b.setPixel(p, qRgb(255, 255, 254)); // one unit in one colour byte
        const PixelDifference result = ComparePixels(a, b);
        ASSERT_TRUE(result.differs);
        EXPECT_EQ(result.box, (IntRect{p.x(), p.y(), p.x(), p.y()})) << p.x() << "," << p.y();
    }
}

TEST(PixelCompare, ADifferenceInTheBottomRowLiesInsideTheBitmap)
{
    const QImage a = Filled(4, 3, qRgb(0, 0, 0));
    QImage b = a.copy();
    b.setPixel(1, 2, qRgb(0, 9, 0));
    const PixelDifference result = ComparePixels(a, b);
    EXPECT_EQ(result.box.bottom, 2);
    EXPECT_LT(result.box.bottom, a.height());
}

TEST(PixelCompare, BlackAgainstWhiteGivesBlackAndRedAgainstWhiteGivesRed)
{
    const QImage white = Filled(1, 1, qRgb(255, 255, 255));
    EXPECT_EQ(ComparePixels(Filled(1, 1, qRgb(0, 0, 0)), white).image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(ComparePixels(Filled(1, 1, qRgb(255, 0, 0)), white).image.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(PixelCompare, WidthsThatNeedRowPaddingInTwentyFourBitsMatchTheOracle)
{
    std::mt19937 random(7);
    for (int width : {1, 2, 3, 5}) {
        QImage a(width, 4, QImage::Format_RGB32);
        QImage b(width, 4, QImage::Format_RGB32);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < width; ++x) {
                const QRgb colour = qRgb(random() % 256, random() % 256, random() % 256);
                a.setPixel(x, y, colour);
                b.setPixel(x, y, random() % 3 == 0 ? qRgb(random() % 256, random() % 256, random() % 256) : colour);
            }
        }
        SCOPED_TRACE(width);
        ExpectMatchesOracle(a, b);
    }
}

TEST(PixelCompare, RandomImagesWithScatteredDifferencesMatchTheOracle)
{
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        const int width = 1 + random() % 40;
        const int height = 1 + random() % 30;
        QImage a(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                a.setPixel(x, y, qRgb(random() % 256, random() % 256, random() % 256));
        QImage b = a.copy();
        const int changes = random() % 4;
        for (int i = 0; i < changes; ++i)
            b.setPixel(random() % width, random() % height, qRgb(random() % 256, random() % 256, random() % 256));
        SCOPED_TRACE(round);
        ExpectMatchesOracle(a, b);
    }
}

TEST(PixelCompare, ImagesOfDifferentSizesOrFormatsGiveNoResult)
{
    EXPECT_TRUE(ComparePixels(Filled(3, 3, 0), Filled(3, 4, 0)).image.isNull());
    const QImage argb = Filled(3, 3, 0).convertToFormat(QImage::Format_ARGB32);
    EXPECT_TRUE(ComparePixels(Filled(3, 3, 0), argb).image.isNull());
}

// Large enough to be compared in strips of rows on a machine with two or
// more processors: differences only in the top strip's right part and the
// bottom strip's left column, so the merged box needs both strips.
TEST(PixelCompare, AnImageComparedInStripsMatchesTheOracle)
{
    const int width = 1024, height = 2100;
    const QImage a = Filled(width, height, qRgb(250, 250, 250));
    QImage b = a.copy();
    b.setPixel(width - 1, 3, qRgb(0, 0, 0));
    b.setPixel(700, 1000, qRgb(1, 2, 3));
    b.setPixel(0, height - 2, qRgb(9, 9, 9));
    const PixelDifference result = ComparePixels(a, b);
    const Oracle oracle = ComputeOracle(a, b);
    ASSERT_TRUE(result.differs);
    EXPECT_EQ(result.box, oracle.box);
    for (int y = 0; y < height; ++y)
        ASSERT_EQ(0, std::memcmp(result.image.constScanLine(y), oracle.image.constScanLine(y), 4 * width)) << y;
}

// Small results are ordinary images, large ones have a mapping of their
// own: both kinds are reused alike.
TEST(PixelCompare, AResultNobodyElseHoldsIsReusedAndOneThatIsHeldIsNot)
{
    for (const QSize size : {QSize(40, 30), QSize(1100, 1000)}) {
        SCOPED_TRACE(size.width());
        const QImage a = Filled(size.width(), size.height(), qRgb(10, 20, 30));
        QImage b = a.copy();
        b.setPixel(5, 6, qRgb(0, 0, 0));
        PixelDifference result;
        ComparePixels(a, b, result);
        ASSERT_TRUE(result.differs);
        EXPECT_EQ(result.count, 1);
        const uchar* buffer = result.image.constBits();

        ComparePixels(a, a, result);
        EXPECT_EQ(result.image.constBits(), buffer) << "the result was made anew";
        EXPECT_FALSE(result.differs);
        EXPECT_EQ(result.image, ComputeOracle(a, a).image);

        ComparePixels(a, b, result);
        const QImage held = result.image;
        ComparePixels(a, a, result);
        EXPECT_NE(result.image.constBits(), held.constBits());
        EXPECT_EQ(held, ComputeOracle(a, b).image) << "a result someone holds was overwritten";
        EXPECT_EQ(result.image, ComputeOracle(a, a).image);
    }
}

// A result compared into again keeps the rows that stay white without
// rewriting them; rows that change, and a result changed by its holder in
// between, come out as a fresh comparison would give them.
TEST(PixelCompare, ComparingIntoTheSameResultAgainGivesWhatAFreshOneWould)
{
    for (const QSize size : {QSize(40, 30), QSize(1100, 1000)}) {
        SCOPED_TRACE(size.width());
        const QImage a = Filled(size.width(), size.height(), qRgb(10, 20, 30));
        QImage b = a.copy();
        b.setPixel(5, 6, qRgb(0, 0, 0));
        b.setPixel(size.width() - 1, size.height() - 2, qRgb(200, 0, 0));
        QImage c = a.copy();
        c.setPixel(7, 1, qRgb(0, 90, 0));
        PixelDifference result;
        const std::pair<const QImage*, const QImage*> pairs[] = {{&a, &a}, {&a, &b}, {&a, &a}, {&b, &c},
                                                                 {&c, &a}, {&a, &a}, {&a, &a}};
        for (const auto& pair : pairs) {
            ComparePixels(*pair.first, *pair.second, result);
            const Oracle fresh = ComputeOracle(*pair.first, *pair.second);
            ASSERT_EQ(result.image, fresh.image);
            ASSERT_EQ(result.count, fresh.count);
        }
        const uchar* buffer = result.image.constBits();
        // Changed by its holder: the rows known white are white no more.
        result.image.setPixel(3, 4, qRgb(1, 2, 3));
        QPainter(&result.image).fillRect(QRect(0, size.height() / 2, 9, 2), Qt::black);
        ComparePixels(a, a, result);
        EXPECT_EQ(result.image.constBits(), buffer) << "the result was made anew";
        EXPECT_EQ(result.image, ComputeOracle(a, a).image);
    }
}
