// Reading ">SaveBmp" macros.
#include "save_bmp_macro.h"

#include <gtest/gtest.h>

using namespace draftora;

namespace {

const std::string kMacro = ">SaveBmp\r\n{\r\n"
                           "<PointXYZ -2.120000000000000e+01,-1.200000000000000e+00,0.000000000000000e+00\r\n"
                           "<PointXYZ 1.012000000000000e+02,7.120000000000000e+01,0.000000000000000e+00\r\n"
                           "<FileName \"/tmp/twinview-a/cmp 1.BMP\"\r\n<Type 1\r\n<Width 1000\r\n}\r\n";

std::string ErrorOf(const std::string& text)
{
    try {
        ParseMacro(text);
    } catch (const MacroError& error) {
        return error.what();
    }
    return "no error";
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

} // namespace

TEST(SaveBmpMacro, ReadsTheCommandTwinviewWrites)
{
    const auto commands = ParseMacro(kMacro);
    ASSERT_EQ(commands.size(), 1u);
    const SaveBmpCommand& c = commands[0];
    EXPECT_EQ(c.x0, -21.2);
    EXPECT_EQ(c.y0, -1.2);
    EXPECT_EQ(c.x1, 101.2);
    EXPECT_EQ(c.y1, 71.2);
    EXPECT_EQ(c.z1, 0.0);
    EXPECT_EQ(c.fileName, "/tmp/twinview-a/cmp 1.BMP");
    EXPECT_EQ(c.type, 1);
    EXPECT_EQ(c.width, 1000);
}

TEST(SaveBmpMacro, AcceptsEveryLineEnding)
{
    std::string lf = kMacro;
    for (std::size_t at; (at = lf.find('\r')) != std::string::npos;)
        lf.erase(at, 1);
    EXPECT_EQ(ParseMacro(lf)[0].width, 1000);
    std::string doubled = kMacro;
    for (std::size_t at = 0; (at = doubled.find("\r\n", at)) != std::string::npos; at += 3)
        doubled.insert(at, "\r");
    EXPECT_EQ(ParseMacro(doubled)[0].fileName, "/tmp/twinview-a/cmp 1.BMP");
}

TEST(SaveBmpMacro, ErrorsNameTheLine)
{
    EXPECT_EQ(ErrorOf(""), "macro line 1: the macro holds no command");
    EXPECT_EQ(ErrorOf(">SaveJpg\r\n{\r\n}\r\n"), "macro line 1: unknown command '>SaveJpg'");
    EXPECT_EQ(ErrorOf(">SaveBmp\r\n<Type 1\r\n"), "macro line 2: expected '{' after >SaveBmp");
    EXPECT_EQ(ErrorOf(Replace(kMacro, "}\r\n", "")), "macro line 7: missing '}' of >SaveBmp");
    EXPECT_EQ(ErrorOf(Replace(kMacro, "<Type 1", "<Type 2")),
              "macro line 8: bitmap type 2 is not supported (only type 1)");
    EXPECT_EQ(ErrorOf(Replace(kMacro, "<Width 1000", "<Width 0")), "macro line 8: the width 0 is not within 1..16384");
    EXPECT_EQ(ErrorOf(Replace(kMacro, "<Width 1000", "<Width wide")),
              "macro line 7: 'wide' is not a whole number for <Width");
    EXPECT_EQ(ErrorOf(Replace(kMacro, "<Type 1\r\n", "")),
              "macro line 7: >SaveBmp needs two <PointXYZ, a <FileName, a <Type and a <Width");
    EXPECT_EQ(ErrorOf(Replace(kMacro, "<Type 1", "<Colour 1")), "macro line 6: unknown key '<Colour'");
    EXPECT_EQ(ErrorOf(Replace(kMacro, "\"/tmp/twinview-a/cmp 1.BMP\"", "\"a\"b\"")),
              "macro line 5: the file name must be one non-empty text in double quotes");
}

TEST(SaveBmpMacro, ADecimalCommaBreaksThePointSyntax)
{
    EXPECT_EQ(ErrorOf(Replace(kMacro, "-2.120000000000000e+01", "-2,120000000000000e+01")),
              "macro line 3: a point needs three numbers separated by commas");
}
