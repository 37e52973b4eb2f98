// KZ_Oct2Hz and KZ_Hz2Oct: pitch in octaves and frequency in hertz kept in step
// (octave 5 is 440 Hz); the two differ only in which quantity is pin 0.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"

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

class KZ_Oct2Hz final : public SeGuiInvisibleBase {
public:
    KZ_Oct2Hz() {
        registerPin(pinOctave, &KZ_Oct2Hz::onOctaveChanged);
        registerPin(pinHertz, &KZ_Oct2Hz::onHertzChanged);
    }

private:
    void onOctaveChanged() { pinHertz.setAndSend(octaveToHertz(pinOctave.get())); }
    void onHertzChanged() { pinOctave.setAndSend(hertzToOctave(pinHertz.get())); }

    MpGuiPinFloat pinOctave;
    MpGuiPinFloat pinHertz;
};

class KZ_Hz2Oct final : public SeGuiInvisibleBase {
public:
    KZ_Hz2Oct() {
        registerPin(pinHertz, &KZ_Hz2Oct::onHertzChanged);
        registerPin(pinOctave, &KZ_Hz2Oct::onOctaveChanged);
    }

private:
    void onHertzChanged() { pinOctave.setAndSend(hertzToOctave(pinHertz.get())); }
    void onOctaveChanged() { pinHertz.setAndSend(octaveToHertz(pinOctave.get())); }

    MpGuiPinFloat pinHertz;
    MpGuiPinFloat pinOctave;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_Oct2Hz", &createModule<KZ_Oct2Hz>},
    {Gui2Part, u"KZ_Hz2Oct", &createModule<KZ_Hz2Oct>},
});
} // namespace
