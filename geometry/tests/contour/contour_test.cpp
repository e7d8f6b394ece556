// Contours: normalising, nesting types, equality, hole bridging and the
// rebuilding of self-intersecting contours, against the polygon library.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "polygon_oracle.h"
#include "tessaly/surface.h"
#include "topology_validator.h"

namespace {
G3EdgeList* Polygon(G3Surface* s, const OracleLoop& loop)
{
    std::vector<G3Vertex*> v;
    for (const OraclePoint& p : loop)
        v.push_back(s->AddVertex(p.x, p.y, 0));
    return new G3EdgeList(static_cast<int>(v.size()), v.data(), nullptr, nullptr, nullptr, 0, 1);
}

double TotalSignedArea(GArrayCollection* contours)
{
    double total = 0.0;
    for (int k = 0; k < contours->size(); ++k)
        total += static_cast<G3EdgeList*>(contours->get(k))->GetSignedArea();
    return total;
}

// Area counted outer minus holes, whatever each loop's orientation.
double TypedArea(GArrayCollection* contours)
{
    double total = 0.0;
    for (int k = 0; k < contours->size(); ++k) {
        auto* c = static_cast<G3EdgeList*>(contours->get(k));
        double a = std::fabs(c->GetSignedArea());
        total += c->GetContourType() == CONTOUR_INNER ? -a : a;
    }
    return total;
}

void DeleteAll(GArrayCollection* list)
{
    list->clear(true);
}
} // namespace

TEST(Contour, NormalizeChainsEdgesStoredInEitherDirection)
{
    G3Vertex a(0, 0, 0), b(1, 0, 0), c(1, 1, 0), d(0, 1, 0);
    G3EdgeList list(0, 1);
    list.AddEdge(&a, &b, nullptr, nullptr, nullptr, nullptr, 1);
    list.AddEdge(&c, &b, nullptr, nullptr, nullptr, nullptr, 1);
    list.AddEdge(&c, &d, nullptr, nullptr, nullptr, nullptr, 1);
    list.AddEdge(&a, &d, nullptr, nullptr, nullptr, nullptr, 1);
    list.Normalize();
    EXPECT_EQ(ValidateChain(&list), "");
    EXPECT_EQ(list.GetEdge(0)->GetVertex1(), &a);
    EXPECT_EQ(list.GetEdge(1)->GetVertex1(), &b);
    EXPECT_EQ(list.GetEdge(3)->GetVertex2(), &a);
}

TEST(Contour, NormalizeStartsEachLoopAfresh)
{
    // Two triangles; the second loop's first edge is stored leading away
    // from its successor and must be turned, not tied to the first loop.
    G3Vertex a(0, 0, 0), b(1, 0, 0), c(0, 1, 0), p(5, 5, 0), q(6, 5, 0), r(5, 6, 0);
    G3EdgeList list(0, 1);
    for (auto e :
         std::vector<std::pair<G3Vertex*, G3Vertex*>>{{&a, &b}, {&b, &c}, {&c, &a}, {&q, &p}, {&q, &r}, {&r, &p}})
        list.AddEdge(e.first, e.second, nullptr, nullptr, nullptr, nullptr, 1);
    list.Normalize();
    EXPECT_EQ(list.GetEdge(3)->GetVertex1(), &p);
    EXPECT_EQ(list.GetEdge(3)->GetVertex2(), &q);
    EXPECT_EQ(list.GetEdge(4)->GetVertex1(), &q);
    EXPECT_EQ(list.GetEdge(5)->GetVertex2(), &p);
    EXPECT_EQ(list.GetEdge(2)->GetVertex2(), &a);
}

TEST(Contour, TypesByNestingParityWithAnIslandInAHole)
{
    G3Surface s(12, 0);
    GArrayCollection list;
    list.add(Polygon(&s, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
    list.add(Polygon(&s, {{2, 2}, {8, 2}, {8, 8}, {2, 8}}));
    list.add(Polygon(&s, {{4, 4}, {6, 4}, {6, 6}, {4, 6}}));
    G3EdgeList::FormContourTypes(&list);
    auto type = [&](int k) { return static_cast<G3EdgeList*>(list.get(k))->GetContourType(); };
    EXPECT_EQ(type(0), CONTOUR_OUTER);
    EXPECT_EQ(type(1), CONTOUR_INNER);
    EXPECT_EQ(static_cast<G3EdgeList*>(list.get(1))->GetInCount(), 1);
    EXPECT_EQ(type(2), CONTOUR_OUTER);
    DeleteAll(&list);
}

TEST(Contour, EqualContoursAreOrderedByListPosition)
{
    G3Surface s(4, 0);
    G3EdgeList* a = Polygon(&s, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    auto* b = static_cast<G3EdgeList*>(a->Duplicate());
    GArrayCollection list;
    list.add(a);
    list.add(b);
    G3EdgeList::FormContourTypes(&list);
    EXPECT_EQ(a->GetContourType(), CONTOUR_INNER);
    EXPECT_EQ(b->GetContourType(), CONTOUR_OUTER);
    DeleteAll(&list);
}

TEST(Contour, EqualsIsCyclicAndOrientationSensitive)
{
    G3Surface s(4, 0);
    G3EdgeList* a = Polygon(&s, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    auto* rotated = new G3EdgeList(0, 1);
    for (int k = 0; k < 4; ++k) {
        G3Edge* e = a->GetEdge((k + 2) % 4);
        rotated->AddEdge(e->GetVertex1(), e->GetVertex2(), nullptr, nullptr, nullptr, nullptr, 1);
    }
    auto* reversed = static_cast<G3EdgeList*>(a->Duplicate());
    reversed->Reverse();
    EXPECT_TRUE(a->Equals(rotated));
    EXPECT_FALSE(a->Equals(reversed));
    delete a;
    delete rotated;
    delete reversed;
}

TEST(Contour, AxesAreFormedWhenMissingAndTravelWithDuplicates)
{
    G3Surface s(4, 0);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(0, 0, 3), s.AddVertex(0, 3, 0)};
    G3EdgeList c(3, v, nullptr, nullptr, nullptr, 0, 1);
    auto* copy = static_cast<G3EdgeList*>(c.Duplicate());
    // Built from vertices: no plane yet, so the query forms one (x dominant).
    EXPECT_EQ(copy->GetXCoo(), 1);
    EXPECT_EQ(copy->GetYCoo(), 2);
    auto* again = static_cast<G3EdgeList*>(copy->Duplicate());
    EXPECT_EQ(again->GetXCoo(), 1);
    EXPECT_NEAR(std::fabs(copy->GetSignedArea()), 4.5, 1e-12);
    EXPECT_FALSE(copy->TestSelfIntersections());
    delete copy;
    delete again;
}

TEST(Contour, IsInDecidesByAnInnerPointWhenAllVerticesTouch)
{
    G3Surface s(8, 0);
    G3EdgeList* big = Polygon(&s, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    // A triangle whose corners all lie on the square's boundary.
    G3EdgeList* touching = Polygon(&s, {{0, 0}, {10, 5}, {5, 10}});
    EXPECT_TRUE(touching->IsIn(big));
    EXPECT_FALSE(big->IsIn(touching));
    delete big;
    delete touching;
}

namespace {
// Bridges carry the flags passed as the mode; the polygons' own edges have
// flags 1.
constexpr int kBridgeFlags = 0x40;

void ExpectLinked(const std::vector<OracleLoop>& loops, int expectedContours)
{
    G3Surface s(32, 0);
    GArrayCollection list;
    for (const OracleLoop& loop : loops)
        list.add(Polygon(&s, loop));
    int vertices = s.GetVertexCount();
    G3EdgeList::RemeshContours(&s, &list, true, kBridgeFlags);
    ASSERT_EQ(list.size(), expectedContours);
    int bridges = 0;
    EXPECT_NEAR(TypedArea(&list), EvenOddArea(loops), 1e-9);
    for (int k = 0; k < list.size(); ++k) {
        auto* c = static_cast<G3EdgeList*>(list.get(k));
        EXPECT_EQ(ValidateChain(c), "");
        // The joined loop's own signed area is outer minus holes.
        if (k == 0) {
            EXPECT_NEAR(std::fabs(c->GetSignedArea()), EvenOddArea(loops) - (expectedContours > 1 ? 4.0 : 0.0), 1e-9);
        }
        // Bridges come in opposite pairs between the same two vertices.
        for (int i = 0; i < c->size(); ++i) {
            G3Edge* e = c->GetEdge(i);
            EXPECT_TRUE(e->GetFlags() == 1 || e->GetFlags() == kBridgeFlags) << e->GetFlags();
            if (e->GetFlags() != kBridgeFlags)
                continue;
            ++bridges;
            bool paired = false;
            for (int j = 0; j < c->size(); ++j)
                paired = paired ||
                    (c->GetEdge(j)->GetVertex1() == e->GetVertex2() && c->GetEdge(j)->GetVertex2() == e->GetVertex1());
            EXPECT_TRUE(paired);
        }
    }
    // Two bridges at least for every contour absorbed.
    EXPECT_EQ(bridges % 2, 0);
    EXPECT_GE(bridges, 2 * (static_cast<int>(loops.size()) - expectedContours));
    EXPECT_GE(s.GetVertexCount(), vertices);
    DeleteAll(&list);
}

const OracleLoop kOuter = {{0, 0}, {20, 0}, {20, 20}, {0, 20}};
} // namespace

TEST(ContourLink, OneTwoAndThreeHolesBecomeOneLoop)
{
    ExpectLinked({kOuter, {{2, 2}, {2, 5}, {5, 5}, {5, 2}}}, 1);
    ExpectLinked({kOuter, {{2, 2}, {2, 5}, {5, 5}, {5, 2}}, {{8, 12}, {8, 15}, {11, 15}, {11, 12}}}, 1);
    ExpectLinked(
        {kOuter, {{2, 2}, {5, 2}, {5, 5}, {2, 5}}, {{8, 12}, {8, 15}, {11, 15}, {11, 12}}, {{14, 3}, {17, 3}, {16, 8}}},
        1);
}

TEST(ContourLink, AnIslandInAHoleStaysASeparateOuterContour)
{
    // Outer with a hole; an island (area 4) inside the hole.
    ExpectLinked({kOuter, {{4, 4}, {16, 4}, {16, 16}, {4, 16}}, {{9, 9}, {11, 9}, {11, 11}, {9, 11}}}, 2);
}

namespace {
struct Case {
    const char* name;
    OracleLoop loop;
};

void ExpectRebuilt(const Case& c)
{
    SCOPED_TRACE(c.name);
    G3Surface s(32, 0);
    G3EdgeList* contour = Polygon(&s, c.loop);
    // Sentinels in every source vertex's slot must survive untouched.
    G3Point sentinel(0, 0, 0);
    int sources = s.GetVertexCount();
    for (int k = 0; k < sources; ++k)
        s.GetVertex(k)->SetExData(&sentinel);
    EXPECT_TRUE(contour->TestSelfIntersections() || std::string(c.name) == "spur");
    GArrayCollection result;
    int made = contour->RemoveSelfIntersections(&result, &s, true, UNION_EDGE_PARITY, 0);
    EXPECT_GE(made, 1);
    for (int k = 0; k < sources; ++k)
        EXPECT_EQ(s.GetVertex(k)->GetExData(), &sentinel) << "vertex " << k;
    for (int k = 0; k < result.size(); ++k) {
        auto* r = static_cast<G3EdgeList*>(result.get(k));
        EXPECT_EQ(ValidateChain(r), "");
        EXPECT_FALSE(r->TestSelfIntersections());
    }
    // The polygon library rounds to 1e-6.
    EXPECT_NEAR(TypedArea(&result), EvenOddArea({c.loop}), 1e-4);
    DeleteAll(&result);
    delete contour;
}
} // namespace

TEST(ContourRebuild, CrossingContoursBecomeSimpleLoopsWithTheEvenOddArea)
{
    std::vector<OracleLoop> loops;
    double r = 10;
    OracleLoop star;
    for (int k = 0; k < 5; ++k) {
        double angle = M_PI / 2 + k * 4 * M_PI / 5;
        star.push_back({r * std::cos(angle), r * std::sin(angle)});
    }
    for (const Case& c : std::vector<Case>{
             {"bow-tie", {{0, 0}, {10, 10}, {10, 0}, {0, 10}}},
             {"figure-eight", {{0, 0}, {4, 0}, {4, 4}, {8, 4}, {8, 8}, {6, 8}, {6, 2}, {0, 2}}},
             {"pentagram", star},
             {"spur", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 3}, {0, 6}}},
         })
        ExpectRebuilt(c);
}

TEST(ContourRebuild, ASimpleContourComesBackWhole)
{
    G3Surface s(8, 0);
    G3EdgeList* square = Polygon(&s, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    GArrayCollection result;
    EXPECT_EQ(square->FormContours(&result), 1);
    ASSERT_EQ(result.size(), 1);
    EXPECT_NEAR(std::fabs(TotalSignedArea(&result)), 16.0, 1e-12);
    DeleteAll(&result);
    delete square;
    G3EdgeList empty(0, 1);
    EXPECT_EQ(empty.RemoveSelfIntersections(&result, &s, true, UNION_EDGE_KEEP, 0), 0);
    EXPECT_EQ(empty.RemoveSelfIntersections(&result, nullptr, true, UNION_EDGE_KEEP, 0), 0);
}

TEST(ContourLink, WithoutASurfaceOnlyBridgesThatLandOnAVertexAreMade)
{
    G3Surface s(12, 0);
    GArrayCollection list;
    // The hole's extremal vertex (5, 5) looks along +x at the outer
    // contour's vertex (10, 5): no split is needed.
    list.add(Polygon(&s, {{0, 0}, {10, 0}, {10, 5}, {10, 10}, {0, 10}}));
    list.add(Polygon(&s, {{3, 4}, {5, 5}, {3, 6}}));
    G3EdgeList::RemeshContours(nullptr, &list, true, 0);
    EXPECT_EQ(list.size(), 1);
    DeleteAll(&list);
    // Here the ray meets the middle of an edge: without a surface to hold
    // the new vertex, the hole stays a separate contour.
    list.add(Polygon(&s, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
    list.add(Polygon(&s, {{3, 4}, {5, 5.5}, {3, 6}}));
    int vertices = s.GetVertexCount();
    G3EdgeList::RemeshContours(nullptr, &list, true, 0);
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(s.GetVertexCount(), vertices);
    DeleteAll(&list);
}

TEST(ContourRebuild, RandomPolygonsAgreeWithTheEvenOddRule)
{
    // Small integer grids make every degeneracy common: repeated points,
    // vertices on edges, overlapping collinear edges.
    std::mt19937 random(7);
    int checked = 0;
    for (int trial = 0; trial < 800; ++trial) {
        int n = 4 + static_cast<int>(random() % 9);
        OracleLoop loop;
        for (int k = 0; k < n; ++k)
            loop.push_back({static_cast<double>(random() % 7), static_cast<double>(random() % 7)});
        G3Surface s(32, 0);
        G3EdgeList* contour = Polygon(&s, loop);
        GArrayCollection result;
        contour->RemoveSelfIntersections(&result, &s, true, UNION_EDGE_PARITY, 0);
        for (int k = 0; k < result.size(); ++k) {
            auto* r = static_cast<G3EdgeList*>(result.get(k));
            ASSERT_EQ(ValidateChain(r), "") << "trial " << trial;
            ASSERT_FALSE(r->TestSelfIntersections()) << "trial " << trial;
        }
        // The polygon library rounds crossing points to 1e-6.
        ASSERT_NEAR(TypedArea(&result), EvenOddArea({loop}), 1e-4) << "trial " << trial;
        checked += !result.isEmpty();
        DeleteAll(&result);
        delete contour;
    }
    EXPECT_GT(checked, 600);
}

TEST(ContourLink, RandomHolesAllJoinTheOuterContour)
{
    std::mt19937 random(11);
    for (int trial = 0; trial < 150; ++trial) {
        // Holes in distinct cells of a 4 x 4 grid inside a 20 x 20 square;
        // each a random quadrilateral or triangle within its cell.
        std::vector<OracleLoop> loops = {kOuter};
        for (int cell = 0; cell < 16; ++cell) {
            if (random() % 3 == 0)
                continue;
            double x0 = 5.0 * (cell % 4) + 1, y0 = 5.0 * (cell / 4) + 1;
            auto coordinate = [&]() { return static_cast<double>(random() % 4); };
            OracleLoop hole = {{x0 + coordinate() * 0.3, y0 + coordinate() * 0.3},
                               {x0 + 3, y0 + coordinate() * 0.3},
                               {x0 + 3 - coordinate() * 0.3, y0 + 3}};
            if (random() % 2)
                hole.push_back({x0 + coordinate() * 0.3, y0 + 3 - coordinate() * 0.3});
            loops.push_back(hole);
        }
        G3Surface s(64, 0);
        GArrayCollection list;
        for (const OracleLoop& loop : loops)
            list.add(Polygon(&s, loop));
        G3EdgeList::RemeshContours(&s, &list, true, 0);
        ASSERT_EQ(list.size(), 1) << "trial " << trial;
        auto* joined = static_cast<G3EdgeList*>(list.get(0));
        ASSERT_EQ(ValidateChain(joined), "") << "trial " << trial;
        EXPECT_FALSE(joined->TestSelfIntersections()) << "trial " << trial;
        EXPECT_NEAR(std::fabs(joined->GetSignedArea()), EvenOddArea(loops), 1e-4) << "trial " << trial;
        DeleteAll(&list);
    }
}
