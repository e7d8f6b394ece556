// Sections of a body by planes: the pieces of its facets in each plane,
// as faces of a new surface or as segments.
#include <utility>
#include <vector>

#include "tessaly/boolean.h"
#include "tessaly/contour.h"
#include "tessaly/intervals.h"
#include "tessaly/surface.h"

namespace {
// The pieces where f meets the plane, appended to out as point pairs: its
// edges when it lies in the plane, else the built crossing intervals.
void CutFacet(G3Facet* f, const double* plane, std::vector<std::pair<const double*, const double*>>& out,
              G3IntervalList& list)
{
    const int kind = f->IntersectByPlaneConcave(plane, &list);
    if (kind == 0)
        return;
    if (kind == 3) {
        for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e))
            out.emplace_back(e->GetVertex1()->GetXYZ(), e->GetVertex2()->GetXYZ());
        return;
    }
    list.BuildIntervals();
    for (int k = list.GetIntervalCount() - 1; k >= 0; --k)
        out.emplace_back(list.GetInterval(k)->GetXYZ1(), list.GetInterval(k)->GetXYZ2());
}
} // namespace

bool G3BooleanCalculator::Divide(G3Surface* s, int count, const double* planes, G3Surface** sections)
{
    if (sections)
        *sections = nullptr;
    if (!s || !planes || !sections || count <= 0)
        return false;
    auto* result = new G3Surface;
    G3IntervalList list;
    for (int p = 0; p < count; ++p) {
        const double* plane = planes + 4 * p;
        G3EdgeList contour(0, 1);
        for (int k = s->GetFacetCount() - 1; k >= 0; --k) {
            G3Facet* f = s->GetFacet(k);
            if (f->GetDoubleSided())
                continue;
            std::vector<std::pair<const double*, const double*>> pieces;
            CutFacet(f, plane, pieces, list);
            for (const auto& piece : pieces)
                contour.AddEdge(result->AddVertex(piece.first), result->AddVertex(piece.second), nullptr, nullptr,
                                nullptr, nullptr, static_cast<int>(G3Edge::kVisible));
        }
        if (contour.size() == 0)
            continue;
        contour.SetPlane(plane);
        GArrayCollection faces;
        contour.RemoveSelfIntersections(&faces, result, false, UNION_EDGE_KEEP, 0);
        result->AddFacets(&faces);
    }
    if (result->GetFacetCount() == 0) {
        delete result;
        return false;
    }
    result->RemoveUnused();
    result->ReallocByRealSize();
    *sections = result;
    return true;
}

bool G3BooleanCalculator::Divide(G3Surface* s, int count, const double* planes, G3IntervalList* out)
{
    if (!s || !planes || !out || count <= 0)
        return false;
    G3IntervalList list;
    for (int p = 0; p < count; ++p)
        for (int k = s->GetFacetCount() - 1; k >= 0; --k) {
            std::vector<std::pair<const double*, const double*>> pieces;
            CutFacet(s->GetFacet(k), planes + 4 * p, pieces, list);
            for (const auto& piece : pieces)
                out->AddInterval(piece.first, piece.second);
        }
    return !out->IsEmpty();
}
