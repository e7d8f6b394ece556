// Roofs over non-convex outlines against CGAL's straight skeleton: with one
// slope for every edge the roof is the skeleton lifted by tan(slope), so
// every roof corner is a skeleton node at height time * tan(slope), every
// node lies on the roof, and at any point inside the roof's height is the
// distance to the edge of the skeleton face holding it, times tan(slope).
// Convex outlines with a slope per edge are checked against the lower
// envelope of the edge planes.
#include <gtest/gtest.h>

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/create_straight_skeleton_2.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "roof_test_support.h"
#include "topology_validator.h"

using namespace rooftest;

namespace {
using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using Skeleton = CGAL::Straight_skeleton_2<K>;

struct SkeletonFace {
    std::vector<Point> loop; // plan points of the face
    Point a, b;              // its contour edge
};

struct SkeletonRoof {
    std::vector<Point> nodes; // x, y, time
    std::vector<SkeletonFace> faces;
};

SkeletonRoof Skeletonize(const Outline& ccw)
{
    std::vector<K::Point_2> points;
    for (const Point& p : ccw)
        points.emplace_back(p[0], p[1]);
    SkeletonRoof out;
    auto ss = CGAL::create_interior_straight_skeleton_2(points.begin(), points.end(), K());
    if (!ss)
        return out;
    for (auto v = ss->vertices_begin(); v != ss->vertices_end(); ++v)
        if (v->is_skeleton())
            out.nodes.push_back({CGAL::to_double(v->point().x()), CGAL::to_double(v->point().y()), v->time()});
    for (auto f = ss->faces_begin(); f != ss->faces_end(); ++f) {
        SkeletonFace face;
        auto h = f->halfedge();
        auto toPoint = [](const K::Point_2& p) { return Point{CGAL::to_double(p.x()), CGAL::to_double(p.y()), 0}; };
        face.a = toPoint(h->opposite()->vertex()->point());
        face.b = toPoint(h->vertex()->point());
        auto g = h;
        do {
            face.loop.push_back(toPoint(g->vertex()->point()));
            g = g->next();
        } while (g != h);
        out.faces.push_back(face);
    }
    return out;
}

// The skeleton roof's height over (x, y): the distance to the contour edge
// of the face that holds the point, times the slope factor; -1 when no face
// holds it clearly.
double SkeletonHeight(const SkeletonRoof& sk, double x, double y, double rise)
{
    for (const SkeletonFace& f : sk.faces)
        if (BorderDistance(f.loop, x, y) > 1e-6 && PlanInside(f.loop, x, y))
            return std::fabs(LeftDistance(f.a, f.b, x, y)) * rise;
    return -1;
}

// The roof of the outline with one slope, checked against the skeleton.
void CheckAgainstSkeleton(const Outline& ccw, double slope, const std::string& what, int samples = 60)
{
    SCOPED_TRACE(what);
    const double rise = std::tan(slope), tol = 1e-6;
    G3Surface s;
    G3RoofGenerator g(&s);
    ASSERT_TRUE(g.Regen(ccw, std::vector<double>(ccw.size(), slope)));
    EXPECT_EQ(ValidateTopology(&s), "");
    const SkeletonRoof sk = Skeletonize(ccw);
    ASSERT_FALSE(sk.nodes.empty());

    // The facets cover the outline once: their plan areas add up to it.
    double area = 0, top = 0;
    for (int k = 0; k < s.GetFacetCount(); ++k) {
        const std::vector<Point> loop = FacetPoints(s.GetFacet(k));
        area += PlanArea(loop);
        for (const Point& p : loop) {
            top = std::max(top, p[2]);
            // Every roof corner above the eave is a skeleton node.
            if (p[2] < tol)
                continue;
            double nearest = 1e300;
            for (const Point& n : sk.nodes)
                nearest = std::min(nearest, std::hypot(std::hypot(n[0] - p[0], n[1] - p[1]), n[2] * rise - p[2]));
            EXPECT_LT(nearest, tol) << "corner " << p[0] << " " << p[1] << " " << p[2];
        }
    }
    EXPECT_NEAR(area, PlanArea(ccw), 1e-9 * std::fabs(PlanArea(ccw)));
    double skeletonTop = 0;
    for (const Point& n : sk.nodes)
        skeletonTop = std::max(skeletonTop, n[2] * rise);
    EXPECT_NEAR(top, skeletonTop, tol);
    // Every skeleton node lies on the roof: on or in some facet, at the
    // facet plane's height there.
    for (const Point& n : sk.nodes) {
        bool onRoof = false;
        for (int k = 0; k < s.GetFacetCount() && !onRoof; ++k) {
            const std::vector<Point> loop = FacetPoints(s.GetFacet(k));
            onRoof = (BorderDistance(loop, n[0], n[1]) < tol || PlanInside(loop, n[0], n[1])) &&
                std::fabs(PlaneZ(s.GetFacet(k), n[0], n[1]) - n[2] * rise) < tol;
        }
        EXPECT_TRUE(onRoof) << "node " << n[0] << " " << n[1] << " " << n[2];
    }

    // Every facet lies in the plane of its outline edge: section id i + 1
    // belongs to the edge from point i to point i + 1 of this
    // counter-clockwise outline.
    for (int k = 0; k < s.GetFacetCount(); ++k) {
        const long id = G3RoofGenerator::GetFacetIndex(s.GetFacet(k));
        ASSERT_GE(id, 1);
        ASSERT_LE(id, static_cast<long>(ccw.size()));
        const Point& a = ccw[static_cast<std::size_t>(id - 1)];
        const Point& b = ccw[static_cast<std::size_t>(id) % ccw.size()];
        for (const Point& p : FacetPoints(s.GetFacet(k)))
            EXPECT_NEAR(p[2], LeftDistance(a, b, p[0], p[1]) * rise, tol);
    }

    // At points inside, one facet holds the point, at the skeleton's height.
    std::mt19937 rng(7);
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    for (const Point& p : ccw)
        for (int k = 0; k < 2; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    std::uniform_real_distribution<double> ux(lo[0], hi[0]), uy(lo[1], hi[1]);
    int n = 0;
    for (int tries = 0; n < samples && tries < 100 * samples; ++tries) {
        const double x = ux(rng), y = uy(rng);
        if (!PlanInside(ccw, x, y) || BorderDistance(ccw, x, y) < 1e-3 || FacetBorderDistance(&s, x, y) < 1e-6)
            continue;
        const double expected = SkeletonHeight(sk, x, y, rise);
        if (expected < 0)
            continue;
        ++n;
        const HeightAt h = RoofHeight(&s, x, y);
        EXPECT_EQ(h.facets, 1) << x << " " << y;
        EXPECT_NEAR(h.z, expected, tol) << x << " " << y;
    }
    EXPECT_GE(n, samples / 2);
}

Outline Scaled(const std::vector<std::array<double, 2>>& xy)
{
    Outline o;
    for (const auto& p : xy)
        o.push_back({p[0], p[1], 0});
    return o;
}
} // namespace

TEST(RoofSkeleton, LShapedOutlines)
{
    // Arms of equal and of different widths: the ring splits where it first
    // touches itself, and each part goes on to its own ridge.
    CheckAgainstSkeleton(Scaled({{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 3}, {0, 3}}), M_PI / 6, "L equal arms");
    CheckAgainstSkeleton(Scaled({{0, 0}, {5, 0}, {5, 1}, {2, 1}, {2, 4}, {0, 4}}), M_PI / 4, "L wide arm");
    CheckAgainstSkeleton(Scaled({{0, 0}, {12, 0}, {12, 3}, {4, 3}, {4, 9}, {0, 9}}), 0.5, "L long arms");
}

TEST(RoofSkeleton, TAndUShapedOutlines)
{
    CheckAgainstSkeleton(Scaled({{0, 0}, {9, 0}, {9, 2}, {5.5, 2}, {5.5, 7}, {3.5, 7}, {3.5, 2}, {0, 2}}), M_PI / 5,
                         "T");
    CheckAgainstSkeleton(Scaled({{0, 0}, {10, 0}, {10, 6}, {7, 6}, {7, 2}, {3, 2}, {3, 6}, {0, 6}}), M_PI / 6, "U");
    // A U whose notch is narrower than its arms: the arms' ridges and the
    // notch's valley.
    CheckAgainstSkeleton(Scaled({{0, 0}, {10, 0}, {10, 6}, {5.5, 6}, {5.5, 3}, {4.5, 3}, {4.5, 6}, {0, 6}}), M_PI / 6,
                         "narrow U");
}

TEST(RoofSkeleton, RandomOrthogonalOutlines)
{
    int checked = 0;
    for (int vertices : {10, 16, 24, 40, 60})
        for (unsigned seed = 1; seed <= 6; ++seed) {
            OrthogonalOutline o(vertices, seed * 977 + static_cast<unsigned>(vertices), true);
            if (!o.Ok())
                continue;
            ++checked;
            CheckAgainstSkeleton(o.Get(), 0.3 + 0.1 * seed,
                                 "uneven grid, " + std::to_string(vertices) + " corners, seed " + std::to_string(seed),
                                 30);
        }
    EXPECT_GE(checked, 25);
}

TEST(RoofSkeleton, RandomOrthogonalOutlinesOnAUnitGrid)
{
    // Unit spacing: corridors of one width collapse together and reflex
    // corners meet head on, all at the same heights.
    int checked = 0;
    for (int vertices : {12, 20, 32})
        for (unsigned seed = 1; seed <= 5; ++seed) {
            OrthogonalOutline o(vertices, seed * 131 + static_cast<unsigned>(vertices), false);
            if (!o.Ok())
                continue;
            ++checked;
            CheckAgainstSkeleton(o.Get(), M_PI / 4,
                                 "unit grid, " + std::to_string(vertices) + " corners, seed " + std::to_string(seed),
                                 30);
        }
    EXPECT_GE(checked, 12);
}

TEST(RoofSkeleton, RandomStarShapedOutlines)
{
    // Outlines in general position: points at random radii around the
    // origin, many reflex corners and no two edges parallel by design.
    for (int vertices : {12, 24, 48})
        for (unsigned seed = 1; seed <= 8; ++seed) {
            std::mt19937 rng(seed * 7919 + static_cast<unsigned>(vertices));
            std::uniform_real_distribution<double> radius(3, 10), jitter(-0.4, 0.4);
            Outline o;
            for (int k = 0; k < vertices; ++k) {
                const double a = (k + 0.5 + jitter(rng)) * 2 * M_PI / vertices;
                const double r = radius(rng);
                o.push_back({r * std::cos(a), r * std::sin(a), 0});
            }
            CheckAgainstSkeleton(o, 0.6, "star, " + std::to_string(vertices) + " points, seed " + std::to_string(seed),
                                 30);
        }
}

TEST(RoofSkeleton, RandomConvexOutlinesWithOwnSlopes)
{
    // Over a convex outline the roof is the lower envelope of the edge
    // planes: min over edges of distance * tan(slope).
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<double> slope(0.2, 1.3);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const Outline o = RandomConvex(3 + round % 12, 5 + round, rng);
        std::vector<double> slopes;
        for (std::size_t k = 0; k < o.size(); ++k)
            slopes.push_back(slope(rng));
        G3Surface s;
        G3RoofGenerator g(&s);
        ASSERT_TRUE(g.Regen(o, slopes));
        double area = 0;
        for (int k = 0; k < s.GetFacetCount(); ++k)
            area += PlanArea(FacetPoints(s.GetFacet(k)));
        EXPECT_NEAR(area, PlanArea(o), 1e-9 * PlanArea(o));
        std::uniform_real_distribution<double> u(-(5.0 + round), 5.0 + round);
        for (int n = 0, tries = 0; n < 50 && tries < 5000; ++tries) {
            const double x = u(rng), y = u(rng);
            if (!PlanInside(o, x, y) || FacetBorderDistance(&s, x, y) < 1e-6)
                continue;
            ++n;
            const HeightAt h = RoofHeight(&s, x, y);
            EXPECT_EQ(h.facets, 1);
            EXPECT_NEAR(h.z, LowerEnvelope(o, slopes, x, y), 1e-6);
        }
    }
}
