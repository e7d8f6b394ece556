#pragma once
// Object base and memory of the Tessaly kernel: the root class GObj, the
// pooled per-class heaps, the bump arena, the recursive lock, reference
// counting, identifiable objects and id maps, plug-in objects, layered
// per-resource data and the global scale value.

#include <cstddef>
#include <cstdint>

#include "tessaly/export.h"

class GMemoryAllocator;
class GArrayCollection;
class GHashtable;
class GHeap;
class GHeapItem;
class GBlockMemory;

// Root polymorphic base of every kernel object. Carries one user value that
// the kernel never interprets (wide enough to hold a pointer).
class TESSALY_API GObj {
public:
    GObj() = default;
    explicit GObj(unsigned long userValue) : m_UserValue(userValue) {}
    GObj(const GObj&) = default;
    GObj& operator=(const GObj&) = default;

    virtual void print();
    virtual ~GObj();
    // Copies the state of source into this object. Derived classes that add
    // state call their base's Copy first, then copy their own fields.
    virtual void Copy(GObj* source);
    // A new object of the same class holding a copy of this one.
    virtual GObj* Duplicate();

    unsigned long GetUserValue() const { return m_UserValue; }
    void SetUserValue(unsigned long value) { m_UserValue = value; }

    // GObj and its non-pooled descendants live on the general heap.
    static void* operator new(std::size_t size);
    static void operator delete(void* p);
    // Placement into an arena. Objects placed in an arena are never deleted
    // one by one: their storage goes away with the arena.
    static void* operator new(std::size_t size, GMemoryAllocator* arena);
    // Called only when a constructor throws during arena placement.
    static void operator delete(void* p, GMemoryAllocator* arena);

private:
    unsigned long m_UserValue = 0;
};

// Bump arena for short-lived auxiliary records, freed only as a whole.
class TESSALY_API GMemoryAllocator {
public:
    GMemoryAllocator();
    GMemoryAllocator(int firstChunkSize, int nextChunkSize);
    GMemoryAllocator(const GMemoryAllocator&) = delete;
    GMemoryAllocator& operator=(const GMemoryAllocator&) = delete;

    // 8-byte-aligned storage of at least size bytes. Requests too large for
    // an ordinary chunk get a dedicated chunk of their own. A negative size
    // returns null.
    virtual void* alloc(int size);
    virtual ~GMemoryAllocator();

    // Introspection: capacity and bytes used of the current ordinary chunk,
    // and the number of chunks (ordinary and dedicated) held.
    std::size_t GetCapacity() const { return m_Capacity; }
    std::size_t GetUsed() const { return m_Used; }
    int GetChunkCount() const;

protected:
    virtual void init(int firstChunkSize, int nextChunkSize);

private:
    static char* NewChunk(std::size_t dataBytes, char* link);
    static char* ChunkData(char* chunk);

    std::size_t m_FirstChunkSize = 0;
    std::size_t m_NextChunkSize = 0;
    std::size_t m_Capacity = 0;
    std::size_t m_Used = 0;
    char* m_Current = nullptr;
};

struct GCriticalSection;

// Recursive lock: a thread that holds it may take it again. Busy and Free do
// nothing while no section exists.
class TESSALY_API GSemaphor {
public:
    GSemaphor();
    ~GSemaphor();
    GSemaphor(const GSemaphor&) = delete;
    GSemaphor& operator=(const GSemaphor&) = delete;

    void Init();
    void Busy();
    void Free();

private:
    GCriticalSection* m_Section = nullptr;
};

// A pool of equal-sized, zero-filled slots carved from large blocks. A block
// leaves the heap's lists as soon as its last slot is freed and is kept
// aside for reuse, up to a few megabytes of such blocks a heap; the others
// go back to the general heap at once. GarbageCollector gives back all kept
// blocks but one.
class TESSALY_API GHeap {
public:
    GHeap(const char* name, int itemSize);
    GHeap(const char* name, int itemSize, int blockBytes);
    ~GHeap();
    GHeap(const GHeap&) = delete;
    GHeap& operator=(const GHeap&) = delete;

    // A zero-filled area of the item size.
    void* Alloc();
    // Returns an area obtained from Alloc of this heap; null is ignored.
    void Free(void* p);
    // Takes n areas under one lock (not zero-filled: for slot caches that
    // clear each area when they hand it out) and returns n.
    int AllocBatch(void** out, int n);
    // Returns n areas of this heap under one lock.
    void FreeBatch(void** areas, int n);
    // FreeBatch on a heap that is still alive with this serial number;
    // false (nothing touched) when it was deleted meanwhile.
    static bool FreeBatchIfLive(GHeap* heap, std::uint64_t serial, void** areas, int n);
    // A number that no other heap of the process ever had.
    std::uint64_t GetSerial() const { return m_Serial; }
    // Gives every block kept aside but one back to the general heap;
    // returns 0.
    int GarbageCollector();

    const char* GetName() const { return m_Name; }
    int GetItemSize() const { return m_ItemSize; }
    int GetSlotsPerBlock() const { return m_SlotsPerBlock; }
    int GetAvailableBlockCount() const;
    int GetFullBlockCount() const;
    GHeapItem* GetAvailableBlock(int index) const;
    GHeapItem* GetFullBlock(int index) const;
    // True while an emptied block is kept aside for reuse.
    bool HasSpareBlock() const { return m_SpareBlock != nullptr; }
    // How many emptied blocks are kept aside.
    int GetSpareBlockCount() const { return m_SpareCount; }

    static void RemoveAllHeaps();
    static void RunGarbageCollector();
    static void RunUsedMemoryDump();
    static int GetHeapCount();
    static GHeap* GetHeap(int index);
    static GHeap* FindHeap(const char* name);

    // Support of pooled classes (see TESSALY_POOLED_CLASS). Objects of
    // pooled classes go through small per-thread caches of free slots, so
    // that most creations and deletions take no lock. RunGarbageCollector
    // returns the calling thread's cached slots to their heaps; a thread's
    // cache is also returned when the thread ends. Provide creates
    // the class's heap in its slot on first use; after RemoveAllHeaps it
    // returns null and the slot stays null.
    static GHeap* Provide(GHeap*& slot, const char* name, int itemSize, int blockBytes);
    // Announces that about `count` objects of the heap are about to be made
    // at once (a large body being loaded): their blocks then come from
    // huge-page chunks from the start instead of after the heap's first
    // 64 MiB. Only a hint; nothing else changes.
    void ExpectObjects(long count);
    // Serves a pooled class's operator new: from the heap when the size is
    // the heap's item size, else (a derived class, or no heap) from the
    // general heap, zero-filled either way.
    static void* AllocPooled(GHeap* heap, std::size_t size, std::size_t itemSize);
    // Serves the matching sized operator delete. After RemoveAllHeaps the
    // delete of an object made from a removed heap does nothing (its block
    // is gone), while objects made since then go back to the general heap.
    static void FreePooled(GHeap* heap, void* p, std::size_t size, std::size_t itemSize);

protected:
    void Init(const char* name, int itemSize, int blockBytes);
    void DeleteAllBlocks();
    void* TakeFromBlocks();
    // Takes up to n slots from the block Alloc would use next (making a
    // block first when none has a free slot) and returns how many.
    int TakeFromLastBlock(void** out, int n);
    void ReturnToBlock(void* p);
    // Keeps an emptied block aside, or deletes it when enough are kept.
    void KeepOrDelete(GHeapItem* block);
    GHeapItem* TakeSpare();
    static void AddToHeapList(GHeap* heap);
    static void DeleteFromHeapList(GHeap* heap);
    // The lock of the heap registry.
    static GSemaphor& ClassLock();

private:
    char* m_Name = nullptr;
    GArrayCollection* m_AvailableBlocks = nullptr;
    GArrayCollection* m_FullBlocks = nullptr;
    // The most recently emptied of the blocks kept aside; they are linked
    // through their GHeapItem::GetNextSpare().
    GHeapItem* m_SpareBlock = nullptr;
    int m_SpareCount = 0;
    int m_MostSpares = 1;
    // Where the blocks' slot buffers come from.
    GBlockMemory* m_BlockMemory = nullptr;
    std::uint64_t m_Serial = 0;
    int m_SlotsPerBlock = 0;
    int m_ItemSize = 0;
    GSemaphor m_Lock;

    static GArrayCollection* m_HeapList;
};

// Declares the pooled allocation of a class: plain new and delete go to the
// class's own GHeap, the arena form to the given GMemoryAllocator.
#define TESSALY_POOLED_CLASS(Class)                                                                                    \
public:                                                                                                                \
    static GHeap* m_##Class##Heap;                                                                                     \
    static GHeap* GetClassHeap();                                                                                      \
    static void* operator new(std::size_t size);                                                                       \
    static void operator delete(void* p, std::size_t size);                                                            \
    static void* operator new(std::size_t size, GMemoryAllocator* arena);                                              \
    static void operator delete(void* p, GMemoryAllocator* arena);

// Defines the members declared by TESSALY_POOLED_CLASS and creates the heap
// when the library is loaded.
#define TESSALY_DEFINE_POOLED_CLASS(Class, heapName, blockBytes)                                                       \
    GHeap* Class::m_##Class##Heap = nullptr;                                                                           \
    GHeap* Class::GetClassHeap()                                                                                       \
    {                                                                                                                  \
        return GHeap::Provide(m_##Class##Heap, heapName, static_cast<int>(sizeof(Class)), blockBytes);                 \
    }                                                                                                                  \
    void* Class::operator new(std::size_t size)                                                                        \
    {                                                                                                                  \
        return GHeap::AllocPooled(GetClassHeap(), size, sizeof(Class));                                                \
    }                                                                                                                  \
    void Class::operator delete(void* p, std::size_t size)                                                             \
    {                                                                                                                  \
        GHeap::FreePooled(m_##Class##Heap, p, size, sizeof(Class));                                                    \
    }                                                                                                                  \
    void* Class::operator new(std::size_t size, GMemoryAllocator* arena)                                               \
    {                                                                                                                  \
        return GObj::operator new(size, arena);                                                                        \
    }                                                                                                                  \
    void Class::operator delete(void*, GMemoryAllocator*) {}                                                           \
    [[maybe_unused]] static const bool Class##_heap_created_at_load = (Class::GetClassHeap(), true);

// Intrusive reference count; Release deletes the object at zero.
class TESSALY_API GPointer {
public:
    GPointer() = default;
    virtual ~GPointer();
    virtual int AddRef();
    virtual int Release();
    virtual int RefCount();

private:
    int m_RefCount = 0;
};

// An object with a numeric identity, -1 when unassigned.
class TESSALY_API GIdentifiableObject {
public:
    GIdentifiableObject() = default;
    virtual ~GIdentifiableObject();
    void SetId(long id) { m_Id = id; }
    long GetId() const { return m_Id; }

private:
    long m_Id = -1;
};

// Dense map from small non-negative integers to objects (not owned).
class TESSALY_API GIdMap : public GObj {
public:
    GIdMap();
    explicit GIdMap(int size);
    ~GIdMap() override;
    GIdMap(const GIdMap&) = delete;
    GIdMap& operator=(const GIdMap&) = delete;

    void Init(int size);
    void Realloc(int size);
    // Stores obj under id, growing the map when id is beyond its size, and
    // returns the previous object. A negative id stores nothing: null.
    GObj* Put(int id, GObj* obj);
    // Null for an id outside the map.
    GObj* Get(int id) const;
    GObj* Remove(int id);
    void Clear();
    int GetFreeId() const;
    int GetMapSize() const { return m_Size; }

private:
    int m_Size = 0;
    GObj** m_Entries = nullptr;
};

// A polymorphic object that may live in a separately loaded plug-in library
// exporting "NewInstance".
class TESSALY_API GDynamicClass : public GObj {
public:
    GDynamicClass();
    ~GDynamicClass() override;
    GDynamicClass(const GDynamicClass&) = delete;
    GDynamicClass& operator=(const GDynamicClass&) = delete;

    virtual const char* ___GetClassName();
    virtual int GetType();
    virtual const char* GetName();
    virtual int MayBeUnload();

    const char* GetDllName() const { return m_LibraryPath; }
    void* GetLibrary() const { return m_Library; }
    bool IsLoaded() const { return m_Library != nullptr; }
    int AddRef() { return ++m_RefCount; }
    int Release() { return --m_RefCount; }
    int RefCount() const { return m_RefCount; }

    // 1 if the file exists, else 0.
    static int TestExists(const char* path);
    // Loads the library at path and creates an object through its
    // "NewInstance" export. Returns 1 with *out set, or 0 with *out null;
    // a library without the export (or whose factory returns null) is
    // unloaded again.
    static int Load(GDynamicClass** out, const char* path);
    // Deletes *p, then frees its library when the object allows it.
    static void Unload(GDynamicClass** p);

protected:
    // Replaces the library path reported by GetDllName (a copy is kept).
    void SetDllName(const char* path);

private:
    void* m_Library = nullptr;
    char* m_LibraryPath = nullptr;
    int m_RefCount = 0;
};

// Placeholder for a plug-in object, made without a library.
class TESSALY_API GDummyDynamicClass : public GDynamicClass {
public:
    GDummyDynamicClass(const char* name, const char* libraryPath, int type);
    ~GDummyDynamicClass() override;

    const char* ___GetClassName() override;
    int GetType() override;
    const char* GetName() override;

private:
    char* m_Name = nullptr;
    int m_Type = 0;
};

// Maps each registered resource object to data made for it. Listener
// providers registered with a parent build their own data from the parent's
// data objects.
class TESSALY_API GDynamicResourceProvider {
public:
    explicit GDynamicResourceProvider(GDynamicResourceProvider* parent);
    virtual ~GDynamicResourceProvider();
    GDynamicResourceProvider(const GDynamicResourceProvider&) = delete;
    GDynamicResourceProvider& operator=(const GDynamicResourceProvider&) = delete;

    void AddListener(GDynamicResourceProvider* listener);
    void RemoveListener(GDynamicResourceProvider* listener);
    void AddResource(GObj* resource);
    // Removes a resource: listeners drop the data derived from it before its
    // own data is released. An unknown resource changes nothing.
    void RemoveResource(GObj* resource);
    void SetResourceData(GObj* resource, GObj* data);
    GObj* GetResourceData(GObj* resource) const;
    void Clear();
    void GetResource(GArrayCollection* resources, GArrayCollection* data) const;
    void GetResource(GArrayCollection* data) const;
    bool IsEmpty() const;
    GDynamicResourceProvider* GetParent() const { return m_Parent; }

protected:
    virtual GObj* MakeData(GObj* resource) = 0;
    virtual void ReleaseData(GObj* data) = 0;

private:
    GArrayCollection* m_Listeners = nullptr;
    GHashtable* m_Resources = nullptr;
    GDynamicResourceProvider* m_Parent = nullptr;
};

// One global scale value.
class TESSALY_API GPress {
public:
    static double minsize;
    static bool init(double scale);
    static double MINSIZE2();
    static double getSizeXY(double x1, double y1, double x2, double y2);
};
