#include "object_paths.h"

#include "draftora/protocol.h"

#include <QStringList>

namespace draftora {

ObjectRef ParseObjectPath(const QString& path)
{
    if (path == kApplicationPath)
        return {ObjectKind::Application, 0};
    if (path == kDocumentsPath)
        return {ObjectKind::Documents, 0};
    const QString prefix = QString(kDocumentsPath) + "/";
    if (!path.startsWith(prefix))
        return {};
    const QStringList parts = path.mid(prefix.size()).split('/');
    bool isNumber = false;
    const int id = parts[0].toInt(&isNumber);
    if (!isNumber || id < 1 || parts[0] != QString::number(id) || parts.size() > 2)
        return {};
    if (parts.size() == 1)
        return {ObjectKind::Document, id};
    if (parts[1] == kViewLeaf)
        return {ObjectKind::View, id};
    if (parts[1] == kViewPointsLeaf)
        return {ObjectKind::ViewPoints, id};
    if (parts[1] == kBackgroundLeaf)
        return {ObjectKind::Background, id};
    return {};
}

QString DocumentPath(int id)
{
    return QString("%1/%2").arg(kDocumentsPath).arg(id);
}

QString DocumentChildPath(int id, const char* leaf)
{
    return DocumentPath(id) + "/" + leaf;
}

} // namespace draftora
