#include "core/heap_thread_cache.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "core/poison.h"
#include "tessaly/object.h"

namespace heap_thread_cache {
namespace {

// Slots moved between a magazine and its heap at a time: about one block's
// worth, so that a thread keeps whole blocks to itself instead of sharing
// their cache lines with other threads, and a thread working through a few
// hundred objects at a time never takes the heap's lock. A magazine holds
// two transfers, so a thread alternating around the boundary does not lock
// each time.
constexpr int kLeastTransfer = 128;
constexpr int kMostTransfer = 1024;
constexpr int kMagazines = 16;

int TransferFor(const GHeap* heap)
{
    int perBlock = heap->GetSlotsPerBlock();
    return perBlock < kLeastTransfer ? kLeastTransfer : perBlock > kMostTransfer ? kMostTransfer : perBlock;
}

struct Magazine {
    GHeap* heap = nullptr;
    std::uint64_t serial = 0;
    int count = 0;
    int transfer = 0;
    // Room for two transfers; kept (and grown only) across heaps.
    std::unique_ptr<void*[]> slots;
    int capacity = 0;
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
        m.transfer = TransferFor(heap);
        if (m.capacity < 2 * m.transfer) {
            m.slots.reset(new void*[static_cast<std::size_t>(2 * m.transfer)]);
            m.capacity = 2 * m.transfer;
        }
    }

    static void Return(Magazine& m)
    {
        if (m.heap && m.count > 0)
            GHeap::FreeBatchIfLive(m.heap, m.serial, m.slots.get(), m.count);
        m.heap = nullptr;
        m.count = 0;
    }

    Magazine m_Magazines[kMagazines];
    int m_NextVictim = 0;
};

// The cache lives until its thread ends. Objects deleted after that (by
// static destructors at exit, which run after the main thread's thread-local
// objects are gone) go straight to their heap.
struct CacheState {
    ThreadCache* cache = nullptr;
    bool finished = false;
};
thread_local CacheState t_State; // trivially destructible: readable to the end

struct CacheOwner {
    ~CacheOwner()
    {
        if (t_State.cache) {
            t_State.cache->Flush();
            delete t_State.cache;
            t_State.cache = nullptr;
        }
        t_State.finished = true;
    }
    void Touch() {}
};
thread_local CacheOwner t_Owner;

// The calling thread's cache, or null once the thread has ended.
ThreadCache* Cache()
{
    if (t_State.cache)
        return t_State.cache;
    if (t_State.finished)
        return nullptr;
    t_Owner.Touch(); // constructs the owner, so its destructor will run
    t_State.cache = new ThreadCache;
    return t_State.cache;
}

} // namespace

void* Alloc(GHeap* heap)
{
    ThreadCache* cache = Cache();
    if (!cache)
        return heap->Alloc();
    Magazine& m = cache->For(heap);
    if (m.count == 0)
        m.count = heap->AllocBatch(m.slots.get(), m.transfer);
    void* p = m.slots[static_cast<std::size_t>(--m.count)];
    UnpoisonSlot(p, heap->GetItemSize());
    std::memset(p, 0, static_cast<std::size_t>(heap->GetItemSize()));
    return p;
}

void Free(GHeap* heap, void* p)
{
    ThreadCache* cache = Cache();
    if (!cache) {
        heap->Free(p);
        return;
    }
    Magazine& m = cache->For(heap);
    if (m.count == 2 * m.transfer) {
        // The slots freed longest ago go back; the recent ones, still in
        // this core's cache, stay for the next creations.
        void** slots = m.slots.get();
        heap->FreeBatch(slots, m.transfer);
        std::memmove(slots, slots + m.transfer, sizeof(void*) * static_cast<std::size_t>(m.count - m.transfer));
        m.count -= m.transfer;
    }
    PoisonSlot(p, heap->GetItemSize());
    m.slots[static_cast<std::size_t>(m.count++)] = p;
}

void Flush()
{
    if (ThreadCache* cache = Cache())
        cache->Flush();
}

} // namespace heap_thread_cache
