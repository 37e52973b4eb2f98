// TriggerInt, TriggerFloat, TriggerString, TriggerBool, TriggerBlob: the output
// (pin 0) takes the input's value (pin 1) whenever the host reports one of the
// two trigger pins (2 and 3) while it holds true. The trigger acts on the
// level at each report, not on an edge.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"

template <class Pin> class Trigger : public SeGuiInvisibleBase {
public:
    Trigger() {
        registerPin(PinIndex::Output, pinOutput);
        registerPin(PinIndex::Input, pinInput);
        registerPin(PinIndex::TriggerA, pinTriggerA, &Trigger::onSetTriggerA);
        registerPin(PinIndex::TriggerB, pinTriggerB, &Trigger::onSetTriggerB);
    }

private:
    void onSetTriggerA() { sampleWhen(pinTriggerA); }
    void onSetTriggerB() { sampleWhen(pinTriggerB); }

    void sampleWhen(const MpGuiPinBool& trigger) {
        if (trigger.get())
            pinOutput.setAndSend(pinInput.get());
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Output = 0, Input = 1, TriggerA = 2, TriggerB = 3, Count };
    Pin pinOutput;
    Pin pinInput;
    MpGuiPinBool pinTriggerA;
    MpGuiPinBool pinTriggerB;
};

class TriggerInt final : public Trigger<MpGuiPinInt> {};
class TriggerFloat final : public Trigger<MpGuiPinFloat> {};
class TriggerString final : public Trigger<StringGuiPin> {};
class TriggerBool final : public Trigger<MpGuiPinBool> {};
class TriggerBlob final : public Trigger<MpGuiPinBlob> {};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"TriggerInt", &createModule<TriggerInt>},
    {Gui2Part, u"TriggerFloat", &createModule<TriggerFloat>},
    {Gui2Part, u"TriggerString", &createModule<TriggerString>},
    {Gui2Part, u"TriggerBool", &createModule<TriggerBool>},
    {Gui2Part, u"TriggerBlob", &createModule<TriggerBlob>},
});
} // namespace
