// Terrains and measures for the terrain tests.
#include "terrain_test_support.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace terrain_test {

G3Surface* MakeGrid(int nx, int ny, double cell, const HeightFunction& height, const CellFilter& keep, double x0,
                    double y0)
{
    auto* s = new G3Surface((nx + 1) * (ny + 1), 1);
    std::vector<G3Vertex*> v((nx + 1) * (ny + 1));
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) {
            const double x = x0 + i * cell, y = y0 + j * cell;
            v[j * (nx + 1) + i] = s->AddVertex(x, y, height(x, y), 0);
        }
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            if (keep && !keep(i, j))
                continue;
            G3Vertex* a = v[j * (nx + 1) + i];
            G3Vertex* b = v[j * (nx + 1) + i + 1];
            G3Vertex* c = v[(j + 1) * (nx + 1) + i + 1];
            G3Vertex* d = v[(j + 1) * (nx + 1) + i];
            G3Vertex* t1[3] = {a, b, c};
            G3Vertex* t2[3] = {a, c, d};
            s->AddFacet(3, t1, 1, nullptr, nullptr);
            s->AddFacet(3, t2, 1, nullptr, nullptr);
        }
    s->RemoveUnused();
    s->FormPlaneEquation();
    return s;
}

G3Surface* MakeQuadGrid(int nx, int ny, double cell, const HeightFunction& height, double x0, double y0)
{
    auto* s = new G3Surface((nx + 1) * (ny + 1), 1);
    std::vector<G3Vertex*> v((nx + 1) * (ny + 1));
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) {
            const double x = x0 + i * cell, y = y0 + j * cell;
            v[j * (nx + 1) + i] = s->AddVertex(x, y, height(x, y), 0);
        }
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            G3Vertex* q[4] = {v[j * (nx + 1) + i], v[j * (nx + 1) + i + 1], v[(j + 1) * (nx + 1) + i + 1],
                              v[(j + 1) * (nx + 1) + i]};
            s->AddFacet(4, q, 1, nullptr, nullptr);
        }
    s->FormPlaneEquation();
    return s;
}

GArrayCollection* MakeOutline(const std::vector<std::array<double, 3>>& points)
{
    auto* outline = new GArrayCollection;
    for (const auto& p : points)
        outline->add(new G3Point(p[0], p[1], p[2], 0));
    outline->add(new G3Point(points.front()[0], points.front()[1], points.front()[2], 0));
    return outline;
}

void FreeOutline(GArrayCollection* outline)
{
    outline->clear(true);
    delete outline;
}

bool StoreRegion(G3LandscapeHandler& handler, const std::vector<std::array<double, 3>>& points)
{
    handler.StartContour();
    for (const auto& p : points)
        handler.AddContourVertex(p[0], p[1], p[2]);
    return handler.EndContour();
}

namespace {
std::vector<G3Vertex*> Corners(G3Facet* f)
{
    std::vector<G3Vertex*> out;
    GArrayCollection triangles;
    GArrayCollection vertices;
    f->GetVertices(&vertices);
    if (vertices.size() == 3) {
        for (int k = 0; k < 3; ++k)
            out.push_back(static_cast<G3Vertex*>(vertices.get(k)));
        return out;
    }
    if (f->Tessellate(&triangles))
        for (int k = 0; k < triangles.size(); ++k)
            out.push_back(static_cast<G3Vertex*>(triangles.get(k)));
    return out;
}

// Coordinates compared after translation are snapped to a micrometre grid,
// so that rounding noise does not change their order.
double Snap(double value)
{
    constexpr double kStep = 1e-5;
    return std::round(value / kStep) * kStep;
}

double Cross(const double* a, const double* b, double x, double y)
{
    return (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0]);
}
} // namespace

double PlanArea(G3Surface* s)
{
    double area = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        const std::vector<G3Vertex*> c = Corners(s->GetFacet(k));
        for (std::size_t t = 0; t + 2 < c.size(); t += 3)
            area += std::fabs(Cross(c[t]->GetXYZ(), c[t + 1]->GetXYZ(), c[t + 2]->GetX(), c[t + 2]->GetY())) / 2;
    }
    return area;
}

int Coverage(G3Surface* s, double x, double y)
{
    int covered = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        const std::vector<G3Vertex*> c = Corners(s->GetFacet(k));
        for (std::size_t t = 0; t + 2 < c.size(); t += 3) {
            const double d1 = Cross(c[t]->GetXYZ(), c[t + 1]->GetXYZ(), x, y);
            const double d2 = Cross(c[t + 1]->GetXYZ(), c[t + 2]->GetXYZ(), x, y);
            const double d3 = Cross(c[t + 2]->GetXYZ(), c[t]->GetXYZ(), x, y);
            if ((d1 > 0 && d2 > 0 && d3 > 0) || (d1 < 0 && d2 < 0 && d3 < 0))
                ++covered;
        }
    }
    return covered;
}

double MaxPlaneDeviation(G3Surface* s, const HeightFunction& plane)
{
    double worst = 0;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        if (v->HasEdges())
            worst = std::max(worst, std::fabs(v->GetZ() - plane(v->GetX(), v->GetY())));
    }
    return worst;
}

bool AllFinite(G3Surface* s)
{
    for (int k = 0; k < s->GetVertexCount(); ++k)
        for (int a = 0; a < 3; ++a)
            if (!std::isfinite(s->GetVertex(k)->GetXYZ(a)))
                return false;
    return true;
}

double BorderLength(G3Surface* s)
{
    double length = 0;
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        // A bridge of a facet with holes is two one-sided edges between the
        // same vertices: no border. Only an odd number of sides is open.
        if ((!e->GetFacet1() || !e->GetFacet2()) && e->GetVertex1()->GetEdgeCount(e->GetVertex2()) % 2 != 0)
            length += e->GetSize(0, 1);
    }
    return length;
}

void Translate(G3Surface* s, double dx, double dy)
{
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        v->Set(v->GetX() + dx, v->GetY() + dy, v->GetZ());
    }
    s->FormPlaneEquation();
}

std::vector<std::array<double, 3>> SortedPositions(G3Surface* s, double dx, double dy)
{
    std::vector<std::array<double, 3>> out;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        if (v->HasEdges())
            out.push_back({Snap(v->GetX() - dx), Snap(v->GetY() - dy), Snap(v->GetZ())});
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace terrain_test
