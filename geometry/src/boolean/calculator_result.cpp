// The result of a boolean: the facets each operation keeps, joined into one
// body back in model units and tidied.
#include <climits>

#include "boolean/boolean_provider.h"
#include "core/tolerances.h"
#include "tessaly/surface.h"

namespace {
// Unite coplanar neighbours across the cut edges (new) only, then facets
// across edges marked 8; and clear the new and mark-8 bits afterwards.
constexpr int kUnionAcrossNewEdges = 4;
constexpr int kUnionFacetsMask = 8;
constexpr long kWorkingEdgeFlags = 12;
} // namespace

void G3BooleanCalculator::RemoveFacetsByClassify(G3Surface* s, int mask)
{
    G3SurfaceBooleanProvider* provider = G3SurfaceBooleanProvider::Of(s);
    if (!provider)
        return;
    s->RemoveFacets([provider, mask](G3Facet* f) {
        const SURF_CLASSIFY c = provider->Facet(f).m_Class;
        return c != SC_UNDECIDED && (c & mask) != 0;
    });
}

void G3BooleanCalculator::CloseBoolean()
{
    CloseBoolean(m_First);
    CloseBoolean(m_Second);
}

G3Surface* G3BooleanCalculator::AssembleResult(bool eventForm)
{
    G3Surface* result = m_First;
    result->AddCopyOf(m_Second);
    // What the removed facets left behind goes first: the weld's hash grid
    // then covers the result only, not the removed parts (a slice's block
    // is four times the body's size).
    result->RemoveUnused();
    // Coincident vertices merged, and edges split at vertices lying on them:
    // a cut that ends on an edge splits the edge in the facet it cuts, not
    // always in the facet beyond.
    if (m_ClipCode != INT_MIN)
        result->RemoveEqualsVertexAndDivideEdges();
    result->ScaleCoo(1.0 / tessaly::kBooleanWorkingScale);
    result->FormPlaneEquation();
    delete m_Second;
    m_Second = nullptr;
    m_First = nullptr;
    result->RemoveUnused();
    result->RemoveNonManifoldEdges();
    if (m_CoplanarUnion)
        result->UnionInPlaneFacets(kUnionAcrossNewEdges);
    result->UnionFacets(kUnionFacetsMask);
    result->ChangeEdgeFlags(kWorkingEdgeFlags, false);
    if (!result->GetClosed())
        result->ClearSolid();
    if (result->GetFacetCount() == 0 && !eventForm) {
        delete result;
        return nullptr;
    }
    return result;
}
