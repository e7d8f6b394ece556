// Exact predicates against integer oracles, and point location against a
// search of every triangle.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "mesh_checks.h"
#include "triangulation/locator.h"
#include "triangulation/predicates.h"
#include "triangulation/segment_inserter.h"
#include "triangulation/triangulator.h"

using namespace g3t_test;
using g3t_predicates::InCircle;
using g3t_predicates::InCircleExact;
using g3t_predicates::Orientation;
using g3t_predicates::OrientationExact;

namespace {

using i128 = __int128;

int Sign128(i128 v)
{
    return (v > 0) - (v < 0);
}

// Orientation of integer points, exact in 128 bits for |coordinates| < 2^60.
int OrientInt(i128 ax, i128 ay, i128 bx, i128 by, i128 cx, i128 cy)
{
    return Sign128((ax - cx) * (by - cy) - (ay - cy) * (bx - cx));
}

// In-circle of integer points, exact for |coordinates| < 2^24.
int InCircleInt(i128 ax, i128 ay, i128 bx, i128 by, i128 cx, i128 cy, i128 dx, i128 dy)
{
    i128 adx = ax - dx, ady = ay - dy, bdx = bx - dx, bdy = by - dy, cdx = cx - dx, cdy = cy - dy;
    i128 al = adx * adx + ady * ady, bl = bdx * bdx + bdy * bdy, cl = cdx * cdx + cdy * cdy;
    return Sign128(al * (bdx * cdy - cdx * bdy) + bl * (cdx * ady - adx * cdy) + cl * (adx * bdy - bdx * ady));
}

} // namespace

TEST(Predicates, OrientationOfNearlyCollinearPointsMatchesIntegerOracle)
{
    // Doubles in [1, 2) are integers times 2^-52: the oracle is exact.
    std::mt19937_64 rng(1);
    std::uniform_int_distribution<long long> mant(0, (1LL << 52) - 1);
    std::uniform_int_distribution<int> nudge(-3, 3);
    const double scale = std::ldexp(1.0, -52);
    int zero = 0;
    for (int i = 0; i < 20000; ++i) {
        long long ax = mant(rng), ay = mant(rng), bx = mant(rng), by = mant(rng);
        // c on (or a few units beside) the line a-b: near the midpoint.
        long long cx = (ax + bx) / 2, cy = (ay + by) / 2;
        if ((ax + bx) % 2 == 0 && (ay + by) % 2 == 0 && nudge(rng) == 0) {
            // exactly collinear
        } else {
            cy += nudge(rng);
        }
        auto d = [&](long long m) { return 1.0 + static_cast<double>(m) * scale; };
        int expected = OrientInt(ax, ay, bx, by, cx, cy);
        zero += expected == 0;
        ASSERT_EQ(Orientation(d(ax), d(ay), d(bx), d(by), d(cx), d(cy)), expected) << i;
        ASSERT_EQ(OrientationExact(d(ax), d(ay), d(bx), d(by), d(cx), d(cy)), expected) << i;
    }
    EXPECT_GT(zero, 100);
}

TEST(Predicates, InCircleOfNearlyCocircularPointsMatchesIntegerOracle)
{
    // Lattice points of x^2 + y^2 = 1105^2 (many), moved by a unit or not,
    // scaled by 2^-20 and offset by 2^4: still integers in units of 2^-20.
    std::vector<std::pair<int, int>> onCircle;
    const int r = 1105;
    for (int x = -r; x <= r; ++x) {
        int y2 = r * r - x * x;
        int y = static_cast<int>(std::lround(std::sqrt(static_cast<double>(y2))));
        if (y * y == y2) {
            onCircle.emplace_back(x, y);
            if (y != 0)
                onCircle.emplace_back(x, -y);
        }
    }
    ASSERT_GT(onCircle.size(), 20u);
    std::mt19937 rng(2);
    std::uniform_int_distribution<std::size_t> pick(0, onCircle.size() - 1);
    std::uniform_int_distribution<int> nudge(-1, 1);
    const double unit = std::ldexp(1.0, -20);
    const long long off = 1LL << 24;
    auto d = [&](long long v) { return static_cast<double>(v) * unit; };
    int zero = 0;
    for (int i = 0; i < 5000; ++i) {
        long long c[8];
        for (int k = 0; k < 4; ++k) {
            auto p = onCircle[pick(rng)];
            c[2 * k] = p.first + off;
            c[2 * k + 1] = p.second + off;
        }
        c[7] += nudge(rng);
        int expected = InCircleInt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
        zero += expected == 0;
        ASSERT_EQ(InCircle(d(c[0]), d(c[1]), d(c[2]), d(c[3]), d(c[4]), d(c[5]), d(c[6]), d(c[7])), expected);
        ASSERT_EQ(InCircleExact(d(c[0]), d(c[1]), d(c[2]), d(c[3]), d(c[4]), d(c[5]), d(c[6]), d(c[7])), expected);
        // The same points unscaled: integer coordinates.
        auto n = [](long long v) { return static_cast<double>(v); };
        ASSERT_EQ(InCircle(n(c[0]), n(c[1]), n(c[2]), n(c[3]), n(c[4]), n(c[5]), n(c[6]), n(c[7])), expected);
        ASSERT_EQ(OrientationExact(n(c[0]), n(c[1]), n(c[2]), n(c[3]), n(c[4]), n(c[5])),
                  OrientInt(c[0], c[1], c[2], c[3], c[4], c[5]));
    }
    EXPECT_GT(zero, 500);
}

TEST(Predicates, WideExponentRangeMatchesIntegerOracle)
{
    // Coordinates K * 2^-70 with K = m * 2^s (m < 2^53, s up to 9): one
    // call spans up to 62 bits, beyond the 60 of the 128-bit path, so the
    // multi-limb path answers; K < 2^62 keeps the oracle within 128 bits.
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<long long> mant(-(1LL << 53) + 1, (1LL << 53) - 1);
    std::uniform_int_distribution<int> shift(0, 9);
    std::uniform_int_distribution<int> nudge(-2, 2);
    int zero = 0;
    for (int i = 0; i < 20000; ++i) {
        long long k[6];
        for (long long& v : k)
            v = mant(rng) * (1LL << shift(rng));
        if (i % 2) {
            // c near the midpoint of a-b: many exact zeros and near misses.
            k[4] = k[0] / 2 + k[2] / 2;
            k[5] = k[1] / 2 + k[3] / 2 + nudge(rng);
            if (std::llabs(k[4]) >= (1LL << 53) || std::llabs(k[5]) >= (1LL << 53))
                continue; // keep every coordinate an exact double
        }
        auto d = [](long long v) { return std::ldexp(static_cast<double>(v), -70); };
        int expected = OrientInt(k[0], k[1], k[2], k[3], k[4], k[5]);
        zero += expected == 0;
        ASSERT_EQ(OrientationExact(d(k[0]), d(k[1]), d(k[2]), d(k[3]), d(k[4]), d(k[5])), expected) << i;
        ASSERT_EQ(Orientation(d(k[0]), d(k[1]), d(k[2]), d(k[3]), d(k[4]), d(k[5])), expected) << i;
    }
    EXPECT_GT(zero, 5);
}

TEST(Predicates, FilterAgreesWithExactOnRandomInput)
{
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> u(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        double v[8];
        for (double& x : v)
            x = u(rng);
        ASSERT_EQ(Orientation(v[0], v[1], v[2], v[3], v[4], v[5]),
                  OrientationExact(v[0], v[1], v[2], v[3], v[4], v[5]));
        ASSERT_EQ(InCircle(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]),
                  InCircleExact(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]));
    }
}

TEST(Predicates, ExtremeMagnitudes)
{
    // Products underflow or overflow in doubles; the signs stay exact.
    EXPECT_EQ(Orientation(1e-300, 0, 0, 1e-300, 0, 0), 1);
    EXPECT_EQ(Orientation(0, 1e-300, 1e-300, 0, 0, 0), -1);
    EXPECT_EQ(Orientation(1e300, 0, 0, 1e300, 0, 0), 1);
    EXPECT_EQ(Orientation(-1e300, 0, 0, -1e300, 0, 0), 1);
    EXPECT_EQ(Orientation(4.9e-324, 0, 0, 4.9e-324, 0, 0), 1);
    // Wide spread of exponents in one call: 1 + 2^-60 is not a double, so
    // use a point 2^-1000 off a line through points near 1e300.
    const double tiny = std::ldexp(1.0, -1000);
    EXPECT_EQ(Orientation(0, 0, 1e300, 1e300, 1, 1 + 0.0), 0);
    EXPECT_EQ(Orientation(0, 0, 1e300, 1e300, tiny, 0), -1);
    EXPECT_EQ(Orientation(0, 0, 1e300, 1e300, 0, tiny), 1);
    // Unit circle through (1,0), (0,1), (-1,0); (0,-1) on it, tiny moves.
    EXPECT_EQ(InCircle(1, 0, 0, 1, -1, 0, 0, -1), 0);
    EXPECT_EQ(InCircle(1, 0, 0, 1, -1, 0, 0, -1 + std::ldexp(1.0, -53)), 1);
    EXPECT_EQ(InCircle(1, 0, 0, 1, -1, 0, 0, -1 - std::ldexp(1.0, -52)), -1);
    EXPECT_EQ(InCircle(1e200, 0, 0, 1e200, -1e200, 0, 0, -1e200), 0);
    EXPECT_EQ(InCircle(1e200, 0, 0, 1e200, -1e200, 0, tiny, -1e200), -1);
    // Classic near-degenerate orientation: points near (0.5, 0.5) on the
    // line y = x through (12, 12) and (24, 24).
    for (int i = 0; i < 64; ++i) {
        for (int j = 0; j < 64; ++j) {
            double px = 0.5 + i * std::ldexp(1.0, -53);
            double py = 0.5 + j * std::ldexp(1.0, -53);
            int expected = (py > px) - (py < px); // left of the line y = x
            ASSERT_EQ(Orientation(12, 12, 24, 24, px, py), expected) << i << ' ' << j;
        }
    }
}

TEST(Locator, AgreesWithSearchOfEveryTriangle)
{
    for (int n : {40, 3000}) {
        SCOPED_TRACE(n);
        std::vector<Pt> p = UniformPoints(n, 21, 100.0);
        Filled f(p);
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        G3TLocator loc(&f.mesh);
        // Every vertex is found as a vertex (also 5e-9 away).
        for (std::size_t i = 0; i < p.size(); ++i) {
            G3TOTri h;
            ASSERT_EQ(loc.Locate(p[i].x, p[i].y, &h), G3TLocator::ON_VERTEX);
            EXPECT_EQ(g3t::Org(h), f.v[i]);
            ASSERT_EQ(loc.Locate(p[i].x + 5e-9, p[i].y - 5e-9, &h), G3TLocator::ON_VERTEX);
            EXPECT_EQ(g3t::Org(h), f.v[i]);
        }
        // Random points: inside ones lie in the returned triangle; outside
        // ones lie outside the hull.
        std::vector<Pt> hull = ConvexHull(p);
        std::mt19937_64 rng(9);
        std::uniform_real_distribution<double> u(-20.0, 120.0);
        int inside = 0, outside = 0;
        for (int i = 0; i < 2000; ++i) {
            double x = u(rng), y = u(rng);
            G3TOTri h;
            int r = loc.Locate(x, y, &h);
            bool inHull = true;
            for (std::size_t k = 0; k < hull.size(); ++k) {
                const Pt& a = hull[k];
                const Pt& b = hull[(k + 1) % hull.size()];
                if (OrientationExact(a.x, a.y, b.x, b.y, x, y) < 0)
                    inHull = false;
            }
            if (r == G3TLocator::OUTSIDE) {
                EXPECT_FALSE(inHull);
                ++outside;
                continue;
            }
            ASSERT_EQ(r, G3TLocator::INSIDE);
            EXPECT_TRUE(inHull);
            ++inside;
            for (G3TOTri s : {h, g3t::Lnext(h), g3t::Lprev(h)})
                EXPECT_GT(OrientationExact(g3t::Org(s)->GetX(), g3t::Org(s)->GetY(), g3t::Dest(s)->GetX(),
                                           g3t::Dest(s)->GetY(), x, y),
                          0);
        }
        EXPECT_GT(inside, 500);
        EXPECT_GT(outside, 500);
        // Edge midpoints of a lattice-free set are rarely exact; use a
        // vertical edge of known points instead below.
    }
}

TEST(Locator, EdgesSegmentsAndBadInput)
{
    Filled f(Lattice(5, 5, 1.0));
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    G3TLocator loc(&f.mesh);
    G3TOTri h;
    // (0.5, 0): on the hull edge from (0,0) to (1,0).
    ASSERT_EQ(loc.Locate(0.5, 0.0, &h), G3TLocator::ON_EDGE);
    EXPECT_EQ(g3t::Org(h)->GetY(), 0.0);
    EXPECT_EQ(g3t::Dest(h)->GetY(), 0.0);
    ASSERT_EQ(loc.Locate(2.0, 1.5, &h), G3TLocator::ON_EDGE);
    EXPECT_EQ(g3t::Org(h)->GetX(), 2.0);
    EXPECT_EQ(g3t::Dest(h)->GetX(), 2.0);
    EXPECT_EQ(loc.Locate(-0.1, 2.0, &h), G3TLocator::OUTSIDE);
    EXPECT_TRUE(f.mesh.IsOuter(h));
    EXPECT_EQ(loc.Locate(std::nan(""), 2.0, &h), G3TLocator::OUTSIDE);
    EXPECT_EQ(loc.Locate(1.0, 1.0, nullptr), G3TLocator::OUTSIDE);

    G3TMesh empty;
    G3TLocator el(&empty);
    EXPECT_EQ(el.Locate(0, 0, &h), G3TLocator::OUTSIDE);
}

TEST(Locator, StopsAtSegmentsWhenAsked)
{
    // A 21 x 21 lattice (800 triangles: the start comes from samples) with
    // a wall of segments along x = 10.
    const int n = 21;
    Filled f(Lattice(n, n, 1.0));
    G3TTriangulator tri(&f.mesh);
    ASSERT_TRUE(tri.Triangulate());
    G3TSegmentInserter ins(&f.mesh);
    ASSERT_TRUE(ins.Insert(f.v[10], f.v[static_cast<std::size_t>(20 * n + 10)]));
    // A triangle left of the wall with its origin at (10, 10): the nearest
    // start candidate to the query point, which lies right of the wall.
    G3TVertex* centre = f.v[static_cast<std::size_t>(10 * n + 10)];
    G3TOTri left{};
    for (G3TTriangle* t = f.mesh.FirstTriangle(); t; t = t->GetNext()) {
        for (int o = 0; o < 3; ++o) {
            G3TOTri c{t, o};
            if (g3t::Org(c) == centre && g3t::Dest(c)->GetX() <= 10.0 && g3t::Apex(c)->GetX() <= 10.0)
                left = c;
        }
    }
    ASSERT_NE(left.tri, nullptr);
    G3TLocator loc(&f.mesh);
    loc.SetRecent(left);
    G3TOTri h;
    EXPECT_EQ(loc.Locate(10.001, 10.0005, &h, true), G3TLocator::OUTSIDE);
    ASSERT_TRUE(f.mesh.HasSegment(h));
    EXPECT_EQ(g3t::Org(h)->GetX(), 10.0);
    EXPECT_EQ(g3t::Dest(h)->GetX(), 10.0);
    loc.SetRecent(left);
    EXPECT_EQ(loc.Locate(10.001, 10.0005, &h, false), G3TLocator::INSIDE);
}
