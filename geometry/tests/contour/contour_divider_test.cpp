// The contour divider: areas of divided self-intersecting contours against
// the polygon library's even-odd area, simple output loops, orientation by
// kind, bridged holes, line-end kinds, and the load protocol.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "polygon_oracle.h"
#include "tessaly/contour_divider.h"
#include "tessaly/surface.h"

namespace {
using Point = std::array<double, 3>;

struct UnloadedEdge {
    Point start, end;
    int startKind, endKind, flags;
    unsigned long startTag, endTag;
};

struct UnloadedContour {
    bool isHole = false;
    int announced = 0;
    std::vector<UnloadedEdge> edges;
};

// Records every callback.
class RecordingDivider : public G3ContourDivider {
public:
    void BeginUnload() override { ++begins; }
    void BeginUnloadContour(int count, bool isHole) override
    {
        contours.push_back({});
        contours.back().isHole = isHole;
        contours.back().announced = count;
    }
    void UnloadEdge(const double* s, int sk, const double* e, int ek, int flags, unsigned long st,
                    unsigned long et) override
    {
        contours.back().edges.push_back({{s[0], s[1], s[2]}, {e[0], e[1], e[2]}, sk, ek, flags, st, et});
    }
    void EndUnloadContour() override { ++contourEnds; }
    void EndUnload() override { ++ends; }

    // Loads each loop as a closed contour with the given edge flags.
    void Load(const std::vector<std::vector<Point>>& loops, int mode, int bridgeFlags = 0, int flags = 1)
    {
        BeginLoad(mode, bridgeFlags);
        unsigned long tag = 1;
        for (const auto& loop : loops) {
            BeginLoadContour();
            for (std::size_t k = 0; k < loop.size(); ++k, ++tag)
                LoadEdge(loop[k].data(), loop[(k + 1) % loop.size()].data(), flags, tag,
                         k + 1 == loop.size() ? tag + 1 - loop.size() : tag + 1);
            EndLoadContour();
        }
        EndLoad();
    }

    using G3ContourDivider::GetSignOfOrientedSquare;
    using G3ContourDivider::ReverseContourFlags;

    int begins = 0, ends = 0, contourEnds = 0;
    std::vector<UnloadedContour> contours;
};

// Signed area in x-y of a contour's start points.
double SignedArea(const UnloadedContour& c)
{
    double a = 0;
    for (const UnloadedEdge& e : c.edges)
        a += e.start[0] * e.end[1] - e.end[0] * e.start[1];
    return a / 2;
}

bool ProperCross(const Point& a, const Point& b, const Point& c, const Point& d)
{
    auto orient = [](const Point& p, const Point& q, const Point& r) {
        return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0]);
    };
    const double eps = 1e-12;
    return orient(a, b, c) * orient(a, b, d) < -eps && orient(c, d, a) * orient(c, d, b) < -eps;
}

// Closed (each edge starts where the previous ended) and no two edges cross.
void ExpectSimpleClosed(const UnloadedContour& c)
{
    const std::size_t n = c.edges.size();
    ASSERT_GE(n, 3u);
    EXPECT_EQ(static_cast<int>(n), c.announced);
    for (std::size_t i = 0; i < n; ++i) {
        EXPECT_EQ(c.edges[i].end, c.edges[(i + 1) % n].start) << "gap after edge " << i;
        for (std::size_t j = i + 1; j < n; ++j)
            EXPECT_FALSE(ProperCross(c.edges[i].start, c.edges[i].end, c.edges[j].start, c.edges[j].end))
                << "edges " << i << " and " << j << " cross";
    }
}

std::vector<Point> Star(int points, double r, double cx = 0, double cy = 0)
{
    // Every second vertex of a regular polygon: a self-crossing star.
    std::vector<Point> loop;
    for (int k = 0; k < points; ++k) {
        const double a = 2 * M_PI * ((2 * k) % points) / points;
        loop.push_back({cx + r * std::cos(a), cy + r * std::sin(a), 0});
    }
    return loop;
}

OracleLoop Flat(const std::vector<Point>& loop)
{
    OracleLoop out;
    for (const Point& p : loop)
        out.push_back({p[0], p[1]});
    return out;
}
} // namespace

TEST(ContourDivider, SelfIntersectingContoursMatchTheEvenOddArea)
{
    const std::vector<Point> square = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    std::vector<Point> twice = square;
    twice.insert(twice.end(), square.begin(), square.end());
    struct Case {
        const char* name;
        std::vector<Point> loop;
    };
    const Case cases[] = {
        {"pentagram", Star(5, 3)},
        {"heptagram", Star(7, 3)},
        {"figure eight", {{0, 0, 0}, {2, 2, 0}, {4, 0, 0}, {4, 2, 0}, {2, 0, 0}, {0, 2, 0}}},
        {"bow tie with a tail", {{0, 0, 0}, {3, 3, 0}, {3, 0, 0}, {0, 3, 0}, {0, 1, 0}}},
        {"a square traced twice", twice},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDivider d;
        d.Load({c.loop}, 0);
        double typed = 0;
        for (const UnloadedContour& u : d.contours) {
            ExpectSimpleClosed(u);
            typed += u.isHole ? -std::fabs(SignedArea(u)) : std::fabs(SignedArea(u));
        }
        // The oracle rounds coordinates to 1e-6.
        EXPECT_NEAR(typed, EvenOddArea({Flat(c.loop)}), 1e-5);
        EXPECT_EQ(d.begins, 1);
        EXPECT_EQ(d.ends, 1);
        EXPECT_EQ(d.contourEnds, static_cast<int>(d.contours.size()));
    }
}

TEST(ContourDivider, HolesTurnAgainstOuterContoursAndBridge)
{
    const std::vector<Point> outer = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
    const std::vector<Point> inner = {{3, 3, 0}, {6, 3, 0}, {6, 6, 0}, {3, 6, 0}};
    RecordingDivider d;
    d.Load({outer, inner}, 0);
    ASSERT_EQ(d.contours.size(), 2u);
    const UnloadedContour& a = d.contours[0];
    const UnloadedContour& b = d.contours[1];
    EXPECT_NE(a.isHole, b.isHole);
    EXPECT_LT(SignedArea(a) * SignedArea(b), 0) << "both kinds run the same way";
    // Both were loaded counter-clockwise: the one walked backwards reports
    // no tags and runs clockwise, the other keeps its tags and direction.
    int untagged = 0;
    for (const UnloadedContour& c : d.contours) {
        bool tagged = false;
        for (const UnloadedEdge& e : c.edges)
            tagged = tagged || e.startTag != 0 || e.endTag != 0;
        untagged += !tagged;
        EXPECT_EQ(tagged, SignedArea(c) > 0);
    }
    EXPECT_EQ(untagged, 1);

    // Bridged: one contour, whose two bridge edges carry the bridge flags.
    const int bridge = 0x40;
    RecordingDivider linked;
    linked.Load({outer, inner}, G3ContourDivider::kLinkHoles, bridge);
    ASSERT_EQ(linked.contours.size(), 1u);
    ExpectSimpleClosed(linked.contours[0]);
    int bridges = 0;
    for (const UnloadedEdge& e : linked.contours[0].edges)
        bridges += e.flags == bridge;
    EXPECT_EQ(bridges, 2);
    EXPECT_NEAR(std::fabs(SignedArea(linked.contours[0])), 100 - 9, 1e-9);
}

TEST(ContourDivider, LineEndKinds)
{
    const std::vector<Point> square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    auto kinds = [&](const int(&flags)[4]) {
        RecordingDivider d;
        d.BeginLoad(0, 0);
        d.BeginLoadContour();
        for (int k = 0; k < 4; ++k)
            d.LoadEdge(square[k].data(), square[(k + 1) % 4].data(), flags[k], 0, 0);
        d.EndLoadContour();
        d.EndLoad();
        std::vector<std::pair<int, int>> out;
        for (const UnloadedEdge& e : d.contours.at(0).edges)
            out.push_back({e.startKind, e.endKind});
        return out;
    };
    const int visible = 1, formMaking = 2;
    const int same[4] = {visible | 0x10, visible | 0x10, visible | 0x10, visible | 0x10};
    for (const auto& k : kinds(same))
        EXPECT_EQ(k, std::make_pair(2, 2));
    // One edge in another group: both its ends and its neighbours' touching
    // ends break the line.
    const int regrouped[4] = {visible | 0x10, visible | 0x20, visible | 0x10, visible | 0x10};
    const auto r = kinds(regrouped);
    int breaks = 0;
    for (const auto& k : r)
        breaks += (k.first == 1) + (k.second == 1);
    EXPECT_EQ(breaks, 4);
    // A visible edge after an invisible one starts a line, unless it carries
    // the form-making mark.
    const int afterHidden[4] = {0, visible, 0, visible | formMaking};
    const auto h = kinds(afterHidden);
    int starts = 0;
    for (const auto& k : h)
        starts += (k.first == 1) + (k.second == 1);
    EXPECT_EQ(starts, 2) << "the plain visible edge breaks at both ends, the form-making one at neither";
}

TEST(ContourDivider, SignsAndReversedMarks)
{
    // The extreme vertex in the middle of a straight run still decides.
    G3Surface s;
    const double pts[5][3] = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {2, 2, 0}, {0, 2, 0}};
    G3Vertex* v[5];
    for (int k = 0; k < 5; ++k)
        v[k] = s.AddVertex(pts[k]);
    G3EdgeList ccw(5, v, nullptr, nullptr, nullptr, 0, 1);
    ccw.FormMaxPlaneCoo();
    const double zUp[4] = {0, 0, 1, 0};
    ccw.SetPlane(zUp);
    EXPECT_EQ(RecordingDivider::GetSignOfOrientedSquare(&ccw), -1);
    ccw.Reverse();
    EXPECT_EQ(RecordingDivider::GetSignOfOrientedSquare(&ccw), 1);

    // Marks move one edge forward; the last one's is dropped.
    for (int k = 0; k < ccw.size(); ++k)
        if (k == 0 || k == 4)
            ccw.GetEdge(k)->SetFormMaking();
        else
            ccw.GetEdge(k)->ClearFormMaking();
    RecordingDivider::ReverseContourFlags(&ccw);
    const bool expected[5] = {false, true, false, false, false};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(ccw.GetEdge(k)->GetFormMaking(), expected[k]) << k;
}

TEST(ContourDivider, LoadProtocol)
{
    const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {1, 1, 0};
    // Nothing loaded: no callback at all.
    RecordingDivider empty;
    empty.BeginLoad(1, 0);
    empty.EndLoad();
    EXPECT_EQ(empty.begins + empty.ends, 0);
    // Calls out of order are ignored; BeginLoad starts over.
    RecordingDivider d;
    d.LoadEdge(a, b, 1, 0, 0);
    d.BeginLoadContour();
    d.EndLoad();
    EXPECT_EQ(d.begins, 0);
    d.BeginLoad(0, 0);
    d.BeginLoadContour();
    d.LoadEdge(a, b, 1, 0, 0);
    d.BeginLoad(0, 0);         // the half-loaded contour goes
    d.LoadEdge(a, b, 1, 0, 0); // no contour open: ignored
    d.BeginLoadContour();
    d.LoadEdge(a, b, 1, 1, 2);
    d.BeginLoadContour(); // already open: the edges go on into it
    d.LoadEdge(b, c, 1, 2, 3);
    d.LoadEdge(c, a, 1, 3, 1);
    d.EndLoadContour();
    d.BeginLoadContour();
    d.EndLoadContour(); // no edges: dropped
    d.EndLoad();
    ASSERT_EQ(d.contours.size(), 1u);
    EXPECT_EQ(d.contours[0].edges.size(), 3u);

    // Several contours in a tilted plane, the first one flat (no plane):
    // every contour is projected onto the first valid plane.
    RecordingDivider tilted;
    auto lift = [](double x, double y) { return Point{x, y, 0.5 * x + 0.25 * y}; };
    tilted.Load({{lift(0, 0), lift(1, 1), lift(2, 2)},
                 {lift(0, 0), lift(4, 0), lift(4, 4), lift(0, 4)},
                 {lift(1, 1), lift(3, 1), lift(3, 3), lift(1, 3)},
                 {lift(10, 0), lift(12, 0), lift(12, 2), lift(10, 2)}},
                0);
    double typed = 0;
    for (const UnloadedContour& u : tilted.contours) {
        ExpectSimpleClosed(u);
        typed += u.isHole ? -std::fabs(SignedArea(u)) : std::fabs(SignedArea(u));
    }
    EXPECT_NEAR(typed, 16 - 4 + 4, 1e-9) << "areas in the x-y projection";
}
