#pragma once
#include "tessaly/elements.h"

// A new edge a-b with the given flags whose two sides both carry (na, ta)
// at a and (nb, tb) at b: the piece of a contour edge, or a bridge, that
// keeps the shading of what it was cut from.
inline G3Edge* NewShadedEdge(G3Vertex* a, G3Vertex* b, long flags, G3Normal* na, G3TexCoo* ta, G3Normal* nb,
                             G3TexCoo* tb)
{
    auto* e = new G3Edge(a, b);
    e->SetFlags(flags);
    e->SetFacet1V1(na, ta);
    e->SetFacet1V2(nb, tb);
    e->SetFacet2V1(na, ta);
    e->SetFacet2V2(nb, tb);
    return e;
}
