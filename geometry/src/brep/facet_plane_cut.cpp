// Cutting a facet with a plane, and the pieces of coplanar facets' edges
// that lie in each other.
#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

#include "brep/planar_location.h"
#include "core/tolerances.h"
#include "tessaly/facet.h"
#include "tessaly/intervals.h"

using tessaly::kLengthTolerance;

namespace {
double Distance(const double* plane, const double* p)
{
    double d = plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3];
    return std::fabs(d) < kLengthTolerance ? 0.0 : d;
}

void FacetSegments(const G3Facet* f, std::vector<G3PlanarSegment>& out)
{
    for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e))
        out.push_back({e->GetVertex1()->GetXYZ(), e->GetVertex2()->GetXYZ(), e->GetVertex1(), e->GetVertex2()});
}
} // namespace

int G3Facet::IntersectByPlaneConcave(const double* plane, G3IntervalList* list)
{
    if (!list)
        return 0;
    list->Clear();
    if (!plane || !m_FirstEdge)
        return 0;
    int positive = 0, negative = 0, zero = 0;
    G3FacetVertexIterator vertices(this);
    while (vertices.hasNext()) {
        double d = Distance(plane, static_cast<G3Vertex*>(vertices.next())->GetXYZ());
        positive += d > 0;
        negative += d < 0;
        zero += d == 0;
    }
    if (zero == 0 && (positive == 0 || negative == 0))
        return 0;
    for (G3Edge* e = m_FirstEdge; e; e = GetNextEdge(e)) {
        const double* a = e->GetVertex1()->GetXYZ();
        const double* b = e->GetVertex2()->GetXYZ();
        double da = Distance(plane, a), db = Distance(plane, b);
        if (da == 0 && db == 0) {
            list->AddInterval(a, e->GetVertex1(), b, e->GetVertex2());
            continue;
        }
        if (positive && negative) {
            // Half-open rule: a vertex on the plane counts as positive, so
            // every crossing of the contour gives exactly one point.
            if ((da >= 0) == (db >= 0))
                continue;
            if (da == 0)
                list->AddPoint(a, e->GetVertex1());
            else if (db == 0)
                list->AddPoint(b, e->GetVertex2());
            else {
                double t = da / (da - db), x[3];
                for (int k = 0; k < 3; ++k)
                    x[k] = a[k] + t * (b[k] - a[k]);
                list->AddPoint(x, e);
            }
        }
    }
    if (positive && negative)
        return 1;
    if (positive == 0 && negative == 0)
        return 3;
    // Touching only: each vertex on the plane that is not on an in-plane
    // edge leaves a piece of no length.
    std::unordered_set<const G3Vertex*> done;
    for (G3Edge* e = m_FirstEdge; e; e = GetNextEdge(e)) {
        for (G3Vertex* v : {e->GetVertex1(), e->GetVertex2()}) {
            if (Distance(plane, v->GetXYZ()) != 0 || !done.insert(v).second)
                continue;
            bool onInPlaneEdge = false;
            for (G3Edge* x = v->GetFirstEdge(); x; x = x->GetVertexNext(v))
                onInPlaneEdge = onInPlaneEdge ||
                    ((x->GetFacet1() == this || x->GetFacet2() == this) &&
                     Distance(plane, x->GetOtherVertex(v)->GetXYZ()) == 0);
            if (!onInPlaneEdge) {
                list->AddPoint(v->GetXYZ(), v);
                list->AddPoint(v->GetXYZ(), v);
            }
        }
    }
    return 2;
}

bool G3Facet::FindIntervalsLieInFacet(G3Facet* other, G3IntervalList* list)
{
    if (!other || !list || other->IsPlaneZero())
        return false;
    int i, j;
    other->GetMaxCoo(&i, &j);
    std::vector<G3PlanarSegment> boundary;
    FacetSegments(other, boundary);
    bool found = false;
    for (G3Edge* e = m_FirstEdge; e; e = GetNextEdge(e)) {
        const double* a = e->GetVertex1()->GetXYZ();
        const double* b = e->GetVertex2()->GetXYZ();
        // Parameters where the edge meets other's boundary cut it into
        // parts that lie wholly inside or outside; a part's midpoint decides.
        std::vector<double> cuts = {0.0, 1.0};
        for (const G3PlanarSegment& s : boundary) {
            double t1, t2;
            if (G3Math::FindLineIntersection(a, b, s.a, s.b, i, j, nullptr, &t1, &t2) == 1)
                cuts.push_back(t1);
            // Collinear overlaps give no crossing: their ends cut too.
            double projection[3], t;
            G3Vertex* v = s.va;
            if (v && e->FindProjection(v->GetXYZ(), projection, &t) && G3Point::Equals(projection, v->GetXYZ()))
                cuts.push_back(std::clamp(t / std::max(e->GetSizeXYZ(), 1e-300), 0.0, 1.0));
        }
        std::sort(cuts.begin(), cuts.end());
        double from = -1.0, to = -1.0;
        for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
            double mid[3];
            double tm = (cuts[k] + cuts[k + 1]) / 2.0;
            for (int c = 0; c < 3; ++c)
                mid[c] = a[c] + tm * (b[c] - a[c]);
            bool in = G3LocatePoint(i, j, mid, boundary, kLengthTolerance, nullptr, nullptr) != G3_PLANAR_OUTSIDE;
            if (in && from < 0)
                from = cuts[k];
            if (in)
                to = cuts[k + 1];
            bool last = k + 2 == cuts.size();
            if (from >= 0 && (!in || last)) {
                double p[3], q[3];
                for (int c = 0; c < 3; ++c) {
                    p[c] = a[c] + from * (b[c] - a[c]);
                    q[c] = a[c] + to * (b[c] - a[c]);
                }
                if (G3Edge::GetSizeXYZ(p, q) > kLengthTolerance) {
                    list->AddInterval(p, e, q, e);
                    found = true;
                }
                from = to = -1.0;
            }
        }
    }
    return found;
}

bool G3Facet::FindFacetsIntersection(G3Facet* other, G3IntervalList* list)
{
    if (!list)
        return false;
    list->Clear();
    if (!other)
        return false;
    bool mine = FindIntervalsLieInFacet(other, list);
    bool theirs = other->FindIntervalsLieInFacet(this, list);
    return mine || theirs;
}
