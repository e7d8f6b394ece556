// Slicing by planes, sections, and removing self-intersections between
// facets (Update(1003)).
#include <gtest/gtest.h>

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "tessaly/boolean.h"
#include "tessaly/intervals.h"
#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"
#include "voxel_bodies.h"

namespace {

// Facets of s lying in the plane z = h, and their total area.
int FacetsAtHeight(G3Surface* s, double h, double* area = nullptr)
{
    int count = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        if (std::fabs(std::fabs(f->GetPlaneC()) - 1) < 1e-9 && std::fabs(f->GetPlaneD() * f->GetPlaneC() + h) < 1e-9) {
            ++count;
            if (area)
                *area += f->GetArea();
        }
    }
    return count;
}

void ExpectClosedSolid(G3Surface* s, double volume)
{
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_TRUE(s->GetClosed());
    EXPECT_EQ(EulerCharacteristic(s), 2);
    EXPECT_NEAR(DivergenceVolume(s), volume, 1e-9);
}

} // namespace

TEST(Slice, UnitCubeByPlanes)
{
    G3BooleanCalculator calc;
    // z = 0.5 as a z + d = 0: below in front, above behind, one lid each.
    {
        G3Surface *front, *back;
        double plane[4] = {0, 0, 1, -0.5};
        ASSERT_TRUE(calc.Slice(MakeCube(), plane, true, &front, &back, true));
        ExpectClosedSolid(front, 0.5);
        ExpectClosedSolid(back, 0.5);
        GEnvelope box;
        front->FormEnvelope(&box);
        EXPECT_NEAR(box.GetMaxZ(), 0.5, 1e-12);
        EXPECT_EQ(FacetsAtHeight(front, 0.5), 1);
        EXPECT_EQ(FacetsAtHeight(back, 0.5), 1);
        delete front;
        delete back;
    }
    // The sign convention: a plane not of unit length, facing down, keeps
    // the upper part in front; CutUpByPlane takes d on the other side.
    {
        G3Surface *front, *back;
        double plane[4] = {0, 0, -2, 0.5};
        ASSERT_TRUE(calc.Slice(MakeCube(), plane, true, &front, &back, false));
        GEnvelope box;
        front->FormEnvelope(&box);
        EXPECT_NEAR(box.GetMinZ(), 0.25, 1e-12);
        ExpectClosedSolid(front, 0.75);
        delete front;
        delete back;
        const double up[4] = {0, 0, 1, 0.5};
        ASSERT_TRUE(calc.CutUpByPlane(MakeCube(), up, true, &front, &back));
        ExpectClosedSolid(front, 0.5);
        ExpectClosedSolid(back, 0.5);
        delete front;
        delete back;
    }
    // Planes that miss, near and far: false, the whole cube in front.
    for (double h : {1.001, 5.0, -3.0}) {
        SCOPED_TRACE(h);
        G3Surface *front, *back;
        double plane[4] = {0, 0, 1, -h};
        G3Surface* cube = MakeCube();
        EXPECT_FALSE(calc.Slice(cube, plane, true, &front, &back, true));
        EXPECT_EQ(front, cube);
        EXPECT_EQ(back, nullptr);
        ExpectClosedSolid(front, 1.0);
        delete front;
    }
    // Without cut nothing is computed and the solid stays the caller's.
    G3Surface* kept = MakeCube();
    G3Surface *front = kept, *back = kept;
    double plane[4] = {0, 0, 1, -0.5};
    EXPECT_FALSE(calc.Slice(kept, plane, false, &front, &back, false));
    EXPECT_EQ(front, nullptr);
    EXPECT_EQ(back, nullptr);
    delete kept;
}

TEST(Slice, SectionsAsFacesAndAsSegments)
{
    G3BooleanCalculator calc;
    G3Surface* cube = MakeCube();
    G3Surface* sections = nullptr;
    const double mid[4] = {0, 0, 1, -0.5};
    ASSERT_TRUE(calc.Divide(cube, 1, mid, &sections));
    ASSERT_EQ(sections->GetFacetCount(), 1);
    EXPECT_NEAR(sections->GetFacet(0)->GetArea(), 1.0, 1e-12);
    delete sections;
    const double away[4] = {0, 0, 1, -7};
    EXPECT_FALSE(calc.Divide(cube, 1, away, &sections));
    EXPECT_EQ(sections, nullptr);
    G3IntervalList outline;
    EXPECT_TRUE(calc.Divide(cube, 1, mid, &outline));
    double length = 0;
    for (int k = 0; k < outline.GetIntervalCount(); ++k) {
        const double* p = outline.GetInterval(k)->GetXYZ1();
        const double* q = outline.GetInterval(k)->GetXYZ2();
        length += std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
    }
    EXPECT_NEAR(length, 4.0, 1e-12);
    delete cube;

    // Through the pocket of the bridged-hole body: the outer face and the
    // hole's face, overlapping (holes are not typed in sections).
    G3Surface* pocket = MakeCubeWithBridgedHole();
    const double through[4] = {0, 0, 1, -7};
    ASSERT_TRUE(calc.Divide(pocket, 1, through, &sections));
    std::vector<double> areas;
    for (int k = 0; k < sections->GetFacetCount(); ++k)
        areas.push_back(sections->GetFacet(k)->GetArea());
    std::sort(areas.begin(), areas.end());
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_NEAR(areas[0], 16.0, 1e-9);
    EXPECT_NEAR(areas[1], 100.0, 1e-9);
    delete sections;
    delete pocket;
}

TEST(Slice, Update1003RemovesSelfIntersectionsBetweenFacets)
{
    // Two interpenetrating boxes in one body: afterwards no two triangles
    // of the body that share no vertex meet (CGAL's exact test).
    G3Surface* s = MakeCube(2.0);
    G3Surface* other = MakeCube(2.0);
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 1.25, 0.6, 1}};
    for (int k = 0; k < other->GetVertexCount(); ++k)
        other->GetVertex(k)->RealTransformation(m);
    s->AddCopyOf(other);
    delete other;
    s->FormPlaneEquation();
    s->Update(CHECK_LEVEL_1003);
    EXPECT_EQ(ValidateTopology(s), "");
    auto* copy = static_cast<G3Surface*>(s->Duplicate());
    copy->Triangulate(4, 0);
    using K = CGAL::Exact_predicates_inexact_constructions_kernel;
    std::vector<K::Triangle_3> triangles;
    std::vector<std::vector<G3Vertex*>> corners;
    for (int k = 0; k < copy->GetFacetCount(); ++k) {
        GArrayCollection v;
        copy->GetFacet(k)->GetVertices(&v);
        ASSERT_EQ(v.size(), 3);
        std::vector<G3Vertex*> c;
        std::vector<K::Point_3> p;
        for (int i = 0; i < 3; ++i) {
            c.push_back(static_cast<G3Vertex*>(v.get(i)));
            p.emplace_back(c.back()->GetX(), c.back()->GetY(), c.back()->GetZ());
        }
        triangles.emplace_back(p[0], p[1], p[2]);
        corners.push_back(c);
    }
    int crossing = 0;
    for (std::size_t i = 0; i < triangles.size(); ++i)
        for (std::size_t j = i + 1; j < triangles.size(); ++j) {
            bool shared = false;
            for (G3Vertex* a : corners[i])
                for (G3Vertex* b : corners[j])
                    shared = shared || a == b;
            // Slivers along straight runs of boundary meet nothing.
            if (shared || triangles[i].is_degenerate() || triangles[j].is_degenerate())
                continue;
            crossing += CGAL::do_intersect(triangles[i], triangles[j]);
        }
    EXPECT_EQ(crossing, 0);
    EXPECT_GT(copy->GetFacetCount(), 24);
    delete copy;
    delete s;
}

TEST(Slice, SeparateIntoLumps)
{
    // Two disjoint cubes and an open sheet of two triangles in one body:
    // two closed lumps of volume 1, neither double-sided; the sheet (too
    // small to be a lump) is dropped, and the body is left empty.
    G3Surface* s = MakeCube();
    G3Surface* second = MakeCube();
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {3, 0, 0, 1}};
    for (int k = 0; k < second->GetVertexCount(); ++k)
        second->GetVertex(k)->RealTransformation(m);
    s->AddCopyOf(second);
    delete second;
    G3Vertex* sheet[4] = {s->AddVertex(0, 5, 0), s->AddVertex(1, 5, 0), s->AddVertex(1, 6, 0), s->AddVertex(0, 6, 0)};
    G3Vertex* t1[3] = {sheet[0], sheet[1], sheet[2]};
    G3Vertex* t2[3] = {sheet[0], sheet[2], sheet[3]};
    s->AddFacet(3, t1, 1, nullptr, nullptr);
    s->AddFacet(3, t2, 1, nullptr, nullptr);
    s->FormPlaneEquation();
    G3BooleanCalculator calc;
    GArrayCollection lumps;
    EXPECT_EQ(calc.Separate_Surface(s, &lumps), 2);
    EXPECT_EQ(s->GetFacetCount(), 0);
    EXPECT_EQ(s->GetVertexCount(), 0);
    for (int k = 0; k < lumps.size(); ++k) {
        auto* lump = static_cast<G3Surface*>(lumps.get(k));
        ExpectClosedSolid(lump, 1.0);
        for (int f = 0; f < lump->GetFacetCount(); ++f)
            EXPECT_FALSE(lump->GetFacet(f)->GetDoubleSided());
        delete lump;
    }
    EXPECT_EQ(calc.Separate_Surface(nullptr, &lumps), 2);
    EXPECT_EQ(calc.Separate_Surface(s, nullptr), 0);
    delete s;
}

namespace {
// A flat square sheet of two triangles at z = h over [lo, hi]^2, facing up.
G3Surface* Sheet(double lo, double hi, double h)
{
    auto* s = new G3Surface(4, 0);
    G3Vertex* v[4] = {s->AddVertex(lo, lo, h), s->AddVertex(hi, lo, h), s->AddVertex(hi, hi, h),
                      s->AddVertex(lo, hi, h)};
    G3Vertex* t1[3] = {v[0], v[1], v[2]};
    G3Vertex* t2[3] = {v[0], v[2], v[3]};
    s->AddFacet(3, t1, 1, nullptr, nullptr);
    s->AddFacet(3, t2, 1, nullptr, nullptr);
    s->FormPlaneEquation();
    return s;
}
} // namespace

TEST(Slice, BySheet)
{
    G3BooleanCalculator calc;
    // A cube cut through its middle: two closed halves facing outwards.
    G3Surface *part1, *part2;
    ASSERT_TRUE(calc.SliceBySurface(MakeCube(), Sheet(-0.5, 1.5, 0.5), &part1, &part2));
    ExpectClosedSolid(part1, 0.5);
    ExpectClosedSolid(part2, 0.5);
    EXPECT_EQ(FacetsAtHeight(part1, 0.5) + FacetsAtHeight(part2, 0.5) >= 2, true);
    delete part1;
    delete part2;

    // The foot of an L-prism cut at z = 0.5: the two parts add up to the
    // L, nothing duplicated.
    G3Surface* l = MakeVoxelBody({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    ASSERT_TRUE(calc.SliceBySurface(l, Sheet(-0.5, 2.5, 0.5), &part1, &part2));
    EXPECT_TRUE(part1->GetClosed());
    EXPECT_TRUE(part2->GetClosed());
    EXPECT_NEAR(DivergenceVolume(part1) + DivergenceVolume(part2), 3.0, 1e-9);
    EXPECT_NEAR(DivergenceVolume(part1), 1.5, 1e-9);
    delete part1;
    delete part2;

    // A sheet bent along x = y = 1.5 cuts both tips off the L: three
    // pieces, the tips on the bend's outer side, every piece exactly once.
    {
        auto* bent = new G3Surface(6, 0);
        G3Vertex* v[6] = {bent->AddVertex(1.5, -1, -1), bent->AddVertex(1.5, 1.5, -1), bent->AddVertex(1.5, 1.5, 2),
                          bent->AddVertex(1.5, -1, 2),  bent->AddVertex(-1, 1.5, -1),  bent->AddVertex(-1, 1.5, 2)};
        G3Vertex* wing1[4] = {v[0], v[1], v[2], v[3]};
        G3Vertex* wing2[4] = {v[1], v[4], v[5], v[2]};
        bent->AddFacet(4, wing1, 1, nullptr, nullptr);
        bent->AddFacet(4, wing2, 1, nullptr, nullptr);
        bent->FormPlaneEquation();
        ASSERT_TRUE(calc.SliceBySurface(MakeVoxelBody({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), bent, &part1, &part2));
        std::unique_ptr<G3Surface> tips(part1), body(part2);
        if (DivergenceVolume(tips.get()) > DivergenceVolume(body.get()))
            std::swap(tips, body);
        EXPECT_NEAR(DivergenceVolume(tips.get()), 1.0, 1e-9);
        EXPECT_NEAR(DivergenceVolume(body.get()), 2.0, 1e-9);
        EXPECT_EQ(ValidateTopology(body.get()), "");
        EXPECT_EQ(EulerCharacteristic(body.get()), 2);
        GArrayCollection lumps;
        EXPECT_EQ(calc.Separate_Surface(tips.get(), &lumps), 2);
        for (int k = 0; k < lumps.size(); ++k) {
            std::unique_ptr<G3Surface> lump(static_cast<G3Surface*>(lumps.get(k)));
            ExpectClosedSolid(lump.get(), 0.5);
        }
    }

    // A sheet that misses, and a closed cutter: false, nothing consumed.
    G3Surface* cube = MakeCube();
    G3Surface* away = Sheet(-0.5, 1.5, 3.0);
    EXPECT_FALSE(calc.SliceBySurface(cube, away, &part1, &part2));
    EXPECT_EQ(part1, nullptr);
    EXPECT_EQ(part2, nullptr);
    G3Surface* closed = MakeCube(0.5);
    EXPECT_FALSE(calc.SliceBySurface(cube, closed, &part1, &part2));
    ExpectClosedSolid(cube, 1.0);
    delete cube;
    delete away;
    delete closed;
}

// Refused calls consume nothing and hand out nothing: the caller's solid is
// whole afterwards and deleting it is the only release (the sanitizer's
// leak check runs over every path here).
TEST(Slice, RefusedCallsOwnNothing)
{
    G3BooleanCalculator calc;
    std::unique_ptr<G3Surface> cube(MakeCube());
    double plane[4] = {0, 0, 1, -0.5}, zero[4] = {0, 0, 0, 1}, nan[4] = {0, 0, NAN, 0};
    G3Surface *front = cube.get(), *back = cube.get();
    struct Case {
        G3Surface* s;
        double* plane;
        G3Surface** front;
        G3Surface** back;
    };
    for (const Case& c : {Case{nullptr, plane, &front, &back}, Case{cube.get(), nullptr, &front, &back},
                          Case{cube.get(), zero, &front, &back}, Case{cube.get(), nan, &front, &back},
                          Case{cube.get(), plane, nullptr, &back}, Case{cube.get(), plane, &front, nullptr}}) {
        EXPECT_FALSE(calc.Slice(c.s, c.plane, true, c.front, c.back, false));
        EXPECT_FALSE(calc.SliceED(c.s, c.plane, true, c.front, c.back));
        EXPECT_TRUE(front == nullptr || c.front == nullptr);
        EXPECT_TRUE(back == nullptr || c.back == nullptr);
        front = back = cube.get();
    }
    G3Surface* sections = cube.get();
    EXPECT_FALSE(calc.Divide(cube.get(), 0, plane, &sections));
    EXPECT_EQ(sections, nullptr);
    double away[4] = {0, 0, 1, -7};
    EXPECT_FALSE(calc.Divide(cube.get(), 1, away, &sections));
    EXPECT_EQ(sections, nullptr);
    G3Surface *part1 = cube.get(), *part2 = cube.get();
    EXPECT_FALSE(calc.SliceBySurface(cube.get(), cube.get(), &part1, &part2));
    EXPECT_FALSE(calc.SliceBySurface(cube.get(), nullptr, &part1, &part2));
    EXPECT_EQ(part1, nullptr);
    EXPECT_EQ(part2, nullptr);
    ExpectClosedSolid(cube.get(), 1.0);
}
