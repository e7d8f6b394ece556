// Union, difference and intersection of closed bodies: analytic volumes,
// closed and sound results, inclusion-exclusion, coplanar and touching
// operands, repeatability across runs and threads, and point queries
// against an analytic inside test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "tessaly/boolean.h"
#include "tessaly/intervals.h"
#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"
#include "voxel_bodies.h"

namespace {

// A 4 x 4 transform: rotation by angle about the unit axis, then the shift.
struct Motion {
    double angle = 0;
    double axis[3] = {0, 0, 1};
    double shift[3] = {0, 0, 0};
};

void Apply(G3Surface* s, const Motion& m)
{
    double r[4][4];
    const double norm = std::sqrt(m.axis[0] * m.axis[0] + m.axis[1] * m.axis[1] + m.axis[2] * m.axis[2]);
    M4RotationMatrix(m.angle, m.axis[0] / norm, m.axis[1] / norm, m.axis[2] / norm, r);
    for (int a = 0; a < 3; ++a)
        r[3][a] += m.shift[a];
    for (int k = 0; k < s->GetVertexCount(); ++k)
        s->GetVertex(k)->RealTransformation(r);
    s->FormPlaneEquation();
}

// The box [lo, hi] (a cube scaled and moved), then moved by the motion.
G3Surface* Box(const double* lo, const double* hi, const Motion& motion = {})
{
    G3Surface* s = MakeCube(1.0);
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        v->Set(lo[0] + v->GetX() * (hi[0] - lo[0]), lo[1] + v->GetY() * (hi[1] - lo[1]),
               lo[2] + v->GetZ() * (hi[2] - lo[2]));
    }
    s->FormPlaneEquation();
    Apply(s, motion);
    return s;
}

enum class Op { Union, Difference, Intersection };

G3Surface* Operate(Op op, G3Surface* a, G3Surface* b)
{
    G3BooleanCalculator calc;
    switch (op) {
    case Op::Union: return calc.Add(a, b);
    case Op::Difference: return calc.Sub(a, b);
    default: return calc.Common(a, b);
    }
}

// Closed, sound, Euler 2, no self-intersection, both volume measures agree.
void ExpectSolid(G3Surface* s, double volume)
{
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(ValidateTopology(s), "");
    EXPECT_TRUE(s->GetClosed());
    EXPECT_EQ(EulerCharacteristic(s), 2);
    EXPECT_NEAR(DivergenceVolume(s), volume, 1e-6 * std::max(1.0, volume));
    EXPECT_NEAR(s->GetVolume(), volume, 1e-6 * std::max(1.0, volume));
    s->MarkSelfIntersectFace();
    for (int k = 0; k < s->GetFacetCount(); ++k)
        EXPECT_FALSE(s->GetFacet(k)->GetMark4()) << "facet " << k << " crosses itself";
}

} // namespace

TEST(Boolean, OverlappingBoxesGiveAnalyticVolumes)
{
    const double a0[3] = {0, 0, 0}, a2[3] = {2, 2, 2}, b1[3] = {1, 1, 1}, b3[3] = {3, 3, 3};
    Motion rotated;
    rotated.angle = std::sqrt(2.0); // an irrational angle: no plane stays axis-aligned
    rotated.axis[0] = 1;
    rotated.axis[1] = std::sqrt(3.0);
    rotated.axis[2] = M_PI;
    rotated.shift[0] = 0.3;
    for (const Motion& m : {Motion{}, rotated}) {
        SCOPED_TRACE(m.angle == 0 ? "axis-aligned" : "rotated");
        struct Case {
            Op op;
            double volume;
        };
        for (const Case& c : {Case{Op::Union, 15}, Case{Op::Difference, 7}, Case{Op::Intersection, 1}}) {
            SCOPED_TRACE(static_cast<int>(c.op));
            G3Surface* r = Operate(c.op, Box(a0, a2, m), Box(b1, b3, m));
            ExpectSolid(r, c.volume);
            delete r;
        }
    }
}

TEST(Boolean, CoplanarAndTouchingBoxes)
{
    // Sharing four face planes: the union is one 3 x 2 x 2 box of six faces.
    const double a0[3] = {0, 0, 0}, a2[3] = {2, 2, 2}, b0[3] = {1, 0, 0}, b3[3] = {3, 2, 2};
    G3Surface* u = Operate(Op::Union, Box(a0, a2), Box(b0, b3));
    ExpectSolid(u, 12);
    EXPECT_EQ(u->GetFacetCount(), 6);
    delete u;
    G3Surface* d = Operate(Op::Difference, Box(a0, a2), Box(b0, b3));
    ExpectSolid(d, 4);
    delete d;
    // The event form of the difference gives the same body.
    G3BooleanCalculator events;
    G3Surface* e = events.Sub(Box(a0, a2), Box(b0, b3), 0);
    ExpectSolid(e, 4);
    delete e;
    G3Surface* c = Operate(Op::Intersection, Box(a0, a2), Box(b0, b3));
    ExpectSolid(c, 4);
    delete c;

    // Face to face from outside: the union has no inner face, the common
    // part is empty.
    const double one[3] = {1, 1, 1}, t0[3] = {1, 0, 0}, t1[3] = {2, 1, 1};
    G3Surface* joined = Operate(Op::Union, Box(a0, one), Box(t0, t1));
    ExpectSolid(joined, 2);
    for (int k = 0; k < joined->GetFacetCount(); ++k) {
        const double* plane = joined->GetFacet(k)->GetPlane();
        EXPECT_FALSE(std::fabs(std::fabs(plane[0]) - 1) < 1e-9 && std::fabs(std::fabs(plane[3]) - 1) < 1e-9)
            << "a face in the plane x = 1 where the boxes touched";
    }
    delete joined;
    EXPECT_EQ(Operate(Op::Intersection, Box(a0, one), Box(t0, t1)), nullptr);

    // A body minus itself (the same object twice, or a copy) is nothing.
    G3Surface* self = Box(a0, a2);
    EXPECT_EQ(Operate(Op::Difference, self, self), nullptr);
    G3Surface* again = Box(a0, a2);
    EXPECT_EQ(Operate(Op::Difference, again, static_cast<G3Surface*>(again->Duplicate())), nullptr);
    // Null and empty operands.
    G3Surface* lone = Box(a0, a2);
    G3Surface* kept = Operate(Op::Union, nullptr, lone);
    EXPECT_EQ(kept, lone);
    EXPECT_EQ(Operate(Op::Intersection, kept, nullptr), nullptr);
    G3Surface* first = Box(a0, a2);
    EXPECT_EQ(Operate(Op::Difference, first, new G3Surface), first);
    delete first;
}

TEST(Boolean, InclusionExclusionOnRandomPoses)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> angle(0, 2 * M_PI), unit(-1, 1), shift(-0.8, 0.8);
    const double lo[3] = {-1, -1, -1}, hi[3] = {1, 1, 1};
    for (int pose = 0; pose < 20; ++pose) {
        SCOPED_TRACE(pose);
        Motion m;
        m.angle = angle(rng);
        for (double& a : m.axis)
            a = unit(rng);
        for (double& s : m.shift)
            s = shift(rng);
        G3Surface* a = Box(lo, hi);
        G3Surface* b = Box(lo, hi, m);
        const double va = a->GetVolume(), vb = b->GetVolume();
        G3Surface* u =
            Operate(Op::Union, static_cast<G3Surface*>(a->Duplicate()), static_cast<G3Surface*>(b->Duplicate()));
        G3Surface* c = Operate(Op::Intersection, a, b);
        ASSERT_NE(u, nullptr);
        ASSERT_NE(c, nullptr);
        ExpectSolid(u, u->GetVolume());
        ExpectSolid(c, c->GetVolume());
        EXPECT_NEAR(u->GetVolume() + c->GetVolume(), va + vb, 1e-6);
        delete u;
        delete c;
    }
}

TEST(Boolean, RepeatsAndThreadsGiveIdenticalBodies)
{
    const double a0[3] = {0, 0, 0}, a2[3] = {2, 2, 2};
    Motion m;
    m.angle = 0.5;
    m.axis[0] = 1;
    auto run = [&](std::vector<double>* out) {
        G3Surface* s = Operate(Op::Difference, MakeSphere(10, 20), Box(a0, a2, m));
        for (int k = 0; s && k < s->GetVertexCount(); ++k)
            out->insert(out->end(), s->GetVertex(k)->GetXYZ(), s->GetVertex(k)->GetXYZ() + 3);
        out->push_back(s ? s->GetFacetCount() : -1);
        delete s;
    };
    std::vector<double> once, twice, left, right;
    run(&once);
    run(&twice);
    std::thread a(run, &left), b(run, &right);
    a.join();
    b.join();
    EXPECT_EQ(once, twice);
    EXPECT_EQ(left, once);
    EXPECT_EQ(right, once);
}

TEST(Boolean, PointQueriesMatchAnAnalyticInsideTest)
{
    // An L-prism of three unit voxels: inside when in [0,2]x[0,1]x[0,1] or
    // [0,1]x[1,2]x[0,1].
    G3Surface* l = MakeVoxelBody({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    auto insideL = [](const double* p) {
        const bool z = p[2] > 0 && p[2] < 1;
        return z && ((p[0] > 0 && p[0] < 2 && p[1] > 0 && p[1] < 1) || (p[0] > 0 && p[0] < 1 && p[1] > 0 && p[1] < 2));
    };
    G3BooleanCalculator calc;
    calc.OpenFindIntersection(l);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> coord(-0.6, 2.6);
    int wrong = 0, undecided = 0;
    for (int k = 0; k < 10000; ++k) {
        double p[3] = {coord(rng), coord(rng), coord(rng) * 0.5};
        // Keep away from the faces, where the answer is SC_ON.
        bool nearFace = false;
        for (double c : p)
            for (double face : {0.0, 1.0, 2.0})
                nearFace = nearFace || std::fabs(c - face) < 1e-4;
        if (nearFace)
            continue;
        const SURF_CLASSIFY c = calc.FindVertexClassify(p);
        undecided += c == SC_UNDECIDED;
        wrong += c != SC_UNDECIDED && (c == SC_IN) != insideL(p);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(undecided, 0);
    // On a face, and the facet there.
    const double onTop[3] = {0.5, 1.5, 1.0};
    EXPECT_EQ(calc.FindVertexClassify(onTop), SC_ON);
    G3Facet* top = calc.FindFacet(onTop);
    ASSERT_NE(top, nullptr);
    EXPECT_NEAR(top->GetPlaneC(), 1.0, 1e-12);
    // A segment through the L's foot crosses two faces; one starting on a
    // face reports that point.
    struct Points : G3BCPointWriter {
        std::vector<double> x;
        void WritePoint(const double* p) override { x.push_back(p[0]); }
    } points;
    const double p[3] = {-1, 0.5, 0.5}, q[3] = {3, 0.5, 0.5};
    calc.FindIntersections(p, q, &points);
    std::sort(points.x.begin(), points.x.end());
    ASSERT_EQ(points.x.size(), 2u);
    EXPECT_NEAR(points.x[0], 0.0, 1e-12);
    EXPECT_NEAR(points.x[1], 2.0, 1e-12);
    // Rays from a point on the top face: above is outside, below inside.
    const double up[3] = {0.5, 1.5, 3.0}, down[3] = {0.5, 1.5, -3.0};
    EXPECT_EQ(calc.FindRayClassify(onTop, up, nullptr), SC_OUT);
    EXPECT_EQ(calc.FindRayClassify(onTop, down, nullptr), SC_IN);
    calc.CloseFindIntersection(l);
    EXPECT_EQ(l->GetExDataProvider(), nullptr);
    delete l;
}

TEST(Boolean, PointQueriesOnConvexBodiesMatchTheirPlanes)
{
    // A convex body: inside exactly when below every facet plane. Points up
    // to a body's size outside its box, near corners included.
    const double lo[3] = {-1, -1, -1}, hi[3] = {1, 1, 1};
    Motion m;
    m.angle = 0.9;
    m.axis[0] = 1;
    m.axis[1] = 2;
    G3Surface* bodies[] = {Box(lo, hi, m), MakeSphere(10, 20)};
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> coord(-2.5, 2.5);
    for (G3Surface* body : bodies) {
        G3BooleanCalculator calc;
        calc.OpenFindIntersection(body);
        int wrong = 0, tested = 0;
        for (int k = 0; k < 10000; ++k) {
            double p[3] = {coord(rng), coord(rng), coord(rng)};
            if (k % 10 == 0) // near a vertex
                for (int a = 0; a < 3; ++a)
                    p[a] = body->GetVertex(k % body->GetVertexCount())->GetXYZ(a) * (1 + 0.01 * (k % 3 == 0 ? 1 : -1));
            double worst = -1e300;
            for (int f = 0; f < body->GetFacetCount(); ++f) {
                const double* n = body->GetFacet(f)->GetPlane();
                worst = std::max(worst, n[0] * p[0] + n[1] * p[1] + n[2] * p[2] + n[3]);
            }
            if (std::fabs(worst) < 1e-4)
                continue; // on the surface, within rounding
            ++tested;
            const SURF_CLASSIFY c = calc.FindVertexClassify(p);
            wrong += c != (worst < 0 ? SC_IN : SC_OUT);
        }
        calc.CloseFindIntersection(body);
        EXPECT_GT(tested, 9000);
        EXPECT_EQ(wrong, 0);
        delete body;
    }
}

TEST(Boolean, IntersectionCurvesOfTwoBoxes)
{
    // [0,2]^3 and [1,3]^3: their surfaces meet in six unit segments (in the
    // working scale, 1000 long each), kept on the second body's facets.
    const double a0[3] = {0, 0, 0}, a2[3] = {2, 2, 2}, b1[3] = {1, 1, 1}, b3[3] = {3, 3, 3};
    auto length = [](G3IntervalList& list) {
        double total = 0;
        for (int k = 0; k < list.GetIntervalCount(); ++k) {
            const double* p = list.GetInterval(k)->GetXYZ1();
            const double* q = list.GetInterval(k)->GetXYZ2();
            total += std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) +
                               (p[2] - q[2]) * (p[2] - q[2]));
        }
        return total;
    };
    G3BooleanCalculator calc;
    G3IntervalList curves;
    G3Surface* a = Box(a0, a2);
    G3Surface* b = Box(b1, b3);
    EXPECT_TRUE(calc.SurfaceSurfaceIntersect(a, b, &curves));
    EXPECT_EQ(a->GetFacetCount(), 0);
    EXPECT_EQ(b->GetFacetCount(), 0);
    EXPECT_EQ(a->GetExDataProvider(), nullptr);
    EXPECT_NEAR(length(curves), 6000.0, 1e-6);
    delete a;
    delete b;

    // The same curves from a union, through the intersection list.
    G3IntervalList fromUnion;
    calc.SetIntersectionList(&fromUnion);
    G3Surface* u = calc.Add(Box(a0, a2), Box(b1, b3));
    calc.SetIntersectionList(nullptr);
    EXPECT_NEAR(length(fromUnion), 6000.0, 1e-6);
    delete u;
}
