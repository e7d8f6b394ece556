// Helpers shared by the terrain operations.
#include "terrain/terrain_internal.h"

#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace terrain {

std::vector<G3Edge*> BorderEdges(G3Surface* s)
{
    std::vector<G3Edge*> border;
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        // Two one-sided edges between the same vertices (twins not joined
        // yet, or the bridge of a facet with holes) are no border.
        if ((!e->GetFacet1() || !e->GetFacet2()) && e->GetVertex1()->GetEdgeCount(e->GetVertex2()) % 2 != 0)
            border.push_back(e);
    }
    return border;
}

std::vector<std::vector<G3Vertex*>> BorderLoops(const std::vector<G3Edge*>& border)
{
    std::unordered_multimap<G3Vertex*, G3Edge*> at;
    for (G3Edge* e : border) {
        at.emplace(e->GetVertex1(), e);
        at.emplace(e->GetVertex2(), e);
    }
    std::unordered_set<G3Edge*> used;
    std::vector<std::vector<G3Vertex*>> loops;
    for (G3Edge* first : border) {
        if (!used.insert(first).second)
            continue;
        std::vector<G3Vertex*> loop{first->GetVertex1()};
        G3Vertex* end = first->GetVertex2();
        while (end != loop.front()) {
            loop.push_back(end);
            G3Edge* next = nullptr;
            auto range = at.equal_range(end);
            for (auto it = range.first; it != range.second && !next; ++it)
                if (!used.count(it->second))
                    next = it->second;
            if (!next)
                break;
            used.insert(next);
            end = next->GetOtherVertex(end);
        }
        if (end == loop.front() && loop.size() >= 3)
            loops.push_back(std::move(loop));
    }
    return loops;
}

double SignedPlanArea(const std::vector<G3Vertex*>& loop)
{
    if (loop.empty())
        return 0;
    const double* o = loop.front()->GetXYZ();
    double twice = 0;
    for (std::size_t k = 0; k < loop.size(); ++k) {
        const double* a = loop[k]->GetXYZ();
        const double* b = loop[(k + 1) % loop.size()]->GetXYZ();
        twice += (a[0] - o[0]) * (b[1] - o[1]) - (b[0] - o[0]) * (a[1] - o[1]);
    }
    return twice / 2;
}

bool PointInLoop(const std::vector<G3Vertex*>& loop, double x, double y)
{
    bool inside = false;
    for (std::size_t k = 0; k < loop.size(); ++k) {
        const double* a = loop[k]->GetXYZ();
        const double* b = loop[(k + 1) % loop.size()]->GetXYZ();
        if ((a[1] > y) == (b[1] > y))
            continue;
        const double xSide = a[0] + (b[0] - a[0]) * (y - a[1]) / (b[1] - a[1]);
        if (x < xSide)
            inside = !inside;
    }
    return inside;
}

std::vector<G3Vertex*> FacetTriangles(G3Facet* f)
{
    std::vector<G3Vertex*> corners;
    GArrayCollection vertices;
    f->GetVertices(&vertices);
    const int n = vertices.size();
    if (n < 3)
        return corners;
    auto vertex = [&vertices](int k) { return static_cast<G3Vertex*>(vertices.get(k)); };
    if (n == 3)
        return {vertex(0), vertex(1), vertex(2)};
    GArrayCollection triangles;
    if (f->Tessellate(&triangles)) {
        for (int k = 0; k < triangles.size(); ++k)
            corners.push_back(static_cast<G3Vertex*>(triangles.get(k)));
        return corners;
    }
    for (int k = 1; k + 1 < n; ++k)
        corners.insert(corners.end(), {vertex(0), vertex(k), vertex(k + 1)});
    return corners;
}

double FacetPlanArea(G3Facet* f)
{
    const std::vector<G3Vertex*> corners = FacetTriangles(f);
    double area = 0;
    for (std::size_t k = 0; k + 2 < corners.size(); k += 3) {
        const double* a = corners[k]->GetXYZ();
        const double* b = corners[k + 1]->GetXYZ();
        const double* c = corners[k + 2]->GetXYZ();
        area += std::fabs((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1])) / 2;
    }
    return area;
}

void FaceUp(G3Surface* s)
{
    s->FormPlaneEquation();
    for (int k = 0; k < s->GetFacetCount(); ++k)
        if (s->GetFacet(k)->GetPlaneC() < 0)
            s->GetFacet(k)->NegPlane();
}

void LocalOrigin(G3Surface* s, double* origin)
{
    origin[0] = origin[1] = origin[2] = 0;
    if (s->GetVertexCount() > 0) {
        origin[0] = s->GetVertex(0)->GetX();
        origin[1] = s->GetVertex(0)->GetY();
    }
}

} // namespace terrain
