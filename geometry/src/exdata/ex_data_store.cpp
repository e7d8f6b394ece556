// The reference-counted store behind CExData handles.
#include <new>

#include "tessaly/exdata.h"

CExDataProvider::CExDataProvider() : m_Values(new (std::nothrow) Values)
{
    if (!m_Values)
        throw "not enough memory";
}

CExDataProvider::~CExDataProvider()
{
    for (const auto& entry : *m_Values)
        entry.first->Free(entry.second);
}

int CExDataProvider::AddRef()
{
    return ++m_RefCount;
}

int CExDataProvider::Release()
{
    if (m_RefCount < 2) {
        delete this;
        return 0;
    }
    return --m_RefCount;
}

void* CExDataProvider::GetValue(IGeometryExDataProvider* p) const
{
    auto found = m_Values->find(p);
    return found == m_Values->end() ? nullptr : found->second;
}

void CExDataProvider::SetValue(IGeometryExDataProvider* p, void* value)
{
    (*m_Values)[p] = value;
}

void CExDataProvider::RemoveValue(IGeometryExDataProvider* p)
{
    m_Values->erase(p);
}
