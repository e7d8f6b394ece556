#include "owner_watchdog.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>

namespace draftora {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(500);

// A process descriptor becomes readable when the process ends, and it
// cannot be confused with a later process of the same number.
int OpenProcess(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

bool Exists(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

void WaitForEnd(pid_t pid)
{
    const int fd = OpenProcess(pid);
    if (fd >= 0) {
        pollfd entry{fd, POLLIN, 0};
        while (::poll(&entry, 1, -1) < 0 && errno == EINTR) {
        }
        ::close(fd);
        return;
    }
    if (errno == ESRCH)
        return;
    // Kernels before 5.3: look every now and then.
    while (Exists(pid))
        std::this_thread::sleep_for(kPollInterval);
}

} // namespace

void WatchOwnerProcess(pid_t pid, std::function<void()> onGone)
{
    std::thread([pid, onGone = std::move(onGone)] {
        WaitForEnd(pid);
        onGone();
    }).detach();
}

} // namespace draftora
