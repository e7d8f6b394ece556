// The polyline clipper: rectangle clips of paths against Boost.Geometry's
// polygon intersection (areas, hidden cut borders, kept visibility, z along
// the edges), the callback protocol and the border cases of the rectangle
// clip, line clips against a convex and a star polygon against Boost's
// linestring intersection, and bad input.
#include <gtest/gtest.h>

// Boost 1.74's geometry headers include some of its own deprecated ones.
#define BOOST_ALLOW_DEPRECATED_HEADERS
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/linestring.hpp>
#include <boost/geometry/geometries/multi_linestring.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/clipper.h"

namespace {
namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPolygon = bg::model::polygon<BPoint>;
using BMultiPolygon = bg::model::multi_polygon<BPolygon>;
using BLine = bg::model::linestring<BPoint>;
using BMultiLine = bg::model::multi_linestring<BLine>;
using BBox = bg::model::box<BPoint>;

using Point = std::array<double, 3>;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
// Agreement with the oracles (relative for areas, absolute for lengths and
// coordinates of size 1 to 10), and of results that are exact up to the
// rounding of a few operations.
const double kOracleTolerance = 1e-9;
const double kRounding = 1e-12;

// ---- Recording the output ----------------------------------------------------

struct OutContour {
    Point start;
    int announced = 0;
    CONTOUR_TYPE type = CONTOUR_UNDEFINED;
    std::vector<Point> points; // start first
    std::vector<int> visibility, segmentTypes, pointCounts;
};

std::string Text(const double* p)
{
    char text[96];
    std::snprintf(text, sizeof text, "(%g %g %g)", p[0], p[1], p[2]);
    return text;
}

// Logs every callback as a line of text and keeps the contours.
class PathRecorder : public GPathLoader {
public:
    void PathBegin(int count) override
    {
        log += "begin " + std::to_string(count) + "\n";
        ++begins;
    }
    void PathSetPreferPlane(int, int) override { log += "plane\n"; }
    void PathContourBegin(const double* start, int count, CONTOUR_TYPE type) override
    {
        log += "contour " + std::to_string(count) + " " + std::to_string(type) + " " + Text(start) + "\n";
        contours.push_back({});
        OutContour& c = contours.back();
        c.start = {start[0], start[1], start[2]};
        c.announced = count;
        c.type = type;
        c.points.push_back(c.start);
    }
    void PathContourSegmentTo(SEGMENT_TYPE type, SEGMENT_VISIBILITY visibility, int count,
                              const double* points) override
    {
        log += "to " + std::to_string(type) + " " + std::to_string(visibility) + " " + std::to_string(count) + " " +
            Text(points) + "\n";
        OutContour& c = contours.back();
        c.points.push_back({points[0], points[1], points[2]});
        c.visibility.push_back(visibility);
        c.segmentTypes.push_back(type);
        c.pointCounts.push_back(count);
    }
    void PathContourEnd() override { log += "end contour\n"; }
    void PathEnd() override
    {
        log += "end\n";
        ++ends;
    }

    std::string log;
    std::vector<OutContour> contours;
    int begins = 0, ends = 0;
};

class PieceCollector : public GLineLoader {
public:
    void LineLoad(const double* from, const double* to) override
    {
        pieces.push_back({Point{from[0], from[1], from[2]}, Point{to[0], to[1], to[2]}});
    }
    std::vector<std::array<Point, 2>> pieces;
};

// ---- Input -------------------------------------------------------------------

// A closed ring: vertices, and per edge k (from vertex k to k + 1, the last
// back to the first) its visibility.
struct Ring {
    std::vector<Point> v;
    std::vector<SEGMENT_VISIBILITY> visibility;
};

Ring MakeRing(const std::vector<Point>& v, std::vector<SEGMENT_VISIBILITY> visibility = {})
{
    if (visibility.empty())
        visibility.assign(v.size(), SEGMENT_VISIBLE);
    return {v, visibility};
}

// Loads the ring as one closed contour: the start, then a segment to every
// further vertex and one back to the start.
void LoadRing(GPathLoader& loader, const Ring& ring)
{
    const std::size_t n = ring.v.size();
    loader.PathContourBegin(ring.v[0].data(), static_cast<int>(n + 1), CONTOUR_OUTER);
    for (std::size_t k = 1; k <= n; ++k)
        loader.PathContourSegmentTo(SEGMENT_LINE, ring.visibility[k - 1], 1, ring.v[k % n].data());
    loader.PathContourEnd();
}

void LoadRings(GPathLoader& loader, const std::vector<Ring>& rings)
{
    loader.PathBegin(static_cast<int>(rings.size()));
    for (const Ring& ring : rings)
        LoadRing(loader, ring);
    loader.PathEnd();
}

double Shoelace(const std::vector<Point>& v)
{
    double twice = 0;
    for (std::size_t k = 0; k < v.size(); ++k) {
        const Point& p = v[k];
        const Point& q = v[(k + 1) % v.size()];
        twice += p[0] * q[1] - q[0] * p[1];
    }
    return twice / 2;
}

// z of the random polygons: a plane over x and y, so that every point that
// lies on an edge has z = Height(x, y) when z is interpolated along edges.
double Height(double x, double y)
{
    return 0.5 * x - 0.25 * y + 3.0;
}

// A star-shaped ring around (cx, cy): n vertices at sorted random angles
// and radii in [rmin, rmax]; it is simple. Clockwise when reversed.
Ring RandomStarShaped(std::mt19937_64& random, double cx, double cy, int n, double rmin, double rmax, bool reversed)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> angles(static_cast<std::size_t>(n));
    for (double& a : angles)
        a = unit(random) * 2 * M_PI;
    std::sort(angles.begin(), angles.end());
    Ring ring;
    for (double a : angles) {
        const double r = rmin + (rmax - rmin) * unit(random);
        const double x = cx + r * std::cos(a), y = cy + r * std::sin(a);
        ring.v.push_back({x, y, Height(x, y)});
        ring.visibility.push_back(unit(random) < 0.7 ? SEGMENT_VISIBLE : SEGMENT_HIDDEN);
    }
    if (reversed) {
        std::reverse(ring.v.begin(), ring.v.end());
        std::reverse(ring.visibility.begin(), ring.visibility.end());
    }
    return ring;
}

// A star of n spikes: radii alternate between outer and inner (jittered).
Ring Star(std::mt19937_64& random, double cx, double cy, int spikes, double outer, double inner)
{
    std::uniform_real_distribution<double> jitter(-0.1, 0.1);
    Ring ring;
    for (int k = 0; k < 2 * spikes; ++k) {
        const double a = M_PI * k / spikes + jitter(random) / spikes;
        const double r = (k % 2 == 0 ? outer : inner) * (1 + jitter(random));
        const double x = cx + r * std::cos(a), y = cy + r * std::sin(a);
        ring.v.push_back({x, y, Height(x, y)});
        ring.visibility.push_back(k % 3 == 0 ? SEGMENT_HIDDEN : SEGMENT_VISIBLE);
    }
    return ring;
}

// A comb: teeth standing up from a base, crossing a horizontal border many
// times.
Ring Comb(double x0, double y0, int teeth, double width, double height)
{
    Ring ring;
    auto add = [&ring](double x, double y, SEGMENT_VISIBILITY v) {
        ring.v.push_back({x, y, Height(x, y)});
        ring.visibility.push_back(v);
    };
    add(x0, y0, SEGMENT_VISIBLE);
    for (int k = 0; k < teeth; ++k) {
        const double x = x0 + 2 * k * width;
        add(x + width * 0.1, y0 + 1, k % 2 ? SEGMENT_VISIBLE : SEGMENT_HIDDEN);
        add(x + width * 0.3, y0 + height, SEGMENT_VISIBLE);
        add(x + width * 0.9, y0 + height * 1.1, SEGMENT_VISIBLE);
        add(x + width * 1.7, y0 + 1, SEGMENT_HIDDEN);
    }
    add(x0 + 2 * teeth * width, y0, SEGMENT_VISIBLE);
    // The last vertex goes back to the first along y0.
    return ring;
}

BPolygon ToBoost(const std::vector<std::array<double, 2>>& v)
{
    BPolygon polygon;
    for (const auto& p : v)
        bg::append(polygon.outer(), BPoint(p[0], p[1]));
    bg::correct(polygon);
    return polygon;
}

BPolygon ToBoost(const Ring& ring)
{
    std::vector<std::array<double, 2>> v;
    for (const Point& p : ring.v)
        v.push_back({p[0], p[1]});
    return ToBoost(v);
}

// ---- The rectangle clip against the oracle -----------------------------------

const int kBorderFlags[4] = {CLIP_MIN_X, CLIP_MAX_X, CLIP_MIN_Y, CLIP_MAX_Y};

// The area of ring within the half-planes the flags select: a box that is
// limited only on those sides, beyond the ring on the others. (Just beyond:
// a far side would make the oracle's crossings with it lose precision.)
double OracleArea(const Ring& ring, const GEnvelope& rect, int flags)
{
    GEnvelope around;
    for (const Point& p : ring.v)
        around.Add(p.data());
    around.Extend(1.0);
    const BBox box(BPoint(flags & CLIP_MIN_X ? rect.GetMinX() : around.GetMinX(),
                          flags & CLIP_MIN_Y ? rect.GetMinY() : around.GetMinY()),
                   BPoint(flags & CLIP_MAX_X ? rect.GetMaxX() : around.GetMaxX(),
                          flags & CLIP_MAX_Y ? rect.GetMaxY() : around.GetMaxY()));
    BMultiPolygon result;
    bg::intersection(box, ToBoost(ring), result);
    return bg::area(result);
}

bool OnSegment(const Point& p, const Point& a, const Point& b, double tolerance)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double length2 = dx * dx + dy * dy;
    const double t = ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length2;
    if (t < -tolerance || t > 1 + tolerance)
        return false;
    return std::hypot(a[0] + t * dx - p[0], a[1] + t * dy - p[1]) <= tolerance;
}

// Checks one clipped contour of ring: every piece along a selected border
// line is hidden, every other piece lies on an edge of the ring and has its
// visibility; every vertex has the plane's z; the contour is closed.
void CheckPieces(const OutContour& out, const Ring& ring, const GEnvelope& rect, int flags, const std::string& where)
{
    const double tolerance = kOracleTolerance;
    ASSERT_GE(out.points.size(), 2u) << where;
    EXPECT_EQ(out.announced, static_cast<int>(out.points.size())) << where;
    EXPECT_EQ(out.type, CONTOUR_UNDEFINED) << where;
    const Point& first = out.points.front();
    const Point& last = out.points.back();
    EXPECT_TRUE(first == last) << where << ": the clipped contour is not closed";
    for (std::size_t k = 0; k < out.points.size(); ++k) {
        const Point& q = out.points[k];
        EXPECT_NEAR(q[2], Height(q[0], q[1]), tolerance) << where << " vertex " << k;
        if (k == 0)
            continue;
        EXPECT_EQ(out.segmentTypes[k - 1], SEGMENT_LINE);
        EXPECT_EQ(out.pointCounts[k - 1], 1);
        const Point& p = out.points[k - 1];
        if (p[0] == q[0] && p[1] == q[1])
            continue; // no piece
        bool alongBorder = false;
        for (int b = 0; b < 4; ++b) {
            if ((flags & kBorderFlags[b]) == 0)
                continue;
            const int axis = b < 2 ? 0 : 1;
            const double limit = b % 2 == 0 ? rect.GetMin(axis) : rect.GetMax(axis);
            alongBorder = alongBorder || (p[axis] == limit && q[axis] == limit);
        }
        if (alongBorder) {
            EXPECT_EQ(out.visibility[k - 1], SEGMENT_HIDDEN) << where << " piece " << k << " along a border";
            continue;
        }
        bool found = false;
        for (std::size_t e = 0; e < ring.v.size() && !found; ++e) {
            const Point& a = ring.v[e];
            const Point& b = ring.v[(e + 1) % ring.v.size()];
            if (OnSegment(p, a, b, tolerance) && OnSegment(q, a, b, tolerance)) {
                found = true;
                EXPECT_EQ(out.visibility[k - 1], ring.visibility[e]) << where << " piece " << k << " of edge " << e;
            }
        }
        EXPECT_TRUE(found) << where << " piece " << k << " lies on no edge and along no border";
    }
}

// Clips the rings against rect with every non-empty set of borders and
// compares each result's area with the oracle's.
void CheckRectangleClip(const std::vector<Ring>& rings, const GEnvelope& rect, const std::string& name)
{
    for (int set = 1; set < 16; ++set) {
        int flags = 0;
        for (int b = 0; b < 4; ++b)
            if (set & (1 << b))
                flags |= kBorderFlags[b];
        const std::string where = name + " flags " + std::to_string(flags);

        G3PolylineClipper clipper(&rect);
        LoadRings(clipper, rings);
        PathRecorder out;
        const bool clipped = clipper.DoClip(&out, flags);

        std::vector<std::size_t> kept; // rings with something inside
        std::vector<double> expected;
        for (std::size_t r = 0; r < rings.size(); ++r) {
            const double area = OracleArea(rings[r], rect, flags);
            if (area > 0) {
                kept.push_back(r);
                expected.push_back(area);
            }
        }
        ASSERT_EQ(out.contours.size(), kept.size()) << where;
        EXPECT_EQ(clipped, !kept.empty()) << where;
        EXPECT_EQ(out.begins, kept.empty() ? 0 : 1) << where;
        EXPECT_EQ(out.ends, kept.empty() ? 0 : 1) << where;
        if (kept.empty()) {
            EXPECT_EQ(out.log, "") << where;
            continue;
        }
        EXPECT_EQ(out.log.rfind("begin -1\n", 0), 0u) << where;
        for (std::size_t c = 0; c < kept.size(); ++c) {
            const Ring& ring = rings[kept[c]];
            const double whole = Shoelace(ring.v);
            const double area = Shoelace(out.contours[c].points);
            // The clipped contour keeps the ring's orientation.
            EXPECT_EQ(area > 0, whole > 0) << where << " contour " << c;
            EXPECT_NEAR(std::fabs(area), expected[c], kOracleTolerance * expected[c]) << where << " contour " << c;
            CheckPieces(out.contours[c], ring, rect, flags, where + " contour " + std::to_string(c));
        }
    }
}

TEST(PolylineClipper, RectangleClipOfRandomPolygonsMatchesTheOracle)
{
    std::mt19937_64 random(20240917);
    std::uniform_real_distribution<double> centre(-2.0, 2.0), half(0.5, 4.0), unit(0.0, 1.0);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<Ring> rings;
        rings.push_back(RandomStarShaped(random, centre(random), centre(random), 5 + trial % 40, 0.5 + unit(random),
                                         2.0 + 2 * unit(random), trial % 2 == 1));
        rings.push_back(
            RandomStarShaped(random, centre(random) * 2, centre(random) * 2, 3 + trial % 7, 0.2, 1.5, trial % 3 == 0));
        const double cx = centre(random), cy = centre(random);
        const double x1 = cx - half(random), x2 = cx + half(random);
        const double y1 = cy - half(random), y2 = cy + half(random);
        // Both constructors; the corners in any order.
        if (trial % 2 == 0) {
            CheckRectangleClip(rings, GEnvelope(x1, y1, 0, x2, y2, 0), "random " + std::to_string(trial));
        } else {
            G3PolylineClipper byCorners(x2, y1, x1, y2);
            const GEnvelope box(x1, y1, 0, x2, y2, 0);
            G3PolylineClipper byEnvelope(&box);
            LoadRings(byCorners, rings);
            LoadRings(byEnvelope, rings);
            PathRecorder a, b;
            EXPECT_EQ(byCorners.DoClip(&a, CLIP_ALL_BORDERS), byEnvelope.DoClip(&b, CLIP_ALL_BORDERS));
            EXPECT_EQ(a.log, b.log);
            CheckRectangleClip(rings, GEnvelope(x1, y1, 0, x2, y2, 0), "random " + std::to_string(trial));
        }
    }
}

TEST(PolylineClipper, RectangleClipOfStarsAndCombsMatchesTheOracle)
{
    std::mt19937_64 random(77);
    CheckRectangleClip({Star(random, 0, 0, 7, 3.0, 1.0)}, GEnvelope(-1.5, -2.0, 0, 2.5, 1.2, 0), "star");
    CheckRectangleClip({Star(random, 0.3, -0.2, 23, 4.0, 0.5)}, GEnvelope(-0.7, -0.9, 0, 0.8, 1.1, 0), "fine star");
    // A comb whose teeth cross the upper and lower borders many times; the
    // same comb clipped by a band through its teeth only.
    CheckRectangleClip({Comb(0, 0, 12, 0.5, 5)}, GEnvelope(0.9, 2.0, 0, 9.3, 4.5, 0), "comb");
    CheckRectangleClip({Comb(0, 0, 12, 0.5, 5)}, GEnvelope(-1, 3.0, 0, 30, 3.5, 0), "comb band");
}

// ---- The callback protocol and the border cases -------------------------------

TEST(PolylineClipper, FlagsZeroCopiesTheStoredPaths)
{
    G3PolylineClipper clipper(0, 0, 1, 1);
    clipper.PathBegin(-1);
    clipper.PathSetPreferPlane(0, 1);
    const double a[3] = {5, 5, 1}, b[6] = {6, 5, 2, 9, 9, 9}, c[3] = {6, 6, 3};
    clipper.PathContourBegin(a, 3, CONTOUR_INNER);
    // A segment of two points: only its first one goes on.
    clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_HIDDEN, 2, b);
    clipper.PathContourSegmentTo(SEGMENT_MOVE, SEGMENT_VISIBLE, 1, c);
    clipper.PathContourEnd();
    clipper.PathContourBegin(c, 1, CONTOUR_OUTER);
    clipper.PathContourEnd();
    clipper.PathEnd();

    PathRecorder out;
    EXPECT_TRUE(clipper.DoClip(&out, 0));
    EXPECT_EQ(out.log,
              "begin 2\n"
              "contour 3 0 (5 5 1)\n"
              "to 1 0 1 (6 5 2)\n"
              "to 1 1 1 (6 6 3)\n"
              "end contour\n"
              "contour 1 0 (6 6 3)\n"
              "end contour\n"
              "end\n");
    // OutAll itself says the same; nothing stored gives an empty path.
    PathRecorder again;
    clipper.OutAll(&again);
    EXPECT_EQ(again.log, out.log);
    clipper.PathBegin(4);
    PathRecorder empty;
    EXPECT_TRUE(clipper.DoClip(&empty, 0));
    EXPECT_EQ(empty.log, "begin 0\nend\n");
}

TEST(PolylineClipper, SquareStraddlingTheMaximumXKeepsTheInsideWithTheCutHidden)
{
    G3PolylineClipper clipper(-5, -5, 1, 5);
    clipper.PathBegin(1);
    LoadRing(clipper,
             MakeRing({{0, 0, 0}, {2, 0, 2}, {2, 2, 4}, {0, 2, 2}},
                      {SEGMENT_VISIBLE, SEGMENT_VISIBLE, SEGMENT_VISIBLE, SEGMENT_HIDDEN}));
    clipper.PathEnd();
    PathRecorder out;
    EXPECT_TRUE(clipper.DoClip(&out, CLIP_MAX_X));
    // The piece along x = 1 is hidden; the bottom keeps visible, the top
    // (visible) and the left side (hidden) keep theirs. z follows the edges.
    EXPECT_EQ(out.log,
              "begin -1\n"
              "contour 5 0 (0 0 0)\n"
              "to 1 1 1 (1 0 1)\n"
              "to 1 0 1 (1 2 3)\n"
              "to 1 1 1 (0 2 2)\n"
              "to 1 0 1 (0 0 0)\n"
              "end contour\n"
              "end\n");
}

TEST(PolylineClipper, ContoursOutsideTheBordersGiveNothing)
{
    G3PolylineClipper clipper(0, 0, 10, 10);
    const Ring outside = MakeRing({{20, 1, 0}, {30, 1, 0}, {30, 5, 0}});
    const Ring inside = MakeRing({{1, 1, 0}, {3, 1, 0}, {3, 5, 0}});
    LoadRings(clipper, {outside, inside, outside});
    PathRecorder out;
    EXPECT_TRUE(clipper.DoClip(&out, CLIP_MAX_X));
    ASSERT_EQ(out.contours.size(), 1u);
    EXPECT_EQ(out.contours[0].points.size(), 4u);
    EXPECT_EQ(out.begins, 1);
    EXPECT_EQ(out.ends, 1);

    // Only contours beyond the selected borders: false, not a single call.
    LoadRings(clipper, {outside, MakeRing({{-1, -1, 0}, {-2, 5, 0}, {-1, 7, 0}})});
    PathRecorder none;
    EXPECT_FALSE(clipper.DoClip(&none, CLIP_MAX_X | CLIP_MIN_X));
    EXPECT_EQ(none.log, "");
    // The borders not selected do not cut: x beyond the maximum and the
    // minimum is kept whole.
    PathRecorder some;
    EXPECT_TRUE(clipper.DoClip(&some, CLIP_MAX_Y));
    ASSERT_EQ(some.contours.size(), 2u);
    EXPECT_EQ(some.contours[0].points.size(), 4u);
    EXPECT_EQ(some.contours[1].points.size(), 4u);
    // Bits other than the four borders select nothing: the contours pass.
    PathRecorder all;
    EXPECT_TRUE(clipper.DoClip(&all, 0x4));
    EXPECT_EQ(all.contours.size(), 2u);
}

TEST(PolylineClipper, VerticesOnTheBorderStay)
{
    G3PolylineClipper clipper(-5, -5, 1, 5);
    // A vertex touching the border from inside stays, nothing is cut.
    LoadRings(clipper, {MakeRing({{0, 0, 0}, {1, 0.5, 0}, {0, 1, 0}})});
    PathRecorder touch;
    EXPECT_TRUE(clipper.DoClip(&touch, CLIP_MAX_X));
    EXPECT_EQ(touch.log,
              "begin -1\n"
              "contour 4 0 (0 0 0)\n"
              "to 1 1 1 (1 0.5 0)\n"
              "to 1 1 1 (0 1 0)\n"
              "to 1 1 1 (0 0 0)\n"
              "end contour\n"
              "end\n");

    // An original edge on the border keeps its visibility.
    LoadRings(clipper,
              {MakeRing({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                        {SEGMENT_HIDDEN, SEGMENT_VISIBLE, SEGMENT_HIDDEN, SEGMENT_VISIBLE})});
    PathRecorder edge;
    EXPECT_TRUE(clipper.DoClip(&edge, CLIP_MAX_X));
    EXPECT_EQ(edge.log,
              "begin -1\n"
              "contour 5 0 (0 0 0)\n"
              "to 1 0 1 (1 0 0)\n"
              "to 1 1 1 (1 1 0)\n"
              "to 1 0 1 (0 1 0)\n"
              "to 1 1 1 (0 0 0)\n"
              "end contour\n"
              "end\n");

    // Reached from beyond the border, a vertex on it ends a piece that runs
    // along the border in place of what was cut off: hidden.
    LoadRings(clipper, {MakeRing({{0, 0, 0}, {2, 0, 0}, {1, 1, 0}, {0, 1, 0}})});
    PathRecorder beyond;
    EXPECT_TRUE(clipper.DoClip(&beyond, CLIP_MAX_X));
    EXPECT_EQ(beyond.log,
              "begin -1\n"
              "contour 5 0 (0 0 0)\n"
              "to 1 1 1 (1 0 0)\n"
              "to 1 0 1 (1 1 0)\n"
              "to 1 1 1 (0 1 0)\n"
              "to 1 1 1 (0 0 0)\n"
              "end contour\n"
              "end\n");

    // A contour that starts and ends on the border is closed along it by a
    // hidden copy of its start.
    LoadRings(clipper, {MakeRing({{1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}})});
    PathRecorder start;
    EXPECT_TRUE(clipper.DoClip(&start, CLIP_MAX_X));
    EXPECT_EQ(start.log,
              "begin -1\n"
              "contour 6 0 (1 0 0)\n"
              "to 1 1 1 (1 1 0)\n"
              "to 1 1 1 (0 1 0)\n"
              "to 1 1 1 (0 0 0)\n"
              "to 1 1 1 (1 0 0)\n"
              "to 1 0 1 (1 0 0)\n"
              "end contour\n"
              "end\n");
}

TEST(PolylineClipper, TheCutCornerOfTwoBorders)
{
    // A triangle over the corner (1, 1) of the rectangle: the x pass cuts
    // it, the y pass cuts the x pass's result; both border pieces hidden.
    G3PolylineClipper clipper(0, 0, 1, 1);
    LoadRings(clipper, {MakeRing({{0.5, 0.5, 0}, {2, 0.5, 0}, {0.5, 2, 0}})});
    PathRecorder out;
    EXPECT_TRUE(clipper.DoClip(&out, CLIP_MAX_X | CLIP_MAX_Y));
    EXPECT_EQ(out.log,
              "begin -1\n"
              "contour 5 0 (0.5 0.5 0)\n"
              "to 1 1 1 (1 0.5 0)\n"
              "to 1 0 1 (1 1 0)\n"
              "to 1 0 1 (0.5 1 0)\n"
              "to 1 1 1 (0.5 0.5 0)\n"
              "end contour\n"
              "end\n");
    EXPECT_DOUBLE_EQ(Shoelace(out.contours[0].points), 0.25);
}

TEST(PolylineClipper, EachServiceRefusesTheOther)
{
    const double from[3] = {-1, 0.5, 0}, to[3] = {2, 0.5, 0};
    G3PolylineClipper rectangle(0, 0, 1, 1);
    LoadRings(rectangle, {MakeRing({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}})});
    PieceCollector pieces;
    EXPECT_FALSE(rectangle.DoClip(from, to, &pieces));
    EXPECT_FALSE(rectangle.ClipWithPolygon(from, to, &pieces));
    EXPECT_TRUE(pieces.pieces.empty());

    const double square[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    G3PolylineClipper polygon(4, square);
    LoadRings(polygon, {MakeRing({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}})});
    PathRecorder out;
    EXPECT_FALSE(polygon.DoClip(&out, CLIP_ALL_BORDERS));
    EXPECT_FALSE(polygon.ClipWithRectangle(&out, CLIP_ALL_BORDERS));
    EXPECT_EQ(out.log, "");
    // Flags 0 still hand the stored paths on.
    EXPECT_TRUE(polygon.DoClip(&out, 0));
    EXPECT_EQ(out.contours.size(), 1u);
}

// ---- Lines against a polygon: the cases -------------------------------------

std::vector<std::array<Point, 2>> ClipLine(const std::vector<double>& polygon, Point from, Point to, bool* result)
{
    G3PolylineClipper clipper(static_cast<int>(polygon.size() / 2), polygon.data());
    PieceCollector pieces;
    *result = clipper.DoClip(from.data(), to.data(), &pieces);
    return pieces.pieces;
}

void ExpectPiece(const std::array<Point, 2>& piece, Point a, Point b)
{
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(piece[0][k], a[k], kRounding) << "start " << k;
        EXPECT_NEAR(piece[1][k], b[k], kRounding) << "end " << k;
    }
}

TEST(PolylineClipper, LineThroughAConvexPolygonIsOnePiece)
{
    const std::vector<double> square = {0, 0, 4, 0, 4, 4, 0, 4};
    bool result = false;
    auto pieces = ClipLine(square, {-2, 1, 0}, {6, 3, 8}, &result);
    EXPECT_TRUE(result);
    ASSERT_EQ(pieces.size(), 1u);
    // Entry and exit, z along the line.
    ExpectPiece(pieces[0], {0, 1.5, 2}, {4, 2.5, 6});
    // Given the other way round, the piece still runs up the dominant axis.
    pieces = ClipLine(square, {6, 3, 8}, {-2, 1, 0}, &result);
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], {0, 1.5, 2}, {4, 2.5, 6});
    // A steep line is ordered along y.
    pieces = ClipLine(square, {1, 9, 0}, {2, -1, 0}, &result);
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], {1.9, 0, 0}, {1.5, 4, 0});
}

TEST(PolylineClipper, LineWithBothEndsInsideIsItself)
{
    bool result = false;
    auto pieces = ClipLine({0, 0, 4, 0, 4, 4, 0, 4}, {1, 1, 5}, {3, 2, 7}, &result);
    EXPECT_TRUE(result);
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], {1, 1, 5}, {3, 2, 7});
    // Ending inside: from the entry to the end.
    pieces = ClipLine({0, 0, 4, 0, 4, 4, 0, 4}, {-1, 1, 0}, {3, 1, 0}, &result);
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], {0, 1, 0}, {3, 1, 0});
}

TEST(PolylineClipper, LineTouchingAVertexGetsNoCutThere)
{
    const std::vector<double> diamond = {0, -1, 1, 0, 0, 1, -1, 0};
    bool result = true;
    // Touching the right corner from outside: nothing.
    auto pieces = ClipLine(diamond, {1, -3, 0}, {1, 3, 0}, &result);
    EXPECT_FALSE(result);
    EXPECT_TRUE(pieces.empty());
    // Through the top and bottom corners: the diagonal, one piece.
    pieces = ClipLine(diamond, {0, -3, 0}, {0, 3, 0}, &result);
    EXPECT_TRUE(result);
    ASSERT_EQ(pieces.size(), 1u);
    ExpectPiece(pieces[0], {0, -1, 0}, {0, 1, 0});
    // A reflex vertex touching the line from above, inside the polygon: the
    // touch splits nothing away, the pieces cover the chord.
    const std::vector<double> notch = {0, 0, 4, 0, 4, 2, 2, 1, 0, 2};
    pieces = ClipLine(notch, {-1, 1, 0}, {5, 1, 0}, &result);
    EXPECT_TRUE(result);
    double total = 0;
    for (const auto& p : pieces)
        total += std::hypot(p[1][0] - p[0][0], p[1][1] - p[0][1]);
    EXPECT_NEAR(total, 4.0, kRounding);
}

TEST(PolylineClipper, LineAlongAnEdge)
{
    const std::vector<double> square = {0, 0, 2, 0, 2, 2, 0, 2};
    bool result = true;
    // The polygon lies on one side: no piece.
    auto pieces = ClipLine(square, {-1, 0, 0}, {3, 0, 0}, &result);
    EXPECT_FALSE(result);
    EXPECT_TRUE(pieces.empty());
    // The same with the polygon's walk starting in the middle of the run.
    pieces = ClipLine({1, 0, 2, 0, 2, 2, 0, 2, 0, 0}, {-1, 0, 0}, {3, 0, 0}, &result);
    EXPECT_FALSE(result);
    EXPECT_TRUE(pieces.empty());

    // A step: the boundary comes from below, runs along y = 1 from x = 2 to
    // x = 1 and leaves upwards. The line meets the closed polygon from x = 0
    // to x = 2, without a piece twice.
    const std::vector<double> step = {0, 0, 2, 0, 2, 1, 1, 1, 1, 2, 0, 2};
    pieces = ClipLine(step, {-1, 1, 0}, {3, 1, 0}, &result);
    EXPECT_TRUE(result);
    double total = 0;
    double reach = -1;
    for (const auto& p : pieces) {
        EXPECT_GE(p[0][0], reach - kRounding);
        reach = p[1][0];
        total += p[1][0] - p[0][0];
    }
    EXPECT_NEAR(total, 2.0, kRounding);
    // The same step walked from a vertex inside the run (the run pending
    // until the end of the walk).
    const std::vector<double> rotated = {1, 1, 1, 2, 0, 2, 0, 0, 2, 0, 2, 1};
    auto again = ClipLine(rotated, {-1, 1, 0}, {3, 1, 0}, &result);
    EXPECT_TRUE(result);
    total = 0;
    for (const auto& p : again)
        total += p[1][0] - p[0][0];
    EXPECT_NEAR(total, 2.0, kRounding);
}

TEST(PolylineClipper, LineMissingOrBarelyReachingThePolygon)
{
    const std::vector<double> square = {0, 0, 2, 0, 2, 2, 0, 2};
    bool result = true;
    EXPECT_TRUE(ClipLine(square, {3, 1, 0}, {5, 1, 0}, &result).empty());
    EXPECT_FALSE(result);
    // Reaching into the square by less than the length tolerance.
    EXPECT_TRUE(ClipLine(square, {-1, 1, 0}, {0.5 * tessaly::kLengthTolerance, 1, 0}, &result).empty());
    EXPECT_FALSE(result);
}

// ---- Lines against a polygon: the oracle -------------------------------------

// Distance from p to the segment a-b.
double SegmentDistance(const double* p, const double* a, const double* b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double t = std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(a[0] + t * dx - p[0], a[1] + t * dy - p[1]);
}

// 10^4 random segments: the total length of the pieces equals the length of
// segment ∩ polygon; each piece lies on the segment, inside the polygon,
// runs up the dominant axis and has the segment's z.
//
// Segments within kDegenerate of a degenerate configuration are skipped:
// a polygon vertex near the segment's line (the clipper puts vertices within
// the length tolerance on the line, which changes a crossing into a touch
// or a run) or an end near the boundary (pieces up to the length tolerance
// long are dropped). There the two answers may differ by about the
// tolerance, and the oracle is not the reference. At most 2% are skipped.
void CheckRandomSegments(const std::vector<double>& polygon, unsigned seed)
{
    const double kDegenerate = 1e-5;
    const std::size_t n = polygon.size() / 2;
    std::vector<std::array<double, 2>> vertices;
    for (std::size_t k = 0; k < n; ++k)
        vertices.push_back({polygon[2 * k], polygon[2 * k + 1]});
    const BPolygon oraclePolygon = ToBoost(vertices);
    G3PolylineClipper clipper(static_cast<int>(n), polygon.data());

    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> coordinate(-5.0, 5.0), height(-1.0, 1.0), scale(0.0, 1.0);
    const int kSegments = 10000;
    int skipped = 0, hits = 0;
    for (int s = 0; s < kSegments; ++s) {
        double a[3] = {coordinate(random), coordinate(random), height(random)};
        // Short and long segments.
        const double f = scale(random) < 0.3 ? 0.2 : 1.0;
        double b[3] = {a[0] + f * (coordinate(random) - a[0]), a[1] + f * (coordinate(random) - a[1]), height(random)};
        const double dx = b[0] - a[0], dy = b[1] - a[1], length = std::hypot(dx, dy);
        bool degenerate = length < kDegenerate;
        for (std::size_t k = 0; k < n && !degenerate; ++k) {
            const double* v = &polygon[2 * k];
            const double* w = &polygon[2 * ((k + 1) % n)];
            degenerate = std::fabs(dy * (v[0] - a[0]) - dx * (v[1] - a[1])) / length < kDegenerate ||
                SegmentDistance(a, v, w) < kDegenerate || SegmentDistance(b, v, w) < kDegenerate;
        }
        if (degenerate) {
            ++skipped;
            continue;
        }

        const BLine line{BPoint(a[0], a[1]), BPoint(b[0], b[1])};
        BMultiLine inside;
        bg::intersection(line, oraclePolygon, inside);
        const double expected = bg::length(inside);

        PieceCollector pieces;
        const bool result = clipper.DoClip(a, b, &pieces);
        const std::string where = "segment " + std::to_string(s);
        ASSERT_EQ(result, expected > 0) << where << " expected length " << expected;
        hits += result;
        const int axis = std::fabs(dy) > std::fabs(dx) ? 1 : 0;
        double total = 0;
        for (const auto& piece : pieces.pieces) {
            total += std::hypot(piece[1][0] - piece[0][0], piece[1][1] - piece[0][1]);
            EXPECT_LE(piece[0][axis], piece[1][axis]) << where;
            for (const Point& p : piece) {
                // On the segment, with its z.
                EXPECT_LE(SegmentDistance(p.data(), a, b), kOracleTolerance) << where;
                const double t = ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / (length * length);
                EXPECT_NEAR(p[2], a[2] + t * (b[2] - a[2]), kOracleTolerance) << where;
            }
            const BPoint middle((piece[0][0] + piece[1][0]) / 2, (piece[0][1] + piece[1][1]) / 2);
            EXPECT_TRUE(bg::covered_by(middle, oraclePolygon)) << where;
        }
        ASSERT_NEAR(total, expected, kOracleTolerance) << where;
    }
    EXPECT_LE(skipped, kSegments / 50);
    // The sample meets the polygon often and misses it often.
    EXPECT_GT(hits, kSegments / 10);
    EXPECT_LT(hits, kSegments * 9 / 10);
}

TEST(PolylineClipper, RandomSegmentsAgainstAConvexPolygonMatchTheOracle)
{
    std::vector<double> polygon;
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> angles(17);
    for (double& angle : angles)
        angle = unit(random) * 2 * M_PI;
    std::sort(angles.begin(), angles.end());
    for (double angle : angles) {
        polygon.push_back(0.3 + 3.5 * std::cos(angle));
        polygon.push_back(-0.2 + 2.5 * std::sin(angle));
    }
    CheckRandomSegments(polygon, 101);
}

TEST(PolylineClipper, RandomSegmentsAgainstAStarPolygonMatchTheOracle)
{
    std::mt19937_64 random(9);
    const Ring star = Star(random, 0.1, 0.2, 9, 4.0, 1.2);
    std::vector<double> polygon;
    // Clockwise, to show that the orientation does not matter.
    for (auto p = star.v.rbegin(); p != star.v.rend(); ++p) {
        polygon.push_back((*p)[0]);
        polygon.push_back((*p)[1]);
    }
    CheckRandomSegments(polygon, 202);
}

// ---- Bad input ------------------------------------------------------------------

TEST(PolylineClipper, ZeroLengthOrNonFiniteLinesGiveFalse)
{
    const std::vector<double> square = {0, 0, 2, 0, 2, 2, 0, 2};
    bool result = true;
    EXPECT_TRUE(ClipLine(square, {1, 1, 0}, {1, 1, 5}, &result).empty());
    EXPECT_FALSE(result);
    EXPECT_TRUE(ClipLine(square, {1, 1, 0}, {1 + 0.1 * tessaly::kLengthTolerance, 1, 0}, &result).empty());
    EXPECT_FALSE(result);
    EXPECT_TRUE(ClipLine(square, {kNaN, 1, 0}, {3, 1, 0}, &result).empty());
    EXPECT_FALSE(result);
    EXPECT_TRUE(ClipLine(square, {1, 1, 0}, {3, std::numeric_limits<double>::infinity(), 0}, &result).empty());
    EXPECT_FALSE(result);
    EXPECT_TRUE(ClipLine(square, {-1e308, 1, 0}, {1e308, 1, 0}, &result).empty());
    EXPECT_FALSE(result);
}

TEST(PolylineClipper, PolygonsOfFewerThanThreeFiniteVerticesClipNothing)
{
    const double from[3] = {-5, 0.5, 0}, to[3] = {5, 0.5, 0};
    const double two[4] = {0, 0, 1, 1};
    const double withNaN[6] = {0, 0, 1, kNaN, 0, 1};
    G3PolylineClipper clippers[] = {{2, two}, {0, two}, {-3, two}, {3, nullptr}, {3, withNaN}};
    for (G3PolylineClipper& clipper : clippers) {
        PieceCollector pieces;
        EXPECT_FALSE(clipper.DoClip(from, to, &pieces));
        EXPECT_TRUE(pieces.pieces.empty());
        // Made for lines, it still clips no paths.
        LoadRings(clipper, {MakeRing({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}})});
        PathRecorder out;
        EXPECT_FALSE(clipper.DoClip(&out, CLIP_ALL_BORDERS));
        EXPECT_EQ(out.log, "");
    }
    // Three vertices make a polygon.
    const double triangle[6] = {0, 0, 1, 0, 0, 1};
    G3PolylineClipper clipper(3, triangle);
    PieceCollector pieces;
    EXPECT_TRUE(clipper.DoClip(from, to, &pieces));
    ASSERT_EQ(pieces.pieces.size(), 1u);
    ExpectPiece(pieces.pieces[0], {0, 0.5, 0}, {0.5, 0.5, 0});
}

TEST(PolylineClipper, SegmentsWithoutAContourAreIgnored)
{
    G3PolylineClipper clipper(0, 0, 10, 10);
    const double p[3] = {1, 1, 0}, q[3] = {2, 1, 0}, r[3] = {2, 2, 0};
    clipper.PathBegin(-1);
    clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_VISIBLE, 1, p);
    clipper.PathContourBegin(nullptr, 2, CONTOUR_OUTER);
    clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_VISIBLE, 1, q);
    clipper.PathContourBegin(p, 3, CONTOUR_OUTER);
    clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_VISIBLE, 1, q);
    clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_VISIBLE, 0, r);
    clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_VISIBLE, 1, nullptr);
    clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_HIDDEN, 1, r);
    clipper.PathContourEnd();
    clipper.PathEnd();
    PathRecorder out;
    EXPECT_TRUE(clipper.DoClip(&out, 0));
    EXPECT_EQ(out.log,
              "begin 1\n"
              "contour 3 0 (1 1 0)\n"
              "to 1 1 1 (2 1 0)\n"
              "to 1 0 1 (2 2 0)\n"
              "end contour\n"
              "end\n");
    // A new load forgets the old paths, and again nothing before a contour.
    clipper.PathBegin(1);
    clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_VISIBLE, 1, p);
    PathRecorder empty;
    EXPECT_TRUE(clipper.DoClip(&empty, 0));
    EXPECT_EQ(empty.log, "begin 0\nend\n");
    EXPECT_FALSE(clipper.DoClip(&empty, CLIP_ALL_BORDERS));
}

TEST(PolylineClipper, NullArgumentsGiveFalse)
{
    G3PolylineClipper rectangle(nullptr);
    LoadRings(rectangle, {MakeRing({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}})});
    EXPECT_FALSE(rectangle.DoClip(nullptr, CLIP_ALL_BORDERS));
    EXPECT_FALSE(rectangle.DoClip(nullptr, 0));
    EXPECT_FALSE(rectangle.ClipWithRectangle(nullptr, CLIP_MIN_X));
    rectangle.OutAll(nullptr);
    // Nor into itself, which would clear the paths it reads.
    EXPECT_FALSE(rectangle.DoClip(&rectangle, 0));
    EXPECT_FALSE(rectangle.DoClip(&rectangle, CLIP_MIN_X));
    rectangle.OutAll(&rectangle);
    PathRecorder kept;
    EXPECT_TRUE(rectangle.DoClip(&kept, 0));
    EXPECT_EQ(kept.contours.size(), 1u);
    // The empty box of a null envelope keeps nothing between the two
    // borders of an axis.
    PathRecorder out;
    EXPECT_FALSE(rectangle.DoClip(&out, CLIP_MIN_X | CLIP_MAX_X));
    EXPECT_EQ(out.log, "");

    const double square[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    const double p[3] = {-1, 0.5, 0}, q[3] = {2, 0.5, 0};
    G3PolylineClipper polygon(4, square);
    PieceCollector pieces;
    EXPECT_FALSE(polygon.DoClip(nullptr, q, &pieces));
    EXPECT_FALSE(polygon.DoClip(p, nullptr, &pieces));
    EXPECT_FALSE(polygon.DoClip(p, q, nullptr));
    EXPECT_TRUE(pieces.pieces.empty());
    EXPECT_TRUE(polygon.DoClip(p, q, &pieces));
}

TEST(PolylineClipper, NonFiniteVerticesDropOutOfTheRectangleClip)
{
    // The NaN and infinite vertices are left out: the square's other
    // vertices are joined directly.
    G3PolylineClipper clipper(-10, -10, 10, 10);
    const double inf = std::numeric_limits<double>::infinity();
    LoadRings(clipper, {MakeRing({{0, 0, 0}, {kNaN, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, inf, 0}, {0, 2, 0}})});
    PathRecorder out;
    EXPECT_TRUE(clipper.DoClip(&out, CLIP_ALL_BORDERS));
    ASSERT_EQ(out.contours.size(), 1u);
    EXPECT_EQ(out.contours[0].points.size(), 5u);
    EXPECT_DOUBLE_EQ(Shoelace(out.contours[0].points), 4.0);
    // A clip rectangle of NaN keeps nothing and does not fail.
    G3PolylineClipper nan(kNaN, 0, 1, 1);
    LoadRings(nan, {MakeRing({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}})});
    PathRecorder none;
    EXPECT_FALSE(nan.DoClip(&none, CLIP_MIN_X));
    EXPECT_EQ(none.log, "");
}

} // namespace
