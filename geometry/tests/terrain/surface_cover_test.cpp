// SurfaceCover: terrains closed into solids by skirts and bottom facets.
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "terrain_test_support.h"
#include "test_bodies.h"
#include "topology_validator.h"

using namespace terrain_test;

namespace {
double Tilted(double x, double y)
{
    return 0.2 * x + 0.1 * y + 3;
}

int g_NotifierBalance = 0;
int g_NotifierCalls = 0;
void CountingNotifier(int starting)
{
    g_NotifierBalance += starting ? 1 : -1;
    ++g_NotifierCalls;
    EXPECT_GE(g_NotifierBalance, 0);
    EXPECT_LE(g_NotifierBalance, 1);
}

int EveryFacetSpecial(G3Facet*)
{
    return 1;
}

// The facets of every cell outside the middle 2 x 2 cells of a 6 x 6 grid.
bool OutsideMiddle(int i, int j)
{
    return !(i >= 2 && i < 4 && j >= 2 && j < 4);
}
} // namespace

TEST(LandscapeSurfaceCover, ClosedSolidsWithAnalyticVolumesTable)
{
    struct Case {
        const char* name;
        std::function<G3Surface*()> make;
        double volume; // plan area x mean height, per patch
        int euler;     // 2 per closed lump, 0 for a lump with a tunnel
    };
    // A tilted plane over a rectangle: mean height at the centroid.
    const double plate = 6 * 4 * Tilted(3, 2);
    const double holeVolume = 2 * 2 * Tilted(3, 3);
    const Case cases[] = {
        {"tilted patch", [] { return MakeGrid(6, 4, 1.0, Tilted); }, plate, 2},
        {"patch with a hole", [] { return MakeGrid(6, 6, 1.0, Tilted, OutsideMiddle); },
         6 * 6 * Tilted(3, 3) - holeVolume, 0},
        {"two patches",
         [] {
             G3Surface* s = MakeGrid(6, 4, 1.0, Tilted);
             std::unique_ptr<G3Surface> other(MakeGrid(6, 4, 1.0, Tilted, {}, 20, 0));
             s->AddCopyOf(other.get());
             return s;
         },
         plate + 6 * 4 * Tilted(23, 2), 4},
    };
    for (const Case& c : cases) {
        std::unique_ptr<G3Surface> s(c.make());
        const double planArea = PlanArea(s.get());
        G3LandscapeHandler h;
        h.SurfaceCover(s.get());
        EXPECT_TRUE(s->GetClosed()) << c.name;
        EXPECT_EQ(ValidateTopology(s.get()), "") << c.name;
        EXPECT_NEAR(BorderLength(s.get()), 0.0, 1e-12) << c.name;
        EXPECT_NEAR(std::fabs(s->GetVolume()), c.volume, 1e-9 * c.volume) << c.name;
        EXPECT_EQ(EulerCharacteristic(s.get()), c.euler) << c.name;
        // A solid: one outer side a facet, all facing out (positive volume
        // by the orientation-sensitive sum).
        double signedVolume = 0;
        for (int k = 0; k < s->GetFacetCount(); ++k) {
            G3Facet* f = s->GetFacet(k);
            EXPECT_FALSE(f->GetDoubleSided()) << c.name;
            GArrayCollection v;
            f->GetVertices(&v);
            const double* p0 = static_cast<G3Vertex*>(v.get(0))->GetXYZ();
            signedVolume += f->GetArea() * (f->GetPlaneA() * p0[0] + f->GetPlaneB() * p0[1] + f->GetPlaneC() * p0[2]) /
                (3 *
                 std::sqrt(f->GetPlaneA() * f->GetPlaneA() + f->GetPlaneB() * f->GetPlaneB() +
                           f->GetPlaneC() * f->GetPlaneC()));
        }
        EXPECT_NEAR(signedVolume, c.volume, 1e-9 * c.volume) << c.name;
        // The bottom covers the same plan area as the terrain.
        double bottom = 0;
        for (int k = 0; k < s->GetFacetCount(); ++k) {
            G3Facet* f = s->GetFacet(k);
            GArrayCollection vertices;
            f->GetVertices(&vertices);
            bool atZero = true;
            for (int v = 0; v < vertices.size(); ++v)
                atZero = atZero && static_cast<G3Vertex*>(vertices.get(v))->GetZ() == 0.0;
            if (atZero)
                bottom += f->GetArea();
        }
        EXPECT_NEAR(bottom, planArea, 1e-9) << c.name;
    }
}

TEST(LandscapeSurfaceCover, TwoTrianglePatchGetsFourSkirtsAndOneBottom)
{
    std::unique_ptr<G3Surface> s(MakeGrid(1, 1, 1.0, [](double x, double y) { return 1 + (x + y) / 2; }));
    G3LandscapeHandler h;
    g_NotifierBalance = g_NotifierCalls = 0;
    h.SetFacetNotifier(CountingNotifier);
    h.SurfaceCover(s.get());
    EXPECT_EQ(g_NotifierBalance, 0);
    EXPECT_EQ(g_NotifierCalls, 4);
    EXPECT_EQ(s->GetFacetCount(), 2 + 4 + 1);
    EXPECT_EQ(s->GetVertexCount(), 8);
    EXPECT_TRUE(s->GetClosed());
    EXPECT_NEAR(std::fabs(s->GetVolume()), 1.5, 1e-12);
    // Without a classifier every edge is visible and form-making.
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        EXPECT_TRUE(s->GetEdge(k)->GetVisible());
        EXPECT_TRUE(s->GetEdge(k)->GetFormMaking());
    }
}

TEST(LandscapeSurfaceCover, ClassifierMarksEdgesBetweenKinds)
{
    std::unique_ptr<G3Surface> s(MakeGrid(2, 2, 1.0, Tilted));
    G3LandscapeHandler h;
    h.SetFacetClassifier(EveryFacetSpecial);
    h.SurfaceCover(s.get());
    ASSERT_TRUE(s->GetClosed());
    // Both sides special everywhere: form-making only, except the skirts'
    // lower edges, which were the border when the marks were set.
    int visible = 0;
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        EXPECT_TRUE(e->GetFormMaking());
        if (e->GetVisible()) {
            ++visible;
            EXPECT_EQ(e->GetVertex1()->GetZ(), 0.0);
            EXPECT_EQ(e->GetVertex2()->GetZ(), 0.0);
        }
    }
    EXPECT_EQ(visible, 8);
}

TEST(LandscapeSurfaceCover, ClosedOrNullSurfaceIsLeftAlone)
{
    std::unique_ptr<G3Surface> cube(MakeCube(2.0));
    const int facets = cube->GetFacetCount(), vertices = cube->GetVertexCount();
    G3LandscapeHandler h;
    h.SurfaceCover(cube.get());
    h.SurfaceCover(nullptr);
    EXPECT_EQ(cube->GetFacetCount(), facets);
    EXPECT_EQ(cube->GetVertexCount(), vertices);
}

TEST(LandscapeSurfaceCover, SmoothedTerrainWithShadingNormalsIsOrientedTable)
{
    for (int mode = 1; mode <= 4; ++mode) {
        std::unique_ptr<G3Surface> s(MakeGrid(5, 5, 1.0, [](double x, double y) { return 2 + std::sin(x) * y / 5; }));
        G3LandscapeHandler h;
        std::unique_ptr<G3Surface> r(h.LandscapeSmoothing(s.get(), mode, 1));
        ASSERT_TRUE(r) << mode;
        G3LandscapeHandler::DeleteSlopeRecords(r.get());
        h.SurfaceCover(r.get());
        int sameWay = 0;
        for (int k = 0; k < r->GetEdgeCount(); ++k) {
            G3Edge* e = r->GetEdge(k);
            if (e->GetFacet1() && e->GetFacet2())
                sameWay += e->GetFacet1()->GetMoveDirection(e) == e->GetFacet2()->GetMoveDirection(e);
        }
        EXPECT_EQ(sameWay, 0) << mode;
        EXPECT_NEAR(BorderLength(r.get()), 0.0, 1e-12) << mode;
        EXPECT_GT(r->GetVolume(), 0) << mode;
    }
}
