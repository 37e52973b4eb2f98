// Controls of the Linux stand-ins that a host drives, in the role of a Windows
// message loop: the timer clock and the keyboard state. Linux only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::standin {

inline constexpr uint32_t TimerMessage = 0x0113; // WM_TIMER

// Milliseconds on the stand-in clock; it starts at 0 and moves only by advanceClock.
uint64_t clockNow();
// Moves the clock on, calling each timer as often as its period passes, in
// order of due time (ties in order of creation), as a message loop pumping
// all the while would. Called from inside a timer callback, it moves the
// clock on from where it stands, and the call around it then ends at the
// later of its own end and that: the clock never runs backwards.
void advanceClock(uint64_t milliseconds);
// Timers that currently run, and the period of one (0 when it does not run).
size_t runningTimerCount();
uint32_t timerPeriod(uintptr_t timerId);

void setKeyDown(int32_t virtualKey, bool down);

} // namespace platform::standin
