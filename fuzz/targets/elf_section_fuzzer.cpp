// Tolkara's ELF section reader, the data-file mode of language libraries: a
// damaged file is BadFile with a reason, and a found section is no larger
// than the file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "elf_section.h"
#include "input_file.h"
#include "string_table_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::InputFile file(".so");
    const std::string& path = file.Write(data, size);
    const tolkara::ElfSection section = tolkara::readElfSection(path, tolkara::format::kSectionName);
    if (section.status == tolkara::ElfSectionStatus::BadFile && section.error.empty())
        std::abort();
    if (section.status == tolkara::ElfSectionStatus::Found && section.bytes.size() > size)
        std::abort();
    return 0;
}
