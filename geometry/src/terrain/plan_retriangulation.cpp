// Re-triangulation of terrain points inside the terrain's plan outline.
#include "terrain/plan_retriangulation.h"

#include "core/tolerances.h"
#include "terrain/terrain_internal.h"
#include "triangulation/mesh.h"

namespace terrain {

PlanRetriangulation::PlanRetriangulation(G3TriInterface& tri, G3Surface* terrain) : m_Tri(tri)
{
    LocalOrigin(terrain, m_Origin);
}

G3TVertex* PlanRetriangulation::Add(const double* p, GObj* data)
{
    double local[3] = {p[0] - m_Origin[0], p[1] - m_Origin[1], p[2]};
    G3TVertex* v = m_Tri.AddVertex(local);
    if (v)
        v->SetExData(data);
    return v;
}

G3TVertex* PlanRetriangulation::AddTerrainVertex(G3Vertex* v, GObj* data)
{
    G3TVertex* t = Add(v->GetXYZ(), data);
    m_Terrain[v] = t;
    return t;
}

void PlanRetriangulation::AddBorder(G3Edge* e, G3TVertex* onEdge)
{
    if (e->GetSize(0, 1) < tessaly::kLengthTolerance)
        return;
    auto a = m_Terrain.find(e->GetVertex1());
    auto b = m_Terrain.find(e->GetVertex2());
    if (a == m_Terrain.end() || b == m_Terrain.end())
        return;
    m_HasBorder = true;
    if (onEdge) {
        m_Tri.AddEdge(a->second, onEdge);
        m_Tri.AddEdge(onEdge, b->second);
    } else {
        m_Tri.AddEdge(a->second, b->second);
    }
}

bool PlanRetriangulation::Triangulate()
{
    return m_Tri.MakeTriangulation(m_HasBorder ? G3TriInterface::TRI_INSIDE_ONLY : G3TriInterface::TRI_DEFAULT) &&
        m_Tri.GetTriangleCount() > 0;
}

G3Surface* PlanRetriangulation::Surface()
{
    G3Surface* s = m_Tri.GetSurface();
    if (!s)
        return nullptr;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        v->Set(v->GetX() + m_Origin[0], v->GetY() + m_Origin[1], v->GetZ());
    }
    return s;
}

} // namespace terrain
