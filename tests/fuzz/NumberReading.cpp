// Fuzzes the no-exception number reading of the text-to-number converters: it
// must never fail unsafely, must read back what it writes, and, for ASCII
// text, must agree with glibc's strtof / strtoll in the C locale wherever our
// documented choices do not differ from it: "nan(...)" is read as the quiet
// NaN with the text's sign whatever its characters (glibc reports a range
// error for a payload too large for it), and the runtimes' own disagreements
// on underflow are allowed either way.
#include "platform/ClassicNumbers.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include <locale.h>

using platform::NumberReading;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// The C locale, whatever locale the process has.
locale_t classicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    require(locale != locale_t(0));
    return locale;
}

NumberReading runtimeFloat(const std::string& text, float& value) {
    char* end = nullptr;
    errno = 0;
    value = strtof_l(text.c_str(), &end, classicLocale());
    if (end == text.c_str())
        return NumberReading::NoNumber;
    return errno == ERANGE ? NumberReading::OutOfRange : NumberReading::Read;
}

NumberReading runtimeInt(const std::string& text, int32_t& value) {
    char* end = nullptr;
    errno = 0;
    const long long read = strtoll_l(text.c_str(), &end, 10, classicLocale());
    if (end == text.c_str())
        return NumberReading::NoNumber;
    if (errno == ERANGE || read < INT32_MIN || read > INT32_MAX)
        return NumberReading::OutOfRange;
    value = int32_t(read);
    return NumberReading::Read;
}

uint32_t bitsOf(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Even bytes as ASCII text, so that numbers come up often; odd-sized input
    // as 16-bit units.
    std::u16string text;
    if (size % 2 == 0) {
        for (size_t i = 0; i < size; ++i)
            text += char16_t(data[i] & 0x7F);
    } else {
        for (size_t i = 0; i + 1 < size; i += 2)
            text += char16_t(data[i] | data[i + 1] << 8);
    }
    bool ascii = true;
    std::string narrow;
    for (const char16_t c : text) {
        ascii = ascii && c < 0x80 && c != 0;
        narrow += char(c);
    }

    float value = 0.0f;
    const NumberReading floatResult = platform::readFloat(text, value);
    if (floatResult == NumberReading::Read && std::isfinite(value) &&
        std::fpclassify(value) != FP_SUBNORMAL) {
        char buffer[64];
        const auto out = std::to_chars(buffer, buffer + sizeof buffer, value);
        float back = 0.0f;
        require(platform::readFloat(std::u16string(buffer, out.ptr), back) == NumberReading::Read);
        require(bitsOf(back) == bitsOf(value));
    }
    if (ascii && floatResult == NumberReading::Read && std::isnan(value)) {
        // NaN, by choice with no range error and no payload: glibc must find a
        // NaN of the same sign, whatever it says of the payload.
        float expected = 0.0f;
        require(runtimeFloat(narrow, expected) != NumberReading::NoNumber);
        require(std::isnan(expected) && std::signbit(value) == std::signbit(expected));
    } else if (ascii) {
        float expected = 0.0f;
        const NumberReading runtimeResult = runtimeFloat(narrow, expected);
        // Where the runtimes disagree among themselves on underflow: an inexact
        // hexadecimal subnormal (out of range here, as every inexact decimal
        // one is) and a number just below the smallest normal float that
        // rounds up to it (read here, as mingw does; glibc reports a range error).
        const bool hexSubnormal = std::fpclassify(expected) == FP_SUBNORMAL &&
                                  narrow.find_first_of("xX") != std::string::npos;
        const bool roundsToSmallestNormal =
            std::fabs(expected) == std::numeric_limits<float>::min();
        require(runtimeResult == floatResult || hexSubnormal || roundsToSmallestNormal);
        if (floatResult == NumberReading::Read && runtimeResult == NumberReading::Read)
            require(bitsOf(value) == bitsOf(expected));
    }

    int32_t integer = 0;
    const NumberReading intResult = platform::readInt32(text, integer);
    if (intResult == NumberReading::Read) {
        int32_t back = 0;
        require(platform::readInt32(platform::formatInt32(integer), back) == NumberReading::Read);
        require(back == integer);
    }
    if (ascii) {
        int32_t expected = 0;
        require(runtimeInt(narrow, expected) == intResult);
        require(intResult != NumberReading::Read || expected == integer);
    }
    return 0;
}
