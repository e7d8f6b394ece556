#pragma once
// tessaly boolean, pick and classify: solid booleans, ray picking and
// point classification on bodies read from files.

#include <string>

#include "tessaly/raytrace.h"

// tessaly boolean union|difference|intersection A B OUT. Returns the exit
// status; messages go to error.
int RunBoolean(const std::string& operation, const std::string& a, const std::string& b, const std::string& out,
               std::string& error);
// tessaly pick FILE PX PY PZ QX QY QZ: the segment P-Q traced through the
// body; prints the nearest hit and every facet hit.
int RunPick(const std::string& file, char** coordinates, std::string& error);
// tessaly classify FILE X Y Z: inside, outside or on the body.
int RunClassify(const std::string& file, char** coordinates, std::string& error);
// "facet", "edge", "vertex", "object" or "none", as pick prints a hit.
const char* HitKindName(G3RayTraceMetricResult::HitKind kind);
