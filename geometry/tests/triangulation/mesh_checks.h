#pragma once
// Independent checks of triangulated meshes for the engine's tests: the
// structure (corners, neighbours, segments, vertex handles), exact
// counterclockwise triangles, constrained local Delaunay edges, the triangle
// count and area against the convex hull, and constraints as edge chains.

#include <array>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "triangulation/mesh.h"

namespace g3t_test {

struct Pt {
    double x;
    double y;
};

// A mesh filled with the points in order (vertex i = point i).
struct Filled {
    G3TMesh mesh;
    std::vector<G3TVertex*> v;
    explicit Filled(const std::vector<Pt>& points);
};

// First problem found in the structure, or "" when the mesh is sound:
// corners present and strictly counterclockwise (exact), neighbour links
// symmetric and matching, side segments matching on both sides and with
// their segment's ends and triangles, and every triangulated vertex's
// handle starting at it.
std::string CheckStructure(G3TMesh& mesh);

// Number of interior edges without a segment that fail the exact in-circle
// test (the constrained Delaunay property).
int CountNonDelaunayEdges(G3TMesh& mesh);

// The distinct vertices in triangles (those that are no dropped duplicate).
std::vector<G3TVertex*> DistinctVertices(G3TMesh& mesh);

// Convex hull by exact orientation (monotone chain), corners only,
// counterclockwise.
std::vector<Pt> ConvexHull(std::vector<Pt> points);
// Points lying on the hull's boundary (corners and points on its edges).
int CountOnHull(const std::vector<Pt>& points, const std::vector<Pt>& hull);
// Twice the area, summed relative to the first point (long double).
long double TwiceHullArea(const std::vector<Pt>& hull);
long double TwiceTriangleArea(G3TMesh& mesh);

// Checks count (2n - h - 2), hull-edge count and area against the hull of
// the mesh's distinct vertices; "" when all agree.
std::string CheckAgainstHull(G3TMesh& mesh);

// True when the triangle edges (with requireSegments, only those carrying
// a segment) contain a path from a to b whose vertices lie on the segment
// a-b (within relTol of its length, for vertices made at crossings) in
// increasing order along it; *path receives it.
bool HasEdgeChain(G3TMesh& mesh, G3TVertex* a, G3TVertex* b, std::vector<G3TVertex*>* path = nullptr,
                  double relTol = 1e-9, bool requireSegments = false);

// Triangles keyed by creation index, each rotated to start at its smallest
// index (orientation kept), in list order.
std::vector<std::array<int, 3>> TrianglesByIndex(G3TMesh& mesh);
std::set<std::array<int, 3>> TriangleSet(G3TMesh& mesh);

// Seeded point sets.
std::vector<Pt> UniformPoints(int n, unsigned seed, double scale = 1.0);
std::vector<Pt> Lattice(int nx, int ny, double spacing, double offset = 0.0);

} // namespace g3t_test
