// "twinview compare": the comparison for scripts and CI jobs, without a
// window.
//
//   twinview compare A B [--diff OUT.png] [--threshold T] [--antialias] [--json]
//
// Raster files are read directly, with no display and no session bus;
// drawings are rendered by the drawing engine, started or attached to as
// the window does. Prints the number and share of differing pixels and
// their box (as one JSON object with --json). The exit status is cmp's:
// 0 the same, 1 different (different sizes included), 2 trouble (a usage
// error, a file that cannot be read, the engine failing), with the message
// on standard error.
#pragma once

#include <QStringList>

#include <cstdio>

// `arguments` follow "compare".
int RunCompareCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);
