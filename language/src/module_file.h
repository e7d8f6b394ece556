// Full file names of modules, and the paths built from them.
#ifndef TOLKARA_MODULE_FILE_H
#define TOLKARA_MODULE_FILE_H

#include <optional>
#include <string>

namespace tolkara {

// Absolute file name of libtolkara.so itself.
std::optional<std::string> tolkaraFileName();

// Absolute file name of the main program (from /proc/self/exe).
std::optional<std::string> mainProgramFileName();

// Absolute file name of a module given by its dlopen handle; null stands
// for the main program.
std::optional<std::string> moduleFileName(void *dlHandle);

// The directory part of a file name, with its trailing "/".
std::string directoryOf(const std::string &fileName);

// The file name without directory and without its extension; the extension
// is cut at the last "." of the file name only, never of a directory.
std::string baseNameOf(const std::string &fileName);

// "<directory of tolkara><base name of module><code>.so".
std::string languageLibraryPath(const std::string &tolkaraFile, const std::string &moduleFile,
                                const std::string &code);

// The language library path for a module file, or empty when the file name
// of libtolkara.so cannot be obtained.
std::optional<std::string> languageLibraryPathFor(const std::string &moduleFile,
                                                  const std::string &code);

// A non-empty name of something that exists and is not a directory.
bool isPresentFile(const std::string &path);

}  // namespace tolkara

#endif
