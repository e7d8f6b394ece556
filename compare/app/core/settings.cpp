#include "settings.h"

#include <QSettings>

#include <algorithm>

namespace {

// Qt keeps top-level keys of an INI file in its "[General]" section; a group
// named "General" would be written as "[%General]".
const char* const kImageSize = "QVXImageSize";
const char* const kChangeColour = "ChangeColor";
const char* const kColour = "Color";

qlonglong ReadInteger(QSettings& store, const char* key, qlonglong fallback)
{
    bool ok = false;
    const qlonglong value = store.value(key).toLongLong(&ok);
    return ok ? value : fallback;
}

} // namespace

TwinviewSettings ReadSettings(QSettings& store)
{
    TwinviewSettings settings;
    const qlonglong size = ReadInteger(store, kImageSize, settings.imageSize);
    settings.imageSize =
        static_cast<int>(std::clamp<qlonglong>(size, TwinviewSettings::kMinImageSize, TwinviewSettings::kMaxImageSize));
    settings.changeColour = ReadInteger(store, kChangeColour, 0) != 0;
    settings.colour = static_cast<std::uint32_t>(ReadInteger(store, kColour, 0));
    return settings;
}

void WriteSettings(QSettings& store, const TwinviewSettings& settings)
{
    store.setValue(kImageSize, settings.imageSize);
    store.setValue(kChangeColour, settings.changeColour ? 1 : 0);
    // Stored as a signed 32-bit integer, as the value always was.
    store.setValue(kColour, static_cast<qint32>(settings.colour));
    store.sync();
}

QString DefaultSettingsFile()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Norwend", "Twinview").fileName();
}

QColor ColourFromRgbValue(std::uint32_t value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

std::uint32_t RgbValueFromColour(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
        static_cast<std::uint32_t>(colour.blue()) << 16;
}
