// Building and editing bodies, checked by the topology validator after
// every step and by Euler's formula.
#include <gtest/gtest.h>

#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"

namespace {
void Valid(G3Surface* s)
{
    ASSERT_EQ(ValidateTopology(s), "");
}

// Every edge has two facets: nothing open.
bool Closed(G3Surface* s)
{
    for (int k = 0; k < s->GetEdgeCount(); ++k)
        if (!s->GetEdge(k)->GetFacet1() || !s->GetEdge(k)->GetFacet2())
            return false;
    return true;
}
} // namespace

TEST(SurfaceBuild, TetrahedronIsValidAfterEveryFacetAndClosed)
{
    G3Surface* s = MakeTetrahedron(Valid);
    EXPECT_EQ(s->GetEdgeCount(), 6);
    EXPECT_EQ(s->GetFacetCount(), 4);
    EXPECT_EQ(EulerCharacteristic(s), 2);
    EXPECT_TRUE(Closed(s));
    delete s;
}

TEST(SurfaceBuild, CubeSharesEveryEdgeBetweenTwoFacets)
{
    G3Surface* s = MakeCube(1.0, Valid);
    EXPECT_EQ(s->GetEdgeCount(), 12);
    EXPECT_EQ(EulerCharacteristic(s), 2);
    EXPECT_TRUE(Closed(s));
    for (int k = 0; k < s->GetFacetCount(); ++k)
        EXPECT_NEAR(s->GetFacet(k)->GetArea(), 1.0, 1e-12);
    delete s;
}

TEST(SurfaceBuild, BridgedHoleGetsTwoBridgeEdgesNeverOneFacetOnBothSides)
{
    G3Surface* s = MakeCubeWithBridgedHole(Valid);
    EXPECT_EQ(EulerCharacteristic(s), 2);
    G3Facet* top = s->GetFacet(5);
    EXPECT_EQ(top->GetEdgeCount(), 10);
    // The two bridge edges join the same vertices but are distinct edges,
    // each with the top facet on one side only.
    G3Vertex* corner = s->GetVertex(4);
    G3Vertex* hole = s->GetVertex(8);
    GArrayCollection bridges;
    corner->GetEdges(hole, &bridges);
    ASSERT_EQ(bridges.size(), 2);
    for (int k = 0; k < 2; ++k) {
        auto* e = static_cast<G3Edge*>(bridges.get(k));
        EXPECT_EQ(e->GetFacet1(), top);
        EXPECT_EQ(e->GetFacet2(), nullptr);
    }
    // 10 x 10 minus the 4 x 4 hole.
    EXPECT_NEAR(top->GetArea(), 84.0, 1e-9);
    delete s;
}

TEST(SurfaceBuild, AddFacetsOfABridgedContourKeepsTheChainFinite)
{
    auto* s = new G3Surface(8, 0);
    G3Vertex* o[4] = {s->AddVertex(0, 0, 0), s->AddVertex(10, 0, 0), s->AddVertex(10, 10, 0), s->AddVertex(0, 10, 0)};
    G3Vertex* h[4] = {s->AddVertex(4, 4, 0), s->AddVertex(6, 4, 0), s->AddVertex(6, 6, 0), s->AddVertex(4, 6, 0)};
    G3Vertex* loop[10] = {o[0], o[1], o[2], o[3], o[0], h[0], h[3], h[2], h[1], h[0]};
    auto* contours = new GArrayCollection;
    contours->add(new G3EdgeList(10, loop, nullptr, nullptr, nullptr, 0, 7));
    s->AddFacets(contours);
    EXPECT_TRUE(contours->isEmpty());
    delete contours;
    ASSERT_EQ(s->GetFacetCount(), 1);
    Valid(s);
    EXPECT_EQ(s->GetFacet(0)->GetEdgeCount(), 10);
    EXPECT_EQ(s->GetFacet(0)->GetSurface(), 7);
    EXPECT_NEAR(s->GetFacet(0)->GetArea(), 96.0, 1e-9);
    delete s;
}

TEST(SurfaceBuild, DegenerateFacetsAreRefused)
{
    auto* s = new G3Surface(3, 0);
    G3Vertex* a = s->AddVertex(0, 0, 0);
    G3Vertex* b = s->AddVertex(1, 0, 0);
    G3Vertex* two[2] = {a, b};
    EXPECT_EQ(s->AddFacet(2, two, 1, nullptr, nullptr), nullptr);
    G3Vertex* repeated[3] = {a, a, b};
    EXPECT_EQ(s->AddFacet(3, repeated, 1, nullptr, nullptr), nullptr);
    EXPECT_EQ(s->AddEdge(a, a), nullptr);
    EXPECT_EQ(s->GetFacetCount(), 0);
    // The edges made for the refused facets went with them.
    EXPECT_EQ(s->GetEdgeCount(), 0);
    Valid(s);
    int bad[3] = {0, 1, 7};
    EXPECT_EQ(s->AddFacet(3, bad, 1, nullptr, nullptr), nullptr);
    delete s;
}

TEST(SurfaceBuild, RemovalsKeepTheTopologyAndAssignIdsRenumbers)
{
    G3Surface* s = MakeCube();
    ASSERT_TRUE(s->RemoveFacet(s->GetFacet(1)));
    EXPECT_EQ(s->RemoveUnused(), 0); // edges still border other facets
    Valid(s);
    EXPECT_FALSE(Closed(s));
    G3Vertex* v = s->GetVertex(0);
    EXPECT_FALSE(s->RemoveVertex(v));           // it still has edges
    EXPECT_FALSE(s->RemoveEdge(s->GetEdge(0))); // it still has facets
    for (int k = s->GetFacetCount() - 1; k >= 0; --k)
        ASSERT_TRUE(s->RemoveFacet(s->GetFacet(k)));
    EXPECT_EQ(s->RemoveUnused(), 12 + 8);
    EXPECT_EQ(s->GetVertexCount(), 0);
    delete s;

    auto* t = new G3Surface(3, 0);
    t->AddVertex(0, 0, 0);
    t->AddVertex(1, 0, 0);
    G3Vertex* last = t->AddVertex(2, 0, 0);
    EXPECT_EQ(last->GetId(), 2);
    t->RemoveVertex(t->GetVertex(0));
    EXPECT_EQ(last->GetId(), 2); // stale until renumbered
    t->AssignIds();
    EXPECT_EQ(t->GetVertex(0)->GetId(), 0);
    EXPECT_EQ(t->GetVertex(1)->GetId(), 1);
    delete t;
}

TEST(SurfaceBuild, NormalListsAndCounters)
{
    G3Surface s(4, 0);
    EXPECT_NE(s.AddNormal(0, 0, 1), nullptr);
    EXPECT_EQ(s.GetNextSurface(), 2);
    EXPECT_EQ(s.GetObjectType(), 2);
    G3Shell shell;
    EXPECT_EQ(shell.AddNormal(0, 0, 1), nullptr);
    EXPECT_EQ(shell.AddTexCoo(0, 1), nullptr);
    EXPECT_EQ(shell.AddNormal(static_cast<G3Normal*>(nullptr)), nullptr);
}

TEST(SurfaceBuild, DuplicateCopiesTheWholeBody)
{
    G3Surface* s = MakeCubeWithBridgedHole();
    G3Normal* n = s->AddNormal(0, 0, 1);
    s->GetFacet(0)->SetNormal(s->GetVertex(0), n, nullptr, false);
    auto* copy = static_cast<G3Surface*>(s->Duplicate());
    Valid(copy);
    EXPECT_EQ(copy->GetVertexCount(), s->GetVertexCount());
    EXPECT_EQ(copy->GetEdgeCount(), s->GetEdgeCount());
    EXPECT_EQ(copy->GetFacetCount(), s->GetFacetCount());
    EXPECT_EQ(EulerCharacteristic(copy), 2);
    for (int k = 0; k < s->GetVertexCount(); ++k)
        EXPECT_EQ(copy->GetVertex(k)->GetX(), s->GetVertex(k)->GetX());
    EXPECT_EQ(copy->GetFacet(0)->GetNormal(copy->GetVertex(0), nullptr), copy->GetNormal(0));
    EXPECT_NE(copy->GetNormal(0), n);
    delete s;
    delete copy;
}

TEST(SurfaceBuild, AddCopyOfAppendsBehindWhatTheBodyHolds)
{
    // Copies land after the body's own elements: a cube with a shaded facet
    // taken into a body that already holds a tetrahedron and a normal.
    G3Surface* body = MakeTetrahedron();
    body->AddNormal(1, 0, 0);
    G3Surface* cube = MakeCube(2.0);
    G3Normal* n = cube->AddNormal(0, 0, 1);
    cube->GetFacet(0)->SetNormal(cube->GetVertex(0), n, nullptr, false);
    const int vertices = body->GetVertexCount(), edges = body->GetEdgeCount(), facets = body->GetFacetCount();
    body->AddCopyOf(cube);
    body->AddCopyOf(body); // itself: nothing
    body->AddCopyOf(nullptr);
    Valid(body);
    EXPECT_EQ(body->GetVertexCount(), vertices + 8);
    EXPECT_EQ(body->GetEdgeCount(), edges + 12);
    EXPECT_EQ(body->GetFacetCount(), facets + 6);
    EXPECT_EQ(EulerCharacteristic(body), 4); // two spheres
    EXPECT_TRUE(body->GetClosed());
    G3Facet* copied = body->GetFacet(facets);
    EXPECT_EQ(copied->GetNormal(body->GetVertex(vertices), nullptr), body->GetNormal(1));
    delete cube;
    delete body;
}

TEST(SurfaceBuild, ComplexFacetUnitesLoopsIntoOneFacetWithABridgedHole)
{
    auto* s = new G3Surface(8, 0);
    G3Vertex* o[4] = {s->AddVertex(0, 0, 0), s->AddVertex(10, 0, 0), s->AddVertex(10, 10, 0), s->AddVertex(0, 10, 0)};
    G3Vertex* h[4] = {s->AddVertex(4, 4, 0), s->AddVertex(6, 4, 0), s->AddVertex(6, 6, 0), s->AddVertex(4, 6, 0)};
    s->BeginComplexFacet();
    s->AddFacet(4, o, 1, nullptr, nullptr);
    s->AddFacet(4, h, 1, nullptr, nullptr);
    s->EndComplexFacet();
    EXPECT_EQ(s->GetExData(), nullptr);
    Valid(s);
    ASSERT_EQ(s->GetFacetCount(), 1);
    EXPECT_NEAR(s->GetFacet(0)->GetArea(), 96.0, 1e-9);
    double inHole[3] = {5, 5, 0}, inFace[3] = {2, 5, 0};
    EXPECT_FALSE(s->GetFacet(0)->PointInFacetXY(inHole, nullptr, nullptr));
    EXPECT_TRUE(s->GetFacet(0)->PointInFacetXY(inFace, nullptr, nullptr));
    delete s;
}

TEST(SurfaceBuild, TheHostsObjectInTheSlotIsNeitherFilledNorDeleted)
{
    GArrayCollection hosts;
    {
        G3Surface s(3, 0);
        s.SetExData(&hosts);
        G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
        ASSERT_NE(s.AddFacet(3, v, 1, nullptr, nullptr), nullptr);
        s.EndComplexFacet(); // none open: nothing happens
        EXPECT_EQ(s.GetExData(), &hosts);
    }
    EXPECT_TRUE(hosts.isEmpty());
    // A complex facet left open is freed with the body.
    auto* open = new G3Surface(3, 0);
    open->BeginComplexFacet();
    G3Vertex* v[3] = {open->AddVertex(0, 0, 0), open->AddVertex(1, 0, 0), open->AddVertex(0, 1, 0)};
    open->AddFacet(3, v, 1, nullptr, nullptr);
    delete open;
}

TEST(SurfaceBuild, RemovingManyElementsWithStaleIdsStaysCorrect)
{
    G3Surface* sphere = MakeSphere(20, 30);
    // Remove every other facet: ids go stale as the last ones move down.
    for (int k = sphere->GetFacetCount() - 1; k >= 0; k -= 2)
        sphere->RemoveFacet(sphere->GetFacet(k));
    int removed = sphere->RemoveUnused();
    EXPECT_GT(removed, 0);
    Valid(sphere);
    for (int k = 0; k < sphere->GetEdgeCount(); ++k)
        EXPECT_TRUE(sphere->GetEdge(k)->GetFacet1() || sphere->GetEdge(k)->GetFacet2());
    sphere->ReallocByRealSize();
    EXPECT_EQ(sphere->GetFacetList()->capacity(), sphere->GetFacetCount());
    Valid(sphere);
    GEnvelope box;
    EXPECT_FALSE(sphere->FormTexCooEnvelope(&box));
    sphere->AddTexCoo(0.5, 2);
    sphere->AddTexCoo(-1, 0);
    ASSERT_TRUE(sphere->FormTexCooEnvelope(&box));
    EXPECT_EQ(box.GetMinX(), -1);
    EXPECT_EQ(box.GetMaxY(), 2);
    delete sphere;
}
