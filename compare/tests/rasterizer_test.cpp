// Rasterizing drawings: where lines, fills and circles land, clipping, and
// the image height.
#include "rasterizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using namespace draftora;

namespace {

const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};

Shape Line(double x0, double y0, double x1, double y1, int width = 1)
{
    return Shape{ShapeKind::Line, Pen{kBlack, width}, {{x0, y0}, {x1, y1}}, 0};
}

// 100 x 50 pixels for the window 0..10 x 0..5: one unit is ten pixels.
Canvas RenderOne(const Shape& shape)
{
    Drawing drawing;
    drawing.shapes.push_back(shape);
    Canvas canvas(100, 50, kWhite);
    Render(drawing, Box{0, 0, 10, 5}, canvas);
    return canvas;
}

int CountBlack(const Canvas& canvas)
{
    int n = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            n += canvas.At(x, y) == kBlack;
    return n;
}

} // namespace

TEST(Rasterizer, AHorizontalLineFillsOneRowBetweenItsEnds)
{
    const Canvas canvas = RenderOne(Line(1.05, 1.05, 8.05, 1.05));
    // x 1.05 -> column 10, x 8.05 -> column 80; y 1.05 -> row floor(39.5) = 39.
    for (int x = 10; x <= 80; ++x)
        EXPECT_EQ(canvas.At(x, 39), kBlack) << x;
    EXPECT_EQ(CountBlack(canvas), 71);
    EXPECT_EQ(canvas.At(9, 39), kWhite);
    EXPECT_EQ(canvas.At(81, 39), kWhite);
}

TEST(Rasterizer, ADiagonalLineSetsOnePixelPerColumn)
{
    const Canvas canvas = RenderOne(Line(0.05, 4.95, 4.95, 0.05));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(canvas.At(i, i), kBlack) << i;
    EXPECT_EQ(CountBlack(canvas), 50);
}

TEST(Rasterizer, LinesAreClippedToTheWindow)
{
    const Canvas across = RenderOne(Line(-100, 2.55, 100, 2.55));
    EXPECT_EQ(CountBlack(across), 100) << "one full row, nothing wrapped";
    EXPECT_EQ(CountBlack(RenderOne(Line(20, 0, 30, 5))), 0);
    EXPECT_EQ(CountBlack(RenderOne(Line(-1e300, 1, 1e300, 1))), 100);
    EXPECT_EQ(CountBlack(RenderOne(Line(0, 1e308, 1, -1e308))), 0) << "overflowing: skipped";
}

TEST(Rasterizer, APenOfWidthThreeCoversThreeRows)
{
    const Canvas canvas = RenderOne(Line(2.05, 2.55, 4.05, 2.55, 3));
    // The line's own row is 24; the square pen reaches one row either side.
    for (int row : {23, 24, 25})
        EXPECT_EQ(canvas.At(30, row), kBlack) << row;
    EXPECT_EQ(canvas.At(30, 22), kWhite);
    EXPECT_EQ(canvas.At(30, 26), kWhite);
}

TEST(Rasterizer, APolygonFillsThePixelsWhoseCentresAreInside)
{
    // 1..3 x 1..2 covers columns 10..29 and rows 30..39.
    const Canvas canvas = RenderOne(Shape{ShapeKind::Polygon, Pen{kBlack, 1}, {{1, 1}, {3, 1}, {3, 2}, {1, 2}}, 0});
    EXPECT_EQ(CountBlack(canvas), 200);
    EXPECT_EQ(canvas.At(10, 30), kBlack);
    EXPECT_EQ(canvas.At(29, 39), kBlack);
    EXPECT_EQ(canvas.At(30, 35), kWhite);
    EXPECT_EQ(canvas.At(20, 40), kWhite);
}

TEST(Rasterizer, ACircleStaysWithinHalfAPixelOfItsRadius)
{
    const Canvas canvas = RenderOne(Shape{ShapeKind::Circle, Pen{kBlack, 1}, {{5, 2.5}}, 2});
    int black = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.At(x, y) == kBlack) {
                ++black;
                const double d = std::hypot(x + 0.5 - 50, y + 0.5 - 25);
                EXPECT_NEAR(d, 20, 1.5) << x << "," << y;
            }
    EXPECT_GT(black, 100) << "a closed ring of about 2 pi 20 pixels";
}

TEST(Rasterizer, RenderingIsDeterministic)
{
    Drawing drawing;
    for (int i = 0; i < 50; ++i)
        drawing.shapes.push_back(Line(i * 0.13, 0.1 * i, 9 - i * 0.07, 5 - 0.09 * i, 1 + i % 3));
    Canvas first(333, 171, kWhite);
    Canvas second(333, 171, kWhite);
    Render(drawing, Box{0, 0, 10, 5}, first);
    Render(drawing, Box{0, 0, 10, 5}, second);
    EXPECT_EQ(first.Bytes(), second.Bytes());
}

TEST(Rasterizer, ImageHeightKeepsTheWindowsProportions)
{
    EXPECT_EQ(ImageHeight(Box{0, 0, 10, 5}, 100), 50);
    EXPECT_EQ(ImageHeight(Box{-21.2, -1.2, 101.2, 71.2}, 1000), 592) << "591.503 rounds to 592";
    EXPECT_EQ(ImageHeight(Box{0, 0, 1000, 1}, 10), 1) << "never below one row";
    EXPECT_THROW(ImageHeight(Box{0, 0, 0, 5}, 100), std::invalid_argument);
    EXPECT_THROW(ImageHeight(Box{0, 0, 1, 1000}, 100), std::invalid_argument);
    // Extents near the end of the double range: no overflow, no infinity in
    // the message.
    EXPECT_EQ(ImageHeight(Box{-1e308, -1e308, 1e308, 1e308}, 100), 100);
    EXPECT_EQ(ImageHeight(Box{-1e305, -5e304, 1e305, 5e304}, 100), 50);
    try {
        ImageHeight(Box{0, 0, 1, 1e308}, 100);
        ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& error) {
        EXPECT_EQ(std::string(error.what()).find("inf"), std::string::npos) << error.what();
    }
    EXPECT_THROW(ImageHeight(Box{0, 0, INFINITY, 1}, 100), std::invalid_argument);
}

TEST(Canvas, RefusesSizesOutsideItsLimits)
{
    EXPECT_THROW(Canvas(0, 10, kWhite), std::invalid_argument);
    EXPECT_THROW(Canvas(10, kMaxImageSide + 1, kWhite), std::invalid_argument);
    const Canvas canvas(5, 2, Rgb{1, 2, 3});
    EXPECT_EQ(canvas.Stride(), 16);
    EXPECT_EQ(canvas.At(4, 1), (Rgb{1, 2, 3}));
}

TEST(Rasterizer, ShapesFarOutsideTheWindowLeaveItUntouched)
{
    const Shape polygon{ShapeKind::Polygon, Pen{kBlack, 1}, {{0, 1e300}, {1, 1e300}, {1, 2e300}}, 0};
    EXPECT_EQ(CountBlack(RenderOne(polygon)), 0);
    const Shape below{ShapeKind::Polygon, Pen{kBlack, 1}, {{0, -1e300}, {1, -1e300}, {1, -2e300}}, 0};
    EXPECT_EQ(CountBlack(RenderOne(below)), 0);
    EXPECT_EQ(CountBlack(RenderOne(Shape{ShapeKind::Circle, Pen{kBlack, 2}, {{1e200, 0}}, 1})), 0);
}

TEST(Rasterizer, CirclesAndLinesAtTheEndsOfTheDoubleRangeDoNotOverflow)
{
    // A circle of radius 1e308 (its extents overflow), and lines whose
    // ends map far beyond int: nothing may wrap, and the lines crossing the
    // window still land on it.
    Drawing drawing;
    drawing.shapes.push_back(Shape{ShapeKind::Circle, Pen{kBlack, 1}, {{-1e308, 1e15}}, 1e308});
    drawing.shapes.push_back(Shape{ShapeKind::Circle, Pen{kBlack, 3}, {{5, 2.5}}, 1e300});
    drawing.shapes.push_back(Line(-1e300, 2.5, 1e300, 2.5));
    drawing.shapes.push_back(Line(5, -1e15, 5, 1e15, 5));
    Canvas canvas(100, 50, kWhite);
    Render(drawing, Box{0, 0, 10, 5}, canvas);
    EXPECT_EQ(canvas.At(0, 25), kBlack);
    EXPECT_EQ(canvas.At(50, 0), kBlack);
}
