#pragma once
// Delaunay triangulation of the mesh's vertices by divide and conquer with
// alternating cuts (vertical, then horizontal, ...). The halves are joined
// by the classic merge of two Delaunay triangulations (lower common tangent,
// then zipping upwards with in-circle tests), here on triangles: the hull of
// each partial triangulation is ringed by ghost triangles (one corner null),
// which the merge turns into real triangles or recycles. At the end the
// remaining ghosts are removed and every vertex gets a valid handle.
//
// Vertices closer than 1e-8 in both coordinates to the previous distinct
// vertex of the sorted order count as one: the first in (x, y, index) order
// survives and the others record it as their survivor.

#include <initializer_list>
#include <vector>

#include "core/tolerances.h"
#include "triangulation/mesh.h"

class G3TTriangulator {
public:
    explicit G3TTriangulator(G3TMesh* mesh);
    virtual ~G3TTriangulator();
    G3TTriangulator(const G3TTriangulator&) = delete;
    G3TTriangulator& operator=(const G3TTriangulator&) = delete;

    // Triangulates the mesh once. False when the mesh is null, was already
    // triangulated or has triangles, or when no real triangle results (fewer
    // than three distinct points, or all of them collinear).
    virtual bool Triangulate();

    // Same-point test of the engine: both coordinates within 1e-8.
    static bool SamePoint(const G3TVertex* a, const G3TVertex* b);
    static bool SameCoordinates(double ax, double ay, double bx, double by);
    static constexpr double kTolerance = tessaly::kTriangulationSamePoint;

    // An entry of the working array: a vertex with its coordinates at hand.
    struct Item {
        double x;
        double y;
        G3TVertex* v;
    };

private:
    // Hull handles (see the ghost ring in the source) at the least and the
    // greatest vertex of a partial triangulation in each cut order.
    struct Hull {
        G3TOTri lo[2];
        G3TOTri hi[2];
    };

    // The vertices are reached through pointers, in the caller's order, not
    // the recursion's. Once a range is at most two of this many items, all
    // its vertices are asked for at once, so that their cache misses
    // overlap instead of stalling the base cases one by one.
    static constexpr int kPrefetchSpan = 32;

    Hull Recurse(int lo, int hi, int axis);
    void PrefetchVertices(int lo, int hi) const;
    Hull Merge(const Hull& left, const Hull& right, int axis);
    Hull Extremes(G3TOTri ring);
    Hull BaseHull(std::initializer_list<G3TVertex*> vertices, std::initializer_list<G3TOTri> handles);
    G3TOTri NewTriangle(G3TVertex* a, G3TVertex* b, G3TVertex* c);
    void RemoveGhosts(G3TOTri ring);
    void ResetVertexHandles();

    G3TMesh* m_Mesh;
    std::vector<Item> m_Items;
};
