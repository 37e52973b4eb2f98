// KZ_RndFloat: random floats within a range, with a replayable history.
#include "../../framework/MpFactory.h"
#include "RandomSequence.h"

class KZ_RndFloat final : public RandomSequence<float> {
    // The word as a fraction of 2^32 rounded to float (it can round to 1, so
    // the maximum can be drawn), then (maximum - minimum) * u + minimum, each
    // step in float.
    float mapWord(uint32_t word, float minimum, float maximum) const override {
        const float u = float(double(word) * 0x1p-32);
        const float span = maximum - minimum;
        const float scaled = span * u;
        return scaled + minimum;
    }
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_RndFloat", &createModule<KZ_RndFloat>},
});
} // namespace
