#include "terrain_command.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "arguments.h"
#include "contour_text.h"
#include "file_read.h"
#include "mesh_formats.h"
#include "tessaly/terrain.h"

namespace {
constexpr int kFailed = 1;
constexpr int kMaxPasses = 8;

struct TerrainOptions {
    const char* points = nullptr;
    const char* out = nullptr;
    const char* breaklines = nullptr;
    const char* smooth = nullptr;
    const char* passes = nullptr;
    const char* pad = nullptr;
    const char* margin = nullptr;
    const char* cover = nullptr;
};

// Each flag once, each with its value; --smooth goes with --passes and
// --pad with --margin.
bool ParseFlags(int argc, char** argv, TerrainOptions& o)
{
    if (argc < 4)
        return false;
    o.points = argv[2];
    o.out = argv[3];
    for (int k = 4; k < argc; k += 2) {
        if (k + 1 >= argc)
            return false;
        const char** slot = std::strcmp(argv[k], "--breaklines") == 0 ? &o.breaklines
            : std::strcmp(argv[k], "--smooth") == 0                   ? &o.smooth
            : std::strcmp(argv[k], "--passes") == 0                   ? &o.passes
            : std::strcmp(argv[k], "--pad") == 0                      ? &o.pad
            : std::strcmp(argv[k], "--margin") == 0                   ? &o.margin
            : std::strcmp(argv[k], "--cover") == 0                    ? &o.cover
                                                                      : nullptr;
        if (!slot || *slot)
            return false;
        *slot = argv[k + 1];
    }
    return !o.smooth == !o.passes && !o.pad == !o.margin;
}

using Point = std::array<double, 3>;
using Polyline = std::vector<Point>;

// The survey points, one x y z a line, moved to the local origin (the first
// point's x and y).
bool ReadPoints(const char* path, std::vector<Point>& points, double* origin, std::string& error)
{
    std::vector<NumberLine> lines;
    if (!ReadNumberLines(path, "x y z", lines, error))
        return false;
    for (const NumberLine& l : lines) {
        if (l.numbers.size() != 3) {
            error = std::string(path) + ": line " + std::to_string(l.line) + ": expected x y z";
            return false;
        }
        if (points.empty()) {
            origin[0] = l.numbers[0];
            origin[1] = l.numbers[1];
        }
        points.push_back({l.numbers[0] - origin[0], l.numbers[1] - origin[1], l.numbers[2]});
    }
    if (points.size() < 3) {
        error = std::string(path) + ": a terrain needs 3 points or more";
        return false;
    }
    return true;
}

// Polylines of x y z triples, one a line, moved to the local origin.
bool ReadPolylines(const char* path, std::size_t minPoints, const double* origin, std::vector<Polyline>& out,
                   std::string& error)
{
    std::vector<NumberLine> lines;
    if (!ReadNumberLines(path, "x y z triples", lines, error))
        return false;
    for (const NumberLine& l : lines) {
        if (l.numbers.size() % 3 != 0 || l.numbers.size() < 3 * minPoints) {
            error = std::string(path) + ": line " + std::to_string(l.line) + ": expected " + std::to_string(minPoints) +
                " or more x y z triples";
            return false;
        }
        Polyline polyline;
        for (std::size_t k = 0; k < l.numbers.size(); k += 3)
            polyline.push_back({l.numbers[k] - origin[0], l.numbers[k + 1] - origin[1], l.numbers[k + 2]});
        out.push_back(polyline);
    }
    return true;
}

// The points and breaklines triangulated in plan.
G3Surface* Triangulate(const std::vector<Point>& points, const std::vector<Polyline>& breaklines, std::string& error)
{
    G3LandscapeHandler tri;
    for (Point p : points)
        tri.AddVertex(p.data());
    for (Polyline line : breaklines) {
        G3TVertex* previous = nullptr;
        for (Point& p : line) {
            G3TVertex* v = tri.AddVertex(p.data());
            if (previous)
                tri.AddEdge(previous, v);
            previous = v;
        }
    }
    if (!tri.MakeTriangulation(G3TriInterface::TRI_DEFAULT)) {
        error = "no triangle from these points: fewer than 3 distinct points in plan, or all on a line";
        return nullptr;
    }
    return tri.GetSurface();
}

bool ParseOptionNumbers(const TerrainOptions& o, int& mode, int& passes, double& margin, double& depth,
                        std::string& error)
{
    if (o.smooth && (!ParseIntInRange(o.smooth, 1, 4, mode) || !ParseIntInRange(o.passes, 0, kMaxPasses, passes))) {
        error = std::string("--smooth takes a mode from 1 to 4 and --passes a count from 0 to ") +
            std::to_string(kMaxPasses) + ": " + o.smooth + " " + o.passes;
        return false;
    }
    if (o.margin && !ParseFinite(o.margin, margin)) {
        error = std::string("not a finite number: ") + o.margin;
        return false;
    }
    if (o.cover && !ParseFinite(o.cover, depth)) {
        error = std::string("not a finite number: ") + o.cover;
        return false;
    }
    return true;
}

// Every pad outline stored in the handler; false naming the first outline
// that is refused.
bool StorePads(G3LandscapeHandler& h, const std::vector<Polyline>& pads, const char* path, std::string& error)
{
    for (std::size_t k = 0; k < pads.size(); ++k) {
        h.StartContour();
        for (const Point& p : pads[k])
            h.AddContourVertex(p[0], p[1], p[2]);
        if (!h.EndContour()) {
            error = std::string(path) + ": outline " + std::to_string(k + 1) +
                " has fewer than 3 distinct points, no area, or crosses itself";
            return false;
        }
    }
    return true;
}

// Skirts down to the height depth and bottom facets; depth must lie below
// every point.
bool Cover(G3Surface* s, double depth, std::string& error)
{
    double lowest = HUGE_VAL;
    for (int k = 0; k < s->GetVertexCount(); ++k)
        lowest = std::fmin(lowest, s->GetVertex(k)->GetZ());
    if (!(depth < lowest)) {
        error = "the cover depth must lie below the lowest point of the terrain (" + FormatCoordinate(lowest) + ")";
        return false;
    }
    for (int k = 0; k < s->GetVertexCount(); ++k)
        s->GetVertex(k)->SetZ(s->GetVertex(k)->GetZ() - depth);
    G3LandscapeHandler().SurfaceCover(s);
    for (int k = 0; k < s->GetVertexCount(); ++k)
        s->GetVertex(k)->SetZ(s->GetVertex(k)->GetZ() + depth);
    s->FormPlaneEquation();
    return true;
}

// The plan area of the facets facing up (shoelace relative to each
// facet's first vertex, so survey coordinates keep their precision).
double PlanArea(G3Surface* s)
{
    double area = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        GArrayCollection vertices;
        s->GetFacet(k)->GetVertices(&vertices);
        const int n = vertices.size();
        const double* o = static_cast<G3Vertex*>(vertices.get(0))->GetXYZ();
        double twice = 0;
        for (int v = 0; v < n; ++v) {
            const double* a = static_cast<G3Vertex*>(vertices.get(v))->GetXYZ();
            const double* b = static_cast<G3Vertex*>(vertices.get((v + 1) % n))->GetXYZ();
            twice += (a[0] - o[0]) * (b[1] - o[1]) - (b[0] - o[0]) * (a[1] - o[1]);
        }
        area += twice > 0 ? twice / 2 : 0;
    }
    return area;
}

void Report(G3Surface* s, std::size_t points, bool covered)
{
    std::printf("points %zu\nvertices %d\nfacets %d\nplan area %.9g\n", points, s->GetVertexCount(), s->GetFacetCount(),
                PlanArea(s));
    if (covered)
        std::printf("closed %s\nvolume %.9g\n", s->GetClosed() ? "yes" : "no", std::fabs(s->GetVolume()));
}

void MoveBack(G3Surface* s, const double* origin)
{
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        v->Set(v->GetX() + origin[0], v->GetY() + origin[1], v->GetZ());
    }
    s->FormPlaneEquation();
}

// The steps after the triangulation, in order; terrain is replaced by each
// step's result.
bool Shape(const TerrainOptions& o, std::unique_ptr<G3Surface>& terrain, const double* origin, std::string& error)
{
    int mode = 0, passes = 0;
    double margin = 0, depth = 0;
    if (!ParseOptionNumbers(o, mode, passes, margin, depth, error))
        return false;
    G3LandscapeHandler h;
    if (o.smooth) {
        terrain.reset(h.LandscapeSmoothing(terrain.get(), mode, passes));
        G3LandscapeHandler::DeleteSlopeRecords(terrain.get());
        if (!terrain) {
            error = "a smoothing pass failed";
            return false;
        }
    }
    if (o.pad) {
        std::vector<Polyline> pads;
        if (!ReadPolylines(o.pad, 3, origin, pads, error) || !StorePads(h, pads, o.pad, error))
            return false;
        h.SetFlatMargin(margin);
        terrain.reset(h.ApplyFlatRegion(terrain.get()));
        if (!terrain) {
            error = "the pads could not be applied: no pad, a margin below 0.0001, or a pad with its band "
                    "not inside the terrain";
            return false;
        }
    }
    return !o.cover || Cover(terrain.get(), depth, error);
}
} // namespace

int RunTerrain(int argc, char** argv, std::string& error)
{
    TerrainOptions o;
    if (!ParseFlags(argc, argv, o))
        return kTerrainUsage;
    if (FormatOf(o.out) == MeshFormat::Unknown || FormatOf(o.out) == MeshFormat::Vrml) {
        error = std::string("unknown output format (.obj, .off, .stl or .g3s): ") + o.out;
        return kFailed;
    }
    std::vector<Point> points;
    double origin[3] = {0, 0, 0};
    std::vector<Polyline> breaklines;
    if (!ReadPoints(o.points, points, origin, error) ||
        (o.breaklines && !ReadPolylines(o.breaklines, 2, origin, breaklines, error)))
        return kFailed;
    std::unique_ptr<G3Surface> terrain(Triangulate(points, breaklines, error));
    if (!terrain || !Shape(o, terrain, origin, error))
        return kFailed;
    MoveBack(terrain.get(), origin);
    Report(terrain.get(), points.size(), o.cover != nullptr);
    return WriteMesh(o.out, terrain.get(), error) ? 0 : kFailed;
}
