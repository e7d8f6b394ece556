#include "twinview/dbus_engine_system.h"

#include "dbus_caller.h"
#include "dbus_roles.h"
#include "draftora/protocol.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <cerrno>
#include <csignal>

namespace {

constexpr int kStartPollMs = 20;

bool ProcessAlive(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

class DbusEngineSystem : public IEngineSystem {
public:
    explicit DbusEngineSystem(DbusEngineOptions options) : m_options(std::move(options)) {}

    std::shared_ptr<IEngineApplication> Attach() override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.interface()->isServiceRegistered(draftora::kServiceName))
            return nullptr;
        return Application(bus);
    }

    std::shared_ptr<IEngineApplication> CreateAndRun() override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return nullptr;
        qint64 pid = 0;
        if (!QProcess::startDetached(Program(), Arguments(bus), QString(), &pid))
            return nullptr;
        if (!WaitForService(bus, pid)) {
            EndStartedEngine(bus, pid);
            return nullptr;
        }
        // An engine that does not answer in time is hung or lost in a
        // render nobody waits for any more: the one we started is ended
        // rather than left behind burning the processor. The next call
        // finds it gone and a new one is started.
        return Application(bus, [bus, pid] { EndStartedEngine(bus, pid); });
    }

private:
    std::shared_ptr<IEngineApplication> Application(const QDBusConnection& bus,
                                                    std::function<void()> onTimeOut = {}) const
    {
        return MakeDbusApplication(std::make_shared<const DbusCaller>(bus, m_options.callTimeout,
                                                                      m_options.longCallTimeout, std::move(onTimeOut)));
    }

    // Ends process `pid` when it is the engine on the bus, or, while no
    // engine is on the bus, when it still runs (its start was given up).
    static void EndStartedEngine(const QDBusConnection& bus, qint64 pid)
    {
        const auto owner = bus.interface()->servicePid(draftora::kServiceName);
        const bool ours = owner.isValid() ? owner.value() == pid : ProcessAlive(pid);
        if (ours)
            ::kill(static_cast<pid_t>(pid), SIGKILL);
    }

    QString Program() const
    {
        return QString::fromStdString(m_options.program.empty() ? DefaultEngineProgram() : m_options.program);
    }

    // The engine ends by itself when this connection's unique name leaves
    // the bus, that is when Twinview is gone.
    QStringList Arguments(const QDBusConnection& bus) const
    {
        QStringList arguments{"--owner", bus.baseService()};
        for (const std::string& argument : m_options.arguments)
            arguments << QString::fromStdString(argument);
        return arguments;
    }

    // Bounded: the started engine must own the service name within the
    // start time-out, and it must be our process that owns it.
    bool WaitForService(QDBusConnection& bus, qint64 pid) const
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < m_options.startTimeout.count()) {
            const auto owner = bus.interface()->servicePid(draftora::kServiceName);
            if (owner.isValid())
                return owner.value() == pid;
            if (!ProcessAlive(pid))
                return false;
            QThread::msleep(kStartPollMs);
        }
        return false;
    }

    DbusEngineOptions m_options;
};

} // namespace

std::shared_ptr<IEngineSystem> MakeDbusEngineSystem(DbusEngineOptions options)
{
    return std::make_shared<DbusEngineSystem>(std::move(options));
}

std::string DefaultEngineProgram()
{
    return (QCoreApplication::applicationDirPath() + "/draftora-engine").toStdString();
}
