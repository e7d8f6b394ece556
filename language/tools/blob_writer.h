// Writes string tables as blobs in the layout of string_table_format.h.
#ifndef TOLKARA_BLOB_WRITER_H
#define TOLKARA_BLOB_WRITER_H

#include "string_file.h"

#include <vector>

namespace tolkara::tools {

// One block per language and block number that holds at least one string;
// ids without a string in such a block get a zero-length entry. Throws
// std::length_error when the blob would exceed 4 GiB.
std::vector<unsigned char> writeStringTable(const StringTableContents &table);

}  // namespace tolkara::tools

#endif
