#pragma once
// Positions of elements in their lists, for writers that must not rely on
// ids (ids go stale after removals and are the host's to keep).

#include <unordered_map>

#include "tessaly/containers.h"

class G3ElementPositions {
public:
    explicit G3ElementPositions(GArrayCollection* list);
    // The element's position, -1 for null or an element not in the list.
    int Of(const GObj* element) const;

private:
    bool m_IdsArePositions = true;
    int m_Size = 0;
    std::unordered_map<const GObj*, int> m_Positions;
};
