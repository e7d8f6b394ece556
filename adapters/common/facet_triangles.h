#pragma once
// The triangles of a kernel facet (its bridged loop, ear-clipped in the
// facet's projection), as vertices in the facet's turning direction.

#include <vector>

#include "ear_clipping.h"
#include "tessaly/facet.h"

namespace tessaly_tools {

inline std::vector<G3Vertex*> FacetTriangles(G3Facet* f)
{
    std::vector<G3Vertex*> out;
    GArrayCollection loop;
    f->GetBridgedLoop(&loop);
    int i = 0, j = 1;
    f->GetMaxCoo(&i, &j);
    std::vector<Point2> points;
    for (int k = 0; k < loop.size(); ++k) {
        const double* p = static_cast<G3Vertex*>(loop.get(k))->GetXYZ();
        points.push_back({p[i], p[j]});
    }
    for (std::size_t index : EarClip(points))
        out.push_back(static_cast<G3Vertex*>(loop.get(static_cast<int>(index))));
    return out;
}

} // namespace tessaly_tools
