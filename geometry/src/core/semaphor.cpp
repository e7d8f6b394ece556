#include "tessaly/object.h"

#include <atomic>
#include <mutex>
#include <thread>

// A recursive lock that spins briefly before it sleeps. The pooled heaps
// hold their lock for a microsecond or so (moving a batch of slots); a
// waiting thread that went to sleep in the operating system at once would
// wait many times longer than that.
struct GCriticalSection {
    std::mutex mutex;
    // Mirrors "some thread holds the mutex", so that waiting threads spin
    // on a read instead of hammering the mutex with atomic exchanges.
    std::atomic<bool> held{false};
    std::atomic<std::thread::id> owner{};
    int depth = 0;
};

namespace {
constexpr int kSpinRounds = 64;

inline void PauseCpu()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

bool SpinThenTryLock(GCriticalSection& s)
{
    for (int round = 0; round < kSpinRounds; ++round) {
        if (!s.held.load(std::memory_order_relaxed) && s.mutex.try_lock())
            return true;
        for (int i = 0; i < 8; ++i)
            PauseCpu();
    }
    return false;
}
} // namespace

GSemaphor::GSemaphor()
{
    Init();
}

GSemaphor::~GSemaphor()
{
    delete m_Section;
    m_Section = nullptr;
}

void GSemaphor::Init()
{
    if (!m_Section)
        m_Section = new GCriticalSection;
}

void GSemaphor::Busy()
{
    if (!m_Section)
        return;
    GCriticalSection& s = *m_Section;
    const std::thread::id me = std::this_thread::get_id();
    // Only this thread ever stores its own id, so a match is exact.
    if (s.owner.load(std::memory_order_relaxed) == me) {
        ++s.depth;
        return;
    }
    if (!SpinThenTryLock(s))
        s.mutex.lock();
    s.held.store(true, std::memory_order_relaxed);
    s.owner.store(me, std::memory_order_relaxed);
    s.depth = 1;
}

void GSemaphor::Free()
{
    if (!m_Section)
        return;
    GCriticalSection& s = *m_Section;
    if (--s.depth == 0) {
        s.owner.store(std::thread::id(), std::memory_order_relaxed);
        s.held.store(false, std::memory_order_relaxed);
        s.mutex.unlock();
    }
}
