// Boxes, spheres and offset bodies against analytic measures: counts from
// the construction, volumes by the divergence theorem (positive only when
// every facet faces outwards) and exact formulas, and the topology checked
// link by link.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "tessaly/solids.h"
#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"
#include "voxel_bodies.h"

namespace {
using Body = std::unique_ptr<G3Surface>;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

double Dot(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Closed, sound, a sphere's topology, the volume by both measures, and
// every facet's plane normal pointing away from a point inside (given for
// convex solids only).
void ExpectSolid(G3Surface* s, double volume, double tolerance, const double* inner)
{
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_TRUE(s->GetClosed());
    EXPECT_EQ(EulerCharacteristic(s), 2);
    EXPECT_NEAR(DivergenceVolume(s), volume, tolerance);
    EXPECT_NEAR(s->GetVolume(), volume, tolerance);
    GArrayCollection vertices;
    for (int k = 0; inner && k < s->GetFacetCount(); ++k) {
        s->GetFacet(k)->GetVertices(&vertices);
        const double* p = static_cast<G3Vertex*>(vertices.get(0))->GetXYZ();
        const double away[3] = {p[0] - inner[0], p[1] - inner[1], p[2] - inner[2]};
        EXPECT_GT(Dot(s->GetFacet(k)->GetPlane(), away), 0) << k;
    }
}

void Turned(double m[4][4])
{
    M4Identity(m);
    M4RotateX(m, 0.3);
    M4RotateY(m, 1.1);
    M4RotateZ(m, -0.7);
    M4Translate(m, 5, -3, 2);
}

TEST(SolidsBuilder, BoxIsTheTransformedOutwardBox)
{
    // 0 the identity, 1 turned and moved, 2 the same mirrored.
    const struct {
        int matrix;
        double s;
    } cases[] = {{0, 1.0}, {1, 1.0}, {2, 1.0}, {2, 2.5}, {1, 0.01}};
    for (const auto& c : cases) {
        double m[4][4];
        Turned(m);
        if (c.matrix == 0)
            M4Identity(m);
        if (c.matrix == 2)
            M4Scale(m, -1, 1, 1);
        Body box(G3SolidsBuilder::BuildBox(m, c.s, nullptr));
        double middle[4] = {0, 0, c.s, 1};
        V4MulPointByMatrix(middle, m, middle);
        const double volume = 8 * c.s * c.s * c.s;
        ExpectSolid(box.get(), volume, 1e-9 * volume, middle);
        EXPECT_EQ(box->GetVertexCount(), 8);
        EXPECT_EQ(box->GetFacetCount(), 6);
        GEnvelope e;
        box->FormEnvelope(&e);
        if (c.matrix == 0) {
            EXPECT_EQ(
                std::vector<double>({e.GetMinX(), e.GetMinY(), e.GetMinZ(), e.GetMaxX(), e.GetMaxY(), e.GetMaxZ()}),
                std::vector<double>({-1, -1, 0, 1, 1, 2}));
        }
    }
}

TEST(SolidsBuilder, SimpleSphereIsAClosedOutwardSphere)
{
    const double centre[3] = {1, -2, 3}, r = 2;
    const struct {
        int n, built;
    } cases[] = {{3, 4}, {7, 8}, {8, 8}, {16, 16}};
    for (const auto& c : cases) {
        Body s(G3SolidsBuilder::BuildSphere(centre, r, c.n));
        EXPECT_EQ(s->GetVertexCount(), (c.built / 2 - 1) * c.built + 2) << c.n;
        EXPECT_EQ(s->GetFacetCount(), c.built * c.built / 2);
        const double volume = DivergenceVolume(s.get());
        ExpectSolid(s.get(), volume, 1e-9, centre);
        EXPECT_GT(volume, c.n == 3 ? 4.0 / 3 * r * r * r - 1e-12 : 0); // the octahedron, exactly
        EXPECT_LT(volume, 4.0 / 3 * M_PI * r * r * r);
    }
}

// The volumes of ever finer spheres grow towards the ball's from below,
// the error falling as the square of the step.
TEST(SolidsBuilder, SpheresConvergeFromBelow)
{
    const double centre[3] = {0, 0, 0}, ball = 4.0 / 3 * M_PI;
    std::vector<double> errors[4];
    for (int n = 8; n <= 64; n *= 2) {
        Body simple(G3SolidsBuilder::BuildSphere(centre, 1, n));
        errors[0].push_back(ball - simple->GetVolume());
        for (int kind = 0; kind < 3; ++kind) {
            G3Surface* out = nullptr;
            ASSERT_TRUE(
                G3SolidsBuilder::BuildSphere(centre, 1, n / 2 + 1, n, kind ? 1 : 0, false, &out, false, kind == 2));
            Body full(out);
            errors[kind + 1].push_back((kind ? ball / 2 : ball) - full->GetVolume());
        }
    }
    for (const auto& e : errors)
        for (std::size_t k = 0; k < e.size(); ++k) {
            EXPECT_GT(e[k], 0);
            if (k > 0) {
                EXPECT_GT(e[k - 1] / e[k], 3.5);
                EXPECT_LT(e[k - 1] / e[k], 4.5);
            }
        }
}

TEST(SolidsBuilder, FullSpheresAndHemispheresAreClosedAndOutward)
{
    const double centre[3] = {1, -2, 3}, r = 2;
    const struct {
        int kind, nLat, nLon;
        bool lower, keep, smooth;
    } cases[] = {
        {0, 9, 12, false, false, false}, {0, 9, 12, false, true, false}, {0, 8, 7, false, false, true},
        {1, 9, 12, false, false, false}, {1, 8, 7, false, true, true},   {1, 9, 12, true, false, true},
        {1, 3, 3, true, true, false},
    };
    for (const auto& c : cases) {
        G3Surface* out = nullptr;
        ASSERT_TRUE(G3SolidsBuilder::BuildSphere(centre, r, c.nLat, c.nLon, c.kind, c.smooth, &out, c.keep, c.lower));
        Body s(out);
        const bool hemi = c.kind == 1;
        const int rows = hemi ? c.nLat / 2 + 1 : c.nLat, poles = hemi ? 1 : 2;
        EXPECT_EQ(s->GetVertexCount(), c.keep ? rows * c.nLon : (rows - poles) * c.nLon + poles);
        EXPECT_EQ(s->GetFacetCount(), (rows - 1) * c.nLon + (hemi ? 1 : 0));
        EXPECT_EQ(s->GetNormalCount() > 0, c.smooth && !c.keep);
        if (c.keep) {
            EXPECT_FALSE(s->GetClosed()); // the pole rows are still apart
            EXPECT_EQ(s->RemoveEqualsVertex(), poles * (c.nLon - 1));
        }
        const double volume = DivergenceVolume(s.get());
        const double inner[3] = {centre[0], centre[1], centre[2] + (hemi ? (c.lower ? -r : r) / 4 : 0)};
        ExpectSolid(s.get(), volume, 1e-9, inner);
        EXPECT_GT(volume, 0);
        EXPECT_LT(volume, (hemi ? 2.0 : 4.0) / 3 * M_PI * r * r * r);
        GEnvelope e;
        s->FormEnvelope(&e);
        EXPECT_EQ(e.GetMinZ(), hemi && !c.lower ? centre[2] : centre[2] - r);
        EXPECT_EQ(e.GetMaxZ(), hemi && c.lower ? centre[2] : centre[2] + r);
        // Smooth normals: unit, and close to the radius on the curved part
        // (the cap, of nLon corners, keeps its plane's).
        GArrayCollection vertices;
        for (int k = 0; c.smooth && !c.keep && k < s->GetFacetCount(); ++k) {
            G3Facet* f = s->GetFacet(k);
            f->GetVertices(&vertices);
            for (int i = 0; i < vertices.size(); ++i) {
                auto* v = static_cast<G3Vertex*>(vertices.get(i));
                G3TexCoo* t = nullptr;
                G3Normal* normal = f->GetNormal(v, &t);
                ASSERT_NE(normal, nullptr);
                const double* n = normal->GetXYZ();
                const double radial[3] = {v->GetX() - centre[0], v->GetY() - centre[1], v->GetZ() - centre[2]};
                EXPECT_NEAR(Dot(n, n), 1, 1e-9);
                EXPECT_GT(f->GetEdgeCount() == c.nLon ? Dot(n, f->GetPlane()) : Dot(n, radial) / r, 0.9);
            }
        }
    }
}

TEST(SolidsBuilder, InvalidInputGivesNullFalseOrAnEmptySurface)
{
    double m[4][4];
    M4Identity(m);
    for (double s : {0.0, -1.0, 1e-7, kNaN, HUGE_VAL})
        EXPECT_EQ(G3SolidsBuilder::BuildBox(m, s, nullptr), nullptr) << s;
    EXPECT_EQ(G3SolidsBuilder::BuildBox(nullptr, 1.0, nullptr), nullptr);
    m[2][1] = kNaN;
    EXPECT_EQ(G3SolidsBuilder::BuildBox(m, 1.0, nullptr), nullptr);
    M4Identity(m);
    M4Scale(m, 1, 1, 0); // flat: no volume
    EXPECT_EQ(G3SolidsBuilder::BuildBox(m, 1.0, nullptr), nullptr);

    const double centre[3] = {0, 0, 0}, bad[3] = {0, kNaN, 0};
    const std::pair<double, int> simple[] = {{1e-7, 8}, {kNaN, 8}, {1.0, 2}, {1.0, -5}, {1.0, INT_MAX}};
    for (const auto& [radius, n] : simple) {
        Body empty(G3SolidsBuilder::BuildSphere(centre, radius, n));
        EXPECT_EQ(empty->GetVertexCount() + empty->GetFacetCount(), 0);
    }
    EXPECT_EQ(Body(G3SolidsBuilder::BuildSphere(bad, 1, 8))->GetFacetCount(), 0);

    G3Surface dummy;
    const struct {
        const double* centre;
        double r;
        int nLat, nLon, kind;
    } full[] = {{centre, 1e-7, 9, 8, 0}, {centre, HUGE_VAL, 9, 8, 0}, {centre, 1, 2, 8, 0}, {centre, 1, 9, 2, 1},
                {centre, 1, 9, 8, 2},    {nullptr, 1, 9, 8, 0},       {bad, 1, 9, 8, 1}};
    for (const auto& c : full) {
        G3Surface* out = &dummy;
        EXPECT_FALSE(G3SolidsBuilder::BuildSphere(c.centre, c.r, c.nLat, c.nLon, c.kind, true, &out, false, false));
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_FALSE(G3SolidsBuilder::BuildSphere(centre, 1, 9, 8, 0, false, nullptr, false, false));

    Body cube(MakeCube());
    G3Surface* out = &dummy;
    EXPECT_FALSE(G3SolidsBuilder::Shell(nullptr, &out, 0.1, nullptr));
    EXPECT_EQ(out, nullptr);
    out = &dummy;
    EXPECT_FALSE(G3SolidsBuilder::Shell(cube.get(), &out, kNaN, nullptr));
    EXPECT_EQ(out, nullptr);
    EXPECT_FALSE(G3SolidsBuilder::Shell(cube.get(), nullptr, 0.1, nullptr));
}

TEST(SolidsBuilder, ShellMovesEveryPlaneOutwardsByT)
{
    // The unit cube grows by t on every side that moves; an open top stays.
    const struct {
        double t;
        bool openTop;
        double volume;
    } cases[] = {{0, false, 1},
                 {0.25, false, 1.5 * 1.5 * 1.5},
                 {-0.25, false, 0.125},
                 {0.25, true, 1.5 * 1.5 * 1.25},
                 {-0.25, true, 0.5 * 0.5 * 0.75}};
    Body other(MakeTetrahedron());
    for (const auto& c : cases) {
        Body cube(MakeCube());
        G3Facet* top = cube->GetFacet(1);
        cube->GetFacet(3)->SetMark(); // the caller's mark: kept, and no open facet
        GArrayCollection open;
        open.add(nullptr);
        open.add(other->GetFacet(0)); // not a facet of the cube: ignored
        if (c.openTop)
            open.add(top);
        G3Surface* out = nullptr;
        ASSERT_TRUE(G3SolidsBuilder::Shell(cube.get(), &out, c.t, &open));
        Body shell(out);
        const double inner[3] = {0.5, 0.5, 0.5};
        ExpectSolid(shell.get(), c.volume, 1e-9, inner);
        ASSERT_EQ(shell->GetFacetCount(), 6);
        EXPECT_TRUE(cube->GetFacet(3)->GetMark());
        EXPECT_FALSE(top->GetMark());
        for (int k = 0; k < 6; ++k) {
            G3Facet* g = shell->GetFacet(k);
            G3Facet* source = cube->GetFacet(static_cast<int>(g->GetSurface()));
            EXPECT_FALSE(g->GetMark());
            EXPECT_NEAR(Dot(g->GetPlane(), source->GetPlane()), 1, 1e-12);
            const bool moved = !(c.openTop && source == top);
            EXPECT_NEAR(g->GetPlaneD(), source->GetPlaneD() - (moved ? c.t : 0), 1e-12);
        }
    }
}

TEST(SolidsBuilder, ShellOfFacetsWithHoles)
{
    // The 10-cube with a 4 x 4 x 5 pocket under a bridged hole in its top:
    // the pocket narrows as the body grows and keeps its depth.
    for (double t : {0.0, 0.5, -0.5}) {
        Body body(MakeCubeWithBridgedHole());
        body->FormPlaneEquation();
        G3Surface* out = nullptr;
        ASSERT_TRUE(G3SolidsBuilder::Shell(body.get(), &out, t, nullptr));
        Body shell(out);
        const double side = 10 + 2 * t, pocket = 4 - 2 * t;
        ExpectSolid(shell.get(), side * side * side - pocket * pocket * 5, 1e-7, nullptr);
        EXPECT_EQ(shell->GetFacetCount(), 11);
    }
}

TEST(SolidsBuilder, ShellDropsTurnedOverFacetsFoundByIdNotPosition)
{
    // A 1 x 1 x 0.1 slab shrunk by 0.075: its top and bottom pass each
    // other, which turns the four sides over; top and bottom stay.
    double m[4][4];
    M4Identity(m);
    M4Scale(m, 1, 1, 0.1);
    Body slab(G3SolidsBuilder::BuildBox(m, 0.5, nullptr));
    for (int k = 0; k < slab->GetFacetCount(); ++k)
        slab->GetFacet(k)->SetId(100 + 7 * k);
    G3Surface* out = nullptr;
    ASSERT_TRUE(G3SolidsBuilder::Shell(slab.get(), &out, -0.075, nullptr));
    Body shell(out);
    ASSERT_EQ(shell->GetFacetCount(), 2);
    for (int k = 0; k < 2; ++k) {
        G3Facet* g = shell->GetFacet(k);
        EXPECT_NEAR(std::fabs(g->GetPlaneC()), 1, 1e-12);
        const long id = g->GetSurface();
        ASSERT_EQ((id - 100) % 7, 0);
        EXPECT_GT(Dot(g->GetPlane(), slab->GetFacet(static_cast<int>((id - 100) / 7))->GetPlane()), 0.99);
    }
}

TEST(SolidsBuilder, ShellDropsCornersBetweenCoplanarNeighbours)
{
    // Every corner of a triangulated box has a coplanar neighbour: the three
    // planes meet in a line, and rounding must not place a corner far away.
    double m[4][4];
    Turned(m);
    Body box(G3SolidsBuilder::BuildBox(m, 1.0, nullptr));
    box->Triangulate(4, 0);
    G3Surface* out = nullptr;
    ASSERT_TRUE(G3SolidsBuilder::Shell(box.get(), &out, 0.1, nullptr));
    Body shell(out);
    double middle[4] = {0, 0, 1, 1};
    V4MulPointByMatrix(middle, m, middle);
    for (int k = 0; k < shell->GetVertexCount(); ++k) {
        const double* p = shell->GetVertex(k)->GetXYZ();
        const double d[3] = {p[0] - middle[0], p[1] - middle[1], p[2] - middle[2]};
        EXPECT_LE(std::sqrt(Dot(d, d)), 1.1 * std::sqrt(3.0));
    }
}
} // namespace
