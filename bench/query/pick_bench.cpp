// Picking random rays against a triangulated sphere (about 10^5 triangles):
//   - octree: G3QuadraSurfaceTree::FindIntersection for the candidates, then
//     G3BooleanCalculator::TestRayAndFacetList over them (nearest hit);
//   - tracer: TestRayAndFacetList over every facet;
//   - scan: a plain Moller-Trumbore test of every triangle (the brute force);
//   - Embree: rtcIntersect1 on its BVH (single precision), when installed.
// Every row reports its build time and rays per second, all in one run, and
// the ratio of each to the octree. The slow full scans run on the first
// rays only (their rates are per ray all the same). Checked: the octree's
// nearest distance equals the tracer's on every ray both ran, and Embree's
// within a float tolerance; a mismatch makes the exit status 1.
//
// Usage: tessaly_pick_bench [rays] [scan_rays]   (100000 and 500)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "tessaly/boolean.h"
#include "tessaly/surface.h"
#include "tessaly/surface_tree.h"

#ifdef TESSALY_BENCH_EMBREE
#include <embree3/rtcore.h>
#endif

namespace {
const int kRings = 224; // 2 * 224 * 224 = 100352 triangles
const int kSegments = 224;
// Embree intersects in single precision: distances agree to this.
const double kFloatAgreement = 1e-4;

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

struct Ray {
    double p[3];
    double q[3];
};

// A unit sphere of triangles (poles as fans of thin quads split in two).
G3Surface* TriangulatedSphere()
{
    auto* s = new G3Surface((kRings + 1) * kSegments, 0);
    std::vector<G3Vertex*> grid;
    for (int r = 0; r <= kRings; ++r) {
        const double theta = M_PI * r / kRings;
        for (int k = 0; k < kSegments; ++k) {
            const double phi = 2 * M_PI * k / kSegments;
            grid.push_back(
                s->AddVertex(std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)));
        }
    }
    auto at = [&](int r, int k) { return grid[static_cast<std::size_t>(r * kSegments + k % kSegments)]; };
    for (int r = 0; r < kRings; ++r)
        for (int k = 0; k < kSegments; ++k) {
            G3Vertex* a[3] = {at(r, k), at(r + 1, k), at(r + 1, k + 1)};
            G3Vertex* b[3] = {at(r, k), at(r + 1, k + 1), at(r, k + 1)};
            s->AddFacet(3, a, 1, nullptr, nullptr);
            s->AddFacet(3, b, 1, nullptr, nullptr);
        }
    s->FormPlaneEquation();
    return s;
}

// From a random point on a sphere of radius 3 towards a random point inside
// the unit sphere, 6 units long: nearly every ray meets the body.
std::vector<Ray> RandomRays(int count)
{
    std::mt19937 random(2024);
    std::normal_distribution<double> gauss;
    std::uniform_real_distribution<double> inside(-0.7, 0.7);
    std::vector<Ray> rays(static_cast<std::size_t>(count));
    for (Ray& ray : rays) {
        double d[3] = {gauss(random), gauss(random), gauss(random)};
        const double n = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        double target[3] = {inside(random), inside(random), inside(random)};
        double dir[3], length = 0;
        for (int a = 0; a < 3; ++a) {
            ray.p[a] = 3 * d[a] / n;
            dir[a] = target[a] - ray.p[a];
            length += dir[a] * dir[a];
        }
        length = std::sqrt(length);
        for (int a = 0; a < 3; ++a)
            ray.q[a] = ray.p[a] + 6 * dir[a] / length;
    }
    return rays;
}

double Nearest(Ray& ray, GArrayCollection* facets)
{
    G3RayTraceMetricResult hits(ray.p);
    G3BooleanCalculator::TestRayAndFacetList(ray.p, ray.q, facets, &hits);
    return hits.GetDistance();
}

// Moller-Trumbore over every triangle; distance along the ray from p.
struct Scan {
    std::vector<double> corners; // 9 per triangle

    explicit Scan(G3Surface* s)
    {
        for (int k = 0; k < s->GetFacetCount(); ++k) {
            GArrayCollection v;
            s->GetFacet(k)->GetVertices(&v);
            for (int i = 0; i < 3; ++i)
                for (int a = 0; a < 3; ++a)
                    corners.push_back(static_cast<G3Vertex*>(v.get(i))->GetXYZ()[a]);
        }
    }

    double Nearest(const Ray& ray) const
    {
        double d[3], length = 0;
        for (int a = 0; a < 3; ++a) {
            d[a] = ray.q[a] - ray.p[a];
            length += d[a] * d[a];
        }
        length = std::sqrt(length);
        double best = -1;
        for (std::size_t t = 0; t < corners.size(); t += 9) {
            const double* v0 = &corners[t];
            double e1[3], e2[3], s[3], h[3], qv[3];
            for (int a = 0; a < 3; ++a) {
                e1[a] = v0[3 + a] - v0[a];
                e2[a] = v0[6 + a] - v0[a];
                s[a] = ray.p[a] - v0[a];
            }
            h[0] = d[1] * e2[2] - d[2] * e2[1];
            h[1] = d[2] * e2[0] - d[0] * e2[2];
            h[2] = d[0] * e2[1] - d[1] * e2[0];
            const double det = e1[0] * h[0] + e1[1] * h[1] + e1[2] * h[2];
            if (det == 0.0)
                continue;
            const double u = (s[0] * h[0] + s[1] * h[1] + s[2] * h[2]) / det;
            if (u < 0 || u > 1)
                continue;
            qv[0] = s[1] * e1[2] - s[2] * e1[1];
            qv[1] = s[2] * e1[0] - s[0] * e1[2];
            qv[2] = s[0] * e1[1] - s[1] * e1[0];
            const double v = (d[0] * qv[0] + d[1] * qv[1] + d[2] * qv[2]) / det;
            if (v < 0 || u + v > 1)
                continue;
            const double t01 = (e2[0] * qv[0] + e2[1] * qv[1] + e2[2] * qv[2]) / det;
            if (t01 >= 0 && t01 <= 1 && (best < 0 || t01 * length < best))
                best = t01 * length;
        }
        return best;
    }
};

struct Row {
    const char* name;
    double buildSeconds = 0;
    double raysPerSecond = 0;
    int rays = 0;
    bool ran = false;
};

void PrintRow(const Row& row, const Row& octree)
{
    if (!row.ran)
        return;
    std::printf("%-28s %10.4f %8d %14.0f %10.3f\n", row.name, row.buildSeconds, row.rays, row.raysPerSecond,
                row.raysPerSecond / octree.raysPerSecond);
}

#ifdef TESSALY_BENCH_EMBREE
// Returns false when Embree could not be set up.
bool RunEmbree(G3Surface* s, std::vector<Ray>& rays, const std::vector<double>& octreeDistances, Row& row,
               int& mismatches)
{
    RTCDevice device = rtcNewDevice(nullptr);
    if (!device)
        return false;
    const auto t0 = Clock::now();
    RTCScene scene = rtcNewScene(device);
    RTCGeometry mesh = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
    auto* vertices =
        static_cast<float*>(rtcSetNewGeometryBuffer(mesh, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                                    3 * sizeof(float), static_cast<std::size_t>(s->GetVertexCount())));
    s->AssignVertexIds();
    for (int k = 0; k < s->GetVertexCount(); ++k)
        for (int a = 0; a < 3; ++a)
            vertices[3 * k + a] = static_cast<float>(s->GetVertex(k)->GetXYZ()[a]);
    auto* indices = static_cast<unsigned*>(rtcSetNewGeometryBuffer(mesh, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                                                   3 * sizeof(unsigned),
                                                                   static_cast<std::size_t>(s->GetFacetCount())));
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        GArrayCollection v;
        s->GetFacet(k)->GetVertices(&v);
        for (int i = 0; i < 3; ++i)
            indices[3 * k + i] = static_cast<unsigned>(static_cast<G3Vertex*>(v.get(i))->GetId());
    }
    rtcCommitGeometry(mesh);
    rtcAttachGeometry(scene, mesh);
    rtcReleaseGeometry(mesh);
    rtcCommitScene(scene);
    row.buildSeconds = Since(t0);
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    std::vector<double> distances(rays.size());
    const auto t1 = Clock::now();
    for (std::size_t k = 0; k < rays.size(); ++k) {
        RTCRayHit hit{};
        hit.ray.org_x = static_cast<float>(rays[k].p[0]);
        hit.ray.org_y = static_cast<float>(rays[k].p[1]);
        hit.ray.org_z = static_cast<float>(rays[k].p[2]);
        hit.ray.dir_x = static_cast<float>(rays[k].q[0] - rays[k].p[0]);
        hit.ray.dir_y = static_cast<float>(rays[k].q[1] - rays[k].p[1]);
        hit.ray.dir_z = static_cast<float>(rays[k].q[2] - rays[k].p[2]);
        hit.ray.tnear = 0;
        hit.ray.tfar = 1;
        hit.ray.mask = 0xFFFFFFFFu;
        hit.hit.geomID = RTC_INVALID_GEOMETRY_ID;
        rtcIntersect1(scene, &context, &hit);
        distances[k] = hit.hit.geomID == RTC_INVALID_GEOMETRY_ID ? -1.0 : hit.ray.tfar * 6.0;
    }
    row.raysPerSecond = static_cast<double>(rays.size()) / Since(t1);
    row.rays = static_cast<int>(rays.size());
    row.ran = true;
    for (std::size_t k = 0; k < rays.size(); ++k)
        mismatches += std::fabs(distances[k] - octreeDistances[k]) > kFloatAgreement;
    rtcReleaseScene(scene);
    rtcReleaseDevice(device);
    return true;
}
#endif
} // namespace

int main(int argc, char** argv)
{
    const int rayCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const int scanCount = std::min(rayCount, argc > 2 ? std::max(1, std::atoi(argv[2])) : 500);
    G3Surface* sphere = TriangulatedSphere();
    std::vector<Ray> rays = RandomRays(rayCount);
    std::printf("sphere of %d triangles, %d rays (full scans: the first %d)\n", sphere->GetFacetCount(), rayCount,
                scanCount);

    Row octree{"octree + tracer"};
    auto t0 = Clock::now();
    G3QuadraSurfaceTree tree(sphere);
    tree.MakeTree();
    octree.buildSeconds = Since(t0);
    std::vector<double> octreeDistances(rays.size());
    double querySeconds = 0;
    long candidates = 0;
    t0 = Clock::now();
    for (std::size_t k = 0; k < rays.size(); ++k) {
        GArrayCollection found;
        const auto q0 = Clock::now();
        tree.FindIntersection(rays[k].p, rays[k].q, &found);
        querySeconds += Since(q0);
        candidates += found.size();
        octreeDistances[k] = Nearest(rays[k], &found);
    }
    const double octreeSeconds = Since(t0);
    octree.raysPerSecond = rayCount / octreeSeconds;
    octree.rays = rayCount;
    octree.ran = true;

    Row tracer{"tracer over every facet"};
    GArrayCollection all;
    for (int k = 0; k < sphere->GetFacetCount(); ++k)
        all.add(sphere->GetFacet(k));
    int mismatches = 0, hitsSeen = 0;
    t0 = Clock::now();
    for (int k = 0; k < scanCount; ++k) {
        const double d = Nearest(rays[static_cast<std::size_t>(k)], &all);
        mismatches += d != octreeDistances[static_cast<std::size_t>(k)];
        hitsSeen += d >= 0;
    }
    tracer.raysPerSecond = scanCount / Since(t0);
    tracer.rays = scanCount;
    tracer.ran = true;

    Row scan{"brute-force scan"};
    t0 = Clock::now();
    const Scan triangles(sphere);
    scan.buildSeconds = Since(t0);
    t0 = Clock::now();
    for (int k = 0; k < scanCount; ++k) {
        const double d = triangles.Nearest(rays[static_cast<std::size_t>(k)]);
        mismatches += std::fabs(d - octreeDistances[static_cast<std::size_t>(k)]) > kFloatAgreement;
    }
    scan.raysPerSecond = scanCount / Since(t0);
    scan.rays = scanCount;
    scan.ran = true;

    Row embree{"Embree (float BVH)"};
#ifdef TESSALY_BENCH_EMBREE
    if (!RunEmbree(sphere, rays, octreeDistances, embree, mismatches))
        std::printf("note: the Embree device could not be created; no Embree row\n");
#else
    std::printf("note: Embree 3 was not found when building; no Embree row\n");
#endif

    std::printf("\n%-28s %10s %8s %14s %10s\n", "", "build s", "rays", "rays/s", "/ octree");
    for (const Row* row : {&octree, &tracer, &scan, &embree})
        PrintRow(*row, octree);
    std::printf("\noctree: %.1f candidate facets a ray on average; box descent %.1f%% of the octree's time, "
                "the exact tests on the candidates the rest\n",
                static_cast<double>(candidates) / rayCount, 100.0 * querySeconds / octreeSeconds);
    std::printf("rays hitting the body among the scanned: %d of %d\n", hitsSeen, scanCount);
    std::printf("distance mismatches: %d\n", mismatches);
    delete sphere;
    return mismatches == 0 ? 0 : 1;
}
