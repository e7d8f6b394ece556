#pragma once
// Clipping of planar drawing geometry in the x-y plane.
//
// G3PolylineClipper has two independent services:
// - paths (contours of straight segments, each segment visible or hidden)
//   are loaded through its GPathLoader side, stored, and clipped against an
//   axis-parallel rectangle one border at a time; the pieces of the result
//   that run along a cut border are hidden, so a filled shape stays closed
//   while its outline is not drawn along the cut. The result goes out to
//   another GPathLoader;
// - a single line segment is clipped against a polygon; its pieces inside
//   the polygon go out to a GLineLoader.
// A clipper made with a rectangle clips only paths, one made with a polygon
// only line segments; the other service reports nothing and returns false.
//
// Coordinates are x, y, z triples; only x and y take part in the clipping,
// z is interpolated along the pieces.

#include <vector>

#include "tessaly/math.h"
#include "tessaly/paths.h"

// The borders of the clip rectangle that a path clip cuts off (bits of the
// flags of DoClip; other bits have no effect).
enum CLIP_BORDER {
    CLIP_MIN_X = 0x1,     // drop what lies at x below the minimum
    CLIP_MAX_X = 0x10000, // x above the maximum
    CLIP_MIN_Y = 0x2,     // y below the minimum
    CLIP_MAX_Y = 0x20000, // y above the maximum
    CLIP_ALL_BORDERS = CLIP_MIN_X | CLIP_MAX_X | CLIP_MIN_Y | CLIP_MAX_Y,
};

class TESSALY_API G3PolylineClipper : public GPathLoader {
public:
    // Clip rectangle: a copy of the envelope's x and y range. Null gives the
    // empty envelope (minimum 1, maximum -1), which keeps nothing where both
    // borders of an axis are clipped.
    explicit G3PolylineClipper(const GEnvelope* rectangle);
    // Clip rectangle with the corners (x1, y1) and (x2, y2), in any order.
    G3PolylineClipper(double x1, double y1, double x2, double y2);
    // Clip polygon of count vertices, x and y of each in points (copied).
    // Fewer than three vertices, null points or a coordinate that is not
    // finite make no polygon: line clips then return false. Either way this
    // clipper does not clip paths.
    G3PolylineClipper(int count, const double* points);
    ~G3PolylineClipper() override;
    G3PolylineClipper(const G3PolylineClipper&) = delete;
    G3PolylineClipper& operator=(const G3PolylineClipper&) = delete;

    // ---- Loading paths (GPathLoader) ---------------------------------------
    // Forgets the stored paths; count (the expected contours, or -1) only
    // sizes the storage.
    void PathBegin(int count) override;
    // Nothing to do: clipping is always in the x-y plane.
    void PathSetPreferPlane(int a1, int a2) override;
    // Starts a contour at start (x, y, z) with a hidden move segment; count
    // is not needed. A null start is ignored, and so are the segments that
    // follow it up to the next contour.
    void PathContourBegin(const double* start, int count, CONTOUR_TYPE type) override;
    // Adds a segment of count points (x, y, z each) to the last contour;
    // ignored before the first contour, or with no points.
    void PathContourSegmentTo(SEGMENT_TYPE type, SEGMENT_VISIBILITY visibility, int count,
                              const double* points) override;
    void PathContourEnd() override;
    void PathEnd() override;

    // ---- Clipping ----------------------------------------------------------
    // flags 0: the stored paths go to out unchanged (OutAll), true.
    // Otherwise the stored paths clipped against the rectangle on the
    // borders the CLIP_BORDER bits of flags select (ClipWithRectangle);
    // false, nothing reported, for a clipper made with a polygon, or when
    // out is null or this clipper itself.
    bool DoClip(GPathLoader* out, int flags);
    // The pieces of the line from-to (x, y, z each) inside the clip polygon
    // go to out (ClipWithPolygon); false for a clipper made with a
    // rectangle, or a null argument.
    bool DoClip(const double* from, const double* to, GLineLoader* out);

    // Each stored contour clipped against the selected borders of the
    // rectangle. Before the first contour that keeps anything, out gets
    // PathBegin(-1); after the last, PathEnd. Every contour that keeps a
    // vertex goes out as PathContourBegin(first vertex, vertex count,
    // CONTOUR_UNDEFINED), one PathContourSegmentTo(SEGMENT_LINE, visibility,
    // 1, vertex) for every further vertex, and PathContourEnd. Pieces made
    // by cutting along a border are hidden; the others, and original edges
    // that lie on a border, keep their visibility. A closed contour (its
    // start point repeated at its end) stays closed. A vertex whose x or y
    // is not finite is left out. False, and nothing reported at all, when
    // no contour keeps anything.
    bool ClipWithRectangle(GPathLoader* out, int flags);
    // The line from-to clipped against the polygon: every piece inside it
    // (its boundary included) goes to out as LineLoad(start, end), ordered
    // along the line's dominant axis (x, or y when the line is steeper), so
    // a piece may run against the line's own direction. z of a piece's end
    // is the line's z at that point. A line that only touches a vertex of
    // the polygon, or runs along an edge with the polygon on one side, gets
    // no piece there. False when no piece was reported (no polygon, a line
    // shorter than the length tolerance or not finite).
    bool ClipWithPolygon(const double* from, const double* to, GLineLoader* out);
    // The stored paths to out: PathBegin(contour count), per contour
    // PathContourBegin(start point, segment count including the move,
    // CONTOUR_UNDEFINED), PathContourSegmentTo(SEGMENT_LINE, visibility, 1,
    // first point) for every further segment and PathContourEnd; then
    // PathEnd. Only the first point of a segment goes out. Null, or this
    // clipper itself, is ignored.
    void OutAll(GPathLoader* out) const;

private:
    // One stored contour: its segments are [firstSegment, firstSegment +
    // segmentCount).
    struct ContourRecord {
        int segmentCount;
        int firstSegment;
        CONTOUR_TYPE type;
    };
    // One stored segment: its points (dimension doubles each) start at
    // point index firstPoint.
    struct SegmentRecord {
        int pointCount;
        int firstPoint;
        SEGMENT_TYPE type;
        SEGMENT_VISIBILITY visibility;
    };
    // A vertex of a contour being clipped: the visibility is that of the
    // piece ending at it; cutId names the pass whose border it lies on (0
    // for none).
    struct ClipVertex {
        double xyz[3];
        SEGMENT_VISIBILITY visibility;
        int cutId;
    };
    // A point of the line's cut list.
    struct CutPoint {
        double xyz[3];
    };

    // Clips stored contour index into out; begun tells whether PathBegin
    // went out already. True when the contour kept a vertex.
    bool ClipPolygon(int index, GPathLoader* out, int flags, bool& begun);
    const double* SegmentPoint(int segment) const;

    // Stored paths.
    std::vector<ContourRecord> m_Contours;
    std::vector<double> m_Points;
    std::vector<SegmentRecord> m_Segments;
    int m_Dimension = 3;
    // Whether segments go to the last contour (false before the first one
    // and after a contour with a null start).
    bool m_ContourOpen = false;

    // The clip rectangle (its x and y ranges).
    GEnvelope m_Rectangle;

    // Made with a polygon: clips line segments, not paths.
    bool m_PolygonClipper = false;
    // The clip polygon, x and y a vertex; empty when there is none.
    std::vector<double> m_Polygon;
    // The line's cut points and the parts of the polygon that lie on the
    // line (as pairs of points).
    std::vector<CutPoint> m_Cuts;
    std::vector<CutPoint> m_OnLineEdges;

    // Work list of the rectangle clip: the clipped contour.
    std::vector<ClipVertex> m_Work;
};
