// Setting or clearing flag bits on every element of one kind, as the repair
// operations do with the scratch marks they borrow.
#include "tessaly/surface.h"

namespace {
void ChangeFlags(GArrayCollection* list, long flags, bool set)
{
    if (!list)
        return;
    for (int k = 0; k < list->size(); ++k) {
        auto* element = static_cast<G3Obj*>(list->get(k));
        if (set)
            element->SetFlag(flags);
        else
            element->ClearFlags(flags);
    }
}
} // namespace

void G3Shell::ChangeVertexFlags(long flags, bool set)
{
    ChangeFlags(m_Vertices, flags, set);
}

void G3Shell::ChangeEdgeFlags(long flags, bool set)
{
    ChangeFlags(m_Edges, flags, set);
}

void G3Shell::ChangeFacetFlags(long flags, bool set)
{
    ChangeFlags(m_Facets, flags, set);
}

void G3Shell::ChangeNormalFlags(long flags, bool set)
{
    ChangeFlags(m_Normals, flags, set);
}

void G3Shell::ChangeTexCooFlags(long flags, bool set)
{
    ChangeFlags(m_TexCoos, flags, set);
}
