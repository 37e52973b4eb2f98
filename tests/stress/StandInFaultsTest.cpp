// The Linux timer stand-in under time passing inside time passing, as the
// stress run lets it happen.
#ifndef _WIN32

#include "platform/StandIn.h"
#include "platform/Timers.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Time passing inside time passing, as a timer callback that runs a message
// loop of its own would cause: the inner advanceClock moves the clock to its
// own target, and the outer one must not set it back to its earlier target,
// or the timers would fire again for time that has passed already.
TEST(StandInFaults, TimePassingInsideATimerNeverMovesTheClockBack) {
    static bool inside = false;
    static std::vector<uint64_t> firedAt;
    const uintptr_t timer = platform::setTimer(0, 10, [](void*, uint32_t, uintptr_t, uint32_t) {
        firedAt.push_back(platform::standin::clockNow());
        if (!std::exchange(inside, true))
            platform::standin::advanceClock(100);
    });
    const uint64_t start = platform::standin::clockNow();
    platform::standin::advanceClock(10);
    EXPECT_EQ(platform::standin::clockNow(), start + 110);
    // Once at 10, then every 10 ms of the inner 100; none again for time gone by.
    platform::standin::advanceClock(10);
    platform::killTimer(timer);
    std::vector<uint64_t> expected;
    for (uint64_t t = 10; t <= 120; t += 10)
        expected.push_back(start + t);
    EXPECT_EQ(firedAt, expected);
}

} // namespace

#endif
