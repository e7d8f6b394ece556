// Vertex slopes and slope records of a terrain.
#include "terrain/slopes.h"

#include <cmath>
#include <unordered_set>

#include "core/tolerances.h"

using namespace tessaly;

namespace terrain {

bool NormalSum(G3Vertex* v, double* sum)
{
    sum[0] = sum[1] = sum[2] = 0;
    std::unordered_set<G3Facet*> seen;
    for (G3Edge* e = v->GetFirstEdge(); e; e = v->GetNextEdge(e)) {
        for (G3Facet* f : {e->GetFacet1(), e->GetFacet2()}) {
            if (!f || !seen.insert(f).second)
                continue;
            const double* n = f->GetPlane();
            const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (!(length > kZeroDivisor))
                continue;
            // A height field's facets are read facing up, whatever way the
            // host turned them.
            const double sign = n[2] < 0 ? -1.0 : 1.0;
            for (int a = 0; a < 3; ++a)
                sum[a] += sign * n[a] / length;
        }
    }
    return !seen.empty();
}

bool VertexSlope(G3Vertex* v, Slope& slope)
{
    double sum[3];
    if (!NormalSum(v, sum))
        return false;
    slope = Slope();
    if (std::fabs(sum[2]) >= kZeroDivisor) {
        slope.fx = -sum[0] / sum[2];
        slope.fy = -sum[1] / sum[2];
    }
    return true;
}

std::unordered_map<G3Vertex*, Slope> VertexSlopes(G3Surface* s)
{
    s->FormPlaneEquation();
    std::unordered_map<G3Vertex*, Slope> slopes;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        Slope slope;
        if (VertexSlope(s->GetVertex(k), slope))
            slopes.emplace(s->GetVertex(k), slope);
    }
    return slopes;
}

bool IsBorderVertex(G3Vertex* v)
{
    int open = 0;
    for (G3Edge* e = v->GetFirstEdge(); e; e = v->GetNextEdge(e))
        if (!e->GetFacet1() || !e->GetFacet2())
            ++open;
    return open >= 2;
}

std::unordered_map<G3Vertex*, G3Derivative> SlopeRecords(G3Surface* s)
{
    s->FormPlaneEquation();
    std::unordered_map<G3Vertex*, G3Derivative> records;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        G3Derivative record;
        if (auto* earlier = dynamic_cast<G3Derivative*>(v->GetExData()))
            record.Copy(earlier);
        Slope slope;
        const bool keep = IsBorderVertex(v) &&
            (std::fabs(record.fx) >= kTerrainUnsetSlope || std::fabs(record.fy) >= kTerrainUnsetSlope);
        if (VertexSlope(v, slope) && !keep) {
            record.fx = slope.fx;
            record.fy = slope.fy;
        }
        records.emplace(v, record);
    }
    return records;
}

G3Derivative MeanRecord(const std::vector<const G3Derivative*>& records)
{
    G3Derivative mean;
    if (records.empty())
        return mean;
    const double w = 1.0 / static_cast<double>(records.size());
    for (const G3Derivative* r : records) {
        mean.fx += w * r->fx;
        mean.fy += w * r->fy;
        mean.cyx += w * r->cyx;
        mean.cxx += w * r->cxx;
        mean.cxy += w * r->cxy;
        mean.cyy += w * r->cyy;
    }
    return mean;
}

} // namespace terrain
