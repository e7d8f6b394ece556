#include "tessaly/elements.h"
#include "tessaly/facet.h"

#include <cmath>

TESSALY_DEFINE_POOLED_CLASS(G3Vertex, "G3Vertex", 65536)

namespace {
// The end index (0 for vertex 1, 1 for vertex 2) of v on e.
int EndOf(const G3Edge* e, const G3Vertex* v)
{
    return e->GetVertex1() == v ? 0 : 1;
}
} // namespace

GObj* G3Vertex::Duplicate()
{
    auto* copy = new G3Vertex;
    copy->Copy(static_cast<G3Obj*>(this));
    return copy;
}

void G3Vertex::Copy(G3Obj* source)
{
    G3Point::Copy(static_cast<GObj*>(source));
    if (auto* other = dynamic_cast<G3Vertex*>(source)) {
        m_FirstEdge = other->m_FirstEdge;
        m_LastEdge = other->m_LastEdge;
    }
}

void G3Vertex::RealTransformation(double m[4][4])
{
    double p[4] = {GetX(), GetY(), GetZ(), 1.0};
    double q[4];
    V4MulPointByMatrix(p, m, q);
    Set(q[0], q[1], q[2]);
}

G3Edge* G3Vertex::GetNextEdge(const G3Edge* e) const
{
    return e->GetVertexNext(this);
}

bool G3Vertex::AddEdge(G3Edge* e)
{
    if (!e || e->GetVertex1() == e->GetVertex2())
        return false;
    if (e->GetVertex1() != this && e->GetVertex2() != this)
        return false;
    if (!m_LastEdge)
        m_FirstEdge = e;
    else
        m_LastEdge->SetVertexNext(this, e);
    m_LastEdge = e;
    return true;
}

bool G3Vertex::RemoveEdge(G3Edge* e)
{
    G3Edge* previous = nullptr;
    for (G3Edge* current = m_FirstEdge; current; current = current->GetVertexNext(this)) {
        if (current != e) {
            previous = current;
            continue;
        }
        G3Edge* following = e->GetVertexNext(this);
        if (previous)
            previous->SetVertexNext(this, following);
        else
            m_FirstEdge = following;
        if (m_LastEdge == e)
            m_LastEdge = previous;
        e->SetVertexNext(this, nullptr);
        return true;
    }
    return false;
}

int G3Vertex::GetEdgeCount() const
{
    int count = 0;
    for (G3Edge* e = m_FirstEdge; e; e = e->GetVertexNext(this))
        ++count;
    return count;
}

int G3Vertex::GetEdges(G3Edge** out) const
{
    int count = 0;
    for (G3Edge* e = m_FirstEdge; e; e = e->GetVertexNext(this))
        out[count++] = e;
    return count;
}

void G3Vertex::GetEdges(G3Vertex* other, GArrayCollection* out) const
{
    out->clear();
    for (G3Edge* e = m_FirstEdge; e; e = e->GetVertexNext(this)) {
        if (e->GetOtherVertex(this) == other)
            out->add(e);
    }
}

namespace {
// The sum of sides(e) over the edges joining a and b. Both rings hold every
// such edge: they are walked side by side and the one that ends first gives
// the sum, so a vertex of high degree costs the degree of its partner.
template <class Sides> int SumOverEdgesBetween(const G3Vertex* a, const G3Vertex* b, Sides sides)
{
    if (!b || a == b)
        return 0;
    int inA = 0, inB = 0;
    const G3Edge* e = a->GetFirstEdge();
    const G3Edge* f = b->GetFirstEdge();
    for (; e && f; e = e->GetVertexNext(a), f = f->GetVertexNext(b)) {
        if (e->GetOtherVertex(a) == b)
            inA += sides(e);
        if (f->GetOtherVertex(b) == a)
            inB += sides(f);
    }
    return e ? inB : inA;
}
} // namespace

int G3Vertex::GetEdgeCount(G3Vertex* other) const
{
    return SumOverEdgesBetween(
        this, other, [](const G3Edge* e) { return (e->GetFacet1() != nullptr) + (e->GetFacet2() != nullptr); });
}

int G3Vertex::GetEdgeCount2(G3Vertex* other) const
{
    auto weight = [](const G3Facet* f) { return f ? (f->GetDoubleSided() ? 2 : 1) : 0; };
    return SumOverEdgesBetween(this, other,
                               [&weight](const G3Edge* e) { return weight(e->GetFacet1()) + weight(e->GetFacet2()); });
}

int G3Vertex::GetEdgeCount(G3Vertex* other, G3Facet* f) const
{
    return SumOverEdgesBetween(this, other,
                               [f](const G3Edge* e) { return (e->GetFacet1() == f) + (e->GetFacet2() == f); });
}

double G3Vertex::Distance(const G3Vertex* other) const
{
    return G3Edge::GetSizeXYZ(GetXYZ(), other->GetXYZ());
}

void G3Vertex::SetNormal(G3Facet* f, G3Normal* n, G3TexCoo* t)
{
    for (G3Edge* e = m_FirstEdge; e; e = e->GetVertexNext(this)) {
        int end = EndOf(e, this);
        if (e->GetFacet1() == f) {
            end == 0 ? e->SetFacet1V1(n, t) : e->SetFacet1V2(n, t);
        }
        if (e->GetFacet2() == f) {
            end == 0 ? e->SetFacet2V1(n, t) : e->SetFacet2V2(n, t);
        }
    }
}

void G3Vertex::SetNormal(G3Normal* n, G3TexCoo* t)
{
    for (G3Edge* e = m_FirstEdge; e; e = e->GetVertexNext(this)) {
        int end = EndOf(e, this);
        if (e->GetFacet1())
            end == 0 ? e->SetFacet1V1(n, t) : e->SetFacet1V2(n, t);
        if (e->GetFacet2())
            end == 0 ? e->SetFacet2V1(n, t) : e->SetFacet2V2(n, t);
    }
}

G3Normal* G3Vertex::GetNormal(G3Facet* f, G3TexCoo** t) const
{
    for (G3Edge* e = m_FirstEdge; e; e = e->GetVertexNext(this)) {
        G3EdgeGeometry* g = e->GetGeometry();
        if (!g)
            continue;
        int side = e->GetFacet1() == f ? 0 : (e->GetFacet2() == f ? 1 : -1);
        if (side < 0)
            continue;
        int end = EndOf(e, this);
        if (t)
            *t = g->GetTexCoo(side, end);
        return g->GetNormal(side, end);
    }
    if (t)
        *t = nullptr;
    return nullptr;
}

GObj* G3VertexEdgeIterator::next()
{
    G3Edge* e = m_Next;
    m_Next = e->GetVertexNext(m_Vertex);
    return e;
}

GObj* G3VertexVertexIterator::next()
{
    auto* e = static_cast<G3Edge*>(m_Edges.next());
    return e->GetOtherVertex(m_Vertex);
}
