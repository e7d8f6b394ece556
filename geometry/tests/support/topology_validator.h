#pragma once
// Checks of the intrusive topology of a body, for tests. Each check walks
// the links with a step limit, so a corrupt body gives a message instead
// of a hang.

#include <string>

class G3Surface;
class G3EdgeList;

// Empty when the body is sound:
// - every edge has two distinct vertices and lies in both of its vertices'
//   rings exactly once; every ring is finite, names only edges of the body
//   that touch its vertex, and ends at the vertex's last edge;
// - every facet's edge list is finite, ends at its last edge, holds only
//   edges that name the facet, and is chained by shared vertices into
//   closed loops;
// - an edge has at most two facet sides, never the same facet on both, and
//   names only facets of the body that list it (exactly once).
std::string ValidateTopology(G3Surface* surface);

// V - E + F, where edges joining the same two vertices count once (the two
// edges of a bridge are one edge of the geometry).
int EulerCharacteristic(G3Surface* surface);

// Empty when the contour is one closed chain (each edge starts where the
// previous ends, the last ends where the first starts).
std::string ValidateChain(G3EdgeList* contour);
