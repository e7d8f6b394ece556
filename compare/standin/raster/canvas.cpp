#include "canvas.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace draftora {

namespace {

int CheckedSide(int side, const char* name)
{
    if (side < 1 || side > kMaxImageSide)
        throw std::invalid_argument(std::string("the image ") + name + " " + std::to_string(side) +
                                    " is not within 1.." + std::to_string(kMaxImageSide));
    return side;
}

} // namespace

Canvas::Canvas(int width, int height, Rgb fill)
    : m_width(CheckedSide(width, "width")), m_height(CheckedSide(height, "height")), m_stride((3 * width + 3) / 4 * 4),
      m_bytes(static_cast<std::size_t>(m_stride) * height, 0)
{
    // One row is filled pixel by pixel, the others are copies of it.
    FillSpan(0, 0, m_width - 1, fill);
    const std::uint8_t* first = m_bytes.data() + static_cast<std::size_t>(m_height - 1) * m_stride;
    for (int y = 1; y < m_height; ++y)
        std::copy(first, first + m_stride, m_bytes.data() + static_cast<std::size_t>(m_height - 1 - y) * m_stride);
}

Rgb Canvas::At(int x, int y) const
{
    const std::uint8_t* p = m_bytes.data() + static_cast<std::size_t>(m_height - 1 - y) * m_stride + 3 * x;
    return Rgb{p[2], p[1], p[0]};
}

void Canvas::FillSpan(int y, int x0, int x1, Rgb colour)
{
    if (y < 0 || y >= m_height)
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, m_width - 1);
    for (int x = x0; x <= x1; ++x)
        Set(x, y, colour);
}

} // namespace draftora
