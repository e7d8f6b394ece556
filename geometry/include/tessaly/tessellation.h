#pragma once
// Triangulation front ends of the Tessaly kernel.
//
// GTriangulator wraps the GLU polygon tessellator: the caller sends one
// polygon (one or more closed contours of points, each point with a data
// pointer of the caller's) and receives its triangles as triples of those
// data pointers through the virtual Triangle. Every tessellator object
// keeps its own state and reaches GLU through the re-entrant *_DATA
// callbacks, so different triangulators may run on different threads at
// the same time.
//
// G3SurfaceTriangulator collects the triangles in a list;
// G3Surface::Triangulate uses it to replace facets by triangles.
//
// G3TriInterface is the front end of the constrained Delaunay engine: points
// of a plane in space and segments between them go in, a surface of
// triangles whose edges include every segment comes out.

#include <utility>
#include <vector>

#include "tessaly/containers.h"
#include "tessaly/elements.h"

struct GLUtesselator;
class G3Surface;
class G3TMesh;
class G3TVertex;

class TESSALY_API GTriangulator {
public:
    GTriangulator();
    virtual ~GTriangulator();
    GTriangulator(const GTriangulator&) = delete;
    GTriangulator& operator=(const GTriangulator&) = delete;

    // Starts a polygon. The (i, j) form names the polygon's projection axes
    // and lets the tessellator look along the third axis.
    virtual void BeginPolygon();
    virtual void BeginPolygon(int i, int j);
    // Ends the polygon: the tessellator runs and Triangle is called once per
    // triangle.
    virtual void EndPolygon();
    // One triangle of the polygon, as the data pointers of its corners, in
    // the turning sense of the polygon's normal.
    virtual void Triangle(void* a, void* b, void* c);
    // Each vertex as the tessellator hands it out, before it joins a
    // triangle.
    virtual void Vertex(void* data);

    // The contours of the polygon: each closed loop between BeginContour and
    // EndContour. A point sent outside a contour opens one that EndPolygon
    // closes.
    void BeginContour();
    void EndContour();
    // The point's coordinates (read when EndPolygon runs, so the point must
    // live until then) and the caller's data for it.
    void AddVertex(G3Point* point, void* data);
    void AddVertex(const double* xyz, void* data);
    // The normal the polygon is seen along (the turning sense of the
    // triangles); without one the tessellator finds it from the points.
    void SetNormal(const double* normal);

    // The last polygon could not be tessellated as given: the tessellator
    // reported an error, or its contours cross (it asked for a new vertex).
    bool HasFailed() const { return m_Failed; }
    // Number of triangles of the last polygon.
    int GetTriangleCount() const { return m_Triangles; }

private:
    friend struct GTriangulatorCallbacks;
    // A point of the polygon and the caller's data for it.
    struct Corner {
        double xyz[3];
        void* data;
    };
    void Run();
    void Emit(void* a, void* b, void* c);

    GLUtesselator* m_Tess = nullptr;
    int m_Primitive = 0;
    int m_Count = 0;
    void* m_A = nullptr;
    void* m_B = nullptr;
    int m_StripParity = 0;
    int m_Triangles = 0;
    bool m_InContour = false;
    bool m_Failed = false;
    double m_Normal[3] = {0, 0, 0};
    // The contours of the polygon in hand; GLU holds pointers to their
    // corners while it runs, so they do not move then.
    std::vector<std::vector<Corner>> m_Contours;
};

// Collects every triangle's three data pointers, in order, in a list.
class TESSALY_API G3SurfaceTriangulator : public GTriangulator {
public:
    G3SurfaceTriangulator() = default;
    // Empties the list: it holds the triangles of one polygon.
    void BeginPolygon() override;
    using GTriangulator::BeginPolygon;
    void Triangle(void* a, void* b, void* c) override;
    GArrayCollection* GetCorners() { return &m_Corners; }

private:
    GArrayCollection m_Corners;
};

class TESSALY_API G3TriInterface {
public:
    // What MakeTriangulation does beyond the constrained Delaunay
    // triangulation of the points (bits, combined with |).
    enum BasicOptions {
        // Every triangle of the convex hull; constraints are forced in, and
        // constraints that cross each other are split at a new vertex.
        TRI_DEFAULT = 0,
        // Only the triangles inside the loops of the segments: crossing a
        // segment toggles between inside and outside (even-odd), and the
        // hull is outside. For polygons with holes given as their edges.
        TRI_INSIDE_ONLY = 1,
    };

    G3TriInterface();
    // Copies are independent: they hold the same points, segments and
    // plane, and are not triangulated yet.
    G3TriInterface(const G3TriInterface& other);
    G3TriInterface& operator=(const G3TriInterface& other);
    virtual ~G3TriInterface();

    // The plane's axes u and v (two orthogonal unit vectors, used as given);
    // the normal becomes u x v. Null vectors are ignored.
    void Set2DPlane(double* u, double* v);
    // A point: plane coordinates (p.u, p.v), height p.n. Null for a null
    // point, a point that is not finite, or after MakeTriangulation.
    G3TVertex* AddVertex(double* p);
    // A segment that must appear as a chain of triangle edges. False for a
    // vertex of another interface or a null one.
    bool AddEdge(G3TVertex* a, G3TVertex* b);
    // Triangulates the points and inserts the segments, once. False when
    // already done, or when no triangle came out (fewer than three distinct
    // points, or all on a line).
    bool MakeTriangulation(BasicOptions options);
    // The triangles as a new surface (owned by the caller), or added to s
    // (then returned); coincident points end as one vertex. Null before
    // MakeTriangulation.
    G3Surface* GetSurface();
    G3Surface* GetSurface(G3Surface* s);
    // Every option value is understood.
    bool option(BasicOptions) const { return true; }

    int GetVertexCount() const;
    int GetTriangleCount() const;

protected:
    G3TMesh* GetMesh() const { return m_Mesh; }

private:
    void CopyInputs(const G3TriInterface& other);

    G3TMesh* m_Mesh = nullptr;
    double m_U[3] = {1, 0, 0};
    double m_V[3] = {0, 1, 0};
    double m_N[3] = {0, 0, 1};
    std::vector<G3TVertex*> m_Inputs; // the given points, by index
    std::vector<std::pair<G3TVertex*, G3TVertex*>> m_Segments;
    bool m_Triangulated = false;
};
