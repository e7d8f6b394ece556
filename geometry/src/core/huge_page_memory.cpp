#include "core/huge_page_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace tessaly_memory {

void* MapAligned(std::size_t bytes, bool huge)
{
    // Map one huge page more than asked and trim both ends to the aligned
    // part: no other allocation shares the region's huge pages.
    const std::size_t span = bytes + kHugePageBytes;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePageBytes - 1) & ~static_cast<std::uintptr_t>(kHugePageBytes - 1);
    if (aligned > start)
        munmap(raw, aligned - start);
    const std::uintptr_t end = aligned + bytes;
    if (start + span > end)
        munmap(reinterpret_cast<void*>(end), start + span - end);
    void* region = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    if (huge)
        madvise(region, bytes, MADV_HUGEPAGE);
#else
    (void)huge;
#endif
    return region;
}

void UnmapAligned(void* region, std::size_t bytes)
{
    if (region)
        munmap(region, bytes);
}

} // namespace tessaly_memory
