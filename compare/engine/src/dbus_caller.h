// Blocking, bounded method calls on the engine's objects. Every failure,
// from the engine or from the bus, comes back as CAutomationError.
#pragma once

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QVariant>

#include <chrono>
#include <functional>

class DbusCaller {
public:
    enum class Duration { Normal, Long };

    // `onTimeOut` runs when a call is given up because its time ran out,
    // before the time-out is reported.
    DbusCaller(QDBusConnection connection, std::chrono::milliseconds normalTimeout,
               std::chrono::milliseconds longTimeout, std::function<void()> onTimeOut = {});

    QList<QVariant> Call(const QString& path, const char* interface, const char* method,
                         const QList<QVariant>& arguments = {}, Duration duration = Duration::Normal) const;

private:
    QDBusConnection m_connection;
    std::chrono::milliseconds m_normalTimeout;
    std::chrono::milliseconds m_longTimeout;
    std::function<void()> m_onTimeOut;
};
