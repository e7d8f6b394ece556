// Measures of a facet relative to its edges.
#include <cmath>

#include "core/tolerances.h"
#include "tessaly/facet.h"

using tessaly::kLengthTolerance;
using tessaly::kZeroDivisor;

bool G3Facet::CalcDiagonalEdge(G3Vertex** a, G3Vertex** b)
{
    GArrayCollection v;
    GetVertices(&v);
    if (v.size() != 4)
        return false;
    auto at = [&](int k) { return static_cast<G3Vertex*>(v.get(k)); };
    bool first = at(0)->Distance(at(2)) <= at(1)->Distance(at(3));
    *a = first ? at(0) : at(1);
    *b = first ? at(2) : at(3);
    return true;
}

double G3Facet::CalcDeviationFromEdge(G3Edge* e)
{
    if (!e || e->GetSizeXYZ() < kZeroDivisor)
        return -1.0;
    const double* p = e->GetVertex1()->GetXYZ();
    const double* q = e->GetVertex2()->GetXYZ();
    double d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    double length = e->GetSizeXYZ();
    double worst = 0.0;
    G3FacetVertexIterator it(this);
    while (it.hasNext()) {
        const double* x = static_cast<G3Vertex*>(it.next())->GetXYZ();
        double w[3] = {x[0] - p[0], x[1] - p[1], x[2] - p[2]};
        double c[3];
        V3OrtoVector(d, w, c);
        worst = std::fmax(worst, std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]) / length);
    }
    return worst;
}

int G3Facet::GetIntersectionSignByEdge(G3Edge* e)
{
    if (!e || (e->GetFacet1() != this && e->GetFacet2() != this))
        return 0;
    G3Facet* other = e->GetFacet1() == this ? e->GetFacet2() : e->GetFacet1();
    if (!other)
        return 0;
    // The other facet's vertex farthest from this plane decides.
    double extreme = 0.0;
    G3FacetVertexIterator it(other);
    while (it.hasNext()) {
        const double* x = static_cast<G3Vertex*>(it.next())->GetXYZ();
        double d = m_Plane[0] * x[0] + m_Plane[1] * x[1] + m_Plane[2] * x[2] + m_Plane[3];
        if (std::fabs(d) > std::fabs(extreme))
            extreme = d;
    }
    if (std::fabs(extreme) < kLengthTolerance)
        return 0;
    return extreme < 0 ? 1 : -1;
}
