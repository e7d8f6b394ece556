#pragma once
// A smooth group: the facets reached from a seed across edges (only across
// invisible ones when visibleEdgesSplit) to facets of the same sidedness.
// Members get Mark, which the caller clears.
#include <vector>

#include "tessaly/surface.h"

inline std::vector<G3Facet*> G3CollectSmoothGroup(G3Facet* seed, bool visibleEdgesSplit)
{
    std::vector<G3Facet*> group{seed};
    seed->SetMark();
    for (std::size_t m = 0; m < group.size(); ++m) {
        G3Facet* g = group[m];
        for (G3Edge* x = g->GetFirstEdge(); x; x = g->GetNextEdge(x)) {
            if (visibleEdgesSplit && x->TestFlag(G3Edge::kVisible))
                continue;
            G3Facet* h = x->GetFacet1() == g ? x->GetFacet2() : x->GetFacet1();
            if (!h || h->GetMark() || h->GetDoubleSided() != g->GetDoubleSided())
                continue;
            h->SetMark();
            group.push_back(h);
        }
    }
    return group;
}
