// The file dialog's filter, kept in the string table in the form
// "Name|patterns|Name|patterns||" with patterns separated by ";".
#pragma once

#include <QString>
#include <QStringList>

// The filters for QFileDialog: "Name (*.VKD *.vkd ...)". Each pattern is
// offered in upper and lower case, because file names are case-sensitive
// here and the table names the extensions in capitals.
QStringList FileDialogFilters(const QString& tableFilter);
// The same, with the patterns of `extraRasterExtensions` ("GIF", ...) added
// to every filter that offers PNG files, so that the files Twinview reads
// beyond the table's can be picked too.
QStringList FileDialogFilters(const QString& tableFilter, const QStringList& extraRasterExtensions);

// The extensions the Select File dialog accepts, for message 1014.
inline const char* const kSelectableExtensions = ".VKD, .BMP, .PNG, .JPG";
// The same with the extra raster extensions: ".VKD, .BMP, .PNG, .JPG, .GIF".
QString SelectableExtensions(const QStringList& extraRasterExtensions);
