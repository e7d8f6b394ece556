#pragma once
// The independent polygon library (Clipper) as the oracle of areas and
// point location in tests. Coordinates are scaled to integers by 1e6.

#include <vector>

struct OraclePoint {
    double x, y;
};
using OracleLoop = std::vector<OraclePoint>;

// Area of the even-odd union of the loops.
double EvenOddArea(const std::vector<OracleLoop>& loops);
// 1 inside, 0 outside, -1 on the boundary, by even-odd over the loops.
int EvenOddLocate(const std::vector<OracleLoop>& loops, OraclePoint p);
