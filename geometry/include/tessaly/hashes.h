#pragma once
// Spatial hashes of the Tessaly kernel: uniform grids that find coincident
// points, texture coordinates and facet planes without comparing every
// pair, and the grid of facets that finds the facets near a box or a
// segment.
//
// A point hash covers a box with n x n (G2PointHash, on x and y) or n x n x n
// (G3PointHash) cells. Each inserted point is entered into every cell that
// its tolerance box [p - tol, p + tol] touches, so a query looks at the one
// cell of the query point only. Cell indices are clamped to the grid in
// floating point before they become integers: a point outside the box
// belongs to the nearest border cell, which keeps every pair of points
// within the tolerance in a common cell, and a coordinate that is not a
// number falls into cell 0 instead of indexing memory at random.
//
// The items of the point hashes live in an arena owned by the hash; the
// hashed objects are not owned.

#include "tessaly/containers.h"
#include "tessaly/elements.h"
#include "tessaly/math.h"

// One entry of a cell's chain. Made in the hash's arena.
class TESSALY_API G3PointHashItem : public GObj {
public:
    G3PointHashItem(G3Obj* object, G3PointHashItem* next) : m_Next(next), m_Object(object) {}

    G3PointHashItem* GetNext() const { return m_Next; }
    G3Obj* GetObject() const { return m_Object; }

private:
    G3PointHashItem* m_Next = nullptr;
    G3Obj* m_Object = nullptr;
};

// Points hashed on x and y. The equality test of Add and Exists is the
// three-dimensional distance of G3Point::Equals (strictly below the
// tolerance).
class TESSALY_API G2PointHash : public GObj {
public:
    // n cells per axis (n below 1 counts as 1; n is capped at 4096 in two
    // and 256 in three dimensions, so the cell table stays addressable).
    // min and max are two corners of the box in any order (a null corner is
    // the origin). The box is enlarged on every side by the larger of 1% of
    // its largest extent and 2 * tol. A negative or NaN tol counts as 0.
    G2PointHash(int n, const double* min, const double* max, double tol);
    ~G2PointHash() override;
    G2PointHash(const G2PointHash&) = delete;
    G2PointHash& operator=(const G2PointHash&) = delete;

    // Index of the cell of a point: ix + iy * n (+ iz * n * n in three
    // dimensions); -1 for null.
    virtual int GetHashCode(const double* xyz);
    virtual int GetHashCode(G3Point* p);
    // Enters p into every cell its tolerance box touches; a point with a
    // coordinate that is not a number (or null) is not entered.
    virtual void AddWithoutTest(G3Point* p);

    // The first point of p's cell equal to p within the tolerance; when
    // there is none, p is entered (AddWithoutTest) and the result is null.
    G3Point* Add(G3Point* p);
    // The first point of the cell of xyz equal to it within the tolerance,
    // or null (also for null and for coordinates that are not numbers).
    G3Point* Exists(const double* xyz);
    G3Point* Exists(G3Point* p);
    // Empties out (when not null), appends every such point, and answers
    // whether there was one.
    bool Exists(const double* xyz, GArrayCollection* out);
    bool Exists(G3Point* p, GArrayCollection* out);

    // The chain of a cell; null for an empty cell or indices off the grid.
    G3PointHashItem* GetCell(int i, int j) const;
    // The box of cell (i, j) with z from 0 to 0 (null is ignored).
    void GetCellEnvelope(GEnvelope* box, int i, int j) const;
    // Truncation toward zero; NaN gives 0 and values beyond the int range
    // give the nearest int.
    static int Round(double value);

    int GetQGrid() const { return m_GridSize; }
    int GetCellCount() const { return m_CellCount; }
    double GetTolerance() const { return m_Tolerance; }
    const GEnvelope& GetEnvelope() const { return m_Envelope; }
    // Extent of one cell on axis 0..2 (0 for other axes).
    double GetCellSize(int axis) const { return axis >= 0 && axis < 3 ? m_CellSize[axis] : 0.0; }
    // The cell index of coordinate c on axis, clamped to 0 .. n - 1.
    int GetCellIndex(double c, int axis) const;

protected:
    // For derived hashes that initialise themselves.
    G2PointHash() = default;
    // dimensions 2 or 3: n^2 or n^3 cells and the cell sizes of that kind.
    void Init(int n, const double* min, const double* max, double tol, int dimensions);
    // Enters p into the cells of the index block [lo, hi] of its tolerance
    // box on the first `dimensions` axes.
    void AddToCells(G3Point* p, int dimensions);
    G3PointHashItem* GetChain(const double* xyz);

    GMemoryAllocator* m_Arena = nullptr;
    int m_CellCount = 0;
    G3PointHashItem** m_Cells = nullptr;
    int m_GridSize = 0;
    GEnvelope m_Envelope;
    double m_CellSize[3] = {0, 0, 0};
    double m_Tolerance = 0.0;
};

// Points hashed on x, y and z.
class TESSALY_API G3PointHash : public G2PointHash {
public:
    G3PointHash(int n, const double* min, const double* max, double tol);

    int GetHashCode(const double* xyz) override;
    int GetHashCode(G3Point* p) override;
    void AddWithoutTest(G3Point* p) override;

    G3PointHashItem* GetCell(int i, int j, int k) const;
    // Empties out and appends every point of the cells that the box's index
    // ranges cover (clamped to the grid), each once; the points are
    // candidates, not filtered against the box. Uses the G3Obj mark to skip
    // duplicates and clears it on every collected point, so the points must
    // not carry the mark on entry. Returns the number collected; 0 for a
    // null or empty box, a box with a coordinate that is not a number, or a
    // null out.
    int GetItems(const GEnvelope* box, GArrayCollection* out);
};

// Texture coordinates (u, v) hashed like G2PointHash, with the equality of
// G3TexCoo::Equals (distance strictly below the tolerance).
class TESSALY_API G3TexCooHash : public GObj {
public:
    // min and max are (u, v) pairs; the rest as for G2PointHash.
    G3TexCooHash(int n, const double* min, const double* max, double tol);
    ~G3TexCooHash() override;
    G3TexCooHash(const G3TexCooHash&) = delete;
    G3TexCooHash& operator=(const G3TexCooHash&) = delete;

    // iu + iv * n; -1 for null.
    virtual int GetHashCode(G3TexCoo* t);
    int GetHashCode(const double* uv) const;

    // The first equal texture coordinate of t's cell, or null after t was
    // entered into every cell its tolerance box touches.
    G3TexCoo* Add(G3TexCoo* t);
    void AddWithoutTest(G3TexCoo* t);
    G3TexCoo* Exists(const double* uv);
    G3TexCoo* Exists(G3TexCoo* t);

    G3PointHashItem* GetCell(int i, int j) const;
    int GetQGrid() const { return m_GridSize; }
    double GetTolerance() const { return m_Tolerance; }
    double GetCellSize(int axis) const { return axis >= 0 && axis < 2 ? m_CellSize[axis] : 0.0; }
    int GetCellIndex(double c, int axis) const;
    const GEnvelope& GetEnvelope() const { return m_Envelope; }

private:
    GMemoryAllocator* m_Arena = nullptr;
    int m_CellCount = 0;
    G3PointHashItem** m_Cells = nullptr;
    int m_GridSize = 0;
    // u on x, v on y, z from 0 to 0.
    GEnvelope m_Envelope;
    double m_CellSize[2] = {0, 0};
    double m_Tolerance = 0.0;
};

class G3Facet;

// ---------------------------------------------------------------------------
// Facets grouped by equal planes.
//
// G3FacetPlaneHash hashes a facet by the absolute values of its plane
// normal (A, B, C): n cells per component, each 1.000003 / n wide, so a
// unit component still falls into cell n - 1. A facet is entered into every
// cell that the box [|A| - tol, |A| + tol] x [|B| - tol, |B| + tol] x
// [|C| - tol, |C| + tol] touches (tol the length tolerance), so two facets
// whose normal components differ by less than the tolerance share a cell.
// Each cell index is clamped to 0 .. n - 1: a normal that is not of unit
// length stays in the table, and a component that is not a number counts as
// cell 0. Opposite normals (and the mirrored normals of every octant) share
// cells but never a group.

// One entry of a cell's chain. The first entry made for a facet owns a
// group, the facets whose planes equal that facet's plane; the entries made
// for the same facet in further cells are copies that refer to the first
// entry and share its group.
class TESSALY_API G3FacetPlaneHashItem : public GObj {
public:
    // A first entry: a new group holding f.
    G3FacetPlaneHashItem(G3Facet* f, G3FacetPlaneHashItem* next);
    // A copy of first, sharing its group (a copy given as first stands for
    // its first entry).
    G3FacetPlaneHashItem(G3FacetPlaneHashItem* first, G3FacetPlaneHashItem* next);
    // Deletes the group when this entry owns it (not the facets).
    ~G3FacetPlaneHashItem() override;
    G3FacetPlaneHashItem(const G3FacetPlaneHashItem&) = delete;
    G3FacetPlaneHashItem& operator=(const G3FacetPlaneHashItem&) = delete;

    // Whether f's plane equals the plane of the group's first facet by
    // G3Facet::PlaneEquals (|n . n' - 1| and |d - d'| below the length
    // tolerance, the first facet's plane against f's). False for null.
    bool PlaneEquals(G3Facet* f) const;

    G3FacetPlaneHashItem* GetNext() const { return m_Next; }
    // The facets of the group (shared with the first entry for a copy).
    GArrayCollection* GetGroup() const;
    // The entry that owns the group: this entry unless it is a copy.
    G3FacetPlaneHashItem* GetFirstItem();
    bool IsCopy() const { return m_FirstItem != nullptr; }

private:
    G3FacetPlaneHashItem* m_Next = nullptr;
    // Owned; null in a copy.
    GArrayCollection* m_Group = nullptr;
    // Set in a copy only.
    G3FacetPlaneHashItem* m_FirstItem = nullptr;
};

class TESSALY_API G3FacetPlaneHash : public GObj {
public:
    // n cells per component (see Init).
    explicit G3FacetPlaneHash(int n);
    ~G3FacetPlaneHash() override;
    G3FacetPlaneHash(const G3FacetPlaneHash&) = delete;
    G3FacetPlaneHash& operator=(const G3FacetPlaneHash&) = delete;

    // Empties the hash and makes n^3 empty cells; n below 1 counts as 1 and
    // n is capped at 256.
    void Init(int n);

    // i + j * n + k * n^2 with i, j, k the clamped cells of |A|, |B| and |C|;
    // -1 for null.
    int GetHashCode(G3Facet* f) const;
    // Puts f into the group of the first entry of f's cell whose plane
    // equals f's and returns that entry. When there is none, f starts a new
    // group (AddWithoutTest) and the result is null. Null f: null, nothing
    // entered. A facet added twice is twice in its group.
    G3FacetPlaneHashItem* Add(G3Facet* f);
    // Starts a new group holding f: a first entry at the head of the chain
    // of the lowest cell of f's tolerance box, and a copy at the head of
    // every other cell of it. Returns the first entry; null for null f.
    G3FacetPlaneHashItem* AddWithoutTest(G3Facet* f);

    // The chain of a cell (a hash code); null for an empty cell or a code
    // off the table.
    G3FacetPlaneHashItem* Get(int cell) const;
    int GetHashSize() const { return m_GridSize; }
    int GetCellCount() const { return m_CellCount; }
    double GetCellSize() const { return m_CellSize; }

private:
    // The clamped cell of a normal component's magnitude.
    int GetCellIndex(double component) const;
    void Release();

    int m_GridSize = 0;
    int m_CellCount = 0;
    double m_CellSize = 0.0;
    G3FacetPlaneHashItem** m_Cells = nullptr;
};

// ---------------------------------------------------------------------------
// A uniform grid of n x n x n cells over a box; each cell lists the facets
// whose boxes touch it, so the facets near a box or along a segment are
// found without looking at all of them. The grid owns its cell lists, not
// the facets; the box it is made with should hold the boxes of the facets
// entered (parts outside it are seen only in the border cells, and a segment
// is followed only inside the box).
//
// The queries use the facets' G3Obj mark to report each facet once: the
// facets must not carry the mark when a query starts, and the queries
// (except OutFacets) clear it again before they return.
class TESSALY_API G3Grid {
public:
    // The box of box's corners, grown by 2e-6 on every side; a null or
    // empty box, or one with a coordinate that is not finite, counts as the
    // point at the origin. n cells per axis: n below 1 counts as 1, and n is
    // capped at 256.
    G3Grid(const GEnvelope* box, int n);
    ~G3Grid();
    G3Grid(const G3Grid&) = delete;
    G3Grid& operator=(const G3Grid&) = delete;
    // The source is left empty: no cells, every query answers empty, null or
    // false, and it may be destroyed or assigned to.
    G3Grid(G3Grid&& other) noexcept;
    G3Grid& operator=(G3Grid&& other) noexcept;

    // Cell indices of a point: (coordinate - min) / cell size truncated
    // toward zero and clamped to 0 .. n - 1; a coordinate that is not a
    // number, and a null point, give 0. Null outputs are skipped.
    void GetIndexes(const double* p, int* i, int* j, int* k) const;
    // The same for the two corners of a box: i[0] the index of the box's
    // minimum x, i[1] of its maximum x, and so on. False, outputs set to the
    // empty range {0, -1}, for a null or empty box, a box with a coordinate
    // that is not a number, or an empty grid.
    bool GetIndexes(const GEnvelope* box, int* i, int* j, int* k) const;
    // A length in cells of one axis, truncated toward zero (no offset, no
    // clamping). 0 for a cell size of 0 and for NaN; beyond the int range
    // the nearest int.
    int GetIndexX(double length) const;
    int GetIndexY(double length) const;
    int GetIndexZ(double length) const;

    // The list of cell (i, j, k); null for an empty cell or indices off the
    // grid.
    GArrayCollection* Get(int i, int j, int k) const;
    // Makes list (may be null) the list of cell (i, j, k): the grid deletes
    // the cell's previous list (unless it is list itself) and owns list
    // from now on. False, and list stays the caller's, for indices off the
    // grid. The list must hold facets (or other G3Obj) only.
    bool set(int i, int j, int k, GArrayCollection* list);
    // Appends obj to the list of cell (i, j, k), making the list on first
    // use. False (nothing added) for indices off the grid, a null obj or one
    // that is not a G3Obj.
    bool Add(int i, int j, int k, GObj* obj);
    // Clears f's mark and enters f into every cell of the index ranges of
    // box; a null box stands for f's own box. False when f is null or the
    // box is null (and f has no vertices), empty or not a number.
    bool AddFacet(G3Facet* f, const GEnvelope* box);

    // Appends to out every unmarked entry of the cells i0..i1 x j0..j1 x
    // k0..k1 (pairs that run backwards are swapped, then cut to the grid),
    // cell by cell with i outermost, then j, then k, in list order, and
    // marks it. The marks stay set: the caller clears them. Returns the
    // number appended; 0 for a null out.
    int OutFacets(int i0, int i1, int j0, int j1, int k0, int k1, GCollection* out);
    // Empties out, then collects the facets with edges of the cells of the
    // index ranges of box, each once (f itself is not excluded; a null box
    // stands for f's own box), and clears their marks. The facets are
    // candidates: every facet whose box meets box is among them. Returns
    // their number; 0 for a null out, or a box that is null (with no f to
    // take it from), empty or not a number.
    int GetFacetsByFacet(G3Facet* f, const GEnvelope* box, GArrayCollection* out);
    // Empties out, then collects the entries of the cells that the segment
    // p0-p1 passes through inside the grid's box, each once, and clears
    // their marks. Every facet whose box (inside the grid's box) the
    // segment meets is among them. Returns their number; 0 for null
    // arguments, coordinates that are not finite, or a segment that misses
    // the box.
    int GetFacetByLine(const double* p0, const double* p1, GArrayCollection* out);

    int GetSize() const { return m_GridSize; }
    // Extent of one cell on axis 0..2 (0 for other axes).
    double GetCellSize(int axis) const { return axis >= 0 && axis < 3 ? m_CellSize[axis] : 0.0; }
    const double* GetMin() const { return m_Min; }
    const double* GetMax() const { return m_Max; }

protected:
    // Outcode of p against the grid's box: 1 x below its minimum, 2 x above
    // its maximum, 4 and 8 for y, 16 and 32 for z. A point on a face is
    // inside; a coordinate that is not a number sets no bit.
    int WCode(const double* p) const;
    // Cuts the segment a-b to the grid's box in place (Cohen-Sutherland);
    // the two points may come back exchanged. False when the segment misses
    // the box, a coordinate is not finite, or the cut does not settle within
    // a few rounds.
    bool Clip(double* a, double* b) const;

private:
    // Marks and appends the unmarked objects of the cell block lo..hi
    // (indices in range), only facets with edges when asked; returns the
    // number appended.
    int CollectBlock(const int* lo, const int* hi, GCollection* out, bool facetsWithEdgesOnly);
    int GetCellIndex(double c, int axis) const;
    int LengthInCells(double length, int axis) const;
    void Release();
    void TakeFrom(G3Grid& other);

    int m_GridSize = 0;
    double m_CellSize[3] = {0, 0, 0};
    // n^3 lists, cell (i, j, k) at (k * n + j) * n + i; null until a cell
    // gets its first entry.
    GArrayCollection** m_Cells = nullptr;
    double m_Min[3] = {0, 0, 0};
    double m_Max[3] = {0, 0, 0};
};
