// The smoothing passes and LandscapeSmoothing.
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "terrain_test_support.h"
#include "topology_validator.h"

using namespace terrain_test;

namespace {
double Plane(double x, double)
{
    return 0.5 * x + 2;
}

struct Shape {
    const char* name;
    std::function<G3Surface*(double x0, double y0)> make;
};

const Shape kShapes[] = {
    {"rectangle", [](double x0, double y0) { return MakeGrid(8, 6, 1.0, Plane, {}, x0, y0); }},
    {"L shape",
     [](double x0, double y0) {
         return MakeGrid(
             8, 8, 1.0, Plane, [](int i, int j) { return i < 4 || j < 4; }, x0, y0);
     }},
    {"hole",
     [](double x0, double y0) {
         return MakeGrid(
             8, 8, 1.0, Plane, [](int i, int j) { return !(i >= 3 && i < 5 && j >= 3 && j < 5); }, x0, y0);
     }},
    {"quads", [](double x0, double y0) { return MakeQuadGrid(6, 6, 1.0, Plane, x0, y0); }},
};

// Moves every vertex a little in plan (the same for the same surface) and
// puts it back on the plane.
void Jitter(G3Surface* s)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> shift(-0.15, 0.15);
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        const double x = v->GetX() + shift(random), y = v->GetY() + shift(random);
        v->Set(x, y, Plane(x, y));
    }
    s->FormPlaneEquation();
}

// A pass under test: a mode of LandscapeSmoothing with two passes, or
// SecondOrderSmoothSurfaceEx (mode 5 here) with depth 2.
G3Surface* RunPass(G3LandscapeHandler& h, G3Surface* s, int mode)
{
    if (mode == 5)
        return h.SecondOrderSmoothSurfaceEx(s, 2);
    return h.LandscapeSmoothing(s, mode, 2);
}

// Owns a result and the slope records on it.
struct Result {
    explicit Result(G3Surface* s) : surface(s) {}
    ~Result()
    {
        G3LandscapeHandler::DeleteSlopeRecords(surface);
        delete surface;
    }
    G3Surface* surface;
};

// A host's own object, kept in every vertex slot of the input.
class HostTag : public GObj {
public:
    int value = 42;
};
} // namespace

TEST(LandscapeSmoothing, PlanarTerrainsKeepPlaneOutlineAndAreaTable)
{
    for (const Shape& shape : kShapes)
        for (int mode = 1; mode <= 5; ++mode) {
            std::unique_ptr<G3Surface> s(shape.make(0, 0));
            const double area = PlanArea(s.get());
            const double border = BorderLength(s.get());
            const int vertices = s->GetVertexCount();
            G3LandscapeHandler h;
            Result r(RunPass(h, s.get(), mode));
            ASSERT_TRUE(r.surface) << shape.name << " mode " << mode;
            EXPECT_TRUE(AllFinite(r.surface)) << shape.name << " mode " << mode;
            EXPECT_LT(MaxPlaneDeviation(r.surface, Plane), 1e-9) << shape.name << " mode " << mode;
            EXPECT_NEAR(PlanArea(r.surface), area, 1e-9) << shape.name << " mode " << mode;
            EXPECT_NEAR(BorderLength(r.surface), border, 1e-9) << shape.name << " mode " << mode;
            EXPECT_GT(r.surface->GetFacetCount(), s->GetFacetCount()) << shape.name << " mode " << mode;
            EXPECT_EQ(ValidateTopology(r.surface), "") << shape.name << " mode " << mode;
            EXPECT_EQ(s->GetVertexCount(), vertices) << shape.name << " mode " << mode;
        }
}

TEST(LandscapeSmoothing, SurveyCoordinatesGiveTheSameResultMovedTable)
{
    const double far = 1e6;
    for (const Shape& shape : kShapes)
        for (int mode = 1; mode <= 5; ++mode) {
            // Jittered, so that no four points are cocircular and the
            // Delaunay choices do not hang on rounding noise.
            std::unique_ptr<G3Surface> nearS(shape.make(0, 0));
            Jitter(nearS.get());
            std::unique_ptr<G3Surface> farS(static_cast<G3Surface*>(nearS->Duplicate()));
            Translate(farS.get(), far, far);
            G3LandscapeHandler h;
            Result a(RunPass(h, nearS.get(), mode));
            Result b(RunPass(h, farS.get(), mode));
            ASSERT_TRUE(a.surface && b.surface) << shape.name << " mode " << mode;
            const auto pa = SortedPositions(a.surface, 0, 0);
            const auto pb = SortedPositions(b.surface, far, far);
            ASSERT_EQ(pa.size(), pb.size()) << shape.name << " mode " << mode;
            for (std::size_t k = 0; k < pa.size(); ++k)
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(pa[k][c], pb[k][c], 1e-5) << shape.name << " mode " << mode;
            EXPECT_EQ(a.surface->GetFacetCount(), b.surface->GetFacetCount()) << shape.name << " mode " << mode;
        }
}

TEST(LandscapeSmoothing, HostObjectsInSlotsAreKeptAndNeverReadTable)
{
    for (int mode = 1; mode <= 5; ++mode) {
        std::unique_ptr<G3Surface> s(MakeGrid(4, 4, 1.0, [](double x, double y) { return 1 + x * x / 8 + y / 4; }));
        std::vector<std::unique_ptr<HostTag>> tags;
        for (int k = 0; k < s->GetVertexCount(); ++k) {
            tags.emplace_back(new HostTag);
            s->GetVertex(k)->SetExData(tags.back().get());
        }
        G3LandscapeHandler h;
        std::unique_ptr<G3Surface> plain(MakeGrid(4, 4, 1.0, [](double x, double y) { return 1 + x * x / 8 + y / 4; }));
        Result withTags(RunPass(h, s.get(), mode));
        Result without(RunPass(h, plain.get(), mode));
        ASSERT_TRUE(withTags.surface && without.surface) << mode;
        // The tags are still there, alive, and did not act as normals.
        for (int k = 0; k < s->GetVertexCount(); ++k) {
            EXPECT_EQ(s->GetVertex(k)->GetExData(), tags[k].get()) << mode;
            EXPECT_EQ(tags[k]->value, 42) << mode;
        }
        EXPECT_EQ(SortedPositions(withTags.surface, 0, 0), SortedPositions(without.surface, 0, 0)) << mode;
    }
}

TEST(LandscapeSmoothing, VerticalFacetsGiveNoNaNTable)
{
    // A cliff: two grids at different heights joined by vertical quads, and
    // a lone vertical triangle whose normals cancel the slope's divisor.
    auto cliff = [] {
        G3Surface* s = MakeGrid(4, 4, 1.0, [](double, double) { return 1.0; });
        std::unique_ptr<G3Surface> high(MakeGrid(
            4, 4, 1.0, [](double, double) { return 4.0; }, {}, 4, 0));
        s->AddCopyOf(high.get());
        for (int j = 0; j < 4; ++j) {
            G3Vertex* q[4] = {s->AddVertex(4, j, 1.0), s->AddVertex(4, j + 1, 1.0), s->AddVertex(4, j + 1, 4.0),
                              s->AddVertex(4, j, 4.0)};
            s->AddFacet(4, q, 1, nullptr, nullptr);
        }
        s->RemoveEqualsVertex();
        s->FormPlaneEquation();
        return s;
    };
    auto wall = [] {
        auto* s = new G3Surface(3, 1);
        G3Vertex* t[3] = {s->AddVertex(0, 0, 1.0), s->AddVertex(2, 0, 1.0), s->AddVertex(1, 0, 3.0)};
        s->AddFacet(3, t, 1, nullptr, nullptr);
        return s;
    };
    for (int mode = 1; mode <= 5; ++mode) {
        std::unique_ptr<G3Surface> s(cliff());
        const double area = PlanArea(s.get());
        G3LandscapeHandler h;
        Result r(RunPass(h, s.get(), mode));
        ASSERT_TRUE(r.surface) << mode;
        EXPECT_TRUE(AllFinite(r.surface)) << mode;
        EXPECT_NEAR(PlanArea(r.surface), area, 1e-9) << mode;
        // Samples off every grid line and diagonal.
        for (double x = 0.3123; x < 8; x += 0.5)
            for (double y = 0.1571; y < 4; y += 0.5)
                EXPECT_GE(Coverage(r.surface, x, y), 1) << mode << " " << x << " " << y;
    }
    std::unique_ptr<G3Surface> w(wall());
    G3LandscapeHandler h;
    Result smooth(h.SmoothSurface(w.get()));
    ASSERT_TRUE(smooth.surface);
    EXPECT_TRUE(AllFinite(smooth.surface));
    EXPECT_EQ(smooth.surface->GetFacetCount(), 4);
}
