// Region store, point-in-outline and outline offset of the terrain handler.
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <gtest/gtest.h>

#include "terrain_test_support.h"

using namespace terrain_test;
using Points = std::vector<std::array<double, 3>>;

namespace {
const Points kSquare = {{0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {0, 10, 1}};

std::vector<std::array<double, 2>> PlanOf(GArrayCollection* outline)
{
    std::vector<std::array<double, 2>> out;
    for (int k = 0; k < outline->size(); ++k) {
        auto* p = static_cast<G3Point*>(outline->get(k));
        out.push_back({p->GetX(), p->GetY()});
    }
    return out;
}
} // namespace

TEST(LandscapeRegions, StoreRulesTable)
{
    struct Case {
        const char* name;
        Points points;
        bool stored;
        int storedCount; // points of the stored outline, closing repeat included
    };
    const Case cases[] = {
        {"square, open", kSquare, true, 5},
        {"square, closed by the host", {{0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {0, 10, 1}, {0, 0, 1}}, true, 5},
        {"repeated point kept once", {{0, 0, 1}, {10, 0, 1}, {10, 0, 1}, {10, 10, 1}, {0, 10, 1}}, true, 5},
        {"figure eight", {{0, 0, 0}, {10, 10, 0}, {10, 0, 0}, {0, 10, 0}}, false, 0},
        {"two distinct points", {{0, 0, 0}, {10, 0, 0}, {0, 0, 0}}, false, 0},
        {"one point", {{3, 3, 0}}, false, 0},
        {"no point", {}, false, 0},
        {"no area: collinear", {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}}, false, 0},
    };
    for (const Case& c : cases) {
        G3LandscapeHandler h;
        EXPECT_EQ(StoreRegion(h, c.points), c.stored) << c.name;
        ASSERT_EQ(h.GetRegionCount(), c.stored ? 1 : 0) << c.name;
        if (c.stored) {
            EXPECT_EQ(static_cast<GArrayCollection*>(h.GetRegions()->get(0))->size(), c.storedCount) << c.name;
        }
    }
}

TEST(LandscapeRegions, CounterClockwiseIsStoredClockwise)
{
    G3LandscapeHandler h;
    ASSERT_TRUE(StoreRegion(h, kSquare)); // entered counter-clockwise
    const auto plan = PlanOf(static_cast<GArrayCollection*>(h.GetRegions()->get(0)));
    double twice = 0;
    for (std::size_t k = 0; k + 1 < plan.size(); ++k)
        twice += plan[k][0] * plan[k + 1][1] - plan[k + 1][0] * plan[k][1];
    EXPECT_NEAR(twice / 2, -100.0, 1e-12);
    EXPECT_EQ(plan.front(), plan.back());
}

TEST(LandscapeRegions, MisuseIsRefused)
{
    G3LandscapeHandler h;
    EXPECT_FALSE(h.AddContourVertex(1, 2, 3)); // no StartContour
    EXPECT_FALSE(h.EndContour());
    h.StartContour();
    EXPECT_FALSE(h.AddContourVertex(NAN, 0, 0));
    EXPECT_FALSE(h.AddContourVertex(0, INFINITY, 0));
    h.StartContour(); // the first open outline is discarded, not leaked
    EXPECT_TRUE(h.AddContourVertex(0, 0, 0));
    EXPECT_EQ(h.GetRegionCount(), 0);
}

TEST(LandscapeRegions, CopiesOwnTheirRegions)
{
    auto* original = new G3LandscapeHandler;
    original->SetFlatMargin(2.5);
    ASSERT_TRUE(StoreRegion(*original, kSquare));
    G3LandscapeHandler copy(*original);
    G3LandscapeHandler assigned;
    ASSERT_TRUE(StoreRegion(assigned, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    assigned = *original;
    delete original; // the copies must not share (and free twice) its lists
    for (G3LandscapeHandler* h : {&copy, &assigned}) {
        ASSERT_EQ(h->GetRegionCount(), 1);
        EXPECT_EQ(h->GetFlatMargin(), 2.5);
        auto* outline = static_cast<GArrayCollection*>(h->GetRegions()->get(0));
        EXPECT_EQ(outline->size(), 5);
        EXPECT_TRUE(G3LandscapeHandler::PointInContour(h->GetRegions(), 5, 5));
    }
    EXPECT_EQ(G3LandscapeHandler().GetFlatMargin(), 0.0);
}

TEST(LandscapePointInContour, MatchesBoostWithinOnRandomSimplePolygons)
{
    namespace bg = boost::geometry;
    using BPoint = bg::model::d2::point_xy<double>;
    using BPolygon = bg::model::polygon<BPoint, false>; // counter-clockwise
    std::mt19937 random(18);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int insideCount = 0, total = 0;
    for (int polygon = 0; polygon < 10; ++polygon) {
        // A star-shaped polygon around a centre: simple by construction.
        const int n = 5 + polygon * 3;
        Points points;
        for (int k = 0; k < n; ++k) {
            const double angle = 2 * M_PI * (k + 0.8 * unit(random)) / n;
            const double radius = 2 + 8 * unit(random);
            points.push_back({50 + radius * std::cos(angle), 50 + radius * std::sin(angle), 0});
        }
        GArrayCollection* outline = MakeOutline(points);
        GArrayCollection outlines;
        outlines.add(outline);
        BPolygon oracle;
        for (const auto& p : points)
            bg::append(oracle.outer(), BPoint(p[0], p[1]));
        bg::append(oracle.outer(), BPoint(points[0][0], points[0][1]));
        for (int k = 0; k < 1000; ++k) {
            const double x = 38 + 24 * unit(random), y = 38 + 24 * unit(random);
            const bool ours = G3LandscapeHandler::PointInContour(&outlines, x, y);
            EXPECT_EQ(ours, bg::within(BPoint(x, y), oracle)) << polygon << " " << x << " " << y;
            insideCount += ours;
            ++total;
        }
        FreeOutline(outline);
    }
    EXPECT_EQ(total, 10000);
    EXPECT_GT(insideCount, 1000); // the samples reach both sides
    EXPECT_LT(insideCount, 9000);
}

TEST(LandscapePointInContour, EdgeCasesTable)
{
    GArrayCollection* square = MakeOutline(kSquare);
    GArrayCollection* far = MakeOutline({{100, 100, 0}, {110, 100, 0}, {110, 110, 0}});
    GArrayCollection outlines;
    outlines.add(far);
    outlines.add(square);
    struct Case {
        double x, y;
        bool inside;
    };
    const Case cases[] = {
        {5, 5, true},
        {-1, 5, false},
        {105, 101, true},
        {50, 50, false},
        // On a vertical side that side never counts; the half-open rule on
        // the sides above decides: the right side is in, the left side out.
        {10, 5, true},
        {0, 5, false},
        {5, 11, false},
        {1e-3, 9.999, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(G3LandscapeHandler::PointInContour(&outlines, c.x, c.y), c.inside) << c.x << " " << c.y;
    EXPECT_FALSE(G3LandscapeHandler::PointInContour(nullptr, 5, 5));
    FreeOutline(square);
    FreeOutline(far);
}

TEST(LandscapeOffsetContour, AnalyticOffsetsTable)
{
    struct Case {
        const char* name;
        Points clockwise;
        double distance;
        Points expected; // the offset corners, starting at the second input point
    };
    const Case cases[] = {
        {"square outward",
         {{0, 0, 1}, {0, 10, 2}, {10, 10, 3}, {10, 0, 4}},
         2,
         {{-2, 12, 2}, {12, 12, 3}, {12, -2, 4}, {-2, -2, 1}}},
        {"rectangle inward",
         {{0, 0, 0}, {0, 4, 0}, {20, 4, 0}, {20, 0, 0}},
         -1,
         {{1, 3, 0}, {19, 3, 0}, {19, 1, 0}, {1, 1, 0}}},
        {"L shape outward",
         {{0, 0, 5}, {0, 20, 5}, {10, 20, 5}, {10, 10, 5}, {20, 10, 5}, {20, 0, 5}},
         1,
         {{-1, 21, 5}, {11, 21, 5}, {11, 11, 5}, {21, 11, 5}, {21, -1, 5}, {-1, -1, 5}}},
    };
    for (const Case& c : cases) {
        GArrayCollection* in = MakeOutline(c.clockwise);
        GArrayCollection out;
        ASSERT_TRUE(G3LandscapeHandler::OffsetContour(in, &out, c.distance)) << c.name;
        ASSERT_EQ(out.size(), static_cast<int>(c.expected.size()) + 1) << c.name;
        for (int k = 0; k <= static_cast<int>(c.expected.size()); ++k) {
            const auto& e = c.expected[k % c.expected.size()];
            auto* p = static_cast<G3Point*>(out.get(k));
            EXPECT_NEAR(p->GetX(), e[0], 1e-9) << c.name << " " << k;
            EXPECT_NEAR(p->GetY(), e[1], 1e-9) << c.name << " " << k;
            EXPECT_NEAR(p->GetZ(), e[2], 1e-12) << c.name << " " << k;
        }
        out.clear(true);
        FreeOutline(in);
    }
}

TEST(LandscapeOffsetContour, DegenerateInputsGiveNoOutputTable)
{
    struct Case {
        const char* name;
        Points points; // closed by MakeOutline
    };
    const Case cases[] = {
        {"zero-length first side", {{0, 0, 0}, {0, 0, 0}, {10, 0, 0}, {10, 10, 0}}},
        {"there and back: no pair meets", {{0, 0, 0}, {10, 0, 0}}},
        {"all points equal", {{3, 3, 0}, {3, 3, 0}, {3, 3, 0}}},
    };
    for (const Case& c : cases) {
        GArrayCollection* in = MakeOutline(c.points);
        GArrayCollection out;
        EXPECT_FALSE(G3LandscapeHandler::OffsetContour(in, &out, 1.0)) << c.name;
        EXPECT_EQ(out.size(), 0) << c.name;
        FreeOutline(in);
    }
    GArrayCollection single, out;
    single.add(new G3Point(1, 1, 1, 0));
    EXPECT_FALSE(G3LandscapeHandler::OffsetContour(&single, &out, 1.0));
    EXPECT_FALSE(G3LandscapeHandler::OffsetContour(nullptr, &out, 1.0));
    EXPECT_EQ(out.size(), 0);
    single.clear(true);
}
