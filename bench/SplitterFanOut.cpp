// SplitterInt, loaded through MP_GetFactory, fanning one value out to 1,000
// host-added pins, next to the baseline "direct": the same 1,000
// acceptPinValue calls of the same bytes made by the caller itself, to the
// same host, which only counts. Target: splitter / direct under 1.5.
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

namespace {

constexpr int32_t addedPins = 1000;

void direct(benchmark::State& state) {
    bench::CountingHost counting;
    // The calls stay virtual, as the splitter's are.
    IGuiHost* const host = bench::opaque<IGuiHost>(&counting);
    const int32_t value = 42;
    for (auto _ : state) {
        for (int32_t pin = 1; pin <= addedPins; ++pin)
            host->acceptPinValue(pin, 4, &value, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * addedPins);
}
BENCHMARK(direct);

void splitter(benchmark::State& state) {
    bench::CountingHost host;
    const auto module = bench::makeAttached(u"SplitterInt", &host);
    if (!module) {
        state.SkipWithError("SplitterInt not made");
        return;
    }
    const int32_t value = 42;
    // The host has delivered on its highest pin once, so all 1,000 are known.
    module->receivePinValue(addedPins, 0, 4, &value);
    const size_t sentBefore = host.values;
    for (auto _ : state) {
        module->receivePinValue(0, 0, 4, &value);
        benchmark::ClobberMemory();
    }
    if (host.values - sentBefore != size_t(state.iterations()) * addedPins)
        state.SkipWithError("the value did not reach every added pin");
    state.SetItemsProcessed(state.iterations() * addedPins);
}
BENCHMARK(splitter);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv, {{"splitter", "direct", 1.5}});
}
