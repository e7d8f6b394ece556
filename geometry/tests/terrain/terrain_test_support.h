#pragma once
// Terrains and measures for the terrain tests.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "tessaly/terrain.h"

namespace terrain_test {

using HeightFunction = std::function<double(double x, double y)>;
// Which grid cells (column i, row j) the terrain keeps.
using CellFilter = std::function<bool(int i, int j)>;

// A grid terrain of nx by ny cells of the given size from (x0, y0), two
// triangles a cell (facing up), heights from the function.
G3Surface* MakeGrid(int nx, int ny, double cell, const HeightFunction& height, const CellFilter& keep = {},
                    double x0 = 0, double y0 = 0);

// The same grid with quads instead of triangles.
G3Surface* MakeQuadGrid(int nx, int ny, double cell, const HeightFunction& height, double x0 = 0, double y0 = 0);

// A closed outline (G3Points, the first repeated at the end), owned by the
// caller (free with FreeOutline).
GArrayCollection* MakeOutline(const std::vector<std::array<double, 3>>& points);
void FreeOutline(GArrayCollection* outline);

// Stores an outline in the handler through StartContour ... EndContour.
bool StoreRegion(G3LandscapeHandler& handler, const std::vector<std::array<double, 3>>& points);

// Sum of the plan areas of the facets.
double PlanArea(G3Surface* s);

// Number of facets covering the plan point (x, y) strictly inside them.
int Coverage(G3Surface* s, double x, double y);

// Largest |z - plane(x, y)| over the vertices (facet vertices only).
double MaxPlaneDeviation(G3Surface* s, const HeightFunction& plane);

// True when every vertex coordinate is finite.
bool AllFinite(G3Surface* s);

// The open border's plan length (bridges of facets with holes are no
// border).
double BorderLength(G3Surface* s);

// Moves every vertex by (dx, dy) in plan.
void Translate(G3Surface* s, double dx, double dy);

// Sorted list of vertex positions (rounded to the given step) for comparing
// two surfaces.
std::vector<std::array<double, 3>> SortedPositions(G3Surface* s, double dx, double dy);

} // namespace terrain_test
