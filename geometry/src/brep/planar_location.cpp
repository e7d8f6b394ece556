#include "brep/planar_location.h"

#include "core/tolerances.h"
#include <algorithm>
#include <cmath>

using tessaly::kRoundingTolerance;

namespace {
// Squared distance from p to the segment a-b in the (i, j) projection, and
// the parameter of the nearest point.
double DistanceToSegment2(int i, int j, const double* p, const double* a, const double* b, double* t)
{
    double dx = b[i] - a[i], dy = b[j] - a[j];
    double len2 = dx * dx + dy * dy;
    double s = 0.0;
    if (len2 > 0.0)
        s = std::clamp(((p[i] - a[i]) * dx + (p[j] - a[j]) * dy) / len2, 0.0, 1.0);
    double qx = a[i] + s * dx - p[i], qy = a[j] + s * dy - p[j];
    if (t)
        *t = s;
    return qx * qx + qy * qy;
}

bool Coincide(int i, int j, const double* p, const double* q, double eps)
{
    return std::fabs(p[i] - q[i]) < eps && std::fabs(p[j] - q[j]) < eps;
}

void Report(G3Vertex** va, G3Vertex** vb, G3Vertex* a, G3Vertex* b)
{
    if (va)
        *va = a;
    if (vb)
        *vb = b;
}

// The boundary element p lies on, if any: vertices first, then edges.
bool OnBoundary(int i, int j, const double* p, const std::vector<G3PlanarSegment>& segments, double eps, G3Vertex** va,
                G3Vertex** vb)
{
    for (const G3PlanarSegment& s : segments) {
        if (Coincide(i, j, p, s.a, eps)) {
            Report(va, vb, s.va, nullptr);
            return true;
        }
        if (Coincide(i, j, p, s.b, eps)) {
            Report(va, vb, s.vb, nullptr);
            return true;
        }
    }
    for (const G3PlanarSegment& s : segments) {
        if (DistanceToSegment2(i, j, p, s.a, s.b, nullptr) < eps * eps) {
            Report(va, vb, s.va, s.vb);
            return true;
        }
    }
    return false;
}
} // namespace

G3PlanarLocation G3LocatePoint(int i, int j, const double* p, const std::vector<G3PlanarSegment>& segments, double eps,
                               G3Vertex** va, G3Vertex** vb)
{
    Report(va, vb, nullptr, nullptr);
    if (OnBoundary(i, j, p, segments, eps, va, vb))
        return G3_PLANAR_BOUNDARY;
    // Half-open crossing rule along +i: an edge counts when it spans p's j
    // coordinate with one end at or above it and the other below.
    bool inside = false;
    for (const G3PlanarSegment& s : segments) {
        const double* a = s.a;
        const double* b = s.b;
        if ((a[j] > p[j]) == (b[j] > p[j]))
            continue;
        double x = a[i] + (p[j] - a[j]) * (b[i] - a[i]) / (b[j] - a[j]);
        if (x > p[i])
            inside = !inside;
    }
    return inside ? G3_PLANAR_INSIDE : G3_PLANAR_OUTSIDE;
}

namespace {
// The best inside span on the line at height y, scored by its width capped
// at the gap height, so the point keeps away from the boundary both ways.
bool WidestSpan(int i, int j, double y, double gap, const std::vector<G3PlanarSegment>& segments, double* bestScore,
                double* bestX)
{
    std::vector<double> xs;
    for (const G3PlanarSegment& s : segments) {
        if ((s.a[j] > y) == (s.b[j] > y))
            continue;
        xs.push_back(s.a[i] + (y - s.a[j]) * (s.b[i] - s.a[i]) / (s.b[j] - s.a[j]));
    }
    std::sort(xs.begin(), xs.end());
    bool found = false;
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
        double score = std::min(xs[k + 1] - xs[k], gap);
        if (score > *bestScore) {
            *bestScore = score;
            *bestX = (xs[k] + xs[k + 1]) / 2.0;
            found = true;
        }
    }
    return found;
}
} // namespace

bool G3InnerPoint(int i, int j, const std::vector<G3PlanarSegment>& segments, double* out)
{
    std::vector<double> heights;
    for (const G3PlanarSegment& s : segments) {
        heights.push_back(s.a[j]);
        heights.push_back(s.b[j]);
    }
    std::sort(heights.begin(), heights.end());
    heights.erase(std::unique(heights.begin(), heights.end()), heights.end());
    double bestWidth = kRoundingTolerance, bestX = 0.0, bestY = 0.0;
    bool found = false;
    for (std::size_t k = 0; k + 1 < heights.size(); ++k) {
        if (!std::isfinite(heights[k]) || !std::isfinite(heights[k + 1]))
            continue;
        double y = (heights[k] + heights[k + 1]) / 2.0;
        if (WidestSpan(i, j, y, heights[k + 1] - heights[k], segments, &bestWidth, &bestX)) {
            bestY = y;
            found = true;
        }
    }
    if (found) {
        out[i] = bestX;
        out[j] = bestY;
    }
    return found;
}
