// SurfaceCover: a terrain closed into a solid by skirts down to height 0
// and bottom facets.
#include <cmath>
#include <vector>

#include "brep/smooth_normals_subset.h"
#include "terrain/terrain_internal.h"
#include "tessaly/terrain.h"

namespace {
// A skirt quad below every border edge: [bottom 1, V1, V2, bottom 2].
void AddSkirts(G3Surface* s, const std::vector<G3Edge*>& border)
{
    for (G3Edge* e : border) {
        G3Vertex* v1 = e->GetVertex1();
        G3Vertex* v2 = e->GetVertex2();
        G3Vertex* quad[4] = {s->AddVertex(v1->GetX(), v1->GetY(), 0.0, 0), v1, v2,
                             s->AddVertex(v2->GetX(), v2->GetY(), 0.0, 0)};
        s->AddFacet(4, quad, 1, nullptr, nullptr);
    }
}

// Border edges visible and form-making; between facets, by the classes of
// the two facets (form-making only within one kind, visible between kinds).
void MarkEdges(G3Surface* s, G3LandscapeHandler::FacetClassifier classify)
{
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        e->ClearFlags(G3Edge::kVisible | G3Edge::kFormMaking);
        e->SetFormMaking();
        if (!e->GetFacet1() || !e->GetFacet2() || !classify) {
            e->SetVisible();
            continue;
        }
        const bool special1 = classify(e->GetFacet1()) != 0;
        const bool special2 = classify(e->GetFacet2()) != 0;
        if (special1 != special2)
            e->SetVisible();
    }
}

// How many other loops enclose the loop (its first vertex): even for an
// outer loop, odd for a hole.
int NestingDepth(const std::vector<std::vector<G3Vertex*>>& loops, std::size_t index)
{
    const G3Vertex* p = loops[index].front();
    int depth = 0;
    for (std::size_t k = 0; k < loops.size(); ++k)
        if (k != index && terrain::PointInLoop(loops[k], p->GetX(), p->GetY()))
            ++depth;
    return depth;
}

// The holes directly inside an outer loop: one level deeper and inside it.
std::vector<std::size_t> HolesOf(const std::vector<std::vector<G3Vertex*>>& loops, const std::vector<int>& depth,
                                 std::size_t outer)
{
    std::vector<std::size_t> holes;
    for (std::size_t k = 0; k < loops.size(); ++k) {
        const G3Vertex* p = loops[k].front();
        if (depth[k] == depth[outer] + 1 && terrain::PointInLoop(loops[outer], p->GetX(), p->GetY()))
            holes.push_back(k);
    }
    return holes;
}

void AddLoopFacet(G3Surface* s, std::vector<G3Vertex*> loop)
{
    s->AddFacet(static_cast<int>(loop.size()), loop.data(), 1, nullptr, nullptr);
}

// One bottom facet per outer loop of the skirts' lower border, the loops
// directly inside it as its holes.
void AddBottoms(G3Surface* s)
{
    const std::vector<std::vector<G3Vertex*>> loops = terrain::BorderLoops(terrain::BorderEdges(s));
    std::vector<int> depth(loops.size());
    for (std::size_t k = 0; k < loops.size(); ++k)
        depth[k] = NestingDepth(loops, k);
    for (std::size_t k = 0; k < loops.size(); ++k) {
        if (depth[k] % 2 != 0)
            continue;
        const std::vector<std::size_t> holes = HolesOf(loops, depth, k);
        if (holes.empty()) {
            AddLoopFacet(s, loops[k]);
            continue;
        }
        s->BeginComplexFacet();
        AddLoopFacet(s, loops[k]);
        for (std::size_t h : holes)
            AddLoopFacet(s, loops[h]);
        s->EndComplexFacet();
    }
}
bool HasShadingNormals(G3Surface* s)
{
    for (int k = 0; k < s->GetEdgeCount(); ++k)
        if (s->GetEdge(k)->HasGeometry())
            return true;
    return false;
}

// Update(CHECK_LEVEL_1001) for a body that is oriented by the geometry
// straight afterwards. Once it is closed (no facet made double-sided), that
// orientation decides every facet again whatever way it faced, so the
// repair's own orientation pass, the costliest step on a large terrain, is
// left out. Open, or with shading normals (which the repair orients by),
// the repair orients as Update does.
void RepairClosing(G3Surface* s)
{
    s->RemoveEqualsVertex();
    s->RemoveEqualsNormal();
    s->RemoveNonManifoldEdges();
    bool closed = s->GetClosed();
    if (!closed || HasShadingNormals(s)) {
        s->OrientNormals2(false);
        closed = s->GetClosed();
    }
    s->ReallocByRealSize();
    if (!closed)
        s->ExtendDoubleSidedFacets();
}
} // namespace

void G3LandscapeHandler::SurfaceCover(G3Surface* s)
{
    if (!s)
        return;
    // Twin edges of welded facets are joined first: they are no border.
    s->RemoveNonManifoldEdges();
    const std::vector<G3Edge*> border = terrain::BorderEdges(s);
    if (border.empty())
        return;
    // Skirts hang from a terrain that faces up throughout.
    terrain::FaceUp(s);
    Notify(1);
    AddSkirts(s, border);
    Notify(0);
    s->Update(CHECK_LEVEL_1001);
    MarkEdges(s, m_Classifier);
    Notify(1);
    AddBottoms(s);
    Notify(0);
    // The repair of the open terrain made its facets double-sided; closed,
    // every facet has one outer side, and the repair orients them.
    s->ChangeFacetFlags(G3Facet::kDoubleSided, false);
    RepairClosing(s);
    // By the geometry, not by shading normals: the new facets have none.
    s->OrientNormals2(true);
    // The terrain's own facets (class 0) are shaded smooth among themselves;
    // skirts and bottoms keep flat shading.
    if (m_Classifier)
        G3AverageNormalsByPlanesOf(s, [this](G3Facet* f) { return m_Classifier(f) == 0; });
}
