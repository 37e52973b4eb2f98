#include "AudioPins.h"

#include <algorithm>

template class MpControlPinBase<bool, KindBool>;
template class MpControlPinBase<int32_t, KindInt>;
template class MpControlPin<bool, FlowIn, KindBool>;
template class MpControlPin<int32_t, FlowIn, KindInt>;

EventBytes eventBytes(const TimedEvent& event) {
    const int32_t size = std::max(event.byteCount, 0);
    if (event.dataPointer)
        return {static_cast<const uint8_t*>(event.dataPointer), size};
    return {event.inlineBytes, std::min(size, int32_t(sizeof event.inlineBytes))};
}

void MpPinBase::bind(int32_t id, MpPluginBase& owner, PinHandler boundHandler) {
    pinId = id;
    plugin = &owner;
    handler = boundHandler;
    if (!handler && flowDirection() == FlowIn)
        handler = fallbackHandler();
}

void MpPinBase::dispatchEvent(const TimedEvent* event) {
    if (handler && plugin)
        (plugin->*handler)(event);
}

int32_t MpPinBase::resolveFrame(int32_t framePosition) const {
    return framePosition == -1 && plugin ? plugin->getStretchStart() : framePosition;
}

void MpPinBase::transmitBytes(int32_t size, const void* bytes, int32_t framePosition) {
    if (IAudioHost* host = audioHost())
        host->deliverPinBytes(resolveFrame(framePosition), pinId, size, bytes);
}

void MpPinBase::reportStreaming(bool isStreaming) {
    if (plugin)
        plugin->onPinStreamingChanged(isStreaming);
}

float MpAudioPinBase::sampleAt(int32_t index) const {
    if (!buffer)
        return 0.0f;
    return buffer[index < 0 ? resolveFrame(-1) : index];
}

void AudioInPin::absorbEvent(const TimedEvent* event) {
    if (event->kind != EventStreamOn && event->kind != EventStreamOff)
        return;
    changed = true;
    const bool on = event->kind == EventStreamOn;
    if (on != streaming) {
        streaming = on;
        reportStreaming(on);
    }
    if (!streaming) {
        if (int32_t* countdown = framesBeforeSleep())
            *countdown = std::max(*countdown, 1);
    }
}

void AudioInPin::finishEvent(const TimedEvent* event) {
    if (event->kind == EventStreamOn || event->kind == EventStreamOff)
        changed = false;
}

void AudioOutPin::markStreaming(bool isStreaming, int32_t framePosition) {
    const int32_t frame = resolveFrame(framePosition);
    if (isStreaming != streaming) {
        streaming = isStreaming;
        reportStreaming(isStreaming);
    }
    IAudioHost* host = audioHost();
    if (!host)
        return;
    if (!streaming)
        host->fetchFramesBeforeSleep(framesBeforeSleep());
    host->announceStreaming(frame, getId(), streaming);
}

void MidiOutPin::sendMidi(const void* bytes, int32_t size, int32_t framePosition) {
    transmitBytes(size, bytes, framePosition);
}
