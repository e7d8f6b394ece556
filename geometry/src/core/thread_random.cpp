#include "core/thread_random.h"

#include <cstdint>

namespace thread_random {
namespace {
// Each thread starts from the same state, as after Seed(1).
thread_local std::uint32_t t_State = 1;
} // namespace

void Seed(unsigned seed)
{
    t_State = seed;
}

int Next()
{
    // The classic linear congruential step with the upper bits as result:
    // the same sequence on every platform.
    t_State = t_State * 1103515245u + 12345u;
    return static_cast<int>((t_State / 65536u) % 32768u);
}

} // namespace thread_random
