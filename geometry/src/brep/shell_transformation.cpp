// The shell's transformation fronts: the reversible run over a
// G3ShellTransformationProvider, and the permanent transformation.
#include <cmath>

#include "core/tolerances.h"
#include "tessaly/surface_edit.h"

namespace {
template <class Element, class Call> void ForEach(GArrayCollection* list, Call call)
{
    for (int k = 0; list && k < list->size(); ++k)
        call(static_cast<Element*>(list->get(k)));
}

double Det3(const double m[4][4])
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
        m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The matrix that takes normals along: the inverse transpose of m's 3x3
// part (applied to row vectors), or the 3x3 part itself when it is
// singular.
void NormalMatrix(const double m[4][4], double out[3][3])
{
    const double det = Det3(m);
    if (std::fabs(det) < tessaly::kVolumeTolerance) {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                out[i][j] = m[i][j];
        return;
    }
    // Row vector n times (A^-1)^T: out[i][j] = (A^-1)[j][i] = cofactor(i, j) / det.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            out[i][j] = (m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1]) / det;
        }
}

void TransformPoint(const double* p, double m[4][4], double* out)
{
    double h[4] = {p[0], p[1], p[2], 1.0};
    V4MulPointByMatrix(h, m, h);
    for (int a = 0; a < 3; ++a)
        out[a] = h[a];
}

// n times the normal matrix, made unit length again (no length: as is).
void TransformNormal(const double* n, const double nm[3][3], double* out)
{
    double r[3];
    for (int j = 0; j < 3; ++j)
        r[j] = n[0] * nm[0][j] + n[1] * nm[1][j] + n[2] * nm[2][j];
    const double length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    const double scale = length > tessaly::kZeroDivisor ? 1.0 / length : 1.0;
    for (int a = 0; a < 3; ++a)
        out[a] = r[a] * scale;
}
} // namespace

bool G3Shell::IsTransformationOpen() const
{
    return dynamic_cast<G3ShellTransformationProvider*>(m_Provider) != nullptr;
}

// The snapshots are taken through the provider alone, so the facets are not
// announced again to the registered element providers.
void G3Shell::OpenTransformation(bool facets, bool normals)
{
    if (!m_Vertices || m_Provider)
        return;
    auto* provider = new G3ShellTransformationProvider(facets, normals);
    m_Provider = provider;
    ForEach<G3Vertex>(m_Vertices, [provider](G3Vertex* v) { provider->OpenExDataVertex(v); });
    if (normals)
        ForEach<G3Normal>(m_Normals, [provider](G3Normal* n) { provider->OpenExDataNormal(n); });
    if (facets)
        ForEach<G3Facet>(m_Facets, [provider](G3Facet* f) { provider->OpenExDataFacet(f); });
}

void G3Shell::Transformation(double m[4][4])
{
    auto* provider = dynamic_cast<G3ShellTransformationProvider*>(m_Provider);
    if (!provider || !m)
        return;
    ForEach<G3Vertex>(m_Vertices, [provider, m](G3Vertex* v) {
        if (const G3TransformationVertex* snapshot = provider->GetSnapshot(v))
            TransformPoint(snapshot->GetXYZ(), m, v->GetXYZ());
    });
    if (provider->IsExDataFacet())
        ForEach<G3Facet>(m_Facets, [](G3Facet* f) { f->FormPlaneEquation(); });
    if (provider->IsExDataNormal()) {
        double nm[3][3];
        NormalMatrix(m, nm);
        ForEach<G3Normal>(m_Normals, [provider, &nm](G3Normal* n) {
            if (const G3TransformationNormal* snapshot = provider->GetSnapshot(n))
                TransformNormal(snapshot->GetXYZ(), nm, n->GetXYZ());
        });
    }
}

void G3Shell::CloseTransformation()
{
    auto* provider = dynamic_cast<G3ShellTransformationProvider*>(m_Provider);
    if (!provider)
        return;
    ForEach<G3Vertex>(m_Vertices, [provider](G3Vertex* v) { provider->CloseExDataVertex(v); });
    ForEach<G3Normal>(m_Normals, [provider](G3Normal* n) { provider->CloseExDataNormal(n); });
    ForEach<G3Facet>(m_Facets, [provider](G3Facet* f) { provider->CloseExDataFacet(f); });
    RemoveExDataProvider();
}

void G3Shell::RealTransformation(double m[4][4])
{
    if (!m)
        return;
    ForEach<G3Vertex>(m_Vertices, [m](G3Vertex* v) { TransformPoint(v->GetXYZ(), m, v->GetXYZ()); });
    double nm[3][3];
    NormalMatrix(m, nm);
    ForEach<G3Normal>(m_Normals, [&nm](G3Normal* n) { TransformNormal(n->GetXYZ(), nm, n->GetXYZ()); });
    const bool mirrors = Det3(m) < 0;
    ForEach<G3Facet>(m_Facets, [mirrors](G3Facet* f) {
        if (mirrors)
            f->RotateEdges();
        f->FormPlaneEquation();
    });
    ForEach<G3PolyEdge>(m_PolyEdges, [this, m](G3PolyEdge* p) { TransformExDataPolyEdge(p, m); });
}

void G3Shell::Normalize()
{
    ForEach<G3Normal>(m_Normals, [](G3Normal* n) {
        double* d = n->GetXYZ();
        const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (length > tessaly::kZeroDivisor)
            n->Set(d[0] / length, d[1] / length, d[2] / length);
    });
}

void G3Shell::TransformExDataPolyEdge(G3PolyEdge* p, double m[4][4])
{
    if (p && m)
        p->ProviderTransformExData(p, m);
}
