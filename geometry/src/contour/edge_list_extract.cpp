// Contours taken out of the free edges of a surface.
#include <vector>

#include "contour/contour_walk.h"
#include "tessaly/contour.h"
#include "tessaly/surface.h"

void G3EdgeList::RemoveFreeEdge(G3Surface* surface, G3Edge* e)
{
    const long at = e->GetId();
    surface->RemoveEdge(e);
    // Removal moves the last edge into the freed place: keep ids equal to
    // places so that the next removal finds its edge at once.
    if (at >= 0 && at < surface->GetEdgeCount())
        surface->GetEdge(static_cast<int>(at))->SetId(at);
}

G3EdgeList* G3EdgeList::RemoveContour(G3Surface* surface, G3Edge* start, G3Vertex* from, int a1, int a2, int facetFlags,
                                      int facetSurface)
{
    if (!surface || !start || !from || (start->GetVertex1() != from && start->GetVertex2() != from))
        return nullptr;
    std::vector<G3Edge*> path;
    std::vector<G3Vertex*> starts;
    const bool closed = contour_walk::Walk(start, from, a1, a2, surface->GetEdgeCount() + 1, &path, &starts);
    if (!closed || path.size() < 3) {
        bool startWalked = false;
        for (G3Edge* e : path) {
            startWalked = startWalked || e == start;
            RemoveFreeEdge(surface, e);
        }
        if (!startWalked)
            RemoveFreeEdge(surface, start);
        return nullptr;
    }
    auto* contour = new G3EdgeList(facetFlags, facetSurface);
    for (std::size_t k = 0; k < path.size(); ++k) {
        G3Edge* e = path[k];
        G3Edge* copy = contour->AddEdge(starts[k], e->GetOtherVertex(starts[k]), nullptr, nullptr, nullptr, nullptr,
                                        static_cast<int>(e->GetFlags()));
        copy->SetUserValue(e->GetUserValue());
        RemoveFreeEdge(surface, e);
    }
    contour->Normalize();
    return contour;
}
