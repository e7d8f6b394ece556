// draftora-engine: the stand-in for the Draftora engine. Offers its
// application, documents and views on the D-Bus session bus under the name
// com.norwend.Draftora, reads .VKD drawings and writes bitmaps when a
// ">SaveBmp" macro is run.
//
//   draftora-engine [--owner BUS-NAME] [--version-text TEXT]
//
// Started by Twinview with --owner, it ends when that bus name leaves the
// bus or the process that owns it ends (Twinview is gone), even in the
// middle of a render. It always ends when the bus itself goes away.

#include "dbus_service.h"
#include "draftora/protocol.h"
#include "engine_model.h"
#include "owner_watchdog.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QTimer>

#include <unistd.h>

#include <cstdio>

namespace {

constexpr const char* kDefaultVersion = "21.0";
constexpr int kBusCheckMs = 1000;

struct Options {
    QString owner;
    QString version;
};

Options ParseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Stand-in for the Draftora engine, offered on the session bus.");
    parser.addHelpOption();
    const QCommandLineOption owner("owner", "End when this bus name leaves the bus.", "bus-name");
    const QCommandLineOption version("version-text", "Answer this version text.", "text", kDefaultVersion);
    parser.addOption(owner);
    parser.addOption(version);
    parser.process(app);
    return {parser.value(owner), parser.value(version)};
}

// Ends the engine when its owner leaves the bus, or when the bus goes away.
void EndWithOwnerAndBus(QDBusConnection& bus, const QString& owner, QCoreApplication& app)
{
    if (!owner.isEmpty()) {
        auto* watcher = new QDBusServiceWatcher(owner, bus, QDBusServiceWatcher::WatchForUnregistration, &app);
        QObject::connect(watcher, &QDBusServiceWatcher::serviceUnregistered, &app, &QCoreApplication::quit);
        if (!bus.interface()->isServiceRegistered(owner))
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        // A busy engine does not see the owner leave until its render ends:
        // the owner's process is watched on a thread of its own as well.
        const auto ownerPid = bus.interface()->servicePid(owner);
        if (ownerPid.isValid())
            draftora::WatchOwnerProcess(static_cast<pid_t>(ownerPid.value()), [] { ::_exit(0); });
    }
    auto* busCheck = new QTimer(&app);
    QObject::connect(busCheck, &QTimer::timeout, &app, [&app, bus] {
        if (!bus.isConnected())
            app.quit();
    });
    busCheck->start(kBusCheckMs);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    app.setApplicationName("draftora-engine");
    const Options options = ParseOptions(app);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "draftora-engine: no session bus: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    draftora::EngineModel model(options.version.toStdString());
    draftora::DraftoraService service(model);
    if (!bus.registerVirtualObject("/", &service, QDBusConnection::SubPath)) {
        std::fprintf(stderr, "draftora-engine: cannot register the engine's objects\n");
        return 1;
    }
    if (!bus.registerService(draftora::kServiceName)) {
        std::fprintf(stderr, "draftora-engine: another engine already runs as %s\n", draftora::kServiceName);
        return 2;
    }
    EndWithOwnerAndBus(bus, options.owner, app);
    return app.exec();
}
