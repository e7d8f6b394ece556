#pragma once
// Asks the kernel to map every whole page of a new buffer in one call. On
// some virtual machines each first touch of a fresh page traps at a high
// price, many times the cost of filling the page; buffers that are about to
// be filled from end to end are cheaper mapped ahead. Pages that are mapped
// already (memory reused by the general heap) are left as they are, and
// kernels without the request fault the pages in on first touch as usual.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

inline void MapPagesAhead(void* buffer, std::size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    static const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t first = (start + page - 1) & ~(page - 1);
    const std::uintptr_t end = (start + bytes) & ~(page - 1);
    if (end > first)
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)buffer;
    (void)bytes;
#endif
}

// A vector resized to n value-initialised elements, its pages mapped ahead.
template <class Vector> void ResizeMappedAhead(Vector& v, std::size_t n)
{
    v.reserve(n);
    MapPagesAhead(v.data(), n * sizeof(typename Vector::value_type));
    v.resize(n);
}
