// G3LineSegmentIntersector on hand-made cases: crossings, touchings,
// collinear overlaps, shared ends, the parameters of segments that run
// against the axes, refused segments and the existence test.

#include "tessaly/intervals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

struct Report {
    double point[3];
    std::intptr_t first, second;
    double tFirst, tSecond;
};

class Recorder : public G3IntersectionPointLoader {
public:
    void LoadIntersection(const double* point, void* dataFirst, void* dataSecond, double tFirst,
                          double tSecond) override
    {
        reports.push_back({{point[0], point[1], point[2]},
                           G3UserDataToIndex(dataFirst),
                           G3UserDataToIndex(dataSecond),
                           tFirst,
                           tSecond});
    }
    std::vector<Report> reports;
};

struct Seg {
    double p[3];
    double q[3];
};

// Runs the sweep over the segments (tagged by index) in the (u, s) plane.
std::vector<Report> Sweep(const std::vector<Seg>& segs, int u = 0, int s = 1)
{
    G3LineSegmentIntersector sweep(u, s);
    for (std::size_t i = 0; i < segs.size(); ++i)
        EXPECT_TRUE(sweep.AddSegment(segs[i].p, segs[i].q, G3IndexToUserData(static_cast<std::intptr_t>(i))));
    Recorder recorder;
    const int count = sweep.FindIntersections(&recorder);
    EXPECT_EQ(count, static_cast<int>(recorder.reports.size()));
    return recorder.reports;
}

// p + t * (q - p) of a segment as the caller gave it.
void ExpectOnSegment(const Seg& seg, double t, const double* point, int u, int s, double tol)
{
    EXPECT_GE(t, 0.0);
    EXPECT_LE(t, 1.0);
    for (int axis : {u, s})
        EXPECT_NEAR(seg.p[axis] + t * (seg.q[axis] - seg.p[axis]), point[axis], tol) << "axis " << axis;
}

void ExpectParameters(const std::vector<Seg>& segs, const std::vector<Report>& reports, int u = 0, int s = 1,
                      double tol = 1e-12)
{
    for (const Report& r : reports) {
        ExpectOnSegment(segs[static_cast<std::size_t>(r.first)], r.tFirst, r.point, u, s, tol);
        ExpectOnSegment(segs[static_cast<std::size_t>(r.second)], r.tSecond, r.point, u, s, tol);
    }
}

} // namespace

TEST(SegmentSweep, ProperCrossingInterpolatesTheThirdAxis)
{
    const std::vector<Seg> segs = {{{0, 0, 0}, {2, 2, 4}}, {{0, 2, 7}, {2, 0, 7}}};
    auto reports = Sweep(segs);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_DOUBLE_EQ(reports[0].point[0], 1.0);
    EXPECT_DOUBLE_EQ(reports[0].point[1], 1.0);
    // The inserted segment's third coordinate, interpolated.
    const Seg& first = segs[static_cast<std::size_t>(reports[0].first)];
    EXPECT_DOUBLE_EQ(reports[0].point[2], first.p[2] + reports[0].tFirst * (first.q[2] - first.p[2]));
    EXPECT_DOUBLE_EQ(reports[0].tFirst, 0.5);
    EXPECT_DOUBLE_EQ(reports[0].tSecond, 0.5);
    EXPECT_NE(reports[0].first, reports[0].second);
    ExpectParameters(segs, reports);
}

// The parameters belong to the segments as the caller gave them: 0 at p,
// 1 at q, also when q lies below p on the sweep axis.
TEST(SegmentSweep, ParametersFollowTheCallersDirection)
{
    const std::vector<Seg> segs = {{{4, 4, 0}, {0, 0, 0}}, {{0, 3, 0}, {3, 0, 0}}};
    auto reports = Sweep(segs);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_DOUBLE_EQ(reports[0].point[0], 1.5);
    ExpectParameters(segs, reports);
    const Report& r = reports[0];
    EXPECT_DOUBLE_EQ(r.first == 0 ? r.tFirst : r.tSecond, 1.0 - 1.5 / 4.0);
}

TEST(SegmentSweep, TouchesAreReportedEndsThatMeetEndsAreNot)
{
    // A T: the end of the stem lies inside the bar.
    const std::vector<Seg> tee = {{{0, 2, 0}, {4, 2, 0}}, {{1, 0, 0}, {1, 2, 0}}};
    auto reports = Sweep(tee);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].point[0], 1);
    EXPECT_EQ(reports[0].point[1], 2);
    ExpectParameters(tee, reports);

    // A closed triangle: every pair shares an end, nothing is reported.
    const std::vector<Seg> triangle = {{{0, 0, 0}, {4, 0, 0}}, {{4, 0, 0}, {2, 3, 0}}, {{2, 3, 0}, {0, 0, 0}}};
    EXPECT_TRUE(Sweep(triangle).empty());

    // Two segments that meet at one end, collinear: nothing either.
    const std::vector<Seg> chain = {{{0, 0, 0}, {2, 0, 0}}, {{2, 0, 0}, {5, 0, 0}}};
    EXPECT_TRUE(Sweep(chain).empty());
}

TEST(SegmentSweep, CollinearOverlapsAreTouchesNotCrossings)
{
    const std::vector<Seg> overlap = {{{0, 1, 0}, {4, 1, 0}}, {{2, 1, 0}, {6, 1, 0}}};
    auto reports = Sweep(overlap);
    ASSERT_EQ(reports.size(), 2u);
    std::vector<double> xs = {reports[0].point[0], reports[1].point[0]};
    std::sort(xs.begin(), xs.end());
    EXPECT_EQ(xs, (std::vector<double>{2, 4}));
    ExpectParameters(overlap, reports);

    const std::vector<Seg> inside = {{{0, 0, 0}, {0, 6, 0}}, {{0, 4, 0}, {0, 2, 0}}};
    reports = Sweep(inside);
    ASSERT_EQ(reports.size(), 2u);
    ExpectParameters(inside, reports);
}

// The collinear touch measured its parameter from the lower end of the
// segment on its dominant axis. For a segment running towards -u that is
// its far end: the point (3, 0) on (4, 0)-(0, 0) came back as t = 0.75
// instead of 0.25.
TEST(SegmentSweep, CollinearTouchParameterIsMeasuredFromTheStart)
{
    const std::vector<Seg> segs = {{{4, 0, 0}, {0, 0, 0}}, {{3, 0, 0}, {8, 0, 0}}};
    auto reports = Sweep(segs);
    ASSERT_EQ(reports.size(), 2u); // (3, 0) inside the first, (4, 0) inside the second
    for (const Report& r : reports) {
        if (r.point[0] == 3) {
            EXPECT_DOUBLE_EQ(r.first == 0 ? r.tFirst : r.tSecond, 0.25);
        } else {
            EXPECT_EQ(r.point[0], 4);
            EXPECT_DOUBLE_EQ(r.first == 1 ? r.tFirst : r.tSecond, 0.2);
        }
    }
    ExpectParameters(segs, reports);

    // The same along the sweep axis, with the caller's points reversed.
    const std::vector<Seg> vertical = {{{0, 0, 0}, {0, 4, 0}}, {{0, 8, 0}, {0, 3, 0}}};
    reports = Sweep(vertical);
    ASSERT_EQ(reports.size(), 2u);
    ExpectParameters(vertical, reports);
}

// A nearly parallel touch: the end (500, 9e-7) lies on the long segment's
// line within the tolerance, but the short segment's line crosses that line
// 225 units away. The ratio of the line equation at the ends would give
// t = 0.725 there; the parameter must place the reported point.
TEST(SegmentSweep, NearlyParallelTouchParameterPlacesThePoint)
{
    const std::vector<Seg> segs = {{{0, 0, 0}, {1000, 0, 0}}, {{500, 9e-7, 0}, {0, 9e-7 + 2e-6, 0}}};
    auto reports = Sweep(segs);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_DOUBLE_EQ(reports[0].point[0], 500);
    ExpectParameters(segs, reports, 0, 1, 2e-6);
}

TEST(SegmentSweep, OtherAxesAndTheExistenceTest)
{
    // In the (z, x) plane: u = z, s = x.
    const std::vector<Seg> segs = {{{0, 9, 0}, {2, 9, 2}}, {{2, 5, 0}, {0, 5, 2}}};
    auto reports = Sweep(segs, 2, 0);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_DOUBLE_EQ(reports[0].point[0], 1);
    EXPECT_DOUBLE_EQ(reports[0].point[2], 1);
    ExpectParameters(segs, reports, 2, 0);

    G3LineSegmentIntersector crossing(2, 0);
    for (const Seg& s : segs)
        crossing.AddSegment(s.p, s.q, nullptr);
    EXPECT_EQ(crossing.GetThirdAxis(), 1);
    EXPECT_TRUE(crossing.IntersectionExists());

    G3LineSegmentIntersector apart(0, 1);
    const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {0, 1, 0}, d[3] = {1, 1, 0};
    apart.AddSegment(a, b, nullptr);
    apart.AddSegment(c, d, nullptr);
    EXPECT_FALSE(apart.IntersectionExists());
    Recorder recorder;
    EXPECT_EQ(apart.FindIntersections(&recorder), 0);
    EXPECT_EQ(apart.FindIntersections(nullptr), 0);

    G3LineSegmentIntersector::TestLoader loader;
    EXPECT_FALSE(loader.IsFound());
    loader.LoadIntersection(a, nullptr, nullptr, 0, 0);
    EXPECT_TRUE(loader.IsFound());
    loader.Reset();
    EXPECT_FALSE(loader.IsFound());

    G3LineSegmentIntersector empty(0, 1);
    EXPECT_FALSE(empty.IntersectionExists());
}

TEST(SegmentSweep, RefusedSegments)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double a[3] = {0, 0, 0}, b[3] = {1, 1, 0};
    const double shortEnd[3] = {5e-7, 5e-7, 3}; // long only on the third axis
    const double bad[3] = {nan, 0, 0}, far[3] = {inf, 0, 0};
    G3LineSegmentIntersector sweep(0, 1);
    EXPECT_FALSE(sweep.AddSegment(a, shortEnd, nullptr));
    EXPECT_FALSE(sweep.AddSegment(a, bad, nullptr));
    EXPECT_FALSE(sweep.AddSegment(far, b, nullptr));
    EXPECT_FALSE(sweep.AddSegment(nullptr, b, nullptr));
    EXPECT_TRUE(sweep.AddSegment(a, b, nullptr));
    EXPECT_EQ(sweep.GetSegmentCount(), 1);

    for (auto axes : {std::pair<int, int>{1, 1}, {-1, 0}, {0, 3}}) {
        G3LineSegmentIntersector invalid(axes.first, axes.second);
        EXPECT_FALSE(invalid.AddSegment(a, b, nullptr));
        EXPECT_FALSE(invalid.IntersectionExists());
    }
}

TEST(SegmentSweep, SegmentRecord)
{
    const double p[3] = {3, 4, 9}, q[3] = {0, 0, 1};
    GMemoryAllocator arena;
    auto* seg = new (&arena) G3Segment(p, q, 0, 1, G3IndexToUserData(42), 7);
    EXPECT_TRUE(seg->IsReversed());
    EXPECT_EQ(seg->GetStart()[1], 0);
    EXPECT_EQ(seg->GetEnd()[2], 9);
    EXPECT_DOUBLE_EQ(seg->GetLength(), 5);
    EXPECT_DOUBLE_EQ(seg->GetA(), 0.8);
    EXPECT_DOUBLE_EQ(seg->GetB(), -0.6);
    EXPECT_NEAR(seg->Evaluate(p), 0.0, 1e-12);
    EXPECT_EQ(seg->GetDominantAxis(), 1);
    EXPECT_EQ(seg->GetLower(0), 0);
    EXPECT_EQ(seg->GetUpper(1), 4);
    EXPECT_EQ(G3UserDataToIndex(seg->GetUserData()), 42);
    EXPECT_EQ(seg->GetIndex(), 7);
    const double flatP[3] = {0, 2, 0}, flatQ[3] = {5, 2, 0};
    auto* flat = new (&arena) G3Segment(flatP, flatQ, 0, 1, nullptr, 0);
    EXPECT_FALSE(flat->IsReversed()); // equal s: the first point starts
    EXPECT_EQ(flat->GetDominantAxis(), 0);
}
