// Planes and planar geometry: plane frames, loop planes and areas,
// projection axes, angles, convexity and intersections.

#include "tessaly/math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

using Points = std::vector<std::vector<double>>;

std::vector<const double*> Ptrs(const Points& pts)
{
    std::vector<const double*> out;
    for (const auto& p : pts)
        out.push_back(p.data());
    return out;
}

double Eval(const double* plane, const double* p)
{
    return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3];
}

// A random orthonormal frame (u, v, n = u x v) and origin.
struct Frame {
    double o[3], u[3], v[3], n[3];
    std::vector<double> At(double a, double b) const
    {
        return {o[0] + a * u[0] + b * v[0], o[1] + a * u[1] + b * v[1], o[2] + a * u[2] + b * v[2]};
    }
};

Frame RandomFrame(std::mt19937& rng)
{
    std::uniform_real_distribution<double> d(-1.0, 1.0);
    Frame f;
    double m[4][4];
    M4RotationMatrix(3.0 * d(rng), d(rng), d(rng), d(rng) + 0.1, m);
    for (int k = 0; k < 3; ++k) {
        f.u[k] = m[0][k];
        f.v[k] = m[1][k];
        f.n[k] = m[2][k];
        f.o[k] = 10.0 * d(rng);
    }
    return f;
}

Points Polygon2D(const Frame& f, const std::vector<std::pair<double, double>>& uv)
{
    Points pts;
    for (const auto& q : uv)
        pts.push_back(f.At(q.first, q.second));
    return pts;
}

} // namespace

TEST(PlaneFrame, OriginLiesOnThePlane)
{
    double m[4][4];
    ASSERT_TRUE(M4RotationMatrix(std::vector<double>{0, 0, 1, -5}.data(), m));
    EXPECT_DOUBLE_EQ(m[3][2], 5.0); // z - 5 = 0 is the plane z = 5
    ASSERT_TRUE(M4RotationMatrix(std::vector<double>{0, 0, 2, -10}.data(), m));
    EXPECT_DOUBLE_EQ(m[3][2], 5.0); // coefficients are normalized first
    // Downward normal: the fallback axis still turns +z onto it.
    ASSERT_TRUE(M4RotationMatrix(std::vector<double>{0, 0, -1, 3}.data(), m));
    EXPECT_NEAR(m[2][2], -1.0, 1e-15);
    EXPECT_DOUBLE_EQ(m[3][2], 3.0);
    EXPECT_FALSE(M4RotationMatrix(std::vector<double>{0, 0, 1e-7, 1}.data(), m));
    EXPECT_TRUE(M4IsIdentity(m));
}

TEST(PlaneFrame, RandomPlanesGiveOrthonormalFramesOnThePlane)
{
    std::mt19937 rng(21);
    std::uniform_real_distribution<double> d(-5.0, 5.0);
    for (int n = 0; n < 200; ++n) {
        const double plane[4] = {d(rng), d(rng), d(rng), d(rng)};
        const double len = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        double m[4][4];
        ASSERT_TRUE(M4RotationMatrix(plane, m));
        for (int r = 0; r < 3; ++r)
            for (int s = 0; s < 3; ++s)
                EXPECT_NEAR(m[r][0] * m[s][0] + m[r][1] * m[s][1] + m[r][2] * m[s][2], r == s ? 1.0 : 0.0, 1e-12);
        double out[4];
        const double up[4] = {0, 0, 1, 0};
        V4MulPointByMatrix(up, m, out);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out[k], plane[k] / len, 1e-12);
        // Local (x, y, h) lies at signed height h above the plane.
        const double local[4] = {d(rng), d(rng), d(rng), 1};
        V4MulPointByMatrix(local, m, out);
        EXPECT_NEAR(Eval(plane, out) / len, local[2], 1e-12);
    }
}

TEST(PlaneEquation, SquareReverseAndCollinear)
{
    const Points square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    const Points reverse = {{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}};
    double plane[4];
    ASSERT_TRUE(G3Math::FormPlaneEquation(Ptrs(square).data(), 4, plane));
    EXPECT_EQ(std::vector<double>(plane, plane + 4), (std::vector<double>{0, 0, 1, 0}));
    ASSERT_TRUE(G3Math::FormPlaneEquation(Ptrs(reverse).data(), 4, plane));
    EXPECT_EQ(std::vector<double>(plane, plane + 4), (std::vector<double>{0, 0, -1, 0}));
    const Points line = {{0, 0, 0}, {1, 1, 1}, {3, 3, 3}};
    EXPECT_FALSE(G3Math::FormPlaneEquation(Ptrs(line).data(), 3, plane));
    EXPECT_EQ(std::vector<double>(plane, plane + 4), (std::vector<double>{0, 0, 0, 0}));

    const double p[3] = {1, 2, 3};
    EXPECT_FALSE(CALC_PLANE_EQUATION(p, p, p, plane));
    EXPECT_EQ(std::vector<double>(plane, plane + 4), (std::vector<double>{0, 0, 0, 0}));
    const double a[3] = {0, 0, 2}, b[3] = {1, 0, 2}, c[3] = {0, 1, 2}, tiny[3] = {0, 1e-7, 2};
    ASSERT_TRUE(CALC_PLANE_EQUATION(a, b, c, plane));
    EXPECT_EQ(std::vector<double>(plane, plane + 4), (std::vector<double>{0, 0, 1, -2}));
    EXPECT_FALSE(CALC_PLANE_EQUATION(a, b, tiny, plane)); // |n| = 1e-7
    double normal[3];
    EXPECT_TRUE(G3Math::CalculateNormal(a, b, tiny, normal));
    EXPECT_DOUBLE_EQ(normal[2], 1.0);
    EXPECT_FALSE(G3Math::CalculateNormal(a, a, b, normal));
}

TEST(PlaneEquation, RegularPolygonsInRandomPlanes)
{
    std::mt19937 rng(4);
    for (int sides = 3; sides <= 12; ++sides) {
        const Frame f = RandomFrame(rng);
        std::vector<std::pair<double, double>> uv;
        for (int k = 0; k < sides; ++k)
            uv.push_back({2.0 * std::cos(2 * kPi * k / sides), 2.0 * std::sin(2 * kPi * k / sides)});
        const Points pts = Polygon2D(f, uv);
        const auto ptrs = Ptrs(pts);
        double plane[4], areas[3];
        ASSERT_TRUE(G3Math::FormPlaneEquation(ptrs.data(), sides, plane));
        const double area = G3Math::CalcSquare(ptrs.data(), sides, areas);
        EXPECT_NEAR(area, 0.5 * sides * 4.0 * std::sin(2 * kPi / sides), 1e-12);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(plane[k], f.n[k], 1e-12);
            EXPECT_NEAR(areas[k], area * f.n[k], 1e-12);
        }
        for (const double* p : ptrs)
            EXPECT_NEAR(Eval(plane, p), 0.0, 1e-12);
    }
}

TEST(PlaneEquation, TolerantPlaneOfLoopsWithDegenerateCorners)
{
    std::mt19937 rng(8);
    const Frame f = RandomFrame(rng);
    // Concave L with two straight corners: the plane must still hold every point.
    const Points ell = Polygon2D(f, {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}, {0, 1}});
    double plane[4];
    int i = -1, j = -1;
    ASSERT_TRUE(G3Math::FormMaxPlaneCoo(Ptrs(ell).data(), 8, &i, &j, plane));
    for (const auto& p : ell)
        EXPECT_NEAR(Eval(plane, p.data()), 0.0, 1e-12);
    EXPECT_NEAR(std::fabs(plane[0] * f.n[0] + plane[1] * f.n[1] + plane[2] * f.n[2]), 1.0, 1e-12);
    int ei, ej;
    G3Math::GetMaxCoo(plane, &ei, &ej);
    EXPECT_EQ(i, ei);
    EXPECT_EQ(j, ej);

    // Every corner of a triangle with doubled vertices is degenerate.
    const Points doubled = Polygon2D(f, {{0, 0}, {0, 0}, {3, 0}, {3, 0}, {0, 2}, {0, 2}});
    ASSERT_TRUE(G3Math::FormMaxPlaneCoo(Ptrs(doubled).data(), 6, &i, &j, plane));
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(plane[k], f.n[k], 1e-12); // FormMaxPlane follows the loop's turn
    for (const auto& p : doubled)
        EXPECT_NEAR(Eval(plane, p.data()), 0.0, 1e-12);

    const Points flatLine = {{0, 0, 5}, {1, 1, 5}, {3, 3, 5}};
    EXPECT_FALSE(G3Math::FormMaxPlaneCoo(Ptrs(flatLine).data(), 3, &i, &j, plane));
    EXPECT_EQ(std::vector<double>(plane, plane + 4), (std::vector<double>{0, 0, 1, -5}));
    EXPECT_EQ(i * 10 + j, 1);
    const Points xLine = {{0, 1, 2}, {1, 1, 2}, {3, 1, 2}}; // y and z extents tie: z wins
    EXPECT_FALSE(G3Math::FormMaxPlaneCoo(Ptrs(xLine).data(), 3, &i, &j, plane));
    EXPECT_EQ(std::vector<double>(plane, plane + 4), (std::vector<double>{0, 0, 1, -2}));
    const Points line = {{1, 2, 3}, {2, 3, 4}, {4, 5, 6}};
    EXPECT_FALSE(G3Math::FormMaxPlaneCoo(Ptrs(line).data(), 3, &i, &j, plane));
    EXPECT_NEAR(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2], 1.0, 1e-12);
    for (const auto& p : line)
        EXPECT_NEAR(Eval(plane, p.data()), 0.0, 1e-12);
    EXPECT_FALSE(G3Math::FormMaxPlaneCoo(Ptrs(line).data(), 1, &i, &j, plane));
    EXPECT_EQ(std::vector<double>(plane, plane + 4), (std::vector<double>{0, 0, 1, -3}));
    EXPECT_FALSE(G3Math::FormMaxPlaneCoo(nullptr, 0, &i, &j, plane));
    EXPECT_EQ(std::vector<double>(plane, plane + 4), (std::vector<double>{0, 0, 1, 0}));
    EXPECT_EQ(i * 10 + j, 1);
}

TEST(PlaneEquation, WidestTrianglePlaneFollowsTheLoop)
{
    std::mt19937 rng(12);
    const Frame f = RandomFrame(rng);
    Points loop = Polygon2D(f, {{0, 0}, {4, 0}, {4.5, 2}, {4, 3}, {1, 3}, {0, 1}});
    for (int turn = 0; turn < 2; ++turn) {
        double plane[4];
        ASSERT_TRUE(G3Math::FormMaxPlane(Ptrs(loop).data(), 6, plane));
        const double sign = turn == 0 ? 1.0 : -1.0;
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(plane[k], sign * f.n[k], 1e-12);
        for (const auto& p : loop)
            EXPECT_NEAR(Eval(plane, p.data()), 0.0, 1e-12);
        std::reverse(loop.begin(), loop.end());
    }
    const Points line = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    double plane[4];
    EXPECT_FALSE(G3Math::FormMaxPlane(Ptrs(line).data(), 3, plane));
}

TEST(PlaneEquation, InvalidLoopsGiveNoPlane)
{
    const double p[3] = {0, 0, 0};
    const double* withNull[3] = {p, nullptr, p};
    double plane[4] = {9, 9, 9, 9}, areas[3];
    EXPECT_FALSE(G3Math::FormPlaneEquation(withNull, 3, plane));
    EXPECT_FALSE(G3Math::FormPlaneEquation(nullptr, 5, plane));
    EXPECT_FALSE(G3Math::FormMaxPlane(withNull, 3, plane));
    EXPECT_EQ(G3Math::CalcSquare(withNull, 3, areas), 0.0);
    EXPECT_EQ(G3Math::ConvexTest(withNull, 3, 0, 1), 0);
}

TEST(PlanarMath, ProjectionAxesAndAreaSigns)
{
    const double normals[][3] = {{1, 1, 1}, {0, 1, 1}, {0, 0, 1}, {-3, 1, 2}, {0, -2, 1}};
    const int expected[][2] = {{1, 2}, {0, 2}, {0, 1}, {1, 2}, {0, 2}};
    for (int k = 0; k < 5; ++k) {
        int i, j;
        G3Math::GetMaxCoo(normals[k], &i, &j);
        EXPECT_EQ(i, expected[k][0]);
        EXPECT_EQ(j, expected[k][1]);
    }
    const double p0[3] = {0, 0, 0}, p1[3] = {1, 0, 0};
    for (double h : {0.9e-12, -0.9e-12, 1.1e-12, -1.1e-12}) {
        const double p2[3] = {0.5, h, 0};
        EXPECT_EQ(G3Math::IsCollinear(p0, p1, p2, 0, 1), std::fabs(h) < 1e-12);
        EXPECT_EQ(G3Math::GetAreaSign(p0, p1, p2, 0, 1), std::fabs(h) < 1e-12 ? 0 : (h > 0 ? 1 : -1));
    }
    // The (x, z) projection of a triangle standing in the xz plane.
    const double q[3] = {0, 5, 2};
    EXPECT_DOUBLE_EQ(G3Math::GetArea2(p0, p1, q, 0, 2), 2.0);
    EXPECT_DOUBLE_EQ(G3Math::GetArea2(p0, p1, q, 2, 0), -2.0);
    EXPECT_EQ(G3Math::GetArea2(p0, p1, q, 0, 3), 0.0);
    // The six-value CalcSquare is twice the area of (p2, p1, p3) turned at p2.
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> d(-4, 4);
    for (int n = 0; n < 20; ++n) {
        const double a[3] = {d(rng), d(rng), 0}, b[3] = {d(rng), d(rng), 0}, c[3] = {d(rng), d(rng), 0};
        EXPECT_NEAR(G3Math::CalcSquare(a[0], a[1], b[0], b[1], c[0], c[1]), G3Math::GetArea2(b, a, c, 0, 1), 1e-12);
    }
}

TEST(PlanarMath, AnglesAreCounterClockwiseFromTheReference)
{
    const double c[3] = {1, 1, 0};
    const double up[3] = {1, 2, 0}, downRight[3] = {2, 0, 0};
    EXPECT_NEAR(G3Math::CalcAngle(c, up, 0, 0, 1), kPi / 2, 1e-15);
    EXPECT_NEAR(G3Math::CalcAngle(c, up, kPi, 0, 1), 3 * kPi / 2, 1e-15);
    EXPECT_NEAR(G3Math::CalcAngle(c, downRight, kPi / 4, 0, 1), 3 * kPi / 2, 1e-15);
    EXPECT_NEAR(G3Math::CalcAngle(c, downRight, 0, 1, 0), 3 * kPi / 4, 1e-15); // axes swapped
    // A reference a hair past the direction wraps to just below 2*pi or to
    // 0, never onto 2*pi itself.
    const double p[3] = {1 + std::cos(0.1), 1 + std::sin(0.1), 0};
    const double theta = std::atan2(p[1] - c[1], p[0] - c[0]);
    const double a = G3Math::CalcAngle(c, p, std::nextafter(theta, 10.0), 0, 1);
    EXPECT_GE(a, 0.0);
    EXPECT_LT(a, 2 * kPi);
}

TEST(PlanarMath, ConvexTestClassifiesLoops)
{
    struct Case {
        Points pts;
        int expected;
    } cases[] = {
        {{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, 1},
        {{{0, 2, 0}, {2, 2, 0}, {2, 0, 0}, {0, 0, 0}}, 1},
        {{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, 1},
        {{{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}}, 2},
        {{{0, 0, 0}, {2, 0, 0}, {3, 0, 0}, {2, 0, 0}, {2, 2, 0}}, 2},
        {{{0, 0, 0}, {1, 1, 0}, {3, 3, 0}}, 0},
        {{{0, 0, 0}, {1, 0, 0}}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(G3Math::ConvexTest(Ptrs(c.pts).data(), static_cast<int>(c.pts.size()), 0, 1), c.expected);
    Points star;
    for (int k = 0; k < 5; ++k)
        star.push_back({0, std::cos(4 * kPi * k / 5), std::sin(4 * kPi * k / 5)});
    EXPECT_EQ(G3Math::ConvexTest(Ptrs(star).data(), 5, 1, 2), 2);
    EXPECT_EQ(G3Math::ConvexTest(Ptrs(cases[0].pts).data(), 4, 0, 5), 0);
}

TEST(PlanarMath, PointInTriangleAndLineIntersection)
{
    const double a[3] = {0, 0, 0}, b[3] = {4, 0, 0}, c[3] = {0, 4, 0};
    const double probes[][3] = {{1, 1, 9}, {2, 0, 0}, {0, 0, 0}, {3, 3, 0}, {5, 0, 0}};
    const int expected[] = {1, 2, 2, 0, 0};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(G3Math::PointInTriangle(probes[k], a, b, c, 0, 1), expected[k]);
        EXPECT_EQ(G3Math::PointInTriangle(probes[k], a, c, b, 0, 1), expected[k]);
    }
    EXPECT_EQ(G3Math::PointInTriangle(probes[0], a, b, b, 0, 1), 0);

    const double p1[3] = {0, 0, 0}, p2[3] = {2, 2, 4}, p3[3] = {0, 2, 0}, p4[3] = {2, 0, 0};
    double out[3], t1, t2;
    EXPECT_EQ(G3Math::FindLineIntersection(p1, p2, p3, p4, 0, 1, out, &t1, &t2), 1);
    EXPECT_DOUBLE_EQ(t1, 0.5);
    EXPECT_DOUBLE_EQ(t2, 0.5);
    EXPECT_EQ(std::vector<double>(out, out + 3), (std::vector<double>{1, 1, 2}));
    const double q3[3] = {3, 5, 0}, q4[3] = {5, 3, 0};
    EXPECT_EQ(G3Math::FindLineIntersection(p1, p2, q3, q4, 0, 1, out, &t1, &t2), 2);
    EXPECT_DOUBLE_EQ(out[0], 4.0);
    EXPECT_DOUBLE_EQ(t1, 2.0);
    const double r3[3] = {1, 0, 0}, r4[3] = {3, 2, 0};
    EXPECT_EQ(G3Math::FindLineIntersection(p1, p2, r3, r4, 0, 1, out, &t1, &t2), 0);
}

TEST(PlanarMath, PointOnSegment)
{
    const double a[3] = {0, 0, 0}, b[3] = {2, 0, 0};
    const struct {
        double p[3];
        bool on;
    } cases[] = {{{1, 0, 0}, true},        {{1, 0, 1e-7}, true}, {{1, 2e-6, 0}, false},
                 {{2 + 5e-7, 0, 0}, true}, {{3, 0, 0}, false},   {{-1e-5, 0, 0}, false}};
    for (const auto& c : cases)
        EXPECT_EQ(PtOnSegment(c.p, a, b), c.on);
    EXPECT_TRUE(PtOnSegment(a, a, a));
    EXPECT_TRUE(PtOnSegment(cases[2].p, a, b, 1e-5));
    EXPECT_FALSE(PtOnSegment(nullptr, a, b));
}
