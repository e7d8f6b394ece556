// The application: start-up and exit in their order. The services it calls
// are the real ones in the program and fakes in tests.
#pragma once

#include "command_line_info.h"

#include <QStringList>

class IAppServices {
public:
    virtual ~IAppServices() = default;
    // Tolkara by name, the language library, Tolkara freed again.
    virtual void* LoadLanguageLibrary() = 0;
    // From now on every text comes from `module` (null: the built-in ones).
    virtual void UseResources(void* module) = 0;
    // True when an engine of version 20 or higher is ready.
    virtual bool ConnectEngine() = 0;
    // Creates and shows the main window with the files of the command line.
    virtual bool CreateMainWindow(const CMyCommandLineInfo& commandLine) = 0;
    virtual void DisconnectEngine() = 0;
    virtual void FreeLanguageLibrary(void* module) = 0;
};

class CTwinviewApp {
public:
    explicit CTwinviewApp(IAppServices& services) : m_services(services) {}

    // `arguments` follow the program name. False: the program ends at once
    // without a window or a message (no engine, no window).
    bool InitInstance(const QStringList& arguments);
    // Disconnects the engine (an error there is swallowed) and frees the
    // language library. Safe to call after a failed InitInstance.
    void ExitInstance();

    const CMyCommandLineInfo& CommandLine() const { return m_commandLine; }
    bool EngineReady() const { return m_engineReady; }

private:
    IAppServices& m_services;
    CMyCommandLineInfo m_commandLine;
    void* m_languageLibrary = nullptr;
    bool m_engineReady = false;
    bool m_exited = false;
};
