#pragma once
// Surfaces and shells: the polyhedral body. A G3Shell owns the lists of its
// vertices, normals, texture coordinates, edges, facets and poly-edges and
// announces elements joining and leaving it to an attached provider; a
// G3Surface adds the building operations (AddEdge, the AddFacet family,
// complex facets), the text dump, the VRML export and the binding of the
// mesh-simplification adapter.
//
// Element ids are list positions when elements are added; removals swap
// the last element into the gap, so ids go stale until AssignIds(). The
// dump and the VRML export compute positions themselves and never rely on
// ids.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tessaly/contour.h"
#include "tessaly/facet.h"

class G3PointHash;

// Told when elements join ("Open") and leave ("Close") a shell. Every
// operation does nothing (or answers false) here.
class TESSALY_API G3ShellExDataProvider {
public:
    virtual ~G3ShellExDataProvider();
    virtual void OpenExDataEdge(G3Edge* e);
    virtual void OpenExDataPolyEdge(G3PolyEdge* e);
    virtual void CloseExDataEdge(G3Edge* e);
    virtual void CloseExDataPolyEdge(G3PolyEdge* e);
    virtual void OpenExDataVertex(G3Vertex* v);
    virtual void CloseExDataVertex(G3Vertex* v);
    virtual void OpenExDataNormal(G3Normal* n);
    virtual void CloseExDataNormal(G3Normal* n);
    virtual void OpenExDataTexCoo(G3TexCoo* t);
    virtual void CloseExDataTexCoo(G3TexCoo* t);
    virtual void OpenExDataFacet(G3Facet* f);
    virtual void CloseExDataFacet(G3Facet* f);
    virtual bool IsExDataEdge();
    virtual bool IsExDataVertex();
    virtual bool IsExDataNormal();
    virtual bool IsExDataTexCoo();
    virtual bool IsExDataFacet();
    virtual bool IsExDataPolyEdge();
};

// The list type of facets inside surface algorithms; a node of a quadtree
// may hang four child lists below it (owned: deleted with the node).
class TESSALY_API CMyFacetList : public GArrayCollection {
    TESSALY_POOLED_CLASS(CMyFacetList)

public:
    CMyFacetList() = default;
    CMyFacetList(int initialCapacity, int growth) : GArrayCollection(initialCapacity, growth) {}
    ~CMyFacetList() override;
    CMyFacetList* GetChild(int quadrant) const { return m_Children[quadrant & 3]; }
    // Replaces (and deletes) the child of a quadrant 0..3.
    void SetChild(int quadrant, CMyFacetList* child);

private:
    CMyFacetList* m_Children[4] = {nullptr, nullptr, nullptr, nullptr};
};

// The body: element lists, body flags and the attached provider.
class TESSALY_API G3Shell : public G3Obj, public G3ShellExDataProvider {
public:
    static constexpr long kSmooth = 1L << 2;
    static constexpr long kSolid = 1L << 3;
    static constexpr long kUpdated = 1L << 4;
    static constexpr long kTestConcave = 1L << 24;
    static constexpr long kTestIntersect = 1L << 25;
    static constexpr long kNoOnes = 1L << 26;
    static constexpr long kFacetedByACIS = 1L << 27;

    // A vertex list only (default capacities, or n with growth 1024).
    G3Shell();
    explicit G3Shell(int n);
    ~G3Shell() override;
    G3Shell(const G3Shell&) = delete;
    G3Shell& operator=(const G3Shell&) = delete;

    bool GetSmooth() const { return TestFlag(kSmooth); }
    void SetSmooth() { SetFlag(kSmooth); }
    void ClearSmooth() { ClearFlags(kSmooth); }
    bool GetSolid() const { return TestFlag(kSolid); }
    void SetSolid() { SetFlag(kSolid); }
    void ClearSolid() { ClearFlags(kSolid); }
    bool GetUpdated() const { return TestFlag(kUpdated); }
    void SetUpdated() { SetFlag(kUpdated); }
    void ClearUpdated() { ClearFlags(kUpdated); }
    bool GetTestConcave() const { return TestFlag(kTestConcave); }
    void SetTestConcave() { SetFlag(kTestConcave); }
    void ClearTestConcave() { ClearFlags(kTestConcave); }
    bool GetTestIntersect() const { return TestFlag(kTestIntersect); }
    void SetTestIntersect() { SetFlag(kTestIntersect); }
    void ClearTestIntersect() { ClearFlags(kTestIntersect); }
    bool GetNoOnes() const { return TestFlag(kNoOnes); }
    void SetNoOnes() { SetFlag(kNoOnes); }
    void ClearNoOnes() { ClearFlags(kNoOnes); }
    bool GetFacetedByACIS() const { return TestFlag(kFacetedByACIS); }
    void SetFacetedByACIS() { SetFlag(kFacetedByACIS); }
    void ClearFacetedByACIS() { ClearFlags(kFacetedByACIS); }

    // ---- Provider --------------------------------------------------------
    void SetExDataProvider(G3ShellExDataProvider* provider) { m_Provider = provider; }
    G3ShellExDataProvider* GetExDataProvider() const { return m_Provider; }
    // Deletes the attached provider.
    void RemoveExDataProvider();
    // Forwarding to the attached provider; facets and poly-edges are also
    // announced to the registered G3ExDataProviders.
    void OpenExDataEdge(G3Edge* e) override;
    void OpenExDataPolyEdge(G3PolyEdge* e) override;
    void CloseExDataEdge(G3Edge* e) override;
    void CloseExDataPolyEdge(G3PolyEdge* e) override;
    void OpenExDataVertex(G3Vertex* v) override;
    void CloseExDataVertex(G3Vertex* v) override;
    void OpenExDataNormal(G3Normal* n) override;
    void CloseExDataNormal(G3Normal* n) override;
    void OpenExDataTexCoo(G3TexCoo* t) override;
    void CloseExDataTexCoo(G3TexCoo* t) override;
    void OpenExDataFacet(G3Facet* f) override;
    void CloseExDataFacet(G3Facet* f) override;
    bool IsExDataEdge() override;
    bool IsExDataVertex() override;
    bool IsExDataNormal() override;
    bool IsExDataTexCoo() override;
    bool IsExDataFacet() override;
    bool IsExDataPolyEdge() override;
    // Opens (closes) every element of each kind the provider keeps data
    // for: vertices, normals, texture coordinates, edges, facets, poly-edges.
    void OpenExData();
    void CloseExData();

    // ---- Transformation (shell_transformation.cpp) ------------------------
    // A reversible run: Open snapshots every vertex (and the normals and
    // facet planes when asked) through a G3ShellTransformationProvider
    // installed as this shell's provider; Transformation moves the elements
    // to their snapshots transformed by m (so repeated previews never
    // accumulate); Close puts back the geometry of the snapshots (vertex
    // coordinates, normal directions, facet planes; never topology) and
    // removes the provider. Open does nothing without a vertex list, while
    // a run is open or while another provider is installed; Transformation
    // and Close do nothing without an open run. Normals transform by the
    // inverse transpose of m's 3x3 part and are made unit length again.
    virtual void OpenTransformation(bool facets, bool normals);
    virtual void Transformation(double m[4][4]);
    virtual void CloseTransformation();
    bool IsTransformationOpen() const;
    // Transforms the body for good: vertices by m, normals as above, facet
    // planes formed again (facets turned over when m mirrors, so they keep
    // facing out), poly-edge data through the registered providers.
    virtual void RealTransformation(double m[4][4]);
    // Makes every normal unit length (a normal of no length stays as it is).
    virtual void Normalize();
    // Lets the registered providers transform the data of poly-edge p.
    virtual void TransformExDataPolyEdge(G3PolyEdge* p, double m[4][4]);

    // ---- Elements ----------------------------------------------------------
    // Null when the list does not exist (or the argument is null).
    G3Vertex* AddVertex(const double* xyz, unsigned long userValue = 0);
    G3Vertex* AddVertex(double x, double y, double z, unsigned long userValue = 0);
    G3Normal* AddNormal(const double* xyz);
    G3Normal* AddNormal(G3Normal* n);
    G3Normal* AddNormal(double x, double y, double z);
    G3TexCoo* AddTexCoo(const double* uv);
    G3TexCoo* AddTexCoo(G3TexCoo* t);
    G3TexCoo* AddTexCoo(double u, double v);
    // Id = list size, append, announce. Null lists give null.
    G3Vertex* AddVertexToCollection(G3Vertex* v);
    G3Normal* AddNormalToCollection(G3Normal* n);
    G3TexCoo* AddTexCooToCollection(G3TexCoo* t);
    G3Edge* AddEdgeToCollection(G3Edge* e);
    G3Facet* AddFacetToCollection(G3Facet* f);
    G3PolyEdge* AddPolyEdgeToCollection(G3PolyEdge* p);
    // Take out of the list (swapping the last element in) and announce;
    // false when absent. The element is not deleted.
    bool RemoveVertexFromCollection(G3Vertex* v);
    bool RemoveNormalFromCollection(G3Normal* n);
    bool RemoveTexCooFromCollection(G3TexCoo* t);
    bool RemoveEdgeFromCollection(G3Edge* e);
    bool RemoveFacetFromCollection(G3Facet* f);
    bool RemovePolyEdgeFromCollection(G3PolyEdge* p);
    // Remove and delete. A vertex with edges and an edge with a facet are
    // refused; a facet first detaches its edges.
    bool RemoveVertex(G3Vertex* v);
    bool RemoveEdge(G3Edge* e);
    bool RemoveFacet(G3Facet* f);
    bool RemoveNormal(G3Normal* n);
    bool RemoveTexCoo(G3TexCoo* t);
    bool RemovePolyEdge(G3PolyEdge* p);
    // Delete what nothing refers to: facets without edges, edges without
    // facets, vertices without edges, normals and texture coordinates that
    // no edge's shading data names. Each returns the number deleted.
    virtual int RemoveUnused();
    // Removes (and deletes) every facet select chooses, in one pass over the
    // list without searching; returns the number removed.
    int RemoveFacets(const std::function<bool(G3Facet*)>& select);
    virtual int RemoveUnusedFacet();
    virtual int RemoveUnusedVertex();
    virtual int RemoveUnusedEdge();
    virtual int RemoveUnusedNormal();
    virtual int RemoveUnusedTexCoo();
    // Sets (set true) or clears the given flag bits on every element of a
    // kind.
    void ChangeVertexFlags(long flags, bool set);
    void ChangeEdgeFlags(long flags, bool set);
    void ChangeFacetFlags(long flags, bool set);
    void ChangeNormalFlags(long flags, bool set);
    void ChangeTexCooFlags(long flags, bool set);

    void AssignIds();
    void AssignVertexIds();
    void AssignEdgeIds();
    void AssignFacetIds();
    void AssignNormalIds();
    void AssignTexCooIds();
    void AssignPolyEdgeIds();

    int GetVertexCount() const;
    int GetNormalCount() const;
    int GetTexCooCount() const;
    int GetEdgeCount() const;
    int GetFacetCount() const;
    int GetPolyEdgeCount() const;
    GArrayCollection* GetVertexList() const { return m_Vertices; }
    GArrayCollection* GetNormalList() const { return m_Normals; }
    GArrayCollection* GetTexCooList() const { return m_TexCoos; }
    GArrayCollection* GetEdgeList() const { return m_Edges; }
    GArrayCollection* GetFacetList() const { return m_Facets; }
    GArrayCollection* GetPolyEdgeList() const { return m_PolyEdges; }
    G3Vertex* GetVertex(int i) const { return static_cast<G3Vertex*>(m_Vertices->get(i)); }
    G3Edge* GetEdge(int i) const { return static_cast<G3Edge*>(m_Edges->get(i)); }
    G3Facet* GetFacet(int i) const { return static_cast<G3Facet*>(m_Facets->get(i)); }
    G3Normal* GetNormal(int i) const { return static_cast<G3Normal*>(m_Normals->get(i)); }
    G3TexCoo* GetTexCoo(int i) const { return static_cast<G3TexCoo*>(m_TexCoos->get(i)); }

    // The shared vertex array of the poly-edges.
    G3Vertex** GetPolyEdgeVertices() const { return const_cast<G3Vertex**>(m_PolyVertices.data()); }
    int GetPolyEdgeVertexCount() const { return static_cast<int>(m_PolyVertices.size()); }

    // Box of all vertices; false when there are none.
    bool FormEnvelope(GEnvelope* env) const;
    // Box of all texture coordinates (u on x, v on y, z 0); false when
    // there are none.
    bool FormTexCooEnvelope(GEnvelope* env) const;
    // Trims every list's storage to its size.
    void ReallocByRealSize();

protected:
    // Appends n vertices to the poly-edge vertex array; returns the index
    // of the first.
    int AddPolyEdgeVertices(int n, G3Vertex* const* vertices);
    void CreateLists(int vertices, int edges, int facets, int normals, bool texCoos);
    bool TakeOut(GArrayCollection* list, G3Obj* element);

    GArrayCollection* m_Vertices = nullptr;
    GArrayCollection* m_Normals = nullptr;
    G3ShellExDataProvider* m_Provider = nullptr;
    GArrayCollection* m_Facets = nullptr;
    GArrayCollection* m_Edges = nullptr;
    GArrayCollection* m_TexCoos = nullptr;
    GArrayCollection* m_PolyEdges = nullptr;
    std::vector<G3Vertex*> m_PolyVertices;
    // Position of the element the next TakeOut removes, when the caller
    // knows it (-1: look it up).
    int m_TakeOutHint = -1;
};

// Repair level of G3Surface::Update and of the mesh simplification.
enum CHECK_LEVEL { CHECK_LEVEL_NONE = 0, CHECK_LEVEL_1001 = 1001, CHECK_LEVEL_1002 = 1002, CHECK_LEVEL_1003 = 1003 };

// How G3Surface::GenerateTexCoo maps the body onto a texture.
enum TEXTURE_PROJECTION_MODE {
    TEXTURE_PROJECTION_PLANAR = 0,      // each facet in a frame of its own plane, in model units
    TEXTURE_PROJECTION_BOX = 1,         // each facet on the two axes other than its normal's dominant one
    TEXTURE_PROJECTION_CYLINDRICAL = 2, // u: turn around the vertical axis through the centre; v: height, 0..1
    TEXTURE_PROJECTION_SPHERICAL = 3    // u: turn around the centre; v: latitude, 0..1
};

// The kind of simplification the adapter runs.
enum QSLIM_TYPE {
    QSLIM_TYPE_QUADRIC = 0,       // quadric error collapses; the open border may move
    QSLIM_TYPE_QUADRIC_BORDER = 1 // the same, with every open-border vertex kept in place
};

// What the target means: a triangle count, or a ratio of the source's
// triangles.
enum QSLIM_DESIREDTRISETTYPE { QSLIM_DESIRED_COUNT = 0, QSLIM_DESIRED_RATIO = 1 };

enum QSLIM_STATUS {
    QSLIM_OK = 0,
    QSLIM_NO_ADAPTER = 1, // the adapter library could not be bound
    QSLIM_BAD_INPUT = 2,  // no source, no triangles, or a target out of range
    QSLIM_CANCELLED = 3   // the commands object asked to stop
};

// The outcome of a simplification.
struct QSLIM_RES {
    QSLIM_STATUS status = QSLIM_NO_ADAPTER;
    int sourceTriangles = 0;
    int targetTriangles = 0;
    int resultTriangles = 0;
    // The largest quadric error reached, relative to the body's extent.
    double relativeError = 0.0;
};

// The host's say in a simplification. The defaults simplify without an
// error limit and never cancel.
class TESSALY_API QSLIMCommandsBase {
public:
    virtual ~QSLIMCommandsBase();
    // The largest error allowed, relative to the body's extent (0..1).
    virtual double GetMaxRelativeError();
    // Called with the stage reached (0..1); false stops the simplification
    // (the result is then null and the status QSLIM_CANCELLED).
    virtual bool Progress(double fraction);
};

// The adapter's entry point, exported by libSimplexa.so as
// "QSlimSimplifierAdapter".
typedef class G3Surface* (*QSlimSimplifierAdapterFunc)(class G3Surface* source, QSLIM_TYPE type, QSLIM_RES& result,
                                                       int count, double ratio, QSLIM_DESIREDTRISETTYPE desired,
                                                       CHECK_LEVEL level, QSLIMCommandsBase* commands);

class TESSALY_API G3Surface : public G3Shell {
    TESSALY_POOLED_CLASS(G3Surface)

public:
    // Room for n vertices and m normals (and 2n edges).
    G3Surface(int n = 0, int m = 0);
    // Room for vertices, normals and facets.
    G3Surface(int vertices, int normals, int facets);
    ~G3Surface() override;

    void print() override;
    // Adds copies of every element of source (vertices, normals, texture
    // coordinates, edges, facets) to this body's own; nothing is merged.
    // Every copy is announced to the providers. Null or this body itself
    // changes nothing.
    void AddCopyOf(G3Surface* source);
    // Replaces this body by a copy of source's elements (a G3Surface);
    // every copied element is announced to the providers.
    void Copy(GObj* source) override;
    GObj* Duplicate() override;
    int GetObjectType() override;

    int GetNextSurface() { return ++m_NextSurface; }
    void SetNextSurface(int value) { m_NextSurface = value; }
    int GetNextSurfaceCounter() const { return m_NextSurface; }
    int GetSurface() const { return m_SurfaceValue; }
    void SetSurface(int value) { m_SurfaceValue = value; }
    int GetEdgeFlags() const { return m_EdgeFlags; }
    void SetEdgeFlags(int flags) { m_EdgeFlags = flags; }
    int GetMaterialFacetsCount() const { return m_MaterialFacets; }
    void SetMaterialFacetsCount(int n) { m_MaterialFacets = n; }
    int IncMaterialFacetsCount() { return ++m_MaterialFacets; }
    int DecMaterialFacetsCount() { return --m_MaterialFacets; }
    int GetSelectesFacetsCount() const { return m_SelectedFacets; }
    void SetSelectesFacetsCount(int n) { m_SelectedFacets = n; }
    int IncSelectesFacetsCount() { return ++m_SelectedFacets; }
    int DecSelectesFacetsCount() { return --m_SelectedFacets; }

    // ---- Building --------------------------------------------------------
    // The edge a-b. Without a facet: a new edge in both rings. With a
    // facet: an existing edge a-b with a free side takes it, unless its
    // other side is already that facet (an edge never bounds one facet on
    // both sides); otherwise a new edge with the facet as facet 1. Null
    // when a equals b.
    G3Edge* AddEdge(G3Vertex* a, G3Vertex* b, G3Facet* f = nullptr);
    // The facet through n vertices; flags per edge (the last stays the
    // surface's default edge flags); nrm and tex (may be null) per vertex.
    // Null for fewer than 3 distinct consecutive vertices.
    G3Facet* AddFacet(int n, G3Vertex** v, int* flags, G3Normal** nrm, G3TexCoo** tex);
    G3Facet* AddFacet(int n, G3Vertex** v, int flags, G3Normal** nrm, G3TexCoo** tex);
    // The same by positions in the vertex, normal and texture-coordinate
    // lists (nrm and tex may be null). Null when an index is out of range.
    G3Facet* AddFacet(int n, const int* v, int flags, const int* nrm, const int* tex);
    // A facet along existing edges used as templates (their vertices,
    // flags and facet-1 shading data).
    G3Facet* AddFacet(GArrayCollection* edges, int flags, int surface);
    // The facet through n vertices with the current default edge flags.
    G3Facet* AddOneFacetFromVertices(G3Vertex** v, int n);
    // One facet per contour (its edges as templates, its facet flags and
    // surface); the contours are deleted and the list cleared.
    void AddFacets(GArrayCollection* contours);
    void AddFacetsEx(GArrayCollection* contours, G3Facet* facet, int event);
    // Facets made by the vertex-array AddFacet between Begin and End are
    // united into one facet with holes (their loops, self-crossings
    // resolved, holes bridged).
    void BeginComplexFacet();
    void EndComplexFacet();
    G3PolyEdge* AddPolyEdge(int n, G3Vertex** v);
    G3PolyEdge* AddPolyEdge(int n, const int* v);
    // Plane of every facet from its vertices.
    void FormPlaneEquation();

    // ---- Repair and orientation ------------------------------------------
    // Every edge's two vertices are joined by an even number of facet sides
    // (a double-sided facet counts twice). A body without edges is closed.
    bool GetClosed();
    void ExtendDoubleSidedFacets();
    // Turns every facet over; NegNormals also negates every normal.
    void NegPlane();
    void NegNormals();
    // Multiplies every vertex's coordinates by s (planes are not formed
    // again).
    void ScaleCoo(double s);
    // Gives every facet its plane normal as the shading normal at each of
    // its vertices (one new normal a facet). Needs a normal list.
    void AssignNormalsByPlane();

    // Merges vertices closer than the length tolerance: the later vertex of
    // a pair moves its edges to the earlier one; facets that collapse are
    // removed. Returns the number of vertices merged.
    int RemoveEqualsVertex();
    // The two stages with a caller's hash: merge targets into the vertices'
    // extended-data slots, then the edges moved to them (the slots are
    // cleared afterwards).
    int RemoveEqualsVertex(G3PointHash* hash);
    void RemoveEqualsVertex2(G3PointHash* hash);
    // Moves every edge of from to to (as if from were merged into it);
    // facets and edges that collapse go, and so does from.
    void ChangeVertex(G3Vertex* from, G3Vertex* to);
    // Normals made unit length and merged when equal within the length
    // tolerance, texture coordinates likewise; the edges' shading slots are
    // redirected to the kept ones.
    void RemoveEqualsNormal();
    // Replaces facets by triangles (GLU tessellation, every loop of a facet
    // a contour of its own). Option bits: 4 every facet of 4 or more edges
    // (the other bits are then not looked at); otherwise a facet of 4 or
    // more edges is split when one of 8 (5 or more edges), 2 (not flat) or
    // 1 (not convex, or more than one loop) selects it. New diagonals get
    // newEdgeFlags; sides that were edges already keep those edges' flags.
    // The triangles keep the facet's shading, surface value, flags and
    // turning sense, and the facet is their extended-data template. A facet
    // whose tessellation fails or does not cover its area (contours that
    // cross) stays as it is. True when any facet was split.
    bool Triangulate(int options, int newEdgeFlags);
    // Welds vertices, then splits every edge at the vertices lying inside it
    // within the length tolerance (T-junctions), so the facets on both
    // sides share the pieces.
    void RemoveEqualsVertexAndDivideEdges();
    // Splits the edges (a snapshot of the edge list, or the given edges) at
    // the hash's vertices lying inside them. Returns the number split.
    int DivideEdgesByVertex(G3PointHash* hash);
    int DivideEdgesByVertex(GArrayCollection* edges, G3PointHash* hash);
    // Splits e at the candidates (vertices) lying strictly inside it, except
    // those already on the boundary of one of e's facets. True when it split.
    bool DivideEdgeByVertex(G3Edge* e, GEnvelope* box, GArrayCollection* candidates);
    // Replaces e by the chain vertex 1 -> p[0] -> ... -> p[n-1] -> vertex 2
    // (p reversed first when reversed) in both of its facets, with e's flags
    // and its shading at the two ends; inserted vertices get interpolated
    // shading. e is removed.
    void SplitEdge(G3Edge* e, int n, G3Vertex** p, bool reversed);
    // Joins single-sided edges with a single-sided twin between the same
    // two vertices into one edge with a facet on each side; facets of two
    // edges are removed. Returns the number of edges joined.
    int RemoveNonManifoldEdges();

    // Turns facets so that all face outwards, by vertical rays through the
    // body and a flood across manifold edges. With shading data and force
    // false, orients by the shading normals instead (OrientNormals).
    bool OrientNormals2(bool force);
    // Turns the facets across f's manifold edges that run the same way as
    // f, marks them and appends them to list.
    void OrientNormal2(G3Facet* f, GArrayCollection* list);
    // Turns each facet whose plane normal points against the sum of its
    // vertices' shading normals. False without shading data.
    bool OrientNormals();

    // Merges the two facets of every manifold edge whose flags share a bit
    // with mask. Returns the number of merges.
    int UnionFacets(int mask);
    // Replaces f1 and f2, which share the run of edges through e, by one
    // facet with f1's flags and surface value. False (nothing changed) when
    // a facet has holes or the shared edges are not one run.
    bool MergeFacets(G3Edge* e, G3Facet* f1, G3Facet* f2);

    // Merges groups of adjacent coplanar facets of one double-sidedness
    // across edges that are invisible, or whose flags share a bit with mask
    // (every edge when mask is -1). Returns the number of facets joined to
    // others.
    int UnionInPlaneFacets(int mask);
    // Sets Mark4 on every facet whose contour crosses itself.
    void MarkSelfIntersectFace();
    // Rebuilds every facet whose contour crosses itself into simple facets
    // (holes bridged). True when any facet was rebuilt.
    bool RemoveSelfIntersections();
    // Removes facets with a trivial plane or fewer than 3 edges. True when
    // any was removed.
    bool RemoveTrivialFacets();
    // Of two facets through the same vertex cycle (either direction), the
    // later goes and the earlier is double-sided when the two had an even
    // number of sides between them. Returns the number removed.
    int RemoveEqualsFacets();
    // Smooth shading normals per group of facets joined by invisible edges:
    // at each vertex the mean plane normal of the group's facets around it.
    void AverageNormalsByPlanes2();
    // The same with the whole body as one group (every edge smooths); the
    // TexCooSafe form keeps each facet's texture coordinates.
    void AverageNormalsByPlanes();
    void AverageNormalsByPlanesTexCooSafe();
    // A new surface value (GetNextSurface) for f's smooth group, the facets
    // joined to it across invisible edges; returns the value (0 for null).
    int FormFacetSurface(G3Facet* f);
    // Every smooth group its own new surface value; returns the number of
    // groups.
    int FormContourSurface();
    // Replaces the shading normals of shaded facets that are missing, of no
    // length, not finite or facing the facet's back by the facet's plane
    // normal. Returns the number replaced.
    int HealNormals();
    // Clears the visible bit of every edge between two coplanar facets
    // (either facing); the 2 form also sets it on every other edge with two
    // facets. Return the number of edges changed.
    int MarkInPlaneEdgesAsInvisible();
    int MarkInPlaneEdgesAsInvisible2();
    // The open boundary: each closed loop of single-sided edges as a new
    // contour (owned by the caller) running against the facets beside it,
    // as a facet closing the hole runs. Returns the number of loops.
    int GetContour(GArrayCollection& contours);
    // Closes every loop of the open boundary with one facet. Returns the
    // number of holes closed.
    int EncloseHoles();
    // Every facet's closed loops as new simple contours (owned by the
    // caller), appended to result facet by facet: an outer loop and one per
    // hole, bridges between them left out. The body is not changed. Returns
    // the number of contours added.
    int FormContours(GArrayCollection* result);
    // New texture coordinates for every facet vertex by the projection (the
    // facet's shading normal there is kept, or the plane normal given);
    // texture coordinates no longer used go. False without facets, without
    // normal and texture-coordinate lists, or for an unknown mode.
    bool GenerateTexCoo(TEXTURE_PROJECTION_MODE mode);
    // One new body (owned by the caller) per lump, the facets connected
    // through shared edges, appended to out; this body is not changed.
    // Returns the number of lumps. Each lump is cut from a copy of the
    // whole body, so many lumps of a large body take a while.
    int Explode(GArrayCollection* out);
    // The facets other than f that share a vertex with it, each once.
    void GetAllAdjacentFaces(G3Facet* f, GArrayCollection* out);

    // The enclosed volume, whatever the facets' orientation: the sum of the
    // pyramids from an apex outside the body over every facet, each signed
    // by the parity of the body's facets between the apex and the facet.
    double GetVolume();

    // A repair sequence, then the lists trimmed and, for an open body,
    // every facet made double-sided. 1001: weld vertices and normals, join
    // twin edges, orient. 1002: rebuild self-crossing facets, remove equal
    // facets, orient. 1003: as 1002 with the boolean self-intersection
    // removal (not available yet: runs as 1002).
    void Update(CHECK_LEVEL level);

    // ---- Text dump -------------------------------------------------------
    // Writes the body (vertices, edges, facets and their links, by list
    // position) in the C locale. False when the file cannot be written.
    bool Save(const char* path);
    // Reads a dump and appends its elements to this body. The file is
    // checked completely (ranges, counts, numbers, the topology of every
    // ring and edge list) before anything changes: on any error the body is
    // unchanged, the result is false and error (may be null) says why.
    bool Load(const char* path, std::string* error = nullptr);

    // ---- VRML 2.0 --------------------------------------------------------
    static bool VRMLWriteBegin(const char* path, FILE** out);
    // One IndexedFaceSet shape in colour rgb. Indices are list positions;
    // facets with holes are written as their bridged loop; "convex FALSE"
    // when any facet is concave; the normal block only when every facet
    // vertex has a normal. False for a null file or body, or a failed
    // write.
    static bool VRMLWrite(FILE* file, G3Surface* surface, const double* rgb);
    static bool VRMLWriteEnd(FILE* file);

    // ---- Simplification --------------------------------------------------
    // Simplifies through the adapter library to count triangles, or to
    // ratio times the source's triangles. Null when the adapter cannot be
    // bound (result.status QSLIM_NO_ADAPTER) or fails; the source is not
    // changed. The adapter is bound once per process: libSimplexa.so as
    // already loaded, else beside libFerrox16.so, else beside
    // libtessaly.so, else from the default search path.
    static G3Surface* QSlimSimplifier(G3Surface* s, CHECK_LEVEL level, int count, QSLIM_TYPE type, QSLIM_RES& result,
                                      QSLIMCommandsBase* commands);
    static G3Surface* QSlimSimplifier(G3Surface* s, CHECK_LEVEL level, double ratio, QSLIM_TYPE type, QSLIM_RES& result,
                                      QSLIMCommandsBase* commands);
    // The bound adapter, or null. Binds on first call.
    static QSlimSimplifierAdapterFunc GetSimplifierAdapter();

protected:
    static G3Surface* QSlimSimplifierInternal(G3Surface* s, QSLIM_TYPE type, QSLIM_RES& result, int count, double ratio,
                                              QSLIM_DESIREDTRISETTYPE desired, CHECK_LEVEL level,
                                              QSLIMCommandsBase* commands);
    // Adds the edges of a new facet and finishes it: null (facet deleted)
    // with fewer than 3 edges.
    G3Facet* FinishFacet(G3Facet* f, int edges);
    void CopyFrom(G3Surface* source);
    void DeleteElements();

private:
    int m_NextSurface = 1;
    int m_SurfaceValue = 1;
    int m_EdgeFlags = 1;
    int m_MaterialFacets = 0;
    int m_SelectedFacets = 0;
    // Set between BeginComplexFacet and EndComplexFacet: the extended-data
    // slot then holds the kernel's own facet collection.
    bool m_ComplexOpen = false;
};
