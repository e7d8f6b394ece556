#pragma once
// Geometry math of the Tessaly kernel: 4x4 matrices and their builders,
// determinants and inversion, plane equations of point loops, projection
// axes and signed areas for planar work, the axis-aligned box GEnvelope and
// the integer rectangle GRect.
//
// Conventions
// - Points and vectors are double[3]; homogeneous points double[4].
// - Matrices are double[4][4], row-major, applied to row vectors on the left:
//   p'[j] = sum over i of p[i] * m[i][j]. The translation is row 3.
// - A plane is double[4] (A, B, C, D) with A*x + B*y + C*z + D = 0 and a unit
//   normal (A, B, C); the all-zero plane means "no plane".
// - Projection axes are a pair of axis indices (0 = x, 1 = y, 2 = z).
// - Tolerances are absolute: 1e-6 for lengths, 1e-12 for (twice) areas.
// - A point loop is passed as an array of pointers to xyz triples plus a
//   count. A null array, a null entry or a count too small for the function
//   makes the input invalid: the function returns false / zero and says so.
// - Null matrix or vector arguments are ignored by functions without a result
//   and give false / zero from functions with one.

#include "tessaly/export.h"
#include "tessaly/object.h"

// Kind of a matrix as reported by the matrix-type queries.
enum GMATRIX_TYPE { GMATRIX_TYPE_GENERAL = 0 };

// Slots of the decomposition written by UnMatrix. The matrix is the product
// (applied left to right to row vectors) of
//   Scale * Shear * RotateX * RotateY * RotateZ * Translate * Perspective,
// where Shear maps (x, y, z) to (x + XY*y + XZ*z, y + YZ*z, z) on rows, i.e.
// row 1 gains XY * row 0 and row 2 gains XZ * row 0 + YZ * row 1, the
// rotations are those of M4RotateX/Y/Z (radians), and Perspective is the
// identity with column 3 replaced by (PERSPX, PERSPY, PERSPZ, PERSPW).
enum UNMATRIX_FIELD {
    U_SCALEX,
    U_SCALEY,
    U_SCALEZ,
    U_SHEARXY,
    U_SHEARXZ,
    U_SHEARYZ,
    U_ROTATEX,
    U_ROTATEY,
    U_ROTATEZ,
    U_TRANSX,
    U_TRANSY,
    U_TRANSZ,
    U_PERSPX,
    U_PERSPY,
    U_PERSPZ,
    U_PERSPW,
    U_FIELD_COUNT
};

// ---------------------------------------------------------------------------
// Matrix builders. M4Translate, M4RotateX/Y/Z and M4Scale post-multiply:
// the new step is applied after the transformation m already holds.

TESSALY_API void M4Identity(double m[4][4]);
TESSALY_API void M4Translate(double m[4][4], double tx, double ty, double tz);
// Counter-clockwise (right-handed) rotations by angle radians.
TESSALY_API void M4RotateX(double m[4][4], double angle);
TESSALY_API void M4RotateY(double m[4][4], double angle);
TESSALY_API void M4RotateZ(double m[4][4], double angle);
TESSALY_API void M4Scale(double m[4][4], double sx, double sy, double sz);
TESSALY_API void M4Scale(double m[4][4], double s);

// Sets m to the rotation matrix of angle about the axis (ax, ay, az) in the
// classic axis-angle layout (row 0 = (t*x*x + c, t*x*y - z*s, t*x*z + y*s)).
// Applied to row vectors this turns by -angle about the axis. Returns false,
// with m the identity, when the axis is shorter than 1e-6.
TESSALY_API bool M4RotationMatrix(double angle, double ax, double ay, double az, double m[4][4]);

// Frame of a plane (A, B, C, D): the rotation maps the local +z direction
// onto the unit normal, and row 3 is the point of the plane nearest to the
// coordinate origin, so local (x, y, 0) lies on the plane and local z is the
// signed height above it. The plane is not modified. Returns false (m the
// identity) for a null plane or a normal shorter than 1e-6.
TESSALY_API bool M4RotationMatrix(const double* plane, double m[4][4]);

// out = p * m for a homogeneous point p; out may be p.
TESSALY_API void V4MulPointByMatrix(const double p[4], const double m[4][4], double out[4]);
// out = a x b (cross product); out may be a or b.
TESSALY_API void V3OrtoVector(const double a[3], const double b[3], double out[3]);

TESSALY_API double Det2x2(double a, double b, double c, double d);
// Determinant of the 3x3 matrix whose columns are (a1, a2, a3), (b1, b2, b3)
// and (c1, c2, c3).
TESSALY_API double Det3x3(double a1, double a2, double a3, double b1, double b2, double b3, double c1, double c2,
                          double c3);
// Cofactor expansion along row 0; 0 for a null matrix.
TESSALY_API double Det4x4(const double m[4][4]);

// out = adjugate(m) / det(m); out may be m. Returns false when |det| is below
// 9.999999999999999e-19, leaving the adjugate in out (and for a null
// argument, leaving everything untouched).
TESSALY_API bool M4Inverse(const double m[4][4], double out[4][4]);

// True when every diagonal element is within 1e-6 of 1 and every other
// element within 1e-6 of 0; false for null.
TESSALY_API bool M4IsIdentity(const double m[4][4]);
// The kernel does not classify matrices: both queries answer the general
// kind, and M4IsTranslation answers false, so callers always take the
// general path, which is right for every matrix.
TESSALY_API GMATRIX_TYPE M4GetModelMatrixType(const double m[4][4]);
TESSALY_API GMATRIX_TYPE M4GetProjMatrixType(const double m[4][4]);
TESSALY_API bool M4IsTranslation(const double m[4][4]);

// View matrix looking from eye toward target: f = unit(eye - target),
// r = unit(up x f), u = unit(f x r) (a zero vector stays zero); rows
// (r.x, u.x, f.x, 0), (r.y, u.y, f.y, 0), (r.z, u.z, f.z, 0),
// (-r.eye, -u.eye, -f.eye, 1). Eye maps to the origin, target onto -z.
TESSALY_API void M4LookAtMatrix(const double eye[3], const double target[3], const double up[3], double m[4][4]);

// Matrix that takes world coordinates into the frame with the given origin
// and axes: a point origin + u*xAxis + v*yAxis + w*zAxis maps to (u, v, w).
// It is the inverse of the frame matrix whose rows are xAxis, yAxis, zAxis
// and origin, so the axes need not be unit or orthogonal. Returns false
// (m the identity) for a null argument or axes spanning a volume below 1e-12.
TESSALY_API bool M4BasisTo(const double origin[3], const double xAxis[3], const double yAxis[3], const double zAxis[3],
                           double m[4][4]);

// Decomposes m into the factors listed at UNMATRIX_FIELD; tran gets
// U_FIELD_COUNT values. A negative determinant is carried by negated scales.
// Returns false (tran untouched) for a null argument, m[3][3] == 0, a
// singular matrix when solving for the perspective, or a scale below 1e-12.
TESSALY_API bool UnMatrix(const double m[4][4], double tran[U_FIELD_COUNT]);

// Plane through p0, p1, p2: n = (p1 - p0) x (p2 - p0); when |n| >= 1e-6 the
// plane is (n/|n|, -(n/|n|).p0) and the result true; otherwise (or for a null
// point) the plane is zero and the result false.
TESSALY_API bool CALC_PLANE_EQUATION(const double* p0, const double* p1, const double* p2, double* plane);

// True when p lies within tol of the segment a-b (3D distance to the nearest
// point of the segment); false for a null point.
TESSALY_API bool PtOnSegment(const double* p, const double* a, const double* b, double tol = 1e-6);

class GEnvelope;
class GIterator;
class G3Vertex;

// ---------------------------------------------------------------------------
// Planar and loop geometry. Axis arguments outside 0..2 make the input
// invalid (zero / false results).
class TESSALY_API G3Math {
public:
    // Projection axes for a plane normal: (1, 2) when |a| is largest,
    // (0, 2) when |b| is, else (0, 1); ties go to x, then y. A null normal
    // gives (0, 1). Null outputs are skipped.
    static void GetMaxCoo(const double* normal, int* i, int* j);

    // Twice the signed area of p0, p1, p2 in the (i, j) projection.
    static double GetArea2(const double* p0, const double* p1, const double* p2, int i, int j);
    // 0 when |GetArea2| < 1e-12, else +1 or -1.
    static int GetAreaSign(const double* p0, const double* p1, const double* p2, int i, int j);
    static bool IsCollinear(const double* p0, const double* p1, const double* p2, int i, int j);

    // (x1 - x2)*(y3 - y2) - (y1 - y2)*(x3 - x2).
    static double CalcSquare(double x1, double y1, double x2, double y2, double x3, double y3);
    // a*d - b*c.
    static double CalcSquare(double a, double b, double c, double d);
    // Area of a closed loop: areas (may be null) receives the signed areas of
    // its projections onto the yz, zx and xy planes (the vector area); the
    // result is the length of that vector, the loop's area when it is flat.
    // 0 (areas zeroed) for fewer than 3 points.
    static double CalcSquare(const double* const* points, int count, double* areas);

    // Plane of a closed loop from the summed cross products around it, unit
    // normal and centroid. False with the zero plane for fewer than 3 points
    // or when the normal sum is shorter than 1e-12.
    static bool FormPlaneEquation(const double* const* points, int count, double* plane);

    // Tolerant plane and projection axes of a loop: the planes of the corner
    // triangles (previous, this, next) are summed, each turned to agree with
    // the running sum, then scaled to a unit normal. When no corner gives a
    // plane, FormMaxPlane's plane of the widest triangle is used; when the
    // points are collinear, a plane containing their line whose normal is
    // nearest the axis of the smallest extent (z, then y, then x on ties);
    // for coincident points, and for a single point, the plane z = const.
    // Result: true for a plane through three non-collinear points; false for
    // collinear, coincident, single or no points (plane and axes still set:
    // (0, 0, 1, 0) and (0, 1) when there is no point at all).
    static bool FormMaxPlaneCoo(const double* const* points, int count, int* i, int* j, double* plane);

    // Plane through the widest triangle of the points: a and b are the
    // points of smallest and largest coordinate on the axis of largest
    // extent, c the point farthest from the line ab. The normal agrees with
    // the loop's vector area when that is not zero. False with the zero plane
    // for fewer than 3 points or when |(b - a) x (c - a)| < 1e-12.
    static bool FormMaxPlane(const double* const* points, int count, double* plane);

    // Counter-clockwise angle in [0, 2*pi) from direction ref to the direction
    // c -> p in the plane of axes a1, a2. 0 for null points or invalid axes.
    static double CalcAngle(const double* c, const double* p, double ref, int a1, int a2);

    // Envelope of the points. False for no points (env is then left empty,
    // in the default state) or a null env.
    static bool FormEnvelope(const double* const* points, int count, GEnvelope* env);

    // Convexity of a closed loop in the (i, j) projection. Edges shorter than
    // 1e-6 are skipped; corners with |turn area| < 1e-12 count as straight
    // unless the loop doubles back there. Returns 1 when all turns have one
    // sign and the loop winds once, 2 when it is not convex, 0 when it is
    // degenerate (fewer than 3 usable edges, or no turn at all).
    static int ConvexTest(const double* const* points, int count, int i, int j);

    // Position of p relative to the triangle a, b, c in the (i, j)
    // projection: 1 strictly inside, 2 on its boundary (area tolerance
    // 1e-12), 0 outside or when the triangle has no area.
    static int PointInTriangle(const double* p, const double* a, const double* b, const double* c, int i, int j);

    // Intersection of the lines p1-p2 and p3-p4 in the (i, j) projection.
    // The point p1 + t1*(p2 - p1) goes to out (all three coordinates, may be
    // null); t1 and t2 are the parameters on the two lines (may be null).
    // Returns 0 when the lines are parallel (|cross of directions| < 1e-12)
    // or the input is invalid (outputs untouched), 1 when both parameters
    // lie in [0, 1] (the segments meet), 2 when the lines meet outside a
    // segment.
    static int FindLineIntersection(const double* p1, const double* p2, const double* p3, const double* p4, int i,
                                    int j, double* out, double* t1 = nullptr, double* t2 = nullptr);

    // Unit normal of the triangle p0, p1, p2 (right-hand rule). False with a
    // zero normal when |(p1 - p0) x (p2 - p0)| < 1e-12 or a point is null.
    static bool CalculateNormal(const double* p0, const double* p1, const double* p2, double* normal);

    // The loop functions over the points (G3Point and its descendants) that
    // an iterator yields. An iterator that yields anything else, or none,
    // gives the result of an empty loop.
    static bool FormPlaneEquation(GIterator* points, double* plane);
    static bool FormMaxPlaneCoo(GIterator* points, int* i, int* j, double* plane);
    static bool FormMaxPlane(GIterator* points, double* plane);
    static double CalcSquare(GIterator* points, double* areas);
    static bool FormEnvelope(GIterator* points, GEnvelope* env);
    static int ConvexTest(GIterator* points, int i, int j);
    static double CalcAngle(G3Vertex* c, G3Vertex* p, double ref, int a1, int a2);
};

// ---------------------------------------------------------------------------
// Axis-aligned box. The default state (every minimum 1, every maximum -1) is
// the empty box; any box with a minimum above its maximum is empty.
class TESSALY_API GEnvelope : public GObj {
public:
    // The empty box (default state).
    GEnvelope();
    GEnvelope(const GEnvelope&) = default;
    GEnvelope& operator=(const GEnvelope&) = default;
    // A copy of other's box; the empty box for null.
    explicit GEnvelope(const GEnvelope* other);
    // Box of the corners p1 and p2 with p3 added; null points are skipped.
    GEnvelope(const double* p1, const double* p2, const double* p3);
    GEnvelope(double minX, double minY, double minZ, double maxX, double maxY, double maxZ);
    ~GEnvelope() override;

    // Zero box at the origin.
    void Init();
    // The single point p (zero box for null).
    void Init(const double* p);
    // Every minimum lo, every maximum hi.
    void Set(double lo, double hi);
    void Set(double minX, double minY, double minZ, double maxX, double maxY, double maxZ);

    // Default (empty) state; null is ignored.
    static void InitDefault(GEnvelope* env);
    // Grow env, which may be empty, by a point or a box (null is ignored).
    static void AddToDefault(GEnvelope* env, const double* p);
    static void AddToDefault(GEnvelope* env, const GEnvelope* box);

    // Grow the box to hold a point or another box. An empty box becomes the
    // point (box); an empty other box or a null argument adds nothing.
    void Add(const double* p);
    void Add(double x, double y, double z);
    void Add(const GEnvelope* box);
    // Move the minimum (maximum) corner by (dx, dy, dz).
    void AddToMin(double dx, double dy, double dz);
    void AddToMax(double dx, double dy, double dz);
    // Grow every side by 1e-6 (by e). An empty box stays as it is.
    void Extend();
    void Extend(double e);

    bool IsEmpty() const;
    // Extents (maximum - minimum; negative on an empty axis).
    double XSize() const { return m_Max[0] - m_Min[0]; }
    double YSize() const { return m_Max[1] - m_Min[1]; }
    double ZSize() const { return m_Max[2] - m_Min[2]; }
    double GetMaxSize() const;
    // Axis of the largest extent (ties to x, then y).
    int GetMaxCoo() const;
    // The two other axes, ascending: projection axes for planar work.
    void GetMaxCoo(int* i, int* j) const;

    // Segment p-q against the box: 0 when it meets the (closed) box, else
    // non-zero outcode bits. A null point gives -1.
    int ClipTest(const double* p, const double* q) const;
    // The same in x and y only.
    int ClipTestXY(const double* p, const double* q) const;
    // This box against other: INT_MIN when the boxes do not meet (or other is
    // null or either is empty), else the outcode bits of the sides of this
    // box that lie outside other (1 min x, 2 max x, 4 min y, 8 max y,
    // 16 min z, 32 max z); 0 when this box lies inside other.
    int ClipTestXYZ(const GEnvelope* other) const;
    // Clips this box to other on the sides named by code (from ClipTestXYZ):
    // the result is the common box. False, box unchanged, for INT_MIN or null.
    bool ClipXYZ(const GEnvelope* other, int code);

    // Closed overlap tests (touching counts); false with an empty box or null.
    bool IsIntersectXY(const GEnvelope* other) const;
    bool IsIntersectXYZ(const GEnvelope* other) const;
    // The boxes share a region of positive extent on all three axes.
    bool IsIntersectXYZ_Overlap(const GEnvelope* other) const;
    // The boxes meet only on their boundary (they touch, no common volume).
    bool IsIntersectXYZ_NoOverlap(const GEnvelope* other) const;

    // Box of the points; false (box left empty) when there are none.
    bool FormEnvelope(const double* const* points, int count);
    // Replaces the box by the box of its image under the affine part of m
    // (column 3 is ignored). An empty box stays empty; null is ignored.
    void Transform(const double m[4][4]);

    const double* GetMin() const { return m_Min; }
    const double* GetMax() const { return m_Max; }
    // Coordinate of the minimum (maximum) corner on axis 0..2; 0 for others.
    double GetMin(int axis) const { return axis >= 0 && axis < 3 ? m_Min[axis] : 0.0; }
    double GetMax(int axis) const { return axis >= 0 && axis < 3 ? m_Max[axis] : 0.0; }
    double GetMinX() const { return m_Min[0]; }
    double GetMinY() const { return m_Min[1]; }
    double GetMinZ() const { return m_Min[2]; }
    double GetMaxX() const { return m_Max[0]; }
    double GetMaxY() const { return m_Max[1]; }
    double GetMaxZ() const { return m_Max[2]; }

    // Copies the box of an envelope source (only the GObj part of others).
    void Copy(GObj* source) override;
    GEnvelope* Duplicate() override;

protected:
    // Outcode of p: 1 x below minimum, 2 x above maximum, 4 / 8 for y,
    // 16 / 32 for z; each axis is tested against its maximum only when the
    // point is not below its minimum.
    int ClipCode(const double* p) const;

private:
    int SegmentTest(const double* p, const double* q, int axes, int mask) const;

    double m_Min[3] = {1.0, 1.0, 1.0};
    double m_Max[3] = {-1.0, -1.0, -1.0};
};

// ---------------------------------------------------------------------------
// Integer rectangle [x1, x2] x [y1, y2] (closed). Operations that compare
// rectangles expect normalized ones (x1 <= x2, y1 <= y2).
class TESSALY_API GRect : public GObj {
public:
    GRect() = default;
    GRect(int x1, int y1, int x2, int y2);
    GRect(const GRect&) = default;
    GRect& operator=(const GRect&) = default;
    ~GRect() override;

    // Extents x2 - x1 and y2 - y1, computed in 64 bits (never overflow).
    long GetWidth() const;
    long GetHeight() const;
    void Set(int x1, int y1, int x2, int y2);
    // Orders the corners so that x1 <= x2 and y1 <= y2.
    void Normalize();
    // Same corners; false for null.
    bool Equals(const GRect* other) const;
    // Grows the rectangle to hold other (null ignored) or the point (x, y).
    void Add(const GRect* other);
    void Add(int x, int y);
    // Makes this the common part of this and other; false (unchanged) when
    // they have no common point or other is null.
    bool Clip(const GRect* other);
    // Classifies other against this: 0 other lies inside this, 1 they
    // partly overlap, 2 other lies outside this (or is null).
    int ClipTest(const GRect* other) const;
    // other lies entirely inside this (boundary included); false for null.
    bool IntersectIn(const GRect* other) const;
    // other has no point in common with this; false for null.
    bool IntersectOut(const GRect* other) const;

    int GetX1() const { return m_X1; }
    int GetY1() const { return m_Y1; }
    int GetX2() const { return m_X2; }
    int GetY2() const { return m_Y2; }

    // Copies the corners of a rectangle source (only the GObj part of others).
    void Copy(GObj* source) override;
    GRect* Duplicate() override;

private:
    int m_X1 = 0;
    int m_Y1 = 0;
    int m_X2 = 0;
    int m_Y2 = 0;
};
