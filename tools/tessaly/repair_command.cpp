#include "repair_command.h"

#include <cstdio>
#include <unordered_map>

#include "tessaly/surface.h"

namespace {
struct Normal {
    double n[3];
};

// The plane normal of every facet, by facet.
std::unordered_map<G3Facet*, Normal> Normals(G3Surface* s)
{
    std::unordered_map<G3Facet*, Normal> out;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        out[f] = {{f->GetPlaneA(), f->GetPlaneB(), f->GetPlaneC()}};
    }
    return out;
}

// Facets that were there before and now face the other way.
int TurnedOver(G3Surface* s, const std::unordered_map<G3Facet*, Normal>& before)
{
    int turned = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        auto old = before.find(f);
        if (old == before.end())
            continue;
        const double* n = old->second.n;
        turned += n[0] * f->GetPlaneA() + n[1] * f->GetPlaneB() + n[2] * f->GetPlaneC() < 0;
    }
    return turned;
}
} // namespace

void RepairAndReport(G3Surface* s, CHECK_LEVEL level)
{
    const int vertices = s->GetVertexCount(), edges = s->GetEdgeCount(), facets = s->GetFacetCount();
    s->FormPlaneEquation();
    const auto normals = Normals(s);
    s->Update(level);
    std::printf("vertices %d -> %d\n", vertices, s->GetVertexCount());
    std::printf("edges %d -> %d\n", edges, s->GetEdgeCount());
    std::printf("facets %d -> %d (%d turned over)\n", facets, s->GetFacetCount(), TurnedOver(s, normals));
    // Update makes every facet of an open body double-sided; such a body is
    // reported open.
    bool doubleSided = false;
    for (int k = 0; k < s->GetFacetCount() && !doubleSided; ++k)
        doubleSided = s->GetFacet(k)->GetDoubleSided();
    const bool closed = s->GetFacetCount() > 0 && !doubleSided && s->GetClosed();
    std::printf("closed %s\n", closed ? "yes" : "no (every facet made double-sided)");
    if (closed)
        std::printf("volume %.17g\n", s->GetVolume());
}
