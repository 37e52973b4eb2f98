// Blocks of arbitrary events (frames out of order or beyond the block, any
// kind, pin and byte count, inline or pointed-to data) run through the audio
// part of GUISet2Trig over a buffer of exactly the block's length: nothing is
// read or written outside the given bytes and samples, every computed sample
// is a level, and every frame reported to the host lies within the block.
#include "framework/HostApi.h"
#include "framework/MpFactory.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr float sentinel = -7.0f;

class FuzzHost final : public IAudioHost {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid != iidOf<gmpi::IMpUnknown>() && iid != iidOf<IAudioHost>())
            return ResultUnsupported;
        *out = this;
        return ResultSuccess;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t deliverPinBytes(int32_t, int32_t, int32_t, const void*) override {
        std::abort(); // the module has no output that sends bytes
    }
    int32_t announceStreaming(int32_t framePosition, int32_t pinId, bool) override {
        if (pinId != 4 || framePosition < 0 || framePosition > frames)
            std::abort();
        return ResultSuccess;
    }
    int32_t askToSleep() override { return ResultSuccess; }
    int32_t fetchFramesBeforeSleep(int32_t* value) override {
        *value = countdown;
        return ResultSuccess;
    }

    int32_t frames = 0;
    int32_t countdown = 0;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool empty() const { return position >= size; }
    uint8_t byte() { return position < size ? data[position++] : 0; }
    int32_t number(int32_t low, int32_t high) {
        const uint32_t raw = uint32_t(byte()) | uint32_t(byte()) << 8;
        return low + int32_t(raw % uint32_t(high - low + 1));
    }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    FuzzHost host;
    host.countdown = in.number(-10, 5000);
    void* out = nullptr;
    if (factoryInstance().makeModule(u"GUISet2Trig", AudioPart, &host, &out) != ResultSuccess)
        std::abort();
    auto* plugin = static_cast<gmpi::IMpPlugin2*>(out);

    for (int block = 0; block < 16 && !in.empty(); ++block) {
        const int32_t frames = in.number(-8, 600);
        host.frames = frames > 0 ? frames : 0; // a negative count is a block of 0
        std::vector<float> samples(size_t(frames > 0 ? frames : 0), sentinel);
        plugin->attachBuffer(4, samples.empty() ? nullptr : samples.data());

        const int32_t count = in.number(0, 12);
        std::vector<TimedEvent> events(static_cast<size_t>(count));
        std::vector<std::vector<uint8_t>> payloads(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            TimedEvent& e = events[size_t(i)];
            e.frameOffset = in.number(-20, 640);
            e.kind = in.number(99, 105);
            e.pinId = in.number(-1, 6);
            e.byteCount = in.number(-4, 24);
            const bool pointed = in.byte() & 1;
            const size_t carried = size_t(e.byteCount > 0 ? e.byteCount : 0);
            std::vector<uint8_t>& bytes = payloads[size_t(i)];
            bytes.resize(pointed ? carried : sizeof e.inlineBytes);
            for (uint8_t& b : bytes)
                b = in.byte();
            if (pointed)
                e.dataPointer = bytes.empty() ? nullptr : bytes.data();
            else
                std::memcpy(e.inlineBytes, bytes.data(), sizeof e.inlineBytes);
            e.next = i + 1 < count ? &events[size_t(i) + 1] : nullptr;
        }
        plugin->runBlock(frames, events.empty() ? nullptr : events.data());
        for (const float s : samples)
            if (s != 0.0f && s != 1.0f && s != sentinel)
                std::abort();
    }
    plugin->release();
    return 0;
}
