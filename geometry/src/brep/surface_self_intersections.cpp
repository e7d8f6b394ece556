// Facets whose contour crosses itself: marked, or rebuilt into simple
// facets. Both work on coordinates scaled by the boolean working scale, as
// the boolean operations do, and give the original coordinates back
// exactly.
#include <array>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "brep/facets_facing.h"
#include "core/tolerances.h"
#include "tessaly/surface.h"
#include "tessaly/trace.h"

using tessaly::kBooleanWorkingScale;

namespace {
// The coordinates of every vertex, to put back after working on a scaled
// copy (scaling there and back would change them in the last bit).
class SavedCoordinates {
public:
    explicit SavedCoordinates(G3Surface* s)
    {
        for (int k = 0; k < s->GetVertexCount(); ++k) {
            const double* p = s->GetVertex(k)->GetXYZ();
            m_Saved[s->GetVertex(k)] = {p[0], p[1], p[2]};
        }
    }
    // Scales every vertex back and restores those that were saved. Vertices
    // removed meanwhile are not looked up (nothing is allocated between
    // their removal and this call).
    void Restore(G3Surface* s, double scale) const
    {
        s->ScaleCoo(scale);
        for (int k = 0; k < s->GetVertexCount(); ++k) {
            auto found = m_Saved.find(s->GetVertex(k));
            if (found != m_Saved.end())
                s->GetVertex(k)->Set(found->second.data());
        }
    }

private:
    std::unordered_map<const G3Vertex*, std::array<double, 3>> m_Saved;
};

std::vector<G3Facet*> FacetSnapshot(G3Surface* s)
{
    std::vector<G3Facet*> out;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        out.push_back(s->GetFacet(k));
    return out;
}
} // namespace

void G3Surface::MarkSelfIntersectFace()
{
    std::vector<std::array<double, 4>> planes;
    for (int k = 0; k < GetFacetCount(); ++k) {
        const double* p = GetFacet(k)->GetPlane();
        planes.push_back({p[0], p[1], p[2], p[3]});
    }
    SavedCoordinates saved(this);
    ScaleCoo(kBooleanWorkingScale);
    FormPlaneEquation();
    for (G3Facet* f : FacetSnapshot(this)) {
        G3EdgeList contour(f);
        if (contour.TestSelfIntersections())
            f->SetMark4();
    }
    saved.Restore(this, 1.0 / kBooleanWorkingScale);
    // The planes were formed at the working scale: give the originals back.
    for (int k = 0; k < GetFacetCount(); ++k)
        GetFacet(k)->SetPlane(planes[static_cast<std::size_t>(k)].data());
}

bool G3Surface::RemoveSelfIntersections()
{
    GTrace("RemoveSelfIntersections");
    RemoveEqualsVertex();
    SavedCoordinates saved(this);
    ScaleCoo(kBooleanWorkingScale);
    bool rebuilt = false;
    for (G3Facet* f : FacetSnapshot(this)) {
        G3EdgeList contour(f);
        if (!contour.TestSelfIntersections())
            continue;
        GArrayCollection result;
        contour.RemoveSelfIntersections(&result, this, true, UNION_EDGE_KEEP_ALL, 0);
        // f stays until its replacements exist: it is their extended-data
        // template.
        AddFacetsLike(this, &result, f);
        RemoveFacet(f);
        rebuilt = true;
    }
    RemoveNonManifoldEdges();
    RemoveEqualsNormal();
    RemoveUnused();
    saved.Restore(this, 1.0 / kBooleanWorkingScale);
    FormPlaneEquation();
    GTrace("RemoveSelfIntersections Ok");
    return rebuilt;
}

bool G3Surface::RemoveTrivialFacets()
{
    bool removed = false;
    for (int k = 0; k < GetFacetCount();) {
        G3Facet* f = GetFacet(k);
        if (f->IsTrivial() || f->GetEdgeCount() < 3) {
            RemoveFacet(f); // the last facet moves into k: look again
            removed = true;
        } else {
            ++k;
        }
    }
    if (removed)
        RemoveUnused();
    return removed;
}
