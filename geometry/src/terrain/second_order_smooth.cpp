// The second-order smoothing passes: slope records on every vertex, new
// points at the mean of the corners' Taylor heights, the records carried
// over to the new points and the result.
#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <unordered_set>
#include <vector>

#include "terrain/plan_retriangulation.h"
#include "terrain/slopes.h"
#include "terrain/terrain_internal.h"
#include "tessaly/terrain.h"
#include "triangulation/mesh.h"

namespace {
using RecordTable = std::unordered_map<G3Vertex*, G3Derivative>;

// Records that stay put while the triangulation refers to them.
class RecordStore {
public:
    G3Derivative* Keep(const G3Derivative& record)
    {
        m_Records.emplace_back();
        m_Records.back().Copy(const_cast<G3Derivative*>(&record));
        return &m_Records.back();
    }

private:
    std::deque<G3Derivative> m_Records;
};

// The new point among corners (with their records): x and y the mean, the
// height the mean of the corners' Taylor heights there (not below 0); its
// record the mean record.
G3Derivative BlendPoint(const std::vector<const double*>& corners, const std::vector<const G3Derivative*>& records,
                        double* out)
{
    out[0] = out[1] = out[2] = 0;
    const double w = 1.0 / static_cast<double>(corners.size());
    for (const double* c : corners) {
        out[0] += w * c[0];
        out[1] += w * c[1];
    }
    for (std::size_t k = 0; k < corners.size(); ++k)
        out[2] += w * G3LandscapeHandler::TaylorHeight(corners[k], *records[k], out[0], out[1]);
    out[2] = std::max(out[2], 0.0);
    return terrain::MeanRecord(records);
}

bool PairwiseDifferent(G3Vertex* a, G3Vertex* b, G3Vertex* c)
{
    return !a->Equals(b) && !a->Equals(c) && !b->Equals(c);
}

using EdgeKey = std::pair<G3Vertex*, G3Vertex*>;
EdgeKey KeyOf(G3Vertex* a, G3Vertex* b)
{
    return a < b ? EdgeKey(a, b) : EdgeKey(b, a);
}

// Adds the edge point of a-b once per edge; returns its triangulation
// vertex.
G3TVertex* AddEdgePoint(terrain::PlanRetriangulation& plan, RecordStore& store, const RecordTable& records,
                        std::map<EdgeKey, G3TVertex*>& made, G3Vertex* a, G3Vertex* b)
{
    auto it = made.find(KeyOf(a, b));
    if (it != made.end())
        return it->second;
    double p[3];
    const G3Derivative record = BlendPoint({a->GetXYZ(), b->GetXYZ()}, {&records.at(a), &records.at(b)}, p);
    G3TVertex* t = plan.Add(p, store.Keep(record));
    made.emplace(KeyOf(a, b), t);
    return t;
}

// The terrain's vertices, each with its record, into the triangulation.
void AddTerrainVertices(terrain::PlanRetriangulation& plan, RecordStore& store, G3Surface* s,
                        const RecordTable& records)
{
    for (int k = 0; k < s->GetVertexCount(); ++k)
        plan.AddTerrainVertex(s->GetVertex(k), store.Keep(records.at(s->GetVertex(k))));
}
} // namespace

bool G3LandscapeHandler::CopyExtData(G3Surface* result)
{
    if (!result || GetTriangleCount() == 0)
        return false;
    std::unordered_set<G3Vertex*> present;
    for (int k = 0; k < result->GetVertexCount(); ++k)
        present.insert(result->GetVertex(k));
    for (G3TVertex* v = GetMesh()->FirstVertex(); v; v = v->GetNext()) {
        G3Vertex* target = v->IsDuplicate() ? nullptr : v->GetSurfaceVertex();
        auto* record = dynamic_cast<G3Derivative*>(v->GetExData());
        if (target && record && present.count(target) && !target->GetExData())
            target->SetExData(record->Duplicate());
    }
    // A point the engine made where constraints cross has no record of its
    // own: it starts from a zero one.
    for (int k = 0; k < result->GetVertexCount(); ++k)
        if (!result->GetVertex(k)->GetExData())
            result->GetVertex(k)->SetExData(new G3Derivative);
    return true;
}

namespace terrain {

namespace {
// A triangulation handler whose records can be carried over from outside
// the handler's own members.
class RecordCarrier : public G3LandscapeHandler {
public:
    using G3LandscapeHandler::CopyExtData;
};
} // namespace

G3Surface* SecondOrderPass(G3Surface* s, int mode, const std::function<void()>& release)
{
    if (!s)
        return nullptr;
    RecordStore store;
    RecordCarrier tri;
    PlanRetriangulation plan(tri, s);
    {
        const RecordTable records = SlopeRecords(s);
        AddTerrainVertices(plan, store, s, records);
        std::map<EdgeKey, G3TVertex*> edgePoints;
        for (int k = 0; k < s->GetFacetCount(); ++k) {
            const std::vector<G3Vertex*> corners = FacetTriangles(s->GetFacet(k));
            for (std::size_t t = 0; t + 2 < corners.size(); t += 3) {
                G3Vertex *a = corners[t], *b = corners[t + 1], *c = corners[t + 2];
                if (!PairwiseDifferent(a, b, c))
                    continue;
                if (mode == 3) {
                    double p[3];
                    const G3Derivative record = BlendPoint({a->GetXYZ(), b->GetXYZ(), c->GetXYZ()},
                                                           {&records.at(a), &records.at(b), &records.at(c)}, p);
                    plan.Add(p, store.Keep(record));
                } else if (mode == 4) {
                    AddEdgePoint(plan, store, records, edgePoints, a, b);
                    AddEdgePoint(plan, store, records, edgePoints, a, c);
                    AddEdgePoint(plan, store, records, edgePoints, b, c);
                }
            }
        }
        for (G3Edge* e : BorderEdges(s))
            plan.AddBorder(e, AddEdgePoint(plan, store, records, edgePoints, e->GetVertex1(), e->GetVertex2()));
    }
    // The points are in: the input and the side tables are not read again,
    // and the triangulation, the peak of the pass, runs without them.
    if (release)
        release();
    if (!plan.Triangulate())
        return nullptr;
    G3Surface* result = plan.Surface();
    tri.CopyExtData(result);
    return result;
}

} // namespace terrain

G3Surface* G3LandscapeHandler::SecondOrderSmoothSurface(G3Surface* s, int mode)
{
    return terrain::SecondOrderPass(s, mode, nullptr);
}
