#include "twinview/draftora_engine.h"

#include "bitmap_wait.h"
#include "engine_step.h"
#include "macro_text.h"
#include "twinview/view_window.h"

#include <system_error>

#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds kSettleTime{100};
constexpr int kPointsSelector = 2;
constexpr double kZoomOutFactor = 0.95;

// Deletes the macro file on every path out of the export.
class MacroFile {
public:
    MacroFile(CPrivateTempDir& dir, const std::string& text) : m_path(dir.CreateFile("vkmacro", ".vkm", text)) {}
    ~MacroFile() { ::unlink(m_path.c_str()); }
    MacroFile(const MacroFile&) = delete;
    MacroFile& operator=(const MacroFile&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

bool CDraftoraEngine::ExportBitmap(IEngineDocument* document, int imageSize, const std::string& bitmapPath,
                                   const BoxCorners& window)
{
    if (!document || !IsMacroSafePath(bitmapPath))
        return false;
    const BoxCorners box = NonDegenerate(window);
    const int width = BitmapWidth(box, imageSize);

    std::shared_ptr<IEngineView> view;
    RunStep("Setup View - Maximize", [&] {
        view = document->ActiveView();
        view->FillFrame();
    });
    std::shared_ptr<IEngineViewPoints> points;
    RunStep("Setup View - Get Points", [&] { points = document->ViewPointsHolder(); });
    RunStep("Setup View - Set Points", [&] { points->PutPoints(kPointsSelector, box); });
    m_sleeper->Sleep(kSettleTime);
    RunStep("Setup View - Zoom", [&] { view->ZoomToWindow(); });
    RunStep("Setup View 0.95", [&] { view->Scale(kZoomOutFactor); });

    // A file already at the path would pass the wait at once.
    if (!RemoveStaleBitmap(bitmapPath))
        return false;
    {
        std::unique_ptr<MacroFile> macro;
        try {
            macro = std::make_unique<MacroFile>(*m_tempDir, SaveBmpMacroText(box, bitmapPath, width));
        } catch (const std::system_error&) {
            return false;
        }
        RunStep("MacroEXEc", [&] { document->RunMacro(macro->Path()); });
    }
    return WaitForBitmap(bitmapPath, *m_sleeper);
}
