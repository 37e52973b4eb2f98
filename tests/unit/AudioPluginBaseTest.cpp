// The audio-side base: identity and lifetime, host attachment, the division of
// a block into stretches and event groups, and the sleep gate.
#include "framework/AudioPins.h"
#include "host/AudioHost.h"
#include "tests/unit/SlotOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace testhost;

namespace {

// One log for the module's and the host's calls, so that their order shows.
using Log = std::vector<std::string>;

// A bool input whose three passes over an event are logged.
class LoggedBoolPin final : public BoolInPin {
public:
    explicit LoggedBoolPin(Log& log) : log(log) {}
    void absorbEvent(const TimedEvent* e) override {
        log.push_back("absorb " + std::to_string(getId()));
        BoolInPin::absorbEvent(e);
    }
    void dispatchEvent(const TimedEvent* e) override {
        log.push_back("dispatch " + std::to_string(getId()));
        BoolInPin::dispatchEvent(e);
    }
    void finishEvent(const TimedEvent* e) override {
        log.push_back("finish " + std::to_string(getId()));
        BoolInPin::finishEvent(e);
    }

private:
    Log& log;
};

// Pins 0 and 1 logged bool inputs, 2 an audio input, 3 an audio output, 4 a
// MIDI input, 5 an audio output.
class Probe final : public MpBase2 {
public:
    Probe(Log& log, bool* destroyed = nullptr)
        : log(log), destroyed(destroyed), pin0(log), pin1(log) {
        registerPin(pin0);
        registerPin(pin1);
        registerPin(streamIn);
        registerPin(output);
        registerPin(midiIn);
        registerPin(output2);
        selectRoutine(&Probe::routine);
    }
    ~Probe() override {
        if (destroyed)
            *destroyed = true;
    }

    using MpBase2::allowSleep;
    using MpBase2::refreshSleepCountdown;
    using MpBase2::selectRoutine;

    void routine(int32_t frames) {
        log.push_back("routine " + std::to_string(stretchStart) + "+" + std::to_string(frames));
        if (onRoutine)
            onRoutine(frames);
    }
    void otherRoutine(int32_t frames) { log.push_back("other " + std::to_string(frames)); }

    void onPinEventGroup() override { log.push_back("group"); }
    void onRunStart() override {
        log.push_back("run start");
        MpBase2::onRunStart();
    }
    void onMidiData(int32_t pinId, const uint8_t* bytes, int32_t size) override {
        log.push_back("midi " + std::to_string(pinId) + " size " + std::to_string(size));
    }

    // The module routine active, as while a pin streams.
    void wake() { onPinStreamingChanged(true); }
    bool moduleRoutineActive() const {
        return getActiveRoutine() == static_cast<BlockRoutine>(&Probe::routine);
    }

    Log& log;
    bool* destroyed;
    std::function<void(int32_t)> onRoutine;
    LoggedBoolPin pin0;
    LoggedBoolPin pin1;
    AudioInPin streamIn;
    AudioOutPin output;
    MidiInPin midiIn;
    AudioOutPin output2;
};

class AudioBlock : public ::testing::Test {
protected:
    AudioBlock() {
        host.onCall = [this](const AudioCall& call) { log.push_back(call.describe()); };
        probe->attachHost(host.object());
    }
    ~AudioBlock() override {
        if (probe)
            probe->release();
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
    }
    void run(int32_t frames) { probe->runBlock(frames, events.head()); }

    Log log;
    AudioHost host;
    EventList events;
    Probe* probe = new Probe(log);
};

using Lines = std::vector<std::string>;

TEST_F(AudioBlock, WithoutEventsRunsTheActiveRoutineOnceWithAllFrames) {
    probe->wake();
    for (const int32_t frames : {0, 1, 64, 4096}) {
        log.clear();
        probe->runBlock(frames, nullptr);
        EXPECT_EQ(log, Lines{"routine 0+" + std::to_string(frames)});
    }
}

TEST_F(AudioBlock, EventsAtFrameZeroAreHandledBeforeATailOverTheWholeBlock) {
    probe->wake();
    events.value(0, 0, true);
    run(64);
    EXPECT_EQ(log, (Lines{"absorb 0", "dispatch 0", "group", "finish 0", "routine 0+64"}));
}

TEST_F(AudioBlock, AGroupAbsorbsAllThenDispatchesAllThenFinishesAll) {
    probe->wake();
    events.value(10, 0, true).value(10, 1, false).message(10, 4, {0x90, 60, 100});
    events.value(40, 1, true);
    run(64);
    EXPECT_EQ(log, (Lines{"routine 0+10", "absorb 0", "absorb 1", "dispatch 0", "dispatch 1",
                          "midi 4 size 3", "group", "finish 0", "finish 1", "routine 10+30",
                          "absorb 1", "dispatch 1", "group", "finish 1", "routine 40+24"}));
}

TEST_F(AudioBlock, OnlyValueAndStreamEventsMakeAGroupReport) {
    struct Case {
        int32_t kind;
        int32_t pinId;
        bool reports;
    };
    const Case cases[] = {
        {EventValueChanged, 0, true},
        {EventValueChanged, 99, true},
        {EventStreamOn, 99, true},
        {EventStreamOff, 99, true},
        {EventPinMessage, 4, false},
        {EventPinMessage, 99, false},
        {EventRunStart, -1, false},
        {105, 0, false},
        {99, 0, false},
    };
    probe->wake();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " pin " << c.pinId);
        log.clear();
        events.clear();
        events.add(5, c.kind, c.pinId, {1});
        run(16);
        const bool reported = std::find(log.begin(), log.end(), "group") != log.end();
        EXPECT_EQ(reported, c.reports);
        EXPECT_EQ(log.front(), "routine 0+5");
        EXPECT_EQ(log.back(), "routine 5+11");
    }
}

TEST_F(AudioBlock, UnknownKindsAndPinsArePassedOverByEveryPass) {
    probe->wake();
    events.add(0, 105, 0, {1}).value(0, 99, true);
    run(8);
    EXPECT_EQ(log, (Lines{"group", "routine 0+8"}));
    EXPECT_FALSE(probe->pin0.getValue());
}

TEST_F(AudioBlock, AGroupAtOrBeyondTheBlocksEndIsNotHandledAndNoTailFollows) {
    for (const int32_t frame : {64, 65, 1000000}) {
        SCOPED_TRACE(frame);
        log.clear();
        events.clear();
        probe->wake();
        events.value(20, 1, true).value(frame, 0, true);
        run(64);
        EXPECT_EQ(log, (Lines{"routine 0+20", "absorb 1", "dispatch 1", "group", "finish 1",
                              "routine 20+44"}));
        EXPECT_FALSE(probe->pin0.getValue());
    }
}

TEST_F(AudioBlock, AnEventBeforeTheStretchStartIsHandledThereWithTheEventsAtIt) {
    probe->wake();
    events.value(20, 0, true).value(10, 1, true).value(20, 0, false).value(30, 1, false);
    run(64);
    EXPECT_EQ(log, (Lines{"routine 0+20", "absorb 0", "dispatch 0", "group", "finish 0", "absorb 1",
                          "absorb 0", "dispatch 1", "dispatch 0", "group", "finish 1", "finish 0",
                          "routine 20+10", "absorb 1", "dispatch 1", "group", "finish 1",
                          "routine 30+34"}));
}

TEST_F(AudioBlock, ANegativeFrameIsHandledAtTheBlocksStart) {
    probe->wake();
    events.value(-5, 0, true).value(0, 1, true);
    run(16);
    EXPECT_EQ(log, (Lines{"absorb 0", "absorb 1", "dispatch 0", "dispatch 1", "group", "finish 0",
                          "finish 1", "routine 0+16"}));
}

TEST_F(AudioBlock, ANegativeFrameCountCountsAsZero) {
    probe->wake();
    probe->runBlock(-7, nullptr);
    EXPECT_EQ(log, Lines{"routine 0+0"});
}

TEST_F(AudioBlock, TheFirstInterfacesRunBlockForwardsItsArguments) {
    probe->wake();
    events.value(3, 0, true);
    static_cast<gmpi::IMpPlugin*>(probe)->runBlock(8, static_cast<const void*>(events.head()));
    EXPECT_EQ(log,
              (Lines{"routine 0+3", "absorb 0", "dispatch 0", "group", "finish 0", "routine 3+5"}));
}

TEST_F(AudioBlock, RunStartPublishesEveryOutputInIdOrderWithoutAGroupReport) {
    events.runStart(4);
    run(16);
    // Two streams make the module routine active for the rest of the block.
    EXPECT_EQ(log, (Lines{"routine 0+4", "run start", "announceStreaming(frame 4, pin 3, on)",
                          "announceStreaming(frame 4, pin 5, on)", "routine 4+12"}));
    EXPECT_EQ(probe->getActiveStreams(), 2);
}

// The sleep gate.

TEST_F(AudioBlock, ANewModuleStartsWithTheGateActiveAndSleepingWhenQuiet) {
    EXPECT_TRUE(probe->sleepGateActive());
    EXPECT_EQ(probe->getSleepPolicy(), SleepWhenQuiet);
    EXPECT_TRUE(probe->getModuleRoutine() == static_cast<MpBase2::BlockRoutine>(&Probe::routine));
    EXPECT_EQ(probe->getFramesBeforeSleep(), 0);
}

TEST_F(AudioBlock, ADueGateWithoutCountdownAsksToSleepAtTheTailAndComputesNothing) {
    run(64);
    EXPECT_EQ(log, Lines{"askToSleep()"});
    log.clear();
    probe->runBlock(0, nullptr);
    EXPECT_EQ(log, Lines{"askToSleep()"});
}

TEST_F(AudioBlock, AStretchEndingAtAnEventIsComputedWholeAndNeverSleeps) {
    events.value(20, 0, true).value(50, 1, true);
    run(64);
    EXPECT_EQ(log,
              (Lines{"routine 0+20", "absorb 0", "dispatch 0", "group", "finish 0", "routine 20+30",
                     "absorb 1", "dispatch 1", "group", "finish 1", "askToSleep()"}));
    EXPECT_EQ(probe->getFramesBeforeSleep(), 0);
}

TEST_F(AudioBlock, TheGateComputesTheCountdownThenAsksToSleep) {
    host.framesBeforeSleep = 100;
    probe->refreshSleepCountdown();
    log.clear();
    run(256);
    EXPECT_EQ(log, (Lines{"routine 0+100", "askToSleep()"}));
    EXPECT_EQ(probe->getStretchStart(), 0);
}

TEST_F(AudioBlock, TheCountdownCarriesOverBlocks) {
    host.framesBeforeSleep = 100;
    probe->refreshSleepCountdown();
    log.clear();
    run(64);
    run(64);
    EXPECT_EQ(log, (Lines{"routine 0+64", "routine 0+36", "askToSleep()"}));
}

TEST_F(AudioBlock, TheGateAdvancesTheStretchStartForEachPieceAndRestoresIt) {
    host.framesBeforeSleep = 100;
    probe->refreshSleepCountdown();
    log.clear();
    // The first piece withdraws sleep: the gate hands the rest to the routine.
    probe->onRoutine = [this](int32_t) {
        probe->onRoutine = nullptr;
        probe->allowSleep(false);
    };
    run(266);
    EXPECT_EQ(log, (Lines{"routine 0+100", "routine 100+166"}));
    EXPECT_EQ(probe->getStretchStart(), 0);
    EXPECT_TRUE(probe->moduleRoutineActive());
}

TEST_F(AudioBlock, ARoutineThrowingInTheGateLeavesTheStretchStartAsTheGateFoundIt) {
    host.framesBeforeSleep = 100;
    probe->refreshSleepCountdown();
    log.clear();
    // The stretch before the event is computed in two pieces; the second throws.
    probe->onRoutine = [this](int32_t) {
        if (probe->getStretchStart() > 0)
            throw std::runtime_error("routine");
    };
    events.value(200, 0, true);
    run(256);
    EXPECT_EQ(log, (Lines{"routine 0+100", "routine 100+100"}));
    EXPECT_EQ(probe->getStretchStart(), 0);
}

TEST_F(AudioBlock, WithdrawnSleepMakesTheGateHandOverOnItsFirstRun) {
    probe->allowSleep(false);
    EXPECT_TRUE(probe->sleepGateActive());
    run(64);
    EXPECT_EQ(log, Lines{"routine 0+64"});
    EXPECT_TRUE(probe->moduleRoutineActive());
    EXPECT_EQ(probe->getSleepPolicy(), SleepNever);
}

TEST_F(AudioBlock, AllowingSleepReinstallsTheGateAtOnce) {
    probe->wake();
    probe->allowSleep(true);
    EXPECT_TRUE(probe->sleepGateActive());
    EXPECT_EQ(probe->getSleepPolicy(), SleepPermitted);
    // Permitted: due even while a pin streams.
    run(8);
    EXPECT_EQ(log, Lines{"askToSleep()"});
}

TEST_F(AudioBlock, AStreamKeepsTheModuleRoutineUnlessSleepIsPermitted) {
    events.streamOn(0, 2);
    run(8);
    EXPECT_EQ(log, (Lines{"group", "routine 0+8"}));
    EXPECT_EQ(probe->getActiveStreams(), 1);
    EXPECT_TRUE(probe->moduleRoutineActive());

    probe->allowSleep(true);
    probe->wake();
    EXPECT_EQ(probe->getActiveStreams(), 2);
    EXPECT_TRUE(probe->sleepGateActive());
}

TEST_F(AudioBlock, AStreamEndingKeepsTheModuleAwakeForOneFrame) {
    events.streamOn(0, 2);
    run(64);
    log.clear();
    events.clear();
    events.streamOff(10, 2);
    run(64);
    EXPECT_EQ(log, (Lines{"routine 0+10", "group", "routine 10+1", "askToSleep()"}));
    EXPECT_EQ(probe->getActiveStreams(), 0);
}

TEST_F(AudioBlock, SelectingARoutineReplacesTheActiveOneOnlyWhenTheGateIsNotActive) {
    const auto other = static_cast<MpBase2::BlockRoutine>(&Probe::otherRoutine);
    probe->selectRoutine(&Probe::otherRoutine);
    EXPECT_TRUE(probe->sleepGateActive());
    EXPECT_TRUE(probe->getModuleRoutine() == other);

    probe->selectRoutine(&Probe::routine);
    probe->wake();
    probe->selectRoutine(&Probe::otherRoutine);
    EXPECT_TRUE(probe->getActiveRoutine() == other);
    probe->runBlock(5, nullptr);
    EXPECT_EQ(log, Lines{"other 5"});
}

// Identity, lifetime, host and buffers.

TEST(AudioPlugin, QueryInterfaceAnswersItsFourIdsWithOneReferenceEach) {
    Log log;
    bool destroyed = false;
    auto* probe = new Probe(log, &destroyed);
    struct Case {
        InterfaceId iid;
        void* expected;
    };
    const Case cases[] = {
        {iidOf<gmpi::IMpUnknown>(), static_cast<gmpi::IMpPlugin*>(probe)},
        {iidOf<gmpi::IMpPlugin>(), static_cast<gmpi::IMpPlugin*>(probe)},
        {iidOf<gmpi::IMpPlugin2>(), static_cast<gmpi::IMpPlugin2*>(probe)},
        {iidOf<gmpi::IMpLegacyInitialization>(),
         static_cast<gmpi::IMpLegacyInitialization*>(probe)},
    };
    for (const Case& c : cases) {
        void* out = nullptr;
        EXPECT_EQ(probe->queryInterface(c.iid, &out), ResultSuccess);
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(probe->release(), 1); // exactly one reference was added
    }
    void* out = &out;
    EXPECT_EQ(probe->queryInterface(iidOf<gmpi::IMpUserInterface2>(), &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(probe->addRef(), 2);
    EXPECT_EQ(probe->release(), 1);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(probe->release(), 0);
    EXPECT_TRUE(destroyed);
}

TEST(AudioPlugin, AttachHostKeepsBothHostInterfacesAndReleasesThemAtTheEnd) {
    Log log;
    AudioHost host;
    auto* probe = new Probe(log);
    EXPECT_EQ(probe->attachHost(host.object()), ResultSuccess);
    EXPECT_EQ(host.references(AudioInterface::Audio), 1);
    EXPECT_EQ(host.references(AudioInterface::Extension), 1);
    // A second attachment replaces the first.
    EXPECT_EQ(probe->attachHost(host.object()), ResultSuccess);
    EXPECT_EQ(host.references(AudioInterface::Audio), 1);
    probe->release();
    EXPECT_TRUE(host.referencesBalanced());
}

TEST(AudioPlugin, WithoutIAudioHostAttachHostAnswersTheQueryAndBlocksCallNothing) {
    Log log;
    AudioHost host;
    host.offer(AudioInterface::Audio, false);
    auto* probe = new Probe(log);
    EXPECT_EQ(probe->attachHost(host.object()), ResultUnsupported);
    EXPECT_EQ(probe->getAudioHost(), nullptr);
    EXPECT_EQ(probe->attachHost(nullptr), ResultFailure);
    EventList events;
    events.runStart(0);
    probe->runBlock(16, events.head());
    probe->output.markStreaming(false, 3);
    probe->runBlock(16, nullptr);
    EXPECT_TRUE(host.calls.empty());
    probe->release();
    EXPECT_TRUE(host.referencesBalanced());
}

TEST(AudioPlugin, AttachBufferReachesThePinOrFails) {
    Log log;
    auto* probe = new Probe(log);
    float samples[4] = {};
    EXPECT_EQ(probe->attachBuffer(3, samples), ResultSuccess);
    EXPECT_EQ(probe->output.getBuffer(), samples);
    EXPECT_EQ(probe->attachBuffer(0, samples), ResultSuccess); // a control pin ignores it
    EXPECT_EQ(probe->attachBuffer(6, samples), ResultFailure);
    EXPECT_EQ(probe->attachBuffer(-1, samples), ResultFailure);
    EXPECT_EQ(probe->prepare(), ResultSuccess);
    probe->release();
}

TEST(AudioPlugin, PinsGetIdsInRegistrationOrderAndAnIdPresentKeepsItsPin) {
    struct Doubled final : MpBase2 {
        Doubled() {
            registerPin(first);
            registerPin(0, second);
            registerPin(third);
        }
        BoolInPin first, second, third;
    };
    auto* module = new Doubled;
    const auto& pins = module->registeredPins();
    ASSERT_EQ(pins.size(), 2u);
    EXPECT_EQ(pins.at(0), &module->first);
    EXPECT_EQ(pins.at(1), &module->third);
    EXPECT_EQ(module->third.getId(), 1);
    EXPECT_EQ(module->first.getPlugin(), module);
    module->release();
}

TEST(AudioPlugin, TheNextIdAfterTheHighestPossibleIdDoesNotOverflow) {
    struct Highest final : MpBase2 {
        Highest() {
            registerPin(INT32_MAX, last);
            registerPin(next);
        }
        BoolInPin last, next;
    };
    auto* module = new Highest;
    EXPECT_EQ(module->registeredPins().size(), 1u);
    EXPECT_EQ(module->last.getId(), INT32_MAX);
    module->release();
}

// acceptMessage: each form defaults to the other, guarded against endless recursion.
struct FirstFormAnswers final : MpBase2 {
    int32_t acceptMessage(int32_t id, int32_t size, const void* data) override {
        ++calls;
        return id + size;
    }
    using MpBase2::acceptMessage;
    int calls = 0;
};
struct SecondFormAnswers final : MpBase2 {
    int32_t acceptMessage(int32_t id, int32_t size, void* data) override {
        ++calls;
        return id * size;
    }
    using MpBase2::acceptMessage;
    int calls = 0;
};
struct NeitherFormAnswers final : MpBase2 {};

TEST(AudioPlugin, EachAcceptMessageFormReachesTheOtherOnceAndNeitherGivesZero) {
    int payload = 0;
    auto* first = new FirstFormAnswers;
    auto* second = new SecondFormAnswers;
    auto* neither = new NeitherFormAnswers;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(static_cast<gmpi::IMpPlugin2*>(first)->acceptMessage(3, 4, &payload), 7);
        EXPECT_EQ(static_cast<gmpi::IMpPlugin*>(second)->acceptMessage(3, 4, &payload), 12);
        EXPECT_EQ(static_cast<gmpi::IMpPlugin*>(neither)->acceptMessage(3, 4, &payload), 0);
        EXPECT_EQ(static_cast<gmpi::IMpPlugin2*>(neither)->acceptMessage(3, 4, &payload), 0);
    }
    EXPECT_EQ(first->calls, 2);
    EXPECT_EQ(second->calls, 2);
    first->release();
    second->release();
    neither->release();
}

// MpBase: block routines that receive their buffer offset.

class OffsetProbe final : public MpBase {
public:
    explicit OffsetProbe(Log& log) : log(log) {
        registerPin(input);
        selectRoutine(&OffsetProbe::routine);
    }
    using MpBase::allowSleep;
    using MpBase::refreshSleepCountdown;
    void routine(int32_t offset, int32_t frames) {
        log.push_back("routine " + std::to_string(offset) + "+" + std::to_string(frames) + " at " +
                      std::to_string(stretchStart));
        if (onRoutine)
            onRoutine();
    }
    void onPinEventGroup() override { log.push_back("group at " + std::to_string(stretchStart)); }
    void wake() { onPinStreamingChanged(true); }

    Log& log;
    std::function<void()> onRoutine;
    BoolInPin input;
};

TEST(AudioPluginOffsets, RoutinesReceiveTheOffsetAndGroupsTheirFrame) {
    Log log;
    auto* probe = new OffsetProbe(log);
    probe->wake();
    EventList events;
    events.value(10, 0, true).value(30, 0, false).value(30, 5, true);
    probe->runBlock(64, events.head());
    EXPECT_EQ(log, (Lines{"routine 0+10 at 0", "group at 10", "routine 10+20 at 10", "group at 30",
                          "routine 30+34 at 30"}));
    probe->release();
}

TEST(AudioPluginOffsets, TheGateAdvancesTheOffsetAndLeavesTheStretchStart) {
    Log log;
    AudioHost host;
    host.framesBeforeSleep = 20;
    auto* probe = new OffsetProbe(log);
    probe->attachHost(host.object());
    probe->refreshSleepCountdown();
    probe->runBlock(64, nullptr);
    EXPECT_EQ(log, (Lines{"routine 0+20 at 0"}));
    EXPECT_EQ(host.calls.back(), AudioCall::sleep());

    log.clear();
    probe->refreshSleepCountdown();
    probe->onRoutine = [probe] {
        probe->onRoutine = nullptr;
        probe->allowSleep(false);
    };
    probe->runBlock(64, nullptr);
    EXPECT_EQ(log, (Lines{"routine 0+20 at 0", "routine 20+44 at 0"}));
    probe->release();
    EXPECT_TRUE(host.referencesBalanced());
}

// Slot order of the audio-side interfaces and classes.

using slots::slotOf;

TEST(AudioSlots, PluginBasePrimaryInterface) {
    using Base = MpPluginBase;
    EXPECT_EQ(slotOf(&Base::queryInterface), 0);
    EXPECT_EQ(slotOf(&Base::addRef), 1);
    EXPECT_EQ(slotOf(&Base::release), 2);
    EXPECT_EQ(slotOf(&Base::prepare), 3);
    EXPECT_EQ(slotOf(&Base::attachBuffer), 4);
    EXPECT_EQ(slotOf(static_cast<void (Base::*)(int32_t, const void*)>(&Base::runBlock)), 5);
    EXPECT_EQ(
        slotOf(static_cast<int32_t (Base::*)(int32_t, int32_t, const void*)>(&Base::acceptMessage)),
        6);
    // 7 and 8: the destructor, complete then deleting.
    EXPECT_EQ(slotOf(&Base::attachHost), 9);
    EXPECT_EQ(slotOf(static_cast<void (Base::*)(int32_t, const TimedEvent*)>(&Base::runBlock)), 10);
    EXPECT_EQ(slotOf(static_cast<int32_t (Base::*)(int32_t, int32_t, void*)>(&Base::acceptMessage)),
              11);
    EXPECT_EQ(slotOf(&Base::onMidiData), 12);
    EXPECT_EQ(slotOf(&Base::onMidiDataLegacy), 13);
    EXPECT_EQ(slotOf(&Base::onPinEventGroup), 14);
    EXPECT_EQ(slotOf(&Base::onPinStreamingChanged), 15);
    EXPECT_EQ(slotOf(&Base::onRunStart), 16);
    // MpBase2 and MpBase add no slot of their own.
    EXPECT_EQ(slotOf(&MpBase2::onPinStreamingChanged), 15);
    EXPECT_EQ(slotOf(&MpBase::onPinStreamingChanged), 15);
}

TEST(AudioSlots, Pins) {
    // 0 and 1: the destructor.
    EXPECT_EQ(slotOf(&MpPinBase::storeBuffer), 2);
    EXPECT_EQ(slotOf(&MpPinBase::absorbEvent), 3);
    EXPECT_EQ(slotOf(&MpPinBase::dispatchEvent), 4);
    EXPECT_EQ(slotOf(&MpPinBase::finishEvent), 5);
    EXPECT_EQ(slotOf(&MpPinBase::typeCode), 6);
    EXPECT_EQ(slotOf(&MpPinBase::flowDirection), 7);
    EXPECT_EQ(slotOf(&MpPinBase::fallbackHandler), 8);
    EXPECT_EQ(slotOf(&MpPinBase::publishInitialState), 9);
    EXPECT_EQ(slotOf(&MpAudioPinBase::extraAudioHook), 10);
    EXPECT_EQ(slotOf(&MidiOutPin::sendMidi), 10);
    using BoolBase = MpControlPinBase<bool, KindBool>;
    EXPECT_EQ(slotOf(&BoolBase::loadValueBytes), 10);
    EXPECT_EQ(slotOf(&BoolBase::loadValueBytesAlt), 11);
    EXPECT_EQ(slotOf(&BoolBase::valueByteCount), 12);
    EXPECT_EQ(slotOf(&BoolBase::valueAddress), 13);
    EXPECT_EQ(slotOf(&MpControlPinBase<int32_t, KindInt>::valueAddress), 13);
}

} // namespace
