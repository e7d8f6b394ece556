#pragma once
// Orienting a sequence of edges into loops. A facet's edge list and a
// contour's edge array hold one or more closed loops one after the other;
// each edge is stored in either direction. The walk gives each edge the
// vertex it starts from within its loop.

#include <vector>

#include "tessaly/facet.h"

struct G3LoopEdge {
    G3Edge* edge;
    G3Vertex* start;
    G3Vertex* end;
    int loop;
};

// A loop continues while an edge touches the end of the previous one and
// the loop has not returned to its start; a loop's first edge starts at the
// end it does not share with the next edge.
void G3WalkLoops(G3Edge* const* edges, int count, std::vector<G3LoopEdge>& out);
void G3WalkFacet(const G3Facet* facet, std::vector<G3LoopEdge>& out);
// The edges of a facet in list order.
void G3FacetEdges(const G3Facet* facet, std::vector<G3Edge*>& out);
