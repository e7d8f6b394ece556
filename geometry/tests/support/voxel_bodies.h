#pragma once
// Bodies made of unit cubes, and measures of bodies that do not use the
// kernel's own algorithms, for tests.

#include <array>
#include <vector>

class G3Surface;

using VoxelCell = std::array<int, 3>;

// The boundary of the union of unit cubes at the given integer cells: one
// outward unit square per face between a filled and an empty cell, vertices
// shared by position. Edge- or corner-adjacent cells give non-manifold
// edges or vertices.
G3Surface* MakeVoxelBody(const std::vector<VoxelCell>& cells);

// Random cells in a box of size n (each filled with probability p), from a
// seeded generator; never empty.
std::vector<VoxelCell> RandomVoxelCells(int n, double p, unsigned seed);

// The volume by the divergence theorem over the facets' loops as they run:
// positive when every facet faces outwards, smaller when some face in.
double DivergenceVolume(G3Surface* surface);

// A cube [0, 1]^3 as 12 outward triangles with 3 vertices of their own
// each (36 vertices), as an STL file holds it.
G3Surface* MakeTriangleSoupCube();
