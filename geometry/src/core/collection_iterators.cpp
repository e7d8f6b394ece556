#include "tessaly/containers.h"

GArrayCollectionIterator::GArrayCollectionIterator(GCollection* collection)
{
    init(collection);
}

GArrayCollectionIterator::GArrayCollectionIterator(GCollection* collection, int from, int to)
{
    init(collection, from, to);
}

void GArrayCollectionIterator::init(GCollection* collection)
{
    init(collection, 0, collection ? collection->size() : 0);
}

void GArrayCollectionIterator::init(GCollection* collection, int from, int to)
{
    m_Collection = collection;
    m_Elements = collection ? collection->toArray() : nullptr;
    m_Position = from;
    m_End = m_Elements ? to : from;
}

void GArrayCollectionIterator::remove()
{
    // Only array collections support removal by index; the last element
    // moves into the freed slot and is visited next.
    auto* array = dynamic_cast<GArrayCollection*>(m_Collection);
    if (!array || m_Position <= 0)
        return;
    --m_Position;
    array->remove(m_Position);
    --m_End;
}

GObjArrayIterator::GObjArrayIterator(int count, GObj** array)
{
    init(count, array);
}

GObjArrayIterator::GObjArrayIterator(GObj** array, int from, int to)
{
    init(array, from, to);
}

void GObjArrayIterator::init(int count, GObj** array)
{
    init(array, 0, count);
}

void GObjArrayIterator::init(GObj** array, int from, int to)
{
    m_Elements = array;
    m_Position = from;
    m_End = array ? to : from;
}

GHashtableIterator::GHashtableIterator(GHashtable* table)
{
    if (!table)
        return;
    m_TableSize = table->GetTableSize();
    m_Buckets = table->GetHashEntryTable();
    m_BucketIndex = -1;
    Advance();
}

void GHashtableIterator::Advance()
{
    if (m_Current && m_Current->nextEntry) {
        m_Current = m_Current->nextEntry;
        return;
    }
    m_Current = nullptr;
    while (++m_BucketIndex < m_TableSize) {
        if (m_Buckets[m_BucketIndex]) {
            m_Current = m_Buckets[m_BucketIndex];
            return;
        }
    }
}

GObj* GHashtableIterator::next()
{
    GHashtableEntry* entry = m_Current;
    // Moving on before returning lets the caller remove this entry.
    Advance();
    return entry;
}
