// Strips between two levels of a roof, gathered plane by plane into polygons,
// and the polygons made facets of the target surface.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>
#include <utility>

#include "architecture/roof_internal.h"
#include "architecture/roof_tolerances.h"
#include "tessaly/roof.h"

using tessaly::kLengthTolerance;
using tessaly::roof::kAngleTolerance;

namespace {
// A vertex of v's strip, in v's plane, with the given source index.
G3RoofVertex* StripCopy(const G3RoofVertex* q, const G3RoofVertex* v, int source)
{
    auto* copy = new G3RoofVertex(*q);
    copy->TakeEdgeOf(v);
    copy->SetSourceIndex(source);
    copy->SetMarks(0);
    return copy;
}
} // namespace

bool G3RoofGenerator::MakeNextRoofSectionEx(G3RoofVertex* loop)
{
    if (!loop)
        return false;
    G3RoofVertex* v = loop;
    do {
        int index = v->GetPitchIndex();
        if (index < 0 || index >= m_Pitches.size() || !GetPitch(index)->HasPlane(v->GetPlane()))
            index = GetPitchIndex(v->GetPlane());
        if (index >= 0)
            AddFacetToRoofPitch(GetPitch(index), v);
        v = v->GetNext();
    } while (v != loop);
    return true;
}

bool G3RoofGenerator::AddFacetToRoofPitch(G3RoofPitch* pitch, G3RoofVertex* v)
{
    if (!pitch || !v)
        return false;
    GArrayCollection* polygons = pitch->GetPolygons();
    for (int i = 0; i < polygons->size(); ++i) {
        auto* polygon = static_cast<G3RoofVertex*>(polygons->get(i));
        if (AddFacetToRoofPitchEx(polygon, v)) {
            polygons->put(i, polygon);
            if (!polygon)
                polygons->RemoveWithShift(i);
            return true;
        }
    }
    G3RoofVertex* own = nullptr;
    AddFacetToRoofPitchEx(own, v);
    if (own)
        polygons->add(own);
    return true;
}

bool G3RoofGenerator::AddFacetToRoofPitchEx(G3RoofVertex*& polygon, G3RoofVertex* v)
{
    if (!v)
        return false;
    G3RoofVertex* p = v->GetPrevious();
    const G3RoofVertex* strip[4] = {p, p->GetUpper(), v->GetUpper(), v};
    if (!strip[1] || !strip[2])
        return true;
    if (!polygon) {
        for (const G3RoofVertex* q : strip)
            polygon = G3RoofVertex::Append(polygon, StripCopy(q, v, v->GetSourceIndex()));
        polygon = DeleteUselessVertices(polygon);
        return true;
    }
    // The strip goes in where its lower edge lies on an edge of the polygon
    // that runs the same way at the same height: the polygon's upper border
    // there. The strip lies above that edge, the polygon below it.
    const double z = v->GetZ();
    const double* a = p->GetXYZ();
    const double* b = v->GetXYZ();
    G3RoofVertex* r = polygon;
    do {
        const double* s = r->GetPrevious()->GetXYZ();
        const double* e = r->GetXYZ();
        const bool level = std::fabs(s[2] - z) < kAngleTolerance && std::fabs(e[2] - z) < kAngleTolerance;
        const bool along = (e[0] - s[0]) * (b[0] - a[0]) + (e[1] - s[1]) * (b[1] - a[1]) > 0;
        if (level && along && PtOnSegment(a, s, e, kLengthTolerance) && PtOnSegment(b, s, e, kLengthTolerance)) {
            for (const G3RoofVertex* q : strip)
                G3RoofVertex::InsertBefore(r, StripCopy(q, v, r->GetSourceIndex()));
            polygon = DeleteUselessVertices(polygon);
            return true;
        }
        r = r->GetNext();
    } while (r != polygon);
    return false;
}

bool G3RoofGenerator::MakeNextRoofSection(G3RoofVertex* ring)
{
    if (!ring || !m_Target)
        return false;
    G3RoofVertex* v = ring;
    do {
        G3RoofVertex* n = v->GetNext();
        if (n->GetAngle() <= tessaly::roof::kVerticalAngle && v->GetUpper() && n->GetUpper()) {
            const double quad[4][3] = {{v->GetXYZ()[0], v->GetXYZ()[1], v->GetXYZ()[2]},
                                       {v->GetUpper()->GetXYZ()[0], v->GetUpper()->GetXYZ()[1], v->GetUpper()->GetZ()},
                                       {n->GetUpper()->GetXYZ()[0], n->GetUpper()->GetXYZ()[1], n->GetUpper()->GetZ()},
                                       {n->GetXYZ()[0], n->GetXYZ()[1], n->GetXYZ()[2]}};
            FacetAdd(2, 4, quad, 1);
        }
        v = n;
    } while (v != ring);
    return true;
}

G3Facet* G3RoofGenerator::FacetAdd(long flags, int count, const double (*points)[3], int edgeFlags)
{
    if (!m_Target || !points || count < 3)
        return nullptr;
    std::vector<G3Vertex*> vertices;
    for (int k = 0; k < count; ++k)
        vertices.push_back(
            m_Target->AddVertex(points[k][0] + m_Origin[0], points[k][1] + m_Origin[1], points[k][2] + m_Origin[2], 0));
    G3Facet* facet = m_Target->AddFacet(count, vertices.data(), edgeFlags, nullptr, nullptr);
    if (!facet) {
        // A facet refused (no three distinct corners) leaves no vertex behind.
        for (G3Vertex* v : vertices)
            m_Target->RemoveVertex(v);
        return nullptr;
    }
    facet->SetFlags(flags);
    return facet;
}

G3Facet* G3RoofGenerator::FacetAddEx(G3RoofVertex* polygon, long flags, int edgeFlags, double heightOffset)
{
    const int count = G3RoofVertex::Count(polygon);
    if (count < 3)
        return nullptr;
    auto points = std::make_unique<double[][3]>(static_cast<std::size_t>(count));
    G3RoofVertex* v = polygon;
    for (int k = 0; k < count; ++k, v = v->GetNext()) {
        points[k][0] = v->GetXYZ()[0];
        points[k][1] = v->GetXYZ()[1];
        points[k][2] = v->GetZ() + heightOffset;
    }
    return FacetAdd(flags, count, points.get(), edgeFlags);
}

namespace {
// A directed edge between two clustered points of a pitch, with the source
// index of the strip it bounds.
struct Edge {
    int from, to, source;
};

// Splits every edge at the points lying inside it, so that edges of
// neighbouring strips meet end to end.
std::vector<Edge> SplitEdges(const std::vector<Edge>& edges, const std::vector<const double*>& nodes)
{
    std::vector<std::size_t> byX(nodes.size());
    std::iota(byX.begin(), byX.end(), 0);
    auto x = [&](std::size_t k) { return nodes[k][0]; };
    std::stable_sort(byX.begin(), byX.end(), [&](std::size_t a, std::size_t b) { return x(a) < x(b); });
    std::vector<Edge> out;
    for (const Edge& e : edges) {
        const double* a = nodes[static_cast<std::size_t>(e.from)];
        const double* b = nodes[static_cast<std::size_t>(e.to)];
        const double lo = std::min(a[0], b[0]) - kLengthTolerance, hi = std::max(a[0], b[0]) + kLengthTolerance;
        std::vector<std::pair<double, int>> inside;
        auto first = std::lower_bound(byX.begin(), byX.end(), lo, [&](std::size_t k, double v) { return x(k) < v; });
        for (auto it = first; it != byX.end() && x(*it) <= hi; ++it) {
            const int n = static_cast<int>(*it);
            const double* p = nodes[*it];
            if (n == e.from || n == e.to || !PtOnSegment(p, a, b, kLengthTolerance))
                continue;
            inside.push_back(
                {(p[0] - a[0]) * (b[0] - a[0]) + (p[1] - a[1]) * (b[1] - a[1]) + (p[2] - a[2]) * (b[2] - a[2]), n});
        }
        std::stable_sort(
            inside.begin(), inside.end(),
            [](const std::pair<double, int>& s, const std::pair<double, int>& t) { return s.first < t.first; });
        int from = e.from;
        for (const auto& [along, n] : inside) {
            (void)along;
            out.push_back({from, n, e.source});
            from = n;
        }
        out.push_back({from, e.to, e.source});
    }
    return out;
}

// Edges met in both directions lie between two strips of the plane and
// cancel; what is left is the border of the strips' union.
std::vector<Edge> CancelPairs(const std::vector<Edge>& edges)
{
    struct Net {
        int count = 0;
        int forward = -1, backward = -1;
    };
    std::map<std::pair<int, int>, Net> nets;
    for (const Edge& e : edges) {
        if (e.from == e.to)
            continue;
        Net& net = nets[{std::min(e.from, e.to), std::max(e.from, e.to)}];
        if (e.from < e.to) {
            ++net.count;
            net.forward = net.forward < 0 ? e.source : net.forward;
        } else {
            --net.count;
            net.backward = net.backward < 0 ? e.source : net.backward;
        }
    }
    std::vector<Edge> border;
    for (const auto& [key, net] : nets)
        for (int k = 0; k < std::abs(net.count); ++k)
            border.push_back(net.count > 0 ? Edge{key.first, key.second, net.forward}
                                           : Edge{key.second, key.first, net.backward});
    return border;
}

// The plane of a pitch is worked in on the two coordinate axes other than
// the dominant axis of its normal; clockwise is the turning sense of the
// pitch's polygons there.
struct Projection {
    int i = 0, j = 1;
    bool clockwise = false;

    double Angle(const double* from, const double* to) const { return std::atan2(to[j] - from[j], to[i] - from[i]); }
    double Area2(const G3RoofVertex* ring) const
    {
        double area = 0;
        const G3RoofVertex* v = ring;
        do {
            const double* p = v->GetXYZ();
            const double* q = v->GetNext()->GetXYZ();
            area += p[i] * q[j] - q[i] * p[j];
            v = v->GetNext();
        } while (v != ring);
        return clockwise ? -area : area;
    }
};

// Per border edge (index), the border edge that continues it; -1 where none
// does.
std::vector<int> Successors(const std::vector<Edge>& border, const std::vector<const double*>& nodes,
                            const Projection& plane)
{
    std::vector<std::vector<int>> in(nodes.size()), out(nodes.size());
    for (std::size_t k = 0; k < border.size(); ++k) {
        in[static_cast<std::size_t>(border[k].to)].push_back(static_cast<int>(k));
        out[static_cast<std::size_t>(border[k].from)].push_back(static_cast<int>(k));
    }
    std::vector<int> next(border.size(), -1);
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        if (in[n].empty() || out[n].empty())
            continue;
        std::vector<double> back, leaving;
        for (int e : in[n])
            back.push_back(plane.Angle(nodes[n], nodes[static_cast<std::size_t>(border[e].from)]));
        for (int e : out[n])
            leaving.push_back(plane.Angle(nodes[n], nodes[static_cast<std::size_t>(border[e].to)]));
        const std::vector<int> pair = tessaly::roof::PairAtPoint(back, leaving, plane.clockwise);
        for (std::size_t i = 0; i < in[n].size(); ++i)
            if (pair[i] >= 0)
                next[static_cast<std::size_t>(in[n][i])] = out[n][static_cast<std::size_t>(pair[i])];
    }
    return next;
}

// The polygon's head becomes its lowest vertex (the first of equals), on
// the eave where the polygon starts.
G3RoofVertex* LowestFirst(G3RoofVertex* polygon)
{
    G3RoofVertex* lowest = polygon;
    for (G3RoofVertex* v = polygon->GetNext(); v != polygon; v = v->GetNext())
        if (v->GetZ() < lowest->GetZ() - kAngleTolerance)
            lowest = v;
    polygon->SetMarks(polygon->GetMarks() & ~G3RoofVertex::kHeadMark);
    lowest->SetMarks(lowest->GetMarks() | G3RoofVertex::kHeadMark);
    return lowest;
}
} // namespace

namespace {
// The polygons of a pitch as directed edges between clustered points.
struct PitchBorder {
    std::vector<const double*> nodes; // one position per cluster
    std::vector<Edge> edges;
};

PitchBorder EdgesOf(G3RoofPitch* pitch)
{
    std::vector<const G3RoofVertex*> vertices;
    std::vector<const double*> points;
    std::vector<std::size_t> starts;
    for (int i = 0; i < pitch->GetPolygonCount(); ++i) {
        starts.push_back(vertices.size());
        const G3RoofVertex* v = pitch->GetPolygon(i);
        do {
            vertices.push_back(v);
            points.push_back(v->GetXYZ());
            v = v->GetNext();
        } while (v != pitch->GetPolygon(i));
    }
    starts.push_back(vertices.size());
    const std::vector<int> node = tessaly::roof::ClusterPoints(points, kLengthTolerance);
    PitchBorder border;
    for (std::size_t k = 0; k < node.size(); ++k)
        if (static_cast<std::size_t>(node[k]) == border.nodes.size())
            border.nodes.push_back(points[k]);
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        const std::size_t first = starts[i], count = starts[i + 1] - first;
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t at = first + k, before = first + (k + count - 1) % count;
            border.edges.push_back({node[before], node[at], vertices[at]->GetSourceIndex()});
        }
    }
    return border;
}

// Follows the border from edge start; null when the walk does not close (the
// rest of a border that did not match up bounds nothing). Each border edge
// is taken once, so the walk ends.
G3RoofVertex* WalkBorder(const PitchBorder& b, const std::vector<int>& next, std::size_t start,
                         const G3RoofVertex* model, std::vector<bool>& used)
{
    G3RoofVertex* polygon = nullptr;
    int e = static_cast<int>(start);
    while (e >= 0 && !used[static_cast<std::size_t>(e)]) {
        used[static_cast<std::size_t>(e)] = true;
        const Edge& edge = b.edges[static_cast<std::size_t>(e)];
        auto* v = new G3RoofVertex(*model);
        v->SetXYZ(b.nodes[static_cast<std::size_t>(edge.to)]);
        v->SetSourceIndex(edge.source);
        v->SetMarks(0);
        polygon = G3RoofVertex::Append(polygon, v);
        e = next[static_cast<std::size_t>(e)];
    }
    if (e == static_cast<int>(start))
        return polygon;
    G3RoofVertex::DeleteRing(polygon);
    return nullptr;
}
} // namespace

void G3RoofGenerator::MergePitchPolygons(G3RoofPitch* pitch)
{
    GArrayCollection* list = pitch->GetPolygons();
    if (list->size() == 0)
        return;
    // Strips of the roof faces run counter-clockwise in plan; those of a
    // wall plane either way in its projection.
    Projection plane;
    G3Math::GetMaxCoo(pitch->GetPlane(), &plane.i, &plane.j);
    double total = 0;
    for (int i = 0; i < list->size(); ++i)
        total += plane.Area2(pitch->GetPolygon(i));
    plane.clockwise = total < 0;
    PitchBorder border = EdgesOf(pitch);
    border.edges = CancelPairs(SplitEdges(border.edges, border.nodes));
    const std::vector<int> next = Successors(border.edges, border.nodes, plane);
    std::vector<G3RoofVertex*> merged;
    std::vector<bool> used(border.edges.size(), false);
    for (std::size_t start = 0; start < border.edges.size(); ++start) {
        if (used[start])
            continue;
        G3RoofVertex* polygon = DeleteUselessVertices(WalkBorder(border, next, start, pitch->GetPolygon(0), used));
        if (polygon && plane.Area2(polygon) > tessaly::roof::kLoopArea2)
            merged.push_back(LowestFirst(polygon));
        else
            G3RoofVertex::DeleteRing(polygon);
    }
    for (int i = 0; i < list->size(); ++i)
        G3RoofVertex::DeleteRing(pitch->GetPolygon(i));
    list->clear();
    for (G3RoofVertex* polygon : merged)
        list->add(polygon);
}
