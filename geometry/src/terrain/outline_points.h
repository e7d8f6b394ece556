#pragma once
// Region outlines: lists of G3Point in plan, closed by repeating the first
// point at the end.

#include "tessaly/elements.h"

class GArrayCollection;

inline G3Point* OutlinePoint(GArrayCollection* outline, int k)
{
    return static_cast<G3Point*>(outline->get(k));
}

// Deletes the points and the list (null is ignored).
void DeleteOutline(GArrayCollection* outline);
// A new list with new copies of the points (user value 0).
GArrayCollection* CopyOutline(GArrayCollection* outline);
// Appends a copy of the first point when the last one differs from it.
void CloseOutline(GArrayCollection* outline);
// Reverses the point order in place.
void ReverseOutline(GArrayCollection* outline);
// Number of different points, the closing repeat not counted.
int DistinctPointCount(GArrayCollection* outline);
// Shoelace area in plan: positive counter-clockwise, negative clockwise.
double SignedPlanArea(GArrayCollection* outline);
// Sum of the plan lengths of the sides.
double PlanPerimeter(GArrayCollection* outline);
// Two sides that are not neighbours cross or touch (the first and the last
// side share the closing point and are not tested).
bool OutlineCrossesItself(GArrayCollection* outline);
// Crossing parity of a vertical ray upwards from (x, y): a side counts
// when its x extent exceeds the zero divisor, it straddles x and the point
// lies below it. A side of no x extent never counts.
bool PointInOutline(GArrayCollection* outline, double x, double y);
