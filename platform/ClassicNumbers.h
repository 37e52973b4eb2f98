// Number text in the classic locale ("." as decimal point, no grouping) that
// comes out the same on every build and whatever locale the process has set:
// the float and integer reading of the standard library's stof / stoi without
// exceptions, and the printf "%.*g" / "%d" writing.
#pragma once

#include "NumberText.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

namespace platform {

// What a reading found at the start of a text.
enum class NumberReading { Read, NoNumber, OutOfRange };

// The float reading of stof: leading white space (U+0009..U+000D, U+0020), an
// optional sign, then decimal digits with an optional "." and exponent, "0x"
// hexadecimal floating point with an optional binary exponent, or inf,
// infinity, nan, nan(chars) in any letter case; whatever follows is ignored.
// A finite number that overflows, or that underflows to zero or to a subnormal
// it does not equal, is out of range. NaN is the quiet NaN with the text's
// sign. `value` is written only when the result is Read.
NumberReading readFloat(std::u16string_view text, float& value);

// The base-10 reading of stoi: white space, an optional sign, ASCII digits; a
// number beyond the 32-bit range is out of range. Inline: a typed number's
// handler then holds the value in a register, not in memory it waits for.
inline NumberReading readInt32(std::u16string_view text, int32_t& value);

// The largest precision formatGeneral honours; beyond it a float's text no
// longer changes (its exact value has at most 112 significant digits).
inline constexpr int maxGeneralPrecision = 150;

// printf "%.*g": `precision` significant digits (0 counts as 1, a negative
// precision as 6, more than maxGeneralPrecision as that), the exponent form
// d.ddde+XX when the decimal exponent is below -4 or not below the precision,
// trailing zeros dropped; inf, -inf, nan and -nan by the sign bit.
std::u16string formatGeneral(double value, int precision);

// printf "%d".
std::u16string formatInt32(int32_t value);

// The same in a buffer of its own, for a caller that copies the text where it
// is needed.
class Int32Text {
public:
    inline explicit Int32Text(int32_t value);
    std::u16string_view view() const { return {units + first, std::size(units) - first}; }

private:
    // "00" to "99", each as the 4 bytes that its two units make in memory.
    static constexpr std::array<uint32_t, 100> decimalPairs = [] {
        std::array<uint32_t, 100> pairs{};
        for (size_t n = 0; n < pairs.size(); ++n)
            pairs[n] = std::bit_cast<uint32_t>(
                std::array<char16_t, 2>{char16_t(u'0' + n / 10), char16_t(u'0' + n % 10)});
        return pairs;
    }();

    char16_t units[11]; // the text ends at the last unit: "-2147483648" fills them all
    uint8_t first;
};

// The digits from the last unit backwards, two at a time.
Int32Text::Int32Text(int32_t value) {
    uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
    size_t at = std::size(units);
    while (magnitude >= 100) {
        at -= 2;
        std::memcpy(units + at, &decimalPairs[magnitude % 100], 4);
        magnitude /= 100;
    }
    if (magnitude >= 10) {
        at -= 2;
        std::memcpy(units + at, &decimalPairs[magnitude], 4);
    } else {
        units[--at] = char16_t(u'0' + magnitude);
    }
    if (value < 0)
        units[--at] = u'-';
    first = uint8_t(at);
}

NumberReading readInt32(std::u16string_view text, int32_t& value) {
    bool negative = false;
    const char16_t* c = text.data() + skipSpaceAndSign(text, negative);
    const char16_t* const end = text.data() + text.size();
    if (c == end || unsigned(*c - u'0') > 9)
        return NumberReading::NoNumber;
    // A magnitude beyond every int32 is out of range whatever digits follow.
    // The test is off the chain of the digits' arithmetic and never taken
    // for a number in range.
    uint64_t magnitude = 0;
    unsigned digit = unsigned(*c - u'0');
    for (;;) {
        magnitude = magnitude * 10 + digit;
        if (magnitude > 0x80000000u) [[unlikely]]
            return NumberReading::OutOfRange;
        if (++c == end)
            break;
        digit = unsigned(*c) - unsigned(u'0');
        if (digit > 9)
            break;
    }
    if (!negative && magnitude > 0x7FFFFFFFu)
        return NumberReading::OutOfRange;
    value = negative ? int32_t(0u - uint32_t(magnitude)) : int32_t(magnitude);
    return NumberReading::Read;
}

} // namespace platform
