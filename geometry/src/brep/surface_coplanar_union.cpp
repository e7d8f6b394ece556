// Merging groups of adjacent coplanar facets: each group's edges become one
// contour, which the contour pipeline rebuilds into simple facets.
#include <cstdio>
#include <vector>

#include "brep/facets_facing.h"
#include "tessaly/surface.h"
#include "tessaly/trace.h"

namespace {
bool Qualifies(const G3Edge* x, int mask)
{
    return x->IsInvisible() || mask == -1 || (x->GetFlags() & mask) != 0;
}

// Grows the group of seed breadth-first across qualifying manifold edges
// to unmarked facets of the same sidedness in seed's plane.
std::vector<G3Facet*> CoplanarGroup(G3Facet* seed, int mask)
{
    std::vector<G3Facet*> group{seed};
    seed->SetMark3();
    for (std::size_t m = 0; m < group.size(); ++m) {
        G3Facet* g = group[m];
        for (G3Edge* x = g->GetFirstEdge(); x; x = g->GetNextEdge(x)) {
            if (!Qualifies(x, mask) || x->GetVertex1()->GetEdgeCount2(x->GetVertex2()) != 2)
                continue;
            G3Facet* h = x->GetFacet1() == g ? x->GetFacet2() : x->GetFacet1();
            if (!h || h == g || h->GetMark3() || h->GetDoubleSided() != g->GetDoubleSided())
                continue;
            if (!h->IsPlaneZero() && !h->PlaneEquals(seed->GetPlane()))
                continue;
            h->SetMark3();
            group.push_back(h);
        }
    }
    return group;
}
} // namespace

int G3Surface::UnionInPlaneFacets(int mask)
{
    std::vector<G3Facet*> snapshot;
    for (int k = 0; k < GetFacetCount(); ++k)
        snapshot.push_back(GetFacet(k));
    int links = 0;
    for (G3Facet* f : snapshot) {
        if (f->GetMark3() || f->IsPlaneZero())
            continue;
        std::vector<G3Facet*> group = CoplanarGroup(f, mask);
        if (group.size() < 2)
            continue;
        G3EdgeList contour(f);
        f->RemoveEdges();
        for (std::size_t m = 1; m < group.size(); ++m) {
            contour.AddEdges(group[m]);
            group[m]->RemoveEdges();
            ++links;
        }
        // The edges between members run twice, once each way: the even-odd
        // rule cancels them, so only the group's outline is traced.
        GArrayCollection result;
        contour.RemoveSelfIntersections(&result, this, true, UNION_EDGE_PARITY, 0);
        AddFacetsLike(this, &result, f);
    }
    char label[64];
    std::snprintf(label, sizeof label, "UnionInPlaneFacets  links_count=%d", links);
    GTrace(label);
    ChangeFacetFlags(G3Obj::kMark3, false);
    if (links > 0)
        RemoveNonManifoldEdges();
    return links;
}
