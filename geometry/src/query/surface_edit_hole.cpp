// G3SurfaceEdit: holes cut into facets, extruded polygons, and facets lying
// on other facets.
#include <cmath>
#include <unordered_set>
#include <vector>

#include "core/tolerances.h"
#include "query/facet_loops.h"
#include "tessaly/intervals.h"
#include "tessaly/surface_edit.h"

using tessaly::kLengthTolerance;

namespace {
std::unordered_set<G3Facet*> FacetSet(G3Surface* s)
{
    std::unordered_set<G3Facet*> out;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        out.insert(s->GetFacet(k));
    return out;
}

// p lies in f's plane and inside f or on its boundary.
bool FacetHolds(G3Facet* f, const double* p)
{
    const double* plane = f->GetPlane();
    if (f->IsPlaneZero() ||
        std::fabs(plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3]) >= kLengthTolerance)
        return false;
    int i, j;
    f->GetMaxCoo(&i, &j);
    G3Vertex *va = nullptr, *vb = nullptr;
    return f->PointInFacet(i, j, p, &va, &vb, kLengthTolerance);
}

// f holds every point (G3Point objects).
bool HoldsAll(G3Facet* f, GArrayCollection* points)
{
    for (int i = 0; i < points->size(); ++i)
        if (!FacetHolds(f, static_cast<G3Point*>(points->get(i))->GetXYZ()))
            return false;
    return true;
}

bool IsFinitePoint(const double* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}
} // namespace

bool G3SurfaceEdit::MakeHole(G3Facet* f, GArrayCollection* points)
{
    if (!m_Surface || !f || !points || points->size() < 3)
        return false;
    std::vector<G3Vertex*> hole;
    for (int k = 0; k < points->size(); ++k) {
        auto* p = dynamic_cast<G3Point*>(points->get(k));
        if (!p || !IsFinitePoint(p->GetXYZ()))
            return false;
    }
    for (int k = 0; k < points->size(); ++k)
        hole.push_back(m_Surface->AddVertex(static_cast<G3Point*>(points->get(k))->GetXYZ()));
    return MakeHole(f, hole.data(), static_cast<int>(hole.size()));
}

// f's loops and the hole go into one complex facet. f's edges are let go
// first, so the new facet takes their free sides and the body stays joined
// to its neighbours; f itself lives on until its data is carried over.
bool G3SurfaceEdit::MakeHole(G3Facet* f, G3Vertex** hole, int count)
{
    std::vector<std::vector<G3Vertex*>> loops = G3FacetLoops(f);
    GArrayCollection edges;
    f->GetEdges(&edges);
    const std::unordered_set<G3Facet*> before = FacetSet(m_Surface);
    f->RemoveEdges();
    for (int k = 0; k < edges.size(); ++k) {
        auto* e = static_cast<G3Edge*>(edges.get(k));
        if (!e->GetFacet1() && !e->GetFacet2())
            m_Surface->RemoveEdge(e);
    }
    m_Surface->BeginComplexFacet();
    for (std::vector<G3Vertex*>& loop : loops)
        m_Surface->AddFacet(static_cast<int>(loop.size()), loop.data(), 1, nullptr, nullptr);
    m_Surface->AddFacet(count, hole, 1, nullptr, nullptr);
    m_Surface->EndComplexFacet();
    bool made = false;
    for (int k = 0; k < m_Surface->GetFacetCount(); ++k) {
        G3Facet* g = m_Surface->GetFacet(k);
        if (before.count(g))
            continue;
        g->SetSurface(f->GetSurface());
        g->SetFlags(f->GetFlags());
        g->SetExData(f->GetExData());
        g->CopyExData(f);
        made = true;
    }
    m_Surface->RemoveFacet(f);
    m_Surface->RemoveUnusedEdge();
    return made;
}

G3Facet* G3SurfaceEdit::FindFacetHolding(GArrayCollection* points)
{
    for (int k = 0; k < m_Surface->GetFacetCount(); ++k)
        if (HoldsAll(m_Surface->GetFacet(k), points))
            return m_Surface->GetFacet(k);
    return nullptr;
}

G3Facet* G3SurfaceEdit::InsertFacet(GArrayCollection* points, G3Point* direction, double depth,
                                    GArrayCollection* sideFacets)
{
    if (!m_Surface || !points || !direction || points->size() < 3 || m_Surface->GetFacetCount() == 0)
        return nullptr;
    double offset[3];
    for (int a = 0; a < 3; ++a)
        offset[a] = direction->GetXYZ()[a] * depth;
    if (!IsFinitePoint(offset) ||
        std::sqrt(offset[0] * offset[0] + offset[1] * offset[1] + offset[2] * offset[2]) < kLengthTolerance)
        return nullptr;
    for (int k = 0; k < points->size(); ++k) {
        auto* p = dynamic_cast<G3Point*>(points->get(k));
        if (!p || !IsFinitePoint(p->GetXYZ()))
            return nullptr;
    }
    G3Facet* host = FindFacetHolding(points);
    if (!host)
        return nullptr;
    const int n = points->size();
    std::vector<G3Vertex*> base, moved;
    for (int k = 0; k < n; ++k) {
        const double* p = static_cast<G3Point*>(points->get(k))->GetXYZ();
        base.push_back(m_Surface->AddVertex(p));
        moved.push_back(m_Surface->AddVertex(p[0] + offset[0], p[1] + offset[1], p[2] + offset[2]));
    }
    if (!MakeHole(host, base.data(), n))
        return nullptr;
    std::vector<G3Facet*> sides;
    for (int k = 0; k < n; ++k) {
        const int next = (k + 1) % n;
        G3Vertex* quad[4] = {base[static_cast<std::size_t>(k)], moved[static_cast<std::size_t>(k)],
                             moved[static_cast<std::size_t>(next)], base[static_cast<std::size_t>(next)]};
        if (G3Facet* side = m_Surface->AddFacet(4, quad, 1, nullptr, nullptr))
            sides.push_back(side);
    }
    G3Facet* cap = m_Surface->AddFacet(n, moved.data(), 1, nullptr, nullptr);
    m_Surface->RemoveEqualsVertexAndDivideEdges();
    m_Surface->Update(CHECK_LEVEL_1001);
    // Tidying may remove facets: only those still in the body are reported.
    const std::unordered_set<G3Facet*> kept = FacetSet(m_Surface);
    for (G3Facet* side : sides)
        if (sideFacets && kept.count(side))
            sideFacets->add(side);
    return cap && kept.count(cap) ? cap : nullptr;
}

bool G3SurfaceEdit::RemoveStuckTogetherFacets(G3Facet* f)
{
    if (!m_Surface || !f || f->IsPlaneZero())
        return false;
    GArrayCollection vertices;
    f->GetVertices(&vertices);
    if (vertices.size() < 3)
        return false;
    for (int k = 0; k < m_Surface->GetFacetCount(); ++k) {
        G3Facet* g = m_Surface->GetFacet(k);
        G3IntervalList cut;
        if (g == f || g->IntersectByPlaneConcave(f->GetPlane(), &cut) != 3 || !HoldsAll(g, &vertices))
            continue;
        std::vector<G3Vertex*> hole;
        for (int v = 0; v < vertices.size(); ++v)
            hole.push_back(m_Surface->AddVertex(static_cast<G3Vertex*>(vertices.get(v))->GetXYZ()));
        m_Surface->RemoveFacet(f);
        return MakeHole(g, hole.data(), static_cast<int>(hole.size()));
    }
    return false;
}
