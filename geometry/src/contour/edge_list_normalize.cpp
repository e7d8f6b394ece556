#include <vector>

#include "tessaly/contour.h"

namespace {
bool Touches(const G3Edge* e, const G3Vertex* v)
{
    return e->GetVertex1() == v || e->GetVertex2() == v;
}
} // namespace

void G3EdgeList::Normalize()
{
    if (size() < 2)
        return;
    std::vector<G3Edge*> edges(static_cast<std::size_t>(size()));
    for (int k = 0; k < size(); ++k)
        edges[static_cast<std::size_t>(k)] = GetEdge(k);
    Normalize(size(), edges.data());
}

void G3EdgeList::Normalize(int count, G3Edge** edges)
{
    if (count < 2 || !edges)
        return;
    G3Vertex* loopStart = nullptr;
    bool closed = true;
    for (int k = 0; k < count; ++k) {
        G3Edge* e = edges[k];
        G3Edge* previous = k > 0 ? edges[k - 1] : nullptr;
        // A loop starts at the first edge, after a loop closes, and where an
        // edge cannot continue the chain; its first edge is turned to lead
        // into the next edge.
        if (closed || !Touches(e, previous->GetVertex2())) {
            G3Edge* next = k + 1 < count ? edges[k + 1] : nullptr;
            if (next && Touches(next, e->GetVertex1()))
                e->SwapVertex();
            loopStart = e->GetVertex1();
        } else if (e->GetVertex1() != previous->GetVertex2()) {
            e->SwapVertex();
        }
        closed = e->GetVertex2() == loopStart;
    }
}
