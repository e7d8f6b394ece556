#include "zoom_model.h"

#include <algorithm>
#include <cmath>

void CZoomModel::Reset()
{
    m_bitmapWidth = 0;
    m_bitmapHeight = 0;
    m_firstShown = false;
    m_differencesKnown = false;
    m_fitMode = false;
    m_state = kZoomScaledPartial;
    m_scale = 1.0;
    m_view = {};
    m_centre = {};
}

void CZoomModel::SetClientSize(int width, int height)
{
    m_clientWidth = std::max(width, 0);
    m_clientHeight = std::max(height, 0);
}

void CZoomModel::Resize(int width, int height)
{
    SetClientSize(width, height);
    if (!HasBitmap())
        return;
    if (m_fitMode) {
        ZoomToWindow();
        return;
    }
    Place();
    Clamp();
    UpdateState();
}

void CZoomModel::SetDifferenceBox(const IntRect& inclusiveBox)
{
    m_differenceBox = inclusiveBox;
    m_differencesKnown = true;
}

bool CZoomModel::ShowBitmap(int width, int height)
{
    m_bitmapWidth = std::max(width, 0);
    m_bitmapHeight = std::max(height, 0);
    if (m_firstShown || !HasBitmap())
        return false;
    m_firstShown = true;
    m_centre = {m_bitmapWidth / 2, m_bitmapHeight / 2};
    m_scale = 1.0;
    m_view = WholeBitmap();
    if (m_differencesKnown)
        ZoomToDifferences();
    else
        ZoomToWindow();
    return true;
}

void CZoomModel::ZoomToWindow()
{
    if (!HasBitmap())
        return;
    m_fitMode = true;
    m_view = WholeBitmap();
    Fit();
    Clamp();
    UpdateState();
}

void CZoomModel::FullResolution()
{
    if (!HasBitmap())
        return;
    LeaveFitMode();
    m_scale = 1.0;
    m_centre = {m_bitmapWidth / 2, m_bitmapHeight / 2};
    Place();
    Clamp();
    UpdateState();
}

void CZoomModel::ZoomToDifferences()
{
    if (!HasBitmap())
        return;
    if (!m_differencesKnown) {
        ZoomToWindow();
        return;
    }
    LeaveFitMode();
    // The box includes its last pixels; the view rectangle ends past them.
    m_view = {m_differenceBox.left, m_differenceBox.top, m_differenceBox.right + 1, m_differenceBox.bottom + 1};
    Fit();
    m_scale = std::max(m_scale, 1.0); // never magnify
    Place();
    Clamp();
    UpdateState();
}

void CZoomModel::ZoomIn()
{
    if (!HasBitmap())
        return;
    LeaveFitMode();
    // At full resolution the scale stays, but the view still follows the
    // centre, which a wheel turn may have moved to the mouse point.
    if (m_state != kZoomFullPartial && m_state != kZoomFullWhole)
        m_scale = std::max(m_scale / kZoomStep, 1.0);
    Place();
    Clamp();
    UpdateState();
}

void CZoomModel::ZoomOut()
{
    if (!HasBitmap())
        return;
    LeaveFitMode();
    if (m_state == kZoomScaledWhole || m_state == kZoomFullWhole) {
        UpdateState();
        return;
    }
    if (2 * HalfClientWidth(m_scale) < m_bitmapWidth || 2 * HalfClientHeight(m_scale) < m_bitmapHeight)
        m_scale *= kZoomStep;
    Place();
    Clamp();
    UpdateState();
}

void CZoomModel::Drag(IntPoint from, IntPoint to)
{
    if (!HasBitmap())
        return;
    m_centre.x += static_cast<int>((from.x - to.x) * m_scale);
    m_centre.y += static_cast<int>((from.y - to.y) * m_scale);
    ClampCentre(m_scale);
    Place();
    Clamp();
}

std::optional<IntPoint> CZoomModel::WheelZoomIn(IntPoint client)
{
    if (!HasBitmap())
        return std::nullopt;
    const std::optional<IntPoint> over = ClientToBitmap(client);
    const IntPoint point = over ? *over : MapToBitmap(client);
    // Leave fit mode first: fitting would move the centre back to the middle.
    LeaveFitMode();
    m_centre = point;
    ClampCentre(std::max(m_scale / kZoomStep, 1.0));
    ZoomIn();
    if (!over)
        return std::nullopt;
    return BitmapToClient(point);
}

void CZoomModel::ScrollHorizontally(int position)
{
    const ScrollBarState bar = HorizontalBar();
    if (!HasBitmap() || !bar.Enabled())
        return;
    m_centre.x = std::clamp(position, 0, bar.range - bar.page) + HalfClientWidth(m_scale);
    Place();
    Clamp();
}

void CZoomModel::ScrollVertically(int position)
{
    const ScrollBarState bar = VerticalBar();
    if (!HasBitmap() || !bar.Enabled())
        return;
    m_centre.y = std::clamp(position, 0, bar.range - bar.page) + HalfClientHeight(m_scale);
    Place();
    Clamp();
}

ScrollBarState CZoomModel::HorizontalBar() const
{
    return {m_bitmapWidth, m_view.Width(), m_view.left};
}

ScrollBarState CZoomModel::VerticalBar() const
{
    return {m_bitmapHeight, m_view.Height(), m_view.top};
}

void CZoomModel::LeaveFitMode()
{
    if (!m_fitMode)
        return;
    Fit();
    m_fitMode = false;
}

// Centre on the view rectangle, at the scale that shows all of it. A
// minimised view has no client area: count it as one pixel, so that the
// scale stays finite.
void CZoomModel::Fit()
{
    m_centre = {(m_view.left + m_view.right) / 2, (m_view.top + m_view.bottom) / 2};
    const double width = std::max(m_clientWidth, 1);
    const double height = std::max(m_clientHeight, 1);
    m_scale = std::max(m_view.Width() / width, m_view.Height() / height);
    if (!(m_scale > 0.0))
        m_scale = 1.0;
}

void CZoomModel::Place()
{
    const int halfWidth = HalfClientWidth(m_scale);
    const int halfHeight = HalfClientHeight(m_scale);
    m_view = {m_centre.x - halfWidth, m_centre.y - halfHeight, m_centre.x + halfWidth, m_centre.y + halfHeight};
}

void CZoomModel::Clamp()
{
    const int pastRight = m_view.right - m_bitmapWidth;
    if (pastRight > 0) {
        m_view.left -= pastRight;
        m_view.right -= pastRight;
    }
    const int pastBottom = m_view.bottom - m_bitmapHeight;
    if (pastBottom > 0) {
        m_view.top -= pastBottom;
        m_view.bottom -= pastBottom;
    }
    if (m_view.left < 0) {
        m_view.right -= m_view.left;
        m_view.left = 0;
    }
    if (m_view.top < 0) {
        m_view.bottom -= m_view.top;
        m_view.top = 0;
    }
    if (m_view.Width() > m_bitmapWidth) {
        m_view.left = 0;
        m_view.right = m_bitmapWidth;
    }
    if (m_view.Height() > m_bitmapHeight) {
        m_view.top = 0;
        m_view.bottom = m_bitmapHeight;
    }
}

void CZoomModel::UpdateState()
{
    const bool whole = m_view == WholeBitmap();
    const bool full = m_scale == 1.0;
    if (whole)
        m_state = full ? kZoomFullWhole : kZoomScaledWhole;
    else
        m_state = full ? kZoomFullPartial : kZoomScaledPartial;
}

// Keeps the centre at least half the visible area from the bitmap's edges.
// On an axis where the bitmap is smaller than the visible area no centre
// satisfies both edges; the bitmap's middle is the only sensible one there.
void CZoomModel::ClampCentre(double scale)
{
    const int halfWidth = HalfClientWidth(scale);
    const int halfHeight = HalfClientHeight(scale);
    if (m_bitmapWidth >= 2 * halfWidth)
        m_centre.x = std::clamp(m_centre.x, halfWidth, m_bitmapWidth - halfWidth);
    else
        m_centre.x = m_bitmapWidth / 2;
    if (m_bitmapHeight >= 2 * halfHeight)
        m_centre.y = std::clamp(m_centre.y, halfHeight, m_bitmapHeight - halfHeight);
    else
        m_centre.y = m_bitmapHeight / 2;
}

int CZoomModel::HalfClientWidth(double scale) const
{
    return static_cast<int>(m_clientWidth / 2.0 * scale);
}

int CZoomModel::HalfClientHeight(double scale) const
{
    return static_cast<int>(m_clientHeight / 2.0 * scale);
}
