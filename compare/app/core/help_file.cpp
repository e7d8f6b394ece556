#include "help_file.h"

#include <QDir>
#include <QFileInfo>

QString HelpFilePath(const QString& programDir)
{
    const QDir dir(programDir);
    const QString beside = dir.filePath("Twinview.pdf");
    if (QFileInfo::exists(beside))
        return beside;
    // TWINVIEW_BIN_TO_DOC: the installed documentation folder relative to
    // the installed program folder.
    return QDir::cleanPath(dir.filePath(QStringLiteral(TWINVIEW_BIN_TO_DOC "/Twinview.pdf")));
}
