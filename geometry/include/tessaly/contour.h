#pragma once
// Contours: closed loops of edges in one plane (G3EdgeList). Facet outlines
// become contours when a facet is re-shaped; lists of contours are
// classified into outer boundaries and holes by nesting parity, holes are
// bridged to the contour around them so that each region is one loop, and
// self-intersecting contours are cut at their crossings and rebuilt into
// simple loops. Planar decisions are made in the projection on the two
// axes that dominate the contour's plane.
//
// A contour owns its edges (its own G3Edge objects, not linked into any
// ring or facet); the edges point to vertices owned by a surface and carry
// the shading data of their ends on both facet sides.

#include "tessaly/facet.h"

class G3Surface;

enum CONTOUR_TYPE { CONTOUR_UNDEFINED = 0, CONTOUR_INNER = 1, CONTOUR_OUTER = 2 };

// How RemoveSelfIntersections treats edges that run on top of each other.
// 3 applies the even-odd rule first (pairs of edges between the same two
// points cancel); the other values keep every edge.
enum UNION_EDGE_ALG { UNION_EDGE_KEEP = 1, UNION_EDGE_KEEP_ALL = 2, UNION_EDGE_PARITY = 3 };

class TESSALY_API G3EdgeList : public GArrayCollection {
    TESSALY_POOLED_CLASS(G3EdgeList)

public:
    // An empty contour with the given facet flags and surface value.
    G3EdgeList(int facetFlags, int facetSurface);
    // The facet's edges with the shading data of its side, its flags,
    // surface value and plane; normalised.
    explicit G3EdgeList(G3Facet* facet);
    // The given edges (shading data of facet 1's side when they have no
    // facet 1, else facet 2's); normalised. Plane and axes are formed from
    // the vertices.
    explicit G3EdgeList(GArrayCollection* edges);
    G3EdgeList(GArrayCollection* edges, int facetFlags, int facetSurface);
    // The closed polygon through n vertices; normals and texture
    // coordinates (per vertex, may be null) and flags (per edge, may be
    // null: 1) go to the edges; an edge with equal ends is skipped.
    G3EdgeList(int n, G3Vertex** vertices, int* flags, G3Normal** normals, G3TexCoo** texCoos, int facetFlags,
               int facetSurface);
    ~G3EdgeList() override;

    // Same facet flags, surface, type, plane and axes, and copies of every
    // edge.
    GObj* Duplicate() override;

    // ---- Edges ---------------------------------------------------------
    G3Edge* GetEdge(int i) const { return static_cast<G3Edge*>(get(i)); }
    // Appends a new edge a-b with (na, ta) at a and (nb, tb) at b on both
    // facet sides.
    G3Edge* AddEdge(G3Vertex* a, G3Vertex* b, G3Normal* na, G3Normal* nb, G3TexCoo* ta, G3TexCoo* tb, int flags);
    // Copies of the given edges (or the facet's own) with the shading data
    // of facet's side (facet 1's side when the edge's facet 1 is facet).
    void AddEdges(GArrayCollection* edges, G3Facet* facet);
    void AddEdges(G3Facet* facet);

    // ---- Geometry ------------------------------------------------------
    // Copies the plane; the axes become the two other than the dominant
    // axis of its normal.
    void SetPlane(const double* plane);
    const double* GetPlane() const { return m_Plane; }
    int GetXCoo();
    int GetYCoo();
    // Plane and axes from the contour's own vertices.
    void FormMaxPlaneCoo();
    void FormEnvelope();
    const GEnvelope& GetEnvelope() const { return m_Envelope; }
    // Orients the edges into chains: each loop's first edge is turned so
    // that it leads into its successor, every other edge so that it starts
    // where its predecessor ends. A new loop starts after a loop closes or
    // where an edge shares no vertex with its predecessor.
    void Normalize();
    static void Normalize(int count, G3Edge** edges);
    // Signed area in the projection (positive counter-clockwise in a1, a2).
    double GetSignedArea();
    // Reverses the loop: order and direction of every edge.
    void Reverse();

    // ---- Queries -------------------------------------------------------
    // Whether this contour lies inside other (tolerance 1e-6): the first
    // vertex not on other's boundary decides; when all are on it, a point
    // strictly inside this contour decides. False when undecidable.
    bool IsIn(G3EdgeList* other);
    // Same edges (same vertex pointers, same direction) in the same cyclic
    // order, starting anywhere.
    bool Equals(G3EdgeList* other);
    // Any crossing of the contour's edges in projection.
    bool TestSelfIntersections();

    CONTOUR_TYPE GetContourType() const { return m_Type; }
    void SetContourType(CONTOUR_TYPE type) { m_Type = type; }
    int GetInCount() const { return m_InCount; }
    void SetInCount(int count) { m_InCount = count; }
    int GetFacetFlags() const { return m_FacetFlags; }
    int GetFacetSurface() const { return m_FacetSurface; }
    void SetFacetFlags(int flags) { m_FacetFlags = flags; }
    void SetFacetSurface(int surface) { m_FacetSurface = surface; }

    // ---- Lists of contours ---------------------------------------------
    // Types by nesting parity: a contour inside an odd number of others is
    // CONTOUR_INNER (in-count = that number), else CONTOUR_OUTER. Of two
    // equal contours only the one earlier in the list counts the other.
    static void FormContourTypes(GArrayCollection* contours);
    static void RemeshContours(G3Surface* surface, GArrayCollection* contours, bool link, int mode);
    // Bridges every hole to a contour around it (an outer contour that
    // contains it or a sibling hole): the two become one loop in the hole's
    // list entry, the absorbed contour is deleted and removed with the list
    // order kept. An edge cut by a bridge is split at a new vertex of
    // surface (no split, and no bridge there, without a surface). mode is
    // the flags of the bridge edges (0: bridges are not drawn).
    static void Link(GArrayCollection* contours, G3Surface* surface, int mode);

    // ---- Self-intersections --------------------------------------------
    // Splits the edges at every crossing in projection; crossing points
    // get new vertices of surface. Returns the number of splits made.
    int FindSelfIntersections(G3Surface* surface);
    // Rebuilds the contour into simple closed contours appended to result
    // (the contour itself is not changed beyond the splits): crossings are
    // split, a planar graph is traced, and with remesh the new contours
    // are typed and their holes bridged. The vertices' extended-data slots
    // are not touched. Returns the number of contours appended; 0 without
    // a surface.
    int RemoveSelfIntersections(GArrayCollection* result, G3Surface* surface, bool remesh, UNION_EDGE_ALG alg,
                                int mode);
    // The same without the crossing search, for contours that only touch
    // themselves. With UNION_EDGE_PARITY edges run an even number of times
    // between the same two points cancel, so a bridged hole comes out as
    // its own loop.
    int FormContours(GArrayCollection* result);
    int FormContours(GArrayCollection* result, UNION_EDGE_ALG alg);

    // ---- Contours out of a surface's edge graph --------------------------
    // Takes one closed contour out of the free edges of surface (edges in
    // their vertices' rings, without facets): the walk leaves `from` along
    // start and at every vertex turns onto the next edge clockwise in the
    // projection a1, a2, so each loop bounds one face. Returns a new contour
    // of the walked edges (between the surface's own vertices, with the
    // edges' flags and user values) whose edges are deleted from the
    // surface; null when no loop of 3 or more edges closes, and then the
    // walked edges and start are deleted all the same, so that repeated
    // calls always come to an end. The walk borrows the Mark and Mark2
    // flags of the edges (clear on entry and on return). Edges whose id is
    // their place in the surface's edge list are found without a search.
    static G3EdgeList* RemoveContour(G3Surface* surface, G3Edge* start, G3Vertex* from, int a1, int a2, int facetFlags,
                                     int facetSurface);
    // Deletes the free edge e from surface; the edge moved into its place
    // in the edge list gets that place as its id.
    static void RemoveFreeEdge(G3Surface* surface, G3Edge* e);

protected:
    // The graph tracing shared by RemoveSelfIntersections and FormContours.
    int TraceContours(GArrayCollection* result, bool parity);
    // The extremal vertex of the loop (index of the edge starting there)
    // and an outward direction in the projection.
    int GetExtremalRay(double* direction);
    bool LinkToAnother(int vertexEdge, G3EdgeList* other, int hitEdge, const double* hit, G3Surface* surface,
                       bool sameOrientation, long bridgeFlags);
    // Forms plane and axes when they were never set.
    void EnsureAxes();
    void CopyEdgesFrom(G3EdgeList* source);

private:
    GEnvelope m_Envelope;
    CONTOUR_TYPE m_Type = CONTOUR_UNDEFINED;
    int m_FacetFlags = 0;
    int m_FacetSurface = 0;
    double m_Plane[4] = {0, 0, 0, 0};
    int m_XCoo = -1;
    int m_YCoo = -1;
    int m_InCount = 0;
};

// The vertex 1 of each edge, in order: each vertex of a chained contour
// once.
class TESSALY_API G3EdgeListVertexIterator : public GIterator {
public:
    explicit G3EdgeListVertexIterator(GArrayCollection* edges);
    G3EdgeListVertexIterator(int count, G3Edge** edges);
    G3EdgeListVertexIterator(G3Edge** edges, int from, int to);
    bool hasNext() override { return m_Position < m_End; }
    GObj* next() override;

private:
    GObj** m_Objects = nullptr;
    G3Edge** m_Edges = nullptr;
    int m_Position = 0;
    int m_End = 0;
};
