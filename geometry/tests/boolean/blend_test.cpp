// Edge and corner blends against the volumes of their polygonal and round
// profiles: closed results, material lost at convex edges and corners,
// gained at concave ones, and refusals that leave the input alone.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "tessaly/boolean.h"
#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"
#include "voxel_bodies.h"

namespace {

// The area between a right-angled corner and its blend arc of radius r cut
// in n straight segments (the kite of the tangent lines minus the polygon
// of the arc), and the same for the true quarter circle.
double ProfileArea(double r, int n)
{
    return r * r - 0.5 * n * r * r * std::sin(M_PI / 2 / n);
}
double RoundProfileArea(double r)
{
    return r * r * (1 - M_PI / 4);
}

void ExpectClosed(G3Surface* s)
{
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_TRUE(s->GetClosed());
    EXPECT_EQ(EulerCharacteristic(s), 2);
}

} // namespace

TEST(Blend, ConvexAndConcaveEdgesMatchTheirProfiles)
{
    G3BooleanCalculator calc;
    struct Case {
        double r;
        int segments;
        bool reversed;
    };
    for (const Case& c : {Case{0.5, 1, false}, Case{0.5, 8, false}, Case{0.3, 16, true}}) {
        SCOPED_TRACE(c.segments);
        // The cube's edge along x at y = z = 0 loses the profile over its
        // length 2.
        std::unique_ptr<G3Surface> cube(MakeCube(2.0));
        double a[3] = {0, 0, 0}, b[3] = {2, 0, 0};
        std::unique_ptr<G3Surface> r(c.reversed ? calc.Blend(cube.get(), b, a, c.r, c.r, c.segments)
                                                : calc.Blend(cube.get(), a, b, c.r, c.r, c.segments));
        ExpectClosed(r.get());
        EXPECT_NEAR(DivergenceVolume(r.get()), 8 - 2 * ProfileArea(c.r, c.segments), 1e-9);
        EXPECT_NEAR(DivergenceVolume(cube.get()), 8, 1e-12) << "the input changed";
        // The arc's chord error bounds the distance to the true round.
        const double sag = c.r * (1 - std::cos(M_PI / 4 / c.segments));
        EXPECT_NEAR(DivergenceVolume(r.get()), 8 - 2 * RoundProfileArea(c.r), 2 * sag * c.r * M_PI / 2 + 1e-9);

        // The inner edge of an L-prism (x = y = 1, z from 0 to 1) gains it.
        std::unique_ptr<G3Surface> l(MakeVoxelBody({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
        double p[3] = {1, 1, 0}, q[3] = {1, 1, 1};
        std::unique_ptr<G3Surface> filled(calc.Blend(l.get(), p, q, c.r, c.r, c.segments));
        ExpectClosed(filled.get());
        EXPECT_NEAR(DivergenceVolume(filled.get()), 3 + ProfileArea(c.r, c.segments), 1e-9);
    }

    // A taper from radius 0.2 to 0.4 loses between the two straight prisms.
    std::unique_ptr<G3Surface> cube(MakeCube(2.0));
    double a[3] = {0, 0, 0}, b[3] = {2, 0, 0};
    std::unique_ptr<G3Surface> taper(calc.Blend(cube.get(), a, b, 0.2, 0.4, 4));
    ExpectClosed(taper.get());
    const double lost = 8 - DivergenceVolume(taper.get());
    EXPECT_GT(lost, 2 * ProfileArea(0.2, 4));
    EXPECT_LT(lost, 2 * ProfileArea(0.4, 4));
}

TEST(Blend, CornersAfterTheirEdgesAndAlone)
{
    G3BooleanCalculator calc;
    const double r = 0.5;
    const int n = 12;
    // The three edges at the origin, each from where the earlier blends left
    // it, then the corner: a sphere octant joins the three rounds.
    std::unique_ptr<G3Surface> s(MakeCube(2.0));
    double o[3] = {0, 0, 0}, x[3] = {2, 0, 0}, y0[3] = {0, r, 0}, y[3] = {0, 2, 0}, z0[3] = {0, 0, r}, z[3] = {0, 0, 2};
    s.reset(calc.Blend(s.get(), o, x, r, r, n));
    ASSERT_NE(s, nullptr);
    s.reset(calc.Blend(s.get(), y0, y, r, r, n));
    ASSERT_NE(s, nullptr);
    s.reset(calc.Blend(s.get(), z0, z, r, r, n));
    ASSERT_NE(s, nullptr);
    std::unique_ptr<G3Surface> rounded(calc.BlendCorner(s.get(), o, r, n));
    ExpectClosed(rounded.get());
    // Three polygonal edge strips beyond the corner cell, and the cell less
    // the sphere octant (round, within the facets' sag).
    const double removed = 3 * (2 - r) * ProfileArea(r, n) + r * r * r * (1 - M_PI / 6);
    EXPECT_NEAR(8 - DivergenceVolume(rounded.get()), removed, 0.02 * r * r * r);
    // Nothing is left of the cell outside the sphere.
    for (int k = 0; k < rounded->GetVertexCount(); ++k) {
        const double* v = rounded->GetVertex(k)->GetXYZ();
        if (v[0] < r && v[1] < r && v[2] < r) {
            EXPECT_NEAR(std::hypot(v[0] - r, v[1] - r, v[2] - r), r, 1e-9) << "vertex " << k;
        }
    }

    // A sharp corner alone: the cell less the octant.
    std::unique_ptr<G3Surface> cube(MakeCube(2.0));
    std::unique_ptr<G3Surface> tip(calc.BlendCorner(cube.get(), o, r, n));
    ExpectClosed(tip.get());
    EXPECT_NEAR(8 - DivergenceVolume(tip.get()), r * r * r * (1 - M_PI / 6), 0.02 * r * r * r);

    // The concave corner of a notched cube gains the same shape.
    std::unique_ptr<G3Surface> notched(
        MakeVoxelBody({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}}));
    double inner[3] = {1, 1, 1};
    std::unique_ptr<G3Surface> filled(calc.BlendCorner(notched.get(), inner, r, n));
    ExpectClosed(filled.get());
    EXPECT_NEAR(DivergenceVolume(filled.get()) - 7, r * r * r * (1 - M_PI / 6), 0.02 * r * r * r);
}

TEST(Blend, RefusalsLeaveTheInputAlone)
{
    G3BooleanCalculator calc;
    std::unique_ptr<G3Surface> cube(MakeCube(2.0));
    double a[3] = {0, 0, 0}, b[3] = {2, 0, 0}, diagonal[3] = {2, 2, 0}, nan[3] = {NAN, 0, 0};
    EXPECT_EQ(calc.Blend(nullptr, a, b, 0.5, 0.5, 4), nullptr);
    EXPECT_EQ(calc.Blend(cube.get(), nullptr, b, 0.5, 0.5, 4), nullptr);
    EXPECT_EQ(calc.Blend(cube.get(), a, diagonal, 0.5, 0.5, 4), nullptr) << "no such edge";
    EXPECT_EQ(calc.Blend(cube.get(), nan, b, 0.5, 0.5, 4), nullptr);
    EXPECT_EQ(calc.Blend(cube.get(), a, b, 0, 0.5, 4), nullptr);
    EXPECT_EQ(calc.Blend(cube.get(), a, b, 0.5, -1, 4), nullptr);
    EXPECT_EQ(calc.Blend(cube.get(), a, b, 0.5, 0.5, 0), nullptr);
    EXPECT_EQ(calc.BlendCorner(cube.get(), a, 0, 4), nullptr);
    double onEdge[3] = {1, 0, 0};
    EXPECT_EQ(calc.BlendCorner(cube.get(), onEdge, 0.5, 4), nullptr) << "two planes are no corner";
    EXPECT_EQ(calc.BlendCorner(nullptr, a, 0.5, 4), nullptr);
    EXPECT_NEAR(DivergenceVolume(cube.get()), 8, 1e-12);
    EXPECT_EQ(ValidateTopology(cube.get()), "");

    // Two coplanar facets (a split face) have nothing to round; an open
    // edge has one facet only.
    std::unique_ptr<G3Surface> split(MakeVoxelBody({{0, 0, 0}, {1, 0, 0}}));
    double m0[3] = {1, 0, 0}, m1[3] = {1, 0, 1};
    if (G3Surface* none = calc.Blend(split.get(), m0, m1, 0.2, 0.2, 4)) {
        ADD_FAILURE() << "a flat edge was blended";
        delete none;
    }
}
