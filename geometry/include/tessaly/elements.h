#pragma once
// B-rep elements of the Tessaly kernel: the geometric base G3Obj with its
// flags and attached data, the extended-data providers, points, normals,
// vertices with their rings of edges, texture coordinates, edges with their
// shading data, and poly-edges.
//
// The topology is intrusive: an edge knows its two vertices and its (at most
// two) facets; a vertex threads the ring of its edges through the edges, and
// a facet threads its edge list through them too. The surface owns every
// element and links and unlinks them.

#include <cstdint>

#include "tessaly/containers.h"
#include "tessaly/math.h"
#include "tessaly/object.h"

class G3Obj;
class G3Normal;
class G3TexCoo;
class G3Edge;
class G3Facet;
class G3Surface;
struct G3ProviderDataMap;

// Attaches data of its own to geometry. Every method does nothing here.
class TESSALY_API G3ExDataProvider {
public:
    virtual ~G3ExDataProvider();
    // Disposes of a data object this provider attached.
    virtual void FreeExData(void* data);
    // Attaches the provider's current data to a newly made object.
    virtual void OpenExData(G3Obj* obj);
    // Makes the data attached to obj the current data; null resets it.
    virtual void SetExData(G3Obj* obj);
    virtual void TransformExData(G3Obj* obj, double m[4][4]);
    virtual void CopyExData(G3Obj* target, G3Obj* source);
};

// The geometric base: an id, a word of flag bits, one free extended-data
// slot and the data attached by providers.
class TESSALY_API G3Obj : public GObj {
public:
    G3Obj() = default;
    explicit G3Obj(unsigned long userValue) : GObj(userValue) {}
    G3Obj(const G3Obj&) = delete;
    G3Obj& operator=(const G3Obj&) = delete;
    ~G3Obj() override;

    void Copy(GObj* source) override;
    virtual double HashCode();
    virtual char* ToString();
    // 0 for elements, 1 for poly-edges, 2 for surfaces, 4 for facets.
    virtual int GetObjectType();

    long GetId() const { return m_Id; }
    void SetId(long id) { m_Id = id; }
    long GetFlags() const { return m_Flags; }
    void SetFlags(long flags) { m_Flags = flags; }
    void ClearFlags(long mask) { m_Flags &= ~mask; }
    bool TestFlag(long bit) const { return (m_Flags & bit) != 0; }
    void SetFlag(long bit) { m_Flags |= bit; }

    bool GetMark4() const { return TestFlag(kMark4); }
    void SetMark4() { SetFlag(kMark4); }
    void ClearMark4() { ClearFlags(kMark4); }
    bool GetMark3() const { return TestFlag(kMark3); }
    void SetMark3() { SetFlag(kMark3); }
    void ClearMark3() { ClearFlags(kMark3); }
    bool GetMark2() const { return TestFlag(kMark2); }
    void SetMark2() { SetFlag(kMark2); }
    void ClearMark2() { ClearFlags(kMark2); }
    bool GetMark() const { return TestFlag(kMark); }
    void SetMark() { SetFlag(kMark); }
    void ClearMark() { ClearFlags(kMark); }
    bool GetSelected() const { return TestFlag(kSelected); }
    void SetSelected() { SetFlag(kSelected); }
    void ClearSelected() { ClearFlags(kSelected); }

    // The free slot for one attached object (not owned).
    GObj* GetExData() const { return m_ExData; }
    void SetExData(GObj* data) { m_ExData = data; }

    // Data attached by providers, one entry per provider.
    void SetOutExData(G3ExDataProvider* provider, void* data);
    void* GetOutExData(G3ExDataProvider* provider) const;
    bool IsOutExDataExist() const { return (m_ProviderDataAndLock & ~kProviderLockBit) != 0; }
    // Hands every non-null entry to its provider's FreeExData and nulls it.
    void RemoveExData();
    void RemoveExData(G3ExDataProvider* provider);
    // Asks the provider of every entry of source to copy it to this object.
    void CopyExData(G3Obj* source);
    void ProviderOpenExData(G3Obj* obj);
    void ProviderSetExData(G3Obj* obj);
    void ProviderTransformExData(G3Obj* obj, double m[4][4]);
    void LockExDataProvider() { m_ProviderDataAndLock |= kProviderLockBit; }
    void UnLockExDataProvider() { m_ProviderDataAndLock &= ~kProviderLockBit; }
    bool IsExDataProviderLocked() const { return (m_ProviderDataAndLock & kProviderLockBit) != 0; }

    // The library-wide provider registry.
    static void AddProvider(G3ExDataProvider* provider);
    static G3ExDataProvider* GetProvider(long id);
    static long GetProviderId(G3ExDataProvider* provider);
    static bool RemoveExDataProvider(G3ExDataProvider* provider);
    static GArrayCollection* GetProviderList();

    static constexpr long kMark4 = 1L << 23;
    static constexpr long kMark3 = 1L << 24;
    static constexpr long kMark2 = 1L << 26;
    static constexpr long kMark = 1L << 27;
    static constexpr long kSelected = 1L << 28;

private:
    static constexpr std::uintptr_t kProviderLockBit = 1;
    G3ProviderDataMap* ProviderData() const;

    long m_Id = 0;
    long m_Flags = 0;
    GObj* m_ExData = nullptr;
    // The address of the provider data (null when none) with the provider
    // lock in its lowest bit: the data is aligned, and every element saves
    // the word a separate flag would take with its padding.
    std::uintptr_t m_ProviderDataAndLock = 0;
};

// A point (x, y, z). Points are equal when closer than 1e-6.
class TESSALY_API G3Point : public G3Obj {
    TESSALY_POOLED_CLASS(G3Point)

public:
    G3Point() = default;
    G3Point(const double* xyz, unsigned long userValue = 0);
    G3Point(double x, double y, double z, unsigned long userValue = 0);

    void Copy(GObj* source) override;
    GObj* Duplicate() override;
    virtual void Copy(G3Obj* source);
    virtual bool Equals(const double* xyz, double eps);
    virtual bool Equals(const double* xyz);
    virtual bool Equals(const GObj* other, double eps);
    virtual bool Equals(const GObj* other);
    // Distance strictly below 1e-6 (or eps).
    static bool Equals(const double* a, const double* b);
    static bool Equals(const double* a, const double* b, double eps);

    double GetX() const { return m_XYZ[0]; }
    double GetY() const { return m_XYZ[1]; }
    double GetZ() const { return m_XYZ[2]; }
    double* GetXYZ() { return m_XYZ; }
    const double* GetXYZ() const { return m_XYZ; }
    double* GetCoo() { return m_XYZ; }
    double GetXYZ(int axis) const { return m_XYZ[axis]; }
    void SetX(double x) { m_XYZ[0] = x; }
    void SetY(double y) { m_XYZ[1] = y; }
    void SetZ(double z) { m_XYZ[2] = z; }
    void Set(const double* xyz);
    void Set(double x, double y, double z);
    void Negate();

protected:
    // Positive infinity (the C library's huge value) is stored as 0.
    static double Sanitize(double value);

private:
    double m_XYZ[3] = {0, 0, 0};
};

// A direction. Normals share the point heap.
class TESSALY_API G3Normal : public G3Point {
public:
    using G3Point::G3Point;
    GObj* Duplicate() override;
    // Transforms by the linear part of m only (no translation).
    void RealTransformation(double m[4][4]);
};

// A point with the ring of the edges that touch it.
class TESSALY_API G3Vertex : public G3Normal {
    TESSALY_POOLED_CLASS(G3Vertex)

public:
    using G3Normal::G3Normal;
    GObj* Duplicate() override;
    void Copy(G3Obj* source) override;
    using G3Point::Copy;
    // Transforms the position by m, translation included.
    void RealTransformation(double m[4][4]);

    // Appends e to the ring. e must name this vertex as one of its ends and
    // its link on that side must be null. An edge whose two ends are both
    // this vertex is refused (the ring would never end): false.
    bool AddEdge(G3Edge* e);
    // Unlinks e from the ring; false when it is not there.
    bool RemoveEdge(G3Edge* e);
    bool HasEdges() const { return m_FirstEdge != nullptr; }
    G3Edge* GetFirstEdge() const { return m_FirstEdge; }
    G3Edge* GetLastEdge() const { return m_LastEdge; }
    // The edge after e in this vertex's ring.
    G3Edge* GetNextEdge(const G3Edge* e) const;
    int GetEdgeCount() const;
    int GetEdges(G3Edge** out) const;
    void GetEdges(G3Vertex* other, GArrayCollection* out) const;
    // Over the edges joining this vertex and other: their non-null facet
    // sides (double-sided facets count twice in GetEdgeCount2), or the sides
    // equal to f.
    int GetEdgeCount(G3Vertex* other) const;
    int GetEdgeCount2(G3Vertex* other) const;
    int GetEdgeCount(G3Vertex* other, G3Facet* f) const;
    double Distance(const G3Vertex* other) const;
    void SetNormal(G3Facet* f, G3Normal* n, G3TexCoo* t);
    void SetNormal(G3Normal* n, G3TexCoo* t);
    G3Normal* GetNormal(G3Facet* f, G3TexCoo** t) const;

protected:
    void SetFirstEdge(G3Edge* e) { m_FirstEdge = e; }
    void SetLastEdge(G3Edge* e) { m_LastEdge = e; }

private:
    G3Edge* m_FirstEdge = nullptr;
    G3Edge* m_LastEdge = nullptr;
};

// A texture coordinate (u, v).
class TESSALY_API G3TexCoo : public G3Obj {
    TESSALY_POOLED_CLASS(G3TexCoo)

public:
    G3TexCoo() = default;
    explicit G3TexCoo(const double* uv);
    G3TexCoo(double u, double v);

    void Copy(GObj* source) override;
    GObj* Duplicate() override;
    virtual void Copy(G3Obj* source);

    double GetU() const { return m_UV[0]; }
    double GetV() const { return m_UV[1]; }
    double* GetUV() { return m_UV; }
    double GetUV(int i) const { return m_UV[i]; }
    void SetU(double u);
    void SetV(double v);
    void Set(const double* uv);
    bool Equals(const G3TexCoo* other) const;
    bool Equals(const G3TexCoo* other, double eps) const;

private:
    double m_UV[2] = {0, 0};
};

// The shading data of an edge: a normal and a texture coordinate per facet
// side and end. Nothing here is owned.
class TESSALY_API G3EdgeGeometry : public GObj {
    TESSALY_POOLED_CLASS(G3EdgeGeometry)

public:
    void Copy(GObj* source) override;
    GObj* Duplicate() override;
    // side 0 or 1 (facet 1 or 2), end 0 or 1 (vertex 1 or 2).
    G3Normal* GetNormal(int side, int end) const { return m_Normals[side][end]; }
    G3TexCoo* GetTexCoo(int side, int end) const { return m_TexCoos[side][end]; }
    void Set(int side, int end, G3Normal* n, G3TexCoo* t)
    {
        m_Normals[side][end] = n;
        m_TexCoos[side][end] = t;
    }
    // Exchanges the end-1 and end-2 entries of both sides.
    void SwapEnds();

private:
    G3Normal* m_Normals[2][2] = {{nullptr, nullptr}, {nullptr, nullptr}};
    G3TexCoo* m_TexCoos[2][2] = {{nullptr, nullptr}, {nullptr, nullptr}};
};

// An edge between two vertices and at most two facets.
class TESSALY_API G3Edge : public G3Obj {
    TESSALY_POOLED_CLASS(G3Edge)

public:
    static constexpr long kVisible = 1L << 0;
    static constexpr long kFormMaking = 1L << 1;
    static constexpr long kNew = 1L << 2;
    static constexpr long kTangency = 1L << 8;

    G3Edge();
    G3Edge(G3Vertex* v1, G3Vertex* v2);
    ~G3Edge() override;

    void Copy(GObj* source) override;
    GObj* Duplicate() override;

    bool GetVisible() const { return TestFlag(kVisible); }
    void SetVisible() { SetFlag(kVisible); }
    void ClearVisible() { ClearFlags(kVisible); }
    void SetUnVisible() { ClearFlags(kVisible); }
    bool GetFormMaking() const { return TestFlag(kFormMaking); }
    void SetFormMaking() { SetFlag(kFormMaking); }
    void ClearFormMaking() { ClearFlags(kFormMaking); }
    bool GetNew() const { return TestFlag(kNew); }
    void SetNew() { SetFlag(kNew); }
    void ClearNew() { ClearFlags(kNew); }
    bool GetTangency() const { return TestFlag(kTangency); }
    void SetTangency() { SetFlag(kTangency); }
    bool IsInvisible() const { return !TestFlag(kVisible | kFormMaking); }

    G3Vertex* GetVertex1() const { return m_Vertex1; }
    G3Vertex* GetVertex2() const { return m_Vertex2; }
    void SetVertex1(G3Vertex* v) { m_Vertex1 = v; }
    void SetVertex2(G3Vertex* v) { m_Vertex2 = v; }
    G3Edge* GetVertex1Edge() const { return m_Vertex1Next; }
    G3Edge* GetVertex2Edge() const { return m_Vertex2Next; }
    void SetVertex1Edge(G3Edge* e) { m_Vertex1Next = e; }
    void SetVertex2Edge(G3Edge* e) { m_Vertex2Next = e; }
    G3Facet* GetFacet1() const { return m_Facet1; }
    G3Facet* GetFacet2() const { return m_Facet2; }
    void SetFacet1(G3Facet* f) { m_Facet1 = f; }
    void SetFacet2(G3Facet* f) { m_Facet2 = f; }
    G3Edge* GetFacet1Edge() const { return m_Facet1Next; }
    G3Edge* GetFacet2Edge() const { return m_Facet2Next; }
    void SetFacet1Edge(G3Edge* e) { m_Facet1Next = e; }
    void SetFacet2Edge(G3Edge* e) { m_Facet2Next = e; }
    // The end that is not v (vertex 2 when v is vertex 1, else vertex 1).
    G3Vertex* GetOtherVertex(const G3Vertex* v) const { return v == m_Vertex1 ? m_Vertex2 : m_Vertex1; }
    // The next edge in v's ring, on v's side of this edge.
    G3Edge* GetVertexNext(const G3Vertex* v) const { return v == m_Vertex1 ? m_Vertex1Next : m_Vertex2Next; }
    void SetVertexNext(const G3Vertex* v, G3Edge* e);
    // The next edge in f's edge list, on f's side of this edge.
    G3Edge* GetFacetNext(const G3Facet* f) const { return f == m_Facet1 ? m_Facet1Next : m_Facet2Next; }
    void SetFacetNext(const G3Facet* f, G3Edge* e);

    G3EdgeGeometry* GetGeometry() const { return m_Geometry; }
    bool HasGeometry() const { return m_Geometry != nullptr; }
    bool HasGeometry(G3Facet* f) const;
    // Copies g into the edge's own geometry; null deletes it.
    void SetGeometry(G3EdgeGeometry* g);
    G3Normal* GetFacet1V1(G3TexCoo** t) const { return GetShading(0, 0, t); }
    G3Normal* GetFacet1V2(G3TexCoo** t) const { return GetShading(0, 1, t); }
    G3Normal* GetFacet2V1(G3TexCoo** t) const { return GetShading(1, 0, t); }
    G3Normal* GetFacet2V2(G3TexCoo** t) const { return GetShading(1, 1, t); }
    void SetFacet1V1(G3Normal* n, G3TexCoo* t) { SetShading(0, 0, n, t); }
    void SetFacet1V2(G3Normal* n, G3TexCoo* t) { SetShading(0, 1, n, t); }
    void SetFacet2V1(G3Normal* n, G3TexCoo* t) { SetShading(1, 0, n, t); }
    void SetFacet2V2(G3Normal* n, G3TexCoo* t) { SetShading(1, 1, n, t); }
    void SetNormals(G3Facet* f, G3Vertex* va, G3Normal* na, G3TexCoo* ta, G3Vertex* vb, G3Normal* nb, G3TexCoo* tb);
    bool GetNormals(G3Facet* f, G3Normal** n1, G3TexCoo** t1, G3Normal** n2, G3TexCoo** t2) const;
    bool GetNormals(G3Normal** n1, G3TexCoo** t1, G3Normal** n2, G3TexCoo** t2, int side) const;

    void SwapVertex();
    bool IsLink(const G3Edge* e) const;
    bool IsVertexEquals(const G3Edge* e) const;
    bool FacetEqu(const G3Facet* a, const G3Facet* b) const;
    double GetSizeXYZ() const;
    double GetSizeXY() const;
    double GetSize(int i, int j) const;
    static double GetSizeXYZ(const double* a, const double* b);
    GEnvelope* FormEnvelope(GEnvelope* envelope) const;
    static void CalcCentrePoint(const G3Vertex* a, const G3Vertex* b, double* out);
    static void GetTriangleVertex(const G3Edge* e1, const G3Edge* e2, G3Vertex** a, G3Vertex** b, G3Vertex** c);
    static double GetCosAngle(const G3Edge* e1, const G3Edge* e2);
    static double CalcRealSquareOfTriangle(const G3Edge* e1, const G3Edge* e2);
    // Projects p on the edge's line; true when the parameter t lies within
    // the edge (1e-6 tolerance at both ends).
    bool FindProjection(const double* p, double* projection, double* t) const;
    bool IsEdgeOnMesh() const;
    bool IsEdgeVisibleForDrawing(bool perspective) const;
    bool IsLegalForMerge() const;
    // Shading data for the point p of segment a-b, interpolated linearly in
    // the segment's parameter (taken along its dominant axis). New pooled
    // objects come back through n and t; a missing normal gives nulls, a
    // missing texture coordinate a null t.
    static void Interpolate(G3Vertex* a, G3Normal* na, G3TexCoo* ta, G3Vertex* b, G3Normal* nb, G3TexCoo* tb,
                            const double* p, G3Normal** n, G3TexCoo** t);

protected:
    // The edges of f form one unbroken run of edges between a and b that is
    // not all of f's edges.
    bool IsLegalForMerge(G3Facet* f, G3Facet* a, G3Facet* b) const;

private:
    G3Normal* GetShading(int side, int end, G3TexCoo** t) const;
    void SetShading(int side, int end, G3Normal* n, G3TexCoo* t);

    G3Vertex* m_Vertex1 = nullptr;
    G3Vertex* m_Vertex2 = nullptr;
    G3Edge* m_Vertex1Next = nullptr;
    G3Edge* m_Vertex2Next = nullptr;
    G3Facet* m_Facet1 = nullptr;
    G3Facet* m_Facet2 = nullptr;
    G3Edge* m_Facet1Next = nullptr;
    G3Edge* m_Facet2Next = nullptr;
    G3EdgeGeometry* m_Geometry = nullptr;
};

// A polyline over a vertex array held by its owner.
class TESSALY_API G3PolyEdge : public G3Obj {
    TESSALY_POOLED_CLASS(G3PolyEdge)

public:
    G3PolyEdge() = default;
    G3PolyEdge(int vertexCount, int firstIndex);

    void Copy(GObj* source) override;
    GObj* Duplicate() override;
    int GetObjectType() override;

    bool GetClosed() const { return TestFlag(1); }
    void SetClosed(bool closed);
    int GetVertexCount() const { return m_VertexCount; }
    int GetFirstIndex() const { return m_FirstIndex; }
    G3Vertex** GetEdges(G3Vertex** array) const { return array + m_FirstIndex; }
    // Segment i: array[first + i] to array[first + (i + 1) mod count]. With
    // no vertices both ends are null.
    void GetEdge(G3Vertex** array, int i, G3Vertex** a, G3Vertex** b) const;

    // The record attached by the poly-edge data provider.
    void GetExtEdgeData(G3Point* p1, G3Point* p2, G3Point* p3, G3Point* p4, double m[4][4]);
    void SetExtEdgeData(G3Surface* surface, const G3Point& p1, const G3Point& p2, const G3Point& p3, const G3Point& p4,
                        double m[4][4]);
    void* GetGraphic();
    bool SetGraphic(void* graphic);

private:
    int m_VertexCount = 0;
    int m_FirstIndex = 0;
};

// The provider that attaches to poly-edges four points, a matrix and one
// graphic pointer. One instance is registered for the library.
class TESSALY_API G3AcisEdgeDataProvider : public G3ExDataProvider {
public:
    struct Record {
        double points[4][3];
        double matrix[4][4];
        void* graphic;
    };

    void FreeExData(void* data) override;
    void TransformExData(G3Obj* obj, double m[4][4]) override;
    // Copies only between objects of type 2.
    void CopyExData(G3Obj* target, G3Obj* source) override;

    static G3AcisEdgeDataProvider* Instance();
};

// Walks the ring of a vertex: its edges, or the vertices at their other ends.
class TESSALY_API G3VertexEdgeIterator : public GIterator {
public:
    explicit G3VertexEdgeIterator(G3Vertex* v) : m_Vertex(v), m_Next(v ? v->GetFirstEdge() : nullptr) {}
    bool hasNext() override { return m_Next != nullptr; }
    GObj* next() override;

private:
    G3Vertex* m_Vertex;
    G3Edge* m_Next;
};

class TESSALY_API G3VertexVertexIterator : public GIterator {
public:
    explicit G3VertexVertexIterator(G3Vertex* v) : m_Edges(v), m_Vertex(v) {}
    bool hasNext() override { return m_Edges.hasNext(); }
    GObj* next() override;

private:
    G3VertexEdgeIterator m_Edges;
    G3Vertex* m_Vertex;
};
