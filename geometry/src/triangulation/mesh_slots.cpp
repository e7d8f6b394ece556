#include "triangulation/mesh_slots.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdlib>

#include "core/huge_page_memory.h"

namespace {

std::atomic<bool> g_HugePages{true};

// Blocks a mesh allocates one by one before it takes whole chunks: small
// meshes stay small.
constexpr std::size_t kSingleBlocks = 8;
// Small pages are made ahead of the cut in steps of this size.
constexpr std::size_t kMakeAheadBytes = std::size_t(1) << 18;

// Makes the small pages of [begin, end) in one call instead of one fault
// each (the storage is about to be filled). A kernel without the request
// leaves them to be made as touched.
void MakePages(char* begin, char* end)
{
#ifdef MADV_POPULATE_WRITE
    madvise(begin, static_cast<std::size_t>(end - begin), MADV_POPULATE_WRITE);
#else
    (void)begin;
    (void)end;
#endif
}

void* AlignedAlloc(std::size_t alignment, std::size_t bytes)
{
    void* p = nullptr;
    if (posix_memalign(&p, alignment, bytes) != 0 || !p)
        throw std::bad_alloc();
    return p;
}

} // namespace

namespace g3t_detail {

void* MapChunk()
{
    // The kernel may refuse huge pages: then small ones come as touched.
    return tessaly_memory::MapAligned(kChunkBytes, G3THugePages());
}

void UnmapChunk(void* chunk)
{
    tessaly_memory::UnmapAligned(chunk, kChunkBytes);
}

} // namespace g3t_detail

void G3TSetHugePages(bool on)
{
    g_HugePages.store(on, std::memory_order_relaxed);
}

bool G3THugePages()
{
    return g_HugePages.load(std::memory_order_relaxed);
}

namespace g3t_detail {

SlotBlockSource::~SlotBlockSource()
{
    for (void* p : m_Allocations)
        std::free(p);
    for (void* chunk : m_Chunks)
        UnmapChunk(chunk);
}

void* SlotBlockSource::NewBlock()
{
    if (m_Blocks < kSingleBlocks) {
        m_Allocations.reserve(m_Allocations.size() + 1);
        ++m_Blocks;
        void* block = AlignedAlloc(kSlotBlockBytes, kSlotBlockBytes);
        m_Allocations.push_back(block);
        return block;
    }
    if (m_ChunkCursor == m_ChunkEnd) {
        m_Chunks.reserve(m_Chunks.size() + 1);
        char* chunk = static_cast<char*>(MapChunk());
        m_Chunks.push_back(chunk);
        m_ChunkCursor = chunk;
        m_ChunkEnd = chunk + kChunkBytes;
        m_MadeEnd = G3THugePages() ? m_ChunkEnd : chunk;
    }
    if (m_ChunkCursor == m_MadeEnd) {
        MakePages(m_MadeEnd, m_MadeEnd + kMakeAheadBytes);
        m_MadeEnd += kMakeAheadBytes;
    }
    ++m_Blocks;
    void* block = m_ChunkCursor;
    m_ChunkCursor += kSlotBlockBytes;
    return block;
}

} // namespace g3t_detail
