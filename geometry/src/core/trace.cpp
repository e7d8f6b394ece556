#include "tessaly/trace.h"

#include <atomic>

namespace {

void IgnoreLabel(const char*) {}

std::atomic<GTraceHook>& InstalledHook()
{
    static std::atomic<GTraceHook> hook{&IgnoreLabel};
    return hook;
}

} // namespace

GTraceHook GSetTraceHook(GTraceHook hook)
{
    GTraceHook previous = InstalledHook().exchange(hook ? hook : &IgnoreLabel);
    return previous == &IgnoreLabel ? nullptr : previous;
}

void GTrace(const char* label)
{
    InstalledHook().load(std::memory_order_acquire)(label ? label : "");
}
