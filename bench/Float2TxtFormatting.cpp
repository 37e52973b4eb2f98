// KZ_Float2TxtC formatting 100,000 floats through its pins (value in, text out
// to the host), next to the baseline of std::to_chars writing the same values
// with the same precision. Target: under 3x the baseline.
#include "framework/MpFactory.h"
#include "framework/MpGuiBase2.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int32_t valuePin = 0, minimumPin = 1, maximumPin = 2, decimalsPin = 3;
constexpr int32_t decimals = 3; // four significant digits

// Floats of many magnitudes and both signs, none repeated back to back.
std::vector<float> sampleValues() {
    std::vector<float> values;
    values.reserve(100'000);
    uint32_t state = 12345;
    for (int i = 0; i < 100'000; ++i) {
        state = state * 1664525u + 1013904223u;
        const float mantissa = float(state >> 8) / 16777216.0f;
        const int exponent = int(state % 13) - 4;
        float value = mantissa;
        for (int e = 0; e < exponent; ++e)
            value *= 10.0f;
        for (int e = 0; e > exponent; --e)
            value /= 10.0f;
        values.push_back((state & 1) ? -value : value);
    }
    return values;
}

const std::vector<float>& values() {
    static const std::vector<float> made = sampleValues();
    return made;
}

// A host that only counts what it receives.
class CountingHost final : public IGuiHost {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid == iidOf<gmpi::IMpUnknown>() || iid == iidOf<IGuiHost>()) {
            *out = static_cast<IGuiHost*>(this);
            return ResultSuccess;
        }
        return ResultUnsupported;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t acceptPinValue(int32_t, int32_t size, const void*, int32_t) override {
        bytes += size;
        return ResultSuccess;
    }
    int32_t lookUpResource(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }
    int32_t openUriStream(const char*, IUriStream**) override { return ResultFailure; }
    int32_t enrolResourceName(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }

    int64_t bytes = 0;
};

void ThroughThePins(benchmark::State& state) {
    CountingHost host;
    void* made = nullptr;
    factoryInstance().makeModule(u"KZ_Float2TxtC", Gui2Part, &host, &made);
    auto* module = static_cast<gmpi::IMpUserInterface2B*>(static_cast<gmpi::IMpUnknown*>(made));
    module->attachHost(&host);
    const float minimum = -1e30f, maximum = 1e30f;
    module->receivePinValue(minimumPin, 0, 4, &minimum);
    module->receivePinValue(maximumPin, 0, 4, &maximum);
    module->receivePinValue(decimalsPin, 0, 4, &decimals);
    for (auto _ : state) {
        for (const float value : values()) {
            module->receivePinValue(valuePin, 0, 4, &value);
            module->onPinChanged(valuePin, 0);
        }
    }
    benchmark::DoNotOptimize(host.bytes);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(values().size()));
    module->release();
}

void StdToChars(benchmark::State& state) {
    char buffer[64];
    int64_t written = 0;
    for (auto _ : state) {
        for (const float value : values()) {
            const auto out = std::to_chars(buffer, buffer + sizeof buffer, double(value),
                                           std::chars_format::general, decimals + 1);
            written += out.ptr - buffer;
            benchmark::DoNotOptimize(buffer);
        }
    }
    benchmark::DoNotOptimize(written);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(values().size()));
}

BENCHMARK(ThroughThePins)->Name("KZ_Float2TxtC/100000");
BENCHMARK(StdToChars)->Name("baseline std::to_chars/100000");

// Prints the usual table, then the ratio of the module against the baseline.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto module = times.find("KZ_Float2TxtC/100000");
        const auto baseline = times.find("baseline std::to_chars/100000");
        if (module == times.end() || baseline == times.end() || baseline->second <= 0)
            return;
        char line[96];
        std::snprintf(line, sizeof line,
                      "KZ_Float2TxtC / std::to_chars = %.2fx (target under 3x)\n",
                      module->second / baseline->second);
        GetOutputStream() << line << std::flush;
    }

private:
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
