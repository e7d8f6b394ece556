// The roof level by level: the next height at which a ring changes, the
// ring sliced there, and the sliced ring (which may touch itself) broken
// into simple loops that each continue upwards on their own.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "architecture/roof_internal.h"
#include "architecture/roof_tolerances.h"
#include "tessaly/roof.h"

using tessaly::kLengthTolerance;
using tessaly::roof::kAngleTolerance;
using tessaly::roof::kFarValue;

namespace {
// A corner of a ring as a function of height: its position at the ring's
// height and its change per unit of height, along the line where its two
// planes meet.
struct Corner {
    double base[3] = {0, 0, 0};
    double step[3] = {0, 0, 0};
    bool moves = false;

    void At(double dz, double* out) const
    {
        for (int k = 0; k < 3; ++k)
            out[k] = base[k] + dz * step[k];
    }
};

Corner CornerOf(const G3RoofVertex* v, double z0)
{
    Corner c;
    const double here[4] = {0, 0, 1, -z0}, above[4] = {0, 0, 1, -(z0 + 1)};
    double up[3];
    if (G3RoofGenerator::ThreePlanePoint(v->GetPlane(), v->GetNext()->GetPlane(), here, c.base) &&
        G3RoofGenerator::ThreePlanePoint(v->GetPlane(), v->GetNext()->GetPlane(), above, up)) {
        for (int k = 0; k < 3; ++k)
            c.step[k] = up[k] - c.base[k];
        c.moves = true;
    }
    return c;
}

std::vector<G3RoofVertex*> Vertices(G3RoofVertex* ring)
{
    std::vector<G3RoofVertex*> list;
    if (!ring)
        return list;
    G3RoofVertex* v = ring;
    do {
        v->SetId(static_cast<long>(list.size()));
        list.push_back(v);
        v = v->GetNext();
    } while (v != ring);
    return list;
}

// Plan box of a corner between the ring's height and dz above it.
struct Box {
    double lo[2], hi[2];

    void Take(const double* p)
    {
        for (int k = 0; k < 2; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    }
    bool Meets(const Box& o) const
    {
        for (int k = 0; k < 2; ++k)
            if (lo[k] > o.hi[k] + kLengthTolerance || o.lo[k] > hi[k] + kLengthTolerance)
                return false;
        return true;
    }
};

Box Sweep(const Corner& a, const Corner* b, double dz)
{
    Box box{{a.base[0], a.base[1]}, {a.base[0], a.base[1]}};
    double p[3];
    a.At(dz, p);
    box.Take(p);
    if (b) {
        box.Take(b->base);
        b->At(dz, p);
        box.Take(p);
    }
    return box;
}

// How far above the ring's height corner c meets the edge from corner a to
// corner b, which lies in plane: where c's line crosses the plane, when c is
// then on the edge; 0 when it never is.
double MeetingHeight(const Corner& c, const double* plane, const Corner& a, const Corner& b)
{
    const double rate = plane[0] * c.step[0] + plane[1] * c.step[1] + plane[2] * c.step[2];
    if (std::fabs(rate) < tessaly::kZeroDivisor)
        return 0;
    const double dz = -(plane[0] * c.base[0] + plane[1] * c.base[1] + plane[2] * c.base[2] + plane[3]) / rate;
    if (dz <= kAngleTolerance)
        return 0;
    double p[3], from[3], to[3];
    c.At(dz, p);
    a.At(dz, from);
    b.At(dz, to);
    return PtOnSegment(p, from, to, kLengthTolerance) ? dz : 0;
}

// The lowest height, above z0 and below best, at which a left-turning (reflex)
// corner meets another edge of the ring. Below best every corner stays in
// the box it sweeps up to best, and every edge in the box its ends sweep.
double SplitHeight(const std::vector<G3RoofVertex*>& ring, const std::vector<Corner>& corners, double z0, double best)
{
    const std::size_t m = ring.size();
    const bool bounded = best < tessaly::roof::kFarLimit;
    std::vector<std::size_t> before(m);
    std::vector<Box> edges(m), paths(m);
    for (std::size_t k = 0; k < m; ++k) {
        before[k] = static_cast<std::size_t>(ring[k]->GetPrevious()->GetId());
        if (bounded) {
            paths[k] = Sweep(corners[k], nullptr, best - z0);
            edges[k] = Sweep(corners[before[k]], &corners[k], best - z0);
        }
    }
    for (std::size_t i = 0; i < m; ++i) {
        if (!corners[i].moves || G3RoofGenerator::Turn(ring[i]) >= 0)
            continue;
        for (std::size_t k = 0; k < m; ++k) {
            if (ring[k] == ring[i] || ring[k] == ring[i]->GetNext() || !corners[k].moves || !corners[before[k]].moves ||
                (bounded && !paths[i].Meets(edges[k])))
                continue;
            const double dz = MeetingHeight(corners[i], ring[k]->GetPlane(), corners[before[k]], corners[k]);
            if (dz > 0 && z0 + dz < best)
                best = z0 + dz;
        }
    }
    return best;
}
} // namespace

double G3RoofGenerator::EventHeight(G3RoofVertex* ring, double z0)
{
    std::vector<G3RoofVertex*> list = Vertices(ring);
    double best = kFarValue;
    // Edge events: an edge vanishes where its plane meets its neighbours'.
    for (G3RoofVertex* v : list) {
        G3RoofVertex* p = v->GetPrevious();
        G3RoofVertex* n = v->GetNext();
        if (p == v || n == v || p == n)
            continue;
        const double h = Height(p, v, n);
        if (h > z0 + kAngleTolerance && h < best)
            best = h;
    }
    // Split events: a reflex corner runs into another edge. Each corner is
    // tested against each edge once, so the search takes O(ring^2) steps.
    std::vector<Corner> corners(list.size());
    for (std::size_t k = 0; k < list.size(); ++k)
        corners[k] = CornerOf(list[k], z0);
    return SplitHeight(list, corners, z0, best);
}

namespace {
struct Touch {
    std::size_t edge;
    double along;
    const G3RoofVertex* at;
};

// Every vertex lying inside another edge of the ring (not at its ends)
// becomes a vertex of that edge too, so that the ring touches itself only at
// shared points.
void InsertTouches(G3RoofVertex* ring)
{
    std::vector<G3RoofVertex*> list = Vertices(ring);
    std::vector<std::size_t> byX(list.size());
    std::iota(byX.begin(), byX.end(), 0);
    auto x = [&](std::size_t k) { return list[k]->GetXYZ()[0]; };
    std::stable_sort(byX.begin(), byX.end(), [&](std::size_t a, std::size_t b) { return x(a) < x(b); });
    std::vector<Touch> touches;
    for (std::size_t e = 0; e < list.size(); ++e) {
        const double* a = list[e]->GetPrevious()->GetXYZ();
        const double* b = list[e]->GetXYZ();
        const double lo = std::min(a[0], b[0]) - kLengthTolerance, hi = std::max(a[0], b[0]) + kLengthTolerance;
        auto first = std::lower_bound(byX.begin(), byX.end(), lo, [&](std::size_t k, double v) { return x(k) < v; });
        for (auto it = first; it != byX.end() && x(*it) <= hi; ++it) {
            const double* p = list[*it]->GetXYZ();
            if (G3Point::Equals(p, a) || G3Point::Equals(p, b) || !PtOnSegment(p, a, b, kLengthTolerance))
                continue;
            const double along = (p[0] - a[0]) * (b[0] - a[0]) + (p[1] - a[1]) * (b[1] - a[1]);
            touches.push_back({e, along, list[*it]});
        }
    }
    std::stable_sort(touches.begin(), touches.end(), [](const Touch& s, const Touch& t) {
        return s.edge != t.edge ? s.edge < t.edge : s.along < t.along;
    });
    for (std::size_t k = 0; k < touches.size(); ++k) {
        G3RoofVertex* end = list[touches[k].edge];
        if (G3Point::Equals(end->GetPrevious()->GetXYZ(), touches[k].at->GetXYZ()))
            continue; // a second vertex at a point already inserted
        auto* v = new G3RoofVertex(*end);
        v->SetXYZ(touches[k].at->GetXYZ());
        v->SetMarks(0);
        G3RoofVertex::InsertBefore(end, v);
    }
}

// For each vertex (by id), the vertex whose leaving edge continues its
// arriving edge: itself, or at a point the ring passes several times, the
// one chosen so that the loops do not cross.
std::vector<G3RoofVertex*> Continuations(const std::vector<G3RoofVertex*>& list)
{
    std::vector<const double*> points;
    for (const G3RoofVertex* v : list)
        points.push_back(v->GetXYZ());
    const std::vector<int> cluster = tessaly::roof::ClusterPoints(points, kLengthTolerance);
    std::vector<std::vector<std::size_t>> members(list.size());
    for (std::size_t k = 0; k < list.size(); ++k)
        members[static_cast<std::size_t>(cluster[k])].push_back(k);
    std::vector<G3RoofVertex*> continuation(list);
    for (const std::vector<std::size_t>& group : members) {
        if (group.size() < 2)
            continue;
        std::vector<double> back, leaving;
        for (std::size_t k : group) {
            back.push_back(tessaly::roof::PlanAngle(list[k]->GetXYZ(), list[k]->GetPrevious()->GetXYZ()));
            leaving.push_back(tessaly::roof::PlanAngle(list[k]->GetXYZ(), list[k]->GetNext()->GetXYZ()));
        }
        const std::vector<int> pair = tessaly::roof::PairAtPoint(back, leaving, true);
        for (std::size_t i = 0; i < group.size(); ++i)
            continuation[group[i]] = list[group[static_cast<std::size_t>(pair[i])]];
    }
    return continuation;
}
} // namespace

bool G3RoofGenerator::MakeRoofEx(G3RoofVertex* parent, G3RoofVertex* ring)
{
    for (G3RoofVertex* taken : {parent, ring})
        if (taken && !m_Rings.contains(taken))
            m_Rings.add(taken);
    if (parent)
        MakeNextRoofSectionEx(parent);
    if (!ring)
        return true;
    // Every level has at least one event, and an outline of n vertices has
    // O(n) events; a generation that needs many more levels has gone astray
    // and fails.
    const long budget = m_LevelLimit > 0
        ? m_LevelLimit
        : tessaly::roof::kLevelsPerVertex * static_cast<long>(G3RoofVertex::Count(ring)) +
            tessaly::roof::kStepAllowance;
    std::vector<G3RoofVertex*> pending{G3RoofVertex::CopyRing(ring)};
    bool failed = false;
    for (long levels = 0; !pending.empty() && !failed; ++levels) {
        G3RoofVertex* raw = pending.back();
        pending.pop_back();
        if (levels >= budget) {
            G3RoofVertex::DeleteRing(raw);
            failed = true;
            break;
        }
        ProcessLevel(raw, pending, failed);
    }
    for (G3RoofVertex* r : pending)
        G3RoofVertex::DeleteRing(r);
    return !failed;
}

namespace {
// The simple loops of a raw ring (taken over): cleaned, touching points made
// shared vertices, then walked along the continuations, a permutation of the
// vertices, so that each walk comes back to its start within the ring's
// size. Loops run clockwise; one that runs the other way round with an area
// means the ring crossed itself, and sets failed.
std::vector<G3RoofVertex*> ExtractLoops(G3RoofVertex* raw, bool& failed)
{
    std::vector<G3RoofVertex*> loops;
    raw = G3RoofGenerator::DeleteUselessVertices(raw);
    if (!raw)
        return loops;
    InsertTouches(raw);
    const std::vector<G3RoofVertex*> list = Vertices(raw);
    const std::vector<G3RoofVertex*> continuation = Continuations(list);
    for (G3RoofVertex* start : list) {
        if (start->IsVisited())
            continue;
        G3RoofVertex* loop = nullptr;
        G3RoofVertex* c = start;
        do {
            auto* copy = new G3RoofVertex(*c);
            copy->SetMarks(0);
            loop = G3RoofVertex::Append(loop, copy);
            c->SetMarks(c->GetMarks() | G3RoofVertex::kVisitedMark);
            c = continuation[static_cast<std::size_t>(c->GetId())]->GetNext();
        } while (c != start);
        loop = G3RoofGenerator::DeleteUselessVertices(loop);
        const double area2 = G3RoofVertex::Area2(loop);
        failed = failed || area2 > tessaly::roof::kLoopArea2;
        if (area2 < -tessaly::roof::kLoopArea2)
            loops.push_back(loop);
        else
            G3RoofVertex::DeleteRing(loop);
    }
    G3RoofVertex::DeleteRing(raw);
    return loops;
}
} // namespace

void G3RoofGenerator::ProcessLevel(G3RoofVertex* raw, std::vector<G3RoofVertex*>& pending, bool& failed)
{
    for (G3RoofVertex* loop : ExtractLoops(raw, failed)) {
        const double height = failed ? kFarValue : EventHeight(loop, loop->GetZ());
        G3RoofVertex* next = height < tessaly::roof::kFarLimit ? Slice(loop, height, true) : nullptr;
        if (!failed)
            MakeNextRoofSectionEx(loop);
        G3RoofVertex::DeleteRing(loop);
        if (next)
            pending.push_back(next);
    }
}

bool G3RoofGenerator::MakeRoof(G3RoofVertex* ring, G3Surface* work)
{
    if (ring && !m_Rings.contains(ring))
        m_Rings.add(ring);
    if (!m_Target || !ring)
        return false;
    G3WallDataProvider* provider = G3WallDataProvider::Get();
    provider->SetCurrent(0, ROOF_FACET_NONE);
    if (!MakeRoofEx(nullptr, ring))
        return false;
    for (int i = 0; i < m_Pitches.size(); ++i)
        MergePitchPolygons(GetPitch(i));
    const int first = m_Target->GetFacetCount();
    const bool thick = m_Thickness > tessaly::roof::kMinThickness;
    AddRoofFaces(thick, 0);
    if (thick && work) {
        provider->SetCurrent(0, ROOF_FACET_NONE);
        CopyFacetsFrom(work, first);
        work->RemoveEqualsVertexAndDivideEdges();
        work->RemoveTrivialFacets();
        work->Update(CHECK_LEVEL_1002);
        AddRoofFaces(false, m_Thickness);
    }
    provider->SetCurrent(0, ROOF_FACET_NONE);
    return true;
}

void G3RoofGenerator::AddRoofFaces(bool lower, double heightOffset)
{
    G3WallDataProvider* provider = G3WallDataProvider::Get();
    for (int i = 0; i < m_Pitches.size(); ++i) {
        G3RoofPitch* pitch = GetPitch(i);
        if (pitch->IsVertical())
            continue;
        for (int k = 0; k < pitch->GetPolygonCount(); ++k) {
            G3RoofVertex* polygon = pitch->GetPolygon(k);
            provider->SetCurrent(polygon->GetSourceIndex() + 1, lower ? ROOF_FACET_LOWER : ROOF_FACET_UPPER);
            FacetAddEx(polygon, 0, 1, heightOffset);
        }
    }
    provider->SetCurrent(0, ROOF_FACET_NONE);
}

void G3RoofGenerator::CopyFacetsFrom(G3Surface* work, int firstFacet)
{
    // Only the facets this generation added: the target may hold other
    // bodies (walls) already.
    for (int k = firstFacet; k < m_Target->GetFacetCount(); ++k) {
        std::vector<G3Vertex*> vertices;
        G3FacetVertexIterator it(m_Target->GetFacet(k));
        while (it.hasNext())
            vertices.push_back(work->AddVertex(static_cast<G3Vertex*>(it.next())->GetXYZ()));
        work->AddFacet(static_cast<int>(vertices.size()), vertices.data(), 1, nullptr, nullptr);
    }
}
