// Solid booleans of two overlapping triangulated unit spheres, end to end,
// against CGAL's corefinement doing the same job on the same triangles:
//   - the kernel: both G3Surface bodies built from the triangle arrays
//     (AddVertex, AddFacet, FormPlaneEquation), then G3BooleanCalculator's
//     Sub, Add or Common;
//   - CGAL: both Surface_mesh<Epick::Point_3> built from the same arrays,
//     then Polygon_mesh_processing::corefine_and_compute_difference, _union
//     or _intersection, the result written into the first mesh (in place,
//     as the kernel changes its first operand into the result).
// Each side's time runs from the arrays in memory to the result mesh; the
// arrays are made before any timing and are the input of every case.
//
// The spheres are geodesic: the icosahedron's faces cut into n^2 triangles
// each and the points pushed out onto the unit sphere, 20 n^2 triangles and
// 10 n^2 + 2 vertices. (A latitude-longitude sphere would not do: the two
// triangles of each of its quads lie in one plane, and the kernel would
// merge them back into a quad before it starts.) The second sphere is the
// first turned by 0.7 rad about a generic axis and moved by (0.4, 0.3, 0.2),
// so no facet of one lies in the plane of a facet of the other.
//
// Every case runs in a child process of its own that inherits the arrays;
// its time and its peak of resident memory above that input are read
// there, so one case's peak does not hide another's. A child that takes
// longer than the cap (180 s unless given) is stopped and its row reads
// "timeout". Checked: both results closed, their volumes (G3Surface::
// GetVolume, Polygon_mesh_processing::volume) agree within 1e-6 (relative),
// and both lie between the volumes the same operation gives on the balls
// inscribed in and circumscribed about the polyhedral spheres (the value
// for two unit balls is printed for reference). A failed check makes the
// exit status 1; a timed-out case is reported but not checked.
//
// Usage: tessaly_boolean_bench [max_exponent] [repeats] [cap_seconds]
// (default 5: 10^4 and 10^5 triangles an operand; 4 runs 10^4 only; each
// case the best of `repeats` runs, default 1; each run stopped after
// cap_seconds, default 180)
#include "../child_run.h"
#include "geodesic_sphere.h"

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Polygon_mesh_processing/corefinement.h>
#include <CGAL/Polygon_mesh_processing/measure.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/boost/graph/helpers.h>

#include <malloc.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <unordered_map>
#include <vector>

#include "tessaly/boolean.h"
#include "tessaly/surface.h"

namespace {
using Clock = std::chrono::steady_clock;

const double kPi = 3.14159265358979323846;
// The second sphere: turned about this unit axis, then moved.
const double kAxis[3] = {0.36, -0.48, 0.8};
const double kAngle = 0.7;
const double kShift[3] = {0.4, 0.3, 0.2};
const double kVolumeAgreement = 1e-6; // relative, kernel against CGAL
// Room for rounding around the inscribed and circumscribed bounds.
const double kBoundSlack = 1e-9; // relative
const int kDefaultCapSeconds = 180;

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double Mib(long kb)
{
    return static_cast<double>(kb) / 1024.0;
}

// ---- The spheres -----------------------------------------------------------

using bench_sphere::GeodesicSphere;
using bench_sphere::Mesh;

// m turned by angle about the unit axis, then moved by shift.
Mesh Moved(const Mesh& m, const double* axis, double angle, const double* shift)
{
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    const double x = axis[0], y = axis[1], z = axis[2];
    const double r[3][3] = {{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
                            {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
                            {t * x * z - s * y, t * y * z + s * x, t * z * z + c}};
    Mesh out = m;
    for (std::size_t i = 0; i < m.xyz.size(); i += 3)
        for (int a = 0; a < 3; ++a)
            out.xyz[i + a] = r[a][0] * m.xyz[i] + r[a][1] * m.xyz[i + 1] + r[a][2] * m.xyz[i + 2] + shift[a];
    return out;
}

// Of a sphere centred at the origin: the distances from the centre to the
// nearest facet plane (the inscribed ball) and to the farthest vertex (the
// circumscribed one), and the smallest height of a triangle's far corner
// over its neighbour's plane across an edge (zero for coplanar
// neighbours).
struct Shape {
    double inner = std::numeric_limits<double>::infinity();
    double outer = 0;
    double bend = std::numeric_limits<double>::infinity();
};

Shape Measure(const Mesh& m)
{
    Shape s;
    auto point = [&m](int v) { return &m.xyz[3 * static_cast<std::size_t>(v)]; };
    std::vector<double> planes(4 * static_cast<std::size_t>(m.Triangles()));
    for (int k = 0; k < m.Triangles(); ++k) {
        const int* t = &m.triangles[3 * static_cast<std::size_t>(k)];
        const double *a = point(t[0]), *b = point(t[1]), *c = point(t[2]);
        const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        double* plane = &planes[4 * static_cast<std::size_t>(k)];
        for (int i = 0; i < 3; ++i)
            plane[i] = n[i] / length;
        plane[3] = -(plane[0] * a[0] + plane[1] * a[1] + plane[2] * a[2]);
        s.inner = std::min(s.inner, std::fabs(plane[3]));
    }
    for (int v = 0; v < m.Vertices(); ++v) {
        const double* p = point(v);
        s.outer = std::max(s.outer, std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]));
    }
    // Each edge, as its smaller and larger vertex, to the first triangle
    // found on it and the corner that triangle has off it.
    std::unordered_map<std::uint64_t, std::pair<int, int>> edges;
    edges.reserve(3 * static_cast<std::size_t>(m.Triangles()) / 2);
    for (int k = 0; k < m.Triangles(); ++k) {
        const int* t = &m.triangles[3 * static_cast<std::size_t>(k)];
        for (int e = 0; e < 3; ++e) {
            const int a = std::min(t[e], t[(e + 1) % 3]), b = std::max(t[e], t[(e + 1) % 3]);
            const int apex = t[(e + 2) % 3];
            const std::uint64_t key = static_cast<std::uint64_t>(a) << 32 | static_cast<std::uint32_t>(b);
            auto found = edges.find(key);
            if (found == edges.end()) {
                edges.emplace(key, std::make_pair(k, apex));
                continue;
            }
            const double* plane = &planes[4 * static_cast<std::size_t>(found->second.first)];
            const double* p = point(apex);
            s.bend = std::min(s.bend, std::fabs(plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3]));
        }
    }
    return s;
}

// ---- Volumes of balls ------------------------------------------------------

enum class Op { Difference, Union, Intersection };
const Op kOps[] = {Op::Difference, Op::Union, Op::Intersection};

const char* OpName(Op op)
{
    switch (op) {
    case Op::Difference: return "difference";
    case Op::Union: return "union";
    default: return "intersection";
    }
}

double Ball(double r)
{
    return 4.0 / 3.0 * kPi * r * r * r;
}

// The common part of balls of radii r1 and r2 whose centres lie d apart.
double Lens(double r1, double r2, double d)
{
    if (d >= r1 + r2)
        return 0.0;
    if (d <= std::fabs(r1 - r2))
        return Ball(std::min(r1, r2));
    const double s = r1 + r2 - d;
    return kPi * s * s * (d * d + 2 * d * (r1 + r2) - 3 * (r1 - r2) * (r1 - r2)) / (12 * d);
}

// The operation on balls A (radius ra) and B (radius rb), d apart.
double OnBalls(Op op, double ra, double rb, double d)
{
    switch (op) {
    case Op::Difference: return Ball(ra) - Lens(ra, rb, d);
    case Op::Union: return Ball(ra) + Ball(rb) - Lens(ra, rb, d);
    default: return Lens(ra, rb, d);
    }
}

// Each polyhedral sphere holds the inscribed ball (radius inner) and lies
// in the circumscribed one (radius outer): union and intersection grow
// with both operands, the difference with the first and against the
// second.
void Bounds(Op op, const Shape& s, double d, double* lo, double* hi)
{
    if (op == Op::Difference) {
        *lo = OnBalls(op, s.inner, s.outer, d);
        *hi = OnBalls(op, s.outer, s.inner, d);
    } else {
        *lo = OnBalls(op, s.inner, s.inner, d);
        *hi = OnBalls(op, s.outer, s.outer, d);
    }
}

// ---- The two sides ---------------------------------------------------------

G3Surface* BuildBody(const Mesh& m)
{
    auto* body = new G3Surface(m.Vertices(), 0, m.Triangles());
    std::vector<G3Vertex*> v(static_cast<std::size_t>(m.Vertices()));
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = body->AddVertex(m.xyz[3 * i], m.xyz[3 * i + 1], m.xyz[3 * i + 2]);
    for (std::size_t k = 0; k < m.triangles.size(); k += 3) {
        G3Vertex* corners[3] = {v[static_cast<std::size_t>(m.triangles[k])],
                                v[static_cast<std::size_t>(m.triangles[k + 1])],
                                v[static_cast<std::size_t>(m.triangles[k + 2])]};
        body->AddFacet(3, corners, 1, nullptr, nullptr);
    }
    body->FormPlaneEquation();
    return body;
}

G3Surface* KernelBoolean(Op op, G3Surface* a, G3Surface* b)
{
    G3BooleanCalculator calc;
    switch (op) {
    case Op::Difference: return calc.Sub(a, b);
    case Op::Union: return calc.Add(a, b);
    default: return calc.Common(a, b);
    }
}

using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using SurfaceMesh = CGAL::Surface_mesh<K::Point_3>;
namespace PMP = CGAL::Polygon_mesh_processing;

SurfaceMesh BuildSurfaceMesh(const Mesh& m)
{
    SurfaceMesh out;
    out.reserve(static_cast<SurfaceMesh::size_type>(m.Vertices()),
                static_cast<SurfaceMesh::size_type>(3 * m.Triangles() / 2),
                static_cast<SurfaceMesh::size_type>(m.Triangles()));
    std::vector<SurfaceMesh::Vertex_index> v(static_cast<std::size_t>(m.Vertices()));
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = out.add_vertex(K::Point_3(m.xyz[3 * i], m.xyz[3 * i + 1], m.xyz[3 * i + 2]));
    for (std::size_t k = 0; k < m.triangles.size(); k += 3)
        out.add_face(v[static_cast<std::size_t>(m.triangles[k])], v[static_cast<std::size_t>(m.triangles[k + 1])],
                     v[static_cast<std::size_t>(m.triangles[k + 2])]);
    return out;
}

// The result goes into a; false when CGAL could not make it.
bool CgalBoolean(Op op, SurfaceMesh& a, SurfaceMesh& b)
{
    switch (op) {
    case Op::Difference: return PMP::corefine_and_compute_difference(a, b, a);
    case Op::Union: return PMP::corefine_and_compute_union(a, b, a);
    default: return PMP::corefine_and_compute_intersection(a, b, a);
    }
}

// ---- Measuring in a child process ------------------------------------------

struct Result {
    bool done = false;
    double seconds = 0; // arrays to result
    double build = 0;   // of which: building the two operands
    long peakKb = 0;    // peak of resident memory above the input
    long facets = 0;
    bool closed = false;
    bool made = false; // a result came out (kernel: not null; CGAL: true returned)
    double volume = 0;
};

using Status = ChildStatus;

struct Run {
    Status status = Status::Crashed;
    Result r;
};

// Start and Stop bracket the measured step of a child. Memory the process
// freed before is handed back first, so the step cannot reuse it unseen.
class Meter {
public:
    void Start()
    {
        malloc_trim(0);
        ResetPeak();
        m_Base = ReadStatusKb("VmRSS:");
        m_T0 = Clock::now();
    }
    void Stop(Result& r)
    {
        r.seconds = Seconds(m_T0);
        r.peakKb = ReadStatusKb("VmHWM:") - m_Base;
    }
    Clock::time_point Started() const { return m_T0; }

private:
    long m_Base = 0;
    Clock::time_point m_T0;
};

Run InChild(const std::function<void(Meter&, Result&)>& work, int capSeconds)
{
    Run run;
    run.status = RunInChild<Result>(
        [&work](Result& r) {
            Meter meter;
            work(meter, r);
            r.done = true;
        },
        capSeconds, &run.r);
    return run;
}

// The fastest of repeats runs; the peak is the largest seen. The first
// run that does not finish ends the case.
Run Best(const std::function<void(Meter&, Result&)>& work, int repeats, int capSeconds)
{
    Run best;
    for (int k = 0; k < repeats; ++k) {
        Run run = InChild(work, capSeconds);
        if (run.status != Status::Done)
            return run;
        const long peak = std::max(best.r.peakKb, run.r.peakKb);
        if (k == 0 || run.r.seconds < best.r.seconds)
            best = run;
        best.r.peakKb = peak;
    }
    return best;
}

struct Case {
    Op op;
    int exponent;
    double reference; // on two unit balls
    double lo, hi;    // on the inscribed and the circumscribed balls
    Run kernel, cgal;
};

} // namespace

int main(int argc, char** argv)
{
    const int maxExponent = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    const int cap = argc > 3 ? std::max(1, std::atoi(argv[3])) : kDefaultCapSeconds;
    const double distance = std::sqrt(kShift[0] * kShift[0] + kShift[1] * kShift[1] + kShift[2] * kShift[2]);

    std::printf(
        "operands: geodesic unit spheres, the second turned %.2f rad about (%.2f, %.2f, %.2f) and moved by\n"
        "          (%.1f, %.1f, %.1f) (centres %.6f apart); best of %d run(s) a case, each stopped after %d s\n",
        kAngle, kAxis[0], kAxis[1], kAxis[2], kShift[0], kShift[1], kShift[2], distance, repeats, cap);

    std::vector<Case> cases;
    bool ok = true;
    auto row = [](const char* name, const char* side, const Run& run) {
        if (run.status == Status::Timeout) {
            std::printf("%-24s %-8s %9s\n", name, side, "timeout");
            return;
        }
        if (run.status == Status::Crashed) {
            std::printf("%-24s %-8s %9s\n", name, side, "crashed");
            return;
        }
        const Result& r = run.r;
        std::printf("%-24s %-8s %9.3f %9.3f %9.1f %8ld %6s %12.9f\n", name, side, r.seconds, r.build, Mib(r.peakKb),
                    r.facets, r.closed ? "yes" : "no", r.volume);
    };

    for (int exponent = std::min(4, maxExponent); exponent <= maxExponent; ++exponent) {
        const int n = static_cast<int>(std::lround(std::sqrt(std::pow(10.0, exponent) / 20)));
        const Mesh first = GeodesicSphere(n);
        const Mesh second = Moved(first, kAxis, kAngle, kShift);
        const Shape shape = Measure(first);
        std::printf("\n10^%d: n = %d, %d triangles and %d vertices an operand (arrays %.1f MiB for both);\n"
                    "      inscribed radius %.9f, circumscribed %.9f, least bend between neighbours %.3g\n\n",
                    exponent, n, first.Triangles(), first.Vertices(),
                    static_cast<double>(first.Bytes() + second.Bytes()) / (1024.0 * 1024.0), shape.inner, shape.outer,
                    shape.bend);
        std::printf("%-24s %-8s %9s %9s %9s %8s %6s %12s\n", "case", "side", "seconds", "build", "peak MiB", "facets",
                    "closed", "volume");
        for (Op op : kOps) {
            Case c;
            c.op = op;
            c.exponent = exponent;
            c.reference = OnBalls(op, 1.0, 1.0, distance);
            Bounds(op, shape, distance, &c.lo, &c.hi);
            c.kernel = Best(
                [&](Meter& meter, Result& r) {
                    meter.Start();
                    G3Surface* a = BuildBody(first);
                    G3Surface* b = BuildBody(second);
                    r.build = Seconds(meter.Started());
                    G3Surface* out = KernelBoolean(op, a, b);
                    meter.Stop(r);
                    r.made = out != nullptr;
                    if (out) {
                        r.facets = out->GetFacetCount();
                        r.closed = out->GetClosed();
                        r.volume = out->GetVolume();
                    }
                },
                repeats, cap);
            c.cgal = Best(
                [&](Meter& meter, Result& r) {
                    meter.Start();
                    SurfaceMesh a = BuildSurfaceMesh(first);
                    SurfaceMesh b = BuildSurfaceMesh(second);
                    r.build = Seconds(meter.Started());
                    r.made = CgalBoolean(op, a, b);
                    meter.Stop(r);
                    r.facets = static_cast<long>(a.number_of_faces());
                    r.closed = CGAL::is_closed(a);
                    r.volume = r.closed ? PMP::volume(a) : 0.0;
                },
                repeats, cap);
            char name[64];
            std::snprintf(name, sizeof name, "%s 10^%d", OpName(op), exponent);
            row(name, "Tessaly", c.kernel);
            row("", "CGAL", c.cgal);
            cases.push_back(c);
        }
    }

    std::printf("\nseconds: from the triangle arrays to the result, of which build: making the two operands;\n"
                "peak MiB: peak of resident memory above the arrays, each case in a process of its own.\n"
                "facets: Tessaly's cut facets are the polygons the cuts leave; CGAL's result is all triangles.\n\n");

    std::printf("%-24s %13s %13s %13s %13s %13s %10s\n", "volumes", "unit balls", "lower bound", "upper bound",
                "Tessaly", "CGAL", "rel. diff");
    for (const Case& c : cases) {
        char name[64];
        std::snprintf(name, sizeof name, "%s 10^%d", OpName(c.op), c.exponent);
        std::printf("%-24s %13.9f %13.9f %13.9f", name, c.reference, c.lo, c.hi);
        const bool both = c.kernel.status == Status::Done && c.cgal.status == Status::Done;
        for (const Run* run : {&c.kernel, &c.cgal}) {
            if (run->status == Status::Done)
                std::printf(" %13.9f", run->r.volume);
            else
                std::printf(" %13s", run->status == Status::Timeout ? "timeout" : "crashed");
        }
        if (!both) {
            const bool crashed = c.kernel.status == Status::Crashed || c.cgal.status == Status::Crashed;
            std::printf(" %10s%s\n", "-", crashed ? "   <-- FAILED" : "   (not checked)");
            ok = ok && !crashed;
            continue;
        }
        const double v = c.kernel.r.volume, w = c.cgal.r.volume;
        const double diff = std::fabs(v - w) / std::max(std::fabs(w), std::numeric_limits<double>::min());
        auto within = [&c](double x) { return x >= c.lo * (1 - kBoundSlack) && x <= c.hi * (1 + kBoundSlack); };
        const bool good = c.kernel.r.made && c.kernel.r.closed && c.cgal.r.made && c.cgal.r.closed &&
            diff <= kVolumeAgreement && within(v) && within(w);
        std::printf(" %10.2e%s\n", diff, good ? "" : "   <-- FAILED");
        ok = ok && good;
    }
    std::printf("\nbounds: the same operation on the balls inscribed in and circumscribed about the polyhedral\n"
                "spheres; rel. diff: |Tessaly - CGAL| / CGAL, checked at %g.\n\n",
                kVolumeAgreement);

    auto ratio = [](const char* what, const Case& c, double ours, double peer) {
        if (c.kernel.status == Status::Timeout)
            std::printf("%-52s %8s\n", what, "timeout");
        else if (c.kernel.status != Status::Done || c.cgal.status != Status::Done)
            std::printf("%-52s %8s\n", what, "-");
        else
            std::printf("%-52s %8.2f\n", what, peer > 0 ? ours / peer : 0.0);
    };
    for (const Case& c : cases) {
        char what[80];
        std::snprintf(what, sizeof what, "%s 10^%d: Tessaly / CGAL, time", OpName(c.op), c.exponent);
        ratio(what, c, c.kernel.r.seconds, c.cgal.r.seconds);
        std::snprintf(what, sizeof what, "%s 10^%d: Tessaly / CGAL, peak memory", OpName(c.op), c.exponent);
        ratio(what, c, static_cast<double>(c.kernel.r.peakKb), static_cast<double>(c.cgal.r.peakKb));
    }

    if (!ok) {
        std::printf("\n*** FAILED: a result was not closed, the volumes disagree or leave the bounds, or a case "
                    "crashed ***\n");
        return 1;
    }
    return 0;
}
