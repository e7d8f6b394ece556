// A module that strings are read from: its file name, which the messages
// name, and its string table.
#ifndef TOLKARA_STRING_SOURCE_H
#define TOLKARA_STRING_SOURCE_H

#include "string_table.h"

#include <string>

namespace tolkara {

struct StringSource {
  std::string fileName;
  StringTable table;

  StringSource(std::string file, ByteView blob) : fileName(std::move(file)), table(blob) {}

  LookupResult lookup(std::uint32_t id, std::optional<std::uint16_t> language) const {
    return table.lookup(id, language);
  }
};

}  // namespace tolkara

#endif
