#pragma once
// Solid booleans of the Tessaly kernel: union, difference and intersection
// of closed polyhedral bodies, point and segment queries against one body,
// and ray picking (see tessaly/raytrace.h).
//
// The method is classification by ray parity on triangulated copies scaled
// by 1000: the facets of the two operands are intersected (pruned by a grid),
// every facet that is cut is split along the cut, the vertices are
// classified inside, outside or on the other body by flooding from outside
// the common box and, where the flood does not reach, by random rays; every
// facet then takes a class from its vertices (or from a ray shot from a
// point inside it), coplanar facets being told apart by their facing. Each
// operation keeps the facets its classes select and joins the two rests.

#include "tessaly/containers.h"
#include "tessaly/elements.h"
#include "tessaly/math.h"
#include "tessaly/raytrace.h"

class G3Facet;
class G3Grid;
class G3IntervalList;
class G3Surface;
class G3SurfaceBooleanProvider;

// Classes of vertices and facets against the other body (bits, so a set of
// classes is a mask).
enum SURF_CLASSIFY {
    SC_UNDECIDED = 0,    // not classified yet, or undecidable
    SC_ON = 1,           // on the other body's surface
    SC_OUT = 2,          // outside the other solid
    SC_IN = 4,           // inside the other solid
    SC_ON_SAME = 16,     // on a facet of the other body facing the same way
    SC_ON_OPPOSITE = 32, // on a facet of the other body facing the other way
};

// The host's event value passed to G3Surface::AddFacetsEx when a facet is
// split, so that its extended data learns where each new facet came from.
using GEVENT = int;

// Receives the points FindIntersections finds.
class TESSALY_API G3BCPointWriter {
public:
    virtual ~G3BCPointWriter();
    virtual void WritePoint(const double* point) = 0;
};

class TESSALY_API G3BooleanCalculator {
public:
    G3BooleanCalculator();
    virtual ~G3BooleanCalculator();
    G3BooleanCalculator(const G3BooleanCalculator&) = delete;
    G3BooleanCalculator& operator=(const G3BooleanCalculator&) = delete;

    // ---- Booleans ----------------------------------------------------------
    // Both operands are consumed: one of them is changed into the result and
    // returned, the other deleted (Add and Common may return either, so
    // always use the returned pointer). Pass a Duplicate() to keep an
    // operand. Null when nothing remains. Operands should be closed solids
    // facing outwards. A null or empty operand: Add returns the other, Sub
    // returns the first, Common returns null (deleting what it was given).
    // The same body as both operands counts as a body and its duplicate.
    G3Surface* Add(G3Surface* a, G3Surface* b);
    G3Surface* Sub(G3Surface* a, G3Surface* b);
    G3Surface* Common(G3Surface* a, G3Surface* b);
    // Sub whose split facets announce their new facets to the host's
    // extended data with the event (G3Surface::AddFacetsEx); returns the
    // first body even when it has no facets left.
    G3Surface* Sub(G3Surface* a, G3Surface* b, GEVENT event);

    // After the intersection phase of the next boolean, every intersection
    // piece of the second operand's facets is merged into list (in the
    // working scale, 1000 times the model's). Null stops it.
    void SetIntersectionList(G3IntervalList* list) { m_IntersectionList = list; }
    // Prepares both bodies as for a boolean and intersects them; the pieces
    // on b's facets are merged into list (working scale; list may be null).
    // Both bodies are left without facets. True.
    bool SurfaceSurfaceIntersect(G3Surface* a, G3Surface* b, G3IntervalList* list);
    // The length scale of the classification rays: 1.5 times the largest
    // extent of the operands' box (in a query, of the queried body's box).
    double GetRadius() const { return m_Radius; }

    // Working data of one body: installed by OpenBoolean, released by
    // CloseBoolean.
    static void OpenBoolean(G3Surface* s);
    static void CloseBoolean(G3Surface* s);

    // ---- Slicing and sections -------------------------------------------------
    // Splits the solid s by the plane a x + b y + c z + d = 0 (normalised
    // first) into the part on the plane's negative side (front) and the
    // part on its positive side (back), each closed by the cut face. With
    // cut, s is consumed (it becomes or goes into the outputs); without,
    // nothing is computed, s is left alone and both outputs are null. True
    // when both parts exist; otherwise the part that exists is in front
    // (when the plane misses s, s itself) and back is null. With markPlane
    // the cut faces are recognised by the plane rather than by rays.
    bool Slice(G3Surface* s, double* plane, bool cut, G3Surface** front, G3Surface** back, bool markPlane);
    // The same with the differences' split facets announced to the host's
    // extended data (event 0), and no plane marking.
    bool SliceED(G3Surface* s, double* plane, bool cut, G3Surface** front, G3Surface** back);
    // Slice by the plane (a, b, c) . x = d (d on the other side of the
    // equation), without plane marking.
    bool CutUpByPlane(G3Surface* s, const double (&plane)[4], bool cut, G3Surface** front, G3Surface** back);
    // The section faces of s with each of count planes (4 values each) as a
    // new surface in *sections (owned by the caller); s is not changed.
    // Holes are not typed: a ring's section is its outer face and its hole
    // face, overlapping. False (and null) when no plane meets s.
    bool Divide(G3Surface* s, int count, const double* planes, G3Surface** sections);
    // The section segments of s with each plane appended to list. True when
    // the list holds anything afterwards.
    bool Divide(G3Surface* s, int count, const double* planes, G3IntervalList* list);
    // Splits s along its own intersections, in place, and tidies it: no two
    // facets cross afterwards (the pieces that end inside the body stay; the
    // solid flag is cleared when the result is not closed).
    void RemoveSelfIntersection(G3Surface* s);
    // Splits the closed solid by the open sheet into the parts on its two
    // sides, each closed by the piece of the sheet inside the solid (a new
    // surface each, owned by the caller, facing outwards). When the sheet
    // passes through the solid, solid and sheet are consumed; otherwise
    // (a closed sheet, or one that misses the solid) nothing is consumed,
    // both parts are null and the result is false. True when both parts
    // exist.
    bool SliceBySurface(G3Surface* solid, G3Surface* sheet, G3Surface** part1, G3Surface** part2);
    // Moves every lump of s (facets connected through shared edges) of 4 or
    // more facets into a new surface (owned by the caller, tidied and
    // oriented: an open lump has its facets made double-sided) appended to
    // lumps; smaller lumps are dropped. s is left without facets. Returns
    // the number of entries of lumps.
    int Separate_Surface(G3Surface* s, GArrayCollection* lumps);

    // ---- Blends --------------------------------------------------------------
    // Rounds the edge of the solid s that runs between the vertices at p1 and
    // p2 (either order): the edge is replaced by an arc of `segments` flat
    // strips, tangent to the edge's two facets, of radius r1 at p1 and r2 at
    // p2 (one segment gives a chamfer). A convex edge loses material, a
    // concave one gains a fillet. Returns a new solid owned by the caller (s
    // is not changed), or null when the edge or either of its facets is
    // missing, the facets are coplanar or fold flat onto each other, a radius
    // or the count is not positive, or the result would have fewer than 4
    // facets. The radii must fit the facets: the arc's tangent lines lie
    // r / tan(angle / 2) from the edge.
    G3Surface* Blend(G3Surface* s, double* const p1, double* const p2, double r1, double r2, int segments);
    // Rounds the corner of s at point where exactly three facet planes meet
    // (the facets within a few radii of the point whose planes pass through
    // it) into a patch of the sphere of the given radius tangent to the three
    // planes, with `segments` strips along each side. Everything of the
    // corner cell (bounded by the three planes and the planes through the
    // sphere's centre across the three edges) outside the sphere is taken
    // away from a convex corner, or filled in a concave one. After the three
    // edges at the corner were blended with the same radius, this closes the
    // corner smoothly; on a sharp corner it rounds the tip alone. Returns a
    // new solid owned by the caller (s is not changed), or null when the
    // corner is not made of three planes that are all convex or all concave
    // there, or the input is invalid.
    G3Surface* BlendCorner(G3Surface* s, double* const point, double radius, int segments);

    // ---- Queries against one body -------------------------------------------
    // Starts queries on s (not scaled or triangulated): working data and a
    // grid of s's facets. The queries are in s's units.
    void OpenFindIntersection(G3Surface* s);
    // SC_IN, SC_OUT or SC_ON for p against the queried body; SC_UNDECIDED
    // when 100 random rays could not decide.
    SURF_CLASSIFY FindVertexClassify(const double* p);
    // The class of p from rays leaving p on the side towards q (SC_IN,
    // SC_OUT or SC_UNDECIDED); for a point on a facet, which side of the
    // body lies towards q. The facet is not used.
    SURF_CLASSIFY FindRayClassify(const double* p, const double* q, G3Facet* facet);
    // Writes every point where the segment p-q meets the queried body (an
    // end at p is reported, one at q is not).
    void FindIntersections(const double* p, const double* q, G3BCPointWriter* w);
    // The facet of the queried body that contains p, or null.
    G3Facet* FindFacet(const double* p);
    void CloseFindIntersection(G3Surface* s);

    // ---- Parity tests ---------------------------------------------------------
    // Counts the facets the ray p -> q crosses: odd SC_IN, even SC_OUT; SC_ON
    // when p lies on a facet; SC_UNDECIDED when the ray touches a facet's
    // boundary or lies in a facet's plane. A double-sided facet counts twice.
    // count (may be null) receives the crossings.
    static SURF_CLASSIFY TestPointAndFacetList(double* p, double* q, GArrayCollection* facets, unsigned* count);
    // The same for a ray that starts on a facet: facets through p are
    // skipped; never SC_ON.
    static SURF_CLASSIFY TestRayAndFacetList(double* p, double* q, GArrayCollection* facets);

    // Random ray ends origin + radius * (a random unit direction), drawn from
    // the calling thread's generator: unrestricted; on the given side
    // (+1 or -1) of a plane; or on the side of the direction towards.
    static void GenerateRandomRay(double* origin, double* end, double radius);
    static void GenerateRandomRay(double* origin, double* end, double* plane, int side, double radius);
    static void GenerateRandomRay(const double* origin, double* end, const double* towards, double radius);

    // ---- Ray picking -------------------------------------------------------
    // Traces the segment p -> q through the facets and reports to r every
    // facet whose inside it crosses (or starts on), and every edge and
    // vertex it passes through within the length tolerance, each edge and
    // vertex once. Facets with an all-zero plane are skipped. The marks used
    // to report elements once are cleared afterwards. Nothing is done when
    // an argument is null.
    static void TestRayAndFacetList(double* p, double* q, GArrayCollection* facets, G3RayTraceResult* r);
    // Reports a hit on the inside of f, with f's plane normal.
    static void FacetFilter(G3RayTraceResult* r, double* point, double* axis1, double* axis2, G3Facet* f);
    // Reports every edge between a and b not reported yet (marked and added
    // to seenEdges), with the normalised sum of its facets' plane normals.
    static void EdgeFilter(G3RayTraceResult* r, double* point, G3Vertex* a, G3Vertex* b, GArrayCollection* seenEdges);
    // Reports v once (marked and added to seenVertices), with the normalised
    // sum of the plane normals around it; the edges at v count as reported.
    static void VertexFilter(G3RayTraceResult* r, double* point, G3Vertex* v, GArrayCollection* seenEdges,
                             GArrayCollection* seenVertices);

protected:
    // One boolean from the prepared operands to the result; mask A and mask
    // B select the facets removed from each.
    G3Surface* BinaryOperation(int maskA, int maskB, bool eventForm, GEVENT event);
    G3Surface* Difference(G3Surface* a, G3Surface* b, bool eventForm, GEVENT event);
    // The start of both slices: false (outputs set) when there is nothing
    // to cut; otherwise the normalised plane in unit.
    bool StartSlice(G3Surface* s, double* plane, bool cut, G3Surface** front, G3Surface** back, double* unit);
    bool FinishSlice(G3Surface** front, G3Surface** back);
    void ChangeSurface();
    void OpenBoolean();
    void AssignNormalsByPlane();
    void Divide();
    void IntersectFacetProcessor(G3Facet* fa);
    void MergeSurfaceAndIntersectionTree(G3Surface* s, const GEnvelope& box, bool eventForm, GEVENT event);
    void ClassifyVertices(G3Surface* s, GArrayCollection* others);
    SURF_CLASSIFY ClassifyVertex(double* p, GArrayCollection* others);
    void SetClassify(G3Vertex* v, SURF_CLASSIFY c);
    void ClassifyFacets(G3Surface* s, GArrayCollection* others);
    SURF_CLASSIFY FindFacetClassify(G3Surface* s, G3Facet* f, GArrayCollection* others);
    SURF_CLASSIFY TestOnOpposite(double* p, double* plane);
    void RemoveFacetsByClassify(G3Surface* s, int mask);
    void CloseBoolean();
    G3Surface* AssembleResult(bool eventForm);
    // The facets of the first operand intersected among themselves, each
    // pair once.
    void DivideSelf();
    // The closed prism between two profiles of count points each (3 values
    // a point): the first point of a profile lies on the blended edge, the
    // others run along the arc. Owned by the caller.
    G3Surface* CreateBlendFacets(int count, const double* start, const double* end);

    G3Surface* m_First = nullptr;
    G3Surface* m_Second = nullptr;
    GEnvelope m_FirstBox;
    GEnvelope m_SecondBox;
    GEnvelope m_CommonBox;
    GEnvelope m_UnionBox;
    GArrayCollection* m_Candidates = nullptr;
    GArrayCollection* m_FirstFacets = nullptr;  // facet lists of the operands
    GArrayCollection* m_SecondFacets = nullptr; // for the classification rays
    int m_ClipCode = 0;
    double m_Radius = 0;
    G3Grid* m_Grid = nullptr;
    double* m_CuttingPlane = nullptr;
    G3IntervalList* m_IntersectionList = nullptr;
    // Coplanar facets of the result are united across the cuts (off only
    // where the cuts must stay, as in the imprint of a sheet slice).
    bool m_CoplanarUnion = true;
    // The working data of the body whose vertices are being classified.
    G3SurfaceBooleanProvider* m_Classifying = nullptr;
};
