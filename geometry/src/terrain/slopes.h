#pragma once
// Slopes of a terrain at its vertices, from the facets around each vertex.
// They are kept in side tables: the vertices' extended-data slots belong to
// the host and are never written here.

#include <unordered_map>
#include <vector>

#include "tessaly/terrain.h"

namespace terrain {

// Height gradient (dz/dx, dz/dy) at a vertex.
struct Slope {
    double fx = 0;
    double fy = 0;
};

// The sum of the upward unit plane normals of the distinct facets around v;
// false when v has no facet.
bool NormalSum(G3Vertex* v, double* sum);

// The gradient of the mean tangent plane: -S.x / S.z and -S.y / S.z of the
// normal sum S; 0 and 0 when |S.z| is below the zero divisor (vertical or
// cancelling facets). False when v has no facet.
bool VertexSlope(G3Vertex* v, Slope& slope);

// The slopes of every vertex that has a facet. Plane equations of s are
// formed first.
std::unordered_map<G3Vertex*, Slope> VertexSlopes(G3Surface* s);

// At least two of v's edges lack a facet on one side.
bool IsBorderVertex(G3Vertex* v);

// The slope records of every vertex of s: a record found in the vertex's
// slot (from an earlier second-order pass) or a zero one, with the slopes
// set from the facets unless v is a border vertex whose record already has
// a slope.
std::unordered_map<G3Vertex*, G3Derivative> SlopeRecords(G3Surface* s);

// The value-by-value mean of records.
G3Derivative MeanRecord(const std::vector<const G3Derivative*>& records);

} // namespace terrain
