// Per-facet envelope and index records for the crossing check.
#include "tessaly/surface_edit.h"

namespace {
struct FacetRecord {
    GEnvelope envelope;
    int index = 0;
};
} // namespace

G3FacetProvider* G3FacetProvider::GetProvider()
{
    static G3FacetProvider* const provider = [] {
        auto* p = new G3FacetProvider;
        G3Obj::AddProvider(p);
        return p;
    }();
    return provider;
}

void G3FacetProvider::FreeExData(void* data)
{
    delete static_cast<FacetRecord*>(data);
}

void G3FacetProvider::Write(G3Facet* f)
{
    auto* record = static_cast<FacetRecord*>(f->GetOutExData(this));
    if (!record) {
        record = new FacetRecord;
        f->SetOutExData(this, record);
    }
    record->envelope = m_Envelope;
    record->index = m_Index;
}

void G3FacetProvider::Read(G3Facet* f)
{
    const auto* record = static_cast<const FacetRecord*>(f->GetOutExData(this));
    if (record) {
        m_Envelope = record->envelope;
        m_Index = record->index;
    } else {
        GEnvelope::InitDefault(&m_Envelope);
        m_Index = 0;
    }
}

void G3FacetProvider::Remove(G3Facet* f)
{
    f->RemoveExData(this);
}
