#pragma once
// Terrain surfaces: triangulated height fields held in a G3Surface.
//
// G3LandscapeHandler keeps a list of region outlines (closed polylines in
// plan, such as building pads), answers whether a plan point lies in one of
// them, offsets outlines, cuts each region with a slope band out of a
// terrain and fills it again at the heights of its own outline, closes a
// terrain into a solid with skirts down to height 0 and bottom facets, and
// runs smoothing passes over a terrain. It is a G3TriInterface, so it also
// triangulates points and segments of a plane.
//
// The smoothing passes return new surfaces and leave their input's geometry
// and extended-data slots as they were. The second-order passes give every
// vertex of their result a slope record (G3Derivative) in its slot, so that
// a further pass goes on from those slopes; those records belong to the
// owner of the result, who frees them with DeleteSlopeRecords.

#include <vector>

#include "tessaly/surface.h"
#include "tessaly/tessellation.h"

// The slope record of a terrain vertex: the first derivatives fx, fy and
// the second-order coefficients of the height around the vertex (see
// G3LandscapeHandler::TaylorHeight). All zero when made.
class TESSALY_API G3Derivative : public GObj {
    TESSALY_POOLED_CLASS(G3Derivative)

public:
    G3Derivative() = default;
    void Copy(GObj* source) override;
    GObj* Duplicate() override;

    double fx = 0;
    double fy = 0;
    double cyx = 0;
    double cxx = 0;
    double cxy = 0;
    double cyy = 0;
};

// Three vertex references of a triangle being refined (not owned).
class TESSALY_API G3SmoothTriangle : public GObj {
public:
    G3SmoothTriangle() = default;
    G3SmoothTriangle(G3Vertex* p, G3Vertex* q, G3Vertex* r) : P(p), Q(q), R(r) {}

    G3Vertex* P = nullptr;
    G3Vertex* Q = nullptr;
    G3Vertex* R = nullptr;
};

class TESSALY_API G3LandscapeHandler : public G3TriInterface {
public:
    // Called with 1 before and 0 after the handler adds facets to a surface.
    typedef void (*FacetNotifier)(int starting);
    // Non-zero for a facet of a special class, 0 for plain terrain.
    typedef int (*FacetClassifier)(G3Facet* facet);

    G3LandscapeHandler();
    // Copies are independent: each owns its own copies of the regions.
    G3LandscapeHandler(const G3LandscapeHandler& other);
    G3LandscapeHandler& operator=(const G3LandscapeHandler& other);
    ~G3LandscapeHandler() override;

    // ---- Regions -------------------------------------------------------------
    // Opens a new empty outline (an open one is discarded).
    void StartContour();
    // Appends a point to the open outline, unless it equals the last point.
    // False when no outline is open or the point is not finite.
    bool AddContourVertex(double x, double y, double z);
    // Closes the open outline (its first point is appended when the last
    // differs), makes it clockwise and stores it. False, and nothing
    // stored, when no outline is open, it has fewer than 3 distinct points,
    // no area, or crosses itself. No outline is open afterwards.
    bool EndContour();
    // The stored outlines (each a GArrayCollection of G3Point, closed and
    // clockwise); owned by the handler.
    GArrayCollection* GetRegions() { return &m_Regions; }
    int GetRegionCount() const { return m_Regions.count(); }
    // Deletes every stored outline.
    void ClearRegions();

    // True when the plan point lies inside an odd number of crossings of at
    // least one outline of the list (each a list of G3Point, closed).
    static bool PointInContour(GArrayCollection* outlines, double x, double y);
    // Appends to out the closed outline in moved sideways by distance, to
    // the left of its direction (outward for a clockwise outline and a
    // positive distance), as new G3Points owned by the caller. False, and
    // nothing appended, when in has fewer than 2 points, no two shifted
    // sides meet, or an argument is null.
    static bool OffsetContour(GArrayCollection* in, GArrayCollection* out, double distance);

    // ---- Settings --------------------------------------------------------------
    // Width of the slope band around each region; 0 after construction, and
    // ApplyFlatRegion does nothing until it is set.
    void SetFlatMargin(double margin) { m_FlatMargin = margin; }
    double GetFlatMargin() const { return m_FlatMargin; }
    void SetFacetNotifier(FacetNotifier notifier) { m_Notifier = notifier; }
    void SetFacetClassifier(FacetClassifier classifier) { m_Classifier = classifier; }

    // ---- Operations --------------------------------------------------------------
    // Closes the terrain into a solid: a skirt from every border edge down
    // to height 0 and one bottom facet per outer border loop, with the loops
    // inside it as holes. Edge marks are set for drawing. Nothing happens
    // to a surface without border edges.
    void SurfaceCover(G3Surface* s);
    // A new terrain in which every stored region lies at the heights of its
    // outline, joined to the old terrain by a band of the flat margin's
    // width. The stored regions are replaced by densified copies. s is only
    // repaired (Update 1001). Null when no region is stored, the margin is
    // below 0.0001 in absolute value, s has no edges or a too short mean
    // edge, a widened region does not lie inside the terrain, or the cut
    // leaves nothing.
    G3Surface* ApplyFlatRegion(G3Surface* s);
    // passes smoothing passes over a duplicate of s: mode 1 SmoothSurface,
    // 2 SmoothSurfaceEx, 3 and 4 SecondOrderSmoothSurface. Another mode, or
    // no pass, gives the duplicate. Null when a pass fails. With mode 3 the
    // result's slope records are deleted; with mode 4 they stay (free them
    // with DeleteSlopeRecords). s is not changed.
    G3Surface* LandscapeSmoothing(G3Surface* s, int mode, int passes);

    // ---- Smoothing passes ------------------------------------------------------
    // Every triangle (facets of more vertices are split first) into four,
    // the edge points lifted onto the cubic through the slopes at the edge
    // ends; a poly-edge from every vertex along its normal. Null for null.
    G3Surface* SmoothSurface(G3Surface* s);
    // One point per triangle at the mean of the corners' tangent planes,
    // everything triangulated again inside the terrain's plan outline.
    G3Surface* SmoothSurfaceEx(G3Surface* s);
    // Second-order pass: mode 3 adds a centre point per triangle, mode 4
    // an edge point per edge; both add one on every border edge, and the
    // points are triangulated again inside the plan outline. The result's
    // vertices carry slope records. Null when no triangle comes out.
    G3Surface* SecondOrderSmoothSurface(G3Surface* s, int mode);
    // Triangulates the vertices again inside the plan outline and refines
    // every triangle depth times (1 at least, 8 at most) into four. The
    // result carries no slope records. Null when the triangulation fails.
    G3Surface* SecondOrderSmoothSurfaceEx(G3Surface* s, int depth);

    // Deletes the slope records in the slots of s's vertices (and nothing
    // else) and clears those slots. Returns the number deleted.
    static int DeleteSlopeRecords(G3Surface* s);
    // The height that the vertex at p with record d predicts at (x, y).
    static double TaylorHeight(const double* p, const G3Derivative& d, double x, double y);

protected:
    // Gives every vertex of result the record attached to the triangulation
    // vertex it was made from (a new G3Derivative in its slot; a zero one
    // for a point the engine made). False before a triangulation.
    bool CopyExtData(G3Surface* result);

private:
    void CopyRegions(const G3LandscapeHandler& other);
    G3Surface* FlattenRegion(G3Surface* r, GArrayCollection* region, const double* origin);
    void Notify(int starting) const;

    GArrayCollection m_Regions;
    GArrayCollection* m_OpenRegion = nullptr;
    double m_FlatMargin = 0;
    FacetNotifier m_Notifier = nullptr;
    FacetClassifier m_Classifier = nullptr;
};
