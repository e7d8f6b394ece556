#pragma once
// The walk that takes one closed contour out of a planar graph of edges in
// their vertices' rings: from a start edge, at every vertex the walk turns
// onto the edge next to the arriving one clockwise in the projection, so
// that each traced loop bounds one face. Shared by the contour graph of the
// self-intersection pipeline and by contour extraction from a surface.

#include <vector>

class G3Edge;
class G3Vertex;

namespace contour_walk {

// Walks from start (leaving `from`) until the walk returns to start or
// closes on itself, at most maxSteps edges. path receives the loop's edges
// and starts the vertex each one is left from. True when a loop closed.
// The edges' Mark and Mark2 flags are used during the walk and cleared.
bool Walk(G3Edge* start, G3Vertex* from, int a1, int a2, int maxSteps, std::vector<G3Edge*>* path,
          std::vector<G3Vertex*>* starts);

} // namespace contour_walk
