#include "tessaly/wall_data.h"

namespace {
// The record attached to a facet.
struct WallRecord {
    int sectionId;
    int type;
};

const WallRecord* RecordOf(G3Obj* obj, G3ExDataProvider* provider)
{
    return obj ? static_cast<const WallRecord*>(obj->GetOutExData(provider)) : nullptr;
}

// The object type of facets (G3Obj::GetObjectType).
constexpr int kFacetObject = 4;

// The current pair, one per thread.
thread_local WallRecord t_current = {0, ROOF_FACET_NONE};
} // namespace

G3WallDataProvider* G3WallDataProvider::Get()
{
    // Made and registered once; it lives as long as the library.
    static G3WallDataProvider* provider = [] {
        auto* p = new G3WallDataProvider;
        G3Obj::AddProvider(p);
        return p;
    }();
    return provider;
}

void G3WallDataProvider::FreeExData(void* data)
{
    delete static_cast<WallRecord*>(data);
}

void G3WallDataProvider::OpenExData(G3Obj* obj)
{
    if (!obj || t_current.sectionId == 0)
        return;
    FreeExData(obj->GetOutExData(this));
    obj->SetOutExData(this, new WallRecord(t_current));
}

void G3WallDataProvider::SetExData(G3Obj* obj)
{
    const WallRecord* r = obj && obj->GetObjectType() == kFacetObject ? RecordOf(obj, this) : nullptr;
    t_current = r ? *r : WallRecord{0, ROOF_FACET_NONE};
}

void G3WallDataProvider::CopyExData(G3Obj* target, G3Obj* source)
{
    const WallRecord* r = RecordOf(source, this);
    if (!target || !r)
        return;
    FreeExData(target->GetOutExData(this));
    target->SetOutExData(this, new WallRecord(*r));
}

void G3WallDataProvider::SetCurrent(int sectionId, ROOF_FACET_TYPE type)
{
    t_current = {sectionId, type};
}

int G3WallDataProvider::GetCurrentSectionId() const
{
    return t_current.sectionId;
}

ROOF_FACET_TYPE G3WallDataProvider::GetCurrentType() const
{
    return static_cast<ROOF_FACET_TYPE>(t_current.type);
}

long G3WallDataProvider::GetFacetIndex(G3Obj* obj)
{
    const WallRecord* r = RecordOf(obj, Get());
    return r ? r->sectionId : 0;
}

ROOF_FACET_TYPE G3WallDataProvider::GetFacetType(G3Obj* obj)
{
    const WallRecord* r = RecordOf(obj, Get());
    return r ? static_cast<ROOF_FACET_TYPE>(r->type) : ROOF_FACET_NONE;
}
