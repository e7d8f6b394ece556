#pragma once
// Regions straight from the kernel, aligned to 2 MiB so that each can be
// backed by transparent huge pages, and an allocator for large arrays that
// takes its memory that way.
//
// On virtual machines the first touch of each small page may trap to the
// hypervisor at a cost far above filling the page (several microseconds a
// page, mapping the pages ahead in the guest does not avoid it); a huge
// page costs one such trap for 512 small ones. Where the system refuses
// huge pages, the region simply gets small ones.

#include <cstddef>
#include <limits>
#include <new>

namespace tessaly_memory {

constexpr std::size_t kHugePageBytes = std::size_t{1} << 21;

// A region of `bytes` (a multiple of kHugePageBytes), aligned to
// kHugePageBytes, zero-filled; huge pages advised when `huge`. Throws
// std::bad_alloc.
void* MapAligned(std::size_t bytes, bool huge);
// Gives back a region of MapAligned (the same byte count).
void UnmapAligned(void* region, std::size_t bytes);

constexpr std::size_t RoundUpToHugePages(std::size_t bytes)
{
    return (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
}

// For std::vector and friends: arrays of at least one huge page are mapped
// on their own with huge pages advised, smaller ones come from operator new.
template <class T> struct HugePageAllocator {
    using value_type = T;

    HugePageAllocator() = default;
    template <class U> HugePageAllocator(const HugePageAllocator<U>&) {}

    T* allocate(std::size_t n)
    {
        if (n > std::numeric_limits<std::size_t>::max() / sizeof(T) - kHugePageBytes)
            throw std::bad_alloc();
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kHugePageBytes)
            return static_cast<T*>(::operator new(bytes));
        return static_cast<T*>(MapAligned(RoundUpToHugePages(bytes), true));
    }

    void deallocate(T* p, std::size_t n)
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kHugePageBytes)
            ::operator delete(p);
        else
            UnmapAligned(p, RoundUpToHugePages(bytes));
    }

    template <class U> bool operator==(const HugePageAllocator<U>&) const { return true; }
    template <class U> bool operator!=(const HugePageAllocator<U>&) const { return false; }
};

} // namespace tessaly_memory
