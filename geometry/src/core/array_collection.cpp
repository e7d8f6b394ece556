#include "tessaly/containers.h"

#include <algorithm>
#include <cstring>

TESSALY_DEFINE_POOLED_CLASS(GArrayCollection, "GArrayCollection", 16384)

GIterator::~GIterator() = default;
void GIterator::remove() {}
void GIterator::init(GCollection*) {}

bool GCollection::isEmpty()
{
    return false;
}
bool GCollection::contains(GObj*)
{
    return false;
}
GObj** GCollection::toArray()
{
    return nullptr;
}
bool GCollection::remove(GObj*)
{
    return false;
}
void GCollection::clear() {}

void GCollection::addIterator(GIterator* it)
{
    if (!it)
        return;
    while (it->hasNext())
        add(it->next());
}

GArrayCollection::GArrayCollection() : GArrayCollection(256, 1024) {}

GArrayCollection::GArrayCollection(int initialCapacity, int growth)
    : m_InitialCapacity(std::max(initialCapacity, 0)), m_Capacity(m_InitialCapacity), m_Growth(std::max(growth, 0))
{
    if (m_Capacity > 0)
        m_Elements = new GObj*[static_cast<std::size_t>(m_Capacity)];
}

GArrayCollection::~GArrayCollection()
{
    finit();
}

void GArrayCollection::finit()
{
    delete[] m_Elements;
    m_Elements = nullptr;
    m_Capacity = 0;
    m_Count = 0;
}

void GArrayCollection::reallocList(int n)
{
    // At least one slot, even with a growth of 0, so appending always fits.
    int increment = std::max({n, m_Growth, 1});
    int capacity = m_Capacity + increment;
    GObj** elements = new GObj*[static_cast<std::size_t>(capacity)];
    if (m_Count > 0)
        std::memcpy(elements, m_Elements, sizeof(GObj*) * static_cast<std::size_t>(m_Count));
    delete[] m_Elements;
    m_Elements = elements;
    m_Capacity = capacity;
}

void GArrayCollection::ensureCapacity(int n)
{
    if (n > m_Capacity)
        reallocList(n - m_Capacity);
}

bool GArrayCollection::contains(GObj* obj)
{
    return index(obj) >= 0;
}

bool GArrayCollection::add(GObj* obj)
{
    add_i(obj);
    return true;
}

int GArrayCollection::add_i(GObj* obj)
{
    if (m_Count >= m_Capacity)
        reallocList(m_Growth);
    m_Elements[m_Count] = obj;
    return m_Count++;
}

int GArrayCollection::add(int n, GObj** array)
{
    int first = m_Count;
    if (n <= 0 || !array)
        return first;
    if (m_Count + n >= m_Capacity)
        reallocList(n);
    std::memcpy(m_Elements + m_Count, array, sizeof(GObj*) * static_cast<std::size_t>(n));
    m_Count += n;
    return first;
}

bool GArrayCollection::remove(GObj* obj)
{
    int i = index(obj);
    if (i < 0)
        return false;
    remove(i);
    return true;
}

void GArrayCollection::remove(int i)
{
    m_Elements[i] = m_Elements[m_Count - 1];
    --m_Count;
}

void GArrayCollection::RemoveWithShift(int i)
{
    ShiftLeft(i);
}

void GArrayCollection::ShiftLeft(int i)
{
    std::memmove(m_Elements + i, m_Elements + i + 1, sizeof(GObj*) * static_cast<std::size_t>(m_Count - i - 1));
    --m_Count;
}

void GArrayCollection::ShiftRight(int i)
{
    if (m_Count + 1 >= m_Capacity)
        reallocList(m_Growth);
    std::memmove(m_Elements + i + 1, m_Elements + i, sizeof(GObj*) * static_cast<std::size_t>(m_Count - i));
    m_Elements[i] = nullptr;
    ++m_Count;
}

int GArrayCollection::index(GObj* obj) const
{
    for (int i = m_Count - 1; i >= 0; --i) {
        if (m_Elements[i] == obj)
            return i;
    }
    return -1;
}

void GArrayCollection::Rotate()
{
    for (int i = 0; i < m_Count / 2; ++i)
        std::swap(m_Elements[i], m_Elements[m_Count - 1 - i]);
}

void GArrayCollection::clear(bool deleteElements)
{
    if (deleteElements) {
        for (int i = 0; i < m_Count; ++i)
            delete m_Elements[i];
    }
    m_Count = 0;
}

void GArrayCollection::ReallocByRealSize()
{
    if (m_Capacity <= m_Count)
        return;
    GObj** elements = nullptr;
    if (m_Count > 0) {
        elements = new GObj*[static_cast<std::size_t>(m_Count)];
        std::memcpy(elements, m_Elements, sizeof(GObj*) * static_cast<std::size_t>(m_Count));
    }
    delete[] m_Elements;
    m_Elements = elements;
    m_Capacity = m_Count;
}
