// A splitter fanning one value out to 1,000 host-added pins, measured next to
// the baseline "direct": the same 1,000 acceptPinValue calls of the same bytes
// made by the caller itself. Prints the ratio splitter / direct; the target is
// under 1.5.
#include "framework/ComPtr.h"
#include "framework/HostApi.h"
#include "framework/ModuleApi.h"
#include "host/ModuleLibrary.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

namespace {

constexpr int32_t addedPins = 1000;

// A host that only takes the values in.
class SinkHost final : public IGuiHost {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid != iidOf<gmpi::IMpUnknown>() && iid != iidOf<IGuiHost>())
            return ResultUnsupported;
        *out = this;
        addRef();
        return ResultSuccess;
    }
    int32_t addRef() override { return ++refs; }
    int32_t release() override { return --refs; }
    // Never inlined into the baseline's loop: the splitter cannot inline it either.
    [[gnu::noinline]] int32_t acceptPinValue(int32_t pinId, int32_t size, const void* data,
                                             int32_t) override {
        checksum += pinId + size + *static_cast<const uint8_t*>(data);
        return ResultSuccess;
    }
    int32_t lookUpResource(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }
    int32_t openUriStream(const char*, IUriStream**) override { return ResultFailure; }
    int32_t enrolResourceName(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }

    int32_t refs = 0;
    int64_t checksum = 0;
};

SinkHost sink;

void direct(benchmark::State& state) {
    IGuiHost* host = &sink;
    benchmark::DoNotOptimize(host); // keep the calls virtual, as the splitter's are
    const int32_t value = 42;
    for (auto _ : state) {
        for (int32_t pin = 1; pin <= addedPins; ++pin)
            host->acceptPinValue(pin, 4, &value, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * addedPins);
}

void splitter(benchmark::State& state, gmpi::IMpFactory2* factory) {
    void* out = nullptr;
    if (factory->makeModuleWithoutHost(u"SplitterInt", Gui2Part, &out) != ResultSuccess || !out) {
        state.SkipWithError("SplitterInt not made");
        return;
    }
    gmpi_sdk::ComPtr<gmpi::IMpUserInterface2B> module(
        static_cast<gmpi::IMpUserInterface2B*>(static_cast<gmpi::IMpUnknown*>(out)));
    module->attachHost(&sink);
    const int32_t value = 42;
    // The host has delivered on its highest pin once, so all 1,000 are known.
    module->receivePinValue(addedPins, 0, 4, &value);
    for (auto _ : state) {
        module->receivePinValue(0, 0, 4, &value);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * addedPins);
}

// The console output, plus the real time per iteration of each benchmark.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    try {
        testhost::ModuleLibrary library(testhost::ModuleLibrary::defaultPath());
        benchmark::RegisterBenchmark("direct", direct);
        benchmark::RegisterBenchmark("splitter", splitter, library.factory());
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        const auto base = reporter.times.find("direct");
        const auto measured = reporter.times.find("splitter");
        if (base != reporter.times.end() && measured != reporter.times.end() && base->second > 0)
            std::printf("ratio splitter / direct (baseline): %.3f (target < 1.5)\n",
                        measured->second / base->second);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_SplitterFanOut: %s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
