// The reversible transformation run of a shell and the permanent
// transformation.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tessaly/surface.h"
#include "tessaly/surface_edit.h"
#include "test_bodies.h"
#include "topology_validator.h"

namespace {
struct Geometry {
    std::vector<double> coordinates;
    std::vector<double> planes;
};

Geometry Snapshot(G3Surface* s)
{
    Geometry g;
    for (int k = 0; k < s->GetVertexCount(); ++k)
        for (int a = 0; a < 3; ++a)
            g.coordinates.push_back(s->GetVertex(k)->GetXYZ()[a]);
    for (int k = 0; k < s->GetFacetCount(); ++k)
        for (int a = 0; a < 4; ++a)
            g.planes.push_back(s->GetFacet(k)->GetPlane()[a]);
    return g;
}

void Translation(double m[4][4], double x, double y, double z)
{
    M4Identity(m);
    M4Translate(m, x, y, z);
}

// Any rotation that leaves no coordinate exactly as it was.
void Turn(double m[4][4])
{
    M4Identity(m);
    M4RotateX(m, 0.3);
    M4RotateZ(m, 1.1);
    M4Translate(m, 0.125, -3.5, 2.0);
}
} // namespace

TEST(ShellTransformation, TheSameTranslationTwiceMovesOnceAndCloseRestoresExactly)
{
    G3Surface* cube = MakeCube();
    const Geometry before = Snapshot(cube);
    cube->OpenTransformation(true, false);
    ASSERT_TRUE(cube->IsTransformationOpen());
    double m[4][4];
    Translation(m, 2, 0, 0);
    cube->Transformation(m);
    cube->Transformation(m);
    for (int k = 0; k < cube->GetVertexCount(); ++k)
        EXPECT_EQ(cube->GetVertex(k)->GetX(), before.coordinates[static_cast<std::size_t>(3 * k)] + 2);
    EXPECT_NEAR(cube->GetFacet(0)->GetPlaneD(), before.planes[3] - 2 * before.planes[0], 1e-12);
    Turn(m);
    cube->Transformation(m);
    cube->CloseTransformation();
    EXPECT_FALSE(cube->IsTransformationOpen());
    EXPECT_EQ(cube->GetExDataProvider(), nullptr);
    const Geometry after = Snapshot(cube);
    EXPECT_EQ(after.coordinates, before.coordinates) << "bit-exact";
    EXPECT_EQ(after.planes, before.planes) << "bit-exact";
    delete cube;
}

TEST(ShellTransformation, CloseAfterTopologyChangedKeepsTheBodySound)
{
    G3Surface* cube = MakeCube();
    const Geometry before = Snapshot(cube);
    const int vertices = cube->GetVertexCount();
    cube->OpenTransformation(true, true);
    double m[4][4];
    Turn(m);
    cube->Transformation(m);
    // A diagonal edge and a new vertex with an edge join the body during the
    // run; then an edge goes.
    ASSERT_NE(cube->AddEdge(cube->GetVertex(0), cube->GetVertex(6)), nullptr);
    G3Vertex* extra = cube->AddVertex(5, 5, 5);
    G3Edge* spoke = cube->AddEdge(extra, cube->GetVertex(1));
    ASSERT_NE(spoke, nullptr);
    cube->Transformation(m);
    ASSERT_TRUE(cube->RemoveEdge(spoke));
    cube->CloseTransformation();
    EXPECT_EQ(ValidateTopology(cube), "");
    for (int k = 0; k < vertices; ++k)
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(cube->GetVertex(k)->GetXYZ()[a], before.coordinates[static_cast<std::size_t>(3 * k + a)]);
    EXPECT_EQ(extra->GetX(), 5.0) << "a vertex that joined during the run goes back to where it joined";
    delete cube;
}

TEST(ShellTransformation, RunStateCases)
{
    double m[4][4];
    Translation(m, 0, 0, 7);
    struct Case {
        const char* name;
        bool open;
        bool otherProvider;
        double expectedZ0; // of vertex 0 after Transformation(m)
    };
    const Case cases[] = {
        {"no run: Transformation does nothing", false, false, 0.0},
        {"another provider installed: no run opens", true, true, 0.0},
        {"open run", true, false, 7.0},
    };
    for (const Case& c : cases) {
        G3Surface* cube = MakeCube();
        auto* other = new G3ShellExDataProvider;
        if (c.otherProvider)
            cube->SetExDataProvider(other);
        if (c.open)
            cube->OpenTransformation(false, false);
        cube->Transformation(m);
        EXPECT_EQ(cube->GetVertex(0)->GetZ(), c.expectedZ0) << c.name;
        cube->CloseTransformation();
        EXPECT_EQ(cube->GetVertex(0)->GetZ(), 0.0) << c.name;
        EXPECT_EQ(cube->GetExDataProvider(), c.otherProvider ? other : nullptr) << c.name;
        if (!c.otherProvider)
            delete other;
        else
            cube->RemoveExDataProvider();
        delete cube;
    }
}

TEST(ShellTransformation, ASecondOpenKeepsTheFirstSnapshots)
{
    G3Surface* cube = MakeCube();
    cube->OpenTransformation(false, false);
    double m[4][4];
    Translation(m, 1, 0, 0);
    cube->Transformation(m);
    cube->OpenTransformation(false, false); // ignored: the run is open
    cube->Transformation(m);
    EXPECT_EQ(cube->GetVertex(0)->GetX(), 1.0);
    cube->CloseTransformation();
    EXPECT_EQ(cube->GetVertex(0)->GetX(), 0.0);
    delete cube;
}

TEST(ShellTransformation, NormalsFollowTheInverseTranspose)
{
    G3Surface s(3, 1);
    G3Normal* n = s.AddNormal(std::sqrt(0.5), std::sqrt(0.5), 0);
    s.AddVertex(0, 0, 0);
    double m[4][4];
    M4Identity(m);
    M4Scale(m, 2, 1, 1);
    M4Translate(m, 4, 4, 4);
    s.OpenTransformation(false, true);
    s.Transformation(m);
    // A plane x + y = c stretched by 2 in x becomes x / 2 + y = c.
    const double expected[3] = {1 / std::sqrt(1.25) / 2, 1 / std::sqrt(1.25), 0};
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(n->GetXYZ()[a], expected[a], 1e-12);
    s.CloseTransformation();
    EXPECT_EQ(n->GetX(), std::sqrt(0.5));
    s.RealTransformation(m);
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(n->GetXYZ()[a], expected[a], 1e-12);
    n->Set(3, 0, 4);
    s.Normalize();
    EXPECT_NEAR(n->GetX(), 0.6, 1e-15);
    EXPECT_NEAR(n->GetZ(), 0.8, 1e-15);
}

TEST(ShellTransformation, RealTransformationScalesTheVolumeAndKeepsFacetsFacingOut)
{
    struct Case {
        const char* name;
        double sx, sy, sz;
    };
    const Case cases[] = {{"stretch", 2, 3, 1}, {"mirror in x", -1, 1, 1}, {"mirror in x and y", -2, -1, 1}};
    for (const Case& c : cases) {
        G3Surface* cube = MakeCube();
        double m[4][4];
        M4Identity(m);
        M4Scale(m, c.sx, c.sy, c.sz);
        cube->RealTransformation(m);
        EXPECT_NEAR(cube->GetVolume(), std::fabs(c.sx * c.sy * c.sz), 1e-9) << c.name;
        // Every plane faces away from the centre.
        double centre[3] = {c.sx / 2, c.sy / 2, c.sz / 2};
        for (int k = 0; k < cube->GetFacetCount(); ++k) {
            const double* p = cube->GetFacet(k)->GetPlane();
            EXPECT_LT(p[0] * centre[0] + p[1] * centre[1] + p[2] * centre[2] + p[3], 0) << c.name << " facet " << k;
        }
        EXPECT_EQ(ValidateTopology(cube), "") << c.name;
        delete cube;
    }
}
