#pragma once
// Keeping the triangles of a constrained triangulation that lie inside the
// loops of its segments.
#include "triangulation/mesh.h"

// Removes every triangle outside the segment loops by the even-odd rule: the
// triangles next to the hull are outside unless a segment lies on the hull
// edge, and crossing a segment switches between outside and inside. Returns
// the number of triangles removed.
int RemoveTrianglesOutsideSegments(G3TMesh* mesh);
