// The first-order smoothing passes: SmoothSurface (every triangle into four,
// edge points on the cubic through the end slopes) and SmoothSurfaceEx (a
// lifted centre point per triangle, everything triangulated again).
#include <algorithm>
#include <vector>

#include "terrain/plan_retriangulation.h"
#include "terrain/slopes.h"
#include "terrain/terrain_internal.h"
#include "tessaly/terrain.h"

using terrain::Slope;

namespace {
using SlopeTable = std::unordered_map<G3Vertex*, Slope>;

Slope SlopeOf(const SlopeTable& slopes, G3Vertex* v)
{
    auto it = slopes.find(v);
    return it == slopes.end() ? Slope() : it->second;
}

// The height change along the plan step (dx, dy) that a slope implies.
double Rise(const Slope& s, double dx, double dy)
{
    return s.fx * dx + s.fy * dy;
}

// The point halfway along a-b, lifted onto the cubic Hermite curve through
// the two heights with the two end slopes; the same from either end.
void EdgePoint(const SlopeTable& slopes, G3Vertex* a, G3Vertex* b, double* out)
{
    const double dx = b->GetX() - a->GetX(), dy = b->GetY() - a->GetY();
    const double sa = Rise(SlopeOf(slopes, a), dx, dy);
    const double sb = Rise(SlopeOf(slopes, b), dx, dy);
    out[0] = a->GetX() + dx / 2;
    out[1] = a->GetY() + dy / 2;
    out[2] = (a->GetZ() + b->GetZ()) / 2 + (sa - sb) / 8;
}

// The four triangles of one triangle of the input, as new vertices.
void SplitInFour(G3Surface* result, const SlopeTable& slopes, G3Vertex* p, G3Vertex* q, G3Vertex* r)
{
    double pq[3], pr[3], qr[3];
    EdgePoint(slopes, p, q, pq);
    EdgePoint(slopes, p, r, pr);
    EdgePoint(slopes, q, r, qr);
    G3Vertex* P = result->AddVertex(p->GetXYZ(), 0);
    G3Vertex* Q = result->AddVertex(q->GetXYZ(), 0);
    G3Vertex* R = result->AddVertex(r->GetXYZ(), 0);
    G3Vertex* PQ = result->AddVertex(pq, 0);
    G3Vertex* PR = result->AddVertex(pr, 0);
    G3Vertex* QR = result->AddVertex(qr, 0);
    G3Vertex* triangles[4][3] = {{P, PQ, PR}, {PQ, QR, PR}, {QR, R, PR}, {PQ, Q, QR}};
    for (auto& t : triangles)
        result->AddFacet(3, t, 1, nullptr, nullptr);
}

// A poly-edge from every vertex along its normal (-fx, -fy, 1).
void AddNormalPolyEdges(G3Surface* result, G3Surface* s, const SlopeTable& slopes)
{
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        auto it = slopes.find(v);
        if (it == slopes.end())
            continue;
        const double tip[3] = {v->GetX() - it->second.fx, v->GetY() - it->second.fy, v->GetZ() + 1};
        G3Vertex* ends[2] = {result->AddVertex(v->GetXYZ(), 0), result->AddVertex(tip, 0)};
        result->AddPolyEdge(2, ends);
    }
}

// The height at (x, y) of the tangent plane at v.
double TangentHeight(const SlopeTable& slopes, G3Vertex* v, double x, double y)
{
    return v->GetZ() + Rise(SlopeOf(slopes, v), x - v->GetX(), y - v->GetY());
}
} // namespace

G3Surface* G3LandscapeHandler::SmoothSurface(G3Surface* s)
{
    if (!s)
        return nullptr;
    const SlopeTable slopes = terrain::VertexSlopes(s);
    auto* result = new G3Surface(4 * s->GetVertexCount() + 3, 1);
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        const std::vector<G3Vertex*> corners = terrain::FacetTriangles(s->GetFacet(k));
        for (std::size_t t = 0; t + 2 < corners.size(); t += 3)
            SplitInFour(result, slopes, corners[t], corners[t + 1], corners[t + 2]);
    }
    result->RemoveEqualsVertex();
    result->RemoveNonManifoldEdges();
    result->AverageNormalsByPlanes();
    AddNormalPolyEdges(result, s, slopes);
    return result;
}

G3Surface* G3LandscapeHandler::SmoothSurfaceEx(G3Surface* s)
{
    if (!s)
        return nullptr;
    const SlopeTable slopes = terrain::VertexSlopes(s);
    G3TriInterface tri;
    terrain::PlanRetriangulation plan(tri, s);
    for (int k = 0; k < s->GetVertexCount(); ++k)
        plan.AddTerrainVertex(s->GetVertex(k), nullptr);
    for (G3Edge* e : terrain::BorderEdges(s))
        plan.AddBorder(e, nullptr);
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        const std::vector<G3Vertex*> corners = terrain::FacetTriangles(s->GetFacet(k));
        for (std::size_t t = 0; t + 2 < corners.size(); t += 3) {
            double centre[3] = {0, 0, 0};
            for (int c = 0; c < 3; ++c) {
                centre[0] += corners[t + c]->GetX() / 3;
                centre[1] += corners[t + c]->GetY() / 3;
            }
            for (int c = 0; c < 3; ++c)
                centre[2] += TangentHeight(slopes, corners[t + c], centre[0], centre[1]) / 3;
            centre[2] = std::max(centre[2], 0.0);
            plan.Add(centre, nullptr);
        }
    }
    if (!plan.Triangulate())
        return nullptr;
    G3Surface* result = plan.Surface();
    result->RemoveEqualsVertex();
    result->AverageNormalsByPlanes();
    return result;
}
