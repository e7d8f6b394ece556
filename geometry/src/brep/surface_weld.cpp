// Merging coincident vertices. Each vertex is entered into a point hash in
// list order; a vertex equal to an earlier one gets that one as its merge
// target (in its extended-data slot), then every edge moves to the targets
// and the facets that collapse go.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <typeinfo>
#include <vector>

#include "brep/point_hash_size.h"
#include "core/tolerances.h"
#include "tessaly/hashes.h"
#include "tessaly/surface.h"
#include "tessaly/trace.h"

namespace {
// The slot holds a vertex after the first stage, but a host may have put
// anything there: plain vertices are recognised by their exact type first,
// which is much cheaper than a full dynamic cast.
G3Vertex* MergeTarget(G3Vertex* v)
{
    GObj* data = v->GetExData();
    if (data && typeid(*data) == typeid(G3Vertex))
        return static_cast<G3Vertex*>(data);
    return dynamic_cast<G3Vertex*>(data);
}

G3Vertex* Mapped(G3Vertex* v)
{
    G3Vertex* target = MergeTarget(v);
    return target ? target : v;
}

// Some edge of f has both ends merged into one vertex: only then need the
// facet's edges be collapsed (most facets of a soup keep all of theirs).
bool HasCollapsingEdge(const G3Facet* f)
{
    for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e))
        if (Mapped(e->GetVertex1()) == Mapped(e->GetVertex2()))
            return true;
    return false;
}

// Moves one end of e from v to v's merge target.
void MoveEnd(G3Edge* e, G3Vertex* v, bool first)
{
    G3Vertex* target = MergeTarget(v);
    if (!target)
        return;
    v->RemoveEdge(e);
    if (first)
        e->SetVertex1(target);
    else
        e->SetVertex2(target);
    target->AddEdge(e);
}

void TraceCount(const char* format, int count)
{
    char label[48];
    std::snprintf(label, sizeof label, format, count);
    GTrace(label);
}
} // namespace

int G3Surface::RemoveEqualsVertex()
{
    GEnvelope box;
    if (!FormEnvelope(&box))
        return 0;
    G3PointHash hash(G3PointHashSizeFor(GetVertexCount()), box.GetMin(), box.GetMax(), tessaly::kLengthTolerance);
    int merged = RemoveEqualsVertex(&hash);
    RemoveEqualsVertex2(&hash);
    RemoveUnused();
    return merged;
}

int G3Surface::RemoveEqualsVertex(G3PointHash* hash)
{
    if (!hash)
        return 0;
    int merged = 0;
    for (int k = 0; k < GetVertexCount(); ++k) {
        G3Vertex* v = GetVertex(k);
        auto* target = static_cast<G3Vertex*>(hash->Add(v));
        v->SetExData(target);
        merged += target != nullptr;
    }
    TraceCount("qV=%d", merged);
    return merged;
}

void G3Surface::RemoveEqualsVertex2(G3PointHash*)
{
    // Few facets of a soup collapse: those are gathered first and handled
    // apart, so that the lists are walked in place rather than copied.
    std::vector<G3Facet*> collapsing;
    for (int k = 0; k < GetFacetCount(); ++k)
        if (HasCollapsingEdge(GetFacet(k)))
            collapsing.push_back(GetFacet(k));
    for (G3Facet* f : collapsing)
        if (f->RemoveSmallEdges())
            RemoveFacet(f);
    bool loose = false;
    for (int k = 0; k < GetEdgeCount(); ++k) {
        G3Edge* e = GetEdge(k);
        if (!e->GetFacet1() && !e->GetFacet2()) {
            e->GetVertex1()->RemoveEdge(e);
            e->GetVertex2()->RemoveEdge(e);
            loose = true;
            continue;
        }
        MoveEnd(e, e->GetVertex1(), true);
        MoveEnd(e, e->GetVertex2(), false);
    }
    // Edges without facets go in one pass over the list.
    if (loose)
        RemoveUnusedEdge();
    // The merge targets were borrowed slots: give them back.
    for (int k = 0; k < GetVertexCount(); ++k)
        GetVertex(k)->SetExData(nullptr);
}

void G3Surface::ChangeVertex(G3Vertex* from, G3Vertex* to)
{
    if (!from || !to || from == to)
        return;
    std::vector<G3Edge*> ring;
    for (G3Edge* e = from->GetFirstEdge(); e; e = e->GetVertexNext(from))
        ring.push_back(e);
    std::vector<G3Facet*> facets;
    for (G3Edge* e : ring)
        for (G3Facet* f : {e->GetFacet1(), e->GetFacet2()})
            if (f && std::find(facets.begin(), facets.end(), f) == facets.end())
                facets.push_back(f);
    from->SetExData(to);
    for (G3Facet* f : facets)
        if (f->RemoveSmallEdges())
            RemoveFacet(f);
    for (G3Edge* e : ring) {
        if (e->GetVertex1() != from && e->GetVertex2() != from)
            continue;
        if (!e->GetFacet1() && !e->GetFacet2()) {
            e->GetVertex1()->RemoveEdge(e);
            e->GetVertex2()->RemoveEdge(e);
            RemoveEdge(e);
            continue;
        }
        MoveEnd(e, from, e->GetVertex1() == from);
    }
    from->SetExData(nullptr);
    RemoveUnused();
}
