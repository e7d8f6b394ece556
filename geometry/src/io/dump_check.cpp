// Checks of a parsed dump: ranges first, then every ring and facet list is
// walked with each edge side visited at most once, so cycles cannot hang.
// Every edge is in both of its vertex rings, except a detached edge (no
// facets, no links), which is in neither: edits leave such edges in the
// body and the dump keeps them.
#include <vector>

#include "io/dump_reader.h"

namespace {
bool In(int id, int count)
{
    return id >= -1 && id < count;
}

bool Fail(std::string& error, const std::string& what)
{
    error = what;
    return false;
}

bool CheckRanges(const G3Dump& d, std::string& error)
{
    int V = static_cast<int>(d.ring.size() / 2), E = static_cast<int>(d.edges.size());
    int F = static_cast<int>(d.facets.size());
    for (int k = 0; k < E; ++k) {
        const G3DumpEdge& e = d.edges[static_cast<std::size_t>(k)];
        std::string name = "edge " + std::to_string(k);
        if (e.vertex[0] < 0 || e.vertex[0] >= V || e.vertex[1] < 0 || e.vertex[1] >= V)
            return Fail(error, name + ": vertex out of range");
        if (e.vertex[0] == e.vertex[1])
            return Fail(error, name + ": both ends are one vertex");
        for (int s = 0; s < 2; ++s) {
            if (!In(e.facet[s], F) || !In(e.facetNext[s], E) || !In(e.vertexNext[s], E))
                return Fail(error, name + ": link out of range");
            if (e.facet[s] < 0 && e.facetNext[s] >= 0)
                return Fail(error, name + ": list link on a side without facet");
        }
        if (e.facet[0] >= 0 && e.facet[0] == e.facet[1])
            return Fail(error, name + ": one facet on both sides");
    }
    for (int k = 0; k < F; ++k) {
        const G3DumpFacet& f = d.facets[static_cast<std::size_t>(k)];
        if (!In(f.first, E) || !In(f.last, E) || (f.first < 0) != (f.last < 0))
            return Fail(error, "facet " + std::to_string(k) + ": edge out of range");
    }
    for (int k = 0; k < V; ++k) {
        int first = d.ring[2 * static_cast<std::size_t>(k)], last = d.ring[2 * static_cast<std::size_t>(k) + 1];
        if (!In(first, E) || !In(last, E) || (first < 0) != (last < 0))
            return Fail(error, "vertex " + std::to_string(k) + ": edge out of range");
    }
    return true;
}

// An edge that lost its last facet in an edit: the body keeps it (until
// RemoveUnusedEdge) but it is in neither vertex ring and links nothing.
bool IsDetached(const G3DumpEdge& e)
{
    for (int s = 0; s < 2; ++s)
        if (e.facet[s] >= 0 || e.facetNext[s] >= 0 || e.vertexNext[s] >= 0)
            return false;
    return true;
}

bool CheckRings(const G3Dump& d, std::string& error)
{
    G3DumpArray<char> seen(2 * d.edges.size(), 0);
    int V = static_cast<int>(d.ring.size() / 2);
    for (int v = 0; v < V; ++v) {
        std::string name = "ring of vertex " + std::to_string(v);
        int last = -1;
        for (int e = d.ring[2 * static_cast<std::size_t>(v)]; e >= 0;) {
            const G3DumpEdge& edge = d.edges[static_cast<std::size_t>(e)];
            int side = edge.vertex[0] == v ? 0 : edge.vertex[1] == v ? 1 : -1;
            if (side < 0)
                return Fail(error, name + ": an edge that does not touch it");
            char& mark = seen[2 * static_cast<std::size_t>(e) + static_cast<std::size_t>(side)];
            if (mark)
                return Fail(error, name + ": an edge visited twice (a cycle)");
            mark = 1;
            last = e;
            e = edge.vertexNext[side];
        }
        if (last != d.ring[2 * static_cast<std::size_t>(v) + 1])
            return Fail(error, name + ": does not end at its last edge");
    }
    for (std::size_t k = 0; k < d.edges.size(); ++k) {
        bool inRing1 = seen[2 * k] != 0, inRing2 = seen[2 * k + 1] != 0;
        if (inRing1 && inRing2)
            continue;
        if (inRing1 || inRing2 || !IsDetached(d.edges[k]))
            return Fail(error, "edge " + std::to_string(k) + ": missing from a vertex ring");
    }
    return true;
}

bool Touches(const G3DumpEdge& e, int v)
{
    return e.vertex[0] == v || e.vertex[1] == v;
}

bool CheckFacetList(const G3Dump& d, int f, G3DumpArray<char>& seen, std::string& error)
{
    std::string name = "facet " + std::to_string(f);
    int last = -1, loopStart = -1, end = -1;
    bool closed = true;
    for (int e = d.facets[static_cast<std::size_t>(f)].first; e >= 0;) {
        const G3DumpEdge& edge = d.edges[static_cast<std::size_t>(e)];
        int side = edge.facet[0] == f ? 0 : edge.facet[1] == f ? 1 : -1;
        if (side < 0)
            return Fail(error, name + ": lists an edge that does not name it");
        char& mark = seen[2 * static_cast<std::size_t>(e) + static_cast<std::size_t>(side)];
        if (mark)
            return Fail(error, name + ": an edge visited twice (a cycle)");
        mark = 1;
        int next = edge.facetNext[side];
        if (!closed && Touches(edge, end)) {
            end = edge.vertex[0] == end ? edge.vertex[1] : edge.vertex[0];
        } else if (closed) {
            const G3DumpEdge* following = next >= 0 ? &d.edges[static_cast<std::size_t>(next)] : nullptr;
            bool backwards = following && Touches(*following, edge.vertex[0]) && !Touches(*following, edge.vertex[1]);
            loopStart = edge.vertex[backwards ? 1 : 0];
            end = edge.vertex[backwards ? 0 : 1];
        } else {
            return Fail(error, name + ": edges not chained by shared vertices");
        }
        closed = end == loopStart;
        last = e;
        e = next;
    }
    if (last != d.facets[static_cast<std::size_t>(f)].last)
        return Fail(error, name + ": does not end at its last edge");
    if (!closed)
        return Fail(error, name + ": a loop does not close");
    return true;
}
} // namespace

bool G3CheckDump(const G3Dump& d, std::string& error)
{
    if (!CheckRanges(d, error) || !CheckRings(d, error))
        return false;
    G3DumpArray<char> seen(2 * d.edges.size(), 0);
    for (int f = 0; f < static_cast<int>(d.facets.size()); ++f)
        if (!CheckFacetList(d, f, seen, error))
            return false;
    for (std::size_t k = 0; k < d.edges.size(); ++k)
        for (int s = 0; s < 2; ++s)
            if ((d.edges[k].facet[s] >= 0) != (seen[2 * k + static_cast<std::size_t>(s)] != 0))
                return Fail(error, "edge " + std::to_string(k) + ": names a facet that does not list it");
    return true;
}
