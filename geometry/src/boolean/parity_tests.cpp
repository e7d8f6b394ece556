// Ray parity: whether a point lies inside a closed body, by counting the
// facets a ray from it crosses. A ray that touches a facet's boundary, or
// runs in a facet's plane, decides nothing and is drawn again by the caller.
#include <cmath>

#include "boolean/boolean_provider.h"
#include "boolean/calculator_detail.h"
#include "core/thread_random.h"
#include "core/tolerances.h"
#include "tessaly/boolean.h"
#include "tessaly/facet.h"

using tessaly::kLengthTolerance;

using boolean_detail::PlaneAt;
using boolean_detail::SignOf;

namespace {
GEnvelope BoxOf(const double* p, const double* q)
{
    GEnvelope box;
    box.Add(p);
    box.Add(q);
    box.Extend(tessaly::kEnvelopeWidening);
    return box;
}

// Where the ray crosses f's plane: inside f (1), on its boundary (2), or
// outside (0).
int CrossingIn(G3Facet* f, const double* p, const double* q, double dp, double dq)
{
    const double t = std::fabs(dp / (dp - dq));
    double x[3];
    for (int a = 0; a < 3; ++a)
        x[a] = p[a] + t * (q[a] - p[a]);
    int i, j;
    f->GetMaxCoo(&i, &j);
    G3Vertex *va = nullptr, *vb = nullptr;
    if (!f->PointInFacet(i, j, x, &va, &vb, kLengthTolerance))
        return 0;
    return va || vb ? 2 : 1;
}

bool Usable(G3Facet* f, const GEnvelope& box)
{
    if (!f || f->IsPlaneZero())
        return false;
    const GEnvelope env = G3SurfaceBooleanProvider::WorkingEnvelope(f);
    return env.IsIntersectXYZ(&box);
}

// One random unit direction: z uniform in [-1, 1], the angle around z
// uniform.
void RandomDirection(double* d)
{
    const double z = 2.0 * thread_random::Next() / thread_random::kMax - 1.0;
    const double phi = 2.0 * M_PI * thread_random::Next() / thread_random::kMax;
    const double r = std::sqrt(std::max(0.0, 1.0 - z * z));
    d[0] = r * std::cos(phi);
    d[1] = r * std::sin(phi);
    d[2] = z;
}
} // namespace

SURF_CLASSIFY G3BooleanCalculator::TestPointAndFacetList(double* p, double* q, GArrayCollection* facets,
                                                         unsigned* count)
{
    if (!p || !q || !facets)
        return SC_UNDECIDED;
    const GEnvelope box = BoxOf(p, q);
    unsigned crossings = 0;
    for (int k = 0; k < facets->size(); ++k) {
        auto* f = static_cast<G3Facet*>(facets->get(k));
        if (!Usable(f, box))
            continue;
        const double dp = PlaneAt(f->GetPlane(), p), dq = PlaneAt(f->GetPlane(), q);
        const int sp = SignOf(dp), sq = SignOf(dq);
        if (count)
            *count = crossings;
        if (sp == 0) {
            int i, j;
            f->GetMaxCoo(&i, &j);
            if (f->PointInFacet(i, j, p, nullptr, nullptr, kLengthTolerance))
                return SC_ON;
            if (sq == 0)
                return SC_UNDECIDED;
            continue;
        }
        if (sp == sq)
            continue;
        const int where = CrossingIn(f, p, q, dp, dq);
        if (where == 2)
            return SC_UNDECIDED;
        if (where == 1)
            crossings += f->GetDoubleSided() ? 2 : 1;
    }
    if (count)
        *count = crossings;
    return crossings % 2 ? SC_IN : SC_OUT;
}

SURF_CLASSIFY G3BooleanCalculator::TestRayAndFacetList(double* p, double* q, GArrayCollection* facets)
{
    if (!p || !q || !facets)
        return SC_UNDECIDED;
    const GEnvelope box = BoxOf(p, q);
    unsigned crossings = 0;
    for (int k = 0; k < facets->size(); ++k) {
        auto* f = static_cast<G3Facet*>(facets->get(k));
        if (!Usable(f, box))
            continue;
        const double dp = PlaneAt(f->GetPlane(), p), dq = PlaneAt(f->GetPlane(), q);
        const int sp = SignOf(dp), sq = SignOf(dq);
        if (sp == 0) {
            if (sq == 0)
                return SC_UNDECIDED;
            continue;
        }
        if (sq == 0)
            return SC_UNDECIDED;
        if (sp == sq)
            continue;
        const int where = CrossingIn(f, p, q, dp, dq);
        if (where == 2)
            return SC_UNDECIDED;
        if (where == 1)
            crossings += f->GetDoubleSided() ? 2 : 1;
    }
    return crossings % 2 ? SC_IN : SC_OUT;
}

void G3BooleanCalculator::GenerateRandomRay(double* origin, double* end, double radius)
{
    double d[3];
    RandomDirection(d);
    for (int a = 0; a < 3; ++a)
        end[a] = origin[a] + radius * d[a];
}

void G3BooleanCalculator::GenerateRandomRay(double* origin, double* end, double* plane, int side, double radius)
{
    constexpr int kDraws = 100;
    for (int k = 0; k < kDraws; ++k) {
        double d[3];
        RandomDirection(d);
        for (int a = 0; a < 3; ++a)
            end[a] = origin[a] + radius * d[a];
        const double s = PlaneAt(plane, end) * side;
        if (s > tessaly::kPlaneSideMargin)
            return;
        if (s < -tessaly::kPlaneSideMargin) {
            for (int a = 0; a < 3; ++a)
                end[a] = origin[a] - radius * d[a];
            return;
        }
    }
}

void G3BooleanCalculator::GenerateRandomRay(const double* origin, double* end, const double* towards, double radius)
{
    double d[3];
    RandomDirection(d);
    const double along = radius * (d[0] * towards[0] + d[1] * towards[1] + d[2] * towards[2]);
    const double sign = along <= kLengthTolerance ? -1.0 : 1.0;
    for (int a = 0; a < 3; ++a)
        end[a] = origin[a] + sign * radius * d[a];
}
