// Language libraries read by the string loaders.
#ifndef TOLKARA_LANGUAGE_LIBRARY_H
#define TOLKARA_LANGUAGE_LIBRARY_H

#include "string_source.h"

#include <optional>
#include <string>

namespace tolkara {

// Opens the library at `path` as ordinary library. Each path is opened once
// and kept open for the life of the process, so repeated string loads do
// not pile up references. Null when it cannot be loaded.
void *openLanguageLibrary(const std::string &path);

// Whether the file at `path` is a sound ELF file whose section headers all
// lie within it (a truncated or damaged library is not handed to dlopen,
// which would fault on it).
bool isSoundLibraryFile(const std::string &path);

// The source for a language library path that exists and loads; empty
// otherwise.
std::optional<StringSource> languageLibrarySource(const std::string &path);

}  // namespace tolkara

#endif
