// Facet tessellation of a body of many small n-gons: G3Surface::Triangulate(4,
// 0), which splits every facet of four or more edges through the GLU
// tessellator, against two peers doing the same job on the same polygons in
// the same run:
//   - the floor: GLU's tessellator called directly, one tessellator for all
//     polygons, each loop a contour of its own, odd winding, the normal
//     given, the triangles collected in a vector. What Triangulate takes
//     beyond this is the kernel's own cost per facet: reading its loops,
//     checking the triangles' area, replacing the facet by triangles in the
//     body;
//   - CGAL's constrained Delaunay triangulation of each polygon, its loops
//     inserted as constraints and the inside found by the flood over
//     nesting levels of CGAL's polygon_triangulation example, counting the
//     faces inside.
// The polygons are seeded random star-shaped n-gons (5..12 vertices, radii
// 0.5..1 at sorted random angles around a centre), each in a grid cell of
// its own in the plane z = 0; one in five has a hole, a small square or
// triangle around the centre walked the other way. The angles are drawn
// again until no gap between two of them reaches 120 degrees: every edge of
// the outer loop then stays at least 0.25 from the centre, so the hole
// (radius at most 0.2) lies inside with room to spare.
//
// Only the tessellation is timed: the kernel's body is built before each
// run (Triangulate changes it, so every run gets a fresh one) and the
// peers' input arrays are made once. Each case counts the best of its runs.
// Checked: all three give n + 2h - 2 triangles for a polygon of n vertices
// and h holes, and the kernel's triangles, turning as the facets do, cover
// the polygons' total area within 1e-6 (relative). A failed check makes the
// exit status 1.
//
// Usage: tessaly_tessellation_bench [facets] [repeats]   (default 100000
// facets; each case the best of `repeats` runs, default 3)
#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Constrained_triangulation_face_base_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_data_structure_2.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_2.h>

#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "tessaly/contour.h"
#include "tessaly/surface.h"

namespace {
using Clock = std::chrono::steady_clock;

const unsigned kSeed = 20261214;
const double kPi = 3.14159265358979323846;
const int kCellsPerRow = 400;
const double kCell = 3.0;
const int kHoleOneIn = 5;
// Largest gap between two consecutive angles of an outer loop.
const double kMaxGap = 2 * kPi / 3;
const double kAreaTolerance = 1e-6; // relative

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// ---- The polygons ----------------------------------------------------------

// Every polygon's loops, the outer loop counterclockwise (seen from +z)
// first, then its hole, clockwise.
struct Polygons {
    std::vector<double> xyz;       // 3 coordinates a vertex, z = 0
    std::vector<int> loopFirst;    // first vertex of each loop, then the vertex count
    std::vector<int> polygonFirst; // first loop of each polygon, then the loop count
    long holes = 0;
    double area = 0; // the polygons' areas (outer loop less hole) added up

    int Count() const { return static_cast<int>(polygonFirst.size()) - 1; }
    int Vertices() const { return static_cast<int>(xyz.size() / 3); }
    // A polygon of n vertices and h holes falls into n + 2h - 2 triangles.
    long ExpectedTriangles() const { return Vertices() + 2 * holes - 2L * Count(); }
};

// Twice the signed area of a loop, from its first vertex (the coordinates
// run to over a thousand; the loops are a unit across).
double TwiceLoopArea(const std::vector<double>& xyz, int from, int to)
{
    const double x0 = xyz[3 * static_cast<std::size_t>(from)];
    const double y0 = xyz[3 * static_cast<std::size_t>(from) + 1];
    double twice = 0;
    for (int k = from; k < to; ++k) {
        const int next = k + 1 < to ? k + 1 : from;
        const double ax = xyz[3 * static_cast<std::size_t>(k)] - x0;
        const double ay = xyz[3 * static_cast<std::size_t>(k) + 1] - y0;
        const double bx = xyz[3 * static_cast<std::size_t>(next)] - x0;
        const double by = xyz[3 * static_cast<std::size_t>(next) + 1] - y0;
        twice += ax * by - ay * bx;
    }
    return twice;
}

Polygons MakePolygons(int count)
{
    Polygons p;
    std::mt19937 rng(kSeed);
    std::uniform_int_distribution<int> sides(5, 12);
    std::uniform_real_distribution<double> turn(0.0, 2 * kPi);
    std::uniform_real_distribution<double> radius(0.5, 1.0);
    std::uniform_int_distribution<int> holePick(0, kHoleOneIn - 1);
    std::uniform_int_distribution<int> holeSides(3, 4);
    std::uniform_real_distribution<double> holeRadius(0.1, 0.2);
    auto point = [&p](double x, double y) {
        p.xyz.push_back(x);
        p.xyz.push_back(y);
        p.xyz.push_back(0.0);
    };
    std::vector<double> angles;
    for (int k = 0; k < count; ++k) {
        const double cx = kCell * (k % kCellsPerRow);
        const double cy = kCell * (k / kCellsPerRow);
        p.polygonFirst.push_back(static_cast<int>(p.loopFirst.size()));

        const int n = sides(rng);
        double gap;
        do {
            angles.resize(static_cast<std::size_t>(n));
            for (double& a : angles)
                a = turn(rng);
            std::sort(angles.begin(), angles.end());
            gap = angles.front() + 2 * kPi - angles.back();
            for (std::size_t i = 1; i < angles.size(); ++i)
                gap = std::max(gap, angles[i] - angles[i - 1]);
        } while (gap >= kMaxGap);
        const int outer = p.Vertices();
        p.loopFirst.push_back(outer);
        for (double a : angles) {
            const double r = radius(rng);
            point(cx + r * std::cos(a), cy + r * std::sin(a));
        }
        double twice = TwiceLoopArea(p.xyz, outer, p.Vertices());

        if (holePick(rng) == 0) {
            const int m = holeSides(rng);
            const double r = holeRadius(rng);
            const double phase = turn(rng);
            const int hole = p.Vertices();
            p.loopFirst.push_back(hole);
            for (int i = 0; i < m; ++i) {
                const double a = phase - 2 * kPi * i / m; // clockwise
                point(cx + r * std::cos(a), cy + r * std::sin(a));
            }
            twice += TwiceLoopArea(p.xyz, hole, p.Vertices());
            ++p.holes;
        }
        p.area += twice / 2;
    }
    p.loopFirst.push_back(p.Vertices());
    p.polygonFirst.push_back(static_cast<int>(p.loopFirst.size()) - 1);
    return p;
}

// ---- The kernel ------------------------------------------------------------

// The body of one facet a polygon, through the public building calls.
G3Surface* BuildBody(const Polygons& p)
{
    auto* body = new G3Surface(p.Vertices(), 0, p.Count());
    std::vector<G3Vertex*> v(static_cast<std::size_t>(p.Vertices()));
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = body->AddVertex(p.xyz[3 * i], p.xyz[3 * i + 1], p.xyz[3 * i + 2]);
    for (int k = 0; k < p.Count(); ++k) {
        const int firstLoop = p.polygonFirst[static_cast<std::size_t>(k)];
        const int endLoop = p.polygonFirst[static_cast<std::size_t>(k) + 1];
        if (endLoop - firstLoop == 1) {
            const int from = p.loopFirst[static_cast<std::size_t>(firstLoop)];
            const int to = p.loopFirst[static_cast<std::size_t>(firstLoop) + 1];
            body->AddFacet(to - from, &v[static_cast<std::size_t>(from)], 1, nullptr, nullptr);
            continue;
        }
        // A facet with a hole: the edges of every loop, one loop after the
        // other.
        G3EdgeList loops(0, 1);
        for (int l = firstLoop; l < endLoop; ++l) {
            const int from = p.loopFirst[static_cast<std::size_t>(l)];
            const int to = p.loopFirst[static_cast<std::size_t>(l) + 1];
            for (int i = from; i < to; ++i) {
                const int j = i + 1 < to ? i + 1 : from;
                loops.AddEdge(v[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(j)], nullptr, nullptr, nullptr,
                              nullptr, 1);
            }
        }
        body->AddFacet(&loops, 0, 0);
    }
    body->FormPlaneEquation();
    return body;
}

struct Outcome {
    double seconds = 0;
    long triangles = 0;
    // Kernel and floor: the triangles' area, added up signed (seen from
    // +z), and the number of them that turn clockwise.
    double area = 0;
    long turned = 0;
    // Floor: GLU errors, and new vertices it asked for (crossing contours).
    long errors = 0;
    bool all = true; // the kernel split every facet / each run agreed
};

// The body's facets once Triangulate has run: how many, how many are not
// triangles, their area seen from +z.
void Survey(G3Surface* body, Outcome& out)
{
    out.triangles = body->GetFacetCount();
    out.area = 0;
    out.turned = 0;
    GArrayCollection vertices, starts;
    for (int k = 0; k < body->GetFacetCount(); ++k) {
        body->GetFacet(k)->GetLoops(&vertices, &starts);
        if (vertices.size() != 3 || starts.size() != 1) {
            out.all = false;
            continue;
        }
        const double* a = static_cast<G3Vertex*>(vertices.get(0))->GetXYZ();
        const double* b = static_cast<G3Vertex*>(vertices.get(1))->GetXYZ();
        const double* c = static_cast<G3Vertex*>(vertices.get(2))->GetXYZ();
        const double twice = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
        out.turned += twice < 0;
        out.area += twice / 2;
    }
}

Outcome RunKernel(const Polygons& p, int repeats, double& buildSeconds)
{
    Outcome best;
    for (int r = 0; r < repeats; ++r) {
        const auto b0 = Clock::now();
        G3Surface* body = BuildBody(p);
        const double build = Seconds(b0);
        if (r == 0 || build < buildSeconds)
            buildSeconds = build;

        const auto t0 = Clock::now();
        const bool split = body->Triangulate(4, 0);
        const double seconds = Seconds(t0);

        Outcome run;
        run.seconds = seconds;
        Survey(body, run);
        run.all = run.all && split;
        delete body;
        const bool agrees = r == 0 || (run.triangles == best.triangles && run.area == best.area);
        const bool all = (r == 0 || best.all) && run.all && agrees;
        if (r == 0 || run.seconds < best.seconds)
            best = run;
        best.all = all;
    }
    return best;
}

// ---- The floor: GLU called directly ----------------------------------------

// GLU hands out triangles, strips and fans; they are put together into
// triangles (as corner indices) turning as the polygon does.
struct GluSink {
    const double* base = nullptr; // the first coordinate of the input
    std::vector<int> corners;
    GLenum primitive = GL_TRIANGLES;
    int count = 0;
    int a = 0, b = 0;
    int parity = 0;
    long errors = 0;
};

void GLAPIENTRY GluBegin(GLenum type, void* data)
{
    auto* s = static_cast<GluSink*>(data);
    s->primitive = type;
    s->count = 0;
    s->parity = 0;
}

void GLAPIENTRY GluVertex(void* vertex, void* data)
{
    auto* s = static_cast<GluSink*>(data);
    const int v = static_cast<int>((static_cast<const double*>(vertex) - s->base) / 3);
    if (s->count < 2) {
        (s->count == 0 ? s->a : s->b) = v;
        ++s->count;
        return;
    }
    auto emit = [s](int x, int y, int z) {
        s->corners.push_back(x);
        s->corners.push_back(y);
        s->corners.push_back(z);
    };
    switch (s->primitive) {
    case GL_TRIANGLES:
        emit(s->a, s->b, v);
        s->count = 0;
        break;
    case GL_TRIANGLE_STRIP:
        // Every other triangle of a strip turns the other way.
        if (s->parity++ % 2)
            emit(v, s->b, s->a);
        else
            emit(s->a, s->b, v);
        s->a = s->b;
        s->b = v;
        break;
    case GL_TRIANGLE_FAN:
        emit(s->a, s->b, v);
        s->b = v;
        break;
    default: ++s->errors;
    }
}

void GLAPIENTRY GluEnd(void*) {}

void GLAPIENTRY GluError(GLenum, void* data)
{
    ++static_cast<GluSink*>(data)->errors;
}

// Simple loops never need a new vertex; being asked for one is counted as a
// failure, and the first corner stands in for it.
void GLAPIENTRY GluCombine(GLdouble[3], void* corners[4], GLfloat[4], void** out, void* data)
{
    ++static_cast<GluSink*>(data)->errors;
    *out = corners[0];
}

Outcome RunGlu(std::vector<double>& xyz, const Polygons& p, int repeats)
{
    GLUtesselator* tess = gluNewTess();
    if (!tess) {
        Outcome failed;
        failed.all = false;
        return failed;
    }
    using Callback = _GLUfuncptr;
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<Callback>(&GluBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<Callback>(&GluVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<Callback>(&GluEnd));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<Callback>(&GluError));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(&GluCombine));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);

    Outcome best;
    GluSink sink;
    sink.base = xyz.data();
    for (int r = 0; r < repeats; ++r) {
        sink.corners.clear();
        sink.corners.reserve(3 * static_cast<std::size_t>(p.ExpectedTriangles()));
        sink.errors = 0;

        const auto t0 = Clock::now();
        for (int k = 0; k < p.Count(); ++k) {
            gluTessNormal(tess, 0, 0, 1);
            gluTessBeginPolygon(tess, &sink);
            for (int l = p.polygonFirst[static_cast<std::size_t>(k)];
                 l < p.polygonFirst[static_cast<std::size_t>(k) + 1]; ++l) {
                gluTessBeginContour(tess);
                for (int i = p.loopFirst[static_cast<std::size_t>(l)]; i < p.loopFirst[static_cast<std::size_t>(l) + 1];
                     ++i) {
                    double* c = &xyz[3 * static_cast<std::size_t>(i)];
                    gluTessVertex(tess, c, c);
                }
                gluTessEndContour(tess);
            }
            gluTessEndPolygon(tess);
        }
        const double seconds = Seconds(t0);

        Outcome run;
        run.seconds = seconds;
        run.triangles = static_cast<long>(sink.corners.size() / 3);
        run.errors = sink.errors;
        for (std::size_t t = 0; t + 2 < sink.corners.size(); t += 3) {
            const double* a = &xyz[3 * static_cast<std::size_t>(sink.corners[t])];
            const double* b = &xyz[3 * static_cast<std::size_t>(sink.corners[t + 1])];
            const double* c = &xyz[3 * static_cast<std::size_t>(sink.corners[t + 2])];
            const double twice = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
            run.turned += twice < 0;
            run.area += twice / 2;
        }
        const bool agrees = r == 0 || (run.triangles == best.triangles && run.errors == best.errors);
        const bool all = (r == 0 || best.all) && agrees;
        if (r == 0 || run.seconds < best.seconds)
            best = run;
        best.all = all;
    }
    gluDeleteTess(tess);
    return best;
}

// ---- CGAL: constrained Delaunay and the nesting-level flood ----------------

struct FaceInfo {
    int nesting = -1;
    bool InDomain() const { return nesting % 2 == 1; }
};

using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using Vb = CGAL::Triangulation_vertex_base_2<K>;
using Fbb = CGAL::Triangulation_face_base_with_info_2<FaceInfo, K>;
using Fb = CGAL::Constrained_triangulation_face_base_2<K, Fbb>;
using Tds = CGAL::Triangulation_data_structure_2<Vb, Fb>;
using Cdt = CGAL::Constrained_Delaunay_triangulation_2<K, Tds, CGAL::Exact_predicates_tag>;

// Gives the faces reachable from start without crossing a constraint the
// nesting level index; the constrained edges met on the way go to border.
void MarkDomain(Cdt& cdt, Cdt::Face_handle start, int index, std::vector<Cdt::Edge>& border,
                std::vector<Cdt::Face_handle>& queue)
{
    if (start->info().nesting != -1)
        return;
    queue.clear();
    queue.push_back(start);
    while (!queue.empty()) {
        Cdt::Face_handle f = queue.back();
        queue.pop_back();
        if (f->info().nesting != -1)
            continue;
        f->info().nesting = index;
        for (int i = 0; i < 3; ++i) {
            Cdt::Face_handle n = f->neighbor(i);
            if (n->info().nesting != -1)
                continue;
            const Cdt::Edge e(f, i);
            if (cdt.is_constrained(e))
                border.push_back(e);
            else
                queue.push_back(n);
        }
    }
}

// Levels from the infinite face (0) inwards, one more across each
// constraint; odd levels are inside.
void MarkDomains(Cdt& cdt, std::vector<Cdt::Edge>& border, std::vector<Cdt::Face_handle>& queue)
{
    for (Cdt::Face_handle f : cdt.all_face_handles())
        f->info().nesting = -1;
    border.clear();
    MarkDomain(cdt, cdt.infinite_face(), 0, border, queue);
    for (std::size_t k = 0; k < border.size(); ++k) {
        // MarkDomain appends to border: take the edge by value.
        const Cdt::Edge e = border[k];
        Cdt::Face_handle n = e.first->neighbor(e.second);
        if (n->info().nesting == -1)
            MarkDomain(cdt, n, e.first->info().nesting + 1, border, queue);
    }
}

Outcome RunCgal(const std::vector<K::Point_2>& points, const Polygons& p, int repeats)
{
    Outcome best;
    std::vector<Cdt::Edge> border;
    std::vector<Cdt::Face_handle> queue;
    for (int r = 0; r < repeats; ++r) {
        long inside = 0;
        const auto t0 = Clock::now();
        for (int k = 0; k < p.Count(); ++k) {
            Cdt cdt;
            for (int l = p.polygonFirst[static_cast<std::size_t>(k)];
                 l < p.polygonFirst[static_cast<std::size_t>(k) + 1]; ++l)
                cdt.insert_constraint(points.begin() + p.loopFirst[static_cast<std::size_t>(l)],
                                      points.begin() + p.loopFirst[static_cast<std::size_t>(l) + 1], true);
            MarkDomains(cdt, border, queue);
            for (Cdt::Face_handle f : cdt.finite_face_handles())
                inside += f->info().InDomain();
        }
        const double seconds = Seconds(t0);

        const bool agrees = r == 0 || inside == best.triangles;
        const bool all = (r == 0 || best.all) && agrees;
        if (r == 0 || seconds < best.seconds) {
            best.seconds = seconds;
            best.triangles = inside;
        }
        best.all = all;
    }
    return best;
}

bool AreaMatches(double area, double expected)
{
    return std::fabs(area - expected) <= kAreaTolerance * std::fabs(expected);
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    const Polygons polygons = MakePolygons(count);
    const long expected = polygons.ExpectedTriangles();
    std::printf("body: %d facets in the plane z = 0, star-shaped with 5..12 vertices, %ld with a hole (3 or 4\n"
                "      vertices); %d vertices, %ld triangles expected, total area %.6f; seed %u;\n"
                "      best of %d run(s) a case\n\n",
                polygons.Count(), polygons.holes, polygons.Vertices(), expected, polygons.area, kSeed, repeats);
    std::fflush(stdout);

    // The peers' inputs, made before any timing.
    std::vector<double> gluInput = polygons.xyz;
    std::vector<K::Point_2> cgalInput;
    cgalInput.reserve(static_cast<std::size_t>(polygons.Vertices()));
    for (std::size_t i = 0; i < polygons.xyz.size(); i += 3)
        cgalInput.emplace_back(polygons.xyz[i], polygons.xyz[i + 1]);

    double buildSeconds = 0;
    const Outcome kernel = RunKernel(polygons, repeats, buildSeconds);
    const Outcome glu = RunGlu(gluInput, polygons, repeats);
    const Outcome cgal = RunCgal(cgalInput, polygons, repeats);

    bool ok = true;
    auto row = [&](const char* name, const Outcome& o, bool good) {
        const double rate = o.seconds > 0 ? polygons.Count() / o.seconds : 0.0;
        std::printf("%-48s %9.3f %12.0f %11ld%s\n", name, o.seconds, rate, o.triangles, good ? "" : "   <-- FAILED");
        ok = ok && good;
    };
    const bool kernelGood =
        kernel.all && kernel.triangles == expected && kernel.turned == 0 && AreaMatches(kernel.area, polygons.area);
    const bool gluGood = glu.all && glu.errors == 0 && glu.triangles == expected && glu.turned == 0 &&
        AreaMatches(glu.area, polygons.area);
    const bool cgalGood = cgal.all && cgal.triangles == expected;

    std::printf("%-48s %9s %12s %11s\n", "case", "seconds", "facets/s", "triangles");
    row("G3Surface::Triangulate(4, 0)", kernel, kernelGood);
    row("GLU tessellator called directly (floor)", glu, gluGood);
    row("CGAL constrained Delaunay + nesting flood", cgal, cgalGood);
    std::printf("\nbuilding the body (not timed) took %.3f s. Triangles' area: kernel %.6f, GLU %.6f (polygons\n"
                "%.6f); triangles turned clockwise: kernel %ld, GLU %ld; GLU errors and new vertices: %ld.\n\n",
                buildSeconds, kernel.area, glu.area, polygons.area, kernel.turned, glu.turned, glu.errors);

    auto ratio = [](const char* what, double ours, double peer) {
        std::printf("%-52s %8.2f\n", what, peer > 0 ? ours / peer : 0.0);
    };
    ratio("Triangulate / GLU called directly, time", kernel.seconds, glu.seconds);
    ratio("Triangulate / CGAL constrained Delaunay, time", kernel.seconds, cgal.seconds);

    if (!ok) {
        std::printf("\n*** FAILED: a case did not give %ld triangles covering the polygons' area ***\n", expected);
        return 1;
    }
    return 0;
}
