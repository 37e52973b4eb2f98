// The number and colour converters, loaded through MP_GetFactory, each
// driven through its pins by a host that only counts: for every value the
// host sets the input pin and reports the change, and the module sends what
// follows. Next to each, the least work of the same result in the same run,
// its answer handed to the same host through the interface:
//
// - KZ_Int2TxtC, value to text: std::to_chars of the integer, the characters
//   widened to 16-bit units in a buffer of the caller's, sent.
// - KZ_Int2TxtC, text to value: the text copied into a buffer of the
//   caller's (the module keeps it), its sign and digits read up to the first
//   other character, the number clamped and sent.
// - KZ_Float2TxtC, text to value: the same with the text narrowed and read by
//   std::from_chars. (Value to text is in Float2TxtFormatting.cpp.)
// - ARGB2Str, channels to text: the four channels clamped and scaled to
//   bytes, eight hexadecimal digits written, sent.
// - ARGB2Str, text to channels: the text copied, its hexadecimal digits read
//   up to the first other character, each channel's byte scaled, compared
//   with the channel held and, when it differs, stored and sent.
//
// Target: each under 2x its least work.
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t sampleCount = 100'000;

uint32_t nextRandom(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state;
}

// Integers of every length from 1 to 10 digits, both signs.
const std::vector<int32_t>& integers() {
    static const std::vector<int32_t> made = [] {
        std::vector<int32_t> values;
        values.reserve(sampleCount);
        uint32_t state = 12345;
        for (size_t i = 0; i < sampleCount; ++i) {
            const uint32_t r = nextRandom(state);
            int64_t limit = 1;
            for (uint32_t digits = r % 10 + 1; digits > 0; --digits)
                limit *= 10;
            const int64_t magnitude =
                int64_t(nextRandom(state)) % std::min<int64_t>(limit, INT32_MAX);
            values.push_back(int32_t((r >> 16) & 1 ? -magnitude : magnitude));
        }
        return values;
    }();
    return made;
}

// Floats of many magnitudes and both signs.
const std::vector<float>& floats() {
    static const std::vector<float> made = [] {
        std::vector<float> values;
        values.reserve(sampleCount);
        uint32_t state = 54321;
        for (size_t i = 0; i < sampleCount; ++i) {
            const uint32_t r = nextRandom(state);
            float value = float(r >> 8) / 16777216.0f;
            for (int e = int(r % 13) - 4; e > 0; --e)
                value *= 10.0f;
            for (int e = int(r % 13) - 4; e < 0; ++e)
                value /= 10.0f;
            values.push_back(r & 1 ? -value : value);
        }
        return values;
    }();
    return made;
}

// Colours as 32-bit AARRGGBB numbers.
const std::vector<uint32_t>& colours() {
    static const std::vector<uint32_t> made = [] {
        std::vector<uint32_t> values;
        values.reserve(sampleCount);
        uint32_t state = 777;
        for (size_t i = 0; i < sampleCount; ++i)
            values.push_back(nextRandom(state));
        return values;
    }();
    return made;
}

std::u16string widened(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// Texts as a host receives them typed: the decimal integers, the floats in
// the shortest form that reads back, the colours as eight digits.
std::vector<std::u16string> texts(const std::vector<int32_t>& values) {
    std::vector<std::u16string> out;
    for (const int32_t value : values)
        out.push_back(widened(std::to_string(value)));
    return out;
}
std::vector<std::u16string> texts(const std::vector<float>& values) {
    std::vector<std::u16string> out;
    char digits[64];
    for (const float value : values) {
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out.push_back(widened(std::string_view(digits, size_t(end - digits))));
    }
    return out;
}
std::vector<std::u16string> colourTexts() {
    std::vector<std::u16string> out;
    char digits[16];
    for (const uint32_t colour : colours()) {
        std::snprintf(digits, sizeof digits, "%08x", colour);
        out.push_back(widened(digits));
    }
    return out;
}

const std::vector<std::u16string>& integerTexts() {
    static const std::vector<std::u16string> made = texts(integers());
    return made;
}
const std::vector<std::u16string>& floatTexts() {
    static const std::vector<std::u16string> made = texts(floats());
    return made;
}
const std::vector<std::u16string>& colourTextSamples() {
    static const std::vector<std::u16string> made = colourTexts();
    return made;
}

// A module of the library with its host, or the reason it is not there.
struct Attached {
    explicit Attached(const char16_t* id) : module(bench::makeAttached(id, &host)) {}
    void set(int32_t pin, int32_t size, const void* data) {
        module->receivePinValue(pin, 0, size, data);
        module->onPinChanged(pin, 0);
    }
    void store(int32_t pin, int32_t size, const void* data) {
        module->receivePinValue(pin, 0, size, data);
    }

    bench::CountingHost host;
    gmpi_sdk::ComPtr<gmpi::IMpUserInterface2> module;
};

// Counts the items and checks that nearly every one reached the host (a
// value equal to the one before it is not sent again).
void finish(benchmark::State& state, size_t sent, size_t perItem) {
    const size_t items = size_t(state.iterations()) * sampleCount;
    if (sent < items * perItem * 9 / 10)
        state.SkipWithError("too few values reached the host");
    state.SetItemsProcessed(int64_t(items));
}

// The same host behind its interface, as the module calls it.
struct BaselineHost {
    bench::CountingHost counting;
    IGuiHost* const host = bench::opaque<IGuiHost>(&counting);
};

// --- KZ_Int2TxtC

constexpr int32_t intValuePin = 0, intMinimumPin = 1, intMaximumPin = 2, intTextPin = 3;

void intToTextThroughPins(benchmark::State& state) {
    Attached made(u"KZ_Int2TxtC");
    if (!made.module) {
        state.SkipWithError("KZ_Int2TxtC not made");
        return;
    }
    const int32_t minimum = INT32_MIN, maximum = INT32_MAX;
    made.store(intMinimumPin, 4, &minimum);
    made.store(intMaximumPin, 4, &maximum);
    const size_t before = made.host.values;
    for (auto _ : state)
        for (const int32_t value : integers())
            made.set(intValuePin, 4, &value);
    finish(state, made.host.values - before, 1);
}

void intToTextLeastWork(benchmark::State& state) {
    BaselineHost out;
    char digits[16];
    char16_t text[16];
    for (auto _ : state) {
        for (const int32_t value : integers()) {
            const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
            const auto length = end - digits;
            for (std::ptrdiff_t i = 0; i < length; ++i)
                text[i] = char16_t(digits[i]);
            out.host->acceptPinValue(intTextPin, int32_t(2 * length), text, 0);
        }
    }
    finish(state, out.counting.values, 1);
}

void textToIntThroughPins(benchmark::State& state) {
    Attached made(u"KZ_Int2TxtC");
    if (!made.module) {
        state.SkipWithError("KZ_Int2TxtC not made");
        return;
    }
    const int32_t minimum = INT32_MIN, maximum = INT32_MAX;
    made.store(intMinimumPin, 4, &minimum);
    made.store(intMaximumPin, 4, &maximum);
    const size_t before = made.host.values;
    for (auto _ : state)
        for (const std::u16string& text : integerTexts())
            made.set(intTextPin, int32_t(2 * text.size()), text.data());
    finish(state, made.host.values - before, 1);
}

void textToIntLeastWork(benchmark::State& state) {
    BaselineHost out;
    const int32_t minimum = INT32_MIN, maximum = INT32_MAX;
    char16_t kept[16];
    int32_t held = 0;
    for (auto _ : state) {
        for (const std::u16string& text : integerTexts()) {
            std::memcpy(kept, text.data(), 2 * text.size());
            const char16_t* c = kept;
            const char16_t* const end = kept + text.size();
            const bool negative = *c == u'-';
            c += negative;
            int64_t magnitude = 0;
            for (; c != end && unsigned(*c - u'0') < 10; ++c)
                magnitude = magnitude * 10 + (*c - u'0');
            const int64_t number = negative ? -magnitude : magnitude;
            const int32_t value = int32_t(std::clamp<int64_t>(number, minimum, maximum));
            if (value != held) {
                held = value;
                out.host->acceptPinValue(intValuePin, 4, &held, 0);
            }
        }
    }
    finish(state, out.counting.values, 1);
}

// --- KZ_Float2TxtC, text to value

constexpr int32_t floatValuePin = 0, floatMinimumPin = 1, floatMaximumPin = 2, floatTextPin = 4;

void textToFloatThroughPins(benchmark::State& state) {
    Attached made(u"KZ_Float2TxtC");
    if (!made.module) {
        state.SkipWithError("KZ_Float2TxtC not made");
        return;
    }
    const float minimum = -1e30f, maximum = 1e30f;
    made.store(floatMinimumPin, 4, &minimum);
    made.store(floatMaximumPin, 4, &maximum);
    const size_t before = made.host.values;
    for (auto _ : state)
        for (const std::u16string& text : floatTexts())
            made.set(floatTextPin, int32_t(2 * text.size()), text.data());
    finish(state, made.host.values - before, 1);
}

void textToFloatLeastWork(benchmark::State& state) {
    BaselineHost out;
    const float minimum = -1e30f, maximum = 1e30f;
    char16_t kept[64];
    char narrow[64];
    float held = 0.0f;
    for (auto _ : state) {
        for (const std::u16string& text : floatTexts()) {
            std::memcpy(kept, text.data(), 2 * text.size());
            for (size_t i = 0; i < text.size(); ++i)
                narrow[i] = char(kept[i]);
            float number = 0.0f;
            std::from_chars(narrow, narrow + text.size(), number);
            const float value = std::clamp(number, minimum, maximum);
            if (!(value == held)) {
                held = value;
                out.host->acceptPinValue(floatValuePin, 4, &held, 0);
            }
        }
    }
    finish(state, out.counting.values, 1);
}

// --- ARGB2Str

constexpr int32_t alphaPin = 0, redPin = 1, greenPin = 2, bluePin = 3, colourTextPin = 4;
constexpr float byteScale = 0.003921569f;

// Red channels for the colours: each colour's red byte scaled to 0..1, a
// quarter of them pushed past the ends so that the clamp has work.
const std::vector<float>& redSamples() {
    static const std::vector<float> made = [] {
        std::vector<float> values;
        values.reserve(sampleCount);
        for (const uint32_t colour : colours()) {
            const float red = float((colour >> 16) & 255) * byteScale;
            values.push_back((colour & 3) == 0 ? red * 1.5f - 0.25f : red);
        }
        return values;
    }();
    return made;
}

// Alpha, green and blue as the host left them; red changes with every report,
// as a host sends a dragged slider.
constexpr float alpha = 1.0f, green = 0.5f, blue = 0.25f;

void channelsToTextThroughPins(benchmark::State& state) {
    Attached made(u"ARGB2Str");
    if (!made.module) {
        state.SkipWithError("ARGB2Str not made");
        return;
    }
    made.store(alphaPin, 4, &alpha);
    made.store(greenPin, 4, &green);
    made.store(bluePin, 4, &blue);
    const size_t before = made.host.values;
    for (auto _ : state)
        for (const float red : redSamples())
            made.set(redPin, 4, &red);
    finish(state, made.host.values - before, 1);
}

float clampUnit(float value) {
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

void channelsToTextLeastWork(benchmark::State& state) {
    BaselineHost out;
    constexpr char16_t hex[] = u"0123456789abcdef";
    char16_t text[8];
    // The channels held, read from memory at every report as the module reads its pins.
    float held[4] = {alpha, 0.0f, green, blue};
    float* const channels = bench::opaque(held);
    for (auto _ : state) {
        for (const float red : redSamples()) {
            channels[1] = red;
            for (size_t c = 0; c < 4; ++c) {
                const int32_t byte = int32_t(clampUnit(channels[c]) * 255.0f);
                text[2 * c] = hex[(byte >> 4) & 15];
                text[2 * c + 1] = hex[byte & 15];
            }
            out.host->acceptPinValue(colourTextPin, 16, text, 0);
        }
    }
    finish(state, out.counting.values, 1);
}

// Four channel sends per colour where the bytes all change; random colours
// repeat a byte now and then, so a little fewer.
void textToChannelsThroughPins(benchmark::State& state) {
    Attached made(u"ARGB2Str");
    if (!made.module) {
        state.SkipWithError("ARGB2Str not made");
        return;
    }
    const size_t before = made.host.values;
    for (auto _ : state)
        for (const std::u16string& text : colourTextSamples())
            made.set(colourTextPin, int32_t(2 * text.size()), text.data());
    finish(state, made.host.values - before, 4);
}

// The value of a hexadecimal digit, or 16 for any other character.
uint32_t hexDigit(char16_t c) {
    if (unsigned(c - u'0') < 10)
        return uint32_t(c - u'0');
    if (unsigned((c | 0x20) - u'a') < 6)
        return uint32_t((c | 0x20) - u'a' + 10);
    return 16;
}

void textToChannelsLeastWork(benchmark::State& state) {
    BaselineHost out;
    char16_t kept[16];
    std::array<float, 4> held{};
    for (auto _ : state) {
        for (const std::u16string& text : colourTextSamples()) {
            std::memcpy(kept, text.data(), 2 * text.size());
            uint32_t colour = 0;
            for (size_t i = 0; i < text.size(); ++i) {
                const uint32_t digit = hexDigit(kept[i]);
                if (digit > 15)
                    break;
                colour = colour << 4 | digit;
            }
            for (size_t c = 0; c < 4; ++c) {
                const float channel = float((colour >> (24 - 8 * c)) & 255) * byteScale;
                if (!(channel == held[c])) {
                    held[c] = channel;
                    out.host->acceptPinValue(int32_t(c), 4, &held[c], 0);
                }
            }
        }
    }
    finish(state, out.counting.values, 4);
}

BENCHMARK(intToTextThroughPins)->Name("KZ_Int2TxtC value to text/100000");
BENCHMARK(intToTextLeastWork)->Name("baseline int to text/100000");
BENCHMARK(textToIntThroughPins)->Name("KZ_Int2TxtC text to value/100000");
BENCHMARK(textToIntLeastWork)->Name("baseline text to int/100000");
BENCHMARK(textToFloatThroughPins)->Name("KZ_Float2TxtC text to value/100000");
BENCHMARK(textToFloatLeastWork)->Name("baseline text to float/100000");
BENCHMARK(channelsToTextThroughPins)->Name("ARGB2Str channels to text/100000");
BENCHMARK(channelsToTextLeastWork)->Name("baseline channels to text/100000");
BENCHMARK(textToChannelsThroughPins)->Name("ARGB2Str text to channels/100000");
BENCHMARK(textToChannelsLeastWork)->Name("baseline text to channels/100000");

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(
        argc, argv,
        {
            {"KZ_Int2TxtC value to text/100000", "baseline int to text/100000", 2.0},
            {"KZ_Int2TxtC text to value/100000", "baseline text to int/100000", 2.0},
            {"KZ_Float2TxtC text to value/100000", "baseline text to float/100000", 2.0},
            {"ARGB2Str channels to text/100000", "baseline channels to text/100000", 2.0},
            {"ARGB2Str text to channels/100000", "baseline text to channels/100000", 2.0},
        });
}
