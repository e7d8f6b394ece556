// G3SurfaceEdit: the checks on bodies built to fail each of them, edge
// division, holes, inserted pockets, facets lying on facets, and the edges
// two surfaces share.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "tessaly/intervals.h"
#include "tessaly/surface.h"
#include "tessaly/surface_edit.h"
#include "test_bodies.h"
#include "topology_validator.h"

namespace {
using Point = std::array<double, 3>;

G3Facet* AddPolygon(G3Surface* s, const std::vector<Point>& points)
{
    std::vector<G3Vertex*> v;
    for (const Point& p : points)
        v.push_back(s->AddVertex(p.data()));
    G3Facet* f = s->AddFacet(static_cast<int>(v.size()), v.data(), 1, nullptr, nullptr);
    if (f)
        f->FormPlaneEquation();
    return f;
}

// Points as G3Point objects owned by the holder.
struct PointList {
    std::vector<std::unique_ptr<G3Point>> owned;
    GArrayCollection list;
    explicit PointList(const std::vector<Point>& points)
    {
        for (const Point& p : points) {
            owned.push_back(std::make_unique<G3Point>(p.data()));
            list.add(owned.back().get());
        }
    }
};

G3Surface* CubeWithBowTie(bool first)
{
    auto* s = new G3Surface(16, 0);
    const std::vector<Point> bowTie = {{5, 0, 0}, {6, 1, 0}, {6, 0, 0}, {5, 1, 0}};
    if (first)
        AddPolygon(s, bowTie);
    G3Surface* cube = MakeCube();
    s->AddCopyOf(cube);
    delete cube;
    if (!first)
        AddPolygon(s, bowTie);
    return s;
}

// A triangle whose facet has only two edges: A-B and B-A.
G3Surface* TwoEdgeContour()
{
    G3Surface* s = MakeCube();
    G3Vertex* a = s->AddVertex(5, 5, 5);
    G3Vertex* b = s->AddVertex(6, 5, 5);
    auto* f = new G3Facet;
    s->AddEdge(a, b, f);
    s->AddEdge(b, a, f);
    s->AddFacetToCollection(f);
    return s;
}

G3Surface* CrossingTriangles()
{
    auto* s = new G3Surface(6, 0);
    AddPolygon(s, {{0, 0, 0}, {2, 0, 0}, {1, 2, 0}});
    AddPolygon(s, {{1, 1, -1}, {1, 1, 1}, {1, -1, 0}});
    return s;
}

G3Surface* ShortEdge()
{
    G3Surface* s = MakeCube();
    AddPolygon(s, {{5, 0, 0}, {5 + 1e-7, 0, 0}, {5, 1, 0}});
    return s;
}

int EdgesBetween(G3Vertex* a, G3Vertex* b)
{
    GArrayCollection out;
    a->GetEdges(b, &out);
    return out.size();
}
} // namespace

TEST(SurfaceEditCheck, ReportsEachFailureOnABodyBuiltToHaveIt)
{
    struct Case {
        const char* name;
        std::function<G3Surface*()> make;
        bool passes;
        int report;
    };
    const Case cases[] = {
        {"clean cube", [] { return MakeCube(); }, true, 0},
        {"clean sphere", [] { return MakeSphere(8, 12); }, true, 0},
        {"bow tie first", [] { return CubeWithBowTie(true); }, false, G3CHECK_SELF_CROSSING},
        {"bow tie last", [] { return CubeWithBowTie(false); }, false, G3CHECK_SELF_CROSSING},
        {"short edge", ShortEdge, false, G3CHECK_SHORT_EDGE},
        {"two-edge contour", TwoEdgeContour, false, G3CHECK_SHORT_CONTOUR},
        {"crossing facets", CrossingTriangles, false, G3CHECK_CROSSING_FACETS},
        {"no facets", [] { return new G3Surface(0, 0); }, false, 0},
    };
    for (const Case& c : cases) {
        G3Surface* s = c.make();
        G3SurfaceEdit edit(s);
        int report = -1;
        EXPECT_EQ(edit.CheckSurface(G3CHECK_ALL, report), c.passes) << c.name;
        EXPECT_EQ(report, c.report) << c.name;
        delete s;
    }
}

TEST(SurfaceEditCheck, TheMaskSelectsTheChecks)
{
    G3Surface* s = CubeWithBowTie(false);
    G3SurfaceEdit edit(s);
    int report = 0;
    EXPECT_TRUE(edit.CheckSurface(G3CHECK_SHORT_EDGE | G3CHECK_CROSSING_FACETS, report));
    EXPECT_EQ(report, 0);
    G3Surface* crossing = CrossingTriangles();
    G3SurfaceEdit crossingEdit(crossing);
    EXPECT_TRUE(crossingEdit.CheckFacets(G3CHECK_SELF_CROSSING, report));
    for (int k = 0; k < crossing->GetFacetCount(); ++k)
        EXPECT_EQ(crossing->GetFacet(k)->GetOutExData(G3FacetProvider::GetProvider()), nullptr);
    delete crossing;
    delete s;
}

TEST(SurfaceEditDivide, PiecesCases)
{
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> pieces; // x along the edge (0,0,0)-(1,0,0)
        bool ok;
        int edgesAfter; // replacing the one edge
        int pieceEdges; // with the flag value 128
    };
    const Case cases[] = {
        {"one middle piece", {{0.4, 0.6}}, true, 3, 1},
        {"piece from the first end", {{0.0, 0.5}}, true, 2, 1},
        {"piece to the second end", {{0.5, 1.0}}, true, 2, 1},
        {"touching pieces join", {{0.2, 0.4}, {0.4, 0.6}}, true, 3, 1},
        {"two pieces", {{0.6, 0.8}, {0.1, 0.2}}, true, 5, 2},
        {"piece off the edge", {{1.5, 2.0}}, false, 1, 0},
        {"whole edge", {{0.0, 1.0}}, true, 1, 1},
    };
    for (const Case& c : cases) {
        G3Surface* cube = MakeCube();
        G3Vertex* a = cube->GetVertex(0);
        G3Edge* e = nullptr;
        for (int k = 0; k < cube->GetEdgeCount() && !e; ++k) {
            G3Edge* x = cube->GetEdge(k);
            const bool alongX = x->GetVertex1()->GetY() == 0 && x->GetVertex2()->GetY() == 0 &&
                x->GetVertex1()->GetZ() == 0 && x->GetVertex2()->GetZ() == 0;
            e = alongX ? x : nullptr;
        }
        ASSERT_NE(e, nullptr);
        G3Facet* f1 = e->GetFacet1();
        G3Facet* f2 = e->GetFacet2();
        const int f1Edges = f1->GetEdgeCount(), f2Edges = f2->GetEdgeCount();
        const int edgesBefore = cube->GetEdgeCount();
        G3IntervalList pieces;
        for (const auto& p : c.pieces) {
            const double from[3] = {p.first, 0, 0}, to[3] = {p.second, 0, 0};
            pieces.AddInterval(from, to);
        }
        G3SurfaceEdit edit(cube);
        EXPECT_EQ(edit.DivideEdge(cube, e, &pieces), c.ok) << c.name;
        EXPECT_EQ(cube->GetEdgeCount(), edgesBefore + c.edgesAfter - 1) << c.name;
        EXPECT_EQ(f1->GetEdgeCount(), f1Edges + c.edgesAfter - 1) << c.name;
        EXPECT_EQ(f2->GetEdgeCount(), f2Edges + c.edgesAfter - 1) << c.name;
        int flagged = 0;
        for (int k = 0; k < cube->GetEdgeCount(); ++k) {
            flagged += cube->GetEdge(k)->GetFlags() == G3SurfaceEdit::kPieceEdgeFlags;
            EXPECT_GE(cube->GetEdge(k)->GetSizeXYZ(), 1e-6) << c.name << ": no edge without length";
        }
        EXPECT_EQ(flagged, c.pieceEdges) << c.name;
        EXPECT_EQ(ValidateTopology(cube), "") << c.name;
        EXPECT_TRUE(cube->GetClosed()) << c.name;
        (void)a;
        delete cube;
    }
}

TEST(SurfaceEditHole, MakeHoleNeedsThreePoints)
{
    G3Surface* cube = MakeCube();
    G3SurfaceEdit edit(cube);
    PointList two({{0.2, 0.2, 1}, {0.8, 0.2, 1}});
    const int facets = cube->GetFacetCount(), vertices = cube->GetVertexCount();
    EXPECT_FALSE(edit.MakeHole(cube->GetFacet(0), &two.list));
    EXPECT_FALSE(edit.MakeHole(nullptr, &two.list));
    EXPECT_EQ(cube->GetFacetCount(), facets);
    EXPECT_EQ(cube->GetVertexCount(), vertices);
    delete cube;
}

TEST(SurfaceEditInsert, APocketInTheTopOfABox)
{
    G3Surface* cube = MakeCube();
    G3SurfaceEdit edit(cube);
    PointList square({{0.25, 0.25, 1}, {0.75, 0.25, 1}, {0.75, 0.75, 1}, {0.25, 0.75, 1}});
    G3Point down(0, 0, -1);
    GArrayCollection sides;
    G3Facet* cap = edit.InsertFacet(&square.list, &down, 0.5, &sides);
    ASSERT_NE(cap, nullptr);
    GArrayCollection capVertices;
    cap->GetVertices(&capVertices);
    for (int k = 0; k < capVertices.size(); ++k)
        EXPECT_NEAR(static_cast<G3Vertex*>(capVertices.get(k))->GetZ(), 0.5, 1e-12);
    EXPECT_EQ(sides.size(), 4);
    EXPECT_TRUE(cube->GetClosed());
    EXPECT_EQ(ValidateTopology(cube), "");
    EXPECT_NEAR(cube->GetVolume(), 1.0 - 0.25 * 0.5, 1e-9);
    delete cube;
}

TEST(SurfaceEditInsert, NullCases)
{
    struct Case {
        const char* name;
        std::vector<Point> points;
        double depth;
    };
    const Case cases[] = {
        {"two points", {{0.25, 0.25, 1}, {0.75, 0.25, 1}}, 0.5},
        {"no depth", {{0.25, 0.25, 1}, {0.75, 0.25, 1}, {0.75, 0.75, 1}}, 0.0},
        {"in no facet", {{0.25, 0.25, 1.5}, {0.75, 0.25, 1.5}, {0.75, 0.75, 1.5}}, 0.5},
        {"across two facets", {{0.5, 0.5, 1}, {1.5, 0.5, 1}, {1.5, 1.5, 1}}, 0.5},
    };
    for (const Case& c : cases) {
        G3Surface* cube = MakeCube();
        const int facets = cube->GetFacetCount();
        G3SurfaceEdit edit(cube);
        PointList points(c.points);
        G3Point down(0, 0, -1);
        GArrayCollection sides;
        EXPECT_EQ(edit.InsertFacet(&points.list, &down, c.depth, &sides), nullptr) << c.name;
        EXPECT_EQ(sides.size(), 0) << c.name;
        EXPECT_EQ(cube->GetFacetCount(), facets) << c.name;
        delete cube;
    }
}

TEST(SurfaceEditStuck, AFacetOnTheTopBecomesAHole)
{
    G3Surface* cube = MakeCube();
    G3Facet* sticker = AddPolygon(cube, {{0.2, 0.2, 1}, {0.6, 0.2, 1}, {0.6, 0.5, 1}, {0.2, 0.5, 1}});
    ASSERT_NE(sticker, nullptr);
    const int facets = cube->GetFacetCount();
    G3SurfaceEdit edit(cube);
    ASSERT_TRUE(edit.RemoveStuckTogetherFacets(sticker));
    EXPECT_EQ(cube->GetFacetCount(), facets - 1);
    double topArea = -1;
    for (int k = 0; k < cube->GetFacetCount(); ++k)
        if (cube->GetFacet(k)->GetPlaneC() > 0.5)
            topArea = cube->GetFacet(k)->GetArea();
    EXPECT_NEAR(topArea, 1.0 - 0.4 * 0.3, 1e-9);
    EXPECT_EQ(ValidateTopology(cube), "");

    G3Facet* floating = AddPolygon(cube, {{3, 3, 3}, {4, 3, 3}, {4, 4, 3}});
    EXPECT_FALSE(edit.RemoveStuckTogetherFacets(floating));
    delete cube;
}

TEST(SurfaceEditCommonEdges, Cases)
{
    struct Case {
        const char* name;
        double dx, dy;
        int records;
    };
    const Case cases[] = {
        {"face to face", 1, 0, 4},
        {"shifted half a side", 1, 0.5, 2},
        {"apart", 5, 0, 0},
    };
    for (const Case& c : cases) {
        G3Surface* a = MakeCube();
        G3Surface* b = MakeCube();
        double mb[4][4];
        M4Identity(mb);
        M4Translate(mb, c.dx, c.dy, 0);
        GArrayCollection out;
        G3SurfaceEdit edit(a);
        EXPECT_EQ(edit.FindCommonEdges(a, b, nullptr, mb, &out), c.records > 0) << c.name;
        EXPECT_EQ(out.size(), c.records) << c.name;
        for (int k = 0; k < out.size(); ++k) {
            auto* piece = static_cast<G3Interval*>(out.get(k));
            EXPECT_EQ(piece->GetXYZ1(0), 1.0) << c.name;
            EXPECT_GT(EdgesBetween(static_cast<G3Edge*>(piece->GetOwner1())->GetVertex1(),
                                   static_cast<G3Edge*>(piece->GetOwner1())->GetVertex2()),
                      0);
        }
        out.clear(true);
        delete a;
        delete b;
    }
}
