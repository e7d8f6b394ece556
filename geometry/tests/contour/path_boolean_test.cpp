// The path union against Clipper's union of the same polygons (area and
// holes), the even-odd area of self-crossing contours, orientation by kind,
// the callbacks' protocol, and degenerate inputs that must end.
#include <gtest/gtest.h>

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "polygon_oracle.h"
#include "tessaly/path_boolean.h"
#include "tessaly/surface.h"

namespace {
using Point = std::array<double, 3>;
using Loop = std::vector<Point>;

struct OutContour {
    std::vector<Point> points; // start, then every segment's end
    std::vector<int> users;
};

class Recorder : public G3ContourIntersector {
public:
    void UnloadBegin(int mode) override
    {
        ++begins;
        EXPECT_EQ(mode, 1);
    }
    void ContourBeginUnload(const double* p) override { contours.push_back({{{p[0], p[1], p[2]}}, {}}); }
    void ContourUnloadSegment(const double* p, SEGMENT_TYPE type, int user) override
    {
        EXPECT_EQ(type, SEGMENT_LINE);
        contours.back().points.push_back({p[0], p[1], p[2]});
        contours.back().users.push_back(user);
    }
    void ContourEndUnload() override { ++closes; }
    void UnloadEnd() override { ++ends; }

    void Run(const std::vector<Loop>& loops, BOOLEAN_OPERATION op, int user = 7)
    {
        LoadBegin(0, 1);
        for (const Loop& l : loops) {
            ContourBeginLoad(l[0].data());
            for (std::size_t k = 1; k < l.size(); ++k)
                ContourLoadSegment(l[k].data(), SEGMENT_LINE, user);
            ContourEndLoad(SEGMENT_LINE, user);
        }
        LoadEnd();
        DoIntersect(op);
    }

    int begins = 0, ends = 0, closes = 0;
    std::vector<OutContour> contours;
};

// Signed area in x-y (counter-clockwise positive) of a reported contour.
double Area(const OutContour& c)
{
    double a = 0;
    const std::size_t n = c.points.size();
    for (std::size_t k = 0; k + 1 < n; ++k)
        a += c.points[k][0] * c.points[k + 1][1] - c.points[k + 1][0] * c.points[k][1];
    return a / 2; // the last point is the first again
}

double TotalArea(const Recorder& r)
{
    double a = 0;
    for (const OutContour& c : r.contours)
        a += Area(c);
    return a;
}

int Holes(const Recorder& r)
{
    int holes = 0;
    for (const OutContour& c : r.contours)
        holes += Area(c) < 0;
    return holes;
}

void ExpectClosedContours(const Recorder& r)
{
    EXPECT_EQ(r.closes, static_cast<int>(r.contours.size()));
    for (const OutContour& c : r.contours) {
        ASSERT_GE(c.points.size(), 4u);
        EXPECT_EQ(c.points.front(), c.points.back()) << "a contour does not close";
    }
}

// Clipper's union of the polygons (all turned counter-clockwise, filled
// non-zero): area and number of holes.
constexpr double kOracleScale = 1e6;
void OracleUnion(const std::vector<Loop>& loops, double* area, int* holes)
{
    ClipperLib::Paths paths;
    for (const Loop& l : loops) {
        ClipperLib::Path p;
        for (const Point& q : l)
            p.push_back({static_cast<ClipperLib::cInt>(std::llround(q[0] * kOracleScale)),
                         static_cast<ClipperLib::cInt>(std::llround(q[1] * kOracleScale))});
        if (!ClipperLib::Orientation(p))
            ClipperLib::ReversePath(p);
        paths.push_back(p);
    }
    ClipperLib::Clipper c;
    c.AddPaths(paths, ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    c.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    *area = 0;
    *holes = 0;
    for (ClipperLib::PolyNode* n = tree.GetFirst(); n; n = n->GetNext()) {
        *area += ClipperLib::Area(n->Contour) / (kOracleScale * kOracleScale);
        *holes += n->IsHole();
    }
}

Loop Rectangle(double cx, double cy, double w, double h, double angle)
{
    Loop l;
    const double c = std::cos(angle), s = std::sin(angle);
    for (const auto& d : {std::array<double, 2>{-w, -h}, {w, -h}, {w, h}, {-w, h}})
        l.push_back({cx + c * d[0] - s * d[1], cy + s * d[0] + c * d[1], 0});
    return l;
}

Loop Square(double x0, double y0, double size)
{
    return Rectangle(x0 + size / 2, y0 + size / 2, size / 2, size / 2, 0);
}
} // namespace

TEST(PathUnion, RandomRectanglesAndTrianglesMatchClipper)
{
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<double> pos(0, 100), size(0.5, 6), angle(0, M_PI);
    for (int n : {10, 100, 1000, 4000}) {
        SCOPED_TRACE(n);
        std::vector<Loop> loops;
        for (int k = 0; k < n; ++k) {
            if (k % 3 == 2) {
                const double x = pos(rng), y = pos(rng);
                loops.push_back(
                    {{x, y, 0}, {x + size(rng), y + size(rng) / 2, 0}, {x + size(rng) / 3, y + size(rng), 0}});
            } else {
                loops.push_back(Rectangle(pos(rng), pos(rng), size(rng), size(rng) / 3, angle(rng)));
            }
        }
        Recorder r;
        r.Run(loops, BOOLEAN_UNION);
        ExpectClosedContours(r);
        double area;
        int holes;
        OracleUnion(loops, &area, &holes);
        EXPECT_NEAR(TotalArea(r), area, 1e-6 * n + 1e-9 * area);
        EXPECT_EQ(Holes(r), holes);
        for (const OutContour& c : r.contours)
            for (int u : c.users)
                EXPECT_EQ(u, 7);

        // The same input shuffled, each loop from another start: the same
        // outline edges.
        std::vector<Loop> shuffled = loops;
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        for (Loop& l : shuffled)
            std::rotate(l.begin(), l.begin() + static_cast<long>(rng() % l.size()), l.end());
        Recorder again;
        again.Run(shuffled, BOOLEAN_UNION);
        auto edges = [](const Recorder& rec) {
            std::multiset<std::array<long long, 4>> out;
            for (const OutContour& c : rec.contours)
                for (std::size_t k = 0; k + 1 < c.points.size(); ++k)
                    out.insert({std::llround(c.points[k][0] * 1e4), std::llround(c.points[k][1] * 1e4),
                                std::llround(c.points[k + 1][0] * 1e4), std::llround(c.points[k + 1][1] * 1e4)});
            return out;
        };
        EXPECT_EQ(again.contours.size(), r.contours.size());
        EXPECT_EQ(TotalArea(again), TotalArea(r));
        const auto a = edges(r), b = edges(again);
        std::vector<std::array<long long, 4>> differ;
        std::set_symmetric_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(differ));
        EXPECT_LE(differ.size(), a.size() / 1000) << "the outline depends on the input order";
    }
}

TEST(PathUnion, EdgeCasesOfTheOutline)
{
    {
        // Two overlapping squares: one contour, counter-clockwise.
        Recorder r;
        r.Run({Square(0, 0, 2), Square(1, 1, 2)}, BOOLEAN_UNION);
        ASSERT_EQ(r.contours.size(), 1u);
        EXPECT_NEAR(Area(r.contours[0]), 7, 1e-9);
        EXPECT_EQ(r.begins, 1);
        EXPECT_EQ(r.ends, 1);
    }
    {
        // A square hole loaded as a contour of its own is filled by it.
        Recorder r;
        r.Run({Square(0, 0, 10), Square(3, 3, 4)}, BOOLEAN_UNION);
        ASSERT_EQ(r.contours.size(), 1u);
        EXPECT_NEAR(Area(r.contours[0]), 100, 1e-9);
    }
    {
        // A bow tie: its two lobes, touching where the sides cross.
        Recorder r;
        r.Run({{{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 2, 0}}}, BOOLEAN_UNION);
        ExpectClosedContours(r);
        ASSERT_EQ(r.contours.size(), 2u);
        for (const OutContour& c : r.contours)
            EXPECT_NEAR(Area(c), 1, 1e-9);
    }
    {
        // A zig-zag loop crossing itself twice: three regions in a chain.
        Recorder r;
        r.Run({{{0, 0, 0}, {2, 2, 0}, {4, 0, 0}, {4, 2, 0}, {2, 0, 0}, {0, 2, 0}}}, BOOLEAN_UNION);
        ExpectClosedContours(r);
        EXPECT_NEAR(TotalArea(r), 4, 1e-9);
        EXPECT_EQ(r.contours.size(), 3u);
    }
    {
        // Sharing a side: one rectangle, its long sides split where the
        // squares meet.
        Recorder r;
        r.Run({Square(0, 0, 1), Square(1, 0, 1)}, BOOLEAN_UNION);
        ASSERT_EQ(r.contours.size(), 1u);
        EXPECT_NEAR(Area(r.contours[0]), 2, 1e-9);
        EXPECT_EQ(r.contours[0].users.size(), 6u);
    }
    {
        // Touching at a corner: two contours, not a figure eight.
        Recorder r;
        r.Run({Square(0, 0, 1), Square(1, 1, 1)}, BOOLEAN_UNION);
        ASSERT_EQ(r.contours.size(), 2u);
        for (const OutContour& c : r.contours)
            EXPECT_NEAR(Area(c), 1, 1e-9);
    }
    for (BOOLEAN_OPERATION op : {BOOLEAN_OUTER, BOOLEAN_UNION, BOOLEAN_NONE, static_cast<BOOLEAN_OPERATION>(3)}) {
        // Two disjoint squares: both, or empty brackets.
        Recorder r;
        r.Run({Square(0, 0, 1), Square(5, 0, 1)}, op);
        const bool reported = op == BOOLEAN_OUTER || op == BOOLEAN_UNION;
        EXPECT_EQ(r.contours.size(), reported ? 2u : 0u);
        EXPECT_EQ(r.begins, 1);
        EXPECT_EQ(r.ends, 1);
    }
    {
        // A frame of four bars: the outer contour counter-clockwise, the hole
        // clockwise; without holes only the outer one.
        const std::vector<Loop> frame = {Rectangle(5, 0.5, 5, 0.5, 0), Rectangle(5, 9.5, 5, 0.5, 0),
                                         Rectangle(0.5, 5, 0.5, 5, 0), Rectangle(9.5, 5, 0.5, 5, 0)};
        Recorder all;
        all.Run(frame, BOOLEAN_UNION);
        ASSERT_EQ(all.contours.size(), 2u);
        EXPECT_NEAR(TotalArea(all), 100 - 64, 1e-9);
        EXPECT_EQ(Holes(all), 1);
        Recorder outer;
        outer.Run(frame, BOOLEAN_OUTER);
        ASSERT_EQ(outer.contours.size(), 1u);
        EXPECT_NEAR(Area(outer.contours[0]), 100, 1e-9);
    }
    {
        // One triangle, any operation: its three sides and user values.
        Recorder r;
        r.LoadBegin(0, 1);
        const double a[3] = {0, 0, 0}, b[3] = {2, 0, 0}, c[3] = {0, 2, 0};
        r.TriangleLoad(a, b, c, 11, 12, 13);
        r.LoadEnd();
        r.DoIntersect(BOOLEAN_NONE);
        ASSERT_EQ(r.contours.size(), 1u);
        std::vector<int> users = r.contours[0].users;
        std::sort(users.begin(), users.end());
        EXPECT_EQ(users, (std::vector<int>{11, 12, 13}));
        EXPECT_NEAR(Area(r.contours[0]), 2, 1e-12);
    }
    {
        // A grid of touching squares: one contour of the whole area.
        const int k = 12;
        std::vector<Loop> grid;
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j)
                grid.push_back(Square(i, j, 1));
        Recorder r;
        r.Run(grid, BOOLEAN_UNION);
        ASSERT_EQ(r.contours.size(), 1u);
        EXPECT_NEAR(Area(r.contours[0]), k * k, 1e-9);
    }
}

TEST(PathUnion, SelfCrossingContoursAndDegenerateInput)
{
    // A zig-zag of 200 segments crossing back and forth over a band: the
    // even-odd area of the one contour.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> x(0, 50), y(0, 20);
    Loop zigzag;
    for (int k = 0; k < 200; ++k)
        zigzag.push_back({k % 2 ? x(rng) : 50 - x(rng) / 5, y(rng), 0});
    Recorder r;
    r.Run({zigzag}, BOOLEAN_UNION);
    ExpectClosedContours(r);
    OracleLoop oracle;
    for (const Point& p : zigzag)
        oracle.push_back({p[0], p[1]});
    EXPECT_NEAR(TotalArea(r), EvenOddArea({oracle}), 1e-4);

    // Degenerate inputs end, and report nothing or a clean outline.
    const double p[3] = {0, 0, 0}, q[3] = {1, 0, 0};
    Recorder one;
    one.LoadBegin(0, 1);
    one.ContourBeginLoad(p);
    one.ContourLoadSegment(q, SEGMENT_LINE, 0);
    one.LoadEnd();
    one.DoIntersect(BOOLEAN_UNION); // one segment and its closing twin: a sliver
    EXPECT_EQ(one.contours.size(), 0u);
    const std::vector<std::vector<Loop>> degenerate = {
        {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},                                  // zero-length sides
        {{{0, 0, 0}, {5, 0, 0}, {2, 0, 0}, {9, 0, 0}}},                       // only horizontals
        {{{0, 0, 0}, {1, 0, 0}, {1, 2e-6, 0}, {0, 2e-6, 0}}},                 // a sliver 2e-6 high
        {{{0, 0, 0}, {2e-6, 0, 0}, {2e-6, 2e-6, 0}}, Square(0, 0, 1)},        // points 2e-6 apart
        {{{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {1, 1, 0}, {0, 2, 0}, {1, 1, 0}}}, // a vertex met thrice
    };
    for (const auto& loops : degenerate) {
        Recorder d;
        d.Run(loops, BOOLEAN_UNION);
        ExpectClosedContours(d);
        EXPECT_GE(TotalArea(d), -1e-9);
    }
    // Contours left open close at the next begin and at the end: two open
    // squares are two closed squares.
    Recorder open;
    open.LoadBegin(0, 1);
    for (const Loop& l : {Square(0, 0, 1), Square(3, 0, 1)}) {
        open.ContourBeginLoad(l[0].data());
        for (std::size_t k = 1; k < l.size(); ++k)
            open.ContourLoadSegment(l[k].data(), SEGMENT_LINE, 0);
    }
    open.LoadEnd();
    open.DoIntersect(BOOLEAN_UNION);
    ASSERT_EQ(open.contours.size(), 2u);
    EXPECT_NEAR(TotalArea(open), 2, 1e-12);
    // Calls without a load, or with bad axes, do nothing.
    Recorder idle;
    idle.DoIntersect(BOOLEAN_UNION);
    idle.LoadBegin(1, 1);
    idle.ContourBeginLoad(p);
    idle.ContourLoadSegment(q, SEGMENT_LINE, 0);
    idle.ContourEndLoad(SEGMENT_LINE, 0);
    idle.DoIntersect(BOOLEAN_UNION);
    EXPECT_EQ(idle.begins + idle.ends, 0);
}

TEST(PathUnion, RemoveContourEndsOnDanglingEdges)
{
    // Two triangles sharing a vertex, a dangling edge and a stray pair of
    // edges between the same two points.
    G3Surface s;
    const double pts[7][3] = {{0, 0, 0}, {2, 0, 0}, {1, 1, 0}, {2, 2, 0}, {0, 2, 0}, {5, 5, 0}, {6, 5, 0}};
    G3Vertex* v[7];
    for (int k = 0; k < 7; ++k)
        v[k] = s.AddVertex(pts[k]);
    const int edges[][2] = {{0, 1}, {1, 2}, {2, 0}, {2, 3}, {3, 4}, {4, 2}, {1, 5}, {5, 6}, {6, 5}};
    for (const auto& e : edges) {
        const long id = s.GetEdgeCount();
        s.AddEdge(v[e[0]], v[e[1]])->SetId(id);
    }
    // Along the first triangle's edge: the walk turns onto the next edge
    // clockwise at the shared vertex and closes the triangle alone.
    G3Edge* first = s.GetEdge(0);
    std::unique_ptr<G3EdgeList> triangle(G3EdgeList::RemoveContour(&s, first, v[0], 0, 1, 1, 1));
    ASSERT_NE(triangle, nullptr);
    EXPECT_EQ(triangle->size(), 3);
    EXPECT_NEAR(triangle->GetSignedArea(), 1, 1e-12);
    EXPECT_EQ(s.GetEdgeCount(), 6);
    // Taking contours out from the last edge until none is left ends: every
    // call removes something, and what comes back is a closed chain.
    for (int guard = 0; s.GetEdgeCount() > 0 && guard < 100; ++guard) {
        G3Edge* e = s.GetEdge(s.GetEdgeCount() - 1);
        const int before = s.GetEdgeCount();
        std::unique_ptr<G3EdgeList> c(G3EdgeList::RemoveContour(&s, e, e->GetVertex1(), 0, 1, 1, 1));
        EXPECT_LT(s.GetEdgeCount(), before) << "no progress";
        for (int k = 0; c && k < c->size(); ++k)
            EXPECT_EQ(c->GetEdge(k)->GetVertex2(), c->GetEdge((k + 1) % c->size())->GetVertex1());
    }
    EXPECT_EQ(s.GetEdgeCount(), 0);
}
