#include "io/element_positions.h"

#include "tessaly/elements.h"

G3ElementPositions::G3ElementPositions(GArrayCollection* list) : m_Size(list ? list->size() : 0)
{
    // When every id already equals its position (no removal since the last
    // AssignIds), ids are read directly and no map is built.
    for (int k = 0; k < m_Size && m_IdsArePositions; ++k)
        m_IdsArePositions = static_cast<G3Obj*>(list->get(k))->GetId() == k;
    if (m_IdsArePositions)
        return;
    m_Positions.reserve(static_cast<std::size_t>(m_Size));
    for (int k = 0; k < m_Size; ++k)
        m_Positions.emplace(list->get(k), k);
}

int G3ElementPositions::Of(const GObj* element) const
{
    if (!element)
        return -1;
    if (m_IdsArePositions) {
        long id = static_cast<const G3Obj*>(element)->GetId();
        return id >= 0 && id < m_Size ? static_cast<int>(id) : -1;
    }
    auto found = m_Positions.find(element);
    return found == m_Positions.end() ? -1 : found->second;
}
