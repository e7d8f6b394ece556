#include "core/heap_item.h"

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

GHeapItem::GHeapItem(int slots, int itemSize)
{
    std::size_t stride = SlotStride(itemSize);
    m_SlotsBytes = stride * static_cast<std::size_t>(slots);
    m_Slots = static_cast<char*>(std::malloc(m_SlotsBytes));
    if (!m_Slots)
        throw std::bad_alloc();
    // Pushed in buffer order, so the last slot of the buffer is handed out
    // first.
    for (int i = 0; i < slots; ++i) {
        char* slot = m_Slots + stride * static_cast<std::size_t>(i);
        HeaderOf(slot) = m_FreeList;
        m_FreeList = slot;
    }
    m_FreeCount = slots;
}

GHeapItem::~GHeapItem()
{
    std::free(m_Slots);
}

void* GHeapItem::TakeSlot()
{
    char* slot = m_FreeList;
    m_FreeList = HeaderOf(slot);
    --m_FreeCount;
    HeaderOf(slot) = reinterpret_cast<char*>(this);
    return slot + kHeaderBytes;
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
