// Whole-body repair: welding, joining twin edges, orientation, volume,
// facet merging and the Update sequence, against analytic measures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"
#include "voxel_bodies.h"

namespace {
// Every edge has two facets that run through it in opposite directions.
bool EveryEdgeOnceEachWay(G3Surface* s)
{
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        G3Facet *f1 = e->GetFacet1(), *f2 = e->GetFacet2();
        if (!f1 || !f2 || f1 == f2 || f1->GetMoveDirection(e) == f2->GetMoveDirection(e))
            return false;
    }
    return true;
}

void FlipRandomFacets(G3Surface* s, unsigned seed)
{
    std::mt19937 random(seed);
    for (int k = 0; k < s->GetFacetCount(); ++k)
        if (random() % 3 == 0)
            s->GetFacet(k)->NegPlane();
}

struct Shape {
    const char* name;
    std::vector<VoxelCell> cells;
};

std::vector<Shape> Shapes()
{
    std::vector<VoxelCell> frame;
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3; ++y)
            if (x != 1 || y != 1)
                frame.push_back({x, y, 0});
    return {
        {"cube", {{0, 0, 0}}},
        {"L-prism", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {0, 2, 0}}},
        {"U-prism", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {2, 1, 0}, {0, 2, 0}, {2, 2, 0}}},
        {"genus-1 frame", frame},
        {"stacked L", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 0, 2}}},
    };
}
} // namespace

TEST(SurfaceRepair, TriangleSoupCubeWeldsIntoAClosedOrientedSolid)
{
    G3Surface* s = MakeTriangleSoupCube();
    // Some triangles turned the wrong way, as in a careless export.
    s->GetFacet(3)->NegPlane();
    s->GetFacet(8)->NegPlane();
    ASSERT_EQ(s->GetVertexCount(), 36);
    s->Update(CHECK_LEVEL_1001);
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_EQ(s->GetVertexCount(), 8);
    EXPECT_EQ(s->GetEdgeCount(), 18);
    EXPECT_EQ(s->GetFacetCount(), 12);
    EXPECT_TRUE(s->GetClosed());
    EXPECT_EQ(EulerCharacteristic(s), 2);
    EXPECT_TRUE(EveryEdgeOnceEachWay(s));
    EXPECT_NEAR(DivergenceVolume(s), 1.0, 1e-12);
    for (int k = 0; k < s->GetFacetCount(); ++k)
        EXPECT_FALSE(s->GetFacet(k)->GetDoubleSided());
    delete s;

    // Open: every facet becomes double-sided.
    G3Surface* open = MakeTriangleSoupCube();
    open->RemoveFacet(open->GetFacet(5));
    open->RemoveEqualsVertex();
    open->RemoveNonManifoldEdges();
    EXPECT_FALSE(open->GetClosed());
    open->Update(CHECK_LEVEL_1001);
    EXPECT_EQ(ValidateTopology(open), "");
    EXPECT_EQ(open->GetFacetCount(), 11);
    for (int k = 0; k < open->GetFacetCount(); ++k)
        EXPECT_TRUE(open->GetFacet(k)->GetDoubleSided());
    delete open;
}

TEST(SurfaceRepair, OrientationByVerticalRaysGivesThePositiveAnalyticVolume)
{
    for (const Shape& shape : Shapes()) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE(shape.name);
            G3Surface* s = MakeVoxelBody(shape.cells);
            const double volume = static_cast<double>(shape.cells.size());
            ASSERT_NEAR(DivergenceVolume(s), volume, 1e-9) << "the builder faces outwards";
            FlipRandomFacets(s, seed);
            EXPECT_TRUE(s->OrientNormals2(true));
            EXPECT_EQ(ValidateTopology(s), "");
            EXPECT_NEAR(DivergenceVolume(s), volume, 1e-9) << "seed " << seed;
            for (int k = 0; k < s->GetFacetCount(); ++k)
                EXPECT_FALSE(s->GetFacet(k)->GetMark());
            delete s;
        }
    }
}

TEST(SurfaceRepair, VolumeNeedsNoOrientationAndHoldsForNonConvexBodies)
{
    for (const Shape& shape : Shapes()) {
        SCOPED_TRACE(shape.name);
        G3Surface* s = MakeVoxelBody(shape.cells);
        FlipRandomFacets(s, 7);
        EXPECT_NEAR(s->GetVolume(), static_cast<double>(shape.cells.size()), 1e-9);
        delete s;
    }
    // Random voxel bodies: several lumps, cavities, edge-adjacent cells.
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::vector<VoxelCell> cells = RandomVoxelCells(4, 0.45, seed);
        G3Surface* s = MakeVoxelBody(cells);
        FlipRandomFacets(s, seed);
        EXPECT_NEAR(s->GetVolume(), static_cast<double>(cells.size()), 1e-9) << "seed " << seed;
        delete s;
    }
    // The unit cube built from its corners; an empty body has none.
    G3Surface* cube = MakeCube();
    EXPECT_NEAR(cube->GetVolume(), 1.0, 1e-12);
    delete cube;
    G3Surface empty;
    EXPECT_EQ(empty.GetVolume(), 0.0);
}

TEST(SurfaceRepair, CoincidentTwinEdgesAreJoinedAfterWelding)
{
    G3Surface s(6, 0);
    G3Vertex* a[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
    G3Vertex* b[3] = {s.AddVertex(1, 0, 0), s.AddVertex(1, 1, 0), s.AddVertex(0, 1, 0.5e-6)};
    s.AddFacet(3, a, 1, nullptr, nullptr);
    s.AddFacet(3, b, 1, nullptr, nullptr);
    EXPECT_EQ(s.RemoveEqualsVertex(), 2);
    EXPECT_EQ(s.GetVertexCount(), 4);
    EXPECT_EQ(s.GetEdgeCount(), 6); // the two diagonals are still apart
    EXPECT_EQ(s.RemoveNonManifoldEdges(), 1);
    EXPECT_EQ(s.GetEdgeCount(), 5);
    EXPECT_EQ(ValidateTopology(&s), "");
    int shared = 0;
    for (int k = 0; k < s.GetEdgeCount(); ++k)
        shared += s.GetEdge(k)->GetFacet1() && s.GetEdge(k)->GetFacet2();
    EXPECT_EQ(shared, 1);
    for (int k = 0; k < s.GetVertexCount(); ++k)
        EXPECT_EQ(s.GetVertex(k)->GetExData(), nullptr);
}

TEST(SurfaceRepair, UnionFacetsMergesAcrossFlaggedEdgesOnly)
{
    // A square of two triangles; the diagonal carries flag 4 (a new edge).
    G3Surface s(4, 0);
    G3Vertex* v[4] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(1, 1, 0), s.AddVertex(0, 1, 0)};
    G3Vertex* t1[3] = {v[0], v[1], v[2]};
    G3Vertex* t2[3] = {v[0], v[2], v[3]};
    int flags1[3] = {1, 1, 4}, flags2[3] = {4, 1, 1};
    s.AddFacet(3, t1, flags1, nullptr, nullptr);
    s.AddFacet(3, t2, flags2, nullptr, nullptr);
    EXPECT_EQ(s.UnionFacets(2), 0);
    EXPECT_EQ(s.UnionFacets(4), 1);
    EXPECT_EQ(ValidateTopology(&s), "");
    ASSERT_EQ(s.GetFacetCount(), 1);
    EXPECT_EQ(s.GetFacet(0)->GetEdgeCount(), 4);
    EXPECT_NEAR(s.GetFacet(0)->GetArea(), 1.0, 1e-12);
    EXPECT_EQ(s.GetEdgeCount(), 4);

    // Bridges of a holed facet have that facet on both sides: never merged,
    // never removed twice.
    G3Surface* holed = MakeCubeWithBridgedHole();
    const int before = holed->GetFacetCount();
    holed->UnionFacets(-1);
    EXPECT_EQ(ValidateTopology(holed), "");
    EXPECT_LE(holed->GetFacetCount(), before);
    delete holed;
}

TEST(SurfaceRepair, EqualNormalsAndTextureCoordinatesAreMergedAndRedirected)
{
    G3Surface s(4, 8);
    G3Vertex* v[4] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(1, 1, 0), s.AddVertex(0, 1, 0)};
    G3Normal* n[4] = {s.AddNormal(0, 0, 2), s.AddNormal(0, 0, 1), s.AddNormal(0, 0, 1 + 1e-9), s.AddNormal(0, 1, 0)};
    G3TexCoo* t[4] = {s.AddTexCoo(0, 0), s.AddTexCoo(0, 0), s.AddTexCoo(1, 0), s.AddTexCoo(1, 0)};
    s.AddFacet(4, v, 1, n, t);
    s.RemoveEqualsNormal();
    EXPECT_EQ(s.GetNormalCount(), 2);
    EXPECT_EQ(s.GetTexCooCount(), 2);
    EXPECT_EQ(ValidateTopology(&s), "");
    G3Facet* f = s.GetFacet(0);
    G3TexCoo* tex = nullptr;
    for (int k = 0; k < 3; ++k) {
        G3Normal* got = f->GetNormal(v[k], &tex);
        ASSERT_NE(got, nullptr);
        EXPECT_NEAR(got->GetXYZ()[2], 1.0, 1e-12); // (0, 0, 2) made unit
        EXPECT_GE(s.GetNormalList()->index(got), 0);
        EXPECT_GE(s.GetTexCooList()->index(tex), 0);
    }
}

TEST(SurfaceRepair, OrientationByShadingNormals)
{
    G3Surface s(3, 3);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
    G3Normal* down = s.AddNormal(0, 0, -1);
    G3Normal* n[3] = {down, down, down};
    G3Facet* f = s.AddFacet(3, v, 1, n, nullptr);
    ASSERT_GT(f->GetPlaneC(), 0);
    EXPECT_TRUE(s.OrientNormals());
    EXPECT_LT(f->GetPlaneC(), 0);
    G3Surface plain(3, 0);
    EXPECT_FALSE(plain.OrientNormals());
}

TEST(SurfaceRepair, HostileBodiesSurviveUpdate)
{
    // Ids that no longer match positions.
    G3Surface* stale = MakeCubeWithBridgedHole();
    stale->RemoveFacet(stale->GetFacet(0));
    stale->Update(CHECK_LEVEL_1001);
    EXPECT_EQ(ValidateTopology(stale), "");
    delete stale;
    // Zero-area facets and NaN coordinates.
    G3Surface* odd = MakeCubeWithDegenerateFacets();
    odd->Update(CHECK_LEVEL_1001);
    EXPECT_EQ(ValidateTopology(odd), "");
    odd->GetVolume();
    delete odd;
    // A level without a sequence only trims and marks an open body.
    G3Surface* open = MakeTetrahedron();
    open->RemoveFacet(open->GetFacet(0));
    open->Update(CHECK_LEVEL_NONE);
    for (int k = 0; k < open->GetFacetCount(); ++k)
        EXPECT_TRUE(open->GetFacet(k)->GetDoubleSided());
    delete open;
}
