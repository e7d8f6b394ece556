// Twinview's connection to the Draftora engine, and the rendering of one or
// two drawings into bitmaps with one common view window, so that the bitmaps
// line up pixel for pixel.
#pragma once

#include "twinview/automation_error.h"
#include "twinview/engine_roles.h"
#include "twinview/private_temp_dir.h"
#include "twinview/sleeper.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct RenderRequest {
    std::string drawing1;
    std::string bitmap1; // empty: drawing 1 is a raster file, not rendered
    std::string drawing2;
    std::string bitmap2; // empty: drawing 2 is not rendered
    int imageSize = 1000;
    bool changeColour = false;
    std::uint32_t colour = 0; // 32-bit RGB value, red in the low byte
};

// What a message of the rendering is about. The program words each kind in
// its own language; only automation errors carry their text with them.
enum class RenderMessageKind {
    AutomationError, // `text` is the formatted automation error
    RetryComparison, // the engine's view needs a fresh comparison
};

// One message box for the caller to show, in order.
struct RenderMessage {
    RenderMessageKind kind = RenderMessageKind::AutomationError;
    std::string text;
};

struct RenderResult {
    bool ok = false;
    std::vector<RenderMessage> messages;
};

// An automation error that ended the step named by `Label()` (empty for the
// export phase of the render step, which has no label of its own).
class CEngineStepError : public std::runtime_error {
public:
    CEngineStepError(std::string label, CAutomationError error);

    const std::string& Label() const { return m_label; }
    const CAutomationError& Error() const { return m_error; }
    // The message boxes this error asks for.
    std::vector<RenderMessage> Messages() const;

private:
    std::string m_label;
    CAutomationError m_error;
};

class CDraftoraEngine {
public:
    CDraftoraEngine(std::shared_ptr<IEngineSystem> system, std::shared_ptr<CPrivateTempDir> tempDir,
                    std::shared_ptr<ISleeper> sleeper = std::make_shared<CThreadSleeper>());
    // Disconnects, swallowing any error.
    virtual ~CDraftoraEngine();
    CDraftoraEngine(const CDraftoraEngine&) = delete;
    CDraftoraEngine& operator=(const CDraftoraEngine&) = delete;

    // Attaches to a running engine or starts one; true when an engine of
    // major version 20 or higher is ready. An engine it started but cannot
    // use is asked to quit.
    bool Connect();

    // Asks an engine that Connect started to quit; one it attached to is left
    // running. The interface is released in either case.
    void Disconnect();

    // Renders the drawings whose bitmap path is given. Automation errors are
    // caught and returned as messages; every document is left as it was
    // found (colour put back, borrowed ones restored, own ones closed).
    RenderResult RenderPair(const RenderRequest& request);

    // Has the engine write one bitmap of `window` into `bitmapPath`. False
    // when the bitmap never appears complete or cannot be asked for; an
    // automation error is thrown as CEngineStepError with the step's label.
    bool ExportBitmap(IEngineDocument* document, int imageSize, const std::string& bitmapPath,
                      const BoxCorners& window);

    bool IsConnected() const { return m_application != nullptr; }
    bool StartedEngine() const { return m_created; }
    // The engine's top-level window as the last render step saw it (0: none).
    std::uint64_t EngineWindow() const { return m_engineWindow; }

private:
    bool EnsureLive();
    void QuitStartedEngine() noexcept;

    std::shared_ptr<IEngineSystem> m_system;
    std::shared_ptr<CPrivateTempDir> m_tempDir;
    std::shared_ptr<ISleeper> m_sleeper;
    std::shared_ptr<IEngineApplication> m_application;
    bool m_created = false;
    std::uint64_t m_engineWindow = 0;
};
