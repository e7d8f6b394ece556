#include <cmath>
#include <vector>

#include "brep/loop_walk.h"
#include "brep/planar_location.h"
#include "core/tolerances.h"
#include "tessaly/facet.h"

using tessaly::kLengthTolerance;
using tessaly::kZeroDivisor;

namespace {
// The closed loop of the points an iterator yields.
void LoopSegments(GIterator* points, std::vector<G3PlanarSegment>& out)
{
    std::vector<G3Point*> loop;
    while (points && points->hasNext())
        if (auto* p = dynamic_cast<G3Point*>(points->next()))
            loop.push_back(p);
    for (std::size_t k = 0; k < loop.size(); ++k) {
        G3Point* a = loop[k];
        G3Point* b = loop[(k + 1) % loop.size()];
        out.push_back({a->GetXYZ(), b->GetXYZ(), dynamic_cast<G3Vertex*>(a), dynamic_cast<G3Vertex*>(b)});
    }
}

// Every edge of the facet's list, each one segment.
void FacetSegments(const G3Facet* f, std::vector<G3PlanarSegment>& out)
{
    for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e))
        out.push_back({e->GetVertex1()->GetXYZ(), e->GetVertex2()->GetXYZ(), e->GetVertex1(), e->GetVertex2()});
}

bool ValidAxes(int i, int j)
{
    return i >= 0 && i < 3 && j >= 0 && j < 3 && i != j;
}

// The coordinate on the third axis that puts out on the plane; false when
// the plane is trivial or parallel to that axis.
bool OntoPlane(const double* plane, int i, int j, double* out)
{
    int k = G3ThirdAxis(i, j);
    if (std::fabs(plane[k]) < kZeroDivisor)
        return false;
    out[k] = -(plane[i] * out[i] + plane[j] * out[j] + plane[3]) / plane[k];
    return true;
}
} // namespace

bool G3Facet::PointInFacet(int i, int j, const double* p, GIterator* vertices, G3Vertex** va, G3Vertex** vb, double eps)
{
    if (va)
        *va = nullptr;
    if (vb)
        *vb = nullptr;
    if (!p || !ValidAxes(i, j))
        return false;
    std::vector<G3PlanarSegment> segments;
    LoopSegments(vertices, segments);
    return G3LocatePoint(i, j, p, segments, eps, va, vb) != G3_PLANAR_OUTSIDE;
}

bool G3Facet::PointInFacetXY(const double* p, GIterator* vertices, G3Vertex** va, G3Vertex** vb)
{
    return PointInFacet(0, 1, p, vertices, va, vb, kLengthTolerance);
}

bool G3Facet::PointInFacetXZ(const double* p, GIterator* vertices, G3Vertex** va, G3Vertex** vb)
{
    return PointInFacet(0, 2, p, vertices, va, vb, kLengthTolerance);
}

bool G3Facet::PointInFacetYZ(const double* p, GIterator* vertices, G3Vertex** va, G3Vertex** vb)
{
    return PointInFacet(1, 2, p, vertices, va, vb, kLengthTolerance);
}

bool G3Facet::PointInFacet(int i, int j, const double* p, G3Vertex** va, G3Vertex** vb, double eps)
{
    if (va)
        *va = nullptr;
    if (vb)
        *vb = nullptr;
    if (!p || !ValidAxes(i, j))
        return false;
    std::vector<G3PlanarSegment> segments;
    FacetSegments(this, segments);
    return G3LocatePoint(i, j, p, segments, eps, va, vb) != G3_PLANAR_OUTSIDE;
}

bool G3Facet::PointInFacetXY(const double* p, G3Vertex** va, G3Vertex** vb)
{
    return PointInFacet(0, 1, p, va, vb, kLengthTolerance);
}

bool G3Facet::PointInFacetXZ(const double* p, G3Vertex** va, G3Vertex** vb)
{
    return PointInFacet(0, 2, p, va, vb, kLengthTolerance);
}

bool G3Facet::PointInFacetYZ(const double* p, G3Vertex** va, G3Vertex** vb)
{
    return PointInFacet(1, 2, p, va, vb, kLengthTolerance);
}

bool G3Facet::PointInFacet(const double* p, G3Vertex** va, G3Vertex** vb, double* z)
{
    if (!PointInFacetXY(p, va, vb))
        return false;
    if (z)
        *z = CalcDepth(p[0], p[1]);
    return true;
}

bool G3Facet::GeneratePointInFacetConcave(int i, int j, double* out, GArrayCollection* vertices)
{
    if (!out || !vertices || !ValidAxes(i, j))
        return false;
    GArrayCollectionIterator it(vertices);
    std::vector<G3PlanarSegment> segments;
    LoopSegments(&it, segments);
    if (segments.size() < 3 || !G3InnerPoint(i, j, segments, out))
        return false;
    GArrayCollectionIterator again(vertices);
    double plane[4];
    int a, b;
    G3Math::FormMaxPlaneCoo(&again, &a, &b, plane);
    if (!OntoPlane(plane, i, j, out)) {
        int k = G3ThirdAxis(i, j);
        double sum = 0.0;
        for (const G3PlanarSegment& s : segments)
            sum += s.a[k];
        out[k] = sum / static_cast<double>(segments.size());
    }
    return true;
}

bool G3Facet::GeneratePointInFacetConcave(int i, int j, double* out)
{
    if (!out || !ValidAxes(i, j))
        return false;
    std::vector<G3PlanarSegment> segments;
    FacetSegments(this, segments);
    if (segments.size() < 3 || !G3InnerPoint(i, j, segments, out))
        return false;
    if (!OntoPlane(m_Plane, i, j, out))
        out[G3ThirdAxis(i, j)] = m_FirstEdge->GetVertex1()->GetXYZ(G3ThirdAxis(i, j));
    return true;
}

bool G3Facet::GenerateXYPointInFacetConcave(double* out)
{
    return GeneratePointInFacetConcave(0, 1, out);
}

int G3Facet::GetPlaneIntersect(const double* p, const double* q, double* x)
{
    if (!p || !q || !x || IsPlaneZero())
        return 0;
    double dp = m_Plane[0] * p[0] + m_Plane[1] * p[1] + m_Plane[2] * p[2] + m_Plane[3];
    double dq = m_Plane[0] * q[0] + m_Plane[1] * q[1] + m_Plane[2] * q[2] + m_Plane[3];
    if (std::fabs(dp - dq) < kZeroDivisor)
        return 0;
    double t = dp / (dp - dq);
    for (int k = 0; k < 3; ++k)
        x[k] = p[k] + t * (q[k] - p[k]);
    int i, j;
    GetMaxCoo(&i, &j);
    std::vector<G3PlanarSegment> segments;
    FacetSegments(this, segments);
    switch (G3LocatePoint(i, j, x, segments, kLengthTolerance, nullptr, nullptr)) {
    case G3_PLANAR_INSIDE: return 1;
    case G3_PLANAR_BOUNDARY: return 2;
    default: return 3;
    }
}
