// The booleans against CGAL's corefinement of the same triangle meshes:
// volume and area of every result agree, on spheres offset by a non-axis
// vector and on a sphere with a box, and on many random rigid poses every
// result stays a closed, sound solid.
#include <gtest/gtest.h>

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Polygon_mesh_processing/clip.h>
#include <CGAL/Polygon_mesh_processing/corefinement.h>
#include <CGAL/Polygon_mesh_processing/measure.h>
#include <CGAL/Surface_mesh.h>

#include <cmath>
#include <random>
#include <unordered_map>
#include <vector>

#include "tessaly/boolean.h"
#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"
#include "voxel_bodies.h"

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Mesh = CGAL::Surface_mesh<Kernel::Point_3>;
namespace PMP = CGAL::Polygon_mesh_processing;

enum class Op { Union, Difference, Intersection };

// Rotation about a unit axis by angle, then a shift.
void Move(G3Surface* s, double angle, const double* axis, const double* shift)
{
    double m[4][4];
    const double n = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    M4RotationMatrix(angle, axis[0] / n, axis[1] / n, axis[2] / n, m);
    for (int a = 0; a < 3; ++a)
        m[3][a] += shift[a];
    for (int k = 0; k < s->GetVertexCount(); ++k)
        s->GetVertex(k)->RealTransformation(m);
    s->FormPlaneEquation();
}

// The body as a triangle mesh (its facets split by the kernel first).
Mesh ToMesh(G3Surface* body)
{
    auto* copy = static_cast<G3Surface*>(body->Duplicate());
    copy->Triangulate(4, 0);
    Mesh mesh;
    std::unordered_map<G3Vertex*, Mesh::Vertex_index> at;
    for (int k = 0; k < copy->GetVertexCount(); ++k) {
        G3Vertex* v = copy->GetVertex(k);
        at[v] = mesh.add_vertex(Kernel::Point_3(v->GetX(), v->GetY(), v->GetZ()));
    }
    for (int k = 0; k < copy->GetFacetCount(); ++k) {
        GArrayCollection corners;
        copy->GetFacet(k)->GetVertices(&corners);
        mesh.add_face(at[static_cast<G3Vertex*>(corners.get(0))], at[static_cast<G3Vertex*>(corners.get(1))],
                      at[static_cast<G3Vertex*>(corners.get(2))]);
    }
    delete copy;
    return mesh;
}

double Area(G3Surface* s)
{
    double area = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        area += s->GetFacet(k)->GetArea();
    return area;
}

G3Surface* Kernel3(Op op, G3Surface* a, G3Surface* b)
{
    G3BooleanCalculator calc;
    return op == Op::Union ? calc.Add(a, b) : op == Op::Difference ? calc.Sub(a, b) : calc.Common(a, b);
}

bool Cgal(Op op, Mesh a, Mesh b, Mesh& out)
{
    return op == Op::Union     ? PMP::corefine_and_compute_union(a, b, out)
        : op == Op::Difference ? PMP::corefine_and_compute_difference(a, b, out)
                               : PMP::corefine_and_compute_intersection(a, b, out);
}

G3Surface* Box(double lo, double hi)
{
    G3Surface* s = MakeCube(hi - lo);
    const double shift[3] = {lo, lo, lo}, axis[3] = {0, 0, 1};
    Move(s, 0, axis, shift);
    return s;
}

} // namespace

TEST(BooleanAgainstCgal, SpheresAndASphereWithABoxAgree)
{
    struct Pair {
        const char* name;
        G3Surface* (*first)();
        G3Surface* (*second)();
    };
    const Pair pairs[] = {
        {"sphere and offset sphere", [] { return MakeSphere(12, 24); },
         [] {
             G3Surface* s = MakeSphere(12, 24);
             const double axis[3] = {1, 2, 3}, shift[3] = {0.4, 0.3, 0.2};
             Move(s, 0.7, axis, shift);
             return s;
         }},
        {"sphere and box", [] { return MakeSphere(12, 24); },
         [] {
             G3Surface* s = Box(-0.2, 1.1);
             const double axis[3] = {3, -1, 2}, shift[3] = {0.05, -0.1, 0.02};
             Move(s, 0.4, axis, shift);
             return s;
         }},
    };
    for (const Pair& pair : pairs)
        for (Op op : {Op::Union, Op::Difference, Op::Intersection}) {
            SCOPED_TRACE(std::string(pair.name) + " op " + std::to_string(static_cast<int>(op)));
            G3Surface* a = pair.first();
            G3Surface* b = pair.second();
            Mesh ours, theirs;
            ASSERT_TRUE(Cgal(op, ToMesh(a), ToMesh(b), theirs));
            G3Surface* r = Kernel3(op, a, b);
            ASSERT_NE(r, nullptr);
            EXPECT_EQ(ValidateTopology(r), "");
            EXPECT_TRUE(r->GetClosed());
            const double volume = PMP::volume(theirs), area = PMP::area(theirs);
            EXPECT_NEAR(r->GetVolume(), volume, 1e-9 * volume);
            EXPECT_NEAR(DivergenceVolume(r), volume, 1e-9 * volume);
            EXPECT_NEAR(Area(r), area, 1e-9 * area);
            delete r;
        }
}

TEST(BooleanAgainstCgal, RandomRigidPosesKeepEveryInvariant)
{
    // A coarse sphere against a box in 200 seeded poses: every result is a
    // sound closed solid, and union and intersection add up to the two.
    std::mt19937 rng(2026);
    std::uniform_real_distribution<double> angle(0, 2 * M_PI), unit(-1, 1), shift(-0.9, 0.9);
    int failures = 0;
    for (int pose = 0; pose < 200 && failures < 5; ++pose) {
        const double axis[3] = {unit(rng), unit(rng), unit(rng) + 1e-3};
        const double move[3] = {shift(rng), shift(rng), shift(rng)};
        const double turn = angle(rng);
        auto box = [&] {
            G3Surface* s = Box(-0.6, 0.6);
            Move(s, turn, axis, move);
            return s;
        };
        G3Surface* sphere = MakeSphere(6, 12);
        const double vs = sphere->GetVolume(), vb = 1.2 * 1.2 * 1.2;
        G3Surface* u = Kernel3(Op::Union, static_cast<G3Surface*>(sphere->Duplicate()), box());
        G3Surface* c = Kernel3(Op::Intersection, sphere, box());
        bool ok = u && ValidateTopology(u).empty() && u->GetClosed() &&
            std::fabs(DivergenceVolume(u) - u->GetVolume()) < 1e-9;
        ok = ok && (!c || (ValidateTopology(c).empty() && c->GetClosed()));
        const double vu = u ? u->GetVolume() : 0, vc = c ? c->GetVolume() : 0;
        ok = ok && std::fabs(vu + vc - vs - vb) < 1e-9;
        if (!ok) {
            ++failures;
            ADD_FAILURE() << "pose " << pose << ": union " << vu << " + common " << vc << " vs " << vs + vb;
        }
        delete u;
        delete c;
    }
}

TEST(BooleanAgainstCgal, SlicesOfASphereMatchCgalsClip)
{
    // A sphere sliced by seeded random planes through it: both halves
    // closed, their volumes adding up to the sphere's, and each equal to
    // CGAL's clip of the same triangles (CGAL keeps the negative side, as
    // the front half is).
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> unit(-1, 1), offset(-0.7, 0.7);
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE(k);
        double plane[4] = {unit(rng), unit(rng), unit(rng) + 1e-3, 0};
        const double n = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        for (int a = 0; a < 3; ++a)
            plane[a] /= n;
        plane[3] = offset(rng);
        G3Surface* sphere = MakeSphere(14, 28);
        sphere->Triangulate(4, 0);
        const double whole = sphere->GetVolume();
        Mesh negative = ToMesh(sphere), positive = ToMesh(sphere);
        ASSERT_TRUE(PMP::clip(negative, Kernel::Plane_3(plane[0], plane[1], plane[2], plane[3]),
                              CGAL::parameters::clip_volume(true)));
        ASSERT_TRUE(PMP::clip(positive, Kernel::Plane_3(-plane[0], -plane[1], -plane[2], -plane[3]),
                              CGAL::parameters::clip_volume(true)));
        G3BooleanCalculator calc;
        G3Surface *front, *back;
        ASSERT_TRUE(calc.Slice(sphere, plane, true, &front, &back, true));
        EXPECT_TRUE(front->GetClosed());
        EXPECT_TRUE(back->GetClosed());
        EXPECT_NEAR(front->GetVolume() + back->GetVolume(), whole, 1e-9 * whole);
        EXPECT_NEAR(front->GetVolume(), PMP::volume(negative), 1e-9 * whole);
        EXPECT_NEAR(back->GetVolume(), PMP::volume(positive), 1e-9 * whole);
        delete front;
        delete back;
    }
}
