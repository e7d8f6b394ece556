#pragma once
// The kernel's random numbers: a small 15-bit generator (0..32767) owned by
// each thread. Operations that draw random numbers reseed it when they start,
// so their results are reproducible and threads never disturb each other.
// The C library's rand() is never used: its range and sequence differ
// between C libraries, and it is shared by the whole process.

namespace thread_random {

constexpr int kMax = 32767;

// Restarts the calling thread's sequence.
void Seed(unsigned seed);
// The next number of the calling thread's sequence, in 0..kMax.
int Next();

} // namespace thread_random
