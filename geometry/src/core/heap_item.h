#pragma once
#include "tessaly/object.h"

class GBlockMemory;

// One block of a GHeap: a buffer of equal slots. A slot is a pointer-sized
// header followed by the user area. While the slot is free its header links
// to the next free slot; while it is in use the header holds the block's
// address, so GHeap::Free finds the block from the user pointer alone.
class GHeapItem : public GObj {
public:
    static constexpr std::size_t kHeaderBytes = sizeof(void*);

    // The user area is rounded up to 8 bytes so every slot stays aligned.
    static std::size_t SlotStride(int itemSize);

    // The bytes of the slots' buffer of a block.
    static std::size_t BufferBytes(int slots, int itemSize);

    // The slots' buffer comes from `memory` when given, else from the
    // general heap.
    GHeapItem(int slots, int itemSize, GBlockMemory* memory = nullptr);
    ~GHeapItem() override;
    GHeapItem(const GHeapItem&) = delete;
    GHeapItem& operator=(const GHeapItem&) = delete;

    // Takes the first free slot (the block must have one) and returns its
    // user area, with the header pointing back to this block.
    void* TakeSlot();
    // Takes up to n free slots at once, in the order TakeSlot would hand
    // them out, and returns how many it took.
    int TakeSlots(void** out, int n);
    // Makes every slot free again, as in a new block (the block's slots must
    // all have been returned).
    void Reset();
    // Gives back a user area of this block.
    void ReturnSlot(void* userArea);
    static GHeapItem* OwnerOf(void* userArea);

    int GetFreeCount() const { return m_FreeCount; }
    int GetListIndex() const { return m_ListIndex; }
    void SetListIndex(int index) { m_ListIndex = index; }
    bool Contains(const void* userArea) const;

    // The next of the emptied blocks a heap keeps aside.
    GHeapItem* GetNextSpare() const { return m_NextSpare; }
    void SetNextSpare(GHeapItem* next) { m_NextSpare = next; }

private:
    char* SlotAt(int index) const;

    int m_SlotCount = 0;
    std::size_t m_Stride = 0;
    int m_FreeCount = 0;
    // Free slots are the returned ones (a list through their headers, most
    // recent first) followed by the never-used ones [0, m_Untouched), taken
    // from the end of the buffer down. That is the order of a free list built
    // by pushing every slot in buffer order, without the O(slots) set-up.
    char* m_FreeList = nullptr;
    int m_Untouched = 0;
    char* m_Slots = nullptr;
    GBlockMemory* m_Memory = nullptr;
    std::size_t m_SlotsBytes = 0;
    int m_ListIndex = -1;
    GHeapItem* m_NextSpare = nullptr;
};
