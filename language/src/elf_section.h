// Reads one section of an ELF64 file without loading it: the data-file mode
// of language libraries. Every header field is checked against the file.
#ifndef TOLKARA_ELF_SECTION_H
#define TOLKARA_ELF_SECTION_H

#include <string>
#include <vector>

namespace tolkara {

enum class ElfSectionStatus {
  Found,
  NoSection,  // a sound ELF file without that section
  BadFile,    // unreadable, not ELF64 of this machine's byte order, or corrupt
};

struct ElfSection {
  ElfSectionStatus status = ElfSectionStatus::BadFile;
  std::vector<unsigned char> bytes;
  std::string error;  // why the file is bad, for diagnostics
};

ElfSection readElfSection(const std::string &path, const std::string &sectionName);

}  // namespace tolkara

#endif
