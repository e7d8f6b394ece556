#include "tessaly/facet.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "brep/loop_walk.h"
#include "tessaly/contour.h"

TESSALY_DEFINE_POOLED_CLASS(G3Facet, "G3Facet", 65536)

G3Facet::~G3Facet() = default;

void G3Facet::print()
{
    char* text = ToString();
    std::puts(text);
    delete[] text;
}

char* G3Facet::ToString()
{
    char* text = new char[64];
    std::snprintf(text, 64, "G3Facet id=%ld edges=%d", GetId(), GetEdgeCount());
    return text;
}

void G3Facet::Copy(GObj* source)
{
    G3Obj::Copy(source);
    auto* other = dynamic_cast<G3Facet*>(source);
    if (!other || other == this)
        return;
    m_FirstEdge = other->m_FirstEdge;
    m_LastEdge = other->m_LastEdge;
    m_Surface = other->m_Surface;
    std::memcpy(m_Plane, other->m_Plane, sizeof(m_Plane));
}

int G3Facet::GetObjectType()
{
    return 4;
}

void G3Facet::AddEdge(G3Edge* e)
{
    if (!e)
        return;
    if (!m_LastEdge)
        m_FirstEdge = e;
    else
        m_LastEdge->SetFacetNext(this, e);
    e->SetFacetNext(this, nullptr);
    m_LastEdge = e;
}

bool G3Facet::RemoveEdge(G3Edge* e)
{
    G3Edge* previous = nullptr;
    for (G3Edge* current = m_FirstEdge; current; current = GetNextEdge(current)) {
        if (current != e) {
            previous = current;
            continue;
        }
        G3Edge* following = GetNextEdge(e);
        if (previous)
            previous->SetFacetNext(this, following);
        else
            m_FirstEdge = following;
        if (m_LastEdge == e)
            m_LastEdge = previous;
        e->SetFacetNext(this, nullptr);
        if (e->GetFacet1() == this)
            e->SetFacet1(nullptr);
        else
            e->SetFacet2(nullptr);
        return true;
    }
    return false;
}

int G3Facet::GetEdgeCount() const
{
    int count = 0;
    for (G3Edge* e = m_FirstEdge; e; e = GetNextEdge(e))
        ++count;
    return count;
}

void G3Facet::SetPlane(const double* plane)
{
    std::memcpy(m_Plane, plane, sizeof(m_Plane));
}

double G3Facet::CalcRealSquareOfTriangle(const double* a, const double* b, const double* c)
{
    double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    double n[3];
    V3OrtoVector(u, v, n);
    return std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) / 2.0;
}

GObj* G3FacetEdgeIterator::next()
{
    G3Edge* e = m_Next;
    m_Next = m_Facet->GetNextEdge(e);
    return e;
}

G3FacetVertexIterator::G3FacetVertexIterator(G3Facet* f) : m_Facet(f), m_Edge(f ? f->GetFirstEdge() : nullptr) {}

GObj* G3FacetVertexIterator::next()
{
    // The same orientation rule as G3WalkLoops, one edge at a time.
    G3Edge* e = m_Edge;
    G3Edge* following = m_Facet->GetNextEdge(e);
    G3Vertex* start;
    if (!m_LoopClosed && (e->GetVertex1() == m_PreviousEnd || e->GetVertex2() == m_PreviousEnd)) {
        start = m_PreviousEnd;
    } else {
        bool sharesOne =
            following && (following->GetVertex1() == e->GetVertex1() || following->GetVertex2() == e->GetVertex1());
        bool sharesTwo =
            following && (following->GetVertex1() == e->GetVertex2() || following->GetVertex2() == e->GetVertex2());
        start = sharesOne && !sharesTwo ? e->GetVertex2() : e->GetVertex1();
        m_LoopStart = start;
    }
    m_PreviousEnd = e->GetOtherVertex(start);
    m_LoopClosed = m_PreviousEnd == m_LoopStart;
    m_Current = e;
    m_Edge = following;
    return start;
}

G3FacetContourIterator::G3FacetContourIterator(G3Facet* f) : m_Contours(new GArrayCollection)
{
    if (!f || !f->HasEdges())
        return;
    G3EdgeList contour(f);
    contour.FormContours(m_Contours);
}

G3FacetContourIterator::~G3FacetContourIterator()
{
    m_Contours->clear(true);
    delete m_Contours;
}

bool G3FacetContourIterator::hasNext()
{
    return m_Position < m_Contours->size();
}

GObj* G3FacetContourIterator::next()
{
    return m_Contours->get(m_Position++);
}
