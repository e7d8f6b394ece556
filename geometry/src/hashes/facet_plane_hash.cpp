// The hash of facet planes: facets with equal planes gathered into groups,
// looking only at the facets whose normals lie in the same cell.

#include <cmath>

#include "core/tolerances.h"
#include "point_hash_grid.h"
#include "tessaly/facet.h"

using namespace point_hash_grid;

namespace {

// The extent of the hashed range of each normal component: slightly above
// 1, so that a unit component, even grown by the tolerance, falls into the
// last cell instead of one past it.
constexpr double kNormalRange = 1.0 + 3.0 * tessaly::kLengthTolerance;

// Groups are small: usually a handful of coplanar facets.
constexpr int kGroupCapacity = 4;
constexpr int kGroupGrowth = 8;

} // namespace

G3FacetPlaneHashItem::G3FacetPlaneHashItem(G3Facet* f, G3FacetPlaneHashItem* next)
    : m_Next(next), m_Group(new GArrayCollection(kGroupCapacity, kGroupGrowth))
{
    m_Group->add(f);
}

G3FacetPlaneHashItem::G3FacetPlaneHashItem(G3FacetPlaneHashItem* first, G3FacetPlaneHashItem* next)
    : m_Next(next), m_FirstItem(first && first->m_FirstItem ? first->m_FirstItem : first)
{
}

G3FacetPlaneHashItem::~G3FacetPlaneHashItem()
{
    delete m_Group;
}

GArrayCollection* G3FacetPlaneHashItem::GetGroup() const
{
    return m_FirstItem ? m_FirstItem->m_Group : m_Group;
}

G3FacetPlaneHashItem* G3FacetPlaneHashItem::GetFirstItem()
{
    return m_FirstItem ? m_FirstItem : this;
}

bool G3FacetPlaneHashItem::PlaneEquals(G3Facet* f) const
{
    GArrayCollection* group = GetGroup();
    if (!f || !group || group->isEmpty())
        return false;
    return static_cast<G3Facet*>(group->getFirst())->PlaneEquals(f->GetPlane());
}

G3FacetPlaneHash::G3FacetPlaneHash(int n)
{
    Init(n);
}

G3FacetPlaneHash::~G3FacetPlaneHash()
{
    Release();
}

void G3FacetPlaneHash::Release()
{
    for (int c = 0; c < m_CellCount; ++c) {
        G3FacetPlaneHashItem* item = m_Cells[c];
        while (item) {
            G3FacetPlaneHashItem* next = item->GetNext();
            delete item;
            item = next;
        }
    }
    delete[] m_Cells;
    m_Cells = nullptr;
    m_CellCount = 0;
    m_GridSize = 0;
    m_CellSize = 0.0;
}

void G3FacetPlaneHash::Init(int n)
{
    Release();
    m_GridSize = ClampGrid(n, 3);
    m_CellCount = m_GridSize * m_GridSize * m_GridSize;
    m_CellSize = kNormalRange / m_GridSize;
    m_Cells = new G3FacetPlaneHashItem*[static_cast<std::size_t>(m_CellCount)]();
}

int G3FacetPlaneHash::GetCellIndex(double component) const
{
    return CellIndex(std::fabs(component), 0.0, m_CellSize, m_GridSize);
}

int G3FacetPlaneHash::GetHashCode(G3Facet* f) const
{
    if (!f)
        return -1;
    const int n = m_GridSize;
    const double* plane = f->GetPlane();
    return GetCellIndex(plane[0]) + GetCellIndex(plane[1]) * n + GetCellIndex(plane[2]) * n * n;
}

G3FacetPlaneHashItem* G3FacetPlaneHash::Get(int cell) const
{
    return cell >= 0 && cell < m_CellCount ? m_Cells[cell] : nullptr;
}

G3FacetPlaneHashItem* G3FacetPlaneHash::Add(G3Facet* f)
{
    if (!f)
        return nullptr;
    for (G3FacetPlaneHashItem* item = Get(GetHashCode(f)); item; item = item->GetNext()) {
        if (item->PlaneEquals(f)) {
            item->GetGroup()->add(f);
            return item;
        }
    }
    AddWithoutTest(f);
    return nullptr;
}

G3FacetPlaneHashItem* G3FacetPlaneHash::AddWithoutTest(G3Facet* f)
{
    if (!f)
        return nullptr;
    const double* plane = f->GetPlane();
    const double tol = tessaly::kLengthTolerance;
    int lo[3], hi[3];
    for (int axis = 0; axis < 3; ++axis) {
        const double magnitude = std::fabs(plane[axis]);
        lo[axis] = GetCellIndex(magnitude - tol);
        hi[axis] = GetCellIndex(magnitude + tol);
    }
    const int n = m_GridSize;
    G3FacetPlaneHashItem* first = nullptr;
    for (int k = lo[2]; k <= hi[2]; ++k)
        for (int j = lo[1]; j <= hi[1]; ++j)
            for (int i = lo[0]; i <= hi[0]; ++i) {
                G3FacetPlaneHashItem*& head = m_Cells[(k * n + j) * n + i];
                if (!first) {
                    first = new G3FacetPlaneHashItem(f, head);
                    head = first;
                } else {
                    head = new G3FacetPlaneHashItem(first, head);
                }
            }
    return first;
}
