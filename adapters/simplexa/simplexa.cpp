// The mesh-simplification adapter. The source body is triangulated (each
// facet tessellated by the kernel), simplified by meshoptimizer's
// quadric-error edge collapses, and rebuilt as a new kernel surface from
// the kept triangles. Collapses only remove vertices, so every vertex of the
// result has its source coordinates exactly.
#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "facet_triangles.h"
#include "tessaly/surface.h"

namespace {
struct Mesh {
    std::vector<G3Vertex*> vertices;
    std::vector<float> positions; // relative to the body's centre
    std::vector<unsigned int> indices;
};

Mesh Triangulate(G3Surface* s)
{
    Mesh mesh;
    GEnvelope box;
    s->FormEnvelope(&box);
    double centre[3] = {(box.GetMinX() + box.GetMaxX()) / 2, (box.GetMinY() + box.GetMaxY()) / 2,
                        (box.GetMinZ() + box.GetMaxZ()) / 2};
    std::unordered_map<const G3Vertex*, unsigned int> index;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        index.emplace(v, static_cast<unsigned int>(mesh.vertices.size()));
        mesh.vertices.push_back(v);
        for (int c = 0; c < 3; ++c)
            mesh.positions.push_back(static_cast<float>(v->GetXYZ(c) - centre[c]));
    }
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        std::vector<G3Vertex*> corners = tessaly_tools::FacetTriangles(s->GetFacet(k));
        for (std::size_t t = 0; t + 2 < corners.size(); t += 3) {
            // A corner that is not a vertex of the body (a broken body) drops
            // its triangle rather than the whole call.
            auto a = index.find(corners[t]), b = index.find(corners[t + 1]), c = index.find(corners[t + 2]);
            if (a == index.end() || b == index.end() || c == index.end())
                continue;
            mesh.indices.insert(mesh.indices.end(), {a->second, b->second, c->second});
        }
    }
    return mesh;
}

int TargetTriangles(int source, int count, double ratio, QSLIM_DESIREDTRISETTYPE desired)
{
    if (desired == QSLIM_DESIRED_COUNT)
        return count >= 0 ? std::min(count, source) : -1;
    if (!(ratio >= 0.0 && ratio <= 1.0))
        return -1;
    return static_cast<int>(std::lround(ratio * source));
}

// A triangle that adds a third facet to an edge, or has no area, is left
// out when the level asks for checks.
bool Acceptable(G3Vertex* const* t, CHECK_LEVEL level)
{
    if (level < CHECK_LEVEL_1001)
        return true;
    if (G3Facet::CalcRealSquareOfTriangle(t[0]->GetXYZ(), t[1]->GetXYZ(), t[2]->GetXYZ()) < 1e-12)
        return false;
    for (int k = 0; k < 3; ++k)
        if (t[k]->GetEdgeCount(t[(k + 1) % 3]) >= 2)
            return false;
    return true;
}

G3Surface* Rebuild(const Mesh& mesh, const std::vector<unsigned int>& kept, CHECK_LEVEL level)
{
    std::vector<int> newIndex(mesh.vertices.size(), -1);
    for (unsigned int i : kept)
        newIndex[i] = 0;
    auto* result = new G3Surface(static_cast<int>(mesh.vertices.size()), 0);
    std::vector<G3Vertex*> made(mesh.vertices.size(), nullptr);
    for (std::size_t k = 0; k < mesh.vertices.size(); ++k)
        if (newIndex[k] == 0)
            made[k] = result->AddVertex(mesh.vertices[k]->GetXYZ(), mesh.vertices[k]->GetUserValue());
    for (std::size_t k = 0; k + 2 < kept.size(); k += 3) {
        G3Vertex* t[3] = {made[kept[k]], made[kept[k + 1]], made[kept[k + 2]]};
        if (Acceptable(t, level))
            result->AddFacet(3, t, 1, nullptr, nullptr);
    }
    result->RemoveUnused();
    return result;
}
} // namespace

extern "C" __attribute__((visibility("default"))) G3Surface*
QSlimSimplifierAdapter(G3Surface* source, QSLIM_TYPE type, QSLIM_RES& result, int count, double ratio,
                       QSLIM_DESIREDTRISETTYPE desired, CHECK_LEVEL level, QSLIMCommandsBase* commands)
{
    result = QSLIM_RES();
    result.status = QSLIM_BAD_INPUT;
    if (!source)
        return nullptr;
    Mesh mesh = Triangulate(source);
    int triangles = static_cast<int>(mesh.indices.size() / 3);
    int target = TargetTriangles(triangles, count, ratio, desired);
    result.sourceTriangles = triangles;
    result.targetTriangles = target;
    if (triangles == 0 || target < 0)
        return nullptr;
    QSLIMCommandsBase defaults;
    QSLIMCommandsBase* say = commands ? commands : &defaults;
    result.status = QSLIM_CANCELLED;
    if (!say->Progress(0.0))
        return nullptr;
    std::vector<unsigned int> kept(mesh.indices.size());
    float error = 0.0f;
    unsigned int options = type == QSLIM_TYPE_QUADRIC_BORDER ? meshopt_SimplifyLockBorder : 0;
    std::size_t size = meshopt_simplify(kept.data(), mesh.indices.data(), mesh.indices.size(), mesh.positions.data(),
                                        mesh.vertices.size(), 3 * sizeof(float), 3 * static_cast<std::size_t>(target),
                                        static_cast<float>(say->GetMaxRelativeError()), options, &error);
    kept.resize(size);
    if (!say->Progress(0.5))
        return nullptr;
    G3Surface* simplified = Rebuild(mesh, kept, level);
    result.status = QSLIM_OK;
    result.resultTriangles = simplified->GetFacetCount();
    result.relativeError = error;
    say->Progress(1.0);
    return simplified;
}
