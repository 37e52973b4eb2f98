// KZ_Float2TxtC: a float shown as text within a range, and typed text read
// back into the float; both ways clamp to the range.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../platform/ClassicNumbers.h"
#include "ClampedNumberText.h"

#include <algorithm>

class KZ_Float2TxtC final : public SeGuiInvisibleBase {
public:
    KZ_Float2TxtC() {
        registerPin(PinIndex::Value, pinValue, &KZ_Float2TxtC::onSetValue);
        registerPin(PinIndex::Minimum, pinMinimum);
        registerPin(PinIndex::Maximum, pinMaximum);
        registerPin(PinIndex::Decimals, pinDecimals, &KZ_Float2TxtC::onSetValue);
        registerPin(PinIndex::Text, pinText, &KZ_Float2TxtC::onSetText);
    }

    // General notation with decimals + 1 significant digits for positive
    // decimals, else the decimals themselves as the precision (0 counts as 1,
    // negative as 6). Computed in 64 bits: decimals + 1 may not fit in 32.
    static std::u16string formatValue(float value, int32_t decimals) {
        const int64_t precision = decimals > 0 ? int64_t(decimals) + 1 : int64_t(decimals);
        return platform::formatGeneral(
            double(value), int(std::min<int64_t>(precision, platform::maxGeneralPrecision)));
    }

private:
    float clamped(float x) const {
        return violatedBound(x, pinMinimum.get(), pinMaximum.get()).value_or(x);
    }

    void onSetValue() {
        pinText.setAndSend(formatValue(clamped(pinValue.get()), pinDecimals.get()));
    }

    // Text that holds no number, or one beyond float range, changes nothing.
    void onSetText() {
        takeTypedNumber(pinText, pinValue, pinMinimum.get(), pinMaximum.get(), &platform::readFloat,
                        [this](float bound) { return formatValue(bound, pinDecimals.get()); });
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Value = 0,
        Minimum = 1,
        Maximum = 2,
        Decimals = 3,
        Text = 4,
        Count
    };
    MpGuiPinFloat pinValue;
    MpGuiPinFloat pinMinimum;
    MpGuiPinFloat pinMaximum;
    MpGuiPinInt pinDecimals;
    StringGuiPin pinText;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_Float2TxtC", &createModule<KZ_Float2TxtC>},
});
} // namespace
