#include "dropped_files.h"

#include "file_kind.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

constexpr int kMostFiles = 2; // one per file row

} // namespace

QStringList DroppedFiles(const QMimeData& data)
{
    if (!data.hasUrls())
        return {};
    const QList<QUrl> urls = data.urls();
    if (urls.isEmpty() || urls.size() > kMostFiles)
        return {};
    QStringList files;
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        if (path.isEmpty() || QFileInfo(path).isDir() || !IsSupported(path))
            return {};
        files << path;
    }
    return files;
}
