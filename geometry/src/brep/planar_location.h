#pragma once
// Planar point location and inner points over a set of segments in the
// projection on two axes. The segments of a closed polygon (of several
// loops, holes included) are given one by one, so parity handles holes and
// no loop order is needed.

#include <vector>

class G3Vertex;

struct G3PlanarSegment {
    const double* a;
    const double* b;
    G3Vertex* va; // the vertices behind a and b, or null
    G3Vertex* vb;
};

enum G3PlanarLocation { G3_PLANAR_OUTSIDE = 0, G3_PLANAR_INSIDE = 1, G3_PLANAR_BOUNDARY = 2 };

// Position of p against the polygon; on the boundary, va/vb (may be null)
// receive the coinciding vertex (vb null) or the ends of the edge.
G3PlanarLocation G3LocatePoint(int i, int j, const double* p, const std::vector<G3PlanarSegment>& segments, double eps,
                               G3Vertex** va, G3Vertex** vb);

// A point strictly inside the polygon: on the line (along axis i) through
// the middle of each gap between distinct vertex heights (axis j), the
// inside spans are scored by their width capped at the gap height; the
// midpoint of the best. Sets out[i] and out[j] only. False when no score
// exceeds 1e-9.
bool G3InnerPoint(int i, int j, const std::vector<G3PlanarSegment>& segments, double* out);

// The third axis of the pair (i, j).
inline int G3ThirdAxis(int i, int j)
{
    return 3 - i - j;
}
