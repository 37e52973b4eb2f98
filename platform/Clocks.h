// The clocks that modules read. Tests replace them to drive time by hand.
#pragma once

#include <cstdint>

namespace platform {

// Nanoseconds of the monotonic (steady) clock.
int64_t monotonicNanoseconds();

// The C runtime's clock() in ticks of 1 ms, as an unsigned 32-bit number: on
// Windows the time since the process started, on Linux the processor time the
// process has used.
uint32_t processClockTicks();

// Replace the clocks above for the whole process; null restores the real one.
using MonotonicClock = int64_t (*)();
using ProcessClock = uint32_t (*)();
void replaceMonotonicClock(MonotonicClock clock);
void replaceProcessClock(ProcessClock clock);

} // namespace platform
