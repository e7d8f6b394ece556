#pragma once
// Exact orders of the interval list. Sorting never uses a tolerance: keys are
// compared exactly and the sorts are stable, so equal keys keep their input
// order. The length tolerance applies only where pieces are emitted.

#include <cmath>

#include "tessaly/intervals.h"

namespace interval_order {

// -1, 0 or +1; a value that is not a number comes after every number, so the
// order stays total even for bad input.
inline int Compare(double a, double b)
{
    if (a < b)
        return -1;
    if (a > b)
        return 1;
    const bool nanA = std::isnan(a), nanB = std::isnan(b);
    return nanA == nanB ? 0 : (nanA ? 1 : -1);
}

// Loose points (G3Point) by their coordinate on the axis passed as context.
inline int ComparePoints(const void* a, const void* b, void* axis)
{
    const int k = *static_cast<const int*>(axis);
    auto* p = static_cast<const G3Point*>(*static_cast<GObj* const*>(a));
    auto* q = static_cast<const G3Point*>(*static_cast<GObj* const*>(b));
    return Compare(p->GetXYZ(k), q->GetXYZ(k));
}

// Oriented intervals by start, then by end, on the axis passed as context.
inline int CompareIntervals(const void* a, const void* b, void* axis)
{
    const int k = *static_cast<const int*>(axis);
    auto* p = static_cast<const G3Interval*>(*static_cast<GObj* const*>(a));
    auto* q = static_cast<const G3Interval*>(*static_cast<GObj* const*>(b));
    const int byStart = Compare(p->GetXYZ1(k), q->GetXYZ1(k));
    return byStart != 0 ? byStart : Compare(p->GetXYZ2(k), q->GetXYZ2(k));
}

} // namespace interval_order
