// A 24-bit image kept in the memory layout of a BMP file (rows bottom-up,
// blue-green-red, each row padded to a multiple of 4 bytes), so that writing
// it is a single copy.
#pragma once

#include "drawing.h"

#include <cstdint>
#include <vector>

namespace draftora {

inline constexpr int kMaxImageSide = 16384;

class Canvas {
public:
    // Throws std::invalid_argument for a side below 1 or above kMaxImageSide.
    Canvas(int width, int height, Rgb fill);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_stride; }

    // x from the left, y from the top; both must lie inside the image.
    void Set(int x, int y, Rgb colour)
    {
        std::uint8_t* p = Pixel(x, y);
        p[0] = colour.b;
        p[1] = colour.g;
        p[2] = colour.r;
    }
    Rgb At(int x, int y) const;

    // Pixels x0..x1 (inclusive) of row y, clipped to the image.
    void FillSpan(int y, int x0, int x1, Rgb colour);

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    std::uint8_t* Pixel(int x, int y)
    {
        return m_bytes.data() + static_cast<std::size_t>(m_height - 1 - y) * m_stride + 3 * x;
    }

    int m_width;
    int m_height;
    int m_stride;
    std::vector<std::uint8_t> m_bytes;
};

} // namespace draftora
