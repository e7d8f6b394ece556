#include <climits>
#include <cmath>

#include "point_hash_grid.h"

using namespace point_hash_grid;

G2PointHash::G2PointHash(int n, const double* min, const double* max, double tol)
{
    Init(n, min, max, tol, 2);
}

G2PointHash::~G2PointHash()
{
    delete m_Arena;
    delete[] m_Cells;
}

void G2PointHash::Init(int n, const double* min, const double* max, double tol, int dimensions)
{
    m_Tolerance = SafeTolerance(tol);
    m_GridSize = ClampGrid(n, dimensions);
    m_CellCount = dimensions == 3 ? m_GridSize * m_GridSize * m_GridSize : m_GridSize * m_GridSize;
    m_Arena = new GMemoryAllocator;
    m_Cells = NewCells(m_CellCount);
    m_Envelope = EnlargedBox(min, max, m_Tolerance);
    const double extents[3] = {m_Envelope.XSize(), m_Envelope.YSize(), m_Envelope.ZSize()};
    for (int axis = 0; axis < 3; ++axis) {
        if (dimensions == 3)
            m_CellSize[axis] = extents[axis] / m_GridSize;
        else
            m_CellSize[axis] = axis < 2 ? (2.0 * m_Tolerance + extents[axis]) / m_GridSize : 0.0;
    }
}

int G2PointHash::Round(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

int G2PointHash::GetCellIndex(double c, int axis) const
{
    if (axis < 0 || axis > 2)
        return 0;
    return CellIndex(c, m_Envelope.GetMin(axis), m_CellSize[axis], m_GridSize);
}

int G2PointHash::GetHashCode(const double* xyz)
{
    if (!xyz)
        return -1;
    return GetCellIndex(xyz[0], 0) + GetCellIndex(xyz[1], 1) * m_GridSize;
}

int G2PointHash::GetHashCode(G3Point* p)
{
    return p ? GetHashCode(p->GetXYZ()) : -1;
}

void G2PointHash::AddToCells(G3Point* p, int dimensions)
{
    if (!p || HasNaN(p->GetXYZ(), dimensions))
        return;
    int lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (int axis = 0; axis < dimensions; ++axis) {
        lo[axis] = GetCellIndex(p->GetXYZ(axis) - m_Tolerance, axis);
        hi[axis] = GetCellIndex(p->GetXYZ(axis) + m_Tolerance, axis);
    }
    const int n = m_GridSize;
    for (int k = lo[2]; k <= hi[2]; ++k)
        for (int j = lo[1]; j <= hi[1]; ++j)
            for (int i = lo[0]; i <= hi[0]; ++i) {
                G3PointHashItem*& head = m_Cells[(k * n + j) * n + i];
                head = new (m_Arena) G3PointHashItem(p, head);
            }
}

void G2PointHash::AddWithoutTest(G3Point* p)
{
    AddToCells(p, 2);
}

G3PointHashItem* G2PointHash::GetChain(const double* xyz)
{
    const int code = GetHashCode(xyz);
    return code >= 0 && code < m_CellCount ? m_Cells[code] : nullptr;
}

G3Point* G2PointHash::Add(G3Point* p)
{
    if (!p || HasNaN(p->GetXYZ(), 3))
        return nullptr;
    G3Point* same = Exists(p->GetXYZ());
    if (!same)
        AddWithoutTest(p);
    return same;
}

G3Point* G2PointHash::Exists(const double* xyz)
{
    if (!xyz || HasNaN(xyz, 3))
        return nullptr;
    for (G3PointHashItem* item = GetChain(xyz); item; item = item->GetNext()) {
        auto* stored = static_cast<G3Point*>(item->GetObject());
        if (stored->Equals(xyz, m_Tolerance))
            return stored;
    }
    return nullptr;
}

G3Point* G2PointHash::Exists(G3Point* p)
{
    return p ? Exists(p->GetXYZ()) : nullptr;
}

bool G2PointHash::Exists(const double* xyz, GArrayCollection* out)
{
    if (out)
        out->clear();
    if (!xyz || HasNaN(xyz, 3))
        return false;
    bool found = false;
    for (G3PointHashItem* item = GetChain(xyz); item; item = item->GetNext()) {
        auto* stored = static_cast<G3Point*>(item->GetObject());
        if (stored->Equals(xyz, m_Tolerance)) {
            found = true;
            if (out)
                out->add(stored);
        }
    }
    return found;
}

bool G2PointHash::Exists(G3Point* p, GArrayCollection* out)
{
    if (!p) {
        if (out)
            out->clear();
        return false;
    }
    return Exists(p->GetXYZ(), out);
}

G3PointHashItem* G2PointHash::GetCell(int i, int j) const
{
    const int n = m_GridSize;
    if (i < 0 || i >= n || j < 0 || j >= n)
        return nullptr;
    return m_Cells[j * n + i];
}

void G2PointHash::GetCellEnvelope(GEnvelope* box, int i, int j) const
{
    if (!box)
        return;
    const double x = m_Envelope.GetMinX() + i * m_CellSize[0];
    const double y = m_Envelope.GetMinY() + j * m_CellSize[1];
    box->Set(x, y, 0.0, x + m_CellSize[0], y + m_CellSize[1], 0.0);
}
