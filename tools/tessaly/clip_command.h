#pragma once
// tessaly clip: closed contours clipped to a rectangle, or the segments of
// contours clipped against a polygon (G3PolylineClipper).

#include <string>

// RunClip's status for arguments that do not make a clip command; the
// caller prints the usage.
constexpr int kClipUsage = 2;

// tessaly clip IN OUT --rect X1 Y1 X2 Y2: every contour of IN, closed,
// clipped to the rectangle on all four sides; OUT gets what remains of each
// as a contour, the pieces along the border included and listed on a
// "# hidden:" line before it.
// tessaly clip IN OUT --polygon POLY: every segment of every contour of IN
// (the closing one included) clipped against the first contour of POLY;
// OUT gets the pieces inside, "x1 y1 x2 y2" a line.
// 0 done, 1 an error (the message in error), kClipUsage.
int RunClip(int argc, char** argv, std::string& error);
