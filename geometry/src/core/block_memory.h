#pragma once
// Memory for the slot buffers of one heap's blocks, all of one size.
//
// The first buffers, up to kGeneralBytes, come from the general heap (unless
// many are announced at once, or a chunk has room to spare), so
// that a heap of few objects stays small and the unused part of a heap's
// last chunk (up to 2 MiB once huge pages back it) stays a fraction of
// what the heap holds. After that, buffers are carved from 2 MiB chunks
// mapped for the heap alone with huge pages advised: where the first touch
// of a small page costs more than filling it (virtual machines), a body of
// a million facets would otherwise touch a hundred thousand of them one by
// one. A chunk goes back to the system as soon as its last buffer does.
// Buffers too large for a chunk to hold several always come from the
// general heap. Not thread-safe: its heap's lock guards it.

#include <cstddef>
#include <cstdint>
#include <unordered_set>

class GBlockMemory {
public:
    // What a heap takes from the general heap before it maps chunks.
    static constexpr std::size_t kGeneralBytes = std::size_t{64} << 20;

    explicit GBlockMemory(std::size_t bufferBytes);
    // Gives back the chunks; every buffer must have been given back.
    ~GBlockMemory();
    GBlockMemory(const GBlockMemory&) = delete;
    GBlockMemory& operator=(const GBlockMemory&) = delete;

    // A buffer of bufferBytes, its pages mapped; throws std::bad_alloc.
    void* Take();
    // Takes back a buffer that Take returned.
    void Give(void* buffer);
    // About `buffers` more are about to be taken at once: whole chunks of
    // them come from chunks even before kGeneralBytes are out.
    void Expect(std::size_t buffers) { m_Expected += buffers; }

    // How many chunks are mapped (for tests and memory accounting).
    int GetChunkCount() const { return static_cast<int>(m_ChunkBases.size()); }
    // How many buffers one chunk holds; 0 when they all come from the
    // general heap.
    int GetBuffersPerChunk() const { return m_PerChunk; }

private:
    struct Chunk;
    Chunk* MapChunk();
    void UnmapChunk(Chunk* chunk);
    void Open(Chunk* chunk);
    void Close(Chunk* chunk);
    bool TakesFromChunk() const;

    std::size_t m_BufferBytes;
    int m_PerChunk = 0;
    // Buffers of the general heap handed out and not given back.
    std::size_t m_GeneralBuffers = 0;
    // Buffers announced by Expect and not taken yet.
    std::size_t m_Expected = 0;
    std::unordered_set<std::uintptr_t> m_ChunkBases;
    // Chunks with a buffer to give, most recently opened last.
    Chunk* m_Open = nullptr;
};
