// The common view window and the bitmap width.
#include "twinview/view_window.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ViewWindow, UnionTakesTheOuterCornersOfBothDrawings)
{
    const BoxCorners a{0, 0, 0, 100, 50, 1};
    const BoxCorners b{-20, 10, -2, 80, 70, 0};
    EXPECT_EQ(UnionOfExtents(a, &b), (BoxCorners{-20, 0, -2, 100, 70, 1}));
    EXPECT_EQ(UnionOfExtents(a, &a), a) << "equal extents are taken unchanged";
    EXPECT_EQ(UnionOfExtents(b, nullptr), b) << "one drawing: its own extents";
}

TEST(ViewWindow, MarginIsOnePercentOfTheLargerSideInXAndYOnly)
{
    EXPECT_EQ(WidenByMargin({0, 0, -5, 100, 300, 5}), (BoxCorners{-3, -3, -5, 103, 303, 5}));
    EXPECT_EQ(WidenByMargin({0, 0, 0, 200, 10, 0}), (BoxCorners{-2, -2, 0, 202, 12, 0}));
}

TEST(ViewWindow, ADegenerateWindowBecomesAUnitBoxAroundItsCentre)
{
    EXPECT_EQ(NonDegenerate({3, 4, 0, 3, 4, 0}), (BoxCorners{2.5, 3.5, 0, 3.5, 4.5, 0}));
    EXPECT_EQ(NonDegenerate({0, 2, 0, 10, 2, 0}), (BoxCorners{0, 1.5, 0, 10, 2.5, 0})) << "only the axis without size";
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(NonDegenerate({nan, nan, nan, nan, nan, nan}), (BoxCorners{-0.5, -0.5, 0, 0.5, 0.5, 0}));
    const BoxCorners fine{0, 0, 0, 10, 5, 0};
    EXPECT_EQ(NonDegenerate(fine), fine);
}

TEST(ViewWindow, BitmapWidthIsTheImageSizeForWideWindowsAndTruncatedForTallOnes)
{
    EXPECT_EQ(BitmapWidth({0, 0, 0, 200, 100, 0}, 1000), 1000);
    EXPECT_EQ(BitmapWidth({0, 0, 0, 100, 100, 0}, 1000), 1000) << "square: 1000 * 1";
    EXPECT_EQ(BitmapWidth({0, 0, 0, 10.58, 29.58, 0}, 1000), 357);
    EXPECT_EQ(BitmapWidth({0, 0, 0, 1, 3, 0}, 1000), 333);
}

TEST(ViewWindow, BitmapWidthIsNeverBelowOne)
{
    EXPECT_EQ(BitmapWidth({0, 0, 0, 1e-9, 1, 0}, 1000), 1);
    EXPECT_EQ(BitmapWidth({0, 0, 0, 0, 0, 0}, 1000), 1);
    EXPECT_EQ(BitmapWidth({0, 0, 0, 10, 5, 0}, 0), 1) << "image size at least 1";
}

TEST(ViewWindow, BitmapWidthStaysInRangeForExtentsNearTheDoubleLimit)
{
    EXPECT_EQ(BitmapWidth({-1e305, -1e307, 0, 1e305, 1e307, 0}, 1000), 10);
    EXPECT_EQ(BitmapWidth({-1e308, -1e308, 0, 1e308, 1e308, 0}, 1000), 1000);
    const int width = BitmapWidth({0, 0, 0, 1e306, 1e307, 0}, 16384);
    EXPECT_GE(width, 1);
    EXPECT_LE(width, 16384);
}
