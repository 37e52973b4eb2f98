// Two float pins kept in step, each converted into the other's unit whenever
// the host changes it: pin 1 = toSecond(pin 0), pin 0 = toFirst(pin 1).
#pragma once

#include "../../framework/MpGuiBase2.h"

template <float (*toSecond)(float), float (*toFirst)(float)>
class UnitPair : public SeGuiInvisibleBase {
public:
    UnitPair() {
        registerPin(PinIndex::First, pinFirst, &UnitPair::onFirstChanged);
        registerPin(PinIndex::Second, pinSecond, &UnitPair::onSecondChanged);
    }

private:
    void onFirstChanged() { pinSecond.setAndSend(toSecond(pinFirst.get())); }
    void onSecondChanged() { pinFirst.setAndSend(toFirst(pinSecond.get())); }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { First = 0, Second = 1, Count };
    MpGuiPinFloat pinFirst;
    MpGuiPinFloat pinSecond;
};
