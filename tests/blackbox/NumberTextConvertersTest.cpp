// KZ_Float2TxtC and KZ_Int2TxtC through the export: exact texts and float bits.
#include "LibraryFixture.h"
#include "tests/AsciiText.h"

#include <climits>
#include <cmath>
#include <limits>

using namespace testhost;

namespace {

constexpr int32_t floatValue = 0, floatMinimum = 1, floatMaximum = 2, floatDecimals = 3,
                  floatText = 4;
constexpr int32_t intValue = 0, intMinimum = 1, intMaximum = 2, intText = 3;

class NumberTextConverters : public blackbox::LibraryTest {
protected:
    // What the module sent, pin by pin, as text for text pins and bits for the others.
    std::vector<std::pair<int32_t, std::string>> sends(int32_t textPin) const {
        std::vector<std::pair<int32_t, std::string>> out;
        for (const SentValue& value : host.sent) {
            if (value.pinId == textPin)
                out.emplace_back(value.pinId, narrowToAscii(value.asText()));
            else
                out.emplace_back(value.pinId, std::to_string(value.asInt()));
        }
        return out;
    }
    static std::string bitsOf(float value) { return std::to_string(int32_t(floatBits(value))); }
    static std::string textOfInt(int32_t value) { return std::to_string(value); }
};

using Sends = std::vector<std::pair<int32_t, std::string>>;

struct FormatCase {
    float value;
    int32_t decimals;
    const char* text;
};

// The examples of the formatting rule: decimals d give d + 1 significant
// digits for d > 0, else d as the precision (0 counts as 1, negative as 6).
constexpr FormatCase formatCases[] = {
    {3.14159f, -1, "3.14159"},
    {3.14159f, 0, "3"},
    {3.14159f, 1, "3.1"},
    {3.14159f, 2, "3.14"},
    {3.14159f, 3, "3.142"},
    {0.5f, -1, "0.5"},
    {0.5f, 0, "0.5"},
    {0.5f, 3, "0.5"},
    {12.5f, -1, "12.5"},
    {12.5f, 0, "1e+01"},
    {12.5f, 1, "12"},
    {12.5f, 2, "12.5"},
    {150.0f, 0, "2e+02"},
    {150.0f, 1, "1.5e+02"},
    {150.0f, 2, "150"},
    {1234.5f, -1, "1234.5"},
    {1234.5f, 0, "1e+03"},
    {1234.5f, 1, "1.2e+03"},
    {1234.5f, 2, "1.23e+03"},
    {1234.5f, 3, "1234"},
    {-7.25f, -1, "-7.25"},
    {-7.25f, 0, "-7"},
    {-7.25f, 1, "-7.2"},
    {-7.25f, 3, "-7.25"},
    {2.0f, 0, "2"},
    {2.0f, 3, "2"},
    {1000000.0f, -1, "1e+06"},
    {1000000.0f, 3, "1e+06"},
    {0.1f, 9, "0.1000000015"},
    {0.0001f, -1, "0.0001"},
    {0.00001f, -1, "1e-05"},
    // The precision is worked out in 64 bits and capped: the whole exact value.
    {0.1f, INT32_MAX, "0.100000001490116119384765625"},
    {0.1f, INT32_MIN, "0.1"},
    {std::numeric_limits<float>::infinity(), 2, "inf"},
    {-std::numeric_limits<float>::infinity(), 2, "-inf"},
};

TEST_F(NumberTextConverters, FloatFormatsWithSignificantDigitsFromTheDecimals) {
    for (const FormatCase& c : formatCases) {
        SCOPED_TRACE(std::to_string(c.value) + " decimals " + std::to_string(c.decimals));
        host.sent.clear();
        GuiModule module = make(u"KZ_Float2TxtC");
        module.receive(floatMinimum, bytesOf(-std::numeric_limits<float>::infinity()));
        module.receive(floatMaximum, bytesOf(std::numeric_limits<float>::infinity()));
        module.receive(floatDecimals, bytesOf(c.decimals));
        ASSERT_EQ(module.set(floatValue, c.value), ResultSuccess);
        EXPECT_EQ(sends(floatText), (Sends{{floatText, c.text}}));
    }
}

TEST_F(NumberTextConverters, FloatClampsTheShownValue) {
    GuiModule module = make(u"KZ_Float2TxtC");
    module.receive(floatMaximum, bytesOf(1000.0f));
    module.receive(floatDecimals, bytesOf(int32_t(2)));
    module.set(floatValue, 3.14159f);
    module.set(floatValue, 1234.5f);
    module.set(floatValue, -1.0f);
    EXPECT_EQ(sends(floatText),
              (Sends{{floatText, "3.14"}, {floatText, "1e+03"}, {floatText, "0"}}));
}

TEST_F(NumberTextConverters, FloatDefaultRangeShowsZeroButKeepsNegativeZeroAndNan) {
    GuiModule module = make(u"KZ_Float2TxtC");
    module.set(floatValue, 5.0f);
    module.set(floatValue, -0.0f);
    module.set(floatValue, std::numeric_limits<float>::quiet_NaN());
    module.set(floatValue, -std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(
        sends(floatText),
        (Sends{{floatText, "0"}, {floatText, "-0"}, {floatText, "nan"}, {floatText, "-nan"}}));
}

TEST_F(NumberTextConverters, FloatDecimalsReformatTheClampedValue) {
    GuiModule module = make(u"KZ_Float2TxtC");
    module.receive(floatMaximum, bytesOf(10.0f));
    module.receive(floatValue, bytesOf(3.14159f));
    module.set(floatDecimals, int32_t(0));
    module.set(floatDecimals, int32_t(3));
    module.set(floatDecimals, int32_t(3)); // the same text is not sent again
    EXPECT_EQ(sends(floatText), (Sends{{floatText, "3"}, {floatText, "3.142"}}));
}

TEST_F(NumberTextConverters, FloatTypedTextWithinRangeSetsTheValueAndStays) {
    GuiModule module = make(u"KZ_Float2TxtC");
    module.receive(floatMaximum, bytesOf(2.0f));
    module.set(floatText, std::u16string(u"1.75"));
    module.set(floatText, std::u16string(u"  1.75 volts"));
    module.set(floatText, std::u16string(u"0x1p-1"));
    EXPECT_EQ(sends(floatText), (Sends{{floatValue, bitsOf(1.75f)}, {floatValue, bitsOf(0.5f)}}));
}

TEST_F(NumberTextConverters, FloatTypedTextBeyondRangeSendsTheBoundThenItsText) {
    GuiModule module = make(u"KZ_Float2TxtC");
    module.receive(floatMaximum, bytesOf(2.0f));
    module.set(floatText, std::u16string(u"5"));
    // The value is already the maximum: only the text is rewritten.
    module.set(floatText, std::u16string(u"7e0"));
    module.set(floatText, std::u16string(u"-inf"));
    EXPECT_EQ(sends(floatText), (Sends{{floatValue, bitsOf(2.0f)},
                                       {floatText, "2"},
                                       {floatText, "2"},
                                       {floatValue, bitsOf(0.0f)},
                                       {floatText, "0"}}));
}

TEST_F(NumberTextConverters, FloatTypedNanIsSentOnEveryReportAndKeepsTheText) {
    GuiModule module = make(u"KZ_Float2TxtC");
    module.set(floatText, std::u16string(u"nan"));
    module.changed(floatText);
    module.set(floatText, std::u16string(u"-NAN"));
    ASSERT_EQ(host.sent.size(), 3u);
    for (const SentValue& value : host.sent)
        EXPECT_EQ(value.pinId, floatValue);
    EXPECT_EQ(floatBits(host.sent[0].asFloat()), 0x7FC00000u);
    EXPECT_EQ(floatBits(host.sent[2].asFloat()), 0xFFC00000u);
}

TEST_F(NumberTextConverters, FloatNanBoundsNeverClamp) {
    GuiModule module = make(u"KZ_Float2TxtC");
    module.receive(floatMinimum, bytesOf(std::numeric_limits<float>::quiet_NaN()));
    module.receive(floatMaximum, bytesOf(std::numeric_limits<float>::quiet_NaN()));
    module.set(floatText, std::u16string(u"-12.5"));
    module.set(floatValue, 1e30f);
    EXPECT_EQ(sends(floatText), (Sends{{floatValue, bitsOf(-12.5f)}, {floatText, "1e+30"}}));
}

TEST_F(NumberTextConverters, TextWithoutANumberOrBeyondTheTypeChangesNothing) {
    const std::u16string floatTexts[] = {u"",   u"-",    u"abc",   u" .e",
                                         u"#5", u"1e39", u"1e-40", u"\u00A05"};
    const std::u16string intTexts[] = {u"",           u"-",           u"abc",    u"+ 1",
                                       u"2147483648", u"-2147483649", u"\u20005"};
    GuiModule floats = make(u"KZ_Float2TxtC");
    floats.receive(floatMaximum, bytesOf(10.0f));
    floats.receive(floatValue, bytesOf(3.0f));
    for (const std::u16string& text : floatTexts)
        EXPECT_EQ(floats.set(floatText, text), ResultSuccess);
    GuiModule ints = make(u"KZ_Int2TxtC");
    ints.receive(intMaximum, bytesOf(int32_t(10)));
    ints.receive(intValue, bytesOf(int32_t(3)));
    for (const std::u16string& text : intTexts)
        EXPECT_EQ(ints.set(intText, text), ResultSuccess);
    EXPECT_TRUE(host.sent.empty());
    // The values stayed as they were.
    floats.changed(floatDecimals);
    ints.changed(intValue);
    ASSERT_EQ(host.sent.size(), 2u);
    EXPECT_EQ(host.sent[0].pinId, floatText);
    EXPECT_EQ(host.sent[0].asText(), u"3");
    EXPECT_EQ(host.sent[1].pinId, intText);
    EXPECT_EQ(host.sent[1].asText(), u"3");
}

TEST_F(NumberTextConverters, IntFreshModuleShowsZeroAndLeavesTheValue) {
    GuiModule module = make(u"KZ_Int2TxtC");
    module.set(intValue, int32_t(42));
    EXPECT_EQ(sends(intText), (Sends{{intText, "0"}}));
}

struct IntFormatCase {
    int32_t minimum, maximum, value;
    const char* text;
};

TEST_F(NumberTextConverters, IntClampsTheShownValueMinimumFirst) {
    constexpr IntFormatCase cases[] = {
        {0, 100, 150, "100"},
        {0, 100, -5, "0"},
        {0, 100, 42, "42"},
        {10, 0, 5, "10"},
        {10, 0, 20, "0"},
        {10, 0, 7, "10"},
        {10, 0, 10, "0"},
        {INT32_MIN, INT32_MAX, INT32_MIN, "-2147483648"},
        {INT32_MIN, INT32_MAX, INT32_MAX, "2147483647"},
    };
    for (const IntFormatCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum) + " " +
                     std::to_string(c.value));
        host.sent.clear();
        GuiModule module = make(u"KZ_Int2TxtC");
        module.receive(intMinimum, bytesOf(c.minimum));
        module.receive(intMaximum, bytesOf(c.maximum));
        module.set(intValue, c.value);
        EXPECT_EQ(sends(intText), (Sends{{intText, c.text}}));
    }
}

TEST_F(NumberTextConverters, IntTypedTextClampsValueFirstThenText) {
    GuiModule module = make(u"KZ_Int2TxtC");
    module.receive(intMaximum, bytesOf(int32_t(100)));
    module.set(intText, std::u16string(u"250"));
    module.set(intText, std::u16string(u"300")); // the value is 100 already
    module.set(intText, std::u16string(u" 42xyz"));
    module.set(intText, std::u16string(u"-7"));
    EXPECT_EQ(sends(intText), (Sends{{intValue, "100"},
                                     {intText, "100"},
                                     {intText, "100"},
                                     {intValue, "42"},
                                     {intValue, "0"},
                                     {intText, "0"}}));
}

TEST_F(NumberTextConverters, IntTypedTextWithReversedRange) {
    GuiModule module = make(u"KZ_Int2TxtC");
    module.receive(intMinimum, bytesOf(int32_t(10)));
    module.set(intText, std::u16string(u"5"));
    module.set(intText, std::u16string(u"20"));
    EXPECT_EQ(sends(intText),
              (Sends{{intValue, "10"}, {intText, "10"}, {intValue, "0"}, {intText, "0"}}));
}

TEST_F(NumberTextConverters, IntReadsTheWholeRange) {
    GuiModule module = make(u"KZ_Int2TxtC");
    module.receive(intMinimum, bytesOf(INT32_MIN));
    module.receive(intMaximum, bytesOf(INT32_MAX));
    module.set(intText, std::u16string(u"-2147483648"));
    module.set(intText, std::u16string(u"+2147483647"));
    EXPECT_EQ(sends(intText),
              (Sends{{intValue, textOfInt(INT32_MIN)}, {intValue, textOfInt(INT32_MAX)}}));
}

} // namespace
