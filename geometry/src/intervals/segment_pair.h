#pragma once
// The test of one pair of sweep segments: n, the segment being inserted,
// against a, a segment the sweep line still crosses.

#include "tessaly/intervals.h"

namespace segment_pair {

// Reports to loader every touching (an end of one segment on the other,
// strictly inside it) and a proper crossing, with n's data first. Returns
// the number of reports. The parameters are those of the caller's segments
// (0 at the first point given to AddSegment).
int Test(const G3Segment& n, const G3Segment& a, G3IntersectionPointLoader* loader);

} // namespace segment_pair
