// The hole maker: openings through wall boxes, stepped walls and thick roof
// slabs. Every cut is checked against measures computed by hand (volumes,
// areas, loop and facet counts, the Euler characteristic of the genus the
// openings give), against the topology validator, and for the roof and wall
// data of the rebuilt facets. The suite runs under AddressSanitizer, so a
// facet used after its removal fails it.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "tessaly/contour.h"
#include "tessaly/hole_maker.h"
#include "tessaly/surface.h"
#include "tessaly/wall_data.h"
#include "topology_validator.h"
#include "voxel_bodies.h"

namespace {
// Volumes and areas made of a few exact products: only rounding differs.
constexpr double kExact = 1e-9;
constexpr double kOnPlane = 1e-6;

using Point = std::array<double, 3>;

struct Face {
    std::vector<int> corners; // outward, counter-clockwise seen from outside
    int section;
    ROOF_FACET_TYPE type;
};

// A body of the given faces; each face gets the record (section, type)
// through the wall data provider's current pair while it is made.
std::unique_ptr<G3Surface> BuildBody(const std::vector<Point>& points, const std::vector<Face>& faces)
{
    auto s = std::make_unique<G3Surface>();
    std::vector<G3Vertex*> v;
    for (const Point& p : points)
        v.push_back(s->AddVertex(p.data()));
    G3WallDataProvider* data = G3WallDataProvider::Get();
    for (const Face& face : faces) {
        std::vector<G3Vertex*> corners;
        for (int c : face.corners)
            corners.push_back(v[static_cast<std::size_t>(c)]);
        data->SetCurrent(face.section, face.type);
        EXPECT_NE(s->AddFacet(static_cast<int>(corners.size()), corners.data(), 1, nullptr, nullptr), nullptr);
    }
    data->SetCurrent(0, ROOF_FACET_NONE);
    return s;
}

// Section ids of the wall box's faces.
constexpr int kFront = 11, kBack = 12, kBottom = 13, kTop = 14, kLeft = 15, kRight = 16;

// The wall [0, 4] x [0, 0.3] x [0, 3]: the front face y = 0 (upper-face
// data), the back face y = 0.3 (lower-face data), the others bands.
std::unique_ptr<G3Surface> MakeWallBox()
{
    std::vector<Point> p;
    for (int k = 0; k < 8; ++k)
        p.push_back({k & 1 ? 4.0 : 0.0, k & 2 ? 0.3 : 0.0, k & 4 ? 3.0 : 0.0});
    return BuildBody(p,
                     {{{0, 1, 5, 4}, kFront, ROOF_FACET_UPPER},
                      {{2, 6, 7, 3}, kBack, ROOF_FACET_LOWER},
                      {{0, 2, 3, 1}, kBottom, ROOF_FACET_EAVE},
                      {{4, 5, 7, 6}, kTop, ROOF_FACET_EAVE},
                      {{0, 4, 6, 2}, kLeft, ROOF_FACET_GABLE},
                      {{1, 3, 7, 5}, kRight, ROOF_FACET_GABLE}});
}
constexpr double kWallVolume = 4 * 0.3 * 3;

// The rectangle [x0, x1] x [z0, z1] in the plane y, closed (the first
// point repeated), as a list of new points; the list owns them.
struct Outline {
    GArrayCollection points;
    explicit Outline(const std::vector<Point>& corners)
    {
        for (const Point& c : corners)
            points.add(new G3Point(c.data()));
    }
    ~Outline() { points.clear(true); }
    Outline(const Outline&) = delete;
    Outline& operator=(const Outline&) = delete;
};

std::vector<Point> RectangleXZ(double y, double x0, double z0, double x1, double z1)
{
    return {{x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1}, {x0, y, z0}};
}

// Stores the opening; AddHoleContour answers false whatever it does.
void AddOpening(G3HoleMaker& maker, const std::vector<Point>& corners, Point direction)
{
    Outline outline(corners);
    G3Point d(direction.data());
    EXPECT_FALSE(maker.AddHoleContour(&outline.points, &d));
}

// The facets whose plane is n . x + d = 0 (n a unit axis direction).
std::vector<G3Facet*> FacetsInPlane(G3Surface* s, Point n, double d)
{
    std::vector<G3Facet*> found;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        if (std::fabs(f->GetPlaneA() - n[0]) < kOnPlane && std::fabs(f->GetPlaneB() - n[1]) < kOnPlane &&
            std::fabs(f->GetPlaneC() - n[2]) < kOnPlane && std::fabs(f->GetPlaneD() - d) < kOnPlane)
            found.push_back(f);
    }
    return found;
}

// The facet's closed loops, bridges left out.
int LoopCount(G3Facet* f)
{
    G3EdgeList contour(f);
    GArrayCollection loops;
    const int n = contour.FormContours(&loops, UNION_EDGE_PARITY);
    loops.clear(true);
    return n;
}

bool Within(double v, double lo, double hi)
{
    return v > lo - kOnPlane && v < hi + kOnPlane;
}

// The facets all of whose vertices lie on the sides of the opening
// [x0, x1] x [z0, z1] through a wall along y: its reveals.
std::vector<G3Facet*> RevealsXZ(G3Surface* s, double x0, double z0, double x1, double z1)
{
    std::vector<G3Facet*> found;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        GArrayCollection vertices;
        f->GetVertices(&vertices);
        bool on = std::fabs(f->GetPlaneB()) < kOnPlane;
        for (int m = 0; m < vertices.size() && on; ++m) {
            const double* p = static_cast<G3Vertex*>(vertices.get(m))->GetXYZ();
            on = Within(p[0], x0, x1) && Within(p[2], z0, z1);
        }
        if (on)
            found.push_back(f);
    }
    return found;
}

void ExpectRecord(G3Facet* f, long section, ROOF_FACET_TYPE type)
{
    EXPECT_EQ(G3WallDataProvider::GetFacetIndex(f), section);
    EXPECT_EQ(G3WallDataProvider::GetFacetType(f), type);
}

// Closed, manifold, facing outwards, of the given volume and Euler
// characteristic (2 - 2 genus).
void ExpectSolid(G3Surface* s, double volume, int euler)
{
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_TRUE(s->GetClosed());
    EXPECT_EQ(EulerCharacteristic(s), euler);
    EXPECT_NEAR(s->GetVolume(), volume, kExact);
    EXPECT_NEAR(DivergenceVolume(s), volume, kExact);
}

std::vector<G3Facet*> FacetList(G3Surface* s)
{
    std::vector<G3Facet*> facets;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        facets.push_back(s->GetFacet(k));
    return facets;
}

// Nothing was cut: the very same facets, the same volume.
void ExpectUntouched(G3HoleMaker& maker, G3Surface* s, const std::vector<G3Facet*>& before)
{
    EXPECT_EQ(maker.GetCutCount(), 0);
    EXPECT_EQ(maker.GetPanelCount(), 0);
    EXPECT_EQ(FacetList(s), before);
    EXPECT_NEAR(s->GetVolume(), kWallVolume, kExact);
}
} // namespace

// ---- One opening ----------------------------------------------------------

TEST(HoleMaker, RectangularOpeningThroughAWallBox)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    ASSERT_NEAR(wall->GetVolume(), kWallVolume, kExact);
    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 1, 1, 2, 2.5), {0, 1, 0});
    EXPECT_EQ(maker.GetOpeningCount(), 1);
    maker.MakeHoles();
    EXPECT_EQ(maker.GetPanelCount(), 1);
    EXPECT_EQ(maker.GetCutCount(), 1);
    EXPECT_EQ(maker.GetPanel(0)->GetFacetA(), nullptr); // the replaced facets are not kept
    EXPECT_EQ(maker.GetPanel(1), nullptr);
    EXPECT_EQ(maker.GetPanel(0)->GetOutlineOnB(1), nullptr);
    EXPECT_EQ(maker.GetPanel(0)->GetOutlineOnA(0)->size(), 4);

    // Genus 1: V - E + F = 0; the opening takes 1 x 1.5 x 0.3.
    ExpectSolid(wall.get(), kWallVolume - 1 * 1.5 * 0.3, 0);
    EXPECT_EQ(wall->GetFacetCount(), 6 + 4);

    // Each face is one facet with one hole, and keeps its data.
    const std::vector<G3Facet*> front = FacetsInPlane(wall.get(), {0, -1, 0}, 0);
    const std::vector<G3Facet*> back = FacetsInPlane(wall.get(), {0, 1, 0}, -0.3);
    ASSERT_EQ(front.size(), 1u);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(LoopCount(front[0]), 2);
    EXPECT_EQ(LoopCount(back[0]), 2);
    EXPECT_NEAR(front[0]->GetArea(), 12 - 1.5, kExact);
    EXPECT_NEAR(back[0]->GetArea(), 12 - 1.5, kExact);
    ExpectRecord(front[0], kFront, ROOF_FACET_UPPER);
    ExpectRecord(back[0], kBack, ROOF_FACET_LOWER);
    ExpectRecord(FacetsInPlane(wall.get(), {0, 0, 1}, -3).at(0), kTop, ROOF_FACET_EAVE);

    // Four reveals of the opening's sides, 0.3 deep, without data.
    const std::vector<G3Facet*> reveals = RevealsXZ(wall.get(), 1, 1, 2, 2.5);
    ASSERT_EQ(reveals.size(), 4u);
    double area = 0;
    for (G3Facet* r : reveals) {
        area += r->GetArea();
        ExpectRecord(r, 0, ROOF_FACET_NONE);
    }
    EXPECT_NEAR(area, 2 * (1 + 1.5) * 0.3, kExact);

    // The provider's pair is back at (0, 0).
    EXPECT_EQ(G3WallDataProvider::Get()->GetCurrentSectionId(), 0);
    EXPECT_EQ(G3WallDataProvider::Get()->GetCurrentType(), ROOF_FACET_NONE);
}

TEST(HoleMaker, OpeningGivenFromTheBackFaceCutsTheSame)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    G3HoleMaker maker(wall.get());
    // Given in the back face, pointing out through the front face: the back
    // face is met first.
    AddOpening(maker, RectangleXZ(0.3, 1, 1, 2, 2), {0, -1, 0});
    maker.MakeHoles();
    ASSERT_EQ(maker.GetCutCount(), 1);
    ExpectSolid(wall.get(), kWallVolume - 0.3, 0);
    EXPECT_EQ(RevealsXZ(wall.get(), 1, 1, 2, 2).size(), 4u);
}

TEST(HoleMaker, NonUnitAndObliqueDirections)
{
    // A direction of any length cuts as its unit direction does.
    for (const Point& d : {Point{0, 1, 0}, Point{0, 5, 0}, Point{0, 1e-3, 0}}) {
        std::unique_ptr<G3Surface> wall = MakeWallBox();
        G3HoleMaker maker(wall.get());
        AddOpening(maker, RectangleXZ(0, 1, 1, 2, 2), d);
        maker.MakeHoles();
        EXPECT_EQ(maker.GetCutCount(), 1) << d[1];
        ExpectSolid(wall.get(), kWallVolume - 0.3, 0);
        EXPECT_EQ(wall->GetFacetCount(), 10);
    }
    // A slanted opening is a sheared prism: its volume is still the
    // outline's area times the wall's thickness; the back hole is shifted.
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 1, 1, 2, 2), {0.5, 1, 0});
    maker.MakeHoles();
    ASSERT_EQ(maker.GetCutCount(), 1);
    ExpectSolid(wall.get(), kWallVolume - 0.3, 0);
    GArrayCollection* onB = maker.GetPanel(0)->GetOutlineOnB(0);
    double minX = 1e9;
    for (int k = 0; k < onB->size(); ++k)
        minX = std::min(minX, static_cast<G3Point*>(onB->get(k))->GetX());
    EXPECT_NEAR(minX, 1.15, kExact);
}

TEST(HoleMaker, UnclosedOutlineAndRepeatedPointsCutTheSame)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    G3HoleMaker maker(wall.get());
    AddOpening(maker, {{1, 0, 1}, {2, 0, 1}, {2, 0, 1}, {2, 0, 2}, {1, 0, 2}}, {0, 1, 0});
    maker.MakeHoles();
    ASSERT_EQ(maker.GetCutCount(), 1);
    EXPECT_EQ(maker.GetPanel(0)->GetOutlineOnA(0)->size(), 4);
    ExpectSolid(wall.get(), kWallVolume - 0.3, 0);
    EXPECT_EQ(RevealsXZ(wall.get(), 1, 1, 2, 2).size(), 4u);
}

// ---- Several openings --------------------------------------------------

TEST(HoleMaker, TwoOpeningsInOnePanelRebuildEachFaceOnce)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 0.5, 1, 1.5, 2), {0, 1, 0});
    AddOpening(maker, RectangleXZ(0, 2.5, 0.5, 3.5, 2.5), {0, 1, 0});
    maker.MakeHoles();
    EXPECT_EQ(maker.GetPanelCount(), 1);
    EXPECT_EQ(maker.GetCutCount(), 2);
    // Genus 2: V - E + F = -2.
    ExpectSolid(wall.get(), kWallVolume - 0.3 - 2 * 0.3, -2);
    EXPECT_EQ(wall->GetFacetCount(), 6 + 8);
    for (auto plane : {std::make_pair(Point{0, -1, 0}, 0.0), std::make_pair(Point{0, 1, 0}, -0.3)}) {
        const std::vector<G3Facet*> face = FacetsInPlane(wall.get(), plane.first, plane.second);
        ASSERT_EQ(face.size(), 1u);
        EXPECT_EQ(LoopCount(face[0]), 3);
        EXPECT_NEAR(face[0]->GetArea(), 12 - 1 - 2, kExact);
    }
    EXPECT_EQ(RevealsXZ(wall.get(), 0.5, 1, 1.5, 2).size(), 4u);
    EXPECT_EQ(RevealsXZ(wall.get(), 2.5, 0.5, 3.5, 2.5).size(), 4u);
}

TEST(HoleMaker, OpeningsFromBothSidesShareTheFaces)
{
    // One opening from the front (panel front-back), one from the back
    // (panel back-front): two records name the same two facets, each facet
    // is rebuilt once with both holes.
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 0.5, 1, 1.5, 2), {0, 1, 0});
    AddOpening(maker, RectangleXZ(0.3, 2.5, 1, 3.5, 2), {0, -1, 0});
    maker.MakeHoles();
    EXPECT_EQ(maker.GetPanelCount(), 2);
    EXPECT_EQ(maker.GetCutCount(), 2);
    ExpectSolid(wall.get(), kWallVolume - 2 * 0.3, -2);
    EXPECT_EQ(wall->GetFacetCount(), 6 + 8);
    ExpectRecord(FacetsInPlane(wall.get(), {0, -1, 0}, 0).at(0), kFront, ROOF_FACET_UPPER);
    ExpectRecord(FacetsInPlane(wall.get(), {0, 1, 0}, -0.3).at(0), kBack, ROOF_FACET_LOWER);
}

TEST(HoleMaker, OneFrontFaceFacingTwoBackFaces)
{
    // A stepped wall: one front face y = 0 over x in [0, 4]; behind it the
    // back face y = 0.3 for x in [0, 2] and y = 0.5 for x in [2, 4], joined
    // by a step face at x = 2. Volume 2 * 0.3 * 3 + 2 * 0.5 * 3 = 4.8.
    const std::vector<Point> p = {{0, 0, 0}, {4, 0, 0}, {4, 0.5, 0}, {2, 0.5, 0}, {2, 0.3, 0}, {0, 0.3, 0},
                                  {0, 0, 3}, {4, 0, 3}, {4, 0.5, 3}, {2, 0.5, 3}, {2, 0.3, 3}, {0, 0.3, 3}};
    std::unique_ptr<G3Surface> wall = BuildBody(p,
                                                {{{0, 1, 7, 6}, 1, ROOF_FACET_UPPER},
                                                 {{5, 11, 10, 4}, 2, ROOF_FACET_LOWER},
                                                 {{3, 9, 8, 2}, 3, ROOF_FACET_LOWER},
                                                 {{4, 10, 9, 3}, 4, ROOF_FACET_GABLE},
                                                 {{1, 2, 8, 7}, 5, ROOF_FACET_GABLE},
                                                 {{0, 6, 11, 5}, 6, ROOF_FACET_GABLE},
                                                 {{0, 5, 4, 3, 2, 1}, 7, ROOF_FACET_EAVE},
                                                 {{6, 7, 8, 9, 10, 11}, 8, ROOF_FACET_EAVE}});
    ASSERT_EQ(ValidateTopology(wall.get()), "");
    ASSERT_NEAR(wall->GetVolume(), 4.8, kExact);
    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 0.5, 1, 1.5, 2), {0, 1, 0});
    AddOpening(maker, RectangleXZ(0, 2.5, 1, 3.5, 2), {0, 1, 0});
    maker.MakeHoles();
    ASSERT_EQ(maker.GetPanelCount(), 2);
    EXPECT_EQ(maker.GetCutCount(), 2);
    ExpectSolid(wall.get(), 4.8 - 0.3 - 0.5, -2);
    const std::vector<G3Facet*> front = FacetsInPlane(wall.get(), {0, -1, 0}, 0);
    ASSERT_EQ(front.size(), 1u);
    EXPECT_EQ(LoopCount(front[0]), 3);
    EXPECT_NEAR(front[0]->GetArea(), 12 - 2, kExact);
    ExpectRecord(front[0], 1, ROOF_FACET_UPPER);
    for (auto plane : {std::make_pair(-0.3, 2), std::make_pair(-0.5, 3)}) {
        const std::vector<G3Facet*> back = FacetsInPlane(wall.get(), {0, 1, 0}, plane.first);
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(LoopCount(back[0]), 2);
        EXPECT_NEAR(back[0]->GetArea(), 6 - 1, kExact);
        ExpectRecord(back[0], plane.second, ROOF_FACET_LOWER);
    }
}

TEST(HoleMaker, SecondMakeHolesStartsFromTheRebuiltSurface)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 0.5, 1, 1.5, 2), {0, 1, 0});
    maker.MakeHoles();
    ASSERT_EQ(maker.GetCutCount(), 1);
    ExpectSolid(wall.get(), kWallVolume - 0.3, 0);

    // The first opening is looked up again but now runs through its own
    // hole and is skipped; an opening around the first hole is skipped (it
    // would swallow it); the new one goes into the faces that already have
    // a hole, which keep it.
    AddOpening(maker, RectangleXZ(0, 0.25, 0.5, 1.75, 2.5), {0, 1, 0});
    AddOpening(maker, RectangleXZ(0, 2.5, 1, 3.5, 2), {0, 1, 0});
    EXPECT_EQ(maker.GetOpeningCount(), 3);
    maker.MakeHoles();
    EXPECT_EQ(maker.GetPanelCount(), 1);
    EXPECT_EQ(maker.GetCutCount(), 1);
    ExpectSolid(wall.get(), kWallVolume - 2 * 0.3, -2);
    for (auto plane : {std::make_pair(Point{0, -1, 0}, 0.0), std::make_pair(Point{0, 1, 0}, -0.3)}) {
        const std::vector<G3Facet*> face = FacetsInPlane(wall.get(), plane.first, plane.second);
        ASSERT_EQ(face.size(), 1u);
        EXPECT_EQ(LoopCount(face[0]), 3);
        EXPECT_NEAR(face[0]->GetArea(), 10, kExact);
    }
    ExpectRecord(FacetsInPlane(wall.get(), {0, -1, 0}, 0).at(0), kFront, ROOF_FACET_UPPER);

    // A third call finds nothing left to cut and leaves the body alone.
    const std::vector<G3Facet*> before = FacetList(wall.get());
    maker.MakeHoles();
    EXPECT_EQ(maker.GetCutCount(), 0);
    EXPECT_EQ(FacetList(wall.get()), before);
}

TEST(HoleMaker, FacetsWithSeveralLoopsKeepTheirHoles)
{
    // The wall box with a tunnel through x in [0.5, 1.5], z in [1, 2] made
    // by hand: front and back are facets of two loops each (an outer loop
    // and a hole, no bridge), joined by four tunnel faces.
    std::vector<Point> p;
    for (int k = 0; k < 8; ++k)
        p.push_back({k & 1 ? 4.0 : 0.0, k & 2 ? 0.3 : 0.0, k & 4 ? 3.0 : 0.0});
    for (int k = 0; k < 8; ++k)
        p.push_back({k & 1 ? 1.5 : 0.5, k & 2 ? 0.3 : 0.0, k & 4 ? 2.0 : 1.0});
    std::unique_ptr<G3Surface> wall = BuildBody(p,
                                                {{{0, 2, 3, 1}, kBottom, ROOF_FACET_EAVE},
                                                 {{4, 5, 7, 6}, kTop, ROOF_FACET_EAVE},
                                                 {{0, 4, 6, 2}, kLeft, ROOF_FACET_GABLE},
                                                 {{1, 3, 7, 5}, kRight, ROOF_FACET_GABLE},
                                                 {{8, 9, 11, 10}, 0, ROOF_FACET_NONE},
                                                 {{12, 14, 15, 13}, 0, ROOF_FACET_NONE},
                                                 {{8, 10, 14, 12}, 0, ROOF_FACET_NONE},
                                                 {{9, 13, 15, 11}, 0, ROOF_FACET_NONE}});
    auto loops = [&](std::vector<std::vector<int>> corners, int section, ROOF_FACET_TYPE type) {
        G3EdgeList contour(0, 1);
        for (const std::vector<int>& loop : corners)
            for (std::size_t k = 0; k < loop.size(); ++k)
                contour.AddEdge(wall->GetVertex(loop[k]), wall->GetVertex(loop[(k + 1) % loop.size()]), nullptr,
                                nullptr, nullptr, nullptr, 1);
        G3WallDataProvider::Get()->SetCurrent(section, type);
        EXPECT_NE(wall->AddFacet(&contour, 0, 1), nullptr);
        G3WallDataProvider::Get()->SetCurrent(0, ROOF_FACET_NONE);
    };
    loops({{0, 1, 5, 4}, {8, 12, 13, 9}}, kFront, ROOF_FACET_UPPER);
    loops({{2, 6, 7, 3}, {10, 11, 15, 14}}, kBack, ROOF_FACET_LOWER);
    ASSERT_EQ(ValidateTopology(wall.get()), "");
    ASSERT_EQ(LoopCount(FacetsInPlane(wall.get(), {0, -1, 0}, 0).at(0)), 2);
    ASSERT_NEAR(wall->GetVolume(), kWallVolume - 0.3, kExact);

    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 2.5, 1, 3.5, 2), {0, 1, 0});
    AddOpening(maker, RectangleXZ(0, 0.25, 0.5, 1.75, 2.5), {0, 1, 0}); // around the tunnel
    maker.MakeHoles();
    EXPECT_EQ(maker.GetCutCount(), 1);
    // The rebuilt faces are bridged: every face is a disc, genus 2.
    ExpectSolid(wall.get(), kWallVolume - 2 * 0.3, -2);
    for (auto plane : {std::make_pair(Point{0, -1, 0}, 0.0), std::make_pair(Point{0, 1, 0}, -0.3)}) {
        const std::vector<G3Facet*> face = FacetsInPlane(wall.get(), plane.first, plane.second);
        ASSERT_EQ(face.size(), 1u);
        EXPECT_EQ(LoopCount(face[0]), 3);
        EXPECT_NEAR(face[0]->GetArea(), 10, kExact);
    }
    ExpectRecord(FacetsInPlane(wall.get(), {0, 1, 0}, -0.3).at(0), kBack, ROOF_FACET_LOWER);
}

TEST(HoleMaker, OpeningsThatMeetAnEarlierOneAreSkipped)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 1, 1, 2, 2), {0, 1, 0});
    AddOpening(maker, RectangleXZ(0, 1.5, 1.5, 2.5, 2.5), {0, 1, 0});     // crosses it
    AddOpening(maker, RectangleXZ(0, 1.25, 1.25, 1.75, 1.75), {0, 1, 0}); // inside it
    AddOpening(maker, RectangleXZ(0, 0.5, 0.5, 2.5, 2.5), {0, 1, 0});     // around it
    AddOpening(maker, RectangleXZ(0, 2, 1, 3, 2), {0, 1, 0});             // shares a side
    AddOpening(maker, RectangleXZ(0.3, 1.5, 1.5, 2.5, 2.5), {0, -1, 0});  // crosses it from the back
    maker.MakeHoles();
    EXPECT_EQ(maker.GetCutCount(), 1);
    ExpectSolid(wall.get(), kWallVolume - 0.3, 0);
}

// ---- Openings that do not fit --------------------------------------------

TEST(HoleMaker, OpeningOverAFaceBorderIsSkipped)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    const std::vector<G3Facet*> before = FacetList(wall.get());
    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 3.5, 1, 4.5, 2), {0, 1, 0}); // beyond x = 4
    AddOpening(maker, RectangleXZ(0, 3, 1, 4, 2), {0, 1, 0});     // on the border
    AddOpening(maker, RectangleXZ(0, 1, 2.5, 2, 3.5), {0, 1, 0}); // over the top
    AddOpening(maker, RectangleXZ(0, 1, 2, 2, 3), {0, 1, 0});     // up to the top
    maker.MakeHoles();
    ExpectUntouched(maker, wall.get(), before);
    EXPECT_EQ(ValidateTopology(wall.get()), "");
    EXPECT_EQ(wall->GetFacetCount(), 6);
}

TEST(HoleMaker, DirectionParallelToTheFacesIsSkipped)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    const std::vector<G3Facet*> before = FacetList(wall.get());
    G3HoleMaker maker(wall.get());
    AddOpening(maker, RectangleXZ(0, 1, 1, 2, 2), {1, 0, 0});
    AddOpening(maker, RectangleXZ(0, 1, 1, 2, 2), {0, 0, 1});
    // In the wall's middle plane, along x: the end faces are met, but the
    // outline seen along x has no area.
    AddOpening(maker, RectangleXZ(0.15, 1, 1, 2, 2), {1, 0, 0});
    maker.MakeHoles();
    ExpectUntouched(maker, wall.get(), before);
}

TEST(HoleMaker, OutlinesWithoutAProperInsideAreSkipped)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    const std::vector<G3Facet*> before = FacetList(wall.get());
    G3HoleMaker maker(wall.get());
    // A bow tie, and three points on a line.
    AddOpening(maker, {{1, 0, 1}, {2, 0, 2}, {2, 0, 1}, {1, 0, 2}, {1, 0, 1}}, {0, 1, 0});
    AddOpening(maker, {{1, 0, 1}, {2, 0, 1}, {3, 0, 1}, {1, 0, 1}}, {0, 1, 0});
    EXPECT_EQ(maker.GetOpeningCount(), 2);
    maker.MakeHoles();
    ExpectUntouched(maker, wall.get(), before);
}

TEST(HoleMaker, InvalidOpeningsAreNotStored)
{
    std::unique_ptr<G3Surface> wall = MakeWallBox();
    const std::vector<G3Facet*> before = FacetList(wall.get());
    G3HoleMaker maker(wall.get());
    Outline square(RectangleXZ(0, 1, 1, 2, 2));
    G3Point down(0, 1, 0), zero(0, 0, 0), nan(std::nan(""), 1, 0);
    EXPECT_FALSE(maker.AddHoleContour(nullptr, &down));
    EXPECT_FALSE(maker.AddHoleContour(&square.points, nullptr));
    EXPECT_FALSE(maker.AddHoleContour(&square.points, &zero));
    EXPECT_FALSE(maker.AddHoleContour(&square.points, &nan));
    Outline two({{1, 0, 1}, {2, 0, 1}, {1, 0, 1}, {2, 0, 1}, {1, 0, 1}});
    EXPECT_FALSE(maker.AddHoleContour(&two.points, &down));
    Outline unfinite({{1, 0, 1}, {2, 0, 1}, {2, 0, std::nan("")}, {1, 0, 1}});
    EXPECT_FALSE(maker.AddHoleContour(&unfinite.points, &down));
    GArrayCollection empty;
    EXPECT_FALSE(maker.AddHoleContour(&empty, &down));
    EXPECT_EQ(maker.GetOpeningCount(), 0);
    maker.MakeHoles();
    ExpectUntouched(maker, wall.get(), before);

    // Without a surface nothing happens either.
    G3HoleMaker none(nullptr);
    EXPECT_FALSE(none.AddHoleContour(&square.points, &down));
    EXPECT_EQ(none.GetOpeningCount(), 1);
    none.MakeHoles();
    EXPECT_EQ(none.GetCutCount(), 0);
}

TEST(HoleMaker, CopiesOwnTheirOpenings)
{
    std::unique_ptr<G3Surface> first = MakeWallBox();
    std::unique_ptr<G3Surface> second = MakeWallBox();
    auto original = std::make_unique<G3HoleMaker>(first.get());
    AddOpening(*original, RectangleXZ(0, 1, 1, 2, 2), {0, 1, 0});
    original->MakeHoles();
    G3HoleMaker copy(*original);
    EXPECT_EQ(copy.GetOpeningCount(), 1);
    EXPECT_EQ(copy.GetPanelCount(), 1);
    EXPECT_EQ(copy.GetCutCount(), 1);
    EXPECT_NE(copy.GetPanel(0), original->GetPanel(0));
    EXPECT_NE(copy.GetPanel(0)->GetOutlineOnA(0), original->GetPanel(0)->GetOutlineOnA(0));
    G3HoleMaker assigned(second.get());
    AddOpening(assigned, RectangleXZ(0, 3, 1, 3.5, 2), {0, 1, 0});
    assigned = *original;
    assigned = assigned;
    original.reset(); // the copies' points must not be the original's

    G3HoleMaker onSecond(second.get());
    onSecond = copy;
    EXPECT_EQ(onSecond.GetSurface(), first.get());
    G3HoleMaker cutter(second.get());
    AddOpening(cutter, RectangleXZ(0, 2.5, 1, 3.5, 2), {0, 1, 0});
    G3HoleMaker cutterCopy(cutter);
    cutterCopy.MakeHoles();
    EXPECT_EQ(cutterCopy.GetCutCount(), 1);
    ExpectSolid(second.get(), kWallVolume - 0.3, 0);
    EXPECT_EQ(assigned.GetOpeningCount(), 1);
    EXPECT_EQ(assigned.GetCutCount(), 1);
}

// ---- Roofs -----------------------------------------------------------------

TEST(HoleMaker, RoofLightKeepsTheRoofData)
{
    // A roof slab over [0, 4] x [0, 3] rising 45 degrees along y: lower face
    // z = y, upper face 0.2 higher, an eave band at y = 0, a ridge band at
    // y = 3 and gable bands at x = 0 and 4. Its cross-section is a
    // parallelogram of base 3 and height 0.2: volume 4 * 0.6 = 2.4.
    const std::vector<Point> p = {{0, 0, 0},   {4, 0, 0},   {4, 3, 3},   {0, 3, 3},
                                  {0, 0, 0.2}, {4, 0, 0.2}, {4, 3, 3.2}, {0, 3, 3.2}};
    const std::vector<Face> faces = {{{0, 3, 2, 1}, 1, ROOF_FACET_LOWER}, {{4, 5, 6, 7}, 1, ROOF_FACET_UPPER},
                                     {{0, 1, 5, 4}, 1, ROOF_FACET_EAVE},  {{3, 7, 6, 2}, 2, ROOF_FACET_EAVE},
                                     {{0, 4, 7, 3}, 1, ROOF_FACET_GABLE}, {{1, 2, 6, 5}, 1, ROOF_FACET_GABLE}};
    // A vertical light and one along the slab's normal (not of unit
    // length): both remove a prism of 1 x 1 in plan and 0.2 high.
    for (const Point& d : {Point{0, 0, -1}, Point{0, 1, -1}}) {
        std::unique_ptr<G3Surface> roof = BuildBody(p, faces);
        ASSERT_NEAR(roof->GetVolume(), 2.4, kExact);
        G3HoleMaker maker(roof.get());
        AddOpening(maker, {{1, 1, 1.2}, {2, 1, 1.2}, {2, 2, 2.2}, {1, 2, 2.2}, {1, 1, 1.2}}, d);
        maker.MakeHoles();
        ASSERT_EQ(maker.GetCutCount(), 1) << d[1];
        ExpectSolid(roof.get(), 2.4 - 0.2, 0);
        EXPECT_EQ(roof->GetFacetCount(), 6 + 4);
        const double s = std::sqrt(0.5);
        const std::vector<G3Facet*> upper = FacetsInPlane(roof.get(), {0, -s, s}, -0.2 * s);
        const std::vector<G3Facet*> lower = FacetsInPlane(roof.get(), {0, s, -s}, 0);
        ASSERT_EQ(upper.size(), 1u);
        ASSERT_EQ(lower.size(), 1u);
        EXPECT_EQ(LoopCount(upper[0]), 2);
        EXPECT_EQ(LoopCount(lower[0]), 2);
        ExpectRecord(upper[0], 1, ROOF_FACET_UPPER);
        ExpectRecord(lower[0], 1, ROOF_FACET_LOWER);
        ExpectRecord(FacetsInPlane(roof.get(), {0, -1, 0}, 0).at(0), 1, ROOF_FACET_EAVE);
        int without = 0;
        for (int k = 0; k < roof->GetFacetCount(); ++k)
            without += G3WallDataProvider::GetFacetType(roof->GetFacet(k)) == ROOF_FACET_NONE;
        EXPECT_EQ(without, 4); // the reveals
    }
}
