// One pin round trip on KZ_V2dB (receivePinValue, onPinChanged, the send
// reaching the host) next to the test host's acceptPinValue called directly
// with the same bytes. Target: under 3x.
#include "host/GuiModule.h"
#include "host/ModuleLibrary.h"
#include "host/TestHost.h"
#include "support/Ratios.h"

namespace {

// Both loops use the test host, which logs every value; its log is emptied
// now and then alike in both.
constexpr size_t logLimit = 4096;

void directAccept(benchmark::State& state) {
    testhost::TestHost host;
    IGuiHost* target = host.guiHost();
    float decibels = -20.0f;
    for (auto _ : state) {
        decibels = decibels == -20.0f ? -13.9794f : -20.0f;
        target->acceptPinValue(1, 4, &decibels, 0);
        if (host.sent.size() == logLimit)
            host.sent.clear();
    }
}
BENCHMARK(directAccept);

void pinRoundTrip(benchmark::State& state) {
    testhost::ModuleLibrary library(testhost::ModuleLibrary::defaultPath());
    testhost::TestHost host;
    testhost::GuiModule module(library.factory(), u"KZ_V2dB", host);
    float volts = 1.0f;
    for (auto _ : state) {
        // Alternate so that every round trip changes the decibels and sends.
        volts = volts == 1.0f ? 2.0f : 1.0f;
        module->receivePinValue(0, 0, 4, &volts);
        module->onPinChanged(0, 0);
        if (host.sent.size() == logLimit)
            host.sent.clear();
    }
    if (host.sent.empty())
        state.SkipWithError("nothing reached the host");
}
BENCHMARK(pinRoundTrip);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv, {{"pinRoundTrip", "directAccept", 3.0}});
}
