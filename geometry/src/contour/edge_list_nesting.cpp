#include <vector>

#include "brep/planar_location.h"
#include "core/tolerances.h"
#include "tessaly/contour.h"

using tessaly::kLengthTolerance;

namespace {
void Segments(G3EdgeList* c, std::vector<G3PlanarSegment>& out)
{
    out.clear();
    for (int k = 0; k < c->size(); ++k) {
        G3Edge* e = c->GetEdge(k);
        out.push_back({e->GetVertex1()->GetXYZ(), e->GetVertex2()->GetXYZ(), e->GetVertex1(), e->GetVertex2()});
    }
}
} // namespace

bool G3EdgeList::IsIn(G3EdgeList* other)
{
    if (!other || other->isEmpty() || isEmpty())
        return false;
    int i = GetXCoo(), j = GetYCoo();
    std::vector<G3PlanarSegment> boundary;
    Segments(other, boundary);
    for (int k = 0; k < size(); ++k) {
        G3PlanarLocation where =
            G3LocatePoint(i, j, GetEdge(k)->GetVertex1()->GetXYZ(), boundary, kLengthTolerance, nullptr, nullptr);
        if (where != G3_PLANAR_BOUNDARY)
            return where == G3_PLANAR_INSIDE;
    }
    // Every vertex lies on other's boundary: a point inside this decides.
    std::vector<G3PlanarSegment> own;
    Segments(this, own);
    double p[3] = {0, 0, 0};
    if (!G3InnerPoint(i, j, own, p))
        return false;
    return G3LocatePoint(i, j, p, boundary, kLengthTolerance, nullptr, nullptr) != G3_PLANAR_OUTSIDE;
}

bool G3EdgeList::Equals(G3EdgeList* other)
{
    if (!other || other->size() != size() || isEmpty())
        return other && other->size() == size();
    int n = size();
    G3Edge* first = other->GetEdge(0);
    int start = -1;
    for (int k = 0; k < n && start < 0; ++k)
        if (GetEdge(k)->GetVertex1() == first->GetVertex1() && GetEdge(k)->GetVertex2() == first->GetVertex2())
            start = k;
    if (start < 0)
        return false;
    for (int k = 0; k < n; ++k) {
        G3Edge* mine = GetEdge((start + k) % n);
        G3Edge* theirs = other->GetEdge(k);
        if (mine->GetVertex1() != theirs->GetVertex1() || mine->GetVertex2() != theirs->GetVertex2())
            return false;
    }
    return true;
}

void G3EdgeList::FormContourTypes(GArrayCollection* contours)
{
    if (!contours)
        return;
    int n = contours->size();
    for (int c = 0; c < n; ++c) {
        auto* contour = static_cast<G3EdgeList*>(contours->get(c));
        int count = 0;
        for (int d = 0; d < n; ++d) {
            if (d == c)
                continue;
            auto* other = static_cast<G3EdgeList*>(contours->get(d));
            // Of two equal contours the earlier one lies in the later: a tie
            // broken by list position, the same in every run.
            if (contour->Equals(other))
                count += c < d;
            else
                count += contour->IsIn(other);
        }
        if (count % 2) {
            contour->SetContourType(CONTOUR_INNER);
            contour->SetInCount(count);
        } else {
            contour->SetContourType(CONTOUR_OUTER);
        }
    }
}

void G3EdgeList::RemeshContours(G3Surface* surface, GArrayCollection* contours, bool link, int mode)
{
    if (!contours || contours->isEmpty())
        return;
    FormContourTypes(contours);
    if (link && contours->size() > 1)
        Link(contours, surface, mode);
}
