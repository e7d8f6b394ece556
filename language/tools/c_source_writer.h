// Emits a blob as a C source file that defines the module's table.
#ifndef TOLKARA_C_SOURCE_WRITER_H
#define TOLKARA_C_SOURCE_WRITER_H

#include <string>
#include <vector>

namespace tolkara::tools {

// A C translation unit that defines the exported, read-only symbol
// tolkara_string_table in the section .tolkara_strings. `origin` names the
// string files in the file's header comment.
std::string writeCSource(const std::vector<unsigned char> &blob, const std::string &origin);

}  // namespace tolkara::tools

#endif
