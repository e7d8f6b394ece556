// Reader of a string-table blob. Every offset, size and length is checked
// against the blob, because data-file mode reads files that may be foreign
// or corrupt: anything malformed reads as "not found".
#ifndef TOLKARA_STRING_TABLE_H
#define TOLKARA_STRING_TABLE_H

#include "byte_view.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tolkara {

enum class LookupStatus {
  Found,
  EmptyString,   // the block exists but the string has length zero
  BlockMissing,  // no block of that number (in that language)
  NoTable,       // the module carries no string table
  Malformed,     // the table or the block runs out of bounds
};

struct LookupResult {
  LookupStatus status = LookupStatus::NoTable;
  std::u16string text;  // set only when status is Found
};

class StringTable {
public:
  StringTable() = default;
  explicit StringTable(ByteView blob);

  // `language` empty: the language-neutral lookup, which takes the block of
  // the neutral language, else of 1033, else of the first language present.
  LookupResult lookup(std::uint32_t id, std::optional<std::uint16_t> language) const;

private:
  struct Block {
    LookupStatus status;
    ByteView data;
  };
  Block findBlock(std::uint16_t language, std::uint32_t number) const;
  Block findFirstBlock(std::uint32_t number) const;
  Block findNeutralBlock(std::uint32_t number) const;
  Block entryBlock(std::size_t index) const;

  ByteView blob_;
  std::size_t entryCount_ = 0;
  LookupStatus state_ = LookupStatus::NoTable;  // Found when the header is sound
};

// Returns string `index` of a block; status EmptyString or Malformed when
// there is no usable string.
LookupResult stringInBlock(ByteView block, unsigned index);

}  // namespace tolkara

#endif
