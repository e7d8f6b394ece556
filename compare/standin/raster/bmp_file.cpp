#include "bmp_file.h"

#include "atomic_file.h"

namespace draftora {

namespace {

constexpr std::uint32_t kPixelsPerMetre = 3780; // 96 dots per inch

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

} // namespace

std::array<std::uint8_t, kBmpHeaderSize> BmpHeader(const Canvas& canvas)
{
    const auto imageBytes = static_cast<std::uint32_t>(canvas.Bytes().size());
    std::array<std::uint8_t, kBmpHeaderSize> h{};
    h[0] = 'B';
    h[1] = 'M';
    Put32(&h[2], static_cast<std::uint32_t>(kBmpHeaderSize) + imageBytes);
    Put32(&h[10], static_cast<std::uint32_t>(kBmpHeaderSize)); // offset of the pixels
    Put32(&h[14], 40);                                         // information header size
    Put32(&h[18], static_cast<std::uint32_t>(canvas.Width()));
    Put32(&h[22], static_cast<std::uint32_t>(canvas.Height())); // positive: bottom-up
    Put16(&h[26], 1);                                           // planes
    Put16(&h[28], 24);                                          // bits per pixel
    Put32(&h[30], 0);                                           // no compression
    Put32(&h[34], imageBytes);
    Put32(&h[38], kPixelsPerMetre);
    Put32(&h[42], kPixelsPerMetre);
    return h;
}

void WriteBmpFile(const std::string& path, const Canvas& canvas)
{
    const auto header = BmpHeader(canvas);
    WriteFileAtomically(path, {{header.data(), header.size()}, {canvas.Bytes().data(), canvas.Bytes().size()}});
}

} // namespace draftora
