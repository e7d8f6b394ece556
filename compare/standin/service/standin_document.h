// One drawing open in the stand-in engine, with its view and background.
#pragma once

#include "drawing.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace draftora {

// What the document's view shows: a window of the drawing and a zoom.
struct ViewState {
    Box window;
    double zoom = 1.0;
};

class StandInDocument {
public:
    StandInDocument(int id, std::string fullName, Drawing drawing);

    int Id() const { return m_id; }
    const std::string& FullName() const { return m_fullName; }
    const ViewState& View() const { return m_view; }

    // Low x, y, z and high x, y, z (z is 0: drawings are flat).
    std::array<double, 6> Extents() const;

    // 32-bit RGB value, red in the low byte.
    std::uint32_t Background() const;
    void SetBackground(std::uint32_t colour);

    // The view: FillFrame shows the whole drawing, PutPoints (selector 2)
    // sets the window that ZoomToWindow shows, Scale zooms, and Restore
    // brings back the view as it was before the first FillFrame.
    void FillFrame();
    void PutPoints(int selector, const std::vector<double>& corners);
    void ZoomToWindow();
    void Scale(double factor);
    void Restore();

    // Executes the macro file; ">SaveBmp" writes a 24-bit BMP of its window
    // with the document's background. Throws EngineError.
    void RunMacro(const std::string& macroPath) const;

private:
    int m_id;
    std::string m_fullName;
    Drawing m_drawing;
    ViewState m_view;
    Box m_pendingWindow;
    std::optional<ViewState> m_viewBeforeFill;
};

} // namespace draftora
