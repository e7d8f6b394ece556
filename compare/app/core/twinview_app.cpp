#include "twinview_app.h"

#include <exception>

bool CTwinviewApp::InitInstance(const QStringList& arguments)
{
    m_languageLibrary = m_services.LoadLanguageLibrary();
    m_services.UseResources(m_languageLibrary);
    m_commandLine.ParseArguments(arguments);
    m_engineReady = m_services.ConnectEngine();
    if (!m_engineReady)
        return false;
    return m_services.CreateMainWindow(m_commandLine);
}

void CTwinviewApp::ExitInstance()
{
    if (m_exited)
        return;
    m_exited = true;
    try {
        m_services.DisconnectEngine();
    } catch (const std::exception&) {
        // The engine may be gone already; the program ends anyway.
    }
    if (m_languageLibrary) {
        m_services.FreeLanguageLibrary(m_languageLibrary);
        m_languageLibrary = nullptr;
    }
}
