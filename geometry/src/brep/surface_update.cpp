// The repair sequences of Update, by level.
#include "tessaly/boolean.h"
#include "tessaly/surface.h"

void G3Surface::Update(CHECK_LEVEL level)
{
    switch (level) {
    case CHECK_LEVEL_1001:
        RemoveEqualsVertex();
        RemoveEqualsNormal();
        RemoveNonManifoldEdges();
        OrientNormals2(false);
        break;
    case CHECK_LEVEL_1002:
        RemoveSelfIntersections();
        RemoveEqualsFacets();
        OrientNormals2(false);
        break;
    case CHECK_LEVEL_1003: {
        // Facets that cross themselves, then facets that cross each other.
        RemoveSelfIntersections();
        G3BooleanCalculator calculator;
        calculator.RemoveSelfIntersection(this);
        OrientNormals2(false);
        break;
    }
    default: break;
    }
    ReallocByRealSize();
    if (!GetClosed())
        ExtendDoubleSidedFacets();
}
