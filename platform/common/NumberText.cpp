#include "../NumberText.h"

#include <cmath>
#include <limits>

namespace platform {
namespace {

int digitValue(char32_t c) {
    if (c >= U'0' && c <= U'9')
        return int(c - U'0');
    if (c >= U'a' && c <= U'z')
        return int(c - U'a') + 10;
    if (c >= U'A' && c <= U'Z')
        return int(c - U'A') + 10;
    return 99;
}

struct Scan {
    bool negative = false;
    bool overflow = false;
    uint32_t magnitude = 0;
    size_t consumed = 0; // 0 when no digit was read
};

// Reads sign, prefix and digits; magnitude saturates when overflow is set.
template <class Char> Scan scanNumber(std::basic_string_view<Char> text, int base) {
    Scan scan;
    if (base < 2 || base > 36)
        return scan;
    size_t i = skipSpaceAndSign(text, scan.negative);
    if (base == 16 && i + 1 < text.size() && text[i] == Char('0') &&
        (text[i + 1] == Char('x') || text[i + 1] == Char('X')) && i + 2 < text.size() &&
        digitValue(char32_t(text[i + 2])) < 16) {
        i += 2;
    }
    const size_t firstDigit = i;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = digitValue(char32_t(text[i]));
        if (d >= base)
            break;
        if (!scan.overflow) {
            value = value * uint64_t(base) + uint64_t(d);
            if (value > 0xFFFFFFFFull)
                scan.overflow = true;
        }
    }
    if (i == firstDigit)
        return Scan{};
    scan.magnitude = scan.overflow ? 0xFFFFFFFFu : uint32_t(value);
    scan.consumed = i;
    return scan;
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
