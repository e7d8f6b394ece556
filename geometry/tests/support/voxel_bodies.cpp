#include "voxel_bodies.h"

#include <map>
#include <random>
#include <set>

#include "tessaly/surface.h"

namespace {
G3Vertex* VertexAt(G3Surface* s, std::map<VoxelCell, G3Vertex*>& vertices, const VoxelCell& p)
{
    auto found = vertices.find(p);
    if (found != vertices.end())
        return found->second;
    G3Vertex* v = s->AddVertex(p[0], p[1], p[2]);
    vertices[p] = v;
    return v;
}
} // namespace

G3Surface* MakeVoxelBody(const std::vector<VoxelCell>& cells)
{
    std::set<VoxelCell> filled(cells.begin(), cells.end());
    auto* s = new G3Surface(8 * static_cast<int>(cells.size()), 0);
    std::map<VoxelCell, G3Vertex*> vertices;
    for (const VoxelCell& c : filled) {
        for (int a = 0; a < 3; ++a) {
            int u = (a + 1) % 3, w = (a + 2) % 3;
            for (int side : {-1, 1}) {
                VoxelCell next = c;
                next[a] += side;
                if (filled.count(next))
                    continue;
                VoxelCell base = c;
                if (side > 0)
                    base[a] += 1;
                VoxelCell p1 = base, p2 = base, p3 = base;
                p1[u] += 1;
                p2[u] += 1;
                p2[w] += 1;
                p3[w] += 1;
                // Counterclockwise seen from outside: e_u x e_w = e_a.
                std::vector<VoxelCell> corners = {base, p1, p2, p3};
                if (side < 0)
                    corners = {base, p3, p2, p1};
                G3Vertex* v[4];
                for (int k = 0; k < 4; ++k)
                    v[k] = VertexAt(s, vertices, corners[static_cast<std::size_t>(k)]);
                s->AddFacet(4, v, 1, nullptr, nullptr);
            }
        }
    }
    return s;
}

std::vector<VoxelCell> RandomVoxelCells(int n, double p, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<VoxelCell> cells;
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            for (int z = 0; z < n; ++z)
                if (unit(random) < p)
                    cells.push_back({x, y, z});
    if (cells.empty())
        cells.push_back({0, 0, 0});
    return cells;
}

double DivergenceVolume(G3Surface* surface)
{
    double volume = 0.0;
    GArrayCollection loop, starts;
    for (int k = 0; k < surface->GetFacetCount(); ++k) {
        G3Facet* f = surface->GetFacet(k);
        f->GetLoops(&loop, &starts);
        std::vector<int> bounds;
        for (int i = 0; i < starts.size(); ++i)
            bounds.push_back(static_cast<int>(G3ElementToInt(starts.get(i))));
        bounds.push_back(loop.size());
        for (std::size_t b = 0; b + 1 < bounds.size(); ++b) {
            const double* o = static_cast<G3Vertex*>(loop.get(bounds[b]))->GetXYZ();
            for (int i = bounds[b] + 1; i + 1 < bounds[b + 1]; ++i) {
                const double* p = static_cast<G3Vertex*>(loop.get(i))->GetXYZ();
                const double* q = static_cast<G3Vertex*>(loop.get(i + 1))->GetXYZ();
                volume += (o[0] * (p[1] * q[2] - p[2] * q[1]) - o[1] * (p[0] * q[2] - p[2] * q[0]) +
                           o[2] * (p[0] * q[1] - p[1] * q[0])) /
                    6.0;
            }
        }
    }
    return volume;
}

G3Surface* MakeTriangleSoupCube()
{
    // The 8 corners and the 12 outward triangles of [0, 1]^3.
    const double corner[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                 {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const int triangles[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                                  {1, 2, 6}, {1, 6, 5}, {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7}};
    auto* s = new G3Surface(36, 0);
    for (const auto& t : triangles) {
        G3Vertex* v[3];
        for (int k = 0; k < 3; ++k)
            v[k] = s->AddVertex(corner[t[k]]);
        s->AddFacet(3, v, 1, nullptr, nullptr);
    }
    return s;
}
