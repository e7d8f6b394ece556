#include "tessaly/object.h"

#include <cstdint>
#include <cstdlib>
#include <new>

// A chunk is an 8-byte header (the link to the previous chunk of the chain)
// followed by its data.
namespace {
constexpr std::size_t kChunkHeader = 8;
constexpr std::size_t kDefaultFirstChunk = 4096;
constexpr std::size_t kDefaultNextChunk = 65536;

std::size_t PositiveOr(int value, std::size_t fallback)
{
    return value > 0 ? static_cast<std::size_t>(value) : fallback;
}

char*& LinkOf(char* chunk)
{
    return *reinterpret_cast<char**>(chunk);
}
} // namespace

GMemoryAllocator::GMemoryAllocator()
{
    init(static_cast<int>(kDefaultFirstChunk), static_cast<int>(kDefaultNextChunk));
}

GMemoryAllocator::GMemoryAllocator(int firstChunkSize, int nextChunkSize)
{
    init(firstChunkSize, nextChunkSize);
}

void GMemoryAllocator::init(int firstChunkSize, int nextChunkSize)
{
    m_FirstChunkSize = PositiveOr(firstChunkSize, kDefaultFirstChunk);
    m_NextChunkSize = PositiveOr(nextChunkSize, kDefaultNextChunk);
    m_Current = NewChunk(m_FirstChunkSize, nullptr);
    m_Capacity = m_FirstChunkSize;
    m_Used = 0;
}

GMemoryAllocator::~GMemoryAllocator()
{
    while (m_Current) {
        char* previous = LinkOf(m_Current);
        std::free(m_Current);
        m_Current = previous;
    }
}

char* GMemoryAllocator::NewChunk(std::size_t dataBytes, char* link)
{
    void* raw = std::malloc(kChunkHeader + dataBytes);
    if (!raw)
        throw std::bad_alloc();
    char* chunk = static_cast<char*>(raw);
    LinkOf(chunk) = link;
    return chunk;
}

char* GMemoryAllocator::ChunkData(char* chunk)
{
    return chunk + kChunkHeader;
}

void* GMemoryAllocator::alloc(int size)
{
    if (size < 0)
        return nullptr;
    // Padded in size_t: every request keeps its full size (large requests
    // take the dedicated-chunk path below); 0 still takes one 8-byte unit so
    // that distinct requests get distinct addresses.
    std::size_t request = (static_cast<std::size_t>(size) + 7) & ~static_cast<std::size_t>(7);
    if (request == 0)
        request = 8;

    if (request > m_Capacity - m_Used) {
        if (request >= m_Capacity / 2) {
            // Dedicated chunk, linked directly behind the current one; the
            // current chunk keeps serving small requests.
            char* dedicated = NewChunk(request, LinkOf(m_Current));
            LinkOf(m_Current) = dedicated;
            return ChunkData(dedicated);
        }
        // The current chunk's tail is abandoned. The new chunk is at least
        // as large as the request, whatever the configured chunk size.
        std::size_t capacity = m_NextChunkSize < request ? request : m_NextChunkSize;
        m_Current = NewChunk(capacity, m_Current);
        m_Capacity = capacity;
        m_Used = 0;
    }
    void* result = ChunkData(m_Current) + m_Used;
    m_Used += request;
    return result;
}

int GMemoryAllocator::GetChunkCount() const
{
    int count = 0;
    for (char* chunk = m_Current; chunk; chunk = LinkOf(chunk))
        ++count;
    return count;
}
