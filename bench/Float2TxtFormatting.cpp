// KZ_Float2TxtC, loaded through MP_GetFactory, formatting 100,000 floats
// through its pins (value in, text out to a host that only counts), next to
// the least work of that: std::to_chars writing the same values with the same
// precision, the characters widened to 16-bit units in a buffer of the
// caller's, and the text handed to the same host. Target: under 2x, as for the
// other converters (text_converters.cpp).
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

#include <charconv>
#include <vector>

namespace {

constexpr int32_t valuePin = 0, minimumPin = 1, maximumPin = 2, decimalsPin = 3, textPin = 4;
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

void ThroughThePins(benchmark::State& state) {
    bench::CountingHost host;
    const auto module = bench::makeAttached(u"KZ_Float2TxtC", &host);
    if (!module) {
        state.SkipWithError("KZ_Float2TxtC not made");
        return;
    }
    const float minimum = -1e30f, maximum = 1e30f;
    module->receivePinValue(minimumPin, 0, 4, &minimum);
    module->receivePinValue(maximumPin, 0, 4, &maximum);
    module->receivePinValue(decimalsPin, 0, 4, &decimals);
    const size_t sentBefore = host.values;
    for (auto _ : state) {
        for (const float value : values()) {
            module->receivePinValue(valuePin, 0, 4, &value);
            module->onPinChanged(valuePin, 0);
        }
    }
    if (host.values - sentBefore < size_t(state.iterations()) * (values().size() - 1))
        state.SkipWithError("not every value was sent as text");
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(values().size()));
}

void StdToChars(benchmark::State& state) {
    bench::CountingHost counting;
    // A call through the interface, as the module makes it.
    IGuiHost* const host = bench::opaque<IGuiHost>(&counting);
    char digits[64];
    char16_t text[64];
    for (auto _ : state) {
        for (const float value : values()) {
            const auto out = std::to_chars(digits, digits + sizeof digits, double(value),
                                           std::chars_format::general, decimals + 1);
            const auto length = out.ptr - digits;
            for (std::ptrdiff_t i = 0; i < length; ++i)
                text[i] = char16_t(digits[i]);
            host->acceptPinValue(textPin, int32_t(2 * length), text, 0);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(values().size()));
}

BENCHMARK(ThroughThePins)->Name("KZ_Float2TxtC/100000");
BENCHMARK(StdToChars)->Name("baseline std::to_chars/100000");

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv,
                                {{"KZ_Float2TxtC/100000", "baseline std::to_chars/100000", 2.0}});
}
