#pragma once
// tessaly pick FILE --ray PX PY PZ DX DY DZ: the ray from P along D picked
// through the facet octree.

#include <string>

// coordinates: the six numbers after --ray. Prints the nearest hit (its
// kind, distance, point, normal and, for a facet, the facet's position in
// the file) and how many facets the octree offered. Returns the exit
// status; messages go to error.
int RunPickRay(const std::string& file, char** coordinates, std::string& error);
