#pragma once
// Reading input files of the command line whole. Only regular files are
// read: a directory, a FIFO or a device is refused at once, so a reader
// neither blocks on a pipe without a writer nor reads /dev/zero until
// memory runs out.

#include <string>

// The file's bytes into text; false with a message that begins with the
// file's name.
bool ReadRegularFile(const std::string& path, std::string& text, std::string& error);
