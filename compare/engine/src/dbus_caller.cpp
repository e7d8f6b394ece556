#include "dbus_caller.h"

#include "draftora/error_payload.h"
#include "draftora/protocol.h"
#include "draftora/result_codes.h"
#include "twinview/automation_error.h"

#include <QDBusMessage>
#include <QElapsedTimer>

namespace {

CAutomationError BusError(std::uint32_t code, const QString& description)
{
    return CAutomationError("D-Bus", code, description.toStdString(), draftora::SystemText(code));
}

// A reply that never came is a time-out when the whole bound was spent;
// earlier, the engine went away while the call was under way.
CAutomationError NoReplyError(const char* method, qint64 elapsedMs, qint64 timeoutMs)
{
    if (elapsedMs + 50 >= timeoutMs)
        return BusError(draftora::kTimedOut,
                        QString("The engine did not answer %1 within %2 s.").arg(method).arg(timeoutMs / 1000.0));
    return BusError(draftora::kServerUnavailable, QString("The engine ended while answering %1.").arg(method));
}

CAutomationError ToAutomationError(const QDBusMessage& reply, const char* method, qint64 elapsedMs, qint64 timeoutMs)
{
    const QString name = reply.errorName();
    if (name == draftora::kAutomationErrorName) {
        if (const auto payload = draftora::DecodeErrorPayload(reply.errorMessage()))
            return CAutomationError(payload->source.toStdString(), payload->code, payload->description.toStdString(),
                                    payload->systemText.toStdString());
    }
    if (name == "org.freedesktop.DBus.Error.NoReply" || name == "org.freedesktop.DBus.Error.Timeout")
        return NoReplyError(method, elapsedMs, timeoutMs);
    if (name == "org.freedesktop.DBus.Error.ServiceUnknown" || name == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
        name == "org.freedesktop.DBus.Error.Disconnected" || name == "org.freedesktop.DBus.Error.NoServer")
        return BusError(draftora::kServerUnavailable, reply.errorMessage());
    if (name == "org.freedesktop.DBus.Error.UnknownObject")
        return BusError(draftora::kDisconnected, reply.errorMessage());
    return BusError(draftora::kUnspecified, name + ": " + reply.errorMessage());
}

} // namespace

DbusCaller::DbusCaller(QDBusConnection connection, std::chrono::milliseconds normalTimeout,
                       std::chrono::milliseconds longTimeout, std::function<void()> onTimeOut)
    : m_connection(std::move(connection)), m_normalTimeout(normalTimeout), m_longTimeout(longTimeout),
      m_onTimeOut(std::move(onTimeOut))
{
}

QList<QVariant> DbusCaller::Call(const QString& path, const char* interface, const char* method,
                                 const QList<QVariant>& arguments, Duration duration) const
{
    if (!m_connection.isConnected())
        throw BusError(draftora::kServerUnavailable, "There is no connection to the session bus.");
    QDBusMessage message = QDBusMessage::createMethodCall(draftora::kServiceName, path, interface, method);
    message.setArguments(arguments);
    const qint64 timeout = (duration == Duration::Long ? m_longTimeout : m_normalTimeout).count();
    QElapsedTimer clock;
    clock.start();
    const QDBusMessage reply = m_connection.call(message, QDBus::Block, static_cast<int>(timeout));
    if (reply.type() == QDBusMessage::ErrorMessage) {
        CAutomationError error = ToAutomationError(reply, method, clock.elapsed(), timeout);
        if (error.Code() == draftora::kTimedOut && m_onTimeOut)
            m_onTimeOut();
        throw error;
    }
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw BusError(draftora::kUnspecified, QString("No reply to %1.").arg(method));
    return reply.arguments();
}
