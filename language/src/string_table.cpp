#include "string_table.h"

#include "string_table_format.h"

#include <cstring>

namespace tolkara {

namespace {
constexpr std::size_t kLanguageField = 0;
constexpr std::size_t kBlockField = 2;
constexpr std::size_t kOffsetField = 4;
constexpr std::size_t kSizeField = 8;
}  // namespace

StringTable::StringTable(ByteView blob) : blob_(blob) {
  if (blob.data == nullptr || blob.size == 0)
    return;
  state_ = LookupStatus::Malformed;
  if (!blob.contains(0, format::kHeaderSize) ||
      std::memcmp(blob.data, format::kMagic, sizeof format::kMagic) != 0)
    return;
  std::size_t count = blob.u32(4);
  if (count > (blob.size - format::kHeaderSize) / format::kEntrySize)
    return;
  entryCount_ = count;
  state_ = LookupStatus::Found;
}

StringTable::Block StringTable::entryBlock(std::size_t index) const {
  std::size_t entry = format::kHeaderSize + index * format::kEntrySize;
  std::size_t offset = blob_.u32(entry + kOffsetField);
  std::size_t size = blob_.u32(entry + kSizeField);
  if (!blob_.contains(offset, size))
    return {LookupStatus::Malformed, {}};
  return {LookupStatus::Found, blob_.sub(offset, size)};
}

StringTable::Block StringTable::findBlock(std::uint16_t language, std::uint32_t number) const {
  for (std::size_t i = 0; i < entryCount_; ++i) {
    std::size_t entry = format::kHeaderSize + i * format::kEntrySize;
    if (blob_.u16(entry + kLanguageField) == language && blob_.u16(entry + kBlockField) == number)
      return entryBlock(i);
  }
  return {LookupStatus::BlockMissing, {}};
}

StringTable::Block StringTable::findFirstBlock(std::uint32_t number) const {
  for (std::size_t i = 0; i < entryCount_; ++i) {
    std::size_t entry = format::kHeaderSize + i * format::kEntrySize;
    if (blob_.u16(entry + kBlockField) == number)
      return entryBlock(i);
  }
  return {LookupStatus::BlockMissing, {}};
}

StringTable::Block StringTable::findNeutralBlock(std::uint32_t number) const {
  for (std::uint16_t language : {format::kNeutralLanguage, format::kEnglishUs}) {
    Block block = findBlock(language, number);
    if (block.status != LookupStatus::BlockMissing)
      return block;
  }
  return findFirstBlock(number);
}

LookupResult StringTable::lookup(std::uint32_t id, std::optional<std::uint16_t> language) const {
  if (state_ != LookupStatus::Found)
    return {state_, {}};
  std::uint32_t number = format::blockNumberOf(id);
  if (number > format::kMaxBlockNumber)
    return {LookupStatus::BlockMissing, {}};
  Block block = language ? findBlock(*language, number) : findNeutralBlock(number);
  if (block.status != LookupStatus::Found)
    return {block.status, {}};
  return stringInBlock(block.data, id % format::kStringsPerBlock);
}

LookupResult stringInBlock(ByteView block, unsigned index) {
  std::size_t at = 0;
  for (unsigned skipped = 0;; ++skipped) {
    if (!block.contains(at, 2))
      return {LookupStatus::Malformed, {}};
    std::size_t units = block.u16(at);
    at += 2;
    if (!block.contains(at, units * 2))
      return {LookupStatus::Malformed, {}};
    if (skipped == index) {
      if (units == 0)
        return {LookupStatus::EmptyString, {}};
      std::u16string text(units, u'\0');
      for (std::size_t i = 0; i < units; ++i)
        text[i] = block.u16(at + 2 * i);
      return {LookupStatus::Found, std::move(text)};
    }
    at += units * 2;
  }
}

}  // namespace tolkara
