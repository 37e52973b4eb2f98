#include "MessageLoop.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "../platform/StandIn.h"
#endif

namespace testhost {

#ifdef _WIN32

namespace {

void pumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

bool pumpMessagesUntil(const std::function<bool()>& done, uint32_t limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    for (;;) {
        pumpPending();
        if (done())
            return true;
        if (GetTickCount64() >= end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void pumpMessagesFor(uint32_t ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        pumpPending();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount64() < end);
    pumpPending();
}

#else

bool pumpMessagesUntil(const std::function<bool()>& done, uint32_t limitMs) {
    for (uint32_t elapsed = 0;; ++elapsed) {
        if (done())
            return true;
        if (elapsed >= limitMs)
            return false;
        platform::standin::advanceClock(1);
    }
}

void pumpMessagesFor(uint32_t ms) {
    platform::standin::advanceClock(ms);
}

#endif

} // namespace testhost
