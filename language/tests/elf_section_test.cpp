// Reading the string-table section straight from ELF files, sound and
// corrupt.
#include "elf_section.h"
#include "language_library.h"
#include "string_table.h"

#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using tolkara::ElfSectionStatus;
using tolkara::readElfSection;

const char *const kSection = ".tolkara_strings";

std::vector<unsigned char> readAll(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ElfSectionFile : public ::testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolkara-elf.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    original_ = readAll(TOLKARA_TEST_LANGUAGE_LIBRARY);
    ASSERT_GT(original_.size(), sizeof(Elf64_Ehdr));
    std::memcpy(&header_, original_.data(), sizeof header_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Writes `bytes` to a file and reads the section from it.
  tolkara::ElfSection readFrom(const std::vector<unsigned char> &bytes) {
    std::string path = (dir_ / "copy.so").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return readElfSection(path, kSection);
  }

  template <typename Field> std::vector<unsigned char> withField(std::size_t offset, Field value) {
    std::vector<unsigned char> bytes = original_;
    std::memcpy(bytes.data() + offset, &value, sizeof value);
    return bytes;
  }

  Elf64_Shdr sectionHeader(std::size_t index) const {
    Elf64_Shdr section;
    std::memcpy(&section, original_.data() + header_.e_shoff + index * sizeof section,
                sizeof section);
    return section;
  }

  std::size_t indexOf(const char *name) const {
    Elf64_Shdr names = sectionHeader(header_.e_shstrndx);
    for (std::size_t i = 0; i < header_.e_shnum; ++i)
      if (std::strcmp(reinterpret_cast<const char *>(original_.data() + names.sh_offset +
                                                     sectionHeader(i).sh_name),
                      name) == 0)
        return i;
    return 0;
  }

  std::size_t shdrField(std::size_t index, std::size_t fieldOffset) const {
    return header_.e_shoff + index * sizeof(Elf64_Shdr) + fieldOffset;
  }

  std::filesystem::path dir_;
  std::vector<unsigned char> original_;
  Elf64_Ehdr header_{};
};

TEST_F(ElfSectionFile, ReadsTheStringTableOfALanguageLibrary) {
  tolkara::ElfSection section = readElfSection(TOLKARA_TEST_LANGUAGE_LIBRARY, kSection);
  ASSERT_EQ(section.status, ElfSectionStatus::Found) << section.error;
  tolkara::StringTable table(tolkara::ByteView{section.bytes.data(), section.bytes.size()});
  EXPECT_EQ(table.lookup(1, 1031).text, u"de:one");
}

TEST_F(ElfSectionFile, ALibraryWithoutTableHasNoSection) {
  EXPECT_EQ(readElfSection(TOLKARA_TEST_PLAIN_LIBRARY, kSection).status,
            ElfSectionStatus::NoSection);
}

TEST_F(ElfSectionFile, MissingFilesDirectoriesAndNonElfAreBad) {
  EXPECT_EQ(readElfSection((dir_ / "absent.so").string(), kSection).status,
            ElfSectionStatus::BadFile);
  EXPECT_EQ(readElfSection(dir_.string(), kSection).status, ElfSectionStatus::BadFile);
  EXPECT_EQ(readFrom({'h', 'e', 'l', 'l', 'o'}).status, ElfSectionStatus::BadFile);
  EXPECT_EQ(readFrom(withField<unsigned char>(EI_CLASS, ELFCLASS32)).status,
            ElfSectionStatus::BadFile);
  EXPECT_EQ(readFrom(withField<unsigned char>(EI_DATA, ELFDATA2MSB)).status,
            ElfSectionStatus::BadFile);
}

TEST_F(ElfSectionFile, EveryTruncationIsRejectedCleanly) {
  // Truncating anywhere before the section header table leaves it out of
  // bounds; the tables sit at the end of the file.
  for (std::size_t size : {std::size_t{0}, std::size_t{16}, sizeof(Elf64_Ehdr),
                           static_cast<std::size_t>(header_.e_shoff) + 1, original_.size() - 1}) {
    std::vector<unsigned char> bytes(original_.begin(),
                                     original_.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_EQ(readFrom(bytes).status, ElfSectionStatus::BadFile) << "size " << size;
  }
}

TEST_F(ElfSectionFile, CorruptHeaderFieldsAreRejected) {
  EXPECT_EQ(readFrom(withField<Elf64_Off>(offsetof(Elf64_Ehdr, e_shoff), original_.size())).status,
            ElfSectionStatus::BadFile);
  EXPECT_EQ(readFrom(withField<Elf64_Off>(offsetof(Elf64_Ehdr, e_shoff), ~Elf64_Off{0} - 8)).status,
            ElfSectionStatus::BadFile);
  EXPECT_EQ(readFrom(withField<Elf64_Half>(offsetof(Elf64_Ehdr, e_shnum), 0xFEFF)).status,
            ElfSectionStatus::BadFile);
  EXPECT_EQ(
      readFrom(withField<Elf64_Half>(offsetof(Elf64_Ehdr, e_shstrndx), header_.e_shnum)).status,
      ElfSectionStatus::BadFile);
  EXPECT_EQ(readFrom(withField<Elf64_Half>(offsetof(Elf64_Ehdr, e_shentsize), 32)).status,
            ElfSectionStatus::BadFile);
}

TEST_F(ElfSectionFile, CorruptSectionHeadersAreRejected) {
  std::size_t table = indexOf(kSection);
  ASSERT_NE(table, 0u);
  EXPECT_EQ(readFrom(withField<Elf64_Off>(shdrField(table, offsetof(Elf64_Shdr, sh_offset)),
                                          original_.size()))
                .status,
            ElfSectionStatus::BadFile);
  EXPECT_EQ(readFrom(withField<Elf64_Xword>(shdrField(table, offsetof(Elf64_Shdr, sh_size)),
                                            ~Elf64_Xword{0}))
                .status,
            ElfSectionStatus::BadFile);
  std::size_t names = header_.e_shstrndx;
  EXPECT_EQ(readFrom(withField<Elf64_Xword>(shdrField(names, offsetof(Elf64_Shdr, sh_size)),
                                            original_.size()))
                .status,
            ElfSectionStatus::BadFile);
  EXPECT_EQ(
      readFrom(withField<Elf64_Word>(shdrField(names, offsetof(Elf64_Shdr, sh_type)), SHT_PROGBITS))
          .status,
      ElfSectionStatus::BadFile);
}

TEST_F(ElfSectionFile, NameOffsetsOutsideTheNameTableMatchNothing) {
  std::size_t table = indexOf(kSection);
  ASSERT_NE(table, 0u);
  std::vector<unsigned char> bytes =
      withField<Elf64_Word>(shdrField(table, offsetof(Elf64_Shdr, sh_name)), 0xFFFFFFF0u);
  EXPECT_EQ(readFrom(bytes).status, ElfSectionStatus::NoSection);
}

TEST_F(ElfSectionFile, UnterminatedNameAtTheEndOfTheNameTableMatchesNothing) {
  // Point the section's name at the last bytes of the name table, so that a
  // comparison which trusted a terminator would run past the table.
  std::size_t table = indexOf(kSection);
  Elf64_Shdr names = sectionHeader(header_.e_shstrndx);
  auto lastByte = static_cast<Elf64_Word>(names.sh_size - 1);
  std::vector<unsigned char> bytes =
      withField<Elf64_Word>(shdrField(table, offsetof(Elf64_Shdr, sh_name)), lastByte);
  EXPECT_EQ(readFrom(bytes).status, ElfSectionStatus::NoSection);
}

}  // namespace

TEST_F(ElfSectionFile, ATruncatedLibraryIsNotSound) {
  // The first 5000 bytes of a language library would fault inside dlopen:
  // such a file never reaches it.
  EXPECT_TRUE(tolkara::isSoundLibraryFile(TOLKARA_TEST_LANGUAGE_LIBRARY));
  std::vector<unsigned char> head(
      original_.begin(), original_.begin() + std::min<std::ptrdiff_t>(5000, original_.size() - 1));
  const std::string path = (dir_ / "truncated.so").string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char *>(head.data()),
             static_cast<std::streamsize>(head.size()));
  EXPECT_FALSE(tolkara::isSoundLibraryFile(path));
  EXPECT_EQ(tolkara::openLanguageLibrary(path), nullptr);
  EXPECT_EQ(tolkara::languageLibrarySource(path), std::nullopt);
}
