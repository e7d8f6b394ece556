// Reading a BMP, PNG or JPG file into the opaque bitmap that is compared.
#pragma once

#include <QImage>
#include <QString>

// Qt refuses to decode images above 128 MB by default; a drawing rendered
// at the largest image size (10000 x 10000, 32 bits per pixel once decoded,
// 64 for 16-bit PNG files) needs more. Call once at start-up.
void RaiseImageAllocationLimit();

// The file as an RGB32 image: colour profiles are not applied, and
// semi-transparent pixels are drawn over opaque black. Null when the file
// cannot be read.
QImage ReadBitmapFile(const QString& path);

// Both files as ReadBitmapFile reads them, the second on a thread of its
// own: decoding two large PNG files is most of a comparison's time.
void ReadBitmapFiles(const QString& path1, const QString& path2, QImage& first, QImage& second);
