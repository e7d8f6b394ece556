#include "tessaly/containers.h"

#include <algorithm>
#include <climits>
#include <cstdint>

TESSALY_DEFINE_POOLED_CLASS(GHashtableEntry, "GHashtableEntry", 16384)

namespace {
// Used when a table is made without a hash or key comparison: identity.
long IdentityHash(const GObj* key)
{
    return static_cast<long>(reinterpret_cast<std::uintptr_t>(key) & LONG_MAX);
}

int IdentityCompare(const GObj* stored, const GObj* query)
{
    return stored == query ? 0 : 1;
}
} // namespace

GHashtable::GHashtable(int initialCapacity, float loadFactor, GHashFunction hash, GCompareFunction compareKeys,
                       GCompareFunction compareValues)
    : m_Hash(hash ? hash : &IdentityHash), m_CompareKeys(compareKeys ? compareKeys : &IdentityCompare),
      m_CompareValues(compareValues)
{
    Init(initialCapacity, loadFactor);
}

GHashtable::GHashtable(int initialCapacity, GHashFunction hash, GCompareFunction compareKeys,
                       GCompareFunction compareValues)
    : GHashtable(initialCapacity, 0.75f, hash, compareKeys, compareValues)
{
}

GHashtable::~GHashtable()
{
    Clear();
    delete[] m_Buckets;
}

void GHashtable::Init(int initialCapacity, float loadFactor)
{
    m_LoadFactor = loadFactor > 0.0f ? loadFactor : 0.75;
    m_TableSize = std::max(initialCapacity, 1);
    m_Buckets = new GHashtableEntry*[static_cast<std::size_t>(m_TableSize)]();
    m_Threshold = static_cast<int>(m_TableSize * m_LoadFactor);
}

int GHashtable::BucketOf(long hash) const
{
    return static_cast<int>((hash & LONG_MAX) % m_TableSize);
}

void GHashtable::Rehash()
{
    int size = 2 * m_TableSize + 1;
    auto** buckets = new GHashtableEntry*[static_cast<std::size_t>(size)]();
    for (int b = m_TableSize - 1; b >= 0; --b) {
        GHashtableEntry* entry = m_Buckets[b];
        while (entry) {
            GHashtableEntry* following = entry->nextEntry;
            int target = static_cast<int>((entry->hash & LONG_MAX) % size);
            entry->nextEntry = buckets[target];
            buckets[target] = entry;
            entry = following;
        }
    }
    delete[] m_Buckets;
    m_Buckets = buckets;
    m_TableSize = size;
    m_Threshold = static_cast<int>(size * m_LoadFactor);
}

GHashtableEntry* GHashtable::Insert(GObj* key, GObj* value, long hash)
{
    if (m_Count >= m_Threshold)
        Rehash();
    auto* entry = new GHashtableEntry;
    entry->key = key;
    entry->value = value;
    entry->hash = hash;
    int bucket = BucketOf(hash);
    entry->nextEntry = m_Buckets[bucket];
    m_Buckets[bucket] = entry;
    ++m_Count;
    return entry;
}

GHashtableEntry* GHashtable::Unlink(GHashtableEntry** link)
{
    GHashtableEntry* entry = *link;
    *link = entry->nextEntry;
    --m_Count;
    return entry;
}

GObj* GHashtable::Put(GObj* key, GObj* value)
{
    long hash = m_Hash(key);
    for (GHashtableEntry* e = m_Buckets[BucketOf(hash)]; e; e = e->nextEntry) {
        if (e->hash == hash && m_CompareKeys(e->key, key) == 0) {
            GObj* previous = e->value;
            e->value = value;
            return previous;
        }
    }
    Insert(key, value, hash);
    return nullptr;
}

GObj* GHashtable::PutValue(GObj* key, GObj* value)
{
    long hash = m_Hash(key);
    if (m_CompareValues) {
        for (GHashtableEntry* e = m_Buckets[BucketOf(hash)]; e; e = e->nextEntry) {
            if (e->hash == hash && m_CompareKeys(e->key, key) == 0 && m_CompareValues(e->value, value) == 0) {
                GObj* previous = e->value;
                e->value = value;
                return previous;
            }
        }
    }
    Insert(key, value, hash);
    return nullptr;
}

GObj* GHashtable::Get(GObj* key)
{
    for (GHashtableEntry* e = m_Buckets[BucketOf(m_Hash(key))]; e; e = e->nextEntry) {
        if (m_CompareKeys(e->key, key) == 0)
            return e->value;
    }
    return nullptr;
}

GObj* GHashtable::GetValue(GObj* key, GObj* value)
{
    if (!m_CompareValues)
        return nullptr;
    for (GHashtableEntry* e = m_Buckets[BucketOf(m_Hash(key))]; e; e = e->nextEntry) {
        if (m_CompareKeys(e->key, key) == 0 && m_CompareValues(e->value, value) == 0)
            return e->value;
    }
    return nullptr;
}

GObj* GHashtable::Remove(GObj* key)
{
    for (GHashtableEntry** link = &m_Buckets[BucketOf(m_Hash(key))]; *link; link = &(*link)->nextEntry) {
        if (m_CompareKeys((*link)->key, key) == 0) {
            GHashtableEntry* entry = Unlink(link);
            GObj* value = entry->value;
            delete entry;
            return value;
        }
    }
    return nullptr;
}

GObj* GHashtable::RemoveValue(GObj* key, GObj* value)
{
    if (!m_CompareValues)
        return nullptr;
    for (GHashtableEntry** link = &m_Buckets[BucketOf(m_Hash(key))]; *link; link = &(*link)->nextEntry) {
        if (m_CompareKeys((*link)->key, key) == 0 && m_CompareValues((*link)->value, value) == 0) {
            GHashtableEntry* entry = Unlink(link);
            GObj* removed = entry->value;
            delete entry;
            return removed;
        }
    }
    return nullptr;
}

void GHashtable::Clear()
{
    for (int b = 0; b < m_TableSize; ++b) {
        GHashtableEntry* entry = m_Buckets[b];
        while (entry) {
            GHashtableEntry* following = entry->nextEntry;
            delete entry;
            entry = following;
        }
        m_Buckets[b] = nullptr;
    }
    m_Count = 0;
}

void GHashtable::ClearWithValue()
{
    for (int b = 0; b < m_TableSize; ++b) {
        for (GHashtableEntry* e = m_Buckets[b]; e; e = e->nextEntry)
            delete e->value;
    }
    Clear();
}
