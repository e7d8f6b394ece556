// The macro file's text.
#include "macro_text.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(MacroText, NumbersAreThoseOfPrintfPercentPoint15eInTheCLocale)
{
    for (double value : {0.0, -0.0, 1.5, -21.2, 101.2, 1e-300, 123456789.123456789, -7.0e21}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.15e", value);
        EXPECT_EQ(MacroNumber(value), expected) << value;
    }
}

TEST(MacroText, SaveBmpCommandWithZeroZ)
{
    const BoxCorners window{-1.5, 2, 7, 10, 20.25, 9};
    EXPECT_EQ(SaveBmpMacroText(window, "/tmp/twinview-x/cmp1.BMP", 640),
              ">SaveBmp\r\n{\r\n"
              "<PointXYZ -1.500000000000000e+00,2.000000000000000e+00,0.000000000000000e+00\r\n"
              "<PointXYZ 1.000000000000000e+01,2.025000000000000e+01,0.000000000000000e+00\r\n"
              "<FileName \"/tmp/twinview-x/cmp1.BMP\"\r\n<Type 1\r\n<Width 640\r\n}\r\n");
}

TEST(MacroText, PathsThatWouldBreakTheMacroAreRefused)
{
    EXPECT_TRUE(IsMacroSafePath("/tmp/dir with spaces/ä.BMP"));
    EXPECT_FALSE(IsMacroSafePath(""));
    EXPECT_FALSE(IsMacroSafePath("/tmp/a\"b.BMP"));
    EXPECT_FALSE(IsMacroSafePath("/tmp/a\nb.BMP"));
    EXPECT_FALSE(IsMacroSafePath("/tmp/a\rb.BMP"));
}
