#pragma once
// Helpers shared by the terrain operations.

#include <functional>
#include <vector>

#include "tessaly/surface.h"

namespace terrain {

// Edges with fewer than two facets whose two vertices are joined by an odd
// number of facet sides: the open border of a terrain.
std::vector<G3Edge*> BorderEdges(G3Surface* s);

// The open border's closed loops of vertices: border edges chained at
// shared vertices; every edge is used once. A chain that does not close is
// dropped.
std::vector<std::vector<G3Vertex*>> BorderLoops(const std::vector<G3Edge*>& border);

// Shoelace area of a vertex loop in plan (positive counter-clockwise).
double SignedPlanArea(const std::vector<G3Vertex*>& loop);

// Crossing parity of (x, y) against a vertex loop in plan.
bool PointInLoop(const std::vector<G3Vertex*>& loop, double x, double y);

// The triangles of a facet as vertex triples: the facet itself when it is
// a triangle, its tessellation otherwise, a fan from its first vertex when
// the tessellation fails. Empty for fewer than three vertices.
std::vector<G3Vertex*> FacetTriangles(G3Facet* f);

// Area of a facet's projection on the x-y plane (unsigned, holes taken
// off through the tessellation).
double FacetPlanArea(G3Facet* f);

// Turns every facet whose plane faces down over, so that a height field
// faces up throughout (vertical facets stay). Plane equations are formed.
void FaceUp(G3Surface* s);

// One second-order smoothing pass of s (SecondOrderSmoothSurface, mode 3
// or 4). release, when set, is called once s is read in full, before the
// triangulation: a caller that owns s frees it there, so the input and the
// result of a pass are not held at once. It is not called when s is null.
G3Surface* SecondOrderPass(G3Surface* s, int mode, const std::function<void()>& release);

// A point of the terrain's bounding box, used as the local origin of
// planar work so that survey coordinates keep their precision.
void LocalOrigin(G3Surface* s, double* origin);

} // namespace terrain
