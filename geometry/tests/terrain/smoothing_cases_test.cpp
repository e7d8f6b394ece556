// Particular cases of the smoothing passes: counts, slopes, records, the
// height clamp and the refinement depth.
#include <algorithm>
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "terrain_test_support.h"

using namespace terrain_test;

namespace {
G3Surface* Triangle(const double* a, const double* b, const double* c)
{
    auto* s = new G3Surface(3, 1);
    G3Vertex* t[3] = {s->AddVertex(a, 0), s->AddVertex(b, 0), s->AddVertex(c, 0)};
    s->AddFacet(3, t, 1, nullptr, nullptr);
    return s;
}

struct Owned {
    explicit Owned(G3Surface* s) : surface(s) {}
    ~Owned()
    {
        G3LandscapeHandler::DeleteSlopeRecords(surface);
        delete surface;
    }
    G3Surface* surface;
};

G3Derivative* RecordAt(G3Surface* s, double x, double y)
{
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        if (std::fabs(v->GetX() - x) < 1e-9 && std::fabs(v->GetY() - y) < 1e-9)
            return dynamic_cast<G3Derivative*>(v->GetExData());
    }
    return nullptr;
}
} // namespace

TEST(LandscapeSmoothingCases, SingleTriangleSplitsIntoFour)
{
    const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {0, 1, 0};
    std::unique_ptr<G3Surface> s(Triangle(a, b, c));
    G3LandscapeHandler h;
    Owned r(h.SmoothSurface(s.get()));
    ASSERT_TRUE(r.surface);
    EXPECT_EQ(r.surface->GetFacetCount(), 4);
    EXPECT_EQ(r.surface->GetPolyEdgeCount(), 3);
    const double mids[3][2] = {{0.5, 0}, {0, 0.5}, {0.5, 0.5}};
    for (const auto& m : mids) {
        bool found = false;
        for (int k = 0; k < r.surface->GetVertexCount(); ++k) {
            G3Vertex* v = r.surface->GetVertex(k);
            if (v->HasEdges() && std::fabs(v->GetX() - m[0]) < 1e-12 && std::fabs(v->GetY() - m[1]) < 1e-12) {
                found = true;
                EXPECT_EQ(v->GetZ(), 0.0);
            }
        }
        EXPECT_TRUE(found) << m[0] << " " << m[1];
    }
}

TEST(LandscapeSmoothingCases, SharedEdgeGivesOneEdgePoint)
{
    std::unique_ptr<G3Surface> s(MakeGrid(1, 1, 2.0, [](double x, double y) { return 1 + x * y; }));
    G3LandscapeHandler h;
    Owned r(h.SmoothSurface(s.get()));
    ASSERT_TRUE(r.surface);
    EXPECT_EQ(r.surface->GetFacetCount(), 8);
    int withEdges = 0;
    for (int k = 0; k < r.surface->GetVertexCount(); ++k)
        withEdges += r.surface->GetVertex(k)->HasEdges();
    EXPECT_EQ(withEdges, 4 + 5); // corners, four side points and one shared
}

TEST(LandscapeSmoothingCases, NegativeHeightsAreClampedToZeroTable)
{
    // The plane z = x - 5 is below 0 for x < 5: new points there are put at
    // 0, while the input's own vertices keep their heights.
    auto plane = [](double x, double) { return x - 5; };
    for (int mode : {2, 3, 4}) {
        std::unique_ptr<G3Surface> s(MakeGrid(10, 2, 1.0, plane));
        G3LandscapeHandler h;
        Owned r(h.LandscapeSmoothing(s.get(), mode, 1));
        ASSERT_TRUE(r.surface) << mode;
        int clamped = 0;
        for (int k = 0; k < r.surface->GetVertexCount(); ++k) {
            G3Vertex* v = r.surface->GetVertex(k);
            const double x = v->GetX();
            const bool input =
                std::fabs(x - std::round(x)) < 1e-9 && std::fabs(v->GetY() - std::round(v->GetY())) < 1e-9;
            const double expected = input ? plane(x, 0) : std::max(plane(x, 0), 0.0);
            EXPECT_NEAR(v->GetZ(), expected, 1e-9) << mode << " " << x;
            clamped += !input && plane(x, 0) < 0;
        }
        EXPECT_GT(clamped, 0) << mode;
    }
}

TEST(LandscapeSmoothingCases, SmoothSurfaceExNeverBelowZero)
{
    // A spike: tangent planes of the slopes beside it reach far below 0.
    std::unique_ptr<G3Surface> s(
        MakeGrid(4, 4, 1.0, [](double x, double y) { return std::fabs(x - 2) + std::fabs(y - 2) < 0.5 ? 10.0 : 0.1; }));
    G3LandscapeHandler h;
    Owned r(h.SmoothSurfaceEx(s.get()));
    ASSERT_TRUE(r.surface);
    for (int k = 0; k < r.surface->GetVertexCount(); ++k)
        EXPECT_GE(r.surface->GetVertex(k)->GetZ(), 0.0);
}

TEST(LandscapeSmoothingCases, PlanarSlopesAndBorderRecords)
{
    std::unique_ptr<G3Surface> s(MakeGrid(4, 4, 1.0, [](double x, double) { return 0.5 * x + 2; }));
    G3LandscapeHandler h;
    Owned first(h.SecondOrderSmoothSurface(s.get(), 4));
    ASSERT_TRUE(first.surface);
    for (int k = 0; k < first.surface->GetVertexCount(); ++k) {
        auto* d = dynamic_cast<G3Derivative*>(first.surface->GetVertex(k)->GetExData());
        ASSERT_TRUE(d);
        EXPECT_NEAR(d->fx, 0.5, 1e-12);
        EXPECT_NEAR(d->fy, 0.0, 1e-12);
    }
    // A border vertex keeps slopes set by an earlier pass; one whose slopes
    // are below 1e-5 takes the new estimate.
    G3Derivative* corner = RecordAt(first.surface, 0, 0);
    G3Derivative* side = RecordAt(first.surface, 4, 2);
    ASSERT_TRUE(corner && side);
    corner->fx = 0.25;
    corner->fy = -0.125;
    side->fx = side->fy = 1e-6;
    Owned second(h.SecondOrderSmoothSurface(first.surface, 4));
    ASSERT_TRUE(second.surface);
    G3Derivative* cornerAfter = RecordAt(second.surface, 0, 0);
    G3Derivative* sideAfter = RecordAt(second.surface, 4, 2);
    ASSERT_TRUE(cornerAfter && sideAfter);
    EXPECT_EQ(cornerAfter->fx, 0.25);
    EXPECT_EQ(cornerAfter->fy, -0.125);
    EXPECT_NEAR(sideAfter->fx, 0.5, 1e-12);
    EXPECT_NEAR(sideAfter->fy, 0.0, 1e-12);
    // The records of a result are its owner's: exactly one per vertex.
    EXPECT_EQ(G3LandscapeHandler::DeleteSlopeRecords(second.surface), second.surface->GetVertexCount());
    EXPECT_EQ(G3LandscapeHandler::DeleteSlopeRecords(second.surface), 0);
}

TEST(LandscapeSmoothingCases, RefinementDepthTable)
{
    struct Case {
        int depth;
        int facets;
    };
    const Case cases[] = {{-3, 4}, {0, 4}, {1, 4}, {2, 16}, {3, 64}, {8, 65536}, {50, 65536}};
    const double a[3] = {0, 0, 1}, b[3] = {1, 0, 1}, c[3] = {0, 1, 1};
    std::unique_ptr<G3Surface> s(Triangle(a, b, c));
    G3LandscapeHandler h;
    for (const Case& k : cases) {
        Owned r(h.SecondOrderSmoothSurfaceEx(s.get(), k.depth));
        ASSERT_TRUE(r.surface) << k.depth;
        EXPECT_EQ(r.surface->GetFacetCount(), k.facets) << k.depth;
        EXPECT_NEAR(PlanArea(r.surface), 0.5, 1e-12) << k.depth;
        for (int f = 0; f < r.surface->GetFacetCount(); ++f)
            EXPECT_GT(r.surface->GetFacet(f)->GetPlaneC(), 0) << k.depth; // all turn like the input
    }
}

TEST(LandscapeSmoothingCases, LandscapeSmoothingModesAndPassesTable)
{
    std::unique_ptr<G3Surface> s(MakeGrid(3, 3, 1.0, [](double x, double y) { return 1 + x * y / 9; }));
    const int vertices = s->GetVertexCount(), facets = s->GetFacetCount();
    struct Case {
        int mode, passes;
        bool refined;     // more facets than the input
        bool withRecords; // slope records on the result
    };
    const Case cases[] = {{1, 0, false, false}, {7, 3, false, false}, {0, 2, false, false}, {1, 1, true, false},
                          {2, 1, true, false},  {3, 2, true, false},  {4, 2, true, true}};
    G3LandscapeHandler h;
    for (const Case& c : cases) {
        Owned r(h.LandscapeSmoothing(s.get(), c.mode, c.passes));
        ASSERT_TRUE(r.surface) << c.mode;
        EXPECT_NE(r.surface, s.get());
        if (c.refined) {
            EXPECT_GT(r.surface->GetFacetCount(), facets) << c.mode;
        } else {
            EXPECT_EQ(r.surface->GetFacetCount(), facets) << c.mode;
        }
        int records = 0;
        for (int k = 0; k < r.surface->GetVertexCount(); ++k)
            records += dynamic_cast<G3Derivative*>(r.surface->GetVertex(k)->GetExData()) != nullptr;
        EXPECT_EQ(records > 0, c.withRecords) << c.mode;
        EXPECT_EQ(s->GetVertexCount(), vertices);
    }
    EXPECT_FALSE(h.LandscapeSmoothing(nullptr, 1, 1));
    EXPECT_FALSE(h.SmoothSurface(nullptr));
    EXPECT_FALSE(h.SmoothSurfaceEx(nullptr));
    EXPECT_FALSE(h.SecondOrderSmoothSurface(nullptr, 3));
    EXPECT_FALSE(h.SecondOrderSmoothSurfaceEx(nullptr, 2));
    // A pass that gets no triangle out fails, and so does the chain.
    auto* flat = new G3Surface(3, 1);
    flat->AddVertex(0, 0, 0);
    flat->AddVertex(1, 0, 0);
    EXPECT_FALSE(h.SecondOrderSmoothSurface(flat, 3));
    EXPECT_FALSE(h.LandscapeSmoothing(flat, 2, 2));
    delete flat;
}

TEST(LandscapeSmoothingCases, ResultsHaveNoTwinEdgesTable)
{
    // Every interior edge of a result is one edge with two facets, so that
    // the next pass and the cover see only the true border.
    for (int mode : {1, 5}) {
        std::unique_ptr<G3Surface> s(MakeGrid(3, 3, 1.0, [](double x, double y) { return 1 + x * y / 9; }));
        G3LandscapeHandler h;
        Owned r(mode == 5 ? h.SecondOrderSmoothSurfaceEx(s.get(), 2) : h.SmoothSurface(s.get()));
        ASSERT_TRUE(r.surface);
        int oneSided = 0;
        for (int k = 0; k < r.surface->GetEdgeCount(); ++k)
            oneSided += !r.surface->GetEdge(k)->GetFacet1() || !r.surface->GetEdge(k)->GetFacet2();
        EXPECT_EQ(oneSided, mode == 5 ? 3 * 4 * 4 : 3 * 4 * 2) << mode;
    }
}
