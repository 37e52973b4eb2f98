// Runs the test thread's message loop until a condition holds, so that timer
// ticks arrive as they would in a host: on Windows real messages are pumped,
// on Linux the stand-in timer clock is moved on.
#pragma once

#include <cstdint>
#include <functional>

namespace testhost {

// Returns true as soon as `done` holds, false when the limit passed first. On
// Windows the limit is wall-clock time, meant to be generous: tests assert on
// what arrived, never on how long it took. On Linux it is time on the stand-in
// clock, moved on one millisecond at a time.
bool pumpMessagesUntil(const std::function<bool()>& done, uint32_t limitMs = 20000);

// Runs the loop for a while without a condition (on Linux: exactly `ms` of
// stand-in time), to show that nothing more arrives.
void pumpMessagesFor(uint32_t ms);

} // namespace testhost
