// Delaunay construction on random and degenerate inputs, checked against
// independent properties: exact counterclockwise triangles, locally Delaunay
// edges, 2n - h - 2 triangles, total area equal to the convex hull's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/thread_random.h"
#include "mesh_checks.h"
#include "triangulation/triangulator.h"

using namespace g3t_test;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Triangulates the points and runs every check.
void ExpectDelaunay(const std::vector<Pt>& points, const char* label)
{
    SCOPED_TRACE(label);
    Filled f(points);
    G3TTriangulator tri(&f.mesh);
    EXPECT_TRUE(tri.Triangulate());
    EXPECT_EQ(CheckStructure(f.mesh), "");
    EXPECT_EQ(CountNonDelaunayEdges(f.mesh), 0);
    EXPECT_EQ(CheckAgainstHull(f.mesh), "");
}

std::vector<Pt> Offset(std::vector<Pt> p, double d)
{
    for (Pt& q : p) {
        q.x += d;
        q.y += d;
    }
    return p;
}

std::vector<Pt> RegularPolygon(int n, double r, bool centre, double cx = 0, double cy = 0)
{
    std::vector<Pt> p;
    for (int i = 0; i < n; ++i)
        p.push_back(Pt{cx + r * std::cos(2 * kPi * i / n), cy + r * std::sin(2 * kPi * i / n)});
    if (centre)
        p.push_back(Pt{cx, cy});
    return p;
}

} // namespace

TEST(Triangulator, UniformRandomPoints)
{
    for (int n : {3, 4, 5, 7, 10, 31, 100, 1000, 5000}) {
        for (unsigned seed = 1; seed <= 3; ++seed)
            ExpectDelaunay(UniformPoints(n, seed * 977u + static_cast<unsigned>(n)), "uniform");
    }
}

TEST(Triangulator, LatticesAreCocircularEverywhere)
{
    ExpectDelaunay(Lattice(2, 2, 1.0), "unit square");
    ExpectDelaunay(Lattice(30, 30, 1.0), "30x30");
    ExpectDelaunay(Lattice(17, 43, 0.25), "17x43");
    ExpectDelaunay(Lattice(40, 40, 1.0, 1e6), "offset by 1e6");
    ExpectDelaunay(Lattice(25, 25, 0.1, 1e6), "non-representable spacing at 1e6");
}

TEST(Triangulator, TinyScaleKeepsRealTriangles)
{
    // Spacing 1e-7 is above the same-point tolerance: every cell is two
    // triangles, however small their area (1e-14).
    std::vector<Pt> p = Lattice(20, 20, 1e-7);
    Filled f(p);
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    EXPECT_EQ(f.mesh.GetTriangleCount(), 2 * 19 * 19);
    EXPECT_EQ(CheckStructure(f.mesh), "");
    EXPECT_EQ(CountNonDelaunayEdges(f.mesh), 0);
    EXPECT_EQ(CheckAgainstHull(f.mesh), "");
}

TEST(Triangulator, HugeAndMixedCoordinates)
{
    // Products of such coordinates overflow in doubles, and the mixed set
    // spans 300 orders of magnitude; the exact predicates still decide.
    for (double scale : {1e150, 1e300}) {
        SCOPED_TRACE(scale);
        ExpectDelaunay(UniformPoints(300, 8, scale), "uniform");
        ExpectDelaunay(Lattice(12, 12, scale / 16), "lattice");
    }
    // Mixed magnitudes in one set.
    std::vector<Pt> mixed = UniformPoints(200, 12, 1.0);
    mixed.push_back(Pt{1e-200, 3e-200});
    mixed.push_back(Pt{-1e100, -1e100});
    mixed.push_back(Pt{1e100, -1e100});
    mixed.push_back(Pt{0, 1e100});
    ExpectDelaunay(mixed, "mixed");
}

TEST(Triangulator, CollinearInputGivesNoTriangle)
{
    for (int n : {2, 3, 4, 10, 257}) {
        std::vector<Pt> p;
        for (int i = 0; i < n; ++i)
            p.push_back(Pt{0.5 * i, 1e6 + 0.25 * i});
        Filled f(p);
        G3TTriangulator tri(&f.mesh);
        EXPECT_FALSE(tri.Triangulate()) << n;
        EXPECT_EQ(f.mesh.GetTriangleCount(), 0);
        EXPECT_EQ(f.mesh.GetHullEdgeCount(), 0);
    }
}

TEST(Triangulator, CollinearSetsWithOneOffLinePoint)
{
    for (int n : {2, 3, 5, 64, 300}) {
        std::vector<Pt> p;
        for (int i = 0; i < n; ++i)
            p.push_back(Pt{static_cast<double>(i), 0.0});
        p.push_back(Pt{n / 2.0 + 0.3, 1.0});
        SCOPED_TRACE(n);
        ExpectDelaunay(p, "line and apex");
        // n points on the hull line plus the apex: n - 1 triangles.
        Filled f(p);
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        EXPECT_EQ(f.mesh.GetTriangleCount(), n - 1);
    }
    // Two parallel lines of points: interleaved collinear hulls.
    std::vector<Pt> two;
    for (int i = 0; i < 200; ++i) {
        two.push_back(Pt{static_cast<double>(i), 0.0});
        two.push_back(Pt{i + 0.5, 3.0});
    }
    ExpectDelaunay(two, "two lines");
}

TEST(Triangulator, RegularPolygonsWithCentre)
{
    for (int n : {4, 6, 8, 64, 1000}) {
        SCOPED_TRACE(n);
        ExpectDelaunay(RegularPolygon(n, 1.0, true), "polygon with centre");
        ExpectDelaunay(RegularPolygon(n, 1.0, false), "polygon");
        ExpectDelaunay(RegularPolygon(n, 250.0, true, 1e6, -1e6), "offset polygon with centre");
    }
    // Exactly cocircular: the corners of a square and the 8 lattice points
    // of the circle x^2 + y^2 = 25.
    ExpectDelaunay({{-5, 0},
                    {5, 0},
                    {0, 5},
                    {0, -5},
                    {3, 4},
                    {-3, 4},
                    {3, -4},
                    {-3, -4},
                    {4, 3},
                    {-4, 3},
                    {4, -3},
                    {-4, -3},
                    {0, 0}},
                   "integer circle");
}

TEST(Triangulator, DuplicatesWithinToleranceAreMerged)
{
    std::vector<Pt> base = UniformPoints(300, 42, 10.0);
    for (double offset : {0.0, 1e6}) {
        SCOPED_TRACE(offset);
        std::vector<Pt> p = Offset(base, offset);
        std::vector<Pt> withDup = p;
        // A copy of every third point 5e-9 away (the same point) and of every
        // fifth point 5e-7 away (a point of its own).
        for (std::size_t i = 0; i < p.size(); i += 3)
            withDup.push_back(Pt{p[i].x + 5e-9, p[i].y - 5e-9});
        for (std::size_t i = 1; i < p.size(); i += 5)
            withDup.push_back(Pt{p[i].x + 5e-7, p[i].y + 5e-7});
        Filled f(withDup);
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        EXPECT_EQ(CheckStructure(f.mesh), "");
        EXPECT_EQ(CountNonDelaunayEdges(f.mesh), 0);
        EXPECT_EQ(CheckAgainstHull(f.mesh), "");
        const std::size_t n = p.size();
        int dropped = 0;
        for (std::size_t i = 0; i < withDup.size(); ++i) {
            G3TVertex* v = f.v[i];
            if (v->IsDuplicate()) {
                ++dropped;
                G3TVertex* s = v->GetSurvivor();
                EXPECT_TRUE(G3TTriangulator::SamePoint(v, s));
                EXPECT_FALSE(f.mesh.IsOuter(s->GetTriangle()));
            }
        }
        EXPECT_EQ(dropped, static_cast<int>((n + 2) / 3));
        for (std::size_t i = 0; i < n; i += 3) {
            // Original first in (x, y) order, since the copy is to the right.
            EXPECT_FALSE(f.v[i]->IsDuplicate());
            EXPECT_EQ(f.v[n + i / 3]->GetSurvivor(), f.v[i]);
        }
        EXPECT_EQ(static_cast<int>(DistinctVertices(f.mesh).size()), static_cast<int>(withDup.size()) - dropped);
    }
}

TEST(Triangulator, ExactDuplicatesAndFewDistinctPoints)
{
    {
        Filled f({{1, 1}, {1, 1}, {1, 1 + 1e-9}});
        G3TTriangulator tri(&f.mesh);
        EXPECT_FALSE(tri.Triangulate());
        EXPECT_EQ(f.mesh.GetTriangleCount(), 0);
        EXPECT_EQ(f.v[1]->GetSurvivor(), f.v[0]);
        EXPECT_EQ(f.v[2]->GetSurvivor(), f.v[0]);
    }
    {
        Filled f({{0, 0}, {0, 0}, {1, 0}, {0, 1}, {1, 0}});
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        EXPECT_EQ(f.mesh.GetTriangleCount(), 1);
        EXPECT_EQ(f.v[1]->GetSurvivor(), f.v[0]);
        EXPECT_EQ(f.v[4]->GetSurvivor(), f.v[2]);
    }
    {
        G3TMesh empty;
        G3TTriangulator tri(&empty);
        EXPECT_FALSE(tri.Triangulate());
        G3TTriangulator none(nullptr);
        EXPECT_FALSE(none.Triangulate());
    }
}

TEST(Triangulator, RunsOnlyOnce)
{
    Filled f(UniformPoints(50, 3));
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    int count = f.mesh.GetTriangleCount();
    EXPECT_FALSE(tri.Triangulate());
    G3TTriangulator again(&f.mesh);
    EXPECT_FALSE(again.Triangulate());
    EXPECT_EQ(f.mesh.GetTriangleCount(), count);
}

TEST(Triangulator, IdenticalOutputAcrossRunsAndInterleavedRandomCalls)
{
    std::vector<Pt> p = UniformPoints(2000, 9);
    for (int i = 0; i < 200; ++i)
        p.push_back(p[static_cast<std::size_t>(i) * 7]); // exact duplicates
    std::vector<std::array<int, 3>> first;
    {
        Filled f(p);
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        first = TrianglesByIndex(f.mesh);
    }
    std::srand(12345);
    for (int run = 0; run < 2; ++run) {
        Filled f(p);
        for (int i = 0; i < 10; ++i) {
            (void)std::rand();
            (void)thread_random::Next();
        }
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        EXPECT_EQ(TrianglesByIndex(f.mesh), first) << run;
    }
}

TEST(Triangulator, PointsOnACircleAndTheHullCount)
{
    // Every point on the hull: n - 2 triangles and n hull edges.
    const int n = 4000;
    Filled f(RegularPolygon(n, 1000.0, false, 5.0, 7.0));
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    EXPECT_EQ(f.mesh.GetTriangleCount(), n - 2);
    EXPECT_EQ(f.mesh.GetHullEdgeCount(), n);
    EXPECT_EQ(CheckStructure(f.mesh), "");
    EXPECT_EQ(CountNonDelaunayEdges(f.mesh), 0);
}

TEST(Mesh, ListsAndRemoval)
{
    G3TMesh mesh;
    EXPECT_EQ(mesh.AddVertex(std::nan(""), 0), nullptr);
    EXPECT_EQ(mesh.AddVertex(0, HUGE_VAL), nullptr);
    G3TVertex* a = mesh.AddVertex(0, 0);
    G3TVertex* b = mesh.AddVertex(1, 0);
    G3TVertex* c = mesh.AddVertex(0, 1);
    EXPECT_EQ(a->GetIndex(), 0);
    EXPECT_EQ(c->GetIndex(), 2);
    G3TTriangle* t1 = mesh.AddTriangle(a, b, c);
    // Stored as c, a, b.
    EXPECT_EQ(t1->GetCorner(0), c);
    EXPECT_EQ(t1->GetCorner(1), a);
    EXPECT_EQ(t1->GetCorner(2), b);
    EXPECT_EQ(t1->GetNeighbour(0).tri, mesh.GetOuterTriangle());
    EXPECT_EQ(t1->GetSegment(2).seg, mesh.GetOuterSegment());
    G3TTriangle* ghost = mesh.AddTriangle(a, b, nullptr);
    EXPECT_TRUE(ghost->IsGhost());
    G3TTriangle* t3 = mesh.AddTriangle(b, c, a);
    EXPECT_EQ(mesh.GetTriangleCount(), 3);
    EXPECT_TRUE(mesh.RemoveTriangle(ghost));
    EXPECT_EQ(mesh.GetTriangleCount(), 2);
    EXPECT_EQ(t1->GetNext(), t3);
    EXPECT_EQ(t3->GetPrev(), t1);
    EXPECT_FALSE(mesh.RemoveTriangle(nullptr));
    EXPECT_FALSE(mesh.RemoveTriangle(mesh.GetOuterTriangle()));
    G3TMesh other;
    G3TVertex* foreign = other.AddVertex(3, 3);
    EXPECT_FALSE(mesh.RemoveVertex(foreign));
    EXPECT_EQ(mesh.AddSegment(a, foreign), nullptr);
    EXPECT_EQ(mesh.AddSegment(a, a), nullptr);
    EXPECT_EQ(mesh.AddSegment(nullptr, a), nullptr);
    G3TSegment* s = mesh.AddSegment(a, b);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetVertex(0), a);
    EXPECT_EQ(s->GetTriangle(0).tri, mesh.GetOuterTriangle());

    std::vector<G3TTriangle*> arr;
    EXPECT_TRUE(mesh.GetTriangles(&arr));
    EXPECT_EQ(arr.size(), 2u);
    EXPECT_EQ(arr[0], t1);
    std::vector<G3TVertex*> verts;
    EXPECT_TRUE(mesh.GetVertices(&verts));
    EXPECT_EQ(verts.size(), 3u);
    EXPECT_TRUE(mesh.RemoveSegment(s));
    GArrayCollection segs;
    EXPECT_FALSE(mesh.GetSegments(&segs));
    EXPECT_FALSE(mesh.GetTriangles(nullptr));
    EXPECT_TRUE(mesh.HasOption(0));
    EXPECT_FALSE(mesh.HasOption(1));
    EXPECT_FALSE(mesh.HasOption(4));

    // Removed slots are reused.
    EXPECT_TRUE(mesh.RemoveTriangle(t3));
    G3TTriangle* reused = mesh.AddTriangle(a, b, c);
    EXPECT_EQ(reused, t3);

    G3TTriangle copy;
    copy.Copy(t1);
    EXPECT_EQ(copy.GetCorner(1), a);
    EXPECT_EQ(copy.GetMesh(), &mesh);
}
