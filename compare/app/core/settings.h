// The three settings of Twinview, kept in section "General" of its INI file
// (organisation "Norwend", application "Twinview").
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>

class QSettings;

struct TwinviewSettings {
    static constexpr int kMinImageSize = 1;
    static constexpr int kMaxImageSize = 10000;

    int imageSize = 1000;      // "QVXImageSize": the longer side of a rendered drawing
    bool changeColour = false; // "ChangeColor": render on the chosen background
    std::uint32_t colour = 0;  // "Color": RGB value, red in the low byte

    bool operator==(const TwinviewSettings& other) const
    {
        return imageSize == other.imageSize && changeColour == other.changeColour && colour == other.colour;
    }
};

// Missing or unreadable values take their defaults; an image size outside
// 1..10000 (edited by hand) is brought into that range.
TwinviewSettings ReadSettings(QSettings& store);
void WriteSettings(QSettings& store, const TwinviewSettings& settings);

// The user's INI file: $XDG_CONFIG_HOME/Norwend/Twinview.ini.
QString DefaultSettingsFile();

QColor ColourFromRgbValue(std::uint32_t value);
std::uint32_t RgbValueFromColour(const QColor& colour);
