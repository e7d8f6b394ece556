#include "twinview/draftora_engine.h"

#include "engine_version.h"
#include "macro_text.h"
#include "render_session.h"

namespace {

constexpr int kLowestMajorVersion = 20;

} // namespace

CDraftoraEngine::CDraftoraEngine(std::shared_ptr<IEngineSystem> system, std::shared_ptr<CPrivateTempDir> tempDir,
                                 std::shared_ptr<ISleeper> sleeper)
    : m_system(std::move(system)), m_tempDir(std::move(tempDir)), m_sleeper(std::move(sleeper))
{
}

CDraftoraEngine::~CDraftoraEngine()
{
    try {
        Disconnect();
    } catch (...) {
        // The engine may be gone already; nothing is left to clean up.
    }
}

bool CDraftoraEngine::Connect()
{
    m_application.reset();
    m_created = false;
    std::shared_ptr<IEngineApplication> application = m_system->Attach();
    if (!application) {
        application = m_system->CreateAndRun();
        if (!application)
            return false;
        m_created = true;
    }
    m_application = application;
    try {
        application->SetBatchMode(1);
        application->Initialize();
        if (LeadingInteger(application->Version()) >= kLowestMajorVersion)
            return true;
    } catch (const CAutomationError&) {
        // An engine that fails its set-up is as unusable as an old one.
    }
    QuitStartedEngine();
    m_application.reset();
    m_created = false;
    return false;
}

void CDraftoraEngine::Disconnect()
{
    const std::shared_ptr<IEngineApplication> application = std::move(m_application);
    m_application.reset();
    const bool created = m_created;
    m_created = false;
    if (created && application)
        application->Quit();
}

void CDraftoraEngine::QuitStartedEngine() noexcept
{
    if (!m_created || !m_application)
        return;
    try {
        m_application->Quit();
    } catch (const std::exception&) {
        // Quitting is a courtesy; an engine that cannot answer is left alone.
    }
}

bool CDraftoraEngine::EnsureLive()
{
    if (m_application) {
        try {
            m_application->IsVisible();
            m_application->IsReady();
            return true;
        } catch (const CAutomationError&) {
            // The engine was closed or died since the last render: reconnect.
        }
    }
    return Connect();
}

RenderResult CDraftoraEngine::RenderPair(const RenderRequest& request)
{
    RenderResult result;
    for (const std::string* bitmap : {&request.bitmap1, &request.bitmap2})
        if (!bitmap->empty() && !IsMacroSafePath(*bitmap))
            return result;
    try {
        if (!EnsureLive())
            return result;
        RenderSession session(*this, *m_application, request);
        try {
            result.ok = session.Run();
        } catch (const CEngineStepError& error) {
            result.messages = error.Messages();
        }
        m_engineWindow = session.EngineWindow();
    } catch (const CAutomationError& error) {
        result.messages = CEngineStepError("", error).Messages();
    } catch (const std::exception&) {
        result.ok = false;
    }
    return result;
}
