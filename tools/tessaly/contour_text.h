#pragma once
// Planar contours as text, one contour a line: x y pairs of numbers
// separated by spaces or tabs, in the C locale. Blank lines and lines whose
// first non-blank character is '#' are skipped. A contour is closed: its
// last point joins its first without repeating it.
//
//   # a square and a triangle
//   0 0  4 0  4 4  0 4
//   5 5  7 5  6 6.5

#include <array>
#include <string>
#include <vector>

using ContourPoint = std::array<double, 2>;
using TextContour = std::vector<ContourPoint>;

// Reads every contour of the file into out (replacing what it held). False
// with a message in error when the file cannot be read, or naming the line
// of a line that is not a whole number of pairs of finite numbers.
bool ReadContours(const std::string& path, std::vector<TextContour>& out, std::string& error);

// The shortest text of a coordinate that reads back as the same number.
std::string FormatCoordinate(double value);

// Writes the contours one a line, numbers in the shortest form that reads
// back exactly. comments[k], when given and not empty, goes on a '#' line
// of its own before contour k. False with a message when the file cannot be
// written.
bool WriteContours(const std::string& path, const std::vector<TextContour>& contours, std::string& error,
                   const std::vector<std::string>& comments = {});
