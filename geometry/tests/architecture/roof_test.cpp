// Roofs over simple outlines: the hipped and the gable rectangle measured
// exactly, the turning sense of the outline, the options (thickness with its
// faces and bands, overhang, an outline far from the origin, a building in
// millimetres), and bad input that must leave the target as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "roof_test_support.h"
#include "test_bodies.h"
#include "topology_validator.h"

using namespace rooftest;

namespace {
const double kTol = 1e-9;

// The rectangle [0, 10] x [0, 4], clockwise from the origin: the edge that
// ends at point i has section id i + 1 (1 bottom, 2 left, 3 top, 4 right).
Outline Rectangle()
{
    return {{0, 0, 0}, {0, 4, 0}, {10, 4, 0}, {10, 0, 0}};
}

std::map<int, int> TypeCounts(G3Surface* s)
{
    std::map<int, int> counts;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        ++counts[G3RoofGenerator::GetFacetType(s->GetFacet(k))];
    return counts;
}

G3Facet* FacetOfSection(G3Surface* s, long id, ROOF_FACET_TYPE type = ROOF_FACET_UPPER)
{
    for (int k = 0; k < s->GetFacetCount(); ++k)
        if (G3RoofGenerator::GetFacetIndex(s->GetFacet(k)) == id &&
            G3RoofGenerator::GetFacetType(s->GetFacet(k)) == type)
            return s->GetFacet(k);
    return nullptr;
}

bool HasPoint(const std::vector<Point>& loop, const Point& p)
{
    for (const Point& q : loop)
        if (std::hypot(std::hypot(q[0] - p[0], q[1] - p[1]), q[2] - p[2]) < 1e-9)
            return true;
    return false;
}

// The facets as point lists (moved back by dx, dy), each prefixed by the
// facet's type, in a canonical order: points and facets are sorted on their
// coordinates rounded to a grid far coarser than the differences compared.
std::vector<std::vector<double>> Shape(G3Surface* s, double dx = 0, double dy = 0)
{
    auto key = [](const Point& p) {
        return std::array<double, 3>{std::round(p[0] * 1e4), std::round(p[1] * 1e4), std::round(p[2] * 1e4)};
    };
    std::vector<std::vector<double>> shape;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        std::vector<Point> loop = FacetPoints(s->GetFacet(k));
        for (Point& p : loop) {
            p[0] -= dx;
            p[1] -= dy;
        }
        std::sort(loop.begin(), loop.end(), [&](const Point& a, const Point& b) { return key(a) < key(b); });
        std::vector<double> flat{static_cast<double>(G3RoofGenerator::GetFacetType(s->GetFacet(k)))};
        for (const Point& p : loop)
            flat.insert(flat.end(), p.begin(), p.end());
        shape.push_back(flat);
    }
    auto rounded = [](const std::vector<double>& f) {
        std::vector<double> r;
        for (double c : f)
            r.push_back(std::round(c * 1e4));
        return r;
    };
    std::sort(shape.begin(), shape.end(),
              [&](const std::vector<double>& a, const std::vector<double>& b) { return rounded(a) < rounded(b); });
    return shape;
}

double MaxDifference(const std::vector<std::vector<double>>& a, const std::vector<std::vector<double>>& b)
{
    if (a.size() != b.size())
        return 1e300;
    double worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size())
            return 1e300;
        for (std::size_t j = 0; j < a[i].size(); ++j)
            worst = std::max(worst, std::fabs(a[i][j] - b[i][j]));
    }
    return worst;
}

// At points inside a convex outline the roof is the lower envelope of the
// edge planes.
void CheckLowerEnvelope(G3Surface* s, const Outline& ccw, const std::vector<double>& slopes)
{
    std::mt19937 rng(11);
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    for (const Point& p : ccw)
        for (int k = 0; k < 2; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    std::uniform_real_distribution<double> ux(lo[0], hi[0]), uy(lo[1], hi[1]);
    int n = 0;
    for (int tries = 0; n < 100 && tries < 10000; ++tries) {
        const double x = ux(rng), y = uy(rng);
        if (!PlanInside(ccw, x, y) || FacetBorderDistance(s, x, y) < 1e-6)
            continue;
        ++n;
        const HeightAt h = RoofHeight(s, x, y);
        EXPECT_EQ(h.facets, 1);
        EXPECT_NEAR(h.z, LowerEnvelope(ccw, slopes, x, y), 1e-9);
    }
    EXPECT_EQ(n, 100);
}

Outline Reversed(Outline o)
{
    std::reverse(o.begin(), o.end());
    return o;
}
} // namespace

TEST(Roof, HippedRectangle)
{
    const double alpha = M_PI / 6, rise = std::tan(alpha);
    G3Surface s;
    G3RoofGenerator g(&s);
    ASSERT_TRUE(g.Regen(Rectangle(), {alpha, alpha, alpha, alpha}));
    EXPECT_EQ(ValidateTopology(&s), "");
    ASSERT_EQ(s.GetFacetCount(), 4);
    EXPECT_EQ(TypeCounts(&s)[ROOF_FACET_UPPER], 4);

    // Ridge at (w / 2) tan(alpha), of length l - w, from (2, 2) to (8, 2).
    std::vector<Point> ridge;
    double area = 0;
    for (int k = 0; k < 4; ++k) {
        G3Facet* f = s.GetFacet(k);
        const std::vector<Point> loop = FacetPoints(f);
        area += PlanArea(loop);
        for (const Point& p : loop)
            if (p[2] > kTol && !HasPoint(ridge, p))
                ridge.push_back(p);
        // Each facet rises with the slope: its normal leans alpha from the
        // vertical.
        const double* pl = f->GetPlane();
        EXPECT_NEAR(std::acos(std::fabs(pl[2]) / std::sqrt(pl[0] * pl[0] + pl[1] * pl[1] + pl[2] * pl[2])), alpha,
                    1e-12);
    }
    ASSERT_EQ(ridge.size(), 2u);
    for (const Point& p : ridge) {
        EXPECT_NEAR(p[2], 2 * rise, kTol);
        EXPECT_NEAR(p[1], 2, kTol);
    }
    EXPECT_NEAR(std::fabs(ridge[0][0] - ridge[1][0]), 10 - 4, kTol);
    EXPECT_NEAR(area, 40, kTol);

    // Section ids: one more than the index of the point at which the
    // facet's outline edge ends; the short edges carry the triangles.
    const Outline o = Rectangle();
    for (long id = 1; id <= 4; ++id) {
        G3Facet* f = FacetOfSection(&s, id);
        ASSERT_NE(f, nullptr) << id;
        const std::vector<Point> loop = FacetPoints(f);
        EXPECT_TRUE(HasPoint(loop, o[static_cast<std::size_t>(id - 1)]));
        EXPECT_TRUE(HasPoint(loop, o[static_cast<std::size_t>((id + 2) % 4)]));
        EXPECT_EQ(loop.size(), id % 2 == 0 ? 3u : 4u) << id;
    }
    CheckLowerEnvelope(&s, Reversed(o), {alpha, alpha, alpha, alpha});
    // Outside the generation the provider's pair is (0, 0).
    EXPECT_EQ(G3WallDataProvider::Get()->GetCurrentSectionId(), 0);
}

TEST(Roof, GableRectangle)
{
    // The short edges (sections 2 and 4, ending at points 1 and 3) are
    // walls: their pitches get no facet, and the two slopes meet in a ridge
    // that runs the whole length.
    const double alpha = 0.6, wall = M_PI / 2;
    G3Surface s;
    G3RoofGenerator g(&s);
    ASSERT_TRUE(g.Regen(Rectangle(), {alpha, wall, alpha, wall}));
    EXPECT_EQ(ValidateTopology(&s), "");
    ASSERT_EQ(s.GetFacetCount(), 2);
    EXPECT_EQ(g.GetPitchCount(), 4);
    for (long id : {1L, 3L}) {
        G3Facet* f = FacetOfSection(&s, id);
        ASSERT_NE(f, nullptr);
        const std::vector<Point> loop = FacetPoints(f);
        ASSERT_EQ(loop.size(), 4u);
        EXPECT_NEAR(PlanArea(loop), 20, kTol);
        EXPECT_TRUE(HasPoint(loop, {0, 2, 2 * std::tan(alpha)}));
        EXPECT_TRUE(HasPoint(loop, {10, 2, 2 * std::tan(alpha)}));
    }
    // Read in counter-clockwise order, slope i belongs to the edge from
    // point i to point i + 1 of the reversed list.
    CheckLowerEnvelope(&s, Reversed(Rectangle()), {wall, alpha, wall, alpha});
}

TEST(Roof, ClockwiseAndCounterClockwiseOutlinesGiveOneRoof)
{
    // An L with a slope of its own on every edge, given counter-clockwise
    // (slope i for the edge from point i to i + 1) and clockwise (slope j
    // for the edge arriving at point j).
    const Outline ccw = {{0, 0, 0}, {8, 0, 0}, {8, 3, 0}, {3, 3, 0}, {3, 7, 0}, {0, 7, 0}};
    const std::vector<double> ccwSlopes = {0.5, 0.7, 0.6, 0.8, 0.55, 0.65};
    const Outline cw = Reversed(ccw);
    std::vector<double> cwSlopes(ccw.size());
    for (std::size_t j = 0; j < cw.size(); ++j)
        cwSlopes[j] = ccwSlopes[ccw.size() - 1 - j];
    G3Surface a, b;
    G3RoofGenerator ga(&a), gb(&b);
    ASSERT_TRUE(ga.Regen(ccw, ccwSlopes));
    ASSERT_TRUE(gb.Regen(cw, cwSlopes));
    EXPECT_EQ(a.GetFacetCount(), 6);
    EXPECT_LT(MaxDifference(Shape(&a), Shape(&b)), 1e-9);
    // The same edge has id i + 1 counter-clockwise and n - i clockwise.
    for (long id = 1; id <= 6; ++id) {
        G3Facet* fa = FacetOfSection(&a, id);
        G3Facet* fb = FacetOfSection(&b, 7 - id);
        ASSERT_NE(fa, nullptr);
        ASSERT_NE(fb, nullptr);
        EXPECT_NEAR(PlanArea(FacetPoints(fa)), PlanArea(FacetPoints(fb)), kTol);
    }
}

TEST(Roof, BadInputFailsAndLeavesTheTargetAsItWas)
{
    std::unique_ptr<G3Surface> s(MakeCube(2.0));
    const int vertices = s->GetVertexCount(), edges = s->GetEdgeCount(), facets = s->GetFacetCount();
    G3RoofGenerator g(s.get(), 0, 0.2, 0.3);
    const double a = 0.5;
    const Outline square = {{0, 0, 0}, {0, 4, 0}, {4, 4, 0}, {4, 0, 0}};
    auto unchanged = [&](const char* what) {
        EXPECT_EQ(s->GetVertexCount(), vertices) << what;
        EXPECT_EQ(s->GetEdgeCount(), edges) << what;
        EXPECT_EQ(s->GetFacetCount(), facets) << what;
        EXPECT_EQ(g.GetPitchCount(), 0) << what;
        EXPECT_EQ(G3WallDataProvider::Get()->GetCurrentSectionId(), 0) << what;
    };
    EXPECT_FALSE(g.Regen(square, {a, 0.0, a, a}));
    unchanged("angle 0");
    EXPECT_FALSE(g.Regen(square, {a, 5e-8, a, a}));
    unchanged("angle below the tolerance");
    EXPECT_FALSE(g.Regen(square, {a, -0.3, a, a}));
    unchanged("negative angle");
    EXPECT_FALSE(g.Regen(square, {a, std::nan(""), a, a}));
    unchanged("NaN angle");
    EXPECT_FALSE(g.Regen(square, {a, 2.0, a, a}));
    unchanged("angle beyond a wall");
    EXPECT_FALSE(g.Regen({{0, 0, 0}, {4, 4, 0}, {4, 0, 0}, {0, 4, 0}}, {a, a, a, a}));
    unchanged("bow tie");
    EXPECT_FALSE(g.Regen({{0, 0, 0}, {6, 0, 0}, {6, 4, 0}, {2, 4, 0}, {2, -2, 0}, {0, -2, 0}}, std::vector(6, a)));
    unchanged("outline crossing itself");
    EXPECT_FALSE(g.Regen({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 0, 0}, {0, 4, 0}}, std::vector(5, a)));
    unchanged("outline touching itself");
    EXPECT_FALSE(g.Regen(square, {a, a, a}));
    unchanged("short angle list");
    EXPECT_FALSE(g.Regen({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {a, a, a}));
    unchanged("no area");
    EXPECT_FALSE(g.Regen({{0, 0, 0}, {1, 1, 0}}, {a, a}));
    unchanged("two points");
    G3RoofGenerator none(nullptr);
    EXPECT_FALSE(none.Regen(square, {a, a, a, a}));

    // The collection form: null lists and null entries are refused before
    // anything is read.
    GArrayCollection points, angles;
    G3Point p[4] = {{0, 0, 0}, {0, 4, 0}, {4, 4, 0}, {4, 0, 0}};
    double slopes[4] = {a, a, a, a};
    for (int k = 0; k < 4; ++k) {
        points.add(&p[k]);
        angles.add(reinterpret_cast<GObj*>(&slopes[k]));
    }
    G3Surface fresh;
    G3RoofGenerator h(&fresh);
    EXPECT_FALSE(h.Regen(nullptr, &angles));
    EXPECT_FALSE(h.Regen(&points, nullptr));
    angles.put(2, nullptr);
    EXPECT_FALSE(h.Regen(&points, &angles));
    angles.put(2, reinterpret_cast<GObj*>(&slopes[2]));
    angles.removeLast();
    EXPECT_FALSE(h.Regen(&points, &angles));
    angles.add(reinterpret_cast<GObj*>(&slopes[3]));
    points.put(1, nullptr);
    EXPECT_FALSE(h.Regen(&points, &angles));
    EXPECT_EQ(fresh.GetFacetCount(), 0);
    points.put(1, &p[1]);
    EXPECT_TRUE(h.Regen(&points, &angles));
    EXPECT_EQ(fresh.GetFacetCount(), 4);
    points.clear();
    angles.clear();
}

TEST(Roof, AGenerationBeyondItsLevelLimitFails)
{
    // Every roof needs a level above its outline: with room for one level
    // only the generation stops, fails, and leaves the target as it was.
    const double a = 0.5;
    G3Surface s;
    G3Vertex* w[3] = {s.AddVertex(0, 0, -3), s.AddVertex(1, 0, -3), s.AddVertex(1, 0, 0)};
    ASSERT_NE(s.AddFacet(3, w, 1, nullptr, nullptr), nullptr);
    G3RoofGenerator g(&s, 0, 0.2);
    EXPECT_EQ(g.GetLevelLimit(), 0);
    g.SetLevelLimit(1);
    EXPECT_FALSE(g.Regen(Rectangle(), {a, a, a, a}));
    EXPECT_EQ(s.GetFacetCount(), 1);
    EXPECT_EQ(s.GetVertexCount(), 3);
    EXPECT_EQ(G3WallDataProvider::Get()->GetCurrentSectionId(), 0);
    G3RoofGenerator copy(g);
    EXPECT_EQ(copy.GetLevelLimit(), 1);
    g.SetLevelLimit(2);
    EXPECT_TRUE(g.Regen(Rectangle(), {a, a, a, a}));
    EXPECT_EQ(s.GetFacetCount(), 1 + 12);
}

TEST(Roof, ASecondRegenStartsAfresh)
{
    const double a = 0.5;
    G3Surface first, second;
    G3RoofGenerator g(&first);
    ASSERT_TRUE(g.Regen(Rectangle(), {a, a, a, a}));
    EXPECT_EQ(g.GetPitchCount(), 4);
    g.SetTarget(&second);
    ASSERT_TRUE(g.Regen(Rectangle(), {a, a, a, a}));
    EXPECT_EQ(g.GetPitchCount(), 4);
    EXPECT_EQ(second.GetFacetCount(), 4);
    EXPECT_EQ(first.GetFacetCount(), 4);
    EXPECT_LT(MaxDifference(Shape(&first), Shape(&second)), kTol);
}

TEST(Roof, CopiesStartWithoutWorkingState)
{
    const double a = 0.5;
    G3Surface s;
    G3RoofGenerator g(&s, 7.5, 0.2, 0.1);
    ASSERT_TRUE(g.Regen(Rectangle(), {a, a, a, a}));
    ASSERT_GT(g.GetPitchCount(), 0);
    G3RoofGenerator copy(g);
    EXPECT_EQ(copy.GetTarget(), &s);
    EXPECT_EQ(copy.GetReserved(), 7.5);
    EXPECT_EQ(copy.GetThickness(), 0.2);
    EXPECT_EQ(copy.GetOverhang(), 0.1);
    EXPECT_EQ(copy.GetPitchCount(), 0);
    EXPECT_EQ(copy.GetRings()->size(), 0);
    G3RoofGenerator assigned;
    EXPECT_FALSE(assigned.Regen(Rectangle(), {a, a, a, a})); // no target yet
    assigned = g;
    EXPECT_EQ(assigned.GetPitchCount(), 0);
    EXPECT_EQ(assigned.GetThickness(), 0.2);
    // Each generator owns what it makes; all three are destroyed without
    // sharing anything (the sanitizer checks).
    G3Surface other;
    copy.SetTarget(&other);
    EXPECT_TRUE(copy.Regen(Rectangle(), {a, a, a, a}));
    EXPECT_EQ(other.GetFacetCount(), s.GetFacetCount());
}

TEST(Roof, ThicknessGivesLowerAndUpperFacesAndBands)
{
    const double a = 0.5, t = 0.2;
    {
        // Hipped: four lower and four upper faces, four eave bands.
        G3Surface s;
        G3RoofGenerator g(&s, 0, t);
        ASSERT_TRUE(g.Regen(Rectangle(), {a, a, a, a}));
        std::map<int, int> counts = TypeCounts(&s);
        EXPECT_EQ(counts[ROOF_FACET_UPPER], 4);
        EXPECT_EQ(counts[ROOF_FACET_LOWER], 4);
        EXPECT_EQ(counts[ROOF_FACET_EAVE], 4);
        EXPECT_EQ(counts[ROOF_FACET_GABLE], 0);
        for (long id = 1; id <= 4; ++id) {
            // The upper face is the lower one raised by the thickness.
            std::vector<Point> lower = FacetPoints(FacetOfSection(&s, id, ROOF_FACET_LOWER));
            const std::vector<Point> upper = FacetPoints(FacetOfSection(&s, id, ROOF_FACET_UPPER));
            ASSERT_EQ(lower.size(), upper.size());
            for (Point& p : lower) {
                p[2] += t;
                EXPECT_TRUE(HasPoint(upper, p));
            }
            // The eave band hangs vertically from the eave, flags 2.
            G3Facet* band = FacetOfSection(&s, id, ROOF_FACET_EAVE);
            ASSERT_NE(band, nullptr);
            EXPECT_EQ(band->GetFlags() & 2, 2);
            EXPECT_NEAR(band->GetPlaneC(), 0, kTol);
            double top = -1, bottom = 1;
            for (const Point& p : FacetPoints(band)) {
                top = std::max(top, p[2]);
                bottom = std::min(bottom, p[2]);
            }
            EXPECT_NEAR(bottom, 0, kTol);
            EXPECT_NEAR(top, t, kTol);
        }
    }
    {
        // Gable: two faces each, two eave bands and a band along each of
        // the four gable edges.
        G3Surface s;
        G3RoofGenerator g(&s, 0, t);
        ASSERT_TRUE(g.Regen(Rectangle(), {a, M_PI / 2, a, M_PI / 2}));
        std::map<int, int> counts = TypeCounts(&s);
        EXPECT_EQ(counts[ROOF_FACET_UPPER], 2);
        EXPECT_EQ(counts[ROOF_FACET_LOWER], 2);
        EXPECT_EQ(counts[ROOF_FACET_EAVE], 2);
        EXPECT_EQ(counts[ROOF_FACET_GABLE], 4);
        for (int k = 0; k < s.GetFacetCount(); ++k)
            if (G3RoofGenerator::GetFacetType(s.GetFacet(k)) == ROOF_FACET_GABLE) {
                // On the walls x = 0 (section 2) and x = 10 (section 4).
                const long id = G3RoofGenerator::GetFacetIndex(s.GetFacet(k));
                EXPECT_TRUE(id == 2 || id == 4);
                for (const Point& p : FacetPoints(s.GetFacet(k)))
                    EXPECT_NEAR(p[0], id == 2 ? 0 : 10, kTol);
            }
    }
}

TEST(Roof, BandsComeFromTheRoofAloneWhenTheTargetHoldsWalls)
{
    // A wall already in the target reaches below the eave. The lower faces
    // that the bands follow are this roof's own, so the eaves stay the
    // lowest border and get their bands.
    const double a = 0.5;
    G3Surface s;
    G3Vertex* w[4] = {s.AddVertex(0, 0, -3), s.AddVertex(10, 0, -3), s.AddVertex(10, 0, 0), s.AddVertex(0, 0, 0)};
    ASSERT_NE(s.AddFacet(4, w, 1, nullptr, nullptr), nullptr);
    G3RoofGenerator g(&s, 0, 0.2);
    G3RoofVertex* ring = g.PrepareContour(Rectangle(), {a, a, a, a});
    ASSERT_NE(ring, nullptr);
    ASSERT_TRUE(g.FirstLevelInitialization(ring));
    G3Surface work;
    ASSERT_TRUE(g.MakeRoof(ring, &work));
    EXPECT_EQ(work.GetFacetCount(), 4);
    EXPECT_TRUE(g.MakeFasciaFacets(&work));
    std::map<int, int> counts = TypeCounts(&s);
    EXPECT_EQ(counts[ROOF_FACET_NONE], 1);
    EXPECT_EQ(counts[ROOF_FACET_EAVE], 4);
    EXPECT_EQ(counts[ROOF_FACET_UPPER], 4);
    EXPECT_EQ(counts[ROOF_FACET_LOWER], 4);
}

TEST(Roof, OverhangPushesTheEaveOutAndDown)
{
    const double a = 0.5, d = 0.5;
    G3Surface s, plain;
    G3RoofGenerator g(&s, 0, 0, d), p(&plain);
    ASSERT_TRUE(g.Regen(Rectangle(), {a, a, a, a}));
    ASSERT_TRUE(p.Regen(Rectangle(), {a, a, a, a}));
    EXPECT_EQ(s.GetFacetCount(), 4);
    GEnvelope box;
    ASSERT_TRUE(s.FormEnvelope(&box));
    EXPECT_NEAR(box.GetMinX(), -d, kTol);
    EXPECT_NEAR(box.GetMaxX(), 10 + d, kTol);
    EXPECT_NEAR(box.GetMinY(), -d, kTol);
    EXPECT_NEAR(box.GetMaxY(), 4 + d, kTol);
    EXPECT_NEAR(box.GetMinZ(), -d * std::tan(a), kTol);
    // The eave corners lie d out on both sides, d tan(a) down; the planes,
    // and so the ridge, stay where they were.
    const double corner[4][2] = {{-d, -d}, {-d, 4 + d}, {10 + d, 4 + d}, {10 + d, -d}};
    for (long id = 1; id <= 4; ++id) {
        const std::vector<Point> loop = FacetPoints(FacetOfSection(&s, id));
        const auto& c = corner[id - 1];
        EXPECT_TRUE(HasPoint(loop, {c[0], c[1], -d * std::tan(a)})) << id;
    }
    GEnvelope plainBox;
    ASSERT_TRUE(plain.FormEnvelope(&plainBox));
    EXPECT_NEAR(box.GetMaxZ(), plainBox.GetMaxZ(), kTol);
}

TEST(Roof, AnOutlineFarFromTheOriginGivesTheSameRoofMoved)
{
    // The same outline and slopes moved by (10^6, 10^6).
    OrthogonalOutline orthogonal(24, 5, true);
    ASSERT_TRUE(orthogonal.Ok());
    const Outline near = orthogonal.Get();
    Outline far = near;
    for (Point& p : far) {
        p[0] += 1e6;
        p[1] += 1e6;
    }
    std::vector<double> slopes;
    for (std::size_t k = 0; k < near.size(); ++k)
        slopes.push_back(0.4 + 0.05 * static_cast<double>(k % 3));
    G3Surface a, b;
    G3RoofGenerator ga(&a, 0, 0.3, 0.25), gb(&b, 0, 0.3, 0.25);
    ASSERT_TRUE(ga.Regen(near, slopes));
    ASSERT_TRUE(gb.Regen(far, slopes));
    EXPECT_GT(a.GetFacetCount(), 0);
    EXPECT_LT(MaxDifference(Shape(&a), Shape(&b, 1e6, 1e6)), 1e-6);
}

TEST(Roof, ABuildingInMillimetres)
{
    // A U 300 m wide in millimetres whose two arm tops lie on one line: one
    // pitch, two polygons, kept both and ordered along the line by their
    // heads. An order by the distance from a point a fixed 100 000 units
    // back along the line would put that point inside this building, where
    // both heads lie at the same distance from it.
    const Outline u = {{200000, 8000, 0}, {300000, 8000, 0}, {300000, 0, 0},    {0, 0, 0},
                       {0, 8000, 0},      {100000, 8000, 0}, {100000, 4000, 0}, {200000, 4000, 0}};
    const double a = 0.5;
    G3Surface s;
    G3RoofGenerator g(&s);
    G3RoofVertex* ring = g.PrepareContour(u, std::vector<double>(u.size(), a));
    ASSERT_NE(ring, nullptr);
    ASSERT_TRUE(g.FirstLevelInitialization(ring));
    G3RoofVertex::DeleteRing(ring);
    int shared = 0;
    for (int i = 0; i < g.GetPitchCount(); ++i) {
        G3RoofPitch* pitch = g.GetPitch(i);
        if (pitch->GetPolygonCount() < 2)
            continue;
        ++shared;
        ASSERT_EQ(pitch->GetPolygonCount(), 2);
        EXPECT_EQ(pitch->GetPolygon(0)->GetXYZ()[0], 0);
        EXPECT_EQ(pitch->GetPolygon(1)->GetXYZ()[0], 200000);
    }
    EXPECT_EQ(shared, 1);

    ASSERT_TRUE(g.Regen(u, std::vector<double>(u.size(), a)));
    double area = 0;
    for (int k = 0; k < s.GetFacetCount(); ++k) {
        const std::vector<Point> loop = FacetPoints(s.GetFacet(k));
        area += PlanArea(loop);
        // Every facet lies in its own edge's plane (the outline runs
        // clockwise: id i + 1 ends at point i).
        const long id = G3RoofGenerator::GetFacetIndex(s.GetFacet(k));
        const Point& from = u[static_cast<std::size_t>(id + u.size() - 2) % u.size()];
        const Point& to = u[static_cast<std::size_t>(id - 1)];
        for (const Point& p : loop)
            EXPECT_NEAR(p[2], -LeftDistance(from, to, p[0], p[1]) * std::tan(a), 1e-6);
    }
    EXPECT_NEAR(area, -PlanArea(u), 1e-6);
    // Both arm tops have their faces.
    EXPECT_NE(FacetOfSection(&s, 2), nullptr);
    EXPECT_NE(FacetOfSection(&s, 6), nullptr);
}

TEST(Roof, WallsAllRoundGiveNoRoofFacet)
{
    // Vertical planes never meet: no level above the outline, and nothing is
    // cut at the far value.
    G3Surface s;
    G3RoofGenerator g(&s);
    const double w = M_PI / 2;
    EXPECT_TRUE(g.Regen(Rectangle(), {w, w, w, w}));
    EXPECT_EQ(s.GetFacetCount(), 0);
    for (int i = 0; i < g.GetPitchCount(); ++i)
        for (int k = 0; k < g.GetPitch(i)->GetPolygonCount(); ++k) {
            G3RoofVertex* v = g.GetPitch(i)->GetPolygon(k);
            do {
                EXPECT_LT(std::fabs(v->GetZ()), 1);
                v = v->GetNext();
            } while (v != g.GetPitch(i)->GetPolygon(k));
        }
}
