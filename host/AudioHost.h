// The audio host of the tests and the reference host: one object answering
// IAudioHost and IAudioHostExtension (each can be switched off), counting
// references per interface and logging every call in one ordered list; an
// event-list builder for runBlock; and an audio part made through a factory.
#pragma once

#include "../framework/ComPtr.h"
#include "../framework/HostApi.h"
#include "../framework/ModuleApi.h"
#include "PinBytes.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace testhost {

enum class AudioInterface { Audio, Extension };

enum class AudioCallKind { DeliverPinBytes, AnnounceStreaming, AskToSleep, FetchFramesBeforeSleep };

struct AudioCall {
    AudioCallKind kind;
    int32_t framePosition = 0; // deliverPinBytes, announceStreaming
    int32_t pinId = 0;         // deliverPinBytes, announceStreaming
    Bytes bytes;               // deliverPinBytes
    bool streaming = false;    // announceStreaming
    int32_t frames = 0;        // fetchFramesBeforeSleep: the value written

    static AudioCall deliver(int32_t frame, int32_t pin, Bytes bytes) {
        return {AudioCallKind::DeliverPinBytes, frame, pin, std::move(bytes), false, 0};
    }
    static AudioCall announce(int32_t frame, int32_t pin, bool streaming) {
        return {AudioCallKind::AnnounceStreaming, frame, pin, {}, streaming, 0};
    }
    static AudioCall sleep() { return {AudioCallKind::AskToSleep, 0, 0, {}, false, 0}; }
    static AudioCall fetch(int32_t frames) {
        return {AudioCallKind::FetchFramesBeforeSleep, 0, 0, {}, false, frames};
    }

    friend bool operator==(const AudioCall&, const AudioCall&) = default;
    // One line, e.g. "announceStreaming(frame 30, pin 4, off)".
    std::string describe() const;
};

// How test frameworks print a call.
inline void PrintTo(const AudioCall& call, std::ostream* out) {
    *out << call.describe();
}

class AudioHost {
public:
    AudioHost();
    AudioHost(const AudioHost&) = delete;
    AudioHost& operator=(const AudioHost&) = delete;
    ~AudioHost();

    // The host object as modules receive it.
    gmpi::IMpUnknown* object();

    // An interface switched off is not answered by queryInterface.
    void offer(AudioInterface which, bool offered);
    int32_t references(AudioInterface which) const;
    // True when no module holds a reference any more; describes the rest otherwise.
    bool referencesBalanced(std::string* report = nullptr) const;

    // Every IAudioHost call in order.
    std::vector<AudioCall> calls;
    // What fetchFramesBeforeSleep writes.
    int32_t framesBeforeSleep = 0;
    // Runs after a call is logged; may call the module.
    std::function<void(const AudioCall&)> onCall;

private:
    class AudioPart;
    class ExtensionPart;
    struct Parts;

    int32_t answer(const InterfaceId& iid, void** out);
    void log(AudioCall call);

    std::unique_ptr<Parts> parts;
    bool offered[2] = {true, true};
};

// The event list of one block, in the order added (runBlock expects
// non-decreasing frames; the builder keeps whatever order it is given).
class EventList {
public:
    // Data of up to 8 bytes travels inline unless `pointed`; more always by pointer.
    EventList& add(int32_t frame, int32_t kind, int32_t pinId, const Bytes& data = {},
                   bool pointed = false);
    template <class T> EventList& value(int32_t frame, int32_t pinId, const T& v) {
        return add(frame, EventValueChanged, pinId, bytesOf(v));
    }
    EventList& runStart(int32_t frame) { return add(frame, EventRunStart, -1); }
    EventList& streamOn(int32_t frame, int32_t pinId) { return add(frame, EventStreamOn, pinId); }
    EventList& streamOff(int32_t frame, int32_t pinId) { return add(frame, EventStreamOff, pinId); }
    EventList& message(int32_t frame, int32_t pinId, const Bytes& data, bool pointed = false) {
        return add(frame, EventPinMessage, pinId, data, pointed);
    }
    // A record taken as given (its data pointer must outlive the list's use).
    EventList& raw(const TimedEvent& event);

    // The first record, the others linked behind it; null when empty.
    const TimedEvent* head();
    bool empty() const { return records.empty(); }
    void clear();

private:
    std::vector<TimedEvent> records;
    std::deque<Bytes> payloads;
};

// An audio part made with makeModule (which attaches the host) and the
// buffers the host attached to its pins.
class AudioModule {
public:
    AudioModule(gmpi::IMpFactory* factory, const std::u16string& moduleId, AudioHost& host);

    explicit operator bool() const { return bool(plugin); }
    gmpi::IMpPlugin2* operator->() const { return plugin.get(); }
    gmpi::IMpPlugin2* get() const { return plugin.get(); }

    int32_t makeResult = ResultFailure;

    // A buffer of `frames` samples, each `fill`, attached to the pin.
    std::vector<float>& attach(int32_t pinId, size_t frames, float fill = 0.0f);
    std::vector<float>& buffer(int32_t pinId) { return buffers.at(pinId); }
    void run(int32_t frames, EventList& events) { plugin->runBlock(frames, events.head()); }
    void run(int32_t frames) { plugin->runBlock(frames, nullptr); }

    void reset() { plugin.reset(); }

private:
    gmpi_sdk::ComPtr<gmpi::IMpPlugin2> plugin;
    std::map<int32_t, std::vector<float>> buffers;
};

} // namespace testhost
