#pragma once
// Slot storage for the mesh's vertices and triangles.
//
// Objects live in fixed-size blocks, each aligned to its own size, so the
// block of an object follows from the object's address: the objects need
// no list links of their own. A block starts with a header that links it to
// its neighbouring blocks and counts the slots handed out so far; an object
// marks its slot as taken with its m_Live byte. Walking the taken slots in
// block order is the list order. Freed slots are reused (last freed, first
// reused), so addresses never change while an object lives.
//
// The first blocks of a mesh are allocated one by one; later ones are cut
// from 2 MiB chunks mapped from the kernel, which are offered for huge
// pages when G3THugePages() is on (a large mesh then costs a few hundred
// page faults instead of a hundred thousand) and otherwise have their
// small pages made ahead, 256 KiB per call, rather than one fault each.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

// Process-wide choice: may the mesh's storage ask the kernel for huge
// pages? On by default; a caller that wants plain pages switches it off
// before building meshes.
void G3TSetHugePages(bool on);
bool G3THugePages();

namespace g3t_detail {

constexpr std::size_t kSlotBlockBytes = std::size_t(1) << 14;
constexpr std::size_t kChunkBytes = std::size_t(1) << 21;

// A kChunkBytes region aligned to its size, straight from the kernel, and
// its release.
void* MapChunk();
void UnmapChunk(void* chunk);
constexpr std::size_t kSlotHeaderBytes = 64;

struct SlotBlockHeader {
    SlotBlockHeader* prev;
    SlotBlockHeader* next;
    std::size_t used; // slots handed out from this block, taken or freed
};

inline SlotBlockHeader* BlockOf(const void* item)
{
    return reinterpret_cast<SlotBlockHeader*>(reinterpret_cast<std::uintptr_t>(item) &
                                              ~static_cast<std::uintptr_t>(kSlotBlockBytes - 1));
}

inline char* SlotsOf(SlotBlockHeader* block)
{
    return reinterpret_cast<char*>(block) + kSlotHeaderBytes;
}

// Hands out size-aligned blocks of kSlotBlockBytes and frees them all at
// the end. One source serves all the slot kinds of a mesh, so that they
// share the chunk being cut.
class SlotBlockSource {
public:
    SlotBlockSource() = default;
    ~SlotBlockSource();
    SlotBlockSource(const SlotBlockSource&) = delete;
    SlotBlockSource& operator=(const SlotBlockSource&) = delete;
    void* NewBlock();

private:
    std::vector<void*> m_Allocations; // single blocks
    std::vector<void*> m_Chunks;
    char* m_ChunkCursor = nullptr;
    char* m_ChunkEnd = nullptr;
    char* m_MadeEnd = nullptr; // end of the small pages made ahead
    std::size_t m_Blocks = 0;
};

} // namespace g3t_detail

// The slots of one kind of object T; T has a byte m_Live, non-zero while
// the slot holds a living object.
template <class T> class G3TSlots {
public:
    static constexpr std::size_t kPerBlock = (g3t_detail::kSlotBlockBytes - g3t_detail::kSlotHeaderBytes) / sizeof(T);
    static_assert(kPerBlock >= 16, "slot objects are too large for a block");
    static_assert(alignof(T) <= g3t_detail::kSlotHeaderBytes, "slot objects are over-aligned");

    explicit G3TSlots(g3t_detail::SlotBlockSource* source) : m_Source(source) {}
    G3TSlots(const G3TSlots&) = delete;
    G3TSlots& operator=(const G3TSlots&) = delete;

    // Raw storage for one object (construct it in place, then set m_Live).
    void* Take()
    {
        if (m_Free) {
            void* p = m_Free;
            std::memcpy(&m_Free, p, sizeof(void*));
            return p;
        }
        if (!m_Tail || m_Tail->used == kPerBlock)
            AddBlock();
        return g3t_detail::SlotsOf(m_Tail) + sizeof(T) * m_Tail->used++;
    }

    // Takes back the slot of an object already ended (m_Live cleared).
    void Give(T* item)
    {
        void* p = item;
        std::memcpy(p, &m_Free, sizeof(void*));
        m_Free = p;
    }

    T* First() const { return m_Head ? FromBlock(m_Head, 0) : nullptr; }

    // The next (previous) living object in list order, or null.
    static T* Next(const T* item)
    {
        g3t_detail::SlotBlockHeader* block = g3t_detail::BlockOf(item);
        return FromBlock(block, IndexIn(block, item) + 1);
    }

    static T* Prev(const T* item)
    {
        g3t_detail::SlotBlockHeader* block = g3t_detail::BlockOf(item);
        std::size_t i = IndexIn(block, item);
        for (;;) {
            while (i > 0) {
                T* t = At(block, --i);
                if (t->m_Live)
                    return t;
            }
            block = block->prev;
            if (!block)
                return nullptr;
            i = block->used;
        }
    }

private:
    static T* At(g3t_detail::SlotBlockHeader* block, std::size_t i)
    {
        return reinterpret_cast<T*>(g3t_detail::SlotsOf(block) + sizeof(T) * i);
    }

    static std::size_t IndexIn(g3t_detail::SlotBlockHeader* block, const T* item)
    {
        return static_cast<std::size_t>(reinterpret_cast<const char*>(item) - g3t_detail::SlotsOf(block)) / sizeof(T);
    }

    // The first living object at slot i of block or after it.
    static T* FromBlock(g3t_detail::SlotBlockHeader* block, std::size_t i)
    {
        for (; block; block = block->next, i = 0) {
            for (; i < block->used; ++i) {
                T* t = At(block, i);
                if (t->m_Live)
                    return t;
            }
        }
        return nullptr;
    }

    void AddBlock()
    {
        auto* block = ::new (m_Source->NewBlock()) g3t_detail::SlotBlockHeader{m_Tail, nullptr, 0};
        if (m_Tail)
            m_Tail->next = block;
        else
            m_Head = block;
        m_Tail = block;
    }

    g3t_detail::SlotBlockSource* m_Source;
    g3t_detail::SlotBlockHeader* m_Head = nullptr;
    g3t_detail::SlotBlockHeader* m_Tail = nullptr;
    void* m_Free = nullptr;
};
