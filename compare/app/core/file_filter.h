// The file dialog's filter, kept in the string table in the form
// "Name|patterns|Name|patterns||" with patterns separated by ";".
#pragma once

#include <QString>
#include <QStringList>

// The filters for QFileDialog: "Name (*.VKD *.vkd ...)". Each pattern is
// offered in upper and lower case, because file names are case-sensitive
// here and the table names the extensions in capitals.
QStringList FileDialogFilters(const QString& tableFilter);

// The extensions the Select File dialog accepts, for message 1014.
inline const char* const kSelectableExtensions = ".VKD, .BMP, .PNG, .JPG";
