#pragma once
// The triangles of a kernel facet, as vertices in the facet's turning
// direction: the kernel's own tessellation of the facet (holes stay open).
// A facet the tessellation refuses (its contour crosses itself, or it has
// no area) falls back to a fan over its bridged boundary, so that writers
// and adapters still see every facet.

#include <vector>

#include "tessaly/facet.h"

namespace tessaly_tools {

inline std::vector<G3Vertex*> FacetTriangles(G3Facet* f)
{
    std::vector<G3Vertex*> out;
    GArrayCollection corners;
    if (!f->Tessellate(&corners)) {
        GArrayCollection loop;
        f->GetBridgedLoop(&loop);
        for (int k = 1; k + 1 < loop.size(); ++k)
            for (int c : {0, k, k + 1})
                corners.add(loop.get(c));
    }
    for (int k = 0; k < corners.size(); ++k)
        out.push_back(static_cast<G3Vertex*>(corners.get(k)));
    return out;
}

} // namespace tessaly_tools
