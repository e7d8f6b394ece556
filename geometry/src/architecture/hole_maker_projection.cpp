// Finding the panel an opening passes through and projecting the opening's
// outline onto its two facets.
//
// Every outline point sends a segment along the direction, long enough to
// cross the whole surface from either side. The facets it meets, ordered
// along the segment, name the panel: the first facet met (A) and the next
// one beyond it (B). All points must name the same panel, and each point's
// two nearest hits give its images on A and on B. The images must make a
// proper hole in each facet: an outline with area that neither crosses
// itself nor touches the facet's loops, and holds none of its holes.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/boolean.h"
#include "tessaly/contour.h"
#include "tessaly/hole_maker.h"
#include "tessaly/raytrace.h"
#include "tessaly/surface.h"

using tessaly::kLengthTolerance;

namespace {
// Hit parameters along a segment (-1 at its start, 1 at its end) closer
// than this are the same place.
constexpr double kParameterTolerance = 1e-7;
// Two segments closer to parallel than this (the determinant of their
// directions) do not cross, and a crossing must lie this far inside both
// (as a fraction of their lengths).
constexpr double kCrossingDeterminant = 1e-7;
constexpr double kCrossingMargin = 1e-7;
// A projected outline with less area than this (twice the area, in the
// facet's projection) makes no hole.
constexpr double kMinHoleArea = tessaly::kAreaTolerance;

using PointLoop = std::vector<G3Point*>;

struct PointListDeleter {
    void operator()(GArrayCollection* points) const
    {
        points->clear(true);
        delete points;
    }
};
using PointList = std::unique_ptr<GArrayCollection, PointListDeleter>;

// One facet met by an outline point's segment.
struct RayHit {
    double parameter;
    G3Facet* facet;
    double point[3];
};

// The hits of the segment p - length d .. p + length d with the candidate
// facets, ordered by parameter; hits at the segment's start are left out.
std::vector<RayHit> TraceSegment(const double* p, const double* d, double length, GArrayCollection* candidates)
{
    double from[3], to[3];
    for (int a = 0; a < 3; ++a) {
        from[a] = p[a] - length * d[a];
        to[a] = p[a] + length * d[a];
    }
    G3RayTraceMetricResult result(from);
    G3BooleanCalculator::TestRayAndFacetList(from, to, candidates, &result);
    std::vector<RayHit> hits;
    for (const G3RayTraceMetricResult::Hit* h = result.GetFirstHit(); h; h = h->next) {
        if (!h->facet)
            continue;
        RayHit hit{0, h->facet, {h->point[0], h->point[1], h->point[2]}};
        for (int a = 0; a < 3; ++a)
            hit.parameter += (h->point[a] - p[a]) * d[a] / length;
        if (hit.parameter > -1 + kParameterTolerance)
            hits.push_back(hit);
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const RayHit& x, const RayHit& y) { return x.parameter < y.parameter; });
    return hits;
}

// The panel the hits name: the first facet met and the first one beyond
// it; false when there is none beyond it.
bool PanelOf(const std::vector<RayHit>& hits, G3Facet*& a, G3Facet*& b)
{
    if (hits.empty())
        return false;
    a = hits.front().facet;
    for (const RayHit& hit : hits)
        if (hit.parameter > hits.front().parameter + kParameterTolerance) {
            b = hit.facet;
            return true;
        }
    return false;
}

// The facets of the hits, each once: the next point only needs to be
// traced against these.
void KeepHitFacets(const std::vector<RayHit>& hits, GArrayCollection* candidates)
{
    candidates->clear();
    for (const RayHit& hit : hits)
        if (!candidates->contains(hit.facet))
            candidates->add(hit.facet);
}

// AB and CD cross or touch in the projection on axes i, j: an end of one
// lies on the other, or they cross strictly inside both.
bool SegmentsCross(const double* a, const double* b, const double* c, const double* d, int i, int j)
{
    if (PtOnSegment(c, a, b) || PtOnSegment(d, a, b) || PtOnSegment(a, c, d) || PtOnSegment(b, c, d))
        return true;
    const double ux = b[i] - a[i], uy = b[j] - a[j];
    const double vx = d[i] - c[i], vy = d[j] - c[j];
    const double det = ux * vy - uy * vx;
    if (std::fabs(det) < kCrossingDeterminant)
        return false;
    const double wx = c[i] - a[i], wy = c[j] - a[j];
    const double s = (wx * vy - wy * vx) / det;
    const double t = (wx * uy - wy * ux) / det;
    return s > kCrossingMargin && s < 1 - kCrossingMargin && t > kCrossingMargin && t < 1 - kCrossingMargin;
}

const double* At(const PointLoop& loop, std::size_t k)
{
    return loop[k % loop.size()]->GetXYZ();
}

// Some side of p crosses or touches some side of q.
bool LoopsCross(const PointLoop& p, const PointLoop& q, int i, int j)
{
    for (std::size_t m = 0; m < p.size(); ++m)
        for (std::size_t n = 0; n < q.size(); ++n)
            if (SegmentsCross(At(p, m), At(p, m + 1), At(q, n), At(q, n + 1), i, j))
                return true;
    return false;
}

// Two sides that do not follow each other cross or touch.
bool LoopCrossesItself(const PointLoop& p, int i, int j)
{
    const std::size_t n = p.size();
    for (std::size_t m = 0; m < n; ++m)
        for (std::size_t k = m + 2; k < n; ++k)
            if ((k + 1) % n != m && SegmentsCross(At(p, m), At(p, m + 1), At(p, k), At(p, k + 1), i, j))
                return true;
    return false;
}

// Twice the signed area in the projection.
double DoubleArea(const PointLoop& p, int i, int j)
{
    double sum = 0;
    for (std::size_t m = 0; m < p.size(); ++m)
        sum += At(p, m)[i] * At(p, m + 1)[j] - At(p, m + 1)[i] * At(p, m)[j];
    return sum;
}

bool HasRepeatedPoint(const PointLoop& p)
{
    for (std::size_t m = 0; m < p.size(); ++m)
        if (G3Point::Equals(At(p, m), At(p, m + 1)))
            return true;
    return false;
}

// x lies inside the loop, or on it.
bool InsideLoop(const double* x, const PointLoop& loop, int i, int j)
{
    GArrayCollection points;
    for (G3Point* p : loop)
        points.add(p);
    GArrayCollectionIterator it(&points);
    return G3Facet::PointInFacet(i, j, x, &it, nullptr, nullptr, kLengthTolerance);
}

PointLoop LoopOf(GArrayCollection* points)
{
    PointLoop loop;
    for (int k = 0; k < points->size(); ++k)
        loop.push_back(static_cast<G3Point*>(points->get(k)));
    return loop;
}

// The outline makes a proper hole in the facet: it has area, does not
// cross itself, keeps clear of the facet's loops and holds none of them.
bool FitsInFacet(G3Facet* facet, GArrayCollection* outline, const std::vector<std::vector<G3Vertex*>>& loops)
{
    int i, j;
    facet->GetMaxCoo(&i, &j);
    const PointLoop hole = LoopOf(outline);
    if (hole.size() < 3 || HasRepeatedPoint(hole) || std::fabs(DoubleArea(hole, i, j)) < kMinHoleArea ||
        LoopCrossesItself(hole, i, j))
        return false;
    for (const std::vector<G3Vertex*>& vertices : loops) {
        const PointLoop loop(vertices.begin(), vertices.end());
        if (LoopsCross(hole, loop, i, j) || InsideLoop(loop.front()->GetXYZ(), hole, i, j))
            return false;
    }
    return true;
}

// Traces every outline point; all must name the same panel (a, b). hits
// receives each point's hits.
bool TraceOutline(G3Surface* surface, GArrayCollection* outline, const double* d, double length, G3Facet*& a,
                  G3Facet*& b, std::vector<std::vector<RayHit>>& hits)
{
    GArrayCollection candidates;
    for (int k = 0; k < surface->GetFacetCount(); ++k)
        candidates.add(surface->GetFacet(k));
    for (int k = 0; k < outline->size(); ++k) {
        hits.push_back(TraceSegment(static_cast<G3Point*>(outline->get(k))->GetXYZ(), d, length, &candidates));
        G3Facet *first = nullptr, *next = nullptr;
        if (hits.back().size() < 2 || !PanelOf(hits.back(), first, next))
            return false;
        if (k == 0) {
            a = first;
            b = next;
        } else if (first != a || next != b) {
            return false;
        }
        KeepHitFacets(hits.back(), &candidates);
    }
    return true;
}

// The images of the outline points, from the second on (the last point
// repeats the first), on the panel's two facets: each point's two nearest
// hits must lie on A and on B, in either order.
bool ProjectOutline(const std::vector<std::vector<RayHit>>& hits, G3Facet* a, G3Facet* b, GArrayCollection* onA,
                    GArrayCollection* onB)
{
    for (std::size_t k = 1; k < hits.size(); ++k) {
        const RayHit& first = hits[k][0];
        const RayHit& second = hits[k][1];
        const bool direct = first.facet == a && second.facet == b;
        if (!direct && !(first.facet == b && second.facet == a))
            return false;
        onA->add(new G3Point((direct ? first : second).point));
        onB->add(new G3Point((direct ? second : first).point));
    }
    return true;
}

// The new outline crosses, touches or nests with the earlier one.
bool OutlinesOverlap(GArrayCollection* p, GArrayCollection* q, int i, int j)
{
    const PointLoop first = LoopOf(p), second = LoopOf(q);
    return LoopsCross(first, second, i, j) || InsideLoop(first.front()->GetXYZ(), second, i, j) ||
        InsideLoop(second.front()->GetXYZ(), first, i, j);
}
} // namespace

bool G3HoleMaker::FacetLoops(G3Facet* facet, std::vector<std::vector<G3Vertex*>>& loops)
{
    loops.clear();
    if (!facet || !facet->HasEdges())
        return false;
    G3EdgeList contour(facet);
    GArrayCollection traced;
    contour.FormContours(&traced, UNION_EDGE_PARITY);
    for (int k = 0; k < traced.size(); ++k) {
        auto* loop = static_cast<G3EdgeList*>(traced.get(k));
        std::vector<G3Vertex*> vertices;
        for (int e = 0; e < loop->size(); ++e)
            vertices.push_back(loop->GetEdge(e)->GetVertex1());
        if (vertices.size() >= 3)
            loops.push_back(std::move(vertices));
    }
    traced.clear(true);
    return !loops.empty();
}

bool G3HoleMaker::SurfaceGetFacetForHole(GArrayCollection* outline, G3Point* direction, G3Facet*& a, G3Facet*& b,
                                         GArrayCollection** onA, GArrayCollection** onB)
{
    a = b = nullptr;
    if (!onA || !onB)
        return false;
    *onA = *onB = nullptr;
    GEnvelope box;
    if (!m_Surface || !outline || !direction || outline->size() < 4 || m_Surface->GetFacetCount() == 0 ||
        !m_Surface->FormEnvelope(&box))
        return false;
    for (int k = 0; k < outline->size(); ++k)
        box.Add(static_cast<G3Point*>(outline->get(k))->GetXYZ());
    const double length = std::sqrt(box.XSize() * box.XSize() + box.YSize() * box.YSize() + box.ZSize() * box.ZSize());
    if (!(length > kLengthTolerance))
        return false;

    G3Facet *panelA = nullptr, *panelB = nullptr;
    std::vector<std::vector<RayHit>> hits;
    if (!TraceOutline(m_Surface, outline, direction->GetXYZ(), length, panelA, panelB, hits))
        return false;
    PointList pointsOnA(new GArrayCollection), pointsOnB(new GArrayCollection);
    std::vector<std::vector<G3Vertex*>> loopsA, loopsB;
    if (!ProjectOutline(hits, panelA, panelB, pointsOnA.get(), pointsOnB.get()) || !FacetLoops(panelA, loopsA) ||
        !FacetLoops(panelB, loopsB) || !FitsInFacet(panelA, pointsOnA.get(), loopsA) ||
        !FitsInFacet(panelB, pointsOnB.get(), loopsB))
        return false;
    a = panelA;
    b = panelB;
    *onA = pointsOnA.release();
    *onB = pointsOnB.release();
    return true;
}

bool G3HoleMaker::OverlapsFiledOpening(G3Facet* facet, GArrayCollection* outline) const
{
    int i, j;
    facet->GetMaxCoo(&i, &j);
    for (int k = 0; k < m_Panels.count(); ++k) {
        G3HolePanel* panel = GetPanel(k);
        for (int n = 0; n < panel->GetOutlineCount(); ++n) {
            if (panel->GetFacetA() == facet && OutlinesOverlap(outline, panel->GetOutlineOnA(n), i, j))
                return true;
            if (panel->GetFacetB() == facet && OutlinesOverlap(outline, panel->GetOutlineOnB(n), i, j))
                return true;
        }
    }
    return false;
}
