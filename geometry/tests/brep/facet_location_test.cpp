// Point location, areas and inner points of facets against the
// independent polygon library, in all three projections.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "polygon_oracle.h"
#include "tessaly/surface.h"
#include "topology_validator.h"

namespace {
// A facet in a tilted plane whose dominant axis is the third of (i, j);
// the loops are given in (i, j) coordinates, each hole joined by a bridge
// pair between the first vertex of the outer loop and its own first vertex.
struct PlanarFacet {
    G3Surface surface{16, 0};
    G3Facet* facet = nullptr;
    int i, j;

    PlanarFacet(int axisI, int axisJ, const std::vector<OracleLoop>& loops) : i(axisI), j(axisJ)
    {
        std::vector<G3Vertex*> outer;
        for (const OraclePoint& p : loops[0])
            outer.push_back(Vertex(p));
        std::vector<G3Vertex*> sequence = outer;
        // Each hole: bridge out of the outer loop's first vertex, round the
        // hole, and (through the next bridge or the list's wrap) back.
        for (std::size_t l = 1; l < loops.size(); ++l) {
            sequence.push_back(outer.front());
            std::vector<G3Vertex*> hole;
            for (const OraclePoint& p : loops[l])
                hole.push_back(Vertex(p));
            sequence.insert(sequence.end(), hole.begin(), hole.end());
            sequence.push_back(hole.front());
        }
        facet = surface.AddFacet(static_cast<int>(sequence.size()), sequence.data(), 1, nullptr, nullptr);
    }

    G3Vertex* Vertex(OraclePoint p)
    {
        double xyz[3];
        Lift(p, xyz);
        return surface.AddVertex(xyz);
    }

    // True area over projected area of the tilted plane.
    static double Stretch() { return std::sqrt(1.0 + 0.09 + 0.04); }

    void Lift(OraclePoint p, double* xyz) const
    {
        xyz[i] = p.x;
        xyz[j] = p.y;
        xyz[3 - i - j] = 0.3 * p.x + 0.2 * p.y + 1.0;
    }
};

const std::vector<OracleLoop> kConvex = {{{0, 0}, {6, -1}, {9, 3}, {5, 8}, {-1, 5}}};
const std::vector<OracleLoop> kConcave = {
    {{0, 0}, {10, 0}, {10, 10}, {7, 10}, {7, 3}, {5, 3}, {5, 10}, {3, 10}, {3, 3}, {1, 3}, {1, 10}, {0, 10}}};
const std::vector<OracleLoop> kHoled = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{4, 4}, {4, 6}, {6, 6}, {6, 4}}};

void CompareWithOracle(int i, int j, const std::vector<OracleLoop>& loops)
{
    PlanarFacet f(i, j, loops);
    ASSERT_NE(f.facet, nullptr);
    ASSERT_EQ(ValidateTopology(&f.surface), "");
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> coordinate(-2.0, 12.0);
    int inside = 0, outside = 0;
    for (int n = 0; n < 1500; ++n) {
        OraclePoint p{coordinate(random), coordinate(random)};
        int expected = EvenOddLocate(loops, p);
        double xyz[3];
        f.Lift(p, xyz);
        G3Vertex *va = nullptr, *vb = nullptr;
        bool in = f.facet->PointInFacet(i, j, xyz, &va, &vb, 1e-6);
        if (expected < 0 || va || vb)
            continue;
        ASSERT_EQ(in, expected == 1) << "point " << p.x << ", " << p.y << " axes " << i << j;
        (in ? inside : outside)++;
    }
    EXPECT_GT(inside, 100);
    EXPECT_GT(outside, 100);
    EXPECT_NEAR(f.facet->GetArea(), EvenOddArea(loops) * f.Stretch(), 1e-6);
}
} // namespace

TEST(FacetLocation, ConvexConcaveAndHoledFacetsAgreeWithThePolygonLibraryInEveryProjection)
{
    const int axes[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (const auto& a : axes) {
        CompareWithOracle(a[0], a[1], kConvex);
        CompareWithOracle(a[0], a[1], kConcave);
        CompareWithOracle(a[0], a[1], kHoled);
    }
}

TEST(FacetLocation, PointsBesideAHoleAreInsideAndTheHoleIsOutside)
{
    PlanarFacet f(0, 1, kHoled);
    for (OraclePoint p : {OraclePoint{2, 5}, OraclePoint{1, 8}, OraclePoint{3, 3}, OraclePoint{8, 5}}) {
        double xyz[3];
        f.Lift(p, xyz);
        EXPECT_TRUE(f.facet->PointInFacetXY(xyz, nullptr, nullptr)) << p.x << ", " << p.y;
    }
    double hole[3];
    f.Lift({5, 5}, hole);
    EXPECT_FALSE(f.facet->PointInFacetXY(hole, nullptr, nullptr));
    double z = 0;
    double at[3];
    f.Lift({2, 5}, at);
    EXPECT_TRUE(f.facet->PointInFacet(at, nullptr, nullptr, &z));
    EXPECT_NEAR(z, at[2], 1e-9);
}

TEST(FacetLocation, BoundaryReportsTheVertexOrTheEdgeEnds)
{
    PlanarFacet f(0, 1, kConvex);
    double corner[3], onEdge[3];
    f.Lift({6, -1}, corner);
    G3Vertex *va = nullptr, *vb = nullptr;
    EXPECT_TRUE(f.facet->PointInFacetXY(corner, &va, &vb));
    ASSERT_NE(va, nullptr);
    EXPECT_EQ(vb, nullptr);
    EXPECT_EQ(va->GetX(), 6);
    f.Lift({3, -0.5}, onEdge);
    EXPECT_TRUE(f.facet->PointInFacetXY(onEdge, &va, &vb));
    ASSERT_NE(va, nullptr);
    ASSERT_NE(vb, nullptr);
    EXPECT_EQ(va->GetX() + vb->GetX(), 6);
    double inside[3];
    f.Lift({4, 3}, inside);
    EXPECT_TRUE(f.facet->PointInFacetXY(inside, &va, &vb));
    EXPECT_EQ(va, nullptr);
    EXPECT_EQ(vb, nullptr);
}

TEST(FacetLocation, StaticFormTestsTheIteratedLoop)
{
    G3Vertex a(0, 0, 0), b(4, 0, 0), c(4, 4, 0), d(0, 4, 0);
    GArrayCollection loop;
    for (G3Vertex* v : {&a, &b, &c, &d})
        loop.add(v);
    double in[3] = {1, 1, 0}, out[3] = {5, 1, 0};
    GArrayCollectionIterator it1(&loop), it2(&loop);
    EXPECT_TRUE(G3Facet::PointInFacetXY(in, &it1, nullptr, nullptr));
    EXPECT_FALSE(G3Facet::PointInFacetXY(out, &it2, nullptr, nullptr));
    double p[3];
    ASSERT_TRUE(G3Facet::GeneratePointInFacetConcave(0, 1, p, &loop));
    GArrayCollectionIterator it3(&loop);
    G3Vertex *va = nullptr, *vb = nullptr;
    EXPECT_TRUE(G3Facet::PointInFacetXY(p, &it3, &va, &vb));
    EXPECT_EQ(va, nullptr);
}

TEST(FacetLocation, InnerPointsLieStrictlyInsideConcaveAndHoledFacets)
{
    const int axes[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (const auto& a : axes)
        for (const auto* loops : {&kConvex, &kConcave, &kHoled}) {
            PlanarFacet f(a[0], a[1], *loops);
            double p[3];
            ASSERT_TRUE(f.facet->GeneratePointInFacetConcave(a[0], a[1], p));
            EXPECT_EQ(EvenOddLocate(*loops, {p[a[0]], p[a[1]]}), 1);
            // On the plane too.
            const double* n = f.facet->GetPlane();
            EXPECT_NEAR(n[0] * p[0] + n[1] * p[1] + n[2] * p[2] + n[3], 0.0, 1e-9);
        }
}

TEST(FacetLocation, PlaneIntersectReportsInsideBoundaryOutsideAndParallel)
{
    PlanarFacet f(0, 1, kHoled);
    auto cut = [&](OraclePoint at, double* x) {
        double p[3], q[3];
        f.Lift(at, p);
        f.Lift(at, q);
        p[2] += 5;
        q[2] -= 5;
        return f.facet->GetPlaneIntersect(p, q, x);
    };
    double x[3];
    EXPECT_EQ(cut({2, 7}, x), 1);
    EXPECT_NEAR(x[1], 7, 1e-9);
    EXPECT_EQ(cut({4, 5}, x), 2);
    EXPECT_EQ(cut({5, 5}, x), 3);
    double p[3] = {0, 0, 100}, q[3] = {1, 0, 100.3};
    EXPECT_EQ(f.facet->GetPlaneIntersect(p, q, x), 0);
}

TEST(FacetBridge, SeparateHoleLoopsAreJoinedIntoOneLoopWithTheSameArea)
{
    std::mt19937 random(5);
    for (int trial = 0; trial < 60; ++trial) {
        G3Surface s(64, 0);
        auto* f = new G3Facet;
        std::vector<OracleLoop> loops = {{{0, 0}, {20, 0}, {20, 20}, {0, 20}}};
        for (int cell = 0; cell < 16; ++cell) {
            if (random() % 2)
                continue;
            double x0 = 5.0 * (cell % 4) + 1, y0 = 5.0 * (cell / 4) + 1;
            double a = (random() % 4) * 0.3, b = (random() % 4) * 0.3;
            loops.push_back({{x0 + a, y0}, {x0 + 3, y0 + b}, {x0 + 3 - a, y0 + 3}, {x0, y0 + 3 - b}});
        }
        // One list of separate loops, holes running either way.
        for (const OracleLoop& loop : loops) {
            std::vector<G3Vertex*> v;
            for (const OraclePoint& p : loop)
                v.push_back(s.AddVertex(p.x, p.y, 0));
            for (std::size_t k = 0; k < v.size(); ++k)
                s.AddEdge(v[k], v[(k + 1) % v.size()], f);
        }
        s.AddFacetToCollection(f);
        f->FormPlaneEquation();
        ASSERT_EQ(ValidateTopology(&s), "");
        double expected = EvenOddArea(loops);
        EXPECT_NEAR(f->GetArea(), expected, 1e-9);
        GArrayCollection bridged;
        ASSERT_TRUE(f->GetBridgedLoop(&bridged)) << "trial " << trial;
        OracleLoop single;
        double shoelace = 0;
        for (int k = 0; k < bridged.size(); ++k) {
            const double* p = static_cast<G3Vertex*>(bridged.get(k))->GetXYZ();
            const double* q = static_cast<G3Vertex*>(bridged.get((k + 1) % bridged.size()))->GetXYZ();
            single.push_back({p[0], p[1]});
            shoelace += p[0] * q[1] - q[0] * p[1];
        }
        EXPECT_NEAR(std::fabs(shoelace) / 2, expected, 1e-9) << "trial " << trial;
        EXPECT_NEAR(EvenOddArea({single}), expected, 1e-4) << "trial " << trial;
    }
}
