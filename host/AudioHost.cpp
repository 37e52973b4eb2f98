#include "AudioHost.h"

#include "CountedPart.h"

#include <cstring>

namespace testhost {

std::string AudioCall::describe() const {
    switch (kind) {
    case AudioCallKind::DeliverPinBytes: {
        std::string text = "deliverPinBytes(frame " + std::to_string(framePosition) + ", pin " +
                           std::to_string(pinId) + ",";
        static const char digits[] = "0123456789abcdef";
        for (const uint8_t b : bytes) {
            text += ' ';
            text += digits[b >> 4];
            text += digits[b & 15];
        }
        return text + (bytes.empty() ? " no bytes)" : ")");
    }
    case AudioCallKind::AnnounceStreaming:
        return "announceStreaming(frame " + std::to_string(framePosition) + ", pin " +
               std::to_string(pinId) + (streaming ? ", on)" : ", off)");
    case AudioCallKind::AskToSleep:
        return "askToSleep()";
    case AudioCallKind::FetchFramesBeforeSleep:
        return "fetchFramesBeforeSleep() -> " + std::to_string(frames);
    }
    return "?";
}

class AudioHost::AudioPart final : public CountedPart<AudioHost, IAudioHost> {
public:
    using CountedPart::CountedPart;
    int32_t deliverPinBytes(int32_t framePosition, int32_t pinId, int32_t size,
                            const void* bytes) override {
        Bytes data;
        if (size > 0 && bytes) {
            const auto* b = static_cast<const uint8_t*>(bytes);
            data.assign(b, b + size);
        }
        host.log(AudioCall::deliver(framePosition, pinId, std::move(data)));
        return ResultSuccess;
    }
    int32_t announceStreaming(int32_t framePosition, int32_t pinId, bool streaming) override {
        host.log(AudioCall::announce(framePosition, pinId, streaming));
        return ResultSuccess;
    }
    int32_t askToSleep() override {
        host.log(AudioCall::sleep());
        return ResultSuccess;
    }
    int32_t fetchFramesBeforeSleep(int32_t* frames) override {
        if (frames)
            *frames = host.framesBeforeSleep;
        host.log(AudioCall::fetch(host.framesBeforeSleep));
        return frames ? ResultSuccess : ResultFailure;
    }
};

class AudioHost::ExtensionPart final : public CountedPart<AudioHost, IAudioHostExtension> {
public:
    using CountedPart::CountedPart;
};

struct AudioHost::Parts {
    explicit Parts(AudioHost& host)
        : audio(host, &AudioHost::answer), extension(host, &AudioHost::answer) {}
    AudioPart audio;
    ExtensionPart extension;
};

AudioHost::AudioHost() : parts(std::make_unique<Parts>(*this)) {}

AudioHost::~AudioHost() = default;

gmpi::IMpUnknown* AudioHost::object() {
    return &parts->audio;
}

void AudioHost::offer(AudioInterface which, bool isOffered) {
    offered[int(which)] = isOffered;
}

int32_t AudioHost::references(AudioInterface which) const {
    return which == AudioInterface::Audio ? parts->audio.refs : parts->extension.refs;
}

bool AudioHost::referencesBalanced(std::string* report) const {
    bool balanced = true;
    for (const auto& [which, name] :
         {std::pair(AudioInterface::Audio, "IAudioHost"),
          std::pair(AudioInterface::Extension, "IAudioHostExtension")}) {
        if (const int32_t refs = references(which); refs != 0) {
            balanced = false;
            if (report)
                *report += std::string(name) + " holds " + std::to_string(refs) + " reference(s); ";
        }
    }
    return balanced;
}

int32_t AudioHost::answer(const InterfaceId& iid, void** out) {
    return answerFrom(iid, out,
                      {{iidOf<gmpi::IMpUnknown>(), &parts->audio, true},
                       {iidOf<IAudioHost>(), &parts->audio, offered[int(AudioInterface::Audio)]},
                       {iidOf<IAudioHostExtension>(), &parts->extension,
                        offered[int(AudioInterface::Extension)]}});
}

void AudioHost::log(AudioCall call) {
    calls.push_back(call);
    // The hook gets its own copy: calls it causes grow the log under it.
    if (onCall)
        onCall(call);
}

// EventList

EventList& EventList::add(int32_t frame, int32_t kind, int32_t pinId, const Bytes& data,
                          bool pointed) {
    TimedEvent e{};
    e.frameOffset = frame;
    e.kind = kind;
    e.pinId = pinId;
    e.byteCount = int32_t(data.size());
    if (!pointed && data.size() <= sizeof e.inlineBytes) {
        if (!data.empty())
            std::memcpy(e.inlineBytes, data.data(), data.size());
    } else {
        e.dataPointer = payloads.emplace_back(data).data();
    }
    records.push_back(e);
    return *this;
}

EventList& EventList::raw(const TimedEvent& event) {
    records.push_back(event);
    return *this;
}

const TimedEvent* EventList::head() {
    if (records.empty())
        return nullptr;
    for (size_t i = 0; i + 1 < records.size(); ++i)
        records[i].next = &records[i + 1];
    records.back().next = nullptr;
    return records.data();
}

void EventList::clear() {
    records.clear();
    payloads.clear();
}

// AudioModule

AudioModule::AudioModule(gmpi::IMpFactory* factory, const std::u16string& moduleId,
                         AudioHost& host) {
    void* out = nullptr;
    makeResult = factory->makeModule(moduleId.c_str(), AudioPart, host.object(), &out);
    // The audio part is handed out as its IMpPlugin2 interface.
    plugin = gmpi_sdk::ComPtr<gmpi::IMpPlugin2>(static_cast<gmpi::IMpPlugin2*>(out));
}

std::vector<float>& AudioModule::attach(int32_t pinId, size_t frames, float fill) {
    std::vector<float>& samples = buffers[pinId];
    samples.assign(frames, fill);
    plugin->attachBuffer(pinId, samples.data());
    return samples;
}

} // namespace testhost
