// The zoom model without a window: fitting, zoom steps and their limits,
// zoom to differences, dragging, the wheel, scroll bars, painting plans and
// a view without client area.
#include "zoom_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

CZoomModel Shown(int bitmapWidth, int bitmapHeight, int clientWidth, int clientHeight)
{
    CZoomModel model;
    model.SetClientSize(clientWidth, clientHeight);
    model.ShowBitmap(bitmapWidth, bitmapHeight);
    return model;
}

bool Inside(const IntRect& view, int width, int height)
{
    return view.left >= 0 && view.top >= 0 && view.right <= width && view.bottom <= height && view.Width() >= 0 &&
        view.Height() >= 0;
}

} // namespace

TEST(ZoomModel, AFirstBitmapWithoutDifferencesFitsTheWindow)
{
    const CZoomModel model = Shown(2000, 1000, 500, 500);
    EXPECT_TRUE(model.FitMode());
    EXPECT_DOUBLE_EQ(model.Scale(), 4.0);
    EXPECT_EQ(model.View(), (IntRect{0, 0, 2000, 1000}));
    EXPECT_EQ(model.State(), kZoomScaledWhole);
    // Wider than the client: shrunk to its width, centred vertically.
    EXPECT_EQ(model.Plan().destination, (IntRect{0, 125, 500, 375}));
}

TEST(ZoomModel, ASmallerBitmapIsFittedAtFullSizeInTheMiddle)
{
    const CZoomModel model = Shown(100, 50, 400, 300);
    EXPECT_DOUBLE_EQ(model.Scale(), 0.25);
    EXPECT_EQ(model.State(), kZoomScaledWhole);
    EXPECT_EQ(model.Plan().destination, (IntRect{150, 125, 250, 175}));
}

TEST(ZoomModel, ABitmapOfTheClientsSizeFitsAtFullResolution)
{
    const CZoomModel model = Shown(400, 300, 400, 300);
    EXPECT_EQ(model.State(), kZoomFullWhole);
}

TEST(ZoomModel, ZoomInStopsAtFullResolution)
{
    CZoomModel model = Shown(2000, 1000, 500, 500);
    double previous = model.Scale();
    for (int i = 0; i < 20; ++i) {
        model.ZoomIn();
        EXPECT_GE(model.Scale(), 1.0);
        EXPECT_LE(model.Scale(), previous);
        previous = model.Scale();
    }
    EXPECT_DOUBLE_EQ(model.Scale(), 1.0);
    EXPECT_EQ(model.State(), kZoomFullPartial);
    EXPECT_FALSE(model.FitMode());
}

TEST(ZoomModel, ZoomInOnASmallFittedBitmapGoesToFullResolutionNotBeyond)
{
    CZoomModel model = Shown(100, 50, 400, 300);
    model.ZoomIn();
    EXPECT_DOUBLE_EQ(model.Scale(), 1.0);
    EXPECT_EQ(model.State(), kZoomFullWhole);
    EXPECT_EQ(model.Plan().destination, (IntRect{150, 125, 250, 175}));
}

TEST(ZoomModel, ZoomOutStopsOnceTheWholeBitmapIsVisible)
{
    CZoomModel model = Shown(2000, 1000, 500, 500);
    model.FullResolution();
    ASSERT_EQ(model.State(), kZoomFullPartial);
    int steps = 0;
    while (model.State() != kZoomScaledWhole && steps < 50) {
        model.ZoomOut();
        ++steps;
    }
    ASSERT_EQ(model.State(), kZoomScaledWhole);
    EXPECT_EQ(model.View(), (IntRect{0, 0, 2000, 1000}));
    // 1.2^8 = 4.3 is the first step that shows all 2000 pixels in 500.
    EXPECT_EQ(steps, 8);
    const double scale = model.Scale();
    model.ZoomOut();
    EXPECT_DOUBLE_EQ(model.Scale(), scale);
}

TEST(ZoomModel, ZoomToDifferencesOnOnePixelGivesFullResolutionCentredOnIt)
{
    CZoomModel model;
    model.SetClientSize(300, 200);
    model.SetDifferenceBox({600, 500, 600, 500});
    model.ShowBitmap(1000, 800);
    EXPECT_DOUBLE_EQ(model.Scale(), 1.0);
    EXPECT_EQ(model.Centre(), (IntPoint{600, 500}));
    EXPECT_EQ(model.View(), (IntRect{450, 400, 750, 600}));
    EXPECT_EQ(model.State(), kZoomFullPartial);
}

TEST(ZoomModel, ZoomToDifferencesInACornerStaysInsideTheBitmap)
{
    CZoomModel model;
    model.SetClientSize(300, 200);
    model.SetDifferenceBox({999, 799, 999, 799});
    model.ShowBitmap(1000, 800);
    EXPECT_EQ(model.View(), (IntRect{700, 600, 1000, 800}));
}

TEST(ZoomModel, ZoomToDifferencesFitsALargeBoxWithoutMagnifying)
{
    CZoomModel model;
    model.SetClientSize(300, 200);
    model.SetDifferenceBox({100, 100, 699, 299}); // 600 x 200 pixels
    model.ShowBitmap(1000, 800);
    EXPECT_DOUBLE_EQ(model.Scale(), 2.0);
    EXPECT_EQ(model.Centre(), (IntPoint{400, 200}));
}

TEST(ZoomModel, ZoomToDifferencesWithoutDifferencesFitsTheWindow)
{
    CZoomModel model = Shown(1000, 800, 300, 200);
    model.FullResolution();
    model.ZoomToDifferences();
    EXPECT_TRUE(model.FitMode());
    EXPECT_EQ(model.View(), (IntRect{0, 0, 1000, 800}));
}

TEST(ZoomModel, ALaterBitmapKeepsZoomAndPosition)
{
    CZoomModel model = Shown(1000, 800, 300, 200);
    model.FullResolution();
    model.Drag({100, 100}, {50, 60});
    const IntRect view = model.View();
    EXPECT_FALSE(model.ShowBitmap(1000, 800));
    EXPECT_EQ(model.View(), view);
    EXPECT_DOUBLE_EQ(model.Scale(), 1.0);
}

TEST(ZoomModel, AViewWithoutClientAreaGivesFiniteValues)
{
    CZoomModel model = Shown(1000, 800, 0, 0);
    EXPECT_TRUE(std::isfinite(model.Scale()));
    EXPECT_GT(model.Scale(), 0.0);
    EXPECT_TRUE(Inside(model.View(), 1000, 800));
    model.Resize(0, 0);
    model.ZoomIn();
    model.ZoomOut();
    model.ZoomToDifferences();
    model.FullResolution();
    model.Drag({0, 0}, {5, 5});
    model.WheelZoomIn({0, 0});
    EXPECT_TRUE(std::isfinite(model.Scale()));
    EXPECT_TRUE(Inside(model.View(), 1000, 800));
    EXPECT_FALSE(model.ClientToBitmap({0, 0}).has_value());
}

TEST(ZoomModel, DraggingMovesTheBitmapWithTheMouse)
{
    CZoomModel model = Shown(2000, 1500, 400, 300);
    model.FullResolution();
    const IntPoint centre = model.Centre();
    model.Drag({200, 150}, {150, 170}); // mouse left 50, down 20
    EXPECT_EQ(model.Centre(), (IntPoint{centre.x + 50, centre.y - 20}));
    EXPECT_EQ(model.View().left, centre.x + 50 - 200);
}

TEST(ZoomModel, DraggingStopsAtTheBitmapsEdges)
{
    CZoomModel model = Shown(2000, 1500, 400, 300);
    model.FullResolution();
    model.Drag({0, 0}, {5000, 5000});
    EXPECT_EQ(model.View(), (IntRect{0, 0, 400, 300}));
    model.Drag({5000, 5000}, {0, 0});
    EXPECT_EQ(model.View(), (IntRect{1600, 1200, 2000, 1500}));
}

TEST(ZoomModel, DraggingABitmapLowerThanTheViewKeepsItsMiddle)
{
    CZoomModel model = Shown(1000, 100, 400, 300);
    model.FullResolution();
    model.Drag({200, 150}, {100, 50});
    EXPECT_EQ(model.Centre().y, 50);
    EXPECT_EQ(model.Centre().x, 600);
    EXPECT_EQ(model.View(), (IntRect{400, 0, 800, 100}));
}

TEST(ZoomModel, WheelZoomKeepsTheBitmapPointUnderTheMouse)
{
    CZoomModel model = Shown(4000, 3000, 400, 300); // fitted at scale 10
    for (IntPoint mouse : {IntPoint{100, 80}, IntPoint{350, 40}, IntPoint{200, 150}}) {
        const std::optional<IntPoint> before = model.ClientToBitmap(mouse);
        ASSERT_TRUE(before.has_value());
        const double scale = model.Scale();
        const std::optional<IntPoint> moved = model.WheelZoomIn(mouse);
        ASSERT_TRUE(moved.has_value());
        EXPECT_LT(model.Scale(), scale);
        const std::optional<IntPoint> after = model.ClientToBitmap(*moved);
        ASSERT_TRUE(after.has_value());
        EXPECT_LE(std::abs(after->x - before->x), std::ceil(model.Scale()));
        EXPECT_LE(std::abs(after->y - before->y), std::ceil(model.Scale()));
    }
}

// At full resolution a wheel turn cannot magnify further, but it moves the
// view to the mouse point at once; nothing jumps at the next drag.
TEST(ZoomModel, WheelZoomAtFullResolutionPlacesTheViewAtOnce)
{
    CZoomModel model = Shown(4000, 3000, 400, 300);
    while (model.Scale() > 1.0)
        model.ZoomIn();
    const IntRect before = model.View();
    const std::optional<IntPoint> under = model.ClientToBitmap({350, 40});
    ASSERT_TRUE(under.has_value());
    model.WheelZoomIn({350, 40});
    EXPECT_DOUBLE_EQ(model.Scale(), 1.0);
    const IntRect placed = model.View();
    EXPECT_NE(placed, before) << "the view did not follow the mouse";
    EXPECT_LE(std::abs((placed.left + placed.right) / 2 - under->x), 1);
    EXPECT_LE(std::abs((placed.top + placed.bottom) / 2 - under->y), 1);
    model.Drag({100, 100}, {100, 100});
    EXPECT_EQ(model.View(), placed) << "a drag of nothing moved the view";
}

TEST(ZoomModel, WheelZoomOverTheMarginMovesNoPointer)
{
    CZoomModel model = Shown(2000, 500, 400, 400); // margins above and below
    EXPECT_FALSE(model.WheelZoomIn({200, 10}).has_value());
    EXPECT_FALSE(model.FitMode());
}

TEST(ZoomModel, ScrollBarsFollowTheViewAndMoveIt)
{
    CZoomModel model = Shown(2000, 1500, 400, 300);
    model.FullResolution();
    EXPECT_TRUE(model.HorizontalBar().Enabled());
    EXPECT_EQ(model.HorizontalBar().page, 400);
    model.ScrollHorizontally(700);
    EXPECT_EQ(model.View().left, 700);
    EXPECT_EQ(model.HorizontalBar().position, 700);
    model.ScrollVertically(99999);
    EXPECT_EQ(model.View().bottom, 1500);
    model.ZoomToWindow();
    EXPECT_FALSE(model.HorizontalBar().Enabled());
    EXPECT_FALSE(model.VerticalBar().Enabled());
}

TEST(ZoomModel, ResizingRefitsInFitModeAndKeepsTheCentreOtherwise)
{
    CZoomModel model = Shown(2000, 1000, 500, 500);
    model.Resize(1000, 500);
    EXPECT_DOUBLE_EQ(model.Scale(), 2.0);
    model.FullResolution();
    model.Drag({0, 0}, {-100, 0});
    const IntPoint centre = model.Centre();
    model.Resize(600, 400);
    EXPECT_EQ(model.Centre(), centre);
    EXPECT_EQ(model.View(), (IntRect{centre.x - 300, centre.y - 200, centre.x + 300, centre.y + 200}));
}

TEST(ZoomModel, OutsideFitModeASmallBitmapIsCentredWithMargins)
{
    CZoomModel model = Shown(1000, 100, 400, 300);
    model.ZoomIn(); // scale 2.5 / 1.2, part of the width hidden
    const PaintPlan plan = model.Plan();
    EXPECT_EQ(plan.destination.left, 0);
    EXPECT_EQ(plan.destination.right, 400);
    EXPECT_GT(plan.destination.top, 0);
    EXPECT_EQ(plan.destination.top, 300 - plan.destination.bottom);
}

TEST(ZoomModel, ResetForgetsTheBitmapAndTheDifferences)
{
    CZoomModel model;
    model.SetClientSize(300, 200);
    model.SetDifferenceBox({5, 5, 5, 5});
    model.ShowBitmap(100, 100);
    model.Reset();
    EXPECT_FALSE(model.HasBitmap());
    EXPECT_FALSE(model.DifferencesKnown());
    EXPECT_EQ(model.State(), kZoomScaledPartial);
    EXPECT_DOUBLE_EQ(model.Scale(), 1.0);
    EXPECT_TRUE(model.ShowBitmap(100, 100));
    EXPECT_TRUE(model.FitMode());
}
