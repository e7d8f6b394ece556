// Whole-body repair, second part: T-junctions, coplanar facet groups,
// self-crossing facets, equal facets, smooth normals and Update(1002).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"
#include "voxel_bodies.h"

namespace {
G3Facet* Face(G3Surface& s, std::vector<G3Vertex*> v, std::vector<int> flags = {})
{
    if (flags.empty())
        return s.AddFacet(static_cast<int>(v.size()), v.data(), 1, nullptr, nullptr);
    return s.AddFacet(static_cast<int>(v.size()), v.data(), flags.data(), nullptr, nullptr);
}

// A box [0, 2] x [0, 1] x [0, 1] whose top is two quads split at x = 1,
// while the front and back keep their long top edge: two T-junctions.
G3Surface* MakeBoxWithTJunctions()
{
    auto* s = new G3Surface(10, 0);
    G3Vertex* b[4] = {s->AddVertex(0, 0, 0), s->AddVertex(2, 0, 0), s->AddVertex(2, 1, 0), s->AddVertex(0, 1, 0)};
    G3Vertex* t[4] = {s->AddVertex(0, 0, 1), s->AddVertex(2, 0, 1), s->AddVertex(2, 1, 1), s->AddVertex(0, 1, 1)};
    G3Vertex* m0 = s->AddVertex(1, 0, 1);
    G3Vertex* m1 = s->AddVertex(1, 1, 1);
    Face(*s, {b[0], b[3], b[2], b[1]});
    Face(*s, {t[0], m0, m1, t[3]});
    Face(*s, {m0, t[1], t[2], m1});
    Face(*s, {b[0], b[1], t[1], t[0]});
    Face(*s, {b[1], b[2], t[2], t[1]});
    Face(*s, {b[2], b[3], t[3], t[2]});
    Face(*s, {b[3], b[0], t[0], t[3]});
    return s;
}

// The unit cube with every face split into two triangles by an invisible
// diagonal (flags 0); the cube's own edges are visible.
G3Surface* MakeTriangulatedCube()
{
    G3Surface* cube = MakeCube();
    auto* s = new G3Surface(8, 0);
    for (int k = 0; k < cube->GetVertexCount(); ++k)
        s->AddVertex(cube->GetVertex(k)->GetXYZ());
    GArrayCollection loop;
    for (int k = 0; k < cube->GetFacetCount(); ++k) {
        cube->GetFacet(k)->GetVertices(&loop);
        G3Vertex* q[4];
        for (int i = 0; i < 4; ++i)
            q[i] = s->GetVertex(cube->GetVertexList()->index(loop.get(i)));
        Face(*s, {q[0], q[1], q[2]}, {1, 1, 0});
        Face(*s, {q[0], q[2], q[3]}, {0, 1, 1});
    }
    delete cube;
    return s;
}
} // namespace

TEST(SurfaceRepair, TJunctionsAreSplitAndTheBoxCloses)
{
    G3Surface* s = MakeBoxWithTJunctions();
    EXPECT_FALSE(s->GetClosed());
    s->RemoveEqualsVertexAndDivideEdges();
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_TRUE(s->GetClosed());
    EXPECT_EQ(EulerCharacteristic(s), 2);
    EXPECT_EQ(s->GetVertexCount(), 10);
    EXPECT_EQ(s->GetFacetCount(), 7);
    EXPECT_NEAR(DivergenceVolume(s), 2.0, 1e-12);
    EXPECT_NEAR(s->GetVolume(), 2.0, 1e-12);
    delete s;

    // A vertex within the tolerance of an edge's end does not split it.
    G3Surface near(4, 0);
    G3Vertex* a = near.AddVertex(0, 0, 0);
    G3Vertex* b = near.AddVertex(1, 0, 0);
    G3Vertex* c = near.AddVertex(0, 1, 0);
    Face(near, {a, b, c});
    G3Vertex* d = near.AddVertex(1 - 0.5e-6, 0, 0.1);
    G3Vertex* e = near.AddVertex(1 - 0.5e-6, 0, 0);
    Face(near, {d, e, near.AddVertex(1, 0, 1)});
    const int edges = near.GetEdgeCount();
    near.RemoveEqualsVertexAndDivideEdges();
    EXPECT_EQ(near.GetEdgeCount(), edges - 0); // e merged into b, nothing split
    EXPECT_EQ(ValidateTopology(&near), "");
}

TEST(SurfaceRepair, CoplanarGroupsMergeAcrossInvisibleEdges)
{
    G3Surface* s = MakeTriangulatedCube();
    ASSERT_EQ(s->GetFacetCount(), 12);
    EXPECT_EQ(s->UnionInPlaneFacets(0), 6);
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_EQ(s->GetFacetCount(), 6);
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        EXPECT_EQ(s->GetFacet(k)->GetEdgeCount(), 4);
        EXPECT_NEAR(s->GetFacet(k)->GetArea(), 1.0, 1e-12);
        EXPECT_FALSE(s->GetFacet(k)->GetMark3());
    }
    EXPECT_TRUE(s->GetClosed());
    EXPECT_NEAR(DivergenceVolume(s), 1.0, 1e-12);
    delete s;

    // A visible diagonal keeps the triangles apart unless the mask is -1.
    G3Surface square(4, 0);
    G3Vertex* v[4] = {square.AddVertex(0, 0, 0), square.AddVertex(1, 0, 0), square.AddVertex(1, 1, 0),
                      square.AddVertex(0, 1, 0)};
    Face(square, {v[0], v[1], v[2]});
    Face(square, {v[0], v[2], v[3]});
    EXPECT_EQ(square.UnionInPlaneFacets(0), 0);
    EXPECT_EQ(square.UnionInPlaneFacets(-1), 1);
    EXPECT_EQ(square.GetFacetCount(), 1);
}

TEST(SurfaceRepair, SelfCrossingFacetsAreRebuiltAndPlanesKept)
{
    // A bow tie facet beside a clean square.
    G3Surface s(8, 0);
    G3Vertex* bow[4] = {s.AddVertex(0, 0, 0), s.AddVertex(2, 2, 0), s.AddVertex(2, 0, 0), s.AddVertex(0, 2, 0)};
    Face(s, {bow[0], bow[1], bow[2], bow[3]});
    G3Vertex* sq[4] = {s.AddVertex(5, 0, 0), s.AddVertex(6, 0, 0), s.AddVertex(6, 1, 0), s.AddVertex(5, 1, 0)};
    G3Facet* clean = Face(s, {sq[0], sq[1], sq[2], sq[3]});
    const double d = clean->GetPlaneD();
    s.MarkSelfIntersectFace();
    EXPECT_TRUE(s.GetFacet(0)->GetMark4());
    EXPECT_FALSE(clean->GetMark4());
    EXPECT_EQ(clean->GetPlaneD(), d);
    EXPECT_EQ(sq[1]->GetXYZ()[0], 6.0);

    EXPECT_TRUE(s.RemoveSelfIntersections());
    EXPECT_EQ(ValidateTopology(&s), "");
    EXPECT_EQ(s.GetFacetCount(), 3); // two triangles of the bow tie, the square
    double area = 0;
    for (int k = 0; k < s.GetFacetCount(); ++k)
        area += s.GetFacet(k)->GetArea();
    EXPECT_NEAR(area, 1 + 1 + 1, 1e-9);
    EXPECT_EQ(sq[1]->GetXYZ()[0], 6.0); // coordinates come back exactly
}

TEST(SurfaceRepair, EqualFacetsLeaveOneWithTheRightSidedness)
{
    for (bool earlierDoubleSided : {false, true}) {
        G3Surface s(4, 0);
        G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
        G3Facet* first = Face(s, {v[0], v[1], v[2]});
        if (earlierDoubleSided)
            first->SetDoubleSided();
        Face(s, {v[1], v[0], v[2]}); // the same triangle, the other way
        s.AssignIds();
        s.GetVertex(0)->SetId(7); // ids need not match positions
        EXPECT_EQ(s.RemoveEqualsFacets(), 1);
        ASSERT_EQ(s.GetFacetCount(), 1);
        EXPECT_EQ(s.GetFacet(0), first);
        EXPECT_EQ(first->GetDoubleSided(), !earlierDoubleSided);
        EXPECT_EQ(ValidateTopology(&s), "");
    }
}

TEST(SurfaceRepair, SmoothNormalsAreUnitAndFiniteForOppositeFacets)
{
    // Two facets of one group facing opposite ways share vertices: their
    // plane normals cancel, and each keeps its own.
    G3Surface s(4, 16);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
    Face(s, {v[0], v[1], v[2]}, {0, 0, 0});
    Face(s, {v[0], v[2], v[1]}, {0, 0, 0});
    s.AverageNormalsByPlanes2();
    EXPECT_EQ(ValidateTopology(&s), "");
    for (int k = 0; k < s.GetNormalCount(); ++k) {
        const double* n = s.GetNormal(k)->GetXYZ();
        EXPECT_TRUE(std::isfinite(n[0]) && std::isfinite(n[1]) && std::isfinite(n[2]));
        EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0, 1e-12);
    }
    for (int k = 0; k < s.GetFacetCount(); ++k)
        EXPECT_FALSE(s.GetFacet(k)->GetMark());
}

TEST(SurfaceRepair, Update1002OnHostileBodies)
{
    // Ids stale, bridged holes, zero-area facets, NaN coordinates.
    std::vector<G3Surface*> bodies;
    G3Surface* stale = MakeCubeWithBridgedHole();
    stale->RemoveFacet(stale->GetFacet(2));
    bodies.push_back(stale);
    G3Surface* odd = MakeCubeWithDegenerateFacets();
    bodies.push_back(odd);
    bodies.push_back(MakeTriangulatedCube());
    for (G3Surface* s : bodies) {
        s->Update(CHECK_LEVEL_1002);
        EXPECT_EQ(ValidateTopology(s), "");
        delete s;
    }
    // A closed body stays closed and keeps its volume.
    G3Surface* cube = MakeVoxelBody({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    cube->GetFacet(2)->NegPlane();
    cube->Update(CHECK_LEVEL_1002);
    EXPECT_TRUE(cube->GetClosed());
    EXPECT_NEAR(DivergenceVolume(cube), 3.0, 1e-9);
    delete cube;
}

TEST(SurfaceRepair, OpenBoundaryLoopsAreFoundAndClosed)
{
    G3Surface* s = MakeVoxelBody({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    const int facets = s->GetFacetCount();
    s->RemoveFacet(s->GetFacet(0));
    s->RemoveFacet(s->GetFacet(5));
    s->RemoveUnused();
    EXPECT_FALSE(s->GetClosed());
    GArrayCollection loops;
    EXPECT_EQ(s->GetContour(loops), 2);
    for (int k = 0; k < loops.size(); ++k) {
        auto* c = static_cast<G3EdgeList*>(loops.get(k));
        EXPECT_EQ(ValidateChain(c), "");
        EXPECT_EQ(c->size(), 4);
        delete c;
    }
    EXPECT_EQ(s->EncloseHoles(), 2);
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_EQ(s->GetFacetCount(), facets);
    EXPECT_TRUE(s->GetClosed());
    EXPECT_NEAR(DivergenceVolume(s), 3.0, 1e-12); // the new facets face out
    for (int k = 0; k < s->GetEdgeCount(); ++k)
        EXPECT_FALSE(s->GetEdge(k)->GetMark());
    delete s;
}

TEST(SurfaceRepair, FacetLoopsOfTheBodyLeaveBridgesOut)
{
    // Ten plain facets and the top, whose bridged hole gives an outer loop
    // and a hole loop: by the facet's own area the loops of each facet
    // subtract to its area.
    G3Surface* s = MakeCubeWithBridgedHole();
    GArrayCollection loops;
    EXPECT_EQ(s->FormContours(nullptr), 0);
    EXPECT_EQ(s->FormContours(&loops), s->GetFacetCount() + 1);
    ASSERT_EQ(loops.size(), s->GetFacetCount() + 1);
    double loopArea = 0;
    for (int k = 0; k < loops.size(); ++k) {
        auto* c = static_cast<G3EdgeList*>(loops.get(k));
        EXPECT_EQ(ValidateChain(c), "");
        EXPECT_EQ(c->size(), 4);
        loopArea += c->GetSignedArea() > 0 ? c->GetSignedArea() : -c->GetSignedArea();
        delete c;
    }
    // Six 10 x 10 faces, four 4 x 5 walls and a 4 x 4 pocket bottom, and the
    // hole (16) counted once more as a loop of its own.
    EXPECT_NEAR(loopArea, 600 + 80 + 16 + 16, 1e-9);
    EXPECT_EQ(ValidateTopology(s), "");
    delete s;
}

TEST(SurfaceRepair, NeighbourhoodVisibilityAndVertexMoves)
{
    // Adjacent facets of a cube face: the four sides.
    G3Surface* cube = MakeCube();
    GArrayCollection around;
    cube->GetAllAdjacentFaces(cube->GetFacet(0), &around);
    EXPECT_EQ(around.size(), 4);
    for (int k = 0; k < cube->GetFacetCount(); ++k)
        EXPECT_FALSE(cube->GetFacet(k)->GetMark());
    delete cube;

    // Visible diagonals of a triangulated cube lie between coplanar facets.
    G3Surface* tri = MakeTriangulatedCube();
    for (int k = 0; k < tri->GetEdgeCount(); ++k)
        tri->GetEdge(k)->SetVisible();
    EXPECT_EQ(tri->MarkInPlaneEdgesAsInvisible(), 6);
    EXPECT_EQ(tri->MarkInPlaneEdgesAsInvisible2(), 0);
    EXPECT_EQ(tri->UnionInPlaneFacets(0), 6);
    EXPECT_EQ(tri->GetFacetCount(), 6);
    delete tri;

    // A fan of four triangles: moving the centre onto a corner collapses
    // the two triangles at that corner.
    G3Surface fan(5, 0);
    G3Vertex* a = fan.AddVertex(0, 0, 0);
    G3Vertex* b = fan.AddVertex(1, 0, 0);
    G3Vertex* c = fan.AddVertex(1, 1, 0);
    G3Vertex* d = fan.AddVertex(0, 1, 0);
    G3Vertex* m = fan.AddVertex(0.5, 0.5, 0);
    Face(fan, {a, b, m});
    Face(fan, {b, c, m});
    Face(fan, {c, d, m});
    Face(fan, {d, a, m});
    fan.ChangeVertex(m, a);
    EXPECT_EQ(ValidateTopology(&fan), "");
    EXPECT_EQ(fan.GetVertexCount(), 4);
    ASSERT_EQ(fan.GetFacetCount(), 2);
    EXPECT_NEAR(fan.GetFacet(0)->GetArea() + fan.GetFacet(1)->GetArea(), 1.0, 1e-12);
}

TEST(SurfaceRepair, ShadingNormalsAreHealedAndSmoothed)
{
    G3Surface s(3, 4);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
    G3Normal* up = s.AddNormal(0, 0, 1);
    G3Normal* back = s.AddNormal(0, 0, -1);
    G3Normal* n[3] = {up, back, up};
    G3Facet* f = s.AddFacet(3, v, 1, n, nullptr);
    G3Surface plain(3, 4);
    G3Vertex* w[3] = {plain.AddVertex(0, 0, 0), plain.AddVertex(1, 0, 0), plain.AddVertex(0, 1, 0)};
    plain.AddFacet(3, w, 1, nullptr, nullptr);
    EXPECT_EQ(plain.HealNormals(), 0); // flat shading is left alone
    EXPECT_EQ(s.HealNormals(), 1);
    G3TexCoo* t = nullptr;
    EXPECT_GT(f->GetNormal(v[1], &t)->GetXYZ()[2], 0.99);
    EXPECT_EQ(ValidateTopology(&s), "");

    // Smoothing over a cube: every corner normal is the mean of its three
    // faces; the texture-safe form keeps the texture coordinates.
    G3Surface* cube = MakeVoxelBody({{0, 0, 0}});
    G3Surface* surfaces[2] = {cube, MakeVoxelBody({{0, 0, 0}})};
    G3TexCoo* uv = surfaces[1]->AddTexCoo(0.25, 0.75);
    G3Facet* textured = surfaces[1]->GetFacet(0);
    GArrayCollection corners;
    textured->GetVertices(&corners);
    for (int i = 0; i < corners.size(); ++i)
        static_cast<G3Vertex*>(corners.get(i))->SetNormal(textured, nullptr, uv);
    cube->AverageNormalsByPlanes();
    surfaces[1]->AverageNormalsByPlanesTexCooSafe();
    for (G3Surface* body : surfaces) {
        EXPECT_EQ(ValidateTopology(body), "");
        EXPECT_EQ(body->GetNormalCount(), 8);
        for (int k = 0; k < body->GetNormalCount(); ++k)
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_NEAR(std::fabs(body->GetNormal(k)->GetXYZ()[axis]), 1.0 / std::sqrt(3.0), 1e-12);
    }
    for (int i = 0; i < corners.size(); ++i) {
        G3TexCoo* kept = nullptr;
        textured->GetNormal(static_cast<G3Vertex*>(corners.get(i)), &kept);
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(kept->GetU(), 0.25);
    }
    delete surfaces[0];
    delete surfaces[1];
}

TEST(SurfaceRepair, SmoothGroupsGetSurfaceValuesOfTheirOwn)
{
    // The triangulated cube: six faces, each two triangles joined by an
    // invisible diagonal.
    G3Surface* s = MakeTriangulatedCube();
    EXPECT_EQ(s->FormContourSurface(), 6);
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        const bool sameSurface = e->GetFacet1()->GetSurface() == e->GetFacet2()->GetSurface();
        EXPECT_EQ(sameSurface, !e->GetVisible());
    }
    for (int k = 0; k < s->GetFacetCount(); ++k)
        EXPECT_FALSE(s->GetFacet(k)->GetMark());
    G3Facet* f = s->GetFacet(0);
    const long old = f->GetSurface();
    const int value = s->FormFacetSurface(f);
    EXPECT_NE(value, old);
    int members = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        members += s->GetFacet(k)->GetSurface() == value;
    EXPECT_EQ(members, 2);
    EXPECT_EQ(s->FormFacetSurface(nullptr), 0);
    delete s;
}

TEST(SurfaceRepair, ExplodeGivesOneBodyPerLump)
{
    // A cube, and apart from it a box of two cells: two lumps.
    G3Surface* s = MakeVoxelBody({{0, 0, 0}, {3, 0, 0}, {3, 1, 0}});
    GArrayCollection lumps;
    ASSERT_EQ(s->Explode(&lumps), 2);
    double volume = 0;
    int facets = 0;
    for (int k = 0; k < lumps.size(); ++k) {
        auto* lump = static_cast<G3Surface*>(lumps.get(k));
        EXPECT_EQ(ValidateTopology(lump), "");
        EXPECT_TRUE(lump->GetClosed());
        volume += DivergenceVolume(lump);
        facets += lump->GetFacetCount();
        delete lump;
    }
    EXPECT_NEAR(volume, 3.0, 1e-12);
    EXPECT_EQ(facets, s->GetFacetCount());
    EXPECT_EQ(ValidateTopology(s), "");
    G3Surface empty;
    EXPECT_EQ(empty.Explode(&lumps), 0);
    EXPECT_EQ(s->Explode(nullptr), 0);
    delete s;
}

namespace {
// The texture coordinates of a facet at its vertices, in vertex order.
std::vector<std::array<double, 2>> FacetUV(G3Facet* f)
{
    GArrayCollection vertices;
    f->GetVertices(&vertices);
    std::vector<std::array<double, 2>> out;
    for (int i = 0; i < vertices.size(); ++i) {
        G3TexCoo* t = nullptr;
        f->GetNormal(static_cast<G3Vertex*>(vertices.get(i)), &t);
        EXPECT_NE(t, nullptr);
        out.push_back(t ? std::array<double, 2>{t->GetU(), t->GetV()} : std::array<double, 2>{0, 0});
    }
    return out;
}

double Span(const std::vector<std::array<double, 2>>& uv, int axis)
{
    double lo = uv[0][axis], hi = uv[0][axis];
    for (const auto& t : uv) {
        lo = std::min(lo, t[axis]);
        hi = std::max(hi, t[axis]);
    }
    return hi - lo;
}
} // namespace

TEST(SurfaceRepair, TextureProjectionsCoverEveryFacetVertex)
{
    // Planar and box projections keep model units: a unit square stays one.
    for (TEXTURE_PROJECTION_MODE mode : {TEXTURE_PROJECTION_PLANAR, TEXTURE_PROJECTION_BOX}) {
        G3Surface* cube = MakeVoxelBody({{0, 0, 0}});
        ASSERT_TRUE(cube->GenerateTexCoo(mode));
        EXPECT_EQ(ValidateTopology(cube), "");
        for (int k = 0; k < cube->GetFacetCount(); ++k) {
            auto uv = FacetUV(cube->GetFacet(k));
            EXPECT_NEAR(Span(uv, 0), 1.0, 1e-12);
            EXPECT_NEAR(Span(uv, 1), 1.0, 1e-12);
        }
        delete cube;
    }
    // Turns: u within one turn plus the seam, v from 0 to 1, no facet
    // stretched across the texture.
    for (TEXTURE_PROJECTION_MODE mode : {TEXTURE_PROJECTION_CYLINDRICAL, TEXTURE_PROJECTION_SPHERICAL}) {
        G3Surface* sphere = MakeSphere(8, 16);
        ASSERT_TRUE(sphere->GenerateTexCoo(mode));
        for (int k = 0; k < sphere->GetFacetCount(); ++k) {
            auto uv = FacetUV(sphere->GetFacet(k));
            EXPECT_LE(Span(uv, 0), 0.5);
            for (const auto& t : uv) {
                EXPECT_GE(t[0], 0.0);
                EXPECT_LE(t[0], 1.5);
                EXPECT_GE(t[1], -1e-12);
                EXPECT_LE(t[1], 1.0 + 1e-12);
            }
        }
        delete sphere;
    }
    G3Surface empty;
    EXPECT_FALSE(empty.GenerateTexCoo(TEXTURE_PROJECTION_BOX));
    G3Surface* cube = MakeCube();
    EXPECT_FALSE(cube->GenerateTexCoo(static_cast<TEXTURE_PROJECTION_MODE>(9)));
    delete cube;
}
