// KZ_TriggerInt2 ... KZ_TriggerBlob2: when the host reports one of the two
// trigger pins (2 and 3) while it holds true, the latch (pin 4) takes the
// input's value (pin 0), then the output (pin 1) takes the latch's. Each is
// sent when it changed, the latch first.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"

template <class Pin> class TwoStageTrigger : public SeGuiInvisibleBase {
public:
    // The latch is registered last, so its index is 4.
    TwoStageTrigger() {
        registerPin(PinIndex::Input, pinInput);
        registerPin(PinIndex::Output, pinOutput);
        registerPin(PinIndex::TriggerA, pinTriggerA, &TwoStageTrigger::onSetTriggerA);
        registerPin(PinIndex::TriggerB, pinTriggerB, &TwoStageTrigger::onSetTriggerB);
        registerPin(PinIndex::Latch, pinLatch);
    }

private:
    void onSetTriggerA() { sampleWhen(pinTriggerA); }
    void onSetTriggerB() { sampleWhen(pinTriggerB); }

    void sampleWhen(const MpGuiPinBool& trigger) {
        if (!trigger.get())
            return;
        pinLatch.setAndSend(pinInput.get());
        pinOutput.setAndSend(pinLatch.get());
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Input = 0,
        Output = 1,
        TriggerA = 2,
        TriggerB = 3,
        Latch = 4,
        Count
    };
    Pin pinInput;
    Pin pinOutput;
    Pin pinLatch;
    MpGuiPinBool pinTriggerA;
    MpGuiPinBool pinTriggerB;
};

class KZ_TriggerInt2 final : public TwoStageTrigger<MpGuiPinInt> {};
class KZ_TriggerFloat2 final : public TwoStageTrigger<MpGuiPinFloat> {};
class KZ_TriggerString2 final : public TwoStageTrigger<StringGuiPin> {};
class KZ_TriggerBool2 final : public TwoStageTrigger<MpGuiPinBool> {};
class KZ_TriggerBlob2 final : public TwoStageTrigger<MpGuiPinBlob> {};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_TriggerInt2", &createModule<KZ_TriggerInt2>},
    {Gui2Part, u"KZ_TriggerFloat2", &createModule<KZ_TriggerFloat2>},
    {Gui2Part, u"KZ_TriggerString2", &createModule<KZ_TriggerString2>},
    {Gui2Part, u"KZ_TriggerBool2", &createModule<KZ_TriggerBool2>},
    {Gui2Part, u"KZ_TriggerBlob2", &createModule<KZ_TriggerBlob2>},
});
} // namespace
