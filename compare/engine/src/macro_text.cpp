#include "macro_text.h"

#include <charconv>

std::string MacroNumber(double value)
{
    char buffer[64];
    // std::to_chars ignores the locale; scientific with precision 15 gives
    // exactly the digits and exponent form of printf's "%.15e".
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 15);
    return std::string(buffer, result.ptr);
}

namespace {

std::string PointLine(double x, double y)
{
    return "<PointXYZ " + MacroNumber(x) + "," + MacroNumber(y) + "," + MacroNumber(0.0) + "\r\n";
}

} // namespace

std::string SaveBmpMacroText(const BoxCorners& window, const std::string& bitmapPath, int width)
{
    return ">SaveBmp\r\n{\r\n" + PointLine(window[0], window[1]) + PointLine(window[3], window[4]) + "<FileName \"" +
        bitmapPath + "\"\r\n<Type 1\r\n<Width " + std::to_string(width) + "\r\n}\r\n";
}

bool IsMacroSafePath(const std::string& path)
{
    return !path.empty() && path.find_first_of("\"\r\n") == std::string::npos;
}
