// Reads macro files: blocks of the form
//   >Command
//   {
//   <Key value
//   }
// of which the stand-in engine knows ">SaveBmp".
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace draftora {

struct SaveBmpCommand {
    double x0 = 0, y0 = 0, z0 = 0; // first corner of the window
    double x1 = 0, y1 = 0, z1 = 0; // opposite corner
    std::string fileName;
    int type = 0;
    int width = 0;
};

// A malformed macro; the message names the line.
class MacroError : public std::runtime_error {
public:
    MacroError(int line, const std::string& problem);
};

// Lines may end in "\n", "\r\n" or "\r\r\n". Numbers are read in the C
// locale. Throws MacroError.
std::vector<SaveBmpCommand> ParseMacro(const std::string& text);

} // namespace draftora
