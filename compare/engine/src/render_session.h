// One run of the render step: finds or opens the drawings, gives them one
// view window and exports each. Whatever ends the run, the destructor leaves
// every document as it was found.
#pragma once

#include "twinview/draftora_engine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class RenderSession {
public:
    RenderSession(CDraftoraEngine& engine, IEngineApplication& application, const RenderRequest& request);
    ~RenderSession();
    RenderSession(const RenderSession&) = delete;
    RenderSession& operator=(const RenderSession&) = delete;

    // True when every bitmap was written. Throws CEngineStepError.
    bool Run();

    std::uint64_t EngineWindow() const { return m_engineWindow; }

private:
    struct Drawing {
        Drawing(std::string drawingPath, std::string bitmapPath, const char* open, const char* setup)
            : path(std::move(drawingPath)), bitmap(std::move(bitmapPath)), openLabel(open), setupLabel(setup)
        {
        }
        std::string path;
        std::string bitmap;
        const char* openLabel;
        const char* setupLabel;
        std::shared_ptr<IEngineDocument> document;
        bool alreadyOpen = false;
        BoxCorners extents{};
        std::shared_ptr<IEngineBackground> background;
        std::uint32_t savedColour = 0;
        bool colourChanged = false;
        bool released = false;
    };

    void Prepare(IEngineDocuments& documents, Drawing& drawing);
    void FindOrOpen(IEngineDocuments& documents, Drawing& drawing);
    void SetUpView(Drawing& drawing);
    BoxCorners CommonWindow() const;
    bool Export(Drawing& drawing, const BoxCorners& window);
    void ChangeColour(Drawing& drawing);
    void RestoreColour(Drawing& drawing);
    void Release(Drawing& drawing);
    void CleanUp() noexcept;

    CDraftoraEngine& m_engine;
    IEngineApplication& m_application;
    const RenderRequest& m_request;
    std::vector<Drawing> m_drawings;
    std::uint64_t m_engineWindow = 0;
};
