// The parts of the roof generator on their own: roof vertices and rings,
// the ring clean-up, the geometric building blocks (planes, crossings,
// offsets, slices, event heights), the older strip maker, texture
// coordinates and the queries over a roof surface.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "roof_test_support.h"
#include "topology_validator.h"

using namespace rooftest;

namespace {
const double kTol = 1e-9;

G3RoofVertex* MakeRing(const std::vector<std::array<double, 3>>& points, double angle = 0.5)
{
    G3RoofVertex* ring = nullptr;
    for (std::size_t k = 0; k < points.size(); ++k) {
        auto* v = new G3RoofVertex;
        v->SetXYZ(points[k].data());
        v->SetAngle(angle);
        v->SetSourceIndex(static_cast<int>(k));
        ring = G3RoofVertex::Append(ring, v);
    }
    return ring;
}

// The clockwise square [0, 4]^2 with its edge planes formed.
G3RoofVertex* PlanedSquare(double angle)
{
    G3RoofVertex* ring = MakeRing({{0, 0, 0}, {0, 4, 0}, {4, 4, 0}, {4, 0, 0}}, angle);
    G3RoofVertex* v = ring;
    do {
        EXPECT_TRUE(G3RoofGenerator::FormEdgePlane(v));
        v = v->GetNext();
    } while (v != ring);
    return ring;
}

// Both links agree all round, and the ring has exactly one head.
void ExpectSoundRing(G3RoofVertex* ring)
{
    int heads = 0, n = 0;
    G3RoofVertex* v = ring;
    do {
        EXPECT_EQ(v->GetNext()->GetPrevious(), v);
        EXPECT_EQ(v->GetPrevious()->GetNext(), v);
        heads += v->IsHead();
        v = v->GetNext();
        ASSERT_LT(++n, 100000);
    } while (v != ring);
    EXPECT_EQ(heads, 1);
}

G3Surface* Hipped(G3RoofGenerator& g, G3Surface* s, double thickness = 0)
{
    g = G3RoofGenerator(s, 0, thickness);
    const double a = 0.5;
    EXPECT_TRUE(g.Regen({{0, 0, 0}, {0, 4, 0}, {10, 4, 0}, {10, 0, 0}}, {a, a, a, a}));
    return s;
}
} // namespace

TEST(RoofParts, VerticesAndRings)
{
    G3RoofVertex lone;
    EXPECT_EQ(lone.GetXYZ()[0], G3RoofGenerator::FarValue());
    EXPECT_EQ(lone.GetAngle(), G3RoofVertex::kDefaultAngle);
    EXPECT_EQ(lone.GetPitchIndex(), -1);
    EXPECT_EQ(lone.GetSourceIndex(), -1);
    EXPECT_EQ(lone.GetNext(), &lone);
    EXPECT_EQ(lone.GetPrevious(), &lone);

    G3RoofVertex* ring = MakeRing({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}});
    ASSERT_EQ(G3RoofVertex::Count(ring), 4);
    ExpectSoundRing(ring);
    EXPECT_TRUE(ring->IsHead());
    // A copy takes the values, not the links.
    ring->GetNext()->SetUpper(ring);
    ring->GetNext()->SetPitchIndex(3);
    G3RoofVertex copy(*ring->GetNext());
    EXPECT_EQ(copy.GetNext(), &copy);
    EXPECT_EQ(copy.GetUpper(), nullptr);
    EXPECT_EQ(copy.GetPitchIndex(), 3);
    EXPECT_EQ(copy.GetSourceIndex(), 1);
    EXPECT_EQ(copy.GetXYZ()[1], 1);
    // Removing the head passes the head to its previous vertex.
    G3RoofVertex* last = ring->GetPrevious();
    ring = G3RoofVertex::Remove(ring, ring);
    EXPECT_EQ(ring, last);
    EXPECT_TRUE(ring->IsHead());
    ExpectSoundRing(ring);
    G3RoofVertex::Reverse(ring);
    ExpectSoundRing(ring);
    EXPECT_EQ(G3RoofVertex::Count(ring), 3);
    EXPECT_GT(G3RoofVertex::Area2(ring), 0); // now counter-clockwise
    G3RoofVertex::DeleteRing(ring);
}

TEST(RoofParts, CleaningRings)
{
    // Equal neighbours go; collinear points merge into one edge that keeps
    // the later point's angle and source.
    G3RoofVertex* ring = MakeRing({{0, 0, 0}, {0, 2, 0}, {0, 4, 0}, {4, 4, 0}, {4, 4, 0}, {4, 0, 0}});
    ring->GetNext()->GetNext()->SetAngle(0.9);
    ring = G3RoofGenerator::DeleteUselessVertices(ring);
    ASSERT_EQ(G3RoofVertex::Count(ring), 4);
    ExpectSoundRing(ring);
    G3RoofVertex* top = ring;
    while (top->GetXYZ()[1] != 4 || top->GetXYZ()[0] != 0)
        top = top->GetNext();
    EXPECT_EQ(top->GetAngle(), 0.9);
    EXPECT_EQ(top->GetSourceIndex(), 2);
    G3RoofVertex::DeleteRing(ring);

    // A spike: the edge that stays lies along the longer spike edge and
    // takes its plane; the reference ring's upper links follow the vertex
    // that takes the removed one's place.
    G3RoofVertex* spike = MakeRing({{0, 0, 0}, {6, 0, 0}, {2, 0, 0}, {2, -3, 0}});
    const double planeA[4] = {1, 0, 0, 0}, planeB[4] = {0, 1, 0, 0};
    G3RoofVertex* tip = spike->GetNext();
    tip->SetPlane(planeA);
    tip->GetNext()->SetPlane(planeB);
    G3RoofVertex* reference = MakeRing({{0, 0, -1}, {6, 0, -1}});
    reference->GetNext()->SetUpper(tip);
    reference->SetUpper(spike);
    G3RoofVertex* keep = tip->GetNext();
    spike = G3RoofGenerator::DeleteUselessVertices(spike, reference);
    ASSERT_EQ(G3RoofVertex::Count(spike), 3);
    EXPECT_EQ(keep->GetPlane()[0], 1);
    EXPECT_EQ(reference->GetNext()->GetUpper(), keep);
    EXPECT_EQ(reference->GetUpper(), spike);
    G3RoofVertex::DeleteRing(spike);
    G3RoofVertex::DeleteRing(reference);

    // The tip of a long sliver between two nearly parallel edges is a
    // corner (its edges are parallel within the angle tolerance, but its
    // far ends lie well apart); a spike whose edges lie on one line within
    // rounding is not.
    G3RoofVertex* sliver = MakeRing({{0, 0, 0}, {10, 5e-4, 0}, {0, 1e-3, 0}, {-5, 5, 0}});
    sliver = G3RoofGenerator::DeleteUselessVertices(sliver);
    EXPECT_EQ(G3RoofVertex::Count(sliver), 4);
    G3RoofVertex::DeleteRing(sliver);
    G3RoofVertex* flat = MakeRing({{0, 0, 0}, {10, 1e-12, 0}, {4, 2e-12, 0}, {-5, 5, 0}});
    flat = G3RoofGenerator::DeleteUselessVertices(flat);
    EXPECT_EQ(G3RoofVertex::Count(flat), 3);
    G3RoofVertex::DeleteRing(flat);

    // A ring on one line shrinks to nothing.
    EXPECT_EQ(G3RoofGenerator::DeleteUselessVertices(MakeRing({{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {1, 1, 0}})), nullptr);
    EXPECT_EQ(G3RoofGenerator::DeleteUselessVertices(nullptr), nullptr);
}

TEST(RoofParts, TurnsAndTurningSense)
{
    G3RoofVertex* cw = MakeRing({{0, 0, 0}, {0, 4, 0}, {4, 4, 0}, {2, 2, 0}, {4, 0, 0}});
    EXPECT_EQ(G3RoofGenerator::GetClockWiseDirection(cw), 1);
    EXPECT_EQ(G3RoofGenerator::Turn(cw->GetNext()), 1);                        // convex corner
    EXPECT_EQ(G3RoofGenerator::Turn(cw->GetNext()->GetNext()->GetNext()), -1); // reflex corner
    G3RoofVertex::Reverse(cw);
    EXPECT_EQ(G3RoofGenerator::GetClockWiseDirection(cw), -1);
    G3RoofVertex::DeleteRing(cw);

    GArrayCollection list;
    G3Point p[5] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {2, 2, 0}, {0, 4, 0}};
    for (G3Point& q : p)
        list.add(&q);
    EXPECT_EQ(G3RoofGenerator::GetClockWiseDirection(&list), -1);
    // Ties on the lowest y: the first found; wrapping at both ends.
    GArrayCollection tie;
    G3Point t[4] = {{4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}};
    for (G3Point& q : t)
        tie.add(&q);
    EXPECT_EQ(G3RoofGenerator::GetClockWiseDirection(&tie), -1);
    GArrayCollection line;
    G3Point l[3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    for (G3Point& q : l)
        line.add(&q);
    EXPECT_EQ(G3RoofGenerator::GetClockWiseDirection(&line), 0);
    EXPECT_EQ(G3RoofGenerator::GetClockWiseDirection(static_cast<GArrayCollection*>(nullptr)), 0);
    list.clear();
    tie.clear();
    line.clear();
}

TEST(RoofParts, PlanesPointsAndCrossings)
{
    // The edge plane rises with the slope to the right of the edge.
    G3RoofVertex* square = PlanedSquare(M_PI / 4);
    const double* plane = square->GetNext()->GetPlane(); // edge (0,0)->(0,4)
    auto z = [&](double x, double y) { return -(plane[0] * x + plane[1] * y + plane[3]) / plane[2]; };
    EXPECT_NEAR(z(1, 2), 1, kTol);
    EXPECT_NEAR(z(3, 0), 3, kTol);

    double p[3];
    const double a[4] = {1, 0, 0, -1}, b[4] = {0, 1, 0, -2}, c[4] = {0, 0, 1, -3}, a2[4] = {2, 0, 0, 5};
    ASSERT_TRUE(G3RoofGenerator::ThreePlanePoint(a, b, c, p));
    EXPECT_NEAR(p[0], 1, kTol);
    EXPECT_NEAR(p[1], 2, kTol);
    EXPECT_NEAR(p[2], 3, kTol);
    EXPECT_FALSE(G3RoofGenerator::ThreePlanePoint(a, a2, c, p));
    // Any three edge planes of the square meet at its apex; two parallel
    // planes meet no third in a point.
    EXPECT_NEAR(G3RoofGenerator::Height(square, square->GetNext(), square->GetNext()->GetNext()), 2, kTol);
    EXPECT_NEAR(G3RoofGenerator::Height(square->GetPrevious(), square, square->GetNext()), 2, kTol);
    G3RoofVertex::DeleteRing(square);
    G3RoofVertex pa, pb, pc;
    pa.SetPlane(a);
    pb.SetPlane(a2);
    pc.SetPlane(c);
    EXPECT_EQ(G3RoofGenerator::Height(&pa, &pb, &pc), G3RoofGenerator::FarValue());

    const double o[3] = {0, 0, 0}, x4[3] = {4, 0, 0}, d1[3] = {2, -1, 0}, d2[3] = {2, 1, 0}, d3[3] = {2, 0, 0},
                 e1[3] = {5, -1, 0}, e2[3] = {5, 1, 0}, f1[3] = {0, 1, 0}, f2[3] = {4, 1, 0};
    EXPECT_TRUE(G3RoofGenerator::SegmentsCross(o, x4, d1, d2));  // an X
    EXPECT_TRUE(G3RoofGenerator::SegmentsCross(o, x4, d3, d2));  // a T: touching counts
    EXPECT_FALSE(G3RoofGenerator::SegmentsCross(o, x4, e1, e2)); // beyond the end
    EXPECT_FALSE(G3RoofGenerator::SegmentsCross(o, x4, f1, f2)); // parallel
    EXPECT_TRUE(G3RoofGenerator::RightOrBack(o, x4, d3, d1));    // right turn
    EXPECT_FALSE(G3RoofGenerator::RightOrBack(o, x4, d3, d2));   // left turn
    EXPECT_TRUE(G3RoofGenerator::RightOrBack(o, x4, x4, o));     // straight back
    EXPECT_FALSE(G3RoofGenerator::RightOrBack(o, x4, o, x4));    // straight on

    G3RoofVertex* bowTie = MakeRing({{0, 0, 0}, {4, 4, 0}, {4, 0, 0}, {0, 4, 0}});
    EXPECT_TRUE(G3RoofGenerator::RingCrossesItself(bowTie));
    G3RoofVertex::DeleteRing(bowTie);
    G3RoofVertex* plain = MakeRing({{0, 0, 0}, {0, 4, 0}, {4, 4, 0}, {4, 0, 0}});
    EXPECT_FALSE(G3RoofGenerator::RingCrossesItself(plain));
    G3RoofVertex::DeleteRing(plain);
}

TEST(RoofParts, OffsetSliceAndEvents)
{
    // Offset by 1 at 45 degrees: one out, one down; old corners name the
    // new ones.
    G3RoofVertex* square = PlanedSquare(M_PI / 4);
    G3RoofVertex* out = nullptr;
    ASSERT_TRUE(G3RoofGenerator::Offset(square, M_PI / 4, 1, out));
    ASSERT_EQ(G3RoofVertex::Count(out), 4);
    G3RoofVertex* v = square;
    do {
        ASSERT_NE(v->GetUpper(), nullptr);
        for (int k = 0; k < 2; ++k)
            EXPECT_NEAR(v->GetUpper()->GetXYZ()[k], v->GetXYZ()[k] == 0 ? -1 : 5, kTol);
        EXPECT_NEAR(v->GetUpper()->GetZ(), -1, kTol);
        EXPECT_EQ(v->GetUpper()->GetSourceIndex(), v->GetSourceIndex());
        v = v->GetNext();
    } while (v != square);
    G3RoofVertex::DeleteRing(out);
    // A zero angle raises instead; a ring with a straight corner cannot be
    // offset.
    ASSERT_TRUE(G3RoofGenerator::Offset(square, 0, 2, out));
    EXPECT_NEAR(out->GetZ(), 2, kTol);
    EXPECT_NEAR(out->GetXYZ()[0], 0, kTol);
    G3RoofVertex::DeleteRing(out);
    G3RoofVertex* straight = MakeRing({{0, 0, 0}, {0, 2, 0}, {0, 4, 0}, {4, 4, 0}, {4, 0, 0}});
    EXPECT_FALSE(G3RoofGenerator::Offset(straight, 0.5, 1, out));
    EXPECT_EQ(out, nullptr);
    G3RoofVertex::DeleteRing(straight);

    // Slice at 1.5 with links: the square shrunk by 1.5 all round.
    G3RoofVertex* slice = G3RoofGenerator::Slice(square, 1.5, true);
    ASSERT_EQ(G3RoofVertex::Count(slice), 4);
    v = square;
    do {
        ASSERT_NE(v->GetUpper(), nullptr);
        for (int k = 0; k < 2; ++k)
            EXPECT_NEAR(v->GetUpper()->GetXYZ()[k], v->GetXYZ()[k] == 0 ? 1.5 : 2.5, kTol);
        v = v->GetNext();
    } while (v != square);
    // The square's edges all vanish at 2 (tan 45 = 1, half of 4).
    EXPECT_NEAR(G3RoofGenerator::EventHeight(square, 0), 2, kTol);
    EXPECT_NEAR(G3RoofGenerator::EventHeight(slice, 1.5), 2, kTol);

    // The older strip maker: one quad (flags 2) per edge between the square
    // and its slice.
    G3Surface s;
    G3RoofGenerator g(&s);
    EXPECT_TRUE(g.MakeNextRoofSection(square));
    EXPECT_EQ(s.GetFacetCount(), 4);
    for (int k = 0; k < s.GetFacetCount(); ++k)
        EXPECT_EQ(s.GetFacet(k)->GetFlags(), 2);
    EXPECT_EQ(ValidateTopology(&s), "");
    G3RoofVertex::DeleteRing(slice);

    // A block with a deep notch: the notch's reflex corners reach the
    // bottom edge at 1, before any edge vanishes (at 2.25).
    G3RoofVertex* u = MakeRing(
        {{0, 0, 0}, {0, 6, 0}, {4.5, 6, 0}, {4.5, 2, 0}, {5.5, 2, 0}, {5.5, 6, 0}, {10, 6, 0}, {10, 0, 0}}, M_PI / 4);
    v = u;
    do {
        ASSERT_TRUE(G3RoofGenerator::FormEdgePlane(v));
        v = v->GetNext();
    } while (v != u);
    EXPECT_NEAR(G3RoofGenerator::EventHeight(u, 0), 1, kTol);
    G3RoofVertex::DeleteRing(u);
    G3RoofVertex::DeleteRing(square);
}

TEST(RoofParts, OverhangContourAlongThePlanes)
{
    G3RoofVertex* square = MakeRing({{0, 0, 0}, {0, 4, 0}, {4, 4, 0}, {4, 0, 0}}, M_PI / 4);
    G3RoofGenerator g(nullptr, 0, 0, 1);
    G3RoofVertex* eave = g.MakeOverhangContour(square);
    ASSERT_EQ(G3RoofVertex::Count(eave), 4);
    G3RoofVertex* v = eave;
    do {
        EXPECT_NEAR(v->GetZ(), -1, kTol);
        EXPECT_NEAR(std::fabs(v->GetXYZ()[0] - 2), 3, kTol);
        EXPECT_NEAR(std::fabs(v->GetXYZ()[1] - 2), 3, kTol);
        EXPECT_NEAR(v->GetAngle(), M_PI / 4, kTol);
        v = v->GetNext();
    } while (v != eave);
    G3RoofVertex::DeleteRing(eave);
    G3RoofVertex::DeleteRing(square);
    EXPECT_EQ(g.MakeOverhangContour(nullptr), nullptr);
}

TEST(RoofParts, LevelsFromAParentLoop)
{
    // The square's first level done by hand: sliced at 1 with links, the
    // strips between the square and its slice, then everything above. Each
    // plane's strips join into its whole face, a triangle of area 4.
    G3Surface s;
    G3RoofGenerator g(&s);
    G3RoofVertex* square = PlanedSquare(M_PI / 4);
    ASSERT_TRUE(g.FirstLevelInitialization(square));
    ASSERT_EQ(g.GetPitchCount(), 4);
    G3RoofVertex* slice = G3RoofGenerator::Slice(square, 1, true);
    ASSERT_TRUE(g.MakeRoofEx(square, slice));
    EXPECT_EQ(g.GetRings()->size(), 2);
    for (int i = 0; i < g.GetPitchCount(); ++i) {
        G3RoofPitch* pitch = g.GetPitch(i);
        g.MergePitchPolygons(pitch);
        ASSERT_EQ(pitch->GetPolygonCount(), 1);
        EXPECT_EQ(G3RoofVertex::Count(pitch->GetPolygon(0)), 3);
        EXPECT_NEAR(G3RoofVertex::Area2(pitch->GetPolygon(0)), 8, kTol);
        // Its head is on the eave, its apex at the top.
        EXPECT_NEAR(pitch->GetPolygon(0)->GetZ(), 0, kTol);
    }
    EXPECT_EQ(s.GetFacetCount(), 0);
}

TEST(RoofParts, PitchPolygonsAreSoundRings)
{
    // Every polygon of every pitch after a generation: links agree both
    // ways, one head, and each polygon runs counter-clockwise in plan.
    OrthogonalOutline o(40, 3, true);
    ASSERT_TRUE(o.Ok());
    G3Surface s;
    G3RoofGenerator g(&s);
    ASSERT_TRUE(g.Regen(o.Get(), std::vector<double>(o.Get().size(), 0.6)));
    int polygons = 0;
    for (int i = 0; i < g.GetPitchCount(); ++i)
        for (int k = 0; k < g.GetPitch(i)->GetPolygonCount(); ++k) {
            ExpectSoundRing(g.GetPitch(i)->GetPolygon(k));
            EXPECT_GT(G3RoofVertex::Area2(g.GetPitch(i)->GetPolygon(k)), 0);
            ++polygons;
        }
    EXPECT_EQ(polygons, s.GetFacetCount());
    EXPECT_EQ(g.GetRings()->size(), 1);
}

TEST(RoofParts, ARingThatCrossesItselfEndsWithoutHanging)
{
    // The steps called directly with a crossing ring (Regen refuses it):
    // the generation ends, and the facets it leaves are whole.
    G3Surface s;
    G3RoofGenerator g(&s);
    G3RoofVertex* ring = g.PrepareContour({{0, 0, 0}, {6, 5, 0}, {6, 0, 0}, {0, 3, 0}}, {0.5, 0.5, 0.5, 0.5});
    ASSERT_NE(ring, nullptr);
    ASSERT_TRUE(g.FirstLevelInitialization(ring));
    G3Surface work;
    const auto t0 = std::chrono::steady_clock::now();
    g.MakeRoof(ring, &work);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 10);
    EXPECT_EQ(ValidateTopology(&s), "");
}

TEST(RoofParts, TextureCoordinatesRunAlongTheEaves)
{
    G3RoofGenerator none;
    EXPECT_FALSE(none.GenerateTexCoo());
    G3Surface empty;
    G3RoofGenerator nothing(&empty);
    EXPECT_FALSE(nothing.GenerateTexCoo());

    G3Surface s;
    G3RoofGenerator g;
    Hipped(g, &s);
    ASSERT_TRUE(g.GenerateTexCoo());
    for (int k = 0; k < s.GetFacetCount(); ++k) {
        G3Facet* f = s.GetFacet(k);
        std::vector<std::array<double, 4>> eave; // x, y, u, v of corners at z = 0
        GArrayCollection vertices;
        f->GetVertices(&vertices);
        for (int i = 0; i < vertices.size(); ++i) {
            auto* v = static_cast<G3Vertex*>(vertices.get(i));
            G3TexCoo* t = nullptr;
            G3Normal* n = f->GetNormal(v, &t);
            ASSERT_NE(n, nullptr);
            ASSERT_NE(t, nullptr);
            // The normal is the facet plane's.
            EXPECT_NEAR(n->GetX() * f->GetPlaneA() + n->GetY() * f->GetPlaneB() + n->GetZ() * f->GetPlaneC(), 1, 1e-9);
            if (std::fabs(v->GetZ()) < kTol)
                eave.push_back({v->GetX(), v->GetY(), t->GetU(), t->GetV()});
        }
        // Along the eave u runs with the length and v stays.
        ASSERT_EQ(eave.size(), 2u);
        EXPECT_NEAR(eave[0][3], eave[1][3], 1e-9);
        EXPECT_NEAR(std::fabs(eave[0][2] - eave[1][2]), std::hypot(eave[0][0] - eave[1][0], eave[0][1] - eave[1][1]),
                    1e-9);
    }
    EXPECT_EQ(ValidateTopology(&s), "");
}

TEST(RoofParts, FacetsBySectionPointAndEdge)
{
    G3Surface s;
    G3RoofGenerator g;
    Hipped(g, &s, 0.2);
    double p[3];
    for (long id = 1; id <= 4; ++id) {
        G3Facet* f = G3RoofGenerator::GetFacetbyPoint(&s, id, ROOF_FACET_LOWER, p);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(G3RoofGenerator::GetFacetIndex(f), id);
        EXPECT_EQ(G3RoofGenerator::GetFacetType(f), ROOF_FACET_LOWER);
        EXPECT_NEAR(f->GetPlaneA() * p[0] + f->GetPlaneB() * p[1] + f->GetPlaneC() * p[2] + f->GetPlaneD(), 0, 1e-9);
        // The point found is inside: the point query finds a facet there
        // (lower or upper face, whichever comes first) of the same section.
        G3Facet* at = nullptr;
        ASSERT_TRUE(G3RoofGenerator::GetFacetbyPoint(p, &s, ROOF_FACET_NONE, at));
        EXPECT_EQ(G3RoofGenerator::GetFacetIndex(at), id);
    }
    // Bands (facet flag 2) are never answers; an unknown id has no facet.
    EXPECT_EQ(G3RoofGenerator::GetFacetbyPoint(&s, 1, ROOF_FACET_EAVE, p), nullptr);
    EXPECT_EQ(G3RoofGenerator::GetFacetbyPoint(&s, 9, ROOF_FACET_NONE, p), nullptr);
    const double off[3] = {50, 50, 0};
    G3Facet* at = nullptr;
    EXPECT_FALSE(G3RoofGenerator::GetFacetbyPoint(off, &s, ROOF_FACET_NONE, at));

    // The eave of section 1 (y = 0): the lower face, not its band.
    const double e1[3] = {0, 0, 0}, e2[3] = {10, 0, 0};
    G3Facet* f = nullptr;
    ASSERT_TRUE(G3RoofGenerator::GetFacetbyEdge(e1, e2, &s, ROOF_FACET_NONE, f));
    EXPECT_EQ(G3RoofGenerator::GetFacetType(f), ROOF_FACET_LOWER);
    EXPECT_EQ(G3RoofGenerator::GetFacetIndex(f), 1);
    EXPECT_FALSE(G3RoofGenerator::GetFacetbyEdge(e1, e2, &s, ROOF_FACET_UPPER, f));
    const double u1[3] = {0, 0, 0.2}, u2[3] = {10, 0, 0.2};
    ASSERT_TRUE(G3RoofGenerator::GetFacetbyEdge(u1, u2, &s, ROOF_FACET_UPPER, f));
    EXPECT_EQ(G3RoofGenerator::GetFacetIndex(f), 1);
}

TEST(RoofParts, NeighbouringSectionIds)
{
    G3Surface s;
    G3RoofGenerator g;
    Hipped(g, &s);
    long previous = 0, next = 0;
    ASSERT_TRUE(G3RoofGenerator::GetNeighboringFacetID(&s, 4, 1, previous, next));
    EXPECT_EQ(previous, 4);
    EXPECT_EQ(next, 2);
    ASSERT_TRUE(G3RoofGenerator::GetNeighboringFacetID(&s, 4, 4, previous, next));
    EXPECT_EQ(previous, 3);
    EXPECT_EQ(next, 1);
    // Without neighbours, or with no ids at all, the search gives up after
    // count - 1 tries each way.
    EXPECT_FALSE(G3RoofGenerator::GetNeighboringFacetID(&s, 0, 1, previous, next));
    EXPECT_FALSE(G3RoofGenerator::GetNeighboringFacetID(&s, -5, 1, previous, next));
    EXPECT_FALSE(G3RoofGenerator::GetNeighboringFacetID(&s, 1, 1, previous, next));
    G3Surface empty;
    EXPECT_FALSE(G3RoofGenerator::GetNeighboringFacetID(&empty, 100000, 3, previous, next));

    // A gable roof has faces for sections 1 and 3 only: they are each
    // other's neighbours both ways.
    G3Surface gable;
    G3RoofGenerator gg(&gable);
    ASSERT_TRUE(gg.Regen({{0, 0, 0}, {0, 4, 0}, {10, 4, 0}, {10, 0, 0}}, {0.5, M_PI / 2, 0.5, M_PI / 2}));
    ASSERT_TRUE(G3RoofGenerator::GetNeighboringFacetID(&gable, 4, 1, previous, next));
    EXPECT_EQ(previous, 3);
    EXPECT_EQ(next, 3);
}
