#pragma once
// tessaly contours union|outer|divide IN.txt OUT.txt: planar contours in the
// text format of contour_text.h.

#include <string>

// union: the outline of the union of the contours' even-odd fills, outer
// contours counter-clockwise, holes clockwise; outer: the same without the
// holes; divide: every contour divided into simple contours (even-odd),
// holes clockwise after their outer contours, not bridged. Prints the
// contour and hole counts and the area (outer minus holes).
int RunContours(const std::string& operation, const std::string& in, const std::string& out, std::string& error);
