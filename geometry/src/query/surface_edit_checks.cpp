// The validity checks of G3SurfaceEdit: contours and edges, and facets that
// cross each other.
#include <memory>
#include <vector>

#include "core/tolerances.h"
#include "query/facet_loops.h"
#include "tessaly/contour.h"
#include "tessaly/intervals.h"
#include "tessaly/surface_edit.h"

using tessaly::kLengthTolerance;

namespace {

bool LoopCrossesItself(std::vector<G3Vertex*>& loop, const G3Facet* f)
{
    std::vector<int> flags(loop.size(), 1);
    G3EdgeList contour(static_cast<int>(loop.size()), loop.data(), flags.data(), nullptr, nullptr,
                       static_cast<int>(f->GetFlags()), static_cast<int>(f->GetSurface()));
    return contour.TestSelfIntersections();
}

// The report bits of one facet's contours.
int ContourFailures(G3Facet* f, int mask)
{
    int failures = 0;
    for (std::vector<G3Vertex*>& loop : G3FacetLoops(f)) {
        if (loop.size() < 3) {
            failures |= mask & G3CHECK_SHORT_CONTOUR;
            continue;
        }
        if ((mask & G3CHECK_SELF_CROSSING) && LoopCrossesItself(loop, f))
            failures |= G3CHECK_SELF_CROSSING;
    }
    return failures;
}

// Both facets reach across each other's plane and the pieces they cut from
// the common line overlap by more than the length tolerance.
bool FacetsCross(G3Facet* a, G3Facet* b)
{
    G3IntervalList onA, onB;
    if (b->IntersectByPlaneConcave(a->GetPlane(), &onB) != 1 || a->IntersectByPlaneConcave(b->GetPlane(), &onA) != 1)
        return false;
    onA.BuildIntervals();
    onB.SetMaxCoo(&onA);
    onB.BuildIntervals();
    if (onA.GetIntersectionType(&onB) != ILIT_OVERLAP)
        return false;
    std::unique_ptr<G3IntervalList> common(onA.Intersect(&onB));
    return common && common->GetIntervalCount() > 0;
}
} // namespace

bool G3SurfaceEdit::CheckSurface(int mask, int& report)
{
    report = 0;
    const bool edgesPass = CheckEdges(mask, report);
    const bool facetsPass = CheckFacets(mask, report);
    return edgesPass && facetsPass;
}

bool G3SurfaceEdit::CheckEdges(int mask, int& report)
{
    if (!m_Surface || m_Surface->GetFacetCount() == 0)
        return false;
    int failures = 0;
    for (int k = 0; k < m_Surface->GetFacetCount(); ++k)
        failures |= ContourFailures(m_Surface->GetFacet(k), mask);
    if (mask & G3CHECK_SHORT_EDGE)
        for (int k = 0; k < m_Surface->GetEdgeCount(); ++k)
            if (m_Surface->GetEdge(k)->GetSizeXYZ() < kLengthTolerance)
                failures |= G3CHECK_SHORT_EDGE;
    report |= failures;
    return failures == 0;
}

bool G3SurfaceEdit::CheckFacets(int mask, int& report)
{
    if (!m_Surface || m_Surface->GetFacetCount() == 0)
        return false;
    if (!(mask & G3CHECK_CROSSING_FACETS))
        return true;
    G3FacetProvider* cache = G3FacetProvider::GetProvider();
    const int count = m_Surface->GetFacetCount();
    for (int k = 0; k < count; ++k) {
        GEnvelope box;
        m_Surface->GetFacet(k)->FormEnvelope(&box);
        box.Extend(tessaly::kEnvelopeWidening);
        cache->SetEnvelope(box);
        cache->SetIndex(k + 1);
        cache->Write(m_Surface->GetFacet(k));
    }
    std::vector<GEnvelope> boxes(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        cache->Read(m_Surface->GetFacet(k));
        boxes[static_cast<std::size_t>(cache->GetIndex() - 1)] = cache->GetEnvelope();
    }
    bool crossing = false;
    for (int i = 0; i < count && !crossing; ++i)
        for (int j = i + 1; j < count && !crossing; ++j)
            crossing = boxes[static_cast<std::size_t>(i)].IsIntersectXYZ(&boxes[static_cast<std::size_t>(j)]) &&
                FacetsCross(m_Surface->GetFacet(i), m_Surface->GetFacet(j));
    for (int k = 0; k < count; ++k)
        cache->Remove(m_Surface->GetFacet(k));
    if (crossing)
        report |= G3CHECK_CROSSING_FACETS;
    return !crossing;
}
