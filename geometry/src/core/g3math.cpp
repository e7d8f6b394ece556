// Planar helpers of G3Math: projection axes, signed areas, angles, convexity,
// point-in-triangle and line intersection in a projection, and the
// point-on-segment test.

#include "tessaly/math.h"

#include "core/loop_points.h"

#include "core/tolerances.h"
#include <cmath>
#include <vector>

using tessaly::kAreaTolerance;

namespace {

const double kTwoPi = 6.283185307179586476925286766559;
const double kPi = 3.141592653589793238462643383280;

bool ValidAxes(int i, int j)
{
    return i >= 0 && i < 3 && j >= 0 && j < 3;
}

// Brings an angle into [0, 2*pi). Angles already within one turn of that
// range need one step; rounding can land a step exactly on 2*pi, which is 0.
double WrapAngle(double d)
{
    if (d >= kTwoPi)
        d -= kTwoPi;
    else if (d < 0.0)
        d += kTwoPi;
    if (!(d >= 0.0 && d < kTwoPi)) {
        d = std::fmod(d, kTwoPi);
        if (d < 0.0)
            d += kTwoPi;
        if (d >= kTwoPi)
            d = 0.0;
    }
    return d;
}

} // namespace

void G3Math::GetMaxCoo(const double* normal, int* i, int* j)
{
    int a = 0, b = 1;
    if (normal) {
        const double x = std::fabs(normal[0]);
        const double y = std::fabs(normal[1]);
        const double z = std::fabs(normal[2]);
        if (x >= y && x >= z) {
            a = 1;
            b = 2;
        } else if (y >= z) {
            a = 0;
            b = 2;
        }
    }
    if (i)
        *i = a;
    if (j)
        *j = b;
}

double G3Math::GetArea2(const double* p0, const double* p1, const double* p2, int i, int j)
{
    if (!p0 || !p1 || !p2 || !ValidAxes(i, j))
        return 0.0;
    return (p1[i] - p0[i]) * (p2[j] - p0[j]) - (p2[i] - p0[i]) * (p1[j] - p0[j]);
}

int G3Math::GetAreaSign(const double* p0, const double* p1, const double* p2, int i, int j)
{
    const double area2 = GetArea2(p0, p1, p2, i, j);
    if (std::fabs(area2) < kAreaTolerance)
        return 0;
    return area2 > 0.0 ? 1 : -1;
}

bool G3Math::IsCollinear(const double* p0, const double* p1, const double* p2, int i, int j)
{
    return GetAreaSign(p0, p1, p2, i, j) == 0;
}

double G3Math::CalcSquare(double x1, double y1, double x2, double y2, double x3, double y3)
{
    return (x1 - x2) * (y3 - y2) - (y1 - y2) * (x3 - x2);
}

double G3Math::CalcSquare(double a, double b, double c, double d)
{
    return a * d - b * c;
}

double G3Math::CalcAngle(const double* c, const double* p, double ref, int a1, int a2)
{
    if (!c || !p || !ValidAxes(a1, a2))
        return 0.0;
    double theta = std::atan2(p[a2] - c[a2], p[a1] - c[a1]);
    if (theta < 0.0)
        theta += kTwoPi;
    return WrapAngle(theta - ref);
}

bool G3Math::FormEnvelope(const double* const* points, int count, GEnvelope* env)
{
    return env && env->FormEnvelope(points, count);
}

int G3Math::ConvexTest(const double* const* points, int count, int i, int j)
{
    if (!ValidAxes(i, j) || !ValidLoop(points, count, 3))
        return 0;
    struct Edge {
        double x, y;
    };
    std::vector<Edge> edges;
    edges.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const double* a = points[k];
        const double* b = points[(k + 1) % count];
        const Edge e = {b[i] - a[i], b[j] - a[j]};
        if (e.x * e.x + e.y * e.y >= kAreaTolerance)
            edges.push_back(e);
    }
    const std::size_t n = edges.size();
    if (n < 3)
        return 0;
    int sign = 0;
    bool doublesBack = false;
    double turn = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        const Edge& e1 = edges[k];
        const Edge& e2 = edges[(k + 1) % n];
        const double cross = CalcSquare(e1.x, e1.y, e2.x, e2.y);
        const double dot = e1.x * e2.x + e1.y * e2.y;
        if (std::fabs(cross) < kAreaTolerance) {
            doublesBack = doublesBack || dot < 0.0;
            continue;
        }
        const int s = cross > 0.0 ? 1 : -1;
        if (sign == 0)
            sign = s;
        else if (s != sign)
            return 2;
        turn += std::atan2(cross, dot);
    }
    if (sign == 0)
        return 0; // all points on one line
    if (doublesBack)
        return 2;
    // A simple convex loop turns once (2*pi); a star turns at least twice.
    return std::fabs(turn) < 3.0 * kPi ? 1 : 2;
}

int G3Math::PointInTriangle(const double* p, const double* a, const double* b, const double* c, int i, int j)
{
    if (!p || !a || !b || !c || !ValidAxes(i, j))
        return 0;
    const int s = GetAreaSign(a, b, c, i, j);
    if (s == 0)
        return 0;
    const int s1 = GetAreaSign(a, b, p, i, j);
    const int s2 = GetAreaSign(b, c, p, i, j);
    const int s3 = GetAreaSign(c, a, p, i, j);
    if (s1 == -s || s2 == -s || s3 == -s)
        return 0;
    return s1 == 0 || s2 == 0 || s3 == 0 ? 2 : 1;
}

int G3Math::FindLineIntersection(const double* p1, const double* p2, const double* p3, const double* p4, int i, int j,
                                 double* out, double* t1, double* t2)
{
    if (!p1 || !p2 || !p3 || !p4 || !ValidAxes(i, j))
        return 0;
    const double d1x = p2[i] - p1[i], d1y = p2[j] - p1[j];
    const double d2x = p4[i] - p3[i], d2y = p4[j] - p3[j];
    const double den = CalcSquare(d1x, d1y, d2x, d2y);
    if (std::fabs(den) < kAreaTolerance)
        return 0;
    const double wx = p3[i] - p1[i], wy = p3[j] - p1[j];
    const double u = CalcSquare(wx, wy, d2x, d2y) / den;
    const double v = CalcSquare(wx, wy, d1x, d1y) / den;
    if (out)
        for (int a = 0; a < 3; ++a)
            out[a] = p1[a] + u * (p2[a] - p1[a]);
    if (t1)
        *t1 = u;
    if (t2)
        *t2 = v;
    return u >= 0.0 && u <= 1.0 && v >= 0.0 && v <= 1.0 ? 1 : 2;
}

bool PtOnSegment(const double* p, const double* a, const double* b, double tol)
{
    if (!p || !a || !b)
        return false;
    const double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double w[3] = {p[0] - a[0], p[1] - a[1], p[2] - a[2]};
    const double dd = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    double t = 0.0;
    if (dd > 0.0) {
        t = (w[0] * d[0] + w[1] * d[1] + w[2] * d[2]) / dd;
        t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    }
    double dist2 = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double e = w[k] - t * d[k];
        dist2 += e * e;
    }
    return std::sqrt(dist2) <= tol;
}
