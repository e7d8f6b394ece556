#include "tessaly/elements.h"
#include "tessaly/facet.h"

#include <utility>

TESSALY_DEFINE_POOLED_CLASS(G3Edge, "G3Edge", 65536)

G3Edge::G3Edge()
{
    SetFlags(kVisible);
}

G3Edge::G3Edge(G3Vertex* v1, G3Vertex* v2) : m_Vertex1(v1), m_Vertex2(v2)
{
    SetFlags(kVisible);
}

G3Edge::~G3Edge()
{
    delete m_Geometry;
}

void G3Edge::Copy(GObj* source)
{
    G3Obj::Copy(source);
    auto* other = dynamic_cast<G3Edge*>(source);
    if (!other || other == this)
        return;
    m_Vertex1 = other->m_Vertex1;
    m_Vertex2 = other->m_Vertex2;
    m_Vertex1Next = other->m_Vertex1Next;
    m_Vertex2Next = other->m_Vertex2Next;
    m_Facet1 = other->m_Facet1;
    m_Facet2 = other->m_Facet2;
    m_Facet1Next = other->m_Facet1Next;
    m_Facet2Next = other->m_Facet2Next;
    SetGeometry(other->m_Geometry);
}

GObj* G3Edge::Duplicate()
{
    auto* copy = new G3Edge;
    copy->Copy(this);
    return copy;
}

void G3Edge::SetVertexNext(const G3Vertex* v, G3Edge* e)
{
    if (v == m_Vertex1)
        m_Vertex1Next = e;
    else
        m_Vertex2Next = e;
}

void G3Edge::SetFacetNext(const G3Facet* f, G3Edge* e)
{
    if (f == m_Facet1)
        m_Facet1Next = e;
    else
        m_Facet2Next = e;
}

void G3Edge::SwapVertex()
{
    std::swap(m_Vertex1, m_Vertex2);
    std::swap(m_Vertex1Next, m_Vertex2Next);
    if (m_Geometry)
        m_Geometry->SwapEnds();
}

bool G3Edge::IsLink(const G3Edge* e) const
{
    return m_Vertex1 == e->m_Vertex1 || m_Vertex1 == e->m_Vertex2 || m_Vertex2 == e->m_Vertex1 ||
        m_Vertex2 == e->m_Vertex2;
}

bool G3Edge::IsVertexEquals(const G3Edge* e) const
{
    return (m_Vertex1 == e->m_Vertex1 && m_Vertex2 == e->m_Vertex2) ||
        (m_Vertex1 == e->m_Vertex2 && m_Vertex2 == e->m_Vertex1);
}

bool G3Edge::FacetEqu(const G3Facet* a, const G3Facet* b) const
{
    return (m_Facet1 == a && m_Facet2 == b) || (m_Facet1 == b && m_Facet2 == a);
}
