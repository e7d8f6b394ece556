// Shading normals that cannot shade: missing on some vertices of a shaded
// facet, of no length, not finite, or pointing to the facet's back. Each
// such one is replaced by the facet's plane normal.
#include <cmath>

#include "core/tolerances.h"
#include "tessaly/surface.h"

namespace {
bool Usable(const G3Normal* n, const double* plane)
{
    if (!n)
        return false;
    const double* p = n->GetXYZ();
    if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
        return false;
    const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    return length > tessaly::kLengthTolerance && p[0] * plane[0] + p[1] * plane[1] + p[2] * plane[2] > 0;
}
} // namespace

int G3Surface::HealNormals()
{
    if (!GetNormalList())
        return 0;
    int healed = 0;
    GArrayCollection vertices;
    for (int k = 0; k < GetFacetCount(); ++k) {
        G3Facet* f = GetFacet(k);
        // A facet without any shading is flat-shaded on purpose.
        if (f->IsPlaneZero() || !f->HasGeometry())
            continue;
        G3Normal* own = nullptr;
        f->GetVertices(&vertices);
        for (int i = 0; i < vertices.size(); ++i) {
            auto* v = static_cast<G3Vertex*>(vertices.get(i));
            G3TexCoo* tex = nullptr;
            if (Usable(f->GetNormal(v, &tex), f->GetPlane()))
                continue;
            if (!own)
                own = AddNormal(f->GetPlane());
            v->SetNormal(f, own, tex);
            ++healed;
        }
    }
    if (healed > 0)
        RemoveUnusedNormal();
    return healed;
}
