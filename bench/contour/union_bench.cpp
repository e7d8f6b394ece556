// The union of many overlapping octagons, from coordinate arrays to the
// outline, against two peers on the same input:
//   - the kernel: G3PathBooleanCalculator loaded with one contour per
//     octagon, DoIntersect(BOOLEAN_UNION) into a loader that sums the
//     outline's area and counts its holes;
//   - GEOS: one polygon per octagon in a geometry collection, then
//     GEOSUnaryUnion_r (the cascaded union), area and interior rings read
//     from the result;
//   - Clipper 1: the octagons as integer paths (coordinates times 1e6),
//     Clipper::Execute(ctUnion) into a PolyTree, non-zero fill (all
//     octagons run counter-clockwise), area and holes read from the tree.
// Each side runs in a child process of its own (one thread) that inherits
// the arrays; time and peak resident memory above the input are its own.
// Checked: the three areas agree within 1e-6 (relative) and the hole counts
// are equal; a failed check makes the exit status 1.
//
// Usage: tessaly_union_bench [octagons] [cap_seconds]   (defaults 10000, 120)
#include <geos_c.h>
#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "../child_run.h"
#include "tessaly/path_boolean.h"

namespace {
const unsigned kSeed = 20261207;
const int kDefaultOctagons = 10000;
const int kDefaultCapSeconds = 120;
const double kAgreement = 1e-6;
const double kClipperScale = 1e6;
// The octagons' centres fill a square of this many mean radii per octagon
// along each side (about three neighbours overlap each one).
const double kSpacing = 1.4;

struct Outline {
    double seconds = 0;
    long peakKb = 0;
    double area = 0;
    long contours = 0;
    long holes = 0;
};

// n octagons, 8 points of x, y each, counter-clockwise.
std::vector<double> Octagons(int n)
{
    std::mt19937 rng(kSeed);
    const double side = kSpacing * std::sqrt(static_cast<double>(n));
    std::uniform_real_distribution<double> centre(0, side), radius(0.5, 1.5), turn(0, M_PI / 4);
    std::vector<double> xy;
    for (int k = 0; k < n; ++k) {
        const double cx = centre(rng), cy = centre(rng), r = radius(rng), t = turn(rng);
        for (int i = 0; i < 8; ++i) {
            xy.push_back(cx + r * std::cos(t + i * M_PI / 4));
            xy.push_back(cy + r * std::sin(t + i * M_PI / 4));
        }
    }
    return xy;
}

// Sums the reported contours' signed areas and counts the clockwise ones.
class AreaLoader : public G3PathLoader {
public:
    explicit AreaLoader(Outline* o) : m_Out(o) {}
    void BeginLoading(int, int, int) override {}
    void EndLoading() override {}
    void BeginPath(int, int) override {}
    void EndPath() override {}
    void BeginContour(const double* p, int, int) override
    {
        m_Area = 0;
        m_First[0] = m_Last[0] = p[0];
        m_First[1] = m_Last[1] = p[1];
    }
    void LineTo(const double* p, int, SEGMENT_TYPE) override
    {
        m_Area += m_Last[0] * p[1] - p[0] * m_Last[1];
        m_Last[0] = p[0];
        m_Last[1] = p[1];
    }
    void CloseContour() override
    {
        m_Area += m_Last[0] * m_First[1] - m_First[0] * m_Last[1];
        m_Out->area += m_Area / 2;
        ++m_Out->contours;
        m_Out->holes += m_Area < 0;
    }
    void AddTriangle(const double*, const double*, const double*, int, int, int) override {}

private:
    Outline* m_Out;
    double m_Area = 0, m_First[2] = {0, 0}, m_Last[2] = {0, 0};
};

void Kernel(const std::vector<double>& xy, ChildMeter& meter, Outline& out)
{
    meter.Start();
    G3PathBooleanCalculator calc;
    calc.BeginLoading(0, 1, -1);
    calc.BeginPath(0, -1);
    const std::size_t n = xy.size() / 16;
    for (std::size_t k = 0; k < n; ++k) {
        const double* o = &xy[16 * k];
        const double start[3] = {o[0], o[1], 0};
        calc.BeginContour(start, 8, 0);
        for (int i = 1; i < 8; ++i) {
            const double p[3] = {o[2 * i], o[2 * i + 1], 0};
            calc.LineTo(p, 0, SEGMENT_LINE);
        }
        calc.CloseContour();
    }
    AreaLoader loader(&out);
    calc.DoIntersect(BOOLEAN_UNION, &loader);
    out.seconds = meter.Seconds();
    out.peakKb = meter.PeakKb();
}

void GeosNotice(const char*, ...) {}

void Geos(const std::vector<double>& xy, ChildMeter& meter, Outline& out)
{
    GEOSContextHandle_t h = GEOS_init_r();
    GEOSContext_setNoticeHandler_r(h, GeosNotice);
    meter.Start();
    const std::size_t n = xy.size() / 16;
    std::vector<GEOSGeometry*> polygons;
    for (std::size_t k = 0; k < n; ++k) {
        GEOSCoordSequence* seq = GEOSCoordSeq_create_r(h, 9, 2);
        for (unsigned i = 0; i < 9; ++i) {
            const double* p = &xy[16 * k + 2 * (i % 8)];
            GEOSCoordSeq_setXY_r(h, seq, i, p[0], p[1]);
        }
        polygons.push_back(GEOSGeom_createPolygon_r(h, GEOSGeom_createLinearRing_r(h, seq), nullptr, 0));
    }
    GEOSGeometry* all =
        GEOSGeom_createCollection_r(h, GEOS_GEOMETRYCOLLECTION, polygons.data(), static_cast<unsigned>(n));
    GEOSGeometry* u = GEOSUnaryUnion_r(h, all);
    out.seconds = meter.Seconds();
    out.peakKb = meter.PeakKb();
    GEOSArea_r(h, u, &out.area);
    for (int i = 0; i < GEOSGetNumGeometries_r(h, u); ++i) {
        ++out.contours;
        const int rings = GEOSGetNumInteriorRings_r(h, GEOSGetGeometryN_r(h, u, i));
        out.contours += rings;
        out.holes += rings;
    }
}

void Clipper(const std::vector<double>& xy, ChildMeter& meter, Outline& out)
{
    meter.Start();
    const std::size_t n = xy.size() / 16;
    ClipperLib::Paths paths(n);
    for (std::size_t k = 0; k < n; ++k)
        for (int i = 0; i < 8; ++i)
            paths[k].push_back({static_cast<ClipperLib::cInt>(std::llround(xy[16 * k + 2 * i] * kClipperScale)),
                                static_cast<ClipperLib::cInt>(std::llround(xy[16 * k + 2 * i + 1] * kClipperScale))});
    ClipperLib::Clipper c;
    c.AddPaths(paths, ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    c.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    out.seconds = meter.Seconds();
    out.peakKb = meter.PeakKb();
    for (ClipperLib::PolyNode* node = tree.GetFirst(); node; node = node->GetNext()) {
        out.area += ClipperLib::Area(node->Contour) / (kClipperScale * kClipperScale);
        ++out.contours;
        out.holes += node->IsHole();
    }
}

double Mib(long kb)
{
    return static_cast<double>(kb) / 1024.0;
}
} // namespace

int main(int argc, char** argv)
{
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultOctagons;
    const int cap = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultCapSeconds;
    const std::vector<double> xy = Octagons(n);
    std::printf("input: %d octagons (%d segments), seed %u, one thread each\n", n, 8 * n, kSeed);

    struct Side {
        const char* name;
        void (*work)(const std::vector<double>&, ChildMeter&, Outline&);
        Outline out;
        ChildStatus status = ChildStatus::Crashed;
    };
    Side sides[] = {{"kernel", Kernel, {}, {}}, {"GEOS", Geos, {}, {}}, {"Clipper", Clipper, {}, {}}};
    for (Side& s : sides) {
        s.status = RunInChild<Outline>(
            [&](Outline& o) {
                ChildMeter meter;
                s.work(xy, meter, o);
            },
            cap, &s.out);
        if (s.status == ChildStatus::Done)
            std::printf("%-8s %8.3f s  peak %8.1f MiB  area %.9f  contours %ld  holes %ld\n", s.name, s.out.seconds,
                        Mib(s.out.peakKb), s.out.area, s.out.contours, s.out.holes);
        else
            std::printf("%-8s %s\n", s.name, s.status == ChildStatus::Timeout ? "timeout" : "crashed");
    }
    bool ok = true;
    for (int k = 1; k < 3; ++k) {
        const Side& peer = sides[k];
        if (sides[0].status != ChildStatus::Done || peer.status != ChildStatus::Done) {
            ok = false;
            continue;
        }
        const bool same = std::fabs(sides[0].out.area - peer.out.area) <= kAgreement * peer.out.area &&
            sides[0].out.holes == peer.out.holes;
        ok = ok && same;
        std::printf("kernel / %-8s time %6.3f  memory %6.3f  %s\n", peer.name, sides[0].out.seconds / peer.out.seconds,
                    static_cast<double>(sides[0].out.peakKb) / std::max(1L, peer.out.peakKb),
                    same ? "same outline" : "OUTLINES DIFFER");
    }
    return ok ? 0 : 1;
}
