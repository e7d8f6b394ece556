// Runs a fuzz target's entry point over files without libFuzzer, so that
// the ordinary test build (GCC, AddressSanitizer, UBSan) replays every
// corpus file, crash reproducers included, as a regression test.
//
//   replay FILE_OR_DIRECTORY...
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
namespace fs = std::filesystem;

bool Replay(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    bool ok = argc > 1;
    for (int k = 1; k < argc; ++k) {
        std::error_code error;
        if (fs::is_directory(argv[k], error)) {
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(argv[k]))
                if (entry.is_regular_file()) {
                    ok = Replay(entry.path()) && ok;
                    ++replayed;
                }
        } else {
            ok = Replay(argv[k]) && ok;
            ++replayed;
        }
    }
    std::printf("replay: %d inputs\n", replayed);
    return ok && replayed > 0 ? 0 : 1;
}
