// KZ_V2dB and KZ_dB2V: a control voltage and its level in decibels kept in step
// (10 V is 0 dB); the two differ only in which quantity is pin 0.
#include "../../framework/MpFactory.h"
#include "UnitPair.h"

#include <cmath>

namespace {

float voltsToDecibels(float volts) {
    const float x = volts * 0.1f;
    const float y = float(std::log10(double(x)));
    return 20.0f * y;
}

float decibelsToVolts(float decibels) {
    const float x = decibels * 0.05f;
    const float p = float(std::pow(10.0, double(x)));
    return p * 10.0f;
}

} // namespace

class KZ_V2dB final : public UnitPair<voltsToDecibels, decibelsToVolts> {};
class KZ_dB2V final : public UnitPair<decibelsToVolts, voltsToDecibels> {};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_V2dB", &createModule<KZ_V2dB>},
    {Gui2Part, u"KZ_dB2V", &createModule<KZ_dB2V>},
});
} // namespace
