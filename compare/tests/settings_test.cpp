// The three settings in the INI file: defaults, round trip, the section
// name in the file, ranges, and colours with red in the low byte.
#include "settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString FileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(Settings, AnEmptyFileGivesTheDefaults)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath("Twinview.ini"), QSettings::IniFormat);
    const TwinviewSettings settings = ReadSettings(store);
    EXPECT_EQ(settings.imageSize, 1000);
    EXPECT_FALSE(settings.changeColour);
    EXPECT_EQ(settings.colour, 0u);
}

TEST(Settings, ValuesRoundTripThroughTheGeneralSection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Twinview.ini");
    const TwinviewSettings written{2500, true, 0x00336699u};
    {
        QSettings store(path, QSettings::IniFormat);
        WriteSettings(store, written);
    }
    const QString text = FileText(path);
    EXPECT_TRUE(text.contains("[General]")) << text.toStdString();
    EXPECT_TRUE(text.contains("QVXImageSize=2500"));
    EXPECT_TRUE(text.contains("ChangeColor=1"));
    EXPECT_TRUE(text.contains(QString("Color=%1").arg(0x336699)));
    QSettings store(path, QSettings::IniFormat);
    EXPECT_EQ(ReadSettings(store), written);
}

TEST(Settings, ValuesEditedByHandAreBroughtIntoRange)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Twinview.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nQVXImageSize=0\nChangeColor=abc\nColor=255\n");
    file.close();
    QSettings store(path, QSettings::IniFormat);
    const TwinviewSettings settings = ReadSettings(store);
    EXPECT_EQ(settings.imageSize, 1);
    EXPECT_FALSE(settings.changeColour);
    EXPECT_EQ(settings.colour, 255u);
    store.setValue("QVXImageSize", 123456);
    EXPECT_EQ(ReadSettings(store).imageSize, 10000);
}

TEST(Settings, ColoursKeepRedInTheLowByte)
{
    const QColor colour = ColourFromRgbValue(0x00FF8001u);
    EXPECT_EQ(colour.red(), 0x01);
    EXPECT_EQ(colour.green(), 0x80);
    EXPECT_EQ(colour.blue(), 0xFF);
    EXPECT_EQ(RgbValueFromColour(QColor(10, 20, 30)), 10u | 20u << 8 | 30u << 16);
}
