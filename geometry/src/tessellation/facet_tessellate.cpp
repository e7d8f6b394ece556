// The triangles of one facet through the GLU tessellator.
//
// Each loop goes to GLU as a contour of its own (the odd winding rule then
// makes holes holes), looked at along the facet's plane normal so that the
// triangles turn as the facet does. The result is checked against the facet:
// every triangle must face its way and together they must cover its area,
// which rules out contours that cross (GLU cannot follow them without new
// points) and anything GLU dropped.
#include <cmath>

#include "core/tolerances.h"
#include "tessaly/facet.h"
#include "tessaly/tessellation.h"

namespace {
// Twice the area of (a, b, c) seen along the unit normal n.
double TwiceProjectedArea(const G3Vertex* a, const G3Vertex* b, const G3Vertex* c, const double* n)
{
    const double* p = a->GetXYZ();
    const double* q = b->GetXYZ();
    const double* r = c->GetXYZ();
    const double u[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    const double w[3] = {r[0] - p[0], r[1] - p[1], r[2] - p[2]};
    return n[0] * (u[1] * w[2] - u[2] * w[1]) + n[1] * (u[2] * w[0] - u[0] * w[2]) + n[2] * (u[0] * w[1] - u[1] * w[0]);
}

// Sends every loop of the facet to the triangulator as a contour.
void SendLoops(G3Facet* f, GTriangulator& tri)
{
    GArrayCollection vertices, starts;
    f->GetLoops(&vertices, &starts);
    for (int l = 0; l < starts.size(); ++l) {
        const int from = static_cast<int>(G3ElementToInt(starts.get(l)));
        const int to = l + 1 < starts.size() ? static_cast<int>(G3ElementToInt(starts.get(l + 1))) : vertices.size();
        tri.BeginContour();
        for (int k = from; k < to; ++k) {
            auto* v = static_cast<G3Vertex*>(vertices.get(k));
            tri.AddVertex(v, v);
        }
        tri.EndContour();
    }
}
} // namespace

bool G3Facet::Tessellate(GArrayCollection* out)
{
    if (!out)
        return false;
    out->clear();
    const double length = std::sqrt(m_Plane[0] * m_Plane[0] + m_Plane[1] * m_Plane[1] + m_Plane[2] * m_Plane[2]);
    const double area = GetArea();
    if (!(length > tessaly::kZeroDivisor) || !(area > 0))
        return false;
    const double n[3] = {m_Plane[0] / length, m_Plane[1] / length, m_Plane[2] / length};

    G3SurfaceTriangulator tri;
    int i, j;
    GetMaxCoo(&i, &j);
    tri.BeginPolygon(i, j);
    tri.SetNormal(n);
    SendLoops(this, tri);
    tri.EndPolygon();
    GArrayCollection* corners = tri.GetCorners();
    if (tri.HasFailed() || corners->size() < 3 || corners->size() % 3 != 0)
        return false;

    double covered = 0;
    for (int k = 0; k + 2 < corners->size(); k += 3) {
        const double twice =
            TwiceProjectedArea(static_cast<G3Vertex*>(corners->get(k)), static_cast<G3Vertex*>(corners->get(k + 1)),
                               static_cast<G3Vertex*>(corners->get(k + 2)), n);
        if (twice < -tessaly::kAreaTolerance)
            return false; // a triangle turned against the facet
        covered += twice / 2;
    }
    if (std::fabs(covered - area) > tessaly::kTessellationAreaFraction * area + tessaly::kAreaTolerance)
        return false;
    for (int k = 0; k < corners->size(); ++k)
        out->add(corners->get(k));
    return true;
}
