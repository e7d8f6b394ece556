#pragma once
// Planar paths handed between the kernel and a host: the kinds and the
// visibility of path segments, the operations of the path union, and the
// two loader interfaces through which paths and visible line pieces flow.

#include "tessaly/contour.h"

// The kind of a path segment: a move to the contour's start point, or a
// straight line to the segment's point.
enum SEGMENT_TYPE { SEGMENT_MOVE = 0, SEGMENT_LINE = 1 };

// Whether a path segment is drawn.
enum SEGMENT_VISIBILITY { SEGMENT_HIDDEN = 0, SEGMENT_VISIBLE = 1 };

// What the path union reports: nothing, the outer contours only (holes
// dropped), or every contour of the outline, outer ones and holes.
enum BOOLEAN_OPERATION { BOOLEAN_NONE = 0, BOOLEAN_OUTER = 1, BOOLEAN_UNION = 2 };

// Receives paths: PathBegin, then per contour PathContourBegin, its
// segments and PathContourEnd, then PathEnd.
class TESSALY_API GPathLoader {
public:
    virtual ~GPathLoader();
    // count: the number of contours, or -1 when not known.
    virtual void PathBegin(int count) = 0;
    virtual void PathSetPreferPlane(int a1, int a2) = 0;
    // start: x, y, z of the contour's start point; count: its segments.
    virtual void PathContourBegin(const double* start, int count, CONTOUR_TYPE type) = 0;
    // count points of x, y, z each: the segment's points after the current
    // one.
    virtual void PathContourSegmentTo(SEGMENT_TYPE type, SEGMENT_VISIBILITY visibility, int count,
                                      const double* points) = 0;
    virtual void PathContourEnd() = 0;
    virtual void PathEnd() = 0;
};

// Receives single line pieces (x, y, z at each end).
class TESSALY_API GLineLoader {
public:
    virtual ~GLineLoader();
    virtual void LineLoad(const double* from, const double* to) = 0;
};
