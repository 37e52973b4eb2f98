// RadioButtons: one selection index kept in step with a row of float outputs,
// exactly one of which holds 1.0 (in toggle mode none may). The outputs are
// the pins the host adds beyond the two registered ones; the module writes them
// straight through the host and watches the host's writes to them.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase.h"
#include "../../framework/MpGuiBase2.h"
#include "../../framework/TimerService.h"
#include "../../platform/BoundaryGuard.h"

#include <algorithm>
#include <cstring>

class RadioButtons final : public MpGuiBase, public TimerClient {
public:
    RadioButtons() {
        registerPin(PinIndex::Selection, pinSelection, &RadioButtons::onSelection);
        registerPin(PinIndex::ToggleMode, pinToggleMode, &RadioButtons::onToggleMode);
        TimerClient::setTickPeriod(10);
    }

    // Learns the number of outputs from the host and sends the first state.
    int32_t onStartup() override {
        return guardedCall(ResultFailure, [&] {
            int32_t pinCount = 0;
            if (legacyHost)
                legacyHost->countPins(&pinCount);
            // Fewer host pins than registered ones leave no output.
            outputCount =
                int32_t(std::clamp<int64_t>(int64_t(pinCount) - firstOutput, 0, INT32_MAX));
            applySelection();
            return ResultSuccess;
        });
    }

    // Pins 0 and 1 store their value; a write to an output presses or
    // releases that button at once.
    int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size, const void* data) override {
        return guardedCall(ResultFailure, [&] {
            const int32_t result = GuiPinOwner::receivePinValue(pinId, voice, size, data);
            if (pinId < firstOutput)
                return result;
            // At most the delivered bytes, into a zeroed float.
            float level = 0.0f;
            if (data && size > 0)
                std::memcpy(&level, data, size_t(std::min(size, 4)));
            const uint64_t change = ++selectionChanges;
            if (pinToggleMode.get())
                outputSetInToggleMode(pinId, level, change);
            else
                outputSetInNormalMode(pinId, level, change);
            if (change == selectionChanges)
                pinSelection.setAndSend(litSelection);
            return result;
        });
    }

    ~RadioButtons() override = default;

    // One tick after a button was released: every output is sent again.
    bool onTick() override {
        guardedCall([&] { applySelection(); });
        return false;
    }

private:
    void onSelection() { applySelection(); }
    void onToggleMode() { applySelection(); }

    // Lights the output the selection names: zeros first in index order, the
    // single 1.0 last. A selection out of range sends nothing but is kept. A
    // selection or press the host makes from inside a send stands, and the
    // rest of this one is not sent.
    void applySelection() {
        const uint64_t change = ++selectionChanges;
        const auto send = [&](int64_t pinId, float level) {
            if (change == selectionChanges)
                sendOutput(pinId, level);
        };
        const int32_t s = pinSelection.get();
        if (!pinToggleMode.get()) {
            if (s >= 0 && s < outputCount) {
                for (int32_t i = 0; i < outputCount; ++i)
                    if (i != s)
                        send(int64_t(firstOutput) + i, 0.0f);
                send(int64_t(firstOutput) + s, 1.0f);
            }
        } else if (s >= 0 && s <= outputCount) {
            for (int32_t i = 0; i < outputCount; ++i)
                if (i != s - 1)
                    send(int64_t(firstOutput) + i, 0.0f);
            if (s >= 1)
                send(int64_t(firstOutput) + s - 1, 1.0f);
        }
        if (change == selectionChanges)
            litSelection = s;
    }

    // A press or release of an output, change `change` of the selection.
    void outputSetInNormalMode(int32_t pinId, float level, uint64_t change) {
        const int64_t lit = int64_t(firstOutput) + litSelection;
        if (level > 0.0f) {
            if (pinId == lit)
                return;
            sendOutput(lit, 0.0f);
            if (change != selectionChanges)
                return;
            litSelection = pinId - firstOutput;
        } else {
            // A lit button cannot be switched off; the tick sends the row again.
            if (pinId == lit)
                sendOutput(pinId, 1.0f);
            startTicking();
        }
    }

    void outputSetInToggleMode(int32_t pinId, float level, uint64_t change) {
        const bool anyLit = litSelection != 0;
        const int64_t lit = int64_t(firstOutput) + litSelection - 1;
        if (level > 0.0f) {
            if (anyLit && pinId == lit)
                return;
            if (anyLit)
                sendOutput(lit, 0.0f);
            if (change != selectionChanges)
                return;
            litSelection = pinId - firstOutput + 1;
        } else if (anyLit && pinId == lit) {
            litSelection = 0;
        }
    }

    // Writes a level to an output through the host. A remembered selection may
    // name an index below the outputs (the module's own pins) or beyond any
    // pin index: those are not written.
    void sendOutput(int64_t pinId, float level) {
        if (pinId < firstOutput || pinId > INT32_MAX || !legacyHost)
            return;
        legacyHost->acceptPinValue(int32_t(pinId), 4, &level, 0);
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Selection = 0, ToggleMode = 1, Count };
    MpGuiPinInt pinSelection;
    MpGuiPinBool pinToggleMode;

    int32_t firstOutput = 2;
    int32_t outputCount = 0;
    int32_t litSelection = 0;
    uint64_t selectionChanges = 0; // selections and presses begun, to notice nested ones
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {GuiPart, u"RadioButtons", &createModule<RadioButtons, gmpi::IMpUserInterface>},
});
} // namespace
