// Fixed_Int, Fixed_Float, Fixed_String, Fixed_Bool: the value (pin 0) is copied
// to output B (pin 3), then output A (pin 2) whenever the host reports it.
// While the lock (pin 1) is on, an output that the host changes is set back to
// the value at once.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"

template <class Pin> class FixedValue : public SeGuiInvisibleBase {
public:
    FixedValue() {
        registerPin(PinIndex::Value, pinValue, &FixedValue::onSetValue);
        registerPin(PinIndex::Lock, pinLock);
        registerPin(PinIndex::OutA, pinOutA, &FixedValue::onSetOutA);
        registerPin(PinIndex::OutB, pinOutB, &FixedValue::onSetOutB);
    }

private:
    // Whatever the lock holds.
    void onSetValue() {
        pinOutB.setAndSend(pinValue.get());
        pinOutA.setAndSend(pinOutB.get());
    }
    void onSetOutA() { restoreWhenLocked(pinOutA); }
    void onSetOutB() { restoreWhenLocked(pinOutB); }

    void restoreWhenLocked(Pin& output) {
        if (pinLock.get())
            output.setAndSend(pinValue.get());
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Value = 0, Lock = 1, OutA = 2, OutB = 3, Count };
    Pin pinValue;
    MpGuiPinBool pinLock;
    Pin pinOutA;
    Pin pinOutB;
};

class Fixed_Int final : public FixedValue<MpGuiPinInt> {};
class Fixed_Float final : public FixedValue<MpGuiPinFloat> {};
class Fixed_String final : public FixedValue<StringGuiPin> {};
class Fixed_Bool final : public FixedValue<MpGuiPinBool> {};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"Fixed_Int", &createModule<Fixed_Int>},
    {Gui2Part, u"Fixed_Float", &createModule<Fixed_Float>},
    {Gui2Part, u"Fixed_String", &createModule<Fixed_String>},
    {Gui2Part, u"Fixed_Bool", &createModule<Fixed_Bool>},
});
} // namespace
