// Splitting the facets that hold intersection pieces.
//
// Each piece becomes an edge, entered twice (one copy for each side of the
// cut), into the facet's contour; the contour pipeline rebuilds the facet
// into the faces the cuts leave. The new facets replace the old one and
// take its extended data. The cut edges carry mark 3, by which their
// vertices become SC_ON: the flood of vertex classes stops there.
#include <algorithm>
#include <vector>

#include "boolean/boolean_provider.h"
#include "boolean/calculator_detail.h"
#include "brep/facets_facing.h"
#include "core/tolerances.h"
#include "tessaly/contour.h"
#include "tessaly/intervals.h"

using boolean_detail::OnSegment;

namespace {
// Cut edges: visible, new, and mark 3 until their vertices are classed.
constexpr long kCutEdgeFlags = G3Edge::kVisible | G3Edge::kNew | G3Obj::kMark3;

struct Shading {
    G3Normal* normal = nullptr;
    G3TexCoo* texCoo = nullptr;
};

// Shading at both ends of a piece, interpolated on the facet: normals when
// both ends got one, texture coordinates when both got those too.
void InterpolateEnds(G3Surface* s, G3Facet* f, const double* p1, const double* p2, Shading* ends)
{
    if (!f->HasGeometry())
        return;
    double n[2][3], uv[2][2];
    const int got1 = f->Interpolate(p1, n[0], uv[0]);
    const int got2 = f->Interpolate(p2, n[1], uv[1]);
    if (got1 < 1 || got2 < 1)
        return;
    for (int e = 0; e < 2; ++e)
        ends[e].normal = s->AddNormal(n[e]);
    if (got1 < 2 || got2 < 2)
        return;
    for (int e = 0; e < 2; ++e)
        ends[e].texCoo = s->AddTexCoo(uv[e]);
}

bool Near(const double* a, const double* b)
{
    const double d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return d[0] * d[0] + d[1] * d[1] + d[2] * d[2] < tessaly::kLengthTolerance * tessaly::kLengthTolerance;
}

// The pieces once each: the same piece comes from every facet pair that
// finds it (a coplanar pair and the facets standing on its edges), and a
// cut entered more than once would be traced into more than one face.
std::vector<G3Interval*> DistinctPieces(G3IntervalList* pieces)
{
    std::vector<G3Interval*> out;
    for (int k = 0; k < pieces->GetIntervalCount(); ++k) {
        G3Interval* piece = pieces->GetInterval(k);
        const double* a = piece->GetXYZ1();
        const double* b = piece->GetXYZ2();
        if (Near(a, b))
            continue;
        bool seen = false;
        for (G3Interval* o : out)
            seen = seen || (Near(a, o->GetXYZ1()) && Near(b, o->GetXYZ2())) ||
                (Near(a, o->GetXYZ2()) && Near(b, o->GetXYZ1()));
        if (!seen)
            out.push_back(piece);
    }
    return out;
}

// A piece along one of f's own edges: the facet's boundary is there
// already, and the cut entered twice beside it would be traced into extra
// faces. It only tells which points of the boundary lie on the other body.
bool OnBoundary(G3Facet* f, const G3Interval* piece)
{
    for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e)) {
        const double* a = e->GetVertex1()->GetXYZ();
        const double* b = e->GetVertex2()->GetXYZ();
        if (OnSegment(piece->GetXYZ1(), a, b) && OnSegment(piece->GetXYZ2(), a, b))
            return true;
    }
    return false;
}

// The pieces of one facet that lie on its boundary (copied: the facet's
// pieces go with it), and the facets (the facet itself, or what replaced it)
// whose vertices on them are SC_ON.
struct Segment {
    double a[3], b[3];
};
struct BoundaryPieces {
    std::vector<G3Facet*> facets;
    std::vector<Segment> pieces;
};

void MarkVerticesOnPieces(G3SurfaceBooleanProvider* provider, const BoundaryPieces& b)
{
    for (G3Facet* f : b.facets) {
        GArrayCollection vertices;
        f->GetVertices(&vertices);
        for (int k = 0; k < vertices.size(); ++k) {
            auto* v = static_cast<G3Vertex*>(vertices.get(k));
            for (const Segment& piece : b.pieces)
                if (OnSegment(v->GetXYZ(), piece.a, piece.b))
                    provider->VertexClass(v) = SC_ON;
        }
    }
}

// Rebuilds f along its inner pieces into contours; false when nothing came
// out.
bool SplitContours(G3Surface* s, G3Facet* f, const std::vector<G3Interval*>& inner, GArrayCollection* result)
{
    G3EdgeList contour(f);
    for (G3Interval* piece : inner) {
        Shading ends[2];
        InterpolateEnds(s, f, piece->GetXYZ1(), piece->GetXYZ2(), ends);
        G3Vertex* a = s->AddVertex(piece->GetXYZ1());
        G3Vertex* b = s->AddVertex(piece->GetXYZ2());
        for (int copy = 0; copy < 2; ++copy)
            contour.AddEdge(a, b, ends[0].normal, ends[1].normal, ends[0].texCoo, ends[1].texCoo,
                            static_cast<int>(kCutEdgeFlags));
    }
    contour.RemoveSelfIntersections(result, s, true, UNION_EDGE_KEEP, 0);
    return result->size() > 0;
}
} // namespace

void G3BooleanCalculator::MergeSurfaceAndIntersectionTree(G3Surface* s, const GEnvelope&, bool eventForm, GEVENT event)
{
    G3SurfaceBooleanProvider* provider = G3SurfaceBooleanProvider::Of(s);
    if (!provider)
        return;
    std::vector<G3Facet*> snapshot;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        snapshot.push_back(s->GetFacet(k));
    std::vector<BoundaryPieces> onBoundary;
    for (G3Facet* f : snapshot) {
        G3IntervalList* pieces = provider->Facet(f).m_Pieces;
        if (!pieces || pieces->GetIntervalCount() == 0)
            continue;
        BoundaryPieces boundary;
        std::vector<G3Interval*> inner;
        for (G3Interval* piece : DistinctPieces(pieces)) {
            if (!OnBoundary(f, piece)) {
                inner.push_back(piece);
                continue;
            }
            Segment copy;
            std::copy(piece->GetXYZ1(), piece->GetXYZ1() + 3, copy.a);
            std::copy(piece->GetXYZ2(), piece->GetXYZ2() + 3, copy.b);
            boundary.pieces.push_back(copy);
        }
        GArrayCollection result;
        if (inner.empty() || !SplitContours(s, f, inner, &result)) {
            result.clear(true);
            // The facet stays whole (rather than vanish when the split
            // failed).
            if (!boundary.pieces.empty()) {
                boundary.facets.push_back(f);
                onBoundary.push_back(boundary);
            }
            continue;
        }
        const int first = s->GetFacetCount();
        if (eventForm) {
            const double normal[3] = {f->GetPlaneA(), f->GetPlaneB(), f->GetPlaneC()};
            s->ProviderSetExData(f);
            s->AddFacetsEx(&result, f, event);
            s->ProviderSetExData(nullptr);
            FaceLike(s, first, normal);
        } else {
            AddFacetsLike(s, &result, f);
        }
        s->RemoveFacet(f);
        if (!boundary.pieces.empty()) {
            for (int k = first; k < s->GetFacetCount(); ++k)
                boundary.facets.push_back(s->GetFacet(k));
            onBoundary.push_back(boundary);
        }
    }
    for (const BoundaryPieces& b : onBoundary)
        MarkVerticesOnPieces(provider, b);
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        if (!e->GetMark3())
            continue;
        e->ClearMark3();
        provider->VertexClass(e->GetVertex1()) = SC_ON;
        provider->VertexClass(e->GetVertex2()) = SC_ON;
    }
}
