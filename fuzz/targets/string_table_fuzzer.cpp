// Tolkara's string-table blob: every lookup of a damaged blob answers with a
// status, and a found string lies inside the blob.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "string_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const tolkara::ByteView blob{data, size};
    const tolkara::StringTable table(blob);
    static const std::uint32_t kIds[] = {0, 1, 15, 16, 17, 100, 4095, 65535, 0xFFFFFFFFu};
    static const std::optional<std::uint16_t> kLanguages[] = {std::nullopt, 0, 1031, 1033};
    for (std::uint32_t id : kIds)
        for (const auto& language : kLanguages) {
            const tolkara::LookupResult result = table.lookup(id, language);
            if (result.status == tolkara::LookupStatus::Found && 2 * result.text.size() > size)
                std::abort(); // a string longer than the blob was made up
        }
    for (unsigned index = 0; index < 17; ++index)
        tolkara::stringInBlock(blob, index);
    return 0;
}
