// The stand-in engine's drawing reader and its rasterizer: a drawing is
// either refused with a VkdError or read, and a read drawing renders over
// its extents into a small bitmap without fault, whatever its numbers.
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>

#include "canvas.h"
#include "rasterizer.h"
#include "vkd_reader.h"

namespace {
constexpr int kBitmapWidth = 64;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    draftora::Drawing drawing;
    try {
        drawing = draftora::ParseVkd(in, "fuzz.vkd");
    } catch (const draftora::VkdError&) {
        return 0;
    }
    const draftora::Box window = draftora::Extents(drawing);
    try {
        draftora::Canvas canvas(kBitmapWidth, draftora::ImageHeight(window, kBitmapWidth), drawing.background);
        draftora::Render(drawing, window, canvas);
    } catch (const std::invalid_argument&) {
        // A window without area or too tall for a bitmap is refused by name.
    }
    return 0;
}
