// Where the main window was when it was last closed, kept beside the three
// settings in Twinview's INI file ("WindowGeometry", "WindowMaximized"),
// and where to put it again on the screens there are now.
#pragma once

#include <QList>
#include <QRect>

#include <optional>

class QSettings;

struct WindowGeometry {
    QRect rect; // the frame's top left corner and the client size
    bool maximized = false;
};

// None when no geometry was saved or the saved one is unusable (empty).
std::optional<WindowGeometry> ReadWindowGeometry(QSettings& store);
void WriteWindowGeometry(QSettings& store, const WindowGeometry& geometry);

// `saved` brought onto the screens (their available areas; the first is the
// primary one): it goes to the screen that holds most of it (the primary
// screen when none holds any), no larger than that screen but not smaller
// than `minimum`, and moved the least so that it lies inside the screen.
// Without screens `saved` is kept.
QRect PlaceOnScreens(const QRect& saved, const QList<QRect>& screens, QSize minimum);
