#include "tessaly/containers.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/block_memory.h"
#include "core/heap_item.h"
#include "core/heap_thread_cache.h"
#include "core/poison.h"
#include "core/semaphor_guard.h"
#include "core/unpooled.h"

GArrayCollection* GHeap::m_HeapList = nullptr;

namespace {

// The class heap slots filled by GHeap::Provide, so that RemoveAllHeaps can
// null them. A plain std::vector: it lives on the general heap and holds no
// pooled object.
std::vector<GHeap**>& PooledSlots()
{
    static std::vector<GHeap**> slots;
    return slots;
}

bool g_HeapsRemoved = false;

// Emptied blocks a heap keeps for reuse, in bytes of slots. Making and
// freeing a block costs more than handing out all of its slots, so a heap
// whose live count swings by thousands of objects at a time (a body built
// and dropped again) keeps its blocks; the bound keeps what a heap holds
// unused small next to the memory of a body.
constexpr std::size_t kMostSpareBytes = std::size_t{4} << 20;

// Every live heap with its serial number, so that slots kept by a thread can
// be returned only to the heap they came from, never to a deleted heap or to
// a new heap that happens to reuse its address.
std::unordered_map<const GHeap*, std::uint64_t>& LiveHeaps()
{
    static std::unordered_map<const GHeap*, std::uint64_t> live;
    return live;
}

std::uint64_t NextSerial()
{
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

// Objects of pooled classes made after RemoveAllHeaps come from the general
// heap. They are remembered here, so that their delete can tell them apart
// from slots of the removed heaps (whose memory is already gone).
std::unordered_set<void*>& LateAllocations()
{
    static std::unordered_set<void*> late;
    return late;
}

char* CopyName(const char* name)
{
    const char* source = name ? name : "";
    std::size_t length = std::strlen(source);
    char* copy = new char[length + 1];
    std::memcpy(copy, source, length + 1);
    return copy;
}

// Removes a block from a list by moving the list's last block into its
// index (updating that block's index) and shrinking the list by one.
void RemoveBlock(GArrayCollection* list, GHeapItem* block)
{
    int index = block->GetListIndex();
    GHeapItem* last = static_cast<GHeapItem*>(list->getLast());
    list->put(index, last);
    last->SetListIndex(index);
    list->removeLast();
    block->SetListIndex(-1);
}

void AppendBlock(GArrayCollection* list, GHeapItem* block)
{
    block->SetListIndex(list->size());
    list->add(block);
}

} // namespace

GSemaphor& GHeap::ClassLock()
{
    static GSemaphor lock;
    return lock;
}

GHeap::GHeap(const char* name, int itemSize)
{
    Init(name, itemSize, 8192);
}

GHeap::GHeap(const char* name, int itemSize, int blockBytes)
{
    Init(name, itemSize, blockBytes);
}

void GHeap::Init(const char* name, int itemSize, int blockBytes)
{
    if (itemSize < 0)
        itemSize = 0;
    if (blockBytes < 1)
        blockBytes = 1;
    m_Name = CopyName(name);
    m_ItemSize = itemSize;
    m_SlotsPerBlock = itemSize == 0 ? blockBytes : blockBytes / itemSize + 1;
    const std::size_t slotsBytes = GHeapItem::BufferBytes(m_SlotsPerBlock, itemSize);
    // A slot takes at least 8 bytes, so the count fits an int.
    m_MostSpares = static_cast<int>(std::max<std::size_t>(1, kMostSpareBytes / slotsBytes));
    m_BlockMemory = new GBlockMemory(slotsBytes);
    m_AvailableBlocks = NewUnpooled<GArrayCollection>(32, 64);
    m_FullBlocks = NewUnpooled<GArrayCollection>(32, 64);
    m_Serial = NextSerial();
    AddToHeapList(this);
}

GHeap::~GHeap()
{
    DeleteAllBlocks();
    DeleteFromHeapList(this);
    DeleteUnpooled(m_AvailableBlocks);
    DeleteUnpooled(m_FullBlocks);
    delete m_BlockMemory;
    delete[] m_Name;
}

void GHeap::DeleteAllBlocks()
{
    GSemaphorGuard guard(m_Lock);
    m_AvailableBlocks->clear(true);
    m_FullBlocks->clear(true);
    while (GHeapItem* spare = TakeSpare())
        delete spare;
}

GHeapItem* GHeap::TakeSpare()
{
    GHeapItem* spare = m_SpareBlock;
    if (spare) {
        m_SpareBlock = spare->GetNextSpare();
        spare->SetNextSpare(nullptr);
        --m_SpareCount;
    }
    return spare;
}

void GHeap::KeepOrDelete(GHeapItem* block)
{
    if (m_SpareCount >= m_MostSpares) {
        delete block;
        return;
    }
    block->Reset();
    block->SetNextSpare(m_SpareBlock);
    m_SpareBlock = block;
    ++m_SpareCount;
}

void* GHeap::Alloc()
{
    void* user;
    {
        GSemaphorGuard guard(m_Lock);
        user = TakeFromBlocks();
    }
    UnpoisonSlot(user, m_ItemSize);
    std::memset(user, 0, static_cast<std::size_t>(m_ItemSize));
    return user;
}

int GHeap::AllocBatch(void** out, int n)
{
    GSemaphorGuard guard(m_Lock);
    int taken = 0;
    while (taken < n)
        taken += TakeFromLastBlock(out + taken, n - taken);
    return n;
}

void* GHeap::TakeFromBlocks()
{
    void* user = nullptr;
    TakeFromLastBlock(&user, 1);
    return user;
}

void GHeap::ExpectObjects(long count)
{
    if (count <= 0 || !m_BlockMemory)
        return;
    GSemaphorGuard guard(m_Lock);
    m_BlockMemory->Expect(static_cast<std::size_t>(count) / static_cast<std::size_t>(m_SlotsPerBlock));
}

int GHeap::TakeFromLastBlock(void** out, int n)
{
    if (m_AvailableBlocks->isEmpty()) {
        // Both lists are made large enough for every block first, so that
        // Free never has to grow a list (and so never allocates).
        int blocks = m_AvailableBlocks->size() + m_FullBlocks->size() + 1;
        m_AvailableBlocks->ensureCapacity(blocks);
        m_FullBlocks->ensureCapacity(blocks);
        GHeapItem* fresh = TakeSpare();
        if (!fresh)
            fresh = new GHeapItem(m_SlotsPerBlock, m_ItemSize, m_BlockMemory);
        AppendBlock(m_AvailableBlocks, fresh);
    }
    GHeapItem* block = static_cast<GHeapItem*>(m_AvailableBlocks->getLast());
    int taken = block->TakeSlots(out, n);
    if (block->GetFreeCount() == 0) {
        m_AvailableBlocks->removeLast();
        AppendBlock(m_FullBlocks, block);
    }
    return taken;
}

void GHeap::Free(void* p)
{
    if (!p)
        return;
    GSemaphorGuard guard(m_Lock);
    ReturnToBlock(p);
}

void GHeap::FreeBatch(void** slots, int n)
{
    GSemaphorGuard guard(m_Lock);
    for (int i = 0; i < n; ++i)
        ReturnToBlock(slots[i]);
}

bool GHeap::FreeBatchIfLive(GHeap* heap, std::uint64_t serial, void** slots, int n)
{
    GSemaphorGuard guard(ClassLock());
    auto it = LiveHeaps().find(heap);
    if (it == LiveHeaps().end() || it->second != serial)
        return false;
    heap->FreeBatch(slots, n);
    return true;
}

void GHeap::ReturnToBlock(void* p)
{
    GHeapItem* block = GHeapItem::OwnerOf(p);
    PoisonSlot(p, m_ItemSize);
    block->ReturnSlot(p);
    if (block->GetFreeCount() == 1) {
        RemoveBlock(m_FullBlocks, block);
        AppendBlock(m_AvailableBlocks, block);
    }
    if (block->GetFreeCount() == m_SlotsPerBlock) {
        RemoveBlock(m_AvailableBlocks, block);
        // Kept aside for the next Alloc that needs a block, so that a live
        // count moving back and forth does not allocate and free whole
        // blocks every time.
        KeepOrDelete(block);
    }
}

int GHeap::GarbageCollector()
{
    GSemaphorGuard guard(m_Lock);
    while (m_SpareCount > 1)
        delete TakeSpare();
    return 0;
}

int GHeap::GetAvailableBlockCount() const
{
    return m_AvailableBlocks->size();
}

int GHeap::GetFullBlockCount() const
{
    return m_FullBlocks->size();
}

GHeapItem* GHeap::GetAvailableBlock(int index) const
{
    if (index < 0 || index >= m_AvailableBlocks->size())
        return nullptr;
    return static_cast<GHeapItem*>(m_AvailableBlocks->get(index));
}

GHeapItem* GHeap::GetFullBlock(int index) const
{
    if (index < 0 || index >= m_FullBlocks->size())
        return nullptr;
    return static_cast<GHeapItem*>(m_FullBlocks->get(index));
}

void GHeap::AddToHeapList(GHeap* heap)
{
    GSemaphorGuard guard(ClassLock());
    if (!m_HeapList)
        m_HeapList = NewUnpooled<GArrayCollection>(256, 1024);
    m_HeapList->add(reinterpret_cast<GObj*>(heap));
    LiveHeaps()[heap] = heap->m_Serial;
}

void GHeap::DeleteFromHeapList(GHeap* heap)
{
    GSemaphorGuard guard(ClassLock());
    LiveHeaps().erase(heap);
    if (!m_HeapList)
        return;
    int index = m_HeapList->index(reinterpret_cast<GObj*>(heap));
    if (index >= 0)
        m_HeapList->remove(index);
}

void GHeap::RemoveAllHeaps()
{
    heap_thread_cache::Flush();
    if (m_HeapList) {
        while (!m_HeapList->isEmpty())
            delete reinterpret_cast<GHeap*>(m_HeapList->get(0));
        DeleteUnpooled(m_HeapList);
        m_HeapList = nullptr;
    }
    GSemaphorGuard guard(ClassLock());
    for (GHeap** slot : PooledSlots())
        *slot = nullptr;
    PooledSlots().clear();
    g_HeapsRemoved = true;
}

void GHeap::RunGarbageCollector()
{
    heap_thread_cache::Flush();
    GSemaphorGuard guard(ClassLock());
    if (!m_HeapList)
        return;
    for (int i = 0; i < m_HeapList->size(); ++i)
        reinterpret_cast<GHeap*>(m_HeapList->get(i))->GarbageCollector();
}

void GHeap::RunUsedMemoryDump() {}

int GHeap::GetHeapCount()
{
    GSemaphorGuard guard(ClassLock());
    return m_HeapList ? m_HeapList->size() : 0;
}

GHeap* GHeap::GetHeap(int index)
{
    GSemaphorGuard guard(ClassLock());
    if (!m_HeapList || index < 0 || index >= m_HeapList->size())
        return nullptr;
    return reinterpret_cast<GHeap*>(m_HeapList->get(index));
}

GHeap* GHeap::FindHeap(const char* name)
{
    if (!name)
        return nullptr;
    GSemaphorGuard guard(ClassLock());
    if (!m_HeapList)
        return nullptr;
    for (int i = 0; i < m_HeapList->size(); ++i) {
        GHeap* heap = reinterpret_cast<GHeap*>(m_HeapList->get(i));
        if (std::strcmp(heap->GetName(), name) == 0)
            return heap;
    }
    return nullptr;
}

GHeap* GHeap::Provide(GHeap*& slot, const char* name, int itemSize, int blockBytes)
{
    if (slot)
        return slot;
    GSemaphorGuard guard(ClassLock());
    if (slot || g_HeapsRemoved)
        return slot;
    PooledSlots().reserve(PooledSlots().size() + 1);
    slot = new GHeap(name, itemSize, blockBytes);
    PooledSlots().push_back(&slot);
    return slot;
}

void* GHeap::AllocPooled(GHeap* heap, std::size_t size, std::size_t itemSize)
{
    if (heap && size == itemSize)
        return heap_thread_cache::Alloc(heap);
    void* p = ::operator new(size);
    std::memset(p, 0, size);
    if (size == itemSize) {
        GSemaphorGuard guard(ClassLock());
        LateAllocations().insert(p);
    }
    return p;
}

void GHeap::FreePooled(GHeap* heap, void* p, std::size_t size, std::size_t itemSize)
{
    if (!p)
        return;
    if (size != itemSize) {
        ::operator delete(p);
        return;
    }
    if (heap) {
        heap_thread_cache::Free(heap, p);
        return;
    }
    GSemaphorGuard guard(ClassLock());
    if (LateAllocations().erase(p) != 0)
        ::operator delete(p);
}
