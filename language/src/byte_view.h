// A read-only range of bytes with bounds-checked little-endian reads.
#ifndef TOLKARA_BYTE_VIEW_H
#define TOLKARA_BYTE_VIEW_H

#include <cstddef>
#include <cstdint>

namespace tolkara {

struct ByteView {
  const unsigned char *data = nullptr;
  std::size_t size = 0;

  // True when [offset, offset + length) lies inside the view; written so
  // that no sum can overflow.
  bool contains(std::size_t offset, std::size_t length) const {
    return offset <= size && length <= size - offset;
  }

  ByteView sub(std::size_t offset, std::size_t length) const {
    return contains(offset, length) ? ByteView{data + offset, length} : ByteView{};
  }

  // Callers check contains() first.
  std::uint16_t u16(std::size_t offset) const {
    return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
  }
  std::uint32_t u32(std::size_t offset) const {
    return static_cast<std::uint32_t>(u16(offset)) |
           (static_cast<std::uint32_t>(u16(offset + 2)) << 16);
  }
};

}  // namespace tolkara

#endif
