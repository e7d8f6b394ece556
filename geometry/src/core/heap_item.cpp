#include "core/heap_item.h"

#include "core/block_memory.h"

#include "core/map_pages_ahead.h"
#include "core/poison.h"

#include <cstdlib>
#include <new>

namespace {
char*& HeaderOf(char* slot)
{
    return *reinterpret_cast<char**>(slot);
}
} // namespace

std::size_t GHeapItem::SlotStride(int itemSize)
{
    std::size_t user = (static_cast<std::size_t>(itemSize) + 7) & ~static_cast<std::size_t>(7);
    return kHeaderBytes + user;
}

std::size_t GHeapItem::BufferBytes(int slots, int itemSize)
{
    return SlotStride(itemSize) * static_cast<std::size_t>(slots);
}

GHeapItem::GHeapItem(int slots, int itemSize, GBlockMemory* memory)
    : m_SlotCount(slots), m_Stride(SlotStride(itemSize)), m_Memory(memory)
{
    m_SlotsBytes = BufferBytes(slots, itemSize);
    if (memory) {
        m_Slots = static_cast<char*>(memory->Take());
    } else {
        m_Slots = static_cast<char*>(std::malloc(m_SlotsBytes));
        if (!m_Slots)
            throw std::bad_alloc();
        MapPagesAhead(m_Slots, m_SlotsBytes);
    }
#ifdef TESSALY_POISONS_SLOTS
    for (int i = 0; i < slots; ++i)
        PoisonSlot(SlotAt(i) + kHeaderBytes, itemSize);
#endif
    Reset();
}

void GHeapItem::Reset()
{
    m_FreeList = nullptr;
    m_Untouched = m_SlotCount;
    m_FreeCount = m_SlotCount;
    m_ListIndex = -1;
}

char* GHeapItem::SlotAt(int index) const
{
    return m_Slots + m_Stride * static_cast<std::size_t>(index);
}

GHeapItem::~GHeapItem()
{
    if (m_Memory)
        m_Memory->Give(m_Slots);
    else
        std::free(m_Slots);
}

void* GHeapItem::TakeSlot()
{
    char* slot;
    if (m_FreeList) {
        slot = m_FreeList;
        m_FreeList = HeaderOf(slot);
    } else {
        slot = SlotAt(--m_Untouched);
    }
    --m_FreeCount;
    HeaderOf(slot) = reinterpret_cast<char*>(this);
    return slot + kHeaderBytes;
}

int GHeapItem::TakeSlots(void** out, int n)
{
    int taken = 0;
    char* const owner = reinterpret_cast<char*>(this);
    for (; taken < n && m_FreeList; ++taken) {
        char* slot = m_FreeList;
        m_FreeList = HeaderOf(slot);
        HeaderOf(slot) = owner;
        out[taken] = slot + kHeaderBytes;
    }
    for (; taken < n && m_Untouched > 0; ++taken) {
        char* slot = SlotAt(--m_Untouched);
        HeaderOf(slot) = owner;
        out[taken] = slot + kHeaderBytes;
    }
    m_FreeCount -= taken;
    return taken;
}

void GHeapItem::ReturnSlot(void* userArea)
{
    char* slot = static_cast<char*>(userArea) - kHeaderBytes;
    HeaderOf(slot) = m_FreeList;
    m_FreeList = slot;
    ++m_FreeCount;
}

GHeapItem* GHeapItem::OwnerOf(void* userArea)
{
    char* slot = static_cast<char*>(userArea) - kHeaderBytes;
    return reinterpret_cast<GHeapItem*>(HeaderOf(slot));
}

bool GHeapItem::Contains(const void* userArea) const
{
    const char* p = static_cast<const char*>(userArea);
    return p >= m_Slots && p < m_Slots + m_SlotsBytes;
}
