#include "boolean_command.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "arguments.h"
#include "mesh_formats.h"
#include "tessaly/boolean.h"
#include "tessaly/surface.h"

namespace {
constexpr int kFailed = 1;

// The body of path, checked to be a closed solid facing outwards.
G3Surface* ReadSolid(const std::string& path, std::string& error)
{
    auto* s = new G3Surface;
    if (!ReadMesh(path, s, error)) {
        delete s;
        return nullptr;
    }
    s->FormPlaneEquation();
    if (s->GetFacetCount() == 0 || !s->GetClosed() || !(s->GetVolume() > 0)) {
        error = path + " is not a closed solid facing outwards; `tessaly repair " + path +
            " FIXED` welds, closes and orients a body when it can";
        delete s;
        return nullptr;
    }
    return s;
}

} // namespace

int RunBoolean(const std::string& operation, const std::string& a, const std::string& b, const std::string& out,
               std::string& error)
{
    if (operation != "union" && operation != "difference" && operation != "intersection") {
        error = "the operation must be union, difference or intersection";
        return kFailed;
    }
    G3Surface* first = ReadSolid(a, error);
    if (!first)
        return kFailed;
    G3Surface* second = ReadSolid(b, error);
    if (!second) {
        delete first;
        return kFailed;
    }
    G3BooleanCalculator calc;
    G3Surface* result = operation == "union" ? calc.Add(first, second)
        : operation == "difference"          ? calc.Sub(first, second)
                                             : calc.Common(first, second);
    if (!result) {
        std::printf("facets 0\nclosed no\nvolume 0\n");
        error = "the result is empty; nothing written to " + out;
        return kFailed;
    }
    std::printf("facets %d\nclosed %s\nvolume %.17g\n", result->GetFacetCount(), result->GetClosed() ? "yes" : "no",
                result->GetVolume());
    const bool ok = WriteMesh(out, result, error);
    delete result;
    return ok ? 0 : kFailed;
}

int RunPick(const std::string& file, char** coordinates, std::string& error)
{
    double pq[6];
    if (!ParseFiniteList(coordinates, 6, pq, error))
        return kFailed;
    G3Surface s;
    if (!ReadMesh(file, &s, error))
        return kFailed;
    s.FormPlaneEquation();
    GArrayCollection facets;
    for (int k = 0; k < s.GetFacetCount(); ++k)
        facets.add(s.GetFacet(k));
    G3RayTraceMetricResult hits(pq);
    G3BooleanCalculator::TestRayAndFacetList(pq, pq + 3, &facets, &hits);
    std::printf("hit %s\n", HitKindName(hits.GetHitKind()));
    if (hits.GetHitKind() != G3RayTraceMetricResult::HIT_NONE)
        std::printf("distance %.17g\npoint %.17g %.17g %.17g\nnormal %.17g %.17g %.17g\n", hits.GetDistance(),
                    hits.HitPointGetX(), hits.HitPointGetY(), hits.HitPointGetZ(), hits.HitPointNormalGetX(),
                    hits.HitPointNormalGetY(), hits.HitPointNormalGetZ());
    std::printf("facet hits %d\n", hits.GetHitCount());
    for (const auto* h = hits.GetFirstHit(); h; h = h->next)
        std::printf("  %.17g at %.17g %.17g %.17g\n", h->distance, h->point[0], h->point[1], h->point[2]);
    return 0;
}

int RunClassify(const std::string& file, char** coordinates, std::string& error)
{
    double p[3];
    if (!ParseFiniteList(coordinates, 3, p, error))
        return kFailed;
    G3Surface* s = ReadSolid(file, error);
    if (!s)
        return kFailed;
    G3BooleanCalculator calc;
    calc.OpenFindIntersection(s);
    const SURF_CLASSIFY c = calc.FindVertexClassify(p);
    calc.CloseFindIntersection(s);
    delete s;
    std::printf("%s\n", c == SC_IN ? "inside" : c == SC_OUT ? "outside" : c == SC_ON ? "on" : "undecided");
    return 0;
}

const char* HitKindName(G3RayTraceMetricResult::HitKind kind)
{
    switch (kind) {
    case G3RayTraceMetricResult::HIT_FACET: return "facet";
    case G3RayTraceMetricResult::HIT_EDGE: return "edge";
    case G3RayTraceMetricResult::HIT_VERTEX: return "vertex";
    case G3RayTraceMetricResult::HIT_OBJECT: return "object";
    default: return "none";
    }
}
