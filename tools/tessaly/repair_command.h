#pragma once
// tessaly repair: welds, joins, orients and checks a body, and says what
// changed.

#include "tessaly/surface.h"

// Runs the repair sequence of the level on surface and prints a report:
// counts before and after, facets turned over, closed or not, and the
// enclosed volume.
void RepairAndReport(G3Surface* surface, CHECK_LEVEL level);
