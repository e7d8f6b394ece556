// Reads .VKD drawings, the stand-in engine's native text format (described
// in docs/vkd-format.md). Numbers are read in the C locale.
#pragma once

#include "drawing.h"

#include <istream>
#include <stdexcept>
#include <string>

namespace draftora {

// A malformed drawing; the message names the file and the line.
class VkdError : public std::runtime_error {
public:
    VkdError(const std::string& file, int line, const std::string& problem);
    int Line() const { return m_line; }

private:
    int m_line;
};

Drawing ParseVkd(std::istream& in, const std::string& fileName);

// Throws VkdError, or std::system_error when the file cannot be read.
Drawing ReadVkdFile(const std::string& path);

} // namespace draftora
