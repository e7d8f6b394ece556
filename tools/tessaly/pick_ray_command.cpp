#include "pick_ray_command.h"

#include <cmath>
#include <cstdio>

#include "arguments.h"
#include "boolean_command.h"
#include "mesh_formats.h"
#include "tessaly/boolean.h"
#include "tessaly/surface.h"
#include "tessaly/surface_tree.h"

namespace {
constexpr int kFailed = 1;

// The far end of the ray: past every corner of the body's box.
void FarEnd(const double* p, const double* d, const GEnvelope& box, double* q)
{
    double reach = 0;
    for (int a = 0; a < 3; ++a) {
        const double farthest = std::max(std::fabs(box.GetMin(a) - p[a]), std::fabs(box.GetMax(a) - p[a]));
        reach += farthest * farthest;
    }
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const double t = (std::sqrt(reach) + 1.0) / length;
    for (int a = 0; a < 3; ++a)
        q[a] = p[a] + t * d[a];
}
} // namespace

int RunPickRay(const std::string& file, char** coordinates, std::string& error)
{
    double pd[6];
    if (!ParseFiniteList(coordinates, 6, pd, error))
        return kFailed;
    if (pd[3] == 0 && pd[4] == 0 && pd[5] == 0) {
        error = "the ray direction has no length";
        return kFailed;
    }
    G3Surface s;
    if (!ReadMesh(file, &s, error))
        return kFailed;
    s.FormPlaneEquation();
    s.AssignFacetIds();
    G3QuadraSurfaceTree tree(&s);
    if (!tree.MakeTree()) {
        error = "the body has no finite vertex";
        return kFailed;
    }
    double q[3];
    FarEnd(pd, pd + 3, tree.GetEnvelope(), q);
    if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2])) {
        error = "the ray reaches too far to trace";
        return kFailed;
    }
    GArrayCollection candidates;
    tree.FindIntersection(pd, q, &candidates);
    G3RayTraceMetricResult hits(pd);
    G3BooleanCalculator::TestRayAndFacetList(pd, q, &candidates, &hits);
    std::printf("hit %s\n", HitKindName(hits.GetHitKind()));
    if (hits.GetHitKind() != G3RayTraceMetricResult::HIT_NONE)
        std::printf("distance %.17g\npoint %.17g %.17g %.17g\nnormal %.17g %.17g %.17g\n", hits.GetDistance(),
                    hits.HitPointGetX(), hits.HitPointGetY(), hits.HitPointGetZ(), hits.HitPointNormalGetX(),
                    hits.HitPointNormalGetY(), hits.HitPointNormalGetZ());
    if (hits.GetHitKind() == G3RayTraceMetricResult::HIT_FACET)
        std::printf("facet %ld\n", hits.GetHitFacet()->GetId());
    std::printf("candidates %d of %d facets\n", candidates.size(), s.GetFacetCount());
    return 0;
}
