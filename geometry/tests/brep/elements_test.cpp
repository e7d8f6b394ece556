// Points, texture coordinates, edges and poly-edges.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tessaly/elements.h"
#include "tessaly/facet.h"

TEST(G3Point, InfinityIsStoredAsZeroButNaNIsKept)
{
    double inf = std::numeric_limits<double>::infinity();
    G3Point p(1, inf, 2);
    EXPECT_EQ(p.GetY(), 0.0);
    EXPECT_EQ(p.GetX(), 1.0);
    G3Point q(-inf, std::nan(""), 0);
    EXPECT_EQ(q.GetX(), -inf);
    EXPECT_TRUE(std::isnan(q.GetY()));
    G3TexCoo t(inf, 3);
    EXPECT_EQ(t.GetU(), 0.0);
}

TEST(G3Point, EqualityIsStrictlyBelowTheTolerance)
{
    G3Point a(0, 0, 0), b(0.5e-6, 0, 0), c(1e-6, 0, 0);
    EXPECT_TRUE(a.Equals(&b));
    EXPECT_FALSE(a.Equals(&c));
    EXPECT_TRUE(a.Equals(c.GetXYZ(), 2e-6));
    EXPECT_FALSE(a.Equals(static_cast<const GObj*>(nullptr)));
    G3TexCoo t1(0, 0), t2(0, 0.9e-6);
    EXPECT_TRUE(t1.Equals(&t2));
    EXPECT_FALSE(t1.Equals(&t2, 0.5e-6));
}

TEST(G3Point, DuplicatesKeepClassAndCoordinates)
{
    G3Vertex v(1, 2, 3);
    v.SetId(9);
    GObj* copy = v.Duplicate();
    auto* vertex = dynamic_cast<G3Vertex*>(copy);
    ASSERT_NE(vertex, nullptr);
    EXPECT_EQ(vertex->GetId(), 9);
    EXPECT_DOUBLE_EQ(vertex->GetZ(), 3);
    delete copy;
    G3Normal n(0, 0, 1);
    GObj* normal = n.Duplicate();
    EXPECT_NE(dynamic_cast<G3Normal*>(normal), nullptr);
    delete normal;
}

TEST(G3Normal, TransformationIgnoresTranslationButVertexDoesNot)
{
    double m[4][4];
    M4Identity(m);
    M4RotateZ(m, M_PI / 2);
    M4Translate(m, 5, 0, 0);
    G3Normal n(1, 0, 0);
    n.RealTransformation(m);
    EXPECT_NEAR(n.GetX(), 0, 1e-12);
    EXPECT_NEAR(n.GetY(), 1, 1e-12);
    G3Vertex v(1, 0, 0);
    v.RealTransformation(m);
    EXPECT_NEAR(v.GetX(), 5, 1e-12);
    EXPECT_NEAR(v.GetY(), 1, 1e-12);
}

TEST(G3Edge, FlagsStartVisible)
{
    G3Vertex a(0, 0, 0), b(1, 0, 0);
    G3Edge e(&a, &b);
    EXPECT_EQ(e.GetFlags(), 1);
    EXPECT_FALSE(e.IsInvisible());
    e.ClearVisible();
    EXPECT_TRUE(e.IsInvisible());
    e.SetFormMaking();
    EXPECT_FALSE(e.IsInvisible());
    e.SetMark3();
    EXPECT_TRUE(e.GetMark3());
    EXPECT_EQ(e.GetFlags() & (1L << 24), 1L << 24);
}

TEST(G3Edge, ShadingDataIsCreatedOnlyWhenThereIsData)
{
    G3Vertex a(0, 0, 0), b(1, 0, 0);
    G3Edge e(&a, &b);
    e.SetFacet2V2(nullptr, nullptr);
    EXPECT_FALSE(e.HasGeometry());
    G3Normal n(0, 0, 1);
    e.SetFacet2V2(&n, nullptr);
    EXPECT_TRUE(e.HasGeometry());
    G3TexCoo* t = reinterpret_cast<G3TexCoo*>(0x8);
    EXPECT_EQ(e.GetFacet2V2(&t), &n);
    EXPECT_EQ(t, nullptr);
    e.SetGeometry(nullptr);
    EXPECT_FALSE(e.HasGeometry());
}

TEST(G3Edge, SwapVertexExchangesEndsAndTheirShading)
{
    G3Vertex a(0, 0, 0), b(1, 0, 0);
    G3Normal n11, n12, n21, n22;
    G3TexCoo t12(0.5, 0.5);
    G3Edge e(&a, &b);
    e.SetFacet1V1(&n11, nullptr);
    e.SetFacet1V2(&n12, &t12);
    e.SetFacet2V1(&n21, nullptr);
    e.SetFacet2V2(&n22, nullptr);
    G3Edge link(&a, &b);
    e.SetVertex1Edge(&link);
    e.SwapVertex();
    EXPECT_EQ(e.GetVertex1(), &b);
    EXPECT_EQ(e.GetVertex2(), &a);
    EXPECT_EQ(e.GetVertex2Edge(), &link);
    EXPECT_EQ(e.GetVertex1Edge(), nullptr);
    G3TexCoo* t = nullptr;
    EXPECT_EQ(e.GetFacet1V1(&t), &n12);
    EXPECT_EQ(t, &t12);
    EXPECT_EQ(e.GetFacet1V2(nullptr), &n11);
    EXPECT_EQ(e.GetFacet2V1(nullptr), &n22);
    EXPECT_EQ(e.GetFacet2V2(nullptr), &n21);
}

TEST(G3Edge, SetNormalsOrdersPairsByVertexAndSide)
{
    G3Vertex a(0, 0, 0), b(1, 0, 0);
    G3Facet f1, f2;
    G3Normal na, nb;
    G3Edge e(&a, &b);
    e.SetFacet1(&f1);
    e.SetFacet2(&f2);
    e.SetNormals(&f2, &b, &nb, nullptr, &a, &na, nullptr);
    G3Normal *n1, *n2;
    G3TexCoo *t1, *t2;
    EXPECT_TRUE(e.GetNormals(&f2, &n1, &t1, &n2, &t2));
    EXPECT_EQ(n1, &na);
    EXPECT_EQ(n2, &nb);
    EXPECT_FALSE(e.GetNormals(&f1, &n1, &t1, &n2, &t2));
    EXPECT_TRUE(e.HasGeometry(&f2));
    EXPECT_FALSE(e.HasGeometry(&f1));
}

TEST(G3Edge, FindProjectionLimits)
{
    G3Vertex a(0, 0, 0), b(2, 0, 0);
    G3Edge e(&a, &b);
    double proj[3], t;
    double beyond[3] = {2 + 2e-6, 1, 0};
    EXPECT_FALSE(e.FindProjection(beyond, proj, &t));
    double near[3] = {2 + 0.5e-6, 1, 0};
    EXPECT_TRUE(e.FindProjection(near, proj, &t));
    EXPECT_NEAR(proj[1], 0, 1e-15);
    double before[3] = {-0.5e-6, -3, 0};
    EXPECT_TRUE(e.FindProjection(before, proj, &t));
    double mid[3] = {1, 7, 7};
    EXPECT_TRUE(e.FindProjection(mid, proj, &t));
    EXPECT_DOUBLE_EQ(t, 1.0);
    EXPECT_DOUBLE_EQ(proj[0], 1.0);
}

TEST(G3Edge, TriangleVertexAngleAndArea)
{
    G3Vertex A(2, 0, 0), B(0, 0, 0), C(0, 3, 0);
    G3Edge e1(&A, &B), e2(&C, &B);
    G3Vertex *a, *b, *c;
    G3Edge::GetTriangleVertex(&e1, &e2, &a, &b, &c);
    EXPECT_EQ(a, &A);
    EXPECT_EQ(b, &B);
    EXPECT_EQ(c, &C);
    EXPECT_NEAR(G3Edge::GetCosAngle(&e1, &e2), 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(G3Edge::CalcRealSquareOfTriangle(&e1, &e2), 3.0);
    G3Vertex D(5, 5, 5), E(6, 6, 6);
    G3Edge apart(&D, &E);
    G3Edge::GetTriangleVertex(&e1, &apart, &a, &b, &c);
    EXPECT_EQ(b, nullptr);
    EXPECT_TRUE(e1.IsLink(&e2));
    EXPECT_FALSE(e1.IsLink(&apart));
    G3Edge reversed(&B, &A);
    EXPECT_TRUE(e1.IsVertexEquals(&reversed));
}

namespace {
// Components of the interpolated normal and texture coordinate at p.
void InterpolateAt(G3Vertex* a, G3Vertex* b, const double* p, double* normal, double* uv)
{
    G3Normal na(1, 0, 0), nb(0, 1, 0);
    G3TexCoo ta(0, 0), tb(1, 2);
    G3Normal* n = nullptr;
    G3TexCoo* t = nullptr;
    G3Edge::Interpolate(a, &na, &ta, b, &nb, &tb, p, &n, &t);
    ASSERT_NE(n, nullptr);
    ASSERT_NE(t, nullptr);
    for (int i = 0; i < 3; ++i)
        normal[i] = n->GetXYZ(i);
    uv[0] = t->GetU();
    uv[1] = t->GetV();
    delete n;
    delete t;
}
} // namespace

TEST(G3Edge, InterpolateIsLinearInTheSegmentParameter)
{
    struct Case {
        double a[3], b[3];
    } cases[] = {
        {{0, 0, 0}, {0, 0, 4}},   // parallel to z
        {{1, 0, 0}, {1, 6, 0}},   // parallel to y
        {{0, 0, 0}, {3, 0, 0}},   // parallel to x
        {{1, 2, 3}, {-4, 7, 11}}, // general
    };
    for (const Case& c : cases) {
        G3Vertex a(c.a), b(c.b);
        for (double s : {0.0, 0.25, 0.5, 1.0}) {
            double p[3];
            for (int i = 0; i < 3; ++i)
                p[i] = c.a[i] + s * (c.b[i] - c.a[i]);
            double n[3], uv[2];
            InterpolateAt(&a, &b, p, n, uv);
            EXPECT_NEAR(n[0], 1 - s, 1e-12);
            EXPECT_NEAR(n[1], s, 1e-12);
            EXPECT_NEAR(n[2], 0, 1e-12);
            EXPECT_NEAR(uv[0], s, 1e-12);
            EXPECT_NEAR(uv[1], 2 * s, 1e-12);
        }
    }
}

TEST(G3Edge, InterpolateWithoutDataGivesNulls)
{
    G3Vertex a(0, 0, 0), b(1, 0, 0);
    G3Normal na(1, 0, 0), nb(0, 1, 0);
    double p[3] = {0.5, 0, 0};
    G3Normal* n = nullptr;
    G3TexCoo* t = nullptr;
    G3Edge::Interpolate(&a, &na, nullptr, &b, &nb, nullptr, p, &n, &t);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(t, nullptr);
    delete n;
    G3Edge::Interpolate(&a, nullptr, nullptr, &b, &nb, nullptr, p, &n, &t);
    EXPECT_EQ(n, nullptr);
    // Both ends at one place: a's data is taken.
    G3Normal* same = nullptr;
    G3Edge::Interpolate(&a, &na, nullptr, &a, &nb, nullptr, p, &same, &t);
    ASSERT_NE(same, nullptr);
    EXPECT_DOUBLE_EQ(same->GetX(), 1.0);
    delete same;
}

namespace {
// A facet whose edges are listed in order; sides are set as a surface would.
struct FacetFixture {
    explicit FacetFixture(int edges) : vertices(edges), list(edges)
    {
        for (int i = 0; i < edges; ++i)
            vertices[i] = new G3Vertex(std::cos(i), std::sin(i), 0);
        for (int i = 0; i < edges; ++i) {
            list[i] = new G3Edge(vertices[i], vertices[(i + 1) % edges]);
            list[i]->SetFacet1(&facet);
            facet.AddEdge(list[i]);
        }
    }
    ~FacetFixture()
    {
        for (G3Edge* e : list)
            delete e;
        for (G3Vertex* v : vertices)
            delete v;
    }
    std::vector<G3Vertex*> vertices;
    std::vector<G3Edge*> list;
    G3Facet facet;
};
} // namespace

TEST(G3Edge, LegalForMergeNeedsOneUnbrokenRunOfSharedEdges)
{
    FacetFixture f(6), g(4);
    // Edges 1 and 2 of f border g: one run.
    for (int i : {1, 2})
        f.list[i]->SetFacet2(&g.facet);
    g.list[0]->SetFacet2(&f.facet);
    g.list[0]->SetFacet1(&g.facet);
    EXPECT_TRUE(f.list[1]->IsLegalForMerge());
    // A third shared edge apart from the run splits it in two runs.
    f.list[4]->SetFacet2(&g.facet);
    EXPECT_FALSE(f.list[1]->IsLegalForMerge());
    // A run that wraps around from the last edge to the first is one run.
    for (int i : {1, 2})
        f.list[i]->SetFacet2(nullptr);
    f.list[5]->SetFacet2(&g.facet);
    f.list[0]->SetFacet2(&g.facet);
    EXPECT_TRUE(f.list[0]->IsLegalForMerge());
    // All of a facet's edges shared: no boundary left, not legal.
    FacetFixture h(3);
    for (G3Edge* e : h.list)
        e->SetFacet2(&g.facet);
    EXPECT_FALSE(h.list[0]->IsLegalForMerge());
}

TEST(G3PolyEdge, SegmentsWrapAndAnEmptyPolylineGivesNulls)
{
    G3Vertex* array[16] = {};
    G3Vertex v[4];
    for (int i = 0; i < 4; ++i)
        array[10 + i] = &v[i];
    G3PolyEdge poly(4, 10);
    G3Vertex *a, *b;
    poly.GetEdge(array, 3, &a, &b);
    EXPECT_EQ(a, array[13]);
    EXPECT_EQ(b, array[10]);
    EXPECT_EQ(poly.GetEdges(array), array + 10);
    EXPECT_EQ(poly.GetObjectType(), 1);
    poly.SetClosed(true);
    EXPECT_TRUE(poly.GetClosed());
    G3PolyEdge empty(0, 0);
    empty.GetEdge(array, 0, &a, &b);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
}

TEST(G3PolyEdge, ExtendedEdgeDataRoundTrip)
{
    G3PolyEdge poly(2, 0);
    EXPECT_EQ(poly.GetGraphic(), nullptr);
    EXPECT_FALSE(poly.SetGraphic(&poly));
    double m[4][4];
    M4Identity(m);
    m[3][0] = 7;
    poly.SetExtEdgeData(nullptr, G3Point(1, 0, 0), G3Point(2, 0, 0), G3Point(3, 0, 0), G3Point(4, 0, 0), m);
    EXPECT_TRUE(poly.SetGraphic(&poly));
    EXPECT_EQ(poly.GetGraphic(), &poly);
    G3Point p1, p2, p3, p4;
    double out[4][4] = {};
    poly.GetExtEdgeData(&p1, &p2, &p3, &p4, out);
    EXPECT_EQ(p4.GetX(), 4.0);
    EXPECT_EQ(out[3][0], 7.0);
    // The record is freed with the poly-edge (LeakSanitizer watches).
}
