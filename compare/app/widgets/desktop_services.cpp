#include "desktop_services.h"

#include "command_states.h"
#include "console_user_interface.h"
#include "file_kind.h"
#include "help_file.h"
#include "language_loader.h"
#include "qt_user_interface.h"
#include "settings.h"
#include "string_ids.h"
#include "twinview_dlg.h"

#include "twinview/dbus_engine_system.h"
#include "twinview/draftora_engine.h"
#include "twinview/private_temp_dir.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <exception>

CDesktopServices::CDesktopServices() = default;

CDesktopServices::~CDesktopServices()
{
    DestroyMainWindow();
}

void* CDesktopServices::LoadLanguageLibrary()
{
    return ::LoadLanguageLibrary(m_libraries);
}

void CDesktopServices::UseResources(void* module)
{
    m_strings = CStringTable(module);
}

namespace {
// Whether a session bus can be found at all: named by the environment, or
// the standard socket in the user's runtime directory.
bool SessionBusExpected()
{
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && QFileInfo::exists(QString::fromLocal8Bit(runtime) + "/bus");
}
} // namespace

bool CDesktopServices::ConnectEngine()
{
    try {
        m_tempDir = std::make_shared<CPrivateTempDir>();
        m_engine = std::make_unique<CDraftoraEngine>(MakeDbusEngineSystem(), m_tempDir);
        m_engineReady = m_engine->Connect();
    } catch (const std::exception&) {
        m_engineReady = false;
    }
    // Without an engine the program ends quietly; without a bus to reach
    // one on, it says what is missing.
    if (!m_engineReady && !SessionBusExpected())
        std::fputs("twinview: there is no session bus to reach the drawing engine on "
                   "(DBUS_SESSION_BUS_ADDRESS is not set)\n",
                   stderr);
    return m_engineReady;
}

bool CDesktopServices::CreateMainWindow(const CMyCommandLineInfo& commandLine)
{
    const bool unattended = !commandLine.screenshotPath.isEmpty();
    auto* qtUi = unattended ? nullptr : new CQtUserInterface;
    m_ui.reset(unattended ? static_cast<IUserInterface*>(new CConsoleUserInterface) : qtUi);
    const QString helpFile = HelpFilePath(QCoreApplication::applicationDirPath());
    TwinviewDlgContext context{*m_ui,   m_strings, *m_tempDir, m_engine.get(), m_engineReady, DefaultSettingsFile(),
                               helpFile};
    m_window = std::make_unique<CTwinviewDlg>(context);
    if (qtUi)
        qtUi->SetMainWindow(m_window.get());
    m_window->SetFiles(commandLine.file1, commandLine.file2);
    m_window->show();
    if (unattended)
        QTimer::singleShot(0, m_window.get(), [this, commandLine] {
            RunScreenshot(commandLine.screenshotPath, commandLine.file1, commandLine.file2);
        });
    else if (commandLine.compareAtStart)
        QTimer::singleShot(0, m_window.get(), [this] { m_window->OnCompare(); });
    return true;
}

// Compares, shows the differences, saves the window and ends the program:
// exit code 0 when the files were compared and the image saved, 1 when
// they could not be compared (nothing is written then), 2 for a command
// line that would write over an input: "-screenshot a.png b.png" has lost
// its image path, and an image path naming one of the files is refused.
void CDesktopServices::RunScreenshot(const QString& path, const QString& file1, const QString& file2)
{
    const QByteArray image = path.toLocal8Bit();
    if (file1.isEmpty() || file2.isEmpty()) {
        std::fprintf(stderr, "twinview: -screenshot %s needs two files to compare; nothing written\n",
                     image.constData());
        QCoreApplication::exit(2);
        return;
    }
    if (IsSameFile(path, file1) || IsSameFile(path, file2)) {
        std::fprintf(stderr, "twinview: the screenshot %s is one of the files to compare; nothing written\n",
                     image.constData());
        QCoreApplication::exit(2);
        return;
    }
    m_window->OnCompare();
    if (m_window->ViewMode() < 0) {
        QCoreApplication::exit(1);
        return;
    }
    m_window->OnCommand(ids::kShowDifferences);
    QCoreApplication::processEvents();
    if (!m_window->grab().save(path)) {
        std::fprintf(stderr, "twinview: cannot save the window into %s\n", image.constData());
        QCoreApplication::exit(1);
        return;
    }
    QCoreApplication::exit(0);
}

void CDesktopServices::DisconnectEngine()
{
    if (m_engine)
        m_engine->Disconnect();
}

void CDesktopServices::FreeLanguageLibrary(void* module)
{
    m_strings = CStringTable(nullptr);
    // Tolkara loaded it as an ordinary library: an ordinary close frees it.
    if (module)
        CSystemLibraries().Close(module);
}

void CDesktopServices::DestroyMainWindow()
{
    m_window.reset();
}
