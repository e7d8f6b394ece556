// The sweep against a brute-force reference on random segments.
//
// The segments have integer coordinates on the two projection axes (and a
// random third coordinate), and are made to produce the hard cases often:
// collinear overlaps, T-touches at inner lattice points, shared ends,
// reversed duplicates. On such a grid a point off a line is at least
// 1 / length away from it, far beyond the 1e-6 tolerance, so the
// reference can decide every pair exactly with integer arithmetic over all
// n (n - 1) / 2 pairs:
//
// - a proper crossing (each segment's ends strictly on both sides of the
//   other's line) is one report at the crossing point;
// - each end of one segment that lies on the other strictly between its
//   ends is one report at that end;
// - nothing else (in particular, ends that meet ends) is reported.
//
// The sweep must give the same pairs and points, and every parameter t of
// a report must lie in [0, 1] with p + t * (q - p) equal to the reported
// point on both segments, p and q as the caller gave them.

#include "tessaly/intervals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <numeric>
#include <random>
#include <vector>

namespace {

struct Seg {
    long long u1, s1, u2, s2; // the caller's p = (u1, s1), q = (u2, s2)
    double w1, w2;            // third coordinates of p and q
};

struct Event {
    double u, s;
    double w; // third coordinate of a touching end; NaN for a crossing
    bool crossing;
};

using PairKey = std::pair<int, int>;

long long Cross(long long au, long long as, long long bu, long long bs)
{
    return au * bs - as * bu;
}

int Orient(const Seg& a, long long u, long long s)
{
    const long long c = Cross(a.u2 - a.u1, a.s2 - a.s1, u - a.u1, s - a.s1);
    return c > 0 ? 1 : (c < 0 ? -1 : 0);
}

bool StrictlyInside(const Seg& a, long long u, long long s)
{
    if (Orient(a, u, s) != 0)
        return false;
    const long long du = a.u2 - a.u1, ds = a.s2 - a.s1;
    const long long along = (u - a.u1) * du + (s - a.s1) * ds;
    return along > 0 && along < du * du + ds * ds;
}

std::map<PairKey, std::vector<Event>> Reference(const std::vector<Seg>& segs)
{
    std::map<PairKey, std::vector<Event>> events;
    const double nan = std::nan("");
    for (int i = 0; i < static_cast<int>(segs.size()); ++i)
        for (int j = i + 1; j < static_cast<int>(segs.size()); ++j) {
            const Seg& a = segs[static_cast<std::size_t>(i)];
            const Seg& b = segs[static_cast<std::size_t>(j)];
            std::vector<Event> found;
            const int oa1 = Orient(b, a.u1, a.s1), oa2 = Orient(b, a.u2, a.s2);
            const int ob1 = Orient(a, b.u1, b.s1), ob2 = Orient(a, b.u2, b.s2);
            if (oa1 * oa2 < 0 && ob1 * ob2 < 0) {
                const double t = static_cast<double>(Cross(b.u1 - a.u1, b.s1 - a.s1, b.u2 - b.u1, b.s2 - b.s1)) /
                    static_cast<double>(Cross(a.u2 - a.u1, a.s2 - a.s1, b.u2 - b.u1, b.s2 - b.s1));
                found.push_back({a.u1 + t * static_cast<double>(a.u2 - a.u1),
                                 a.s1 + t * static_cast<double>(a.s2 - a.s1), nan, true});
            }
            if (StrictlyInside(b, a.u1, a.s1))
                found.push_back({double(a.u1), double(a.s1), a.w1, false});
            if (StrictlyInside(b, a.u2, a.s2))
                found.push_back({double(a.u2), double(a.s2), a.w2, false});
            if (StrictlyInside(a, b.u1, b.s1))
                found.push_back({double(b.u1), double(b.s1), b.w1, false});
            if (StrictlyInside(a, b.u2, b.s2))
                found.push_back({double(b.u2), double(b.s2), b.w2, false});
            if (!found.empty())
                events[{i, j}] = found;
        }
    return events;
}

struct Report {
    double point[3];
    int first, second;
    double tFirst, tSecond;
};

class Recorder : public G3IntersectionPointLoader {
public:
    void LoadIntersection(const double* point, void* dataFirst, void* dataSecond, double tFirst,
                          double tSecond) override
    {
        reports.push_back({{point[0], point[1], point[2]},
                           static_cast<int>(G3UserDataToIndex(dataFirst)),
                           static_cast<int>(G3UserDataToIndex(dataSecond)),
                           tFirst,
                           tSecond});
    }
    std::vector<Report> reports;
};

// Random segments on a grid of size g that often overlap, touch and share.
std::vector<Seg> RandomSegments(std::mt19937& rng, int count, int g, int maxLength)
{
    auto uniform = [&rng](long long lo, long long hi) { return std::uniform_int_distribution<long long>(lo, hi)(rng); };
    auto height = [&rng]() { return std::uniform_real_distribution<double>(-5, 5)(rng); };
    std::vector<Seg> segs;
    while (static_cast<int>(segs.size()) < count) {
        Seg s{};
        const int kind = segs.empty() ? 0 : static_cast<int>(uniform(0, 9));
        const Seg& old =
            segs.empty() ? s : segs[static_cast<std::size_t>(uniform(0, static_cast<long long>(segs.size()) - 1))];
        const long long du = old.u2 - old.u1, ds = old.s2 - old.s1;
        const long long steps = std::gcd(std::llabs(du), std::llabs(ds));
        s.u1 = uniform(0, g);
        s.s1 = uniform(0, g);
        s.u2 = s.u1 + uniform(-maxLength, maxLength);
        s.s2 = s.s1 + uniform(-maxLength, maxLength);
        if (kind == 1 || kind == 2) {
            // Collinear with an old segment, overlapping, touching or apart.
            const long long a = uniform(-3, steps + 3), b = uniform(-3, steps + 3);
            s.u1 = old.u1 + a * (du / steps);
            s.s1 = old.s1 + a * (ds / steps);
            s.u2 = old.u1 + b * (du / steps);
            s.s2 = old.s1 + b * (ds / steps);
        } else if (kind == 3 && steps >= 2) {
            // A T: from an inner lattice point of an old segment.
            const long long a = uniform(1, steps - 1);
            s.u1 = old.u1 + a * (du / steps);
            s.s1 = old.s1 + a * (ds / steps);
        } else if (kind == 4) {
            // A shared end.
            s.u1 = old.u2;
            s.s1 = old.s2;
        } else if (kind == 5) {
            // The old segment again, reversed.
            s = {old.u2, old.s2, old.u1, old.s1, 0, 0};
        }
        if (s.u1 == s.u2 && s.s1 == s.s2)
            continue;
        s.w1 = height();
        s.w2 = height();
        segs.push_back(s);
    }
    return segs;
}

void Place(const Seg& seg, int u, int s, int w, double* p, double* q)
{
    p[u] = double(seg.u1);
    p[s] = double(seg.s1);
    p[w] = seg.w1;
    q[u] = double(seg.u2);
    q[s] = double(seg.s2);
    q[w] = seg.w2;
}

// p + t * (q - p) of the caller's segment on the two projection axes.
void ExpectOnSegment(const Seg& seg, double t, const Report& r, int u, int s)
{
    EXPECT_GE(t, 0.0);
    EXPECT_LE(t, 1.0);
    EXPECT_NEAR(double(seg.u1) + t * double(seg.u2 - seg.u1), r.point[u], 1e-9);
    EXPECT_NEAR(double(seg.s1) + t * double(seg.s2 - seg.s1), r.point[s], 1e-9);
}

void CompareWithReference(const std::vector<Seg>& segs, int u, int s)
{
    const int w = 3 - u - s;
    G3LineSegmentIntersector sweep(u, s);
    for (std::size_t i = 0; i < segs.size(); ++i) {
        double p[3], q[3];
        Place(segs[i], u, s, w, p, q);
        ASSERT_TRUE(sweep.AddSegment(p, q, G3IndexToUserData(static_cast<std::intptr_t>(i))));
    }
    Recorder recorder;
    sweep.FindIntersections(&recorder);
    const auto reference = Reference(segs);

    std::map<PairKey, std::vector<Report>> found;
    for (const Report& r : recorder.reports) {
        ASSERT_NE(r.first, r.second);
        ExpectOnSegment(segs[static_cast<std::size_t>(r.first)], r.tFirst, r, u, s);
        ExpectOnSegment(segs[static_cast<std::size_t>(r.second)], r.tSecond, r, u, s);
        found[{std::min(r.first, r.second), std::max(r.first, r.second)}].push_back(r);
    }

    EXPECT_EQ(found.size(), reference.size()) << "pairs reported";
    for (const auto& [key, events] : reference) {
        auto got = found.find(key);
        if (got == found.end()) {
            ADD_FAILURE() << "pair " << key.first << "-" << key.second << " not reported";
            continue;
        }
        EXPECT_EQ(got->second.size(), events.size()) << "pair " << key.first << "-" << key.second;
        std::vector<bool> used(got->second.size(), false);
        for (const Event& e : events) {
            bool matched = false;
            for (std::size_t k = 0; k < got->second.size() && !matched; ++k) {
                const Report& r = got->second[k];
                if (used[k] || std::fabs(r.point[u] - e.u) > 1e-9 || std::fabs(r.point[s] - e.s) > 1e-9)
                    continue;
                used[k] = matched = true;
                if (e.crossing) {
                    // The inserted segment's third coordinate, interpolated.
                    const Seg& first = segs[static_cast<std::size_t>(r.first)];
                    EXPECT_NEAR(r.point[w], first.w1 + r.tFirst * (first.w2 - first.w1), 1e-9);
                } else {
                    EXPECT_EQ(r.point[w], e.w) << "a touch reports the end itself";
                }
            }
            EXPECT_TRUE(matched) << "pair " << key.first << "-" << key.second << " misses (" << e.u << ", " << e.s
                                 << ")";
        }
    }
    for (const auto& [key, reports] : found)
        EXPECT_TRUE(reference.count(key)) << "pair " << key.first << "-" << key.second << " reported wrongly";

    G3LineSegmentIntersector exists(u, s);
    for (const Seg& seg : segs) {
        double p[3], q[3];
        Place(seg, u, s, w, p, q);
        exists.AddSegment(p, q, nullptr);
    }
    EXPECT_EQ(exists.IntersectionExists(), !reference.empty());
}

const std::pair<int, int> kAxes[6] = {{0, 1}, {1, 0}, {0, 2}, {2, 0}, {1, 2}, {2, 1}};

} // namespace

TEST(SegmentSweepReference, SmallDenseSets)
{
    std::mt19937 rng(4242);
    for (int trial = 0; trial < 300; ++trial) {
        SCOPED_TRACE(trial);
        const auto [u, s] = kAxes[trial % 6];
        const int count = std::uniform_int_distribution<int>(2, 40)(rng);
        CompareWithReference(RandomSegments(rng, count, 8, 6), u, s);
    }
}

TEST(SegmentSweepReference, LargerSparseSets)
{
    std::mt19937 rng(17);
    for (int trial = 0; trial < 3; ++trial) {
        SCOPED_TRACE(trial);
        const auto [u, s] = kAxes[(trial * 5) % 6];
        CompareWithReference(RandomSegments(rng, 1500, 300, 25), u, s);
    }
}
