// The snapshots of a reversible transformation run.
#include "tessaly/surface_edit.h"

G3TransformationFacet::G3TransformationFacet(const G3Facet* f)
{
    for (int k = 0; k < 4; ++k)
        m_Plane[k] = f->GetPlane()[k];
}

G3ShellTransformationProvider::G3ShellTransformationProvider(bool facets, bool normals)
    : m_Facets(facets), m_Normals(normals)
{
}

// The snapshots live in the arena: their destructors run here, their
// storage goes with the arena.
G3ShellTransformationProvider::~G3ShellTransformationProvider()
{
    for (auto& entry : m_Vertices)
        entry.second->~G3TransformationVertex();
    for (auto& entry : m_NormalSnapshots)
        entry.second->~G3TransformationNormal();
    for (auto& entry : m_FacetSnapshots)
        entry.second->~G3TransformationFacet();
}

void G3ShellTransformationProvider::OpenExDataVertex(G3Vertex* v)
{
    if (v && !m_Vertices.count(v))
        m_Vertices[v] = new (&m_Arena) G3TransformationVertex(v);
}

void G3ShellTransformationProvider::CloseExDataVertex(G3Vertex* v)
{
    auto found = m_Vertices.find(v);
    if (found == m_Vertices.end())
        return;
    v->Set(found->second->GetXYZ());
    found->second->~G3TransformationVertex();
    m_Vertices.erase(found);
}

void G3ShellTransformationProvider::OpenExDataNormal(G3Normal* n)
{
    if (n && !m_NormalSnapshots.count(n))
        m_NormalSnapshots[n] = new (&m_Arena) G3TransformationNormal(n);
}

void G3ShellTransformationProvider::CloseExDataNormal(G3Normal* n)
{
    auto found = m_NormalSnapshots.find(n);
    if (found == m_NormalSnapshots.end())
        return;
    n->Set(found->second->GetXYZ());
    found->second->~G3TransformationNormal();
    m_NormalSnapshots.erase(found);
}

void G3ShellTransformationProvider::OpenExDataFacet(G3Facet* f)
{
    if (f && !m_FacetSnapshots.count(f))
        m_FacetSnapshots[f] = new (&m_Arena) G3TransformationFacet(f);
}

void G3ShellTransformationProvider::CloseExDataFacet(G3Facet* f)
{
    auto found = m_FacetSnapshots.find(f);
    if (found == m_FacetSnapshots.end())
        return;
    f->SetPlane(found->second->GetPlane());
    found->second->~G3TransformationFacet();
    m_FacetSnapshots.erase(found);
}

bool G3ShellTransformationProvider::IsExDataVertex()
{
    return true;
}

bool G3ShellTransformationProvider::IsExDataNormal()
{
    return m_Normals;
}

bool G3ShellTransformationProvider::IsExDataFacet()
{
    return m_Facets;
}

const G3TransformationVertex* G3ShellTransformationProvider::GetSnapshot(const G3Vertex* v) const
{
    auto found = m_Vertices.find(v);
    return found == m_Vertices.end() ? nullptr : found->second;
}

const G3TransformationNormal* G3ShellTransformationProvider::GetSnapshot(const G3Normal* n) const
{
    auto found = m_NormalSnapshots.find(n);
    return found == m_NormalSnapshots.end() ? nullptr : found->second;
}

const G3TransformationFacet* G3ShellTransformationProvider::GetSnapshot(const G3Facet* f) const
{
    auto found = m_FacetSnapshots.find(f);
    return found == m_FacetSnapshots.end() ? nullptr : found->second;
}
