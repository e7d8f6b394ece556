// Facet edits, plane queries and plane cuts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tessaly/intervals.h"
#include "tessaly/surface.h"
#include "tessaly/trace.h"
#include "test_bodies.h"
#include "topology_validator.h"

namespace {
G3Facet* Face(G3Surface& s, std::vector<G3Vertex*> v)
{
    return s.AddFacet(static_cast<int>(v.size()), v.data(), 1, nullptr, nullptr);
}

std::vector<G3Edge*> Edges(G3Facet* f)
{
    std::vector<G3Edge*> out;
    for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e))
        out.push_back(e);
    return out;
}

std::string g_lastLabel;
void RememberLabel(const char* label)
{
    g_lastLabel = label;
}
} // namespace

TEST(FacetEdit, TriangleWithACollapsingEdgeIsDetachedCompletely)
{
    G3Surface s(3, 0);
    G3Vertex *a = s.AddVertex(0, 0, 0), *b = s.AddVertex(1, 0, 0), *c = s.AddVertex(0, 1, 0);
    G3Facet* f = Face(s, {a, b, c});
    b->SetExData(a);
    EXPECT_TRUE(f->RemoveSmallEdges());
    EXPECT_FALSE(f->HasEdges());
    for (int k = 0; k < 3; ++k)
        EXPECT_FALSE(s.GetVertex(k)->HasEdges());
    b->SetExData(nullptr);
}

TEST(FacetEdit, QuadWithOneCollapsingEdgeKeepsThree)
{
    G3Surface s(4, 0);
    G3Vertex *a = s.AddVertex(0, 0, 0), *b = s.AddVertex(1, 0, 0), *c = s.AddVertex(1, 1, 0), *d = s.AddVertex(0, 1, 0);
    G3Facet* f = Face(s, {a, b, c, d});
    b->SetExData(a);
    EXPECT_FALSE(f->RemoveSmallEdges());
    EXPECT_EQ(f->GetEdgeCount(), 3);
    b->SetExData(nullptr);
}

TEST(FacetEdit, ChangeEdgesRefusesAnEdgeThatAlreadyBoundsTheFacet)
{
    G3Surface s(4, 0);
    G3Vertex *a = s.AddVertex(0, 0, 0), *b = s.AddVertex(1, 0, 0), *c = s.AddVertex(1, 1, 0), *d = s.AddVertex(0, 1, 0);
    G3Facet* f = Face(s, {a, b, c, d});
    G3Edge* other = s.AddEdge(a, c);
    other->SetFacet2(f);
    GTraceHook previous = GSetTraceHook(RememberLabel);
    std::vector<G3Edge*> before = Edges(f);
    EXPECT_FALSE(f->ChangeEdges(before[0], other));
    EXPECT_EQ(g_lastLabel, "bad Change Facet to 1");
    EXPECT_EQ(Edges(f), before);
    other->SetFacet2(nullptr);
    GSetTraceHook(previous);
    // A free edge takes the old edge's place and side.
    G3Edge* spare = s.AddEdge(b, a);
    EXPECT_TRUE(f->ChangeEdges(before[0], spare));
    EXPECT_EQ(Edges(f)[0], spare);
    EXPECT_EQ(spare->GetFacet1(), f);
    EXPECT_EQ(before[0]->GetFacet1(), nullptr);
}

TEST(FacetEdit, RotateAndNegPlaneTwiceRestore)
{
    G3Surface s(4, 0);
    G3Vertex *a = s.AddVertex(0, 0, 0), *b = s.AddVertex(1, 0, 0), *c = s.AddVertex(1, 1, 0), *d = s.AddVertex(0, 1, 0);
    G3Facet* f = Face(s, {a, b, c, d});
    std::vector<G3Edge*> order = Edges(f);
    double plane[4] = {f->GetPlaneA(), f->GetPlaneB(), f->GetPlaneC(), f->GetPlaneD()};
    f->RotateEdges();
    EXPECT_NE(Edges(f), order);
    EXPECT_EQ(ValidateTopology(&s), "");
    f->RotateEdges();
    EXPECT_EQ(Edges(f), order);
    f->NegPlane();
    EXPECT_EQ(f->GetPlaneC(), -plane[2]);
    EXPECT_FALSE(f->PlaneEquals(plane));
    f->NegPlane();
    EXPECT_EQ(Edges(f), order);
    EXPECT_TRUE(f->PlaneEquals(plane));
}

TEST(FacetEdit, FlatnessDepthAndVertexOrder)
{
    G3Surface s(4, 0);
    G3Vertex *a = s.AddVertex(0, 0, 0), *b = s.AddVertex(1, 0, 0), *c = s.AddVertex(1, 1, 0), *d = s.AddVertex(0, 1, 0);
    G3Facet* f = Face(s, {a, b, c, d});
    EXPECT_NEAR(f->GetPlaneC(), 1.0, 1e-15);
    d->SetZ(5e-7);
    EXPECT_TRUE(f->IsFlat());
    d->SetZ(6e-7);
    EXPECT_FALSE(f->IsFlat());
    d->SetZ(0);
    EXPECT_EQ(f->CalcDepth(3, 3), 0.0);
    G3Vertex *p = s.AddVertex(0, 0, 2), *q = s.AddVertex(1, 0, 2), *r = s.AddVertex(1, 0, 3);
    G3Facet* wall = Face(s, {p, q, r});
    EXPECT_EQ(wall->CalcDepth(7, 7), 2.0);
    // (B->A), (B->C), (C->A) yields A, B, C.
    G3Facet g;
    G3Edge ba(b, a), bc(b, c), ca(c, a);
    for (G3Edge* e : {&ba, &bc, &ca}) {
        e->SetFacet1(&g);
        g.AddEdge(e);
    }
    G3FacetVertexIterator it(&g);
    std::vector<GObj*> seen;
    while (it.hasNext())
        seen.push_back(it.next());
    EXPECT_EQ(seen, (std::vector<GObj*>{a, b, c}));
    EXPECT_TRUE(g.GetMoveDirection(&bc));
    EXPECT_FALSE(g.GetMoveDirection(&ba));
}

// The chain may be given from either end of the divided edge; each facet
// takes it in its own turning direction.
TEST(FacetEdit, DivideEdgeKeepsTheLoopChainedInTheFacetsDirection)
{
    for (bool fromSecondVertex : {false, true}) {
        SCOPED_TRACE(fromSecondVertex ? "chain from vertex 2" : "chain from vertex 1");
        G3Surface s(8, 0);
        G3Vertex *a = s.AddVertex(0, 0, 0), *b = s.AddVertex(2, 0, 0), *c = s.AddVertex(2, 2, 0),
                 *d = s.AddVertex(0, 2, 0);
        G3Facet* f1 = Face(s, {a, b, c, d});
        G3Vertex* e = s.AddVertex(3, 1, 0);
        G3Facet* f2 = Face(s, {c, b, e});
        G3Edge* shared = nullptr;
        for (G3Edge* x : Edges(f1))
            if (x->FacetEqu(f1, f2))
                shared = x;
        ASSERT_NE(shared, nullptr);
        G3Vertex* from = fromSecondVertex ? shared->GetVertex2() : shared->GetVertex1();
        G3Vertex* to = shared->GetOtherVertex(from);
        G3Vertex* m = s.AddVertex(2, 1, 0);
        G3Edge* chain[2] = {new G3Edge(from, m), new G3Edge(m, to)};
        for (G3Edge* x : chain) {
            x->SetFacet1(shared->GetFacet1());
            x->SetFacet2(shared->GetFacet2());
            x->GetVertex1()->AddEdge(x);
            x->GetVertex2()->AddEdge(x);
            s.AddEdgeToCollection(x);
        }
        EXPECT_TRUE(f1->DivideEdge(shared, 2, chain));
        EXPECT_TRUE(f2->DivideEdge(shared, 2, chain));
        EXPECT_FALSE(f1->DivideEdge(shared, 2, chain));
        shared->GetVertex1()->RemoveEdge(shared);
        shared->GetVertex2()->RemoveEdge(shared);
        s.RemoveEdge(shared);
        EXPECT_EQ(ValidateTopology(&s), "");
        EXPECT_EQ(f1->GetEdgeCount(), 5);
        EXPECT_NEAR(f1->GetArea(), 4.0, 1e-12);
        EXPECT_NEAR(f2->GetArea(), 1.0, 1e-12);
    }
}

TEST(FacetCut, ConcaveFacetCutByAPlaneGivesThePiecesInside)
{
    G3Surface s(8, 0);
    // A U shape: two prongs above y = 2.
    std::vector<G3Vertex*> v;
    for (auto p :
         std::vector<std::pair<double, double>>{{0, 0}, {6, 0}, {6, 5}, {4, 5}, {4, 2}, {2, 2}, {2, 5}, {0, 5}})
        v.push_back(s.AddVertex(p.first, p.second, 0));
    G3Facet* u = Face(s, v);
    G3IntervalList list;
    double y3[4] = {0, 1, 0, -3}; // y = 3 crosses both prongs
    EXPECT_EQ(u->IntersectByPlaneConcave(y3, &list), 1);
    list.BuildIntervals();
    ASSERT_EQ(list.GetIntervalCount(), 2);
    EXPECT_NEAR(list.GetInterval(0)->GetXYZ1(0), 0, 1e-12);
    EXPECT_NEAR(list.GetInterval(0)->GetXYZ2(0), 2, 1e-12);
    EXPECT_NEAR(list.GetInterval(1)->GetXYZ1(0), 4, 1e-12);
    double y2[4] = {0, 1, 0, -2}; // through the notch's floor: one piece
    EXPECT_EQ(u->IntersectByPlaneConcave(y2, &list), 1);
    list.BuildIntervals();
    ASSERT_GE(list.GetIntervalCount(), 1);
    EXPECT_NEAR(list.GetMinimum(), 0, 1e-12);
    EXPECT_NEAR(list.GetMaximum(), 6, 1e-12);
    double touch[4] = {0, 1, 0, -5};
    EXPECT_EQ(u->IntersectByPlaneConcave(touch, &list), 2);
    EXPECT_EQ(list.GetIntervalCount(), 2); // the two prong tops lie in it
    // A corner touching the plane leaves a piece of no length there.
    G3Vertex* apex = s.AddVertex(3, 9, 0);
    G3Facet* t = Face(s, {s.AddVertex(2, 12, 0), apex, s.AddVertex(4, 12, 0)});
    apex->SetMark(); // a host's mark is neither read nor cleared
    double y9[4] = {0, 1, 0, -9};
    EXPECT_EQ(t->IntersectByPlaneConcave(y9, &list), 2);
    EXPECT_EQ(list.GetPointList()->size(), 2);
    EXPECT_TRUE(apex->GetMark());
    double away[4] = {0, 1, 0, -9};
    EXPECT_EQ(u->IntersectByPlaneConcave(away, &list), 0);
    EXPECT_TRUE(list.IsEmpty());
    double same[4] = {0, 0, 1, 0};
    EXPECT_EQ(u->IntersectByPlaneConcave(same, &list), 3);
    EXPECT_EQ(list.GetIntervalCount(), 8);
}

TEST(FacetCut, CoplanarOverlapGivesTheEdgePiecesInsideEachOther)
{
    G3Surface s(8, 0);
    G3Facet* a = Face(s, {s.AddVertex(0, 0, 0), s.AddVertex(4, 0, 0), s.AddVertex(4, 4, 0), s.AddVertex(0, 4, 0)});
    G3Facet* b = Face(s, {s.AddVertex(2, 2, 0), s.AddVertex(6, 2, 0), s.AddVertex(6, 6, 0), s.AddVertex(2, 6, 0)});
    G3IntervalList list;
    ASSERT_TRUE(a->FindFacetsIntersection(b, &list));
    // a's edges inside b: two pieces of length 2; b's inside a: two more.
    double total = 0;
    for (int k = 0; k < list.GetIntervalCount(); ++k)
        total += G3Edge::GetSizeXYZ(list.GetInterval(k)->GetXYZ1(), list.GetInterval(k)->GetXYZ2());
    EXPECT_EQ(list.GetIntervalCount(), 4);
    EXPECT_NEAR(total, 8.0, 1e-12);
    G3Facet* far = Face(s, {s.AddVertex(10, 10, 0), s.AddVertex(11, 10, 0), s.AddVertex(11, 11, 0)});
    EXPECT_FALSE(a->FindFacetsIntersection(far, &list));
}

TEST(FacetShading, InterpolationAndNormalsByPlane)
{
    G3Surface s(3, 4);
    G3Vertex *a = s.AddVertex(0, 0, 0), *b = s.AddVertex(2, 0, 0), *c = s.AddVertex(0, 2, 0);
    G3Facet* f = Face(s, {a, b, c});
    EXPECT_FALSE(f->HasGeometry());
    ASSERT_TRUE(f->AssignNormalsByPlane(&s));
    EXPECT_TRUE(G3Facet::HasGeometry(f));
    EXPECT_EQ(f->GetNormal(c, nullptr)->GetZ(), 1.0);
    f->SetNormal(b, s.AddNormal(1, 0, 0), s.AddTexCoo(1, 0), true);
    f->SetNormal(a, s.AddNormal(0, 0, 1), s.AddTexCoo(0, 0), true);
    f->SetNormal(c, s.AddNormal(0, 0, 1), s.AddTexCoo(0, 1), true);
    double mid[3] = {1, 0, 0}, n[3], uv[2];
    EXPECT_EQ(f->Interpolate(mid, n, uv), 2);
    EXPECT_NEAR(n[0], 0.5, 1e-12);
    EXPECT_NEAR(uv[0], 0.5, 1e-12);
    double inside[3] = {0.5, 0.5, 0};
    EXPECT_EQ(f->Interpolate(inside, n, uv), 2);
    EXPECT_NEAR(n[0], 0.25, 1e-12); // barycentric weight of b
    EXPECT_NEAR(uv[1], 0.25, 1e-12);
}

TEST(FacetMeasures, DiagonalDeviationAndBendAcrossAnEdge)
{
    G3Surface* cube = MakeCube(2.0);
    G3Facet* bottom = cube->GetFacet(0);
    G3Vertex *a = nullptr, *b = nullptr;
    ASSERT_TRUE(bottom->CalcDiagonalEdge(&a, &b));
    EXPECT_NEAR(a->Distance(b), std::sqrt(8.0), 1e-12);
    G3Edge* e = bottom->GetFirstEdge();
    EXPECT_NEAR(bottom->CalcDeviationFromEdge(e), 2.0, 1e-12);
    // Every edge of a cube with outward planes is convex.
    for (int k = 0; k < cube->GetFacetCount(); ++k)
        for (G3Edge* x = cube->GetFacet(k)->GetFirstEdge(); x; x = cube->GetFacet(k)->GetNextEdge(x))
            EXPECT_EQ(cube->GetFacet(k)->GetIntersectionSignByEdge(x), 1);
    // Turned inside out, the top sees its neighbours above: concave.
    G3Facet* top = cube->GetFacet(1);
    top->NegPlane();
    EXPECT_EQ(top->GetIntersectionSignByEdge(top->GetFirstEdge()), -1);
    G3Surface s(3, 0);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
    G3Facet* t = s.AddFacet(3, v, 1, nullptr, nullptr);
    EXPECT_FALSE(t->CalcDiagonalEdge(&a, &b));
    EXPECT_EQ(t->GetIntersectionSignByEdge(t->GetFirstEdge()), 0); // no neighbour
    delete cube;
}

TEST(FacetQueries, LoopsContoursAndCollapse)
{
    G3Surface* body = MakeCubeWithBridgedHole();
    G3Facet* top = body->GetFacet(5);
    GArrayCollection vertices, starts;
    top->GetLoops(&vertices, &starts);
    EXPECT_EQ(vertices.size(), 10);
    EXPECT_EQ(starts.size(), 2);
    EXPECT_EQ(G3ElementToInt(starts.get(1)), 4);
    EXPECT_TRUE(top->ContainsVertex(body->GetVertex(8)));
    EXPECT_TRUE(top->HasEdge(body->GetVertex(4), body->GetVertex(14)));
    EXPECT_FALSE(top->ContainsVertex(body->GetVertex(0)));
    GArrayCollection ids;
    top->GetVerticesIds(&ids, 100);
    EXPECT_EQ(G3ElementToInt(ids.get(0)), 104);
    // A bridged facet is one closed loop: outline minus hole.
    G3FacetContourIterator bridged(top);
    ASSERT_TRUE(bridged.hasNext());
    auto* loop = static_cast<G3EdgeList*>(bridged.next());
    EXPECT_EQ(ValidateChain(loop), "");
    EXPECT_NEAR(std::fabs(loop->GetSignedArea()), 84.0, 1e-9);
    EXPECT_FALSE(bridged.hasNext());
    delete body;

    // A list of two separate loops gives two contours.
    G3Surface twoLoops(8, 0);
    G3Vertex* o[4] = {twoLoops.AddVertex(0, 0, 0), twoLoops.AddVertex(10, 0, 0), twoLoops.AddVertex(10, 10, 0),
                      twoLoops.AddVertex(0, 10, 0)};
    G3Vertex* h[4] = {twoLoops.AddVertex(4, 4, 0), twoLoops.AddVertex(4, 6, 0), twoLoops.AddVertex(6, 6, 0),
                      twoLoops.AddVertex(6, 4, 0)};
    auto* f = new G3Facet;
    for (G3Vertex** ring : {o, h})
        for (int k = 0; k < 4; ++k)
            twoLoops.AddEdge(ring[k], ring[(k + 1) % 4], f);
    twoLoops.AddFacetToCollection(f);
    f->FormPlaneEquation();
    EXPECT_EQ(ValidateTopology(&twoLoops), "");
    EXPECT_NEAR(f->GetArea(), 96.0, 1e-9);
    G3FacetContourIterator contours(f);
    double areas = 0;
    int count = 0;
    while (contours.hasNext()) {
        auto* c = static_cast<G3EdgeList*>(contours.next());
        EXPECT_EQ(ValidateChain(c), "");
        areas += std::fabs(c->GetSignedArea());
        ++count;
    }
    EXPECT_EQ(count, 2);
    EXPECT_NEAR(areas, 100.0 + 4.0, 1e-9);

    // Collapsing an edge of a quad into a new vertex leaves a triangle.
    G3Surface s(5, 0);
    G3Vertex *a = s.AddVertex(0, 0, 0), *b = s.AddVertex(2, 0, 0), *c = s.AddVertex(2, 2, 0), *d = s.AddVertex(0, 2, 0);
    G3Facet* q = Face(s, {a, b, c, d});
    G3Vertex* m = s.AddVertex(1, 0, 0);
    q->ChangeEdgeToVertex(q->GetFirstEdge(), m);
    EXPECT_EQ(q->GetEdgeCount(), 3);
    EXPECT_TRUE(q->ContainsVertex(m));
    EXPECT_FALSE(q->ContainsVertex(a));
    s.RemoveUnused();
    EXPECT_EQ(ValidateTopology(&s), "");
    EXPECT_NEAR(q->GetArea(), 2.0, 1e-12);
}
