// 24-bit BMP files: a 14-byte file header, a 40-byte information header and
// the canvas rows bottom-up.
#pragma once

#include "canvas.h"

#include <array>
#include <cstdint>
#include <string>

namespace draftora {

inline constexpr std::size_t kBmpHeaderSize = 54;

std::array<std::uint8_t, kBmpHeaderSize> BmpHeader(const Canvas& canvas);

// Writes the file so that its final name appears only when it is complete
// (see WriteFileAtomically). Throws std::system_error.
void WriteBmpFile(const std::string& path, const Canvas& canvas);

} // namespace draftora
