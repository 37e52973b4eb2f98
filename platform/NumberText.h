// Number reading that gives the same answer on every build: the C runtime's
// strtol family depends on the width of long, which differs between Windows
// and Linux. These follow the 32-bit (Windows) reading.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

// Leading white space (U+0009..U+000D, U+0020), an optional sign, in base 16 an
// optional "0x"/"0X", then ASCII digits. No digits gives 0 and consumes nothing.
// Overflow clamps to INT32_MIN / INT32_MAX. `consumed`, when given, receives the
// number of units read.
int32_t parseInt32(std::u16string_view text, int base = 10, size_t* consumed = nullptr);
int32_t parseInt32(std::string_view text, int base = 10, size_t* consumed = nullptr);

// As parseInt32, unsigned: overflow gives 0xFFFFFFFF, and a minus sign negates
// the value modulo 2^32.
uint32_t parseUInt32(std::u16string_view text, int base = 10, size_t* consumed = nullptr);
uint32_t parseUInt32(std::string_view text, int base = 10, size_t* consumed = nullptr);

// The C-locale white space set.
constexpr bool isCSpace(char32_t c) {
    return c == U' ' || (c >= U'\t' && c <= U'\r');
}

// Where a written number begins after its leading C-locale white space and an
// optional sign; `negative` tells whether that sign was '-'.
template <class Char>
constexpr size_t skipSpaceAndSign(std::basic_string_view<Char> text, bool& negative) {
    size_t i = 0;
    while (i < text.size() && isCSpace(char32_t(text[i])))
        ++i;
    negative = false;
    if (i < text.size()) {
        // Without a branch on which sign it is: typed numbers come with either.
        negative = text[i] == Char('-');
        i += size_t(negative | (text[i] == Char('+')));
    }
    return i;
}

// Float to integer without undefined behaviour: NaN gives 0, out-of-range
// values clamp to the limits, anything else truncates toward zero.
inline int32_t saturatingToInt32(double value) {
    if (value != value)
        return 0;
    if (value <= -2147483648.0)
        return INT32_MIN;
    if (value >= 2147483647.0)
        return INT32_MAX;
    return int32_t(value);
}
int64_t saturatingToInt64(double value);

// Below 0 gives 0, above 1 gives 1; anything else, a NaN too, passes unchanged.
constexpr float clampUnit(float value) {
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

} // namespace platform
