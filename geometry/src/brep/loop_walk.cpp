#include "brep/loop_walk.h"

namespace {
bool Touches(const G3Edge* e, const G3Vertex* v)
{
    return e->GetVertex1() == v || e->GetVertex2() == v;
}

// Where a loop's first edge starts: the end it does not share with the next
// edge (vertex 1 when that does not decide).
G3Vertex* FirstStart(const G3Edge* e, const G3Edge* next)
{
    if (next && Touches(next, e->GetVertex1()) && !Touches(next, e->GetVertex2()))
        return e->GetVertex2();
    return e->GetVertex1();
}
} // namespace

void G3WalkLoops(G3Edge* const* edges, int count, std::vector<G3LoopEdge>& out)
{
    out.clear();
    out.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    G3Vertex* previousEnd = nullptr;
    G3Vertex* loopStart = nullptr;
    bool closed = true;
    int loop = -1;
    for (int k = 0; k < count; ++k) {
        G3Edge* e = edges[k];
        G3Vertex* start;
        if (!closed && Touches(e, previousEnd)) {
            start = previousEnd;
        } else {
            start = FirstStart(e, k + 1 < count ? edges[k + 1] : nullptr);
            loopStart = start;
            ++loop;
        }
        G3Vertex* end = e->GetOtherVertex(start);
        out.push_back({e, start, end, loop});
        closed = end == loopStart;
        previousEnd = end;
    }
}

void G3FacetEdges(const G3Facet* facet, std::vector<G3Edge*>& out)
{
    out.clear();
    for (G3Edge* e = facet->GetFirstEdge(); e; e = facet->GetNextEdge(e))
        out.push_back(e);
}

void G3WalkFacet(const G3Facet* facet, std::vector<G3LoopEdge>& out)
{
    std::vector<G3Edge*> edges;
    G3FacetEdges(facet, edges);
    G3WalkLoops(edges.data(), static_cast<int>(edges.size()), out);
}
