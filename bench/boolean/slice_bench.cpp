// Slicing a triangulated unit sphere by planes, end to end, against CGAL's
// clip doing the same job on the same triangles:
//   - the kernel: the G3Surface built from the triangle arrays (AddVertex,
//     AddFacet, FormPlaneEquation), then G3BooleanCalculator::Slice with
//     the cut faces marked by the plane; one call gives both halves, front
//     (a x + b y + c z + d < 0) and back, each closed by its cut face;
//   - CGAL: a Surface_mesh<Epick::Point_3> built from the same arrays, then
//     Polygon_mesh_processing::clip by the plane with clip_volume, which
//     keeps the part on the plane's negative side and closes it. The other
//     half is a second mesh built and clipped by the opposite plane, so
//     CGAL is timed for one half and for both.
// Each side's time runs from the arrays in memory to the halves; the arrays
// are made before any timing and are the input of every plane.
//
// The sphere is geodesic: the icosahedron's faces cut into n^2 triangles
// each (n = 71, 100820 triangles) and the points pushed out onto the unit
// sphere, so no two neighbouring triangles lie in one plane. The planes are
// drawn from a fixed seed: a random unit normal and an offset d uniform in
// (-0.8, 0.8), so each one passes through the sphere.
//
// Every plane and side runs in a child process of its own that inherits the
// arrays; its time and its peak of resident memory above that input are
// read there. A child that takes longer than the cap (180 s unless given)
// is stopped and its row reads "timeout". Checked on every plane: both
// kernel halves closed, CGAL's clips made and closed, the kernel's front
// volume (G3Surface::GetVolume) equal to CGAL's negative half
// (Polygon_mesh_processing::volume) and its back to CGAL's positive half,
// and front + back equal to the sphere's volume (from the arrays), all
// within 1e-9 (relative). A failed check or a crashed child makes the exit
// status 1; a timed-out plane is reported but not checked.
//
// Usage: tessaly_slice_bench [planes] [cap_seconds]   (defaults 10, 180)
#include "../child_run.h"
#include "geodesic_sphere.h"

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Polygon_mesh_processing/clip.h>
#include <CGAL/Polygon_mesh_processing/measure.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/boost/graph/helpers.h>

#include <malloc.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <vector>

#include "tessaly/boolean.h"
#include "tessaly/surface.h"

namespace {
using Clock = std::chrono::steady_clock;

const int kSubdivision = 71; // 20 n^2 = 100820 triangles
const double kMaxOffset = 0.8;
const unsigned kSeed = 20240611;
const double kAgreement = 1e-9; // relative
const int kDefaultPlanes = 10;
const int kDefaultCapSeconds = 180;

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double Mib(long kb)
{
    return static_cast<double>(kb) / 1024.0;
}

double RelDiff(double v, double w)
{
    return std::fabs(v - w) / std::max(std::fabs(w), std::numeric_limits<double>::min());
}

// ---- The sphere ------------------------------------------------------------

using bench_sphere::GeodesicSphere;
using bench_sphere::Mesh;

// The enclosed volume: the signed tetrahedra from the origin over every
// triangle. Also tells whether every triangle faces away from the centre.
double ArrayVolume(const Mesh& m, bool* outward)
{
    double total = 0;
    *outward = true;
    for (std::size_t k = 0; k < m.triangles.size(); k += 3) {
        const double* a = &m.xyz[3 * static_cast<std::size_t>(m.triangles[k])];
        const double* b = &m.xyz[3 * static_cast<std::size_t>(m.triangles[k + 1])];
        const double* c = &m.xyz[3 * static_cast<std::size_t>(m.triangles[k + 2])];
        const double det = a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
            a[2] * (b[0] * c[1] - b[1] * c[0]);
        *outward = *outward && det > 0;
        total += det / 6;
    }
    return total;
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

// ---- Measuring in a child process ------------------------------------------

// One half of the sphere as a side made it.
struct Half {
    bool made = false; // kernel: present; CGAL: clip returned true
    bool closed = false;
    long facets = 0;
    double volume = 0;
};

struct Result {
    bool done = false;
    double seconds = 0;     // arrays to both halves
    double build = 0;       // of which: building the input (CGAL: both copies)
    long peakKb = 0;        // peak of resident memory above the input, both halves held
    double halfSeconds = 0; // CGAL: arrays to the negative half alone
    long halfPeakKb = 0;    // CGAL: its peak
    bool both = false;      // kernel: Slice returned true
    Half front, back;       // negative and positive side of the plane
};

using Status = ChildStatus;
using Meter = ChildMeter;

struct Run {
    Status status = Status::Crashed;
    Result r;
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

Half KernelHalf(G3Surface* s)
{
    Half h;
    h.made = s != nullptr;
    if (s) {
        h.closed = s->GetClosed();
        h.facets = s->GetFacetCount();
        h.volume = s->GetVolume();
    }
    return h;
}

Half CgalHalf(bool made, SurfaceMesh& m)
{
    Half h;
    h.made = made;
    h.closed = CGAL::is_closed(m);
    h.facets = static_cast<long>(m.number_of_faces());
    h.volume = h.closed ? PMP::volume(m) : 0.0;
    return h;
}

struct Plane {
    double p[4];
    Run kernel, cgal;
};

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultPlanes;
    const int cap = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultCapSeconds;

    const Mesh sphere = GeodesicSphere(kSubdivision);
    bool outward = false;
    const double sphereVolume = ArrayVolume(sphere, &outward);
    std::printf("input: geodesic unit sphere, n = %d: %d triangles, %d vertices; volume %.12f (from the arrays, "
                "every triangle %s)\n",
                kSubdivision, sphere.Triangles(), sphere.Vertices(), sphereVolume,
                outward ? "facing outwards" : "NOT facing outwards");
    std::printf("planes: %d, seed %u: random unit normal, offset d uniform in (%.1f, %.1f); each plane and side "
                "in a child\nprocess of its own, stopped after %d s\n\n",
                count, kSeed, -kMaxOffset, kMaxOffset, cap);

    std::mt19937_64 random(kSeed);
    std::normal_distribution<double> gauss;
    std::uniform_real_distribution<double> offset(-kMaxOffset, kMaxOffset);
    std::vector<Plane> planes(static_cast<std::size_t>(count));
    for (Plane& plane : planes) {
        double length = 0;
        while (!(length > 1e-3)) {
            for (int a = 0; a < 3; ++a)
                plane.p[a] = gauss(random);
            length = std::sqrt(plane.p[0] * plane.p[0] + plane.p[1] * plane.p[1] + plane.p[2] * plane.p[2]);
        }
        for (int a = 0; a < 3; ++a)
            plane.p[a] /= length;
        plane.p[3] = offset(random);
    }

    std::printf("%-5s %-31s %-8s %9s %8s %9s %9s %7s %7s %6s %14s %14s\n", "plane", "a, b, c, d", "side", "seconds",
                "build", "half s", "peak MiB", "front", "back", "closed", "front volume", "back volume");
    auto row = [](const char* name, const char* coefficients, const char* side, const Run& run, bool cgal) {
        std::printf("%-5s %-31s %-8s ", name, coefficients, side);
        if (run.status != Status::Done) {
            std::printf("%9s\n", run.status == Status::Timeout ? "timeout" : "crashed");
            return;
        }
        const Result& r = run.r;
        char half[16] = "-";
        if (cgal)
            std::snprintf(half, sizeof half, "%.3f", r.halfSeconds);
        std::printf("%9.3f %8.3f %9s %9.1f %7ld %7ld %6s %14.10f %14.10f\n", r.seconds, r.build, half, Mib(r.peakKb),
                    r.front.facets, r.back.facets, r.front.closed && r.back.closed ? "yes" : "no", r.front.volume,
                    r.back.volume);
    };

    for (std::size_t k = 0; k < planes.size(); ++k) {
        Plane& plane = planes[k];
        plane.kernel = InChild(
            [&](Meter& meter, Result& r) {
                meter.Start();
                G3Surface* body = BuildBody(sphere);
                r.build = Seconds(meter.t0);
                double coefficients[4] = {plane.p[0], plane.p[1], plane.p[2], plane.p[3]};
                G3BooleanCalculator calc;
                G3Surface* front = nullptr;
                G3Surface* back = nullptr;
                r.both = calc.Slice(body, coefficients, true, &front, &back, true);
                r.seconds = Seconds(meter.t0);
                r.peakKb = meter.PeakKb();
                r.front = KernelHalf(front);
                r.back = KernelHalf(back);
            },
            cap);
        plane.cgal = InChild(
            [&](Meter& meter, Result& r) {
                meter.Start();
                SurfaceMesh negative = BuildSurfaceMesh(sphere);
                r.build = Seconds(meter.t0);
                const bool madeNegative =
                    PMP::clip(negative, K::Plane_3(plane.p[0], plane.p[1], plane.p[2], plane.p[3]),
                              CGAL::parameters::clip_volume(true));
                r.halfSeconds = Seconds(meter.t0);
                r.halfPeakKb = meter.PeakKb();
                const Clock::time_point t1 = Clock::now();
                SurfaceMesh positive = BuildSurfaceMesh(sphere);
                r.build += Seconds(t1);
                const bool madePositive =
                    PMP::clip(positive, K::Plane_3(-plane.p[0], -plane.p[1], -plane.p[2], -plane.p[3]),
                              CGAL::parameters::clip_volume(true));
                r.seconds = Seconds(meter.t0);
                r.peakKb = meter.PeakKb();
                r.front = CgalHalf(madeNegative, negative);
                r.back = CgalHalf(madePositive, positive);
            },
            cap);
        char name[16], coefficients[64];
        std::snprintf(name, sizeof name, "%zu", k + 1);
        std::snprintf(coefficients, sizeof coefficients, "%7.4f %7.4f %7.4f %7.4f", plane.p[0], plane.p[1], plane.p[2],
                      plane.p[3]);
        row(name, coefficients, "Tessaly", plane.kernel, false);
        row("", "", "CGAL", plane.cgal, true);
    }

    std::printf("\nseconds: from the triangle arrays to both halves, of which build: making the input (CGAL: both "
                "meshes);\nhalf s: CGAL from the arrays to the negative half alone; peak MiB: peak of resident "
                "memory above\nthe arrays with both halves held; front, back: facets of the negative and the "
                "positive half (Tessaly's\ncut face is one polygon, CGAL's halves are all triangles).\n\n");

    std::printf("%-5s %12s %12s %12s\n", "plane", "front diff", "back diff", "sum diff");
    bool ok = outward;
    int measured = 0;
    double kernelTotal = 0, cgalTotal = 0, cgalHalfTotal = 0;
    long kernelPeak = 0, cgalPeak = 0, cgalHalfPeak = 0;
    for (std::size_t k = 0; k < planes.size(); ++k) {
        const Plane& plane = planes[k];
        std::printf("%-5zu", k + 1);
        if (plane.kernel.status != Status::Done || plane.cgal.status != Status::Done) {
            const bool crashed = plane.kernel.status == Status::Crashed || plane.cgal.status == Status::Crashed;
            std::printf(" %12s%s\n", "-", crashed ? "   <-- FAILED" : "   (not checked)");
            ok = ok && !crashed;
            continue;
        }
        const Result& t = plane.kernel.r;
        const Result& c = plane.cgal.r;
        const double front = RelDiff(t.front.volume, c.front.volume);
        const double back = RelDiff(t.back.volume, c.back.volume);
        const double sum = RelDiff(t.front.volume + t.back.volume, sphereVolume);
        const bool good = t.both && t.front.closed && t.back.closed && c.front.made && c.back.made && c.front.closed &&
            c.back.closed && front <= kAgreement && back <= kAgreement && sum <= kAgreement;
        std::printf(" %12.2e %12.2e %12.2e%s\n", front, back, sum, good ? "" : "   <-- FAILED");
        ok = ok && good;
        ++measured;
        kernelTotal += t.seconds;
        cgalTotal += c.seconds;
        cgalHalfTotal += c.halfSeconds;
        kernelPeak = std::max(kernelPeak, t.peakKb);
        cgalPeak = std::max(cgalPeak, c.peakKb);
        cgalHalfPeak = std::max(cgalHalfPeak, c.halfPeakKb);
    }
    std::printf("\nfront diff: |Tessaly front - CGAL clip| / CGAL clip; back diff: the same with the opposite "
                "plane;\nsum diff: |front + back - sphere| / sphere; each checked at %g.\n\n",
                kAgreement);

    if (measured > 0) {
        const double per = 1.0 / measured;
        std::printf("over the %d plane(s) both sides finished:\n", measured);
        std::printf("%-44s %10s %10s %12s\n", "", "total s", "per plane", "largest peak");
        std::printf("%-44s %10.3f %10.4f %8.1f MiB\n", "Tessaly Slice, both halves", kernelTotal, kernelTotal * per,
                    Mib(kernelPeak));
        std::printf("%-44s %10.3f %10.4f %8.1f MiB\n", "CGAL clip, both halves (two clips)", cgalTotal, cgalTotal * per,
                    Mib(cgalPeak));
        std::printf("%-44s %10.3f %10.4f %8.1f MiB\n", "CGAL clip, negative half only", cgalHalfTotal,
                    cgalHalfTotal * per, Mib(cgalHalfPeak));
        auto ratio = [](double ours, double peer) { return peer > 0 ? ours / peer : 0.0; };
        std::printf("\n%-52s %8.2f\n", "Tessaly / CGAL both halves, time", ratio(kernelTotal, cgalTotal));
        std::printf("%-52s %8.2f\n", "Tessaly / CGAL negative half, time", ratio(kernelTotal, cgalHalfTotal));
        std::printf("%-52s %8.2f\n", "Tessaly / CGAL both halves, largest peak memory",
                    ratio(static_cast<double>(kernelPeak), static_cast<double>(cgalPeak)));
    }

    if (!ok) {
        std::printf("\n*** FAILED: a half was missing or not closed, the volumes disagree, the input does not face "
                    "outwards, or a child crashed ***\n");
        return 1;
    }
    return 0;
}
