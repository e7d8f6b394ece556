// The resize rules of a dialog: each registered control moves or stretches
// with the change of the client size, by a share of it. The client never
// gets smaller than it was at the start.
#pragma once

#include "int_rect.h"

#include <vector>

enum LayoutFlags : unsigned {
    kMoveX = 1,    // moves right with the width change
    kMoveY = 2,    // moves down with the height change
    kStretchX = 4, // its right edge moves with the width change
    kStretchY = 8, // its bottom edge moves with the height change
};

// A control's part of a change: the change divided by `divisor`, taken
// `index` times when moving. Controls side by side that stretch together
// have one divisor and indices 0, 1, ...; the last takes the remainder.
struct LayoutShare {
    int divisor = 1;
    int index = 0;
};

class CResizeLayout {
public:
    // The client size the controls were placed for; also the smallest.
    explicit CResizeLayout(int clientWidth = 0, int clientHeight = 0);

    // Registers a control at `rect`; returns its index.
    int Add(const IntRect& rect, unsigned flags, LayoutShare x = {}, LayoutShare y = {});

    // The controls' rectangles for a new client size (brought up to the
    // smallest size first); all are computed before any is returned.
    const std::vector<IntRect>& Resize(int clientWidth, int clientHeight);

    const std::vector<IntRect>& Rects() const { return m_rects; }
    int MinimumWidth() const { return m_minWidth; }
    int MinimumHeight() const { return m_minHeight; }

private:
    struct Control {
        unsigned flags;
        LayoutShare x;
        LayoutShare y;
    };

    int m_minWidth;
    int m_minHeight;
    int m_lastWidth;
    int m_lastHeight;
    std::vector<Control> m_controls;
    std::vector<IntRect> m_rects;
};
