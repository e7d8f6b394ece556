#pragma once
// A facet's loops (the outline first, then its holes) as vertex arrays.
#include <vector>

#include "tessaly/facet.h"

inline std::vector<std::vector<G3Vertex*>> G3FacetLoops(G3Facet* f)
{
    GArrayCollection vertices, starts;
    f->GetLoops(&vertices, &starts);
    std::vector<std::vector<G3Vertex*>> loops;
    for (int k = 0; k < starts.size(); ++k) {
        const int from = static_cast<int>(G3ElementToInt(starts.get(k)));
        const int to = k + 1 < starts.size() ? static_cast<int>(G3ElementToInt(starts.get(k + 1))) : vertices.size();
        std::vector<G3Vertex*> loop;
        for (int v = from; v < to; ++v)
            loop.push_back(static_cast<G3Vertex*>(vertices.get(v)));
        loops.push_back(loop);
    }
    return loops;
}
