#pragma once
// Local changes of a triangulated mesh: edge flips, splitting an edge at a
// new vertex, and restoring the (constrained) Delaunay property by flips.
// Every change keeps neighbours, side segments, the segments' triangles and
// the vertices' handles consistent.

#include <utility>
#include <vector>

#include "triangulation/mesh.h"

class G3TMeshTransformer {
public:
    using Edge = std::pair<G3TVertex*, G3TVertex*>;

    explicit G3TMeshTransformer(G3TMesh* mesh);
    virtual ~G3TMeshTransformer();
    G3TMeshTransformer(const G3TMeshTransformer&) = delete;
    G3TMeshTransformer& operator=(const G3TMeshTransformer&) = delete;

    // Exchanges the edge of h for the other diagonal of its quadrilateral.
    // Returns the new edge, running from the apex across h to h's apex; an
    // empty handle (null triangle) when the edge is on the hull, carries a
    // segment, or its quadrilateral is not strictly convex.
    virtual G3TOTri Flip(const G3TOTri& h);

    // Splits the interior edge of h at (x, y), which must lie strictly
    // inside the quadrilateral of the edge's two triangles, into four
    // triangles; a segment on the edge is split in two. Then restores the
    // Delaunay property around the new vertex (never across a segment).
    // Returns the new vertex, or null (nothing changed) for a hull edge or
    // a point that would make a triangle degenerate.
    virtual G3TVertex* SplitEdge(const G3TOTri& h, double x, double y, double height);

    // A handle on the edge between u and v (origin u when such a triangle
    // exists, else origin v). False when u and v are not joined by an edge.
    bool FindEdge(G3TVertex* u, G3TVertex* v, G3TOTri* out) const;

    // True when the edge of h is a hull edge, carries a segment, or the apex
    // across it is not strictly inside the circle of h's triangle.
    bool IsLocallyDelaunay(const G3TOTri& h) const;

    // Restores the constrained Delaunay property after local changes: the
    // listed edges, the sides of their triangles and every edge next to a
    // flip are flipped until locally Delaunay; edges carrying segments are
    // never flipped.
    void RestoreDelaunay(std::vector<Edge>& edges);

    // Number of flips done by this transformer.
    long GetFlipCount() const { return m_FlipCount; }

private:
    // The steps of SplitEdge: splitting the segment on the split edge at the
    // new vertex n (the segment keeps its first end, a new one continues
    // from n; the new one is returned), and the flips that restore the
    // Delaunay property around n, starting from the edges opposite it.
    G3TSegment* SplitSegment(G3TSegment* segment, G3TVertex* n);
    void FlipAround(std::vector<G3TOTri> opposite);

    G3TMesh* m_Mesh;
    long m_FlipCount = 0;
};
