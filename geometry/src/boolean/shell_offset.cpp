// The offset of a body (G3SolidsBuilder::Shell): every facet's plane moves
// along its normal, and each corner of a facet goes to the point where the
// moved planes of the facet and of its two neighbours at that corner meet.
// The facets are made apart (each with corners of its own) and welded
// afterwards; a facet that the move turned over is dropped.
#include <cmath>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "brep/loop_walk.h"
#include "core/tolerances.h"
#include "tessaly/solids.h"
#include "tessaly/surface.h"

namespace {
// The facet on the other side of e from f; null on an open edge.
G3Facet* Across(const G3Edge* e, const G3Facet* f)
{
    G3Facet* other = e->GetFacet1() == f ? e->GetFacet2() : e->GetFacet1();
    return other == f ? nullptr : other;
}

// The point common to three planes (Cramer's rule). False when they have
// no single common point: their unit normals span no volume. Neighbours in
// one plane give a determinant of rounding noise (about 1e-16), which would
// put the point anywhere along their common line, so the limit is the
// volume tolerance, far above that noise.
bool MeetPlanes(const double* a, const double* b, const double* c, double* point)
{
    const double det = Det3x3(a[0], b[0], c[0], a[1], b[1], c[1], a[2], b[2], c[2]);
    if (!(std::fabs(det) >= tessaly::kVolumeTolerance))
        return false;
    point[0] = Det3x3(-a[3], -b[3], -c[3], a[1], b[1], c[1], a[2], b[2], c[2]) / det;
    point[1] = Det3x3(a[0], b[0], c[0], -a[3], -b[3], -c[3], a[2], b[2], c[2]) / det;
    point[2] = Det3x3(a[0], b[0], c[0], a[1], b[1], c[1], -a[3], -b[3], -c[3]) / det;
    return std::isfinite(point[0]) && std::isfinite(point[1]) && std::isfinite(point[2]);
}

// A facet's edges as loops, with the bridges (two edges of the facet
// joining the same two vertices, walked there and back) seen through: the
// edges before and after a corner are those of the boundary itself, as if
// the bridge were not there.
class FacetLoops {
public:
    explicit FacetLoops(const G3Facet* f)
    {
        G3WalkFacet(f, m_Walk);
        const int n = Count();
        m_Begin.assign(static_cast<std::size_t>(n), 0);
        m_End.assign(static_cast<std::size_t>(n), n);
        m_Twin.assign(static_cast<std::size_t>(n), -1);
        for (int k = 0, begin = 0; k <= n; ++k) {
            if (k < n && At(k).loop == At(begin).loop)
                continue;
            for (int i = begin; i < k; ++i) {
                m_Begin[static_cast<std::size_t>(i)] = begin;
                m_End[static_cast<std::size_t>(i)] = k;
            }
            begin = k;
        }
        std::map<std::pair<const G3Vertex*, const G3Vertex*>, int> byEnds;
        for (int k = 0; k < n; ++k)
            byEnds.emplace(std::make_pair(At(k).start, At(k).end), k);
        for (int k = 0; k < n; ++k) {
            auto twin = byEnds.find(std::make_pair(At(k).end, At(k).start));
            if (twin != byEnds.end() && twin->second != k)
                m_Twin[static_cast<std::size_t>(k)] = twin->second;
        }
    }

    int Count() const { return static_cast<int>(m_Walk.size()); }
    const G3LoopEdge& At(int k) const { return m_Walk[static_cast<std::size_t>(k)]; }
    bool IsLoopEnd(int k) const { return k + 1 == m_End[static_cast<std::size_t>(k)]; }
    int Next(int k) const { return IsLoopEnd(k) ? m_Begin[static_cast<std::size_t>(k)] : k + 1; }
    int Previous(int k) const
    {
        const int begin = m_Begin[static_cast<std::size_t>(k)];
        return k == begin ? m_End[static_cast<std::size_t>(k)] - 1 : k - 1;
    }

    // The boundary edges on either side of the corner where edge k ends:
    // an edge into a bridge continues after the bridge's way back, and an
    // edge out of a bridge is preceded by the edge before the way there.
    // False when only bridges meet there.
    bool Corner(int k, int* before, int* after) const
    {
        int x = k, y = Next(k);
        for (int step = 0; IsBridge(y) && step < Count(); ++step)
            y = Next(Twin(y));
        for (int step = 0; IsBridge(x) && step < Count(); ++step)
            x = Previous(Twin(x));
        *before = x;
        *after = y;
        return !IsBridge(x) && !IsBridge(y);
    }

private:
    int Twin(int k) const { return m_Twin[static_cast<std::size_t>(k)]; }
    bool IsBridge(int k) const { return Twin(k) >= 0; }

    std::vector<G3LoopEdge> m_Walk;
    std::vector<int> m_Begin, m_End, m_Twin;
};

// The facets of s by id. An id that two facets share (ids go stale when
// facets are removed and others added) names neither: null.
std::unordered_map<long, G3Facet*> FacetsById(G3Surface* s)
{
    std::unordered_map<long, G3Facet*> byId;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        auto inserted = byId.emplace(f->GetId(), f);
        if (!inserted.second)
            inserted.first->second = nullptr;
    }
    return byId;
}
} // namespace

void G3SolidsBuilder::CalcNewPlaneEquation(G3Facet* f, double t, double* plane)
{
    if (!f || !plane)
        return;
    for (int a = 0; a < 4; ++a)
        plane[a] = f->GetPlane()[a];
    if (!f->GetMark())
        plane[3] -= t;
}

bool G3SolidsBuilder::ShellFacet(G3Facet* f, G3Surface* p, double t)
{
    if (!f || !p)
        return false;
    double own[4], before[4], after[4];
    CalcNewPlaneEquation(f, t, own);
    const FacetLoops loops(f);
    // Per loop, each corner as the boundary edges on its two sides and its
    // new point.
    struct Corner {
        int before, after;
        double point[3];
    };
    std::vector<std::vector<Corner>> corners;
    for (int k = 0; k < loops.Count(); ++k) {
        if (k == 0 || loops.At(k).loop != loops.At(k - 1).loop)
            corners.emplace_back();
        Corner c;
        if (!loops.Corner(k, &c.before, &c.after))
            continue;
        G3Facet* g = Across(loops.At(c.before).edge, f);
        G3Facet* h = Across(loops.At(c.after).edge, f);
        if (!g || !h)
            continue;
        CalcNewPlaneEquation(g, t, before);
        CalcNewPlaneEquation(h, t, after);
        if (MeetPlanes(own, before, after, c.point))
            corners.back().push_back(c);
    }

    std::vector<std::vector<G3Vertex*>> usable;
    for (const auto& loop : corners) {
        // A loop that starts with a bridge reaches its corner at both of the
        // bridge's ends, one after the other: it is made once.
        std::vector<G3Vertex*> vertices;
        for (std::size_t i = 0; i < loop.size(); ++i) {
            const Corner& c = loop[i];
            const Corner& next = loop[(i + 1) % loop.size()];
            if (loop.size() > 1 && c.before == next.before && c.after == next.after)
                continue;
            vertices.push_back(p->AddVertex(c.point));
        }
        if (vertices.size() > 2)
            usable.push_back(std::move(vertices));
    }
    if (usable.empty())
        return false;
    const int first = p->GetFacetCount();
    // Several loops (a facet with holes) are made one facet each and united
    // into one facet with its holes bridged.
    if (usable.size() > 1)
        p->BeginComplexFacet();
    for (auto& loop : usable)
        p->AddFacet(static_cast<int>(loop.size()), loop.data(), static_cast<int>(G3Edge::kVisible), nullptr, nullptr);
    if (usable.size() > 1)
        p->EndComplexFacet();
    // The new facets take f's flags (without the open-facet mark, which is
    // this operation's own) and f's id as their surface value.
    for (int k = first; k < p->GetFacetCount(); ++k) {
        G3Facet* g = p->GetFacet(k);
        g->SetFlags(f->GetFlags() & ~G3Obj::kMark);
        g->SetSurface(f->GetId());
    }
    return p->GetFacetCount() > first;
}

bool G3SolidsBuilder::Shell(G3Surface* s, G3Surface** out, double t, GArrayCollection* openFacets)
{
    if (out)
        *out = nullptr;
    if (!s || !out || !std::isfinite(t))
        return false;

    // Mark tells the open facets; the marks the caller had on s are kept
    // aside and given back.
    std::vector<G3Facet*> callerMarked;
    std::unordered_set<GObj*> facetsOfS;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        facetsOfS.insert(f);
        if (f->GetMark())
            callerMarked.push_back(f);
        f->ClearMark();
    }
    for (int k = 0; openFacets && k < openFacets->size(); ++k) {
        GObj* listed = openFacets->get(k);
        if (facetsOfS.count(listed))
            static_cast<G3Facet*>(listed)->SetMark();
    }

    auto* offset = new G3Surface;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        ShellFacet(s->GetFacet(k), offset, t);

    for (int k = 0; k < s->GetFacetCount(); ++k)
        s->GetFacet(k)->ClearMark();
    for (G3Facet* f : callerMarked)
        f->SetMark();

    offset->RemoveEqualsVertex();
    offset->RemoveNonManifoldEdges();
    offset->RemoveSelfIntersections();

    // A facet whose plane no longer faces as its source's did was turned
    // over by the move (its neighbours' planes crossed over it): it goes.
    const std::unordered_map<long, G3Facet*> sources = FacetsById(s);
    std::vector<G3Facet*> turned;
    for (int k = 0; k < offset->GetFacetCount(); ++k) {
        G3Facet* g = offset->GetFacet(k);
        if (g->GetMark2())
            continue;
        auto source = sources.find(g->GetSurface());
        if (source == sources.end() || !source->second)
            continue;
        const double* a = g->GetPlane();
        const double* b = source->second->GetPlane();
        if (a[0] * b[0] + a[1] * b[1] + a[2] * b[2] < tessaly::kLengthTolerance)
            turned.push_back(g);
    }
    for (G3Facet* g : turned)
        offset->RemoveFacet(g);
    offset->RemoveUnused();
    *out = offset;
    return true;
}
