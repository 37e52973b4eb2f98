// Audio-side pins: control values from event bytes, the changed flag, streaming
// and its host calls, MIDI routing, and each class's codes.
#include "framework/AudioPins.h"
#include "host/AudioHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testhost;

namespace {

using Log = std::vector<std::string>;

// 0 bool, 1 int, 2 audio in, 3 audio out, 4 MIDI in, 5 MIDI out, 6 MIDI in with a handler.
class PinModule final : public MpBase2 {
public:
    explicit PinModule(Log& log) : log(log) {
        registerPin(boolPin);
        registerPin(intPin);
        registerPin(audioIn);
        registerPin(audioOut);
        registerPin(midiIn);
        registerPin(midiOut);
        registerPin(midiHandled, &PinModule::onHandledMidi);
        allowSleep(false); // only the pins' own host calls reach the log
    }
    void onPinEventGroup() override {
        log.push_back(std::string("group bool ") + (boolPin.isChanged() ? "changed" : "same") +
                      ", int " + (intPin.isChanged() ? "changed" : "same") + ", audio " +
                      (audioIn.isChanged() ? "changed" : "same"));
        if (onGroup)
            onGroup();
    }
    void onPinStreamingChanged(bool streaming) override {
        log.push_back(std::string("streaming changed ") + (streaming ? "on" : "off"));
        MpBase2::onPinStreamingChanged(streaming);
    }
    void onMidiData(int32_t pinId, const uint8_t* bytes, int32_t size) override {
        midi.emplace_back(pinId, Bytes(bytes, bytes + size));
    }
    void onHandledMidi(const TimedEvent* event) {
        log.push_back("handler " + std::to_string(event->pinId));
    }

    int32_t countdown() const { return getFramesBeforeSleep(); }
    void refreshSleepCountdownForTest() { refreshSleepCountdown(); }

    Log& log;
    std::function<void()> onGroup;
    std::vector<std::pair<int32_t, Bytes>> midi;
    BoolInPin boolPin;
    IntInPin intPin;
    int32_t guardAfterInt = 0x5A5A5A5A; // must survive any write to intPin
    AudioInPin audioIn;
    AudioOutPin audioOut;
    MidiInPin midiIn;
    MidiOutPin midiOut;
    MidiInPin midiHandled;
};

class AudioPins : public ::testing::Test {
protected:
    AudioPins() {
        host.onCall = [this](const AudioCall& call) { log.push_back(call.describe()); };
        module->attachHost(host.object());
    }
    ~AudioPins() override {
        module->release();
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
    }
    void run(int32_t frames = 16) {
        module->runBlock(frames, events.head());
        events.clear();
    }

    Log log;
    AudioHost host;
    EventList events;
    PinModule* module = new PinModule(log);
};

struct ValueCase {
    const char* name;
    bool before;
    Bytes bytes;
    bool pointed;
    bool after;
};

TEST_F(AudioPins, BoolControlValuesFromEventBytes) {
    const ValueCase cases[] = {
        {"4 bytes 00 00 00 02", false, {0, 0, 0, 2}, false, true},
        {"4 bytes 02 00 00 00", false, {2, 0, 0, 0}, false, true},
        {"4 zero bytes", true, {0, 0, 0, 0}, false, false},
        {"the byte 01", false, {1}, false, true},
        {"the byte 00", true, {0}, false, false},
        {"the byte ff", false, {0xFF}, false, true},
        {"2 bytes 00 01: the first byte", true, {0, 1}, false, false},
        {"8 bytes 01 ...", false, {1, 0, 0, 0, 0, 0, 0, 0}, false, true},
        {"16 bytes by pointer", false, Bytes(16, 1), true, true},
        {"4 bytes by pointer", true, {0, 0, 0, 0}, true, false},
        {"no bytes keep true", true, {}, false, true},
        {"no bytes keep false", false, {}, false, false},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.name);
        events.value(0, 0, c.before);
        run();
        ASSERT_EQ(module->boolPin.getValue(), c.before);
        events.add(0, EventValueChanged, 0, c.bytes, c.pointed);
        run();
        EXPECT_EQ(module->boolPin.getValue(), c.after);
    }
}

TEST_F(AudioPins, BoolIgnoresANegativeByteCount) {
    events.value(0, 0, true);
    run();
    TimedEvent e{};
    e.kind = EventValueChanged;
    e.pinId = 0;
    e.byteCount = -4;
    events.raw(e);
    run();
    EXPECT_TRUE(module->boolPin.getValue());
}

TEST_F(AudioPins, IntControlValuesCopyAtMostFourBytesOverTheLowOrderBytes) {
    struct IntCase {
        const char* name;
        Bytes bytes;
        bool pointed;
        int32_t after;
    };
    const IntCase cases[] = {
        {"4 bytes", {0x78, 0x56, 0x34, 0x12}, false, 0x12345678},
        {"2 bytes replace the low half", {0xCD, 0xAB}, false, 0x1234ABCD},
        {"1 byte", {0x01}, false, 0x12345601},
        {"8 inline bytes: the first 4", {1, 0, 0, 0, 9, 9, 9, 9}, false, 1},
        {"12 bytes by pointer: the first 4", {2, 0, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9}, true, 2},
        {"no bytes", {}, false, 0x12345678},
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.name);
        events.value(0, 1, int32_t(0x12345678));
        run();
        events.add(0, EventValueChanged, 1, c.bytes, c.pointed);
        run();
        EXPECT_EQ(module->intPin.getValue(), c.after);
        EXPECT_EQ(module->guardAfterInt, 0x5A5A5A5A);
    }
}

TEST_F(AudioPins, ARepeatedValueStillMarksThePinChangedForItsGroupOnly) {
    events.value(0, 0, true).value(0, 1, int32_t(5));
    run();
    events.value(4, 0, true).value(8, 1, int32_t(5));
    run();
    EXPECT_EQ(log, (Log{"group bool changed, int changed, audio same",
                        "group bool changed, int same, audio same",
                        "group bool same, int changed, audio same"}));
    EXPECT_FALSE(module->boolPin.isChanged());
    EXPECT_FALSE(module->intPin.isChanged());
}

TEST_F(AudioPins, ControlPinsPublishTheirValueStampedWithTheStretchStart) {
    events.value(0, 1, int32_t(-2));
    run();
    log.clear();
    module->intPin.publishInitialState();
    module->boolPin.publishInitialState();
    EXPECT_EQ(host.calls.at(host.calls.size() - 2), AudioCall::deliver(0, 1, bytesOf(int32_t(-2))));
    EXPECT_EQ(host.calls.back(), AudioCall::deliver(0, 0, Bytes{0}));
}

TEST_F(AudioPins, MarkingAStreamingPinStreamingOnlyAnnouncesItAtTheStretchStart) {
    module->audioOut.markStreaming(true, 12);
    EXPECT_EQ(log, (Log{"streaming changed on", "announceStreaming(frame 12, pin 3, on)"}));
    log.clear();
    module->onGroup = [this] { module->audioOut.markStreaming(true, -1); };
    events.add(9, EventValueChanged, 99, {});
    run();
    EXPECT_EQ(log, (Log{"group bool same, int same, audio same",
                        "announceStreaming(frame 9, pin 3, on)"}));
}

TEST_F(AudioPins, EndingAStreamReportsItThenFetchesTheCountdownThenAnnouncesIt) {
    host.framesBeforeSleep = 480;
    module->audioOut.markStreaming(true, -1);
    log.clear();
    module->audioOut.markStreaming(false, 37);
    EXPECT_EQ(log, (Log{"streaming changed off", "fetchFramesBeforeSleep() -> 480",
                        "announceStreaming(frame 37, pin 3, off)"}));
    EXPECT_EQ(module->countdown(), 480);
    EXPECT_EQ(module->getActiveStreams(), 0);

    // Not streaming already: no change to report, the rest as before.
    log.clear();
    host.framesBeforeSleep = 7;
    module->audioOut.markStreaming(false, 5);
    EXPECT_EQ(log,
              (Log{"fetchFramesBeforeSleep() -> 7", "announceStreaming(frame 5, pin 3, off)"}));
    EXPECT_EQ(module->countdown(), 7);
}

TEST_F(AudioPins, AnAudioInputReportsEachStreamChangeOnceAndMarksItsGroup) {
    events.streamOn(2, 2).streamOn(4, 2);
    run();
    EXPECT_EQ(log, (Log{"streaming changed on", "group bool same, int same, audio changed",
                        "group bool same, int same, audio changed"}));
    EXPECT_TRUE(module->audioIn.isStreaming());
    EXPECT_FALSE(module->audioIn.isChanged());
    EXPECT_EQ(module->getActiveStreams(), 1);
    log.clear();
    events.streamOff(0, 2);
    run();
    EXPECT_EQ(log.front(), "streaming changed off");
    EXPECT_EQ(module->getActiveStreams(), 0);
}

TEST_F(AudioPins, AStreamOffOnAQuietInputKeepsTheCountButWakesTheGateForAFrame) {
    struct Case {
        int32_t countdown;
        int32_t after;
    };
    for (const Case c : {Case{0, 1}, Case{-3, 1}, Case{50, 50}}) {
        SCOPED_TRACE(c.countdown);
        host.framesBeforeSleep = c.countdown;
        module->refreshSleepCountdownForTest();
        log.clear();
        module->onGroup = [&] { EXPECT_EQ(module->countdown(), c.after); };
        events.streamOff(0, 2);
        module->runBlock(0, events.head());
        events.clear();
        EXPECT_EQ(module->getActiveStreams(), 0);
        EXPECT_EQ(log.front(), "group bool same, int same, audio changed");
    }
}

TEST_F(AudioPins, MidiInputsRouteTheirBytesToOnMidiDataUnlessTheyHaveAHandler) {
    const Bytes twelve = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    TimedEvent overlong{};
    overlong.kind = EventPinMessage;
    overlong.pinId = 4;
    overlong.byteCount = 12; // inline, but only 8 bytes fit
    for (int i = 0; i < 8; ++i)
        overlong.inlineBytes[i] = uint8_t(i + 1);
    TimedEvent negative = overlong;
    negative.byteCount = -1;
    events.message(0, 4, {0x90, 60, 100}).message(1, 4, twelve).raw(overlong).raw(negative);
    events.message(3, 6, {0x80}).message(3, 5, {0xF8});
    run();
    ASSERT_EQ(module->midi.size(), 4u);
    EXPECT_EQ(module->midi[0], (std::pair<int32_t, Bytes>(4, {0x90, 60, 100})));
    EXPECT_EQ(module->midi[1], (std::pair<int32_t, Bytes>(4, twelve)));
    EXPECT_EQ(module->midi[2], (std::pair<int32_t, Bytes>(4, {1, 2, 3, 4, 5, 6, 7, 8})));
    EXPECT_EQ(module->midi[3], (std::pair<int32_t, Bytes>(4, {})));
    EXPECT_EQ(log, Log{"handler 6"});
}

TEST_F(AudioPins, OnlyInputsRegisteredWithoutAHandlerGetTheFallback) {
    EXPECT_TRUE(module->midiIn.getHandler() == &MpPluginBase::routeMidiEvent);
    EXPECT_TRUE(module->midiHandled.getHandler() ==
                static_cast<PinHandler>(&PinModule::onHandledMidi));
    EXPECT_EQ(module->midiOut.getHandler(), nullptr);
    EXPECT_EQ(module->boolPin.getHandler(), nullptr);
    EXPECT_EQ(module->audioIn.getHandler(), nullptr);
    EXPECT_EQ(module->audioOut.getHandler(), nullptr);
}

TEST_F(AudioPins, MidiOutputsSendStampedWithTheStretchStart) {
    const Bytes clock = {0xF8};
    module->onGroup = [&] {
        module->midiOut.sendMidi(clock.data(), 1, -1);
        module->midiOut.sendMidi(clock.data(), 1, 2);
    };
    events.value(11, 99, true);
    run();
    EXPECT_EQ(host.calls, (std::vector<AudioCall>{AudioCall::deliver(11, 5, clock),
                                                  AudioCall::deliver(2, 5, clock)}));
}

TEST_F(AudioPins, AudioPinsReadSamplesFromTheirBufferAndNegativeIndicesAtTheStretchStart) {
    EXPECT_EQ(module->audioIn.sampleAt(0), 0.0f); // no buffer
    float samples[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    ASSERT_EQ(module->attachBuffer(2, samples), ResultSuccess);
    EXPECT_EQ(module->audioIn.sampleAt(5), 5.0f);
    float atGroup = -1;
    module->onGroup = [&] { atGroup = module->audioIn.sampleAt(-1); };
    events.value(3, 99, true);
    run(8);
    EXPECT_EQ(atGroup, 3.0f);
}

TEST_F(AudioPins, EachPinClassHasItsCodes) {
    struct Case {
        const char* name;
        const MpPinBase& pin;
        int32_t typeCode;
        int32_t flow;
    };
    const Case cases[] = {
        {"bool", module->boolPin, KindBool, FlowIn},
        {"int", module->intPin, KindInt, FlowIn},
        {"audio in", module->audioIn, KindAudio, FlowIn},
        {"audio out", module->audioOut, KindAudio, FlowOut},
        {"midi in", module->midiIn, KindMidi, FlowIn},
        {"midi out", module->midiOut, KindMidi, FlowOut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.pin.typeCode(), c.typeCode);
        EXPECT_EQ(c.pin.flowDirection(), c.flow);
    }
    EXPECT_EQ(module->boolPin.valueByteCount(), 1);
    EXPECT_EQ(module->intPin.valueByteCount(), 4);
    EXPECT_EQ(module->intPin.valueAddress(), &module->intPin.getValue());
}

} // namespace
