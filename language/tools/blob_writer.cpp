#include "blob_writer.h"

#include "string_table_format.h"

#include <limits>
#include <stdexcept>

namespace tolkara::tools {

namespace {

void putU16(std::vector<unsigned char> &out, std::uint32_t value) {
  out.push_back(static_cast<unsigned char>(value & 0xFF));
  out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void putU32(std::vector<unsigned char> &out, std::size_t value) {
  if (value > std::numeric_limits<std::uint32_t>::max())
    throw std::length_error("string table larger than 4 GiB");
  putU16(out, static_cast<std::uint32_t>(value & 0xFFFF));
  putU16(out, static_cast<std::uint32_t>(value >> 16));
}

struct Block {
  std::uint16_t language;
  std::uint16_t number;
  std::vector<unsigned char> bytes;
};

std::vector<unsigned char> encodeBlock(const std::map<std::uint32_t, std::u16string> &strings,
                                       std::uint32_t number) {
  std::vector<unsigned char> bytes;
  std::uint32_t firstId = (number - 1) * format::kStringsPerBlock;
  for (std::uint32_t id = firstId; id < firstId + format::kStringsPerBlock; ++id) {
    auto found = strings.find(id);
    const std::u16string empty;
    const std::u16string &text = found == strings.end() ? empty : found->second;
    putU16(bytes, static_cast<std::uint32_t>(text.size()));
    for (char16_t unit : text)
      putU16(bytes, unit);
  }
  return bytes;
}

std::vector<Block> encodeBlocks(const StringTableContents &table) {
  std::vector<Block> blocks;
  for (const auto &[language, strings] : table) {
    for (const auto &entry : strings) {
      auto number = static_cast<std::uint16_t>(format::blockNumberOf(entry.first));
      if (!blocks.empty() && blocks.back().language == language && blocks.back().number == number)
        continue;
      blocks.push_back({language, number, encodeBlock(strings, number)});
    }
  }
  return blocks;
}

}  // namespace

std::vector<unsigned char> writeStringTable(const StringTableContents &table) {
  std::vector<Block> blocks = encodeBlocks(table);
  std::vector<unsigned char> out(format::kMagic, format::kMagic + sizeof format::kMagic);
  putU32(out, blocks.size());
  std::size_t offset = format::kHeaderSize + blocks.size() * format::kEntrySize;
  for (const Block &block : blocks) {
    putU16(out, block.language);
    putU16(out, block.number);
    putU32(out, offset);
    putU32(out, block.bytes.size());
    offset += block.bytes.size();
  }
  for (const Block &block : blocks)
    out.insert(out.end(), block.bytes.begin(), block.bytes.end());
  return out;
}

}  // namespace tolkara::tools
