// The repair sequences of Update, by level.
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
    case CHECK_LEVEL_1003:
        // 1003 adds the boolean calculator's self-intersection removal once
        // the booleans exist; until then it repairs as 1002.
        RemoveSelfIntersections();
        RemoveEqualsFacets();
        OrientNormals2(false);
        break;
    default: break;
    }
    ReallocByRealSize();
    if (!GetClosed())
        ExtendDoubleSidedFacets();
}
