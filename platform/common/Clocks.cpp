#include "../Clocks.h"

#include <chrono>
#include <ctime>

namespace platform {
namespace {

constinit MonotonicClock monotonicOverride = nullptr;
constinit ProcessClock processOverride = nullptr;

} // namespace

int64_t monotonicNanoseconds() {
    if (monotonicOverride)
        return monotonicOverride();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return int64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

uint32_t processClockTicks() {
    if (processOverride)
        return processOverride();
    // CLOCKS_PER_SEC is 1000 on Windows and 1000000 on Linux.
    return uint32_t(std::clock() / (CLOCKS_PER_SEC / 1000));
}

void replaceMonotonicClock(MonotonicClock clock) {
    monotonicOverride = clock;
}

void replaceProcessClock(ProcessClock clock) {
    processOverride = clock;
}

} // namespace platform
