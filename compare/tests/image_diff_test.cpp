// "twinview compare": the comparison against a per-pixel oracle (a pixel
// differs when any colour channel does, as ImageMagick's AE metric counts
// without fuzz), the perceptual threshold, antialiasing told apart, and the
// command's output and exit status.
#include "compare_cli.h"
#include "image_diff.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

namespace {

QImage White(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

std::int64_t OracleCount(const QImage& a, const QImage& b)
{
    std::int64_t n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
    return n;
}

QImage WithLine(QImage image, int y, int from, int to, QRgb colour = qRgb(0, 0, 0))
{
    for (int x = from; x < to; ++x)
        image.setPixel(x, y, colour);
    return image;
}

QImage Reencoded(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    return QImage::fromData(bytes, "JPG").convertToFormat(QImage::Format_RGB32);
}

QImage Noise(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(random() % 256, random() % 256, random() % 256));
    return image;
}

TEST(ImageDiff, ExactCountsEqualTheOracleOnSeededPairs)
{
    const QImage plan = WithLine(White(300, 200), 50, 10, 290);
    QImage onePixel = plan;
    onePixel.setPixel(7, 9, qRgb(255, 254, 255));
    const QImage noise = Noise(1100, 1000, 5); // large enough for strips
    QImage noiseChanged = noise;
    for (int k = 0; k < 50; ++k)
        noiseChanged.setPixel((k * 97) % 1100, (k * 89) % 1000, qRgb(1, 2, 3));
    const struct {
        const char* name;
        QImage a, b;
    } cases[] = {
        {"identical", plan, plan},
        {"one pixel", plan, onePixel},
        {"a shifted line", plan, WithLine(White(300, 200), 51, 10, 290)},
        {"a JPEG re-encode", plan, Reencoded(plan, 70)},
        {"noise in strips", noise, noiseChanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ImageDiff diff = DiffImages(c.a, c.b, {});
        EXPECT_EQ(diff.differing, OracleCount(c.a, c.b));
        EXPECT_EQ(diff.box.has_value(), diff.differing > 0);
    }
    const ImageDiff shifted = DiffImages(plan, cases[2].b, {});
    ASSERT_TRUE(shifted.box);
    EXPECT_EQ(*shifted.box, (IntRect{10, 50, 289, 51}));
    EXPECT_EQ(shifted.onlyInFirst, 280); // the line the first image has and the second lost
    EXPECT_EQ(shifted.onlyInSecond, 280);
}

TEST(ImageDiff, AThresholdForgivesAReencodeButNotAChangedLine)
{
    const QImage plan = WithLine(White(300, 200), 50, 10, 290);
    const QImage jpeg = Reencoded(plan, 90);
    ImageDiffOptions options;
    options.threshold = 0.1;
    ASSERT_GT(DiffImages(plan, jpeg, {}).differing, 0) << "the re-encode changed nothing to forgive";
    EXPECT_EQ(DiffImages(plan, jpeg, options).differing, 0);
    const QImage moved = Reencoded(WithLine(White(300, 200), 120, 10, 290), 90);
    EXPECT_GE(DiffImages(plan, moved, options).differing, 2 * 280);
}

QImage Circle(double centreX, bool extraLine)
{
    QImage image = White(200, 200);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2.5));
    painter.drawEllipse(QPointF(centreX, 100.0), 60.0, 60.0);
    painter.end();
    return extraLine ? WithLine(image, 20, 20, 180) : image;
}

// The same render with its blended edge pixels a little lighter or darker,
// as another renderer's antialiasing gives them.
QImage WithEdgeNoise(const QImage& image)
{
    QImage noisy = image;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qRed(image.pixel(x, y));
            if (grey > 0 && grey < 255) {
                const int shifted = std::clamp(grey + ((x + y) % 2 ? 12 : -12), 1, 254);
                noisy.setPixel(x, y, qRgb(shifted, shifted, shifted));
            }
        }
    return noisy;
}

TEST(ImageDiff, AntialiasingNoiseIsToldApartAndARealChangeIsNot)
{
    const QImage a = Circle(100.0, false);
    const QImage b = WithEdgeNoise(a);
    ImageDiffOptions antialias;
    antialias.antialias = true;
    const ImageDiff exact = DiffImages(a, b, {});
    ASSERT_GT(exact.differing, 100) << "the two renders should differ at the edge";
    const ImageDiff told = DiffImages(a, b, antialias);
    EXPECT_EQ(told.differing, 0);
    EXPECT_EQ(told.antialiased, exact.differing);
    const ImageDiff line = DiffImages(a, WithEdgeNoise(Circle(100.0, true)), antialias);
    EXPECT_GE(line.differing, 150) << "the new line must still count";
}

std::string ReadAll(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

CommandRun RunCompare(const QStringList& arguments)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = RunCompareCommand(arguments, out, err);
    CommandRun run{status, ReadAll(out), ReadAll(err)};
    std::fclose(out);
    std::fclose(err);
    return run;
}

TEST(CompareCommandLine, ExitStatusJsonAndDifferencePicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = dir.filePath("a.png"), b = dir.filePath("b.png"), small = dir.filePath("small.png");
    const QString diff = dir.filePath("diff.png");
    ASSERT_TRUE(WithLine(White(60, 40), 10, 5, 55).save(a));
    ASSERT_TRUE(WithLine(White(60, 40), 30, 5, 55).save(b));
    ASSERT_TRUE(White(30, 40).save(small));

    EXPECT_EQ(RunCompare({a, a}).status, 0);
    const CommandRun different = RunCompare({a, b, "--json", "--diff", diff});
    EXPECT_EQ(different.status, 1) << different.err;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(different.out)).object();
    EXPECT_EQ(json["differing"].toInt(), 100);
    EXPECT_FALSE(json["same"].toBool());
    EXPECT_EQ(json["box"].toObject()["top"].toInt(), 10);
    EXPECT_EQ(json["box"].toObject()["bottom"].toInt(), 30);
    const QImage picture(diff);
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(qRed(picture.pixel(20, 10)), 200) << "ink only in the first image is red";
    EXPECT_GT(qGreen(picture.pixel(20, 30)), 150) << "ink only in the second image is green";
    EXPECT_EQ(qRed(picture.pixel(20, 20)), qGreen(picture.pixel(20, 20))) << "the rest is grey";

    const CommandRun sizes = RunCompare({a, small, "--json"});
    EXPECT_EQ(sizes.status, 1);
    EXPECT_TRUE(QJsonDocument::fromJson(QByteArray::fromStdString(sizes.out)).object()["sizes_differ"].toBool());
    for (const QStringList& trouble : {QStringList{a, dir.filePath("missing.png")}, QStringList{a},
                                       QStringList{a, b, "--threshold", "x"}, QStringList{a, b, "--diff", a}}) {
        const CommandRun run = RunCompare(trouble);
        EXPECT_EQ(run.status, 2) << trouble.join(' ').toStdString();
        EXPECT_FALSE(run.err.empty());
    }
}

} // namespace
