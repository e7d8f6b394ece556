// Geometric building blocks of the roof generator: edge planes, the point of
// three planes, segment crossings, the outward offset of a ring, point
// clusters and the pairing of edges where a walk touches itself.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "architecture/roof_internal.h"
#include "architecture/roof_tolerances.h"
#include "tessaly/roof.h"

using tessaly::kLengthTolerance;
using tessaly::roof::kAngleTolerance;

namespace {
constexpr double kTwoPi = 4 * tessaly::roof::kRightAngle;

double Det3(const double* r0, const double* r1, const double* r2)
{
    return r0[0] * (r1[1] * r2[2] - r1[2] * r2[1]) - r0[1] * (r1[0] * r2[2] - r1[2] * r2[0]) +
        r0[2] * (r1[0] * r2[1] - r1[1] * r2[0]);
}

double Cross2(double ax, double ay, double bx, double by)
{
    return ax * by - ay * bx;
}

// Unit plan direction of a to b; false when they coincide in plan.
bool PlanUnit(const double* a, const double* b, double* u)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1], len = std::hypot(dx, dy);
    if (len < kLengthTolerance)
        return false;
    u[0] = dx / len;
    u[1] = dy / len;
    return true;
}
} // namespace

double G3RoofGenerator::FarValue()
{
    return tessaly::roof::kFarValue;
}

bool G3RoofGenerator::FormEdgePlane(G3RoofVertex* v)
{
    const double* a = v->GetPrevious()->GetXYZ();
    const double* b = v->GetXYZ();
    double u[2];
    if (!PlanUnit(a, b, u))
        return false;
    // The horizontal unit vector to the right of the edge (the inside of a
    // clockwise ring), raised by the slope.
    const double p[3] = {b[0] + u[1], b[1] - u[0], b[2] + std::tan(v->GetAngle())};
    double plane[4];
    if (!CALC_PLANE_EQUATION(a, b, p, plane))
        return false;
    v->SetPlane(plane);
    return true;
}

bool G3RoofGenerator::ThreePlanePoint(const double* p1, const double* p2, const double* p3, double* out)
{
    const double d = Det3(p1, p2, p3);
    if (std::fabs(d) < tessaly::roof::kPlaneDeterminant)
        return false;
    // Cramer's rule: each column in turn replaced by the offsets d.
    const double cx[3][3] = {{p1[3], p1[1], p1[2]}, {p2[3], p2[1], p2[2]}, {p3[3], p3[1], p3[2]}};
    const double cy[3][3] = {{p1[0], p1[3], p1[2]}, {p2[0], p2[3], p2[2]}, {p3[0], p3[3], p3[2]}};
    const double cz[3][3] = {{p1[0], p1[1], p1[3]}, {p2[0], p2[1], p2[3]}, {p3[0], p3[1], p3[3]}};
    out[0] = -Det3(cx[0], cx[1], cx[2]) / d;
    out[1] = -Det3(cy[0], cy[1], cy[2]) / d;
    out[2] = -Det3(cz[0], cz[1], cz[2]) / d;
    return std::isfinite(out[0]) && std::isfinite(out[1]) && std::isfinite(out[2]);
}

double G3RoofGenerator::Height(const G3RoofVertex* a, const G3RoofVertex* b, const G3RoofVertex* c)
{
    double p[3];
    if (!ThreePlanePoint(a->GetPlane(), b->GetPlane(), c->GetPlane(), p) || std::fabs(p[2]) >= tessaly::roof::kFarLimit)
        return tessaly::roof::kFarValue;
    return p[2];
}

bool G3RoofGenerator::SegmentsCross(const double* a, const double* b, const double* c, const double* d)
{
    if (PtOnSegment(c, a, b) || PtOnSegment(d, a, b) || PtOnSegment(a, c, d) || PtOnSegment(b, c, d))
        return true;
    const double abx = b[0] - a[0], aby = b[1] - a[1], cdx = d[0] - c[0], cdy = d[1] - c[1];
    const double det = Cross2(abx, aby, cdx, cdy);
    // Parallel when the sine of the angle between the segments is below
    // the angle tolerance.
    if (std::fabs(det) <= kAngleTolerance * std::hypot(abx, aby) * std::hypot(cdx, cdy))
        return false;
    const double t = Cross2(c[0] - a[0], c[1] - a[1], cdx, cdy) / det;
    const double s = Cross2(c[0] - a[0], c[1] - a[1], abx, aby) / det;
    const double lo = kAngleTolerance, hi = 1 - kAngleTolerance;
    return t > lo && t < hi && s > lo && s < hi;
}

bool G3RoofGenerator::RightOrBack(const double* a, const double* b, const double* c, const double* d)
{
    double u[2], w[2];
    if (!PlanUnit(a, b, u) || !PlanUnit(c, d, w))
        return false;
    const double cross = Cross2(u[0], u[1], w[0], w[1]);
    if (std::fabs(cross) < kAngleTolerance)
        return u[0] * w[0] + u[1] * w[1] < 0;
    return cross < 0;
}

bool G3RoofGenerator::RingCrossesItself(G3RoofVertex* ring)
{
    std::vector<G3RoofVertex*> edges;
    if (!ring)
        return false;
    G3RoofVertex* v = ring;
    do {
        edges.push_back(v);
        v = v->GetNext();
    } while (v != ring);
    auto low = [](const G3RoofVertex* e) { return std::min(e->GetXYZ()[0], e->GetPrevious()->GetXYZ()[0]); };
    auto high = [](const G3RoofVertex* e) { return std::max(e->GetXYZ()[0], e->GetPrevious()->GetXYZ()[0]); };
    std::vector<std::size_t> order(edges.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t i, std::size_t j) { return low(edges[i]) < low(edges[j]); });
    // Sweep along x: an edge meets only the edges that start before it ends.
    for (std::size_t i = 0; i < order.size(); ++i) {
        G3RoofVertex* e = edges[order[i]];
        const double end = high(e) + kLengthTolerance;
        for (std::size_t j = i + 1; j < order.size() && low(edges[order[j]]) <= end; ++j) {
            G3RoofVertex* f = edges[order[j]];
            if (f == e->GetNext() || f == e->GetPrevious())
                continue;
            if (SegmentsCross(e->GetPrevious()->GetXYZ(), e->GetXYZ(), f->GetPrevious()->GetXYZ(), f->GetXYZ()))
                return true;
        }
    }
    return false;
}

namespace {
// The line of the edge a-b moved sideways by shift (positive: to the right).
struct ShiftedLine {
    double point[2];
    double dir[2];
};

bool Shift(const double* a, const double* b, double shift, ShiftedLine& line)
{
    if (!PlanUnit(a, b, line.dir))
        return false;
    line.point[0] = a[0] + shift * line.dir[1];
    line.point[1] = a[1] - shift * line.dir[0];
    return true;
}

bool Meet(const ShiftedLine& l1, const ShiftedLine& l2, double* out)
{
    const double det = Cross2(l1.dir[0], l1.dir[1], l2.dir[0], l2.dir[1]);
    if (std::fabs(det) < kAngleTolerance)
        return false;
    const double t = Cross2(l2.point[0] - l1.point[0], l2.point[1] - l1.point[1], l2.dir[0], l2.dir[1]) / det;
    out[0] = l1.point[0] + t * l1.dir[0];
    out[1] = l1.point[1] + t * l1.dir[1];
    return true;
}
} // namespace

bool G3RoofGenerator::Offset(G3RoofVertex* ring, double angle, double distance, G3RoofVertex*& out)
{
    out = nullptr;
    if (!ring)
        return false;
    // Outwards is to the left of a clockwise ring.
    double shift = -distance, rise = -distance * std::tan(angle);
    if (std::fabs(angle) <= kAngleTolerance) {
        shift = 0;
        rise = distance;
    } else if (angle > tessaly::roof::kVerticalAngle) {
        rise = 0;
    }
    G3RoofVertex* v = ring;
    do {
        ShiftedLine arriving, leaving;
        double p[3];
        if (!Shift(v->GetPrevious()->GetXYZ(), v->GetXYZ(), shift, arriving) ||
            !Shift(v->GetXYZ(), v->GetNext()->GetXYZ(), shift, leaving) || !Meet(arriving, leaving, p)) {
            G3RoofVertex::DeleteRing(out);
            out = nullptr;
            return false;
        }
        p[2] = v->GetZ() + rise;
        auto* corner = new G3RoofVertex;
        corner->SetXYZ(p);
        corner->SetAngle(v->GetAngle());
        corner->SetSourceIndex(v->GetSourceIndex());
        out = G3RoofVertex::Append(out, corner);
        v->SetUpper(corner);
        v = v->GetNext();
    } while (v != ring);
    return true;
}

G3RoofVertex* G3RoofGenerator::Slice(G3RoofVertex* ring, double z, bool link)
{
    G3RoofVertex* slice = nullptr;
    if (!ring)
        return slice;
    const double horizontal[4] = {0, 0, 1, -z};
    G3RoofVertex* v = ring;
    do {
        v->SetUpper(nullptr);
        double p[3];
        if (ThreePlanePoint(v->GetPlane(), v->GetNext()->GetPlane(), horizontal, p)) {
            p[2] = z;
            auto* corner = new G3RoofVertex;
            corner->SetXYZ(p);
            corner->TakeEdgeOf(v);
            slice = G3RoofVertex::Append(slice, corner);
            if (link)
                v->SetUpper(corner);
        }
        v = v->GetNext();
    } while (v != ring);
    return slice;
}

namespace tessaly::roof {

double PlanAngle(const double* from, const double* to)
{
    return std::atan2(to[1] - from[1], to[0] - from[0]);
}

std::vector<int> ClusterPoints(const std::vector<const double*>& points, double tolerance)
{
    const std::size_t n = points.size();
    std::vector<std::size_t> order(n), parent(n);
    std::iota(order.begin(), order.end(), 0);
    std::iota(parent.begin(), parent.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t i, std::size_t j) { return points[i][0] < points[j][0]; });
    auto root = [&](std::size_t i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n && points[order[b]][0] - points[order[a]][0] < tolerance; ++b)
            if (G3Point::Equals(points[order[a]], points[order[b]], tolerance)) {
                const std::size_t ra = root(order[a]), rb = root(order[b]);
                parent[std::max(ra, rb)] = std::min(ra, rb);
            }
    std::vector<int> id(n, -1), number(n, -1);
    int next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t r = root(i);
        if (number[r] < 0)
            number[r] = next++;
        id[i] = number[r];
    }
    return id;
}

std::vector<int> PairAtPoint(const std::vector<double>& backAngles, const std::vector<double>& leaving,
                             bool insideRight)
{
    struct Candidate {
        double turn;
        std::size_t in, out;
    };
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < backAngles.size(); ++i)
        for (std::size_t j = 0; j < leaving.size(); ++j) {
            double turn = insideRight ? leaving[j] - backAngles[i] : backAngles[i] - leaving[j];
            turn = std::fmod(turn, kTwoPi);
            if (turn < 0)
                turn += kTwoPi;
            if (turn < kAngleTolerance || turn > kTwoPi - kAngleTolerance)
                turn = 0;
            candidates.push_back({turn, i, j});
        }
    // The smallest turns first; ties in input order.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.turn < b.turn; });
    std::vector<int> pair(backAngles.size(), -1);
    std::vector<bool> taken(leaving.size(), false);
    for (const Candidate& c : candidates)
        if (pair[c.in] < 0 && !taken[c.out]) {
            pair[c.in] = static_cast<int>(c.out);
            taken[c.out] = true;
        }
    return pair;
}

} // namespace tessaly::roof
