// The Linux stand-ins of the Windows timers and key state.
#ifndef _WIN32
#include "platform/StandIn.h"
#include "platform/Keyboard.h"
#include "platform/Timers.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

std::vector<std::pair<uintptr_t, uint64_t>> ticks;
uintptr_t killFromCallback = 0;

void record(void* window, uint32_t message, uintptr_t id, uint32_t) {
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(message, platform::standin::TimerMessage);
    ticks.emplace_back(id, platform::standin::clockNow());
    if (killFromCallback)
        platform::killTimer(std::exchange(killFromCallback, 0));
}

TEST(StandInTimers, FireInOrderOfDueTimeAsALoopPumpingAllTheWhile) {
    ticks.clear();
    const uint64_t start = platform::standin::clockNow();
    const uintptr_t a = platform::setTimer(0, 30, &record);
    const uintptr_t b = platform::setTimer(0, 20, &record);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, a);
    platform::standin::advanceClock(60);
    const std::vector<std::pair<uintptr_t, uint64_t>> expected = {
        {b, start + 20}, {a, start + 30}, {b, start + 40}, {a, start + 60}, {b, start + 60}};
    EXPECT_EQ(ticks, expected);
    EXPECT_TRUE(platform::killTimer(a));
    EXPECT_FALSE(platform::killTimer(a));
    EXPECT_TRUE(platform::killTimer(b));
}

TEST(StandInTimers, PeriodsClampAndIdsReplace) {
    ticks.clear();
    const uintptr_t id = platform::setTimer(0, 1, &record);
    EXPECT_EQ(platform::standin::timerPeriod(id), 10u);
    EXPECT_EQ(platform::setTimer(id, 50, &record), id);
    EXPECT_EQ(platform::standin::timerPeriod(id), 50u);
    EXPECT_EQ(platform::setTimer(0, 10, nullptr), 0u);
    killFromCallback = id; // a timer stopped inside its own tick fires no more
    platform::standin::advanceClock(200);
    EXPECT_EQ(ticks.size(), 1u);
    EXPECT_EQ(platform::standin::timerPeriod(id), 0u);
}

TEST(StandInKeys, HeldKeysReadNegative) {
    EXPECT_GE(platform::getKeyState(platform::KeyShift), 0);
    platform::standin::setKeyDown(platform::KeyShift, true);
    EXPECT_LT(platform::getKeyState(platform::KeyShift), 0);
    EXPECT_GE(platform::getKeyState(platform::KeyControl), 0);
    platform::standin::setKeyDown(platform::KeyShift, false);
    EXPECT_GE(platform::getKeyState(platform::KeyShift), 0);
}

} // namespace
#endif
