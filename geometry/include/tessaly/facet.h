#pragma once
// Facets: planar faces of a surface. A facet keeps its plane equation and
// threads the list of its boundary edges through the edges themselves; the
// list may hold several closed loops (an outer boundary and holes) one
// after the other. A loop ends where its last edge returns to the vertex its
// first edge started from; the next edge starts a new loop.
//
// Point location and areas work per edge of that list, so holes are handled
// by parity: a point inside a hole is outside the facet.

#include <cstdint>

#include "tessaly/elements.h"

class G3EdgeList;
class G3IntervalList;
class G3Surface;

// An integer kept in a collection's element slot, and back. Integers go
// through intptr_t, never a direct cast.
inline GObj* G3IntToElement(std::intptr_t value)
{
    return reinterpret_cast<GObj*>(value);
}
inline std::intptr_t G3ElementToInt(const GObj* element)
{
    return reinterpret_cast<std::intptr_t>(element);
}

class TESSALY_API G3Facet : public G3Obj {
    TESSALY_POOLED_CLASS(G3Facet)

public:
    static constexpr long kDoubleSided = 1L << 0;

    G3Facet() = default;
    ~G3Facet() override;

    void print() override;
    // Copies the G3Obj part, first and last edge, surface value and plane
    // (not the parent).
    void Copy(GObj* source) override;
    // "G3Facet id=<id> edges=<n>" in a new array that the caller frees with
    // delete[].
    char* ToString() override;
    int GetObjectType() override;

    bool GetDoubleSided() const { return TestFlag(kDoubleSided); }
    void SetDoubleSided() { SetFlag(kDoubleSided); }
    void ClearDoubleSided() { ClearFlags(kDoubleSided); }

    // ---- The edge list -------------------------------------------------
    // Appends e, which must already name this facet as facet 1 or 2.
    void AddEdge(G3Edge* e);
    // Unlinks e and clears this facet's side of it; false if absent. The
    // edge stays in its vertices' rings.
    bool RemoveEdge(G3Edge* e);
    // Detaches every edge; an edge left without facets also leaves both of
    // its vertices' rings. The list becomes empty.
    void RemoveEdges();
    // Collapses edges whose ends map to one vertex (a vertex maps to the
    // vertex in its extended-data slot when that is set). True when fewer
    // than 3 edges remain: everything is then detached and the caller
    // should delete the facet.
    bool RemoveSmallEdges();
    // Puts newEdge in oldEdge's place, moving this facet's shading data to
    // it. False (nothing changed) when oldEdge is not in the list or
    // newEdge already names this facet on the side it would not take.
    bool ChangeEdges(G3Edge* oldEdge, G3Edge* newEdge);
    // Collapses e into v: ends of e become v in every edge of the facet
    // (moving between vertex rings); e itself leaves the list.
    void ChangeEdgeToVertex(G3Edge* e, G3Vertex* v);
    // Replaces e by a chain of n edges joining e's two vertices, given from
    // either end (each chain edge must already name this facet as facet 1 or
    // 2). The chain goes into the list in the facet's turning direction, so
    // the loop stays chained. False when e is not in the list, n < 1 or the
    // chain does not join e's ends.
    bool DivideEdge(G3Edge* e, int n, G3Edge** chain);
    // Reverses the order of the list.
    void RotateEdges();
    // Turns the facet over: RotateEdges and negation of the plane.
    void NegPlane();

    G3Edge* GetFirstEdge() const { return m_FirstEdge; }
    G3Edge* GetLastEdge() const { return m_LastEdge; }
    // The edge after e in this facet's list (null after the last).
    G3Edge* GetNextEdge(const G3Edge* e) const { return e->GetFacetNext(this); }
    int GetEdgeCount() const;
    int GetVertexCount() const { return GetEdgeCount(); }
    bool HasEdges() const { return m_FirstEdge != nullptr; }
    bool ContainsVertex(G3Vertex* v);
    // Both vertices occur in the facet's vertex sequence (not necessarily
    // next to each other).
    bool HasEdge(G3Vertex* a, G3Vertex* b);
    // True when e runs forward along the list: its vertex 2 is the vertex
    // where the next edge of its loop starts.
    bool GetMoveDirection(G3Edge* e);
    void GetEdges(GArrayCollection* out);
    void GetVertices(GArrayCollection* out);
    // One entry per vertex: the integer id + offset stored in the element
    // slot itself (read it back with G3ElementToInt; never dereference it).
    void GetVerticesIds(GArrayCollection* out, int offset);
    // The vertices of every loop in loop order (the loops one after the
    // other); loopStarts (may be null) gets the index where each loop starts.
    void GetLoops(GArrayCollection* vertices, GArrayCollection* loopStarts);
    // The facet's boundary as one vertex loop: each hole is joined to the
    // boundary around it by a bridge between two existing vertices, walked
    // there and back. False when a hole could not be bridged (out then holds
    // the outer loop only).
    bool GetBridgedLoop(GArrayCollection* out);

    // The facet's triangles, three vertices each in the facet's turning
    // sense, from the GLU tessellation of its loops (each loop a contour,
    // holes left open). False, with out empty, when the facet has no area or
    // a point that is not finite, or when the tessellation fails or does not
    // cover the facet's area (its contours cross). The facet is not changed.
    bool Tessellate(GArrayCollection* out);

    // ---- Shading data --------------------------------------------------
    bool HasGeometry() const;
    static bool HasGeometry(G3Facet* f);
    void SetNormal(G3Vertex* v, G3Normal* n, G3TexCoo* t, bool force);
    G3Normal* GetNormal(G3Vertex* v, G3TexCoo** t);
    // Shading data for the point p of edge e from e's ends on this facet's
    // side; new objects owned by the caller. False (nulls) without data.
    bool Interpolate(G3Edge* e, const double* p, G3Normal** n, G3TexCoo** t);
    // Shading data at a point p of the facet: on an edge from that edge's
    // ends, in a triangle facet barycentrically, elsewhere weighted by
    // inverse distance over the vertices that carry data. normal (3 values)
    // and uv (2 values) receive the result. Returns 0 when nothing could be
    // interpolated, 1 for a normal only, 2 for a normal and a texture
    // coordinate.
    int Interpolate(const double* p, double* normal, double* uv);
    // Gives every vertex of the facet the plane normal (A, B, C) as its
    // shading normal on this facet: one new normal is added to the surface
    // (no texture coordinate). False when the surface has no normal list or
    // the plane is trivial.
    bool AssignNormalsByPlane(G3Surface* surface);

    // ---- Measures and plane --------------------------------------------
    // Area of the face: per loop, outer loops add and holes subtract. -1
    // for fewer than 3 vertices or a trivial plane.
    double GetArea();
    long GetSurface() const { return m_Surface; }
    void SetSurface(long surface) { m_Surface = surface; }
    void SetDefSurface() { m_Surface = 0; }
    G3Surface* GetParent() const { return m_Parent; }
    void SetParent(G3Surface* parent) { m_Parent = parent; }

    double* GetPlane() { return m_Plane; }
    const double* GetPlane() const { return m_Plane; }
    void SetPlane(const double* plane);
    double GetPlaneA() const { return m_Plane[0]; }
    double GetPlaneB() const { return m_Plane[1]; }
    double GetPlaneC() const { return m_Plane[2]; }
    double GetPlaneD() const { return m_Plane[3]; }
    void GetMaxCoo(int* i, int* j) const;
    // Plane from the vertex loop; the tolerant FormMaxPlaneCoo plane when
    // that is trivial. Always true.
    bool FormPlaneEquation();
    bool IsPlaneZero() const;
    bool IsTrivial() const { return IsPlaneZero(); }
    // Every vertex within 5e-7 of the plane.
    bool IsFlat();
    // |n . n' - 1| < 1e-6 and |d - d'| < 1e-6.
    bool PlaneEquals(const double* plane) const;
    // |n . n'| < dotLimit and |d - d'| < dLimit.
    bool PlaneEquals(const double* plane, double dLimit, double dotLimit) const;
    // z of the plane at (x, y); for a vertical plane the first vertex's z.
    double CalcDepth(double x, double y) const;

    // ---- Point location ------------------------------------------------
    // Crossing test of p against the loop the iterator yields (G3Point
    // objects), in the (i, j) projection; differences below eps count as
    // zero. True inside or on the boundary. On the boundary va and vb
    // report the element: a coinciding vertex in va (vb null), or the two
    // ends of the edge p lies on; strictly inside both are null. Only
    // G3Vertex objects can be reported (others give null).
    static bool PointInFacet(int i, int j, const double* p, GIterator* vertices, G3Vertex** va, G3Vertex** vb,
                             double eps);
    static bool PointInFacetXY(const double* p, GIterator* vertices, G3Vertex** va, G3Vertex** vb);
    static bool PointInFacetXZ(const double* p, GIterator* vertices, G3Vertex** va, G3Vertex** vb);
    static bool PointInFacetYZ(const double* p, GIterator* vertices, G3Vertex** va, G3Vertex** vb);
    // The same against this facet, counting crossings per edge of its list
    // (so holes are excluded).
    bool PointInFacet(int i, int j, const double* p, G3Vertex** va, G3Vertex** vb, double eps);
    bool PointInFacetXY(const double* p, G3Vertex** va, G3Vertex** vb);
    bool PointInFacetXZ(const double* p, G3Vertex** va, G3Vertex** vb);
    bool PointInFacetYZ(const double* p, G3Vertex** va, G3Vertex** vb);
    // XY test; when inside, z receives the depth at (p.x, p.y).
    bool PointInFacet(const double* p, G3Vertex** va, G3Vertex** vb, double* z);

    // A point strictly inside the polygon of the given points (G3Point
    // objects, one loop), found on the scan line through the widest gap
    // between vertex heights; out[i] and out[j] are set, and out's third
    // coordinate lies on the loop's plane (or is the vertices' mean). False
    // when the polygon has no inside.
    static bool GeneratePointInFacetConcave(int i, int j, double* out, GArrayCollection* vertices);
    // The same for this facet (holes excluded), out on the facet's plane.
    bool GeneratePointInFacetConcave(int i, int j, double* out);
    // The same in the x-y projection.
    bool GenerateXYPointInFacetConcave(double* out);

    // Line through p and q cut with the plane: x receives the cut point.
    // 0 no cut (the line is parallel to the plane, p equals q or the plane
    // is trivial), 1 the point lies strictly inside the facet, 2 on its
    // boundary, 3 outside it.
    int GetPlaneIntersect(const double* p, const double* q, double* x);

    // Cuts the facet's contour with a plane. Empties list, then adds the
    // points where edges cross the plane (a vertex on the plane counts as
    // lying on its positive side, so the points pair into the pieces inside
    // the facet) and the edges lying in the plane as pieces. Distances
    // below 1e-6 count as zero. Returns 0 when the facet does not reach the
    // plane (list empty), 1 when it has vertices on both sides, 2 when it
    // only touches the plane (each touching vertex is added twice), 3 when
    // all its vertices lie in the plane (every edge is added as a piece).
    int IntersectByPlaneConcave(const double* plane, G3IntervalList* list);
    // For a coplanar facet: adds to list the pieces of this facet's edges
    // that lie inside other (boundary included). The pieces lie on
    // different lines: the list is left unbuilt. True when any was added.
    bool FindIntervalsLieInFacet(G3Facet* other, G3IntervalList* list);
    // Empties list and adds the pieces of this facet's edges inside other
    // and of other's edges inside this one. True when any was found.
    bool FindFacetsIntersection(G3Facet* other, G3IntervalList* list);

    // For a facet of 4 vertices: the shorter diagonal (a, b), the one that
    // splits it into two triangles of the best shape; ties go to the
    // diagonal from the first vertex. False for any other vertex count.
    bool CalcDiagonalEdge(G3Vertex** a, G3Vertex** b);
    // The largest distance of the facet's vertices from the line through
    // edge e (how far the facet reaches away from that edge); -1 when e
    // has no length.
    double CalcDeviationFromEdge(G3Edge* e);
    // How the facet across edge e of this facet bends: +1 when its far
    // vertices lie below this facet's plane (a convex edge of a body whose
    // planes face outwards), -1 above (a concave edge), 0 when they lie in
    // the plane (within 1e-6) or e has no other facet.
    int GetIntersectionSignByEdge(G3Edge* e);

    static bool FormEnvelope(GIterator* vertices, GEnvelope* env);
    // Envelope of the facet's vertices; null when the facet has none.
    GEnvelope* FormEnvelope(GEnvelope* env);
    // Area of the triangle a, b, c in space: half the cross product length.
    static double CalcRealSquareOfTriangle(const double* a, const double* b, const double* c);

private:
    G3Edge* m_FirstEdge = nullptr;
    G3Edge* m_LastEdge = nullptr;
    long m_Surface = 0;
    G3Surface* m_Parent = nullptr;
    double m_Plane[4] = {0, 0, 0, 0};
};

// The edges of a facet in list order.
class TESSALY_API G3FacetEdgeIterator : public GIterator {
public:
    explicit G3FacetEdgeIterator(G3Facet* f) : m_Facet(f), m_Next(f ? f->GetFirstEdge() : nullptr) {}
    bool hasNext() override { return m_Next != nullptr; }
    GObj* next() override;

private:
    G3Facet* m_Facet;
    G3Edge* m_Next;
};

// One vertex per edge, in list order: the vertex where each edge starts in
// its loop (for a loop's first edge, the end it does not share with the
// next edge). GetCurrentEdge is the edge whose start was returned last.
class TESSALY_API G3FacetVertexIterator : public GIterator {
public:
    explicit G3FacetVertexIterator(G3Facet* f);
    bool hasNext() override { return m_Edge != nullptr; }
    GObj* next() override;
    G3Edge* GetCurrentEdge() const { return m_Current; }

private:
    G3Facet* m_Facet;
    G3Edge* m_Edge = nullptr;
    G3Edge* m_Current = nullptr;
    G3Vertex* m_PreviousEnd = nullptr;
    G3Vertex* m_LoopStart = nullptr;
    bool m_LoopClosed = true;
};

// The facet's closed loops as G3EdgeList contours (G3EdgeList::FormContours
// of a contour made from the facet). The iterator owns them.
class TESSALY_API G3FacetContourIterator : public GIterator {
public:
    explicit G3FacetContourIterator(G3Facet* f);
    ~G3FacetContourIterator() override;
    G3FacetContourIterator(const G3FacetContourIterator&) = delete;
    G3FacetContourIterator& operator=(const G3FacetContourIterator&) = delete;
    bool hasNext() override;
    GObj* next() override;

private:
    GArrayCollection* m_Contours = nullptr;
    int m_Position = 0;
};
