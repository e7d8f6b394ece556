// Facets through the same vertex cycle: the later one goes. Facets are
// indexed by their first vertex in list order (through a pointer-to-
// position map, so stale ids do no harm), and compared as cycles in either
// direction from that vertex.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "tessaly/surface.h"

namespace {
// The facet's vertex sequence rotated to start at its vertex of lowest list
// position.
std::vector<G3Vertex*> CanonicalCycle(G3Facet* f, const std::unordered_map<const GObj*, int>& position)
{
    GArrayCollection vertices;
    f->GetVertices(&vertices);
    std::vector<G3Vertex*> cycle;
    for (int k = 0; k < vertices.size(); ++k)
        cycle.push_back(static_cast<G3Vertex*>(vertices.get(k)));
    auto lowest = std::min_element(cycle.begin(), cycle.end(), [&](const G3Vertex* a, const G3Vertex* b) {
        return position.at(a) < position.at(b);
    });
    std::rotate(cycle.begin(), lowest, cycle.end());
    return cycle;
}

// The same cycle forwards, or backwards from the same start.
bool SameCycle(const std::vector<G3Vertex*>& a, const std::vector<G3Vertex*>& b)
{
    if (a.size() != b.size() || a.empty() || a[0] != b[0])
        return false;
    if (a == b)
        return true;
    for (std::size_t k = 1; k < a.size(); ++k)
        if (a[k] != b[a.size() - k])
            return false;
    return true;
}

int Sides(const G3Facet* f)
{
    return f->GetDoubleSided() ? 2 : 1;
}
} // namespace

int G3Surface::RemoveEqualsFacets()
{
    std::unordered_map<const GObj*, int> position;
    for (int k = 0; k < GetVertexCount(); ++k)
        position[GetVertex(k)] = k;
    std::vector<G3Facet*> snapshot;
    for (int k = 0; k < GetFacetCount(); ++k)
        snapshot.push_back(GetFacet(k));
    struct Entry {
        G3Facet* facet;
        std::vector<G3Vertex*> cycle;
    };
    std::unordered_map<const G3Vertex*, std::vector<Entry>> index;
    int removed = 0;
    for (G3Facet* f : snapshot) {
        if (!f->HasEdges())
            continue;
        std::vector<G3Vertex*> cycle = CanonicalCycle(f, position);
        std::vector<Entry>& chain = index[cycle.front()];
        auto earlier =
            std::find_if(chain.begin(), chain.end(), [&](const Entry& e) { return SameCycle(e.cycle, cycle); });
        if (earlier == chain.end()) {
            chain.push_back({f, std::move(cycle)});
            continue;
        }
        if ((Sides(earlier->facet) + Sides(f)) % 2 == 0)
            earlier->facet->SetDoubleSided();
        else
            earlier->facet->ClearDoubleSided();
        RemoveFacet(f);
        ++removed;
    }
    if (removed > 0)
        RemoveUnused();
    return removed;
}
