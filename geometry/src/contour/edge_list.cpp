#include <cstring>
#include <vector>

#include "brep/shaded_edge.h"
#include "tessaly/contour.h"

TESSALY_DEFINE_POOLED_CLASS(G3EdgeList, "G3EdgeList", 65536)

G3EdgeList::G3EdgeList(int facetFlags, int facetSurface) : m_FacetFlags(facetFlags), m_FacetSurface(facetSurface) {}

G3EdgeList::G3EdgeList(G3Facet* facet)
{
    if (!facet)
        return;
    m_FacetFlags = static_cast<int>(facet->GetFlags());
    m_FacetSurface = static_cast<int>(facet->GetSurface());
    SetPlane(facet->GetPlane());
    AddEdges(facet);
    Normalize();
}

G3EdgeList::G3EdgeList(GArrayCollection* edges) : G3EdgeList(edges, 1, 1) {}

G3EdgeList::G3EdgeList(GArrayCollection* edges, int facetFlags, int facetSurface)
    : m_FacetFlags(facetFlags), m_FacetSurface(facetSurface)
{
    AddEdges(edges, nullptr);
    Normalize();
}

G3EdgeList::G3EdgeList(int n, G3Vertex** vertices, int* flags, G3Normal** normals, G3TexCoo** texCoos, int facetFlags,
                       int facetSurface)
    : m_FacetFlags(facetFlags), m_FacetSurface(facetSurface)
{
    for (int i = 0; i < n && vertices; ++i) {
        int j = (i + 1) % n;
        if (vertices[i] == vertices[j])
            continue;
        G3Normal* na = normals ? normals[i] : nullptr;
        G3Normal* nb = normals ? normals[j] : nullptr;
        G3TexCoo* ta = texCoos ? texCoos[i] : nullptr;
        G3TexCoo* tb = texCoos ? texCoos[j] : nullptr;
        AddEdge(vertices[i], vertices[j], na, nb, ta, tb, flags ? flags[i] : 1);
    }
}

G3EdgeList::~G3EdgeList()
{
    clear(true);
}

GObj* G3EdgeList::Duplicate()
{
    auto* copy = new G3EdgeList(m_FacetFlags, m_FacetSurface);
    copy->m_Type = m_Type;
    copy->m_InCount = m_InCount;
    copy->m_Envelope = m_Envelope;
    // Plane and axes travel with the copy: queries index arrays by them.
    std::memcpy(copy->m_Plane, m_Plane, sizeof(m_Plane));
    copy->m_XCoo = m_XCoo;
    copy->m_YCoo = m_YCoo;
    copy->CopyEdgesFrom(this);
    return copy;
}

void G3EdgeList::CopyEdgesFrom(G3EdgeList* source)
{
    for (int k = 0; k < source->size(); ++k)
        add(source->GetEdge(k)->Duplicate());
}

G3Edge* G3EdgeList::AddEdge(G3Vertex* a, G3Vertex* b, G3Normal* na, G3Normal* nb, G3TexCoo* ta, G3TexCoo* tb, int flags)
{
    G3Edge* e = NewShadedEdge(a, b, flags, na, ta, nb, tb);
    add(e);
    return e;
}

void G3EdgeList::AddEdges(GArrayCollection* edges, G3Facet* facet)
{
    for (int k = 0; edges && k < edges->size(); ++k) {
        auto* x = static_cast<G3Edge*>(edges->get(k));
        G3Normal *n1, *n2;
        G3TexCoo *t1, *t2;
        x->GetNormals(&n1, &t1, &n2, &t2, x->GetFacet1() == facet ? 1 : 2);
        AddEdge(x->GetVertex1(), x->GetVertex2(), n1, n2, t1, t2, static_cast<int>(x->GetFlags()));
    }
}

void G3EdgeList::AddEdges(G3Facet* facet)
{
    if (!facet)
        return;
    GArrayCollection edges;
    facet->GetEdges(&edges);
    AddEdges(&edges, facet);
}

void G3EdgeList::SetPlane(const double* plane)
{
    std::memcpy(m_Plane, plane, sizeof(m_Plane));
    G3Math::GetMaxCoo(m_Plane, &m_XCoo, &m_YCoo);
}

int G3EdgeList::GetXCoo()
{
    EnsureAxes();
    return m_XCoo;
}

int G3EdgeList::GetYCoo()
{
    EnsureAxes();
    return m_YCoo;
}

void G3EdgeList::EnsureAxes()
{
    if (m_XCoo < 0 || m_YCoo < 0)
        FormMaxPlaneCoo();
}

void G3EdgeList::FormMaxPlaneCoo()
{
    G3EdgeListVertexIterator it(this);
    G3Math::FormMaxPlaneCoo(&it, &m_XCoo, &m_YCoo, m_Plane);
}

void G3EdgeList::FormEnvelope()
{
    if (isEmpty())
        return;
    m_Envelope = GEnvelope();
    for (int k = 0; k < size(); ++k) {
        m_Envelope.Add(GetEdge(k)->GetVertex1()->GetXYZ());
        m_Envelope.Add(GetEdge(k)->GetVertex2()->GetXYZ());
    }
}

double G3EdgeList::GetSignedArea()
{
    EnsureAxes();
    double sum = 0.0;
    for (int k = 0; k < size(); ++k) {
        const double* a = GetEdge(k)->GetVertex1()->GetXYZ();
        const double* b = GetEdge(k)->GetVertex2()->GetXYZ();
        sum += a[m_XCoo] * b[m_YCoo] - b[m_XCoo] * a[m_YCoo];
    }
    return sum / 2.0;
}

void G3EdgeList::Reverse()
{
    int n = size();
    for (int k = 0; k < n / 2; ++k) {
        GObj* x = get(k);
        put(k, get(n - 1 - k));
        put(n - 1 - k, x);
    }
    for (int k = 0; k < n; ++k)
        GetEdge(k)->SwapVertex();
}

G3EdgeListVertexIterator::G3EdgeListVertexIterator(GArrayCollection* edges)
    : m_Objects(edges ? edges->toArray() : nullptr), m_End(edges ? edges->size() : 0)
{
}

GObj* G3EdgeListVertexIterator::next()
{
    int k = m_Position++;
    G3Edge* e = m_Objects ? static_cast<G3Edge*>(m_Objects[k]) : m_Edges[k];
    return e->GetVertex1();
}

G3EdgeListVertexIterator::G3EdgeListVertexIterator(int count, G3Edge** edges) : m_Edges(edges), m_End(count) {}

G3EdgeListVertexIterator::G3EdgeListVertexIterator(G3Edge** edges, int from, int to)
    : m_Edges(edges), m_Position(from), m_End(to)
{
}
