// KZ_Int2TxtC: an integer shown as decimal text within a range, and typed
// text read back into the integer; both ways clamp to the range.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../platform/ClassicNumbers.h"

#include <optional>

class KZ_Int2TxtC final : public SeGuiInvisibleBase {
public:
    KZ_Int2TxtC() {
        registerPin(PinIndex::Value, pinValue, &KZ_Int2TxtC::onSetValue);
        registerPin(PinIndex::Minimum, pinMinimum);
        registerPin(PinIndex::Maximum, pinMaximum);
        registerPin(PinIndex::Text, pinText, &KZ_Int2TxtC::onSetText);
    }

private:
    // The bound x violates, the minimum tested first: with the minimum above
    // the maximum every x below the minimum gives the minimum, any other the maximum.
    std::optional<int32_t> violatedBound(int32_t x) const {
        if (x < pinMinimum.get())
            return pinMinimum.get();
        if (x > pinMaximum.get())
            return pinMaximum.get();
        return std::nullopt;
    }

    void onSetValue() {
        const int32_t x = pinValue.get();
        pinText.setAndSend(platform::formatInt32(violatedBound(x).value_or(x)));
    }

    // Text that holds no number, or one beyond 32 bits, changes nothing.
    void onSetText() {
        int32_t typed = 0;
        if (platform::readInt32(pinText.get(), typed) != platform::NumberReading::Read)
            return;
        const std::optional<int32_t> bound = violatedBound(typed);
        if (!bound) {
            pinValue.setAndSend(typed); // the typed text stays as it is
            return;
        }
        pinValue.setAndSend(*bound);
        pinText.setAndSend(platform::formatInt32(*bound));
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
