#include "fake_engine.h"

#include "draftora/result_codes.h"
#include "twinview/automation_error.h"

#include <fstream>
#include <iterator>

namespace {

class FakeRole {
public:
    FakeRole(std::shared_ptr<FakeEngine> engine, int generation) : m_engine(std::move(engine)), m_generation(generation)
    {
    }

protected:
    void Enter(const std::string& call, std::vector<double> numbers = {}, std::string text = {})
    {
        m_engine->Enter(m_generation, call, std::move(numbers), std::move(text));
    }
    std::shared_ptr<FakeEngine> m_engine;
    int m_generation;
};

class FakeView : public IEngineView, FakeRole {
public:
    using FakeRole::FakeRole;
    void FillFrame() override { Enter("View.FillFrame"); }
    void Refresh() override { Enter("View.Refresh"); }
    void ZoomToWindow() override { Enter("View.ZoomToWindow"); }
    void Scale(double factor) override { Enter("View.Scale", {factor}); }
    void Restore() override { Enter("View.Restore"); }
};

class FakeViewPoints : public IEngineViewPoints, FakeRole {
public:
    using FakeRole::FakeRole;
    void PutPoints(int selector, const BoxCorners& c) override
    {
        Enter("ViewPoints.PutPoints", {double(selector), c[0], c[1], c[2], c[3], c[4], c[5]});
    }
};

class FakeBackground : public IEngineBackground, FakeRole {
public:
    FakeBackground(std::shared_ptr<FakeEngine> engine, int generation, std::size_t index)
        : FakeRole(std::move(engine), generation), m_index(index)
    {
    }
    std::uint32_t Get() override
    {
        Enter("Background.Get");
        return m_engine->documents[m_index].colour;
    }
    void Put(std::uint32_t colour) override
    {
        Enter("Background.Put", {double(colour)});
        m_engine->documents[m_index].colour = colour;
    }

private:
    std::size_t m_index;
};

class FakeDocumentRole : public IEngineDocument, FakeRole {
public:
    FakeDocumentRole(std::shared_ptr<FakeEngine> engine, int generation, std::size_t index)
        : FakeRole(std::move(engine), generation), m_index(index)
    {
    }
    std::string FullName() override
    {
        Enter("Document.FullName");
        return State().fullName;
    }
    void MakeCurrent(int value) override { Enter("Document.MakeCurrent", {double(value)}); }
    std::shared_ptr<IEngineView> ActiveView() override
    {
        Enter("Document.ActiveView");
        return std::make_shared<FakeView>(m_engine, m_generation);
    }
    BoxCorners Extents() override
    {
        Enter("Document.Extents");
        return State().extents;
    }
    std::shared_ptr<IEngineBackground> BackgroundHolder() override
    {
        Enter("Document.BackgroundHolder");
        return std::make_shared<FakeBackground>(m_engine, m_generation, m_index);
    }
    std::shared_ptr<IEngineViewPoints> ViewPointsHolder() override
    {
        Enter("Document.ViewPointsHolder");
        return std::make_shared<FakeViewPoints>(m_engine, m_generation);
    }
    void RunMacro(const std::string& path) override
    {
        Enter("Document.RunMacro", {}, path);
        m_engine->RunMacro(path);
    }
    void Close(int save, const std::string& name) override
    {
        Enter("Document.Close", {double(save)}, name);
        State().open = false;
    }

private:
    FakeDocument& State() { return m_engine->documents[m_index]; }
    std::size_t m_index;
};

class FakeDocuments : public IEngineDocuments, FakeRole {
public:
    using FakeRole::FakeRole;
    int Count() override
    {
        Enter("Documents.Count");
        return static_cast<int>(OpenIndices().size());
    }
    std::shared_ptr<IEngineDocument> Item(int index) override
    {
        Enter("Documents.Item", {double(index)});
        return std::make_shared<FakeDocumentRole>(m_engine, m_generation,
                                                  OpenIndices().at(static_cast<std::size_t>(index - 1)));
    }
    std::shared_ptr<IEngineDocument> Open(const std::string& path) override
    {
        Enter("Documents.Open", {}, path);
        const auto index = static_cast<std::size_t>(m_engine->OpenDocument(path));
        return std::make_shared<FakeDocumentRole>(m_engine, m_generation, index);
    }

private:
    std::vector<std::size_t> OpenIndices() const
    {
        std::vector<std::size_t> indices;
        for (std::size_t i = 0; i < m_engine->documents.size(); ++i)
            if (m_engine->documents[i].open)
                indices.push_back(i);
        return indices;
    }
};

class FakeApplication : public IEngineApplication, FakeRole {
public:
    using FakeRole::FakeRole;
    std::string Version() override
    {
        Enter("Application.Version");
        return m_engine->version;
    }
    void Quit() override
    {
        Enter("Application.Quit");
        m_engine->EndInstance();
    }
    std::uint64_t MainWindow() override
    {
        Enter("Application.MainWindow");
        return 0x5A5A;
    }
    bool IsVisible() override
    {
        Enter("Application.IsVisible");
        return true;
    }
    bool IsReady() override
    {
        Enter("Application.IsReady");
        return true;
    }
    void SetBatchMode(int value) override { Enter("Application.SetBatchMode", {double(value)}); }
    void Initialize() override { Enter("Application.Initialize"); }
    std::shared_ptr<IEngineDocuments> Documents() override
    {
        Enter("Application.Documents");
        return std::make_shared<FakeDocuments>(m_engine, m_generation);
    }
};

CAutomationError EngineError(std::uint32_t code, const std::string& description)
{
    return CAutomationError("Draftora", code, description, draftora::SystemText(code));
}

std::string FileNameInMacro(const std::string& macro)
{
    const std::string key = "<FileName \"";
    const auto start = macro.find(key);
    if (start == std::string::npos)
        return std::string();
    const auto end = macro.find('"', start + key.size());
    return macro.substr(start + key.size(), end - start - key.size());
}

} // namespace

void FakeEngine::AddDrawing(const std::string& path, const BoxCorners& extents)
{
    m_drawings[path] = extents;
}

void FakeEngine::OpenAlready(const std::string& path, std::uint32_t colour)
{
    documents.push_back({path, m_drawings.at(path), colour, true});
}

void FakeEngine::FailAt(const std::string& call, int n, std::uint32_t code)
{
    m_failAt[call] = n;
    m_failCode[call] = code;
}

void FakeEngine::Kill()
{
    EndInstance();
}

void FakeEngine::EndInstance()
{
    running = false;
    ++m_generation;
    documents.clear();
}

void FakeEngine::OnSleep()
{
    if (m_pendingBitmaps.empty() || ++m_sleepsSinceMacro < lateAfterSleeps)
        return;
    for (const std::string& path : m_pendingBitmaps)
        WriteTinyBmp(path);
    m_pendingBitmaps.clear();
}

std::vector<std::string> FakeEngine::Names() const
{
    std::vector<std::string> names;
    for (const FakeCall& call : calls)
        names.push_back(call.name);
    return names;
}

int FakeEngine::Count(const std::string& call) const
{
    int n = 0;
    for (const FakeCall& c : calls)
        n += c.name == call;
    return n;
}

std::shared_ptr<IEngineApplication> FakeEngine::Attach()
{
    calls.push_back({"System.Attach", {}, {}});
    return running ? NewApplication() : nullptr;
}

std::shared_ptr<IEngineApplication> FakeEngine::CreateAndRun()
{
    calls.push_back({"System.CreateAndRun", {}, {}});
    if (!canStart)
        return nullptr;
    EndInstance();
    running = true;
    return NewApplication();
}

std::shared_ptr<IEngineApplication> FakeEngine::NewApplication()
{
    return std::make_shared<FakeApplication>(shared_from_this(), m_generation);
}

void FakeEngine::Enter(int generation, const std::string& call, std::vector<double> numbers, std::string text)
{
    calls.push_back({call, std::move(numbers), std::move(text)});
    const int n = ++m_counts[call];
    if (generation != m_generation || !running)
        throw CAutomationError("D-Bus", draftora::kServerUnavailable, "The engine is gone.",
                               draftora::SystemText(draftora::kServerUnavailable));
    const auto failure = m_failAt.find(call);
    if (failure != m_failAt.end() && failure->second == n)
        throw EngineError(m_failCode[call], "injected failure");
}

int FakeEngine::OpenDocument(const std::string& path)
{
    const auto drawing = m_drawings.find(path);
    if (drawing == m_drawings.end())
        throw EngineError(draftora::kFileNotFound, "cannot open the drawing " + path);
    documents.push_back({path, drawing->second, 0xFFFFFF, true});
    return static_cast<int>(documents.size()) - 1;
}

void FakeEngine::RunMacro(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EngineError(draftora::kFileNotFound, "cannot open the macro file " + path);
    macros.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    macroPaths.push_back(path);
    const std::string bitmapPath = FileNameInMacro(macros.back());
    switch (bitmap) {
    case BitmapBehaviour::Immediate: WriteTinyBmp(bitmapPath); break;
    case BitmapBehaviour::Incomplete: WriteTinyBmp(bitmapPath, false); break;
    case BitmapBehaviour::Late:
        m_pendingBitmaps.push_back(bitmapPath);
        m_sleepsSinceMacro = 0;
        break;
    case BitmapBehaviour::Never: break;
    }
}

void FakeSleeper::Sleep(std::chrono::milliseconds duration)
{
    sleeps.push_back(duration);
    if (m_engine)
        m_engine->OnSleep();
}

void WriteTinyBmp(const std::string& path, bool complete)
{
    const std::uint32_t size = complete ? 58 : 158;
    unsigned char bytes[58] = {
        'B', 'M', std::uint8_t(size), 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0,
        24,  0};
    bytes[34] = 4; // image bytes: one padded row
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
}
