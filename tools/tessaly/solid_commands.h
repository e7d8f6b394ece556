#pragma once
// tessaly box, tessaly sphere: simple solids made by G3SolidsBuilder.

#include <string>

class G3Surface;

struct BoxOptions {
    double size = 1.0; // the box [-size, size]^2 x [0, 2 size]
};

struct SphereOptions {
    double radius = 1.0;
    int segments = 32; // meridians; segments / 2 + 1 rows from pole to pole
};

// Read the flags that follow OUT (argv[first] on); false with a message in
// error for an unknown or repeated flag, a missing value, or a value that
// is not a positive number (segments: an integer from 4 to 4096).
bool ParseBoxFlags(int argc, char** argv, int first, BoxOptions& options, std::string& error);
bool ParseSphereFlags(int argc, char** argv, int first, SphereOptions& options, std::string& error);

// The solid as a new surface (owned by the caller), or null with a message
// in error when the builder refuses the size.
G3Surface* MakeBoxSolid(const BoxOptions& options, std::string& error);
G3Surface* MakeSphereSolid(const SphereOptions& options, std::string& error);

// Prints the facet count, whether the solid is closed, and its volume.
void ReportSolid(G3Surface* solid);
