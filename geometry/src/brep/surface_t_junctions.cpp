// T-junctions: a vertex of one facet lying inside an edge of another. The
// edge is split there, so both facets run through the vertex and the body
// can close.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "brep/point_hash_size.h"
#include "core/tolerances.h"
#include "tessaly/hashes.h"
#include "tessaly/surface.h"
#include "tessaly/trace.h"

using tessaly::kLengthTolerance;

namespace {
// The distance of p from the line through a with direction d.
double DistanceFromLine(const double* a, const double* d, const double* p)
{
    double w[3] = {a[0] - p[0], a[1] - p[1], a[2] - p[2]};
    double c[3] = {d[1] * w[2] - d[2] * w[1], d[2] * w[0] - d[0] * w[2], d[0] * w[1] - d[1] * w[0]};
    double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    return std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]) / length;
}

// v already lies on the boundary of a facet of e.
bool OnFacetOf(G3Vertex* v, const G3Edge* e)
{
    for (G3Edge* x = v->GetFirstEdge(); x; x = x->GetVertexNext(v))
        for (G3Facet* f : {x->GetFacet1(), x->GetFacet2()})
            if (f && (f == e->GetFacet1() || f == e->GetFacet2()))
                return true;
    return false;
}

// The shading of one end of e on each facet side, for the new end edges.
struct EndShading {
    G3Normal* n[2];
    G3TexCoo* t[2];
};

EndShading ShadingAt(const G3Edge* e, bool vertex1)
{
    EndShading s{};
    s.n[0] = vertex1 ? e->GetFacet1V1(&s.t[0]) : e->GetFacet1V2(&s.t[0]);
    s.n[1] = vertex1 ? e->GetFacet2V1(&s.t[1]) : e->GetFacet2V2(&s.t[1]);
    return s;
}
} // namespace

void G3Surface::RemoveEqualsVertexAndDivideEdges()
{
    GTrace("RemoveEqualsVertexAndDivideEdges");
    GEnvelope box;
    if (FormEnvelope(&box)) {
        G3PointHash hash(G3PointHashSizeFor(GetVertexCount()), box.GetMin(), box.GetMax(), kLengthTolerance);
        RemoveEqualsVertex(&hash);
        RemoveEqualsVertex2(&hash);
        DivideEdgesByVertex(&hash);
        RemoveUnused();
    }
    GTrace("RemoveEqualsVertexAndDivideEdges Ok");
}

int G3Surface::DivideEdgesByVertex(G3PointHash* hash)
{
    GArrayCollection snapshot;
    for (int k = 0; k < GetEdgeCount(); ++k)
        snapshot.add(GetEdge(k));
    return DivideEdgesByVertex(&snapshot, hash);
}

int G3Surface::DivideEdgesByVertex(GArrayCollection* edges, G3PointHash* hash)
{
    if (!edges || !hash)
        return 0;
    int divided = 0;
    GArrayCollection candidates;
    for (int k = 0; k < edges->size(); ++k) {
        auto* e = static_cast<G3Edge*>(edges->get(k));
        GEnvelope box;
        e->FormEnvelope(&box);
        hash->GetItems(&box, &candidates);
        divided += DivideEdgeByVertex(e, &box, &candidates);
    }
    char label[32];
    std::snprintf(label, sizeof label, "qDiv=%d", divided);
    GTrace(label);
    return divided;
}

bool G3Surface::DivideEdgeByVertex(G3Edge* e, GEnvelope* box, GArrayCollection* candidates)
{
    if (!e || !box || !candidates || candidates->size() == 0)
        return false;
    const int k = box->GetMaxCoo();
    std::vector<G3Vertex*> sorted;
    for (int i = 0; i < candidates->size(); ++i)
        if (auto* v = dynamic_cast<G3Vertex*>(static_cast<GObj*>(candidates->get(i))))
            sorted.push_back(v);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [k](const G3Vertex* a, const G3Vertex* b) { return a->GetXYZ(k) < b->GetXYZ(k); });
    const double* a = e->GetVertex1()->GetXYZ();
    const double* b = e->GetVertex2()->GetXYZ();
    const double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double low = std::min(a[k], b[k]) + kLengthTolerance;
    const double high = std::max(a[k], b[k]) - kLengthTolerance;
    auto first = std::lower_bound(sorted.begin(), sorted.end(), low,
                                  [k](const G3Vertex* v, double value) { return v->GetXYZ(k) < value; });
    std::vector<G3Vertex*> inside;
    for (auto it = first; it != sorted.end() && (*it)->GetXYZ(k) <= high; ++it)
        if (DistanceFromLine(a, d, (*it)->GetXYZ()) <= kLengthTolerance && !OnFacetOf(*it, e))
            inside.push_back(*it);
    if (inside.empty())
        return false;
    SplitEdge(e, static_cast<int>(inside.size()), inside.data(), d[k] < 0);
    return true;
}

void G3Surface::SplitEdge(G3Edge* e, int n, G3Vertex** p, bool reversed)
{
    if (!e || n < 1 || !p)
        return;
    std::vector<G3Vertex*> points(p, p + n);
    if (reversed)
        std::reverse(points.begin(), points.end());
    G3Facet* facets[2] = {e->GetFacet1(), e->GetFacet2()};
    const EndShading start = ShadingAt(e, true), end = ShadingAt(e, false);
    std::vector<G3Vertex*> path{e->GetVertex1()};
    path.insert(path.end(), points.begin(), points.end());
    path.push_back(e->GetVertex2());
    std::vector<G3Edge*> chain;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        auto* piece = new G3Edge(path[i], path[i + 1]);
        piece->SetFlags(e->GetFlags());
        piece->SetFacet1(facets[0]);
        piece->SetFacet2(facets[1]);
        chain.push_back(piece);
    }
    chain.front()->SetFacet1V1(start.n[0], start.t[0]);
    chain.front()->SetFacet2V1(start.n[1], start.t[1]);
    chain.back()->SetFacet1V2(end.n[0], end.t[0]);
    chain.back()->SetFacet2V2(end.n[1], end.t[1]);
    for (G3Facet* f : facets)
        if (f)
            f->DivideEdge(e, static_cast<int>(chain.size()), chain.data());
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        AddEdgeToCollection(*it);
        (*it)->GetVertex1()->AddEdge(*it);
        (*it)->GetVertex2()->AddEdge(*it);
    }
    if (e->HasGeometry()) {
        for (auto v = points.rbegin(); v != points.rend(); ++v)
            for (G3Facet* f : facets) {
                G3Normal* normal = nullptr;
                G3TexCoo* tex = nullptr;
                if (!f || !f->Interpolate(e, (*v)->GetXYZ(), &normal, &tex))
                    continue;
                f->SetNormal(*v, normal ? AddNormal(normal) : nullptr, tex ? AddTexCoo(tex) : nullptr, true);
                delete normal;
                delete tex;
            }
    }
    e->GetVertex1()->RemoveEdge(e);
    e->GetVertex2()->RemoveEdge(e);
    e->SetFacet1(nullptr);
    e->SetFacet2(nullptr);
    RemoveEdge(e);
}
