// Layout of a string-table blob, shared by the reader and the build tool.
//
// All numbers are little-endian and read byte by byte, so a blob needs no
// alignment. Offsets count from the start of the blob.
//
//   header   "TKS1", u32 entry count
//   entries  count x { u16 language, u16 block number, u32 offset, u32 size }
//   blocks   each sixteen counted strings: u16 length, then that many UTF-16
//            code units; string id lives in block id / 16 + 1 at index id % 16
#ifndef TOLKARA_STRING_TABLE_FORMAT_H
#define TOLKARA_STRING_TABLE_FORMAT_H

#include <cstddef>
#include <cstdint>

namespace tolkara::format {

constexpr char kMagic[4] = {'T', 'K', 'S', '1'};
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kEntrySize = 12;
constexpr unsigned kStringsPerBlock = 16;
constexpr std::uint32_t kMaxBlockNumber = 0xFFFF;
constexpr std::uint16_t kNeutralLanguage = 0;
constexpr std::uint16_t kEnglishUs = 1033;

// The ELF section and the exported symbol that carry a module's blob.
constexpr const char *kSectionName = ".tolkara_strings";
constexpr const char *kSymbolName = "tolkara_string_table";

constexpr std::uint32_t blockNumberOf(std::uint32_t id) { return id / kStringsPerBlock + 1; }

}  // namespace tolkara::format

#endif
