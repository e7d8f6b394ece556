#include "resize_layout.h"

#include <algorithm>

namespace {

struct Shift {
    int move = 0;
    int stretch = 0;
};

// The movement of one edge pair along one axis for a change of `delta`.
Shift ShiftFor(int delta, LayoutShare share, bool moves, bool stretches)
{
    const int divisor = std::max(share.divisor, 1);
    const int part = delta / divisor;
    Shift shift;
    if (moves)
        shift.move = divisor < 2 ? part : part * share.index;
    if (stretches) {
        const bool last = share.index >= divisor - 1;
        shift.stretch = part + (last ? delta - part * divisor : 0);
    }
    return shift;
}

} // namespace

CResizeLayout::CResizeLayout(int clientWidth, int clientHeight)
    : m_minWidth(clientWidth), m_minHeight(clientHeight), m_lastWidth(clientWidth), m_lastHeight(clientHeight)
{
}

int CResizeLayout::Add(const IntRect& rect, unsigned flags, LayoutShare x, LayoutShare y)
{
    m_controls.push_back({flags, x, y});
    m_rects.push_back(rect);
    return static_cast<int>(m_rects.size()) - 1;
}

const std::vector<IntRect>& CResizeLayout::Resize(int clientWidth, int clientHeight)
{
    clientWidth = std::max(clientWidth, m_minWidth);
    clientHeight = std::max(clientHeight, m_minHeight);
    const int dx = clientWidth - m_lastWidth;
    const int dy = clientHeight - m_lastHeight;
    std::vector<IntRect> next = m_rects;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const Control& control = m_controls[i];
        const Shift x = ShiftFor(dx, control.x, control.flags & kMoveX, control.flags & kStretchX);
        const Shift y = ShiftFor(dy, control.y, control.flags & kMoveY, control.flags & kStretchY);
        IntRect& rect = next[i];
        rect = {rect.left + x.move, rect.top + y.move, rect.right + x.move + x.stretch,
                rect.bottom + y.move + y.stretch};
    }
    m_rects = std::move(next);
    m_lastWidth = clientWidth;
    m_lastHeight = clientHeight;
    return m_rects;
}
