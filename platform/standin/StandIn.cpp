// Linux stand-ins of the Windows thread timers and keyboard state. They live in
// a small shared library of their own that both the module library and the
// host link, as the Windows system libraries would.
#include "../StandIn.h"
#include "../Keyboard.h"
#include "../Timers.h"

#include <algorithm>
#include <map>
#include <vector>

namespace platform {
namespace {

constexpr uint32_t minimumPeriod = 10; // USER_TIMER_MINIMUM
constexpr uint32_t maximumPeriod = 0x7FFFFFFF;

struct Timer {
    uintptr_t id;
    uint32_t period;
    uint64_t due;
    uint64_t order; // creation order, for ties
    TimerProc proc;
};

struct StandInState {
    uint64_t now = 0;
    uintptr_t nextId = 1;
    uint64_t nextOrder = 0;
    std::vector<Timer> timers;
    std::map<int32_t, int16_t> keys;
};

// Never destroyed: a library's exit list may still stop its timers.
StandInState& state() {
    static auto* instance = new StandInState;
    return *instance;
}

Timer* findTimer(uintptr_t id) {
    auto& timers = state().timers;
    const auto it =
        std::find_if(timers.begin(), timers.end(), [id](const Timer& t) { return t.id == id; });
    return it == timers.end() ? nullptr : &*it;
}

} // namespace

uintptr_t setTimer(uintptr_t timerId, uint32_t periodMs, TimerProc proc) {
    if (!proc)
        return 0;
    auto& s = state();
    const uint32_t period = std::clamp(periodMs, minimumPeriod, maximumPeriod);
    if (Timer* existing = timerId ? findTimer(timerId) : nullptr) {
        existing->period = period;
        existing->due = s.now + period;
        existing->proc = proc;
        return existing->id;
    }
    const uintptr_t id = s.nextId++;
    s.timers.push_back(Timer{id, period, s.now + period, s.nextOrder++, proc});
    return id;
}

bool killTimer(uintptr_t timerId) {
    auto& timers = state().timers;
    const auto it = std::find_if(timers.begin(), timers.end(),
                                 [timerId](const Timer& t) { return t.id == timerId; });
    if (it == timers.end())
        return false;
    timers.erase(it);
    return true;
}

int16_t getKeyState(int32_t virtualKey) {
    const auto& keys = state().keys;
    const auto it = keys.find(virtualKey);
    return it == keys.end() ? int16_t(0) : it->second;
}

namespace standin {

uint64_t clockNow() {
    return state().now;
}

// A timer callback may advance the clock itself, as one that runs a message
// loop of its own would: the clock then stands beyond the due time this call
// was about to set, and it never goes back.
void advanceClock(uint64_t milliseconds) {
    auto& s = state();
    const uint64_t target = s.now + milliseconds;
    for (;;) {
        const Timer* next = nullptr;
        for (const Timer& t : s.timers) {
            if (t.due <= target &&
                (!next || t.due < next->due || (t.due == next->due && t.order < next->order)))
                next = &t;
        }
        if (!next)
            break;
        // The callback may start or stop timers, so copy what it needs first.
        const uintptr_t id = next->id;
        const TimerProc proc = next->proc;
        s.now = std::max(s.now, next->due);
        Timer* running = findTimer(id);
        running->due = s.now + running->period;
        proc(nullptr, TimerMessage, id, uint32_t(s.now));
    }
    s.now = std::max(s.now, target);
}

size_t runningTimerCount() {
    return state().timers.size();
}

uint32_t timerPeriod(uintptr_t timerId) {
    const Timer* t = findTimer(timerId);
    return t ? t->period : 0;
}

void setKeyDown(int32_t virtualKey, bool down) {
    state().keys[virtualKey] = down ? int16_t(-128) : int16_t(0);
}

} // namespace standin
} // namespace platform
