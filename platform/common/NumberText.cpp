#include "../NumberText.h"

#include <array>
#include <cmath>
#include <limits>

namespace platform {
namespace {

// The value of each ASCII character as a digit of base 36, 99 for the others.
constexpr std::array<uint8_t, 128> digitValues = [] {
    std::array<uint8_t, 128> values{};
    for (size_t c = 0; c < values.size(); ++c) {
        if (c >= '0' && c <= '9')
            values[c] = uint8_t(c - '0');
        else if (c >= 'a' && c <= 'z')
            values[c] = uint8_t(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z')
            values[c] = uint8_t(c - 'A' + 10);
        else
            values[c] = 99;
    }
    return values;
}();

// By table: digits and letters come mixed in base 16, and a test per range
// would be a branch that no prediction can follow.
int digitValue(char32_t c) {
    return c < digitValues.size() ? digitValues[c] : 99;
}

struct Scan {
    bool negative = false;
    bool overflow = false;
    uint32_t magnitude = 0;
    size_t consumed = 0; // 0 when no digit was read
};

// Reads sign, prefix and digits; magnitude saturates when overflow is set.
// `Base` is the base when the caller knows it (multiplying by 16 or 10 is
// quicker than by a number held), else 0 and `base` gives it.
template <int Base, class Char> Scan scanNumberIn(std::basic_string_view<Char> text, int base) {
    const uint64_t radix = Base ? uint64_t(Base) : uint64_t(base);
    Scan scan;
    size_t i = skipSpaceAndSign(text, scan.negative);
    if (radix == 16 && i + 1 < text.size() && text[i] == Char('0') &&
        (text[i + 1] == Char('x') || text[i + 1] == Char('X')) && i + 2 < text.size() &&
        digitValue(char32_t(text[i + 2])) < 16) {
        i += 2;
    }
    const auto isDigit = [&](size_t at) {
        return uint64_t(digitValue(char32_t(text[at]))) < radix;
    };
    const size_t firstDigit = i;
    uint64_t value = 0;
    for (; i < text.size() && isDigit(i); ++i) {
        value = value * radix + uint64_t(digitValue(char32_t(text[i])));
        if (value > 0xFFFFFFFFull) [[unlikely]] {
            // The rest of the digits only count as read.
            scan.overflow = true;
            for (++i; i < text.size() && isDigit(i);)
                ++i;
            break;
        }
    }
    if (i == firstDigit)
        return Scan{};
    scan.magnitude = scan.overflow ? 0xFFFFFFFFu : uint32_t(value);
    scan.consumed = i;
    return scan;
}

template <class Char> Scan scanNumber(std::basic_string_view<Char> text, int base) {
    if (base == 16)
        return scanNumberIn<16>(text, base);
    if (base == 10)
        return scanNumberIn<10>(text, base);
    if (base < 2 || base > 36)
        return Scan{};
    return scanNumberIn<0>(text, base);
}

template <class Char> int32_t toInt32(std::basic_string_view<Char> text, int base, size_t* used) {
    const Scan scan = scanNumber(text, base);
    if (used)
        *used = scan.consumed;
    if (scan.negative) {
        if (scan.overflow || scan.magnitude > 0x80000000u)
            return std::numeric_limits<int32_t>::min();
        return int32_t(-int64_t(scan.magnitude));
    }
    if (scan.overflow || scan.magnitude > 0x7FFFFFFFu)
        return std::numeric_limits<int32_t>::max();
    return int32_t(scan.magnitude);
}

template <class Char> uint32_t toUInt32(std::basic_string_view<Char> text, int base, size_t* used) {
    const Scan scan = scanNumber(text, base);
    if (used)
        *used = scan.consumed;
    if (scan.overflow)
        return 0xFFFFFFFFu;
    return scan.negative ? 0u - scan.magnitude : scan.magnitude;
}

} // namespace

int32_t parseInt32(std::u16string_view text, int base, size_t* consumed) {
    return toInt32(text, base, consumed);
}
int32_t parseInt32(std::string_view text, int base, size_t* consumed) {
    return toInt32(text, base, consumed);
}
uint32_t parseUInt32(std::u16string_view text, int base, size_t* consumed) {
    return toUInt32(text, base, consumed);
}
uint32_t parseUInt32(std::string_view text, int base, size_t* consumed) {
    return toUInt32(text, base, consumed);
}

int64_t saturatingToInt64(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (value <= -limit)
        return std::numeric_limits<int64_t>::min();
    if (value >= limit)
        return std::numeric_limits<int64_t>::max();
    return int64_t(value);
}

} // namespace platform
