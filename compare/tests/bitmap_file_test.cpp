// Reading bitmap files: formats by content, transparency over black, files
// that are no images, and images above Qt's default size limit.
#include "bitmap_file.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(BitmapFile, ReadsBmpPngAndJpgAsOpaqueRgb32)
{
    QTemporaryDir dir;
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(20, 40, 60));
    for (const char* format : {"BMP", "PNG", "JPG"}) {
        const QString path = dir.filePath(QString("a.") + format);
        ASSERT_TRUE(image.save(path, format, 100));
        const QImage read = ReadBitmapFile(path);
        ASSERT_FALSE(read.isNull()) << format;
        EXPECT_EQ(read.format(), QImage::Format_RGB32);
        EXPECT_EQ(read.size(), QSize(3, 2));
    }
    EXPECT_EQ(ReadBitmapFile(dir.filePath("a.PNG")).pixel(1, 1), qRgb(20, 40, 60));
}

TEST(BitmapFile, TheContentsDecideTheFormat)
{
    QTemporaryDir dir;
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    const QString path = dir.filePath("really-a-png.BMP");
    ASSERT_TRUE(image.save(path, "PNG"));
    EXPECT_EQ(ReadBitmapFile(path).pixel(0, 0), qRgb(1, 2, 3));
}

TEST(BitmapFile, SemiTransparentPixelsAreDrawnOverBlack)
{
    QTemporaryDir dir;
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(200, 100, 50, 0));
    image.setPixel(1, 0, qRgba(200, 100, 0, 128));
    const QString path = dir.filePath("alpha.png");
    ASSERT_TRUE(image.save(path, "PNG"));
    const QImage read = ReadBitmapFile(path);
    EXPECT_EQ(read.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_NEAR(qRed(read.pixel(1, 0)), 100, 1);
    EXPECT_NEAR(qGreen(read.pixel(1, 0)), 50, 1);
    EXPECT_EQ(qAlpha(read.pixel(1, 0)), 255);
}

TEST(BitmapFile, AFileThatIsNoImageGivesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("b.png");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG broken");
    file.close();
    EXPECT_TRUE(ReadBitmapFile(path).isNull());
    EXPECT_TRUE(ReadBitmapFile(dir.filePath("missing.png")).isNull());
}

// Two files read at once give what reading each alone gives, whichever of
// them cannot be read.
TEST(BitmapFile, TwoFilesReadAtOnceMatchEachReadAlone)
{
    QTemporaryDir dir;
    QImage red(40, 30, QImage::Format_RGB32), blue(5, 7, QImage::Format_RGB32);
    red.fill(qRgb(200, 0, 0));
    blue.fill(qRgb(0, 0, 200));
    const QString redPath = dir.filePath("red.png"), bluePath = dir.filePath("blue.bmp");
    ASSERT_TRUE(red.save(redPath, "PNG"));
    ASSERT_TRUE(blue.save(bluePath, "BMP"));
    const QString broken = dir.filePath("broken.png");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG broken");
    file.close();
    const QString missing = dir.filePath("missing.png");
    const std::pair<QString, QString> pairs[] = {
        {redPath, bluePath}, {bluePath, redPath}, {redPath, broken},
        {missing, bluePath}, {broken, missing},   {redPath, redPath},
    };
    for (const auto& [path1, path2] : pairs) {
        SCOPED_TRACE(qPrintable(path1 + " " + path2));
        QImage first(1, 1, QImage::Format_RGB32), second(1, 1, QImage::Format_RGB32);
        ReadBitmapFiles(path1, path2, first, second);
        EXPECT_EQ(first, ReadBitmapFile(path1));
        EXPECT_EQ(second, ReadBitmapFile(path2));
    }
}

namespace {

// A 24-bit BMP of black pixels, written by hand (fast even when large).
void WriteBlackBmp(const QString& path, int width, int height)
{
    const int row = (3 * width + 3) / 4 * 4;
    const quint32 imageBytes = static_cast<quint32>(row) * height;
    QByteArray header(54, '\0');
    auto put32 = [&header](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + imageBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<quint32>(width));
    put32(22, static_cast<quint32>(height));
    header[26] = 1;
    header[28] = 24;
    put32(34, imageBytes);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(header);
    const QByteArray zeros(row, '\0');
    for (int y = 0; y < height; ++y)
        file.write(zeros);
}

} // namespace

TEST(BitmapFile, ImagesAboveQtsDefaultLimitAreRead)
{
    // 6000 x 6000 pixels decode to 144 MB, above Qt's default of 128 MB;
    // drawings of the largest image size decode to 400 MB.
    QTemporaryDir dir;
    const QString path = dir.filePath("large.bmp");
    WriteBlackBmp(path, 6000, 6000);
    const int raised = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(128);
    EXPECT_TRUE(ReadBitmapFile(path).isNull()); // what the raised limit mends
    QImageReader::setAllocationLimit(raised);
    EXPECT_GE(raised, 800);
    const QImage image = ReadBitmapFile(path);
    EXPECT_EQ(image.size(), QSize(6000, 6000));
}
