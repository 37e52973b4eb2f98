// KZ_Int2TxtC: an integer shown as decimal text within a range, and typed
// text read back into the integer; both ways clamp to the range.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../platform/ClassicNumbers.h"
#include "ClampedNumberText.h"

class KZ_Int2TxtC final : public SeGuiInvisibleBase {
public:
    KZ_Int2TxtC() {
        registerPin(PinIndex::Value, pinValue, &KZ_Int2TxtC::onSetValue);
        registerPin(PinIndex::Minimum, pinMinimum);
        registerPin(PinIndex::Maximum, pinMaximum);
        registerPin(PinIndex::Text, pinText, &KZ_Int2TxtC::onSetText);
    }

private:
    void onSetValue() {
        const int32_t x = pinValue.get();
        pinText.setAndSendText(
            platform::Int32Text(violatedBound(x, pinMinimum.get(), pinMaximum.get()).value_or(x))
                .view());
    }

    // Text that holds no number, or one beyond 32 bits, changes nothing.
    void onSetText() {
        takeTypedNumber(pinText, pinValue, pinMinimum.get(), pinMaximum.get(), &platform::readInt32,
                        &platform::formatInt32);
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Value = 0, Minimum = 1, Maximum = 2, Text = 3, Count };
    MpGuiPinInt pinValue;
    MpGuiPinInt pinMinimum;
    MpGuiPinInt pinMaximum;
    StringGuiPin pinText;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_Int2TxtC", &createModule<KZ_Int2TxtC>},
});
} // namespace
