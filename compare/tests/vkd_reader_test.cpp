// Reading .VKD drawings, and the line named in every error.
#include "vkd_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <system_error>

using namespace draftora;

namespace {

Drawing Parse(const std::string& text)
{
    std::istringstream in(text);
    return ParseVkd(in, "plan.vkd");
}

// The message of the error that parsing `text` raises.
std::string ErrorOf(const std::string& text)
{
    try {
        Parse(text);
    } catch (const VkdError& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(VkdReader, ReadsEveryKindOfShapeWithItsPen)
{
    const Drawing d = Parse("VKD 1\r\n"
                            "# a comment\r\n"
                            "\r\n"
                            "background #102030\r\n"
                            "line 0 0 10 5\r\n"
                            "pen #FF0000 3\r\n"
                            "polyline 0 0 1 1 2 0\r\n"
                            "polygon 0 0 4 0 4 -3e0\n"
                            "circle -2.5 1 0.5\n");
    EXPECT_EQ(d.background, (Rgb{0x10, 0x20, 0x30}));
    ASSERT_EQ(d.shapes.size(), 4u);
    EXPECT_EQ(d.shapes[0].kind, ShapeKind::Line);
    EXPECT_EQ(d.shapes[0].pen.width, 1);
    EXPECT_EQ(d.shapes[0].pen.colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(d.shapes[1].kind, ShapeKind::Polyline);
    EXPECT_EQ(d.shapes[1].points.size(), 3u);
    EXPECT_EQ(d.shapes[1].pen.colour, (Rgb{255, 0, 0}));
    EXPECT_EQ(d.shapes[1].pen.width, 3);
    EXPECT_EQ(d.shapes[2].kind, ShapeKind::Polygon);
    EXPECT_EQ(d.shapes[2].points[2].y, -3.0);
    EXPECT_EQ(d.shapes[3].kind, ShapeKind::Circle);
    EXPECT_EQ(d.shapes[3].radius, 0.5);

    const Box box = Extents(d);
    EXPECT_EQ(box.lowX, -3.0) << "the circle counts with its radius";
    EXPECT_EQ(box.lowY, -3.0);
    EXPECT_EQ(box.highX, 10.0);
    EXPECT_EQ(box.highY, 5.0);
}

TEST(VkdReader, AnEmptyDrawingHasTheZeroBoxAndAWhiteBackground)
{
    const Drawing d = Parse("VKD 1\n");
    EXPECT_TRUE(d.shapes.empty());
    EXPECT_EQ(d.background, (Rgb{255, 255, 255}));
    const Box box = Extents(d);
    EXPECT_EQ(box.lowX, 0.0);
    EXPECT_EQ(box.highY, 0.0);
}

TEST(VkdReader, AByteOrderMarkBeforeTheHeaderIsSkipped)
{
    EXPECT_TRUE(Parse("\xEF\xBB\xBFVKD 1\n").shapes.empty());
    // Only at the very start: elsewhere the bytes are no drawing line.
    EXPECT_THROW(Parse("VKD 1\n\xEF\xBB\xBFline 0 0 1 1\n"), VkdError);
}

TEST(VkdReader, ErrorsNameTheFileAndTheLine)
{
    EXPECT_EQ(ErrorOf(""), "plan.vkd, line 1: the file is empty; expected the header 'VKD 1'");
    EXPECT_EQ(ErrorOf("DXF 1\n"), "plan.vkd, line 1: expected the header 'VKD 1'");
    EXPECT_EQ(ErrorOf("VKD 2\n"), "plan.vkd, line 1: unsupported format version '2'");
    EXPECT_EQ(ErrorOf("VKD 1\n\nline 0 0 1 1\narc 0 0 1\n"), "plan.vkd, line 4: unknown keyword 'arc'");
    EXPECT_EQ(ErrorOf("VKD 1\nline 0 0 1\n"), "plan.vkd, line 2: 'line' needs 4 numbers, found 3 values");
    EXPECT_EQ(ErrorOf("VKD 1\nline 0 0 1,5 1\n"), "plan.vkd, line 2: '1,5' is not a number");
    EXPECT_EQ(ErrorOf("VKD 1\nline 0 0 nan 1\n"), "plan.vkd, line 2: 'nan' is not a number");
    EXPECT_EQ(ErrorOf("VKD 1\npolyline 0 0 1\n"),
              "plan.vkd, line 2: 'polyline' needs at least 2 x y pairs, found 3 values");
    EXPECT_EQ(ErrorOf("VKD 1\npolygon 0 0 1 1\n"),
              "plan.vkd, line 2: 'polygon' needs at least 3 x y pairs, found 4 values");
    EXPECT_EQ(ErrorOf("VKD 1\ncircle 0 0 0\n"), "plan.vkd, line 2: the circle's radius must be above 0");
    EXPECT_EQ(ErrorOf("VKD 1\npen #00FF00 0\n"),
              "plan.vkd, line 2: the pen width '0' is not a whole number from 1 to 64");
    EXPECT_EQ(ErrorOf("VKD 1\npen red 2\n"), "plan.vkd, line 2: 'red' is not a colour of the form #RRGGBB");
    EXPECT_EQ(ErrorOf("VKD 1\nbackground #FFFFFF\nbackground #000000\n"),
              "plan.vkd, line 3: the background is given twice");
}

TEST(VkdReader, ErrorKnowsItsLineNumber)
{
    try {
        Parse("VKD 1\n\n\nline a 0 1 1\n");
        FAIL() << "no error";
    } catch (const VkdError& error) {
        EXPECT_EQ(error.Line(), 4);
    }
}

TEST(VkdReader, AMissingFileIsASystemError)
{
    EXPECT_THROW(ReadVkdFile("/nonexistent/plan.vkd"), std::system_error);
}
