// A terrain from survey points, end to end, and its constrained
// triangulation against CGAL's, on the same input in the same run.
//
// Input: N survey points (a jittered 1 m grid at (2.5e6, 5.6e6), heights of
// a rolling surface) and S breakline segments (100 polylines across the
// site, their points added to the survey). Each measurement runs in a child
// process of its own, so that its time and its peak of resident memory
// above the input are its own:
//   - kernel CDT: G3TriInterface with the points and the segments as
//     constraints, MakeTriangulation;
//   - CGAL CDT: Constrained_Delaunay_triangulation_2 (Epick),
//     insert_constraints with the same points and segments;
//   - end to end: the kernel CDT and its surface, one smoothing pass
//     (LandscapeSmoothing, mode 3), one flattened pad (a 40 x 30 m pad with
//     a 3 m band, ApplyFlatRegion) and the cover (SurfaceCover), with the
//     time of each step.
// Both triangulations work relative to the first point (local origin).
//
// Usage: tessaly_terrain_bench [points] [segments] [cap_seconds]
//        (defaults 1000000, 10000 and 900)
#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "../child_run.h"
#include "tessaly/terrain.h"

namespace {
using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using CDT = CGAL::Constrained_Delaunay_triangulation_2<K>;

const double kOrigin[2] = {2.5e6, 5.6e6};
const int kPolylines = 100;
const int kSmoothMode = 3;
const double kPadMargin = 3.0;

struct Input {
    std::vector<double> x, y, z; // relative to the first point
    std::vector<std::pair<std::size_t, std::size_t>> segments;
    double size = 0;
};

double Height(double x, double y)
{
    return 100 + 5 * std::sin(x / 50) * std::cos(y / 70) + 0.01 * x;
}

// Survey coordinates are read and moved to the local origin, as a reader of
// a point file does.
void AddPoint(Input& in, double surveyX, double surveyY)
{
    const double x = surveyX - kOrigin[0], y = surveyY - kOrigin[1];
    in.x.push_back(x);
    in.y.push_back(y);
    in.z.push_back(Height(x, y));
}

Input MakeInput(long points, long segments)
{
    Input in;
    const long side = std::max(2L, static_cast<long>(std::ceil(std::sqrt(static_cast<double>(points)))));
    in.size = static_cast<double>(side - 1);
    std::mt19937_64 random(18);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    AddPoint(in, kOrigin[0], kOrigin[1]);
    for (long k = 1; k < points; ++k) {
        const long i = k % side, j = k / side;
        AddPoint(in, kOrigin[0] + i + jitter(random), kOrigin[1] + j + jitter(random));
    }
    // Breaklines across the site, between the grid rows, each a chain of
    // segments with new points.
    const long perLine = std::max(1L, segments / kPolylines);
    for (int line = 0; line < kPolylines; ++line) {
        const double y = (line + 0.5) * (in.size - 2) / kPolylines + 1.5;
        std::size_t previous = 0;
        for (long s = 0; s <= perLine; ++s) {
            const double x = 1.25 + (in.size - 3) * static_cast<double>(s) / perLine;
            AddPoint(in, kOrigin[0] + x, kOrigin[1] + y + 0.2 * std::sin(x / 7));
            const std::size_t at = in.x.size() - 1;
            if (s > 0)
                in.segments.emplace_back(previous, at);
            previous = at;
        }
    }
    return in;
}

struct Measure {
    double seconds = 0;
    long peakKb = 0;
    long triangles = 0;
    double steps[5] = {0, 0, 0, 0, 0};    // triangulation, surface, smoothing, pad, cover
    long stepPeakKb[5] = {0, 0, 0, 0, 0}; // peak so far at the end of each step
    long facets = 0;
    bool closed = false;
    bool ok = false;
};

// The points and segments into a triangulation interface.
void Fill(G3TriInterface& tri, const Input& in)
{
    std::vector<G3TVertex*> vertices(in.x.size());
    for (std::size_t k = 0; k < in.x.size(); ++k) {
        double p[3] = {in.x[k], in.y[k], in.z[k]};
        vertices[k] = tri.AddVertex(p);
    }
    for (const auto& s : in.segments)
        tri.AddEdge(vertices[s.first], vertices[s.second]);
}

void KernelCdt(const Input& in, Measure& out)
{
    ChildMeter meter;
    meter.Start();
    G3TriInterface tri;
    Fill(tri, in);
    out.ok = tri.MakeTriangulation(G3TriInterface::TRI_DEFAULT);
    out.triangles = tri.GetTriangleCount();
    out.seconds = meter.Seconds();
    out.peakKb = meter.PeakKb();
}

void CgalCdt(const Input& in, Measure& out)
{
    std::vector<K::Point_2> points;
    points.reserve(in.x.size());
    for (std::size_t k = 0; k < in.x.size(); ++k)
        points.emplace_back(in.x[k], in.y[k]);
    ChildMeter meter;
    meter.Start();
    CDT cdt;
    cdt.insert_constraints(points.begin(), points.end(), in.segments.begin(), in.segments.end());
    out.triangles = static_cast<long>(cdt.number_of_faces());
    out.ok = out.triangles > 0;
    out.seconds = meter.Seconds();
    out.peakKb = meter.PeakKb();
}

void EndToEnd(const Input& in, Measure& out)
{
    ChildMeter meter;
    meter.Start();
    G3LandscapeHandler h;
    Fill(h, in);
    if (!h.MakeTriangulation(G3TriInterface::TRI_DEFAULT))
        return;
    out.steps[0] = meter.Seconds();
    out.stepPeakKb[0] = meter.PeakKb();
    std::unique_ptr<G3Surface> terrain(h.GetSurface());
    out.steps[1] = meter.Seconds();
    out.stepPeakKb[1] = meter.PeakKb();
    terrain.reset(h.LandscapeSmoothing(terrain.get(), kSmoothMode, 1));
    if (!terrain)
        return;
    out.steps[2] = meter.Seconds();
    out.stepPeakKb[2] = meter.PeakKb();
    const double cx = in.size / 2 + 0.37, cy = in.size / 2 + 0.21;
    h.StartContour();
    h.AddContourVertex(cx - 20, cy - 15, 100);
    h.AddContourVertex(cx + 20, cy - 15, 100);
    h.AddContourVertex(cx + 20, cy + 15, 100);
    h.AddContourVertex(cx - 20, cy + 15, 100);
    h.EndContour();
    h.SetFlatMargin(kPadMargin);
    terrain.reset(h.ApplyFlatRegion(terrain.get()));
    if (!terrain)
        return;
    out.steps[3] = meter.Seconds();
    out.stepPeakKb[3] = meter.PeakKb();
    h.SurfaceCover(terrain.get());
    out.steps[4] = meter.Seconds();
    out.stepPeakKb[4] = meter.PeakKb();
    out.seconds = meter.Seconds();
    out.peakKb = meter.PeakKb();
    out.facets = terrain->GetFacetCount();
    out.closed = terrain->GetClosed();
    out.ok = true;
}

const char* Status(ChildStatus s, const Measure& m)
{
    if (s == ChildStatus::Timeout)
        return "timeout";
    if (s == ChildStatus::Crashed)
        return "crashed";
    return m.ok ? "" : "failed";
}
} // namespace

int main(int argc, char** argv)
{
    const long points = argc > 1 ? std::atol(argv[1]) : 1000000;
    const long segments = argc > 2 ? std::atol(argv[2]) : 10000;
    const int cap = argc > 3 ? std::atoi(argv[3]) : 900;
    if (points < 3 || segments < 0 || cap < 0) {
        std::fprintf(stderr, "usage: tessaly_terrain_bench [points >= 3] [segments] [cap_seconds]\n");
        return 2;
    }
    const Input in = MakeInput(points, segments);
    std::printf("survey points %ld (+%zu on breaklines), breakline segments %zu, one thread each\n\n", points,
                in.x.size() - static_cast<std::size_t>(points), in.segments.size());
    Measure ours, cgal, whole;
    const ChildStatus a = RunInChild<Measure>([&](Measure& m) { KernelCdt(in, m); }, cap, &ours);
    const ChildStatus b = RunInChild<Measure>([&](Measure& m) { CgalCdt(in, m); }, cap, &cgal);
    std::printf("%-22s %10s %11s %11s  %s\n", "constrained Delaunay", "seconds", "peak MiB", "triangles", "");
    std::printf("%-22s %10.3f %11.1f %11ld  %s\n", "kernel", ours.seconds, ours.peakKb / 1024.0, ours.triangles,
                Status(a, ours));
    std::printf("%-22s %10.3f %11.1f %11ld  %s\n", "CGAL", cgal.seconds, cgal.peakKb / 1024.0, cgal.triangles,
                Status(b, cgal));
    if (a == ChildStatus::Done && b == ChildStatus::Done && cgal.seconds > 0 && cgal.peakKb > 0)
        std::printf("%-22s %10.2f %11.2f\n", "ratio kernel / CGAL", ours.seconds / cgal.seconds,
                    static_cast<double>(ours.peakKb) / cgal.peakKb);
    const ChildStatus c = RunInChild<Measure>([&](Measure& m) { EndToEnd(in, m); }, cap, &whole);
    std::printf("\nend to end (mode %d smoothing, one pad, cover)  %s\n", kSmoothMode, Status(c, whole));
    const char* names[5] = {"triangulation", "surface", "smoothing pass", "flattened pad", "cover"};
    double before = 0;
    for (int k = 0; k < 5 && c == ChildStatus::Done && whole.ok; ++k) {
        std::printf("  %-20s %10.3f s, peak so far %8.1f MiB\n", names[k], whole.steps[k] - before,
                    whole.stepPeakKb[k] / 1024.0);
        before = whole.steps[k];
    }
    if (c == ChildStatus::Done && whole.ok)
        std::printf("  %-20s %10.3f s, peak %.1f MiB, %ld facets, closed %s\n", "total", whole.seconds,
                    whole.peakKb / 1024.0, whole.facets, whole.closed ? "yes" : "no");
    const bool good = a == ChildStatus::Done && ours.ok && c == ChildStatus::Done && whole.ok && whole.closed;
    return good ? 0 : 1;
}
