#include <cmath>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/facet.h"
#include "tessaly/surface.h"

using tessaly::kAreaTolerance;
using tessaly::kZeroDivisor;

bool G3Facet::HasGeometry() const
{
    return m_FirstEdge && m_FirstEdge->HasGeometry();
}

bool G3Facet::HasGeometry(G3Facet* f)
{
    return f && f->m_FirstEdge && f->m_FirstEdge->HasGeometry(f);
}

void G3Facet::SetNormal(G3Vertex* v, G3Normal* n, G3TexCoo* t, bool force)
{
    if (!v || (!n && !t && !force))
        return;
    for (G3Edge* e = v->GetFirstEdge(); e; e = e->GetVertexNext(v)) {
        bool atVertex1 = e->GetVertex1() == v;
        if (e->GetFacet1() == this) {
            if (atVertex1)
                e->SetFacet1V1(n, t);
            else
                e->SetFacet1V2(n, t);
        } else if (e->GetFacet2() == this) {
            if (atVertex1)
                e->SetFacet2V1(n, t);
            else
                e->SetFacet2V2(n, t);
        }
    }
}

G3Normal* G3Facet::GetNormal(G3Vertex* v, G3TexCoo** t)
{
    if (t)
        *t = nullptr;
    if (!v)
        return nullptr;
    for (G3Edge* e = v->GetFirstEdge(); e; e = e->GetVertexNext(v)) {
        int side = e->GetFacet1() == this ? 0 : e->GetFacet2() == this ? 1 : -1;
        if (side < 0 || !e->HasGeometry())
            continue;
        int end = e->GetVertex1() == v ? 0 : 1;
        if (G3Normal* n = e->GetGeometry()->GetNormal(side, end)) {
            if (t)
                *t = e->GetGeometry()->GetTexCoo(side, end);
            return n;
        }
    }
    return nullptr;
}

bool G3Facet::Interpolate(G3Edge* e, const double* p, G3Normal** n, G3TexCoo** t)
{
    *n = nullptr;
    *t = nullptr;
    G3Normal *n1, *n2;
    G3TexCoo *t1, *t2;
    if (!e || !p || !e->GetNormals(this, &n1, &t1, &n2, &t2) || !n2)
        return false;
    G3Edge::Interpolate(e->GetVertex1(), n1, t1, e->GetVertex2(), n2, t2, p, n, t);
    return *n != nullptr;
}

namespace {
struct Sample {
    const double* p;
    G3Normal* n;
    G3TexCoo* t;
};

int Store(const double* n, const double* uv, bool hasUV, double* normal, double* outUV)
{
    for (int k = 0; k < 3; ++k)
        normal[k] = n[k];
    if (hasUV) {
        outUV[0] = uv[0];
        outUV[1] = uv[1];
    }
    return hasUV ? 2 : 1;
}

// Barycentric weights of p in the triangle of the samples (projection i, j).
bool Barycentric(const std::vector<Sample>& s, const double* p, int i, int j, double* w)
{
    double area = G3Math::GetArea2(s[0].p, s[1].p, s[2].p, i, j);
    if (std::fabs(area) < kAreaTolerance)
        return false;
    w[0] = G3Math::GetArea2(p, s[1].p, s[2].p, i, j) / area;
    w[1] = G3Math::GetArea2(s[0].p, p, s[2].p, i, j) / area;
    w[2] = 1.0 - w[0] - w[1];
    return true;
}

// Inverse-distance weights; a sample at p takes all the weight.
void InverseDistance(const std::vector<Sample>& s, const double* p, std::vector<double>& w)
{
    w.assign(s.size(), 0.0);
    double sum = 0.0;
    for (std::size_t k = 0; k < s.size(); ++k) {
        double d = G3Edge::GetSizeXYZ(s[k].p, p);
        if (d < kZeroDivisor) {
            w.assign(s.size(), 0.0);
            w[k] = 1.0;
            return;
        }
        w[k] = 1.0 / d;
        sum += w[k];
    }
    for (double& x : w)
        x /= sum;
}
} // namespace

int G3Facet::Interpolate(const double* p, double* normal, double* uv)
{
    if (!p || !normal || !uv)
        return 0;
    for (G3Edge* e = m_FirstEdge; e; e = GetNextEdge(e)) {
        if (!PtOnSegment(p, e->GetVertex1()->GetXYZ(), e->GetVertex2()->GetXYZ()))
            continue;
        G3Normal* n;
        G3TexCoo* t;
        if (!Interpolate(e, p, &n, &t))
            continue;
        int result = Store(n->GetXYZ(), t ? t->GetUV() : nullptr, t != nullptr, normal, uv);
        delete n;
        delete t;
        return result;
    }
    std::vector<Sample> samples;
    bool allUV = true;
    G3FacetVertexIterator it(this);
    while (it.hasNext()) {
        auto* v = static_cast<G3Vertex*>(it.next());
        G3TexCoo* t;
        if (G3Normal* n = GetNormal(v, &t)) {
            samples.push_back({v->GetXYZ(), n, t});
            allUV = allUV && t;
        }
    }
    if (samples.empty())
        return 0;
    std::vector<double> w;
    int i, j;
    GetMaxCoo(&i, &j);
    double bary[3];
    if (samples.size() == 3 && GetVertexCount() == 3 && Barycentric(samples, p, i, j, bary))
        w.assign(bary, bary + 3);
    else
        InverseDistance(samples, p, w);
    double n[3] = {0, 0, 0}, t[2] = {0, 0};
    for (std::size_t k = 0; k < samples.size(); ++k) {
        for (int c = 0; c < 3; ++c)
            n[c] += w[k] * samples[k].n->GetXYZ(c);
        if (allUV)
            for (int c = 0; c < 2; ++c)
                t[c] += w[k] * samples[k].t->GetUV(c);
    }
    return Store(n, t, allUV, normal, uv);
}

bool G3Facet::AssignNormalsByPlane(G3Surface* surface)
{
    if (!surface || IsPlaneZero())
        return false;
    G3Normal* n = surface->AddNormal(m_Plane[0], m_Plane[1], m_Plane[2]);
    if (!n)
        return false;
    G3FacetVertexIterator it(this);
    while (it.hasNext())
        SetNormal(static_cast<G3Vertex*>(it.next()), n, nullptr, true);
    return true;
}
