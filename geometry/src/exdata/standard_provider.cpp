// The provider interface and the standard provider, which treats values as
// plain identifiers that nothing owns.
#include "tessaly/exdata.h"

IGeometryExDataProvider::~IGeometryExDataProvider() = default;

CStandardExDataProvider::~CStandardExDataProvider() = default;

void CStandardExDataProvider::Free(void*) {}

void* CStandardExDataProvider::GetIdByPlaneDivide(void* id, const G3Surface*, const double*)
{
    return id;
}

void* CStandardExDataProvider::GetIdByMergeFacets(void* a, void* b)
{
    return a == b ? a : nullptr;
}
