#pragma once
// Roofs over building outlines. Every outline edge has a slope angle of its
// own; its roof plane contains the edge and rises towards the inside of the
// outline with that slope. G3RoofGenerator computes what these planes cut out
// above the outline level by level: a ring of corners (G3RoofVertex) moves
// up along the intersection lines of neighbouring planes and is sliced at
// every height where the ring changes (an edge vanishes, or the ring touches
// itself and splits). The strips between two levels are merged plane by
// plane (G3RoofPitch) into polygons, and the polygons become facets of a
// target surface. Options add an overhang, a thickness (lower and upper
// faces with bands along eaves and gables) and texture coordinates.
//
// Each roof facet carries (section id, ROOF_FACET_TYPE) through the wall
// data provider (wall_data.h): the section id is one more than the index of
// the outline point at which the facet's outline edge ends, in clockwise
// order. Generations change the provider's current pair of the calling
// thread.
//
// The generator works relative to the first outline point, so an outline far
// from the origin gives the same roof, moved, as the same outline near it.

#include <array>
#include <vector>

#include "tessaly/surface.h"
#include "tessaly/wall_data.h"

// A corner of a roof ring. Rings are circular doubly linked lists handled
// through their head vertex (mark kHeadMark); a lone vertex links to itself.
// The vertex carries the plane of the edge that arrives at it (from its
// previous vertex), the index of that plane's pitch and the index of the
// outline point it descends from.
class TESSALY_API G3RoofVertex : public G3Obj {
    TESSALY_POOLED_CLASS(G3RoofVertex)

public:
    static constexpr int kHeadMark = 4;
    static constexpr int kVisitedMark = 8;
    // The default slope: 45 degrees.
    static constexpr double kDefaultAngle = 0.7853981633974483;

    // Position at the far sentinel, default angle, null plane, no pitch.
    G3RoofVertex();
    // Copies position, angle, plane, pitch index, marks and source index;
    // the copy links to itself and has no upper vertex.
    G3RoofVertex(const G3RoofVertex& source);
    G3RoofVertex& operator=(const G3RoofVertex&) = delete;
    ~G3RoofVertex() override;

    G3Point* GetPosition() { return &m_Position; }
    const double* GetXYZ() const { return m_Position.GetXYZ(); }
    double GetZ() const { return m_Position.GetZ(); }
    void SetXYZ(const double* xyz) { m_Position.Set(xyz); }
    double GetAngle() const { return m_Angle; }
    void SetAngle(double angle) { m_Angle = angle; }
    const double* GetPlane() const { return m_Plane; }
    void SetPlane(const double* plane);
    int GetPitchIndex() const { return m_PitchIndex; }
    void SetPitchIndex(int index) { m_PitchIndex = index; }
    int GetMarks() const { return m_Marks; }
    void SetMarks(int marks) { m_Marks = marks; }
    bool IsHead() const { return (m_Marks & kHeadMark) != 0; }
    bool IsVisited() const { return (m_Marks & kVisitedMark) != 0; }
    G3RoofVertex* GetPrevious() const { return m_Previous; }
    G3RoofVertex* GetNext() const { return m_Next; }
    G3RoofVertex* GetUpper() const { return m_Upper; }
    void SetUpper(G3RoofVertex* upper) { m_Upper = upper; }
    int GetSourceIndex() const { return m_SourceIndex; }
    void SetSourceIndex(int index) { m_SourceIndex = index; }
    // Plane, pitch index, source index and angle taken from another vertex:
    // this vertex then bounds the same roof plane.
    void TakeEdgeOf(const G3RoofVertex* other);

    // ---- Rings -------------------------------------------------------------
    // Appends v at the end of the ring (before the head) and returns the
    // head; into an empty ring (null) v becomes the head. v must be alone.
    static G3RoofVertex* Append(G3RoofVertex* head, G3RoofVertex* v);
    // Takes v out of its ring and deletes it. Returns the ring's head
    // afterwards: a removed head passes the head to its previous vertex;
    // null when the ring is empty.
    static G3RoofVertex* Remove(G3RoofVertex* head, G3RoofVertex* v);
    // Inserts v (alone) before at.
    static void InsertBefore(G3RoofVertex* at, G3RoofVertex* v);
    static int Count(const G3RoofVertex* head);
    // Deletes every vertex of the ring.
    static void DeleteRing(G3RoofVertex* head);
    // A ring of copies of every vertex (uppers null).
    static G3RoofVertex* CopyRing(const G3RoofVertex* head);
    // Turns the ring round: previous and next exchanged on every vertex.
    static void Reverse(G3RoofVertex* head);
    // Twice the signed area of the ring in plan (positive counter-clockwise).
    static double Area2(const G3RoofVertex* head);

private:
    void LinkAlone() { m_Previous = m_Next = this; }

    G3Point m_Position;
    double m_Angle = kDefaultAngle;
    double m_Plane[4] = {0, 0, 0, 0};
    int m_PitchIndex = -1;
    int m_Marks = 0;
    G3RoofVertex* m_Previous = nullptr;
    G3RoofVertex* m_Next = nullptr;
    G3RoofVertex* m_Upper = nullptr;
    int m_SourceIndex = -1;
};

// A roof plane found by a generation: its polygons (rings of roof vertices,
// each one facet to be; owned), its plane and its slope angle.
class TESSALY_API G3RoofPitch : public G3Obj {
public:
    G3RoofPitch(const double* plane, double angle);
    ~G3RoofPitch() override;
    G3RoofPitch(const G3RoofPitch&) = delete;
    G3RoofPitch& operator=(const G3RoofPitch&) = delete;

    GArrayCollection* GetPolygons() { return &m_Polygons; }
    int GetPolygonCount() { return m_Polygons.size(); }
    G3RoofVertex* GetPolygon(int i) const { return static_cast<G3RoofVertex*>(m_Polygons.get(i)); }
    const double* GetPlane() const { return m_Plane; }
    double GetAngle() const { return m_Angle; }
    // Steeper than 90 degrees less the angle tolerance: a gable wall, which
    // gets no roof face.
    bool IsVertical() const;
    // True when plane is this pitch's plane (the four coefficients closer
    // than the plane tolerance).
    bool HasPlane(const double* plane) const;

private:
    GArrayCollection m_Polygons;
    double m_Plane[4] = {0, 0, 0, 0};
    double m_Angle = 0;
};

class TESSALY_API G3RoofGenerator {
public:
    // target receives the facets (not owned); reserved is kept and copied
    // but not used by the generation; thickness 0 gives single faces;
    // overhang 0 none.
    explicit G3RoofGenerator(G3Surface* target = nullptr, double reserved = 0, double thickness = 0,
                             double overhang = 0);
    // Copies the values and the target; the copy starts without rings and
    // pitches of its own.
    G3RoofGenerator(const G3RoofGenerator& other);
    G3RoofGenerator& operator=(const G3RoofGenerator& other);
    ~G3RoofGenerator();

    // The whole generation. points holds G3Point objects, the outline in
    // order; angles holds, at the same positions, pointers to doubles: the
    // slope in radians of the edge arriving at each point (for an outline
    // given counter-clockwise, the angle at point i applies to the edge from
    // point i to point i + 1). Every slope lies in (0, pi/2]; pi/2 makes a
    // gable. False, with the target unchanged, for a missing target, lists
    // of the wrong size or with null entries, a slope out of range, an
    // outline without area or crossing itself, an overhang that cannot be
    // made, or a generation that does not finish. Rings and pitches of an
    // earlier generation are dropped first.
    bool Regen(GArrayCollection* points, GArrayCollection* angles);
    // The same from plain values (G3Point objects cannot live in a vector).
    bool Regen(const std::vector<std::array<double, 3>>& outline, const std::vector<double>& slopes);

    // Texture coordinates for every facet of the target in a frame of its
    // own plane. False without a target or without facets.
    bool GenerateTexCoo();

    G3Surface* GetTarget() const { return m_Target; }
    void SetTarget(G3Surface* target) { m_Target = target; }
    double GetReserved() const { return m_Reserved; }
    double GetThickness() const { return m_Thickness; }
    double GetOverhang() const { return m_Overhang; }
    // The most levels (ring slices, over all branches) a generation may
    // take; 0, the default, allows 16 per outline vertex plus 64. A
    // generation that needs more fails instead of running on.
    void SetLevelLimit(long levels) { m_LevelLimit = levels; }
    long GetLevelLimit() const { return m_LevelLimit; }
    GArrayCollection* GetRings() { return &m_Rings; }
    GArrayCollection* GetPitches() { return &m_Pitches; }
    G3RoofPitch* GetPitch(int i) const { return static_cast<G3RoofPitch*>(m_Pitches.get(i)); }
    int GetPitchCount() { return m_Pitches.size(); }
    // The point the working coordinates are taken from (the first outline
    // point in plan during Regen; the origin before).
    const double* GetOrigin() const { return m_Origin; }

    // ---- Queries over a surface that holds roof facets ---------------------
    // The section id of the object's record (0 without one) and its type.
    static long GetFacetIndex(G3Obj* obj);
    static ROOF_FACET_TYPE GetFacetType(G3Obj* obj);
    // The first facet (without facet flag 2) whose record has the section id
    // and the type (ROOF_FACET_NONE matches any type), when a point inside
    // it can be found (written to point); else null.
    static G3Facet* GetFacetbyPoint(G3Surface* surface, long sectionId, ROOF_FACET_TYPE type, double* point);
    // The first facet (without facet flag 2) whose plane and contours hold
    // the point within the length tolerance; type does not filter.
    static bool GetFacetbyPoint(const double* point, G3Surface* surface, ROOF_FACET_TYPE type, G3Facet*& facet);
    // A facet (without facet flag 2) along the edge between two surface
    // vertices at p1 and p2, a vertical one preferred, of the type (any for
    // ROOF_FACET_NONE).
    static bool GetFacetbyEdge(const double* p1, const double* p2, G3Surface* surface, ROOF_FACET_TYPE type,
                               G3Facet*& facet);
    // Section ids run cyclically from 1 to count: next is the first id after
    // id, previous the first before it, that has a facet (at most count - 1
    // tries each). True when both were found; false for count < 1.
    static bool GetNeighboringFacetID(G3Surface* surface, long count, long id, long& previous, long& next);
    // +1 clockwise, -1 counter-clockwise, 0 undecided: the first turn that is
    // not straight, from the lowest point (smallest y) forward. The list form
    // takes G3Point objects and wraps at both ends.
    static int GetClockWiseDirection(GArrayCollection* points);
    static int GetClockWiseDirection(G3RoofVertex* ring);

    // ---- Geometric building blocks (working coordinates) -------------------
    // The plane of v's arriving edge rising with v's angle to the right of
    // the edge; false when the edge has no length.
    static bool FormEdgePlane(G3RoofVertex* v);
    // The point common to three planes (Cramer's rule); false when they do
    // not meet in one point.
    static bool ThreePlanePoint(const double* p1, const double* p2, const double* p3, double* out);
    // z of the point of the three vertices' planes; the far sentinel when
    // there is none.
    static double Height(const G3RoofVertex* a, const G3RoofVertex* b, const G3RoofVertex* c);
    // The turn at v: +1 right (a convex corner of a clockwise ring), -1 left,
    // 0 straight.
    static int Turn(const G3RoofVertex* v);
    // Segments AB and CD cross or touch.
    static bool SegmentsCross(const double* a, const double* b, const double* c, const double* d);
    // Direction CD turns right from AB, or goes back along it.
    static bool RightOrBack(const double* a, const double* b, const double* c, const double* d);
    // Two edges of the ring that share no vertex cross or touch.
    static bool RingCrossesItself(G3RoofVertex* ring);
    // The ring cut by the horizontal plane at z: each corner where its plane
    // and the next vertex's plane meet that height; with link each vertex's
    // upper link names its corner. Null when nothing is left.
    static G3RoofVertex* Slice(G3RoofVertex* ring, double z, bool link);
    // The next height above z0 at which the ring changes: an edge vanishes
    // or a corner meets another edge; the far value when it never does.
    static double EventHeight(G3RoofVertex* ring, double z0);
    // The far sentinel used for "no height" and for unset positions.
    static double FarValue();

    // ---- The steps of Regen --------------------------------------------------
    // One roof vertex per point (working coordinates), the ring cleaned and
    // made clockwise. Null for bad input or an outline without area.
    G3RoofVertex* PrepareContour(GArrayCollection* points, GArrayCollection* angles);
    G3RoofVertex* PrepareContour(const std::vector<std::array<double, 3>>& outline, const std::vector<double>& slopes);
    // Edge planes and pitches of the outline ring; each pitch's polygons
    // ordered along their common line.
    bool FirstLevelInitialization(G3RoofVertex* ring);
    // A new pitch of v's plane and angle with the polygon [previous(v), v];
    // returns its index.
    int MakeDefaultPitch(G3RoofVertex* v);
    // Adds the polygon [previous(v), v] to the pitch at index.
    void AddToExistPitch(G3RoofVertex* v, int index);
    // Index of the pitch of that plane, -1 when there is none.
    int GetPitchIndex(const double* plane);
    // The ring with every edge moved outwards by distance and lowered by
    // distance * tan(angle) (raised by distance for a zero angle; not lowered
    // for a vertical one); each old vertex's upper link names its new
    // corner. False (out null) when neighbouring edges are parallel.
    static bool Offset(G3RoofVertex* ring, double angle, double distance, G3RoofVertex*& out);
    // The ring's roof planes cut at the overhang below the ring: a copy of
    // the ring pushed out and down along its own planes. Null when a plane
    // cannot be formed or a corner cannot be cut.
    G3RoofVertex* MakeOverhangContour(G3RoofVertex* ring);
    // Generates the roof above the ring into the target; work receives the
    // lower faces (with thickness) for the bands. The generator takes the
    // ring over.
    bool MakeRoof(G3RoofVertex* ring, G3Surface* work);
    // The ring's level and everything above it, into the pitches; when a
    // parent is given (a loop whose upper links name the ring's vertices),
    // the strips between the two come first. The generator takes both rings
    // over. False when the generation needs more levels than its limit or
    // a level breaks into a loop that runs the wrong way round (the ring
    // crossed itself).
    bool MakeRoofEx(G3RoofVertex* parent, G3RoofVertex* ring);
    // The older strip maker: one quad facet per sliced edge of a ring whose
    // vertices have upper links, for edges that are not vertical.
    bool MakeNextRoofSection(G3RoofVertex* ring);
    // The strips between a loop and its upper vertices, into the pitches.
    bool MakeNextRoofSectionEx(G3RoofVertex* loop);
    // v's strip [previous(v), upper(previous(v)), upper(v), v] into the
    // pitch: into the first polygon that takes it, else a polygon of its own.
    bool AddFacetToRoofPitch(G3RoofPitch* pitch, G3RoofVertex* v);
    // v's strip into one polygon: an empty polygon becomes the strip; else
    // the strip goes in where its lower edge lies on a polygon edge of the
    // same height and direction (false when there is none). True when there
    // is nothing to add.
    bool AddFacetToRoofPitchEx(G3RoofVertex*& polygon, G3RoofVertex* v);
    // Merges the polygons of a pitch that share edges or parts of edges, so
    // that each connected region of the plane is one polygon.
    void MergePitchPolygons(G3RoofPitch* pitch);
    // A facet of the target through count points (working coordinates),
    // with the facet and edge flags.
    G3Facet* FacetAdd(long flags, int count, const double (*points)[3], int edgeFlags);
    // A facet of the target through the polygon's vertices raised by
    // heightOffset.
    G3Facet* FacetAddEx(G3RoofVertex* polygon, long flags, int edgeFlags, double heightOffset);
    // Bands along the open border of work (the lower faces): eave bands
    // (type 3, facet flags 2) along the lowest border edges and gable bands
    // (type 4) along border edges of gable pitches. True when any was added.
    bool MakeFasciaFacets(G3Surface* work);
    // Removes equal neighbours and straight vertices (edges parallel within
    // the angle tolerance, and the far end of the longer edge within the
    // length tolerance of the shorter edge's line); returns the head, null
    // when nothing is left. Vertices of reference whose upper link names a
    // removed vertex are relinked to the vertex that takes its place.
    static G3RoofVertex* DeleteUselessVertices(G3RoofVertex* ring, G3RoofVertex* reference = nullptr);
    // Deletes every ring and every pitch.
    void DeleteRoofVertices();

private:
    // A regeneration into a private surface; the target gets its facets
    // only on success.
    bool RegenRing(G3RoofVertex* ring);
    G3RoofVertex* FinishContour(G3RoofVertex* ring);
    void OrderPitchPolygons(G3RoofPitch* pitch);
    void AddRoofFaces(bool lower, double heightOffset);
    void CopyFacetsFrom(G3Surface* work, int firstFacet);
    // One level: the raw ring (taken over) cleaned and split into loops;
    // each loop's strips go to the pitches and its next level to pending.
    void ProcessLevel(G3RoofVertex* raw, std::vector<G3RoofVertex*>& pending, bool& failed);
    void AddBands(G3Edge* edge, double zmin, int& made);

    double m_Reserved = 0;
    double m_Thickness = 0;
    double m_Overhang = 0;
    GArrayCollection m_Rings;
    GArrayCollection m_Pitches;
    G3Surface* m_Target = nullptr;
    double m_Origin[3] = {0, 0, 0};
    long m_LevelLimit = 0;
};
