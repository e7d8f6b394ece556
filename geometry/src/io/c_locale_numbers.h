#pragma once
// Numbers in text files, always in the C locale (std::to_chars and
// std::from_chars never look at the user's locale).

#include <cstddef>

// Writes value with `decimals` fixed decimals when that reads back to the
// same double, else the shortest fixed form that does; returns the length.
// out must hold at least 400 characters.
int G3FormatFixed(double value, int decimals, char* out);
// Exactly `decimals` fixed decimals, like printf's "%.Nf" in the C locale.
int G3FormatFixedPlain(double value, int decimals, char* out);
// Writes an int; out must hold at least 12 characters.
int G3FormatInt(int value, char* out);
// The whole token [first, last) as a number; false for anything else
// (garbage, overflow, or, for doubles, a value that is not finite).
bool G3ParseInt(const char* first, const char* last, int* value);
bool G3ParseFiniteDouble(const char* first, const char* last, double* value);
