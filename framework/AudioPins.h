// Audio-side pins: members of an audio module, registered in its pin map, fed
// by the events of each block and talking back to the host through the
// module's IAudioHost.
#pragma once

#include "MpPluginBase.h"

#include <cstring>
#include <type_traits>

// The data bytes of an event: its pointed-to data, else its inline bytes (never
// more than the record's 8). A negative count counts as 0.
struct EventBytes {
    const uint8_t* bytes;
    int32_t size;
};
EventBytes eventBytes(const TimedEvent& event);

class MpPinBase {
public:
    MpPinBase() = default;
    MpPinBase(const MpPinBase&) = delete;
    MpPinBase& operator=(const MpPinBase&) = delete;

    virtual ~MpPinBase() = default;
    virtual void storeBuffer(float* buffer) = 0;
    // The three passes of a block over the events of one group.
    virtual void absorbEvent(const TimedEvent* event) {}
    virtual void dispatchEvent(const TimedEvent* event);
    virtual void finishEvent(const TimedEvent* event) {}
    virtual int32_t typeCode() const = 0;
    virtual int32_t flowDirection() const = 0;
    // The handler an input registered without one receives; null: none.
    virtual PinHandler fallbackHandler() const = 0;
    virtual void publishInitialState() = 0;

    int32_t getId() const { return pinId; }
    MpPluginBase* getPlugin() const { return plugin; }
    PinHandler getHandler() const { return handler; }

    // Sends bytes to the host, stamped with framePosition (-1: the module's stretchStart).
    void transmitBytes(int32_t size, const void* bytes, int32_t framePosition);

protected:
    int32_t resolveFrame(int32_t framePosition) const;
    IAudioHost* audioHost() const { return plugin ? plugin->getAudioHost() : nullptr; }
    void reportStreaming(bool streaming);
    // The module's countdown of frames before its sleep gate asks to sleep.
    int32_t* framesBeforeSleep() const { return plugin ? &plugin->framesBeforeSleep : nullptr; }

private:
    friend class MpPluginBase;
    void bind(int32_t id, MpPluginBase& owner, PinHandler boundHandler);

    int32_t pinId = -1;
    MpPluginBase* plugin = nullptr;
    PinHandler handler = nullptr;
};

class MpAudioPinBase : public MpPinBase {
public:
    void storeBuffer(float* newBuffer) override { buffer = newBuffer; }
    int32_t typeCode() const override { return KindAudio; }
    PinHandler fallbackHandler() const override { return nullptr; }
    virtual void extraAudioHook() {} // nothing calls it

    float* getBuffer() const { return buffer; }
    bool isStreaming() const { return streaming; }
    bool isChanged() const { return changed; }
    // The sample at index (negative: at stretchStart); 0 without a buffer.
    // No module of this library calls it.
    float sampleAt(int32_t index) const;

protected:
    float* buffer = nullptr;
    bool streaming = false;
    bool changed = false;
};

// No module of this library uses this class.
class AudioInPin : public MpAudioPinBase {
public:
    // Stream on and off; a pin that does not stream keeps the module awake for a frame.
    void absorbEvent(const TimedEvent* event) override;
    void finishEvent(const TimedEvent* event) override;
    int32_t flowDirection() const override { return FlowIn; }
    void publishInitialState() override {}
};

class AudioOutPin : public MpAudioPinBase {
public:
    int32_t flowDirection() const override { return FlowOut; }
    void publishInitialState() override { markStreaming(true, -1); }

    // Records and announces the streaming state (framePosition -1: stretchStart);
    // a pin that stops streaming first fetches the module's sleep countdown.
    void markStreaming(bool isStreaming, int32_t framePosition);
};

// No module of this library uses this class.
class MidiInPin : public MpPinBase {
public:
    void storeBuffer(float*) override {}
    int32_t typeCode() const override { return KindMidi; }
    int32_t flowDirection() const override { return FlowIn; }
    PinHandler fallbackHandler() const override { return &MpPluginBase::routeMidiEvent; }
    void publishInitialState() override {}
};

// No module of this library uses this class.
class MidiOutPin : public MidiInPin {
public:
    int32_t flowDirection() const override { return FlowOut; }
    PinHandler fallbackHandler() const override { return nullptr; }
    // Sends MIDI bytes to the host (framePosition -1: stretchStart).
    virtual void sendMidi(const void* bytes, int32_t size, int32_t framePosition);
};

// A bool or 32-bit integer control value that arrives in EventValueChanged events.
template <class T, int32_t typeCodeValue> class MpControlPinBase : public MpPinBase {
    static_assert(std::is_same_v<T, bool> || std::is_same_v<T, int32_t>);

public:
    void storeBuffer(float*) override {}
    void absorbEvent(const TimedEvent* event) override {
        if (event->kind != EventValueChanged)
            return;
        const EventBytes data = eventBytes(*event);
        loadValueBytes(data.size, data.bytes);
        changed = true;
    }
    void finishEvent(const TimedEvent* event) override {
        if (event->kind == EventValueChanged)
            changed = false;
    }
    int32_t typeCode() const override { return typeCodeValue; }
    PinHandler fallbackHandler() const override { return nullptr; }
    void publishInitialState() override { transmitBytes(valueByteCount(), valueAddress(), -1); }

    // bool: 4 bytes are an int32 tested against 0, other sizes the first byte,
    // no bytes keep the value. int: at most 4 bytes over the low-order bytes.
    virtual void loadValueBytes(int32_t size, const void* bytes) {
        if (size <= 0 || !bytes)
            return;
        if constexpr (std::is_same_v<T, bool>) {
            if (size == 4) {
                int32_t word;
                std::memcpy(&word, bytes, 4);
                value = word != 0;
            } else {
                value = *static_cast<const uint8_t*>(bytes) != 0;
            }
        } else {
            std::memcpy(&value, bytes, size_t(size < 4 ? size : 4));
        }
    }
    // The same as loadValueBytes; nothing calls it.
    virtual void loadValueBytesAlt(int32_t size, const void* bytes) { loadValueBytes(size, bytes); }
    virtual int32_t valueByteCount() const { return int32_t(sizeof(T)); }
    virtual const void* valueAddress() const { return &value; }

    const T& getValue() const { return value; }
    // True between the absorb and finish passes of a group that set this pin.
    bool isChanged() const { return changed; }

protected:
    T value{};
    bool changed = false;
};

template <class T, int32_t direction, int32_t typeCodeValue>
class MpControlPin : public MpControlPinBase<T, typeCodeValue> {
public:
    int32_t flowDirection() const override { return direction; }
};

using BoolInPin = MpControlPin<bool, FlowIn, KindBool>;
using IntInPin = MpControlPin<int32_t, FlowIn, KindInt>;

extern template class MpControlPinBase<bool, KindBool>;
extern template class MpControlPinBase<int32_t, KindInt>;
extern template class MpControlPin<bool, FlowIn, KindBool>;
extern template class MpControlPin<int32_t, FlowIn, KindInt>;
