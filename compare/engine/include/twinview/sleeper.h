// The waits of the render step go through this interface, so that tests can
// replace them with a recorder that costs no time.
#pragma once

#include <chrono>

class ISleeper {
public:
    virtual ~ISleeper() = default;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

// Blocks the calling thread: the render step runs on the user-interface
// thread, which waits for the engine anyway.
class CThreadSleeper : public ISleeper {
public:
    void Sleep(std::chrono::milliseconds duration) override;
};
