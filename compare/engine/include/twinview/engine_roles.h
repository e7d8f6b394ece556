// The roles the Draftora engine plays for Twinview. CDraftoraEngine only
// talks to these interfaces; the D-Bus binding to the stand-in engine and the
// recording fake of the tests implement them. Every call may throw
// CAutomationError.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// Low x, y, z and high x, y, z of a box in drawing units.
using BoxCorners = std::array<double, 6>;

class IEngineView {
public:
    virtual ~IEngineView() = default;
    virtual void FillFrame() = 0;
    virtual void Refresh() = 0;
    virtual void ZoomToWindow() = 0;
    virtual void Scale(double factor) = 0;
    // Puts back what the engine's own view commands expect of an open
    // document that Twinview borrowed.
    virtual void Restore() = 0;
};

class IEngineViewPoints {
public:
    virtual ~IEngineViewPoints() = default;
    virtual void PutPoints(int selector, const BoxCorners& corners) = 0;
};

class IEngineBackground {
public:
    virtual ~IEngineBackground() = default;
    // 32-bit RGB colour value, red in the low byte.
    virtual std::uint32_t Get() = 0;
    virtual void Put(std::uint32_t colour) = 0;
};

class IEngineDocument {
public:
    virtual ~IEngineDocument() = default;
    virtual std::string FullName() = 0;
    virtual void MakeCurrent(int value) = 0;
    virtual std::shared_ptr<IEngineView> ActiveView() = 0;
    virtual BoxCorners Extents() = 0;
    virtual std::shared_ptr<IEngineBackground> BackgroundHolder() = 0;
    virtual std::shared_ptr<IEngineViewPoints> ViewPointsHolder() = 0;
    virtual void RunMacro(const std::string& macroPath) = 0;
    virtual void Close(int save, const std::string& name) = 0;
};

class IEngineDocuments {
public:
    virtual ~IEngineDocuments() = default;
    virtual int Count() = 0;
    // 1-based, as the engine counts.
    virtual std::shared_ptr<IEngineDocument> Item(int index) = 0;
    virtual std::shared_ptr<IEngineDocument> Open(const std::string& path) = 0;
};

class IEngineApplication {
public:
    virtual ~IEngineApplication() = default;
    virtual std::string Version() = 0;
    virtual void Quit() = 0;
    virtual std::uint64_t MainWindow() = 0;
    // The two state queries: only their answering matters (liveness probe).
    virtual bool IsVisible() = 0;
    virtual bool IsReady() = 0;
    // The two set-up calls made at connection.
    virtual void SetBatchMode(int value) = 0;
    virtual void Initialize() = 0;
    virtual std::shared_ptr<IEngineDocuments> Documents() = 0;
};

// How an engine instance is reached: attach to a running one, or create and
// run a new one. Both give null when no instance can be had.
class IEngineSystem {
public:
    virtual ~IEngineSystem() = default;
    virtual std::shared_ptr<IEngineApplication> Attach() = 0;
    virtual std::shared_ptr<IEngineApplication> CreateAndRun() = 0;
};
