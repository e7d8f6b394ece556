// The string-table reader: block arithmetic, languages, and corrupt blobs.
#include "blob_writer.h"
#include "string_table.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using tolkara::ByteView;
using tolkara::LookupStatus;
using tolkara::StringTable;
using tolkara::tools::StringTableContents;
using tolkara::tools::writeStringTable;

constexpr std::uint16_t kEnglish = 1033;
constexpr std::uint16_t kGerman = 1031;

// Heap copies of exactly the blob's size, so ASan sees any read past it.
struct Blob {
  explicit Blob(const std::vector<unsigned char> &bytes, std::size_t length)
      : data(new unsigned char[length ? length : 1]), size(length) {
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length), data.get());
  }
  explicit Blob(const std::vector<unsigned char> &bytes) : Blob(bytes, bytes.size()) {}
  StringTable table() const { return StringTable(ByteView{data.get(), size}); }
  std::unique_ptr<unsigned char[]> data;
  std::size_t size;
};

std::vector<unsigned char> sample() {
  StringTableContents contents;
  for (std::uint32_t id : {0u, 15u, 16u, 17u, 65535u})
    contents[kEnglish][id] = u"en" + std::u16string(1, static_cast<char16_t>(u'A' + id % 26));
  contents[kEnglish][20] = u"";
  contents[kGerman][0] = u"de0";
  return writeStringTable(contents);
}

// Byte offset of the directory entry of (language, block) in a blob.
std::size_t entryOffset(const std::vector<unsigned char> &bytes, std::uint16_t language,
                        std::uint16_t block) {
  std::size_t count = bytes[4] | (bytes[5] << 8);
  for (std::size_t at = 8; at < 8 + count * 12; at += 12)
    if ((bytes[at] | (bytes[at + 1] << 8)) == language &&
        (bytes[at + 2] | (bytes[at + 3] << 8)) == block)
      return at;
  ADD_FAILURE() << "no entry";
  return 8;
}

std::u16string found(const StringTable &table, std::uint32_t id,
                     std::optional<std::uint16_t> language) {
  tolkara::LookupResult result = table.lookup(id, language);
  EXPECT_EQ(result.status, LookupStatus::Found) << "id " << id;
  return result.text;
}

TEST(StringTableBlocks, IdsAtBlockEdgesAreFound) {
  Blob blob(sample());
  StringTable table = blob.table();
  EXPECT_EQ(found(table, 0, kEnglish), u"enA");
  EXPECT_EQ(found(table, 15, kEnglish), u"enP");
  EXPECT_EQ(found(table, 16, kEnglish), u"enQ");
  EXPECT_EQ(found(table, 17, kEnglish), u"enR");
  EXPECT_EQ(found(table, 65535, kEnglish), u"en" + std::u16string(1, u'A' + 65535 % 26));
}

TEST(StringTableBlocks, NeighboursInABlockAreEmptyAndOtherBlocksMissing) {
  Blob blob(sample());
  StringTable table = blob.table();
  EXPECT_EQ(table.lookup(1, kEnglish).status, LookupStatus::EmptyString);
  EXPECT_EQ(table.lookup(18, kEnglish).status, LookupStatus::EmptyString);
  EXPECT_EQ(table.lookup(32, kEnglish).status, LookupStatus::BlockMissing);
  EXPECT_EQ(table.lookup(65534, kEnglish).status, LookupStatus::EmptyString);
}

TEST(StringTableBlocks, ZeroLengthStringCountsAsMissing) {
  Blob blob(sample());
  tolkara::LookupResult result = blob.table().lookup(20, kEnglish);
  EXPECT_EQ(result.status, LookupStatus::EmptyString);
  EXPECT_TRUE(result.text.empty());
}

TEST(StringTableBlocks, BlockNumbersAboveFFFFAreNotFound) {
  // A block numbered 0 is what 16-bit truncation of block 0x10000 would hit.
  StringTableContents contents;
  contents[kEnglish][0] = u"zero";
  std::vector<unsigned char> bytes = writeStringTable(contents);
  bytes[8 + 2] = 0;  // first entry's block number
  bytes[8 + 3] = 0;
  Blob blob(bytes);
  const std::uint32_t firstIdOfBlock0x10000 = 0xFFFF * 16;
  EXPECT_EQ(blob.table().lookup(firstIdOfBlock0x10000, kEnglish).status,
            LookupStatus::BlockMissing);
  EXPECT_EQ(blob.table().lookup(0xFFFFFFFFu, kEnglish).status, LookupStatus::BlockMissing);
}

TEST(StringTableLanguages, ExactLanguageDoesNotFallBack) {
  Blob blob(sample());
  EXPECT_EQ(found(blob.table(), 0, kGerman), u"de0");
  EXPECT_EQ(blob.table().lookup(16, kGerman).status, LookupStatus::BlockMissing);
  EXPECT_EQ(blob.table().lookup(0, 1036).status, LookupStatus::BlockMissing);
}

TEST(StringTableLanguages, NeutralLookupTakesNeutralThenEnglishThenFirstPresent) {
  StringTableContents contents;
  contents[0][0] = u"neutral";
  contents[kEnglish][0] = u"english";
  contents[kEnglish][16] = u"english16";
  contents[1036][16] = u"french16";
  contents[1036][32] = u"french32";
  contents[kGerman][32] = u"german32";
  Blob blob(writeStringTable(contents));
  EXPECT_EQ(found(blob.table(), 0, std::nullopt), u"neutral");
  EXPECT_EQ(found(blob.table(), 16, std::nullopt), u"english16");
  EXPECT_EQ(found(blob.table(), 32, std::nullopt), u"german32");  // 1031 sorts first
  EXPECT_EQ(blob.table().lookup(48, std::nullopt).status, LookupStatus::BlockMissing);
}

TEST(StringTableCorrupt, EmptyBlobIsNoTable) {
  EXPECT_EQ(StringTable().lookup(0, kEnglish).status, LookupStatus::NoTable);
  EXPECT_EQ(StringTable(ByteView{nullptr, 12}).lookup(0, kEnglish).status, LookupStatus::NoTable);
}

TEST(StringTableCorrupt, BadMagicOrOversizedEntryCountIsMalformed) {
  std::vector<unsigned char> bytes = sample();
  bytes[0] = 'X';
  EXPECT_EQ(Blob(bytes).table().lookup(0, kEnglish).status, LookupStatus::Malformed);
  bytes = sample();
  bytes[7] = 0x10;  // entry count far beyond the blob
  EXPECT_EQ(Blob(bytes).table().lookup(0, kEnglish).status, LookupStatus::Malformed);
}

TEST(StringTableCorrupt, EntryPointingOutsideTheBlobIsMalformed) {
  std::vector<unsigned char> bytes = sample();
  std::size_t entry = entryOffset(bytes, kEnglish, 1);
  bytes[entry + 7] = 0x7F;  // offset
  EXPECT_EQ(Blob(bytes).table().lookup(0, kEnglish).status, LookupStatus::Malformed);
  bytes = sample();
  bytes[entry + 4] = static_cast<unsigned char>(bytes.size() - 2);  // offset near the end
  bytes[entry + 5] = static_cast<unsigned char>((bytes.size() - 2) >> 8);
  EXPECT_EQ(Blob(bytes).table().lookup(0, kEnglish).status, LookupStatus::Malformed);
  bytes = sample();
  bytes[entry + 11] = 0xFF;  // size
  EXPECT_EQ(Blob(bytes).table().lookup(0, kEnglish).status, LookupStatus::Malformed);
}

TEST(StringTableCorrupt, StringLengthRunningPastTheBlockIsMalformed) {
  std::vector<unsigned char> bytes = sample();
  std::size_t entry = entryOffset(bytes, kEnglish, 1);
  std::size_t firstBlock = bytes[entry + 4] | (bytes[entry + 5] << 8);
  bytes[firstBlock] = 0xFF;
  bytes[firstBlock + 1] = 0xFF;
  Blob blob(bytes);
  EXPECT_EQ(blob.table().lookup(0, kEnglish).status, LookupStatus::Malformed);
  EXPECT_EQ(blob.table().lookup(15, kEnglish).status, LookupStatus::Malformed);
}

TEST(StringTableCorrupt, EveryTruncationReadsInsideTheBlob) {
  std::vector<unsigned char> bytes = sample();
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    Blob blob(bytes, size);
    StringTable table = blob.table();
    for (std::uint32_t id : {0u, 15u, 16u, 17u, 65535u}) {
      tolkara::LookupResult result = table.lookup(id, kEnglish);
      // The last block's strings survive only in the blob's full length.
      if (id == 65535) {
        EXPECT_NE(result.status, LookupStatus::Found) << "size " << size;
      }
    }
  }
}

}  // namespace
