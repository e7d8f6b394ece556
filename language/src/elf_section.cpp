#include "elf_section.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace tolkara {

namespace {

// Limits far above any language library, so a corrupt count or size cannot
// make us allocate the memory it claims.
constexpr std::uint64_t kMaxSectionSize = 64u << 20;
constexpr std::uint64_t kMaxSectionCount = 1u << 20;

class File {
public:
  explicit File(const std::string &path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat status {};
    if (fd_ >= 0 && fstat(fd_, &status) == 0 && S_ISREG(status.st_mode))
      size_ = static_cast<std::uint64_t>(status.st_size);
  }
  ~File() {
    if (fd_ >= 0)
      close(fd_);
  }
  File(const File &) = delete;
  File &operator=(const File &) = delete;

  std::uint64_t size() const { return size_; }
  bool contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  // Reads exactly `length` bytes at `offset`; false when out of the file.
  bool read(std::uint64_t offset, void *out, std::size_t length) const {
    if (fd_ < 0 || !contains(offset, length))
      return false;
    auto *bytes = static_cast<unsigned char *>(out);
    while (length > 0) {
      ssize_t got = pread(fd_, bytes, length, static_cast<off_t>(offset));
      if (got <= 0)
        return false;
      bytes += got;
      offset += static_cast<std::uint64_t>(got);
      length -= static_cast<std::size_t>(got);
    }
    return true;
  }

private:
  int fd_;
  std::uint64_t size_ = 0;
};

ElfSection bad(std::string why) { return {ElfSectionStatus::BadFile, {}, std::move(why)}; }

bool isOurKindOfElf(const Elf64_Ehdr &header) {
  bool littleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
  return std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
         header.e_ident[EI_CLASS] == ELFCLASS64 &&
         header.e_ident[EI_DATA] == (littleEndian ? ELFDATA2LSB : ELFDATA2MSB) &&
         header.e_ident[EI_VERSION] == EV_CURRENT;
}

// The section header table, with the extended numbering of files that have
// 0xff00 sections or more (count and string table index in section 0).
bool readSectionHeaders(const File &file, const Elf64_Ehdr &header,
                        std::vector<Elf64_Shdr> &sections, std::uint32_t &namesIndex) {
  if (header.e_shoff == 0)
    return false;
  if (header.e_shentsize != sizeof(Elf64_Shdr))
    return false;
  Elf64_Shdr first{};
  if (!file.read(header.e_shoff, &first, sizeof first))
    return false;
  std::uint64_t count = header.e_shnum != 0 ? header.e_shnum : first.sh_size;
  namesIndex = header.e_shstrndx != SHN_XINDEX ? header.e_shstrndx : first.sh_link;
  if (count == 0 || count > kMaxSectionCount || namesIndex >= count)
    return false;
  if (count > (file.size() - header.e_shoff) / sizeof(Elf64_Shdr))
    return false;
  sections.resize(static_cast<std::size_t>(count));
  return file.read(header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr));
}

// Reads a section's bytes after checking its type, size and place.
bool readSectionBytes(const File &file, const Elf64_Shdr &section,
                      std::vector<unsigned char> &bytes) {
  if (section.sh_type == SHT_NOBITS || section.sh_size > kMaxSectionSize ||
      !file.contains(section.sh_offset, section.sh_size))
    return false;
  bytes.resize(static_cast<std::size_t>(section.sh_size));
  return bytes.empty() || file.read(section.sh_offset, bytes.data(), bytes.size());
}

bool nameMatches(const std::vector<unsigned char> &names, std::uint32_t offset,
                 const std::string &wanted) {
  if (offset >= names.size())
    return false;
  std::size_t room = names.size() - offset;
  if (wanted.size() >= room)
    return false;
  return std::memcmp(names.data() + offset, wanted.c_str(), wanted.size() + 1) == 0;
}

}  // namespace

ElfSection readElfSection(const std::string &path, const std::string &sectionName) {
  File file(path);
  Elf64_Ehdr header{};
  if (!file.read(0, &header, sizeof header))
    return bad("not readable or too short");
  if (!isOurKindOfElf(header))
    return bad("not an ELF64 file of this byte order");
  std::vector<Elf64_Shdr> sections;
  std::uint32_t namesIndex = 0;
  if (!readSectionHeaders(file, header, sections, namesIndex))
    return bad("section header table out of bounds");
  std::vector<unsigned char> names;
  if (sections[namesIndex].sh_type != SHT_STRTAB ||
      !readSectionBytes(file, sections[namesIndex], names))
    return bad("section name table out of bounds");
  for (const Elf64_Shdr &section : sections) {
    if (!nameMatches(names, section.sh_name, sectionName))
      continue;
    ElfSection found{ElfSectionStatus::Found, {}, {}};
    if (!readSectionBytes(file, section, found.bytes))
      return bad("section out of bounds");
    return found;
  }
  return {ElfSectionStatus::NoSection, {}, {}};
}

}  // namespace tolkara
