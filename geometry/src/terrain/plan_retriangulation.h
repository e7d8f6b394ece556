#pragma once
// The points of a terrain triangulated again in plan, inside the terrain's
// plan outline: the border edges go in as constraints and the triangles
// outside their loops are dropped, so concavities and holes stay open.
// Coordinates go in relative to a local origin, so survey coordinates keep
// their precision in the engine.

#include <unordered_map>

#include "tessaly/terrain.h"

namespace terrain {

class PlanRetriangulation {
public:
    PlanRetriangulation(G3TriInterface& tri, G3Surface* terrain);

    // A point with the caller's data attached to its triangulation vertex.
    G3TVertex* Add(const double* p, GObj* data);
    // A vertex of the terrain; it is remembered for AddBorder.
    G3TVertex* AddTerrainVertex(G3Vertex* v, GObj* data);
    // A border edge of the terrain between two added terrain vertices, as
    // one constraint or, with a point on it, as two. An edge without plan
    // length adds nothing.
    void AddBorder(G3Edge* e, G3TVertex* onEdge);
    // Triangulates; inside the border loops when there are any.
    bool Triangulate();
    // The triangles as a new surface at model coordinates.
    G3Surface* Surface();

private:
    G3TriInterface& m_Tri;
    double m_Origin[3];
    bool m_HasBorder = false;
    std::unordered_map<G3Vertex*, G3TVertex*> m_Terrain;
};

} // namespace terrain
