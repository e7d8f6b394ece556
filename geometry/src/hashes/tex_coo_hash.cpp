#include "point_hash_grid.h"

using namespace point_hash_grid;

G3TexCooHash::G3TexCooHash(int n, const double* min, const double* max, double tol)
{
    m_Tolerance = SafeTolerance(tol);
    m_GridSize = ClampGrid(n, 2);
    m_CellCount = m_GridSize * m_GridSize;
    m_Arena = new GMemoryAllocator;
    m_Cells = NewCells(m_CellCount);
    const double a[3] = {min ? min[0] : 0.0, min ? min[1] : 0.0, 0.0};
    const double b[3] = {max ? max[0] : 0.0, max ? max[1] : 0.0, 0.0};
    m_Envelope = EnlargedBox(a, b, m_Tolerance);
    m_Envelope.Set(m_Envelope.GetMinX(), m_Envelope.GetMinY(), 0.0, m_Envelope.GetMaxX(), m_Envelope.GetMaxY(), 0.0);
    m_CellSize[0] = (2.0 * m_Tolerance + m_Envelope.XSize()) / m_GridSize;
    m_CellSize[1] = (2.0 * m_Tolerance + m_Envelope.YSize()) / m_GridSize;
}

G3TexCooHash::~G3TexCooHash()
{
    delete m_Arena;
    delete[] m_Cells;
}

int G3TexCooHash::GetCellIndex(double c, int axis) const
{
    if (axis < 0 || axis > 1)
        return 0;
    return CellIndex(c, m_Envelope.GetMin(axis), m_CellSize[axis], m_GridSize);
}

int G3TexCooHash::GetHashCode(const double* uv) const
{
    if (!uv)
        return -1;
    return GetCellIndex(uv[0], 0) + GetCellIndex(uv[1], 1) * m_GridSize;
}

int G3TexCooHash::GetHashCode(G3TexCoo* t)
{
    return t ? GetHashCode(t->GetUV()) : -1;
}

void G3TexCooHash::AddWithoutTest(G3TexCoo* t)
{
    if (!t || HasNaN(t->GetUV(), 2))
        return;
    const int i0 = GetCellIndex(t->GetU() - m_Tolerance, 0), i1 = GetCellIndex(t->GetU() + m_Tolerance, 0);
    const int j0 = GetCellIndex(t->GetV() - m_Tolerance, 1), j1 = GetCellIndex(t->GetV() + m_Tolerance, 1);
    for (int j = j0; j <= j1; ++j)
        for (int i = i0; i <= i1; ++i) {
            G3PointHashItem*& head = m_Cells[j * m_GridSize + i];
            head = new (m_Arena) G3PointHashItem(t, head);
        }
}

G3TexCoo* G3TexCooHash::Add(G3TexCoo* t)
{
    if (!t || HasNaN(t->GetUV(), 2))
        return nullptr;
    for (G3PointHashItem* item = m_Cells[GetHashCode(t->GetUV())]; item; item = item->GetNext()) {
        auto* stored = static_cast<G3TexCoo*>(item->GetObject());
        if (t->Equals(stored, m_Tolerance))
            return stored;
    }
    AddWithoutTest(t);
    return nullptr;
}

G3TexCoo* G3TexCooHash::Exists(const double* uv)
{
    if (!uv || HasNaN(uv, 2))
        return nullptr;
    for (G3PointHashItem* item = m_Cells[GetHashCode(uv)]; item; item = item->GetNext()) {
        auto* stored = static_cast<G3TexCoo*>(item->GetObject());
        // The distance of G3TexCoo::Equals.
        const double du = stored->GetU() - uv[0], dv = stored->GetV() - uv[1];
        if (std::sqrt(du * du + dv * dv) < m_Tolerance)
            return stored;
    }
    return nullptr;
}

G3TexCoo* G3TexCooHash::Exists(G3TexCoo* t)
{
    return t ? Exists(t->GetUV()) : nullptr;
}

G3PointHashItem* G3TexCooHash::GetCell(int i, int j) const
{
    if (i < 0 || i >= m_GridSize || j < 0 || j >= m_GridSize)
        return nullptr;
    return m_Cells[j * m_GridSize + i];
}
