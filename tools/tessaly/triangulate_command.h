#pragma once
// tessaly triangulate: facets into triangles, with the selection options of
// G3Surface::Triangulate as flags.

#include <string>

#include "tessaly/surface.h"

struct TriangulateOptions {
    int select = 0;       // option bits of G3Surface::Triangulate
    int newEdgeFlags = 0; // the new diagonals: hidden unless asked
};

// Reads the flags that follow IN OUT (argv[first] on); false with a message
// in error for an unknown flag.
bool ParseTriangulateFlags(int argc, char** argv, int first, TriangulateOptions& options, std::string& error);

// Triangulates and prints what changed: facets before and after, facets
// split, facets of 4 or more edges left (their tessellation refused).
void TriangulateAndReport(G3Surface* surface, const TriangulateOptions& options);
