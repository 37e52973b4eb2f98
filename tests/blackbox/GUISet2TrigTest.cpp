// GUISet2Trig through the export: the audio part's pulses, levels, streaming
// announcements and sleep, block by block; the GUI part's toggling output.
#include "LibraryFixture.h"
#include "SentLog.h"
#include "host/AudioHost.h"

#include <climits>
#include <ostream>
#include <utility>
#include <vector>

using namespace testhost;

namespace {

constexpr int32_t pinTrigger = 0, pinSkipFirst = 1, pinLength = 2, pinInverted = 3, pinOut = 4;
constexpr float sentinel = -7.0f; // what the host leaves in samples the module did not compute
constexpr int32_t countdown = 100;

// A stretch of equal samples, inclusive.
struct Run {
    int32_t first;
    int32_t last;
    float level;

    friend bool operator==(const Run& a, const Run& b) {
        return a.first == b.first && a.last == b.last && floatBits(a.level) == floatBits(b.level);
    }
};

void PrintTo(const Run& run, std::ostream* os) {
    *os << run.first << "-" << run.last << ": " << run.level;
}

std::vector<Run> runsOf(const std::vector<float>& samples) {
    std::vector<Run> runs;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (!runs.empty() && floatBits(runs.back().level) == floatBits(samples[i]))
            runs.back().last = int32_t(i);
        else
            runs.push_back({int32_t(i), int32_t(i), samples[i]});
    }
    return runs;
}

using Calls = std::vector<AudioCall>;
using Runs = std::vector<Run>;

class AudioPartTest : public blackbox::LibraryTest {
protected:
    AudioPartTest() {
        audioHost.framesBeforeSleep = countdown;
        module = std::make_unique<AudioModule>(factory(), u"GUISet2Trig", audioHost);
    }
    void TearDown() override {
        module.reset();
        std::string report;
        EXPECT_TRUE(audioHost.referencesBalanced(&report)) << report;
        LibraryTest::TearDown();
    }

    // Runs one block of `frames` with the events, over a buffer refilled with
    // the sentinel; returns the host calls it made.
    Calls block(int32_t frames, EventList& events) {
        std::vector<float>& samples = module->attach(pinOut, size_t(frames), sentinel);
        audioHost.calls.clear();
        module->run(frames, events);
        events.clear();
        output = samples;
        return audioHost.calls;
    }
    Calls block(int32_t frames) {
        EventList none;
        return block(frames, none);
    }
    // The host starts running the module: the stream is announced and ends at once.
    void start(int32_t frames = 64) {
        events.runStart(0);
        ASSERT_EQ(block(frames, events),
                  (Calls{AudioCall::announce(0, pinOut, true), AudioCall::fetch(countdown),
                         AudioCall::announce(0, pinOut, false)}));
        ASSERT_EQ(runsOf(output), (Runs{{0, frames - 1, 0.0f}}));
    }

    AudioHost audioHost;
    std::unique_ptr<AudioModule> module;
    EventList events;
    std::vector<float> output;
};

TEST_F(AudioPartTest, IsMadeAsItsPluginInterfaceAndAttached) {
    ASSERT_EQ(module->makeResult, ResultSuccess);
    ASSERT_TRUE(*module);
    EXPECT_EQ(audioHost.references(AudioInterface::Audio), 1);
    EXPECT_EQ(audioHost.references(AudioInterface::Extension), 1);
    void* out = nullptr;
    EXPECT_EQ((*module)->queryInterface(iidOf<gmpi::IMpPlugin2>(), &out), ResultSuccess);
    EXPECT_EQ(out, module->get());
    module->get()->release();
    EXPECT_EQ((*module)->queryInterface(iidOf<gmpi::IMpUserInterface2>(), &out), ResultUnsupported);
    for (const int32_t pin : {pinTrigger, pinLength, pinOut})
        EXPECT_EQ((*module)->attachBuffer(pin, output.data()), ResultSuccess);
    for (const int32_t pin : {-1, 5})
        EXPECT_EQ((*module)->attachBuffer(pin, output.data()), ResultFailure);
}

TEST_F(AudioPartTest, QuietBlocksComputeTheCountdownAtRestThenAskToSleep) {
    start();
    EXPECT_EQ(block(64), Calls{});
    EXPECT_EQ(runsOf(output), (Runs{{0, 63, 0.0f}}));
    EXPECT_EQ(block(64), Calls{AudioCall::sleep()});
    EXPECT_EQ(runsOf(output), (Runs{{0, 35, 0.0f}, {36, 63, sentinel}}));
    EXPECT_EQ(block(64), Calls{AudioCall::sleep()});
    EXPECT_EQ(runsOf(output), (Runs{{0, 63, sentinel}}));
}

TEST_F(AudioPartTest, ATriggerStartsAPulseAtItsFrameAndTheStreamEndsWhereItEnds) {
    start();
    events.value(0, pinLength, int32_t(20)).value(10, pinTrigger, true);
    EXPECT_EQ(block(64, events),
              (Calls{AudioCall::announce(10, pinOut, true), AudioCall::fetch(countdown),
                     AudioCall::announce(30, pinOut, false)}));
    EXPECT_EQ(runsOf(output), (Runs{{0, 9, 0.0f}, {10, 29, 1.0f}, {30, 63, 0.0f}}));
    // Back to the gate with a fresh countdown.
    EXPECT_EQ(block(64), Calls{});
    EXPECT_EQ(block(64), Calls{AudioCall::sleep()});
    EXPECT_EQ(runsOf(output), (Runs{{0, 35, 0.0f}, {36, 63, sentinel}}));
}

TEST_F(AudioPartTest, APulseLongerThanTheBlockContinuesInTheNextBlocks) {
    start();
    events.value(0, pinLength, int32_t(100)).value(60, pinTrigger, true);
    EXPECT_EQ(block(64, events), Calls{AudioCall::announce(60, pinOut, true)});
    EXPECT_EQ(runsOf(output), (Runs{{0, 59, 0.0f}, {60, 63, 1.0f}}));
    EXPECT_EQ(block(64), Calls{});
    EXPECT_EQ(runsOf(output), (Runs{{0, 63, 1.0f}}));
    EXPECT_EQ(block(64),
              (Calls{AudioCall::fetch(countdown), AudioCall::announce(32, pinOut, false)}));
    EXPECT_EQ(runsOf(output), (Runs{{0, 31, 1.0f}, {32, 63, 0.0f}}));
}

TEST_F(AudioPartTest, APulseEndingOnTheLastFrameEndsItsStreamAtTheNextBlocksStart) {
    start();
    events.value(0, pinLength, int32_t(54)).value(10, pinTrigger, true);
    EXPECT_EQ(block(64, events), Calls{AudioCall::announce(10, pinOut, true)});
    EXPECT_EQ(runsOf(output), (Runs{{0, 9, 0.0f}, {10, 63, 1.0f}}));
    EXPECT_EQ(block(64),
              (Calls{AudioCall::fetch(countdown), AudioCall::announce(0, pinOut, false)}));
    EXPECT_EQ(runsOf(output), (Runs{{0, 63, 0.0f}}));
}

TEST_F(AudioPartTest, LengthsBelowOneGiveOneFramePulsesAndNoLengthGives1000) {
    struct Case {
        const char* name;
        bool setLength;
        int32_t length;
        int32_t pulse;
    };
    const Case cases[] = {
        {"no length yet", false, 0, 1000}, {"0", true, 0, 1}, {"-5", true, -5, 1},
        {"INT_MIN", true, INT_MIN, 1},     {"1", true, 1, 1}, {"1500", true, 1500, 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        module = std::make_unique<AudioModule>(factory(), u"GUISet2Trig", audioHost);
        start(2048);
        if (c.setLength)
            events.value(0, pinLength, c.length);
        events.value(0, pinTrigger, true);
        EXPECT_EQ(block(2048, events),
                  (Calls{AudioCall::announce(0, pinOut, true), AudioCall::fetch(countdown),
                         AudioCall::announce(c.pulse, pinOut, false)}));
        EXPECT_EQ(runsOf(output), (Runs{{0, c.pulse - 1, 1.0f}, {c.pulse, 2047, 0.0f}}));
    }
}

TEST_F(AudioPartTest, SkippingTheFirstTriggerSwallowsOneTriggerOnce) {
    start();
    events.value(0, pinLength, int32_t(4)).value(0, pinSkipFirst, true).value(8, pinTrigger, true);
    EXPECT_EQ(block(64, events), Calls{});
    EXPECT_EQ(runsOf(output), (Runs{{0, 63, 0.0f}}));
    events.value(8, pinTrigger, true);
    EXPECT_EQ(block(64, events).front(), AudioCall::announce(8, pinOut, true));
    EXPECT_EQ(runsOf(output), (Runs{{0, 7, 0.0f}, {8, 11, 1.0f}, {12, 63, 0.0f}}));
}

TEST_F(AudioPartTest, WithoutSkippingAtTheFirstTriggerTheNextTriggerAfterSettingIsSwallowed) {
    start();
    events.value(0, pinLength, int32_t(4)).value(8, pinTrigger, true);
    EXPECT_EQ(block(64, events).front(), AudioCall::announce(8, pinOut, true));
    events.value(8, pinTrigger, false);
    EXPECT_EQ(block(64, events).front(), AudioCall::announce(8, pinOut, true));
    events.value(0, pinSkipFirst, true).value(8, pinTrigger, true);
    EXPECT_EQ(block(64, events), Calls{});
    for (int round = 0; round < 2; ++round) {
        events.value(8, pinTrigger, true);
        EXPECT_EQ(block(64, events).front(), AudioCall::announce(8, pinOut, true));
    }
}

TEST_F(AudioPartTest, InvertedPolarityRestsAtOneAndPulsesAtZero) {
    start();
    events.value(0, pinInverted, true).value(0, pinLength, int32_t(20)).value(10, pinTrigger, true);
    block(64, events);
    EXPECT_EQ(runsOf(output), (Runs{{0, 9, 1.0f}, {10, 29, 0.0f}, {30, 63, 1.0f}}));
    events.value(5, pinInverted, false);
    block(64, events);
    EXPECT_EQ(runsOf(output), (Runs{{0, 4, 1.0f}, {5, 63, 0.0f}}));
}

TEST_F(AudioPartTest, SettingsInTheTriggersGroupApplyToThatTrigger) {
    start();
    events.value(10, pinTrigger, true)
        .value(10, pinLength, int32_t(5))
        .value(10, pinInverted, true);
    EXPECT_EQ(block(64, events),
              (Calls{AudioCall::announce(10, pinOut, true), AudioCall::fetch(countdown),
                     AudioCall::announce(15, pinOut, false)}));
    // Rest before the group was 0.0, the pulse is 0.0 now: one run up to frame 14.
    EXPECT_EQ(runsOf(output), (Runs{{0, 14, 0.0f}, {15, 63, 1.0f}}));
}

TEST_F(AudioPartTest, ATriggerDuringAPulseRestartsItAtFullLength) {
    start();
    events.value(0, pinLength, int32_t(20)).value(10, pinTrigger, true).value(20, pinTrigger, true);
    EXPECT_EQ(block(64, events),
              (Calls{AudioCall::announce(10, pinOut, true), AudioCall::announce(20, pinOut, true),
                     AudioCall::fetch(countdown), AudioCall::announce(40, pinOut, false)}));
    EXPECT_EQ(runsOf(output), (Runs{{0, 9, 0.0f}, {10, 39, 1.0f}, {40, 63, 0.0f}}));
}

TEST_F(AudioPartTest, AfterAskingToSleepAStretchBeforeATriggerIsStillComputed) {
    start();
    block(64);
    block(64);
    ASSERT_EQ(block(64), Calls{AudioCall::sleep()});
    events.value(0, pinLength, int32_t(8)).value(30, pinTrigger, true);
    EXPECT_EQ(block(64, events).front(), AudioCall::announce(30, pinOut, true));
    EXPECT_EQ(runsOf(output), (Runs{{0, 29, 0.0f}, {30, 37, 1.0f}, {38, 63, 0.0f}}));
}

TEST_F(AudioPartTest, WithoutAnAudioHostBlocksRunAndCallNothing) {
    AudioHost silent;
    silent.offer(AudioInterface::Audio, false);
    module = std::make_unique<AudioModule>(factory(), u"GUISet2Trig", silent);
    ASSERT_EQ(module->makeResult, ResultSuccess);
    std::vector<float>& samples = module->attach(pinOut, 64, sentinel);
    events.runStart(0).value(0, pinLength, int32_t(8)).value(4, pinTrigger, true);
    module->run(64, events);
    EXPECT_TRUE(silent.calls.empty());
    EXPECT_EQ(runsOf(samples), (Runs{{0, 3, 0.0f}, {4, 11, 1.0f}, {12, 63, 0.0f}}));
    module.reset();
    EXPECT_TRUE(silent.referencesBalanced());
}

// The GUI part.

class GuiPartTest : public blackbox::LibraryTest {
protected:
    void TearDown() override {
        gui.reset();
        LibraryTest::TearDown();
    }

    GuiModule gui = make(u"GUISet2Trig");

    // Sets pin `pin` to a value of its type and reports it.
    void update(int32_t pin) {
        static const Bytes values[] = {bytesOf(1.5f), bytesOf(int32_t(3)), bytesOf(u"ab"),
                                       bytesOf(true), Bytes{1, 2, 3}};
        ASSERT_EQ(gui.receive(pin, values[pin % 5]), ResultSuccess);
        ASSERT_EQ(gui.changed(pin), ResultSuccess);
    }
    std::vector<blackbox::Send> sends() { return blackbox::sendsOf(host); }
};

TEST_F(GuiPartTest, IsAnotherClassThanTheAudioPart) {
    ASSERT_EQ(gui.makeResult, ResultSuccess);
    void* out = &out;
    EXPECT_EQ(gui.unknown()->queryInterface(iidOf<gmpi::IMpPlugin2>(), &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
}

TEST_F(GuiPartTest, AfterFiveUpdatesOfAnyInputEachUpdateTogglesTheOutput) {
    for (const int32_t pin : {0, 3, 9, 4, 7})
        update(pin);
    EXPECT_TRUE(sends().empty());
    update(5);
    EXPECT_EQ(sends(), (std::vector<blackbox::Send>{{10, bytesOf(true)}}));
    update(1);
    update(2);
    update(8);
    EXPECT_EQ(
        sends(),
        (std::vector<blackbox::Send>{
            {10, bytesOf(true)}, {10, bytesOf(false)}, {10, bytesOf(true)}, {10, bytesOf(false)}}));
}

TEST_F(GuiPartTest, OnlyReportedInputUpdatesCount) {
    for (int i = 0; i < 7; ++i)
        ASSERT_EQ(gui.receive(0, bytesOf(float(i))), ResultSuccess);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(gui.changed(10), ResultSuccess); // the output has no handler
    EXPECT_EQ(gui.changed(11), ResultFailure);
    for (int i = 0; i < 5; ++i)
        update(0);
    EXPECT_TRUE(sends().empty());
    update(0);
    EXPECT_EQ(sends().size(), 1u);
}

TEST_F(GuiPartTest, AnOutputValueTheHostStoredIsNotSentAgain) {
    for (int i = 0; i < 5; ++i)
        update(6);
    ASSERT_EQ(gui.receive(10, bytesOf(true)), ResultSuccess);
    update(6); // would send true: the pin holds it already
    EXPECT_TRUE(sends().empty());
    update(6);
    EXPECT_EQ(sends(), (std::vector<blackbox::Send>{{10, bytesOf(false)}}));
}

TEST_F(GuiPartTest, AnUpdateFromInsideTheOutputsSendTogglesItAgain) {
    for (int i = 0; i < 5; ++i)
        update(0);
    // The host reports an input from inside the sixth update's send: that
    // update toggles the output back, and the next one toggles it again.
    bool nested = false;
    host.onAccept = [&](const SentValue&) {
        if (!std::exchange(nested, true))
            update(1);
    };
    update(0);
    host.onAccept = nullptr;
    ASSERT_TRUE(nested);
    update(0);
    EXPECT_EQ(sends(), (std::vector<blackbox::Send>{
                           {10, bytesOf(true)}, {10, bytesOf(false)}, {10, bytesOf(true)}}));
}

} // namespace
