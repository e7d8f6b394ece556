#pragma once
// Editing an existing surface:
// - G3ShellTransformationProvider and its snapshot classes carry the
//   reversible transformation run of G3Shell (OpenTransformation,
//   Transformation, CloseTransformation);
// - G3SurfaceEdit checks a surface (a bit-coded report), splits an edge at
//   given pieces, cuts a polygonal hole into a facet, inserts an extruded
//   polygon (pocket or boss), removes a facet lying on another one, and
//   lists the edge stretches two surfaces share;
// - G3FacetProvider caches an envelope and an index per facet for the
//   crossing check.

#include <unordered_map>

#include "tessaly/surface.h"

class G3IntervalList;

// The coordinates of a vertex when the run opened.
class TESSALY_API G3TransformationVertex : public G3Vertex {
public:
    explicit G3TransformationVertex(const G3Vertex* v) : G3Vertex(v->GetXYZ()) {}
};

// The direction of a normal when the run opened.
class TESSALY_API G3TransformationNormal : public G3Normal {
public:
    explicit G3TransformationNormal(const G3Normal* n) : G3Normal(n->GetXYZ()) {}
};

// The plane (a, b, c, d) of a facet when the run opened.
class TESSALY_API G3TransformationFacet : public GObj {
public:
    explicit G3TransformationFacet(const G3Facet* f);
    const double* GetPlane() const { return m_Plane; }

private:
    double m_Plane[4];
};

// Keeps the snapshots of one run, allocated from its own arena. "Open"
// snapshots an element (also one that joins the shell during the run);
// "Close" writes its geometry back and drops the snapshot. Snapshots are
// kept by the provider, not in the elements' free data slot, which the
// repair steps use for their own ends.
class TESSALY_API G3ShellTransformationProvider : public G3ShellExDataProvider {
public:
    G3ShellTransformationProvider(bool facets, bool normals);
    ~G3ShellTransformationProvider() override;
    G3ShellTransformationProvider(const G3ShellTransformationProvider&) = delete;
    G3ShellTransformationProvider& operator=(const G3ShellTransformationProvider&) = delete;

    void OpenExDataVertex(G3Vertex* v) override;
    void CloseExDataVertex(G3Vertex* v) override;
    void OpenExDataNormal(G3Normal* n) override;
    void CloseExDataNormal(G3Normal* n) override;
    void OpenExDataFacet(G3Facet* f) override;
    void CloseExDataFacet(G3Facet* f) override;
    bool IsExDataVertex() override;
    bool IsExDataNormal() override;
    bool IsExDataFacet() override;

    // The element's snapshot, or null.
    const G3TransformationVertex* GetSnapshot(const G3Vertex* v) const;
    const G3TransformationNormal* GetSnapshot(const G3Normal* n) const;
    const G3TransformationFacet* GetSnapshot(const G3Facet* f) const;

private:
    GMemoryAllocator m_Arena;
    bool m_Facets;
    bool m_Normals;
    std::unordered_map<const G3Vertex*, G3TransformationVertex*> m_Vertices;
    std::unordered_map<const G3Normal*, G3TransformationNormal*> m_NormalSnapshots;
    std::unordered_map<const G3Facet*, G3TransformationFacet*> m_FacetSnapshots;
};

// Stores an envelope and an index in a facet, through the facet's data slot
// for this provider (registered once with G3Obj::AddProvider).
class TESSALY_API G3FacetProvider : public G3ExDataProvider {
public:
    // The registered provider.
    static G3FacetProvider* GetProvider();
    void FreeExData(void* data) override;

    void SetEnvelope(const GEnvelope& box) { m_Envelope = box; }
    const GEnvelope& GetEnvelope() const { return m_Envelope; }
    void SetIndex(int index) { m_Index = index; }
    int GetIndex() const { return m_Index; }
    // Stores the current envelope and index in f (a record made on first
    // use).
    void Write(G3Facet* f);
    // Loads them from f: an empty envelope and 0 when f has none.
    void Read(G3Facet* f);
    // Takes f's record away.
    void Remove(G3Facet* f);

private:
    GEnvelope m_Envelope;
    int m_Index = 0;
};

// Report bits of the checks (the mask uses the same bits).
enum G3SURFACE_CHECK {
    G3CHECK_CROSSING_FACETS = 1, // two facets cross each other
    G3CHECK_SHORT_EDGE = 4,      // an edge shorter than the length tolerance
    G3CHECK_SELF_CROSSING = 8,   // a facet's contour crosses itself
    G3CHECK_SHORT_CONTOUR = 16,  // a facet's contour has fewer than 3 edges
    G3CHECK_ALL = 1 | 4 | 8 | 16
};

class TESSALY_API G3SurfaceEdit : public GObj {
public:
    explicit G3SurfaceEdit(G3Surface* s) : m_Surface(s) {}
    G3Surface* GetSurface() const { return m_Surface; }

    // report = 0, then both checks; true when both pass. Without facets:
    // false with report 0.
    bool CheckSurface(int mask, int& report);
    // Contour checks (bits 8 and 16, every loop of every facet, holes
    // included) and the short-edge check (bit 4) selected by mask; each
    // failure found sets its bit in report. False without facets (report
    // unchanged) or when any failure was found.
    bool CheckEdges(int mask, int& report);
    // The crossing check (bit 1) when mask selects it. False without facets
    // or when two facets cross (bit 1 set in report).
    bool CheckFacets(int mask, int& report);

    // Splits e at the pieces (on e's line, in any order; overlapping pieces
    // are joined): the stretches between pieces keep e's flags, the pieces
    // get the flag value 128, and both facets of e take the chain. An end
    // within the length tolerance of an edge end or of the previous end
    // reuses that vertex, so no edge has no length. False (nothing changed)
    // for a null argument, an edge of no length, or a piece off the edge.
    bool DivideEdge(G3Surface* s, G3Edge* e, G3IntervalList* pieces);
    // Cuts the polygon (G3Point objects, at least 3, in f's plane) into f as
    // a hole; the new facet keeps f's surface value, flags and extended
    // data, and f is removed. False (nothing changed) for a null argument or
    // fewer than 3 points.
    bool MakeHole(G3Facet* f, GArrayCollection* points);
    // Cuts the polygon into the first facet that holds all its points and
    // extrudes it by direction * depth (a pocket or a boss), then tidies the
    // surface. Returns the cap facet and appends the side facets that are
    // left after tidying to sideFacets (may be null); null when the polygon
    // has fewer than 3 points, the offset has no length, no facet holds the
    // polygon, or the cap did not survive.
    G3Facet* InsertFacet(GArrayCollection* points, G3Point* direction, double depth, GArrayCollection* sideFacets);
    // When f lies on another facet of the surface (in its plane, every
    // vertex of f inside it), cuts f's outline into that facet as a hole
    // and removes f. True when this happened.
    bool RemoveStuckTogetherFacets(G3Facet* f);
    // Lists the stretches where an edge of a (its vertices transformed by
    // ma) and an edge of b (by mb) lie on one line and overlap by more than
    // the length tolerance: one new G3Interval (the caller's) per stretch,
    // with the overlap's ends and the two edges as owners. Null matrices
    // mean the identity. True when any was found.
    bool FindCommonEdges(G3Surface* a, G3Surface* b, double (*ma)[4], double (*mb)[4], GArrayCollection* out);

    // The flag value of the edges that span a piece in DivideEdge.
    static constexpr long kPieceEdgeFlags = 128;

private:
    bool MakeHole(G3Facet* f, G3Vertex** hole, int count);
    G3Facet* FindFacetHolding(GArrayCollection* points);

    G3Surface* m_Surface;
};
