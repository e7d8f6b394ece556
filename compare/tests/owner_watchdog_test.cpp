// The engine's watch on the process that started it.
#include "owner_watchdog.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <memory>
#include <mutex>

namespace {

class Signal {
public:
    void Raise()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_raised = true;
        m_changed.notify_all();
    }
    bool WaitFor(std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, limit, [this] { return m_raised; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_raised = false;
};

pid_t StartSleeper()
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::pause();
        ::_exit(0);
    }
    return pid;
}

TEST(OwnerWatchdog, CallsBackWhenTheOwnerEndsAndNotBefore)
{
    const pid_t owner = StartSleeper();
    ASSERT_GT(owner, 0);
    auto gone = std::make_shared<Signal>();
    draftora::WatchOwnerProcess(owner, [gone] { gone->Raise(); });
    EXPECT_FALSE(gone->WaitFor(std::chrono::milliseconds(300)));
    ::kill(owner, SIGKILL);
    ::waitpid(owner, nullptr, 0);
    EXPECT_TRUE(gone->WaitFor(std::chrono::seconds(10)));
}

TEST(OwnerWatchdog, AnOwnerThatIsAlreadyGoneCallsBackAtOnce)
{
    const pid_t owner = ::fork();
    if (owner == 0)
        ::_exit(0);
    ASSERT_GT(owner, 0);
    ::waitpid(owner, nullptr, 0);
    auto gone = std::make_shared<Signal>();
    draftora::WatchOwnerProcess(owner, [gone] { gone->Raise(); });
    EXPECT_TRUE(gone->WaitFor(std::chrono::seconds(10)));
}

} // namespace
