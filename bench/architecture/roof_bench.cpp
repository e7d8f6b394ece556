// Roofs over seeded random orthogonal outlines of 10, 100 and 1000 corners,
// one slope for all edges, against CGAL's straight skeleton of the same
// outlines:
//   - the kernel: G3RoofGenerator::Regen into a new surface (edge planes,
//     levels, strips merged into polygons, facets);
//   - CGAL: create_interior_straight_skeleton_2 (Epick).
// Each side runs in a child process of its own (one thread), repeating the
// work until it has taken a measurable time; the time per run and the peak
// resident memory above the input are its own. Checked: the roof's highest
// point equals the skeleton's latest node time times tan(slope), within
// 1e-6; a failed check makes the exit status 1.
//
// Usage: tessaly_roof_bench [cap_seconds]   (default 50 per side and size)
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/create_straight_skeleton_2.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "../child_run.h"
#include "roof_test_support.h"
#include "tessaly/roof.h"

namespace {
using K = CGAL::Exact_predicates_inexact_constructions_kernel;

const double kSlope = 0.5;
const double kAgreement = 1e-6;
// Runs are repeated until they have taken this long together.
const double kMeasureSeconds = 0.3;
const int kDefaultCapSeconds = 50;

struct Measure {
    double seconds = 0; // per run
    long peakKb = 0;
    double top = 0;
    int runs = 0;
    int facets = 0;
    bool ok = false;
};

void Kernel(const rooftest::Outline& outline, ChildMeter& meter, Measure& out)
{
    const std::vector<double> slopes(outline.size(), kSlope);
    meter.Start();
    do {
        G3Surface s;
        G3RoofGenerator g(&s);
        out.ok = g.Regen(outline, slopes);
        out.facets = s.GetFacetCount();
        out.top = 0;
        for (int k = 0; k < s.GetVertexCount(); ++k)
            out.top = std::max(out.top, s.GetVertex(k)->GetZ());
        ++out.runs;
    } while (meter.Seconds() < kMeasureSeconds);
    out.seconds = meter.Seconds() / out.runs;
    out.peakKb = meter.PeakKb();
}

void Cgal(const rooftest::Outline& outline, ChildMeter& meter, Measure& out)
{
    std::vector<K::Point_2> points;
    for (const rooftest::Point& p : outline)
        points.emplace_back(p[0], p[1]);
    meter.Start();
    do {
        auto ss = CGAL::create_interior_straight_skeleton_2(points.begin(), points.end(), K());
        out.ok = ss != nullptr;
        out.top = 0;
        out.facets = 0;
        if (ss) {
            for (auto v = ss->vertices_begin(); v != ss->vertices_end(); ++v)
                out.top = std::max(out.top, v->time() * std::tan(kSlope));
            out.facets = static_cast<int>(ss->size_of_faces());
        }
        ++out.runs;
    } while (meter.Seconds() < kMeasureSeconds);
    out.seconds = meter.Seconds() / out.runs;
    out.peakKb = meter.PeakKb();
}

// The first of a few seeds from base on that grows an outline of exactly n
// corners; empty when none does.
rooftest::Outline MakeOutline(int n, unsigned base)
{
    for (unsigned seed = base; seed < base + 20; ++seed) {
        rooftest::OrthogonalOutline o(n, seed, true);
        if (o.Ok())
            return o.Get();
    }
    return {};
}

double Mib(long kb)
{
    return static_cast<double>(kb) / 1024.0;
}
} // namespace

int main(int argc, char** argv)
{
    const int cap = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultCapSeconds;
    std::printf("random orthogonal outlines (uneven grid), slope %.2f rad, one thread each\n", kSlope);
    std::printf("%8s  %12s %12s %9s  %10s %10s  %12s %12s\n", "corners", "kernel ms", "CGAL ms", "ratio", "kernel MiB",
                "CGAL MiB", "kernel top", "CGAL top");
    bool ok = true;
    for (int n : {10, 100, 1000}) {
        const rooftest::Outline outline = MakeOutline(n, 20261207);
        if (outline.empty()) {
            std::printf("%8d  no outline\n", n);
            ok = false;
            continue;
        }
        Measure ours, theirs;
        const ChildStatus a = RunInChild<Measure>(
            [&](Measure& m) {
                ChildMeter meter;
                Kernel(outline, meter, m);
            },
            cap, &ours);
        const ChildStatus b = RunInChild<Measure>(
            [&](Measure& m) {
                ChildMeter meter;
                Cgal(outline, meter, m);
            },
            cap, &theirs);
        if (a != ChildStatus::Done || b != ChildStatus::Done || !ours.ok || !theirs.ok) {
            std::printf("%8d  %s\n", n, a == ChildStatus::Timeout || b == ChildStatus::Timeout ? "timeout" : "failed");
            ok = false;
            continue;
        }
        const bool same = std::fabs(ours.top - theirs.top) <= kAgreement;
        ok = ok && same;
        std::printf("%8d  %12.4f %12.4f %9.2f  %10.2f %10.2f  %12.7f %12.7f  %s\n", n, ours.seconds * 1e3,
                    theirs.seconds * 1e3, ours.seconds / theirs.seconds, Mib(ours.peakKb), Mib(theirs.peakKb), ours.top,
                    theirs.top, same ? "same top" : "TOPS DIFFER");
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
