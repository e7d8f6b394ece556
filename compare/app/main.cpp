// twinview: compares two drawings pixel by pixel.
//
//   twinview [-compare] [-screenshot IMAGE] [FILE1 [FILE2]]
//   twinview --version
//   twinview compare A B [--diff OUT.png] [--threshold T] [--antialias] [--json]
#include "bitmap_file.h"
#include "compare_cli.h"
#include "desktop_services.h"
#include "twinview_app.h"
#include "version_text.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QCoreApplication>

namespace {

bool HasScreenshotSwitch(int argc, char** argv)
{
    for (int k = 1; k < argc; ++k)
        if (std::strcmp(argv[k], "-screenshot") == 0)
            return true;
    return false;
}

// Qt's platform plugin aborts when there is no display to connect to. An
// unattended run (-screenshot) needs none: it draws off screen. A window
// needs one: say so instead of aborting.
bool PrepareDisplay(int argc, char** argv)
{
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (display)
        return true;
    if (HasScreenshotSwitch(argc, argv)) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return true;
    }
    std::fputs("twinview: there is no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
               "set)\n",
               stderr);
    return false;
}

// A TMPDIR that names no writable directory would make every render fail
// later without a word.
bool CheckTemporaryDirectory()
{
    const char* tmp = std::getenv("TMPDIR");
    if (!tmp || !*tmp || access(tmp, W_OK | X_OK) == 0)
        return true;
    std::fprintf(stderr, "twinview: TMPDIR (%s) is not a writable directory\n", tmp);
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before any window or engine: scripts and installers ask it.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("twinview %s\n", ProgramVersionText().toUtf8().constData());
        return 0;
    }
    // The compare for scripts needs no display and, for raster files, no
    // session bus.
    if (argc >= 2 && std::strcmp(argv[1], "compare") == 0) {
        QCoreApplication application(argc, argv);
        RaiseImageAllocationLimit();
        return RunCompareCommand(QCoreApplication::arguments().mid(2), stdout, stderr);
    }
    if (!PrepareDisplay(argc, argv) || !CheckTemporaryDirectory())
        return 1;
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Norwend");
    QCoreApplication::setApplicationName("Twinview");
    // Ties the window to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName("com.norwend.Twinview");
    RaiseImageAllocationLimit();

    CDesktopServices services;
    CTwinviewApp twinview(services);
    // Without an engine (or a window) the program ends without a word.
    int code = 1;
    if (twinview.InitInstance(QCoreApplication::arguments().mid(1)))
        code = application.exec();
    services.DestroyMainWindow();
    twinview.ExitInstance();
    return code;
}
