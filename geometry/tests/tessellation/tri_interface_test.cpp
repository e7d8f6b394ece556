// The triangulation front end: points of a plane in space in, a surface of
// triangles out, every constraint present as edges.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tessaly/surface.h"
#include "tessaly/tessellation.h"
#include "topology_validator.h"

namespace {

struct Point {
    double p[3];
};

double Dot(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Sum of the triangles' areas in space.
double Area(G3Surface* s)
{
    double area = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        area += s->GetFacet(k)->GetArea();
    return area;
}

G3Vertex* FindVertex(G3Surface* s, const double* p)
{
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        const double* q = s->GetVertex(k)->GetXYZ();
        if (std::fabs(p[0] - q[0]) < 1e-9 && std::fabs(p[1] - q[1]) < 1e-9 && std::fabs(p[2] - q[2]) < 1e-9)
            return s->GetVertex(k);
    }
    return nullptr;
}

bool HasEdge(G3Surface* s, const double* a, const double* b)
{
    G3Vertex* va = FindVertex(s, a);
    G3Vertex* vb = FindVertex(s, b);
    if (!va || !vb)
        return false;
    GArrayCollection joining;
    va->GetEdges(vb, &joining);
    return joining.size() > 0;
}

// A tilted plane: orthonormal axes from two rotations, and an offset.
struct Frame {
    double u[3], v[3], n[3], origin[3];
    Frame()
    {
        const double a = 0.7, b = -0.4;
        const double u0[3] = {std::cos(a), std::sin(a), 0};
        const double v0[3] = {-std::sin(a), std::cos(a), 0};
        // Tilt about the u axis by b.
        for (int k = 0; k < 3; ++k) {
            u[k] = u0[k];
            v[k] = v0[k] * std::cos(b);
        }
        v[2] = std::sin(b);
        n[0] = u[1] * v[2] - u[2] * v[1];
        n[1] = u[2] * v[0] - u[0] * v[2];
        n[2] = u[0] * v[1] - u[1] * v[0];
        origin[0] = 3;
        origin[1] = -2;
        origin[2] = 5;
    }
    Point At(double s, double t) const
    {
        Point q;
        for (int k = 0; k < 3; ++k)
            q.p[k] = origin[k] + s * u[k] + t * v[k];
        return q;
    }
};

} // namespace

TEST(TriInterface, RoundTripThroughATiltedPlane)
{
    Frame frame;
    G3TriInterface tri;
    tri.Set2DPlane(frame.u, frame.v);
    std::vector<Point> points;
    // The corners of a 4 x 3 rectangle and random points inside it.
    for (auto st : {std::pair<double, double>{0, 0}, {4, 0}, {4, 3}, {0, 3}})
        points.push_back(frame.At(st.first, st.second));
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> s(0.1, 3.9), t(0.1, 2.9);
    for (int k = 0; k < 200; ++k)
        points.push_back(frame.At(s(rng), t(rng)));
    for (Point& q : points)
        ASSERT_NE(tri.AddVertex(q.p), nullptr);
    ASSERT_TRUE(tri.MakeTriangulation(G3TriInterface::TRI_DEFAULT));
    G3Surface* surface = tri.GetSurface();
    ASSERT_NE(surface, nullptr);
    // n points, 4 of them on the hull: 2n - 2 - 4 triangles.
    const int n = static_cast<int>(points.size());
    EXPECT_EQ(surface->GetFacetCount(), 2 * n - 6);
    EXPECT_EQ(surface->GetVertexCount(), n);
    EXPECT_EQ(ValidateTopology(surface), "");
    EXPECT_NEAR(Area(surface), 12.0, 1e-9);
    for (const Point& q : points)
        EXPECT_NE(FindVertex(surface, q.p), nullptr);
    // Every triangle faces along the plane's normal.
    for (int k = 0; k < surface->GetFacetCount(); ++k)
        EXPECT_GT(Dot(surface->GetFacet(k)->GetPlane(), frame.n), 0.99);
    delete surface;
}

TEST(TriInterface, DefaultPlaneConstraintsDuplicatesAndInsideOnly)
{
    // Without a plane: (x, y) in the plane, z the height.
    const double corners[4][3] = {{0, 0, 1}, {10, 0, 2}, {10, 10, 3}, {0, 10, 4}};
    const double hole[4][3] = {{3, 3, 0}, {7, 3, 0}, {7, 7, 0}, {3, 7, 0}};
    auto build = [&](G3TriInterface& tri) {
        double copy[3];
        G3TVertex *c[4], *h[4];
        for (int k = 0; k < 4; ++k) {
            std::copy(corners[k], corners[k] + 3, copy);
            c[k] = tri.AddVertex(copy);
            std::copy(hole[k], hole[k] + 3, copy);
            h[k] = tri.AddVertex(copy);
        }
        // The same corner again, exactly and within the engine's same-point
        // distance: the survivor stands for both, also as a segment end.
        double again[3] = {10, 10, 3};
        G3TVertex* duplicate = tri.AddVertex(again);
        double near[3] = {10 + 1e-10, 10, 3};
        tri.AddVertex(near);
        for (int k = 0; k < 4; ++k) {
            EXPECT_TRUE(tri.AddEdge(k == 2 ? duplicate : c[k], c[(k + 1) % 4]));
            EXPECT_TRUE(tri.AddEdge(h[k], h[(k + 1) % 4]));
        }
    };

    G3TriInterface all;
    build(all);
    ASSERT_TRUE(all.MakeTriangulation(G3TriInterface::TRI_DEFAULT));
    G3Surface* hull = all.GetSurface();
    EXPECT_EQ(hull->GetVertexCount(), 8);
    EXPECT_NE(FindVertex(hull, corners[2]), nullptr);
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(HasEdge(hull, hole[k], hole[(k + 1) % 4])) << k;
        EXPECT_TRUE(HasEdge(hull, corners[k], corners[(k + 1) % 4])) << k;
    }
    // Seen from above the triangles cover the square.
    double seen = 0;
    for (int k = 0; k < hull->GetFacetCount(); ++k) {
        G3Facet* f = hull->GetFacet(k);
        seen += f->GetArea() * f->GetPlaneC() / std::sqrt(Dot(f->GetPlane(), f->GetPlane()));
    }
    EXPECT_NEAR(seen, 100.0, 1e-9);
    delete hull;

    G3TriInterface inside;
    build(inside);
    ASSERT_TRUE(inside.MakeTriangulation(G3TriInterface::TRI_INSIDE_ONLY));
    G3Surface* ring = inside.GetSurface();
    seen = 0;
    for (int k = 0; k < ring->GetFacetCount(); ++k) {
        G3Facet* f = ring->GetFacet(k);
        seen += f->GetArea() * f->GetPlaneC() / std::sqrt(Dot(f->GetPlane(), f->GetPlane()));
    }
    EXPECT_NEAR(seen, 84.0, 1e-9);
    EXPECT_EQ(ring->GetFacetCount(), 8);
    EXPECT_EQ(ValidateTopology(ring), "");
    delete ring;
}

TEST(TriInterface, CrossingConstraintsMeetAtANewVertex)
{
    G3TriInterface tri;
    double p[4][3] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    G3TVertex* v[4];
    for (int k = 0; k < 4; ++k)
        v[k] = tri.AddVertex(p[k]);
    tri.AddEdge(v[0], v[2]);
    tri.AddEdge(v[1], v[3]);
    ASSERT_TRUE(tri.MakeTriangulation(G3TriInterface::TRI_DEFAULT));
    G3Surface* s = tri.GetSurface();
    const double centre[3] = {2, 2, 0};
    ASSERT_NE(FindVertex(s, centre), nullptr);
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(HasEdge(s, p[k], centre)) << k;
    EXPECT_EQ(s->GetFacetCount(), 4);
    delete s;
}

TEST(TriInterface, CopiesAreIndependentAndBadInputIsRefused)
{
    G3TriInterface source;
    double u[3] = {0, 1, 0}, v[3] = {0, 0, 1};
    source.Set2DPlane(u, v);
    std::vector<G3TVertex*> vs;
    for (int k = 0; k < 6; ++k) {
        double p[3] = {2.0, std::cos(k * 1.0) * 3, std::sin(k * 1.0) * 3};
        vs.push_back(source.AddVertex(p));
    }
    source.AddEdge(vs[0], vs[3]);
    G3TriInterface copy(source);
    G3TriInterface assigned;
    assigned = source;
    assigned = assigned;
    ASSERT_TRUE(source.MakeTriangulation(G3TriInterface::TRI_DEFAULT));
    // A copy of a triangulated interface holds the inputs only.
    G3TriInterface late(source);
    EXPECT_EQ(late.GetTriangleCount(), 0);
    for (G3TriInterface* t : {&copy, &assigned, &late})
        ASSERT_TRUE(t->MakeTriangulation(G3TriInterface::TRI_DEFAULT));
    G3Surface* expected = source.GetSurface();
    for (G3TriInterface* t : {&copy, &assigned, &late}) {
        G3Surface* got = t->GetSurface();
        ASSERT_EQ(got->GetFacetCount(), expected->GetFacetCount());
        for (int k = 0; k < got->GetVertexCount(); ++k)
            EXPECT_NE(FindVertex(expected, got->GetVertex(k)->GetXYZ()), nullptr);
        EXPECT_TRUE(HasEdge(got, expected->GetVertex(0)->GetXYZ(), expected->GetVertex(3)->GetXYZ()));
        delete got;
    }
    delete expected;

    // Refused: vertices of another interface, a second triangulation,
    // points after it, points that are not finite, too few points.
    EXPECT_FALSE(copy.AddEdge(vs[0], vs[1]));
    EXPECT_FALSE(source.MakeTriangulation(G3TriInterface::TRI_DEFAULT));
    double p[3] = {1, 2, 3};
    EXPECT_EQ(source.AddVertex(p), nullptr);
    G3TriInterface few;
    double bad[3] = {NAN, 0, 0};
    EXPECT_EQ(few.AddVertex(bad), nullptr);
    EXPECT_EQ(few.AddVertex(nullptr), nullptr);
    EXPECT_EQ(few.GetSurface(), nullptr);
    few.AddVertex(p);
    EXPECT_FALSE(few.MakeTriangulation(G3TriInterface::TRI_DEFAULT));
    EXPECT_TRUE(few.option(G3TriInterface::TRI_INSIDE_ONLY));
    EXPECT_TRUE(few.option(static_cast<G3TriInterface::BasicOptions>(77)));
}
