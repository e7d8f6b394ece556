#include <vector>

#include "brep/loop_walk.h"
#include "tessaly/facet.h"

bool G3Facet::ContainsVertex(G3Vertex* v)
{
    G3FacetVertexIterator it(this);
    while (it.hasNext())
        if (it.next() == v)
            return true;
    return false;
}

bool G3Facet::HasEdge(G3Vertex* a, G3Vertex* b)
{
    bool foundA = false, foundB = false;
    G3FacetVertexIterator it(this);
    while (it.hasNext()) {
        GObj* v = it.next();
        foundA = foundA || v == a;
        foundB = foundB || v == b;
    }
    return foundA && foundB;
}

bool G3Facet::GetMoveDirection(G3Edge* e)
{
    std::vector<G3LoopEdge> walk;
    G3WalkFacet(this, walk);
    for (const G3LoopEdge& w : walk)
        if (w.edge == e)
            return w.start == e->GetVertex1();
    return false;
}

void G3Facet::GetEdges(GArrayCollection* out)
{
    if (!out)
        return;
    out->clear();
    for (G3Edge* e = m_FirstEdge; e; e = GetNextEdge(e))
        out->add(e);
}

void G3Facet::GetVertices(GArrayCollection* out)
{
    if (!out)
        return;
    out->clear();
    G3FacetVertexIterator it(this);
    while (it.hasNext())
        out->add(it.next());
}

void G3Facet::GetVerticesIds(GArrayCollection* out, int offset)
{
    if (!out)
        return;
    out->clear();
    G3FacetVertexIterator it(this);
    while (it.hasNext()) {
        auto* v = static_cast<G3Vertex*>(it.next());
        out->add(G3IntToElement(static_cast<std::intptr_t>(v->GetId() + offset)));
    }
}

void G3Facet::GetLoops(GArrayCollection* vertices, GArrayCollection* loopStarts)
{
    if (!vertices)
        return;
    vertices->clear();
    if (loopStarts)
        loopStarts->clear();
    std::vector<G3LoopEdge> walk;
    G3WalkFacet(this, walk);
    int loop = -1;
    for (std::size_t k = 0; k < walk.size(); ++k) {
        if (walk[k].loop != loop && loopStarts)
            loopStarts->add(G3IntToElement(static_cast<std::intptr_t>(k)));
        loop = walk[k].loop;
        vertices->add(walk[k].start);
    }
}
