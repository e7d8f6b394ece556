#include "standin_document.h"

#include "bmp_file.h"
#include "draftora/result_codes.h"
#include "engine_error.h"
#include "rasterizer.h"
#include "save_bmp_macro.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace draftora {

namespace {

constexpr std::streamsize kMaxMacroBytes = 1 << 20;
constexpr int kViewPointsSelector = 2;

std::string ReadMacroFile(const std::string& path)
{
    // Only a regular file: reading a pipe could block the engine for good.
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, error))
        in.open(path, std::ios::binary);
    if (!in.is_open())
        throw EngineError(kFileNotFound, "cannot open the macro file " + path);
    std::string text(std::istreambuf_iterator<char>(in), {});
    if (static_cast<std::streamsize>(text.size()) > kMaxMacroBytes)
        throw EngineError(kInvalidData, "the macro file " + path + " is too large");
    return text;
}

Box WindowOf(const SaveBmpCommand& command)
{
    return Box{std::min(command.x0, command.x1), std::min(command.y0, command.y1), std::max(command.x0, command.x1),
               std::max(command.y0, command.y1)};
}

} // namespace

StandInDocument::StandInDocument(int id, std::string fullName, Drawing drawing)
    : m_id(id), m_fullName(std::move(fullName)), m_drawing(std::move(drawing))
{
    m_view.window = draftora::Extents(m_drawing);
    m_pendingWindow = m_view.window;
}

std::array<double, 6> StandInDocument::Extents() const
{
    const Box box = draftora::Extents(m_drawing);
    return {box.lowX, box.lowY, 0.0, box.highX, box.highY, 0.0};
}

std::uint32_t StandInDocument::Background() const
{
    const Rgb& c = m_drawing.background;
    return std::uint32_t(c.r) | std::uint32_t(c.g) << 8 | std::uint32_t(c.b) << 16;
}

void StandInDocument::SetBackground(std::uint32_t colour)
{
    if (colour > 0xFFFFFFu)
        throw EngineError(kInvalidArgument, "the colour value has bits above the blue byte");
    m_drawing.background = Rgb{std::uint8_t(colour), std::uint8_t(colour >> 8), std::uint8_t(colour >> 16)};
}

void StandInDocument::FillFrame()
{
    if (!m_viewBeforeFill)
        m_viewBeforeFill = m_view;
    m_view = ViewState{draftora::Extents(m_drawing), 1.0};
}

void StandInDocument::PutPoints(int selector, const std::vector<double>& corners)
{
    if (selector != kViewPointsSelector)
        throw EngineError(kInvalidArgument,
                          "view points selector " + std::to_string(selector) + " is not known (2: window corners)");
    if (corners.size() != 6 || !std::all_of(corners.begin(), corners.end(), [](double v) { return std::isfinite(v); }))
        throw EngineError(kInvalidArgument, "the window needs six finite numbers");
    m_pendingWindow = Box{std::min(corners[0], corners[3]), std::min(corners[1], corners[4]),
                          std::max(corners[0], corners[3]), std::max(corners[1], corners[4])};
}

void StandInDocument::ZoomToWindow()
{
    m_view = ViewState{m_pendingWindow, 1.0};
}

void StandInDocument::Scale(double factor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        throw EngineError(kInvalidArgument, "the zoom factor must be a positive number");
    m_view.zoom *= factor;
}

void StandInDocument::Restore()
{
    if (m_viewBeforeFill)
        m_view = *m_viewBeforeFill;
    m_viewBeforeFill.reset();
}

void StandInDocument::RunMacro(const std::string& macroPath) const
{
    std::vector<SaveBmpCommand> commands;
    try {
        commands = ParseMacro(ReadMacroFile(macroPath));
    } catch (const MacroError& error) {
        throw EngineError(kInvalidData, macroPath + ": " + error.what());
    }
    for (const SaveBmpCommand& command : commands) {
        try {
            const Box window = WindowOf(command);
            Canvas canvas(command.width, ImageHeight(window, command.width), m_drawing.background);
            Render(m_drawing, window, canvas);
            WriteBmpFile(command.fileName, canvas);
        } catch (const std::invalid_argument& error) {
            throw EngineError(kInvalidArgument, "SaveBmp of " + m_fullName + ": " + error.what());
        } catch (const std::system_error& error) {
            throw EngineError(kWriteFault, std::string("SaveBmp: ") + error.what());
        }
    }
}

} // namespace draftora
