#include "tessaly/object.h"

#include <algorithm>

GIdMap::GIdMap()
{
    Init(256);
}

GIdMap::GIdMap(int size)
{
    Init(size);
}

GIdMap::~GIdMap()
{
    delete[] m_Entries;
}

void GIdMap::Init(int size)
{
    delete[] m_Entries;
    m_Size = std::max(size, 0);
    m_Entries = new GObj*[static_cast<std::size_t>(m_Size)]();
}

void GIdMap::Realloc(int size)
{
    size = std::max(size, 0);
    GObj** entries = new GObj*[static_cast<std::size_t>(size)]();
    std::copy(m_Entries, m_Entries + std::min(size, m_Size), entries);
    delete[] m_Entries;
    m_Entries = entries;
    m_Size = size;
}

GObj* GIdMap::Put(int id, GObj* obj)
{
    if (id < 0)
        return nullptr;
    if (id >= m_Size)
        Realloc(id + 1);
    GObj* previous = m_Entries[id];
    m_Entries[id] = obj;
    return previous;
}

GObj* GIdMap::Get(int id) const
{
    if (id < 0 || id >= m_Size)
        return nullptr;
    return m_Entries[id];
}

GObj* GIdMap::Remove(int id)
{
    if (id < 0 || id >= m_Size)
        return nullptr;
    GObj* previous = m_Entries[id];
    m_Entries[id] = nullptr;
    return previous;
}

void GIdMap::Clear()
{
    std::fill(m_Entries, m_Entries + m_Size, nullptr);
}

int GIdMap::GetFreeId() const
{
    for (int id = 0; id < m_Size; ++id) {
        if (!m_Entries[id])
            return id;
    }
    return m_Size;
}
