#pragma once
// How many cells per axis a point hash over a body's vertices gets: about
// one vertex a cell, and at least the classic 24 (the hash caps the count
// itself). A fixed small grid makes every lookup scan long chains once a
// body has many vertices.
#include <cmath>

inline int G3PointHashSizeFor(int points)
{
    const int byCount = static_cast<int>(std::cbrt(static_cast<double>(points)));
    return byCount > 24 ? byCount : 24;
}
