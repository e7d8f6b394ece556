#include "twinview/sleeper.h"

#include <thread>

void CThreadSleeper::Sleep(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}
