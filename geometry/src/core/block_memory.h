#pragma once
// Memory for the slot buffers of one heap's blocks, all of one size.
//
// The first few buffers come from the general heap, so that a heap of few
// objects stays small. After that, buffers are carved from 2 MiB chunks
// mapped for the heap alone with huge pages advised: where the first touch
// of a small page costs more than filling it (virtual machines), a body of
// a million facets would otherwise touch a hundred thousand of them one by
// one. A chunk goes back to the system as soon as its last buffer does.
// Buffers too large for a chunk to hold several always come from the
// general heap. Not thread-safe: its heap's lock guards it.

#include <cstddef>

class GBlockMemory {
public:
    explicit GBlockMemory(std::size_t bufferBytes);
    // Gives back the chunks; every buffer must have been given back.
    ~GBlockMemory();
    GBlockMemory(const GBlockMemory&) = delete;
    GBlockMemory& operator=(const GBlockMemory&) = delete;

    // A buffer of bufferBytes, its pages mapped; throws std::bad_alloc.
    void* Take();
    // Takes back a buffer that Take returned.
    void Give(void* buffer);

    // How many chunks are mapped (for tests and memory accounting).
    int GetChunkCount() const { return m_ChunkCount; }
    // How many buffers one chunk holds; 0 when they all come from the
    // general heap.
    int GetBuffersPerChunk() const { return m_PerChunk; }

private:
    struct Chunk;
    Chunk* MapChunk();
    void UnmapChunk(Chunk* chunk);
    void Open(Chunk* chunk);
    void Close(Chunk* chunk);
    bool FromGeneralHeap(void* buffer);

    std::size_t m_BufferBytes;
    int m_PerChunk = 0;
    int m_GeneralBuffers = 0;
    int m_ChunkCount = 0;
    // The general heap's buffers, few enough to search.
    void* m_General[8] = {};
    // Chunks with a buffer to give, most recently opened last.
    Chunk* m_Open = nullptr;
};
