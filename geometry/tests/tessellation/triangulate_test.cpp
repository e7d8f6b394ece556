// Facets into triangles: which facets the options select, and that the
// triangles cover each facet exactly (area), face as it did (normals), keep
// its edges' flags and its extended data, and leave a body closed.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "tessaly/contour.h"
#include "tessaly/surface.h"
#include "tessaly/tessellation.h"
#include "test_bodies.h"
#include "topology_validator.h"
#include "voxel_bodies.h"

namespace {

constexpr int kOldFlags = 1;
constexpr int kNewFlags = 4;

G3Surface* OneFacet(const std::vector<std::vector<double>>& points)
{
    auto* s = new G3Surface(static_cast<int>(points.size()), 0);
    std::vector<G3Vertex*> v;
    for (const auto& p : points)
        v.push_back(s->AddVertex(p[0], p[1], p[2]));
    s->AddFacet(static_cast<int>(v.size()), v.data(), kOldFlags, nullptr, nullptr);
    s->FormPlaneEquation();
    return s;
}

double TotalArea(G3Surface* s)
{
    double area = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        area += s->GetFacet(k)->GetArea();
    return area;
}

// Unit normal of a facet's plane.
std::vector<double> Normal(const G3Facet* f)
{
    const double* p = f->GetPlane();
    const double l = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    return {p[0] / l, p[1] / l, p[2] / l};
}

// A 10 x 10 square at z = 0 with a 4 x 4 hole, as one facet of two loops
// (the hole a loop of its own, turning the other way).
G3Surface* SquareWithHoleLoop()
{
    auto* s = new G3Surface(8, 0);
    const double outer[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const double hole[4][2] = {{3, 3}, {3, 7}, {7, 7}, {7, 3}};
    G3EdgeList loops(0, 1);
    for (const auto* loop : {outer, hole}) {
        G3Vertex* v[4];
        for (int k = 0; k < 4; ++k)
            v[k] = s->AddVertex(loop[k][0], loop[k][1], 0);
        for (int k = 0; k < 4; ++k)
            loops.AddEdge(v[k], v[(k + 1) % 4], nullptr, nullptr, nullptr, nullptr, kOldFlags);
    }
    s->AddFacet(&loops, 0, 0);
    s->FormPlaneEquation();
    return s;
}

// Tags objects with an integer: a new object gets the template's tag.
class TagProvider : public G3ExDataProvider {
public:
    void OpenExData(G3Obj* obj) override { obj->SetOutExData(this, new int(m_Current)); }
    void SetExData(G3Obj* obj) override { m_Current = obj ? Tag(obj) : 0; }
    void FreeExData(void* data) override { delete static_cast<int*>(data); }
    int Tag(G3Obj* obj) const
    {
        auto* tag = static_cast<int*>(obj->GetOutExData(const_cast<TagProvider*>(this)));
        return tag ? *tag : 0;
    }
    void SetTag(G3Obj* obj, int tag)
    {
        obj->RemoveExData(this);
        obj->SetOutExData(this, new int(tag));
    }

private:
    int m_Current = 0;
};

} // namespace

TEST(Triangulate, OptionsSelectFacetsAndTrianglesCoverThem)
{
    const std::vector<std::vector<double>> quad = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}};
    const std::vector<std::vector<double>> convexPentagon = {{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {1, 2, 0}, {-1, 1, 0}};
    const std::vector<std::vector<double>> concavePentagon = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 1, 0}, {0, 4, 0}};
    const std::vector<std::vector<double>> bentQuad = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0.3}, {0, 1, 0}};
    const std::vector<std::vector<double>> triangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    struct Case {
        const char* name;
        const std::vector<std::vector<double>>* points;
        int options;
        int facetsAfter;
    };
    const Case cases[] = {
        {"quad, every 4+", &quad, 4, 2},
        {"quad, only 5+", &quad, 8, 1},
        {"quad, 4 wins over the other bits", &quad, 4 | 8, 2},
        {"pentagon, 5+", &convexPentagon, 8, 3},
        {"convex pentagon, not convex", &convexPentagon, 1, 1},
        {"concave pentagon, not convex", &concavePentagon, 1, 3},
        {"flat quad, not flat", &quad, 2, 1},
        {"bent quad, not flat", &bentQuad, 2, 2},
        {"triangle, never", &triangle, 4, 1},
        {"no option bits", &concavePentagon, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        G3Surface* s = OneFacet(*c.points);
        const std::vector<double> before = Normal(s->GetFacet(0));
        const double area = TotalArea(s);
        const int edgesBefore = s->GetEdgeCount();
        EXPECT_EQ(s->Triangulate(c.options, kNewFlags), c.facetsAfter > 1);
        ASSERT_EQ(s->GetFacetCount(), c.facetsAfter);
        EXPECT_EQ(ValidateTopology(s), "");
        // The bent quad's triangles have their own planes; their areas seen
        // along the old normal add up to the old (projected) area.
        if (c.points != &bentQuad) {
            EXPECT_NEAR(TotalArea(s), area, 1e-9);
        }
        for (int k = 0; k < s->GetFacetCount(); ++k) {
            const std::vector<double> n = Normal(s->GetFacet(k));
            EXPECT_GT(n[0] * before[0] + n[1] * before[1] + n[2] * before[2], 0.9) << "facet " << k;
        }
        // Old sides keep their flags; the new diagonals carry the new ones.
        const int diagonals = s->GetEdgeCount() - edgesBefore;
        EXPECT_EQ(diagonals, c.facetsAfter - 1);
        int withNewFlags = 0;
        for (int k = 0; k < s->GetEdgeCount(); ++k) {
            const long flags = s->GetEdge(k)->GetFlags();
            withNewFlags += (flags & kNewFlags) != 0;
            EXPECT_NE((flags & kNewFlags) != 0, (flags & kOldFlags) != 0) << "edge " << k;
        }
        EXPECT_EQ(withNewFlags, diagonals);
        delete s;
    }
}

TEST(Triangulate, ClosedBodiesStayClosedAndKeepTheirVolume)
{
    struct Case {
        const char* name;
        G3Surface* body;
        double volume;
    };
    const Case cases[] = {
        {"cube", MakeCube(2.0), 8.0},
        {"L-prism of voxels", MakeVoxelBody({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), 3.0},
        // The top facet's hole is bridged: its bridge is walked both ways.
        {"cube with a bridged hole and a pocket", MakeCubeWithBridgedHole(), 1000.0 - 80.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        G3Surface* s = c.body;
        ASSERT_TRUE(s->Triangulate(4, kNewFlags));
        EXPECT_EQ(ValidateTopology(s), "");
        EXPECT_TRUE(s->GetClosed());
        EXPECT_EQ(EulerCharacteristic(s), 2);
        EXPECT_NEAR(DivergenceVolume(s), c.volume, 1e-9);
        for (int k = 0; k < s->GetFacetCount(); ++k)
            EXPECT_EQ(s->GetFacet(k)->GetEdgeCount(), 3);
        delete s;
    }
}

TEST(Triangulate, HolesAndCrossingsAreNeverFilledOrLost)
{
    // A hole as a loop of its own: 100 - 16, not the 63 of one implicit
    // contour through both loops.
    G3Surface* holed = SquareWithHoleLoop();
    ASSERT_NEAR(holed->GetFacet(0)->GetArea(), 84.0, 1e-9);
    EXPECT_TRUE(holed->Triangulate(1, kNewFlags));
    EXPECT_NEAR(TotalArea(holed), 84.0, 1e-9);
    EXPECT_EQ(holed->GetFacetCount(), 8);
    EXPECT_EQ(ValidateTopology(holed), "");
    delete holed;

    // A bow tie: its contour crosses itself, no triangulation of its four
    // points follows it, so it stays as it is.
    G3Surface* bowTie = OneFacet({{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 2, 0}});
    EXPECT_FALSE(bowTie->Triangulate(4, kNewFlags));
    EXPECT_EQ(bowTie->GetFacetCount(), 1);
    EXPECT_EQ(bowTie->GetFacet(0)->GetEdgeCount(), 4);
    // Closed with its back side: both sides stay, so the body stays closed.
    G3Vertex* v[4];
    for (int k = 0; k < 4; ++k)
        v[k] = bowTie->GetVertex(3 - k);
    bowTie->AddFacet(4, v, kOldFlags, nullptr, nullptr);
    bowTie->FormPlaneEquation();
    ASSERT_TRUE(bowTie->GetClosed());
    EXPECT_FALSE(bowTie->Triangulate(4, kNewFlags));
    EXPECT_EQ(bowTie->GetFacetCount(), 2);
    EXPECT_TRUE(bowTie->GetClosed());
    delete bowTie;

    // Quads with no area, or with a point that is not a number, stay.
    for (const auto& points : {std::vector<std::vector<double>>{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}},
                               std::vector<std::vector<double>>{{0, 0, 0}, {1, 0, 0}, {1, NAN, 0}, {0, 1, 0}}}) {
        G3Surface* bad = OneFacet(points);
        EXPECT_FALSE(bad->Triangulate(4, kNewFlags));
        EXPECT_EQ(bad->GetFacetCount(), 1);
        delete bad;
    }
}

TEST(Triangulate, ShadingSurfaceValuesAndExtendedDataGoToTheTriangles)
{
    TagProvider tags;
    G3Obj::AddProvider(&tags);
    G3Surface* s = MakeCube();
    s->AssignNormalsByPlane();
    G3Facet* top = nullptr;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        if (s->GetFacet(k)->GetPlaneC() > 0.5)
            top = s->GetFacet(k);
    ASSERT_NE(top, nullptr);
    top->SetSurface(7);
    tags.SetTag(top, 42);
    ASSERT_TRUE(s->Triangulate(4, kNewFlags));
    int fromTop = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        GArrayCollection vertices;
        f->GetVertices(&vertices);
        for (int i = 0; i < vertices.size(); ++i) {
            G3Normal* n = f->GetNormal(static_cast<G3Vertex*>(vertices.get(i)), nullptr);
            ASSERT_NE(n, nullptr);
            const double* p = f->GetPlane();
            EXPECT_NEAR(n->GetX() * p[0] + n->GetY() * p[1] + n->GetZ() * p[2], 1.0, 1e-12);
        }
        if (f->GetPlaneC() > 0.5) {
            EXPECT_EQ(f->GetSurface(), 7);
            EXPECT_EQ(tags.Tag(f), 42);
            ++fromTop;
        } else {
            EXPECT_EQ(tags.Tag(f), 0);
        }
    }
    EXPECT_EQ(fromTop, 2);
    delete s;
    G3Obj::RemoveExDataProvider(&tags);
}

TEST(Triangulate, ThreadsTessellateSideBySide)
{
    // Each thread splits its own spheres (quads everywhere but the poles);
    // the results equal those of one thread.
    auto run = [](int repeats, std::vector<int>* facets) {
        for (int r = 0; r < repeats; ++r) {
            G3Surface* s = MakeSphere(12, 24);
            s->Triangulate(4, kNewFlags);
            facets->push_back(s->GetFacetCount());
            facets->push_back(ValidateTopology(s).empty() && s->GetClosed() ? 1 : 0);
            delete s;
        }
    };
    std::vector<int> alone, first, second;
    run(4, &alone);
    std::thread a(run, 4, &first);
    std::thread b(run, 4, &second);
    a.join();
    b.join();
    EXPECT_EQ(first, alone);
    EXPECT_EQ(second, alone);
    ASSERT_FALSE(alone.empty());
    EXPECT_EQ(alone[0], 2 * 24 * 12);
    EXPECT_EQ(alone[1], 1);
}
