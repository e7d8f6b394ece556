#include "dbus_service.h"

#include "draftora/error_payload.h"
#include "draftora/protocol.h"
#include "draftora/result_codes.h"
#include "engine_error.h"
#include "interface_table.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QTimer>

namespace draftora {

namespace {

// Long enough for the bus to take the reply to Quit before the process ends.
constexpr int kQuitDelayMs = 100;

QDBusMessage AutomationErrorReply(const QDBusMessage& message, std::uint32_t code, const QString& description)
{
    const ErrorPayload payload{"Draftora", code, description, SystemText(code)};
    return message.createErrorReply(kAutomationErrorName, EncodeErrorPayload(payload));
}

QVariant PathValue(const QString& path)
{
    return QVariant::fromValue(QDBusObjectPath(path));
}

std::string Text(const QVariant& value)
{
    return value.toString().toStdString();
}

} // namespace

DraftoraService::DraftoraService(EngineModel& model) : m_model(model) {}

bool DraftoraService::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    const ObjectRef object = ParseObjectPath(message.path());
    if (object.kind == ObjectKind::None)
        return false; // the bus library answers "unknown object"
    QDBusConnection(connection).send(Answer(message, object));
    if (m_quitRequested)
        QTimer::singleShot(kQuitDelayMs, qApp, &QCoreApplication::quit);
    return true;
}

QDBusMessage DraftoraService::Answer(const QDBusMessage& message, const ObjectRef& object)
{
    const InterfaceEntry& entry = *InterfaceOf(object.kind);
    if (!message.interface().isEmpty() && message.interface() != entry.name)
        return message.createErrorReply(QDBusError::UnknownInterface, "No interface " + message.interface() + " here");
    const MethodEntry* method = FindMethod(entry, message.member());
    if (!method)
        return message.createErrorReply(QDBusError::UnknownMethod,
                                        "No method " + message.member() + " in " + entry.name);
    if (message.signature() != method->in)
        return message.createErrorReply(
            QDBusError::InvalidArgs,
            QString("%1 takes (%2), not (%3)").arg(method->name, method->in, message.signature()));
    try {
        return message.createReply(Invoke(message, object));
    } catch (const EngineError& error) {
        return AutomationErrorReply(message, error.Code(), QString::fromStdString(error.what()));
    } catch (const std::exception& error) {
        return AutomationErrorReply(message, kUnspecified, QString::fromStdString(error.what()));
    }
}

QVariantList DraftoraService::Invoke(const QDBusMessage& message, const ObjectRef& object)
{
    const QString member = message.member();
    const QVariantList args = message.arguments();
    switch (object.kind) {
    case ObjectKind::Application: return Application(member, args);
    case ObjectKind::Documents: return Documents(member, args);
    case ObjectKind::Document: return Document(member, args, object.documentId);
    case ObjectKind::View: return View(member, args, object.documentId);
    case ObjectKind::ViewPoints: return ViewPoints(args, object.documentId);
    case ObjectKind::Background: return Background(member, args, object.documentId);
    case ObjectKind::None: break;
    }
    return {};
}

QVariantList DraftoraService::Application(const QString& member, const QVariantList& args)
{
    if (member == "Version")
        return {QString::fromStdString(m_model.Version())};
    if (member == "Quit")
        m_quitRequested = true;
    else if (member == "MainWindow")
        return {qulonglong(0)}; // the stand-in shows no window
    else if (member == "IsVisible")
        return {false};
    else if (member == "IsReady")
        return {true};
    else if (member == "SetBatchMode")
        m_model.SetBatchMode(args[0].toInt());
    else if (member == "Initialize")
        m_model.Initialize();
    else if (member == "Documents")
        return {PathValue(kDocumentsPath)};
    return {};
}

QVariantList DraftoraService::Documents(const QString& member, const QVariantList& args)
{
    if (member == "Count")
        return {m_model.Count()};
    if (member == "Item")
        return {PathValue(DocumentPath(m_model.IdAt(args[0].toInt())))};
    return {PathValue(DocumentPath(m_model.Open(Text(args[0]))))}; // Open
}

QVariantList DraftoraService::Document(const QString& member, const QVariantList& args, int id)
{
    StandInDocument& document = m_model.Document(id);
    if (member == "FullName")
        return {QString::fromStdString(document.FullName())};
    if (member == "MakeCurrent")
        m_model.MakeCurrent(id, args[0].toInt());
    else if (member == "ActiveView")
        return {PathValue(DocumentChildPath(id, kViewLeaf))};
    else if (member == "Extents") {
        const auto box = document.Extents();
        return {QVariant::fromValue(QList<double>(box.begin(), box.end()))};
    } else if (member == "BackgroundHolder")
        return {PathValue(DocumentChildPath(id, kBackgroundLeaf))};
    else if (member == "ViewPointsHolder")
        return {PathValue(DocumentChildPath(id, kViewPointsLeaf))};
    else if (member == "RunMacro")
        document.RunMacro(Text(args[0]));
    else if (member == "Close")
        m_model.Close(id, args[0].toInt());
    return {};
}

QVariantList DraftoraService::View(const QString& member, const QVariantList& args, int id)
{
    StandInDocument& document = m_model.Document(id);
    if (member == "FillFrame")
        document.FillFrame();
    else if (member == "ZoomToWindow")
        document.ZoomToWindow();
    else if (member == "Scale")
        document.Scale(args[0].toDouble());
    else if (member == "Restore")
        document.Restore();
    // Refresh: the stand-in draws only on demand, so there is nothing to redo.
    return {};
}

QVariantList DraftoraService::ViewPoints(const QVariantList& args, int id)
{
    const QList<double> corners = qdbus_cast<QList<double>>(args[1]);
    m_model.Document(id).PutPoints(args[0].toInt(), std::vector<double>(corners.begin(), corners.end()));
    return {};
}

QVariantList DraftoraService::Background(const QString& member, const QVariantList& args, int id)
{
    StandInDocument& document = m_model.Document(id);
    if (member == "Get")
        return {uint(document.Background())};
    document.SetBackground(args[0].toUInt()); // Put
    return {};
}

QString DraftoraService::introspect(const QString& path) const
{
    if (path == "/")
        return "<node name=\"Application\"/><node name=\"Documents\"/>";
    const ObjectRef object = ParseObjectPath(path);
    if (object.kind == ObjectKind::None)
        return QString();
    QString xml = IntrospectionXml(*InterfaceOf(object.kind));
    if (object.kind == ObjectKind::Documents)
        for (int index = 1; index <= m_model.Count(); ++index)
            xml += QString("<node name=\"%1\"/>").arg(m_model.IdAt(index));
    if (object.kind == ObjectKind::Document)
        for (const char* leaf : {kViewLeaf, kViewPointsLeaf, kBackgroundLeaf})
            xml += QString("<node name=\"%1\"/>").arg(leaf);
    return xml;
}

} // namespace draftora
