// The resize rules of the dialog layout, without a window.
#include "resize_layout.h"

#include <gtest/gtest.h>

TEST(ResizeLayout, EachFlagMovesOrStretchesItsEdges)
{
    CResizeLayout layout(400, 300);
    const IntRect start{10, 20, 110, 60};
    layout.Add(start, 0);
    layout.Add(start, kMoveX);
    layout.Add(start, kMoveY);
    layout.Add(start, kStretchX);
    layout.Add(start, kStretchY);
    layout.Add(start, kMoveX | kMoveY);
    layout.Add(start, kStretchX | kStretchY);
    const std::vector<IntRect>& r = layout.Resize(450, 330);
    EXPECT_EQ(r[0], start);
    EXPECT_EQ(r[1], (IntRect{60, 20, 160, 60}));
    EXPECT_EQ(r[2], (IntRect{10, 50, 110, 90}));
    EXPECT_EQ(r[3], (IntRect{10, 20, 160, 60}));
    EXPECT_EQ(r[4], (IntRect{10, 20, 110, 90}));
    EXPECT_EQ(r[5], (IntRect{60, 50, 160, 90}));
    EXPECT_EQ(r[6], (IntRect{10, 20, 160, 90}));
}

TEST(ResizeLayout, ChangesAreCountedFromTheLastLayout)
{
    CResizeLayout layout(400, 300);
    layout.Add({0, 0, 100, 100}, kStretchX | kMoveY);
    layout.Resize(500, 350);
    const std::vector<IntRect>& r = layout.Resize(450, 320);
    EXPECT_EQ(r[0], (IntRect{0, 20, 150, 120}));
}

TEST(ResizeLayout, TheClientNeverGetsSmallerThanAtTheStart)
{
    CResizeLayout layout(400, 300);
    layout.Add({0, 0, 100, 100}, kStretchX | kStretchY);
    EXPECT_EQ(layout.Resize(100, 50)[0], (IntRect{0, 0, 100, 100}));
    layout.Resize(500, 400);
    EXPECT_EQ(layout.Resize(10, 10)[0], (IntRect{0, 0, 100, 100}));
    EXPECT_EQ(layout.MinimumWidth(), 400);
    EXPECT_EQ(layout.MinimumHeight(), 300);
}

TEST(ResizeLayout, SharedRowsSplitTheChangeAndTheLastTakesTheRemainder)
{
    CResizeLayout layout(400, 300);
    layout.Add({0, 0, 100, 10}, kMoveX | kStretchX, {3, 0});
    layout.Add({100, 0, 200, 10}, kMoveX | kStretchX, {3, 1});
    layout.Add({200, 0, 300, 10}, kMoveX | kStretchX, {3, 2});
    const std::vector<IntRect>& r = layout.Resize(410, 300); // 10 = 3 + 3 + 3 + 1
    EXPECT_EQ(r[0], (IntRect{0, 0, 103, 10}));
    EXPECT_EQ(r[1], (IntRect{103, 0, 206, 10}));
    EXPECT_EQ(r[2], (IntRect{206, 0, 310, 10}));
}
