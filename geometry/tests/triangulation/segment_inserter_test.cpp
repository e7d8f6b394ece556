// Constraint insertion: chains of edges, constrained Delaunay property,
// crossings split at a shared vertex, long collinear runs, duplicates,
// and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "core/thread_random.h"
#include "mesh_checks.h"
#include "triangulation/predicates.h"
#include "triangulation/segment_inserter.h"
#include "triangulation/triangulator.h"

using namespace g3t_test;

namespace {

int SegmentsAlong(G3TMesh& mesh, const std::vector<G3TVertex*>& path)
{
    G3TMeshTransformer t(&mesh);
    int n = 0;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        G3TOTri h;
        if (t.FindEdge(path[i], path[i + 1], &h) && mesh.HasSegment(h))
            ++n;
    }
    return n;
}

// Checks the mesh and that each constraint is a chain of edges carrying
// segments.
void ExpectConstrained(G3TMesh& mesh, const std::vector<std::pair<G3TVertex*, G3TVertex*>>& constraints,
                       double relTol = 1e-9)
{
    EXPECT_EQ(CheckStructure(mesh), "");
    EXPECT_EQ(CountNonDelaunayEdges(mesh), 0);
    EXPECT_EQ(CheckAgainstHull(mesh), "");
    for (auto& c : constraints) {
        // A chain of triangle edges, and one of edges carrying segments.
        std::vector<G3TVertex*> path;
        ASSERT_TRUE(HasEdgeChain(mesh, c.first, c.second, &path, relTol))
            << c.first->GetIndex() << " - " << c.second->GetIndex();
        ASSERT_TRUE(HasEdgeChain(mesh, c.first, c.second, &path, relTol, true))
            << c.first->GetIndex() << " - " << c.second->GetIndex();
        EXPECT_EQ(SegmentsAlong(mesh, path), static_cast<int>(path.size()) - 1);
    }
}

// Segments of a random point set that cross no other chosen segment.
std::vector<std::pair<int, int>> NonCrossingPairs(const std::vector<Pt>& p, int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(p.size()) - 1);
    std::vector<std::pair<int, int>> out;
    auto o = [&](int a, int b, int c) {
        return g3t_predicates::OrientationExact(p[a].x, p[a].y, p[b].x, p[b].y, p[c].x, p[c].y);
    };
    for (int tries = 0; tries < count * 50 && static_cast<int>(out.size()) < count; ++tries) {
        int a = pick(rng), b = pick(rng);
        if (a == b)
            continue;
        bool ok = true;
        for (auto& s : out) {
            if (s.first == a || s.first == b || s.second == a || s.second == b)
                continue;
            if (o(a, b, s.first) * o(a, b, s.second) < 0 && o(s.first, s.second, a) * o(s.first, s.second, b) < 0) {
                ok = false;
                break;
            }
        }
        if (ok)
            out.emplace_back(a, b);
    }
    return out;
}

} // namespace

TEST(SegmentInserter, ExistingEdgeChangesNothing)
{
    Filled f(UniformPoints(200, 5));
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    auto before = TriangleSet(f.mesh);
    G3TTriangle* t = f.mesh.FirstTriangle();
    G3TVertex* a = t->GetCorner(0);
    G3TVertex* b = t->GetCorner(1);
    G3TSegmentInserter ins(&f.mesh);
    ASSERT_TRUE(ins.Insert(a, b, 7));
    EXPECT_EQ(TriangleSet(f.mesh), before);
    ASSERT_EQ(f.mesh.GetSegmentCount(), 1);
    EXPECT_EQ(f.mesh.FirstSegment()->GetMark(), 7);
    EXPECT_EQ(a->GetMark(), 1);
    EXPECT_EQ(b->GetMark(), 1);
    // The same constraint again (either direction) adds no segment; an
    // unmarked segment is marked 1 when met again.
    ASSERT_TRUE(ins.Insert(b, a));
    EXPECT_EQ(f.mesh.GetSegmentCount(), 1);
    EXPECT_EQ(ins.GetTransformer()->GetFlipCount(), 0);
    ExpectConstrained(f.mesh, {{a, b}});
}

TEST(SegmentInserter, ThroughAnInputVertexMakesTwoPieces)
{
    // (0,0) - (4,4) passes exactly through (2,2).
    std::vector<Pt> p{{0, 0}, {4, 4}, {2, 2}, {4, 0}, {0, 4}, {1, 3.1}, {3, 0.9}, {3.2, 2.1}, {0.8, 2.0}};
    Filled f(p);
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    G3TSegmentInserter ins(&f.mesh);
    ASSERT_TRUE(ins.Insert(f.v[0], f.v[1]));
    std::vector<G3TVertex*> path;
    ASSERT_TRUE(HasEdgeChain(f.mesh, f.v[0], f.v[1], &path));
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[1], f.v[2]);
    EXPECT_EQ(f.mesh.GetSegmentCount(), 2);
    EXPECT_EQ(f.mesh.GetVertexCount(), static_cast<int>(p.size()));
    ExpectConstrained(f.mesh, {{f.v[0], f.v[1]}});
}

TEST(SegmentInserter, AlongMoreThan101CollinearVertices)
{
    // 300 vertices on a line, with points close above and below so that
    // most of the line has to be forced in.
    std::vector<Pt> p;
    const int n = 300;
    for (int i = 0; i < n; ++i)
        p.push_back(Pt{1e6 + i * 0.5, 2e6 + i * 0.25});
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 0; i < 600; ++i) {
        double t = u(rng) * (n - 1);
        double off = (u(rng) - 0.5) * 0.3;
        p.push_back(Pt{1e6 + t * 0.5 - off * 0.25, 2e6 + t * 0.25 + off * 0.5});
    }
    Filled f(p);
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    G3TSegmentInserter ins(&f.mesh);
    ASSERT_TRUE(ins.Insert(f.v[0], f.v[n - 1]));
    std::vector<G3TVertex*> path;
    ASSERT_TRUE(HasEdgeChain(f.mesh, f.v[0], f.v[n - 1], &path, 0.0));
    EXPECT_EQ(static_cast<int>(path.size()), n);
    EXPECT_EQ(SegmentsAlong(f.mesh, path), n - 1);
    // The pieces of one constraint are linked end to end.
    G3TSegment* s = f.mesh.FirstSegment();
    int linked = 1;
    while (s->GetNeighbourSegment(1).seg != f.mesh.GetOuterSegment()) {
        s = s->GetNeighbourSegment(1).seg;
        ++linked;
    }
    EXPECT_EQ(linked, n - 1);
    ExpectConstrained(f.mesh, {{f.v[0], f.v[n - 1]}});
}

TEST(SegmentInserter, CrossingConstraintsShareANewVertex)
{
    for (double offset : {0.0, 1e6}) {
        SCOPED_TRACE(offset);
        std::vector<Pt> p{{0, 0}, {10, 10}, {0, 10}, {10, 0}};
        for (Pt& q : UniformPoints(200, 77, 10.0))
            p.push_back(q);
        for (Pt& q : p) {
            q.x += offset;
            q.y += offset;
        }
        Filled f(p);
        f.v[0]->SetHeight(1.0);
        f.v[1]->SetHeight(3.0);
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        G3TSegmentInserter ins(&f.mesh);
        ASSERT_TRUE(ins.Insert(f.v[0], f.v[1]));
        ASSERT_TRUE(ins.Insert(f.v[2], f.v[3]));
        ASSERT_EQ(f.mesh.GetVertexCount(), static_cast<int>(p.size()) + 1);
        G3TVertex* x = nullptr;
        for (G3TVertex* v = f.mesh.FirstVertex(); v; v = v->GetNext())
            x = v; // the last one is the crossing
        EXPECT_NEAR(x->GetX(), offset + 5.0, 1e-9);
        EXPECT_NEAR(x->GetY(), offset + 5.0, 1e-9);
        // Height interpolated along the first constraint.
        EXPECT_NEAR(x->GetHeight(), 2.0, 1e-9);
        std::vector<G3TVertex*> first, second;
        ASSERT_TRUE(HasEdgeChain(f.mesh, f.v[0], f.v[1], &first));
        ASSERT_TRUE(HasEdgeChain(f.mesh, f.v[2], f.v[3], &second));
        EXPECT_NE(std::find(first.begin(), first.end(), x), first.end());
        EXPECT_NE(std::find(second.begin(), second.end(), x), second.end());
        ExpectConstrained(f.mesh, {{f.v[0], f.v[1]}, {f.v[2], f.v[3]}});
    }
}

TEST(SegmentInserter, ManyRandomCrossingConstraints)
{
    std::vector<Pt> p = UniformPoints(1500, 123, 100.0);
    Filled f(p);
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    G3TSegmentInserter ins(&f.mesh);
    std::mt19937 rng(8);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(p.size()) - 1);
    std::vector<std::pair<G3TVertex*, G3TVertex*>> cons;
    for (int i = 0; i < 60; ++i) {
        int a = pick(rng), b = pick(rng);
        if (a == b)
            continue;
        ASSERT_TRUE(ins.Insert(f.v[static_cast<std::size_t>(a)], f.v[static_cast<std::size_t>(b)])) << i;
        cons.emplace_back(f.v[static_cast<std::size_t>(a)], f.v[static_cast<std::size_t>(b)]);
    }
    EXPECT_GT(f.mesh.GetVertexCount(), static_cast<int>(p.size())); // crossings were split
    // New vertices lie within rounding of their constraints.
    ExpectConstrained(f.mesh, cons, 1e-12);
}

TEST(SegmentInserter, NonCrossingConstraintsOnDegenerateInputs)
{
    struct Case {
        const char* name;
        std::vector<Pt> points;
    };
    std::vector<Case> cases;
    cases.push_back({"lattice", Lattice(30, 30, 1.0)});
    cases.push_back({"lattice at 1e6", Lattice(30, 30, 0.1, 1e6)});
    std::vector<Pt> circle;
    for (int i = 0; i < 500; ++i)
        circle.push_back(Pt{std::cos(i * 2 * 3.14159265358979 / 500), std::sin(i * 2 * 3.14159265358979 / 500)});
    circle.push_back(Pt{0, 0});
    cases.push_back({"polygon with centre", circle});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        Filled f(c.points);
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        G3TSegmentInserter ins(&f.mesh);
        std::vector<std::pair<G3TVertex*, G3TVertex*>> cons;
        for (auto& pr : NonCrossingPairs(c.points, 40, 11)) {
            G3TVertex* a = f.v[static_cast<std::size_t>(pr.first)];
            G3TVertex* b = f.v[static_cast<std::size_t>(pr.second)];
            ASSERT_TRUE(ins.Insert(a, b));
            cons.emplace_back(a, b);
        }
        // Non-crossing constraints through lattice points add no vertex.
        EXPECT_EQ(f.mesh.GetVertexCount(), static_cast<int>(c.points.size()));
        ExpectConstrained(f.mesh, cons, 0.0);
    }
}

TEST(SegmentInserter, LatticeLinesAndDiagonalsCrossing)
{
    // Diagonals of a lattice cross each other between lattice points and
    // run through lattice points: every case of the scouting at once.
    for (double offset : {0.0, 1e6}) {
        SCOPED_TRACE(offset);
        const int n = 21;
        Filled f(Lattice(n, n, 1.0, offset));
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        G3TSegmentInserter ins(&f.mesh);
        auto at = [&](int i, int j) { return f.v[static_cast<std::size_t>(j * n + i)]; };
        std::vector<std::pair<G3TVertex*, G3TVertex*>> cons{
            {at(0, 0), at(20, 20)}, {at(0, 20), at(20, 0)}, {at(0, 10), at(20, 10)}, {at(3, 0), at(4, 20)},
            {at(0, 1), at(20, 2)},  {at(1, 19), at(19, 1)}, {at(5, 5), at(5, 15)},   {at(0, 7), at(13, 20)}};
        for (auto& c : cons)
            ASSERT_TRUE(ins.Insert(c.first, c.second));
        // Crossing vertices are rounded to doubles: at 1e6 that is 1e-10.
        ExpectConstrained(f.mesh, cons, 1e-9);
    }
}

TEST(SegmentInserter, ConstraintsEndingOnDroppedDuplicates)
{
    std::vector<Pt> p = UniformPoints(100, 17, 10.0);
    const std::size_t n = p.size();
    // The terrain code adds shared points twice: copies 2e-9 away.
    for (std::size_t i = 0; i < 20; ++i)
        p.push_back(Pt{p[i].x + 2e-9, p[i].y});
    Filled f(p);
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    G3TSegmentInserter ins(&f.mesh);
    std::vector<std::pair<G3TVertex*, G3TVertex*>> cons;
    for (std::size_t i = 0; i + 1 < 20; i += 2) {
        G3TVertex* a = f.v[n + i];     // a dropped copy
        G3TVertex* b = f.v[n + i + 1]; // another dropped copy
        ASSERT_TRUE(a->IsDuplicate());
        ASSERT_TRUE(ins.Insert(a, b));
        cons.emplace_back(a->GetSurvivor(), b->GetSurvivor());
    }
    // Zero length after mapping: refused, nothing changes.
    int segments = f.mesh.GetSegmentCount();
    EXPECT_FALSE(ins.Insert(f.v[0], f.v[n]));
    EXPECT_FALSE(ins.Insert(f.v[3], f.v[3]));
    EXPECT_EQ(f.mesh.GetSegmentCount(), segments);
    ExpectConstrained(f.mesh, cons);
}

TEST(SegmentInserter, BadInputIsRefused)
{
    Filled f(UniformPoints(30, 2));
    G3TMesh other;
    G3TVertex* foreign = other.AddVertex(0.5, 0.5);
    {
        // Before triangulation there is nothing to insert into.
        G3TSegmentInserter early(&f.mesh);
        EXPECT_FALSE(early.Insert(f.v[0], f.v[1]));
    }
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    auto before = TriangleSet(f.mesh);
    G3TSegmentInserter ins(&f.mesh);
    EXPECT_FALSE(ins.Insert(nullptr, f.v[1]));
    EXPECT_FALSE(ins.Insert(f.v[0], nullptr));
    EXPECT_FALSE(ins.Insert(f.v[0], foreign));
    EXPECT_EQ(f.mesh.AddVertex(std::nan(""), 1.0), nullptr);
    // A vertex added after triangulation is in no triangle.
    G3TVertex* late = f.mesh.AddVertex(0.5, 0.5);
    EXPECT_FALSE(ins.Insert(f.v[0], late));
    EXPECT_EQ(TriangleSet(f.mesh), before);
    EXPECT_EQ(f.mesh.GetSegmentCount(), 0);
    G3TSegmentInserter none(nullptr);
    EXPECT_FALSE(none.Insert(f.v[0], f.v[1]));

    // Collinear input: no triangles, every insertion refused.
    Filled line({{0, 0}, {1, 1}, {2, 2}});
    G3TTriangulator lt(&line.mesh);
    EXPECT_FALSE(lt.Triangulate());
    G3TSegmentInserter li(&line.mesh);
    EXPECT_FALSE(li.Insert(line.v[0], line.v[2]));
}

TEST(SegmentInserter, IdenticalOutputAcrossRunsAndInterleavedRandomCalls)
{
    std::vector<Pt> p = UniformPoints(800, 31, 50.0);
    auto run = [&](bool interleave) {
        Filled f(p);
        G3TTriangulator tri(&f.mesh);
        EXPECT_TRUE(tri.Triangulate());
        G3TSegmentInserter ins(&f.mesh);
        std::mt19937 rng(4);
        std::uniform_int_distribution<int> pick(0, static_cast<int>(p.size()) - 1);
        for (int i = 0; i < 40; ++i) {
            if (interleave) {
                (void)std::rand();
                (void)thread_random::Next();
            }
            ins.Insert(f.v[static_cast<std::size_t>(pick(rng))], f.v[static_cast<std::size_t>(pick(rng))]);
        }
        std::vector<std::array<double, 2>> coords;
        for (G3TVertex* v = f.mesh.FirstVertex(); v; v = v->GetNext())
            coords.push_back({v->GetX(), v->GetY()});
        return std::make_pair(TrianglesByIndex(f.mesh), coords);
    };
    auto a = run(false);
    auto b = run(false);
    auto c = run(true);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
}

TEST(MeshTransformer, FlipRules)
{
    // A convex quadrilateral and one triangle beside it.
    Filled f({{0, 0}, {2, 0}, {2.2, 2}, {0, 2.1}, {5, 1}});
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    G3TMeshTransformer tr(&f.mesh);
    G3TOTri diag;
    bool found = tr.FindEdge(f.v[0], f.v[2], &diag) || tr.FindEdge(f.v[1], f.v[3], &diag);
    ASSERT_TRUE(found);
    G3TVertex* u = g3t::Org(diag);
    G3TVertex* v = g3t::Dest(diag);
    // Flipping away and back returns the original edge; each flip keeps the
    // structure sound.
    G3TOTri flipped = tr.Flip(diag);
    ASSERT_NE(flipped.tri, nullptr);
    EXPECT_EQ(CheckStructure(f.mesh), "");
    G3TOTri none;
    EXPECT_FALSE(tr.FindEdge(u, v, &none));
    G3TOTri back = tr.Flip(flipped);
    ASSERT_NE(back.tri, nullptr);
    EXPECT_TRUE(tr.FindEdge(u, v, &none));
    EXPECT_EQ(CheckStructure(f.mesh), "");
    EXPECT_EQ(CountNonDelaunayEdges(f.mesh), 0);
    // A hull edge cannot be flipped.
    G3TOTri hull = g3t::Sym(f.mesh.OuterHandle());
    EXPECT_EQ(tr.Flip(hull).tri, nullptr);
    // Nor an edge carrying a segment.
    G3TSegmentInserter ins(&f.mesh);
    ASSERT_TRUE(ins.Insert(u, v));
    ASSERT_TRUE(tr.FindEdge(u, v, &diag));
    EXPECT_EQ(tr.Flip(diag).tri, nullptr);
    // Nor an edge whose quadrilateral is not convex: a vertex inside a
    // triangle, whose three edges each have a reflex corner at it.
    Filled g({{0, 0}, {4, 0}, {2, 3}, {2, 1}});
    G3TTriangulator gt(&g.mesh);
    ASSERT_TRUE(gt.Triangulate());
    G3TMeshTransformer gtr(&g.mesh);
    int refused = 0;
    for (G3TTriangle* t = g.mesh.FirstTriangle(); t; t = t->GetNext()) {
        for (int o = 0; o < 3; ++o) {
            G3TOTri h{t, o};
            if (!g.mesh.IsOuter(g3t::Sym(h)))
                refused += gtr.Flip(h).tri == nullptr ? 1 : 0;
        }
    }
    EXPECT_EQ(refused, 6); // three interior edges, seen from both sides
    EXPECT_EQ(CheckStructure(g.mesh), "");
}

TEST(MeshTransformer, SplitEdgeKeepsDelaunay)
{
    Filled f(UniformPoints(300, 64, 10.0));
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    G3TMeshTransformer tr(&f.mesh);
    int splits = 0;
    for (int k = 0; k < 50; ++k) {
        // An interior edge: split at its midpoint.
        G3TTriangle* t = f.mesh.FirstTriangle();
        for (int skip = 0; skip < k * 5 && t->GetNext(); ++skip)
            t = t->GetNext();
        G3TOTri h{t, k % 3};
        if (f.mesh.IsOuter(g3t::Sym(h)))
            continue;
        double x = 0.5 * (g3t::Org(h)->GetX() + g3t::Dest(h)->GetX());
        double y = 0.5 * (g3t::Org(h)->GetY() + g3t::Dest(h)->GetY());
        G3TVertex* v = tr.SplitEdge(h, x, y, 4.0);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->GetHeight(), 4.0);
        ++splits;
    }
    EXPECT_GT(splits, 20);
    EXPECT_EQ(CheckStructure(f.mesh), "");
    EXPECT_EQ(CountNonDelaunayEdges(f.mesh), 0);
    EXPECT_EQ(CheckAgainstHull(f.mesh), "");
    // A point outside the edge's quadrilateral is refused.
    G3TOTri h = g3t::Sym(f.mesh.OuterHandle()); // hull edge
    EXPECT_EQ(tr.SplitEdge(h, 0, 0, 0), nullptr);
}

TEST(SegmentInserter, CrossingWithinToleranceOfAnEndUsesThatVertex)
{
    // e lies 3e-9 above the constraint d - a: a new constraint from e
    // crosses d - a at a point that is the same point as e. The existing
    // constraint is led through e instead of adding a vertex beside it.
    std::vector<Pt> p{{-5, 0}, {5, 0}, {0, 3e-9}, {0, -5}, {0, 5}, {-3, 2}, {3, -2}, {2, 3}, {-2, -3}};
    Filled f(p);
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    G3TSegmentInserter ins(&f.mesh);
    ASSERT_TRUE(ins.Insert(f.v[0], f.v[1]));
    ASSERT_TRUE(ins.Insert(f.v[2], f.v[3]));
    EXPECT_EQ(f.mesh.GetVertexCount(), static_cast<int>(p.size()));
    std::vector<G3TVertex*> path;
    ASSERT_TRUE(HasEdgeChain(f.mesh, f.v[0], f.v[1], &path, 1e-9, true));
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[1], f.v[2]);
    ExpectConstrained(f.mesh, {{f.v[0], f.v[1]}, {f.v[2], f.v[3]}});
    // And near an end of the existing constraint's edge: the new constraint
    // passes through that vertex.
    Filled g({{-5, 0}, {5, 0}, {0, -5}, {0, 5}, {0, 0}, {-3, 2}, {3, -2}});
    G3TTriangulator gt(&g.mesh);
    ASSERT_TRUE(gt.Triangulate());
    G3TSegmentInserter gi(&g.mesh);
    ASSERT_TRUE(gi.Insert(g.v[0], g.v[4])); // (-5,0) - (0,0)
    ASSERT_TRUE(gi.Insert(g.v[4], g.v[1])); // (0,0) - (5,0)
    ASSERT_TRUE(gi.Insert(g.v[3], g.v[2])); // (0,5) - (0,-5) through (0,0)
    EXPECT_EQ(g.mesh.GetVertexCount(), 7);
    ExpectConstrained(g.mesh, {{g.v[0], g.v[1]}, {g.v[3], g.v[2]}});
}
