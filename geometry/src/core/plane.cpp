// Plane equations: the plane of three points, the frame of a plane, and the
// planes, areas and normals of point loops.

#include "tessaly/math.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/loop_points.h"
#include "core/tolerances.h"

using tessaly::kAreaTolerance;
using tessaly::kLengthTolerance;

namespace {

double Dot3(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double Length3(const double* a)
{
    const double squares = Dot3(a, a);
    if (std::isfinite(squares) && squares > std::numeric_limits<double>::min())
        return std::sqrt(squares);
    // The squares overflowed (coordinates beyond 1e154) or fell below the
    // normal range: scale by the largest component first.
    const double big = std::max({std::fabs(a[0]), std::fabs(a[1]), std::fabs(a[2])});
    if (!(big > 0) || !std::isfinite(big))
        return big == 0 ? 0.0 : big;
    const double u[3] = {a[0] / big, a[1] / big, a[2] / big};
    return big * std::sqrt(Dot3(u, u));
}

void SetPlane(double* plane, double a, double b, double c, double d)
{
    plane[0] = a;
    plane[1] = b;
    plane[2] = c;
    plane[3] = d;
}

// (p1 - p0) x (p2 - p0)
void TriangleCross(const double* p0, const double* p1, const double* p2, double* n)
{
    const double u[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const double v[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    V3OrtoVector(u, v, n);
}

void Centroid(const double* const* points, int count, double* c)
{
    c[0] = c[1] = c[2] = 0.0;
    for (int k = 0; k < count; ++k)
        for (int a = 0; a < 3; ++a)
            c[a] += points[k][a];
    for (int a = 0; a < 3; ++a)
        c[a] /= count;
}

// Extents of the points and the indices of the points with the smallest and
// largest coordinate on the axis of largest extent (ties to x, then y).
int ExtremePoints(const double* const* points, int count, double* extent, int* lo, int* hi)
{
    double mn[3], mx[3];
    int imn[3] = {0, 0, 0}, imx[3] = {0, 0, 0};
    for (int a = 0; a < 3; ++a)
        mn[a] = mx[a] = points[0][a];
    for (int k = 1; k < count; ++k) {
        for (int a = 0; a < 3; ++a) {
            if (points[k][a] < mn[a]) {
                mn[a] = points[k][a];
                imn[a] = k;
            }
            if (points[k][a] > mx[a]) {
                mx[a] = points[k][a];
                imx[a] = k;
            }
        }
    }
    int axis = 0;
    for (int a = 0; a < 3; ++a) {
        extent[a] = mx[a] - mn[a];
        if (extent[a] > extent[axis])
            axis = a;
    }
    *lo = imn[axis];
    *hi = imx[axis];
    return axis;
}

// Plane through collinear (or coincident) points: it contains their line and
// its normal is the unit vector nearest the axis of the smallest extent
// (z, then y, then x on ties); coincident points give z = const.
void LinePlane(const double* const* points, int count, double* plane)
{
    double c[3];
    Centroid(points, count, c);
    double extent[3];
    int lo = 0, hi = 0;
    const int axis = ExtremePoints(points, count, extent, &lo, &hi);
    double n[3] = {0.0, 0.0, 1.0};
    if (extent[axis] >= kLengthTolerance) {
        double d[3] = {points[hi][0] - points[lo][0], points[hi][1] - points[lo][1], points[hi][2] - points[lo][2]};
        const double len = Length3(d);
        int e = 2;
        for (int a = 1; a >= 0; --a)
            if (extent[a] < extent[e])
                e = a;
        double cand[3] = {0.0, 0.0, 0.0};
        cand[e] = 1.0;
        const double along = d[e] / (len * len);
        for (int a = 0; a < 3; ++a)
            cand[a] -= along * d[a];
        const double clen = Length3(cand);
        if (clen > kLengthTolerance)
            for (int a = 0; a < 3; ++a)
                n[a] = cand[a] / clen;
    }
    SetPlane(plane, n[0], n[1], n[2], -Dot3(n, c));
}

} // namespace

bool CALC_PLANE_EQUATION(const double* p0, const double* p1, const double* p2, double* plane)
{
    if (!plane)
        return false;
    SetPlane(plane, 0.0, 0.0, 0.0, 0.0);
    if (!p0 || !p1 || !p2)
        return false;
    double n[3];
    TriangleCross(p0, p1, p2, n);
    const double len = Length3(n);
    if (len < kLengthTolerance)
        return false;
    for (int a = 0; a < 3; ++a)
        n[a] /= len;
    SetPlane(plane, n[0], n[1], n[2], -Dot3(n, p0));
    return true;
}

bool M4RotationMatrix(const double* plane, double m[4][4])
{
    if (!m)
        return false;
    M4Identity(m);
    if (!plane)
        return false;
    const double len = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    if (len < kLengthTolerance)
        return false;
    const double n[3] = {plane[0] / len, plane[1] / len, plane[2] / len};
    const double d = plane[3] / len;
    // The rotation by acos(n.z) about n x (0, 0, 1), in the layout of the
    // axis-angle builder, carries row 2 (the local z axis) onto n. Near the
    // poles the axis vanishes; turning about x then gives +z or -z.
    const double angle = std::acos(std::clamp(n[2], -1.0, 1.0));
    const double axis[3] = {n[1], -n[0], 0.0};
    if (Length3(axis) > kLengthTolerance)
        M4RotationMatrix(angle, axis[0], axis[1], axis[2], m);
    else
        M4RotationMatrix(angle, 1.0, 0.0, 0.0, m);
    // The origin of the frame is the foot of the coordinate origin on the
    // plane: n . (-d n) + d = 0.
    for (int a = 0; a < 3; ++a)
        m[3][a] = -d * n[a];
    m[3][3] = 1.0;
    return true;
}

double G3Math::CalcSquare(const double* const* points, int count, double* areas)
{
    double s[3] = {0.0, 0.0, 0.0};
    if (ValidLoop(points, count, 3)) {
        // Fan of triangles from point 0: the vector area of the loop.
        for (int k = 1; k + 1 < count; ++k) {
            double n[3];
            TriangleCross(points[0], points[k], points[k + 1], n);
            for (int a = 0; a < 3; ++a)
                s[a] += 0.5 * n[a];
        }
    }
    if (areas)
        for (int a = 0; a < 3; ++a)
            areas[a] = s[a];
    return Length3(s);
}

bool G3Math::FormPlaneEquation(const double* const* points, int count, double* plane)
{
    if (!plane)
        return false;
    SetPlane(plane, 0.0, 0.0, 0.0, 0.0);
    if (!ValidLoop(points, count, 3))
        return false;
    const double* p0 = points[0];
    double n[3] = {0.0, 0.0, 0.0};
    for (int k = 2; k <= count; ++k) {
        const double* before = points[k - 2];
        const double* mid = points[k - 1];
        const double* after = points[k % count];
        n[0] += (mid[2] - p0[2]) * (before[1] - after[1]);
        n[1] += (mid[0] - p0[0]) * (before[2] - after[2]);
        n[2] += (mid[1] - p0[1]) * (before[0] - after[0]);
    }
    const double len = Length3(n);
    if (len < kAreaTolerance)
        return false;
    for (int a = 0; a < 3; ++a)
        n[a] /= len;
    double c[3];
    Centroid(points, count, c);
    SetPlane(plane, n[0], n[1], n[2], -Dot3(c, n));
    return true;
}

bool G3Math::FormMaxPlane(const double* const* points, int count, double* plane)
{
    if (!plane)
        return false;
    SetPlane(plane, 0.0, 0.0, 0.0, 0.0);
    if (!ValidLoop(points, count, 3))
        return false;
    double extent[3];
    int lo = 0, hi = 0;
    ExtremePoints(points, count, extent, &lo, &hi);
    const double* a = points[lo];
    const double* b = points[hi];
    double n[3] = {0.0, 0.0, 0.0};
    double best = -1.0;
    for (int k = 0; k < count; ++k) {
        double cand[3];
        TriangleCross(a, b, points[k], cand);
        const double len = Length3(cand);
        if (len > best) {
            best = len;
            std::copy(cand, cand + 3, n);
        }
    }
    if (best < kAreaTolerance)
        return false;
    double areas[3];
    CalcSquare(points, count, areas);
    const double sign = Dot3(n, areas) < 0.0 ? -1.0 : 1.0;
    for (int k = 0; k < 3; ++k)
        n[k] *= sign / best;
    SetPlane(plane, n[0], n[1], n[2], -Dot3(n, a));
    return true;
}

bool G3Math::FormMaxPlaneCoo(const double* const* points, int count, int* i, int* j, double* plane)
{
    if (!plane)
        return false;
    bool result = false;
    if (!ValidLoop(points, count, 1)) {
        SetPlane(plane, 0.0, 0.0, 1.0, 0.0);
    } else if (count == 1) {
        SetPlane(plane, 0.0, 0.0, 1.0, -points[0][2]);
    } else {
        double sum[4] = {0.0, 0.0, 0.0, 0.0};
        bool any = false;
        for (int k = 0; count >= 3 && k < count; ++k) {
            const double* corner[3] = {points[(k + count - 1) % count], points[k], points[(k + 1) % count]};
            double tri[4];
            if (!FormPlaneEquation(corner, 3, tri))
                continue;
            const double sign = Dot3(sum, tri) < 0.0 ? -1.0 : 1.0;
            for (int a = 0; a < 4; ++a)
                sum[a] += sign * tri[a];
            any = true;
        }
        if (any) {
            // Each aligned term only lengthens the sum, so it is at least 1.
            // D is scaled with the normal, keeping the plane on the points
            // even when some corners gave no plane.
            const double len = Length3(sum);
            SetPlane(plane, sum[0] / len, sum[1] / len, sum[2] / len, sum[3] / len);
            result = true;
        } else {
            result = FormMaxPlane(points, count, plane);
            if (!result)
                LinePlane(points, count, plane);
        }
    }
    GetMaxCoo(plane, i, j);
    return result;
}

bool G3Math::CalculateNormal(const double* p0, const double* p1, const double* p2, double* normal)
{
    if (!normal)
        return false;
    normal[0] = normal[1] = normal[2] = 0.0;
    if (!p0 || !p1 || !p2)
        return false;
    double n[3];
    TriangleCross(p0, p1, p2, n);
    const double len = Length3(n);
    if (len < kAreaTolerance)
        return false;
    for (int a = 0; a < 3; ++a)
        normal[a] = n[a] / len;
    return true;
}
