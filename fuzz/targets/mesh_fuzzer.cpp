// The command line's mesh readers (OBJ, OFF, STL in ASCII and binary),
// chosen by the extension this target is built with: a read either fails
// with a message or gives a body with at least one facet.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "input_file.h"
#include "mesh_formats.h"
#include "tessaly/surface.h"

#ifndef TESSALY_FUZZ_EXTENSION
#error "build with TESSALY_FUZZ_EXTENSION set to the extension of the format, such as \".obj\""
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::InputFile file(TESSALY_FUZZ_EXTENSION);
    const std::string& path = file.Write(data, size);
    G3Surface surface;
    std::string error;
    const bool read = ReadMesh(path, &surface, error);
    if (read ? surface.GetFacetCount() == 0 : error.empty())
        std::abort();
    return 0;
}
