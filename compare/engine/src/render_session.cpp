#include "render_session.h"

#include "engine_step.h"
#include "twinview/view_window.h"

#include <filesystem>

namespace {

// Linux file names are case-sensitive: two paths name one drawing when
// their canonical forms are equal.
bool SamePath(const std::string& a, const std::string& b)
{
    std::error_code ea, eb;
    const auto ca = std::filesystem::weakly_canonical(a, ea);
    const auto cb = std::filesystem::weakly_canonical(b, eb);
    if (ea || eb)
        return a == b;
    return ca == cb;
}

} // namespace

RenderSession::RenderSession(CDraftoraEngine& engine, IEngineApplication& application, const RenderRequest& request)
    : m_engine(engine), m_application(application), m_request(request)
{
    if (!request.bitmap1.empty())
        m_drawings.emplace_back(request.drawing1, request.bitmap1, "Open File 1", "Setup View 1");
    if (!request.bitmap2.empty())
        m_drawings.emplace_back(request.drawing2, request.bitmap2, "Open File 2", "Setup View 2");
}

RenderSession::~RenderSession()
{
    CleanUp();
}

bool RenderSession::Run()
{
    if (m_drawings.empty())
        return true;
    std::shared_ptr<IEngineDocuments> documents;
    RunStep("", [&] {
        m_engineWindow = m_application.MainWindow();
        documents = m_application.Documents();
    });
    for (Drawing& drawing : m_drawings)
        Prepare(*documents, drawing);
    const BoxCorners window = WidenByMargin(CommonWindow());
    bool allWritten = true;
    for (Drawing& drawing : m_drawings)
        allWritten = Export(drawing, window) && allWritten;
    return allWritten;
}

void RenderSession::Prepare(IEngineDocuments& documents, Drawing& drawing)
{
    RunStep(drawing.openLabel, [&] { FindOrOpen(documents, drawing); });
    RunStep(drawing.setupLabel, [&] { SetUpView(drawing); });
}

void RenderSession::FindOrOpen(IEngineDocuments& documents, Drawing& drawing)
{
    const int count = documents.Count();
    for (int index = 1; index <= count; ++index) {
        std::shared_ptr<IEngineDocument> candidate = documents.Item(index);
        if (candidate && SamePath(candidate->FullName(), drawing.path)) {
            drawing.document = std::move(candidate);
            drawing.alreadyOpen = true;
            return;
        }
    }
    drawing.document = documents.Open(drawing.path);
}

void RenderSession::SetUpView(Drawing& drawing)
{
    IEngineDocument& document = *drawing.document;
    document.MakeCurrent(1);
    document.ActiveView()->FillFrame();
    document.ActiveView()->Refresh();
    drawing.extents = document.Extents();
}

BoxCorners RenderSession::CommonWindow() const
{
    const BoxCorners* second = m_drawings.size() > 1 ? &m_drawings[1].extents : nullptr;
    return UnionOfExtents(m_drawings[0].extents, second);
}

bool RenderSession::Export(Drawing& drawing, const BoxCorners& window)
{
    if (m_request.changeColour)
        RunStep("", [&] { ChangeColour(drawing); });
    const bool written = m_engine.ExportBitmap(drawing.document.get(), m_request.imageSize, drawing.bitmap, window);
    RunStep("", [&] {
        RestoreColour(drawing);
        Release(drawing);
    });
    return written;
}

void RenderSession::ChangeColour(Drawing& drawing)
{
    drawing.background = drawing.document->BackgroundHolder();
    drawing.savedColour = drawing.background->Get();
    drawing.colourChanged = true;
    drawing.background->Put(m_request.colour);
}

void RenderSession::RestoreColour(Drawing& drawing)
{
    if (!drawing.colourChanged)
        return;
    drawing.colourChanged = false; // one attempt only, also when it fails
    drawing.background->Put(drawing.savedColour);
}

void RenderSession::Release(Drawing& drawing)
{
    if (!drawing.document || drawing.released)
        return;
    drawing.released = true;
    if (drawing.alreadyOpen)
        drawing.document->ActiveView()->Restore();
    else
        drawing.document->Close(0, std::string());
}

void RenderSession::CleanUp() noexcept
{
    // Each clean-up is guarded on its own, so that one failure does not
    // leave the other documents changed or open.
    for (Drawing& drawing : m_drawings) {
        try {
            RestoreColour(drawing);
        } catch (const std::exception&) {
        }
        try {
            Release(drawing);
        } catch (const std::exception&) {
        }
    }
}
