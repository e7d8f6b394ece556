// BSTR and VARIANT memory. A BSTR points just past a 32-bit byte count and
// is followed by a zero unit, so it can be handed to code that expects a
// zero-terminated UTF-16 string.
#include "tolkara/tolkara.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

unsigned char *blockOf(BSTR text) { return reinterpret_cast<unsigned char *>(text) - kPrefix; }

}  // namespace

extern "C" BSTR TolkaraSysAllocStringLen(const OLECHAR *text, unsigned int length) {
  if (length > (std::numeric_limits<std::uint32_t>::max() - kPrefix) / sizeof(OLECHAR) - 1)
    return nullptr;
  std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
  auto *block = static_cast<unsigned char *>(std::calloc(1, kPrefix + bytes + sizeof(OLECHAR)));
  if (block == nullptr)
    return nullptr;
  auto count = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &count, kPrefix);
  if (text != nullptr && bytes > 0)
    std::memcpy(block + kPrefix, text, bytes);
  return reinterpret_cast<BSTR>(block + kPrefix);
}

extern "C" void TolkaraSysFreeString(BSTR text) {
  if (text != nullptr)
    std::free(blockOf(text));
}

extern "C" unsigned int TolkaraSysStringLen(BSTR text) {
  if (text == nullptr)
    return 0;
  std::uint32_t bytes;
  std::memcpy(&bytes, blockOf(text), kPrefix);
  return bytes / sizeof(OLECHAR);
}

extern "C" void TolkaraVariantInit(VARIANT *value) {
  if (value == nullptr)
    return;
  value->vt = VT_EMPTY;
  value->bstrVal = nullptr;
}

extern "C" int TolkaraVariantClear(VARIANT *value) {
  if (value == nullptr)
    return 0;
  if (value->vt == VT_BSTR)
    TolkaraSysFreeString(value->bstrVal);
  TolkaraVariantInit(value);
  return 0;
}
