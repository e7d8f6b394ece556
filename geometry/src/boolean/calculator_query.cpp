// Queries against one body: point classification, ray classification,
// segment intersections and the facet at a point. A 32 x 32 x 32 grid of
// the body's facets gives each ray or segment only the facets of the cells
// it passes.
#include <cmath>

#include "boolean/boolean_provider.h"
#include "boolean/calculator_detail.h"
#include "core/thread_random.h"
#include "core/tolerances.h"
#include "tessaly/facet.h"
#include "tessaly/hashes.h"
#include "tessaly/intervals.h"

using boolean_detail::kRayAttempts;
using tessaly::kLengthTolerance;

using boolean_detail::PlaneAt;
using boolean_detail::SignOf;

namespace {
constexpr int kQueryGrid = 32;

bool Contains(G3Facet* f, const double* p)
{
    int i, j;
    f->GetMaxCoo(&i, &j);
    return f->PointInFacet(i, j, p, nullptr, nullptr, kLengthTolerance);
}

// The points where the facet's boundary crosses the plane through the
// segment p-q that stands on the facet, written last to first.
void WriteInPlaneCrossings(G3Facet* f, const double* p, const double* q, G3BCPointWriter* w)
{
    const double* n = f->GetPlane();
    const double t[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    double cut[4] = {n[1] * t[2] - n[2] * t[1], n[2] * t[0] - n[0] * t[2], n[0] * t[1] - n[1] * t[0], 0};
    cut[3] = -(cut[0] * p[0] + cut[1] * p[1] + cut[2] * p[2]);
    G3IntervalList list;
    if (f->IntersectByPlaneConcave(cut, &list) == 0)
        return;
    GArrayCollection* points = list.GetPointList();
    for (int k = points->size() - 1; k >= 0; --k)
        w->WritePoint(static_cast<G3Point*>(points->get(k))->GetXYZ());
}
} // namespace

void G3BooleanCalculator::OpenFindIntersection(G3Surface* s)
{
    if (!s)
        return;
    thread_random::Seed(boolean_detail::kRandomSeed);
    OpenBoolean(s);
    m_First = s;
    m_Second = nullptr;
    s->FormEnvelope(&m_CommonBox);
    m_CommonBox.Extend(tessaly::kEnvelopeWidening);
    delete m_Grid;
    m_Grid = new G3Grid(&m_CommonBox, kQueryGrid);
    for (int k = s->GetFacetCount() - 1; k >= 0; --k) {
        G3Facet* f = s->GetFacet(k);
        const GEnvelope env = G3SurfaceBooleanProvider::WorkingEnvelope(f);
        m_Grid->AddFacet(f, &env);
    }
    m_Radius = boolean_detail::kRayReach * m_CommonBox.GetMaxSize();
}

void G3BooleanCalculator::CloseFindIntersection(G3Surface* s)
{
    delete m_Grid;
    m_Grid = nullptr;
    m_Candidates->clear();
    CloseBoolean(s);
    if (m_First == s)
        m_First = nullptr;
}

SURF_CLASSIFY G3BooleanCalculator::FindVertexClassify(const double* p)
{
    if (!m_Grid || !p)
        return SC_UNDECIDED;
    double from[3] = {p[0], p[1], p[2]};
    const double length = boolean_detail::RayLength(p, m_CommonBox, m_Radius);
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        double q[3];
        GenerateRandomRay(from, q, length);
        m_Grid->GetFacetByLine(from, q, m_Candidates);
        const SURF_CLASSIFY c = TestPointAndFacetList(from, q, m_Candidates, nullptr);
        if (c != SC_UNDECIDED)
            return c;
    }
    return SC_UNDECIDED;
}

SURF_CLASSIFY G3BooleanCalculator::FindRayClassify(const double* p, const double* q, G3Facet*)
{
    if (!m_Grid || !p || !q)
        return SC_UNDECIDED;
    double from[3] = {p[0], p[1], p[2]};
    const double towards[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    const double length = boolean_detail::RayLength(p, m_CommonBox, m_Radius);
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        double end[3];
        GenerateRandomRay(from, end, towards, length);
        m_Grid->GetFacetByLine(from, end, m_Candidates);
        const SURF_CLASSIFY c = TestRayAndFacetList(from, end, m_Candidates);
        if (c != SC_UNDECIDED)
            return c;
    }
    return SC_UNDECIDED;
}

void G3BooleanCalculator::FindIntersections(const double* p, const double* q, G3BCPointWriter* w)
{
    if (!m_Grid || !p || !q || !w)
        return;
    m_Grid->GetFacetByLine(p, q, m_Candidates);
    GEnvelope box;
    box.Add(p);
    box.Add(q);
    box.Extend(tessaly::kEnvelopeWidening);
    for (int k = m_Candidates->size() - 1; k >= 0; --k) {
        auto* f = static_cast<G3Facet*>(m_Candidates->get(k));
        const GEnvelope env = G3SurfaceBooleanProvider::WorkingEnvelope(f);
        if (f->IsPlaneZero() || !env.IsIntersectXYZ(&box))
            continue;
        const double dp = PlaneAt(f->GetPlane(), p), dq = PlaneAt(f->GetPlane(), q);
        const int sp = SignOf(dp), sq = SignOf(dq);
        if (sp == 0 && sq == 0) {
            WriteInPlaneCrossings(f, p, q, w);
        } else if (sp == 0) {
            if (Contains(f, p))
                w->WritePoint(p);
        } else if (sq != 0 && sp != sq) {
            const double t = std::fabs(dp / (dp - dq));
            const double x[3] = {p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1]), p[2] + t * (q[2] - p[2])};
            if (Contains(f, x))
                w->WritePoint(x);
        }
    }
}

G3Facet* G3BooleanCalculator::FindFacet(const double* p)
{
    if (!m_Grid || !p)
        return nullptr;
    int i, j, k;
    m_Grid->GetIndexes(p, &i, &j, &k);
    GArrayCollection* cell = m_Grid->Get(i, j, k);
    for (int n = cell ? cell->size() - 1 : -1; n >= 0; --n) {
        auto* f = static_cast<G3Facet*>(cell->get(n));
        if (std::fabs(PlaneAt(f->GetPlane(), p)) < kLengthTolerance && Contains(f, p))
            return f;
    }
    return nullptr;
}
