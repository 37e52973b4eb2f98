// The design that KZ_RndFloat and KZ_RndInt share: a number within a range
// drawn on each trigger of "next", and a history of every number drawn that
// "previous" steps back through and "next" replays before drawing again.
#pragma once

#include "../../framework/MpGuiBase2.h"
#include "../../platform/Clocks.h"

#include <cstdint>
#include <vector>

// One xorshift32 step of the state; the new state is the random word.
constexpr uint32_t xorshift32(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

template <class Number> class RandomSequence : public SeGuiInvisibleBase {
protected:
    RandomSequence() {
        registerPin(PinIndex::Minimum, pinMinimum);
        registerPin(PinIndex::Maximum, pinMaximum);
        registerPin(PinIndex::Output, pinOutput);
        registerPin(PinIndex::Next, pinNext, &RandomSequence::onSetNext);
        registerPin(PinIndex::Previous, pinPrevious, &RandomSequence::onSetPrevious);
        // Modules made within one tick of the process clock draw alike.
        rngState = platform::processClockTicks();
    }

    // The random word mapped into the range as it stands now.
    virtual Number mapWord(uint32_t word, Number minimum, Number maximum) const = 0;

private:
    void onSetNext() {
        if (!pinNext.get())
            return;
        const size_t position = size_t(historyPosition + 1);
        if (position == history.size()) {
            history.emplace_back(); // grown before the state moves, in case it throws
            history.back() = mapWord(xorshift32(rngState), pinMinimum.get(), pinMaximum.get());
        }
        historyPosition = int64_t(position);
        pinOutput.setAndSend(history[position]);
    }

    void onSetPrevious() {
        if (!pinPrevious.get() || historyPosition < 0)
            return;
        if (historyPosition > 0)
            --historyPosition;
        pinOutput.setAndSend(history[size_t(historyPosition)]);
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Minimum = 0,
        Maximum = 1,
        Output = 2,
        Next = 3,
        Previous = 4,
        Count
    };
    MpGuiPin<Number> pinMinimum;
    MpGuiPin<Number> pinMaximum;
    MpGuiPin<Number> pinOutput;
    MpGuiPinBool pinNext;
    MpGuiPinBool pinPrevious;
    std::vector<Number> history;  // every number drawn, in drawing order; never trimmed
    int64_t historyPosition = -1; // of the number last sent; -1 before the first draw
    uint32_t rngState = 0;
};
