// The classic-locale number reading and writing: what stof / stoi accept and
// refuse, and printf's "%.*g" / "%d", the same on both builds.
#include "platform/ClassicNumbers.h"

#include "host/PinBytes.h"
#include "tests/AsciiText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

using platform::NumberReading;

namespace {

struct FloatCase {
    const char16_t* text;
    NumberReading expected;
    uint32_t bits; // when read
};

constexpr FloatCase floatCases[] = {
    // Decimal text; whatever follows the number is ignored.
    {u"12abc", NumberReading::Read, 0x41400000},
    {u" 42xyz", NumberReading::Read, 0x42280000},
    {u"\t\n\v\f\r 3", NumberReading::Read, 0x40400000},
    {u"1.75", NumberReading::Read, 0x3FE00000},
    {u"-7.25", NumberReading::Read, 0xC0E80000},
    {u"+.5e", NumberReading::Read, 0x3F000000},
    {u"5.", NumberReading::Read, 0x40A00000},
    {u"1e3", NumberReading::Read, 0x447A0000},
    {u"1E+3x", NumberReading::Read, 0x447A0000},
    {u"1e-3", NumberReading::Read, 0x3A83126F},
    {u"1,5", NumberReading::Read, 0x3F800000},
    {u"-0", NumberReading::Read, 0x80000000},
    {u"0e99999", NumberReading::Read, 0x00000000},
    {u"0.000e-99999", NumberReading::Read, 0x00000000},
    {u"99999999999999999999", NumberReading::Read, 0x60AD78EC},
    {u"3.4028235e38", NumberReading::Read, 0x7F7FFFFF},
    {u"1.17549435e-38", NumberReading::Read, 0x00800000},
    // Just below the smallest normal float, rounding up to it: read, as on Windows.
    {u"1.1754943e-38", NumberReading::Read, 0x00800000},
    {u"0x1.fffffep-127", NumberReading::Read, 0x00800000},
    // Hexadecimal floating point; "0x" without a digit is the number 0.
    {u"0x1.8p3", NumberReading::Read, 0x41400000},
    {u"0X1P-2", NumberReading::Read, 0x3E800000},
    {u"0x.8", NumberReading::Read, 0x3F000000},
    {u"0x1p", NumberReading::Read, 0x3F800000},
    {u"0x1.p+-1", NumberReading::Read, 0x3F800000}, // an exponent takes one sign
    {u"1e+-5", NumberReading::Read, 0x3F800000},
    {u"0x", NumberReading::Read, 0x00000000},
    {u"0x.", NumberReading::Read, 0x00000000},
    {u"0xg", NumberReading::Read, 0x00000000},
    {u"-0x", NumberReading::Read, 0x80000000},
    // The words, in any letter case; NaN is the quiet NaN with the sign.
    {u"inf", NumberReading::Read, 0x7F800000},
    {u"-Infinity", NumberReading::Read, 0xFF800000},
    {u"INFINIT", NumberReading::Read, 0x7F800000},
    {u"nan", NumberReading::Read, 0x7FC00000},
    {u"-NaN", NumberReading::Read, 0xFFC00000},
    {u"nan(123)", NumberReading::Read, 0x7FC00000},
    // Subnormals are read when they are exact.
    {u"0x1p-149", NumberReading::Read, 0x00000001},
    {u"0x0.8p-148", NumberReading::Read, 0x00000001},
    {u"1."
     u"40129846432481707092372958328991613128026194187651577175706828388979108268586060148663818836"
     u"212158203125e-45",
     NumberReading::Read, 0x00000001},
    {u"0."
     u"00000280259692864963414184745916657983226256052388375303154351413656777958216537172120297327"
     u"63767242431640625e-39",
     NumberReading::Read, 0x00000002},
    // Beyond the float range: overflow, underflow to zero or to an inexact subnormal.
    {u"1."
     u"40129846432481707092372958328991613128026194187651577175706828388979108268586060148663818836"
     u"2121582031251e-45",
     NumberReading::OutOfRange, 0},
    {u"1e-40", NumberReading::OutOfRange, 0},
    {u"1e-45", NumberReading::OutOfRange, 0},
    {u"-1e-38", NumberReading::OutOfRange, 0},
    {u"1e-99999", NumberReading::OutOfRange, 0},
    {u"0x1p-150", NumberReading::OutOfRange, 0},
    {u"0x1.8p-149", NumberReading::OutOfRange, 0},
    {u"0x1.2p-147", NumberReading::OutOfRange, 0},
    {u"3.4028236e38", NumberReading::OutOfRange, 0},
    {u"-1e39", NumberReading::OutOfRange, 0},
    {u"1e400", NumberReading::OutOfRange, 0},
    {u"0x1p128", NumberReading::OutOfRange, 0},
    {u"0x1.fffffffp127", NumberReading::OutOfRange, 0},
    // Numbers written with more characters than fit a short buffer.
    {u"1.00000000000000000000000000000000000000000000000000000000000000000000000001x",
     NumberReading::Read, 0x3F800000},
    {u"0.00000000000000000000000000000000000000000000000000000000000000000000000025e72",
     NumberReading::Read, 0x3E800000},
    {u"000000000000000000000000000000000000000000000000000000000000000000000000000000",
     NumberReading::Read, 0x00000000},
    {u"0x000000000000000000000000000000000000000000000000000000000000000000000000001p-2",
     NumberReading::Read, 0x3E800000},
    {u"0.00000000000000000000000000000000000000000000000000000000000000000000000001",
     NumberReading::OutOfRange, 0},
    // 64 units exactly, then numbers that go on past the 64th unit.
    {u"1.00000000000000000000000000000000000000000000000000000000000005", NumberReading::Read,
     0x3F800000},
    {u"0.000000000000000000000000000000000000000000000000000000000000001e70", NumberReading::Read,
     0x4B189680},
    {u"1000000000000000000000000000000000000000000000000000000000000000e-60", NumberReading::Read,
     0x447A0000},
    // A unit beyond ASCII ends the number, whatever its low byte (0x131, 0x165).
    {u"1\u0131", NumberReading::Read, 0x3F800000},
    {u"2.5\u0165", NumberReading::Read, 0x40200000},
    {u"1e\u0132", NumberReading::Read, 0x3F800000},
    // No number at the start.
    {u"", NumberReading::NoNumber, 0},
    {u"   ", NumberReading::NoNumber, 0},
    {u"-", NumberReading::NoNumber, 0},
    {u"+", NumberReading::NoNumber, 0},
    {u".", NumberReading::NoNumber, 0},
    {u"abc", NumberReading::NoNumber, 0},
    {u"e5", NumberReading::NoNumber, 0},
    {u"-.e1", NumberReading::NoNumber, 0},
    {u"- 1", NumberReading::NoNumber, 0},
    {u"--1", NumberReading::NoNumber, 0},
    {u"+-1", NumberReading::NoNumber, 0},
    {u"-+1", NumberReading::NoNumber, 0},
    {u"\u01311", NumberReading::NoNumber, 0},
    {u"in", NumberReading::NoNumber, 0},
    {u"#1", NumberReading::NoNumber, 0},
    {u"\u00A042", NumberReading::NoNumber, 0}, // no-break space is not C white space
    {u"\u200042", NumberReading::NoNumber, 0}, // nor is the en quad
    {u"\u0661", NumberReading::NoNumber, 0},   // only ASCII digits count
    {u"\uFF11", NumberReading::NoNumber, 0},
};

TEST(ReadFloat, AcceptsAndRefusesAsStof) {
    for (const FloatCase& c : floatCases) {
        SCOPED_TRACE(narrowToAscii(c.text));
        float value = 123.0f;
        ASSERT_EQ(platform::readFloat(c.text, value), c.expected);
        if (c.expected == NumberReading::Read)
            EXPECT_EQ(testhost::floatBits(value), c.bits);
        else
            EXPECT_EQ(value, 123.0f) << "written although not read";
    }
}

TEST(ReadFloat, ReadsShortestFloatTextBack) {
    // Every 4097th normal float round-trips bit for bit. (The shortest text of
    // a subnormal is inexact, so it reads as out of range.)
    for (uint64_t bits = 0x00800000u; bits < 0x7F800000u; bits += 4097) {
        float f;
        const auto b = uint32_t(bits);
        std::memcpy(&f, &b, 4);
        char buffer[64];
        const auto out = std::to_chars(buffer, buffer + sizeof buffer, f);
        std::u16string text(buffer, out.ptr);
        float back = 0.0f;
        ASSERT_EQ(platform::readFloat(text, back), NumberReading::Read) << narrowToAscii(text);
        ASSERT_EQ(testhost::floatBits(back), b) << narrowToAscii(text);
    }
}

struct IntCase {
    const char16_t* text;
    NumberReading expected;
    int32_t value;
};

constexpr IntCase intCases[] = {
    {u"42", NumberReading::Read, 42},
    {u" 42xyz", NumberReading::Read, 42},
    {u"\t+7", NumberReading::Read, 7},
    {u"007", NumberReading::Read, 7},
    {u"-0", NumberReading::Read, 0},
    {u"12.9", NumberReading::Read, 12},
    {u"1e3", NumberReading::Read, 1},
    {u"0x12", NumberReading::Read, 0},
    {u"2147483647", NumberReading::Read, INT32_MAX},
    {u"-2147483648", NumberReading::Read, INT32_MIN},
    {u"000000000000000000002147483647", NumberReading::Read, INT32_MAX},
    {u"2147483648", NumberReading::OutOfRange, 0},
    {u"-2147483649", NumberReading::OutOfRange, 0},
    {u"4294967296", NumberReading::OutOfRange, 0},
    {u"21474836470", NumberReading::OutOfRange, 0},
    {u"-21474836480x", NumberReading::OutOfRange, 0},
    {u"1\u0131", NumberReading::Read, 1},
    {u"99999999999999999999999", NumberReading::OutOfRange, 0},
    {u"", NumberReading::NoNumber, 0},
    {u"-", NumberReading::NoNumber, 0},
    {u"+", NumberReading::NoNumber, 0},
    {u" - 1", NumberReading::NoNumber, 0},
    {u"abc", NumberReading::NoNumber, 0},
    {u".5", NumberReading::NoNumber, 0},
    {u"\u200042", NumberReading::NoNumber, 0},
    {u"\u0661\u0662", NumberReading::NoNumber, 0},
};

TEST(ReadInt32, AcceptsAndRefusesAsStoi) {
    for (const IntCase& c : intCases) {
        SCOPED_TRACE(narrowToAscii(c.text));
        int32_t value = 123;
        ASSERT_EQ(platform::readInt32(c.text, value), c.expected);
        EXPECT_EQ(value, c.expected == NumberReading::Read ? c.value : 123);
    }
}

struct FormatCase {
    double value;
    int precision;
    const char16_t* expected;
};

const FormatCase formatCases[] = {
    {double(3.14159f), -1, u"3.14159"},
    {double(3.14159f), 0, u"3"},
    {double(3.14159f), 4, u"3.142"},
    {12.5, 1, u"1e+01"},
    {12.5, 2, u"12"}, // an exact half goes to the even digit
    {150.0, 1, u"2e+02"},
    {150.0, 2, u"1.5e+02"},
    {1234.5, 3, u"1.23e+03"},
    {1234.5, 4, u"1234"},
    {-7.25, 2, u"-7.2"},
    {2.5, 1, u"2"},
    {3.5, 1, u"4"},
    {0.375, 2, u"0.38"},
    {0.5, 4, u"0.5"}, // trailing zeros dropped, and the point with them
    {2.0, 4, u"2"},
    {1000000.0, 6, u"1e+06"},
    {123456.0, 6, u"123456"},
    {1234567.0, 6, u"1.23457e+06"},
    {0.0001, 6, u"0.0001"},
    {0.00001, 6, u"1e-05"},
    {1e100, 6, u"1e+100"},
    {double(0.1f), 10, u"0.1000000015"},
    {0.0, 6, u"0"},
    {-0.0, 6, u"-0"},
    {double(16777216.0f), 150, u"16777216"},
    // The whole exact value, and no more at any larger precision.
    {0x1p-149, 150,
     u"1."
     u"40129846432481707092372958328991613128026194187651577175706828388979108268586060148663818836"
     u"212158203125e-45"},
    {0x1p-149, INT_MAX,
     u"1."
     u"40129846432481707092372958328991613128026194187651577175706828388979108268586060148663818836"
     u"212158203125e-45"},
    {double(std::numeric_limits<float>::max()), 150, u"340282346638528859811704183484516925440"},
    // Written by hand, with the sign bit.
    {std::numeric_limits<double>::infinity(), 6, u"inf"},
    {-std::numeric_limits<double>::infinity(), 3, u"-inf"},
    {std::numeric_limits<double>::quiet_NaN(), 6, u"nan"},
    {-std::numeric_limits<double>::quiet_NaN(), 6, u"-nan"},
};

TEST(FormatGeneral, WritesAsPrintfG) {
    for (const FormatCase& c : formatCases) {
        SCOPED_TRACE(c.precision);
        EXPECT_EQ(narrowToAscii(platform::formatGeneral(c.value, c.precision)),
                  narrowToAscii(c.expected));
    }
}

TEST(ClassicNumbers, IgnoreTheProcessLocale) {
    // A locale with "," as its point changes what the C runtime writes and reads.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "German"))
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    const std::u16string written = platform::formatGeneral(1234.5, 6);
    float value = 0.0f;
    const NumberReading read = platform::readFloat(u"2.5", value);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(narrowToAscii(written), "1234.5");
    EXPECT_EQ(read, NumberReading::Read);
    EXPECT_EQ(value, 2.5f);
}

TEST(FormatInt32, WritesAsPrintfD) {
    EXPECT_EQ(narrowToAscii(platform::formatInt32(0)), "0");
    EXPECT_EQ(narrowToAscii(platform::formatInt32(-1)), "-1");
    EXPECT_EQ(narrowToAscii(platform::formatInt32(100)), "100");
    EXPECT_EQ(narrowToAscii(platform::formatInt32(INT32_MAX)), "2147483647");
    EXPECT_EQ(narrowToAscii(platform::formatInt32(INT32_MIN)), "-2147483648");
}

// Every length of number, both signs, and the values either side of each
// power of ten, as printf writes them.
TEST(FormatInt32, EveryLengthAndEveryDigitPairAsPrintfD) {
    std::vector<int32_t> values = {0, INT32_MAX, INT32_MIN, INT32_MIN + 1};
    for (int64_t power = 1; power <= 1'000'000'000; power *= 10)
        for (const int64_t near : {power - 1, power, power + 1, 2 * power - 1, 5 * power})
            if (near <= INT32_MAX) {
                values.push_back(int32_t(near));
                values.push_back(int32_t(-near));
            }
    for (int64_t pair = 0; pair < 100; ++pair) // each pair of digits in each place
        for (const int64_t place : {1, 100, 10'000, 1'000'000, 100'000'000})
            if (const int64_t value = pair * place + 7 * (place / 100); value <= INT32_MAX)
                values.push_back(int32_t(value));
    for (const int32_t value : values) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "%d", value);
        EXPECT_EQ(narrowToAscii(platform::Int32Text(value).view()), expected);
        EXPECT_EQ(narrowToAscii(platform::formatInt32(value)), expected);
    }
}

} // namespace
