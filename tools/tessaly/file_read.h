#pragma once
// Reading input files of the command line whole. Only regular files are
// read: a directory, a FIFO or a device is refused at once, so a reader
// neither blocks on a pipe without a writer nor reads /dev/zero until
// memory runs out.

#include <string>
#include <vector>

// The file's bytes into text; false with a message that begins with the
// file's name.
bool ReadRegularFile(const std::string& path, std::string& text, std::string& error);

// One line of numbers of a text file, and its number (from 1).
struct NumberLine {
    long line;
    std::vector<double> numbers;
};

// The lines of numbers of a text file: blank lines and lines whose first
// non-blank character is '#' are skipped; every other line must be numbers
// only (ParseNumberLine). False with "PATH: line N: what" for the first line
// that is not, what naming what a line should hold.
bool ReadNumberLines(const std::string& path, const char* what, std::vector<NumberLine>& out, std::string& error);
