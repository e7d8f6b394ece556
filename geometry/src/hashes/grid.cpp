// The uniform grid of facets: cell lists filled from the facets' boxes, and
// the collection of candidates for a box or along a segment.

#include <climits>
#include <cmath>
#include <utility>

#include "core/tolerances.h"
#include "point_hash_grid.h"
#include "tessaly/facet.h"

using namespace point_hash_grid;

namespace {

// The grid's box is grown by this on every side, so that a facet lying on
// a face of the box given is still strictly inside the grid.
constexpr double kGridMargin = 2.0 * tessaly::kLengthTolerance;

// Cell lists start for a few dozen facets and grow in larger steps.
constexpr int kCellCapacity = 32;
constexpr int kCellGrowth = 64;

// Rounds of the segment clipping: each round settles one face, so six
// suffice; the spare rounds absorb rounding near edges and corners, after
// which a segment that still does not settle is given up.
constexpr int kMaxClipRounds = 12;

bool IsFinite(const double* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

void SetEmptyRange(int* range)
{
    if (range) {
        range[0] = 0;
        range[1] = -1;
    }
}

} // namespace

G3Grid::G3Grid(const GEnvelope* box, int n)
{
    GEnvelope area;
    if (box && !box->IsEmpty() && IsFinite(box->GetMin()) && IsFinite(box->GetMax()))
        area = *box;
    else
        area.Init();
    area.Extend(kGridMargin);
    m_GridSize = ClampGrid(n, 3);
    for (int axis = 0; axis < 3; ++axis) {
        m_Min[axis] = area.GetMin(axis);
        m_Max[axis] = area.GetMax(axis);
        m_CellSize[axis] = (m_Max[axis] - m_Min[axis]) / m_GridSize;
    }
    const std::size_t count = static_cast<std::size_t>(m_GridSize) * m_GridSize * m_GridSize;
    m_Cells = new GArrayCollection*[count]();
}

G3Grid::~G3Grid()
{
    Release();
}

G3Grid::G3Grid(G3Grid&& other) noexcept
{
    TakeFrom(other);
}

G3Grid& G3Grid::operator=(G3Grid&& other) noexcept
{
    if (this != &other) {
        Release();
        TakeFrom(other);
    }
    return *this;
}

void G3Grid::Release()
{
    if (m_Cells) {
        const int count = m_GridSize * m_GridSize * m_GridSize;
        for (int c = 0; c < count; ++c)
            delete m_Cells[c];
        delete[] m_Cells;
    }
    m_Cells = nullptr;
    m_GridSize = 0;
    for (int axis = 0; axis < 3; ++axis) {
        m_CellSize[axis] = 0.0;
        m_Min[axis] = 0.0;
        m_Max[axis] = 0.0;
    }
}

void G3Grid::TakeFrom(G3Grid& other)
{
    m_GridSize = other.m_GridSize;
    m_Cells = other.m_Cells;
    for (int axis = 0; axis < 3; ++axis) {
        m_CellSize[axis] = other.m_CellSize[axis];
        m_Min[axis] = other.m_Min[axis];
        m_Max[axis] = other.m_Max[axis];
    }
    // The source gives its table away: its Release frees nothing.
    other.m_Cells = nullptr;
    other.Release();
}

int G3Grid::GetCellIndex(double c, int axis) const
{
    if (m_GridSize < 1)
        return 0;
    return CellIndex(c, m_Min[axis], m_CellSize[axis], m_GridSize);
}

void G3Grid::GetIndexes(const double* p, int* i, int* j, int* k) const
{
    int* out[3] = {i, j, k};
    for (int axis = 0; axis < 3; ++axis)
        if (out[axis])
            *out[axis] = p ? GetCellIndex(p[axis], axis) : 0;
}

bool G3Grid::GetIndexes(const GEnvelope* box, int* i, int* j, int* k) const
{
    int* out[3] = {i, j, k};
    if (!m_Cells || !box || box->IsEmpty() || HasNaN(box->GetMin(), 3) || HasNaN(box->GetMax(), 3)) {
        for (int* range : out)
            SetEmptyRange(range);
        return false;
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (!out[axis])
            continue;
        out[axis][0] = GetCellIndex(box->GetMin(axis), axis);
        out[axis][1] = GetCellIndex(box->GetMax(axis), axis);
    }
    return true;
}

int G3Grid::LengthInCells(double length, int axis) const
{
    const double size = m_CellSize[axis];
    return size > 0.0 ? G2PointHash::Round(length / size) : 0;
}

int G3Grid::GetIndexX(double length) const
{
    return LengthInCells(length, 0);
}

int G3Grid::GetIndexY(double length) const
{
    return LengthInCells(length, 1);
}

int G3Grid::GetIndexZ(double length) const
{
    return LengthInCells(length, 2);
}

GArrayCollection* G3Grid::Get(int i, int j, int k) const
{
    const int n = m_GridSize;
    if (!m_Cells || i < 0 || i >= n || j < 0 || j >= n || k < 0 || k >= n)
        return nullptr;
    return m_Cells[(k * n + j) * n + i];
}

bool G3Grid::set(int i, int j, int k, GArrayCollection* list)
{
    const int n = m_GridSize;
    if (!m_Cells || i < 0 || i >= n || j < 0 || j >= n || k < 0 || k >= n)
        return false;
    GArrayCollection*& cell = m_Cells[(k * n + j) * n + i];
    if (cell != list)
        delete cell;
    cell = list;
    return true;
}

bool G3Grid::Add(int i, int j, int k, GObj* obj)
{
    const int n = m_GridSize;
    if (!m_Cells || i < 0 || i >= n || j < 0 || j >= n || k < 0 || k >= n)
        return false;
    if (!dynamic_cast<G3Obj*>(obj))
        return false;
    GArrayCollection*& cell = m_Cells[(k * n + j) * n + i];
    if (!cell)
        cell = new GArrayCollection(kCellCapacity, kCellGrowth);
    cell->add(obj);
    return true;
}

bool G3Grid::AddFacet(G3Facet* f, const GEnvelope* box)
{
    if (!f)
        return false;
    GEnvelope own;
    if (!box) {
        if (!f->FormEnvelope(&own))
            return false;
        box = &own;
    }
    int i[2], j[2], k[2];
    if (!GetIndexes(box, i, j, k))
        return false;
    f->ClearMark();
    const int n = m_GridSize;
    for (int kk = k[0]; kk <= k[1]; ++kk)
        for (int jj = j[0]; jj <= j[1]; ++jj)
            for (int ii = i[0]; ii <= i[1]; ++ii) {
                GArrayCollection*& cell = m_Cells[(kk * n + jj) * n + ii];
                if (!cell)
                    cell = new GArrayCollection(kCellCapacity, kCellGrowth);
                cell->add(f);
            }
    return true;
}

int G3Grid::OutFacets(int i0, int i1, int j0, int j1, int k0, int k1, GCollection* out)
{
    if (!out || !m_Cells)
        return 0;
    int lo[3] = {i0, j0, k0}, hi[3] = {i1, j1, k1};
    const int n = m_GridSize;
    for (int axis = 0; axis < 3; ++axis) {
        if (lo[axis] > hi[axis])
            std::swap(lo[axis], hi[axis]);
        if (lo[axis] < 0)
            lo[axis] = 0;
        if (hi[axis] > n - 1)
            hi[axis] = n - 1;
        if (lo[axis] > hi[axis])
            return 0;
    }
    return CollectBlock(lo, hi, out, false);
}

int G3Grid::CollectBlock(const int* lo, const int* hi, GCollection* out, bool facetsWithEdgesOnly)
{
    const int n = m_GridSize;
    int added = 0;
    for (int i = lo[0]; i <= hi[0]; ++i)
        for (int j = lo[1]; j <= hi[1]; ++j)
            for (int k = lo[2]; k <= hi[2]; ++k) {
                GArrayCollection* cell = m_Cells[(k * n + j) * n + i];
                if (!cell)
                    continue;
                for (int e = 0; e < cell->size(); ++e) {
                    auto* obj = static_cast<G3Obj*>(cell->get(e));
                    if (obj->GetMark())
                        continue;
                    if (facetsWithEdgesOnly) {
                        auto* facet = dynamic_cast<G3Facet*>(obj);
                        if (!facet || !facet->HasEdges())
                            continue;
                    }
                    obj->SetMark();
                    if (out->add(obj))
                        ++added;
                }
            }
    return added;
}

int G3Grid::GetFacetsByFacet(G3Facet* f, const GEnvelope* box, GArrayCollection* out)
{
    if (!out)
        return 0;
    out->clear();
    GEnvelope own;
    if (!box) {
        if (!f || !f->FormEnvelope(&own))
            return 0;
        box = &own;
    }
    int i[2], j[2], k[2];
    if (!GetIndexes(box, i, j, k))
        return 0;
    const int lo[3] = {i[0], j[0], k[0]}, hi[3] = {i[1], j[1], k[1]};
    CollectBlock(lo, hi, out, true);
    for (int e = 0; e < out->size(); ++e)
        static_cast<G3Obj*>(out->get(e))->ClearMark();
    return out->size();
}

int G3Grid::GetFacetByLine(const double* p0, const double* p1, GArrayCollection* out)
{
    if (!out)
        return 0;
    out->clear();
    if (!p0 || !p1 || !m_Cells)
        return 0;
    double a[3] = {p0[0], p0[1], p0[2]};
    double b[3] = {p1[0], p1[1], p1[2]};
    if (!Clip(a, b))
        return 0;
    // Enough steps that no step crosses more than one cell border per axis;
    // the block between two consecutive sample points covers the cells of
    // the piece between them whatever the step, so the bound only keeps the
    // blocks small.
    const int maxSteps = 3 * m_GridSize + 3;
    double d[3];
    int steps = 1;
    for (int axis = 0; axis < 3; ++axis) {
        d[axis] = b[axis] - a[axis];
        if (!(m_CellSize[axis] > 0.0))
            continue;
        const double cells = std::fabs(d[axis]) / m_CellSize[axis];
        const int axisSteps = cells < maxSteps ? static_cast<int>(cells) + 1 : maxSteps;
        if (axisSteps > steps)
            steps = axisSteps;
    }
    int prev[3];
    GetIndexes(a, &prev[0], &prev[1], &prev[2]);
    for (int s = 1; s <= steps; ++s) {
        const double t = static_cast<double>(s) / steps;
        const double p[3] = {a[0] + t * d[0], a[1] + t * d[1], a[2] + t * d[2]};
        int cur[3];
        GetIndexes(s == steps ? b : p, &cur[0], &cur[1], &cur[2]);
        OutFacets(prev[0], cur[0], prev[1], cur[1], prev[2], cur[2], out);
        for (int axis = 0; axis < 3; ++axis)
            prev[axis] = cur[axis];
    }
    for (int e = 0; e < out->size(); ++e)
        static_cast<G3Obj*>(out->get(e))->ClearMark();
    return out->size();
}

int G3Grid::WCode(const double* p) const
{
    int code = 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (p[axis] < m_Min[axis])
            code |= 1 << (2 * axis);
        else if (p[axis] > m_Max[axis])
            code |= 2 << (2 * axis);
    }
    return code;
}

bool G3Grid::Clip(double* a, double* b) const
{
    if (!a || !b || !IsFinite(a) || !IsFinite(b))
        return false;
    int codeA = WCode(a), codeB = WCode(b);
    for (int round = 0; codeA | codeB; ++round) {
        if (round >= kMaxClipRounds || (codeA & codeB))
            return false;
        if (codeA == 0) {
            std::swap(a, b);
            std::swap(codeA, codeB);
        }
        // The lowest outside bit of a: its axis, and the face it lies beyond.
        int bit = 0;
        while (!(codeA & (1 << bit)))
            ++bit;
        const int axis = bit / 2;
        const double face = bit % 2 == 0 ? m_Min[axis] : m_Max[axis];
        // b lies on the inner side of that face (the codes share no bit), so
        // the segment is not parallel to it.
        const double t = (face - a[axis]) / (b[axis] - a[axis]);
        for (int other = 0; other < 3; ++other)
            if (other != axis)
                a[other] += t * (b[other] - a[other]);
        a[axis] = face;
        if (!IsFinite(a))
            return false;
        codeA = WCode(a);
    }
    return true;
}
