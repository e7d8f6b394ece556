#include "tessaly/elements.h"
#include "tessaly/facet.h"

#include "core/tolerances.h"
#include <cmath>

using tessaly::kLengthTolerance;
using tessaly::kZeroDivisor;

double G3Edge::GetSizeXYZ(const double* a, const double* b)
{
    double dx = b[0] - a[0];
    double dy = b[1] - a[1];
    double dz = b[2] - a[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double G3Edge::GetSizeXYZ() const
{
    return GetSizeXYZ(m_Vertex1->GetXYZ(), m_Vertex2->GetXYZ());
}

double G3Edge::GetSize(int i, int j) const
{
    const double* a = m_Vertex1->GetXYZ();
    const double* b = m_Vertex2->GetXYZ();
    double di = b[i] - a[i];
    double dj = b[j] - a[j];
    return std::sqrt(di * di + dj * dj);
}

double G3Edge::GetSizeXY() const
{
    return GetSize(0, 1);
}

GEnvelope* G3Edge::FormEnvelope(GEnvelope* envelope) const
{
    const double* a = m_Vertex1->GetXYZ();
    const double* b = m_Vertex2->GetXYZ();
    envelope->Set(std::fmin(a[0], b[0]), std::fmin(a[1], b[1]), std::fmin(a[2], b[2]), std::fmax(a[0], b[0]),
                  std::fmax(a[1], b[1]), std::fmax(a[2], b[2]));
    return envelope;
}

void G3Edge::CalcCentrePoint(const G3Vertex* a, const G3Vertex* b, double* out)
{
    for (int i = 0; i < 3; ++i)
        out[i] = (a->GetXYZ(i) + b->GetXYZ(i)) / 2.0;
}

void G3Edge::GetTriangleVertex(const G3Edge* e1, const G3Edge* e2, G3Vertex** a, G3Vertex** b, G3Vertex** c)
{
    G3Vertex* ends1[2] = {e1->m_Vertex1, e1->m_Vertex2};
    G3Vertex* ends2[2] = {e2->m_Vertex1, e2->m_Vertex2};
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            if (ends1[i] == ends2[j]) {
                *b = ends1[i];
                *a = ends1[1 - i];
                *c = ends2[1 - j];
                return;
            }
        }
    }
    *a = *b = *c = nullptr;
}

double G3Edge::GetCosAngle(const G3Edge* e1, const G3Edge* e2)
{
    G3Vertex *a, *b, *c;
    GetTriangleVertex(e1, e2, &a, &b, &c);
    if (!b)
        return 0.0;
    double u[3], v[3];
    for (int i = 0; i < 3; ++i) {
        u[i] = a->GetXYZ(i) - b->GetXYZ(i);
        v[i] = c->GetXYZ(i) - b->GetXYZ(i);
    }
    double lengths =
        std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]) * std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (lengths <= kZeroDivisor)
        return 0.0;
    return (u[0] * v[0] + u[1] * v[1] + u[2] * v[2]) / lengths;
}

double G3Edge::CalcRealSquareOfTriangle(const G3Edge* e1, const G3Edge* e2)
{
    G3Vertex *a, *b, *c;
    GetTriangleVertex(e1, e2, &a, &b, &c);
    if (!b)
        return 0.0;
    return G3Facet::CalcRealSquareOfTriangle(a->GetXYZ(), b->GetXYZ(), c->GetXYZ());
}

bool G3Edge::FindProjection(const double* p, double* projection, double* t) const
{
    const double* a = m_Vertex1->GetXYZ();
    const double* b = m_Vertex2->GetXYZ();
    double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (length > kLengthTolerance)
        for (double& c : d)
            c /= length;
    double param = d[0] * (p[0] - a[0]) + d[1] * (p[1] - a[1]) + d[2] * (p[2] - a[2]);
    for (int i = 0; i < 3; ++i)
        projection[i] = a[i] + param * d[i];
    *t = param;
    return param >= -kLengthTolerance && param <= length + kLengthTolerance;
}

bool G3Edge::IsEdgeOnMesh() const
{
    if (GetVisible())
        return true;
    if (!GetFormMaking())
        return false;
    int facets = (m_Facet1 != nullptr) + (m_Facet2 != nullptr);
    if (facets != 1)
        return true;
    return m_Vertex1->GetEdgeCount(m_Vertex2) % 2 == 1;
}

namespace {
int FacingSign(const G3Facet* f, const double* eye, bool perspective)
{
    double value =
        perspective ? f->GetPlaneA() * eye[0] + f->GetPlaneB() * eye[1] + f->GetPlaneC() * eye[2] : f->GetPlaneC();
    if (std::fabs(value) < kLengthTolerance)
        return 0;
    return value > 0 ? 1 : -1;
}
} // namespace

bool G3Edge::IsEdgeVisibleForDrawing(bool perspective) const
{
    if (GetVisible())
        return true;
    if (!GetFormMaking())
        return false;
    int facets = (m_Facet1 != nullptr) + (m_Facet2 != nullptr);
    if (facets == 1)
        return m_Vertex1->GetEdgeCount(m_Vertex2) % 2 == 1;
    if (facets == 0)
        return true;
    int s1 = FacingSign(m_Facet1, m_Vertex1->GetXYZ(), perspective);
    int s2 = FacingSign(m_Facet2, m_Vertex1->GetXYZ(), perspective);
    return s1 == 0 || s2 == 0 || s1 != s2;
}

bool G3Edge::IsLegalForMerge(G3Facet* f, G3Facet* a, G3Facet* b) const
{
    G3Edge* first = f ? f->GetFirstEdge() : nullptr;
    if (!first)
        return false;
    int changes = 0;
    bool previous = first->FacetEqu(a, b);
    for (G3Edge* e = f->GetNextEdge(first); e; e = f->GetNextEdge(e)) {
        bool shared = e->FacetEqu(a, b);
        changes += shared != previous;
        previous = shared;
    }
    changes += previous != first->FacetEqu(a, b);
    return changes == 2;
}

bool G3Edge::IsLegalForMerge() const
{
    return IsLegalForMerge(m_Facet1, m_Facet1, m_Facet2) && IsLegalForMerge(m_Facet2, m_Facet1, m_Facet2);
}
