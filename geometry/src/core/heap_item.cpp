#include "core/heap_item.h"

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

GHeapItem::GHeapItem(int slots, int itemSize) : m_SlotCount(slots), m_Stride(SlotStride(itemSize))
{
    m_SlotsBytes = m_Stride * static_cast<std::size_t>(slots);
    m_Slots = static_cast<char*>(std::malloc(m_SlotsBytes));
    if (!m_Slots)
        throw std::bad_alloc();
    MapPagesAhead(m_Slots, m_SlotsBytes);
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
