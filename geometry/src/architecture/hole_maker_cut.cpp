// Cutting the openings: filing each opening under its panel, rebuilding
// every facet that receives holes once (with the roof or wall data of the
// facet it replaces), adding the reveals and repairing the surface.
#include <vector>

#include "tessaly/facet.h"
#include "tessaly/hole_maker.h"
#include "tessaly/surface.h"
#include "tessaly/wall_data.h"

namespace {
// Edge flags of every edge the hole maker makes: visible.
constexpr int kVisibleEdges = 1;

// A new vertex of the surface at each point.
std::vector<G3Vertex*> NewVertices(G3Surface* surface, const std::vector<const double*>& points)
{
    std::vector<G3Vertex*> vertices;
    for (const double* p : points)
        vertices.push_back(surface->AddVertex(p, 0));
    return vertices;
}

// A facet of new vertices through the points, flags 0.
G3Facet* AddFacetAt(G3Surface* surface, const std::vector<const double*>& points)
{
    std::vector<G3Vertex*> vertices = NewVertices(surface, points);
    G3Facet* facet =
        surface->AddFacet(static_cast<int>(vertices.size()), vertices.data(), kVisibleEdges, nullptr, nullptr);
    if (facet)
        facet->SetFlags(0);
    return facet;
}

G3Point* PointAt(GArrayCollection* points, int k)
{
    return static_cast<G3Point*>(points->get(k % points->size()));
}

void DeletePoints(GArrayCollection* points)
{
    points->clear(true);
    delete points;
}

// The panels' facets, each once, in the order the panels name them.
std::vector<G3Facet*> FacetsToRebuild(GArrayCollection* panels)
{
    std::vector<G3Facet*> facets;
    for (int k = 0; k < panels->size(); ++k) {
        auto* panel = static_cast<G3HolePanel*>(panels->get(k));
        for (G3Facet* f : {panel->GetFacetA(), panel->GetFacetB()}) {
            bool seen = false;
            for (G3Facet* g : facets)
                seen = seen || g == f;
            if (!seen)
                facets.push_back(f);
        }
    }
    return facets;
}
} // namespace

void G3HoleMaker::FillHoleDataList()
{
    for (int k = 0; k < m_Outlines.size(); ++k) {
        G3Facet *a = nullptr, *b = nullptr;
        GArrayCollection *onA = nullptr, *onB = nullptr;
        if (!SurfaceGetFacetForHole(static_cast<GArrayCollection*>(m_Outlines.get(k)),
                                    static_cast<G3Point*>(m_Directions.get(k)), a, b, &onA, &onB))
            continue;
        if (OverlapsFiledOpening(a, onA) || OverlapsFiledOpening(b, onB)) {
            DeletePoints(onA);
            DeletePoints(onB);
            continue;
        }
        G3HolePanel* panel = nullptr;
        for (int n = 0; n < m_Panels.size() && !panel; ++n)
            if (GetPanel(n)->GetFacetA() == a && GetPanel(n)->GetFacetB() == b)
                panel = GetPanel(n);
        if (!panel) {
            panel = new G3HolePanel(a, b);
            m_Panels.add(panel);
        }
        panel->AddOutlines(onA, onB);
    }
}

int G3HoleMaker::AddFacet(G3Facet* facet)
{
    std::vector<std::vector<G3Vertex*>> loops;
    if (!FacetLoops(facet, loops))
        return 0;
    int added = 0;
    for (const std::vector<G3Vertex*>& loop : loops) {
        std::vector<const double*> points;
        for (G3Vertex* v : loop)
            points.push_back(v->GetXYZ());
        added += AddFacetAt(m_Surface, points) ? 1 : 0;
    }
    return added;
}

bool G3HoleMaker::AddFacet(GArrayCollection* points)
{
    std::vector<const double*> at;
    for (int k = 0; k < points->size(); ++k)
        at.push_back(PointAt(points, k)->GetXYZ());
    return AddFacetAt(m_Surface, at) != nullptr;
}

void G3HoleMaker::AddFacets(GArrayCollection* onA, GArrayCollection* onB)
{
    const int n = onA->size();
    if (n != onB->size())
        return;
    for (int i = 0; i < n; ++i)
        AddFacetAt(m_Surface,
                   {PointAt(onA, i)->GetXYZ(), PointAt(onA, i + 1)->GetXYZ(), PointAt(onB, i + 1)->GetXYZ(),
                    PointAt(onB, i)->GetXYZ()});
}

void G3HoleMaker::RebuildFacet(G3Facet* facet)
{
    G3WallDataProvider* data = G3WallDataProvider::Get();
    m_Surface->BeginComplexFacet();
    data->SetCurrent(static_cast<int>(G3WallDataProvider::GetFacetIndex(facet)),
                     G3WallDataProvider::GetFacetType(facet));
    const bool outline = AddFacet(facet) > 0;
    // Without its own loops the holes would become facets of their own.
    for (int k = 0; k < m_Panels.size() && outline; ++k) {
        G3HolePanel* panel = GetPanel(k);
        for (int j = 0; j < panel->GetOutlineCount(); ++j) {
            if (panel->GetFacetA() == facet)
                AddFacet(panel->GetOutlineOnA(j));
            if (panel->GetFacetB() == facet)
                AddFacet(panel->GetOutlineOnB(j));
        }
    }
    m_Surface->EndComplexFacet();
    data->SetCurrent(0, ROOF_FACET_NONE);
    if (outline)
        m_Surface->RemoveFacet(facet);
}

void G3HoleMaker::AddReveals()
{
    for (int k = 0; k < m_Panels.size(); ++k) {
        G3HolePanel* panel = GetPanel(k);
        for (int j = 0; j < panel->GetOutlineCount(); ++j)
            AddFacets(panel->GetOutlineOnA(j), panel->GetOutlineOnB(j));
    }
}

void G3HoleMaker::MakeHoles()
{
    // Records of an earlier call name facets that call replaced.
    DeletePanels();
    if (!m_Surface)
        return;
    FillHoleDataList();
    if (m_Panels.isEmpty())
        return;
    for (G3Facet* facet : FacetsToRebuild(&m_Panels))
        RebuildFacet(facet);
    AddReveals();
    m_Surface->RemoveEqualsVertexAndDivideEdges();
    m_Surface->RemoveTrivialFacets();
    m_Surface->Update(CHECK_LEVEL_1002);
    // The facets the records name are gone.
    for (int k = 0; k < m_Panels.size(); ++k)
        GetPanel(k)->ForgetFacets();
}
