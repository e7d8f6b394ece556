#include "file_kind.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

// Extension and the format name Qt's plugin registers for it.
struct ExtraRaster {
    const char* extension;
    const char* format;
};

const ExtraRaster kExtraRasters[] = {{"GIF", "gif"}, {"TIF", "tiff"}, {"TIFF", "tiff"}, {"WEBP", "webp"}};

} // namespace

QStringList ExtraRasterExtensions()
{
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    QStringList extensions;
    for (const ExtraRaster& raster : kExtraRasters)
        if (formats.contains(raster.format))
            extensions << raster.extension;
    return extensions;
}

FileKind KindOfFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0)
        return FileKind::Unsupported;
    const QString extension = name.mid(dot + 1).toUpper();
    if (extension == "BMP" || extension == "PNG" || extension == "JPG")
        return FileKind::Raster;
    if (ExtraRasterExtensions().contains(extension))
        return FileKind::Raster;
    if (extension == "VKD")
        return FileKind::Drawing;
    if (extension == "QVX" || extension == "Q2X" || extension == "DWG")
        return FileKind::OtherDrawing;
    return FileKind::Unsupported;
}

bool IsSameFile(const QString& a, const QString& b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    if (canonicalA.isEmpty())
        return false;
    if (canonicalA == QFileInfo(b).canonicalFilePath())
        return true;
    // Hard links have paths of their own: the same device and inode are
    // the same file.
    struct stat infoA, infoB;
    return ::stat(QFile::encodeName(a).constData(), &infoA) == 0 &&
        ::stat(QFile::encodeName(b).constData(), &infoB) == 0 && infoA.st_dev == infoB.st_dev &&
        infoA.st_ino == infoB.st_ino;
}
