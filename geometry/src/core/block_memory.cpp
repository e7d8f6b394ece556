#include "core/block_memory.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include "core/huge_page_memory.h"
#include "core/map_pages_ahead.h"
#include "core/poison.h"

#if defined(TESSALY_POISONS_SLOTS)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr std::size_t kChunkBytes = tessaly_memory::kHugePageBytes;
// The chunk's own record sits in its first cache line.
constexpr std::size_t kChunkHeaderBytes = 64;
// A chunk holds at least this many buffers, else buffers come from the
// general heap: a chunk's unused tail stays small next to what it holds.
constexpr int kLeastPerChunk = 8;

} // namespace

struct GBlockMemory::Chunk {
    Chunk* prev = nullptr;
    Chunk* next = nullptr;
    // Given-back buffers, linked through their first bytes.
    void* freeList = nullptr;
    int live = 0;
    // Buffers never handed out: [0, untouched) from the chunk's start.
    int untouched = 0;
    bool open = false;

    char* Buffer(int index, std::size_t bytes)
    {
        return reinterpret_cast<char*>(this) + kChunkHeaderBytes + bytes * static_cast<std::size_t>(index);
    }
    static Chunk* Of(void* buffer)
    {
        return reinterpret_cast<Chunk*>(reinterpret_cast<std::uintptr_t>(buffer) & ~(kChunkBytes - 1));
    }
};
GBlockMemory::GBlockMemory(std::size_t bufferBytes) : m_BufferBytes(bufferBytes)
{
    static_assert(sizeof(Chunk) <= kChunkHeaderBytes, "the record fits its cache line");
    const std::size_t perChunk = (kChunkBytes - kChunkHeaderBytes) / (bufferBytes ? bufferBytes : 1);
    m_PerChunk = perChunk >= kLeastPerChunk ? static_cast<int>(perChunk) : 0;
}

GBlockMemory::~GBlockMemory()
{
    while (m_Open)
        UnmapChunk(m_Open);
}

bool GBlockMemory::TakesFromChunk() const
{
    if (m_PerChunk == 0)
        return false;
    // A chunk with room is mapped (and resident) already; announced
    // buffers fill whole chunks.
    return m_Open || m_GeneralBuffers * m_BufferBytes >= kGeneralBytes ||
        m_Expected >= static_cast<std::size_t>(m_PerChunk);
}

void* GBlockMemory::Take()
{
    if (m_Expected > 0)
        --m_Expected;
    if (!TakesFromChunk()) {
        void* buffer = std::malloc(m_BufferBytes ? m_BufferBytes : 1);
        if (!buffer)
            throw std::bad_alloc();
        MapPagesAhead(buffer, m_BufferBytes);
        ++m_GeneralBuffers;
        return buffer;
    }
    Chunk* chunk = m_Open ? m_Open : MapChunk();
    void* buffer;
    if (chunk->freeList) {
        buffer = chunk->freeList;
        chunk->freeList = *static_cast<void**>(buffer);
    } else {
        buffer = chunk->Buffer(chunk->untouched++, m_BufferBytes);
        // Where huge pages were refused, the small pages come in one call.
        MapPagesAhead(buffer, m_BufferBytes);
    }
    ++chunk->live;
    if (!chunk->freeList && chunk->untouched == m_PerChunk)
        Close(chunk);
    return buffer;
}

void GBlockMemory::Give(void* buffer)
{
    if (!buffer)
        return;
    if (m_ChunkBases.count(reinterpret_cast<std::uintptr_t>(Chunk::Of(buffer))) == 0) {
        std::free(buffer);
        --m_GeneralBuffers;
        return;
    }
    Chunk* chunk = Chunk::Of(buffer);
    *static_cast<void**>(buffer) = chunk->freeList;
    chunk->freeList = buffer;
    if (--chunk->live == 0) {
        UnmapChunk(chunk);
        return;
    }
    if (!chunk->open)
        Open(chunk);
}

GBlockMemory::Chunk* GBlockMemory::MapChunk()
{
    // One huge page, aligned to its size: a buffer's chunk record is found
    // from the buffer's address. A buffer of the general heap never lies in
    // a chunk (the chunks are mapped for this memory alone), so a buffer's
    // chunk base is in m_ChunkBases exactly when the buffer came from one.
    void* memory = tessaly_memory::MapAligned(kChunkBytes, true);
    try {
        m_ChunkBases.insert(reinterpret_cast<std::uintptr_t>(memory));
    } catch (...) {
        tessaly_memory::UnmapAligned(memory, kChunkBytes);
        throw;
    }
#if defined(TESSALY_POISONS_SLOTS)
    // Objects in the chunk may hold the only pointer to general heap memory.
    __lsan_register_root_region(memory, kChunkBytes);
#endif
    Chunk* chunk = new (memory) Chunk;
    Open(chunk);
    return chunk;
}

void GBlockMemory::UnmapChunk(Chunk* chunk)
{
    if (chunk->open)
        Close(chunk);
    chunk->~Chunk();
#if defined(TESSALY_POISONS_SLOTS)
    __lsan_unregister_root_region(chunk, kChunkBytes);
    // Slots poisoned in the chunk must not stay poisoned for the next owner
    // of these addresses.
    ASAN_UNPOISON_MEMORY_REGION(chunk, kChunkBytes);
#endif
    m_ChunkBases.erase(reinterpret_cast<std::uintptr_t>(chunk));
    tessaly_memory::UnmapAligned(chunk, kChunkBytes);
}

// The open chunks form a list through their records, the newest at the head.
void GBlockMemory::Open(Chunk* chunk)
{
    chunk->open = true;
    chunk->prev = nullptr;
    chunk->next = m_Open;
    if (m_Open)
        m_Open->prev = chunk;
    m_Open = chunk;
}

void GBlockMemory::Close(Chunk* chunk)
{
    chunk->open = false;
    if (chunk->prev)
        chunk->prev->next = chunk->next;
    else
        m_Open = chunk->next;
    if (chunk->next)
        chunk->next->prev = chunk->prev;
    chunk->prev = chunk->next = nullptr;
}
