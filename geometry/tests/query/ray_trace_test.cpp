// Ray picking: the nearest hit and the ordered hit list of the metric
// result, and which element a traced ray reports (facet inside, shared
// edge, fan vertex), each once.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tessaly/boolean.h"
#include "tessaly/surface.h"
#include "test_bodies.h"

namespace {

GArrayCollection* Facets(G3Surface* s, GArrayCollection* out)
{
    for (int k = 0; k < s->GetFacetCount(); ++k)
        out->add(s->GetFacet(k));
    return out;
}

// A fan of six triangles around the centre vertex (0, 0, 0), in z = 0.
G3Surface* Fan()
{
    auto* s = new G3Surface(7, 0);
    G3Vertex* centre = s->AddVertex(0, 0, 0);
    std::vector<G3Vertex*> rim;
    for (int k = 0; k < 6; ++k)
        rim.push_back(s->AddVertex(std::cos(k * M_PI / 3), std::sin(k * M_PI / 3), 0));
    for (int k = 0; k < 6; ++k) {
        G3Vertex* t[3] = {centre, rim[static_cast<std::size_t>(k)], rim[static_cast<std::size_t>((k + 1) % 6)]};
        s->AddFacet(3, t, 1, nullptr, nullptr);
    }
    s->FormPlaneEquation();
    return s;
}

bool AnyMarked(G3Surface* s)
{
    for (int k = 0; k < s->GetEdgeCount(); ++k)
        if (s->GetEdge(k)->GetMark())
            return true;
    for (int k = 0; k < s->GetVertexCount(); ++k)
        if (s->GetVertex(k)->GetMark())
            return true;
    return false;
}

} // namespace

TEST(RayTrace, MetricResultKeepsTheNearestAndOrdersTheList)
{
    G3RayTraceMetricResult r;
    EXPECT_EQ(r.GetDistance(), -1.0);
    EXPECT_EQ(r.GetHitKind(), G3RayTraceMetricResult::HIT_NONE);
    const double up[3] = {0, 0, 1}, axis[3] = {1, 0, 0};
    const double at5[3] = {0, 0, 5}, at3[3] = {0, 3, 0}, alsoAt3[3] = {3, 0, 0}, at4[3] = {0, 4, 0};
    G3Surface* cube = MakeCube();
    G3Facet* f[3] = {cube->GetFacet(0), cube->GetFacet(1), cube->GetFacet(2)};
    EXPECT_TRUE(r.FindFacet(at5, up, axis, axis, f[0]));
    EXPECT_TRUE(r.FindFacet(at3, up, nullptr, nullptr, f[1]));
    EXPECT_EQ(r.HitCurvAxis1GetX(), 0.0) << "axes the nearer hit did not supply are zero";
    EXPECT_FALSE(r.FindFacet(alsoAt3, up, nullptr, nullptr, f[2])) << "a tie does not replace";
    EXPECT_EQ(r.GetHitFacet(), f[1]);
    EXPECT_EQ(r.GetDistance(), 3.0);
    // The list: ascending, equal distances in order of arrival.
    std::vector<G3Facet*> order;
    for (const auto* h = r.GetFirstHit(); h; h = h->next)
        order.push_back(h->facet);
    EXPECT_EQ(order, (std::vector<G3Facet*>{f[1], f[2], f[0]}));
    // An edge hit behind the nearest changes nothing; one in front wins and
    // the kind says so, without entering the list.
    EXPECT_FALSE(r.FindEdge(at4, up, cube->GetEdge(0)));
    const double at1[3] = {1, 0, 0};
    EXPECT_TRUE(r.FindEdge(at1, up, cube->GetEdge(0)));
    EXPECT_EQ(r.GetHitKind(), G3RayTraceMetricResult::HIT_EDGE);
    EXPECT_EQ(r.GetHitEdge(), cube->GetEdge(0));
    EXPECT_EQ(r.GetHitCount(), 3);
    int data = 0;
    const double at0[3] = {0.5, 0, 0};
    EXPECT_TRUE(r.FindObject(at0, up, axis, nullptr, &data, &data));
    EXPECT_EQ(r.GetHitKind(), G3RayTraceMetricResult::HIT_OBJECT);
    EXPECT_EQ(r.GetModelerData(), &data);
    EXPECT_EQ(r.GetHitFacet(), nullptr);
    EXPECT_EQ(r.HitCurvAxis1GetX(), 1.0);
    EXPECT_EQ(r.GetFirstHit()->data, &data);
    delete cube;
}

TEST(RayTrace, TracedRaysReportEachElementOnce)
{
    struct Case {
        const char* name;
        G3Surface* body;
        double p[3], q[3];
        G3RayTraceMetricResult::HitKind kind;
        double distance;  // from p
        double normal[3]; // of the nearest hit
        int facetHits;
    };
    const double r2 = 1 / std::sqrt(2.0);
    std::vector<Case> cases = {
        {"through two faces of a cube",
         MakeCube(2.0),
         {1, 1, -5},
         {1, 1, 5},
         G3RayTraceMetricResult::HIT_FACET,
         5,
         {0, 0, -1},
         2},
        {"through the cube's edge x = 2, z = 0",
         MakeCube(2.0),
         {3, 1, -1},
         {1, 1, 1},
         G3RayTraceMetricResult::HIT_EDGE,
         std::sqrt(2.0),
         {r2, 0, -r2},
         0},
        {"through the cube's corner",
         MakeCube(2.0),
         {3, 3, 3},
         {1, 1, 1},
         G3RayTraceMetricResult::HIT_VERTEX,
         std::sqrt(3.0),
         {1 / std::sqrt(3.0), 1 / std::sqrt(3.0), 1 / std::sqrt(3.0)},
         0},
        {"through a fan's centre", Fan(), {0, 0, 2}, {0, 0, -2}, G3RayTraceMetricResult::HIT_VERTEX, 2, {0, 0, 1}, 0},
        {"starting on a face inside it",
         MakeCube(2.0),
         {1, 1, 2},
         {1, 1, 7},
         G3RayTraceMetricResult::HIT_FACET,
         0,
         {0, 0, 1},
         1},
        {"ending on a face", MakeCube(2.0), {1, 1, 7}, {1, 1, 2}, G3RayTraceMetricResult::HIT_NONE, -1, {0, 0, 0}, 0},
        {"missing", MakeCube(2.0), {5, 5, -5}, {5, 5, 5}, G3RayTraceMetricResult::HIT_NONE, -1, {0, 0, 0}, 0},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        GArrayCollection facets;
        G3RayTraceMetricResult r(c.p);
        G3BooleanCalculator::TestRayAndFacetList(c.p, c.q, Facets(c.body, &facets), &r);
        EXPECT_EQ(r.GetHitKind(), c.kind);
        EXPECT_NEAR(r.GetDistance(), c.distance, 1e-12);
        EXPECT_NEAR(r.HitPointNormalGetX(), c.normal[0], 1e-12);
        EXPECT_NEAR(r.HitPointNormalGetY(), c.normal[1], 1e-12);
        EXPECT_NEAR(r.HitPointNormalGetZ(), c.normal[2], 1e-12);
        EXPECT_EQ(r.GetHitCount(), c.facetHits);
        EXPECT_FALSE(AnyMarked(c.body));
        delete c.body;
    }
}

TEST(RayTrace, BackToBackFacetsGiveNoNormalRatherThanNaN)
{
    // One triangle and its reverse: every edge has two opposite facets.
    G3Surface s(3, 0);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(2, 0, 0), s.AddVertex(0, 2, 0)};
    s.AddFacet(3, v, 1, nullptr, nullptr);
    G3Vertex* back[3] = {v[2], v[1], v[0]};
    s.AddFacet(3, back, 1, nullptr, nullptr);
    s.FormPlaneEquation();
    GArrayCollection facets;
    double p[3] = {1, 0, 1}, q[3] = {1, 0, -1};
    G3RayTraceMetricResult r(p);
    G3BooleanCalculator::TestRayAndFacetList(p, q, Facets(&s, &facets), &r);
    EXPECT_EQ(r.GetHitKind(), G3RayTraceMetricResult::HIT_EDGE);
    EXPECT_EQ(r.HitPointNormalGetX(), 0.0);
    EXPECT_EQ(r.HitPointNormalGetZ(), 0.0);
    // Null arguments do nothing.
    G3BooleanCalculator::TestRayAndFacetList(nullptr, q, &facets, &r);
    G3BooleanCalculator::TestRayAndFacetList(p, q, nullptr, &r);
    G3BooleanCalculator::TestRayAndFacetList(p, q, &facets, nullptr);
    EXPECT_EQ(r.GetHitKind(), G3RayTraceMetricResult::HIT_EDGE);
}
