#pragma once
// Containers of the Tessaly kernel: the iterator and collection interfaces,
// the growable pointer array GArrayCollection with its iterators, and the
// chained hash table GHashtable.
//
// Containers hold pointers and never own the objects they point to, unless
// an operation says so (clear(true), ClearWithValue()).

#include "tessaly/object.h"

class GCollection;

// Walks a collection or any other sequence of objects.
class TESSALY_API GIterator {
public:
    virtual ~GIterator();
    virtual bool hasNext() = 0;
    virtual GObj* next() = 0;
    // Removes the element most recently returned by next(), where supported.
    virtual void remove();
    // Rebinds the iterator to a collection, where supported.
    virtual void init(GCollection* collection);
};

class TESSALY_API GCollection : public GObj {
public:
    virtual int size() = 0;
    virtual bool isEmpty();
    virtual bool contains(GObj* obj);
    virtual GObj** toArray();
    virtual bool add(GObj* obj) = 0;
    virtual bool remove(GObj* obj);
    virtual void clear();
    // Adds every object the iterator yields.
    virtual void addIterator(GIterator* it);
};

// Comparators of the sorts: they receive the addresses of two elements
// (GObj* const*), and for qsortex the caller's context.
typedef int (*GCompareElements)(const void* a, const void* b);
typedef int (*GCompareElementsEx)(const void* a, const void* b, void* context);

// Growable array of object pointers; the normal removal swaps in the last
// element (O(1), order not kept). Pooled: objects come from the
// "GArrayCollection" heap.
class TESSALY_API GArrayCollection : public GCollection {
    TESSALY_POOLED_CLASS(GArrayCollection)

public:
    GArrayCollection();
    GArrayCollection(int initialCapacity, int growth);
    ~GArrayCollection() override;
    GArrayCollection(const GArrayCollection&) = delete;
    GArrayCollection& operator=(const GArrayCollection&) = delete;

    int size() override { return m_Count; }
    bool isEmpty() override { return m_Count == 0; }
    bool contains(GObj* obj) override;
    // The internal element array itself; invalid once the array grows.
    GObj** toArray() override { return m_Elements; }
    bool add(GObj* obj) override;
    // Removes the last occurrence by moving the last element into its slot.
    bool remove(GObj* obj) override;
    void clear() override { m_Count = 0; }
    // Appends n pointers and returns the index of the first (the old count).
    // A null array or n <= 0 appends nothing.
    virtual int add(int n, GObj** array);

    int add_i(GObj* obj);
    GObj* get(int i) const { return m_Elements[i]; }
    void put(int i, GObj* obj) { m_Elements[i] = obj; }
    GObj* getFirst() const { return m_Elements[0]; }
    GObj* getLast() const { return m_Elements[m_Count - 1]; }
    int count() const { return m_Count; }
    int capacity() const { return m_Capacity; }
    int growth() const { return m_Growth; }
    int initialCapacity() const { return m_InitialCapacity; }
    // Sets the count directly; the array is not touched.
    void size(int count) { m_Count = count; }
    void removeLast() { --m_Count; }
    void remove(int i);
    void RemoveWithShift(int i);
    void ShiftLeft(int i);
    void ShiftRight(int i);
    int index(GObj* obj) const;
    void Rotate();
    // Deletes every non-null element when deleteElements is set, then empties.
    void clear(bool deleteElements);
    // Stable merge sort of the elements; comparators get element addresses.
    void qsort(GCompareElements compare);
    void qsortex(GCompareElementsEx compare, void* context);
    void ReallocByRealSize();
    // Grows the array, if needed, so that it holds at least n elements.
    void ensureCapacity(int n);

protected:
    void reallocList(int n);
    void finit();

private:
    int m_Count = 0;
    int m_InitialCapacity = 0;
    int m_Capacity = 0;
    int m_Growth = 0;
    GObj** m_Elements = nullptr;
};

// Iterates a collection by index; remove() moves the collection's last
// element into the removed slot, which is then visited next.
class TESSALY_API GArrayCollectionIterator : public GIterator {
public:
    GArrayCollectionIterator() = default;
    explicit GArrayCollectionIterator(GCollection* collection);
    GArrayCollectionIterator(GCollection* collection, int from, int to);

    bool hasNext() override { return m_Position < m_End; }
    GObj* next() override { return m_Elements[m_Position++]; }
    void remove() override;
    void init(GCollection* collection) override;
    void init(GCollection* collection, int from, int to);

private:
    GCollection* m_Collection = nullptr;
    int m_Position = 0;
    int m_End = 0;
    GObj** m_Elements = nullptr;
};

// Iterates a raw array of object pointers.
class TESSALY_API GObjArrayIterator : public GIterator {
public:
    GObjArrayIterator() = default;
    GObjArrayIterator(int count, GObj** array);
    GObjArrayIterator(GObj** array, int from, int to);

    bool hasNext() override { return m_Position < m_End; }
    GObj* next() override { return m_Elements[m_Position++]; }
    using GIterator::init;
    void init(int count, GObj** array);
    void init(GObj** array, int from, int to);

private:
    int m_Position = 0;
    int m_End = 0;
    GObj** m_Elements = nullptr;
};

typedef long (*GHashFunction)(const GObj* key);
// 0 when equal; called as (stored, query).
typedef int (*GCompareFunction)(const GObj* stored, const GObj* query);

// One key/value pair of a GHashtable; GHashtableIterator::next() returns it.
// Entries come from their own pooled heap ("GHashtableEntry").
class TESSALY_API GHashtableEntry : public GObj {
    TESSALY_POOLED_CLASS(GHashtableEntry)

public:
    GObj* key = nullptr;
    GObj* value = nullptr;
    GHashtableEntry* nextEntry = nullptr;
    long hash = 0;
};

// Chained hash map from object keys to object values with caller-supplied
// hash and comparison functions. PutValue/GetValue/RemoveValue make it a
// multimap keyed by (key, value).
class TESSALY_API GHashtable : public GObj {
public:
    GHashtable(int initialCapacity, float loadFactor, GHashFunction hash, GCompareFunction compareKeys,
               GCompareFunction compareValues);
    GHashtable(int initialCapacity, GHashFunction hash, GCompareFunction compareKeys, GCompareFunction compareValues);
    ~GHashtable() override;
    GHashtable(const GHashtable&) = delete;
    GHashtable& operator=(const GHashtable&) = delete;

    virtual GObj* Put(GObj* key, GObj* value);
    virtual GObj* PutValue(GObj* key, GObj* value);
    virtual GObj* Get(GObj* key);
    virtual GObj* GetValue(GObj* key, GObj* value);
    virtual GObj* Remove(GObj* key);
    virtual GObj* RemoveValue(GObj* key, GObj* value);
    virtual void Clear();
    virtual void ClearWithValue();

    int GetSize() const { return m_Count; }
    int GetTableSize() const { return m_TableSize; }
    int GetThreshold() const { return m_Threshold; }
    GHashtableEntry** GetHashEntryTable() const { return m_Buckets; }
    bool IsEmpty() const { return m_Count == 0; }

protected:
    void Init(int initialCapacity, float loadFactor);

private:
    int BucketOf(long hash) const;
    void Rehash();
    GHashtableEntry* Insert(GObj* key, GObj* value, long hash);
    GHashtableEntry* Unlink(GHashtableEntry** link);

    GHashFunction m_Hash = nullptr;
    GCompareFunction m_CompareKeys = nullptr;
    GCompareFunction m_CompareValues = nullptr;
    GHashtableEntry** m_Buckets = nullptr;
    int m_TableSize = 0;
    int m_Count = 0;
    int m_Threshold = 0;
    double m_LoadFactor = 0.75;
};

// Visits every entry once, bucket by bucket and along each chain. The entry
// just returned may be removed from the table before the next call.
class TESSALY_API GHashtableIterator : public GIterator {
public:
    explicit GHashtableIterator(GHashtable* table);

    bool hasNext() override { return m_Current != nullptr; }
    // The next GHashtableEntry (not the key).
    GObj* next() override;

private:
    void Advance();

    int m_TableSize = 0;
    GHashtableEntry** m_Buckets = nullptr;
    int m_BucketIndex = 0;
    GHashtableEntry* m_Current = nullptr;
};
