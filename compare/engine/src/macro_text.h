// The macro file through which the engine is told to write a bitmap.
#pragma once

#include "twinview/engine_roles.h"

#include <string>

// A number as "%.15e" prints it in the C locale, whatever the user's locale:
// a decimal comma would break the "x,y,z" syntax of the points.
std::string MacroNumber(double value);

// The ">SaveBmp" command for the low and high x, y of `window` (z is always
// written as 0), the bitmap path and the bitmap width.
std::string SaveBmpMacroText(const BoxCorners& window, const std::string& bitmapPath, int width);

// A path the macro can quote: not empty, no double quote, no line break.
bool IsMacroSafePath(const std::string& path);
