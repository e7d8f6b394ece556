// Merging the two facets of an edge into one: the loop of the first facet
// runs up to the edges the two share, then the rest of the second facet's
// loop, then the rest of the first's.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "tessaly/surface.h"
#include "tessaly/trace.h"

namespace {
// The contour's edges form one closed chain in list order.
bool IsSingleLoop(G3EdgeList& c)
{
    int n = c.size();
    if (n < 3)
        return false;
    for (int k = 0; k < n; ++k)
        if (c.GetEdge(k)->GetVertex2() != c.GetEdge((k + 1) % n)->GetVertex1())
            return false;
    return true;
}

// Marks the edges of a that join the same two vertices as an edge of b.
std::vector<bool> SharedWith(G3EdgeList& a, G3EdgeList& b)
{
    std::vector<bool> shared(static_cast<std::size_t>(a.size()), false);
    for (int i = 0; i < a.size(); ++i)
        for (int j = 0; j < b.size() && !shared[static_cast<std::size_t>(i)]; ++j)
            shared[static_cast<std::size_t>(i)] = a.GetEdge(i)->IsVertexEquals(b.GetEdge(j));
    return shared;
}

// The edges of c that are not shared, in loop order from the first one
// after the shared run. False when the shared edges are not one run (or
// there are none, or nothing else).
bool RestOfLoop(G3EdgeList& c, const std::vector<bool>& shared, std::vector<G3Edge*>& out)
{
    int n = c.size(), start = -1, runs = 0;
    for (int k = 0; k < n; ++k) {
        bool here = shared[static_cast<std::size_t>(k)];
        bool before = shared[static_cast<std::size_t>((k + n - 1) % n)];
        if (!here && before) {
            start = k;
            ++runs;
        }
    }
    if (runs != 1)
        return false;
    out.clear();
    for (int k = start; !shared[static_cast<std::size_t>(k)]; k = (k + 1) % n)
        out.push_back(c.GetEdge(k));
    return true;
}
} // namespace

bool G3Surface::MergeFacets(G3Edge* e, G3Facet* f1, G3Facet* f2)
{
    if (!e || !f1 || !f2 || f1 == f2)
        return false;
    G3EdgeList c1(f1), c2(f2);
    if (!IsSingleLoop(c1) || !IsSingleLoop(c2))
        return false;
    std::vector<G3Edge*> rest1, rest2;
    if (!RestOfLoop(c1, SharedWith(c1, c2), rest1) || !RestOfLoop(c2, SharedWith(c2, c1), rest2))
        return false;
    // The second facet's part must continue where the first's ends.
    if (rest1.back()->GetVertex2() != rest2.front()->GetVertex1() ||
        rest2.back()->GetVertex2() != rest1.front()->GetVertex1())
        return false;
    // Start where the first facet's list started, when that edge stays.
    std::vector<G3Edge*> loop(rest1);
    loop.insert(loop.end(), rest2.begin(), rest2.end());
    for (std::size_t k = 0; k < loop.size(); ++k)
        if (loop[k] == c1.GetEdge(0)) {
            std::rotate(loop.begin(), loop.begin() + static_cast<long>(k), loop.end());
            break;
        }
    RemoveFacet(f1);
    RemoveFacet(f2);
    GArrayCollection templates;
    for (G3Edge* x : loop)
        templates.add(x);
    AddFacet(&templates, c1.GetFacetFlags(), c1.GetFacetSurface());
    return true;
}

int G3Surface::UnionFacets(int mask)
{
    int merged = 0;
    for (int k = 0; k < GetEdgeCount(); ++k) {
        G3Edge* e = GetEdge(k);
        G3Facet* f1 = e->GetFacet1();
        G3Facet* f2 = e->GetFacet2();
        // An edge with one facet on both sides (a bridge of a hole) is not
        // a border between two facets.
        if (!(e->GetFlags() & mask) || !f1 || !f2 || f1 == f2 || !e->IsLegalForMerge())
            continue;
        if (e->GetVertex1()->GetEdgeCount(e->GetVertex2()) != 2)
            continue;
        merged += MergeFacets(e, f1, f2);
    }
    if (merged > 0) {
        char label[48];
        std::snprintf(label, sizeof label, "UnionFacets: %d", merged);
        GTrace(label);
        RemoveUnused();
        FormPlaneEquation();
    }
    return merged;
}
