// The open boundary of a body: loops of edges with a facet on one side
// only, and facets that close them.
#include <vector>

#include "tessaly/contour.h"
#include "tessaly/surface.h"

namespace {
// The facet of an edge that has exactly one.
G3Facet* OnlyFacet(const G3Edge* e)
{
    G3Facet* f1 = e->GetFacet1();
    G3Facet* f2 = e->GetFacet2();
    return (f1 != nullptr) != (f2 != nullptr) ? (f1 ? f1 : f2) : nullptr;
}

// The vertex where e ends when walked in its facet's direction.
G3Vertex* EndInFacet(G3Edge* e)
{
    G3Facet* f = OnlyFacet(e);
    return f->GetMoveDirection(e) ? e->GetVertex2() : e->GetVertex1();
}

G3Vertex* StartInFacet(G3Edge* e)
{
    return e->GetOtherVertex(EndInFacet(e));
}

// The next open edge after e: one leaving e's end (in its own facet's
// direction) that is not walked yet.
G3Edge* NextOpenEdge(G3Edge* e)
{
    G3Vertex* v = EndInFacet(e);
    for (G3Edge* x = v->GetFirstEdge(); x; x = x->GetVertexNext(v))
        if (x != e && !x->GetMark() && OnlyFacet(x) && StartInFacet(x) == v &&
            v->GetEdgeCount(x->GetOtherVertex(v)) == 1)
            return x;
    return nullptr;
}
} // namespace

int G3Surface::GetContour(GArrayCollection& contours)
{
    int found = 0;
    for (int k = 0; k < GetEdgeCount(); ++k) {
        G3Edge* first = GetEdge(k);
        if (first->GetMark() || !OnlyFacet(first) || first->GetVertex1()->GetEdgeCount(first->GetVertex2()) != 1)
            continue;
        // The loop as the open facets run it; the contour runs the other
        // way, as a facet closing the hole must.
        std::vector<G3Edge*> loop;
        for (G3Edge* e = first; e && !e->GetMark(); e = NextOpenEdge(e)) {
            e->SetMark();
            loop.push_back(e);
        }
        if (loop.size() < 3 || EndInFacet(loop.back()) != StartInFacet(loop.front()))
            continue;
        auto* contour = new G3EdgeList(0, 0);
        for (auto e = loop.rbegin(); e != loop.rend(); ++e)
            contour->AddEdge(EndInFacet(*e), StartInFacet(*e), nullptr, nullptr, nullptr, nullptr,
                             static_cast<int>((*e)->GetFlags()));
        contour->FormMaxPlaneCoo();
        contours.add(contour);
        ++found;
    }
    ChangeEdgeFlags(G3Obj::kMark, false);
    return found;
}

int G3Surface::EncloseHoles()
{
    GArrayCollection contours;
    int holes = GetContour(contours);
    for (int k = 0; k < contours.size(); ++k) {
        auto* contour = static_cast<G3EdgeList*>(contours.get(k));
        std::vector<G3Vertex*> vertices;
        for (int i = 0; i < contour->size(); ++i)
            vertices.push_back(contour->GetEdge(i)->GetVertex1());
        AddFacet(static_cast<int>(vertices.size()), vertices.data(), GetEdgeFlags(), nullptr, nullptr);
        delete contour;
    }
    return holes;
}

int G3Surface::FormContours(GArrayCollection* result)
{
    if (!result)
        return 0;
    int count = 0;
    for (int k = 0; k < GetFacetCount(); ++k) {
        G3EdgeList contour(GetFacet(k));
        count += contour.FormContours(result, UNION_EDGE_PARITY);
    }
    return count;
}

void G3Surface::GetAllAdjacentFaces(G3Facet* f, GArrayCollection* out)
{
    if (!out)
        return;
    out->clear();
    if (!f)
        return;
    GArrayCollection vertices;
    f->GetVertices(&vertices);
    f->SetMark();
    for (int i = 0; i < vertices.size(); ++i) {
        auto* v = static_cast<G3Vertex*>(vertices.get(i));
        for (G3Edge* x = v->GetFirstEdge(); x; x = x->GetVertexNext(v))
            for (G3Facet* g : {x->GetFacet1(), x->GetFacet2()})
                if (g && !g->GetMark()) {
                    g->SetMark();
                    out->add(g);
                }
    }
    f->ClearMark();
    for (int k = 0; k < out->size(); ++k)
        static_cast<G3Facet*>(out->get(k))->ClearMark();
}
