#pragma once
// Runs one measured case in a child process of its own, so that its time
// and its peak of resident memory are its alone: the child inherits the
// parent's input, does the work, and sends back a plain result struct
// through a pipe. A child past the cap in seconds is stopped by SIGALRM.
#include <malloc.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "process_memory.h"

enum class ChildStatus { Done, Timeout, Crashed };

// The start of the measured step of a child. Memory the process freed
// before is handed back first, so the step cannot reuse it unseen.
struct ChildMeter {
    long base = 0;
    std::chrono::steady_clock::time_point t0;
    void Start()
    {
        malloc_trim(0);
        ResetPeak();
        base = ReadStatusKb("VmRSS:");
        t0 = std::chrono::steady_clock::now();
    }
    double Seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(); }
    long PeakKb() const { return ReadStatusKb("VmHWM:") - base; }
};

// Result must be trivially copyable; the work, run in the child, fills it.
// A cap of 0 seconds lets the child run as long as it takes.
template <class Result> ChildStatus RunInChild(const std::function<void(Result&)>& work, int capSeconds, Result* out)
{
    int fd[2];
    if (pipe(fd) != 0)
        std::abort();
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid < 0)
        std::abort();
    if (pid == 0) {
        close(fd[0]);
        if (capSeconds > 0)
            alarm(static_cast<unsigned>(capSeconds));
        Result r{};
        work(r);
        // What the work made is left to the end of the process: freeing it
        // is not part of the measure.
        if (write(fd[1], &r, sizeof r) != static_cast<ssize_t>(sizeof r))
            _exit(1);
        _exit(0);
    }
    close(fd[1]);
    ChildStatus status = ChildStatus::Crashed;
    if (read(fd[0], out, sizeof *out) == static_cast<ssize_t>(sizeof *out))
        status = ChildStatus::Done;
    close(fd[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    if (status != ChildStatus::Done && WIFSIGNALED(wstatus) && WTERMSIG(wstatus) == SIGALRM)
        status = ChildStatus::Timeout;
    return status;
}
