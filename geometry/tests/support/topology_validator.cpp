#include "topology_validator.h"

#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "tessaly/surface.h"

namespace {
std::string CheckRings(G3Surface* s, const std::unordered_set<G3Edge*>& edges)
{
    std::unordered_map<G3Edge*, int> seen[2];
    int limit = s->GetEdgeCount() + 1;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        G3Edge* last = nullptr;
        int steps = 0;
        for (G3Edge* e = v->GetFirstEdge(); e; e = e->GetVertexNext(v)) {
            if (++steps > limit)
                return "ring of vertex " + std::to_string(k) + " does not end";
            if (!edges.count(e))
                return "ring of vertex " + std::to_string(k) + " names an edge not in the body";
            if (e->GetVertex1() != v && e->GetVertex2() != v)
                return "ring of vertex " + std::to_string(k) + " holds an edge that does not touch it";
            ++seen[e->GetVertex1() == v ? 0 : 1][e];
            last = e;
        }
        if (last != v->GetLastEdge())
            return "vertex " + std::to_string(k) + " has a wrong last edge";
    }
    for (G3Edge* e : edges)
        if (seen[0][e] != 1 || seen[1][e] != 1)
            return "edge " + std::to_string(e->GetId()) + " is not in both rings exactly once";
    return "";
}

bool Touches(const G3Edge* e, const G3Vertex* v)
{
    return e->GetVertex1() == v || e->GetVertex2() == v;
}

std::string CheckFacet(G3Facet* f, int index, int limit, std::unordered_map<G3Edge*, int>& listed)
{
    std::string name = "facet " + std::to_string(index);
    G3Vertex* loopStart = nullptr;
    G3Vertex* end = nullptr;
    bool closed = true;
    G3Edge* last = nullptr;
    int steps = 0;
    for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e)) {
        if (++steps > limit)
            return name + ": edge list does not end";
        if (e->GetFacet1() != f && e->GetFacet2() != f)
            return name + ": lists an edge that does not name it";
        ++listed[e];
        G3Edge* next = f->GetNextEdge(e);
        if (!closed && Touches(e, end)) {
            end = e->GetOtherVertex(end);
        } else if (closed) {
            bool backwards = next && Touches(next, e->GetVertex1()) && !Touches(next, e->GetVertex2());
            loopStart = backwards ? e->GetVertex2() : e->GetVertex1();
            end = e->GetOtherVertex(loopStart);
        } else {
            return name + ": edges not chained by shared vertices";
        }
        closed = end == loopStart;
        last = e;
    }
    if (last != f->GetLastEdge())
        return name + ": wrong last edge";
    if (!closed)
        return name + ": a loop does not close";
    return "";
}
} // namespace

std::string ValidateTopology(G3Surface* s)
{
    std::unordered_set<G3Edge*> edges;
    std::unordered_set<G3Facet*> facets;
    for (int k = 0; k < s->GetEdgeCount(); ++k)
        edges.insert(s->GetEdge(k));
    for (int k = 0; k < s->GetFacetCount(); ++k)
        facets.insert(s->GetFacet(k));
    for (G3Edge* e : edges) {
        if (!e->GetVertex1() || !e->GetVertex2() || e->GetVertex1() == e->GetVertex2())
            return "edge " + std::to_string(e->GetId()) + " lacks two distinct vertices";
        if (e->GetFacet1() && e->GetFacet1() == e->GetFacet2())
            return "edge " + std::to_string(e->GetId()) + " has one facet on both sides";
        for (G3Facet* f : {e->GetFacet1(), e->GetFacet2()})
            if (f && !facets.count(f))
                return "edge " + std::to_string(e->GetId()) + " names a facet not in the body";
    }
    std::string rings = CheckRings(s, edges);
    if (!rings.empty())
        return rings;
    std::unordered_map<G3Edge*, int> listed;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        std::unordered_map<G3Edge*, int> byFacet;
        std::string error = CheckFacet(s->GetFacet(k), k, s->GetEdgeCount() + 1, byFacet);
        if (!error.empty())
            return error;
        for (auto& entry : byFacet) {
            if (!edges.count(entry.first))
                return "facet " + std::to_string(k) + " lists an edge not in the body";
            if (entry.second != 1)
                return "facet " + std::to_string(k) + " lists an edge twice";
            ++listed[entry.first];
        }
    }
    for (G3Edge* e : edges) {
        int sides = (e->GetFacet1() != nullptr) + (e->GetFacet2() != nullptr);
        if (listed[e] != sides)
            return "edge " + std::to_string(e->GetId()) + " names a facet that does not list it";
    }
    return "";
}

int EulerCharacteristic(G3Surface* s)
{
    std::set<std::pair<const void*, const void*>> pairs;
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        const void* a = s->GetEdge(k)->GetVertex1();
        const void* b = s->GetEdge(k)->GetVertex2();
        pairs.insert(std::less<const void*>()(a, b) ? std::make_pair(a, b) : std::make_pair(b, a));
    }
    return s->GetVertexCount() - static_cast<int>(pairs.size()) + s->GetFacetCount();
}

std::string ValidateChain(G3EdgeList* c)
{
    int n = c->size();
    if (n < 3)
        return "fewer than 3 edges";
    for (int k = 0; k < n; ++k)
        if (c->GetEdge(k)->GetVertex2() != c->GetEdge((k + 1) % n)->GetVertex1())
            return "edge " + std::to_string(k) + " does not lead into the next";
    return "";
}
