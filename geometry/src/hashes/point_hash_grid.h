#pragma once
// Grid arithmetic shared by the hashes and the grid of facets.

#include <cmath>

#include "tessaly/hashes.h"

namespace point_hash_grid {

// Largest n per dimension count: n^2 and n^3 stay near 2^24 cells.
constexpr int kMaxGrid2 = 4096;
constexpr int kMaxGrid3 = 256;

inline int ClampGrid(int n, int dimensions)
{
    const int most = dimensions == 3 ? kMaxGrid3 : kMaxGrid2;
    return n < 1 ? 1 : (n > most ? most : n);
}

// A negative or NaN tolerance would leave points out of every cell.
inline double SafeTolerance(double tol)
{
    return tol > 0.0 ? tol : 0.0;
}

// The box of the two corners (null is the origin), enlarged on every side
// by the larger of 1% of its largest extent and 2 * tol.
inline GEnvelope EnlargedBox(const double* a, const double* b, double tol)
{
    static const double origin[3] = {0, 0, 0};
    GEnvelope box;
    box.Add(a ? a : origin);
    box.Add(b ? b : origin);
    const double margin = std::fmax(0.01 * box.GetMaxSize(), 2.0 * tol);
    box.AddToMin(-margin, -margin, -margin);
    box.AddToMax(margin, margin, margin);
    return box;
}

// (c - minimum) / cellSize truncated toward zero, clamped to 0 .. n - 1 while
// still a double: outside points go to the border cells, NaN and a cell
// size of zero (all points equal, tolerance 0) to cell 0. The result never
// decreases as c grows, so a point within the tolerance of another lies in
// one of the cells of the other's tolerance box.
inline int CellIndex(double c, double minimum, double cellSize, int n)
{
    if (!(cellSize > 0.0))
        return 0;
    const double f = (c - minimum) / cellSize;
    if (!(f >= 0.0))
        return 0;
    const double last = static_cast<double>(n - 1);
    return f >= last ? n - 1 : static_cast<int>(f);
}

inline bool HasNaN(const double* p, int count)
{
    for (int i = 0; i < count; ++i)
        if (std::isnan(p[i]))
            return true;
    return false;
}

// n^dimensions zeroed chain heads.
inline G3PointHashItem** NewCells(int count)
{
    return new G3PointHashItem*[static_cast<std::size_t>(count)]();
}

} // namespace point_hash_grid
