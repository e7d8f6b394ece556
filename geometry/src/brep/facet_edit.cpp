#include <vector>

#include "brep/loop_walk.h"
#include "tessaly/facet.h"
#include "tessaly/trace.h"

namespace {
// Clears f's side of e (facet pointer and link).
void ClearSide(G3Edge* e, const G3Facet* f)
{
    if (e->GetFacet1() == f) {
        e->SetFacet1(nullptr);
        e->SetFacet1Edge(nullptr);
    } else if (e->GetFacet2() == f) {
        e->SetFacet2(nullptr);
        e->SetFacet2Edge(nullptr);
    }
}

// Leaves the vertex rings when no facet remains on either side.
void DetachIfFree(G3Edge* e)
{
    if (e->GetFacet1() || e->GetFacet2())
        return;
    e->GetVertex1()->RemoveEdge(e);
    e->GetVertex2()->RemoveEdge(e);
}

bool Touches(const G3Edge* e, const G3Vertex* v)
{
    return e->GetVertex1() == v || e->GetVertex2() == v;
}

G3Vertex* MapVertex(G3Vertex* v)
{
    auto* target = dynamic_cast<G3Vertex*>(v->GetExData());
    return target ? target : v;
}

// Rebuilds f's list from edges (links on f's side rewritten).
void Relink(G3Facet* f, const std::vector<G3Edge*>& edges)
{
    for (std::size_t k = 0; k < edges.size(); ++k)
        edges[k]->SetFacetNext(f, k + 1 < edges.size() ? edges[k + 1] : nullptr);
}
} // namespace

void G3Facet::RemoveEdges()
{
    G3Edge* e = m_FirstEdge;
    m_FirstEdge = m_LastEdge = nullptr;
    while (e) {
        G3Edge* following = e->GetFacetNext(this);
        ClearSide(e, this);
        DetachIfFree(e);
        e = following;
    }
}

bool G3Facet::RemoveSmallEdges()
{
    std::vector<G3Edge*> edges;
    G3FacetEdges(this, edges);
    std::vector<G3Edge*> kept;
    for (G3Edge* e : edges) {
        if (MapVertex(e->GetVertex1()) == MapVertex(e->GetVertex2())) {
            ClearSide(e, this);
            DetachIfFree(e);
        } else {
            kept.push_back(e);
        }
    }
    m_FirstEdge = kept.empty() ? nullptr : kept.front();
    m_LastEdge = kept.empty() ? nullptr : kept.back();
    Relink(this, kept);
    if (kept.size() >= 3)
        return false;
    RemoveEdges();
    return true;
}

bool G3Facet::ChangeEdges(G3Edge* oldEdge, G3Edge* newEdge)
{
    if (!oldEdge || !newEdge || oldEdge == newEdge)
        return false;
    std::vector<G3Edge*> edges;
    G3FacetEdges(this, edges);
    std::size_t k = 0;
    while (k < edges.size() && edges[k] != oldEdge)
        ++k;
    if (k == edges.size())
        return false;
    bool toSide2 = newEdge->GetFacet1() != nullptr;
    if (toSide2 ? newEdge->GetFacet1() == this : newEdge->GetFacet2() == this) {
        GTrace(toSide2 ? "bad Change Facet to 2" : "bad Change Facet to 1");
        return false;
    }
    G3Normal *n1 = nullptr, *n2 = nullptr;
    G3TexCoo *t1 = nullptr, *t2 = nullptr;
    oldEdge->GetNormals(this, &n1, &t1, &n2, &t2);
    if (toSide2)
        newEdge->SetFacet2(this);
    else
        newEdge->SetFacet1(this);
    if (n1 || n2 || t1 || t2)
        newEdge->SetNormals(this, oldEdge->GetVertex1(), n1, t1, oldEdge->GetVertex2(), n2, t2);
    ClearSide(oldEdge, this);
    newEdge->SetFlags(newEdge->GetFlags() | oldEdge->GetFlags());
    edges[k] = newEdge;
    Relink(this, edges);
    m_FirstEdge = edges.front();
    m_LastEdge = edges.back();
    return true;
}

void G3Facet::ChangeEdgeToVertex(G3Edge* e, G3Vertex* v)
{
    if (!e || !v)
        return;
    G3Vertex* a = e->GetVertex1();
    G3Vertex* b = e->GetVertex2();
    auto mapped = [&](G3Vertex* x) { return x == a || x == b ? v : x; };
    std::vector<G3Edge*> edges;
    G3FacetEdges(this, edges);
    std::vector<G3Edge*> kept;
    for (G3Edge* x : edges) {
        G3Vertex* m1 = mapped(x->GetVertex1());
        G3Vertex* m2 = mapped(x->GetVertex2());
        if (m1 == m2) {
            ClearSide(x, this);
            continue;
        }
        for (int end = 0; end < 2; ++end) {
            G3Vertex* old = end == 0 ? x->GetVertex1() : x->GetVertex2();
            if ((end == 0 ? m1 : m2) != v || old == v)
                continue;
            old->RemoveEdge(x);
            x->SetVertexNext(old, nullptr);
            if (end == 0)
                x->SetVertex1(v);
            else
                x->SetVertex2(v);
            x->SetVertexNext(v, nullptr);
            v->AddEdge(x);
        }
        kept.push_back(x);
    }
    m_FirstEdge = kept.empty() ? nullptr : kept.front();
    m_LastEdge = kept.empty() ? nullptr : kept.back();
    Relink(this, kept);
}

bool G3Facet::DivideEdge(G3Edge* e, int n, G3Edge** chain)
{
    if (!e || n < 1 || !chain)
        return false;
    for (int c = 0; c < n; ++c)
        if (!chain[c])
            return false;
    std::vector<G3LoopEdge> walk;
    G3WalkFacet(this, walk);
    std::size_t k = 0;
    while (k < walk.size() && walk[k].edge != e)
        ++k;
    if (k == walk.size())
        return false;
    // The chain may be given from either end of e.
    bool forward = Touches(chain[0], e->GetVertex1()) && Touches(chain[n - 1], e->GetVertex2());
    bool backward = Touches(chain[0], e->GetVertex2()) && Touches(chain[n - 1], e->GetVertex1());
    if (!forward && !backward)
        return false;
    for (int c = 0; c < n; ++c)
        if (chain[c]->GetFacet1() != this && chain[c]->GetFacet2() != this)
            return false;
    // Walked from e's vertex 2, or given from it, the chain goes in reversed.
    bool reversed = (walk[k].start == e->GetVertex2()) != !forward;
    std::vector<G3Edge*> edges;
    for (const G3LoopEdge& w : walk) {
        if (w.edge != e) {
            edges.push_back(w.edge);
            continue;
        }
        for (int c = 0; c < n; ++c)
            edges.push_back(chain[reversed ? n - 1 - c : c]);
    }
    ClearSide(e, this);
    Relink(this, edges);
    m_FirstEdge = edges.front();
    m_LastEdge = edges.back();
    return true;
}

void G3Facet::RotateEdges()
{
    std::vector<G3Edge*> edges;
    G3FacetEdges(this, edges);
    if (edges.size() < 2)
        return;
    std::vector<G3Edge*> reversed(edges.rbegin(), edges.rend());
    Relink(this, reversed);
    m_FirstEdge = reversed.front();
    m_LastEdge = reversed.back();
}

void G3Facet::NegPlane()
{
    RotateEdges();
    for (double& c : m_Plane)
        c = -c;
}
