#include "boolean/boolean_provider.h"

#include <typeinfo>

#include "core/tolerances.h"

const GEnvelope& GBooleanFacet::GetEnvelope(G3Facet* f)
{
    if (!m_HasEnvelope && f && f->HasEdges()) {
        f->FormEnvelope(&m_Envelope);
        m_Envelope.Extend(tessaly::kEnvelopeWidening);
        m_HasEnvelope = true;
    }
    return m_Envelope;
}

G3IntervalList* GBooleanFacet::GetPieces()
{
    if (!m_Pieces)
        m_Pieces = new G3IntervalList;
    return m_Pieces;
}

void G3SurfaceBooleanProvider::OpenExDataVertex(G3Vertex* v)
{
    m_Vertices[v] = GBooleanVertex{};
}

void G3SurfaceBooleanProvider::CloseExDataVertex(G3Vertex* v)
{
    m_Vertices.erase(v);
}

void G3SurfaceBooleanProvider::OpenExDataFacet(G3Facet* f)
{
    m_Facets[f];
}

void G3SurfaceBooleanProvider::CloseExDataFacet(G3Facet* f)
{
    m_Facets.erase(f);
}

G3SurfaceBooleanProvider* G3SurfaceBooleanProvider::Of(const G3Shell* s)
{
    G3ShellExDataProvider* p = s ? s->GetExDataProvider() : nullptr;
    if (!p)
        return nullptr;
    if (typeid(*p) == typeid(G3SurfaceBooleanProvider))
        return static_cast<G3SurfaceBooleanProvider*>(p);
    return dynamic_cast<G3SurfaceBooleanProvider*>(p);
}

GEnvelope G3SurfaceBooleanProvider::WorkingEnvelope(G3Facet* f)
{
    if (G3SurfaceBooleanProvider* p = Of(f->GetParent()))
        return p->Facet(f).GetEnvelope(f);
    GEnvelope box;
    f->FormEnvelope(&box);
    box.Extend(tessaly::kEnvelopeWidening);
    return box;
}
