// Tolkara's INI reader, in memory and through a file: any text gives a
// value or none, and a value never runs over a line end.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "ini_file.h"
#include "input_file.h"

namespace {
void Check(const std::optional<std::string>& value)
{
    if (value && value->find('\n') != std::string::npos)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(tolkara::iniValue(text, "Language", "DefLang"));
    Check(tolkara::iniValue(text, "", ""));
    // The first line names the section and key to look up in the rest.
    const std::size_t end = text.find('\n');
    if (end != std::string_view::npos) {
        const std::string_view names = text.substr(0, end);
        const std::size_t split = names.find('=');
        if (split != std::string_view::npos)
            Check(tolkara::iniValue(text.substr(end + 1), names.substr(0, split), names.substr(split + 1)));
    }
    static const fuzz::InputFile file(".INI");
    Check(tolkara::readIniValue(file.Write(data, size), "Language", "DefLang"));
    return 0;
}
