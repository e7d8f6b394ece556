// Texture coordinates of roof facets: each facet is mapped in a frame of its
// own plane, whose first axis runs horizontally along the plane, so that a
// texture runs along the eaves and up the slope.
#include <cmath>

#include "architecture/roof_tolerances.h"
#include "tessaly/roof.h"

using tessaly::roof::kAngleTolerance;

namespace {
bool UnitCross(const double* a, const double* b, double* out)
{
    V3OrtoVector(a, b, out);
    const double len = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    if (len < tessaly::kLengthTolerance)
        return false;
    for (int k = 0; k < 3; ++k)
        out[k] /= len;
    return true;
}

// The matrix into the facet's plane frame: origin where the plane meets the
// x axis (else the y axis, else the coordinate origin), first axis level
// along the plane, second axis up the plane. False for a level facet, whose
// first axis is not defined.
bool PlaneFrame(const double* plane, double m[4][4])
{
    double origin[3] = {0, 0, 0};
    if (std::fabs(plane[0]) > kAngleTolerance)
        origin[0] = -plane[3] / plane[0];
    else if (std::fabs(plane[1]) > kAngleTolerance)
        origin[1] = -plane[3] / plane[1];
    const double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    if (length < tessaly::kLengthTolerance)
        return false;
    const double normal[3] = {plane[0] / length, plane[1] / length, plane[2] / length};
    const double up[3] = {0, 0, 1};
    double first[3], second[3];
    return UnitCross(normal, up, first) && UnitCross(normal, first, second) &&
        M4BasisTo(origin, first, second, normal, m);
}

void MapVertex(G3Surface* s, G3Facet* f, G3Vertex* v, bool framed, double m[4][4])
{
    G3TexCoo* existing = nullptr;
    G3Normal* normal = f->GetNormal(v, &existing);
    if (existing)
        return;
    double uv[2];
    if (framed) {
        const double p[4] = {v->GetX(), v->GetY(), v->GetZ(), 1};
        double q[4];
        V4MulPointByMatrix(p, m, q);
        uv[0] = q[0];
        uv[1] = q[1];
    } else {
        int i = 0, j = 1;
        f->GetMaxCoo(&i, &j);
        uv[0] = v->GetXYZ(i);
        uv[1] = v->GetXYZ(j);
    }
    G3TexCoo* t = s->AddTexCoo(uv);
    if (!normal)
        normal = s->AddNormal(f->GetPlaneA(), f->GetPlaneB(), f->GetPlaneC());
    f->SetNormal(v, normal, t, true);
}
} // namespace

bool G3RoofGenerator::GenerateTexCoo()
{
    if (!m_Target || m_Target->GetFacetCount() == 0)
        return false;
    for (int k = 0; k < m_Target->GetFacetCount(); ++k) {
        G3Facet* f = m_Target->GetFacet(k);
        double m[4][4];
        const bool framed = PlaneFrame(f->GetPlane(), m);
        GArrayCollection vertices;
        f->GetVertices(&vertices);
        for (int i = 0; i < vertices.size(); ++i)
            MapVertex(m_Target, f, static_cast<G3Vertex*>(vertices.get(i)), framed, m);
    }
    m_Target->RemoveUnusedTexCoo();
    return true;
}
