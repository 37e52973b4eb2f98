// Many instances of every registration, made through MP_GetFactory of the
// loaded library as a host makes them: 10,000 instances are created and
// attached to one host that only counts, then released. For each
// registration it reports per instance the heap bytes the live instances hold
// and the allocations their creation made (the library's allocations are
// counted through the program's operator new), and the time of a
// create+attach and of a release. Targets: 10,000 live instances of a logic
// module hold under 10 MB of heap and are created and released in under
// 10 ms on a quiet machine; a widget holds under 4 KB of its own.
#include "support/CountingAllocator.h"
#include "support/CountingHost.h"
#include "support/Ratios.h"
#include "tests/RegistrationTable.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using gmpi_sdk::ComPtr;
using Clock = std::chrono::steady_clock;

constexpr int instanceCount = 10'000;
constexpr double logicHeapLimit = 10e6;   // bytes held by all the live instances
constexpr double logicTimeLimit = 10e6;   // nanoseconds to create and release them all
constexpr double widgetBytesLimit = 4096; // bytes held by each

const char* kindName(int32_t subType) {
    return subType == AudioPart ? "audio" : subType == GuiPart ? "gui" : "gui2";
}

std::string benchmarkName(const ExpectedRegistration& r) {
    return narrowToAscii(r.moduleId) + "/" + kindName(r.subType);
}

bool createAll(gmpi::IMpFactory2* factory, const ExpectedRegistration& r, bench::CountingHost& host,
               std::vector<ComPtr<gmpi::IMpUnknown>>& made) {
    for (ComPtr<gmpi::IMpUnknown>& instance : made) {
        instance = bench::makeAndAttach(factory, r.moduleId, r.subType, host.object());
        if (!instance)
            return false;
    }
    return true;
}

void releaseAll(std::vector<ComPtr<gmpi::IMpUnknown>>& made) {
    for (ComPtr<gmpi::IMpUnknown>& instance : made)
        instance.reset();
}

double nanosecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::nano>(to - from).count();
}

void manyInstances(benchmark::State& state, ExpectedRegistration r) {
    gmpi::IMpFactory2* factory = bench::library().factory();
    bench::CountingHost host;
    std::vector<ComPtr<gmpi::IMpUnknown>> made(instanceCount);

    // One instance first, neither timed nor counted: what the first instance
    // of a kind sets up for all of them (shared tables, caches) is no
    // instance's own.
    bool widget = false;
    {
        const auto first = bench::makeAndAttach(factory, r.moduleId, r.subType, host.object());
        if (!first) {
            state.SkipWithError("not made or not attached");
            return;
        }
        widget = bool(gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics>(first.get()));
    }

    // The heap that the live instances hold, in a round of its own.
    bench::startHeapCount();
    const bool allMade = createAll(factory, r, host, made);
    const bench::HeapCount held = bench::stopHeapCount();
    releaseAll(made);
    if (!allMade) {
        state.SkipWithError("not every instance was made");
        return;
    }

    double creating = 0, releasing = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        createAll(factory, r, host, made);
        const Clock::time_point created = Clock::now();
        releaseAll(made);
        const Clock::time_point released = Clock::now();
        state.SetIterationTime(nanosecondsBetween(start, released) / 1e9);
        creating += nanosecondsBetween(start, created);
        releasing += nanosecondsBetween(created, released);
    }
    if (host.references != 0) {
        state.SkipWithError("an instance kept a reference to the host");
        return;
    }
    const double instances = double(instanceCount);
    const double iterations = double(state.iterations());
    state.counters["bytes"] = double(held.bytesHeld()) / instances;
    state.counters["allocs"] = double(held.allocations) / instances;
    state.counters["create ns"] = creating / iterations / instances;
    state.counters["release ns"] = releasing / iterations / instances;
    state.counters["widget"] = widget ? 1 : 0;
}

// The worst of each measure with a target, and the registration it belongs to.
struct Worst {
    double value = -1;
    std::string name;

    void take(double candidate, const std::string& of) {
        if (candidate > value) {
            value = candidate;
            name = of;
        }
    }
};

// One line per registration, from the medians: its kind, heap bytes and
// allocations per instance, times per instance, and whether it meets its
// targets; then the targets and the worst of each measure next to them.
void printTable(const bench::RatioReporter& reporter) {
    std::printf("\n%-30s %-6s %9s %7s %10s %10s %9s  %s\n", "registration", "kind", "bytes",
                "allocs", "create ns", "release ns", "all ms", "per instance; all: 10,000");
    Worst logicBytes, logicTime, widgetBytes;
    for (const ExpectedRegistration& r : expectedRegistrations) {
        const std::string name = benchmarkName(r);
        const double total = reporter.nanoseconds(name);
        const auto bytes = reporter.counter(name, "bytes");
        const auto allocs = reporter.counter(name, "allocs");
        const auto creating = reporter.counter(name, "create ns");
        const auto releasing = reporter.counter(name, "release ns");
        const auto widget = reporter.counter(name, "widget");
        if (total < 0 || !bytes || !allocs || !creating || !releasing || !widget)
            continue;
        std::string verdict;
        if (*widget > 0) {
            widgetBytes.take(*bytes, name);
            if (*bytes >= widgetBytesLimit)
                verdict = "ABOVE TARGET (a widget's own heap under 4 KB)";
        } else {
            logicBytes.take(*bytes, name);
            logicTime.take(total, name);
            if (*bytes * instanceCount >= logicHeapLimit)
                verdict = "ABOVE TARGET (heap of 10,000 under 10 MB)";
            if (total >= logicTimeLimit)
                verdict += verdict.empty() ? "ABOVE TARGET (10,000 made and released in under "
                                             "10 ms)"
                                           : " (and time under 10 ms)";
        }
        if (verdict.empty())
            verdict = "meets its targets";
        std::printf("%-30s %-6s %9.0f %7.1f %10.0f %10.0f %9.2f  %s\n", name.c_str(),
                    *widget > 0 ? "widget" : "logic", *bytes, *allocs, *creating, *releasing,
                    total / 1e6, verdict.c_str());
    }
    const auto verdictOf = [](double value, double limit) {
        return value < limit ? "met" : "ABOVE TARGET";
    };
    if (logicBytes.value >= 0) {
        std::printf(
            "\nlogic module, 10,000 live: heap %.2f MB, worst %s (target under %.0f MB) %s\n",
            logicBytes.value * instanceCount / 1e6, logicBytes.name.c_str(), logicHeapLimit / 1e6,
            verdictOf(logicBytes.value * instanceCount, logicHeapLimit));
        std::printf("logic module, 10,000 made and released: %.2f ms, worst %s (target under %.0f "
                    "ms) %s\n",
                    logicTime.value / 1e6, logicTime.name.c_str(), logicTimeLimit / 1e6,
                    verdictOf(logicTime.value, logicTimeLimit));
    }
    if (widgetBytes.value >= 0)
        std::printf("widget, own heap each: %.0f bytes, worst %s (target under %.0f bytes) %s\n",
                    widgetBytes.value, widgetBytes.name.c_str(), widgetBytesLimit,
                    verdictOf(widgetBytes.value, widgetBytesLimit));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    for (const ExpectedRegistration& r : expectedRegistrations)
        benchmark::RegisterBenchmark(benchmarkName(r).c_str(), manyInstances, r)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printTable(reporter);
    return 0;
}
