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
    const QStringList parts = tableFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break; // "||" ends the list
        filters << LabelWithoutPatterns(parts[i]) + " (" + Patterns(parts[i + 1]) + ")";
    }
    return filters;
}
