// The check valves, through the export: the copy from the source pin inside
// receivePinValue, the 32-bit int pins behind every type word, and a nested
// call from the host.
#include "LibraryFixture.h"
#include "SentLog.h"
#include "tests/RegistrationTable.h"

#include <cstring>
#include <vector>

using namespace testhost;
using blackbox::Send;
using blackbox::sendsOf;

namespace {

using Sends = std::vector<Send>;

struct Valve {
    const char16_t* moduleId;
    int32_t source;
    int32_t destination;
};

void PrintTo(const Valve& v, std::ostream* os) {
    *os << narrowToAscii(v.moduleId);
}

class CheckValves : public blackbox::LibraryTest, public ::testing::WithParamInterface<Valve> {};

TEST_P(CheckValves, CopyTheSourceToTheDestinationOnDelivery) {
    const Valve& v = GetParam();
    GuiModule valve = make(v.moduleId);
    ASSERT_TRUE(valve);

    // Sent before receivePinValue returns, without any change report.
    EXPECT_EQ(valve.receive(v.source, bytesOf(5)), ResultSuccess);
    EXPECT_EQ(sendsOf(host), (Sends{{v.destination, bytesOf(5)}}));

    host.sent.clear();
    EXPECT_EQ(valve.receive(v.source, bytesOf(5)), ResultSuccess);
    EXPECT_EQ(sendsOf(host), Sends{});

    // A value on the destination stays there and goes nowhere...
    EXPECT_EQ(valve.receive(v.destination, bytesOf(7)), ResultSuccess);
    EXPECT_EQ(valve.changed(v.destination), ResultSuccess);
    EXPECT_EQ(sendsOf(host), Sends{});
    // ...until the source is delivered again, even unchanged.
    EXPECT_EQ(valve.receive(v.source, bytesOf(5)), ResultSuccess);
    EXPECT_EQ(sendsOf(host), (Sends{{v.destination, bytesOf(5)}}));

    host.sent.clear();
    EXPECT_EQ(valve.changed(v.source), ResultSuccess);
    EXPECT_EQ(valve.receive(2, bytesOf(9)), ResultFailure);
    EXPECT_EQ(valve.receive(-1, bytesOf(9)), ResultFailure);
    EXPECT_EQ(valve.changed(2), ResultFailure);
    EXPECT_EQ(sendsOf(host), Sends{});
}

TEST_P(CheckValves, SendNothingForZeroOnAFreshValve) {
    GuiModule valve = make(GetParam().moduleId);
    EXPECT_EQ(valve.receive(GetParam().source, bytesOf(0)), ResultSuccess);
    EXPECT_EQ(sendsOf(host), Sends{});
}

// Both pins hold the value before it is sent, so a nested delivery of the
// same value from inside acceptPinValue finds them equal.
TEST_P(CheckValves, StoreBeforeSending) {
    const Valve& v = GetParam();
    GuiModule valve = make(v.moduleId);
    std::vector<int32_t> nestedResults;
    host.onAccept = [&](const SentValue&) {
        if (nestedResults.size() < 3)
            nestedResults.push_back(valve.receive(v.source, bytesOf(5)));
    };
    EXPECT_EQ(valve.receive(v.source, bytesOf(5)), ResultSuccess);
    host.onAccept = nullptr;
    EXPECT_EQ(sendsOf(host), (Sends{{v.destination, bytesOf(5)}}));
    EXPECT_EQ(nestedResults, std::vector<int32_t>{ResultSuccess});
}

TEST_P(CheckValves, WithoutHostSendNothingAndStillStore) {
    const Valve& v = GetParam();
    GuiModule valve = make(v.moduleId, false);
    EXPECT_EQ(valve.receive(v.source, bytesOf(5)), ResultSuccess);
    EXPECT_EQ(valve.receive(v.destination, bytesOf(6)), ResultSuccess);
    EXPECT_EQ(valve.receive(2, bytesOf(6)), ResultFailure);
    EXPECT_EQ(sendsOf(host), Sends{});
}

INSTANTIATE_TEST_SUITE_P(
    All, CheckValves,
    ::testing::Values(Valve{u"CheckValveLR_Bool", 0, 1}, Valve{u"CheckValveLR_Float", 0, 1},
                      Valve{u"CheckValveLR_Int", 0, 1}, Valve{u"CheckValveRL_Bool", 1, 0},
                      Valve{u"CheckValveRL_Float", 1, 0}, Valve{u"CheckValveRL_Int", 1, 0}),
    [](const ::testing::TestParamInfo<Valve>& info) { return narrowToAscii(info.param.moduleId); });

// The Float and Bool valves hold int pins too: deliveries land as the int
// pin stores them and go out as 4-byte integers compared as integers.
struct Delivery {
    Bytes bytes;
    Bytes expectedSend; // empty: nothing sent
};

struct IntImageCase {
    const char* name;
    const char16_t* moduleId;
    std::vector<Delivery> deliveries; // on pin 0, in turn
};

void PrintTo(const IntImageCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckValveIntImages : public blackbox::LibraryTest,
                            public ::testing::WithParamInterface<IntImageCase> {};

TEST_P(CheckValveIntImages, AreCopiedAsStored) {
    GuiModule valve = make(GetParam().moduleId);
    for (const Delivery& d : GetParam().deliveries) {
        host.sent.clear();
        EXPECT_EQ(valve.receive(0, d.bytes), ResultSuccess);
        if (d.expectedSend.empty())
            EXPECT_EQ(sendsOf(host), Sends{});
        else
            EXPECT_EQ(sendsOf(host), (Sends{{1, d.expectedSend}}));
    }
}

Bytes floatWithBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, 4);
    return bytesOf(value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckValveIntImages,
    ::testing::Values(
        // -0.0 has another integer image than 0.0; a NaN equal in bits is unchanged.
        IntImageCase{"FloatNegativeZeroAndNan",
                     u"CheckValveLR_Float",
                     {{bytesOf(-0.0f), bytesOf(int32_t(0x80000000u))},
                      {bytesOf(-0.0f), {}},
                      {floatWithBits(0x7FC00001), bytesOf(int32_t(0x7FC00001))},
                      {floatWithBits(0x7FC00001), {}},
                      {floatWithBits(0x7FC00002), bytesOf(int32_t(0x7FC00002))},
                      {bytesOf(1.5f), floatWithBits(0x3FC00000)}}},
        // A 1-byte bool replaces only the low byte of the stored integer.
        IntImageCase{"BoolAsOneByte",
                     u"CheckValveLR_Bool",
                     {{Bytes{1}, bytesOf(int32_t(1))},
                      {Bytes{0}, bytesOf(int32_t(0))},
                      {bytesOf(int32_t(0x12345678)), bytesOf(int32_t(0x12345678))},
                      {Bytes{0}, bytesOf(int32_t(0x12345600))},
                      {Bytes{0}, {}}}},
        IntImageCase{"IntTwoBytes",
                     u"CheckValveLR_Int",
                     {{bytesOf(int32_t(-1)), bytesOf(int32_t(-1))},
                      {Bytes{0x34, 0x12}, bytesOf(int32_t(0xFFFF1234u))}}}),
    [](const ::testing::TestParamInfo<IntImageCase>& info) {
        return std::string(info.param.name);
    });

} // namespace
