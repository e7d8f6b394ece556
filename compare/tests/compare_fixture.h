// Files on disk for the Compare command and the main window: raster images
// of chosen sizes and pixels, unreadable files, and drawings that the
// recording fake engine renders (into 1 x 1 bitmaps).
#pragma once

#include "fake_engine.h"
#include "recording_ui.h"
#include "text_table.h"

#include "twinview/draftora_engine.h"
#include "twinview/private_temp_dir.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class CompareFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake->running = true;
        ASSERT_TRUE(engine.Connect());
    }

    QString Png(const QString& name, int width, int height, QRgb colour = qRgb(255, 255, 255),
                QPoint odd = QPoint(-1, -1))
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        if (odd.x() >= 0)
            image.setPixel(odd, qRgb(0, 0, 0));
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    QString Garbage(const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is no image at all");
        return path;
    }

    // A drawing file that the fake engine knows.
    QString Drawing(const QString& name)
    {
        const QString path = Garbage(name);
        fake->AddDrawing(path.toStdString(), {0, 0, 0, 100, 50, 0});
        return path;
    }

    QTemporaryDir dir;
    RecordingUi ui;
    CStringTable texts;
    std::shared_ptr<FakeEngine> fake = std::make_shared<FakeEngine>();
    std::shared_ptr<FakeSleeper> sleeper = std::make_shared<FakeSleeper>(fake);
    std::shared_ptr<CPrivateTempDir> temp = std::make_shared<CPrivateTempDir>();
    CDraftoraEngine engine{fake, temp, sleeper};
};
