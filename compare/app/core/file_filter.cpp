#include "file_filter.h"

#include <QRegularExpression>

namespace {

QString Patterns(const QString& tablePatterns)
{
    QStringList patterns;
    for (const QString& pattern : tablePatterns.split(';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        for (const QString& variant : {trimmed, trimmed.toUpper(), trimmed.toLower()})
            if (!patterns.contains(variant))
                patterns << variant;
    }
    return patterns.join(' ');
}

// The label without patterns it already names at its end ("Image files
// (*.BMP;*.PNG;*.JPG)"): Qt's dialog shows the patterns we append.
QString LabelWithoutPatterns(const QString& label)
{
    static const QRegularExpression kTrailingPatterns(QStringLiteral("\\s*\\([^()]*\\*[^()]*\\)\\s*$"));
    QString bare = label;
    bare.remove(kTrailingPatterns);
    return bare.isEmpty() ? label : bare;
}

} // namespace

QStringList FileDialogFilters(const QString& tableFilter)
{
    return FileDialogFilters(tableFilter, {});
}

QStringList FileDialogFilters(const QString& tableFilter, const QStringList& extraRasterExtensions)
{
    QString extraPatterns;
    for (const QString& extension : extraRasterExtensions)
        extraPatterns += ";*." + extension.toUpper();
    const QStringList parts = tableFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break; // "||" ends the list
        const bool raster = parts[i + 1].contains("*.PNG", Qt::CaseInsensitive);
        const QString patterns = raster ? parts[i + 1] + extraPatterns : parts[i + 1];
        filters << LabelWithoutPatterns(parts[i]) + " (" + Patterns(patterns) + ")";
    }
    return filters;
}

QString SelectableExtensions(const QStringList& extraRasterExtensions)
{
    QString text = kSelectableExtensions;
    for (const QString& extension : extraRasterExtensions)
        text += ", ." + extension.toUpper();
    return text;
}
