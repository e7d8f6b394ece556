#pragma once
// Inserts constraint segments into a triangulated mesh, so that each one
// becomes a chain of triangle edges, and keeps the triangulation
// constrained Delaunay.
//
// A constraint from a to b is handled piece by piece, without recursion
// and without a depth limit:
// - scouting turns around the current end to the triangle whose angle
//   contains the direction to b; an edge along that direction becomes a
//   subsegment (the next piece starts at its far vertex);
// - otherwise the piece is forced in: the edges it crosses are collected by
//   a walk, which ends at b or at a vertex lying exactly on the segment;
//   they are flipped away (a flip whose quadrilateral is not strictly convex
//   waits for a later turn) until the piece is an edge, and the new edges
//   are then flipped back to the constrained Delaunay property;
// - a piece that crosses an existing constraint splits both at the crossing
//   point: a new vertex goes there (its height interpolated along the
//   existing constraint) and both constraints run through it. A crossing
//   within 1e-8 of an end of the existing edge uses that vertex instead; one
//   within 1e-8 of an end of the new piece leads the existing constraint
//   through that end.
//
// Duplicate vertices that the triangulation dropped stand for the vertex
// that survived them, so a constraint may end on either.

#include <memory>
#include <vector>

#include "triangulation/locator.h"
#include "triangulation/mesh_transformer.h"

class G3TSegmentInserter {
public:
    explicit G3TSegmentInserter(G3TMesh* mesh);
    virtual ~G3TSegmentInserter() = default;
    G3TSegmentInserter(const G3TSegmentInserter&) = delete;
    G3TSegmentInserter& operator=(const G3TSegmentInserter&) = delete;

    // Inserts the constraint from a to b; new subsegments get the mark.
    // True when it is present as a chain of edges afterwards. False, with
    // the mesh unchanged, for a null vertex, a vertex of another mesh, a
    // constraint of zero length (both ends the same vertex after duplicate
    // mapping), an end that is not a triangulated vertex, or a mesh
    // without triangles; false also if forcing fails, which exact
    // predicates rule out for valid meshes (pieces already inserted stay).
    virtual bool Insert(G3TVertex* a, G3TVertex* b, unsigned char mark = 0);

    G3TLocator* GetLocator() { return m_Locator.get(); }
    G3TMeshTransformer* GetTransformer() { return m_Transformer.get(); }

private:
    using Edge = G3TMeshTransformer::Edge;
    struct Piece {
        G3TVertex* from;
        G3TVertex* to;
        unsigned char mark;
        bool own; // part of the constraint being inserted
    };
    enum Scouted { kAlongEdge, kCrossing, kFailed };

    bool HandleAt(G3TVertex* v, G3TOTri* h);
    Scouted Scout(G3TVertex* e, G3TVertex* f, G3TOTri* h, G3TVertex** along);
    G3TSegment* AddSubsegment(const G3TOTri& h, G3TVertex* from, G3TVertex* to, const Piece& piece);
    bool ForcePiece(const Piece& piece, const G3TOTri& wedge, std::vector<Piece>& todo);
    bool ForceEdge(G3TVertex* e, G3TVertex* t, const std::vector<Edge>& crossed, const Piece& piece);
    bool SplitAtCrossing(const Piece& piece, const G3TOTri& crossed, std::vector<Piece>& todo);

    G3TMesh* m_Mesh;
    std::unique_ptr<G3TLocator> m_Locator;
    std::unique_ptr<G3TMeshTransformer> m_Transformer;
    G3TSegment* m_LastOwn = nullptr;
};
