#include "segment_pair.h"

#include "core/tolerances.h"
#include <algorithm>
#include <cmath>

using tessaly::kLengthTolerance;

namespace {

int Sign(double x)
{
    if (std::fabs(x) < kLengthTolerance)
        return 0;
    return x >= 0.0 ? 1 : -1;
}

// x lies strictly between the ends of seg on its dominant axis.
bool StrictlyInside(const G3Segment& seg, const double* x)
{
    const int d = seg.GetDominantAxis();
    return seg.GetLower(d) + kLengthTolerance < x[d] && x[d] < seg.GetUpper(d) - kLengthTolerance;
}

// Parameter from the segment's start of a point x on its line, measured on
// the dominant axis, where the segment spans more than 1e-6 / sqrt(2). The
// point lies within 1e-6 of the line, so start + t * (end - start) is x
// within sqrt(2) * 1e-6, whichever way the segment runs. (The ratio of the
// line equation at the ends is no use here: for a nearly parallel pair it
// places the point anywhere along the segment.)
double ParameterOf(const G3Segment& seg, const double* x)
{
    const int d = seg.GetDominantAxis();
    const double t = (x[d] - seg.GetStart()[d]) / (seg.GetEnd()[d] - seg.GetStart()[d]);
    return std::min(1.0, std::max(0.0, t));
}

// From the start of the sweep segment to the caller's first point.
double CallerParameter(const G3Segment& seg, double t)
{
    return seg.IsReversed() ? 1.0 - t : t;
}

void Report(G3IntersectionPointLoader* loader, const double* point, const G3Segment& n, double tN, const G3Segment& a,
            double tA)
{
    loader->LoadIntersection(point, n.GetUserData(), a.GetUserData(), CallerParameter(n, tN), CallerParameter(a, tA));
}

} // namespace

int segment_pair::Test(const G3Segment& n, const G3Segment& a, G3IntersectionPointLoader* loader)
{
    const int u = n.GetCrossAxis();
    if (!(a.GetLower(u) <= n.GetUpper(u) + kLengthTolerance && n.GetLower(u) - kLengthTolerance <= a.GetUpper(u)))
        return 0;

    // a's ends against n's line, then n's ends against a's line: a pair
    // with one segment wholly on one side of the other's line never meets.
    const double dA1 = n.Evaluate(a.GetStart());
    const double dA2 = n.Evaluate(a.GetEnd());
    const int sA1 = Sign(dA1), sA2 = Sign(dA2);
    if (sA1 != 0 && sA1 == sA2)
        return 0;
    const double dN1 = a.Evaluate(n.GetStart());
    const double dN2 = a.Evaluate(n.GetEnd());
    const int sN1 = Sign(dN1), sN2 = Sign(dN2);
    if (sN1 != 0 && sN1 == sN2)
        return 0;

    // Touchings: an end on the other segment's line, strictly inside it.
    // Ends that meet ends are never inside, so shared vertices stay quiet.
    int reports = 0;
    if (sN1 == 0 && StrictlyInside(a, n.GetStart())) {
        Report(loader, n.GetStart(), n, 0.0, a, ParameterOf(a, n.GetStart()));
        ++reports;
    }
    if (sN2 == 0 && StrictlyInside(a, n.GetEnd())) {
        Report(loader, n.GetEnd(), n, 1.0, a, ParameterOf(a, n.GetEnd()));
        ++reports;
    }
    if (sA1 == 0 && StrictlyInside(n, a.GetStart())) {
        Report(loader, a.GetStart(), n, ParameterOf(n, a.GetStart()), a, 0.0);
        ++reports;
    }
    if (sA2 == 0 && StrictlyInside(n, a.GetEnd())) {
        Report(loader, a.GetEnd(), n, ParameterOf(n, a.GetEnd()), a, 1.0);
        ++reports;
    }

    // A proper crossing: each segment's ends lie on both sides of the
    // other's line, at least the tolerance away. The line equations are
    // linear along each segment, so the ratios are the parameters.
    if (sA1 != 0 && sN1 != 0 && sA1 == -sA2 && sN1 == -sN2) {
        const double tN = std::fabs(dN1 / (dN1 - dN2));
        const double tA = std::fabs(dA1 / (dA1 - dA2));
        double point[3];
        for (int axis = 0; axis < 3; ++axis)
            point[axis] = n.GetStart()[axis] + tN * (n.GetEnd()[axis] - n.GetStart()[axis]);
        Report(loader, point, n, tN, a, tA);
        ++reports;
    }
    return reports;
}
