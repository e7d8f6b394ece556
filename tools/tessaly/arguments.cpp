#include "arguments.h"

#include <charconv>
#include <cmath>
#include <cstring>

bool ParseFinite(const char* text, double& value)
{
    const char* end = text + std::strlen(text);
    auto r = std::from_chars(text, end, value);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(value);
}

bool ParseFiniteList(char** texts, int count, double* values, std::string& error)
{
    for (int k = 0; k < count; ++k)
        if (!ParseFinite(texts[k], values[k])) {
            error = std::string("not a finite number: ") + texts[k];
            return false;
        }
    return true;
}

bool ParseIntInRange(const char* text, int lo, int hi, int& value)
{
    const char* end = text + std::strlen(text);
    auto r = std::from_chars(text, end, value);
    return r.ec == std::errc() && r.ptr == end && value >= lo && value <= hi;
}

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}
} // namespace

bool ParseNumberLine(const std::string& line, std::vector<double>& numbers)
{
    numbers.clear();
    const char* p = line.data();
    const char* end = p + line.size();
    while (true) {
        while (p != end && IsBlank(*p))
            ++p;
        if (p == end)
            return true;
        const char* token = p;
        while (p != end && !IsBlank(*p))
            ++p;
        if (*token == '+')
            ++token;
        double value = 0;
        const auto r = std::from_chars(token, p, value);
        if (r.ec != std::errc() || r.ptr != p || !std::isfinite(value))
            return false;
        numbers.push_back(value);
    }
}
