// Arrays on huge-page-aligned regions: small ones stay on the general heap,
// large ones sit on their own aligned regions, and growing across the
// boundary keeps every element.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/huge_page_memory.h"

using tessaly_memory::HugePageAllocator;
using tessaly_memory::kHugePageBytes;

TEST(HugePageMemory, ArraysGrowAcrossTheHugePageSizeAndKeepTheirElements)
{
    std::vector<std::uint64_t, HugePageAllocator<std::uint64_t>> v;
    const std::size_t perHugePage = kHugePageBytes / sizeof(std::uint64_t);
    for (std::uint64_t i = 0; i < 3 * perHugePage + 5; ++i) {
        v.push_back(i * 2654435761u);
        const bool large = v.capacity() * sizeof(std::uint64_t) >= kHugePageBytes;
        if (large) {
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(v.data()) % kHugePageBytes, 0u) << i;
        }
    }
    for (std::uint64_t i = 0; i < v.size(); ++i)
        ASSERT_EQ(v[i], i * 2654435761u) << i;
    v.resize(10);
    v.shrink_to_fit();
    EXPECT_EQ(v[9], std::uint64_t{9} * 2654435761u);

    EXPECT_EQ(tessaly_memory::RoundUpToHugePages(1), kHugePageBytes);
    EXPECT_EQ(tessaly_memory::RoundUpToHugePages(kHugePageBytes), kHugePageBytes);
    EXPECT_EQ(tessaly_memory::RoundUpToHugePages(kHugePageBytes + 1), 2 * kHugePageBytes);
    EXPECT_THROW(HugePageAllocator<double>().allocate(std::size_t(-1) / 4), std::bad_alloc);
}
