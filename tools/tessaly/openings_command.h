#pragma once
// tessaly openings: openings (windows, doors) cut through the thick panels
// of a body with G3HoleMaker.

#include <string>

// RunOpenings's status for arguments that do not make an openings command;
// the caller prints the usage.
constexpr int kOpeningsUsage = 2;

// tessaly openings IN OUT (--outline OUTLINE.txt --direction DX DY DZ)...:
// every opening of every outline file is cut along the direction given with
// that file; OUT gets the result. An outline file holds one opening a line
// as x y z triples (see ReadOutlines3D). Prints the number of openings cut
// and the result's facets, closedness and volume.
// 0 done, 1 an error (the message in error), kOpeningsUsage.
int RunOpenings(int argc, char** argv, std::string& error);
