#include "pixel_compare.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::uint32_t kColourBits = 0x00FFFFFF;
constexpr std::uint32_t kOpaque = 0xFF000000;

// One row: writes the result and returns whether any pixel differs. Kept
// free of branches so that the compiler vectorises it.
bool CompareRow(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* out, int width)
{
    std::uint32_t any = 0;
    for (int x = 0; x < width; ++x) {
        const std::uint32_t bits = (a[x] ^ b[x]) & kColourBits;
        out[x] = ~bits | kOpaque;
        any |= bits;
    }
    return any != 0;
}

// The first and last differing column of a row that has one.
void WidenBox(const std::uint32_t* out, int width, int row, IntRect& box, bool& first)
{
    int left = 0;
    while ((out[left] | kOpaque) == 0xFFFFFFFF)
        ++left;
    int right = width - 1;
    while ((out[right] | kOpaque) == 0xFFFFFFFF)
        --right;
    if (first) {
        box = {left, row, right, row};
        first = false;
        return;
    }
    box.left = std::min(box.left, left);
    box.right = std::max(box.right, right);
    box.bottom = row;
}

} // namespace

PixelDifference ComparePixels(const QImage& first, const QImage& second)
{
    PixelDifference result;
    if (first.size() != second.size() || first.format() != QImage::Format_RGB32 ||
        second.format() != QImage::Format_RGB32)
        return result;
    const int width = first.width();
    result.image = QImage(first.size(), QImage::Format_RGB32);
    if (result.image.isNull())
        return result;
    bool firstRow = true;
    for (int y = 0; y < first.height(); ++y) {
        const auto* a = reinterpret_cast<const std::uint32_t*>(first.constScanLine(y));
        const auto* b = reinterpret_cast<const std::uint32_t*>(second.constScanLine(y));
        auto* out = reinterpret_cast<std::uint32_t*>(result.image.scanLine(y));
        if (CompareRow(a, b, out, width))
            WidenBox(out, width, y, result.box, firstRow);
    }
    result.differs = !firstRow;
    return result;
}
