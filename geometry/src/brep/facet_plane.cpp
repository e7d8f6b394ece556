#include <cmath>
#include <vector>

#include "brep/loop_walk.h"
#include "brep/planar_location.h"
#include "core/tolerances.h"
#include "tessaly/facet.h"

using tessaly::kLengthTolerance;
using tessaly::kRoundingTolerance;

namespace {
std::vector<const double*> LoopPoints(G3Facet* f)
{
    std::vector<const double*> points;
    G3FacetVertexIterator it(f);
    while (it.hasNext())
        points.push_back(static_cast<G3Vertex*>(it.next())->GetXYZ());
    return points;
}

// Vector area of one loop projected on the unit normal n.
double LoopArea(const std::vector<G3LoopEdge>& walk, std::size_t from, std::size_t to, const double* n)
{
    double sum[3] = {0, 0, 0};
    for (std::size_t k = from; k < to; ++k) {
        const double* a = walk[k].start->GetXYZ();
        const double* b = walk[k].end->GetXYZ();
        sum[0] += a[1] * b[2] - a[2] * b[1];
        sum[1] += a[2] * b[0] - a[0] * b[2];
        sum[2] += a[0] * b[1] - a[1] * b[0];
    }
    return (sum[0] * n[0] + sum[1] * n[1] + sum[2] * n[2]) / 2.0;
}
} // namespace

void G3Facet::GetMaxCoo(int* i, int* j) const
{
    if (!IsPlaneZero()) {
        G3Math::GetMaxCoo(m_Plane, i, j);
        return;
    }
    // Without a plane, the axes of the loop's own tolerant plane.
    std::vector<const double*> points = LoopPoints(const_cast<G3Facet*>(this));
    double plane[4];
    int a = 0, b = 1;
    G3Math::FormMaxPlaneCoo(points.data(), static_cast<int>(points.size()), &a, &b, plane);
    if (i)
        *i = a;
    if (j)
        *j = b;
}

bool G3Facet::FormPlaneEquation()
{
    std::vector<const double*> points = LoopPoints(this);
    int count = static_cast<int>(points.size());
    G3Math::FormPlaneEquation(points.data(), count, m_Plane);
    if (IsPlaneZero()) {
        int i, j;
        G3Math::FormMaxPlaneCoo(points.data(), count, &i, &j, m_Plane);
    }
    return true;
}

bool G3Facet::IsPlaneZero() const
{
    return m_Plane[0] == 0.0 && m_Plane[1] == 0.0 && m_Plane[2] == 0.0 && m_Plane[3] == 0.0;
}

bool G3Facet::IsFlat()
{
    G3FacetVertexIterator it(this);
    while (it.hasNext()) {
        const double* p = static_cast<G3Vertex*>(it.next())->GetXYZ();
        if (std::fabs(m_Plane[0] * p[0] + m_Plane[1] * p[1] + m_Plane[2] * p[2] + m_Plane[3]) > 5e-7)
            return false;
    }
    return true;
}

bool G3Facet::PlaneEquals(const double* plane) const
{
    double dot = m_Plane[0] * plane[0] + m_Plane[1] * plane[1] + m_Plane[2] * plane[2];
    return std::fabs(dot - 1.0) < kLengthTolerance && std::fabs(m_Plane[3] - plane[3]) < kLengthTolerance;
}

bool G3Facet::PlaneEquals(const double* plane, double dLimit, double dotLimit) const
{
    double dot = m_Plane[0] * plane[0] + m_Plane[1] * plane[1] + m_Plane[2] * plane[2];
    return std::fabs(dot) < dotLimit && std::fabs(m_Plane[3] - plane[3]) < dLimit;
}

double G3Facet::CalcDepth(double x, double y) const
{
    if (std::fabs(m_Plane[2]) < kLengthTolerance)
        return m_FirstEdge ? m_FirstEdge->GetVertex1()->GetZ() : 0.0;
    return -(m_Plane[0] * x + m_Plane[1] * y + m_Plane[3]) / m_Plane[2];
}

double G3Facet::GetArea()
{
    std::vector<G3LoopEdge> walk;
    G3WalkFacet(this, walk);
    if (walk.size() < 3)
        return -1.0;
    double plane[4];
    const double* n = m_Plane;
    if (IsPlaneZero()) {
        std::vector<const double*> points = LoopPoints(this);
        int i, j;
        G3Math::FormMaxPlaneCoo(points.data(), static_cast<int>(points.size()), &i, &j, plane);
        n = plane;
    }
    if (n[0] == 0.0 && n[1] == 0.0 && n[2] == 0.0)
        return -1.0;
    // Each loop's area counts with the sign of its nesting: outer loops
    // add, holes (inside an odd number of other loops) subtract.
    std::vector<std::size_t> starts;
    for (std::size_t k = 0; k < walk.size(); ++k)
        if (k == 0 || walk[k].loop != walk[k - 1].loop)
            starts.push_back(k);
    starts.push_back(walk.size());
    int i, j;
    G3Math::GetMaxCoo(n, &i, &j);
    double total = 0.0;
    for (std::size_t l = 0; l + 1 < starts.size(); ++l) {
        double area = std::fabs(LoopArea(walk, starts[l], starts[l + 1], n));
        int depth = 0;
        for (std::size_t o = 0; o + 1 < starts.size(); ++o) {
            if (o == l)
                continue;
            std::vector<G3PlanarSegment> segments;
            for (std::size_t k = starts[o]; k < starts[o + 1]; ++k)
                segments.push_back({walk[k].start->GetXYZ(), walk[k].end->GetXYZ(), nullptr, nullptr});
            // The first vertex of loop l not on loop o decides.
            for (std::size_t k = starts[l]; k < starts[l + 1]; ++k) {
                G3PlanarLocation where =
                    G3LocatePoint(i, j, walk[k].start->GetXYZ(), segments, kRoundingTolerance, nullptr, nullptr);
                if (where != G3_PLANAR_BOUNDARY) {
                    depth += where == G3_PLANAR_INSIDE;
                    break;
                }
            }
        }
        total += depth % 2 ? -area : area;
    }
    return total;
}

bool G3Facet::FormEnvelope(GIterator* vertices, GEnvelope* env)
{
    return G3Math::FormEnvelope(vertices, env);
}

GEnvelope* G3Facet::FormEnvelope(GEnvelope* env)
{
    // The corners of a small facet go through a buffer on the stack: the
    // envelopes of a large body's facets cost no allocation each.
    constexpr int kStackCorners = 16;
    const double* few[kStackCorners];
    std::vector<const double*> many;
    int count = 0;
    G3FacetVertexIterator it(this);
    while (it.hasNext()) {
        const double* p = static_cast<G3Vertex*>(it.next())->GetXYZ();
        if (count == kStackCorners)
            many.assign(few, few + kStackCorners);
        if (count < kStackCorners)
            few[count] = p;
        else
            many.push_back(p);
        ++count;
    }
    const double* const* corners = count > kStackCorners ? many.data() : few;
    return G3Math::FormEnvelope(corners, count, env) ? env : nullptr;
}
