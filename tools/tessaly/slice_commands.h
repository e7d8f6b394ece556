#pragma once
// tessaly slice, section, separate, cut and offset: cutting a solid by a
// plane or a sheet, its outline in a plane, its lumps as files of their
// own, an offset body, and blended edges and corners.

#include <string>

// tessaly slice IN --plane A B C D FRONT BACK: FRONT gets the part where
// A x + B y + C z + D < 0, BACK the other.
int RunSlice(int argc, char** argv, std::string& error);
// tessaly section IN --plane A B C D OUT: the outline of the body in the
// plane as OBJ polylines.
int RunSection(int argc, char** argv, std::string& error);
// tessaly separate IN OUTDIR: OUTDIR/lump-1.EXT, lump-2.EXT, ... (EXT the
// input's, or g3s).
int RunSeparate(const std::string& in, const std::string& outDir, std::string& error);
// tessaly cut SOLID SHEET PART1 PART2: the solid cut by an open sheet.
int RunCut(char** paths, std::string& error);
// tessaly offset IN OUT --distance T: every facet plane moved out by T
// (inwards for a negative T).
int RunOffset(int argc, char** argv, std::string& error);
// tessaly blend IN OUT (--edge X1 Y1 Z1 X2 Y2 Z2 | --corner X Y Z) --radius R
// [--radius2 R2] [--segments N]: the edge between the two vertices rounded
// (radius R at the first, R2 at the second; N = 1 a chamfer), or the corner
// at the point rounded into a sphere patch.
int RunBlend(int argc, char** argv, std::string& error);
