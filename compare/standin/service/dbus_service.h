// Serves the engine model's objects on the bus. Every call is checked
// against the interface table; a failing operation is answered with an
// automation error reply carrying source, code, description and system text.
#pragma once

#include "engine_model.h"
#include "object_paths.h"

#include <QDBusVirtualObject>

namespace draftora {

class DraftoraService : public QDBusVirtualObject {
public:
    explicit DraftoraService(EngineModel& model);

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

private:
    QDBusMessage Answer(const QDBusMessage& message, const ObjectRef& object);
    QVariantList Invoke(const QDBusMessage& message, const ObjectRef& object);
    QVariantList Application(const QString& member, const QVariantList& args);
    QVariantList Documents(const QString& member, const QVariantList& args);
    QVariantList Document(const QString& member, const QVariantList& args, int id);
    QVariantList View(const QString& member, const QVariantList& args, int id);
    QVariantList ViewPoints(const QVariantList& args, int id);
    QVariantList Background(const QString& member, const QVariantList& args, int id);

    EngineModel& m_model;
    bool m_quitRequested = false;
};

} // namespace draftora
