#include "MpPluginBase.h"

#include "../platform/BoundaryGuard.h"
#include "../platform/ScopedValue.h"
#include "AudioPins.h"
#include "ReleaseReference.h"

#include <algorithm>
#include <functional>

namespace {

bool isPinEvent(int32_t kind) {
    return kind >= EventValueChanged && kind <= EventPinMessage;
}

bool isGroupEvent(int32_t kind) {
    return kind >= EventValueChanged && kind <= EventStreamOff;
}

// Installs a module's routine: it becomes the active one too unless the sleep
// gate is active.
template <class Routine>
void installModuleRoutine(Routine& active, Routine& module, Routine routine) {
    const bool gateInactive = active == module;
    module = routine;
    if (gateInactive)
        active = routine;
}

} // namespace

int32_t MpPluginBase::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>() || iid == iidOf<gmpi::IMpPlugin>())
        *out = static_cast<gmpi::IMpPlugin*>(this);
    else if (iid == iidOf<gmpi::IMpPlugin2>())
        *out = static_cast<gmpi::IMpPlugin2*>(this);
    else if (iid == iidOf<gmpi::IMpLegacyInitialization>())
        *out = static_cast<gmpi::IMpLegacyInitialization*>(this);
    else
        return ResultUnsupported;
    addRef();
    return ResultSuccess;
}

int32_t MpPluginBase::release() {
    return releaseReference(this, refCount);
}

MpPluginBase::~MpPluginBase() = default;

int32_t MpPluginBase::attachHost(gmpi::IMpUnknown* host) {
    return guardedCall(ResultFailure, [&]() -> int32_t {
        audioHostExtension.reset();
        audioHost.reset();
        if (!host)
            return ResultFailure;
        host->queryInterface(iidOf<IAudioHostExtension>(), audioHostExtension.putVoid());
        return host->queryInterface(iidOf<IAudioHost>(), audioHost.putVoid());
    });
}

int32_t MpPluginBase::attachBuffer(int32_t pinId, float* buffer) {
    MpPinBase* pin = findPin(pinId);
    if (!pin)
        return ResultFailure;
    pin->storeBuffer(buffer);
    return ResultSuccess;
}

void MpPluginBase::runBlock(int32_t frames, const void* events) {
    runBlock(frames, static_cast<const TimedEvent*>(events));
}

int32_t MpPluginBase::acceptMessage(int32_t id, int32_t size, const void* data) {
    if (inMessage)
        return 0;
    return guardedCall(ResultFailure, [&] {
        const ClearingFlagScope guard(inMessage);
        return acceptMessage(id, size, const_cast<void*>(data));
    });
}

int32_t MpPluginBase::acceptMessage(int32_t id, int32_t size, void* data) {
    if (inMessage)
        return 0;
    return guardedCall(ResultFailure, [&] {
        const ClearingFlagScope guard(inMessage);
        return acceptMessage(id, size, static_cast<const void*>(data));
    });
}

void MpPluginBase::onMidiData(int32_t pinId, const uint8_t* bytes, int32_t size) {
    onMidiDataLegacy(pinId, bytes, size);
}

void MpPluginBase::onRunStart() {
    for (const auto& [id, pin] : pins)
        if (pin->flowDirection() == FlowOut)
            pin->publishInitialState();
}

void MpPluginBase::routeMidiEvent(const TimedEvent* event) {
    const EventBytes data = eventBytes(*event);
    onMidiData(event->pinId, data.bytes, data.size);
}

void MpPluginBase::registerPin(int32_t pinId, MpPinBase& pin, PinHandler handler) {
    pin.bind(pinId, *this, handler);
    pins.emplace(pinId, &pin);
}

void MpPluginBase::refreshSleepCountdown() {
    if (audioHost)
        audioHost->fetchFramesBeforeSleep(&framesBeforeSleep);
}

MpPinBase* MpPluginBase::findPin(int32_t pinId) const {
    const auto it = pins.find(pinId);
    return it == pins.end() ? nullptr : it->second;
}

int32_t MpPluginBase::eventFrame(const TimedEvent* event, int32_t frames) {
    return std::min(event->frameOffset, frames);
}

const TimedEvent* MpPluginBase::handleEventGroup(const TimedEvent* first, int32_t frames) {
    const TimedEvent* end = first->next;
    while (end && eventFrame(end, frames) == stretchStart)
        end = end->next;

    bool valueOrStream = false;
    for (const TimedEvent* e = first; e != end; e = e->next) {
        if (!isPinEvent(e->kind))
            continue;
        valueOrStream = valueOrStream || isGroupEvent(e->kind);
        if (MpPinBase* pin = findPin(e->pinId))
            pin->absorbEvent(e);
    }
    for (const TimedEvent* e = first; e != end; e = e->next) {
        if (e->kind == EventRunStart) {
            onRunStart();
        } else if (isPinEvent(e->kind)) {
            if (MpPinBase* pin = findPin(e->pinId))
                pin->dispatchEvent(e);
        }
    }
    if (valueOrStream)
        onPinEventGroup();
    for (const TimedEvent* e = first; e != end; e = e->next) {
        if (!isPinEvent(e->kind))
            continue;
        if (MpPinBase* pin = findPin(e->pinId))
            pin->finishEvent(e);
    }
    return end;
}

template <class RunStretch>
void MpPluginBase::splitBlock(int32_t frames, const TimedEvent* events, RunStretch runStretch) {
    frames = std::max(frames, 0);
    stretchStart = 0;
    atBlockTail = true;
    int32_t remaining = frames;
    for (const TimedEvent* e = events; e;) {
        const int32_t gap = eventFrame(e, frames) - stretchStart;
        if (gap > 0) {
            {
                // Back at the tail after the stretch, also when its routine throws.
                const RestoringScope beforeAnEvent(atBlockTail, false);
                runStretch(gap);
            }
            remaining -= gap;
            if (remaining == 0)
                return;
            stretchStart += gap;
        }
        e = handleEventGroup(e, frames);
    }
    runStretch(remaining);
}

bool MpPluginBase::sleepAtBlockTail() {
    if (!atBlockTail || framesBeforeSleep > 0 || !gateDue())
        return false;
    if (audioHost)
        audioHost->askToSleep();
    return true;
}

template <class ComputePiece, class HandOver>
void MpPluginBase::runSleepGate(int32_t frames, ComputePiece computePiece, HandOver handOver) {
    int32_t n = frames;
    for (;;) {
        if (!gateDue()) {
            handOver();
            if (n > 0)
                computePiece(n);
            return;
        }
        if (sleepAtBlockTail())
            return;
        // A stretch that ends at an event is computed whole: the gate never
        // sleeps in the middle of a block.
        if (framesBeforeSleep <= 0)
            framesBeforeSleep = n;
        if (n == 0)
            return;
        const int32_t k = std::min(n, framesBeforeSleep);
        framesBeforeSleep -= k;
        n -= k;
        computePiece(k);
    }
}

bool MpPluginBase::countStream(bool streaming) {
    activeStreams += streaming ? 1 : -1;
    return activeStreams == 0 || sleepPolicy == SleepPermitted;
}

bool MpPluginBase::permitSleep(bool allowed) {
    sleepPolicy = allowed ? SleepPermitted : SleepNever;
    return allowed;
}

// MpBase2

// An exception from a routine or a pin ends the block where it arose; the
// stretch's scope in splitBlock has put atBlockTail back to true.
void MpBase2::runBlock(int32_t frames, const TimedEvent* events) {
    guardedCall([&] {
        // A sleeping module's block: without events the block is one stretch
        // at its tail, and the gate, active and due with nothing left to
        // compute, asks to sleep. Done here, the routine's call is saved.
        const bool sleeping =
            !events && activeRoutine == &MpBase2::sleepGate && framesBeforeSleep <= 0 && gateDue();
        // Laid out as the branch: an awake block's work dwarfs a jump.
        if (!sleeping) [[unlikely]] {
            runStretches(frames, events);
            return;
        }
        stretchStart = 0;
        atBlockTail = true;
        if (audioHost)
            audioHost->askToSleep();
    });
}

void MpBase2::runStretches(int32_t frames, const TimedEvent* events) {
    splitBlock(frames, events, [this](int32_t n) { std::invoke(activeRoutine, this, n); });
}

void MpBase2::onPinStreamingChanged(bool streaming) {
    activeRoutine = countStream(streaming) ? &MpBase2::sleepGate : moduleRoutine;
}

void MpBase2::selectRoutine(BlockRoutine routine) {
    installModuleRoutine(activeRoutine, moduleRoutine, routine ? routine : &MpBase2::idleRoutine);
}

void MpBase2::allowSleep(bool allowed) {
    if (permitSleep(allowed))
        activeRoutine = &MpBase2::sleepGate;
}

// The routine addresses each piece from stretchStart, which the gate advances
// piece by piece and gives back on every way out.
void MpBase2::sleepGate(int32_t frames) {
    if (sleepAtBlockTail())
        return;
    const RestoringScope stretchStartOnEntry(stretchStart);
    runSleepGate(
        frames,
        [this](int32_t k) {
            std::invoke(moduleRoutine, this, k);
            stretchStart += k;
        },
        [this] { activeRoutine = moduleRoutine; });
}

// MpBase: the routine receives the stretch's first frame as bufferOffset,
// which during a stretch equals stretchStart. Exceptions end the block as in
// MpBase2.

void MpBase::runBlock(int32_t frames, const TimedEvent* events) {
    guardedCall([&] {
        splitBlock(frames, events,
                   [this](int32_t n) { std::invoke(activeRoutine, this, stretchStart, n); });
    });
}

void MpBase::onPinStreamingChanged(bool streaming) {
    activeRoutine = countStream(streaming) ? &MpBase::sleepGate : moduleRoutine;
}

void MpBase::selectRoutine(BlockRoutine routine) {
    installModuleRoutine(activeRoutine, moduleRoutine, routine ? routine : &MpBase::idleRoutine);
}

void MpBase::allowSleep(bool allowed) {
    if (permitSleep(allowed))
        activeRoutine = &MpBase::sleepGate;
}

// The gate advances the offset it passes, not stretchStart.
void MpBase::sleepGate(int32_t bufferOffset, int32_t frames) {
    if (sleepAtBlockTail())
        return;
    runSleepGate(
        frames,
        [&](int32_t k) {
            std::invoke(moduleRoutine, this, bufferOffset, k);
            bufferOffset += k;
        },
        [this] { activeRoutine = moduleRoutine; });
}
