// ApplyFlatRegion: regions cut out of a terrain and filled at the heights
// of their outlines.
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "terrain_test_support.h"
#include "topology_validator.h"

using namespace terrain_test;
using Points = std::vector<std::array<double, 3>>;

namespace {
double Slope(double x, double)
{
    return 0.1 * x + 5;
}

struct Pad {
    Points region; // counter-clockwise
    double height;
};

// Every facet whose centroid lies inside a pad has all its corners at the
// pad's height; every facet outside all widened outlines is where the
// terrain was.
void ExpectPadsAndTerrain(G3Surface* r, const std::vector<Pad>& pads, double margin, const char* name)
{
    std::vector<GArrayCollection*> outlines, widened;
    for (const Pad& pad : pads) {
        outlines.push_back(MakeOutline(pad.region));
        widened.push_back(new GArrayCollection);
        ASSERT_TRUE(G3LandscapeHandler::OffsetContour(outlines.back(), widened.back(), -margin)) << name;
    }
    auto inside = [](GArrayCollection* outline, const double* c) {
        GArrayCollection one;
        one.add(outline);
        return G3LandscapeHandler::PointInContour(&one, c[0], c[1]);
    };
    std::vector<int> padFacets(pads.size(), 0);
    for (int k = 0; k < r->GetFacetCount(); ++k) {
        GArrayCollection vertices;
        r->GetFacet(k)->GetVertices(&vertices);
        double c[2] = {0, 0};
        for (int v = 0; v < vertices.size(); ++v) {
            c[0] += static_cast<G3Vertex*>(vertices.get(v))->GetX() / vertices.size();
            c[1] += static_cast<G3Vertex*>(vertices.get(v))->GetY() / vertices.size();
        }
        int pad = -1;
        bool inBand = false;
        for (std::size_t p = 0; p < pads.size(); ++p) {
            if (inside(outlines[p], c))
                pad = static_cast<int>(p);
            inBand = inBand || inside(widened[p], c);
        }
        for (int v = 0; v < vertices.size(); ++v) {
            auto* p = static_cast<G3Vertex*>(vertices.get(v));
            if (pad >= 0) {
                EXPECT_NEAR(p->GetZ(), pads[pad].height, 1e-9) << name;
            } else if (!inBand) {
                EXPECT_NEAR(p->GetZ(), Slope(p->GetX(), p->GetY()), 1e-9) << name;
            }
        }
        if (pad >= 0)
            ++padFacets[pad];
    }
    for (std::size_t p = 0; p < pads.size(); ++p) {
        EXPECT_GT(padFacets[p], 0) << name << " " << p;
        FreeOutline(outlines[p]);
        widened[p]->clear(true);
        delete widened[p];
    }
}

// No plan point of a sample is covered by two facets, and every sample
// inside the terrain's rectangle is covered once.
void ExpectSingleCover(G3Surface* r, double size, const char* name)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> at(0.01, size - 0.01);
    int twice = 0, uncovered = 0;
    for (int k = 0; k < 400; ++k) {
        const int n = Coverage(r, at(random), at(random));
        twice += n > 1;
        uncovered += n == 0;
    }
    EXPECT_EQ(twice, 0) << name;
    EXPECT_EQ(uncovered, 0) << name;
}
} // namespace

TEST(LandscapeFlatRegion, SquareAndLShapedPadsTable)
{
    struct Case {
        const char* name;
        Points region; // counter-clockwise, at one height
        double height;
        double margin;
    };
    const Case cases[] = {
        {"square", {{6, 6, 7}, {11, 6, 7}, {11, 11, 7}, {6, 11, 7}}, 7.0, 1.5},
        {"L shape", {{5, 5, 6}, {14, 5, 6}, {14, 9, 6}, {9, 9, 6}, {9, 14, 6}, {5, 14, 6}}, 6.0, 1.5},
        // The band's outline runs along grid lines; in its notch a terrain
        // triangle has all three corners on it and stays.
        {"L shape on grid lines", {{5, 5, 6}, {14, 5, 6}, {14, 14, 6}, {11, 14, 6}, {11, 9, 6}, {5, 9, 6}}, 6.0, 1.0},
    };
    for (const Case& c : cases) {
        const double margin = c.margin;
        std::unique_ptr<G3Surface> s(MakeGrid(20, 20, 1.0, Slope));
        const double area = PlanArea(s.get());
        G3LandscapeHandler h;
        h.SetFlatMargin(margin);
        ASSERT_TRUE(StoreRegion(h, c.region)) << c.name;
        std::unique_ptr<G3Surface> r(h.ApplyFlatRegion(s.get()));
        ASSERT_TRUE(r) << c.name;
        EXPECT_EQ(ValidateTopology(r.get()), "") << c.name;
        EXPECT_NEAR(PlanArea(r.get()), area, 1e-6) << c.name;
        ExpectSingleCover(r.get(), 20.0, c.name);
        ExpectPadsAndTerrain(r.get(), {{c.region, c.height}}, margin, c.name);
        EXPECT_NEAR(BorderLength(r.get()), 80.0, 1e-6) << c.name; // no gap along the cut
        for (int k = 0; k < r->GetFacetCount(); ++k)
            EXPECT_GT(r->GetFacet(k)->GetPlaneC(), 0) << c.name; // pad and terrain face up
        // Closed, the whole runs one way: every edge is walked once each
        // way by its two facets.
        h.SurfaceCover(r.get());
        int sameWay = 0;
        for (int k = 0; k < r->GetEdgeCount(); ++k) {
            G3Edge* e = r->GetEdge(k);
            if (e->GetFacet1() && e->GetFacet2())
                sameWay += e->GetFacet1()->GetMoveDirection(e) == e->GetFacet2()->GetMoveDirection(e);
        }
        EXPECT_EQ(sameWay, 0) << c.name;
        EXPECT_NEAR(BorderLength(r.get()), 0.0, 1e-9) << c.name;
    }
}

TEST(LandscapeFlatRegion, NothingToDoGivesNullTable)
{
    struct Case {
        const char* name;
        Points region; // empty: none stored
        double margin;
    };
    const Case cases[] = {
        {"no region", {}, 1.0},
        {"margin 0 (the default)", {{6, 6, 7}, {11, 6, 7}, {11, 11, 7}, {6, 11, 7}}, 0.0},
        {"margin below 0.0001", {{6, 6, 7}, {11, 6, 7}, {11, 11, 7}, {6, 11, 7}}, 5e-5},
        {"region at the border", {{-1, 6, 7}, {4, 6, 7}, {4, 11, 7}, {-1, 11, 7}}, 1.0},
        {"widened region beyond the border", {{1, 6, 7}, {4, 6, 7}, {4, 11, 7}, {1, 11, 7}}, 2.0},
        {"region around the whole terrain", {{-5, -5, 7}, {25, -5, 7}, {25, 25, 7}, {-5, 25, 7}}, 1.0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<G3Surface> s(MakeGrid(20, 20, 1.0, Slope));
        G3LandscapeHandler h;
        h.SetFlatMargin(c.margin);
        if (!c.region.empty()) {
            ASSERT_TRUE(StoreRegion(h, c.region)) << c.name;
        }
        const int stored = c.region.empty() ? 0 : 5;
        std::unique_ptr<G3Surface> r(h.ApplyFlatRegion(s.get()));
        EXPECT_FALSE(r) << c.name;
        if (std::fabs(c.margin) < 1e-4 && stored > 0) {
            EXPECT_EQ(static_cast<GArrayCollection*>(h.GetRegions()->get(0))->size(), stored) << c.name;
        }
        EXPECT_EQ(s->GetFacetCount(), 800) << c.name; // the input keeps its facets
    }
    G3LandscapeHandler h;
    h.SetFlatMargin(1.0);
    EXPECT_FALSE(h.ApplyFlatRegion(nullptr));
}

TEST(LandscapeFlatRegion, DensifiesStoredOutlines)
{
    // Mean plan edge length 4 (a grid of 4 x 4 cells with no diagonals: the
    // quads' edges) and a square region of side 10: three pieces a side.
    std::unique_ptr<G3Surface> s(MakeQuadGrid(8, 8, 4.0, Slope));
    G3LandscapeHandler h;
    h.SetFlatMargin(1.0);
    ASSERT_TRUE(StoreRegion(h, {{10, 10, 7}, {20, 10, 7}, {20, 20, 7}, {10, 20, 7}}));
    std::unique_ptr<G3Surface> r(h.ApplyFlatRegion(s.get()));
    auto* outline = static_cast<GArrayCollection*>(h.GetRegions()->get(0));
    EXPECT_EQ(outline->size(), 13);
    for (int k = 0; k + 1 < outline->size(); ++k) {
        auto* a = static_cast<G3Point*>(outline->get(k));
        auto* b = static_cast<G3Point*>(outline->get(k + 1));
        EXPECT_NEAR(std::hypot(b->GetX() - a->GetX(), b->GetY() - a->GetY()), 10.0 / 3, 1e-12);
    }
}

TEST(LandscapeFlatRegion, TinyMeanEdgeGivesNull)
{
    // A terrain of 1e-8 cells: the densification would need 10^9 points a
    // side; it is refused instead.
    std::unique_ptr<G3Surface> s(MakeGrid(2, 2, 1e-7, Slope));
    G3LandscapeHandler h;
    h.SetFlatMargin(1.0);
    ASSERT_TRUE(StoreRegion(h, {{0, 0, 1}, {10, 0, 1}, {10, 10, 1}}));
    EXPECT_FALSE(h.ApplyFlatRegion(s.get()));
}

TEST(LandscapeFlatRegion, SurveyCoordinatesGiveTheSameResultMoved)
{
    const double far = 1e6;
    const Points region = {{5, 5, 6}, {14, 5, 6}, {14, 9, 6}, {9, 9, 6}, {9, 14, 6}, {5, 14, 6}};
    std::unique_ptr<G3Surface> results[2];
    for (int k = 0; k < 2; ++k) {
        const double shift = k * far;
        std::unique_ptr<G3Surface> s(MakeGrid(20, 20, 1.0, Slope));
        Translate(s.get(), shift, shift);
        Points moved = region;
        for (auto& p : moved) {
            p[0] += shift;
            p[1] += shift;
        }
        G3LandscapeHandler h;
        h.SetFlatMargin(1.5);
        ASSERT_TRUE(StoreRegion(h, moved));
        results[k].reset(h.ApplyFlatRegion(s.get()));
        ASSERT_TRUE(results[k]) << shift;
        h.SurfaceCover(results[k].get());
    }
    EXPECT_EQ(results[0]->GetFacetCount(), results[1]->GetFacetCount());
    EXPECT_NEAR(std::fabs(results[0]->GetVolume()), std::fabs(results[1]->GetVolume()), 1e-6);
    const auto a = SortedPositions(results[0].get(), 0, 0);
    const auto b = SortedPositions(results[1].get(), far, far);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t k = 0; k < a.size(); ++k)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(a[k][c], b[k][c], 1e-5) << k;
}

TEST(LandscapeFlatRegion, TwoRegionsAtTwoHeights)
{
    std::unique_ptr<G3Surface> s(MakeGrid(24, 12, 1.0, Slope));
    const double area = PlanArea(s.get());
    G3LandscapeHandler h;
    h.SetFlatMargin(1.5);
    const Points first = {{3, 3, 5.5}, {8, 3, 5.5}, {8, 8, 5.5}, {3, 8, 5.5}};
    const Points second = {{14, 3, 7.5}, {20, 3, 7.5}, {20, 9, 7.5}, {14, 9, 7.5}};
    ASSERT_TRUE(StoreRegion(h, first));
    ASSERT_TRUE(StoreRegion(h, second));
    std::unique_ptr<G3Surface> r(h.ApplyFlatRegion(s.get()));
    ASSERT_TRUE(r);
    EXPECT_NEAR(PlanArea(r.get()), area, 1e-6);
    ExpectSingleCover(r.get(), 12.0, "two regions");
    ExpectPadsAndTerrain(r.get(), {{first, 5.5}, {second, 7.5}}, 1.5, "two regions");
}
