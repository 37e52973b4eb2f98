// The Windows calls behind the platform layer.
#include "../Keyboard.h"
#include "../Timers.h"

#include <windows.h>

namespace platform {

uintptr_t setTimer(uintptr_t timerId, uint32_t periodMs, TimerProc proc) {
    // TimerProc has the TIMERPROC signature; x64 Windows has one calling convention.
    return SetTimer(nullptr, timerId, periodMs, reinterpret_cast<TIMERPROC>(proc));
}

bool killTimer(uintptr_t timerId) {
    return KillTimer(nullptr, timerId) != FALSE;
}

int16_t getKeyState(int32_t virtualKey) {
    return GetKeyState(virtualKey);
}

} // namespace platform
