// The four unit converters, through the export.
#include "LibraryFixture.h"

#include <cmath>
#include <limits>

using namespace testhost;

namespace {

struct Conversion {
    const char16_t* moduleId;
    int32_t inputPin;
    float input;
    float expected;
};

class UnitConverters : public blackbox::LibraryTest,
                       public ::testing::WithParamInterface<Conversion> {};

TEST_P(UnitConverters, SendsTheOtherQuantity) {
    const Conversion& c = GetParam();
    GuiModule module = make(c.moduleId);
    ASSERT_TRUE(module);
    // A stored output that differs from every expected value, so each result is sent.
    ASSERT_EQ(module.receive(1 - c.inputPin, bytesOf(123.0f)), ResultSuccess);
    ASSERT_EQ(module.set(c.inputPin, c.input), ResultSuccess);
    ASSERT_EQ(host.sent.size(), 1u);
    const SentValue& sent = host.sent[0];
    EXPECT_EQ(sent.pinId, 1 - c.inputPin);
    EXPECT_EQ(sent.voice, 0);
    EXPECT_EQ(sent.via, HostInterface::Gui);
    ASSERT_EQ(sent.bytes.size(), 4u);
    EXPECT_EQ(floatBits(sent.asFloat()), floatBits(c.expected))
        << "got " << sent.asFloat() << " expected " << c.expected;
}

constexpr float inf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Values, UnitConverters,
    ::testing::Values(
        Conversion{u"KZ_V2dB", 0, 10.0f, 0.0f}, Conversion{u"KZ_V2dB", 0, 1.0f, -20.0f},
        Conversion{u"KZ_V2dB", 0, 0.1f, -40.0f}, Conversion{u"KZ_V2dB", 0, 5.0f, -6.0206003f},
        Conversion{u"KZ_V2dB", 0, 20.0f, 6.0206003f}, Conversion{u"KZ_V2dB", 0, 0.0f, -inf},
        Conversion{u"KZ_V2dB", 1, 0.0f, 10.0f}, Conversion{u"KZ_V2dB", 1, -20.0f, 1.0f},
        Conversion{u"KZ_V2dB", 1, 20.0f, 100.0f}, Conversion{u"KZ_V2dB", 1, 6.0f, 19.952623f},
        Conversion{u"KZ_dB2V", 0, -20.0f, 1.0f}, Conversion{u"KZ_dB2V", 1, 1.0f, -20.0f},
        Conversion{u"KZ_Hz2Oct", 0, 440.0f, 5.0f}, Conversion{u"KZ_Hz2Oct", 0, 880.0f, 6.0f},
        Conversion{u"KZ_Hz2Oct", 0, 220.0f, 4.0f}, Conversion{u"KZ_Hz2Oct", 0, 0.0f, -inf},
        Conversion{u"KZ_Oct2Hz", 0, 5.0f, 440.0f}, Conversion{u"KZ_Oct2Hz", 0, 0.0f, 13.75f},
        Conversion{u"KZ_Oct2Hz", 0, 10.0f, 14080.0f}, Conversion{u"KZ_Oct2Hz", 0, 5.5f, 622.25397f},
        Conversion{u"KZ_Oct2Hz", 1, 880.0f, 6.0f}));

using UnitConverterEdges = blackbox::LibraryTest;

TEST_F(UnitConverterEdges, NegativeVoltsSendNanOnEveryChange) {
    GuiModule module = make(u"KZ_V2dB");
    module.set(0, -1.0f);
    module.set(0, -1.0f);
    ASSERT_EQ(host.sent.size(), 2u);
    EXPECT_TRUE(std::isnan(host.sent[0].asFloat()));
    EXPECT_TRUE(std::isnan(host.sent[1].asFloat()));
}

TEST_F(UnitConverterEdges, AnUnchangedResultIsNotSentAgain) {
    GuiModule module = make(u"KZ_V2dB");
    module.set(0, 5.0f);
    module.set(0, 5.0f);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].pinId, 1);
    EXPECT_EQ(floatBits(host.sent[0].asFloat()), floatBits(-6.0206003f));
    // The host echoes the decibels back: at float precision they convert to
    // 4.9999995 V, one step below the stored 5 V, so the volts are sent once.
    module.set(1, host.sent[0].asFloat());
    ASSERT_EQ(host.sent.size(), 2u);
    const SentValue& volts = host.sent[1];
    EXPECT_EQ(volts.pinId, 0);
    EXPECT_EQ(volts.voice, 0);
    EXPECT_EQ(volts.via, HostInterface::Gui);
    ASSERT_EQ(volts.bytes.size(), 4u);
    EXPECT_EQ(floatBits(volts.asFloat()), 0x409FFFFFu) << volts.asFloat();
}

TEST_F(UnitConverterEdges, UnknownPinsFail) {
    GuiModule module = make(u"KZ_Oct2Hz");
    EXPECT_EQ(module->onPinChanged(2, 0), ResultFailure);
    EXPECT_EQ(module->onPinChanged(-1, 0), ResultFailure);
    const float value = 1.0f;
    EXPECT_EQ(module->receivePinValue(2, 0, 4, &value), ResultFailure);
    EXPECT_TRUE(host.sent.empty());
}

} // namespace
