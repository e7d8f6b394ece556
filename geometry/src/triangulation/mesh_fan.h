#pragma once
// The fan of a vertex: the half-edges that leave it, one per triangle
// around it. The fan is a full circle around an inner vertex and is cut by
// the mesh's outside at a vertex on the border, so a walk that meets the
// outside turning one way must go back to its start and turn the other.

#include "triangulation/mesh.h"

// Calls visit(h) for the half-edges with the origin of start: from start
// counterclockwise until the next would be the outside or start again;
// when the outside ended that turn, from start clockwise until the
// outside. Stops at the first half-edge for which visit returns true, and
// then returns true.
template <class Visit> bool VisitFan(const G3TMesh& mesh, const G3TOTri& start, Visit&& visit)
{
    using namespace g3t;
    G3TOTri h = start;
    for (;;) {
        if (visit(h))
            return true;
        G3TOTri next = Sym(Lprev(h));
        if (mesh.IsOuter(next))
            break;
        h = next;
        if (h == start)
            return false; // the whole circle was visited
    }
    h = start;
    for (;;) {
        G3TOTri back = Sym(h);
        if (mesh.IsOuter(back))
            return false;
        h = Lnext(back);
        if (h == start)
            return false;
        if (visit(h))
            return true;
    }
}
