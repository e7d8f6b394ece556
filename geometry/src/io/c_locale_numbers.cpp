#include "io/c_locale_numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>

int G3FormatFixed(double value, int decimals, char* out)
{
    auto written = std::to_chars(out, out + 399, value, std::chars_format::fixed, decimals);
    double back = 0.0;
    auto read = std::from_chars(out, written.ptr, back);
    bool same = read.ec == std::errc() && std::memcmp(&back, &value, sizeof(double)) == 0;
    if (!same && std::isfinite(value))
        written = std::to_chars(out, out + 399, value, std::chars_format::fixed);
    *written.ptr = '\0';
    return static_cast<int>(written.ptr - out);
}

int G3FormatFixedPlain(double value, int decimals, char* out)
{
    auto written = std::to_chars(out, out + 399, value, std::chars_format::fixed, decimals);
    *written.ptr = '\0';
    return static_cast<int>(written.ptr - out);
}

int G3FormatInt(int value, char* out)
{
    auto written = std::to_chars(out, out + 11, value);
    *written.ptr = '\0';
    return static_cast<int>(written.ptr - out);
}

namespace {
// Steps over one leading plus sign, as strtol and the C library's scanf
// do; from_chars takes a minus sign only. A sign after the plus ("+-5") is
// refused: false.
bool SkipPlusSign(const char** first, const char* last)
{
    if (*first == last || **first != '+')
        return true;
    ++*first;
    return *first == last || **first != '-';
}
} // namespace

bool G3ParseInt(const char* first, const char* last, int* value)
{
    if (!SkipPlusSign(&first, last))
        return false;
    auto read = std::from_chars(first, last, *value);
    return read.ec == std::errc() && read.ptr == last;
}

bool G3ParseFiniteDouble(const char* first, const char* last, double* value)
{
    if (!SkipPlusSign(&first, last))
        return false;
    auto read = std::from_chars(first, last, *value, std::chars_format::general);
    return read.ec == std::errc() && read.ptr == last && std::isfinite(*value);
}
