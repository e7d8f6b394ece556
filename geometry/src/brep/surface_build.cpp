// Building a body: edges and facets.
#include <unordered_set>
#include <vector>

#include "tessaly/surface.h"

namespace {
// Gives f the free side of e when e can take it: not when f already lies on
// its other side (f's edge list would then run into itself).
bool TakeFreeSide(G3Edge* e, G3Facet* f)
{
    if (!e->GetFacet1() && e->GetFacet2() != f)
        e->SetFacet1(f);
    else if (!e->GetFacet2() && e->GetFacet1() != f)
        e->SetFacet2(f);
    else
        return false;
    return true;
}

// The first edge a-b, in a's ring order, that takes a free side for f.
// a's ring is walked side by side with b's. When b's ring ends first it has
// shown every edge a-b: none left unmet means none; a single one is the
// only candidate, whatever its place in a's ring. So a vertex of high
// degree (the centre of a fan) costs the degree of its partner, not its
// own; only two or more edges a-b need the rest of a's ring for the order.
G3Edge* ShareExistingEdge(G3Vertex* a, G3Vertex* b, G3Facet* f)
{
    int metInA = 0, metInB = 0;
    G3Edge* lastInB = nullptr;
    G3Edge* ea = a->GetFirstEdge();
    for (G3Edge* eb = b->GetFirstEdge(); ea && eb; ea = ea->GetVertexNext(a), eb = eb->GetVertexNext(b)) {
        if (eb->GetOtherVertex(b) == a) {
            ++metInB;
            lastInB = eb;
        }
        if (ea->GetOtherVertex(a) != b)
            continue;
        ++metInA;
        if (TakeFreeSide(ea, f))
            return ea;
    }
    if (ea && metInA == metInB)
        return nullptr; // b's ring is complete and all its edges a-b were tried
    if (ea && metInB == 1)
        return TakeFreeSide(lastInB, f) ? lastInB : nullptr;
    for (; ea; ea = ea->GetVertexNext(a))
        if (ea->GetOtherVertex(a) == b && TakeFreeSide(ea, f))
            return ea;
    return nullptr;
}
} // namespace

G3Edge* G3Surface::AddEdge(G3Vertex* a, G3Vertex* b, G3Facet* f)
{
    if (!a || !b || a == b || !m_Edges)
        return nullptr;
    if (f) {
        if (G3Edge* e = ShareExistingEdge(a, b, f)) {
            f->AddEdge(e);
            e->SetFlags(e->GetFlags() | m_EdgeFlags);
            return e;
        }
    }
    auto* e = new G3Edge(a, b);
    e->SetFlags(m_EdgeFlags);
    e->SetFacet1(f);
    a->AddEdge(e);
    b->AddEdge(e);
    if (f)
        f->AddEdge(e);
    return AddEdgeToCollection(e);
}

G3Facet* G3Surface::FinishFacet(G3Facet* f, int edges)
{
    if (edges < 3) {
        // Edges left without any facet go too, so a refused facet leaves
        // no edge outside the rings.
        std::vector<G3Edge*> own;
        for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e))
            own.push_back(e);
        f->RemoveEdges();
        for (G3Edge* e : own)
            if (!e->GetFacet1() && !e->GetFacet2())
                RemoveEdge(e);
        delete f;
        return nullptr;
    }
    AddFacetToCollection(f);
    f->FormPlaneEquation();
    return f;
}

G3Facet* G3Surface::AddFacet(int n, G3Vertex** v, int* flags, G3Normal** nrm, G3TexCoo** tex)
{
    if (n < 3 || !v || !m_Facets)
        return nullptr;
    auto* facet = new G3Facet;
    facet->SetSurface(m_SurfaceValue);
    facet->SetParent(this);
    int count = 0;
    for (int i = 0; i < n; ++i) {
        int j = (i + 1) % n;
        if (flags)
            SetEdgeFlags(flags[i]);
        G3Edge* e = AddEdge(v[i], v[j], facet);
        if (!e)
            continue;
        ++count;
        if (nrm)
            e->SetNormals(facet, v[i], nrm[i], tex ? tex[i] : nullptr, v[j], nrm[j], tex ? tex[j] : nullptr);
    }
    G3Facet* result = FinishFacet(facet, count);
    if (m_ComplexOpen && result)
        static_cast<GArrayCollection*>(GetExData())->add(result);
    return result;
}

G3Facet* G3Surface::AddFacet(int n, G3Vertex** v, int flags, G3Normal** nrm, G3TexCoo** tex)
{
    if (n < 3)
        return nullptr;
    std::vector<int> all(static_cast<std::size_t>(n), flags);
    return AddFacet(n, v, all.data(), nrm, tex);
}

G3Facet* G3Surface::AddFacet(int n, const int* v, int flags, const int* nrm, const int* tex)
{
    if (n < 3 || !v)
        return nullptr;
    std::vector<G3Vertex*> vertices(static_cast<std::size_t>(n));
    std::vector<G3Normal*> normals(static_cast<std::size_t>(n));
    std::vector<G3TexCoo*> texCoos(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        if (v[k] < 0 || v[k] >= GetVertexCount())
            return nullptr;
        if (nrm && (nrm[k] < 0 || nrm[k] >= GetNormalCount()))
            return nullptr;
        if (nrm && tex && (tex[k] < 0 || tex[k] >= GetTexCooCount()))
            return nullptr;
        vertices[static_cast<std::size_t>(k)] = GetVertex(v[k]);
        normals[static_cast<std::size_t>(k)] = nrm ? GetNormal(nrm[k]) : nullptr;
        texCoos[static_cast<std::size_t>(k)] = nrm && tex ? GetTexCoo(tex[k]) : nullptr;
    }
    return AddFacet(n, vertices.data(), flags, nrm ? normals.data() : nullptr, tex ? texCoos.data() : nullptr);
}

G3Facet* G3Surface::AddOneFacetFromVertices(G3Vertex** v, int n)
{
    return AddFacet(n, v, m_EdgeFlags, nullptr, nullptr);
}

G3Facet* G3Surface::AddFacet(GArrayCollection* edges, int flags, int surface)
{
    if (!edges || edges->size() < 3 || !m_Facets)
        return nullptr;
    auto* facet = new G3Facet;
    facet->SetFlags(flags);
    facet->SetSurface(surface);
    facet->SetParent(this);
    int count = 0;
    // The templates are read before the loop: a template that is itself an
    // edge of this body may be reused by AddEdge and change under us.
    std::vector<G3Edge*> templates;
    for (int k = 0; k < edges->size(); ++k)
        templates.push_back(static_cast<G3Edge*>(edges->get(k)));
    for (G3Edge* x : templates) {
        SetEdgeFlags(static_cast<int>(x->GetFlags()));
        G3TexCoo *t1, *t2;
        G3Normal* n1 = x->GetFacet1V1(&t1);
        G3Normal* n2 = x->GetFacet1V2(&t2);
        G3Edge* e = AddEdge(x->GetVertex1(), x->GetVertex2(), facet);
        if (!e)
            continue;
        ++count;
        if (n1 || n2 || t1 || t2)
            e->SetNormals(facet, x->GetVertex1(), n1, t1, x->GetVertex2(), n2, t2);
    }
    return FinishFacet(facet, count);
}

void G3Surface::AddFacets(GArrayCollection* contours)
{
    if (!contours)
        return;
    for (int k = 0; k < contours->size(); ++k) {
        auto* contour = static_cast<G3EdgeList*>(contours->get(k));
        AddFacet(contour, contour->GetFacetFlags(), contour->GetFacetSurface());
        delete contour;
    }
    contours->clear();
}

void G3Surface::AddFacetsEx(GArrayCollection* contours, G3Facet*, int)
{
    AddFacets(contours);
}

void G3Surface::BeginComplexFacet()
{
    if (m_ComplexOpen)
        delete GetExData();
    SetExData(new GArrayCollection);
    m_ComplexOpen = true;
}

void G3Surface::EndComplexFacet()
{
    if (!m_ComplexOpen)
        return;
    auto* collected = static_cast<GArrayCollection*>(GetExData());
    SetExData(nullptr);
    m_ComplexOpen = false;
    if (!collected->isEmpty()) {
        auto* first = static_cast<G3Facet*>(collected->get(0));
        G3EdgeList contour(first);
        contour.FormMaxPlaneCoo();
        for (int k = 1; k < collected->size(); ++k)
            contour.AddEdges(static_cast<G3Facet*>(collected->get(k)));
        // The collected facets go; so do their edges that no other facet
        // keeps.
        std::vector<G3Edge*> freed;
        std::unordered_set<G3Edge*> seen;
        for (int k = 0; k < collected->size(); ++k) {
            auto* f = static_cast<G3Facet*>(collected->get(k));
            for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e))
                if (seen.insert(e).second)
                    freed.push_back(e);
            RemoveFacet(f);
        }
        for (G3Edge* e : freed)
            if (!e->GetFacet1() && !e->GetFacet2())
                RemoveEdge(e);
        GArrayCollection result;
        contour.RemoveSelfIntersections(&result, this, true, UNION_EDGE_KEEP_ALL, 0);
        AddFacets(&result);
    }
    delete collected;
}
