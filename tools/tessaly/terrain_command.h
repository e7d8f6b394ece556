#pragma once
// tessaly terrain: a terrain from survey points (G3LandscapeHandler).

#include <string>

// RunTerrain's status for arguments that do not make a terrain command; the
// caller prints the usage.
constexpr int kTerrainUsage = 2;

// tessaly terrain POINTS.xyz OUT [--breaklines FILE] [--smooth MODE --passes N]
//                                [--pad REGION.txt --margin M] [--cover DEPTH]
// POINTS.xyz: one point a line, x y z. The points are triangulated in plan
// (the breaklines' segments forced in as triangle edges: one polyline a
// line of x y z triples), smoothed (MODE 1 to 4, N passes from 0 to 8),
// given flat pads (one outline a line of x y z triples, the band of width M
// around each), and closed into a solid down to the height DEPTH, in this
// order. The work is done relative to the first point, so survey
// coordinates keep their precision. Prints the counts and areas; OUT gets
// the terrain in the format of its extension. 0 done, 1 an error (the
// message in error), kTerrainUsage.
int RunTerrain(int argc, char** argv, std::string& error);
