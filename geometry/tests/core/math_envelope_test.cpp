// GEnvelope and GRect: empty boxes, growth, outcodes, segment and box tests,
// transformation, and the integer rectangle.

#include "tessaly/math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

// Exposes the protected outcode.
class OutcodeBox : public GEnvelope {
public:
    using GEnvelope::ClipCode;
    using GEnvelope::GEnvelope;
};

std::vector<double> Corners(const GEnvelope& e)
{
    return {e.GetMinX(), e.GetMinY(), e.GetMinZ(), e.GetMaxX(), e.GetMaxY(), e.GetMaxZ()};
}

} // namespace

TEST(Envelope, DefaultStateAndGrowth)
{
    GEnvelope e;
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_EQ(Corners(e), (std::vector<double>{1, 1, 1, -1, -1, -1}));
    e.Extend(5.0); // extending nothing gives nothing
    EXPECT_TRUE(e.IsEmpty());
    const double p[3] = {5, 6, 7}, q[3] = {-1, 8, 2};
    GEnvelope::AddToDefault(&e, p);
    EXPECT_EQ(Corners(e), (std::vector<double>{5, 6, 7, 5, 6, 7}));
    e.Add(q);
    EXPECT_EQ(Corners(e), (std::vector<double>{-1, 6, 2, 5, 8, 7}));
    GEnvelope empty;
    e.Add(&empty);
    EXPECT_EQ(Corners(e), (std::vector<double>{-1, 6, 2, 5, 8, 7}));
    e.Extend();
    EXPECT_DOUBLE_EQ(e.GetMinX(), -1 - 1e-6);
    EXPECT_DOUBLE_EQ(e.GetMaxZ(), 7 + 1e-6);
    e.AddToMin(1, 0, 0);
    e.AddToMax(0, 0, -1);
    EXPECT_NEAR(e.GetMinX(), -1e-6, 1e-15);
    EXPECT_NEAR(e.GetMaxZ(), 6 + 1e-6, 1e-15);
    GEnvelope::InitDefault(&e);
    EXPECT_TRUE(e.IsEmpty());

    e.Init();
    EXPECT_EQ(Corners(e), (std::vector<double>(6, 0.0)));
    e.Add(p); // a zero box is a real box: it keeps the origin
    EXPECT_EQ(Corners(e), (std::vector<double>{0, 0, 0, 5, 6, 7}));
    const GEnvelope three(p, q, nullptr);
    EXPECT_EQ(Corners(three), (std::vector<double>{-1, 6, 2, 5, 8, 7}));
    EXPECT_EQ(three.GetMaxSize(), 6.0);
    EXPECT_EQ(three.GetMaxCoo(), 0);
}

TEST(Envelope, MainAxisTiesGoToX)
{
    GEnvelope e(0, 0, 0, 2, 2, 2);
    int i, j;
    e.GetMaxCoo(&i, &j);
    EXPECT_EQ(e.GetMaxCoo(), 0);
    EXPECT_EQ(i * 10 + j, 12);
    e.Set(0, 0, 0, 1, 3, 3);
    e.GetMaxCoo(&i, &j);
    EXPECT_EQ(e.GetMaxCoo(), 1);
    EXPECT_EQ(i * 10 + j, 2);
}

TEST(Envelope, OutcodesTestZMaximumOnlyAboveTheMinimum)
{
    OutcodeBox box(0, 0, 0, 1, 1, 1);
    const double below[3] = {-1, 0.5, -1}, inside[3] = {0.5, 0.5, 1}, above[3] = {2, 2, 2};
    EXPECT_EQ(box.ClipCode(below), 1 | 16);
    EXPECT_EQ(box.ClipCode(inside), 0);
    EXPECT_EQ(box.ClipCode(above), 2 | 8 | 32);
    box.Set(0, 0, 1, 1, 1, -1); // inverted z range: a point can be below and above
    const double z0[3] = {0.5, 0.5, 0};
    EXPECT_EQ(box.ClipCode(z0), 16);
}

TEST(Envelope, SegmentTests)
{
    const GEnvelope box(0, 0, 0, 1, 1, 1);
    const struct {
        double p[3], q[3];
        bool meets;
    } cases[] = {
        {{0.5, 0.5, 0.5}, {5, 5, 5}, true},         // one end inside
        {{-1, 0.5, 0.5}, {2, 0.5, 0.5}, true},      // passes through
        {{-1, 0.5, 2}, {0.5, -1, 2}, false},        // both beyond z max
        {{-0.5, 1.2, 0.5}, {1.2, -0.5, 0.5}, true}, // cuts a corner region
        {{-0.5, 0.8, 0.5}, {0.2, 1.5, 0.5}, false}, // passes the corner outside
        {{-1, 2, 0.5}, {2, -1, 0.5}, true},         // crosses along the diagonal
        {{-1, 0.5, 1.5}, {2, 0.5, 1.5}, false},     // parallel above the top face
        {{-1, 0, 0.5}, {1, 2, 0.5}, true},          // touches only the edge x = 0, y = 1
        {{-1, 0.1, 0.5}, {1, 2.1, 0.5}, false},     // passes just beyond that edge
    };
    for (const auto& c : cases) {
        EXPECT_EQ(box.ClipTest(c.p, c.q) == 0, c.meets) << c.p[0] << " " << c.p[1];
        EXPECT_EQ(box.ClipTest(c.q, c.p) == 0, c.meets);
    }
    // In xy only the z values do not matter.
    EXPECT_EQ(box.ClipTestXY(cases[6].p, cases[6].q), 0);
    EXPECT_NE(box.ClipTestXY(cases[4].p, cases[4].q), 0);
    GEnvelope empty;
    EXPECT_NE(empty.ClipTest(cases[1].p, cases[1].q), 0);
    EXPECT_EQ(box.ClipTest(nullptr, cases[1].q), -1);
}

TEST(Envelope, ClipToAnotherBoxGivesTheCommonBox)
{
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> d(-5, 5);
    int overlapping = 0;
    for (int n = 0; n < 200; ++n) {
        double a[6], b[6];
        for (int k = 0; k < 3; ++k) {
            const double a1 = d(rng), a2 = d(rng), b1 = d(rng), b2 = d(rng);
            a[k] = std::min(a1, a2), a[k + 3] = std::max(a1, a2);
            b[k] = std::min(b1, b2), b[k + 3] = std::max(b1, b2);
        }
        GEnvelope first(a[0], a[1], a[2], a[3], a[4], a[5]);
        const GEnvelope second(b[0], b[1], b[2], b[3], b[4], b[5]);
        bool meet = true;
        std::vector<double> common(6);
        for (int k = 0; k < 3; ++k) {
            common[k] = std::max(a[k], b[k]);
            common[k + 3] = std::min(a[k + 3], b[k + 3]);
            meet = meet && common[k] <= common[k + 3];
        }
        const int code = first.ClipTestXYZ(&second);
        EXPECT_EQ(first.IsIntersectXYZ(&second), meet);
        if (!meet) {
            EXPECT_EQ(code, INT_MIN);
            EXPECT_FALSE(first.ClipXYZ(&second, code));
            continue;
        }
        ++overlapping;
        ASSERT_TRUE(first.ClipXYZ(&second, code));
        EXPECT_EQ(Corners(first), common);
    }
    EXPECT_GT(overlapping, 20);
    const GEnvelope outer(0, 0, 0, 10, 10, 10), inner(1, 1, 1, 2, 2, 2);
    EXPECT_EQ(inner.ClipTestXYZ(&outer), 0);
    EXPECT_EQ(outer.ClipTestXYZ(&inner), 63);
}

TEST(Envelope, OverlapTouchAndDisjoint)
{
    const GEnvelope a(0, 0, 0, 1, 1, 1);
    const GEnvelope overlapping(0.5, 0.5, 0.5, 2, 2, 2);
    const GEnvelope touching(1, 0, 0, 2, 1, 1);
    const GEnvelope apartInZ(0, 0, 3, 1, 1, 4);
    const GEnvelope empty;
    EXPECT_TRUE(a.IsIntersectXYZ_Overlap(&overlapping));
    EXPECT_FALSE(a.IsIntersectXYZ_NoOverlap(&overlapping));
    EXPECT_TRUE(a.IsIntersectXYZ(&touching));
    EXPECT_FALSE(a.IsIntersectXYZ_Overlap(&touching));
    EXPECT_TRUE(a.IsIntersectXYZ_NoOverlap(&touching));
    EXPECT_FALSE(a.IsIntersectXYZ(&apartInZ));
    EXPECT_TRUE(a.IsIntersectXY(&apartInZ));
    EXPECT_FALSE(a.IsIntersectXYZ_NoOverlap(&apartInZ));
    const GEnvelope big(-9, -9, -9, 9, 9, 9);
    EXPECT_FALSE(big.IsIntersectXYZ(&empty));
    EXPECT_FALSE(big.IsIntersectXY(nullptr));
    EXPECT_EQ(big.ClipTestXYZ(&empty), INT_MIN);
}

TEST(Envelope, TransformMatchesTransformedCorners)
{
    std::mt19937 rng(6);
    std::uniform_real_distribution<double> d(-3, 3);
    for (int n = 0; n < 30; ++n) {
        double m[4][4];
        M4Identity(m);
        M4Scale(m, d(rng), d(rng), d(rng));
        M4RotateX(m, d(rng));
        M4RotateZ(m, d(rng));
        M4Translate(m, d(rng), d(rng), d(rng));
        GEnvelope box(-1, -2, 0, 1, 0.5, 3);
        GEnvelope expected;
        for (int c = 0; c < 8; ++c) {
            const double p[4] = {c & 1 ? 1.0 : -1.0, c & 2 ? 0.5 : -2.0, c & 4 ? 3.0 : 0.0, 1};
            double out[4];
            V4MulPointByMatrix(p, m, out);
            expected.Add(out);
        }
        box.Transform(m);
        const auto got = Corners(box), want = Corners(expected);
        for (int k = 0; k < 6; ++k)
            EXPECT_NEAR(got[k], want[k], 1e-12);
    }
}

TEST(Envelope, FormEnvelopeCopyAndDuplicate)
{
    const double a[3] = {1, 2, 3}, b[3] = {-1, 5, 0};
    const double* pts[2] = {a, b};
    GEnvelope e;
    ASSERT_TRUE(G3Math::FormEnvelope(pts, 2, &e));
    EXPECT_EQ(Corners(e), (std::vector<double>{-1, 2, 0, 1, 5, 3}));
    const double* withNull[2] = {a, nullptr};
    EXPECT_FALSE(e.FormEnvelope(withNull, 2));
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_FALSE(G3Math::FormEnvelope(pts, 0, &e));
    EXPECT_FALSE(G3Math::FormEnvelope(pts, 2, nullptr));

    GEnvelope source(1, 2, 3, 4, 5, 6);
    std::unique_ptr<GEnvelope> copy(source.Duplicate());
    EXPECT_EQ(Corners(*copy), Corners(source));
    GEnvelope target;
    GObj plain;
    target.Copy(&plain); // not an envelope: the box stays
    EXPECT_TRUE(target.IsEmpty());
    target.Copy(&source);
    EXPECT_EQ(Corners(target), Corners(source));
}

TEST(Rect, NormalizeSizesAndGrowth)
{
    GRect r(5, 7, 1, 2);
    EXPECT_EQ(r.GetWidth(), -4);
    r.Normalize();
    EXPECT_EQ(r.GetX1(), 1);
    EXPECT_EQ(r.GetY1(), 2);
    EXPECT_EQ(r.GetWidth(), 4);
    EXPECT_EQ(r.GetHeight(), 5);
    r.Add(-3, 10);
    const GRect expected(-3, 2, 5, 10);
    EXPECT_TRUE(r.Equals(&expected));
    EXPECT_FALSE(r.Equals(nullptr));
    const GRect wide(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(wide.GetWidth(), 4294967295L);
    std::unique_ptr<GRect> copy(r.Duplicate());
    EXPECT_TRUE(copy->Equals(&r));
}

TEST(Rect, ContainmentOverlapAndClip)
{
    const GRect base(0, 0, 10, 10);
    const struct {
        GRect other;
        int clipTest;
    } cases[] = {{GRect(2, 2, 8, 8), 0},     {GRect(0, 0, 10, 10), 0}, {GRect(5, 5, 15, 15), 1},
                 {GRect(10, 10, 12, 12), 1}, {GRect(-5, 0, 0, 10), 1}, {GRect(11, 0, 12, 10), 2},
                 {GRect(0, -5, 10, -1), 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(base.ClipTest(&c.other), c.clipTest);
        EXPECT_EQ(base.IntersectIn(&c.other), c.clipTest == 0);
        EXPECT_EQ(base.IntersectOut(&c.other), c.clipTest == 2);
        GRect clipped = base;
        EXPECT_EQ(clipped.Clip(&c.other), c.clipTest != 2);
        if (c.clipTest == 0) {
            EXPECT_TRUE(clipped.Equals(&c.other));
        } else if (c.clipTest == 2) {
            EXPECT_TRUE(clipped.Equals(&base));
        }
    }
    GRect r = base;
    ASSERT_TRUE(r.Clip(&cases[2].other));
    const GRect common(5, 5, 10, 10);
    EXPECT_TRUE(r.Equals(&common));
    EXPECT_EQ(base.ClipTest(nullptr), 2);
}
