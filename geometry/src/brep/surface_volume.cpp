// The volume of a body whatever its facets' orientation. From an apex R
// outside the body, each facet f with an inner point P spans a pyramid of
// volume |area * height| / 3. Walking from R (outside) to P, the walk is
// inside the body just before P when it crossed the boundary an odd number
// of times: then R lies on f's inner side and the pyramid adds, otherwise
// it subtracts. Where the walk meets a facet's boundary the count would be
// ambiguous: the side is then read from a nearby point on the same side.
#include <cmath>
#include <iterator>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/hashes.h"
#include "tessaly/surface.h"

using tessaly::kLengthTolerance;

namespace {
// Offsets of the apex beyond the body's maximum corner, in units of the
// body's size: irrational-looking ratios, so that the line from the apex to
// a facet's inner point is unlikely to meet an edge or lie in a plane.
constexpr double kApexOffsets[][3] = {
    {0.3731, 0.2197, 0.6113}, {0.1579, 0.7393, 0.4421}, {0.8117, 0.1283, 0.2969},
    {0.5413, 0.4649, 0.9071}, {0.2683, 0.9277, 0.1831}, {0.6967, 0.3359, 0.0743},
};

struct Pyramid {
    G3Facet* facet;
    double area;
    double inner[3];
};

std::vector<Pyramid> Pyramids(G3Surface* s)
{
    std::vector<Pyramid> out;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        Pyramid p{f, f->GetArea(), {0, 0, 0}};
        int i, j;
        f->GetMaxCoo(&i, &j);
        if (p.area > 0 && !f->IsPlaneZero() && f->GeneratePointInFacetConcave(i, j, p.inner))
            out.push_back(p);
    }
    return out;
}

double Height(const G3Facet* f, const double* r)
{
    const double* n = f->GetPlane();
    double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    return (n[0] * r[0] + n[1] * r[1] + n[2] * r[2] + n[3]) / length;
}

enum class Crossings { Even, Odd, Ambiguous };

// The parity of the facets met strictly between r and p.
Crossings CountCrossings(G3Grid& grid, const Pyramid& target, const double* r, GArrayCollection& candidates)
{
    const double* p = target.inner;
    double d[3] = {p[0] - r[0], p[1] - r[1], p[2] - r[2]};
    double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    grid.GetFacetByLine(r, p, &candidates);
    int count = 0;
    for (int k = 0; k < candidates.size(); ++k) {
        auto* g = static_cast<G3Facet*>(candidates.get(k));
        if (g == target.facet || g->IsPlaneZero())
            continue;
        double x[3];
        int where = g->GetPlaneIntersect(r, p, x);
        if (where != 1 && where != 2)
            continue;
        double t = ((x[0] - r[0]) * d[0] + (x[1] - r[1]) * d[1] + (x[2] - r[2]) * d[2]) / (length * length);
        if (t * length < kLengthTolerance || (1.0 - t) * length < kLengthTolerance)
            continue; // at the apex or at p itself
        if (where == 2)
            return Crossings::Ambiguous;
        ++count;
    }
    return count % 2 ? Crossings::Odd : Crossings::Even;
}

int GridSize(int facets)
{
    int n = static_cast<int>(std::cbrt(static_cast<double>(facets))) * 2;
    return n < 4 ? 4 : n > 128 ? 128 : n;
}
} // namespace

double G3Surface::GetVolume()
{
    std::vector<Pyramid> pyramids = Pyramids(this);
    GEnvelope box;
    if (pyramids.empty() || !FormEnvelope(&box))
        return 0.0;
    G3Grid grid(&box, GridSize(GetFacetCount()));
    for (int k = 0; k < GetFacetCount(); ++k) {
        GEnvelope facetBox;
        if (GetFacet(k)->FormEnvelope(&facetBox))
            grid.AddFacet(GetFacet(k), &facetBox);
    }
    const double size = box.GetMaxSize() > 0 ? box.GetMaxSize() : 1.0;
    double apex[3];
    for (int a = 0; a < 3; ++a)
        apex[a] = box.GetMax()[a] + (0.5 + kApexOffsets[0][a]) * size;
    GArrayCollection candidates;
    double total = 0.0;
    for (const Pyramid& p : pyramids) {
        const double h = Height(p.facet, apex);
        if (h == 0.0)
            continue;
        // The side of the facet the apex is on may be read from any point
        // outside the body on that side: when the line from the apex meets
        // a facet's boundary, a nearby point decides.
        Crossings c = CountCrossings(grid, p, apex, candidates);
        for (std::size_t k = 1; c == Crossings::Ambiguous && k < std::size(kApexOffsets); ++k) {
            double other[3];
            for (int a = 0; a < 3; ++a)
                other[a] = apex[a] + 0.2 * (kApexOffsets[k][a] - 0.5) * size;
            if ((Height(p.facet, other) > 0) == (h > 0))
                c = CountCrossings(grid, p, other, candidates);
        }
        const double volume = std::fabs(p.area * h) / 3.0;
        total += c == Crossings::Odd ? volume : -volume;
    }
    return total;
}
