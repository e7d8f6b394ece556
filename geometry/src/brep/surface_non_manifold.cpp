// Joining single-sided edges with their single-sided twins: two facets that
// meet along coincident but separate edges come to share one edge.
#include "tessaly/surface.h"

namespace {
// The facet of an edge with exactly one facet; null otherwise.
G3Facet* OnlyFacet(const G3Edge* e)
{
    G3Facet* f1 = e->GetFacet1();
    G3Facet* f2 = e->GetFacet2();
    if ((f1 != nullptr) == (f2 != nullptr))
        return nullptr;
    return f1 ? f1 : f2;
}

void TakeOutOfRings(G3Edge* e)
{
    e->GetVertex1()->RemoveEdge(e);
    e->GetVertex2()->RemoveEdge(e);
}

void ClearSides(G3Edge* e)
{
    e->SetFacet1(nullptr);
    e->SetFacet2(nullptr);
}
} // namespace

int G3Surface::RemoveNonManifoldEdges()
{
    int joined = 0;
    GArrayCollection twins;
    for (int k = 0; k < GetEdgeCount(); ++k) {
        G3Edge* e = GetEdge(k);
        G3Facet* fe = OnlyFacet(e);
        if (!fe)
            continue;
        e->GetVertex1()->GetEdges(e->GetVertex2(), &twins);
        for (int i = 0; i < twins.size(); ++i) {
            auto* o = static_cast<G3Edge*>(twins.get(i));
            G3Facet* fo = o == e ? nullptr : OnlyFacet(o);
            if (!fo)
                continue;
            if (fo == fe) {
                // A facet of two edges between the same two vertices has no
                // area: it goes, with both edges.
                if (fe->GetEdgeCount() != 2)
                    continue;
                fe->RemoveEdges();
                TakeOutOfRings(e);
                TakeOutOfRings(o);
                ClearSides(e);
                ClearSides(o);
                break;
            }
            if (fo->ChangeEdges(o, e)) {
                // The joined edge is new when either twin was (a cut of a
                // boolean), so coplanar facets across it may be united.
                if (o->GetNew())
                    e->SetNew();
                TakeOutOfRings(o);
                ++joined;
                break;
            }
        }
    }
    RemoveUnused();
    return joined;
}
