// The bump arena: chunk boundaries, dedicated chunks and large requests.
// Every handed-out byte is written, so AddressSanitizer catches an area that
// is smaller than asked.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tessaly/object.h"

namespace {
void FillAll(void* p, int size)
{
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8, 0u);
    std::memset(p, 0x5A, static_cast<std::size_t>(size));
}
} // namespace

TEST(GMemoryAllocator, SmallRequestsArePaddedToEightBytes)
{
    GMemoryAllocator arena(4096, 65536);
    char* a = static_cast<char*>(arena.alloc(1));
    char* b = static_cast<char*>(arena.alloc(1));
    EXPECT_EQ(b - a, 8);
    EXPECT_EQ(arena.GetUsed(), 16u);
    char* c = static_cast<char*>(arena.alloc(9));
    char* d = static_cast<char*>(arena.alloc(8));
    EXPECT_EQ(d - c, 16);
    EXPECT_EQ(arena.alloc(-1), nullptr);
}

TEST(GMemoryAllocator, FullFirstChunkOpensANextChunk)
{
    GMemoryAllocator arena(4096, 65536);
    for (int i = 0; i < 4096 / 64; ++i)
        FillAll(arena.alloc(64), 64);
    EXPECT_EQ(arena.GetUsed(), 4096u);
    EXPECT_EQ(arena.GetChunkCount(), 1);
    void* p = arena.alloc(100);
    FillAll(p, 100);
    EXPECT_EQ(arena.GetCapacity(), 65536u);
    EXPECT_EQ(arena.GetUsed(), 104u);
    EXPECT_EQ(arena.GetChunkCount(), 2);

    // 40000 bytes are at least half the chunk and more than remains: a
    // dedicated chunk, and small requests continue in the 65536-byte chunk.
    FillAll(arena.alloc(30000), 30000);
    char* before = static_cast<char*>(arena.alloc(8));
    void* big = arena.alloc(40000);
    FillAll(big, 40000);
    EXPECT_EQ(arena.GetChunkCount(), 3);
    char* after = static_cast<char*>(arena.alloc(8));
    EXPECT_EQ(after - before, 8);
    EXPECT_EQ(arena.GetCapacity(), 65536u);
}

TEST(GMemoryAllocator, BoundarySizesGetAllTheirBytes)
{
    for (int size : {1, 65528, 65529, 65536, 200000}) {
        GMemoryAllocator arena;
        void* p = arena.alloc(size);
        FillAll(p, size);
        void* q = arena.alloc(size);
        FillAll(q, size);
        EXPECT_NE(p, q);
        FillAll(arena.alloc(16), 16);
    }
}

TEST(GMemoryAllocator, CustomChunkSizesNeverHandOutLessThanAsked)
{
    // A next-chunk size smaller than the request: the new chunk grows to fit.
    GMemoryAllocator tiny(16, 8);
    FillAll(tiny.alloc(16), 16);
    FillAll(tiny.alloc(7), 7);
    FillAll(tiny.alloc(12), 12);
    FillAll(tiny.alloc(1000), 1000);
    GMemoryAllocator odd(100, 300);
    for (int size = 1; size < 400; size += 37)
        FillAll(odd.alloc(size), size);
}

TEST(GMemoryAllocator, InvalidChunkSizesFallBackToDefaults)
{
    GMemoryAllocator arena(0, -5);
    EXPECT_EQ(arena.GetCapacity(), 4096u);
    FillAll(arena.alloc(5000), 5000);
}
