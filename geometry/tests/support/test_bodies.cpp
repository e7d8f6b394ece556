#include "test_bodies.h"

#include <cmath>
#include <limits>
#include <vector>

#include "tessaly/surface.h"

namespace {
void Face(G3Surface* s, std::vector<G3Vertex*> v, const G3BuildCheck& check)
{
    s->AddFacet(static_cast<int>(v.size()), v.data(), 1, nullptr, nullptr);
    if (check)
        check(s);
}
} // namespace

G3Surface* MakeTetrahedron(const G3BuildCheck& check)
{
    auto* s = new G3Surface(4, 0);
    G3Vertex* a = s->AddVertex(0, 0, 0);
    G3Vertex* b = s->AddVertex(1, 0, 0);
    G3Vertex* c = s->AddVertex(0, 1, 0);
    G3Vertex* d = s->AddVertex(0, 0, 1);
    Face(s, {a, c, b}, check);
    Face(s, {a, b, d}, check);
    Face(s, {b, c, d}, check);
    Face(s, {c, a, d}, check);
    return s;
}

G3Surface* MakeCube(double size, const G3BuildCheck& check)
{
    auto* s = new G3Surface(8, 0);
    G3Vertex* v[8];
    for (int k = 0; k < 8; ++k)
        v[k] = s->AddVertex(k & 1 ? size : 0, k & 2 ? size : 0, k & 4 ? size : 0);
    Face(s, {v[0], v[2], v[3], v[1]}, check); // z = 0, facing down
    Face(s, {v[4], v[5], v[7], v[6]}, check); // z = size, up
    Face(s, {v[0], v[1], v[5], v[4]}, check); // y = 0
    Face(s, {v[2], v[6], v[7], v[3]}, check); // y = size
    Face(s, {v[0], v[4], v[6], v[2]}, check); // x = 0
    Face(s, {v[1], v[3], v[7], v[5]}, check); // x = size
    return s;
}

G3Surface* MakeCubeWithBridgedHole(const G3BuildCheck& check)
{
    auto* s = new G3Surface(16, 0);
    G3Vertex* v[8];
    for (int k = 0; k < 8; ++k)
        v[k] = s->AddVertex(k & 1 ? 10 : 0, k & 2 ? 10 : 0, k & 4 ? 10 : 0);
    // Hole corners on the top (h) and the pocket's bottom (p), counter-
    // clockwise seen from above.
    G3Vertex *h[4], *p[4];
    const double corners[4][2] = {{3, 3}, {7, 3}, {7, 7}, {3, 7}};
    for (int k = 0; k < 4; ++k) {
        h[k] = s->AddVertex(corners[k][0], corners[k][1], 10);
        p[k] = s->AddVertex(corners[k][0], corners[k][1], 5);
    }
    Face(s, {v[0], v[2], v[3], v[1]}, check);
    Face(s, {v[0], v[1], v[5], v[4]}, check);
    Face(s, {v[2], v[6], v[7], v[3]}, check);
    Face(s, {v[0], v[4], v[6], v[2]}, check);
    Face(s, {v[1], v[3], v[7], v[5]}, check);
    // Top: outer loop counter-clockwise, bridge to h0, hole clockwise, back.
    Face(s, {v[4], v[5], v[7], v[6], v[4], h[0], h[3], h[2], h[1], h[0]}, check);
    // Pocket walls face into the pocket (outward for the body).
    for (int k = 0; k < 4; ++k)
        Face(s, {h[k], h[(k + 1) % 4], p[(k + 1) % 4], p[k]}, check);
    Face(s, {p[0], p[1], p[2], p[3]}, check);
    return s;
}

G3Surface* MakeSphere(int rings, int segments)
{
    auto* s = new G3Surface(rings * segments + 2, 0);
    G3Vertex* south = s->AddVertex(0, 0, -1);
    std::vector<G3Vertex*> grid;
    for (int r = 1; r <= rings; ++r) {
        double theta = M_PI * r / (rings + 1) - M_PI / 2;
        for (int k = 0; k < segments; ++k) {
            double phi = 2 * M_PI * k / segments;
            grid.push_back(
                s->AddVertex(std::cos(theta) * std::cos(phi), std::cos(theta) * std::sin(phi), std::sin(theta)));
        }
    }
    G3Vertex* north = s->AddVertex(0, 0, 1);
    auto at = [&](int r, int k) { return grid[static_cast<std::size_t>(r * segments + (k % segments))]; };
    for (int k = 0; k < segments; ++k) {
        G3Vertex* t[3] = {south, at(0, k + 1), at(0, k)};
        s->AddFacet(3, t, 1, nullptr, nullptr);
        G3Vertex* u[3] = {north, at(rings - 1, k), at(rings - 1, k + 1)};
        s->AddFacet(3, u, 1, nullptr, nullptr);
    }
    for (int r = 0; r + 1 < rings; ++r)
        for (int k = 0; k < segments; ++k) {
            G3Vertex* a[3] = {at(r, k), at(r, k + 1), at(r + 1, k + 1)};
            G3Vertex* b[3] = {at(r, k), at(r + 1, k + 1), at(r + 1, k)};
            s->AddFacet(3, a, 1, nullptr, nullptr);
            s->AddFacet(3, b, 1, nullptr, nullptr);
        }
    return s;
}

G3Surface* MakeCubeWithDegenerateFacets()
{
    G3Surface* s = MakeCube();
    G3Vertex* line[3] = {s->AddVertex(0, 0, 5), s->AddVertex(1, 0, 5), s->AddVertex(2, 0, 5)};
    s->AddFacet(3, line, 1, nullptr, nullptr);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    G3Vertex* bad[3] = {s->AddVertex(nan, 0, 0), s->AddVertex(3, 0, 0), s->AddVertex(3, 1, nan)};
    s->AddFacet(3, bad, 1, nullptr, nullptr);
    return s;
}
