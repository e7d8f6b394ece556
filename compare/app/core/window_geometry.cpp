#include "window_geometry.h"

#include <QSettings>

#include <algorithm>

namespace {

const char* const kGeometry = "WindowGeometry";
const char* const kMaximized = "WindowMaximized";

long long Area(const QRect& rect)
{
    return rect.isEmpty() ? 0 : static_cast<long long>(rect.width()) * rect.height();
}

// The screen that shows most of `rect`; the primary one when none shows any.
const QRect& HostScreen(const QRect& rect, const QList<QRect>& screens)
{
    const QRect* host = &screens.first();
    long long most = 0;
    for (const QRect& screen : screens) {
        const long long shown = Area(screen.intersected(rect));
        if (shown > most) {
            most = shown;
            host = &screen;
        }
    }
    return *host;
}

// The start of a length `length` within [low, low + room): moved the least,
// and at `low` when it is longer than the room.
int PlaceWithin(int start, int length, int low, int room)
{
    return std::max(low, std::min(start, low + room - length));
}

} // namespace

std::optional<WindowGeometry> ReadWindowGeometry(QSettings& store)
{
    const QVariant value = store.value(kGeometry);
    if (!value.canConvert<QRect>())
        return std::nullopt;
    const QRect rect = value.toRect();
    if (!rect.isValid() || rect.isEmpty())
        return std::nullopt;
    return WindowGeometry{rect, store.value(kMaximized, false).toBool()};
}

void WriteWindowGeometry(QSettings& store, const WindowGeometry& geometry)
{
    store.setValue(kGeometry, geometry.rect);
    store.setValue(kMaximized, geometry.maximized);
    store.sync();
}

QRect PlaceOnScreens(const QRect& saved, const QList<QRect>& screens, QSize minimum)
{
    if (screens.isEmpty())
        return saved;
    const QRect& screen = HostScreen(saved, screens);
    const int width = std::max(std::min(saved.width(), screen.width()), minimum.width());
    const int height = std::max(std::min(saved.height(), screen.height()), minimum.height());
    const int left = PlaceWithin(saved.left(), width, screen.left(), screen.width());
    const int top = PlaceWithin(saved.top(), height, screen.top(), screen.height());
    return {left, top, width, height};
}
