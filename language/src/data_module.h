// Language libraries opened as data files: the string table is read from
// the file and none of the library's code runs.
#ifndef TOLKARA_DATA_MODULE_H
#define TOLKARA_DATA_MODULE_H

#include "string_source.h"

#include <optional>
#include <string>

namespace tolkara {

// A new data-file handle for the ELF file at `path`, or null when the file
// is not a sound ELF64 file. A sound file without a table gives a handle
// whose lookups find nothing.
void *openDataModule(const std::string &path);

// The source behind a data-file handle; empty when `handle` is none of ours.
std::optional<StringSource> dataModuleSource(void *handle);

bool isDataModule(void *handle);

// Frees a data-file handle; false when `handle` is none of ours.
bool closeDataModule(void *handle);

}  // namespace tolkara

#endif
