#include "MpPluginBase.h"

#include "AudioPins.h"
#include "BoundaryGuard.h"
#include "ScopedValue.h"

#include <algorithm>
#include <functional>

namespace {

bool isPinEvent(int32_t kind) {
    return kind >= EventValueChanged && kind <= EventPinMessage;
}

bool isGroupEvent(int32_t kind) {
    return kind >= EventValueChanged && kind <= EventStreamOff;
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
    const int32_t count = --refCount;
    if (count == 0)
        delete this;
    return count;
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

// MpBase2

void MpBase2::runBlock(int32_t frames, const TimedEvent* events) {
    guardedCallRecovering(
        [&] {
            frames = std::max(frames, 0);
            stretchStart = 0;
            atBlockTail = true;
            int32_t remaining = frames;
            for (const TimedEvent* e = events; e;) {
                const int32_t gap = eventFrame(e, frames) - stretchStart;
                if (gap > 0) {
                    atBlockTail = false;
                    std::invoke(activeRoutine, this, gap);
                    atBlockTail = true;
                    remaining -= gap;
                    if (remaining == 0)
                        return;
                    stretchStart += gap;
                }
                e = handleEventGroup(e, frames);
            }
            std::invoke(activeRoutine, this, remaining);
        },
        // An exception ends the block where it arose; the next starts at its tail.
        [&] { atBlockTail = true; });
}

void MpBase2::onPinStreamingChanged(bool streaming) {
    activeStreams += streaming ? 1 : -1;
    if (activeStreams != 0 && sleepPolicy != SleepPermitted)
        activeRoutine = moduleRoutine;
    else
        activeRoutine = &MpBase2::sleepGate;
}

void MpBase2::selectRoutine(BlockRoutine routine) {
    if (!routine)
        routine = &MpBase2::idleRoutine;
    const bool gateInactive = activeRoutine == moduleRoutine;
    moduleRoutine = routine;
    if (gateInactive)
        activeRoutine = routine;
}

void MpBase2::allowSleep(bool allowed) {
    if (allowed) {
        activeRoutine = &MpBase2::sleepGate;
        sleepPolicy = SleepPermitted;
    } else {
        sleepPolicy = SleepNever;
    }
}

void MpBase2::sleepGate(int32_t frames) {
    // A sleeping module's block: due, nothing left to compute, at the block's end.
    if (atBlockTail && framesBeforeSleep <= 0 && gateDue()) {
        if (IAudioHost* host = getAudioHost())
            host->askToSleep();
        return;
    }
    runGate(frames);
}

void MpBase2::runGate(int32_t frames) {
    const int32_t entryStart = stretchStart;
    int32_t n = frames;
    for (;;) {
        if (!gateDue()) {
            activeRoutine = moduleRoutine;
            if (n > 0)
                (this->*moduleRoutine)(n);
            break;
        }
        if (framesBeforeSleep <= 0) {
            if (atBlockTail) {
                if (IAudioHost* host = getAudioHost())
                    host->askToSleep();
                break;
            }
            // A stretch that ends at an event is computed whole: the gate
            // never sleeps in the middle of a block.
            framesBeforeSleep = n;
        }
        if (n == 0)
            break;
        const int32_t k = std::min(n, framesBeforeSleep);
        framesBeforeSleep -= k;
        n -= k;
        (this->*moduleRoutine)(k);
        stretchStart += k;
    }
    stretchStart = entryStart;
}

// MpBase

void MpBase::runBlock(int32_t frames, const TimedEvent* events) {
    guardedCallRecovering(
        [&] {
            frames = std::max(frames, 0);
            stretchStart = 0;
            atBlockTail = true;
            int32_t bufferOffset = 0;
            int32_t remaining = frames;
            for (const TimedEvent* e = events; e;) {
                const int32_t gap = eventFrame(e, frames) - bufferOffset;
                if (gap > 0) {
                    atBlockTail = false;
                    std::invoke(activeRoutine, this, bufferOffset, gap);
                    atBlockTail = true;
                    remaining -= gap;
                    if (remaining == 0)
                        return;
                    bufferOffset += gap;
                }
                stretchStart = bufferOffset;
                e = handleEventGroup(e, frames);
            }
            std::invoke(activeRoutine, this, bufferOffset, remaining);
        },
        // An exception ends the block where it arose; the next starts at its tail.
        [&] { atBlockTail = true; });
}

void MpBase::onPinStreamingChanged(bool streaming) {
    activeStreams += streaming ? 1 : -1;
    if (activeStreams != 0 && sleepPolicy != SleepPermitted)
        activeRoutine = moduleRoutine;
    else
        activeRoutine = &MpBase::sleepGate;
}

void MpBase::selectRoutine(BlockRoutine routine) {
    if (!routine)
        routine = &MpBase::idleRoutine;
    const bool gateInactive = activeRoutine == moduleRoutine;
    moduleRoutine = routine;
    if (gateInactive)
        activeRoutine = routine;
}

void MpBase::allowSleep(bool allowed) {
    if (allowed) {
        activeRoutine = &MpBase::sleepGate;
        sleepPolicy = SleepPermitted;
    } else {
        sleepPolicy = SleepNever;
    }
}

void MpBase::sleepGate(int32_t bufferOffset, int32_t frames) {
    int32_t n = frames;
    for (;;) {
        const bool due =
            (sleepPolicy == SleepWhenQuiet && activeStreams == 0) || sleepPolicy == SleepPermitted;
        if (!due) {
            activeRoutine = moduleRoutine;
            if (n > 0)
                (this->*moduleRoutine)(bufferOffset, n);
            break;
        }
        if (framesBeforeSleep <= 0) {
            if (atBlockTail) {
                if (IAudioHost* host = getAudioHost())
                    host->askToSleep();
                break;
            }
            framesBeforeSleep = n;
        }
        if (n == 0)
            break;
        const int32_t k = std::min(n, framesBeforeSleep);
        framesBeforeSleep -= k;
        n -= k;
        (this->*moduleRoutine)(bufferOffset, k);
        bufferOffset += k;
    }
}
