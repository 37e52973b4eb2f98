// ARGB2Str through the export: channels to colour text and back, exact bits.
#include "LibraryFixture.h"

#include <cmath>
#include <cstdio>
#include <limits>

using namespace testhost;

namespace {

constexpr int32_t alphaPin = 0, textPin = 4;
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

using ColourText = blackbox::LibraryTest;

struct ChannelCase {
    float alpha, red, green, blue;
    const char16_t* text;
};

TEST_F(ColourText, ChannelsWriteEightLowerCaseDigits) {
    constexpr ChannelCase cases[] = {
        {1.0f, 0.5f, 0.0f, 1.5f, u"ff7f00ff"}, // 127.5 goes to 127; 1.5 clamps to 1
        {-0.2f, 0.001f, 0.999f, 1.0f, u"0000feff"},
        {0.1f, 0.2f, 0.7f, 0.9f, u"1933b2e5"},
        {nan, 1.0f, -nan, 0.0f, u"00ff0000"}, // a NaN channel writes "00"
        {-0.0f, 1e30f, -1e30f, std::numeric_limits<float>::infinity(), u"00ff00ff"},
        // Either side of the ends: just below 1, the smallest float above 0,
        // just above 1, and the float nearest 1/255, which comes back as 1.
        {0.99999994f, 1e-45f, 1.0000001f, 0.003921569f, u"fe00ff01"},
    };
    for (const ChannelCase& c : cases) {
        host.sent.clear();
        GuiModule module = make(u"ARGB2Str");
        module.receive(0, bytesOf(c.alpha));
        module.receive(1, bytesOf(c.red));
        module.receive(2, bytesOf(c.green));
        module.set(3, c.blue);
        ASSERT_EQ(host.sent.size(), 1u);
        EXPECT_EQ(host.sent[0].pinId, textPin);
        EXPECT_EQ(host.sent[0].asText(), c.text);
    }
}

TEST_F(ColourText, EveryChannelReportRewritesTheTextWhenItChanges) {
    GuiModule module = make(u"ARGB2Str");
    module.set(0, 1.0f);
    module.set(1, 1.0f);
    module.set(1, 1.0f);
    module.changed(2);
    ASSERT_EQ(host.sent.size(), 2u);
    EXPECT_EQ(host.sent[0].asText(), u"ff000000");
    EXPECT_EQ(host.sent[1].asText(), u"ffff0000");
}

struct TextCase {
    const char16_t* text;
    uint32_t alpha, red, green, blue; // float bits
};

// Each byte times the float nearest 1/255, not divided by 255: 3 and 127
// are bytes where the two differ in the last bit.
constexpr uint32_t zero = 0, one = 0x3F800000, b128 = 0x3F008081, b3 = 0x3C40C0C2,
                   b127 = 0x3EFEFF00, b16 = 0x3D808081;

TEST_F(ColourText, TextSetsTheChannelsByteTimesK) {
    constexpr TextCase cases[] = {
        {u"ff8000", zero, one, b128, zero}, // six digits: alpha 0
        {u"FF037F00", one, b3, b127, zero},
        {u"0x10", zero, zero, zero, b16},
        {u"  \t0X10zz", zero, zero, zero, b16},
        {u"#ff8000", zero, zero, zero, zero},
        {u"", zero, zero, zero, zero},
        {u"123456789", one, one, one, one},    // too many digits: all bits set
        {u"-1", one, one, one, one},           // a minus negates modulo 2^32
        {u"-0x7f", one, one, one, 0x3F018182}, // 0xffffff81
    };
    for (const TextCase& c : cases) {
        host.sent.clear();
        GuiModule module = make(u"ARGB2Str");
        module.set(textPin, std::u16string(c.text));
        const uint32_t expected[4] = {c.alpha, c.red, c.green, c.blue};
        // Sent in channel order, only where the new value differs from 0.
        size_t next = 0;
        for (int32_t pin = 0; pin < 4; ++pin) {
            if (expected[pin] == zero)
                continue;
            ASSERT_LT(next, host.sent.size()) << "pin " << pin;
            EXPECT_EQ(host.sent[next].pinId, pin);
            EXPECT_EQ(floatBits(host.sent[next].asFloat()), expected[pin]) << "pin " << pin;
            ++next;
        }
        EXPECT_EQ(host.sent.size(), next) << "the text is never sent";
    }
}

TEST_F(ColourText, UnreadableTextSetsEveryChannelToZero) {
    GuiModule module = make(u"ARGB2Str");
    module.set(textPin, std::u16string(u"80402010"));
    host.sent.clear();
    module.set(textPin, std::u16string(u"#80402010"));
    ASSERT_EQ(host.sent.size(), 4u);
    for (int32_t pin = 0; pin < 4; ++pin) {
        EXPECT_EQ(host.sent[size_t(pin)].pinId, pin);
        EXPECT_EQ(floatBits(host.sent[size_t(pin)].asFloat()), zero);
    }
}

TEST_F(ColourText, EveryByteComesBackAsTheSameDigits) {
    GuiModule module = make(u"ARGB2Str");
    // The host reports each channel the module sends back to it.
    host.onAccept = [&](const SentValue& value) {
        if (value.pinId != textPin)
            module.receive(value.pinId, value.bytes);
    };
    for (int b = 0; b < 256; ++b) {
        char upper[16], lower[16];
        const int c = 255 - b, d = b ^ 0x5A, e = (b * 7) & 255;
        std::snprintf(upper, sizeof upper, "%02X%02X%02X%02X", b, c, d, e);
        std::snprintf(lower, sizeof lower, "%02x%02x%02x%02x", b, c, d, e);
        module.set(textPin, std::u16string(upper, upper + 8));
        module.receive(textPin, bytesOf(u"")); // so that equal digits are sent too
        host.sent.clear();
        module.changed(alphaPin);
        ASSERT_EQ(host.sent.size(), 1u) << upper;
        EXPECT_EQ(host.sent[0].asText(), std::u16string(lower, lower + 8));
    }
}

} // namespace
