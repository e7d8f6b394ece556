#pragma once
// The union of planar paths: closed contours and triangles, projected onto
// two coordinate axes, each filled by the even-odd rule on its own, merged
// into the outline of the region they cover together. The outline comes
// back as closed contours, outer contours counter-clockwise and holes
// clockwise in the two axes, each edge carrying the user value of the input
// side it lies on.
//
// G3PathBooleanCalculator does the work (a scan line over the segments); it
// is loaded and reports through the G3PathLoader interface. Hosts usually
// derive from G3ContourIntersector and receive the outline through its five
// callbacks.

#include "tessaly/paths.h"

// A sink of paths: BeginLoading, then paths (BeginPath, contours of
// BeginContour, LineTo... and CloseContour, or AddTriangle, EndPath), then
// EndLoading.
class TESSALY_API G3PathLoader {
public:
    virtual ~G3PathLoader();
    // xIndex, yIndex: the coordinates (0, 1 or 2) of the projection.
    virtual void BeginLoading(int xIndex, int yIndex, int mode) = 0;
    virtual void EndLoading() = 0;
    virtual void BeginPath(int pathIndex, int mode) = 0;
    virtual void EndPath() = 0;
    // start: x, y, z.
    virtual void BeginContour(const double* start, int count, int mode) = 0;
    // A straight segment from the current point to end.
    virtual void LineTo(const double* end, int userValue, SEGMENT_TYPE type) = 0;
    // The segment back to the contour's start.
    virtual void CloseContour() = 0;
    // A closed triangle; one user value per side (1-2, 2-3, 3-1).
    virtual void AddTriangle(const double* p1, const double* p2, const double* p3, int user1, int user2, int user3) = 0;
};

class TESSALY_API G3PathBooleanCalculator : public G3PathLoader {
public:
    G3PathBooleanCalculator();
    ~G3PathBooleanCalculator() override;
    G3PathBooleanCalculator(const G3PathBooleanCalculator&) = delete;
    G3PathBooleanCalculator& operator=(const G3PathBooleanCalculator&) = delete;

    // Starts over: no segments, path index and contour count 0. Indices out
    // of 0..2, or equal, leave the calculator empty (nothing is loaded).
    void BeginLoading(int xIndex, int yIndex, int mode) override;
    void EndLoading() override {}
    void BeginPath(int pathIndex, int mode) override;
    void EndPath() override {}
    void BeginContour(const double* start, int count, int mode) override;
    void LineTo(const double* end, int userValue, SEGMENT_TYPE type) override;
    // Closes with type SEGMENT_LINE and user value 0.
    void CloseContour() override;
    // Closes with the given type and user value.
    void CloseContour(SEGMENT_TYPE type, int userValue);
    void AddTriangle(const double* p1, const double* p2, const double* p3, int user1, int user2, int user3) override;

    // The outline of the union into output: with BOOLEAN_UNION every
    // contour, with BOOLEAN_OUTER the outer ones; a single contour is
    // reported whatever the operation, several with BOOLEAN_NONE only as
    // empty brackets. Fewer than two segments, or no outline, report
    // nothing. The loaded segments are released afterwards.
    void DoIntersect(BOOLEAN_OPERATION op, G3PathLoader* output);

    int GetSegmentCount() const;

private:
    struct State;
    State* m_State;
};

// The host's front of the path union: load contours and triangles, then
// DoIntersect; the outline arrives through the five callbacks.
class TESSALY_API G3ContourIntersector {
public:
    G3ContourIntersector() = default;
    virtual ~G3ContourIntersector();
    G3ContourIntersector(const G3ContourIntersector&) = delete;
    G3ContourIntersector& operator=(const G3ContourIntersector&) = delete;

    // Starts a load in the axes xIndex, yIndex (dropping any load before).
    void LoadBegin(int xIndex, int yIndex);
    void ContourBeginLoad(const double* point);
    void ContourLoadSegment(const double* point, SEGMENT_TYPE type, int userValue);
    // Closes the contour with a segment back to its start.
    void ContourEndLoad(SEGMENT_TYPE type, int userValue);
    void TriangleLoad(const double* p1, const double* p2, const double* p3, int user1, int user2, int user3);
    void LoadEnd();
    // Runs the union; the callbacks receive the outline. A new LoadBegin
    // is needed afterwards. Calls without a load do nothing.
    void DoIntersect(BOOLEAN_OPERATION op);

    virtual void UnloadBegin(int mode) = 0;
    virtual void ContourBeginUnload(const double* start) = 0;
    virtual void ContourUnloadSegment(const double* end, SEGMENT_TYPE type, int userValue) = 0;
    virtual void ContourEndUnload() = 0;
    virtual void UnloadEnd() = 0;

private:
    G3PathBooleanCalculator* m_Calculator = nullptr;
};
