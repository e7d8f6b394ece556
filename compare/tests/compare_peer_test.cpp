// "twinview compare" side by side with ImageMagick's "compare -metric AE"
// on seeded pairs of files: without a threshold both count the same
// differing pixels, and the exit statuses follow cmp's rule.
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

struct ProgramRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

ProgramRun Start(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

// A seeded drawing: coloured rectangles, lines and antialiased circles.
QImage Drawing(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < 40; ++k) {
        const QColor colour(random() % 256, random() % 256, random() % 256);
        const int x = random() % width, y = random() % height;
        const int w = 1 + random() % (width / 3), h = 1 + random() % (height / 3);
        switch (k % 3) {
        case 0: painter.fillRect(x, y, w, h, colour); break;
        case 1:
            painter.setPen(QPen(colour, 1 + random() % 4));
            painter.drawLine(x, y, x + w, y + h);
            break;
        default:
            painter.setPen(colour);
            painter.drawEllipse(QPoint(x, y), w / 2, h / 2);
            break;
        }
    }
    return image;
}

QImage WithPixel(QImage image, int x, int y)
{
    image.setPixel(x, y, image.pixel(x, y) ^ 0x000001u);
    return image;
}

// The drawing with a dark horizontal line across it at `row`.
QImage WithLine(QImage image, int row)
{
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, row, qRgb(20, 20, 20));
    return image;
}

double ImageMagickCount(const ProgramRun& run)
{
    bool number = false;
    const double count = QString::fromUtf8(run.err).trimmed().toDouble(&number);
    EXPECT_TRUE(number) << run.err.toStdString();
    return count;
}

class CompareAgainstImageMagick : public ::testing::Test {
protected:
    QString Save(const QImage& image, const QString& name)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, nullptr, 90)) << path.toStdString();
        return path;
    }

    ProgramRun Twinview(const QStringList& arguments)
    {
        return Start(TWINVIEW_PROGRAM, QStringList{"compare"} + arguments + QStringList{"--json"});
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(CompareAgainstImageMagick, CountsTheSameDifferingPixelsOnSeededPairs)
{
    const QImage drawing = Drawing(320, 240, 7);
    const QImage a = WithLine(drawing, 120);
    const QString first = Save(a, "a.png");
    const struct {
        const char* name;
        QString second;
    } pairs[] = {
        {"identical", Save(a, "same.png")},
        {"one pixel", Save(WithPixel(a, 100, 50), "pixel.png")},
        {"a shifted line", Save(WithLine(drawing, 122), "line.png")},
        {"a JPEG re-encode", Save(a, "a.jpg")},
        {"another drawing", Save(Drawing(320, 240, 8), "other.png")},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.name);
        const ProgramRun magick = Start(IMAGEMAGICK_COMPARE, {"-metric", "AE", first, pair.second, "null:"});
        ASSERT_TRUE(magick.status == 0 || magick.status == 1) << magick.err.toStdString();
        const double expected = ImageMagickCount(magick);
        const ProgramRun ours = Twinview({first, pair.second});
        const QJsonObject json = QJsonDocument::fromJson(ours.out).object();
        ASSERT_FALSE(json.isEmpty()) << ours.out.toStdString() << ours.err.toStdString();
        EXPECT_EQ(json["differing"].toDouble(), expected);
        EXPECT_EQ(ours.status, expected == 0 ? 0 : 1);
        EXPECT_EQ(ours.status, magick.status) << "both say whether the files differ the same way";
        EXPECT_NEAR(json["share"].toDouble(), expected / (320.0 * 240.0), 1e-12);
    }
}

TEST_F(CompareAgainstImageMagick, DifferentSizesAreADifferenceNotTrouble)
{
    const QString first = Save(Drawing(320, 240, 7), "a.png");
    const QString second = Save(Drawing(300, 240, 7), "b.png");
    // For ImageMagick as for a script, the files simply differ.
    EXPECT_EQ(Start(IMAGEMAGICK_COMPARE, {"-metric", "AE", first, second, "null:"}).status, 1);
    const ProgramRun ours = Twinview({first, second});
    EXPECT_EQ(ours.status, 1);
    const QJsonObject json = QJsonDocument::fromJson(ours.out).object();
    EXPECT_TRUE(json["sizes_differ"].toBool()) << ours.out.toStdString();
    EXPECT_EQ(Twinview({first, dir.filePath("missing.png")}).status, 2);
}
