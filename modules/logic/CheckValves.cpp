// The check valves: a value delivered on the source pin is copied to the other
// pin at once; a value delivered on the other pin stays there. "LR" valves pass
// from pin 0 to pin 1, "RL" valves from pin 1 to pin 0. Both pins are int pins
// in every valve: the type word of the ID changes nothing, and a valve passes
// on the stored 32-bit value and compares values as 32-bit integers.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../platform/BoundaryGuard.h"

template <int32_t SourcePin> class CheckValve : public SeGuiInvisibleBase {
    static_assert(SourcePin == 0 || SourcePin == 1);

public:
    CheckValve() {
        registerPin(PinIndex::Left, pins[0]);
        registerPin(PinIndex::Right, pins[1]);
    }

    // Stores first, then copies by set-and-send, so that a nested call from
    // the host finds both pins equal. An exception from the host's side of the
    // send goes no further; the value is still stored.
    int32_t receivePinValue(int32_t pinId, int32_t voice, int32_t size, const void* data) override {
        const int32_t stored = MpGuiBase2::receivePinValue(pinId, voice, size, data);
        if (pinId == SourcePin)
            guardedCall([&] { pins[1 - SourcePin].setAndSend(pins[SourcePin].get()); });
        return stored;
    }

private:
    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Left = 0, Right = 1, Count };
    MpGuiPinInt pins[2];
};

class CheckValveLR_Bool final : public CheckValve<0> {};
class CheckValveLR_Float final : public CheckValve<0> {};
class CheckValveLR_Int final : public CheckValve<0> {};
class CheckValveRL_Bool final : public CheckValve<1> {};
class CheckValveRL_Float final : public CheckValve<1> {};
class CheckValveRL_Int final : public CheckValve<1> {};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"CheckValveLR_Bool", &createModule<CheckValveLR_Bool>},
    {Gui2Part, u"CheckValveLR_Float", &createModule<CheckValveLR_Float>},
    {Gui2Part, u"CheckValveLR_Int", &createModule<CheckValveLR_Int>},
    {Gui2Part, u"CheckValveRL_Bool", &createModule<CheckValveRL_Bool>},
    {Gui2Part, u"CheckValveRL_Float", &createModule<CheckValveRL_Float>},
    {Gui2Part, u"CheckValveRL_Int", &createModule<CheckValveRL_Int>},
});
} // namespace
