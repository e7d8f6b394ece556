// Edge visibility from the geometry: an edge between two coplanar facets
// draws nothing of the body's shape.
#include "tessaly/surface.h"

namespace {
// The edge's two facets, when it has two and they lie in one plane (the
// same plane either way round).
bool Coplanar(const G3Edge* e)
{
    const G3Facet* f1 = e->GetFacet1();
    const G3Facet* f2 = e->GetFacet2();
    if (!f1 || !f2 || f1 == f2 || f1->IsPlaneZero() || f2->IsPlaneZero())
        return false;
    const double* p = f2->GetPlane();
    const double opposite[4] = {-p[0], -p[1], -p[2], -p[3]};
    return f1->PlaneEquals(p) || f1->PlaneEquals(opposite);
}
} // namespace

int G3Surface::MarkInPlaneEdgesAsInvisible()
{
    int changed = 0;
    for (int k = 0; k < GetEdgeCount(); ++k) {
        G3Edge* e = GetEdge(k);
        if (Coplanar(e) && e->GetVisible()) {
            e->ClearFlags(G3Edge::kVisible);
            ++changed;
        }
    }
    return changed;
}

int G3Surface::MarkInPlaneEdgesAsInvisible2()
{
    int changed = MarkInPlaneEdgesAsInvisible();
    for (int k = 0; k < GetEdgeCount(); ++k) {
        G3Edge* e = GetEdge(k);
        if (!Coplanar(e) && !e->GetVisible()) {
            e->SetVisible();
            ++changed;
        }
    }
    return changed;
}
