#pragma once
// Small bodies built through the public building operations, for tests.

#include <functional>

class G3Surface;

// After every facet added, check(surface) runs (may be empty).
using G3BuildCheck = std::function<void(G3Surface*)>;

// Unit tetrahedron, outward facets.
G3Surface* MakeTetrahedron(const G3BuildCheck& check = {});
// Cube [0, size]^3, outward quads.
G3Surface* MakeCube(double size = 1.0, const G3BuildCheck& check = {});
// A 10 x 10 x 10 cube whose top facet has a 4 x 4 square hole, bridged
// (one facet walks outer loop, bridge, hole, bridge), with a closed pocket
// of depth 5 below the hole: a closed genus-0 body.
G3Surface* MakeCubeWithBridgedHole(const G3BuildCheck& check = {});
// A UV sphere of radius 1 with the given number of rings and segments.
G3Surface* MakeSphere(int rings, int segments);
// The unit cube with two bad facets added apart from it: one whose three
// vertices lie on a line (no area) and one with NaN coordinates.
G3Surface* MakeCubeWithDegenerateFacets();
