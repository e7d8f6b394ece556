// Tracing a ray (the segment p -> q) through a list of facets.
//
// Each facet whose plane the segment crosses (or starts on) is tested at
// the crossing point: inside it the facet is hit, on one of its vertices or
// edges that element is hit instead. Edges and vertices carry the element
// mark once reported, so a ray through an edge shared by two facets, or
// through a vertex of a fan, reports it once and reports no facet there.
#include <cassert>
#include <cmath>

#include "boolean/calculator_detail.h"
#include "core/tolerances.h"
#include "tessaly/boolean.h"
#include "tessaly/facet.h"

using boolean_detail::PlaneAt;
using boolean_detail::SignOf;
using tessaly::kLengthTolerance;

namespace {
// The tracer marks the edges and vertices it has reported; a caller's marks
// would hide hits. Only the debug build's assertion calls it.
[[maybe_unused]] bool NoBorderMarked(GArrayCollection* facets)
{
    for (int k = 0; k < facets->size(); ++k) {
        auto* f = static_cast<G3Facet*>(facets->get(k));
        for (G3Edge* e = f ? f->GetFirstEdge() : nullptr; e; e = f->GetNextEdge(e))
            if (e->GetMark() || e->GetVertex1()->GetMark() || e->GetVertex2()->GetMark())
                return false;
    }
    return true;
}

void AddPlaneNormal(const G3Facet* f, double* sum)
{
    if (!f)
        return;
    for (int a = 0; a < 3; ++a)
        sum[a] += f->GetPlane()[a];
}

// Unit length, or left as it is when it has none (back-to-back facets sum
// to zero: no direction, and no NaN).
void Normalize(double* n)
{
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > tessaly::kZeroDivisor)
        for (int a = 0; a < 3; ++a)
            n[a] /= length;
}

// Where the segment meets the facet's plane, when it crosses it or starts
// on it (not when it lies in it or only ends on it).
bool CrossingPoint(const double* plane, const double* p, const double* q, double* x)
{
    const double dp = PlaneAt(plane, p), dq = PlaneAt(plane, q);
    const int sp = SignOf(dp), sq = SignOf(dq);
    if (sp == 0 && sq != 0) {
        for (int a = 0; a < 3; ++a)
            x[a] = p[a];
        return true;
    }
    if (sp == 0 || sq == 0 || sp == sq)
        return false;
    const double t = std::fabs(dp / (dp - dq));
    for (int a = 0; a < 3; ++a)
        x[a] = p[a] + t * (q[a] - p[a]);
    return true;
}
} // namespace

void G3BooleanCalculator::FacetFilter(G3RayTraceResult* r, double* point, double* axis1, double* axis2, G3Facet* f)
{
    if (r && f)
        r->FindFacet(point, f->GetPlane(), axis1, axis2, f);
}

void G3BooleanCalculator::EdgeFilter(G3RayTraceResult* r, double* point, G3Vertex* a, G3Vertex* b,
                                     GArrayCollection* seenEdges)
{
    if (!r || !a || !b || !seenEdges)
        return;
    for (G3Edge* e = a->GetFirstEdge(); e; e = e->GetVertexNext(a)) {
        if (e->GetOtherVertex(a) != b || e->GetMark())
            continue;
        e->SetMark();
        seenEdges->add(e);
        double normal[3] = {0, 0, 0};
        AddPlaneNormal(e->GetFacet1(), normal);
        AddPlaneNormal(e->GetFacet2(), normal);
        Normalize(normal);
        r->FindEdge(point, normal, e);
    }
}

void G3BooleanCalculator::VertexFilter(G3RayTraceResult* r, double* point, G3Vertex* v, GArrayCollection* seenEdges,
                                       GArrayCollection* seenVertices)
{
    if (!r || !v || !seenEdges || !seenVertices || v->GetMark())
        return;
    v->SetMark();
    seenVertices->add(v);
    double normal[3] = {0, 0, 0};
    for (G3Edge* e = v->GetFirstEdge(); e; e = e->GetVertexNext(v)) {
        if (e->GetMark())
            continue;
        e->SetMark();
        seenEdges->add(e);
        AddPlaneNormal(e->GetFacet1(), normal);
        AddPlaneNormal(e->GetFacet2(), normal);
    }
    Normalize(normal);
    r->FindVertex(point, normal, v);
}

void G3BooleanCalculator::TestRayAndFacetList(double* p, double* q, GArrayCollection* facets, G3RayTraceResult* r)
{
    if (!p || !q || !facets || !r)
        return;
    assert(NoBorderMarked(facets) && "edge and vertex marks must be clear when a ray is traced");
    GArrayCollection seenEdges, seenVertices;
    for (int k = 0; k < facets->size(); ++k) {
        auto* f = static_cast<G3Facet*>(facets->get(k));
        if (!f || f->IsPlaneZero())
            continue;
        double x[3];
        if (!CrossingPoint(f->GetPlane(), p, q, x))
            continue;
        int i, j;
        f->GetMaxCoo(&i, &j);
        G3Vertex *va = nullptr, *vb = nullptr;
        if (!f->PointInFacet(i, j, x, &va, &vb, kLengthTolerance))
            continue;
        if (va && vb)
            EdgeFilter(r, x, va, vb, &seenEdges);
        else if (va)
            VertexFilter(r, x, va, &seenEdges, &seenVertices);
        else
            FacetFilter(r, x, nullptr, nullptr, f);
    }
    for (int k = 0; k < seenEdges.size(); ++k)
        static_cast<G3Edge*>(seenEdges.get(k))->ClearMark();
    for (int k = 0; k < seenVertices.size(); ++k)
        static_cast<G3Vertex*>(seenVertices.get(k))->ClearMark();
}
