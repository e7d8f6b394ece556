#pragma once
// Rebuilt facets face the way the facet they replace faced: the contour
// pipeline traces loops in its own turning sense.
#include "tessaly/surface.h"

// Turns over every facet from position first on whose plane normal points
// against normal.
inline void FaceLike(G3Surface* s, int first, const double* normal)
{
    for (int k = first; k < s->GetFacetCount(); ++k) {
        const double* p = s->GetFacet(k)->GetPlane();
        if (p[0] * normal[0] + p[1] * normal[1] + p[2] * normal[2] < 0)
            s->GetFacet(k)->NegPlane();
    }
}

// Adds the contours as facets with model as their extended-data template,
// facing as model faces (the contours are deleted and the list cleared).
inline void AddFacetsLike(G3Surface* s, GArrayCollection* contours, G3Facet* model)
{
    const double normal[3] = {model->GetPlaneA(), model->GetPlaneB(), model->GetPlaneC()};
    const int first = s->GetFacetCount();
    s->ProviderSetExData(model);
    s->AddFacets(contours);
    s->ProviderSetExData(nullptr);
    FaceLike(s, first, normal);
}
