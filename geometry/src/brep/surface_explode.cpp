// Splitting a body into its lumps: the sets of facets connected through
// shared edges. Each lump becomes a body of its own; the source stays.
#include <vector>

#include "tessaly/surface.h"

namespace {
// The lump of every facet (by list position) and the number of lumps.
int LumpsOf(G3Surface* s, std::vector<int>& lump)
{
    const int n = s->GetFacetCount();
    lump.assign(static_cast<std::size_t>(n), -1);
    for (int k = 0; k < n; ++k)
        s->GetFacet(k)->SetUserValue(static_cast<unsigned long>(k));
    int lumps = 0;
    std::vector<G3Facet*> stack;
    for (int k = 0; k < n; ++k) {
        if (lump[static_cast<std::size_t>(k)] >= 0)
            continue;
        lump[static_cast<std::size_t>(k)] = lumps;
        stack.push_back(s->GetFacet(k));
        while (!stack.empty()) {
            G3Facet* f = stack.back();
            stack.pop_back();
            for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e))
                for (G3Facet* g : {e->GetFacet1(), e->GetFacet2()}) {
                    if (!g)
                        continue;
                    int& mine = lump[static_cast<std::size_t>(g->GetUserValue())];
                    if (mine < 0) {
                        mine = lumps;
                        stack.push_back(g);
                    }
                }
        }
        ++lumps;
    }
    return lumps;
}
} // namespace

int G3Surface::Explode(GArrayCollection* out)
{
    if (!out || GetFacetCount() == 0)
        return 0;
    // Facets' user values carry their positions while the lumps are found.
    std::vector<unsigned long> userValues;
    for (int k = 0; k < GetFacetCount(); ++k)
        userValues.push_back(GetFacet(k)->GetUserValue());
    std::vector<int> lump;
    const int lumps = LumpsOf(this, lump);
    for (int k = 0; k < GetFacetCount(); ++k)
        GetFacet(k)->SetUserValue(userValues[static_cast<std::size_t>(k)]);
    for (int l = 0; l < lumps; ++l) {
        // A copy keeps every element's list position: the other lumps'
        // facets are removed from it by position, last first.
        auto* part = static_cast<G3Surface*>(Duplicate());
        for (int k = GetFacetCount() - 1; k >= 0; --k)
            if (lump[static_cast<std::size_t>(k)] != l) {
                part->m_TakeOutHint = k; // no search for the position
                part->RemoveFacet(part->GetFacet(k));
            }
        part->RemoveUnused();
        out->add(part);
    }
    return lumps;
}
