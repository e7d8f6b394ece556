#pragma once
// Numbers on the command line: the whole argument must be the number.

#include <string>
#include <vector>

// A finite number; false for anything else (trailing text, NaN, infinity).
bool ParseFinite(const char* text, double& value);
// count finite numbers; false with "not a finite number: X" in error.
bool ParseFiniteList(char** texts, int count, double* values, std::string& error);
// An integer from lo to hi.
bool ParseIntInRange(const char* text, int lo, int hi, int& value);
// The numbers of one line, separated by spaces, tabs or a carriage return
// (a leading '+' allowed); false at the first token that is not a finite
// number.
bool ParseNumberLine(const std::string& line, std::vector<double>& numbers);
