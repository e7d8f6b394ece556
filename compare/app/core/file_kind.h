// What Twinview can do with a file, judged by the extension of its name.
#pragma once

#include <QString>
#include <QStringList>

enum class FileKind {
    Unsupported,
    Raster,       // .BMP, .PNG, .JPG, and .GIF, .TIF, .TIFF, .WEBP where Qt reads them
    Drawing,      // .VKD: rendered by the Draftora engine
    OtherDrawing, // .QVX, .Q2X, .DWG: accepted, but no engine here renders them
};

// The raster extensions beyond BMP, PNG and JPG that Qt's image plugins on
// this system read (of GIF, TIF, TIFF, WEBP), in capitals. Asked at run
// time: the TIFF and WebP plugins are a package of their own.
QStringList ExtraRasterExtensions();

// The extension is what follows the last "." of the file name (never a dot
// of a directory name), compared without regard to case.
FileKind KindOfFile(const QString& path);

inline bool IsSupported(const QString& path)
{
    return KindOfFile(path) != FileKind::Unsupported;
}

// A file that needs rendering before it can be compared.
inline bool NeedsRendering(const QString& path)
{
    const FileKind kind = KindOfFile(path);
    return kind == FileKind::Drawing || kind == FileKind::OtherDrawing;
}

// Both paths name one file: their canonical paths are equal exactly (file
// names differing in case are different files here).
bool IsSameFile(const QString& a, const QString& b);
