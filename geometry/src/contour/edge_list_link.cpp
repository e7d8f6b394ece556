// Bridging holes: a hole and the contour around it become one loop joined
// by two bridge edges of opposite direction.
#include <cmath>
#include <vector>

#include "brep/shaded_edge.h"
#include "core/tolerances.h"
#include "tessaly/contour.h"
#include "tessaly/surface.h"

using tessaly::kLengthTolerance;
using tessaly::kRoundingTolerance;

namespace {
struct Hit {
    double t = 0.0; // distance along the ray
    double point[3] = {0, 0, 0};
    G3EdgeList* contour = nullptr;
    int edge = -1;
};

// The nearest crossing of the ray from v (length reach, direction d in the
// projection) with the edges of every contour but c and its equals.
Hit NearestHit(GArrayCollection* contours, G3EdgeList* c, const double* v, const double* d, double reach, int a1,
               int a2)
{
    double end[3] = {v[0], v[1], v[2]};
    end[a1] += reach * d[a1];
    end[a2] += reach * d[a2];
    Hit best;
    for (int k = 0; k < contours->size(); ++k) {
        auto* o = static_cast<G3EdgeList*>(contours->get(k));
        if (o == c || c->Equals(o))
            continue;
        for (int m = 0; m < o->size(); ++m) {
            G3Edge* e = o->GetEdge(m);
            const double* p = e->GetVertex1()->GetXYZ();
            const double* q = e->GetVertex2()->GetXYZ();
            double t1, t2;
            if (G3Math::FindLineIntersection(v, end, p, q, a1, a2, nullptr, &t1, &t2) != 1)
                continue;
            double t = t1 * reach;
            if (t <= kLengthTolerance || (best.contour && t >= best.t - kLengthTolerance))
                continue;
            best.t = t;
            best.contour = o;
            best.edge = m;
            for (int i = 0; i < 3; ++i)
                best.point[i] = p[i] + t2 * (q[i] - p[i]);
        }
    }
    return best;
}

double ContoursReach(GArrayCollection* contours)
{
    GEnvelope all;
    for (int k = 0; k < contours->size(); ++k) {
        auto* c = static_cast<G3EdgeList*>(contours->get(k));
        c->FormEnvelope();
        all.Add(&c->GetEnvelope());
    }
    return 3.0 * all.GetMaxSize();
}

bool IsTarget(G3EdgeList* c, G3EdgeList* o)
{
    if (o->GetContourType() == CONTOUR_OUTER)
        return c->IsIn(o);
    return o->GetContourType() == CONTOUR_INNER && o->GetInCount() == c->GetInCount();
}
} // namespace

void G3EdgeList::Link(GArrayCollection* contours, G3Surface* surface, int mode)
{
    if (!contours || contours->size() < 2)
        return;
    double reach = ContoursReach(contours);
    for (int idx = 0; idx < contours->size(); ++idx) {
        auto* c = static_cast<G3EdgeList*>(contours->get(idx));
        if (c->GetContourType() != CONTOUR_INNER || c->size() < 3)
            continue;
        double d[3] = {0, 0, 0};
        int k = c->GetExtremalRay(d);
        int a1 = c->GetXCoo(), a2 = c->GetYCoo();
        Hit hit = NearestHit(contours, c, c->GetEdge(k)->GetVertex1()->GetXYZ(), d, reach, a1, a2);
        // Only the nearest boundary may be bridged to: a bridge to anything
        // farther would cross it.
        if (!hit.contour || !IsTarget(c, hit.contour))
            continue;
        bool intoHole = hit.contour->GetContourType() == CONTOUR_INNER;
        if (!c->LinkToAnother(k, hit.contour, hit.edge, hit.point, surface, intoHole, mode))
            continue;
        if (!intoHole)
            c->SetContourType(CONTOUR_OUTER);
        int other = contours->index(hit.contour);
        delete hit.contour;
        contours->ShiftLeft(other);
        bool stillHole = c->GetContourType() == CONTOUR_INNER;
        if (other > idx)
            idx -= stillHole ? 1 : 0;
        else
            idx -= stillHole ? 2 : 1;
    }
}

int G3EdgeList::GetExtremalRay(double* direction)
{
    int a1 = GetXCoo(), a2 = GetYCoo();
    int n = size(), best = 0;
    for (int k = 1; k < n; ++k) {
        const double* p = GetEdge(k)->GetVertex1()->GetXYZ();
        const double* b = GetEdge(best)->GetVertex1()->GetXYZ();
        if (p[a1] > b[a1] || (p[a1] == b[a1] && p[a2] > b[a2]))
            best = k;
    }
    // Away from both neighbours: at the extreme vertex both point to the
    // side of smaller a1, so the negated sum of their directions points out.
    const double* v = GetEdge(best)->GetVertex1()->GetXYZ();
    const double* prev = GetEdge((best + n - 1) % n)->GetVertex1()->GetXYZ();
    const double* next = GetEdge(best)->GetVertex2()->GetXYZ();
    double d[2] = {0, 0};
    for (const double* p : {prev, next}) {
        double u[2] = {p[a1] - v[a1], p[a2] - v[a2]};
        double len = std::hypot(u[0], u[1]);
        if (len > 0) {
            d[0] -= u[0] / len;
            d[1] -= u[1] / len;
        }
    }
    double len = std::hypot(d[0], d[1]);
    if (len < kRoundingTolerance || d[0] < 0) {
        d[0] = 1.0;
        d[1] = 0.0;
        len = 1.0;
    }
    direction[0] = direction[1] = direction[2] = 0.0;
    direction[a1] = d[0] / len;
    direction[a2] = d[1] / len;
    return best;
}

namespace {
void EndData(G3Edge* e, int end, G3Normal** n, G3TexCoo** t)
{
    *n = end == 0 ? e->GetFacet1V1(t) : e->GetFacet1V2(t);
}

// Copies interpolated temporaries into the surface, which owns the result.
void Adopt(G3Surface* surface, G3Normal** n, G3TexCoo** t)
{
    G3Normal* normal = *n ? surface->AddNormal(*n) : nullptr;
    G3TexCoo* tex = *t ? surface->AddTexCoo(*t) : nullptr;
    delete *n;
    delete *t;
    *n = normal;
    *t = tex;
}

// Where the bridge lands on the other contour: its vertex x with shading
// data, and the other contour's edges as one chain from x back to x. The
// hit edge is split at a new vertex of the surface unless the hit is one
// of its ends (false when a split is needed and there is no surface).
struct Landing {
    G3Vertex* x = nullptr;
    G3Normal* n = nullptr;
    G3TexCoo* t = nullptr;
    std::vector<G3Edge*> around;
};

bool Land(G3EdgeList* other, int hitEdge, const double* hit, G3Surface* surface, Landing& out)
{
    int m = other->size();
    G3Edge* cut = other->GetEdge(hitEdge);
    bool atStart = G3Point::Equals(hit, cut->GetVertex1()->GetXYZ());
    bool atEnd = !atStart && G3Point::Equals(hit, cut->GetVertex2()->GetXYZ());
    if (atStart || atEnd) {
        out.x = atStart ? cut->GetVertex1() : cut->GetVertex2();
        EndData(cut, atStart ? 0 : 1, &out.n, &out.t);
        int first = atStart ? hitEdge : hitEdge + 1;
        for (int k = 0; k < m; ++k)
            out.around.push_back(other->GetEdge((first + k) % m));
        return true;
    }
    if (!surface)
        return false;
    out.x = surface->AddVertex(hit);
    G3Normal *n1, *n2;
    G3TexCoo *t1, *t2;
    cut->GetNormals(&n1, &t1, &n2, &t2, 1);
    G3Edge::Interpolate(cut->GetVertex1(), n1, t1, cut->GetVertex2(), n2, t2, hit, &out.n, &out.t);
    Adopt(surface, &out.n, &out.t);
    // A bridge made earlier runs twice, once each way: when the ray lands
    // on one run, the other is split at the same vertex, so neither passes
    // through the new vertex.
    int twin = -1;
    for (int k = 0; k < m && twin < 0; ++k) {
        G3Edge* e = other->GetEdge(k);
        if (k != hitEdge && e->GetVertex1() == cut->GetVertex2() && e->GetVertex2() == cut->GetVertex1())
            twin = k;
    }
    out.around.push_back(NewShadedEdge(out.x, cut->GetVertex2(), cut->GetFlags(), out.n, out.t, n2, t2));
    for (int k = 1; k < m; ++k) {
        int at = (hitEdge + k) % m;
        G3Edge* e = other->GetEdge(at);
        if (at != twin) {
            out.around.push_back(e);
            continue;
        }
        G3TexCoo *s1, *s2;
        G3Normal* m1 = e->GetFacet1V1(&s1);
        G3Normal* m2 = e->GetFacet1V2(&s2);
        out.around.push_back(NewShadedEdge(e->GetVertex1(), out.x, e->GetFlags(), m1, s1, out.n, out.t));
        out.around.push_back(NewShadedEdge(out.x, e->GetVertex2(), e->GetFlags(), out.n, out.t, m2, s2));
        delete e;
    }
    out.around.push_back(NewShadedEdge(cut->GetVertex1(), out.x, cut->GetFlags(), n1, t1, out.n, out.t));
    delete cut;
    return true;
}
} // namespace

bool G3EdgeList::LinkToAnother(int vertexEdge, G3EdgeList* other, int hitEdge, const double* hit, G3Surface* surface,
                               bool sameOrientation, long bridgeFlags)
{
    G3Vertex* v = GetEdge(vertexEdge)->GetVertex1();
    G3Edge* cut = other->GetEdge(hitEdge);
    bool split =
        !G3Point::Equals(hit, cut->GetVertex1()->GetXYZ()) && !G3Point::Equals(hit, cut->GetVertex2()->GetXYZ());
    if (split && !surface)
        return false;
    // A hole runs against its outer contour and with its sibling holes, so
    // the joined loop bounds the region between them.
    if ((GetSignedArea() * other->GetSignedArea() > 0) != sameOrientation) {
        Reverse();
        for (int k = 0; k < size(); ++k)
            if (GetEdge(k)->GetVertex1() == v)
                vertexEdge = k;
    }
    int n = size();
    G3Normal* nv;
    G3TexCoo* tv;
    EndData(GetEdge((vertexEdge + n - 1) % n), 1, &nv, &tv);
    std::vector<G3Edge*> loop;
    for (int k = 0; k < n; ++k)
        loop.push_back(GetEdge((vertexEdge + k) % n));
    Landing landing;
    Land(other, hitEdge, hit, surface, landing);
    clear();
    other->clear();
    for (G3Edge* e : loop)
        add(e);
    AddEdge(v, landing.x, nv, landing.n, tv, landing.t, bridgeFlags);
    for (G3Edge* e : landing.around)
        add(e);
    AddEdge(landing.x, v, landing.n, nv, landing.t, tv, bridgeFlags);
    FormEnvelope();
    return true;
}
