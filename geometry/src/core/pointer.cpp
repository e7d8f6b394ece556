#include "tessaly/object.h"

GPointer::~GPointer() = default;

int GPointer::AddRef()
{
    return ++m_RefCount;
}

int GPointer::Release()
{
    int count = --m_RefCount;
    if (count == 0)
        delete this;
    return count;
}

int GPointer::RefCount()
{
    return m_RefCount;
}

GIdentifiableObject::~GIdentifiableObject()
{
    m_Id = -1;
}
