// twinview: compares two drawings pixel by pixel.
//
//   twinview [-compare] [-screenshot IMAGE] [FILE1 [FILE2]]
//   twinview --version
#include "bitmap_file.h"
#include "desktop_services.h"
#include "twinview_app.h"
#include "version_text.h"

#include <cstdio>
#include <cstring>

#include <tolkara/tolkara.h>

#include <QApplication>
#include <QMessageBox>

namespace {

// Tolkara's string loaders report missing strings through this hook.
void ShowTolkaraMessage(void*, const char* text, const char* caption)
{
    QMessageBox::warning(nullptr, QString::fromUtf8(caption), QString::fromUtf8(text));
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before any window or engine: scripts and installers ask it.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("twinview %s\n", ProgramVersionText().toUtf8().constData());
        return 0;
    }
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Norwend");
    QCoreApplication::setApplicationName("Twinview");
    RaiseImageAllocationLimit();
    TolkaraSetMessageHook(ShowTolkaraMessage, nullptr);

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
