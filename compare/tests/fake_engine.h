// A recording fake of the Draftora engine: every role call is logged with its
// values, and tests can make the n-th call of a role fail, have documents
// open already, kill the engine, set its version text and choose how the
// bitmap of a macro appears (at once, late, incomplete or never).
#pragma once

#include "twinview/engine_roles.h"
#include "twinview/sleeper.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct FakeCall {
    std::string name; // "Role.Method"
    std::vector<double> numbers;
    std::string text;
};

enum class BitmapBehaviour { Immediate, Late, Incomplete, Never };

struct FakeDocument {
    std::string fullName;
    BoxCorners extents{};
    std::uint32_t colour = 0xFFFFFF;
    bool open = true;
};

class FakeEngine : public IEngineSystem, public std::enable_shared_from_this<FakeEngine> {
public:
    // Set-up.
    std::string version = "21.0";
    bool running = false;
    bool canStart = true;
    BitmapBehaviour bitmap = BitmapBehaviour::Immediate;
    int lateAfterSleeps = 3;

    void AddDrawing(const std::string& path, const BoxCorners& extents);
    // A document the user has open in the running engine.
    void OpenAlready(const std::string& path, std::uint32_t colour = 0xFFFFFF);
    // The n-th call (1-based) of `call` raises an automation error.
    void FailAt(const std::string& call, int n, std::uint32_t code = 0x80004005u);
    // The engine process disappears; calls through its objects fail.
    void Kill();
    // Called by FakeSleeper: a late bitmap appears after some sleeps.
    void OnSleep();

    // Records.
    std::vector<FakeCall> calls;
    std::vector<std::string> macros; // the text of every macro run
    std::vector<std::string> macroPaths;
    std::vector<FakeDocument> documents;
    std::vector<std::string> Names() const;
    int Count(const std::string& call) const;

    // IEngineSystem.
    std::shared_ptr<IEngineApplication> Attach() override;
    std::shared_ptr<IEngineApplication> CreateAndRun() override;

    // Used by the role objects.
    void Enter(int generation, const std::string& call, std::vector<double> numbers = {}, std::string text = {});
    int Generation() const { return m_generation; }
    int OpenDocument(const std::string& path);
    void RunMacro(const std::string& path);
    void EndInstance();

private:
    std::shared_ptr<IEngineApplication> NewApplication();

    std::map<std::string, BoxCorners> m_drawings;
    std::map<std::string, int> m_failAt;
    std::map<std::string, std::uint32_t> m_failCode;
    std::map<std::string, int> m_counts;
    int m_generation = 0;
    std::vector<std::string> m_pendingBitmaps;
    int m_sleepsSinceMacro = 0;
};

// Records the waits instead of waiting.
class FakeSleeper : public ISleeper {
public:
    explicit FakeSleeper(std::shared_ptr<FakeEngine> engine = nullptr) : m_engine(std::move(engine)) {}
    void Sleep(std::chrono::milliseconds duration) override;
    std::vector<std::chrono::milliseconds> sleeps;

private:
    std::shared_ptr<FakeEngine> m_engine;
};

// Writes a minimal BMP file (1 x 1 pixel); `complete` false gives a header
// whose size field promises more than the file holds.
void WriteTinyBmp(const std::string& path, bool complete = true);
