#pragma once
// tessaly roof: the roof over a building outline (G3RoofGenerator).

#include <string>

// RunRoof's status for arguments that do not make a roof command; the
// caller prints the usage.
constexpr int kRoofUsage = 2;

// tessaly roof OUTLINE OUT [--slope DEG | --slopes FILE] [--overhang D]
//                          [--thickness T]
// The first contour of OUTLINE (contour text, z = 0) is the outline; the
// slope is in degrees, one for all edges (30 by default) or, from FILE, one
// number per edge (the k-th for the edge from point k to point k + 1),
// whitespace separated. OUT gets the roof in the format of its extension.
// Prints the facet count, the count of each facet type and the highest
// point. 0 done, 1 an error (the message in error), kRoofUsage.
int RunRoof(int argc, char** argv, std::string& error);
