#include "contour/contour_walk.h"

#include "tessaly/elements.h"
#include "tessaly/math.h"

namespace {
// The edge after e (arriving at v from u): the first of v's other edges
// clockwise from the way back to u.
G3Edge* NextEdge(G3Edge* e, G3Vertex* u, G3Vertex* v, int a1, int a2)
{
    const double back = G3Math::CalcAngle(v, u, 0.0, a1, a2);
    G3Edge* best = nullptr;
    double bestScore = -1.0;
    for (G3Edge* x = v->GetFirstEdge(); x; x = x->GetVertexNext(v)) {
        if (x->GetVertex1() == e->GetVertex1() && x->GetVertex2() == e->GetVertex2())
            continue;
        const double score = G3Math::CalcAngle(v, x->GetOtherVertex(v), back, a1, a2);
        if (score > bestScore) {
            best = x;
            bestScore = score;
        }
    }
    return best;
}

// Another edge between u and v without the walk's mark, if any.
G3Edge* UnwalkedParallel(G3Vertex* u, G3Vertex* v)
{
    GArrayCollection parallel;
    u->GetEdges(v, &parallel);
    G3Edge* alternative = nullptr;
    for (int k = 0; k < parallel.size(); ++k)
        if (!static_cast<G3Edge*>(parallel.get(k))->GetMark())
            alternative = static_cast<G3Edge*>(parallel.get(k));
    return alternative;
}
} // namespace

bool contour_walk::Walk(G3Edge* start, G3Vertex* from, int a1, int a2, int maxSteps, std::vector<G3Edge*>* path,
                        std::vector<G3Vertex*>* starts)
{
    path->clear();
    starts->clear();
    G3Edge* e = start;
    G3Vertex* u = from;
    G3Vertex* v = start->GetOtherVertex(from);
    bool closed = false;
    for (int steps = 0; steps <= maxSteps; ++steps) {
        if (e->GetMark()) {
            G3Edge* alternative = UnwalkedParallel(u, v);
            if (!alternative) {
                // The walk closed on itself at e: the loop is the path from
                // e, when e is entered the same way again (back along a
                // dangling edge is no loop).
                std::size_t k = 0;
                while (k < path->size() && (*path)[k] != e)
                    ++k;
                closed = k < path->size() && (*starts)[k] == u;
                if (closed) {
                    path->erase(path->begin(), path->begin() + static_cast<long>(k));
                    starts->erase(starts->begin(), starts->begin() + static_cast<long>(k));
                }
                break;
            }
            e = alternative;
        }
        e->SetMark();
        e->SetMark2();
        path->push_back(e);
        starts->push_back(u);
        G3Edge* next = NextEdge(e, u, v, a1, a2);
        if (!next)
            break;
        if (next == start) {
            // Back at the start: a loop when leaving it the same way again.
            closed = v == from;
            break;
        }
        u = v;
        v = next->GetOtherVertex(v);
        e = next;
    }
    for (G3Edge* x : *path) {
        x->ClearMark();
        x->ClearMark2();
    }
    return closed;
}
