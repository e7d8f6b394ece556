// Text string files: the source of a module's string table.
//
//   # comment lines and blank lines are ignored
//   1031                      the language identifier (decimal or 0x hex)
//   100 "Datei \"%s\" fehlt"  one string per line: id, then a quoted UTF-8
//                             text with C escapes
#ifndef TOLKARA_STRING_FILE_H
#define TOLKARA_STRING_FILE_H

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tolkara::tools {

// Strings by language identifier, then by id.
using StringTableContents = std::map<std::uint16_t, std::map<std::uint32_t, std::u16string>>;

class StringFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Parses one file and adds its strings to `table`. Throws StringFileError,
// with "<fileName>:<line>: " before the reason, on the first fault.
void parseStringFile(std::string_view text, const std::string &fileName,
                     StringTableContents &table);

}  // namespace tolkara::tools

#endif
