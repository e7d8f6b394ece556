// Where the image view draws the view rectangle, and the mapping between
// client and bitmap pixels that follows from it.
#include "zoom_model.h"

#include <cmath>

namespace {

// A rectangle of `width` x `height` centred in the client.
IntRect Centred(int clientWidth, int clientHeight, int width, int height)
{
    const int left = (clientWidth - width) / 2;
    const int top = (clientHeight - height) / 2;
    return {left, top, left + width, top + height};
}

// Fit mode: a view that fits is shown at full resolution; a larger one is
// shrunk to the client, keeping its proportions.
IntRect FitDestination(const IntRect& view, int clientWidth, int clientHeight)
{
    if (clientWidth >= view.Width() && clientHeight >= view.Height())
        return Centred(clientWidth, clientHeight, view.Width(), view.Height());
    if (clientWidth <= 0 || clientHeight <= 0 || view.Width() <= 0 || view.Height() <= 0)
        return {};
    const double clientRatio = static_cast<double>(clientHeight) / clientWidth;
    const double viewRatio = static_cast<double>(view.Height()) / view.Width();
    if (clientRatio < viewRatio) {
        const int width = static_cast<int>(clientWidth * (clientRatio / viewRatio));
        return Centred(clientWidth, clientHeight, width, clientHeight);
    }
    const int height = static_cast<int>(clientHeight * (viewRatio / clientRatio));
    return Centred(clientWidth, clientHeight, clientWidth, height);
}

} // namespace

PaintPlan CZoomModel::Plan() const
{
    PaintPlan plan;
    plan.source = m_view;
    if (!HasBitmap())
        return plan;
    if (m_fitMode) {
        plan.destination = FitDestination(m_view, m_clientWidth, m_clientHeight);
        return plan;
    }
    // Where the bitmap at this scale is smaller than the client, it is
    // centred with margins around it. The odd pixel of an odd difference
    // goes to the far margin: the bitmap keeps its size, so that at full
    // resolution no row or column is drawn twice.
    plan.destination = {0, 0, m_clientWidth, m_clientHeight};
    const double shownWidth = m_bitmapWidth / m_scale;
    const double shownHeight = m_bitmapHeight / m_scale;
    if (shownWidth < m_clientWidth) {
        const int width = static_cast<int>(std::lround(shownWidth));
        plan.destination.left = (m_clientWidth - width) / 2;
        plan.destination.right = plan.destination.left + width;
    }
    if (shownHeight < m_clientHeight) {
        const int height = static_cast<int>(std::lround(shownHeight));
        plan.destination.top = (m_clientHeight - height) / 2;
        plan.destination.bottom = plan.destination.top + height;
    }
    return plan;
}

IntPoint CZoomModel::MapToBitmap(IntPoint client) const
{
    const PaintPlan plan = Plan();
    const IntRect& from = plan.destination;
    const IntRect& to = plan.source;
    if (from.Width() <= 0 || from.Height() <= 0)
        return m_centre;
    const double x = to.left + (client.x - from.left) * static_cast<double>(to.Width()) / from.Width();
    const double y = to.top + (client.y - from.top) * static_cast<double>(to.Height()) / from.Height();
    return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}

std::optional<IntPoint> CZoomModel::ClientToBitmap(IntPoint client) const
{
    const IntRect destination = Plan().destination;
    if (!HasBitmap() || client.x < destination.left || client.x >= destination.right || client.y < destination.top ||
        client.y >= destination.bottom)
        return std::nullopt;
    return MapToBitmap(client);
}

IntPoint CZoomModel::BitmapToClient(IntPoint bitmap) const
{
    const PaintPlan plan = Plan();
    const IntRect& from = plan.source;
    const IntRect& to = plan.destination;
    if (from.Width() <= 0 || from.Height() <= 0)
        return {to.left, to.top};
    // The middle of the bitmap pixel, so that the round trip lands on it.
    const double x = to.left + (bitmap.x - from.left + 0.5) * to.Width() / from.Width();
    const double y = to.top + (bitmap.y - from.top + 0.5) * to.Height() / from.Height();
    return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}
