// Separating a body into its lumps.
#include "tessaly/boolean.h"
#include "tessaly/surface.h"

namespace {
// Lumps of fewer facets than this (a stray triangle, a slit) are dropped.
constexpr int kSmallestLump = 4;
} // namespace

int G3BooleanCalculator::Separate_Surface(G3Surface* s, GArrayCollection* lumps)
{
    if (!lumps)
        return 0;
    if (!s)
        return lumps->size();
    GArrayCollection parts;
    s->Explode(&parts);
    for (int k = 0; k < parts.size(); ++k) {
        auto* part = static_cast<G3Surface*>(parts.get(k));
        if (part->GetFacetCount() < kSmallestLump) {
            delete part;
            continue;
        }
        // Each lump is tidied on its own: one open lump must not make the
        // facets of the others double-sided.
        part->RemoveUnused();
        part->RemoveNonManifoldEdges();
        part->Update(CHECK_LEVEL_1001);
        lumps->add(part);
    }
    while (s->GetFacetCount() > 0)
        s->RemoveFacet(s->GetFacet(s->GetFacetCount() - 1));
    s->RemoveUnused();
    return lumps->size();
}
