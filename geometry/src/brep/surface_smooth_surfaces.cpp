// Surface values from smooth groups: the facets joined across invisible
// edges are one smooth surface and share one surface value.
#include <vector>

#include "brep/smooth_group.h"
#include "tessaly/surface.h"

int G3Surface::FormFacetSurface(G3Facet* f)
{
    if (!f)
        return 0;
    const int value = GetNextSurface();
    for (G3Facet* member : G3CollectSmoothGroup(f, true)) {
        member->SetSurface(value);
        member->ClearMark();
    }
    return value;
}

int G3Surface::FormContourSurface()
{
    int groups = 0;
    for (int k = 0; k < GetFacetCount(); ++k) {
        G3Facet* seed = GetFacet(k);
        if (seed->GetMark())
            continue;
        const int value = GetNextSurface();
        for (G3Facet* member : G3CollectSmoothGroup(seed, true))
            member->SetSurface(value); // Mark stays until every group is made
        ++groups;
    }
    ChangeFacetFlags(G3Obj::kMark, false);
    return groups;
}
