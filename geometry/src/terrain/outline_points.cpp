// Helpers on region outlines (closed lists of G3Point).
#include "terrain/outline_points.h"

#include <algorithm>
#include <cmath>

#include "core/tolerances.h"
#include "tessaly/containers.h"
#include "tessaly/roof.h"

using namespace tessaly;

void DeleteOutline(GArrayCollection* outline)
{
    if (!outline)
        return;
    outline->clear(true);
    delete outline;
}

GArrayCollection* CopyOutline(GArrayCollection* outline)
{
    auto* copy = new GArrayCollection;
    for (int k = 0; k < outline->size(); ++k)
        copy->add(new G3Point(OutlinePoint(outline, k)->GetXYZ(), 0));
    return copy;
}

void CloseOutline(GArrayCollection* outline)
{
    if (outline->isEmpty())
        return;
    G3Point* first = OutlinePoint(outline, 0);
    if (outline->size() == 1 || !first->Equals(OutlinePoint(outline, outline->size() - 1)->GetXYZ()))
        outline->add(new G3Point(first->GetXYZ(), 0));
}

void ReverseOutline(GArrayCollection* outline)
{
    for (int i = 0, j = outline->size() - 1; i < j; ++i, --j) {
        GObj* keep = outline->get(i);
        outline->put(i, outline->get(j));
        outline->put(j, keep);
    }
}

int DistinctPointCount(GArrayCollection* outline)
{
    const int n = outline->size();
    int distinct = 0;
    for (int k = 0; k + 1 < n; ++k) {
        bool seen = false;
        for (int j = 0; j < k && !seen; ++j)
            seen = OutlinePoint(outline, j)->Equals(OutlinePoint(outline, k)->GetXYZ());
        if (!seen)
            ++distinct;
    }
    return distinct;
}

double SignedPlanArea(GArrayCollection* outline)
{
    const int n = outline->size();
    if (n < 3)
        return 0;
    // Relative to the first point, so far survey coordinates keep their
    // precision.
    const double* o = OutlinePoint(outline, 0)->GetXYZ();
    double twice = 0;
    for (int k = 0; k + 1 < n; ++k) {
        const double* a = OutlinePoint(outline, k)->GetXYZ();
        const double* b = OutlinePoint(outline, k + 1)->GetXYZ();
        twice += (a[0] - o[0]) * (b[1] - o[1]) - (b[0] - o[0]) * (a[1] - o[1]);
    }
    return twice / 2;
}

double PlanPerimeter(GArrayCollection* outline)
{
    double length = 0;
    for (int k = 0; k + 1 < outline->size(); ++k) {
        const double* a = OutlinePoint(outline, k)->GetXYZ();
        const double* b = OutlinePoint(outline, k + 1)->GetXYZ();
        length += std::hypot(b[0] - a[0], b[1] - a[1]);
    }
    return length;
}

bool OutlineCrossesItself(GArrayCollection* outline)
{
    const int sides = outline->size() - 1;
    for (int i = 0; i < sides; ++i)
        for (int j = i + 2; j < sides; ++j) {
            if (i == 0 && j == sides - 1)
                continue;
            if (G3RoofGenerator::SegmentsCross(
                    OutlinePoint(outline, i)->GetXYZ(), OutlinePoint(outline, i + 1)->GetXYZ(),
                    OutlinePoint(outline, j)->GetXYZ(), OutlinePoint(outline, j + 1)->GetXYZ()))
                return true;
        }
    return false;
}

bool PointInOutline(GArrayCollection* outline, double x, double y)
{
    if (!outline)
        return false;
    bool inside = false;
    for (int k = 0; k + 1 < outline->size(); ++k) {
        const double* a = OutlinePoint(outline, k)->GetXYZ();
        const double* b = OutlinePoint(outline, k + 1)->GetXYZ();
        if (std::fabs(b[0] - a[0]) <= kZeroDivisor)
            continue;
        const bool aLeft = a[0] < x - kZeroDivisor;
        const bool bLeft = b[0] < x - kZeroDivisor;
        if (aLeft == bLeft)
            continue;
        const double ySide = a[1] + (b[1] - a[1]) * (x - a[0]) / (b[0] - a[0]);
        if (y < ySide)
            inside = !inside;
    }
    return inside;
}
