#include "file_kind.h"

#include <QFileInfo>

FileKind KindOfFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0)
        return FileKind::Unsupported;
    const QString extension = name.mid(dot + 1).toUpper();
    if (extension == "BMP" || extension == "PNG" || extension == "JPG")
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
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}
