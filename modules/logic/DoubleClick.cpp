// DblClckRes: copies a value to its result when a press follows the previous
// press within a window of milliseconds, with a release between them.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../platform/Clocks.h"
#include "../../platform/NumberText.h"

#include <cmath>
#include <optional>

namespace {

// The window in whole milliseconds, toward zero, saturated at the 64-bit
// limits; none for NaN, which never fires.
std::optional<int64_t> windowMilliseconds(float window) {
    if (std::isnan(window))
        return std::nullopt;
    return platform::saturatingToInt64(double(window));
}

} // namespace

class DblClckRes final : public SeGuiInvisibleBase {
public:
    DblClckRes() {
        registerPin(PinIndex::Result, pinResult);
        registerPin(PinIndex::Value, pinValue);
        registerPin(PinIndex::Window, pinWindow);
        registerPin(PinIndex::MouseDown, pinMouseDown, &DblClckRes::onSetMouseDown);
    }

private:
    // A release arms; a press fires when armed and within the window of the
    // previous press (whole milliseconds, the fraction dropped), and always
    // disarms and restarts the timing.
    void onSetMouseDown() {
        if (!pinMouseDown.get()) {
            armed = true;
            return;
        }
        const int64_t now = platform::monotonicNanoseconds();
        // Wrapping subtraction: a clock that jumps cannot overflow.
        const int64_t elapsedMs = int64_t(uint64_t(now) - uint64_t(lastPressTime)) / 1'000'000;
        const std::optional<int64_t> windowMs = windowMilliseconds(pinWindow.get());
        const bool fires = armed && windowMs && *windowMs >= elapsedMs;
        // The press is complete before the host hears of it: a release it
        // reports from inside the send arms the next press.
        lastPressTime = now;
        armed = false;
        if (fires)
            pinResult.setAndSend(pinValue.get());
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Result = 0, Value = 1, Window = 2, MouseDown = 3, Count };
    MpGuiPinFloat pinResult;
    MpGuiPinFloat pinValue;
    MpGuiPinFloat pinWindow;
    MpGuiPinBool pinMouseDown;
    int64_t lastPressTime = 0; // nanoseconds of the monotonic clock
    bool armed = false;        // a release came since the previous press
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"DblClckRes", &createModule<DblClckRes>},
});
} // namespace
