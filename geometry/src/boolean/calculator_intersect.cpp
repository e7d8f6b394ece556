// Preparing the operands and intersecting their facets.
//
// Facet pairs are pruned three times: by the box common to both operands,
// by a 12 x 12 x 12 grid of the second operand's facets over that box, and
// by the two facets' own widened envelopes. Each pair that meets leaves the
// same pieces of intersection line on both facets.
#include <algorithm>
#include <climits>
#include <cmath>

#include "boolean/boolean_provider.h"
#include "boolean/calculator_detail.h"
#include "core/tolerances.h"
#include "tessaly/facet.h"
#include "tessaly/hashes.h"
#include "tessaly/intervals.h"

namespace {
constexpr int kIntersectionGrid = 12;
// Triangulate the facets that are not flat; new diagonals visible and new.
constexpr int kTriangulateBent = 2;
constexpr int kBentDiagonalFlags = 10;

void AddPieces(G3Facet* f, G3IntervalList* pieces)
{
    G3SurfaceBooleanProvider* p = G3SurfaceBooleanProvider::Of(f->GetParent());
    if (p)
        p->Facet(f).GetPieces()->Merge(pieces);
}

GEnvelope Widened(G3Surface* s)
{
    GEnvelope box;
    s->FormEnvelope(&box);
    box.Extend(tessaly::kEnvelopeWidening);
    return box;
}
} // namespace

namespace boolean_detail {
void ListFacets(G3Surface* s, GArrayCollection* out)
{
    out->clear();
    for (int k = 0; s && k < s->GetFacetCount(); ++k)
        out->add(s->GetFacet(k));
}

void ExportPieces(G3Surface* s, G3IntervalList* list)
{
    G3SurfaceBooleanProvider* p = G3SurfaceBooleanProvider::Of(s);
    for (int k = 0; p && k < s->GetFacetCount(); ++k) {
        GBooleanFacet& data = p->Facet(s->GetFacet(k));
        if (data.m_Pieces)
            list->Merge(data.m_Pieces);
    }
}

double RayLength(const double* p, const GEnvelope& box, double radius)
{
    if (box.IsEmpty())
        return radius;
    double far = 0;
    for (int a = 0; a < 3; ++a) {
        const double d = std::max(std::fabs(p[a] - box.GetMin()[a]), std::fabs(p[a] - box.GetMax()[a]));
        far += d * d;
    }
    return std::max(radius, kRayReach * std::sqrt(far));
}
} // namespace boolean_detail

void G3BooleanCalculator::OpenBoolean()
{
    for (G3Surface* s : {m_First, m_Second})
        s->UnionInPlaneFacets(-1);
    for (G3Surface* s : {m_First, m_Second})
        s->Triangulate(kTriangulateBent, kBentDiagonalFlags);
    AssignNormalsByPlane();
    for (G3Surface* s : {m_First, m_Second}) {
        s->ScaleCoo(tessaly::kBooleanWorkingScale);
        s->FormPlaneEquation();
    }
    m_FirstBox = Widened(m_First);
    m_SecondBox = Widened(m_Second);
    m_ClipCode = m_FirstBox.ClipTestXYZ(&m_SecondBox);
    m_CommonBox = m_FirstBox;
    if (m_ClipCode != INT_MIN)
        m_CommonBox.ClipXYZ(&m_SecondBox, m_ClipCode);
    OpenBoolean(m_First);
    OpenBoolean(m_Second);
    m_UnionBox = m_FirstBox;
    m_UnionBox.Add(&m_SecondBox);
    m_Radius = boolean_detail::kRayReach * m_UnionBox.GetMaxSize();
}

// Shading normals from the facet planes for the operand that has none, when
// the other has some, so the result is shaded throughout.
void G3BooleanCalculator::AssignNormalsByPlane()
{
    const bool first = m_First->GetNormalCount() > 0, second = m_Second->GetNormalCount() > 0;
    if (first && !second)
        m_Second->AssignNormalsByPlane();
    else if (second && !first)
        m_First->AssignNormalsByPlane();
}

void G3BooleanCalculator::Divide()
{
    delete m_Grid;
    m_Grid = new G3Grid(&m_CommonBox, kIntersectionGrid);
    for (int k = 0; k < m_Second->GetFacetCount(); ++k) {
        G3Facet* f = m_Second->GetFacet(k);
        const GEnvelope env = G3SurfaceBooleanProvider::WorkingEnvelope(f);
        if (env.IsIntersectXYZ(&m_CommonBox))
            m_Grid->AddFacet(f, &env);
    }
    for (int k = 0; k < m_First->GetFacetCount(); ++k) {
        G3Facet* f = m_First->GetFacet(k);
        const GEnvelope env = G3SurfaceBooleanProvider::WorkingEnvelope(f);
        if (!env.IsIntersectXYZ(&m_CommonBox))
            continue;
        m_Grid->GetFacetsByFacet(f, &env, m_Candidates);
        IntersectFacetProcessor(f);
    }
    m_Candidates->clear();
    delete m_Grid;
    m_Grid = nullptr;
}

void G3BooleanCalculator::IntersectFacetProcessor(G3Facet* fa)
{
    G3IntervalList l1, l2, l3;
    const GEnvelope envA = G3SurfaceBooleanProvider::WorkingEnvelope(fa);
    for (int k = 0; k < m_Candidates->size(); ++k) {
        auto* fb = static_cast<G3Facet*>(m_Candidates->get(k));
        if (fb == fa)
            continue;
        const GEnvelope envB = G3SurfaceBooleanProvider::WorkingEnvelope(fb);
        if (!envB.IsIntersectXYZ(&envA))
            continue;
        l1.Clear();
        l2.Clear();
        if (fb->IntersectByPlaneConcave(fa->GetPlane(), &l2) == 3) {
            // fb lies in fa's plane: the parts of each one's edges inside
            // the other.
            if (fa->FindFacetsIntersection(fb, &l3)) {
                AddPieces(fa, &l3);
                AddPieces(fb, &l3);
            }
            continue;
        }
        if (fa->IntersectByPlaneConcave(fb->GetPlane(), &l1) == 0)
            continue;
        l1.BuildIntervals();
        l2.SetMaxCoo(&l1);
        l2.BuildIntervals();
        if (l1.GetIntersectionType(&l2) != ILIT_OVERLAP)
            continue;
        G3IntervalList* common = l1.Intersect(&l2);
        if (common && !common->IsEmpty()) {
            AddPieces(fa, common);
            AddPieces(fb, common);
        }
        delete common;
    }
}
