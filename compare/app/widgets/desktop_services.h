// The real start-up services of the program: Tolkara and the language
// library, the Draftora engine over the session bus, and the main window.
#pragma once

#include "language_loader.h"
#include "text_table.h"
#include "twinview_app.h"

#include <memory>

class CDraftoraEngine;
class CPrivateTempDir;
class CTwinviewDlg;
class IUserInterface;

class CDesktopServices : public IAppServices {
public:
    CDesktopServices();
    ~CDesktopServices() override;

    void* LoadLanguageLibrary() override;
    void UseResources(void* module) override;
    bool ConnectEngine() override;
    bool CreateMainWindow(const CMyCommandLineInfo& commandLine) override;
    void DisconnectEngine() override;
    void FreeLanguageLibrary(void* module) override;

    // Closes the main window's object (deleting its temporary bitmaps)
    // before the language library that supplied its texts goes away.
    void DestroyMainWindow();

private:
    void RunScreenshot(const QString& path, const QString& file1, const QString& file2);

    CSystemLibraries m_libraries;
    CStringTable m_strings;
    std::shared_ptr<CPrivateTempDir> m_tempDir;
    std::unique_ptr<CDraftoraEngine> m_engine;
    bool m_engineReady = false;
    std::unique_ptr<IUserInterface> m_ui;
    std::unique_ptr<CTwinviewDlg> m_window;
};
