// KZ_RndInt: random integers within a range, with a replayable history.
#include "../../framework/MpFactory.h"
#include "RandomSequence.h"

class KZ_RndInt final : public RandomSequence<int32_t> {
    // minimum + word mod (maximum - minimum + 1) in unsigned 32-bit arithmetic;
    // the full 32-bit range (the span wraps to 0) takes minimum + word. An
    // empty or reversed range gives the maximum.
    int32_t mapWord(uint32_t word, int32_t minimum, int32_t maximum) const override {
        if (!(minimum < maximum))
            return maximum;
        const uint32_t span = uint32_t(maximum) - uint32_t(minimum) + 1u;
        const uint32_t offset = span == 0 ? word : word % span;
        return int32_t(uint32_t(minimum) + offset);
    }
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_RndInt", &createModule<KZ_RndInt>},
});
} // namespace
