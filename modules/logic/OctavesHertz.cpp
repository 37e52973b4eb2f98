// KZ_Oct2Hz and KZ_Hz2Oct: pitch in octaves and frequency in hertz kept in step
// (octave 5 is 440 Hz); the two differ only in which quantity is pin 0.
#include "../../framework/MpFactory.h"
#include "UnitPair.h"

#include <cmath>

namespace {

// The base-2 functions are float functions; computing them in double and
// rounding once gives the same bits on every runtime.
float hertzToOctave(float hertz) {
    const float ratio = hertz / 440.0f;
    const float octaves = float(std::log2(double(ratio)));
    return octaves + 5.0f;
}

float octaveToHertz(float octave) {
    const float exponent = octave - 5.0f;
    const float power = float(std::exp2(double(exponent)));
    return power * 440.0f;
}

} // namespace

class KZ_Oct2Hz final : public UnitPair<octaveToHertz, hertzToOctave> {};
class KZ_Hz2Oct final : public UnitPair<hertzToOctave, octaveToHertz> {};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_Oct2Hz", &createModule<KZ_Oct2Hz>},
    {Gui2Part, u"KZ_Hz2Oct", &createModule<KZ_Hz2Oct>},
});
} // namespace
