// GUISet2Trig: the audio part turns each trigger into a pulse of a set number
// of samples on its audio output and lets the host put it to sleep between
// pulses; the GUI part toggles a bool output on every update of its inputs
// after the first five.
#include "../../framework/AudioPins.h"
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"

#include <algorithm>
#include <cstring>

namespace {

// Writes n samples of one level. The runtime's memset and memcpy use the
// widest stores the processor has, which a plain loop compiled for any x86-64
// cannot: zero is a memset, any other level a short loop doubled by copies.
void fillSamples(float* out, int32_t n, float level) {
    if (n <= 0)
        return;
    uint32_t bits;
    std::memcpy(&bits, &level, 4);
    if (bits == 0) {
        std::memset(out, 0, size_t(n) * sizeof(float));
        return;
    }
    constexpr int32_t seed = 64;
    int32_t done = std::min(n, seed);
    std::fill(out, out + done, level);
    while (done < n) {
        const int32_t chunk = std::min(done, n - done);
        std::memcpy(out + done, out, size_t(chunk) * sizeof(float));
        done += chunk;
    }
}

} // namespace

class GUISet2Trig final : public MpBase2 {
public:
    GUISet2Trig() {
        registerPin(PinIndex::Trigger, pinTrigger);
        registerPin(PinIndex::SkipFirst, pinSkipFirst);
        registerPin(PinIndex::PulseLength, pinPulseLength);
        registerPin(PinIndex::Inverted, pinInverted);
        registerPin(PinIndex::Output, pinOutput);
        selectRoutine(&GUISet2Trig::renderPulse);
    }

    void onPinEventGroup() override {
        if (pinSkipFirst.isChanged())
            skipFirst = pinSkipFirst.getValue();
        if (pinPulseLength.isChanged())
            pulseLength = std::max(pinPulseLength.getValue(), 1);
        if (pinInverted.isChanged())
            inverted = pinInverted.getValue();
        if (!pinTrigger.isChanged())
            return;
        if (skipFirst && firstPending) {
            firstPending = false;
            return;
        }
        // A trigger during a pulse restarts it at full length.
        framesLeft = pulseLength;
        allowSleep(false);
        pinOutput.markStreaming(true, -1);
    }

private:
    // Writes the pulse, then the rest level, from stretchStart.
    void renderPulse(int32_t frames) {
        const float pulseLevel = inverted ? 0.0f : 1.0f;
        const float restLevel = inverted ? 1.0f : 0.0f;
        float* out = pinOutput.getBuffer();
        if (out)
            out += stretchStart;
        const int32_t i = std::clamp(framesLeft, 0, frames);
        if (out)
            fillSamples(out, i, pulseLevel);
        framesLeft -= i;
        if (i >= frames)
            return;
        if (pinOutput.isStreaming())
            pinOutput.markStreaming(false, stretchStart + i);
        allowSleep(true);
        if (out)
            fillSamples(out + i, frames - i, restLevel);
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Trigger = 0,
        SkipFirst = 1,
        PulseLength = 2,
        Inverted = 3,
        Output = 4,
        Count
    };
    BoolInPin pinTrigger;
    BoolInPin pinSkipFirst;
    IntInPin pinPulseLength;
    BoolInPin pinInverted;
    AudioOutPin pinOutput;

    int32_t pulseLength = 1000;
    int32_t framesLeft = 0;
    bool firstPending = true;
    bool inverted = false;
    bool skipFirst = false;
};

class GUISet2TrigGUI final : public SeGuiInvisibleBase {
public:
    GUISet2TrigGUI() {
        registerPin(PinIndex::Input0, input0, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Input1, input1, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Input2, input2, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Input3, input3, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Input4, input4, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Input5, input5, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Input6, input6, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Input7, input7, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Input8, input8, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Input9, input9, &GUISet2TrigGUI::onInputUpdate);
        registerPin(PinIndex::Output, output);
    }

private:
    // The first five updates are only counted; each later one toggles the output.
    void onInputUpdate() {
        if (updateCount < 5) {
            ++updateCount;
            return;
        }
        // The toggle is complete before the host hears of it: an update it
        // reports from inside the send toggles again.
        const bool value = nextOutput;
        nextOutput = !nextOutput;
        output.setAndSend(value);
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Input0 = 0,
        Input1 = 1,
        Input2 = 2,
        Input3 = 3,
        Input4 = 4,
        Input5 = 5,
        Input6 = 6,
        Input7 = 7,
        Input8 = 8,
        Input9 = 9,
        Output = 10,
        Count
    };
    MpGuiPinFloat input0;
    MpGuiPinInt input1;
    StringGuiPin input2;
    MpGuiPinBool input3;
    MpGuiPinBlob input4;
    MpGuiPinFloat input5;
    MpGuiPinInt input6;
    StringGuiPin input7;
    MpGuiPinBool input8;
    MpGuiPinBlob input9;
    MpGuiPinBool output;

    int32_t updateCount = 0;
    bool nextOutput = true;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {AudioPart, u"GUISet2Trig", &createModule<GUISet2Trig, gmpi::IMpPlugin2>},
    {Gui2Part, u"GUISet2Trig", &createModule<GUISet2TrigGUI>},
});
} // namespace
