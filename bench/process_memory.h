#pragma once
// Peak resident memory of this process, for benchmarks that measure each
// case in a child process of its own (Linux /proc).
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

// A "VmHWM:"-style value of /proc/self/status in KiB (0 when absent).
inline long ReadStatusKb(const char* key)
{
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key));
    }
    return 0;
}

// Resets the peak resident set size, so that the next peak read counts
// only what comes after.
inline void ResetPeak()
{
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
}
