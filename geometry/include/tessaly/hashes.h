#pragma once
// Spatial hashes of the Tessaly kernel: uniform grids that find coincident
// points and texture coordinates without comparing every pair.
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
// The items live in an arena owned by the hash; the hashed objects are not
// owned.

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
