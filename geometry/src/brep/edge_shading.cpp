#include "tessaly/elements.h"
#include "tessaly/facet.h"

#include "core/tolerances.h"
#include <cmath>
#include <utility>

using tessaly::kLengthTolerance;

TESSALY_DEFINE_POOLED_CLASS(G3EdgeGeometry, "G3EdgeGeometry", 65536)

void G3EdgeGeometry::Copy(GObj* source)
{
    GObj::Copy(source);
    auto* other = dynamic_cast<G3EdgeGeometry*>(source);
    if (!other || other == this)
        return;
    for (int side = 0; side < 2; ++side)
        for (int end = 0; end < 2; ++end)
            Set(side, end, other->GetNormal(side, end), other->GetTexCoo(side, end));
}

GObj* G3EdgeGeometry::Duplicate()
{
    auto* copy = new G3EdgeGeometry;
    copy->Copy(this);
    return copy;
}

void G3EdgeGeometry::SwapEnds()
{
    for (int side = 0; side < 2; ++side) {
        std::swap(m_Normals[side][0], m_Normals[side][1]);
        std::swap(m_TexCoos[side][0], m_TexCoos[side][1]);
    }
}

G3Normal* G3Edge::GetShading(int side, int end, G3TexCoo** t) const
{
    if (!m_Geometry) {
        if (t)
            *t = nullptr;
        return nullptr;
    }
    if (t)
        *t = m_Geometry->GetTexCoo(side, end);
    return m_Geometry->GetNormal(side, end);
}

void G3Edge::SetShading(int side, int end, G3Normal* n, G3TexCoo* t)
{
    if (!m_Geometry) {
        if (!n && !t)
            return;
        m_Geometry = new G3EdgeGeometry;
    }
    m_Geometry->Set(side, end, n, t);
}

void G3Edge::SetGeometry(G3EdgeGeometry* g)
{
    if (!g) {
        delete m_Geometry;
        m_Geometry = nullptr;
        return;
    }
    if (g == m_Geometry)
        return;
    if (!m_Geometry)
        m_Geometry = new G3EdgeGeometry;
    m_Geometry->Copy(g);
}

bool G3Edge::HasGeometry(G3Facet* f) const
{
    if (!m_Geometry)
        return false;
    int side = m_Facet1 == f ? 0 : 1;
    return m_Geometry->GetNormal(side, 0) != nullptr;
}

void G3Edge::SetNormals(G3Facet* f, G3Vertex* va, G3Normal* na, G3TexCoo* ta, G3Vertex* vb, G3Normal* nb, G3TexCoo* tb)
{
    (void)vb;
    if (va != m_Vertex1) {
        std::swap(na, nb);
        std::swap(ta, tb);
    }
    int side = m_Facet1 == f ? 0 : 1;
    SetShading(side, 0, na, ta);
    SetShading(side, 1, nb, tb);
}

bool G3Edge::GetNormals(G3Normal** n1, G3TexCoo** t1, G3Normal** n2, G3TexCoo** t2, int side) const
{
    int s = side == 1 ? 0 : 1;
    *n1 = GetShading(s, 0, t1);
    *n2 = GetShading(s, 1, t2);
    return *n1 != nullptr;
}

bool G3Edge::GetNormals(G3Facet* f, G3Normal** n1, G3TexCoo** t1, G3Normal** n2, G3TexCoo** t2) const
{
    return GetNormals(n1, t1, n2, t2, m_Facet1 == f ? 1 : 2);
}

void G3Edge::Interpolate(G3Vertex* a, G3Normal* na, G3TexCoo* ta, G3Vertex* b, G3Normal* nb, G3TexCoo* tb,
                         const double* p, G3Normal** n, G3TexCoo** t)
{
    *n = nullptr;
    *t = nullptr;
    if (!na || !nb)
        return;
    // One parameter along the segment, measured on its dominant axis, for
    // every component: interpolating each component with the parameter of
    // its own coordinate axis gives wrong results on axis-parallel edges.
    const double* pa = a->GetXYZ();
    const double* pb = b->GetXYZ();
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (std::fabs(pb[i] - pa[i]) > std::fabs(pb[axis] - pa[axis]))
            axis = i;
    double length = pb[axis] - pa[axis];
    double s = std::fabs(length) < kLengthTolerance ? 0.0 : (p[axis] - pa[axis]) / length;
    auto mix = [s](double from, double to) { return from + (to - from) * s; };

    *n = new G3Normal(mix(na->GetX(), nb->GetX()), mix(na->GetY(), nb->GetY()), mix(na->GetZ(), nb->GetZ()));
    if (ta && tb)
        *t = new G3TexCoo(mix(ta->GetU(), tb->GetU()), mix(ta->GetV(), tb->GetV()));
}
