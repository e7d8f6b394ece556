// Queries over a surface that holds roof facets: facets by section id, by
// point and by edge, neighbouring section ids, and the turning sense of a
// point list.
#include <cmath>

#include "architecture/roof_tolerances.h"
#include "tessaly/roof.h"

using tessaly::kLengthTolerance;
using tessaly::roof::kAngleTolerance;

namespace {
// Bands along eaves carry facet flag 2 and are not roof faces.
constexpr long kBandFlag = 2;

bool IsBand(const G3Facet* f)
{
    return (f->GetFlags() & kBandFlag) != 0;
}

bool TypeMatches(G3Facet* f, ROOF_FACET_TYPE type)
{
    return type == ROOF_FACET_NONE || G3WallDataProvider::GetFacetType(f) == type;
}
} // namespace

G3Facet* G3RoofGenerator::GetFacetbyPoint(G3Surface* surface, long sectionId, ROOF_FACET_TYPE type, double* point)
{
    if (!surface || !point)
        return nullptr;
    for (int k = 0; k < surface->GetFacetCount(); ++k) {
        G3Facet* f = surface->GetFacet(k);
        if (IsBand(f) || G3WallDataProvider::GetFacetIndex(f) != sectionId || !TypeMatches(f, type))
            continue;
        int i = 0, j = 1;
        f->GetMaxCoo(&i, &j);
        return f->GeneratePointInFacetConcave(i, j, point) ? f : nullptr;
    }
    return nullptr;
}

bool G3RoofGenerator::GetFacetbyPoint(const double* point, G3Surface* surface, ROOF_FACET_TYPE type, G3Facet*& facet)
{
    (void)type; // every facet that holds the point answers, whatever its type
    facet = nullptr;
    if (!point || !surface)
        return false;
    for (int k = 0; k < surface->GetFacetCount(); ++k) {
        G3Facet* f = surface->GetFacet(k);
        const double* pl = f->GetPlane();
        if (IsBand(f) || std::fabs(pl[0] * point[0] + pl[1] * point[1] + pl[2] * point[2] + pl[3]) >= kLengthTolerance)
            continue;
        int i = 0, j = 1;
        f->GetMaxCoo(&i, &j);
        G3Vertex* va = nullptr;
        G3Vertex* vb = nullptr;
        if (f->PointInFacet(i, j, point, &va, &vb, kLengthTolerance)) {
            facet = f;
            return true;
        }
    }
    return false;
}

namespace {
// The facet of an edge to answer with: not a band; on an edge with two
// facets a vertical one before one that is not; else facet 1, else facet 2.
G3Facet* EdgeFacet(const G3Edge* e)
{
    G3Facet* f1 = e->GetFacet1();
    G3Facet* f2 = e->GetFacet2();
    if (f1 && IsBand(f1))
        f1 = nullptr;
    if (f2 && IsBand(f2))
        f2 = nullptr;
    auto vertical = [](const G3Facet* f) { return std::fabs(f->GetPlaneC()) < kAngleTolerance; };
    if (f1 && f2 && vertical(f2) && !vertical(f1))
        return f2;
    return f1 ? f1 : f2;
}

// Among the edges between a and b, the first facet of the type.
G3Facet* FacetBetween(G3Vertex* a, G3Vertex* b, ROOF_FACET_TYPE type)
{
    for (G3Edge* e = a->GetFirstEdge(); e; e = e->GetVertexNext(a)) {
        if (e->GetOtherVertex(a) != b)
            continue;
        G3Facet* f = EdgeFacet(e);
        if (f && TypeMatches(f, type))
            return f;
    }
    return nullptr;
}
} // namespace

bool G3RoofGenerator::GetFacetbyEdge(const double* p1, const double* p2, G3Surface* surface, ROOF_FACET_TYPE type,
                                     G3Facet*& facet)
{
    facet = nullptr;
    if (!p1 || !p2 || !surface)
        return false;
    // Facets of a roof do not share vertices: every vertex at p1 is tried.
    for (int k = 0; k < surface->GetVertexCount(); ++k) {
        G3Vertex* a = surface->GetVertex(k);
        if (!G3Point::Equals(a->GetXYZ(), p1))
            continue;
        for (G3Edge* e = a->GetFirstEdge(); e; e = e->GetVertexNext(a)) {
            G3Vertex* b = e->GetOtherVertex(a);
            if (!G3Point::Equals(b->GetXYZ(), p2))
                continue;
            if (G3Facet* f = FacetBetween(a, b, type)) {
                facet = f;
                return true;
            }
        }
    }
    return false;
}

bool G3RoofGenerator::GetNeighboringFacetID(G3Surface* surface, long count, long id, long& previous, long& next)
{
    if (!surface || count < 1)
        return false;
    double point[3];
    bool foundNext = false, foundPrevious = false;
    // Ids run from 1 to count; each direction tries every other id once.
    for (long step = 1; step < count && !foundNext; ++step) {
        const long candidate = ((id - 1 + step) % count + count) % count + 1;
        if (GetFacetbyPoint(surface, candidate, ROOF_FACET_NONE, point)) {
            next = candidate;
            foundNext = true;
        }
    }
    for (long step = 1; step < count && !foundPrevious; ++step) {
        const long candidate = ((id - 1 - step) % count + count) % count + 1;
        if (GetFacetbyPoint(surface, candidate, ROOF_FACET_NONE, point)) {
            previous = candidate;
            foundPrevious = true;
        }
    }
    return foundNext && foundPrevious;
}

int G3RoofGenerator::GetClockWiseDirection(GArrayCollection* points)
{
    const int n = points ? points->size() : 0;
    if (n < 3)
        return 0;
    auto at = [&](int i) { return static_cast<G3Point*>(points->get(((i % n) + n) % n)); };
    for (int i = 0; i < n; ++i)
        if (!at(i))
            return 0;
    int lowest = 0;
    for (int i = 1; i < n; ++i)
        if (at(i)->GetY() < at(lowest)->GetY())
            lowest = i;
    for (int step = 0; step < n; ++step) {
        const int i = lowest + step;
        const double* a = at(i - 1)->GetXYZ();
        const double* b = at(i)->GetXYZ();
        const double* c = at(i + 1)->GetXYZ();
        const double u1[2] = {b[0] - a[0], b[1] - a[1]}, u2[2] = {c[0] - b[0], c[1] - b[1]};
        const double l1 = std::hypot(u1[0], u1[1]), l2 = std::hypot(u2[0], u2[1]);
        if (l1 <= 0 || l2 <= 0)
            continue;
        const double cross = (u1[0] * u2[1] - u1[1] * u2[0]) / (l1 * l2);
        if (cross < -kAngleTolerance)
            return 1;
        if (cross > kAngleTolerance)
            return -1;
    }
    return 0;
}
