// Rectangle clipping of one large polygon, end to end, against GEOS's clip
// by a rectangle doing the same job on the same input:
//   - the kernel: a G3PolylineClipper made with the rectangle, the polygon
//     loaded as one closed path (PathBegin, PathContourBegin and one
//     PathContourSegmentTo per vertex, back to the start), then DoClip on
//     all four borders into a path loader that keeps the result's points
//     and visibilities;
//   - GEOS (C API, one context, one thread): a coordinate sequence copied
//     from the array, a linear ring and a polygon made of it, then
//     GEOSClipByRect_r, which clips to all four sides as well.
// Each side's time runs from the coordinate arrays in memory to the clipped
// result in memory; the arrays are made before any timing. The kernel keeps
// one contour whatever is cut off (the pieces along the border are hidden
// segments of it); GEOS gives a polygon or a multipolygon of the parts.
//
// The polygon is a star of n vertices (n / 2 spikes) around the origin,
// radii alternating between 1 and 0.6 with a seeded jitter, so it is
// simple. The rectangles: one whose right side cuts off the tips of the
// longest spikes near it (about 160 of them cross it), one whose upper side
// runs through the spikes (about 7400 cross it; in both the result stays
// one piece), one over the tips of a few thousand spikes on one side (the
// result falls into thousands of parts), and with "stress" one whose four
// sides cut through every spike (40000 crossings). GEOS's time grows about
// with the square of the number of crossings (0.3 s for the second case,
// some 10 s for the last on the machine this was written on), the kernel's
// with the number of vertices, so the last case is left out by default to
// keep the run short.
//
// Every case and side runs in a child process of its own that inherits the
// arrays; its time (the best of `repeats` runs, no new run started after a
// second) and its peak of resident memory above the input (first run) are
// read there. Checked: the area of the kernel's contour (shoelace) equals
// GEOS's (GEOSArea_r) within 1e-9 (relative); a failed check or a crashed
// child makes the exit status 1.
//
// Usage: tessaly_clip_bench [vertices] [repeats] [stress]
// (defaults 100000 and 20)
#include "../child_run.h"

#define GEOS_USE_ONLY_R_API
#include <geos_c.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "tessaly/clipper.h"

namespace {
using Clock = std::chrono::steady_clock;

const int kDefaultVertices = 100000;
const int kDefaultRepeats = 20;
const unsigned kSeed = 20240917;
const double kOuter = 1.0, kInner = 0.6, kJitter = 0.05;
const double kAgreement = 1e-9; // relative
// No new run of a side starts after this many seconds of its runs.
const double kBudgetSeconds = 1.0;

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double Mib(long kb)
{
    return static_cast<double>(kb) / 1024.0;
}

// ---- The input -----------------------------------------------------------

struct Input {
    std::vector<double> xyz; // the kernel's: x, y, z a vertex, n vertices
    std::vector<double> xy;  // GEOS's: x, y a vertex, the first repeated at the end
    int Vertices() const { return static_cast<int>(xyz.size() / 3); }
};

Input StarPolygon(int n)
{
    std::mt19937_64 random(kSeed);
    std::uniform_real_distribution<double> jitter(-kJitter, kJitter);
    Input in;
    for (int k = 0; k < n; ++k) {
        const double angle = 2 * M_PI * k / n;
        const double r = (k % 2 == 0 ? kOuter : kInner) + jitter(random);
        const double x = r * std::cos(angle), y = r * std::sin(angle);
        in.xyz.insert(in.xyz.end(), {x, y, 0.0});
        in.xy.insert(in.xy.end(), {x, y});
    }
    in.xy.insert(in.xy.end(), {in.xy[0], in.xy[1]});
    return in;
}

struct Case {
    const char* name;
    double x1, y1, x2, y2;
    bool stress; // run only when asked for
};

const Case kCases[] = {
    {"a few spike tips", -1.1, -1.1, 1.04, 1.1, false},
    {"one side", -1.1, -1.1, 1.1, 0.5, false},
    {"over the tips", 0.85, -0.3, 1.2, 0.3, false},
    {"all four sides", -0.8, -0.8, 0.8, 0.8, true},
};

// ---- The two sides ---------------------------------------------------------

// Keeps what the clipper hands out, as a host that draws it would.
class KeepPaths : public GPathLoader {
public:
    void PathBegin(int) override
    {
        points.clear();
        visibility.clear();
        contours = 0;
    }
    void PathSetPreferPlane(int, int) override {}
    void PathContourBegin(const double* start, int count, CONTOUR_TYPE) override
    {
        ++contours;
        points.reserve(3 * static_cast<std::size_t>(count));
        points.insert(points.end(), start, start + 3);
    }
    void PathContourSegmentTo(SEGMENT_TYPE, SEGMENT_VISIBILITY v, int, const double* p) override
    {
        points.insert(points.end(), p, p + 3);
        visibility.push_back(v);
    }
    void PathContourEnd() override {}
    void PathEnd() override {}

    // Twice the signed area of the (single) closed contour.
    double Area() const
    {
        double twice = 0;
        const std::size_t n = points.size() / 3;
        for (std::size_t k = 0; k < n; ++k) {
            const double* p = &points[3 * k];
            const double* q = &points[3 * ((k + 1) % n)];
            twice += p[0] * q[1] - q[0] * p[1];
        }
        return twice / 2;
    }

    std::vector<double> points;
    std::vector<int> visibility;
    int contours = 0;
};

struct Result {
    bool done = false;
    bool clipped = false;
    double seconds = 0; // best of the repeats
    long peakKb = 0;    // first run
    double area = 0;
    long vertices = 0; // kernel: of the contour; GEOS: of the result
    long parts = 0;    // kernel: contours; GEOS: polygons
    long hidden = 0;   // kernel: hidden segments (along the border)
};

using Meter = ChildMeter;

Result InChild(const std::function<void(Result&)>& work)
{
    Result r;
    const ChildStatus status = RunInChild<Result>(
        [&work](Result& out) {
            work(out);
            out.done = true;
        },
        0, &r);
    if (status != ChildStatus::Done)
        r.done = false;
    return r;
}

void KernelRuns(const Input& in, const Case& c, int repeats, Result& r)
{
    const int n = in.Vertices();
    KeepPaths out;
    r.seconds = std::numeric_limits<double>::max();
    const Clock::time_point begin = Clock::now();
    for (int run = 0; run < repeats && (run == 0 || Seconds(begin) < kBudgetSeconds); ++run) {
        Meter meter;
        meter.Start();
        {
            G3PolylineClipper clipper(c.x1, c.y1, c.x2, c.y2);
            clipper.PathBegin(1);
            clipper.PathContourBegin(&in.xyz[0], n + 1, CONTOUR_OUTER);
            for (int k = 1; k < n; ++k)
                clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_VISIBLE, 1,
                                             &in.xyz[3 * static_cast<std::size_t>(k)]);
            clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_VISIBLE, 1, &in.xyz[0]);
            clipper.PathContourEnd();
            clipper.PathEnd();
            r.clipped = clipper.DoClip(&out, CLIP_ALL_BORDERS);
            r.seconds = std::min(r.seconds, meter.Seconds());
            if (run == 0)
                r.peakKb = meter.PeakKb();
        }
    }
    r.area = out.Area();
    r.vertices = static_cast<long>(out.points.size() / 3);
    r.parts = out.contours;
    r.hidden = std::count(out.visibility.begin(), out.visibility.end(), SEGMENT_HIDDEN);
}

void GeosRuns(const Input& in, const Case& c, int repeats, Result& r)
{
    GEOSContextHandle_t geos = GEOS_init_r();
    r.seconds = std::numeric_limits<double>::max();
    const Clock::time_point begin = Clock::now();
    for (int run = 0; run < repeats && (run == 0 || Seconds(begin) < kBudgetSeconds); ++run) {
        Meter meter;
        meter.Start();
        GEOSCoordSequence* sequence =
            GEOSCoordSeq_copyFromBuffer_r(geos, in.xy.data(), static_cast<unsigned>(in.xy.size() / 2), 0, 0);
        GEOSGeometry* ring = GEOSGeom_createLinearRing_r(geos, sequence);
        GEOSGeometry* polygon = GEOSGeom_createPolygon_r(geos, ring, nullptr, 0);
        GEOSGeometry* clipped = GEOSClipByRect_r(geos, polygon, c.x1, c.y1, c.x2, c.y2);
        r.seconds = std::min(r.seconds, meter.Seconds());
        if (run == 0)
            r.peakKb = meter.PeakKb();
        r.clipped = clipped && !GEOSisEmpty_r(geos, clipped);
        if (clipped) {
            GEOSArea_r(geos, clipped, &r.area);
            r.vertices = GEOSGetNumCoordinates_r(geos, clipped);
            r.parts = GEOSGetNumGeometries_r(geos, clipped);
            GEOSGeom_destroy_r(geos, clipped);
        }
        GEOSGeom_destroy_r(geos, polygon);
    }
    GEOS_finish_r(geos);
}

} // namespace

int main(int argc, char** argv)
{
    const int vertices = argc > 1 ? std::max(8, std::atoi(argv[1]) / 2 * 2) : kDefaultVertices;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultRepeats;
    const bool stress = argc > 3 && std::strcmp(argv[3], "stress") == 0;
    const Input in = StarPolygon(vertices);

    std::printf("input: a star of %d vertices (%d spikes), radii %.1f and %.1f, jitter %.2f, seed %u\n", vertices,
                vertices / 2, kOuter, kInner, kJitter, kSeed);
    std::printf("each case and side in a child process of its own; time the best of %d runs (no new run after "
                "%.0f s),\npeak memory of the first\n\n",
                repeats, kBudgetSeconds);
    std::printf("%-20s %-33s %-8s %10s %9s %10s %7s %8s %16s\n", "case", "rectangle", "side", "ms", "peak MiB",
                "vertices", "parts", "hidden", "area");

    bool ok = true;
    for (const Case& c : kCases) {
        if (c.stress && !stress)
            continue;
        const Result kernel = InChild([&](Result& r) { KernelRuns(in, c, repeats, r); });
        const Result geos = InChild([&](Result& r) { GeosRuns(in, c, repeats, r); });
        char rect[64];
        std::snprintf(rect, sizeof rect, "[%g, %g] x [%g, %g]", c.x1, c.x2, c.y1, c.y2);
        auto row = [&](const char* name, const char* box, const char* side, const Result& r, bool hidden) {
            std::printf("%-20s %-33s %-8s ", name, box, side);
            if (!r.done) {
                std::printf("%10s\n", "crashed");
                return;
            }
            char h[16] = "-";
            if (hidden)
                std::snprintf(h, sizeof h, "%ld", r.hidden);
            std::printf("%10.3f %9.2f %10ld %7ld %8s %16.12f\n", r.seconds * 1e3, Mib(r.peakKb), r.vertices, r.parts, h,
                        r.area);
        };
        row(c.name, rect, "Tessaly", kernel, true);
        row("", "", "GEOS", geos, false);

        const bool done = kernel.done && geos.done;
        const double diff =
            done ? std::fabs(kernel.area - geos.area) / std::max(geos.area, std::numeric_limits<double>::min()) : 0.0;
        const bool good = done && kernel.clipped && geos.clipped && diff <= kAgreement;
        ok = ok && good;
        if (done) {
            std::printf("%-20s Tessaly / GEOS: time %.2f, peak memory %.2f; area difference %.2e (relative)%s\n\n", "",
                        kernel.seconds / geos.seconds,
                        geos.peakKb > 0 ? static_cast<double>(kernel.peakKb) / static_cast<double>(geos.peakKb) : 0.0,
                        diff, good ? "" : "   <-- FAILED");
        } else {
            std::printf("%-20s <-- FAILED: a child crashed\n\n", "");
        }
    }
    std::printf("ms: from the arrays in memory to the clipped result in memory; peak MiB: peak of resident memory\n"
                "above the input during the first run; vertices: of the result (the kernel's one contour, start\n"
                "included; GEOS: all rings); parts: contours (kernel) or polygons (GEOS); hidden: the kernel's\n"
                "hidden segments, the pieces along the border; area: the kernel's by the shoelace over its contour,\n"
                "GEOS's by GEOSArea_r, checked at %g (relative).\n",
                kAgreement);
    if (!ok) {
        std::printf("\n*** FAILED: the areas disagree, a side clipped nothing, or a child crashed ***\n");
        return 1;
    }
    return 0;
}
