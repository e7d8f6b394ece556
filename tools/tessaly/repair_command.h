#pragma once
// tessaly repair: welds, joins, orients and checks a body, and says what
// changed.

class G3Surface;

// Runs the repair sequence of level 1001 on surface and prints a report:
// counts before and after, vertices merged, facets turned over, closed or
// not, and the enclosed volume.
void RepairAndReport(G3Surface* surface);
