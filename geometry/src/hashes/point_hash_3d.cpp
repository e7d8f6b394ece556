#include "point_hash_grid.h"

using namespace point_hash_grid;

G3PointHash::G3PointHash(int n, const double* min, const double* max, double tol)
{
    Init(n, min, max, tol, 3);
}

int G3PointHash::GetHashCode(const double* xyz)
{
    if (!xyz)
        return -1;
    const int n = m_GridSize;
    return GetCellIndex(xyz[0], 0) + GetCellIndex(xyz[1], 1) * n + GetCellIndex(xyz[2], 2) * n * n;
}

int G3PointHash::GetHashCode(G3Point* p)
{
    return p ? GetHashCode(p->GetXYZ()) : -1;
}

void G3PointHash::AddWithoutTest(G3Point* p)
{
    AddToCells(p, 3);
}

G3PointHashItem* G3PointHash::GetCell(int i, int j, int k) const
{
    const int n = m_GridSize;
    if (i < 0 || i >= n || j < 0 || j >= n || k < 0 || k >= n)
        return nullptr;
    return m_Cells[(k * n + j) * n + i];
}

int G3PointHash::GetItems(const GEnvelope* box, GArrayCollection* out)
{
    if (!out)
        return 0;
    out->clear();
    if (!box || box->IsEmpty() || HasNaN(box->GetMin(), 3) || HasNaN(box->GetMax(), 3))
        return 0;
    int lo[3], hi[3];
    for (int axis = 0; axis < 3; ++axis) {
        lo[axis] = GetCellIndex(box->GetMin(axis), axis);
        hi[axis] = GetCellIndex(box->GetMax(axis), axis);
    }
    const int first = out->size();
    for (int k = lo[2]; k <= hi[2]; ++k)
        for (int j = lo[1]; j <= hi[1]; ++j)
            for (int i = lo[0]; i <= hi[0]; ++i)
                for (G3PointHashItem* item = GetCell(i, j, k); item; item = item->GetNext()) {
                    G3Obj* obj = item->GetObject();
                    if (!obj->GetMark()) {
                        obj->SetMark();
                        out->add(obj);
                    }
                }
    for (int i = first; i < out->size(); ++i)
        static_cast<G3Obj*>(out->get(i))->ClearMark();
    return out->size() - first;
}
