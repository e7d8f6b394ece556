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
    default: break;
    }
    ReallocByRealSize();
    if (!GetClosed())
        ExtendDoubleSidedFacets();
}
