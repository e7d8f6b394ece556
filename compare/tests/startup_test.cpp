// Start-up and exit in their order, with fakes for the services, and the
// loading of the language library through Tolkara by name.
#include "language_loader.h"
#include "twinview_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

int g_language = 0; // the address is the fake language library's handle

class FakeServices : public IAppServices {
public:
    void* LoadLanguageLibrary() override
    {
        log.push_back("language");
        return language;
    }
    void UseResources(void* module) override { log.push_back(module ? "resources:library" : "resources:built-in"); }
    bool ConnectEngine() override
    {
        log.push_back("connect");
        return engineReady;
    }
    bool CreateMainWindow(const CMyCommandLineInfo& commandLine) override
    {
        log.push_back("window:" + commandLine.file1.toStdString() + "|" + commandLine.file2.toStdString());
        return windowCreated;
    }
    void DisconnectEngine() override
    {
        log.push_back("disconnect");
        if (disconnectThrows)
            throw std::runtime_error("engine gone");
    }
    void FreeLanguageLibrary(void* module) override { log.push_back(module == language ? "free" : "free:wrong"); }

    void* language = &g_language;
    bool engineReady = true;
    bool windowCreated = true;
    bool disconnectThrows = false;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

class FakeLibraries : public IDynamicLibraries {
public:
    void* Open(const std::string& name) override
    {
        log.push_back("open " + name);
        return hasTolkara ? &tolkara : nullptr;
    }
    void* Symbol(void* library, const std::string& name) override
    {
        log.push_back(std::string("symbol ") + (library == &tolkara ? "tolkara " : "? ") + name);
        return hasExport ? reinterpret_cast<void*>(&FakeLoadResExtDll) : nullptr;
    }
    void Close(void* library) override { log.push_back(library == &tolkara ? "close tolkara" : "close ?"); }

    static void* FakeLoadResExtDll(void* module, int dataFile)
    {
        s_calls.push_back(std::string("LoadResExtDLL ") + (module ? "module" : "null") + " " +
                          std::to_string(dataFile));
        return s_result;
    }

    int tolkara = 0;
    bool hasTolkara = true;
    bool hasExport = true;
    Log log;
    static inline Log s_calls;
    static inline void* s_result = nullptr;
};

} // namespace

TEST(StartUp, RunsItsStepsInOrderAndShowsTheFilesOfTheCommandLine)
{
    FakeServices services;
    CTwinviewApp app(services);
    ASSERT_TRUE(app.InitInstance({"/p/a.vkd", "/p/b.vkd"}));
    EXPECT_EQ(services.log, (Log{"language", "resources:library", "connect", "window:/p/a.vkd|/p/b.vkd"}));
    app.ExitInstance();
    EXPECT_EQ(services.log.back(), "free");
    EXPECT_EQ(services.log[services.log.size() - 2], "disconnect");
}

TEST(StartUp, WithoutAnEngineNoWindowIsMade)
{
    FakeServices services;
    services.engineReady = false;
    CTwinviewApp app(services);
    EXPECT_FALSE(app.InitInstance({"a.png"}));
    EXPECT_EQ(services.log, (Log{"language", "resources:library", "connect"}));
    app.ExitInstance();
    EXPECT_EQ(services.log.back(), "free");
}

TEST(StartUp, AWindowThatCannotBeMadeEndsTheProgram)
{
    FakeServices services;
    services.windowCreated = false;
    CTwinviewApp app(services);
    EXPECT_FALSE(app.InitInstance({}));
}

TEST(StartUp, WithoutALanguageLibraryTheBuiltInTextsAreUsedAndNothingIsFreed)
{
    FakeServices services;
    services.language = nullptr;
    CTwinviewApp app(services);
    ASSERT_TRUE(app.InitInstance({}));
    app.ExitInstance();
    EXPECT_EQ(services.log, (Log{"language", "resources:built-in", "connect", "window:|", "disconnect"}));
}

TEST(StartUp, AnErrorWhileDisconnectingIsSwallowedAndTheLibraryStillFreed)
{
    FakeServices services;
    services.disconnectThrows = true;
    CTwinviewApp app(services);
    ASSERT_TRUE(app.InitInstance({}));
    EXPECT_NO_THROW(app.ExitInstance());
    EXPECT_EQ(services.log.back(), "free");
    app.ExitInstance(); // a second exit frees nothing twice
    EXPECT_EQ(services.log.back(), "free");
    EXPECT_EQ(std::count(services.log.begin(), services.log.end(), "free"), 1);
}

TEST(LanguageLoader, LoadsTolkaraByNameAsksForTheLibraryAndFreesTolkaraAtOnce)
{
    FakeLibraries libraries;
    int languageLibrary = 0;
    FakeLibraries::s_calls.clear();
    FakeLibraries::s_result = &languageLibrary;
    EXPECT_EQ(LoadLanguageLibrary(libraries), &languageLibrary);
    EXPECT_EQ(libraries.log, (Log{"open libtolkara.so", "symbol tolkara LoadResExtDLL", "close tolkara"}));
    EXPECT_EQ(FakeLibraries::s_calls, (Log{"LoadResExtDLL null 0"}));
}

TEST(LanguageLoader, TolkaraIsFreedEvenWithoutTheExportOrALibrary)
{
    FakeLibraries libraries;
    libraries.hasExport = false;
    EXPECT_EQ(LoadLanguageLibrary(libraries), nullptr);
    EXPECT_EQ(libraries.log.back(), "close tolkara");

    FakeLibraries noLibrary;
    FakeLibraries::s_result = nullptr;
    EXPECT_EQ(LoadLanguageLibrary(noLibrary), nullptr);
    EXPECT_EQ(noLibrary.log.back(), "close tolkara");
}

TEST(LanguageLoader, WithoutTolkaraNothingIsClosed)
{
    FakeLibraries libraries;
    libraries.hasTolkara = false;
    EXPECT_EQ(LoadLanguageLibrary(libraries), nullptr);
    EXPECT_EQ(libraries.log, (Log{"open libtolkara.so"}));
}

TEST(LanguageLoader, TheRealTolkaraFindsNoLibraryForTheTestProgram)
{
    // No twinview_app_testsen.so lies beside libtolkara.so: null, no message.
    CSystemLibraries libraries;
    EXPECT_EQ(LoadLanguageLibrary(libraries), nullptr);
}
