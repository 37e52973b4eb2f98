// The number and colour converters, loaded through MP_GetFactory, each
// driven through its pins by a host that only counts: for every value the
// host sets the input pin and reports the change, and the module sends what
// follows.
//
// Next to each, its least work in the same run: an object with the same
// interface, reached the same way and driven by the same loop, doing only
// what any module must for the host's two calls. receivePinValue finds the
// pin by index and stores the value (4 bytes, or the text's units in storage
// replaced only for a longer text); onPinChanged finds the pin and runs its
// handler through the pointer held in it; the handler reads its text or
// numbers, converts, compares the result with the output pin's value and,
// when it differs, stores it and sends it to the same counting host. The
// conversions:
//
// - KZ_Int2TxtC, value to text: the value clamped, std::to_chars of it, the
//   characters widened to 16-bit units.
// - KZ_Int2TxtC, text to value: white space and a sign skipped, the digits
//   read up to the first other character with a test for a number beyond 32
//   bits, the number clamped.
// - KZ_Float2TxtC, text to value: white space and a sign skipped, the ASCII
//   characters narrowed and read by std::from_chars, a zero or subnormal
//   result tested, the number clamped. (Value to text is in
//   Float2TxtFormatting.cpp.)
// - ARGB2Str, channels to text: the four channels clamped and scaled to
//   bytes, eight hexadecimal digits written.
// - ARGB2Str, text to channels: white space, a sign and "0x" skipped, the
//   hexadecimal digits read up to the first other character with a test for a
//   number beyond 32 bits, each channel's byte scaled and set.
//
// A rare case (a number beyond the type's range, say) costs a model only the
// test that finds it: what follows the test is never timed.
//
// Target: each under 2x its least work.
#include "support/CountingHost.h"
#include "support/ModelBase.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// GCC would otherwise compare the table entries of the calls below with the
// one implementation of each interface it sees here (the model's, the
// counting host's) and call that directly, which no call through the export
// can do: the module would then be called through a test that always fails,
// and the model measured with less than the same calls.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-devirtualize-speculatively")
#endif

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

// --- The least-work models

// A text as a model keeps it: its units in storage that is replaced only
// when a longer text comes.
class ModelText {
public:
    ModelText() : units(std::make_unique<char16_t[]>(capacity)) {}

    const char16_t* begin() const { return units.get(); }
    const char16_t* end() const { return units.get() + length; }
    bool equals(const char16_t* other, size_t count) const {
        return count == length && std::memcmp(units.get(), other, 2 * count) == 0;
    }
    void assign(const char16_t* from, size_t count) {
        if (count > capacity)
            grow(count);
        std::memcpy(units.get(), from, 2 * count);
        length = count;
    }

private:
    [[gnu::noinline]] void grow(size_t count) {
        units = std::make_unique<char16_t[]>(count);
        capacity = count;
    }

    size_t capacity = 16;
    size_t length = 0;
    std::unique_ptr<char16_t[]> units;
};

class LeastWorkModel final : public bench::ModelBase {
public:
    using Handler = void (*)(LeastWorkModel&);

    // Pins by index, in the order added: a 4-byte number or a text each.
    void addNumberPin(Handler handler = nullptr) { add(false, handler); }
    void addTextPin(Handler handler) { add(true, handler); }

    int32_t receivePinValue(int32_t pinId, int32_t, int32_t size, const void* data) override {
        Pin* pin = find(pinId);
        if (!pin || size < 0 || !data)
            return ResultFailure;
        if (pin->isText)
            pin->text.assign(static_cast<const char16_t*>(data), size_t(size) / 2);
        else if (size == 4)
            std::memcpy(&pin->word, data, 4);
        else
            return ResultFailure;
        return ResultSuccess;
    }
    int32_t onPinChanged(int32_t pinId, int32_t) override {
        Pin* pin = find(pinId);
        if (!pin)
            return ResultFailure;
        if (pin->handler)
            pin->handler(*this);
        return ResultSuccess;
    }

    template <class Number> Number number(int32_t pinId) const {
        return std::bit_cast<Number>(pins[size_t(pinId)].word);
    }
    const ModelText& text(int32_t pinId) const { return pins[size_t(pinId)].text; }

    // Stored and sent when it differs from the value held (a float unequal or
    // unordered).
    template <class Number> void setAndSend(int32_t pinId, Number value) {
        uint32_t& held = pins[size_t(pinId)].word;
        if (std::bit_cast<Number>(held) == value)
            return;
        held = std::bit_cast<uint32_t>(value);
        host->acceptPinValue(pinId, 4, &held, 0);
    }
    void setAndSendText(int32_t pinId, const char16_t* units, size_t count) {
        ModelText& held = pins[size_t(pinId)].text;
        if (held.equals(units, count))
            return;
        held.assign(units, count);
        host->acceptPinValue(pinId, int32_t(2 * count), held.begin(), 0);
    }

private:
    struct Pin {
        bool isText = false;
        uint32_t word = 0;
        ModelText text;
        Handler handler = nullptr;
    };

    void add(bool isText, Handler handler) {
        Pin& pin = pins[count++];
        pin.isText = isText;
        pin.handler = handler;
    }
    Pin* find(int32_t pinId) { return uint32_t(pinId) < count ? &pins[size_t(pinId)] : nullptr; }

    std::array<Pin, 5> pins;
    size_t count = 0;
};

bool isSpace(char16_t c) {
    return c == u' ' || unsigned(c - u'\t') < 5;
}

// White space, then a sign: where the number begins.
const char16_t* skipSpaceAndSign(const char16_t* c, const char16_t* end, bool& negative) {
    while (c != end && isSpace(*c))
        ++c;
    negative = c != end && *c == u'-';
    if (c != end && (*c == u'-' || *c == u'+'))
        ++c;
    return c;
}

// Decimal digits after white space and a sign; false for no digit or a number
// beyond 32 bits.
bool readDecimal(const ModelText& text, int32_t& value) {
    bool negative = false;
    const char16_t* c = skipSpaceAndSign(text.begin(), text.end(), negative);
    if (c == text.end() || unsigned(*c - u'0') > 9)
        return false;
    uint64_t magnitude = 0;
    for (; c != text.end() && unsigned(*c - u'0') < 10; ++c) {
        magnitude = magnitude * 10 + unsigned(*c - u'0');
        if (magnitude > 0x80000000u)
            return false;
    }
    if (!negative && magnitude > 0x7FFFFFFFu)
        return false;
    value = negative ? int32_t(-int64_t(magnitude)) : int32_t(magnitude);
    return true;
}

// A float after white space and a sign, read by std::from_chars; false for no
// number and for one beyond float range.
bool readFloat(const ModelText& text, float& value) {
    bool negative = false;
    const char16_t* c = skipSpaceAndSign(text.begin(), text.end(), negative);
    const bool hex = text.end() - c > 2 && c[0] == u'0' && (c[1] | 0x20) == u'x';
    c += hex ? 2 : 0;
    char narrow[64];
    size_t length = 0;
    for (; c != text.end() && *c < 128 && length < sizeof narrow; ++c)
        narrow[length++] = char(*c);
    if (length == 0 || narrow[0] == '-' || narrow[0] == '+')
        return false;
    float result = 0.0f;
    const auto read = std::from_chars(narrow, narrow + length, result,
                                      hex ? std::chars_format::hex : std::chars_format::general);
    if (read.ec != std::errc())
        return false;
    if (std::fpclassify(result) == FP_SUBNORMAL)
        return false;
    if (result == 0.0f) {
        // Zero from a mantissa with a digit other than 0 underflowed.
        const char mark = hex ? 'p' : 'e';
        for (const char* d = narrow; d != read.ptr && (*d | 0x20) != mark; ++d)
            if (*d != '0' && *d != '.')
                return false;
    }
    value = negative ? -result : result;
    return true;
}

// The value of a hexadecimal digit, or 16 for any other character, by table:
// digits and letters come mixed, and a test per range would be a branch that
// no prediction can follow.
constexpr std::array<uint8_t, 128> hexDigits = [] {
    std::array<uint8_t, 128> values{};
    for (size_t c = 0; c < values.size(); ++c)
        values[c] = c >= '0' && c <= '9'   ? uint8_t(c - '0')
                    : c >= 'a' && c <= 'f' ? uint8_t(c - 'a' + 10)
                    : c >= 'A' && c <= 'F' ? uint8_t(c - 'A' + 10)
                                           : 16;
    return values;
}();
uint32_t hexDigit(char16_t c) {
    return c < hexDigits.size() ? hexDigits[c] : 16;
}

// Hexadecimal digits after white space, a sign and "0x"; no digit gives 0, a
// number beyond 32 bits all bits set.
uint32_t readHexadecimal(const ModelText& text) {
    bool negative = false;
    const char16_t* c = skipSpaceAndSign(text.begin(), text.end(), negative);
    if (text.end() - c > 2 && c[0] == u'0' && (c[1] | 0x20) == u'x' && hexDigit(c[2]) < 16)
        c += 2;
    uint64_t number = 0;
    for (; c != text.end(); ++c) {
        const uint32_t digit = hexDigit(*c);
        if (digit > 15)
            break;
        number = number << 4 | digit;
        if (number > 0xFFFFFFFFu)
            return 0xFFFFFFFFu;
    }
    return negative ? 0u - uint32_t(number) : uint32_t(number);
}

// Two 16-bit units of text as the 4 bytes they make in memory: a model
// writes its digits two at a time from tables of these.
constexpr uint32_t unitPair(char16_t first, char16_t second) {
    return std::bit_cast<uint32_t>(std::array<char16_t, 2>{first, second});
}

// "00" to "99".
constexpr std::array<uint32_t, 100> decimalPairs = [] {
    std::array<uint32_t, 100> pairs{};
    for (size_t n = 0; n < pairs.size(); ++n)
        pairs[n] = unitPair(char16_t(u'0' + n / 10), char16_t(u'0' + n % 10));
    return pairs;
}();

// "00" to "ff".
constexpr std::array<uint32_t, 256> hexPairs = [] {
    constexpr char16_t digits[] = u"0123456789abcdef";
    std::array<uint32_t, 256> pairs{};
    for (size_t n = 0; n < pairs.size(); ++n)
        pairs[n] = unitPair(digits[n >> 4], digits[n & 15]);
    return pairs;
}();

// The decimal text of the value, written from its last digit backwards.
void setAndSendDecimal(LeastWorkModel& model, int32_t pinId, int32_t value) {
    char16_t text[12];
    char16_t* first = std::end(text);
    uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    for (; magnitude >= 100; magnitude /= 100) {
        first -= 2;
        std::memcpy(first, &decimalPairs[magnitude % 100], 4);
    }
    if (magnitude >= 10) {
        first -= 2;
        std::memcpy(first, &decimalPairs[magnitude], 4);
    } else {
        *--first = char16_t(u'0' + magnitude);
    }
    if (value < 0)
        *--first = u'-';
    model.setAndSendText(pinId, first, size_t(std::end(text) - first));
}

// --- What the benchmarks drive

// The converter of that id from the library, or its least-work model, attached
// to a counting host and reached only through the interface.
enum class Side { Library, LeastWork };

class Subject {
public:
    Subject(Side side, const char16_t* id, void (*makeModel)(LeastWorkModel&)) {
        if (side == Side::Library) {
            loaded = bench::makeAttached(id, &host);
            module = loaded.get();
        } else {
            makeModel(model);
            model.attachHost(host.object());
            module = bench::opaque<gmpi::IMpUserInterface2>(&model);
        }
    }
    Subject(const Subject&) = delete;
    Subject& operator=(const Subject&) = delete;
    explicit operator bool() const { return module != nullptr; }

    void set(int32_t pin, int32_t size, const void* data) {
        module->receivePinValue(pin, 0, size, data);
        module->onPinChanged(pin, 0);
    }
    void store(int32_t pin, int32_t size, const void* data) {
        module->receivePinValue(pin, 0, size, data);
    }

    bench::CountingHost host;

private:
    gmpi_sdk::ComPtr<gmpi::IMpUserInterface2> loaded;
    LeastWorkModel model;
    gmpi::IMpUserInterface2* module = nullptr;
};

// Counts the items and checks that nearly every one reached the host (a
// value equal to the one before it is not sent again).
void finish(benchmark::State& state, size_t sent, size_t perItem) {
    const size_t items = size_t(state.iterations()) * sampleCount;
    if (sent < items * perItem * 9 / 10)
        state.SkipWithError("too few values reached the host");
    state.SetItemsProcessed(int64_t(items));
}

// --- KZ_Int2TxtC

constexpr int32_t intValuePin = 0, intMinimumPin = 1, intMaximumPin = 2, intTextPin = 3;

// The model: the value's handler writes the clamped value as text, the
// text's reads it back.
void makeIntModel(LeastWorkModel& model) {
    model.addNumberPin([](LeastWorkModel& m) {
        const int32_t x = m.number<int32_t>(intValuePin);
        const int32_t minimum = m.number<int32_t>(intMinimumPin);
        const int32_t maximum = m.number<int32_t>(intMaximumPin);
        setAndSendDecimal(m, intTextPin, x < minimum ? minimum : (x > maximum ? maximum : x));
    });
    model.addNumberPin();
    model.addNumberPin();
    model.addTextPin([](LeastWorkModel& m) {
        int32_t typed = 0;
        if (!readDecimal(m.text(intTextPin), typed))
            return;
        const int32_t minimum = m.number<int32_t>(intMinimumPin);
        const int32_t maximum = m.number<int32_t>(intMaximumPin);
        if (typed < minimum || typed > maximum) {
            const int32_t bound = typed < minimum ? minimum : maximum;
            m.setAndSend(intValuePin, bound);
            setAndSendDecimal(m, intTextPin, bound);
            return;
        }
        m.setAndSend(intValuePin, typed);
    });
}

// The converter with the range of every int32.
bool madeWithFullRange(benchmark::State& state, Subject& made) {
    if (!made) {
        state.SkipWithError("KZ_Int2TxtC not made");
        return false;
    }
    const int32_t minimum = INT32_MIN, maximum = INT32_MAX;
    made.store(intMinimumPin, 4, &minimum);
    made.store(intMaximumPin, 4, &maximum);
    return true;
}

void intToText(benchmark::State& state, Side side) {
    Subject made(side, u"KZ_Int2TxtC", &makeIntModel);
    if (!madeWithFullRange(state, made))
        return;
    const size_t before = made.host.values;
    for (auto _ : state)
        for (const int32_t value : integers())
            made.set(intValuePin, 4, &value);
    finish(state, made.host.values - before, 1);
}

// The conversion and its send alone, with none of the two calls through the
// module's interface that a host makes for every value: the measure this
// path was first judged by.
void intToTextConversionAlone(benchmark::State& state) {
    bench::CountingHost counting;
    IGuiHost* const host = bench::opaque<IGuiHost>(&counting);
    char digits[16];
    char16_t text[16];
    for (auto _ : state) {
        for (const int32_t value : integers()) {
            const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
            const auto length = end - digits;
            for (std::ptrdiff_t i = 0; i < length; ++i)
                text[i] = char16_t(digits[i]);
            host->acceptPinValue(intTextPin, int32_t(2 * length), text, 0);
        }
    }
    finish(state, counting.values, 1);
}

void textToInt(benchmark::State& state, Side side) {
    Subject made(side, u"KZ_Int2TxtC", &makeIntModel);
    if (!madeWithFullRange(state, made))
        return;
    const size_t before = made.host.values;
    for (auto _ : state)
        for (const std::u16string& text : integerTexts())
            made.set(intTextPin, int32_t(2 * text.size()), text.data());
    finish(state, made.host.values - before, 1);
}

// --- KZ_Float2TxtC, text to value

constexpr int32_t floatValuePin = 0, floatMinimumPin = 1, floatMaximumPin = 2, floatDecimalsPin = 3,
                  floatTextPin = 4;

// The model of the text's handler; a bound's text, which the samples never
// reach, in the general notation of the decimals.
void makeFloatModel(LeastWorkModel& model) {
    model.addNumberPin();
    model.addNumberPin();
    model.addNumberPin();
    model.addNumberPin();
    model.addTextPin([](LeastWorkModel& m) {
        float typed = 0.0f;
        if (!readFloat(m.text(floatTextPin), typed))
            return;
        const float minimum = m.number<float>(floatMinimumPin);
        const float maximum = m.number<float>(floatMaximumPin);
        if (typed < minimum || typed > maximum) {
            const float bound = typed < minimum ? minimum : maximum;
            m.setAndSend(floatValuePin, bound);
            const int32_t decimals = m.number<int32_t>(floatDecimalsPin);
            char digits[64];
            char16_t text[64];
            const auto end =
                std::to_chars(digits, digits + sizeof digits, double(bound),
                              std::chars_format::general, std::clamp(decimals + 1, 1, 40))
                    .ptr;
            const auto length = size_t(end - digits);
            for (size_t i = 0; i < length; ++i)
                text[i] = char16_t(digits[i]);
            m.setAndSendText(floatTextPin, text, length);
            return;
        }
        m.setAndSend(floatValuePin, typed);
    });
}

void textToFloat(benchmark::State& state, Side side) {
    Subject made(side, u"KZ_Float2TxtC", &makeFloatModel);
    if (!made) {
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

// The channel clamped to 0..1 (a NaN to 0) and scaled to a byte, without a
// branch.
uint32_t channelByte(float channel) {
    const float low = channel > 0.0f ? channel : 0.0f;
    return uint32_t((low < 1.0f ? low : 1.0f) * 255.0f);
}

// The conversion and its send alone, as for KZ_Int2TxtC: the channels held
// are read from memory at every report, as the module reads its pins.
void channelsToTextConversionAlone(benchmark::State& state) {
    bench::CountingHost counting;
    IGuiHost* const host = bench::opaque<IGuiHost>(&counting);
    float held[4] = {alpha, 0.0f, green, blue};
    float* const channels = bench::opaque(held);
    char16_t text[8];
    for (auto _ : state) {
        for (const float red : redSamples()) {
            channels[1] = red;
            std::array<uint32_t, 4> pairs;
            for (size_t c = 0; c < 4; ++c)
                pairs[c] = hexPairs[channelByte(channels[c])];
            std::memcpy(text, pairs.data(), sizeof text);
            host->acceptPinValue(colourTextPin, 16, text, 0);
        }
    }
    finish(state, counting.values, 1);
}

// The model: a channel's handler writes the colour text, the text's sets the
// channels.
void makeColourModel(LeastWorkModel& model) {
    const LeastWorkModel::Handler onChannel = [](LeastWorkModel& m) {
        std::array<uint32_t, 4> pairs;
        for (int32_t c = 0; c < 4; ++c)
            pairs[size_t(c)] = hexPairs[channelByte(m.number<float>(alphaPin + c))];
        char16_t text[8];
        std::memcpy(text, pairs.data(), sizeof text);
        m.setAndSendText(colourTextPin, text, 8);
    };
    for (int32_t c = 0; c < 4; ++c)
        model.addNumberPin(onChannel);
    model.addTextPin([](LeastWorkModel& m) {
        const uint32_t argb = readHexadecimal(m.text(colourTextPin));
        for (int32_t c = 0; c < 4; ++c)
            m.setAndSend(alphaPin + c, float((argb >> (24 - 8 * c)) & 255) * byteScale);
    });
}

void channelsToText(benchmark::State& state, Side side) {
    Subject made(side, u"ARGB2Str", &makeColourModel);
    if (!made) {
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

// Four channel sends per colour where the bytes all change; random colours
// repeat a byte now and then, so a little fewer.
void textToChannels(benchmark::State& state, Side side) {
    Subject made(side, u"ARGB2Str", &makeColourModel);
    if (!made) {
        state.SkipWithError("ARGB2Str not made");
        return;
    }
    const size_t before = made.host.values;
    for (auto _ : state)
        for (const std::u16string& text : colourTextSamples())
            made.set(colourTextPin, int32_t(2 * text.size()), text.data());
    finish(state, made.host.values - before, 4);
}

BENCHMARK_CAPTURE(intToText, library, Side::Library)->Name("KZ_Int2TxtC value to text/100000");
BENCHMARK_CAPTURE(intToText, model, Side::LeastWork)->Name("baseline int to text/100000");
BENCHMARK(intToTextConversionAlone)->Name("int to text conversion alone/100000");
BENCHMARK_CAPTURE(textToInt, library, Side::Library)->Name("KZ_Int2TxtC text to value/100000");
BENCHMARK_CAPTURE(textToInt, model, Side::LeastWork)->Name("baseline text to int/100000");
BENCHMARK_CAPTURE(textToFloat, library, Side::Library)->Name("KZ_Float2TxtC text to value/100000");
BENCHMARK_CAPTURE(textToFloat, model, Side::LeastWork)->Name("baseline text to float/100000");
BENCHMARK_CAPTURE(channelsToText, library, Side::Library)->Name("ARGB2Str channels to text/100000");
BENCHMARK_CAPTURE(channelsToText, model, Side::LeastWork)->Name("baseline channels to text/100000");
BENCHMARK(channelsToTextConversionAlone)->Name("channels to text conversion alone/100000");
BENCHMARK_CAPTURE(textToChannels, library, Side::Library)->Name("ARGB2Str text to channels/100000");
BENCHMARK_CAPTURE(textToChannels, model, Side::LeastWork)->Name("baseline text to channels/100000");

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
            // The same two paths against their conversion alone, which makes
            // none of the module calls of a round trip (bench_pin_round_trip
            // measures those).
            {"KZ_Int2TxtC value to text/100000", "int to text conversion alone/100000", 2.0},
            {"ARGB2Str channels to text/100000", "channels to text conversion alone/100000", 2.0},
        });
}
