#include "../ClassicNumbers.h"

#include "../NumberText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

namespace platform {
namespace {

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

int hexValue(char16_t c) {
    if (isDigit(c))
        return int(c - u'0');
    if (c >= u'a' && c <= u'f')
        return int(c - u'a') + 10;
    if (c >= u'A' && c <= u'F')
        return int(c - u'A') + 10;
    return -1;
}

bool isDigitIn(char16_t c, bool hex) {
    return hex ? hexValue(c) >= 0 : isDigit(c);
}

// Case-insensitive test for an ASCII word at the start of the text.
bool startsWithWord(std::u16string_view text, std::string_view word) {
    if (text.size() < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
        if (c != char16_t(word[i]))
            return false;
    }
    return true;
}

// A written number after its sign, as the exactness test of a subnormal
// result needs it.
struct WrittenNumber {
    bool hex = false;
    std::string digits;       // the mantissa's digits without the point
    size_t integerDigits = 0; // how many of them stand before the point
    int64_t exponent = 0;     // the written exponent, saturated far beyond any float's
};

// Reads the digits, an optional point and digits, then an optional exponent
// (e or p) that counts only when it has a digit, of a number already known to
// be there.
void scanWrittenNumber(std::u16string_view text, bool hex, WrittenNumber& number) {
    size_t i = 0;
    for (; i < text.size() && isDigitIn(text[i], hex); ++i)
        number.digits += char(text[i]);
    number.integerDigits = number.digits.size();
    if (i < text.size() && text[i] == u'.')
        for (++i; i < text.size() && isDigitIn(text[i], hex); ++i)
            number.digits += char(text[i]);
    const char16_t mark = hex ? u'p' : u'e';
    if (i < text.size() && (text[i] == mark || text[i] == char16_t(mark - u'a' + u'A'))) {
        size_t k = i + 1;
        const bool negative = k < text.size() && text[k] == u'-';
        if (k < text.size() && (text[k] == u'+' || text[k] == u'-'))
            ++k;
        if (k < text.size() && isDigit(text[k])) {
            constexpr int64_t limit = 1'000'000'000'000;
            int64_t exponent = 0;
            for (; k < text.size() && isDigit(text[k]); ++k)
                if (exponent < limit)
                    exponent = exponent * 10 + (text[k] - u'0');
            number.exponent = negative ? -exponent : exponent;
        }
    }
}

// Whether the character can stand in a written number after its sign: the
// digits, the point, the exponent's mark and its sign.
bool mayStandInNumber(char16_t c, bool hex) {
    if (isDigitIn(c, hex) || c == u'.' || c == u'+' || c == u'-')
        return true;
    const char16_t mark = hex ? u'p' : u'e';
    return c == mark || c == char16_t(mark - u'a' + u'A');
}

// Whether a subnormal result equals the number as written.
bool subnormalIsExact(const WrittenNumber& number, float result) {
    const size_t first = number.digits.find_first_not_of('0');
    const size_t last = number.digits.find_last_not_of('0');
    if (first == std::string::npos)
        return false;
    if (number.hex) {
        // Exact when the lowest set bit lies within the subnormal range.
        const int lowestBit = std::countr_zero(unsigned(hexValue(char16_t(number.digits[last]))));
        const int64_t position =
            4 * (int64_t(number.integerDigits) - 1 - int64_t(last)) + lowestBit + number.exponent;
        return position >= -149;
    }
    // Both as 0.DIGITS x 10^E, without leading or trailing zeros. A float's
    // exact decimal value has at most 112 significant digits.
    const std::string_view written(number.digits.data() + first, last - first + 1);
    const int64_t writtenExponent =
        int64_t(number.integerDigits) - int64_t(first) + number.exponent;
    char buffer[160];
    const auto out = std::to_chars(buffer, buffer + sizeof buffer, double(result),
                                   std::chars_format::scientific, 120);
    if (out.ec != std::errc())
        return false;
    const std::string_view text(buffer, size_t(out.ptr - buffer));
    const size_t e = text.find('e');
    std::string exact(1, text[0]);
    exact += text.substr(2, e - 2);
    exact.erase(exact.find_last_not_of('0') + 1);
    int exactExponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exactExponent);
    return exact == written && int64_t(exactExponent) + 1 == writtenExponent;
}

// Narrows the text into the buffer up to its first unit beyond ASCII; false
// when the text goes on beyond the buffer without one.
template <size_t Capacity>
bool narrowAscii(std::u16string_view text, char (&buffer)[Capacity], size_t& length) {
    const size_t count = std::min(text.size(), Capacity);
    for (size_t i = 0; i < count; ++i) {
        if (text[i] >= 0x80) {
            length = i;
            return true;
        }
        buffer[i] = char(text[i]);
    }
    length = count;
    return count == text.size();
}

} // namespace

NumberReading readFloat(std::u16string_view text, float& value) {
    bool negative = false;
    const std::u16string_view rest = text.substr(skipSpaceAndSign(text, negative));
    if (startsWithWord(rest, "inf")) {
        const float inf = std::numeric_limits<float>::infinity();
        value = negative ? -inf : inf;
        return NumberReading::Read;
    }
    if (startsWithWord(rest, "nan")) {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        value = negative ? -nan : nan;
        return NumberReading::Read;
    }
    // "0x" counts only with a hexadecimal digit after it (before or after a point);
    // otherwise the 0 is a decimal number of its own.
    const bool hexPrefix =
        rest.size() > 2 && rest[0] == u'0' && (rest[1] == u'x' || rest[1] == u'X') &&
        (hexValue(rest[2]) >= 0 || (rest[2] == u'.' && rest.size() > 3 && hexValue(rest[3]) >= 0));
    const std::u16string_view written = hexPrefix ? rest.substr(2) : rest;

    // The text narrowed into a buffer on the stack up to its first unit
    // beyond ASCII, which no number holds; std::from_chars then reads the
    // longest number it begins with, as stof does, and finds its end. A
    // second sign makes no number.
    char onStack[64];
    std::string onHeap;
    char* chars = onStack;
    size_t length = 0;
    if (hexPrefix || !narrowAscii(written, onStack, length)) {
        // A hexadecimal number, or a text that goes on beyond the buffer: the
        // characters that may make the number first. There a sign stands only
        // right after the exponent's mark, as std::from_chars would read the
        // hexadecimal "1p+-1" as 1p-1.
        length = 0;
        while (length < written.size() && mayStandInNumber(written[length], hexPrefix)) {
            const char16_t c = written[length];
            if ((c == u'+' || c == u'-') &&
                (length == 0 || (written[length - 1] | 0x20) != (hexPrefix ? u'p' : u'e')))
                break;
            ++length;
        }
        if (length > sizeof onStack) {
            onHeap.resize(length);
            chars = onHeap.data();
        }
        for (size_t i = 0; i < length; ++i)
            chars[i] = char(written[i]);
    } else if (length > 0 && chars[0] == '-') {
        return NumberReading::NoNumber;
    }

    float result = 0.0f;
    const auto read =
        std::from_chars(chars, chars + length, result,
                        hexPrefix ? std::chars_format::hex : std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range)
        return NumberReading::OutOfRange;
    if (read.ec != std::errc())
        return NumberReading::NoNumber;
    if (result == 0.0f) {
        // Zero read from a mantissa with a digit other than 0 underflowed.
        const char mark = hexPrefix ? 'p' : 'e';
        for (const char* c = chars; c != read.ptr && (*c | 0x20) != mark; ++c)
            if (*c != '0' && *c != '.')
                return NumberReading::OutOfRange;
    }
    if (std::fpclassify(result) == FP_SUBNORMAL) {
        WrittenNumber number;
        number.hex = hexPrefix;
        scanWrittenNumber(written, hexPrefix, number);
        if (!subnormalIsExact(number, result))
            return NumberReading::OutOfRange;
    }
    value = negative ? -result : result;
    return NumberReading::Read;
}

namespace {

std::u16string widenAscii(const char* begin, const char* end) {
    std::u16string out;
    out.reserve(size_t(end - begin));
    for (const char* c = begin; c != end; ++c)
        out += char16_t(*c);
    return out;
}

} // namespace

std::u16string formatGeneral(double value, int precision) {
    if (std::isnan(value))
        return std::signbit(value) ? u"-nan" : u"nan";
    if (std::isinf(value))
        return value < 0 ? u"-inf" : u"inf";
    if (precision < 0)
        precision = 6;
    else if (precision == 0)
        precision = 1;
    else if (precision > maxGeneralPrecision)
        precision = maxGeneralPrecision;
    // At most the digits, a sign, "0." and four zeros, or "e-308".
    char buffer[maxGeneralPrecision + 16];
    const auto out =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    if (out.ec != std::errc())
        return {};
    return widenAscii(buffer, out.ptr);
}

std::u16string formatInt32(int32_t value) {
    return std::u16string(Int32Text(value).view());
}

} // namespace platform
