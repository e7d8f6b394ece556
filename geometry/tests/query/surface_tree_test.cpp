// The facet octree: its shape, and its answers against a brute-force scan
// of every facet (a superset of it, each facet once, no marks left).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "tessaly/facet.h"
#include "tessaly/surface.h"
#include "tessaly/surface_tree.h"
#include "test_bodies.h"

namespace {
using Point = std::array<double, 3>;

// count small random triangles inside the cube [0, 10]^3.
G3Surface* TriangleSoup(int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> where(0.5, 9.5), size(-0.4, 0.4);
    auto* s = new G3Surface(3 * count, 0);
    for (int k = 0; k < count; ++k) {
        const double c[3] = {where(random), where(random), where(random)};
        G3Vertex* v[3];
        for (auto& corner : v)
            corner = s->AddVertex(c[0] + size(random), c[1] + size(random), c[2] + size(random));
        s->AddFacet(3, v, 1, nullptr, nullptr);
    }
    s->FormPlaneEquation();
    return s;
}

void AddTriangle(G3Surface* s, const Point& a, const Point& b, const Point& c)
{
    G3Vertex* v[3] = {s->AddVertex(a.data()), s->AddVertex(b.data()), s->AddVertex(c.data())};
    s->AddFacet(3, v, 1, nullptr, nullptr);
}

std::set<G3Facet*> AsSet(GArrayCollection* facets)
{
    std::set<G3Facet*> out;
    for (int k = 0; k < facets->size(); ++k)
        out.insert(static_cast<G3Facet*>(facets->get(k)));
    return out;
}

bool AnyFacetMarked(G3Surface* s)
{
    for (int k = 0; k < s->GetFacetCount(); ++k)
        if (s->GetFacet(k)->GetMark())
            return true;
    return false;
}

// Every facet reference of the subtree (with repeats) and its deepest level.
void Walk(G3QuadraSurfaceTreeNode* node, std::multiset<G3Facet*>* held, int* deepest)
{
    *deepest = std::max(*deepest, node->GetLevel());
    for (int k = 0; k < node->GetFacets()->size(); ++k)
        held->insert(static_cast<G3Facet*>(node->GetFacets()->get(k)));
    for (int k = 0; k < G3QuadraSurfaceTreeNode::kChildCount; ++k)
        if (G3QuadraSurfaceTreeNode* child = node->GetChild(k))
            Walk(child, held, deepest);
}

// Facets whose envelope the segment meets: the tree must list them all.
std::set<G3Facet*> BruteSegment(G3Surface* s, const double* p, const double* q)
{
    std::set<G3Facet*> out;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        GEnvelope box;
        if (s->GetFacet(k)->FormEnvelope(&box) && box.ClipTest(p, q) == 0)
            out.insert(s->GetFacet(k));
    }
    return out;
}

// Within the round tube of radius r about the segment (parameter inside it).
bool InTube(const double* x, const double* p, const double* q, double r)
{
    double d[3], w[3];
    double dd = 0, wd = 0;
    for (int a = 0; a < 3; ++a) {
        d[a] = q[a] - p[a];
        w[a] = x[a] - p[a];
        dd += d[a] * d[a];
        wd += w[a] * d[a];
    }
    const double t = dd > 0 ? wd / dd : 0.0;
    if (t < 0 || t > 1)
        return false;
    double dist2 = 0;
    for (int a = 0; a < 3; ++a)
        dist2 += (w[a] - t * d[a]) * (w[a] - t * d[a]);
    return dist2 < r * r;
}

// Facets with a vertex or their centroid inside the round tube of radius
// aperture / 2 (which the square tube contains).
std::set<G3Facet*> BruteTube(G3Surface* s, const double* p, const double* q, double aperture)
{
    std::set<G3Facet*> out;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        GArrayCollection vertices;
        f->GetVertices(&vertices);
        double centroid[3] = {0, 0, 0};
        bool inside = false;
        for (int v = 0; v < vertices.size(); ++v) {
            const double* x = static_cast<G3Vertex*>(vertices.get(v))->GetXYZ();
            inside = inside || InTube(x, p, q, aperture / 2);
            for (int a = 0; a < 3; ++a)
                centroid[a] += x[a] / vertices.size();
        }
        if (inside || InTube(centroid, p, q, aperture / 2))
            out.insert(f);
    }
    return out;
}

bool Includes(const std::set<G3Facet*>& big, const std::set<G3Facet*>& small)
{
    for (G3Facet* f : small)
        if (!big.count(f))
            return false;
    return true;
}
} // namespace

TEST(SurfaceTree, SmallSurfacesStayInTheRoot)
{
    struct Case {
        const char* name;
        G3Surface* surface;
    };
    const Case cases[] = {{"cube", MakeCube()}, {"200 triangles", TriangleSoup(200, 3)}};
    for (const Case& c : cases) {
        G3QuadraSurfaceTree tree(c.surface);
        ASSERT_TRUE(tree.MakeTree()) << c.name;
        EXPECT_FALSE(tree.GetRoot()->IsSplit()) << c.name;
        EXPECT_EQ(tree.GetRoot()->GetFacets()->size(), c.surface->GetFacetCount()) << c.name;
        delete c.surface;
    }
}

TEST(SurfaceTree, QueriesNeedATreeAndArguments)
{
    G3Surface* cube = MakeCube();
    G3QuadraSurfaceTree tree(cube);
    double p[3] = {0.5, 0.5, -1}, q[3] = {0.5, 0.5, 2};
    GArrayCollection out;
    EXPECT_FALSE(tree.FindIntersection(p, q, &out));
    EXPECT_FALSE(tree.FindIntersectionInApertura(p, q, 0.1, &out));
    ASSERT_TRUE(tree.MakeTree());
    EXPECT_FALSE(tree.FindIntersection(nullptr, q, &out));
    EXPECT_FALSE(tree.FindIntersection(p, q, nullptr));
    double nan[3] = {std::numeric_limits<double>::quiet_NaN(), 0, 0};
    EXPECT_FALSE(tree.FindIntersectionInApertura(nan, q, 0.1, &out));
    EXPECT_FALSE(tree.FindIntersectionInApertura(p, q, std::numeric_limits<double>::infinity(), &out));
    double far1[3] = {5, 5, 5}, far2[3] = {6, 7, 8};
    EXPECT_TRUE(tree.FindIntersection(far1, far2, &out));
    EXPECT_EQ(out.size(), 0);
    G3QuadraSurfaceTree none(nullptr);
    EXPECT_FALSE(none.MakeTree());
    delete cube;
}

TEST(SurfaceTree, BuildsAtMostFourLevelsAndHoldsEveryFacet)
{
    G3Surface* soup = TriangleSoup(2000, 11);
    G3QuadraSurfaceTree tree(soup);
    ASSERT_TRUE(tree.MakeTree());
    std::multiset<G3Facet*> held;
    int deepest = 0;
    Walk(tree.GetRoot(), &held, &deepest);
    EXPECT_TRUE(tree.GetRoot()->IsSplit());
    EXPECT_EQ(deepest, 3) << "2000 facets spread evenly: 250 per octant, about 31 per leaf";
    EXPECT_EQ(std::set<G3Facet*>(held.begin(), held.end()).size(), 2000u);
    EXPECT_FALSE(AnyFacetMarked(soup));

    // Building again replaces the tree: the same references, not twice as many.
    ASSERT_TRUE(tree.MakeTree());
    std::multiset<G3Facet*> again;
    int deepestAgain = 0;
    Walk(tree.GetRoot(), &again, &deepestAgain);
    EXPECT_EQ(again.size(), held.size());
    delete soup;
}

TEST(SurfaceTree, DepthStopsAtTheFourthLevel)
{
    // 2000 facets in one corner of a root four times their size: every
    // level down to the fourth holds more than 200 of them.
    G3Surface* soup = TriangleSoup(2000, 13);
    AddTriangle(soup, {40, 40, 40}, {39, 40, 40}, {40, 39, 40});
    soup->FormPlaneEquation();
    G3QuadraSurfaceTree tree(soup);
    ASSERT_TRUE(tree.MakeTree());
    std::multiset<G3Facet*> held;
    int deepest = 0;
    Walk(tree.GetRoot(), &held, &deepest);
    EXPECT_EQ(deepest, G3QuadraSurfaceTreeNode::kMaxLevel);
    EXPECT_EQ(static_cast<int>(std::set<G3Facet*>(held.begin(), held.end()).size()), soup->GetFacetCount());
    delete soup;
}

TEST(SurfaceTree, SegmentAndApertureAnswersIncludeBruteForce)
{
    G3Surface* soup = TriangleSoup(2000, 5);
    G3QuadraSurfaceTree tree(soup);
    ASSERT_TRUE(tree.MakeTree());
    std::mt19937 random(17);
    std::uniform_real_distribution<double> where(-2.0, 12.0), aperture(0.0, 1.5);
    int nonEmpty = 0;
    for (int k = 0; k < 120; ++k) {
        double p[3] = {where(random), where(random), where(random)};
        double q[3] = {where(random), where(random), where(random)};
        GArrayCollection out;
        ASSERT_TRUE(tree.FindIntersection(p, q, &out));
        const std::set<G3Facet*> found = AsSet(&out);
        EXPECT_EQ(static_cast<int>(found.size()), out.size()) << "no facet twice";
        EXPECT_TRUE(Includes(found, BruteSegment(soup, p, q))) << "segment " << k;
        EXPECT_FALSE(AnyFacetMarked(soup));

        const double a = aperture(random);
        GArrayCollection tube;
        ASSERT_TRUE(tree.FindIntersectionInApertura(p, q, a, &tube));
        const std::set<G3Facet*> inTube = AsSet(&tube);
        EXPECT_EQ(static_cast<int>(inTube.size()), tube.size()) << "no facet twice";
        const std::set<G3Facet*> expected = BruteTube(soup, p, q, a);
        EXPECT_TRUE(Includes(inTube, expected)) << "tube " << k << " aperture " << a;
        nonEmpty += !expected.empty();
        EXPECT_FALSE(AnyFacetMarked(soup));
    }
    EXPECT_GT(nonEmpty, 12) << "the oracle must have something to check";
    delete soup;
}

TEST(SurfaceTree, AppendsToWhatTheCallerHoldsAndClearsOnlyItsOwnMarks)
{
    G3Surface* cube = MakeCube();
    G3QuadraSurfaceTree tree(cube);
    ASSERT_TRUE(tree.MakeTree());
    GArrayCollection out;
    out.add(cube->GetFacet(0));
    double p[3] = {0.5, 0.5, -1}, q[3] = {0.5, 0.5, 2};
    ASSERT_TRUE(tree.FindIntersection(p, q, &out));
    EXPECT_EQ(out.size(), 7) << "the caller's entry stays, the six facets follow";
    delete cube;
}

TEST(SurfaceTree, ApertureCases)
{
    G3Surface* soup = TriangleSoup(1000, 23);
    G3QuadraSurfaceTree tree(soup);
    ASSERT_TRUE(tree.MakeTree());
    struct Case {
        const char* name;
        Point p, q;
        double aperture;
    };
    const Case cases[] = {
        {"a point: the cube about it", {5, 5, 5}, {5, 5, 5}, 1.0},
        {"negative aperture: the same tube", {1, 2, 3}, {9, 8, 7}, -0.8},
        {"axis-parallel segment", {5, 5, -1}, {5, 5, 11}, 0.6},
    };
    for (const Case& c : cases) {
        double p[3] = {c.p[0], c.p[1], c.p[2]}, q[3] = {c.q[0], c.q[1], c.q[2]};
        GArrayCollection out;
        ASSERT_TRUE(tree.FindIntersectionInApertura(p, q, c.aperture, &out)) << c.name;
        std::set<G3Facet*> expected;
        if (c.p == c.q) {
            // Facets with a vertex inside the cube of side aperture about p.
            for (int k = 0; k < soup->GetFacetCount(); ++k) {
                GArrayCollection vertices;
                soup->GetFacet(k)->GetVertices(&vertices);
                for (int v = 0; v < vertices.size(); ++v) {
                    const double* x = static_cast<G3Vertex*>(vertices.get(v))->GetXYZ();
                    if (std::fabs(x[0] - p[0]) < c.aperture / 2 && std::fabs(x[1] - p[1]) < c.aperture / 2 &&
                        std::fabs(x[2] - p[2]) < c.aperture / 2)
                        expected.insert(soup->GetFacet(k));
                }
            }
        } else {
            expected = BruteTube(soup, p, q, std::fabs(c.aperture));
        }
        EXPECT_FALSE(expected.empty()) << c.name;
        EXPECT_TRUE(Includes(AsSet(&out), expected)) << c.name;
    }
    delete soup;
}

// Triangles lying in the planes where the root splits (x = 5, y = 5, z = 5
// of a [0, 10]^3 root) touch the octants on both sides only on their
// borders; and a facet with a coordinate that is not a number has no
// usable box. None of them may be lost.
TEST(SurfaceTree, FacetsOnOctantBordersAndWithoutABoxAreKept)
{
    G3Surface* s = TriangleSoup(400, 29);
    AddTriangle(s, {0, 0, 0}, {10, 0, 0}, {0, 10, 10}); // spans the root box
    AddTriangle(s, {10, 10, 10}, {9, 10, 10}, {10, 9, 10});
    const int firstBorder = s->GetFacetCount();
    AddTriangle(s, {5, 1, 1}, {5, 2, 1}, {5, 1, 2});
    AddTriangle(s, {1, 5, 1}, {2, 5, 1}, {1, 5, 2});
    AddTriangle(s, {3, 3, 5}, {4, 3, 5}, {3, 4, 5});
    AddTriangle(s, {5, 5, 5}, {5.2, 5, 5}, {5, 5.2, 5});
    const int lastBorder = s->GetFacetCount();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    AddTriangle(s, {nan, 1, 1}, {2, 1, 1}, {1, 2, 1});
    s->FormPlaneEquation();
    G3QuadraSurfaceTree tree(s);
    ASSERT_TRUE(tree.MakeTree());
    EXPECT_EQ(tree.GetEnvelope().GetMaxX(), 10.0) << "the root covers the finite vertices";
    std::multiset<G3Facet*> held;
    int deepest = 0;
    Walk(tree.GetRoot(), &held, &deepest);
    EXPECT_EQ(static_cast<int>(std::set<G3Facet*>(held.begin(), held.end()).size()), s->GetFacetCount());
    for (int k = firstBorder; k < lastBorder; ++k) {
        G3Facet* f = s->GetFacet(k);
        GEnvelope box;
        ASSERT_TRUE(f->FormEnvelope(&box));
        // A segment through the middle of the facet's box, across its plane.
        double p[3], q[3];
        for (int a = 0; a < 3; ++a)
            p[a] = q[a] = (box.GetMin(a) + box.GetMax(a)) / 2;
        for (int a = 0; a < 3; ++a) {
            p[a] -= f->GetPlane()[a];
            q[a] += f->GetPlane()[a];
        }
        GArrayCollection out;
        ASSERT_TRUE(tree.FindIntersection(p, q, &out));
        EXPECT_TRUE(AsSet(&out).count(f)) << "border facet " << k - firstBorder;
    }
    delete s;
}
