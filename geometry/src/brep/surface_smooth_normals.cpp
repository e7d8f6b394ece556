// Smooth shading normals: facets joined by invisible edges form a group,
// and at each vertex every facet of the group gets the mean plane normal of
// the group's facets around that vertex.
#include <cmath>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/surface.h"

namespace {
std::vector<G3Facet*> SmoothGroup(G3Facet* seed)
{
    std::vector<G3Facet*> group{seed};
    seed->SetMark();
    seed->SetMark2();
    for (std::size_t m = 0; m < group.size(); ++m) {
        G3Facet* g = group[m];
        for (G3Edge* x = g->GetFirstEdge(); x; x = g->GetNextEdge(x)) {
            if (x->TestFlag(G3Edge::kVisible))
                continue; // a visible edge bounds the group
            G3Facet* h = x->GetFacet1() == g ? x->GetFacet2() : x->GetFacet1();
            if (!h || h->GetMark() || h->GetDoubleSided() != g->GetDoubleSided())
                continue;
            h->SetMark();
            h->SetMark2();
            group.push_back(h);
        }
    }
    return group;
}

// The mean plane normal of the group's facets (those carrying Mark2) around
// v, one term per facet side of every edge of v's ring, made unit length;
// the member's own plane normal when the terms cancel (opposite facets in
// one group).
void MeanNormal(G3Vertex* v, const G3Facet* member, double* out)
{
    double sum[3] = {0, 0, 0};
    for (G3Edge* x = v->GetFirstEdge(); x; x = x->GetVertexNext(v))
        for (G3Facet* f : {x->GetFacet1(), x->GetFacet2()})
            if (f && f->GetMark2())
                for (int a = 0; a < 3; ++a)
                    sum[a] += f->GetPlane()[a];
    double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    const double* own = member->GetPlane();
    for (int a = 0; a < 3; ++a)
        out[a] = length > tessaly::kLengthTolerance ? sum[a] / length : own[a];
}
} // namespace

void G3Surface::AverageNormalsByPlanes2()
{
    GArrayCollection vertices;
    for (int k = 0; k < GetFacetCount(); ++k) {
        G3Facet* seed = GetFacet(k);
        if (seed->GetMark())
            continue;
        std::vector<G3Facet*> group = SmoothGroup(seed);
        for (auto member = group.rbegin(); member != group.rend(); ++member) {
            (*member)->GetVertices(&vertices);
            for (int i = 0; i < vertices.size(); ++i) {
                auto* v = static_cast<G3Vertex*>(vertices.get(i));
                double normal[3];
                MeanNormal(v, *member, normal);
                if (G3Normal* n = AddNormal(normal))
                    v->SetNormal(*member, n, nullptr);
            }
        }
        for (G3Facet* f : group)
            f->ClearMark2();
    }
    ChangeFacetFlags(G3Obj::kMark, false);
    RemoveEqualsNormal();
}
