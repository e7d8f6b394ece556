// Self-intersections of one body: its facets intersected among themselves
// (each pair once) and split along the cuts, in model units.
#include <climits>
#include <unordered_map>

#include "boolean/boolean_provider.h"
#include "boolean/calculator_detail.h"
#include "core/thread_random.h"
#include "core/tolerances.h"
#include "tessaly/hashes.h"

namespace {
constexpr int kIntersectionGrid = 12;
constexpr int kTriangulateBent = 2;
constexpr int kBentDiagonalFlags = 10;
constexpr int kUnionFacetsMask = 8;
constexpr long kWorkingEdgeFlags = 12;
} // namespace

void G3BooleanCalculator::RemoveSelfIntersection(G3Surface* s)
{
    if (!s || s->GetFacetCount() == 0)
        return;
    thread_random::Seed(boolean_detail::kRandomSeed);
    m_First = s;
    m_Second = nullptr;
    s->UnionInPlaneFacets(-1);
    s->Triangulate(kTriangulateBent, kBentDiagonalFlags);
    s->FormEnvelope(&m_FirstBox);
    m_FirstBox.Extend(tessaly::kEnvelopeWidening);
    m_CommonBox = m_UnionBox = m_FirstBox;
    m_ClipCode = 0;
    OpenBoolean(s);
    m_Radius = boolean_detail::kRayReach * m_FirstBox.GetMaxSize();
    DivideSelf();
    MergeSurfaceAndIntersectionTree(s, m_FirstBox, false, 0);
    CloseBoolean(s);
    s->RemoveNonManifoldEdges();
    s->RemoveEqualsVertexAndDivideEdges();
    s->RemoveNonManifoldEdges();
    s->UnionFacets(kUnionFacetsMask);
    s->RemoveUnused();
    s->ChangeEdgeFlags(kWorkingEdgeFlags, false);
    if (!s->GetClosed())
        s->ClearSolid();
    m_First = nullptr;
}

void G3BooleanCalculator::DivideSelf()
{
    delete m_Grid;
    m_Grid = new G3Grid(&m_CommonBox, kIntersectionGrid);
    std::unordered_map<const G3Facet*, int> position;
    for (int k = 0; k < m_First->GetFacetCount(); ++k) {
        G3Facet* f = m_First->GetFacet(k);
        const GEnvelope env = G3SurfaceBooleanProvider::WorkingEnvelope(f);
        m_Grid->AddFacet(f, &env);
        position[f] = k;
    }
    for (int k = 0; k < m_First->GetFacetCount(); ++k) {
        G3Facet* f = m_First->GetFacet(k);
        const GEnvelope env = G3SurfaceBooleanProvider::WorkingEnvelope(f);
        m_Grid->GetFacetsByFacet(f, &env, m_Candidates);
        // Each pair once: from its facet of the smaller position.
        for (int c = m_Candidates->size() - 1; c >= 0; --c)
            if (position[static_cast<G3Facet*>(m_Candidates->get(c))] <= k)
                m_Candidates->remove(c);
        IntersectFacetProcessor(f);
    }
    m_Candidates->clear();
    delete m_Grid;
    m_Grid = nullptr;
}
