// G3PolylineClipper: storing the loaded paths, handing them on unchanged,
// and clipping them against the rectangle one border at a time.
//
// Each contour is a chain of vertices, one per stored segment (its first
// point), each carrying the visibility of the piece that ends at it. A pass
// keeps the part of the chain on the inner side of one border line and
// replaces what lies beyond by pieces along the border; those pieces are
// hidden, and every vertex on the border is marked with the pass's cut id
// so that the pass can tell when the chain runs along it.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "tessaly/clipper.h"

namespace {
// Initial room of the stored paths: contours when the count is not given,
// segments and points of a new load.
constexpr int kContourReserve = 16;
constexpr int kSegmentReserve = 1024;
constexpr int kPointReserve = 1024;
// A given contour or segment count is a hint only: reserving more than
// this up front is left to growth.
constexpr int kContourReserveLimit = 1 << 16;
constexpr int kSegmentReserveLimit = 1 << 22;
// Room of the line clip's lists per polygon vertex: cut points, and points
// of the polygon's parts that lie on the line.
constexpr std::size_t kCutsPerVertex = 4;

// The rectangle clip's passes in their order: the flag that selects the
// pass, the axis of its border line, and whether it keeps the coordinates
// at or above the rectangle's minimum (else at or below its maximum).
struct BorderPass {
    int flag;
    int axis;
    bool minimum;
};
constexpr BorderPass kPasses[] = {
    {CLIP_MIN_X, 0, true},
    {CLIP_MAX_X, 0, false},
    {CLIP_MIN_Y, 1, true},
    {CLIP_MAX_Y, 1, false},
};

bool PolygonUsable(int count, const double* points)
{
    if (count < 3 || !points)
        return false;
    for (std::size_t k = 0; k < 2 * static_cast<std::size_t>(count); ++k)
        if (!std::isfinite(points[k]))
            return false;
    return true;
}
} // namespace

G3PolylineClipper::G3PolylineClipper(const GEnvelope* rectangle) : m_Rectangle(rectangle) {}

G3PolylineClipper::G3PolylineClipper(double x1, double y1, double x2, double y2)
{
    const double corner1[3] = {x1, y1, 0.0};
    const double corner2[3] = {x2, y2, 0.0};
    m_Rectangle = GEnvelope(corner1, corner2, nullptr);
}

G3PolylineClipper::G3PolylineClipper(int count, const double* points) : m_PolygonClipper(true)
{
    if (!PolygonUsable(count, points))
        return;
    const std::size_t n = static_cast<std::size_t>(count);
    m_Polygon.assign(points, points + 2 * n);
    m_Cuts.reserve(kCutsPerVertex * n);
    m_OnLineEdges.reserve(kCutsPerVertex * n);
}

G3PolylineClipper::~G3PolylineClipper() = default;

// ---- Loading ----------------------------------------------------------------

void G3PolylineClipper::PathBegin(int count)
{
    m_Contours.clear();
    m_Segments.clear();
    m_Points.clear();
    m_ContourOpen = false;
    m_Contours.reserve(static_cast<std::size_t>(count < 1 ? kContourReserve : std::min(count, kContourReserveLimit)));
    m_Segments.reserve(kSegmentReserve);
    m_Points.reserve(static_cast<std::size_t>(kPointReserve * m_Dimension));
}

void G3PolylineClipper::PathSetPreferPlane(int, int) {}

void G3PolylineClipper::PathContourBegin(const double* start, int count, CONTOUR_TYPE type)
{
    m_ContourOpen = start != nullptr;
    if (!start)
        return;
    // Room for the announced segments at once, rather than growing (and
    // copying) step by step through a long contour.
    const std::size_t room = static_cast<std::size_t>(std::clamp(count, 1, kSegmentReserveLimit));
    const std::size_t pointRoom = room * static_cast<std::size_t>(m_Dimension);
    if (m_Segments.capacity() < m_Segments.size() + room)
        m_Segments.reserve(std::max(m_Segments.size() + room, 2 * m_Segments.size()));
    if (m_Points.capacity() < m_Points.size() + pointRoom)
        m_Points.reserve(std::max(m_Points.size() + pointRoom, 2 * m_Points.size()));
    const int firstSegment = static_cast<int>(m_Segments.size());
    const int firstPoint = static_cast<int>(m_Points.size()) / m_Dimension;
    m_Contours.push_back({1, firstSegment, type});
    m_Segments.push_back({1, firstPoint, SEGMENT_MOVE, SEGMENT_HIDDEN});
    m_Points.insert(m_Points.end(), start, start + m_Dimension);
}

void G3PolylineClipper::PathContourSegmentTo(SEGMENT_TYPE type, SEGMENT_VISIBILITY visibility, int count,
                                             const double* points)
{
    if (!m_ContourOpen || count < 1 || !points)
        return;
    const int firstPoint = static_cast<int>(m_Points.size()) / m_Dimension;
    m_Segments.push_back({count, firstPoint, type, visibility});
    m_Points.insert(m_Points.end(), points, points + static_cast<std::size_t>(count) * m_Dimension);
    ++m_Contours.back().segmentCount;
}

void G3PolylineClipper::PathContourEnd() {}

void G3PolylineClipper::PathEnd() {}

const double* G3PolylineClipper::SegmentPoint(int segment) const
{
    return &m_Points[static_cast<std::size_t>(m_Segments[static_cast<std::size_t>(segment)].firstPoint) *
                     static_cast<std::size_t>(m_Dimension)];
}

// ---- Handing on ---------------------------------------------------------------

bool G3PolylineClipper::DoClip(GPathLoader* out, int flags)
{
    // Clipping into this clipper would clear the paths while they are read.
    if (!out || out == this)
        return false;
    if (flags == 0) {
        OutAll(out);
        return true;
    }
    if (m_PolygonClipper)
        return false;
    return ClipWithRectangle(out, flags);
}

bool G3PolylineClipper::DoClip(const double* from, const double* to, GLineLoader* out)
{
    if (!m_PolygonClipper)
        return false;
    return ClipWithPolygon(from, to, out);
}

void G3PolylineClipper::OutAll(GPathLoader* out) const
{
    if (!out || out == this)
        return;
    out->PathBegin(static_cast<int>(m_Contours.size()));
    for (const ContourRecord& contour : m_Contours) {
        out->PathContourBegin(SegmentPoint(contour.firstSegment), contour.segmentCount, CONTOUR_UNDEFINED);
        for (int s = contour.firstSegment + 1; s < contour.firstSegment + contour.segmentCount; ++s)
            out->PathContourSegmentTo(SEGMENT_LINE, m_Segments[static_cast<std::size_t>(s)].visibility, 1,
                                      SegmentPoint(s));
        out->PathContourEnd();
    }
    out->PathEnd();
}

// ---- The rectangle clip -----------------------------------------------------

bool G3PolylineClipper::ClipWithRectangle(GPathLoader* out, int flags)
{
    if (!out || out == this || m_PolygonClipper)
        return false;
    bool begun = false;
    for (int k = 0; k < static_cast<int>(m_Contours.size()); ++k)
        ClipPolygon(k, out, flags, begun);
    if (!begun)
        return false;
    out->PathEnd();
    return true;
}

bool G3PolylineClipper::ClipPolygon(int index, GPathLoader* out, int flags, bool& begun)
{
    // The passes run as a pipeline: every vertex of the chain goes through
    // the selected passes in order, each pass handing what it emits straight
    // to the next, and only the last pass's output is kept (in m_Work). A
    // pass decides about a vertex P when the next vertex Q arrives, so it
    // holds back one vertex, and it finishes when the chain ends.
    struct Pass {
        int axis;
        double limit;
        bool keepAbove;
        int cutId;
        bool Inside(double c) const { return keepAbove ? c >= limit : c <= limit; }
        bool StrictlyInside(double c) const { return keepAbove ? c > limit : c < limit; }
        bool StrictlyOutside(double c) const { return keepAbove ? c < limit : c > limit; }
        // The vertex held back, and whether the one before it lay beyond
        // the border.
        bool holding = false;
        ClipVertex held;
        bool heldFromOutside = false;
        // The first vertex emitted, and the cut id of the last one.
        bool emitted = false;
        ClipVertex first;
        int lastCutId = 0;
    };
    struct Pipeline {
        Pass passes[4];
        int count = 0;
        std::vector<ClipVertex>* output;

        void Emit(int k, const ClipVertex& v)
        {
            Pass& pass = passes[k];
            if (!pass.emitted) {
                pass.emitted = true;
                pass.first = v;
            }
            pass.lastCutId = v.cutId;
            Feed(k + 1, v);
        }
        // P kept: on the border it carries the cut id. If the chain arrives
        // at it from beyond the border, the piece ending at it now runs
        // along the border in place of the part cut off: hidden. An original
        // edge that lies on the border keeps its own visibility.
        void Keep(int k, ClipVertex p, bool fromOutside)
        {
            const Pass& pass = passes[k];
            p.cutId = p.xyz[pass.axis] == pass.limit ? pass.cutId : 0;
            if (p.cutId != 0 && fromOutside)
                p.visibility = SEGMENT_HIDDEN;
            Emit(k, p);
        }
        // The point where p-q crosses the border. The piece ending there
        // runs along the border when the vertex emitted before it lies on
        // the border (hidden), else it is a part of p-q with q's visibility.
        void Cut(int k, const ClipVertex& p, const ClipVertex& q)
        {
            const Pass& pass = passes[k];
            ClipVertex v;
            const double t = (pass.limit - p.xyz[pass.axis]) / (q.xyz[pass.axis] - p.xyz[pass.axis]);
            for (int a = 0; a < 3; ++a)
                v.xyz[a] = p.xyz[a] + (q.xyz[a] - p.xyz[a]) * t;
            v.xyz[pass.axis] = pass.limit;
            v.cutId = pass.cutId;
            v.visibility = pass.emitted && pass.lastCutId == pass.cutId ? SEGMENT_HIDDEN : q.visibility;
            Emit(k, v);
        }
        void Feed(int k, const ClipVertex& q)
        {
            if (k == count) {
                output->push_back(q);
                return;
            }
            Pass& pass = passes[k];
            if (pass.holding) {
                const ClipVertex& p = pass.held;
                const double c = p.xyz[pass.axis];
                if (!pass.Inside(c)) {
                    if (pass.StrictlyInside(q.xyz[pass.axis]))
                        Cut(k, p, q);
                } else {
                    Keep(k, p, pass.heldFromOutside);
                    if (pass.StrictlyOutside(q.xyz[pass.axis]))
                        Cut(k, p, q);
                }
                pass.heldFromOutside = pass.StrictlyOutside(c);
            }
            pass.holding = true;
            pass.held = q;
        }
        // The chain has ended: the last vertex is kept when inside, and a
        // chain that leaves and ends on the border is closed along it.
        void Finish(int k)
        {
            if (k == count)
                return;
            Pass& pass = passes[k];
            if (pass.holding && pass.Inside(pass.held.xyz[pass.axis]))
                Keep(k, pass.held, pass.heldFromOutside);
            if (pass.emitted && pass.first.cutId == pass.cutId && pass.lastCutId == pass.cutId) {
                ClipVertex closing = pass.first;
                closing.cutId = 0;
                closing.visibility = SEGMENT_HIDDEN;
                Emit(k, closing);
            }
            Finish(k + 1);
        }
    };

    Pipeline pipeline;
    pipeline.output = &m_Work;
    for (const BorderPass& border : kPasses) {
        if ((flags & border.flag) == 0)
            continue;
        Pass& pass = pipeline.passes[pipeline.count];
        pass.axis = border.axis;
        pass.limit = border.minimum ? m_Rectangle.GetMin(border.axis) : m_Rectangle.GetMax(border.axis);
        pass.keepAbove = border.minimum;
        pass.cutId = ++pipeline.count;
    }

    const ContourRecord& contour = m_Contours[static_cast<std::size_t>(index)];
    // Room for a cut in every edge (memory that is never touched costs
    // nothing but address space); more grows the list.
    m_Work.clear();
    m_Work.reserve(2 * static_cast<std::size_t>(contour.segmentCount) + 1);
    for (int s = contour.firstSegment; s < contour.firstSegment + contour.segmentCount; ++s) {
        // A vertex without a place in the plane is left out; its neighbours
        // are joined directly.
        const double* p = SegmentPoint(s);
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]))
            continue;
        pipeline.Feed(0, {{p[0], p[1], p[2]}, m_Segments[static_cast<std::size_t>(s)].visibility, 0});
    }
    pipeline.Finish(0);
    if (m_Work.empty())
        return false;

    if (!begun) {
        out->PathBegin(-1);
        begun = true;
    }
    out->PathContourBegin(m_Work.front().xyz, static_cast<int>(m_Work.size()), CONTOUR_UNDEFINED);
    for (std::size_t k = 1; k < m_Work.size(); ++k)
        out->PathContourSegmentTo(SEGMENT_LINE, m_Work[k].visibility, 1, m_Work[k].xyz);
    out->PathContourEnd();
    return true;
}
