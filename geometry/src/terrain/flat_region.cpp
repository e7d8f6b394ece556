// ApplyFlatRegion: every stored region cut out of a terrain with a slope
// band around it and filled again at the heights of its own outline.
#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/tolerances.h"
#include "terrain/outline_points.h"
#include "terrain/terrain_internal.h"
#include "tessaly/boolean.h"
#include "tessaly/roof.h"
#include "tessaly/terrain.h"

using namespace tessaly;

namespace {
// Most points a densified outline side may receive, whatever the ratio of
// its length to the terrain's mean edge.
constexpr int kMaxSidePoints = 100000;

struct OutlineDeleter {
    void operator()(GArrayCollection* outline) const { DeleteOutline(outline); }
};
using OutlinePtr = std::unique_ptr<GArrayCollection, OutlineDeleter>;

double MeanPlanEdgeLength(G3Surface* s)
{
    double sum = 0;
    for (int k = 0; k < s->GetEdgeCount(); ++k)
        sum += s->GetEdge(k)->GetSize(0, 1);
    return sum / s->GetEdgeCount();
}

// The outline with every side cut into pieces no longer than about the mean
// edge length; heights interpolated along the sides.
GArrayCollection* Densify(GArrayCollection* outline, double mean)
{
    auto* dense = new GArrayCollection;
    for (int k = 0; k + 1 < outline->size(); ++k) {
        const double* a = OutlinePoint(outline, k)->GetXYZ();
        const double* b = OutlinePoint(outline, k + 1)->GetXYZ();
        const double length = G3Edge::GetSizeXYZ(a, b);
        const int pieces = length < kTerrainShortSide
            ? 1
            : static_cast<int>(std::min<double>(std::ceil(length / mean), kMaxSidePoints));
        for (int i = 0; i < pieces; ++i) {
            const double t = static_cast<double>(i) / pieces;
            dense->add(new G3Point(a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2]), 0));
        }
    }
    dense->add(new G3Point(OutlinePoint(outline, 0)->GetXYZ(), 0));
    return dense;
}

// The closed prism over the outline from bottom to top, facing outwards.
G3Surface* MakePrism(GArrayCollection* outline, double bottom, double top)
{
    auto* prism = new G3Surface;
    const int sides = outline->size() - 1;
    std::vector<G3Vertex*> upper(sides), lower(sides);
    for (int j = 0; j < sides; ++j) {
        const double* p = OutlinePoint(outline, j)->GetXYZ();
        const double* q = OutlinePoint(outline, j + 1)->GetXYZ();
        G3Vertex* wall[4] = {prism->AddVertex(p[0], p[1], bottom, 0), prism->AddVertex(p[0], p[1], top, 0),
                             prism->AddVertex(q[0], q[1], top, 0), prism->AddVertex(q[0], q[1], bottom, 0)};
        prism->AddFacet(4, wall, 1, nullptr, nullptr);
        upper[j] = wall[1];
        lower[j] = wall[0];
    }
    prism->AddFacet(sides, upper.data(), 1, nullptr, nullptr);
    prism->AddFacet(sides, lower.data(), 1, nullptr, nullptr);
    prism->Update(CHECK_LEVEL_1001);
    return prism;
}

double DistanceToOutline(GArrayCollection* outline, const double* p)
{
    double best = HUGE_VAL;
    for (int k = 0; k + 1 < outline->size(); ++k) {
        const double* a = OutlinePoint(outline, k)->GetXYZ();
        const double* b = OutlinePoint(outline, k + 1)->GetXYZ();
        const double dx = b[0] - a[0], dy = b[1] - a[1];
        const double len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy));
    }
    return best;
}

bool OnOutline(GArrayCollection* outline, const double* p)
{
    return DistanceToOutline(outline, p) < kEnvelopeWidening;
}

// The outline lies inside the terrain's plan: each of its points inside the
// border loops (by parity) and none of its sides crossing a border edge.
bool OutlineInsideTerrain(G3Surface* s, GArrayCollection* outline)
{
    const std::vector<G3Edge*> border = terrain::BorderEdges(s);
    const std::vector<std::vector<G3Vertex*>> loops = terrain::BorderLoops(border);
    for (int k = 0; k + 1 < outline->size(); ++k) {
        const double* p = OutlinePoint(outline, k)->GetXYZ();
        int inside = 0;
        for (const auto& loop : loops)
            inside += terrain::PointInLoop(loop, p[0], p[1]) ? 1 : 0;
        if (inside % 2 == 0)
            return false;
        const double* q = OutlinePoint(outline, k + 1)->GetXYZ();
        for (G3Edge* e : border)
            if (G3RoofGenerator::SegmentsCross(p, q, e->GetVertex1()->GetXYZ(), e->GetVertex2()->GetXYZ()))
                return false;
    }
    return true;
}

// The prism's own facets that the difference kept (vertical walls on the
// outline, caps at the prism's bottom or top) are no terrain: they go.
void RemovePrismFacets(G3Surface* r, GArrayCollection* outline, double bottom, double top)
{
    r->FormPlaneEquation();
    r->RemoveFacets([&](G3Facet* f) {
        GArrayCollection vertices;
        f->GetVertices(&vertices);
        // A terrain facet may have all its corners on the outline (in a
        // notch of it); a wall is also vertical.
        const double* n = f->GetPlane();
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        bool onWall = length > kZeroDivisor && std::fabs(n[2]) < kLengthTolerance * length, onCap = true;
        for (int k = 0; k < vertices.size(); ++k) {
            const double* p = static_cast<G3Vertex*>(vertices.get(k))->GetXYZ();
            onWall = onWall && OnOutline(outline, p);
            onCap = onCap && (std::fabs(p[2] - bottom) < kLengthTolerance || std::fabs(p[2] - top) < kLengthTolerance);
        }
        return onWall || onCap;
    });
    r->RemoveUnused();
}

// A copy of f's loops and flags in target, its vertices mapped to
// target's own.
void CopyFacet(G3Facet* f, G3Surface* target, std::unordered_map<G3Vertex*, G3Vertex*>& copies)
{
    GArrayCollection vertices, starts;
    f->GetLoops(&vertices, &starts);
    starts.add(G3IntToElement(vertices.size()));
    const bool holes = starts.size() > 2;
    if (holes)
        target->BeginComplexFacet();
    for (int loop = 0; loop + 1 < starts.size(); ++loop) {
        std::vector<G3Vertex*> corners;
        for (auto k = G3ElementToInt(starts.get(loop)); k < G3ElementToInt(starts.get(loop + 1)); ++k) {
            auto* v = static_cast<G3Vertex*>(vertices.get(static_cast<int>(k)));
            G3Vertex*& copy = copies[v];
            if (!copy)
                copy = target->AddVertex(v->GetXYZ(), 0);
            corners.push_back(copy);
        }
        G3Facet* copy = target->AddFacet(static_cast<int>(corners.size()), corners.data(), 1, nullptr, nullptr);
        // The host's facet marks travel with it; an open sheet goes
        // through the difference double-sided.
        if (copy && !holes)
            copy->SetFlags(f->GetFlags() | G3Facet::kDoubleSided);
    }
    if (holes)
        target->EndComplexFacet();
}

void MakeDoubleSided(G3Surface* s)
{
    s->ChangeFacetFlags(G3Facet::kDoubleSided, true);
}

// The facets of r whose plan boxes meet the outline's box (slightly
// widened) moved into a new surface; r keeps the others.
G3Surface* TakeFacetsNear(G3Surface* r, GArrayCollection* outline)
{
    GEnvelope box;
    for (int k = 0; k < outline->size(); ++k)
        box.Add(OutlinePoint(outline, k)->GetXYZ());
    box.Extend(kEnvelopeWidening + kTerrainShortSide * box.GetMaxSize());
    auto meets = [&box](G3Facet* f) {
        GEnvelope facetBox;
        f->FormEnvelope(&facetBox);
        return facetBox.GetMin(0) <= box.GetMax(0) && facetBox.GetMax(0) >= box.GetMin(0) &&
            facetBox.GetMin(1) <= box.GetMax(1) && facetBox.GetMax(1) >= box.GetMin(1);
    };
    auto* near = new G3Surface;
    std::unordered_map<G3Vertex*, G3Vertex*> copies;
    // Each facet's box is formed once: the facets taken are remembered for
    // their removal.
    std::unordered_set<G3Facet*> taken;
    for (int k = 0; k < r->GetFacetCount(); ++k) {
        if (meets(r->GetFacet(k))) {
            CopyFacet(r->GetFacet(k), near, copies);
            taken.insert(r->GetFacet(k));
        }
    }
    r->RemoveFacets([&taken](G3Facet* f) { return taken.count(f) != 0; });
    r->RemoveUnused();
    MakeDoubleSided(near);
    return near;
}

// The border edges of the cut terrain that run along the widened outline.
std::vector<G3Edge*> RimEdges(G3Surface* r, GArrayCollection* outline)
{
    std::vector<G3Edge*> rim;
    for (G3Edge* e : terrain::BorderEdges(r)) {
        double mid[3];
        G3Edge::CalcCentrePoint(e->GetVertex1(), e->GetVertex2(), mid);
        if (OnOutline(outline, e->GetVertex1()->GetXYZ()) && OnOutline(outline, e->GetVertex2()->GetXYZ()) &&
            OnOutline(outline, mid))
            rim.push_back(e);
    }
    return rim;
}

double PlanLength(const std::vector<G3Edge*>& edges)
{
    double length = 0;
    for (G3Edge* e : edges)
        length += e->GetSize(0, 1);
    return length;
}

// A point of the fill relative to the local origin.
G3TVertex* AddFillPoint(G3TriInterface& fill, const double* p, const double* origin)
{
    double local[3] = {p[0] - origin[0], p[1] - origin[1], p[2]};
    return fill.AddVertex(local);
}

// The triangles spanned between the rim and the region outline, kept only
// inside the widened outline (so a non-convex region fills no more than its
// cut), as a new surface at model coordinates.
G3Surface* FillBetween(const std::vector<G3Edge*>& rim, GArrayCollection* region, GArrayCollection* widened,
                       const double* origin)
{
    G3TriInterface fill;
    for (G3Edge* e : rim)
        fill.AddEdge(AddFillPoint(fill, e->GetVertex1()->GetXYZ(), origin),
                     AddFillPoint(fill, e->GetVertex2()->GetXYZ(), origin));
    for (int k = 0; k + 1 < region->size(); ++k)
        fill.AddEdge(AddFillPoint(fill, OutlinePoint(region, k)->GetXYZ(), origin),
                     AddFillPoint(fill, OutlinePoint(region, k + 1)->GetXYZ(), origin));
    if (!fill.MakeTriangulation(G3TriInterface::TRI_DEFAULT))
        return nullptr;
    G3Surface* patch = fill.GetSurface();
    for (int k = 0; k < patch->GetVertexCount(); ++k) {
        G3Vertex* v = patch->GetVertex(k);
        v->Set(v->GetX() + origin[0], v->GetY() + origin[1], v->GetZ());
    }
    patch->RemoveFacets([widened](G3Facet* f) {
        GArrayCollection vertices;
        f->GetVertices(&vertices);
        double c[2] = {0, 0};
        for (int k = 0; k < vertices.size(); ++k) {
            c[0] += static_cast<G3Vertex*>(vertices.get(k))->GetX() / vertices.size();
            c[1] += static_cast<G3Vertex*>(vertices.get(k))->GetY() / vertices.size();
        }
        return !PointInOutline(widened, c[0], c[1]);
    });
    patch->RemoveUnused();
    return patch;
}
} // namespace

G3Surface* G3LandscapeHandler::ApplyFlatRegion(G3Surface* s)
{
    if (!s || m_Regions.isEmpty() || !(std::fabs(m_FlatMargin) >= kTerrainMinFlatMargin))
        return nullptr;
    s->Update(CHECK_LEVEL_1001);
    if (s->GetEdgeCount() == 0)
        return nullptr;
    const double mean = MeanPlanEdgeLength(s);
    if (!(mean >= kLengthTolerance))
        return nullptr;
    for (int k = 0; k < m_Regions.size(); ++k) {
        auto* outline = static_cast<GArrayCollection*>(m_Regions.get(k));
        m_Regions.put(k, Densify(outline, mean));
        DeleteOutline(outline);
    }
    double origin[3];
    terrain::LocalOrigin(s, origin);
    auto* r = static_cast<G3Surface*>(s->Duplicate());
    for (int k = 0; k < m_Regions.size() && r; ++k)
        r = FlattenRegion(r, static_cast<GArrayCollection*>(m_Regions.get(k)), origin);
    return r;
}

// One region cut out of r and filled again; r is consumed: the result, or
// null (r deleted) when the region cannot be applied.
G3Surface* G3LandscapeHandler::FlattenRegion(G3Surface* r, GArrayCollection* region, const double* origin)
{
    OutlinePtr widened(new GArrayCollection);
    if (!OffsetContour(region, widened.get(), m_FlatMargin) || !OutlineInsideTerrain(r, widened.get())) {
        delete r;
        return nullptr;
    }
    GEnvelope box;
    r->FormEnvelope(&box);
    const double bottom = box.GetMin(2) - 1.0, top = box.GetMax(2) + 1.0;
    // Only the facets near the widened outline go through the difference;
    // the rest of the terrain waits and is joined again afterwards.
    G3Surface* near = TakeFacetsNear(r, widened.get());
    // The cut rim is read from the cut terrain itself (its border edges
    // along the widened outline), so no intersection list is kept.
    G3BooleanCalculator calculator;
    near = calculator.Sub(near, MakePrism(widened.get(), bottom, top));
    if (!near && r->GetFacetCount() == 0) {
        delete r;
        return nullptr;
    }
    if (near) {
        RemovePrismFacets(near, widened.get(), bottom, top);
        r->AddCopyOf(near);
        delete near;
        r->RemoveEqualsVertex();
        r->RemoveNonManifoldEdges();
    }
    const std::vector<G3Edge*> rim = RimEdges(r, widened.get());
    const double perimeter = PlanPerimeter(widened.get());
    if (r->GetFacetCount() == 0 || std::fabs(PlanLength(rim) - perimeter) > kEnvelopeWidening * (1 + perimeter)) {
        delete r;
        return nullptr;
    }
    G3Surface* patch = FillBetween(rim, region, widened.get(), origin);
    if (!patch) {
        delete r;
        return nullptr;
    }
    Notify(1);
    r->AddCopyOf(patch);
    Notify(0);
    delete patch;
    r->RemoveEqualsVertex();
    r->RemoveNonManifoldEdges();
    // The difference may have turned the terrain over; the pad and the
    // terrain face up alike.
    terrain::FaceUp(r);
    return r;
}
