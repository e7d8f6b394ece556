#include "core/heap_thread_cache.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "core/poison.h"
#include "tessaly/object.h"

namespace heap_thread_cache {
namespace {

constexpr int kMagazineSlots = 256;
// Slots moved between a magazine and its heap at a time: half a magazine,
// so that a thread alternating around the boundary does not lock each time.
constexpr int kTransfer = kMagazineSlots / 2;
constexpr int kMagazines = 16;

struct Magazine {
    GHeap* heap = nullptr;
    std::uint64_t serial = 0;
    int count = 0;
    void* slots[kMagazineSlots];
};

class ThreadCache {
public:
    ~ThreadCache() { Flush(); }

    // The magazine of a heap; a magazine left over from a deleted heap at
    // the same address (another serial) is dropped, not returned.
    Magazine& For(GHeap* heap)
    {
        for (Magazine& m : m_Magazines) {
            if (m.heap == heap) {
                if (m.serial != heap->GetSerial())
                    Rebind(m, heap);
                return m;
            }
        }
        Magazine& victim = m_Magazines[m_NextVictim];
        m_NextVictim = (m_NextVictim + 1) % kMagazines;
        Return(victim);
        Rebind(victim, heap);
        return victim;
    }

    void Flush()
    {
        for (Magazine& m : m_Magazines)
            Return(m);
    }

private:
    static void Rebind(Magazine& m, GHeap* heap)
    {
        m.heap = heap;
        m.serial = heap->GetSerial();
        m.count = 0;
    }

    static void Return(Magazine& m)
    {
        if (m.heap && m.count > 0)
            GHeap::FreeBatchIfLive(m.heap, m.serial, m.slots, m.count);
        m.heap = nullptr;
        m.count = 0;
    }

    Magazine m_Magazines[kMagazines];
    int m_NextVictim = 0;
};

ThreadCache& Cache()
{
    thread_local std::unique_ptr<ThreadCache> cache(new ThreadCache);
    return *cache;
}

} // namespace

void* Alloc(GHeap* heap)
{
    Magazine& m = Cache().For(heap);
    if (m.count == 0)
        m.count = heap->AllocBatch(m.slots, kTransfer);
    void* p = m.slots[--m.count];
    UnpoisonSlot(p, heap->GetItemSize());
    std::memset(p, 0, static_cast<std::size_t>(heap->GetItemSize()));
    return p;
}

void Free(GHeap* heap, void* p)
{
    Magazine& m = Cache().For(heap);
    if (m.count == kMagazineSlots) {
        heap->FreeBatch(m.slots + kMagazineSlots - kTransfer, kTransfer);
        m.count -= kTransfer;
    }
    PoisonSlot(p, heap->GetItemSize());
    m.slots[m.count++] = p;
}

void Flush()
{
    Cache().Flush();
}

} // namespace heap_thread_cache
