// SecondOrderSmoothSurfaceEx: the terrain's vertices triangulated again and
// every triangle refined recursively into four, the new points at the mean
// Taylor heights of the edge ends.
#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

#include "terrain/plan_retriangulation.h"
#include "terrain/slopes.h"
#include "terrain/terrain_internal.h"
#include "tessaly/terrain.h"

namespace {
// Deepest refinement: 4^8 triangles from each one.
constexpr int kMaxRefineDepth = 8;

// The refinement of one triangle of the triangulation. The free vertices it
// makes and their records belong to it and go with it.
class TriangleRefiner {
public:
    TriangleRefiner(const std::unordered_map<G3Vertex*, G3Derivative>& records, int depth,
                    std::vector<std::array<double, 9>>& out)
        : m_Records(records), m_Depth(depth), m_Out(out)
    {
    }

    void Refine(const G3SmoothTriangle& t, int level)
    {
        G3Vertex* pq = EdgePoint(t.P, t.Q);
        G3Vertex* pr = EdgePoint(t.P, t.R);
        G3Vertex* qr = EdgePoint(t.Q, t.R);
        // All four turn like the triangle they come from.
        const G3SmoothTriangle four[4] = {{t.P, pq, pr}, {t.Q, qr, pq}, {t.R, pr, qr}, {pq, qr, pr}};
        for (const G3SmoothTriangle& child : four) {
            if (level + 1 < m_Depth)
                Refine(child, level + 1);
            else
                Emit(child);
        }
    }

private:
    G3Vertex* EdgePoint(G3Vertex* a, G3Vertex* b)
    {
        const G3Derivative& ra = RecordOf(a);
        const G3Derivative& rb = RecordOf(b);
        const double x = (a->GetX() + b->GetX()) / 2, y = (a->GetY() + b->GetY()) / 2;
        const double z = (G3LandscapeHandler::TaylorHeight(a->GetXYZ(), ra, x, y) +
                          G3LandscapeHandler::TaylorHeight(b->GetXYZ(), rb, x, y)) /
            2;
        m_Free.emplace_back(new G3Vertex(x, y, std::max(z, 0.0), 0));
        G3Vertex* v = m_Free.back().get();
        m_FreeRecords.emplace(v, terrain::MeanRecord({&ra, &rb}));
        return v;
    }

    const G3Derivative& RecordOf(G3Vertex* v) const
    {
        auto own = m_FreeRecords.find(v);
        return own != m_FreeRecords.end() ? own->second : m_Records.at(v);
    }

    void Emit(const G3SmoothTriangle& t)
    {
        std::array<double, 9> corners;
        const G3Vertex* v[3] = {t.P, t.Q, t.R};
        for (int c = 0; c < 3; ++c)
            for (int a = 0; a < 3; ++a)
                corners[3 * c + a] = v[c]->GetXYZ(a);
        m_Out.push_back(corners);
    }

    const std::unordered_map<G3Vertex*, G3Derivative>& m_Records;
    std::unordered_map<G3Vertex*, G3Derivative> m_FreeRecords;
    int m_Depth;
    std::vector<std::array<double, 9>>& m_Out;
    std::vector<std::unique_ptr<G3Vertex>> m_Free;
};

// The records of the triangulated surface's vertices, read from the slots
// that CopyExtData filled, which are then deleted and cleared again.
std::unordered_map<G3Vertex*, G3Derivative> TakeRecords(G3Surface* s)
{
    std::unordered_map<G3Vertex*, G3Derivative> records;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        G3Derivative record;
        if (auto* held = dynamic_cast<G3Derivative*>(v->GetExData()))
            record.Copy(held);
        records.emplace(v, record);
    }
    G3LandscapeHandler::DeleteSlopeRecords(s);
    return records;
}
} // namespace

G3Surface* G3LandscapeHandler::SecondOrderSmoothSurfaceEx(G3Surface* s, int depth)
{
    if (!s)
        return nullptr;
    depth = std::clamp(depth, 1, kMaxRefineDepth);
    const std::unordered_map<G3Vertex*, G3Derivative> inputRecords = terrain::SlopeRecords(s);
    std::deque<G3Derivative> store;
    G3LandscapeHandler tri;
    terrain::PlanRetriangulation plan(tri, s);
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        store.push_back(inputRecords.at(s->GetVertex(k)));
        plan.AddTerrainVertex(s->GetVertex(k), &store.back());
    }
    for (G3Edge* e : terrain::BorderEdges(s))
        plan.AddBorder(e, nullptr);
    if (!plan.Triangulate())
        return nullptr;
    std::unique_ptr<G3Surface> first(plan.Surface());
    tri.CopyExtData(first.get());
    const std::unordered_map<G3Vertex*, G3Derivative> records = TakeRecords(first.get());
    std::vector<std::array<double, 9>> triangles;
    for (int k = 0; k < first->GetFacetCount(); ++k) {
        GArrayCollection vertices;
        first->GetFacet(k)->GetVertices(&vertices);
        if (vertices.size() != 3)
            continue;
        G3SmoothTriangle t(static_cast<G3Vertex*>(vertices.get(0)), static_cast<G3Vertex*>(vertices.get(1)),
                           static_cast<G3Vertex*>(vertices.get(2)));
        if (t.P->Equals(t.Q) || t.P->Equals(t.R) || t.Q->Equals(t.R))
            continue;
        TriangleRefiner(records, depth, triangles).Refine(t, 0);
    }
    auto* result = new G3Surface(static_cast<int>(triangles.size()) * 3 + 3, 1);
    for (const auto& c : triangles) {
        G3Vertex* v[3] = {result->AddVertex(&c[0], 0), result->AddVertex(&c[3], 0), result->AddVertex(&c[6], 0)};
        result->AddFacet(3, v, 1, nullptr, nullptr);
    }
    result->RemoveEqualsVertex();
    result->RemoveNonManifoldEdges();
    return result;
}
