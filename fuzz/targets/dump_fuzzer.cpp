// The kernel's text dump (G3Surface::Load): a file is either refused with a
// message, leaving the body empty, or loaded into a body whose facets all
// have a contour.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "input_file.h"
#include "tessaly/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::InputFile file(".g3s");
    const std::string& path = file.Write(data, size);
    G3Surface surface;
    std::string error;
    const bool loaded = surface.Load(path.c_str(), &error);
    if (!loaded && (error.empty() || surface.GetFacetCount() != 0 || surface.GetVertexCount() != 0))
        std::abort(); // a refusal must say why and leave the body untouched
    return 0;
}
