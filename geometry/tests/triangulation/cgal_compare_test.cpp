// The engine against CGAL's constrained Delaunay triangulation (exact
// predicates) on seeded inputs in general position: the triangle sets, keyed
// by input index, must be identical. CGAL is a test oracle only.
#include <gtest/gtest.h>

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Constrained_triangulation_face_base_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "mesh_checks.h"
#include "triangulation/predicates.h"
#include "triangulation/segment_inserter.h"
#include "triangulation/triangulator.h"

using namespace g3t_test;

namespace {

using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using Vb = CGAL::Triangulation_vertex_base_with_info_2<int, K>;
using Fb = CGAL::Constrained_triangulation_face_base_2<K>;
using Tds = CGAL::Triangulation_data_structure_2<Vb, Fb>;
using CDT = CGAL::Constrained_Delaunay_triangulation_2<K, Tds>;

using Constraint = std::pair<int, int>;

std::set<std::array<int, 3>> CgalTriangles(const std::vector<Pt>& p, const std::vector<Constraint>& cons)
{
    CDT cdt;
    std::vector<CDT::Vertex_handle> vh;
    vh.reserve(p.size());
    CDT::Face_handle hint;
    for (std::size_t i = 0; i < p.size(); ++i) {
        CDT::Vertex_handle v = cdt.insert(K::Point_2(p[i].x, p[i].y), hint);
        v->info() = static_cast<int>(i);
        hint = v->face();
        vh.push_back(v);
    }
    for (const Constraint& c : cons)
        cdt.insert_constraint(vh[static_cast<std::size_t>(c.first)], vh[static_cast<std::size_t>(c.second)]);
    std::set<std::array<int, 3>> out;
    for (auto f = cdt.finite_faces_begin(); f != cdt.finite_faces_end(); ++f) {
        std::array<int, 3> k{f->vertex(0)->info(), f->vertex(1)->info(), f->vertex(2)->info()};
        while (k[0] > k[1] || k[0] > k[2])
            k = {k[1], k[2], k[0]};
        out.insert(k);
    }
    return out;
}

std::set<std::array<int, 3>> OurTriangles(const std::vector<Pt>& p, const std::vector<Constraint>& cons)
{
    Filled f(p);
    G3TTriangulator tri(&f.mesh);
    EXPECT_TRUE(tri.Triangulate());
    G3TSegmentInserter ins(&f.mesh);
    for (const Constraint& c : cons)
        EXPECT_TRUE(ins.Insert(f.v[static_cast<std::size_t>(c.first)], f.v[static_cast<std::size_t>(c.second)]));
    EXPECT_EQ(CheckStructure(f.mesh), "");
    EXPECT_EQ(f.mesh.GetVertexCount(), static_cast<int>(p.size())); // nothing crossed
    return TriangleSet(f.mesh);
}

bool ProperlyCross(const std::vector<Pt>& p, const Constraint& s, const Constraint& t)
{
    auto o = [&](int a, int b, int c) {
        const Pt &pa = p[static_cast<std::size_t>(a)], &pb = p[static_cast<std::size_t>(b)],
                 &pc = p[static_cast<std::size_t>(c)];
        return g3t_predicates::Orientation(pa.x, pa.y, pb.x, pb.y, pc.x, pc.y);
    };
    if (s.first == t.first || s.first == t.second || s.second == t.first || s.second == t.second)
        return false;
    auto box = [&](const Constraint& c, double* lo, double* hi) {
        const Pt &a = p[static_cast<std::size_t>(c.first)], &b = p[static_cast<std::size_t>(c.second)];
        lo[0] = std::min(a.x, b.x);
        lo[1] = std::min(a.y, b.y);
        hi[0] = std::max(a.x, b.x);
        hi[1] = std::max(a.y, b.y);
    };
    double slo[2], shi[2], tlo[2], thi[2];
    box(s, slo, shi);
    box(t, tlo, thi);
    if (shi[0] < tlo[0] || thi[0] < slo[0] || shi[1] < tlo[1] || thi[1] < slo[1])
        return false;
    return o(s.first, s.second, t.first) * o(s.first, s.second, t.second) < 0 &&
        o(t.first, t.second, s.first) * o(t.first, t.second, s.second) < 0;
}

// Points: a random star-shaped (hence simple) polygon and uniform points
// around it. Constraints: the polygon's edges, then random chords between
// polygon corners and short chords between nearby points, each kept when
// it crosses nothing accepted before.
void MakeInput(int n, unsigned seed, std::vector<Pt>* points, std::vector<Constraint>* cons)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int corners = std::max(3, n / 5);
    // Jittered angles: every gap below pi, so the polygon is star-shaped
    // around its centre.
    std::vector<double> angles;
    for (int i = 0; i < corners; ++i)
        angles.push_back((i + 0.8 * u(rng)) / corners * 2 * 3.14159265358979323846);
    points->clear();
    for (double a : angles) {
        double r = 0.15 + 0.3 * u(rng);
        points->push_back(Pt{0.5 + r * std::cos(a), 0.5 + r * std::sin(a)});
    }
    while (static_cast<int>(points->size()) < n)
        points->push_back(Pt{u(rng), u(rng)});
    cons->clear();
    for (int i = 0; i < corners; ++i)
        cons->emplace_back(i, (i + 1) % corners);
    std::uniform_int_distribution<int> corner(0, corners - 1);
    std::uniform_int_distribution<int> any(0, n - 1);
    const int wanted = corners + std::max(2, n / 10);
    auto nearby = [&](int a) {
        // The nearest of a few random points.
        int best = any(rng);
        auto d2 = [&](int b) {
            double dx = (*points)[static_cast<std::size_t>(a)].x - (*points)[static_cast<std::size_t>(b)].x;
            double dy = (*points)[static_cast<std::size_t>(a)].y - (*points)[static_cast<std::size_t>(b)].y;
            return dx * dx + dy * dy;
        };
        for (int k = 0; k < 30; ++k) {
            int b = any(rng);
            if (b != a && (best == a || d2(b) < d2(best)))
                best = b;
        }
        return best;
    };
    for (int tries = 0; tries < 20 * wanted && static_cast<int>(cons->size()) < wanted; ++tries) {
        int a = any(rng);
        Constraint c = tries % 4 == 0 ? Constraint{corner(rng), corner(rng)} : Constraint{a, nearby(a)};
        if (c.first == c.second)
            continue;
        bool ok =
            std::none_of(cons->begin(), cons->end(), [&](const Constraint& d) { return ProperlyCross(*points, c, d); });
        if (ok)
            cons->push_back(c);
    }
}

} // namespace

TEST(CgalComparison, DelaunayOfUniformPoints)
{
    for (int n : {10, 11, 12, 13, 17, 25, 64, 100, 333, 1000, 10000}) {
        for (unsigned seed = 1; seed <= (n <= 100 ? 20u : 2u); ++seed) {
            std::vector<Pt> p = UniformPoints(n, seed * 7919u + static_cast<unsigned>(n), 1.0);
            ASSERT_EQ(OurTriangles(p, {}), CgalTriangles(p, {})) << "n=" << n << " seed=" << seed;
        }
    }
}

TEST(CgalComparison, DelaunayOfClusteredAndOffsetPoints)
{
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937_64 rng(seed);
        std::normal_distribution<double> g(0.0, 1.0);
        std::uniform_real_distribution<double> u(0.0, 1000.0);
        std::vector<Pt> p;
        for (int c = 0; c < 10; ++c) {
            double cx = 1e6 + u(rng), cy = -2e6 + u(rng), s = 0.01 + u(rng) / 100;
            for (int i = 0; i < 300; ++i)
                p.push_back(Pt{cx + s * g(rng), cy + s * g(rng)});
        }
        ASSERT_EQ(OurTriangles(p, {}), CgalTriangles(p, {})) << seed;
    }
}

TEST(CgalComparison, ConstrainedDelaunayWithPolygonsAndChords)
{
    for (int n : {10, 20, 50, 100, 1000, 10000}) {
        for (unsigned seed = 1; seed <= (n <= 100 ? 10u : 2u); ++seed) {
            std::vector<Pt> p;
            std::vector<Constraint> cons;
            MakeInput(n, seed * 104729u + static_cast<unsigned>(n), &p, &cons);
            auto ours = OurTriangles(p, cons);
            auto theirs = CgalTriangles(p, cons);
            ASSERT_EQ(ours.size(), theirs.size()) << "n=" << n << " seed=" << seed;
            ASSERT_EQ(ours, theirs) << "n=" << n << " seed=" << seed << " constraints=" << cons.size();
        }
    }
}
