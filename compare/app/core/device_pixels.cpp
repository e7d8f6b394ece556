#include "device_pixels.h"

#include <cmath>

namespace {

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

CDevicePixels::CDevicePixels(double ratio) : m_ratio(std::isfinite(ratio) && ratio > 0.0 ? ratio : 1.0) {}

QSize CDevicePixels::ToDevice(QSize logical) const
{
    return {Round(logical.width() * m_ratio), Round(logical.height() * m_ratio)};
}

IntPoint CDevicePixels::ToDevice(QPointF logical) const
{
    return {Round(logical.x() * m_ratio), Round(logical.y() * m_ratio)};
}

QPoint CDevicePixels::ToLogical(IntPoint device) const
{
    return {Round(device.x / m_ratio), Round(device.y / m_ratio)};
}
