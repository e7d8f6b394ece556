#include "file_filter.h"

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

} // namespace

QStringList FileDialogFilters(const QString& tableFilter)
{
    const QStringList parts = tableFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break; // "||" ends the list
        filters << parts[i] + " (" + Patterns(parts[i + 1]) + ")";
    }
    return filters;
}
