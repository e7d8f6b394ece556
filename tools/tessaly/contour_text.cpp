#include "contour_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "file_read.h"

std::string FormatCoordinate(double value)
{
    char text[32];
    const auto r = std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
}

bool ReadContours(const std::string& path, std::vector<TextContour>& out, std::string& error)
{
    out.clear();
    const char* what = "x y pairs of finite numbers";
    std::vector<NumberLine> lines;
    if (!ReadNumberLines(path, what, lines, error))
        return false;
    for (const NumberLine& l : lines) {
        if (l.numbers.size() % 2 != 0) {
            error = path + ": line " + std::to_string(l.line) + ": expected " + what;
            return false;
        }
        TextContour contour;
        contour.reserve(l.numbers.size() / 2);
        for (std::size_t k = 0; k < l.numbers.size(); k += 2)
            contour.push_back({l.numbers[k], l.numbers[k + 1]});
        out.push_back(std::move(contour));
    }
    return true;
}

bool WriteContours(const std::string& path, const std::vector<TextContour>& contours, std::string& error,
                   const std::vector<std::string>& comments)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    for (std::size_t k = 0; k < contours.size(); ++k) {
        if (k < comments.size() && !comments[k].empty())
            out << "# " << comments[k] << '\n';
        std::string line;
        for (const ContourPoint& p : contours[k]) {
            if (!line.empty())
                line += "  ";
            line += FormatCoordinate(p[0]) + ' ' + FormatCoordinate(p[1]);
        }
        out << line << '\n';
    }
    out.flush();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
