// The memory of a heap's blocks: the first megabytes from the general heap,
// then chunks of 2 MiB, each given back to the system with its last buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/block_memory.h"

namespace {

constexpr std::uintptr_t kChunk = std::uintptr_t{2} << 20;

// Buffers of `bytes` taken from the general heap before the first chunk.
int FromGeneralHeap(std::size_t bytes)
{
    return static_cast<int>((GBlockMemory::kGeneralBytes + bytes - 1) / bytes);
}

std::uintptr_t ChunkOf(const void* p)
{
    return reinterpret_cast<std::uintptr_t>(p) & ~(kChunk - 1);
}

// Fills every word of every buffer with the buffer's number, then reads all
// back: buffers that overlapped would overwrite each other.
void ExpectDisjointAndWritable(const std::vector<void*>& buffers, std::size_t bytes)
{
    const std::size_t words = bytes / sizeof(std::uint64_t);
    for (std::size_t b = 0; b < buffers.size(); ++b)
        std::fill_n(static_cast<std::uint64_t*>(buffers[b]), words, b);
    for (std::size_t b = 0; b < buffers.size(); ++b) {
        const auto* w = static_cast<const std::uint64_t*>(buffers[b]);
        ASSERT_EQ(std::count(w, w + words, b), static_cast<std::ptrdiff_t>(words)) << "buffer " << b;
    }
}

} // namespace

TEST(BlockMemory, ChunksHoldTheLaterBuffersAndGoBackWithTheirLast)
{
    struct Case {
        std::size_t bytes;
        int perChunk; // 0: every buffer from the general heap
    };
    const Case cases[] = {{64, 32767}, {4096, 511}, {70000, 29}, {262000, 8}, {300000, 0}};
    std::mt19937 rng(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        GBlockMemory memory(c.bytes);
        ASSERT_EQ(memory.GetBuffersPerChunk(), c.perChunk);
        // The general heap's share and two and a half chunks, but at most
        // a few thousand buffers from chunks.
        const int general = FromGeneralHeap(c.bytes);
        const int chunked = c.perChunk == 0 ? 20 : std::min(c.perChunk * 5 / 2, 3000);
        std::vector<void*> buffers;
        for (int i = 0; i < general + chunked; ++i) {
            buffers.push_back(memory.Take());
            if (i == general - 1) {
                EXPECT_EQ(memory.GetChunkCount(), 0);
            }
        }
        ExpectDisjointAndWritable(buffers, c.bytes);
        const int chunks = c.perChunk == 0 ? 0 : (chunked + c.perChunk - 1) / c.perChunk;
        EXPECT_EQ(memory.GetChunkCount(), chunks);
        for (std::size_t i = static_cast<std::size_t>(general); c.perChunk > 0 && i < buffers.size(); ++i) {
            const char* p = static_cast<const char*>(buffers[i]);
            EXPECT_EQ(ChunkOf(p), ChunkOf(p + c.bytes - 1)) << "buffer " << i << " crosses its chunk's end";
        }

        // Given back in any order, the chunks go with their last buffer; a
        // buffer given back is handed out again before a new chunk is mapped.
        std::shuffle(buffers.begin(), buffers.end(), rng);
        const std::size_t kept = buffers.size() / 2;
        for (std::size_t i = kept; i < buffers.size(); ++i)
            memory.Give(buffers[i]);
        buffers.resize(kept);
        EXPECT_LE(memory.GetChunkCount(), chunks);
        const int before = memory.GetChunkCount();
        for (int i = 0; i < 3; ++i)
            buffers.push_back(memory.Take());
        if (c.perChunk > 0 && before > 0) {
            EXPECT_EQ(memory.GetChunkCount(), before);
        }
        ExpectDisjointAndWritable(buffers, c.bytes);
        for (void* b : buffers)
            memory.Give(b);
        EXPECT_EQ(memory.GetChunkCount(), 0);
    }
}

// Announced buffers fill whole chunks from the start; what is not a whole
// chunk's worth, and what comes after, goes to the general heap, unless a
// chunk has room again.
TEST(BlockMemory, AnnouncedBuffersComeFromChunksAtOnce)
{
    const std::size_t bytes = 4096;
    GBlockMemory memory(bytes);
    const int perChunk = memory.GetBuffersPerChunk();
    memory.Expect(static_cast<std::size_t>(perChunk) / 2);
    void* lone = memory.Take();
    EXPECT_EQ(memory.GetChunkCount(), 0) << "half a chunk's worth maps no chunk";
    memory.Give(lone);

    memory.Expect(static_cast<std::size_t>(2 * perChunk));
    std::vector<void*> buffers;
    for (int i = 0; i < 2 * perChunk; ++i)
        buffers.push_back(memory.Take());
    EXPECT_EQ(memory.GetChunkCount(), 2);
    std::vector<std::uintptr_t> chunks;
    for (void* b : buffers)
        chunks.push_back(ChunkOf(b));
    std::sort(chunks.begin(), chunks.end());
    EXPECT_EQ(std::unique(chunks.begin(), chunks.end()) - chunks.begin(), 2) << "the buffers lie in the two chunks";

    void* after = memory.Take();
    EXPECT_EQ(memory.GetChunkCount(), 2);
    EXPECT_FALSE(std::binary_search(chunks.begin(), chunks.end(), ChunkOf(after))) << "past the announced ones";
    memory.Give(buffers.back());
    void* again = memory.Take();
    EXPECT_EQ(again, buffers.back()) << "a chunk with room is used before the general heap";
    buffers.back() = again;
    buffers.push_back(after);
    ExpectDisjointAndWritable(buffers, bytes);
    for (void* b : buffers)
        memory.Give(b);
    EXPECT_EQ(memory.GetChunkCount(), 0);
}
