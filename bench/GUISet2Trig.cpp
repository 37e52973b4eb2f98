// The audio part of GUISet2Trig, loaded through MP_GetFactory, running blocks
// of 4,096 frames: one pulse, then idle until it sleeps. Measured next to the
// least work of each, in the same run, with a host that only counts:
//   "memset": filling the same 4,096-sample buffer with memset; a block that
//     pulses, and an idle block still awake at rest, should stay under 2x;
//   "sleep only": a runBlock whose body only asks the host to sleep; a
//     sleeping block should stay under 2x.
#include "host/AudioHost.h"
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

constexpr int32_t blockFrames = 4096;
constexpr int32_t pinTrigger = 0, pinLength = 2, pinOut = 4;

// The "sleep only" baseline: a block that does nothing but ask the host to sleep.
class SleepOnly final : public gmpi::IMpPlugin2 {
public:
    explicit SleepOnly(IAudioHost* host) : host(host) {}
    int32_t queryInterface(const InterfaceId&, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t attachHost(gmpi::IMpUnknown*) override { return ResultSuccess; }
    int32_t prepare() override { return ResultSuccess; }
    int32_t attachBuffer(int32_t, float*) override { return ResultSuccess; }
    // Never inlined into the loop, as the module's runBlock cannot be.
    [[gnu::noinline]] void runBlock(int32_t, const TimedEvent*) override { host->askToSleep(); }
    int32_t acceptMessage(int32_t, int32_t, void*) override { return 0; }

private:
    IAudioHost* host;
};

// The audio part with its output buffer, started (the stream announced and ended).
class Pulser {
public:
    Pulser(gmpi::IMpFactory2* factory, bench::CountingHost& host) : samples(blockFrames) {
        void* out = nullptr;
        if (factory->makeModule(u"GUISet2Trig", AudioPart, host.object(), &out) != ResultSuccess ||
            !out)
            throw std::runtime_error("GUISet2Trig not made");
        plugin = gmpi_sdk::ComPtr<gmpi::IMpPlugin2>(static_cast<gmpi::IMpPlugin2*>(out));
        plugin->attachBuffer(pinOut, samples.data());
        testhost::EventList start;
        start.runStart(0).value(0, pinLength, blockFrames);
        plugin->runBlock(blockFrames, start.head());
    }
    void run(const TimedEvent* events) {
        plugin->runBlock(blockFrames, events);
        benchmark::DoNotOptimize(samples.data());
        benchmark::ClobberMemory();
    }

    std::vector<float> samples;
    gmpi_sdk::ComPtr<gmpi::IMpPlugin2> plugin;
};

void memsetBaseline(benchmark::State& state) {
    std::vector<float> samples(blockFrames);
    for (auto _ : state) {
        std::memset(samples.data(), 0, samples.size() * sizeof(float));
        benchmark::DoNotOptimize(samples.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * blockFrames * int64_t(sizeof(float)));
}

// Every block restarts a pulse as long as the block: 4,096 samples at 1.0.
void pulseBlock(benchmark::State& state, gmpi::IMpFactory2* factory) {
    bench::CountingHost host;
    Pulser pulser(factory, host);
    testhost::EventList trigger;
    trigger.value(0, pinTrigger, true);
    const TimedEvent* events = trigger.head();
    for (auto _ : state)
        pulser.run(events);
    if (pulser.samples[blockFrames - 1] != 1.0f)
        state.SkipWithError("the block did not pulse");
    state.SetBytesProcessed(state.iterations() * blockFrames * int64_t(sizeof(float)));
}

// After the pulse, the gate computes the rest level until the countdown ends;
// the countdown is given anew (untimed) long before it runs out.
void idleBlock(benchmark::State& state, gmpi::IMpFactory2* factory) {
    bench::CountingHost host;
    host.framesBeforeSleep = INT32_MAX;
    Pulser pulser(factory, host);
    testhost::EventList trigger;
    trigger.value(0, pinLength, 1).value(0, pinTrigger, true);
    const TimedEvent* rearm = trigger.head();
    const int64_t blocksPerCountdown = INT32_MAX / blockFrames / 2;
    int64_t blocks = 0;
    for (auto _ : state) {
        if (++blocks == blocksPerCountdown) {
            state.PauseTiming();
            pulser.run(rearm); // a 1-frame pulse, ended in the same block
            blocks = 0;
            state.ResumeTiming();
        }
        pulser.run(nullptr);
    }
    if (host.sleeps != 0 || pulser.samples[blockFrames - 1] != 0.0f)
        state.SkipWithError("the module did not stay awake at rest");
    state.SetBytesProcessed(state.iterations() * blockFrames * int64_t(sizeof(float)));
}

void sleepOnlyBaseline(benchmark::State& state) {
    bench::CountingHost host;
    SleepOnly module(&host);
    gmpi::IMpPlugin2* const plugin = bench::opaque<gmpi::IMpPlugin2>(&module);
    for (auto _ : state) {
        plugin->runBlock(blockFrames, nullptr);
        benchmark::ClobberMemory();
    }
}

// Countdown 0: every block after the start asks to sleep and computes nothing.
void sleepingBlock(benchmark::State& state, gmpi::IMpFactory2* factory) {
    bench::CountingHost host;
    Pulser pulser(factory, host);
    gmpi::IMpPlugin2* const plugin = bench::opaque(pulser.plugin.get());
    const int64_t sleepsBefore = host.sleeps;
    for (auto _ : state) {
        plugin->runBlock(blockFrames, nullptr);
        benchmark::ClobberMemory();
    }
    if (host.sleeps - sleepsBefore != int64_t(state.iterations()))
        state.SkipWithError("a block did not ask to sleep");
}

} // namespace

int main(int argc, char** argv) {
    try {
        gmpi::IMpFactory2* factory = bench::library().factory();
        benchmark::RegisterBenchmark("memset", memsetBaseline);
        benchmark::RegisterBenchmark("pulse", pulseBlock, factory);
        benchmark::RegisterBenchmark("idle", idleBlock, factory);
        benchmark::RegisterBenchmark("sleep only", sleepOnlyBaseline);
        benchmark::RegisterBenchmark("sleeping", sleepingBlock, factory);
        return bench::runWithRatios(
            argc, argv,
            {{"pulse", "memset", 2.0}, {"idle", "memset", 2.0}, {"sleeping", "sleep only", 2.0}});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_GUISet2Trig: %s\n", e.what());
        return 1;
    }
}
