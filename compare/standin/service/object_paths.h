// The stand-in engine's object tree on the bus:
//   /Application, /Documents, /Documents/<id>,
//   /Documents/<id>/View, /Documents/<id>/ViewPoints, /Documents/<id>/Background
#pragma once

#include <QString>

namespace draftora {

enum class ObjectKind { None, Application, Documents, Document, View, ViewPoints, Background };

struct ObjectRef {
    ObjectKind kind = ObjectKind::None;
    int documentId = 0;
};

ObjectRef ParseObjectPath(const QString& path);
QString DocumentPath(int id);
QString DocumentChildPath(int id, const char* leaf);

} // namespace draftora
