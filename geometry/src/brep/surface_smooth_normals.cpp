// Smooth shading normals: facets joined by invisible edges form a group,
// and at each vertex every facet of the group gets the mean plane normal of
// the group's facets around that vertex.
#include <cmath>
#include <vector>

#include "brep/smooth_group.h"
#include "brep/smooth_normals_subset.h"
#include "core/tolerances.h"
#include "tessaly/surface.h"

namespace {
// How a smoothing pass groups facets and what it keeps.
struct Smoothing {
    bool visibleEdgesSplit; // a visible edge bounds a group
    bool keepTexCoos;       // each facet keeps its texture coordinates
};

// The group of seed, its members carrying Mark and Mark2.
std::vector<G3Facet*> SmoothGroup(G3Facet* seed, const Smoothing& how)
{
    std::vector<G3Facet*> group = G3CollectSmoothGroup(seed, how.visibleEdgesSplit);
    for (G3Facet* f : group)
        f->SetMark2();
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

// The texture coordinate that facet f has at v (with or without a normal).
G3TexCoo* TexCooAt(const G3Facet* f, G3Vertex* v)
{
    for (G3Edge* e = v->GetFirstEdge(); e; e = e->GetVertexNext(v)) {
        const bool first = e->GetVertex1() == v;
        G3TexCoo* t = nullptr;
        if (e->GetFacet1() == f)
            first ? e->GetFacet1V1(&t) : e->GetFacet1V2(&t);
        else if (e->GetFacet2() == f)
            first ? e->GetFacet2V1(&t) : e->GetFacet2V2(&t);
        if (t)
            return t;
    }
    return nullptr;
}

// Every facet of every group gets at each vertex the group's mean normal
// there; Mark and Mark2 are borrowed and cleared.
void SmoothNormals(G3Surface* s, const Smoothing& how)
{
    GArrayCollection vertices;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* seed = s->GetFacet(k);
        if (seed->GetMark())
            continue;
        std::vector<G3Facet*> group = SmoothGroup(seed, how);
        for (auto member = group.rbegin(); member != group.rend(); ++member) {
            (*member)->GetVertices(&vertices);
            for (int i = 0; i < vertices.size(); ++i) {
                auto* v = static_cast<G3Vertex*>(vertices.get(i));
                double normal[3];
                MeanNormal(v, *member, normal);
                G3TexCoo* tex = how.keepTexCoos ? TexCooAt(*member, v) : nullptr;
                if (G3Normal* n = s->AddNormal(normal))
                    v->SetNormal(*member, n, tex);
            }
        }
        for (G3Facet* f : group)
            f->ClearMark2();
    }
    s->ChangeFacetFlags(G3Obj::kMark, false);
    s->RemoveEqualsNormal();
}
} // namespace

void G3Surface::AverageNormalsByPlanes2()
{
    SmoothNormals(this, {true, false});
}

void G3Surface::AverageNormalsByPlanes()
{
    SmoothNormals(this, {false, false});
}

void G3Surface::AverageNormalsByPlanesTexCooSafe()
{
    SmoothNormals(this, {false, true});
}

void G3AverageNormalsByPlanesOf(G3Surface* surface, const std::function<bool(G3Facet*)>& included)
{
    // Mark is what a group's walk skips; SmoothNormals clears it at the end.
    for (int k = 0; k < surface->GetFacetCount(); ++k)
        if (!included(surface->GetFacet(k)))
            surface->GetFacet(k)->SetMark();
    SmoothNormals(surface, {false, false});
}
