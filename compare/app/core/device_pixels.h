// The image view counts in device pixels, so that at full resolution one
// bitmap pixel is one pixel of the screen, on HiDPI screens as well: Qt's
// widget coordinates are logical pixels, `ratio` device pixels each.
#pragma once

#include "zoom_model.h"

#include <QPoint>
#include <QPointF>
#include <QSize>

class CDevicePixels {
public:
    // A ratio that is not a positive finite number counts as 1.
    explicit CDevicePixels(double ratio);

    double Ratio() const { return m_ratio; }
    // A logical size or point in device pixels, rounded to the nearest.
    QSize ToDevice(QSize logical) const;
    IntPoint ToDevice(QPointF logical) const;
    // A device point in logical coordinates, rounded to the nearest.
    QPoint ToLogical(IntPoint device) const;

private:
    double m_ratio;
};
