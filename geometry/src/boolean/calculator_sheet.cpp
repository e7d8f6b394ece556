// Slicing a solid by an open sheet. The piece of the sheet inside the solid
// is the cut face; the solid with the cut curves imprinted is split into
// the regions on either side of them, each closed by a copy of the cut face.
#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <vector>

#include "boolean/calculator_detail.h"
#include "tessaly/surface.h"

using boolean_detail::InwardDirection;
using boolean_detail::OnSegment;

void boolean_detail::InwardDirection(G3Facet* g, G3Edge* e, double* out)
{
    const bool forward = g->GetMoveDirection(e);
    const double* a = (forward ? e->GetVertex1() : e->GetVertex2())->GetXYZ();
    const double* b = (forward ? e->GetVertex2() : e->GetVertex1())->GetXYZ();
    const double t[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double* n = g->GetPlane();
    out[0] = n[1] * t[2] - n[2] * t[1];
    out[1] = n[2] * t[0] - n[0] * t[2];
    out[2] = n[0] * t[1] - n[1] * t[0];
}

namespace {
// Remove every class of the first operand; of the second the outside and
// the coplanar parts: what is left is the sheet inside the solid.
constexpr int kAllClasses = SC_ON | SC_OUT | SC_IN | SC_ON_SAME | SC_ON_OPPOSITE;
constexpr int kSheetOutside = SC_OUT | SC_ON_SAME | SC_ON_OPPOSITE;

// The solid's edge f runs along the cut face's boundary edge e (the two may
// be split at different points).
bool Along(G3Edge* e, G3Edge* f)
{
    const double* a = e->GetVertex1()->GetXYZ();
    const double* b = e->GetVertex2()->GetXYZ();
    return OnSegment(f->GetVertex1()->GetXYZ(), a, b) && OnSegment(f->GetVertex2()->GetXYZ(), a, b);
}

// Marks with flag every facet reachable from the seeds across edges that
// carry neither flag nor stop (breadth first).
void MarkRegion(G3Surface* s, const std::vector<G3Facet*>& seeds, long flag, long stop)
{
    std::deque<G3Facet*> queue;
    for (G3Facet* f : seeds)
        if (!f->TestFlag(flag | stop)) {
            f->SetFlag(flag);
            queue.push_back(f);
        }
    for (std::size_t steps = 0; !queue.empty() && steps <= static_cast<std::size_t>(s->GetFacetCount()); ++steps) {
        G3Facet* f = queue.front();
        queue.pop_front();
        for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e)) {
            if (e->TestFlag(flag | stop))
                continue;
            e->SetFlag(flag);
            for (G3Facet* g : {e->GetFacet1(), e->GetFacet2()})
                if (g && !g->TestFlag(flag | stop)) {
                    g->SetFlag(flag);
                    queue.push_back(g);
                }
        }
    }
}

// The body's facets flagged keep out: a copy without them (flags cleared).
G3Surface* Side(G3Surface* imprinted, long drop)
{
    auto* side = static_cast<G3Surface*>(imprinted->Duplicate());
    side->RemoveFacets([drop](G3Facet* f) { return f->TestFlag(drop); });
    side->ChangeFacetFlags(G3Obj::kMark3 | G3Obj::kMark4, false);
    side->ChangeEdgeFlags(G3Obj::kMark3 | G3Obj::kMark4, false);
    side->RemoveUnused();
    return side;
}

// A part: its side of the solid closed by a copy of the cut face, facing
// outwards.
G3Surface* Close(G3Surface* side, G3Surface* cutFace, bool turnLid)
{
    auto* part = new G3Surface;
    part->AddCopyOf(cutFace);
    if (turnLid)
        part->NegNormals();
    part->AddCopyOf(side);
    part->RemoveEqualsVertex();
    part->RemoveNonManifoldEdges();
    part->OrientNormals2(false);
    return part;
}
} // namespace

bool G3BooleanCalculator::SliceBySurface(G3Surface* solid, G3Surface* sheet, G3Surface** part1, G3Surface** part2)
{
    if (part1)
        *part1 = nullptr;
    if (part2)
        *part2 = nullptr;
    if (!solid || !sheet || solid == sheet || !part1 || !part2 || solid->GetFacetCount() == 0 ||
        sheet->GetFacetCount() == 0)
        return false;
    sheet->FormPlaneEquation();
    if (sheet->GetClosed())
        return false;
    // The cut face: the sheet inside the solid.
    m_First = static_cast<G3Surface*>(solid->Duplicate());
    m_Second = static_cast<G3Surface*>(sheet->Duplicate());
    m_Second->NegNormals();
    std::unique_ptr<G3Surface> cutFace(BinaryOperation(kAllClasses, kSheetOutside, false, 0));
    if (!cutFace || cutFace->GetFacetCount() == 0)
        return false;
    // The cut curves imprinted into the solid; the sheet goes.
    m_First = solid;
    m_Second = sheet;
    m_Second->NegNormals();
    m_CoplanarUnion = false; // the cut curves stay as edges
    std::unique_ptr<G3Surface> imprinted(BinaryOperation(0, kAllClasses, false, 0));
    m_CoplanarUnion = true;
    if (!imprinted)
        return false;
    imprinted->ChangeEdgeFlags(G3Obj::kMark3 | G3Obj::kMark4, false);
    imprinted->ChangeFacetFlags(G3Obj::kMark3 | G3Obj::kMark4, false);

    // Seeds of the two sides at every edge along the cut, told apart by the
    // normal of the cut face there (a bent sheet turns it).
    std::vector<G3Facet*> sideA, sideB;
    for (int i = 0; i < cutFace->GetEdgeCount(); ++i) {
        G3Edge* e = cutFace->GetEdge(i);
        if (e->GetFacet1() && e->GetFacet2())
            continue; // inside the cut face
        const double* reference = (e->GetFacet1() ? e->GetFacet1() : e->GetFacet2())->GetPlane();
        for (int k = 0; k < imprinted->GetEdgeCount(); ++k) {
            G3Edge* f = imprinted->GetEdge(k);
            if (f->GetMark4() || !Along(e, f))
                continue;
            for (G3Facet* g : {f->GetFacet1(), f->GetFacet2()}) {
                if (!g)
                    continue;
                double inward[3];
                InwardDirection(g, f, inward);
                const double along = inward[0] * reference[0] + inward[1] * reference[1] + inward[2] * reference[2];
                (along <= 0 ? sideB : sideA).push_back(g);
            }
            f->SetMark4();
        }
    }
    MarkRegion(imprinted.get(), sideB, G3Obj::kMark3, G3Obj::kMark4);
    MarkRegion(imprinted.get(), sideA, G3Obj::kMark4, G3Obj::kMark3);
    std::unique_ptr<G3Surface> a(Side(imprinted.get(), G3Obj::kMark3));
    std::unique_ptr<G3Surface> b(Side(imprinted.get(), G3Obj::kMark4));
    if (a->GetFacetCount() == 0 || b->GetFacetCount() == 0)
        return false;
    *part1 = Close(a.get(), cutFace.get(), true);
    *part2 = Close(b.get(), cutFace.get(), false);
    return true;
}
