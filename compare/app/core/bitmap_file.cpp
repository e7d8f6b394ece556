#include "bitmap_file.h"

#include <QImageReader>
#include <QPainter>

#include <system_error>
#include <thread>

namespace {

constexpr int kAllocationLimitMb = 1024;

QImage OverOpaqueBlack(const QImage& image)
{
    QImage opaque(image.size(), QImage::Format_RGB32);
    if (opaque.isNull())
        return opaque;
    opaque.fill(Qt::black);
    QPainter painter(&opaque);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, 0, image);
    return opaque;
}

} // namespace

void RaiseImageAllocationLimit()
{
    if (QImageReader::allocationLimit() < kAllocationLimitMb)
        QImageReader::setAllocationLimit(kAllocationLimitMb);
}

QImage ReadBitmapFile(const QString& path)
{
    QImageReader reader(path);
    // The extension only suggests the format; the contents decide.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull())
        return image;
    if (image.hasAlphaChannel())
        return OverOpaqueBlack(image);
    return image.convertToFormat(QImage::Format_RGB32);
}

void ReadBitmapFiles(const QString& path1, const QString& path2, QImage& first, QImage& second)
{
    QImage read;
    std::thread reader;
    try {
        reader = std::thread([&read, &path2] { read = ReadBitmapFile(path2); });
    } catch (const std::system_error&) {
        read = ReadBitmapFile(path2); // no thread to be had: one after the other
    }
    first = ReadBitmapFile(path1);
    if (reader.joinable())
        reader.join();
    second = std::move(read);
}
