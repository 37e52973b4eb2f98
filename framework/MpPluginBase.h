// The audio side of a module: the module interfaces the host's audio engine
// calls, the pin map, and the division of each block into stretches between
// event groups. MpBase2 and MpBase add the block routines and the sleep gate.
#pragma once

#include "ComPtr.h"
#include "HostApi.h"
#include "ModuleApi.h"
#include "PinIndex.h"

#include <map>

class MpPinBase;
class MpPluginBase;

// A pin's event handler: a member function of the module taking the event.
using PinHandler = void (MpPluginBase::*)(const TimedEvent* event);

// When the sleep gate is due.
enum SleepPolicy : int32_t {
    SleepWhenQuiet = -1, // while no pin streams
    SleepNever = 0,
    SleepPermitted = 1, // always
};

class MpPluginBase : public gmpi::IMpPlugin,
                     public gmpi::IMpPlugin2,
                     public IoldSchoolInitialisation,
                     public gmpi::IMpLegacyInitialization {
public:
    MpPluginBase(const MpPluginBase&) = delete;
    MpPluginBase& operator=(const MpPluginBase&) = delete;

    // The primary interface's slots, in order.
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refCount; }
    int32_t release() override;
    int32_t prepare() override { return ResultSuccess; }
    int32_t attachBuffer(int32_t pinId, float* buffer) override;
    // Forwards to the IMpPlugin2 form.
    void runBlock(int32_t frames, const void* events) override;
    int32_t acceptMessage(int32_t id, int32_t size, const void* data) override;
    virtual ~MpPluginBase();
    // Keeps the host's IAudioHostExtension and IAudioHost; answers the second query's result.
    int32_t attachHost(gmpi::IMpUnknown* host) override;
    void runBlock(int32_t frames, const TimedEvent* events) override = 0;
    int32_t acceptMessage(int32_t id, int32_t size, void* data) override;
    virtual void onMidiData(int32_t pinId, const uint8_t* bytes, int32_t size);
    virtual void onMidiDataLegacy(int32_t pinId, const uint8_t* bytes, int32_t size) {}
    // After an event group that held a value or stream event.
    virtual void onPinEventGroup() {}
    // A pin's streaming state changed.
    virtual void onPinStreamingChanged(bool streaming) = 0;
    // Start of running: every output pin publishes its initial state.
    virtual void onRunStart();

    // The handler of a MIDI input without one of its own: passes the bytes to onMidiData.
    void routeMidiEvent(const TimedEvent* event);

    IAudioHost* getAudioHost() const { return audioHost.get(); }
    int32_t getStretchStart() const { return stretchStart; }
    int32_t getFramesBeforeSleep() const { return framesBeforeSleep; }
    int32_t getActiveStreams() const { return activeStreams; }
    SleepPolicy getSleepPolicy() const { return sleepPolicy; }
    const std::map<int32_t, MpPinBase*>& registeredPins() const { return pins; }

protected:
    MpPluginBase() = default;

    // Binds the pin and enters it under pinId; an id present already keeps its pin.
    void registerPin(int32_t pinId, MpPinBase& pin, PinHandler handler = nullptr);
    template <class Module>
    void registerPin(int32_t pinId, MpPinBase& pin, void (Module::*handler)(const TimedEvent*)) {
        registerPin(pinId, pin, static_cast<PinHandler>(handler));
    }
    // Registers under the next free id: 0 first, else the highest present + 1.
    void registerPin(MpPinBase& pin, PinHandler handler = nullptr) {
        registerPin(nextPinId(), pin, handler);
    }
    template <class Module>
    void registerPin(MpPinBase& pin, void (Module::*handler)(const TimedEvent*)) {
        registerPin(nextPinId(), pin, static_cast<PinHandler>(handler));
    }
    // Registers under a named index, which must be the next id (PinIndex.h).
    template <NamedPinIndex Index>
    void registerPin(Index index, MpPinBase& pin, PinHandler handler = nullptr) {
        registerPin(requireNextPinIndex(index, nextPinId()), pin, handler);
    }
    // 0 when empty, else the highest id + 1 (at most INT32_MAX).
    int32_t nextPinId() const {
        if (pins.empty())
            return 0;
        const int32_t last = pins.rbegin()->first;
        return last == INT32_MAX ? last : last + 1;
    }

    // Asks the host how many frames the module still computes before the gate sleeps.
    // No module of this library calls it.
    void refreshSleepCountdown();
    // An event's frame; one beyond the block is taken at the block's end.
    static int32_t eventFrame(const TimedEvent* event, int32_t frames);
    // Runs the three passes over the group of events at stretchStart that
    // begins with `first`, and returns the event after the group.
    const TimedEvent* handleEventGroup(const TimedEvent* first, int32_t frames);

    int32_t stretchStart = 0;
    int32_t framesBeforeSleep = 0;
    int32_t activeStreams = 0;
    SleepPolicy sleepPolicy = SleepWhenQuiet;
    bool atBlockTail = true;

private:
    friend class MpPinBase;
    // The block machinery below is shared by the two sister bases, which
    // differ only in how they call their block routines.
    friend class MpBase2;
    friend class MpBase;

    MpPinBase* findPin(int32_t pinId) const;

    // Divides a block into stretches between event groups: runStretch(n) for
    // each stretch of n frames (stretchStart at its first frame, atBlockTail
    // false unless the stretch ends the block), the group's passes between.
    template <class RunStretch>
    void splitBlock(int32_t frames, const TimedEvent* events, RunStretch runStretch);

    // The sleep gate, its parts shared by both bases.
    // Written with integers rather than && and ||: so written, the compiler
    // lays out a sleeping block's path in runBlock without a taken jump.
    bool gateDue() const {
        const int quiet = int(sleepPolicy == SleepWhenQuiet) & int(activeStreams == 0);
        return (quiet | int(sleepPolicy == SleepPermitted)) != 0;
    }
    // A sleeping module's stretch: the gate is due with nothing left to
    // compute, at the block's end. Asks the host to sleep and answers true.
    bool sleepAtBlockTail();
    // The gate over a stretch of n frames. computePiece(k) runs the module's
    // routine over the stretch's next k frames; handOver() makes the module's
    // routine the active one, when the gate is no longer due, before the rest
    // of the stretch is computed.
    template <class ComputePiece, class HandOver>
    void runSleepGate(int32_t frames, ComputePiece computePiece, HandOver handOver);
    // Counts a pin's stream starting or ending; true when the gate is to be
    // the active routine, false when the module's routine is.
    bool countStream(bool streaming);
    // Sets the sleep policy for allowSleep(); true when the gate is to be
    // installed at once.
    bool permitSleep(bool allowed);

    int32_t refCount = 1;
    gmpi_sdk::ComPtr<IAudioHost> audioHost;
    gmpi_sdk::ComPtr<IAudioHostExtension> audioHostExtension;
    std::map<int32_t, MpPinBase*> pins;
    bool inMessage = false;
};

// Base of audio modules whose block routine addresses its buffers from stretchStart.
class MpBase2 : public MpPluginBase {
public:
    using BlockRoutine = void (MpBase2::*)(int32_t frames);

    void runBlock(int32_t frames, const TimedEvent* events) override;
    void onPinStreamingChanged(bool streaming) override;
    ~MpBase2() override = default;

    // The routine runBlock calls now, and the module's own.
    BlockRoutine getActiveRoutine() const { return activeRoutine; }
    BlockRoutine getModuleRoutine() const { return moduleRoutine; }
    bool sleepGateActive() const { return activeRoutine == &MpBase2::sleepGate; }

protected:
    MpBase2() = default;

    // Installs the module's routine; it runs at once unless the gate is active.
    void selectRoutine(BlockRoutine routine);
    template <class Module> void selectRoutine(void (Module::*routine)(int32_t frames)) {
        selectRoutine(static_cast<BlockRoutine>(routine));
    }
    // true: the gate runs and may sleep; false: the gate hands over on its next run.
    void allowSleep(bool allowed);

private:
    // The block's stretches through the active routine. Kept out of runBlock,
    // so that a sleeping block does not pay for this one's registers.
    [[gnu::noinline]] void runStretches(int32_t frames, const TimedEvent* events);
    void sleepGate(int32_t frames);
    void idleRoutine(int32_t) {}

    BlockRoutine activeRoutine = &MpBase2::sleepGate;
    BlockRoutine moduleRoutine = &MpBase2::idleRoutine;
};

// Sister of MpBase2 whose block routines receive the offset of their first frame.
// No module of this library uses this class.
class MpBase : public MpPluginBase {
public:
    using BlockRoutine = void (MpBase::*)(int32_t bufferOffset, int32_t frames);

    void runBlock(int32_t frames, const TimedEvent* events) override;
    void onPinStreamingChanged(bool streaming) override;
    ~MpBase() override = default;

    BlockRoutine getActiveRoutine() const { return activeRoutine; }
    BlockRoutine getModuleRoutine() const { return moduleRoutine; }
    bool sleepGateActive() const { return activeRoutine == &MpBase::sleepGate; }

protected:
    MpBase() = default;

    void selectRoutine(BlockRoutine routine);
    template <class Module>
    void selectRoutine(void (Module::*routine)(int32_t bufferOffset, int32_t frames)) {
        selectRoutine(static_cast<BlockRoutine>(routine));
    }
    void allowSleep(bool allowed);

private:
    void sleepGate(int32_t bufferOffset, int32_t frames);
    void idleRoutine(int32_t, int32_t) {}

    BlockRoutine activeRoutine = &MpBase::sleepGate;
    BlockRoutine moduleRoutine = &MpBase::idleRoutine;
};
