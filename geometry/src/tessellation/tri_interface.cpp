// G3TriInterface: points of a plane in space into the constrained Delaunay
// engine and its triangles back as a surface.
#include <cmath>
#include <unordered_map>

#include "tessaly/surface.h"
#include "tessaly/tessellation.h"
#include "tessellation/inside_constraints.h"
#include "triangulation/mesh.h"
#include "triangulation/segment_inserter.h"
#include "triangulation/triangulator.h"

namespace {
double Dot(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
} // namespace

G3TriInterface::G3TriInterface() : m_Mesh(new G3TMesh) {}

G3TriInterface::G3TriInterface(const G3TriInterface& other) : m_Mesh(new G3TMesh)
{
    CopyInputs(other);
}

G3TriInterface& G3TriInterface::operator=(const G3TriInterface& other)
{
    if (this == &other)
        return *this;
    delete m_Mesh;
    m_Mesh = new G3TMesh;
    m_Inputs.clear();
    m_Segments.clear();
    m_Triangulated = false;
    CopyInputs(other);
    return *this;
}

G3TriInterface::~G3TriInterface()
{
    delete m_Mesh;
}

// The other interface's plane, points (in creation order, with their
// heights) and segments, into this one's empty mesh.
void G3TriInterface::CopyInputs(const G3TriInterface& other)
{
    for (int a = 0; a < 3; ++a) {
        m_U[a] = other.m_U[a];
        m_V[a] = other.m_V[a];
        m_N[a] = other.m_N[a];
    }
    // Only the given points: those the engine made at crossings are made
    // again by the next triangulation.
    std::unordered_map<const G3TVertex*, G3TVertex*> copies;
    for (G3TVertex* v : other.m_Inputs) {
        G3TVertex* copy = m_Mesh->AddVertex(v->GetX(), v->GetY());
        copy->SetHeight(v->GetHeight());
        copy->SetExData(v->GetExData());
        copies[v] = copy;
        m_Inputs.push_back(copy);
    }
    for (const auto& s : other.m_Segments)
        m_Segments.emplace_back(copies[s.first], copies[s.second]);
}

void G3TriInterface::Set2DPlane(double* u, double* v)
{
    if (!u || !v)
        return;
    for (int a = 0; a < 3; ++a) {
        m_U[a] = u[a];
        m_V[a] = v[a];
    }
    m_N[0] = u[1] * v[2] - u[2] * v[1];
    m_N[1] = u[2] * v[0] - u[0] * v[2];
    m_N[2] = u[0] * v[1] - u[1] * v[0];
}

G3TVertex* G3TriInterface::AddVertex(double* p)
{
    if (!p || m_Triangulated)
        return nullptr;
    const double height = Dot(p, m_N);
    if (!std::isfinite(height))
        return nullptr;
    G3TVertex* v = m_Mesh->AddVertex(Dot(p, m_U), Dot(p, m_V));
    if (v) {
        v->SetHeight(height);
        m_Inputs.push_back(v);
    }
    return v;
}

bool G3TriInterface::AddEdge(G3TVertex* a, G3TVertex* b)
{
    // Only points of this interface: the one made with the vertex's index.
    auto mine = [this](const G3TVertex* v) {
        const auto at = static_cast<std::size_t>(v->GetIndex());
        return at < m_Inputs.size() && m_Inputs[at] == v;
    };
    if (!a || !b || m_Triangulated || !mine(a) || !mine(b))
        return false;
    m_Segments.emplace_back(a, b);
    return true;
}

bool G3TriInterface::MakeTriangulation(BasicOptions options)
{
    if (m_Triangulated)
        return false;
    m_Triangulated = true;
    m_Mesh->SetTriangulated(false);
    m_Mesh->SetOptions(static_cast<int>(options));
    G3TTriangulator triangulator(m_Mesh);
    if (!triangulator.Triangulate())
        return false;
    if (!m_Segments.empty()) {
        G3TSegmentInserter inserter(m_Mesh);
        for (const auto& s : m_Segments)
            inserter.Insert(s.first, s.second);
    }
    if (m_Mesh->HasOption(TRI_INSIDE_ONLY))
        RemoveTrianglesOutsideSegments(m_Mesh);
    return true;
}

G3Surface* G3TriInterface::GetSurface()
{
    if (!m_Triangulated)
        return nullptr;
    return GetSurface(new G3Surface(m_Mesh->GetVertexCount(), 0, m_Mesh->GetTriangleCount()));
}

G3Surface* G3TriInterface::GetSurface(G3Surface* s)
{
    if (!s || !m_Triangulated)
        return nullptr;
    // Only vertices that stand for themselves are lifted; a dropped
    // duplicate is its survivor.
    for (G3TVertex* v = m_Mesh->FirstVertex(); v; v = v->GetNext()) {
        v->SetSurfaceVertex(nullptr);
        if (v->IsDuplicate())
            continue;
        double p[3];
        for (int a = 0; a < 3; ++a)
            p[a] = v->GetX() * m_U[a] + v->GetY() * m_V[a] + v->GetHeight() * m_N[a];
        v->SetSurfaceVertex(s->AddVertex(p, 0));
    }
    for (G3TTriangle* t = m_Mesh->FirstTriangle(); t; t = t->GetNext()) {
        G3Vertex* corners[3];
        for (int c = 0; c < 3; ++c)
            corners[c] = t->m_Corner[c]->GetSurvivor()->GetSurfaceVertex();
        s->AddFacet(3, corners, 1, nullptr, nullptr);
    }
    s->RemoveEqualsVertex();
    return s;
}

int G3TriInterface::GetVertexCount() const
{
    return m_Mesh->GetVertexCount();
}

int G3TriInterface::GetTriangleCount() const
{
    return m_Triangulated ? m_Mesh->GetTriangleCount() : 0;
}
