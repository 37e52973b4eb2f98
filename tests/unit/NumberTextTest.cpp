// The 32-bit number readers, the clamp to 0..1 and the saturating float to
// integer conversions: the same answers on both builds.
#include "platform/NumberText.h"
#include "tests/AsciiText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

struct SignedCase {
    const char16_t* text;
    int base;
    int32_t value;
    size_t consumed;
};

TEST(NumberText, ParseInt32) {
    const SignedCase cases[] = {
        {u"42", 10, 42, 2},
        {u"  \t\n\v\f\r-17x", 10, -17, 10},
        {u"+8", 10, 8, 2},
        {u"", 10, 0, 0},
        {u"abc", 10, 0, 0},
        {u"-", 10, 0, 0},
        {u" +", 10, 0, 0},
        {u"2147483647", 10, 2147483647, 10},
        {u"2147483648", 10, 2147483647, 10},
        {u"-2147483648", 10, -2147483647 - 1, 11},
        {u"-2147483649", 10, -2147483647 - 1, 11},
        {u"99999999999999999999", 10, 2147483647, 20},
        {u"12.5", 10, 12, 2},
        {u"\u00a0"
         u"5",
         10, 0, 0},            // no-break space is not C white space
        {u"\u0663", 10, 0, 0}, // Arabic-Indic digit three is not a digit here
        {u"0x1f", 10, 0, 1},   // the prefix only in base 16
        {u"0x1f", 16, 31, 4},
        {u"0X1F", 16, 31, 4},
        {u"1f", 16, 31, 2},
        {u"0xg", 16, 0, 1}, // "0" read, the x is not part of the number
        {u"-0x10", 16, -16, 5},
        {u"7fffffff", 16, 2147483647, 8},
        {u"80000000", 16, 2147483647, 8},
        {u"aBcD9", 16, 0xABCD9, 5},
        // A unit beyond ASCII is no digit, whatever its low byte (0x131, 0x146).
        {u"1\u0131", 10, 1, 1},
        {u"a\u0146", 16, 10, 1},
        {u"\uFF11", 16, 0, 0},
        // The other bases: letters up to the base's own, no prefix.
        {u"1012", 2, 5, 3},
        {u"777", 8, 511, 3},
        {u"zZ!", 36, 1295, 2},
        {u"0x10", 36, 42804, 4},
        {u"12", 1, 0, 0},
        {u"12", 37, 0, 0},
    };
    for (const SignedCase& c : cases) {
        size_t consumed = 99;
        EXPECT_EQ(platform::parseInt32(c.text, c.base, &consumed), c.value)
            << "text " << c.base << ":" << std::u16string(c.text).size();
        EXPECT_EQ(consumed, c.consumed) << "consumed, case value " << c.value;
    }
}

struct UnsignedCase {
    const char* text;
    uint32_t value;
};

TEST(NumberText, ParseUInt32Base16AsColourTextReadsIt) {
    const UnsignedCase cases[] = {
        {"FFFF8000", 0xFFFF8000u},
        {"ff8000", 0x00FF8000u},
        {"0x80ff0000", 0x80FF0000u},
        {"  12", 0x12u},
        {"#FF0000", 0u},
        {"", 0u},
        {"FFFFFFFF", 0xFFFFFFFFu},
        {"100000000", 0xFFFFFFFFu}, // beyond 32 bits clamps
        {"-1", 0xFFFFFFFFu},        // a minus sign negates modulo 2^32
        {"-10", 0xFFFFFFF0u},
        {"-100000000", 0xFFFFFFFFu}, // overflow clamps whatever the sign
        {"12G4", 0x12u},
    };
    for (const UnsignedCase& c : cases)
        EXPECT_EQ(platform::parseUInt32(c.text, 16), c.value) << c.text;
}

TEST(NumberText, ByteAndWideTextReadAlike) {
    for (const char* text : {"123", "-45", " 0x7f", "2147483648", "x", "1\x80", "\xB1"}) {
        const std::u16string wide = widenLatin1(text);
        size_t a = 0, b = 0;
        EXPECT_EQ(platform::parseInt32(text, 16, &a), platform::parseInt32(wide, 16, &b)) << text;
        EXPECT_EQ(a, b);
    }
}

TEST(NumberText, SaturatingToInt32) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(platform::saturatingToInt32(std::nan("")), 0);
    EXPECT_EQ(platform::saturatingToInt32(inf), 2147483647);
    EXPECT_EQ(platform::saturatingToInt32(-inf), -2147483647 - 1);
    EXPECT_EQ(platform::saturatingToInt32(1e300), 2147483647);
    EXPECT_EQ(platform::saturatingToInt32(-2.9), -2);
    EXPECT_EQ(platform::saturatingToInt32(2147483646.5), 2147483646);
}

TEST(NumberText, ClampUnitLetsANaNThrough) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(platform::clampUnit(-0.5f), 0.0f);
    EXPECT_EQ(platform::clampUnit(-inf), 0.0f);
    EXPECT_EQ(platform::clampUnit(0.25f), 0.25f);
    EXPECT_EQ(platform::clampUnit(1.5f), 1.0f);
    EXPECT_EQ(platform::clampUnit(inf), 1.0f);
    // Callers rely on a NaN arriving as a NaN (a pin that holds one keeps it).
    EXPECT_TRUE(std::isnan(platform::clampUnit(std::nanf(""))));
}

TEST(SaturatingToInt64, TruncatesTowardZeroAndClamps) {
    const struct {
        double value;
        int64_t expected;
    } cases[] = {
        {250.9, 250},
        {-0.9, 0},
        {-1.5, -1},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {0x1p63, INT64_MAX},
        {0x1p63 - 1024.0, INT64_MAX - 1023},
        {-0x1p63, INT64_MIN},
        {1e30, INT64_MAX},
        {-std::numeric_limits<double>::infinity(), INT64_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::saturatingToInt64(c.value), c.expected) << c.value;
}

} // namespace
