// The boundary of a facet with holes as one loop, for writers of formats
// that know only simple polygons.
#include <algorithm>
#include <cmath>
#include <vector>

#include "brep/loop_walk.h"
#include "brep/planar_location.h"
#include "core/tolerances.h"
#include "tessaly/facet.h"

using tessaly::kRoundingTolerance;

namespace {
using Loop = std::vector<G3Vertex*>;

double SignedArea(const Loop& loop, int i, int j)
{
    double sum = 0.0;
    for (std::size_t k = 0; k < loop.size(); ++k) {
        const double* a = loop[k]->GetXYZ();
        const double* b = loop[(k + 1) % loop.size()]->GetXYZ();
        sum += a[i] * b[j] - b[i] * a[j];
    }
    return sum / 2.0;
}

void AddSegments(const Loop& loop, std::vector<G3PlanarSegment>& out)
{
    for (std::size_t k = 0; k < loop.size(); ++k) {
        G3Vertex* a = loop[k];
        G3Vertex* b = loop[(k + 1) % loop.size()];
        out.push_back({a->GetXYZ(), b->GetXYZ(), a, b});
    }
}

double Cross(int i, int j, const double* o, const double* a, const double* b)
{
    return (a[i] - o[i]) * (b[j] - o[j]) - (a[j] - o[j]) * (b[i] - o[i]);
}

bool Same(int i, int j, const double* a, const double* b)
{
    return std::fabs(a[i] - b[i]) < kRoundingTolerance && std::fabs(a[j] - b[j]) < kRoundingTolerance;
}

// The closed segments p-q and a-b meet (touching included).
bool Meet(int i, int j, const double* p, const double* q, const double* a, const double* b)
{
    double d1 = Cross(i, j, a, b, p), d2 = Cross(i, j, a, b, q);
    double d3 = Cross(i, j, p, q, a), d4 = Cross(i, j, p, q, b);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    auto within = [&](const double* o, const double* s, const double* t, double d) {
        return d == 0.0 && std::min(s[i], t[i]) <= o[i] && o[i] <= std::max(s[i], t[i]) &&
            std::min(s[j], t[j]) <= o[j] && o[j] <= std::max(s[j], t[j]);
    };
    return within(p, a, b, d1) || within(q, a, b, d2) || within(a, p, q, d3) || within(b, p, q, d4);
}

// The bridge m-w crosses no boundary segment (segments at m or w aside) and
// runs through the inside of the face.
bool BridgeIsClear(int i, int j, const double* m, const double* w, const std::vector<G3PlanarSegment>& segments)
{
    for (const G3PlanarSegment& s : segments) {
        bool atEnd = Same(i, j, s.a, m) || Same(i, j, s.b, m) || Same(i, j, s.a, w) || Same(i, j, s.b, w);
        if (!atEnd && Meet(i, j, m, w, s.a, s.b))
            return false;
    }
    double mid[3] = {(m[0] + w[0]) / 2, (m[1] + w[1]) / 2, (m[2] + w[2]) / 2};
    return G3LocatePoint(i, j, mid, segments, kRoundingTolerance, nullptr, nullptr) == G3_PLANAR_INSIDE;
}

std::size_t ExtremeVertex(const Loop& loop, int i, int j)
{
    std::size_t best = 0;
    for (std::size_t k = 1; k < loop.size(); ++k) {
        const double* p = loop[k]->GetXYZ();
        const double* b = loop[best]->GetXYZ();
        if (p[i] > b[i] || (p[i] == b[i] && p[j] > b[j]))
            best = k;
    }
    return best;
}

// Joins hole into outer through the nearest clear bridge; false if none.
bool Splice(Loop& outer, const Loop& hole, const std::vector<Loop>& others, int i, int j)
{
    std::size_t mi = ExtremeVertex(hole, i, j);
    const double* m = hole[mi]->GetXYZ();
    std::vector<G3PlanarSegment> segments;
    AddSegments(outer, segments);
    AddSegments(hole, segments);
    for (const Loop& o : others)
        AddSegments(o, segments);
    std::vector<std::size_t> order(outer.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    auto distance2 = [&](std::size_t k) {
        const double* p = outer[k]->GetXYZ();
        return (p[i] - m[i]) * (p[i] - m[i]) + (p[j] - m[j]) * (p[j] - m[j]);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return distance2(a) < distance2(b); });
    for (std::size_t k : order) {
        if (!BridgeIsClear(i, j, m, outer[k]->GetXYZ(), segments))
            continue;
        Loop merged(outer.begin(), outer.begin() + static_cast<long>(k) + 1);
        for (std::size_t h = 0; h <= hole.size(); ++h)
            merged.push_back(hole[(mi + h) % hole.size()]);
        merged.insert(merged.end(), outer.begin() + static_cast<long>(k), outer.end());
        outer.swap(merged);
        return true;
    }
    return false;
}
// The whole list as one chain (an already bridged facet); false when some
// edge does not continue from where the previous one ended.
bool SingleChain(const G3Facet* f, Loop& out)
{
    std::vector<G3Edge*> edges;
    G3FacetEdges(f, edges);
    if (edges.size() < 3)
        return false;
    G3Edge* first = edges[0];
    G3Edge* second = edges[1];
    bool backwards = second->GetVertex1() == first->GetVertex1() || second->GetVertex2() == first->GetVertex1();
    G3Vertex* start = backwards ? first->GetVertex2() : first->GetVertex1();
    G3Vertex* at = start;
    for (G3Edge* e : edges) {
        if (e->GetVertex1() != at && e->GetVertex2() != at)
            return false;
        out.push_back(at);
        at = e->GetOtherVertex(at);
    }
    return at == start;
}
} // namespace

bool G3Facet::GetBridgedLoop(GArrayCollection* out)
{
    if (!out)
        return false;
    out->clear();
    Loop chain;
    if (SingleChain(this, chain)) {
        for (G3Vertex* v : chain)
            out->add(v);
        return true;
    }
    std::vector<G3LoopEdge> walk;
    G3WalkFacet(this, walk);
    std::vector<Loop> loops;
    for (const G3LoopEdge& w : walk) {
        if (static_cast<int>(loops.size()) <= w.loop)
            loops.emplace_back();
        loops.back().push_back(w.start);
    }
    if (loops.empty())
        return true;
    int i, j;
    GetMaxCoo(&i, &j);
    std::size_t outerIndex = 0;
    for (std::size_t k = 1; k < loops.size(); ++k)
        if (std::fabs(SignedArea(loops[k], i, j)) > std::fabs(SignedArea(loops[outerIndex], i, j)))
            outerIndex = k;
    Loop outer = loops[outerIndex];
    double outerSign = SignedArea(outer, i, j) >= 0 ? 1.0 : -1.0;
    std::vector<Loop> holes;
    for (std::size_t k = 0; k < loops.size(); ++k) {
        if (k == outerIndex)
            continue;
        holes.push_back(loops[k]);
        // A hole runs against the outer loop, so the bridged loop keeps one
        // orientation throughout.
        if (SignedArea(holes.back(), i, j) * outerSign > 0)
            std::reverse(holes.back().begin(), holes.back().end());
    }
    // Rightmost holes first: their bridges cannot be blocked by holes that
    // are joined later.
    std::stable_sort(holes.begin(), holes.end(), [&](const Loop& a, const Loop& b) {
        return a[ExtremeVertex(a, i, j)]->GetXYZ(i) > b[ExtremeVertex(b, i, j)]->GetXYZ(i);
    });
    bool ok = true;
    for (std::size_t h = 0; h < holes.size() && ok; ++h) {
        std::vector<Loop> rest(holes.begin() + static_cast<long>(h) + 1, holes.end());
        Loop trial = outer;
        ok = Splice(trial, holes[h], rest, i, j);
        if (ok)
            outer.swap(trial);
    }
    if (!ok)
        outer = loops[outerIndex];
    for (G3Vertex* v : outer)
        out->add(v);
    return ok;
}
