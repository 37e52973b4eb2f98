// Thread timers without a window (SetTimer / KillTimer with no window handle).
// Their ticks arrive through the message loop of the thread that started them.
#pragma once

#include <cstdint>

namespace platform {

// The TIMERPROC signature: window (always null here), message, timer id, tick time.
using TimerProc = void (*)(void* window, uint32_t message, uintptr_t timerId, uint32_t time);

// Starts a timer and returns its id (0 on failure). An id of an existing timer
// replaces that timer; 0 makes a new one.
uintptr_t setTimer(uintptr_t timerId, uint32_t periodMs, TimerProc proc);
// Stops a timer; false when there is no such timer.
bool killTimer(uintptr_t timerId);

} // namespace platform
