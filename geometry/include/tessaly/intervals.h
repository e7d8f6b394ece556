#pragma once
// Pieces of a straight line and crossings of planar segments.
//
// - G3Interval: one piece of a line, two owned end points, each with the
//   object that produced it (its "owner", not owned).
// - G3IntervalList: collects crossing points and pieces of one line, pairs
//   the points into pieces and keeps the pieces sorted and united along the
//   line's dominant axis; lists can be united, intersected and clipped.
// - G3LineSegmentIntersector: a sweep over segments projected on two
//   coordinate axes that reports every crossing and touching to a
//   G3IntersectionPointLoader.
//
// The tolerance of this family is 1e-6 (absolute, model units).

#include <cstdint>

#include "tessaly/containers.h"
#include "tessaly/elements.h"

// One piece of a line. Pooled ("G3Interval" heap). The two points are made
// by the interval and deleted with it; the owners are plain references.
//
// An interval placed in a GMemoryAllocator still makes its points on the
// point heap: call its destructor before the arena goes if that matters.
class TESSALY_API G3Interval : public GObj {
    TESSALY_POOLED_CLASS(G3Interval)

public:
    // Both ends at the origin, no owners.
    G3Interval();
    // A null triple gives a point at the origin.
    G3Interval(const double* p1, GObj* owner1, const double* p2, GObj* owner2);
    G3Interval(const double* p1, const double* p2);
    ~G3Interval() override;
    G3Interval(const G3Interval&) = delete;
    G3Interval& operator=(const G3Interval&) = delete;

    double* GetXYZ1() { return m_Point1->GetXYZ(); }
    double* GetXYZ2() { return m_Point2->GetXYZ(); }
    const double* GetXYZ1() const { return m_Point1->GetXYZ(); }
    const double* GetXYZ2() const { return m_Point2->GetXYZ(); }
    // One coordinate; 0 for an axis outside 0..2.
    double GetXYZ1(int axis) const;
    double GetXYZ2(int axis) const;
    G3Point* GetPoint1() const { return m_Point1; }
    G3Point* GetPoint2() const { return m_Point2; }
    GObj* GetOwner1() const { return m_Owner1; }
    GObj* GetOwner2() const { return m_Owner2; }

    // Exchanges point 1 with point 2 and owner 1 with owner 2.
    void Swap();
    // Swaps when point 2 lies below point 1 on axis; an axis outside 0..2
    // changes nothing.
    void Orient(int axis);

    // From another interval: the GObj part, two new points with its
    // coordinates and its owners. Other sources copy only the GObj part.
    void Copy(GObj* source) override;
    G3Interval* Duplicate() override;

private:
    G3Point* m_Point1 = nullptr;
    GObj* m_Owner1 = nullptr;
    G3Point* m_Point2 = nullptr;
    GObj* m_Owner2 = nullptr;
};

// How the ranges of two interval lists meet.
enum INTERVAL_LIST_INTERSECTION_TYPE {
    ILIT_DISJOINT = 0,      // one list is empty, or the ranges do not meet
    ILIT_OVERLAP = 1,       // [minimum, maximum] of both meet within 1e-6
    ILIT_DIFFERENT_AXIS = 2 // the lists compare along different axes
};

// The pieces of one line. A list collects loose points (AddPoint) and pieces
// (AddInterval) in any order; BuildIntervals turns them into its built form:
//
// - every interval is oriented (point 1 not above point 2 on the main axis);
// - the intervals are sorted by start and do not overlap (neighbours may
//   share an end);
// - minimum and maximum are the first start and the last end (0 when empty).
//
// Pieces that went through a union (old pieces, and all pieces of Union) are
// longer than 1e-6; point pairs built into a list that held no pieces are
// kept whatever their length, so a line that only touches a facet still
// leaves its mark.
//
// All comparisons are made along the main axis, chosen on the first build
// from the extent of the data unless the axes were preset. Union, Intersect
// and the clip first build an operand that has loose points or pieces added
// since its last build (or was never built), so a caller never meets an
// unchosen axis there. Sorting uses exact coordinates with input order as
// the tie-break; the 1e-6 tolerance applies only when pieces are emitted.
class TESSALY_API G3IntervalList : public GObj {
public:
    // All three axes -1 (chosen on the first build).
    G3IntervalList();
    // Axes preset. Axis values outside 0..2 count as -1.
    G3IntervalList(int axisA, int axisB, int mainAxis);
    ~G3IntervalList() override;
    G3IntervalList(const G3IntervalList&) = delete;
    G3IntervalList& operator=(const G3IntervalList&) = delete;

    // Appends a loose point (a null triple is ignored). The owner travels in
    // the point's extended-data slot.
    void AddPoint(const double* xyz);
    void AddPoint(const double* xyz, GObj* owner);
    // Appends a piece with its ends in the given order (a null triple is
    // ignored).
    void AddInterval(const double* p1, const double* p2);
    void AddInterval(const double* p1, GObj* owner1, const double* p2, GObj* owner2);

    // Pairs the loose points, unites them with the pieces already held and
    // leaves the list built (see the class comment):
    // 1. without a main axis, the axis of largest extent of all points and
    //    ends is chosen, the other two become axes A and B;
    // 2. points and pieces whose coordinate on the main axis is not a number
    //    are deleted;
    // 3. the old pieces are oriented, sorted and united among themselves;
    // 4. the points are sorted and paired in order (0 with 1, 2 with 3, ...);
    //    with an odd count the last point is dropped;
    // 5. with old pieces, the pairs are united with them; otherwise the
    //    pairs are the list;
    // 6. the loose points are deleted, minimum and maximum set.
    void BuildIntervals();

    GArrayCollection* GetIntervalList() const { return m_Intervals; }
    GArrayCollection* GetPointList() const { return m_Points; }
    int GetIntervalCount() const { return m_Intervals->size(); }
    G3Interval* GetInterval(int i) const { return static_cast<G3Interval*>(m_Intervals->get(i)); }
    // True when there are neither pieces nor loose points.
    bool IsEmpty() const;
    // True after a build until points or pieces are added again.
    bool IsBuilt() const { return m_Built; }
    // Deletes every piece and point and resets the axes to -1; minimum and
    // maximum keep their values.
    void Clear();

    int GetAxisA() const { return m_AxisA; }
    int GetAxisB() const { return m_AxisB; }
    int GetMainAxis() const { return m_MainAxis; }
    double GetMinimum() const { return m_Minimum; }
    double GetMaximum() const { return m_Maximum; }
    // Takes the three axes of other (null is ignored).
    void SetMaxCoo(G3IntervalList* other);

    // ILIT_DIFFERENT_AXIS when the main axes differ (even for empty lists),
    // ILIT_DISJOINT when either list holds no pieces or other is null,
    // ILIT_OVERLAP when the ranges meet within 1e-6. Reads the minimum and
    // maximum of the last build; it builds nothing.
    INTERVAL_LIST_INTERSECTION_TYPE GetIntersectionType(G3IntervalList* other) const;

    // Takes other's axes and appends duplicates of its points and pieces,
    // unsorted; the list must be built again. Null is ignored.
    void Merge(G3IntervalList* other);
    // A new list (the caller's) with this list's axes holding the union.
    // When this list holds no pieces the result is a copy of other (with
    // other's axes); when other holds none (or is null), a copy of this.
    G3IntervalList* Union(G3IntervalList* other);
    // A new list (the caller's) with this list's axes holding the common
    // pieces; empty when either holds no pieces or other is null.
    G3IntervalList* Intersect(G3IntervalList* other);
    // Clips this list in place to the piece c (c itself is not changed). A
    // list without pieces and a null c leave the list as it is.
    void Intersect(G3Interval* c);
    // No difference of lists is offered: always null.
    G3IntervalList* Sub(G3IntervalList* other);

    // From another list: its axes, minimum, maximum, built state and
    // duplicates of its points and pieces, replacing what this list held.
    void Copy(GObj* source) override;
    G3IntervalList* Duplicate() override;

protected:
    // Emits [a, b] into out when b - a on axis exceeds 1e-6.
    static void Emit(GArrayCollection* out, int axis, const double* a, GObj* ownerA, const double* b, GObj* ownerB);
    // The union of two sorted runs of non-overlapping, oriented pieces;
    // the result is such a run again. Pieces of 1e-6 or less are dropped.
    static void Union(GArrayCollection* p, GArrayCollection* q, int axis, GArrayCollection* out);
    // The union of one sorted run of oriented pieces that may overlap.
    static void SelfUnion(GArrayCollection* p, int axis, GArrayCollection* out);
    // The common pieces of two sorted runs of non-overlapping pieces.
    static void Intersect(GArrayCollection* p, GArrayCollection* q, int axis, GArrayCollection* out);
    // The pieces of a sorted run of non-overlapping pieces clipped to the
    // piece from lo to hi (lo not above hi on axis).
    static void Clip(GArrayCollection* p, const double* lo, GObj* loOwner, const double* hi, GObj* hiOwner, int axis,
                     GArrayCollection* out);
    // Builds the list when points or pieces came in since its last build.
    void EnsureBuilt();
    // Minimum and maximum from the first and last piece (0 when none).
    void UpdateRange();
    void DeleteIntervals();
    void DeletePoints();

private:
    int m_AxisA = -1;
    int m_AxisB = -1;
    int m_MainAxis = -1;
    double m_Minimum = 0.0;
    double m_Maximum = 0.0;
    bool m_Built = false;
    GArrayCollection* m_Intervals = nullptr;
    GArrayCollection* m_Points = nullptr;
};

// An integer tag (an edge index, say) carried in a segment's user-data
// pointer, and back. Integers go through intptr_t, never a direct cast.
inline void* G3IndexToUserData(std::intptr_t index)
{
    return reinterpret_cast<void*>(index);
}
inline std::intptr_t G3UserDataToIndex(const void* data)
{
    return reinterpret_cast<std::intptr_t>(data);
}

// Receives the crossings and touchings found by G3LineSegmentIntersector.
class TESSALY_API G3IntersectionPointLoader {
public:
    // point: the meeting point (three coordinates; for a crossing the
    // inserted segment's third coordinate is interpolated). dataFirst and
    // dataSecond: the user data of the two segments. tFirst and tSecond: the
    // parameters of the point along each segment, 0 at the first point and 1
    // at the second point given to AddSegment, so that
    // p + t * (q - p) is the point in the two projection axes.
    virtual void LoadIntersection(const double* point, void* dataFirst, void* dataSecond, double tFirst,
                                  double tSecond) = 0;
    virtual ~G3IntersectionPointLoader();
};

// One segment of the sweep, projected on the cross axis u and the sweep
// axis s. Made by the intersector in its own arena.
class TESSALY_API G3Segment : public GObj {
public:
    // p and q must not be null; index is the order of addition.
    G3Segment(const double* p, const double* q, int u, int s, void* data, int index);

    void* GetUserData() const { return m_UserData; }
    // The end with the smaller s coordinate (the first point when equal).
    const double* GetStart() const { return m_Start; }
    const double* GetEnd() const { return m_End; }
    // True when the start is the second point given (q).
    bool IsReversed() const { return m_Reversed; }
    // Normalised line equation a * x[u] + b * x[s] + c = 0.
    double GetA() const { return m_A; }
    double GetB() const { return m_B; }
    double GetC() const { return m_C; }
    double GetLength() const { return m_Length; }
    // Per-axis minimum and maximum of the ends (u and s only).
    double GetLower(int axis) const { return m_Lower[axis]; }
    double GetUpper(int axis) const { return m_Upper[axis]; }
    // s when the segment is steeper along s than along u, otherwise u.
    int GetDominantAxis() const { return m_DominantAxis; }
    int GetIndex() const { return m_Index; }
    int GetCrossAxis() const { return m_U; }
    int GetSweepAxis() const { return m_S; }
    // The line equation at x (signed distance for a normalised segment).
    double Evaluate(const double* x) const { return m_A * x[m_U] + m_B * x[m_S] + m_C; }

private:
    void* m_UserData = nullptr;
    double m_Start[3] = {0, 0, 0};
    double m_End[3] = {0, 0, 0};
    double m_A = 0, m_B = 0, m_C = 0;
    double m_Length = 0;
    double m_Lower[3] = {0, 0, 0};
    double m_Upper[3] = {0, 0, 0};
    int m_DominantAxis = 0;
    int m_U = 0;
    int m_S = 1;
    int m_Index = 0;
    bool m_Reversed = false;
};

// Finds the crossings and touchings among planar segments by a sweep along
// the axis s. A pair is reported when the segments cross properly (one
// report) or when an end of one lies on the other strictly inside it (one
// report per such end); ends that meet ends are not reported, and collinear
// overlapping segments are reported only through their inner ends.
//
// The intersector is built, filled, run and destroyed; its segments live in
// its own arena.
class TESSALY_API G3LineSegmentIntersector : public GMemoryAllocator {
public:
    // The loader of existence tests: remembers whether anything was loaded.
    class TESSALY_API TestLoader : public G3IntersectionPointLoader {
    public:
        void LoadIntersection(const double* point, void* dataFirst, void* dataSecond, double tFirst,
                              double tSecond) override;
        bool IsFound() const { return m_Found; }
        void Reset() { m_Found = false; }

    private:
        bool m_Found = false;
    };

    // u: the cross axis, s: the sweep axis (0, 1, 2 for x, y, z). With an
    // axis outside 0..2 or u == s the intersector accepts no segment.
    G3LineSegmentIntersector(int u, int s);
    ~G3LineSegmentIntersector() override;
    G3LineSegmentIntersector(const G3LineSegmentIntersector&) = delete;
    G3LineSegmentIntersector& operator=(const G3LineSegmentIntersector&) = delete;

    // Adds the segment p-q with the caller's tag. Refused (false) when a
    // point is null, a coordinate is not finite, or the projected length is
    // 1e-6 or less.
    bool AddSegment(const double* p, const double* q, void* data);
    // Reports every crossing and touching; returns how many were reported.
    // A null loader finds nothing.
    int FindIntersections(G3IntersectionPointLoader* loader);
    // True as soon as one crossing or touching is found.
    bool IntersectionExists();

    int GetCrossAxis() const { return m_U; }
    int GetSweepAxis() const { return m_S; }
    int GetThirdAxis() const { return m_Third; }
    int GetSegmentCount() { return m_Segments.size(); }
    G3Segment* GetSegment(int i) const { return static_cast<G3Segment*>(m_Segments.get(i)); }

private:
    // The sweep; stops after the first insertion that reported something
    // when stopAtFirst is set. Returns the number of reports.
    int Sweep(G3IntersectionPointLoader* loader, bool stopAtFirst);

    GArrayCollection m_Segments;
    GArrayCollection m_Active;
    GArrayCollection m_Batch;
    int m_U = 0;
    int m_S = 1;
    int m_Third = 2;
    bool m_Valid = false;
    double m_Position = 0.0;
    int m_Next = 0;
};
