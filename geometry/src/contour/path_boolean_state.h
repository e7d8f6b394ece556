#pragma once
// The working state of the path union: the loaded segments and the lists of
// the scan line that runs over them from the lowest y to the highest.
//
// At every scan line the sloped segments it crosses are sorted by x; the
// per-contour even-odd counts along that order give the covered spans, each
// bounded by an opening (left) and a closing (right) segment. A segment
// that bounds a span keeps a run along it; when it stops bounding one, or
// changes sides, the run becomes an outline edge. Horizontal segments on a
// scan line give the outline pieces where the cover above and below it
// differ. Outline edges run with the covered side on their left, so outer
// contours come out counter-clockwise and holes clockwise.

#include <memory>
#include <vector>

#include "tessaly/path_boolean.h"

class G3PointHash;
class G3Surface;
class G3Vertex;

namespace path_boolean {

enum SegmentKind { kSloped = 1, kHorizontal = 2 };
// The side a segment bounds a span on.
enum Role : signed char { kNoRole = 0, kOpening = 1, kClosing = 2 };

struct Segment {
    SegmentKind kind = kSloped;
    double a[3] = {0, 0, 0}; // the lower end (the left one when horizontal)
    double b[3] = {0, 0, 0};
    double runStart = 0;     // where the run along it began
    double x = 0;            // its x on the scan line last placed at
    double inverseSlope = 0; // dx / dy
    SEGMENT_TYPE type = SEGMENT_LINE;
    int userValue = 0;
    int contour = 0;
    int path = 0;
    Role current = kNoRole;  // on the line being processed
    Role previous = kNoRole; // on the line before
    bool ended = false;      // left the active list
};

struct ScanState {
    int xIndex = -1, yIndex = -1, zIndex = -1;
    int pathIndex = 0;
    int contourCount = 0;
    bool contourOpen = false;
    double start[3] = {0, 0, 0};
    double current[3] = {0, 0, 0};
    std::vector<Segment> segments;
};

// Runs the scan line over the loaded segments and reports the outline into
// output (see G3PathBooleanCalculator::DoIntersect).
void Calculate(ScanState& state, BOOLEAN_OPERATION op, G3PathLoader* output);

} // namespace path_boolean

struct G3PathBooleanCalculator::State : path_boolean::ScanState {};
