// The splitters, through the export: what is forwarded where and in which
// order, the pins the host adds by index, and calls that the host makes back
// into a splitter from inside acceptPinValue.
#include "LibraryFixture.h"
#include "SentLog.h"
#include "tests/RegistrationTable.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <limits>
#include <map>
#include <vector>

using namespace testhost;
using blackbox::Send;
using blackbox::sendsOf;

namespace {

using Sends = std::vector<Send>;

// Int values sent, as (pin, value) pairs.
Sends ints(std::initializer_list<std::pair<int32_t, int32_t>> values) {
    Sends sends;
    for (const auto& [pin, value] : values)
        sends.push_back({pin, bytesOf(value)});
    return sends;
}

class Splitters : public blackbox::LibraryTest {
protected:
    // Makes pins 1..highest known by a delivery on `highest`, then forgets
    // what that sent.
    void know(GuiModule& splitter, int32_t highest) {
        splitter.receive(highest, bytesOf(int32_t(-1)));
        host.sent.clear();
    }
};

TEST_F(Splitters, ForwardToTheAddedPinsKnownSoFarBeforeStoring) {
    GuiModule splitter = make(u"SplitterInt");
    ASSERT_TRUE(splitter);
    EXPECT_EQ(splitter.receive(0, bytesOf(5)), ResultSuccess);
    EXPECT_EQ(sendsOf(host), Sends{});

    // An added pin: pin 0 first, then the other added pins below it.
    EXPECT_EQ(splitter.receive(3, bytesOf(7)), ResultFailure);
    EXPECT_EQ(sendsOf(host), ints({{0, 7}, {1, 7}, {2, 7}}));

    host.sent.clear();
    EXPECT_EQ(splitter.receive(0, bytesOf(9)), ResultSuccess);
    EXPECT_EQ(sendsOf(host), ints({{1, 9}, {2, 9}, {3, 9}}));

    // No change test: the same value goes out again in full.
    host.sent.clear();
    EXPECT_EQ(splitter.receive(0, bytesOf(9)), ResultSuccess);
    EXPECT_EQ(sendsOf(host), ints({{1, 9}, {2, 9}, {3, 9}}));
}

TEST_F(Splitters, AValueOnAnAddedPinReachesEveryOtherKnownPin) {
    GuiModule splitter = make(u"SplitterInt");
    splitter.receive(2, bytesOf(1));
    splitter.receive(5, bytesOf(2));
    host.sent.clear();
    EXPECT_EQ(splitter.receive(2, bytesOf(3)), ResultFailure);
    EXPECT_EQ(sendsOf(host), ints({{0, 3}, {1, 3}, {3, 3}, {4, 3}, {5, 3}}));
}

TEST_F(Splitters, ANegativeIndexIsRelayedToEveryKnownPinWithoutBeingKnown) {
    GuiModule splitter = make(u"SplitterInt");
    know(splitter, 2);
    for (const int32_t pin : {-1, INT_MIN}) {
        SCOPED_TRACE(pin);
        EXPECT_EQ(splitter.receive(pin, bytesOf(4)), ResultFailure);
        EXPECT_EQ(sendsOf(host), ints({{0, 4}, {1, 4}, {2, 4}}));
        host.sent.clear();
    }
    EXPECT_EQ(splitter.receive(0, bytesOf(6)), ResultSuccess);
    EXPECT_EQ(sendsOf(host), ints({{1, 6}, {2, 6}}));
}

TEST_F(Splitters, ChangeReportsFindNoHandler) {
    GuiModule splitter = make(u"SplitterFloat");
    know(splitter, 2);
    EXPECT_EQ(splitter.changed(0), ResultSuccess);
    EXPECT_EQ(splitter.changed(1), ResultFailure);
    EXPECT_EQ(splitter.changed(-1), ResultFailure);
    EXPECT_EQ(sendsOf(host), Sends{});
}

// Without a host (never attached, or a host without IGuiHost) a splitter
// forwards nothing and still answers as its base does.
TEST_F(Splitters, WithoutHostNothingIsForwarded) {
    for (const bool attach : {false, true}) {
        SCOPED_TRACE(attach ? "host without IGuiHost" : "never attached");
        host.offer(HostInterface::Gui, !attach);
        GuiModule splitter = make(u"SplitterText", attach);
        ASSERT_TRUE(splitter);
        EXPECT_EQ(splitter.attachResult, attach ? ResultUnsupported : ResultFailure);
        EXPECT_EQ(splitter.receive(3, bytesOf(u"ab")), ResultFailure);
        EXPECT_EQ(splitter.receive(0, bytesOf(u"cd")), ResultSuccess);
        EXPECT_EQ(splitter.receive(2, bytesOf(u"ef")), ResultFailure);
        EXPECT_EQ(splitter.changed(0), ResultSuccess);
        EXPECT_EQ(sendsOf(host), Sends{});
    }
    host.offer(HostInterface::Gui, true);
}

// The splitters never look at the value: every class forwards the size and
// the bytes exactly as delivered, whatever the size.
struct Payload {
    const char16_t* moduleId;
    const char* what;
    Bytes bytes;
};

void PrintTo(const Payload& p, std::ostream* os) {
    *os << narrowToAscii(p.moduleId) << ", " << p.what;
}

class SplitterPayloads : public Splitters, public ::testing::WithParamInterface<Payload> {};

TEST_P(SplitterPayloads, AreForwardedAsDelivered) {
    const Payload& p = GetParam();
    GuiModule splitter = make(p.moduleId);
    ASSERT_TRUE(splitter);
    know(splitter, 2);
    EXPECT_EQ(splitter.receive(0, p.bytes), ResultSuccess);
    EXPECT_EQ(splitter.receive(1, p.bytes), ResultFailure);
    EXPECT_EQ(splitter.receive(2, p.bytes), ResultFailure);
    EXPECT_EQ(
        sendsOf(host),
        (Sends{
            {1, p.bytes}, {2, p.bytes}, {0, p.bytes}, {2, p.bytes}, {0, p.bytes}, {1, p.bytes}}));
}

Bytes manyBytes() {
    Bytes bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 7);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Classes, SplitterPayloads,
    ::testing::Values(Payload{u"SplitterInt", "int", bytesOf(int32_t(-123456))},
                      Payload{u"SplitterInt", "two bytes", Bytes{0x34, 0x12}},
                      Payload{u"SplitterFloat", "negative zero", bytesOf(-0.0f)},
                      Payload{u"SplitterFloat", "nan",
                              bytesOf(std::numeric_limits<float>::quiet_NaN())},
                      Payload{u"SplitterText", "text", bytesOf(u"h\u00e9llo \u4e16")},
                      Payload{u"SplitterText", "empty text", Bytes{}},
                      Payload{u"SplitterText", "odd byte count", Bytes{'a', 0, 'b'}},
                      Payload{u"SplitterBool", "one byte", bytesOf(true)},
                      Payload{u"SplitterBool", "four bytes", bytesOf(int32_t(7))},
                      Payload{u"SplitterBool", "no bytes", Bytes{}},
                      Payload{u"SplitterBlob", "three bytes", Bytes{1, 2, 3}},
                      Payload{u"SplitterBlob", "empty", Bytes{}},
                      Payload{u"SplitterBlob", "a thousand bytes", manyBytes()}),
    [](const ::testing::TestParamInfo<Payload>& info) {
        std::string name = narrowToAscii(info.param.moduleId) + "_" + info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

// Calls that the host makes back into a splitter from inside acceptPinValue.
struct Nested {
    size_t atSend; // delivered when the host has received this many values (from 1)
    int32_t pinId;
    int32_t value;
    int32_t expectedResult;
};

struct NestingCase {
    const char* name;
    int32_t highestKnown;
    int32_t pinId;
    int32_t value;
    std::vector<Nested> nested;
    Sends expected;
};

void PrintTo(const NestingCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitterNesting : public Splitters, public ::testing::WithParamInterface<NestingCase> {
protected:
    void TearDown() override {
        host.onAccept = nullptr;
        splitter.reset();
        Splitters::TearDown();
    }

    GuiModule splitter = make(u"SplitterInt");
};

TEST_P(SplitterNesting, ForwardsInTheOrderOfTheCalls) {
    const NestingCase& c = GetParam();
    ASSERT_TRUE(splitter);
    know(splitter, c.highestKnown);

    std::map<size_t, Nested> plan;
    for (const Nested& n : c.nested)
        plan[n.atSend] = n;
    std::map<size_t, int32_t> results; // by the send that made the call
    host.onAccept = [&](const SentValue&) {
        const size_t position = host.sent.size();
        if (const auto it = plan.find(position); it != plan.end())
            results[position] = splitter.receive(it->second.pinId, bytesOf(it->second.value));
    };
    splitter.receive(c.pinId, bytesOf(c.value));
    EXPECT_EQ(sendsOf(host), c.expected);
    for (const Nested& n : c.nested) {
        ASSERT_TRUE(results.count(n.atSend)) << "no nested call at send " << n.atSend;
        EXPECT_EQ(results[n.atSend], n.expectedResult) << "nested call at send " << n.atSend;
    }

    // Both flags are down again: plain deliveries forward as usual.
    int32_t highest = std::max(c.highestKnown, c.pinId);
    for (const Nested& n : c.nested)
        highest = std::max(highest, n.pinId);
    host.onAccept = nullptr;
    host.sent.clear();
    splitter.receive(1, bytesOf(50));
    splitter.receive(0, bytesOf(60));
    Sends after = ints({{0, 50}});
    for (int32_t pin = 2; pin <= highest; ++pin)
        after.push_back({pin, bytesOf(50)});
    for (int32_t pin = 1; pin <= highest; ++pin)
        after.push_back({pin, bytesOf(60)});
    EXPECT_EQ(sendsOf(host), after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitterNesting,
    ::testing::Values(
        // An added pin while pin 0's value goes out: to the other added pins, not to pin 0.
        NestingCase{"AddedPinDuringBroadcast",
                    3,
                    0,
                    10,
                    {{1, 2, 20, ResultFailure}},
                    ints({{1, 10}, {1, 20}, {3, 20}, {2, 10}, {3, 10}})},
        // An added pin while an added pin's value is relayed: not forwarded at all.
        NestingCase{"AddedPinDuringRelay",
                    3,
                    2,
                    10,
                    {{2, 3, 20, ResultFailure}},
                    ints({{0, 10}, {1, 10}, {3, 10}})},
        // The copy to pin 0 goes out before the relay starts, so a value
        // delivered from inside it is relayed in full.
        NestingCase{"AddedPinDuringTheCopyToPinZero",
                    3,
                    2,
                    10,
                    {{1, 3, 20, ResultFailure}},
                    ints({{0, 10}, {0, 20}, {1, 20}, {2, 20}, {1, 10}, {3, 10}})},
        // Pin 0 is always forwarded to every known pin.
        NestingCase{"PinZeroDuringRelay",
                    3,
                    2,
                    10,
                    {{2, 0, 20, ResultSuccess}},
                    ints({{0, 10}, {1, 10}, {1, 20}, {2, 20}, {3, 20}, {3, 10}})},
        NestingCase{"PinZeroDuringBroadcast",
                    2,
                    0,
                    10,
                    {{1, 0, 20, ResultSuccess}},
                    ints({{1, 10}, {1, 20}, {2, 20}, {2, 10}})},
        // A nested call that makes a higher pin known lengthens the running loop.
        NestingCase{"HigherPinDuringBroadcast",
                    2,
                    0,
                    10,
                    {{1, 4, 20, ResultFailure}},
                    ints({{1, 10}, {1, 20}, {2, 20}, {3, 20}, {2, 10}, {3, 10}, {4, 10}})},
        NestingCase{"HigherPinDuringRelay",
                    2,
                    1,
                    10,
                    {{2, 5, 20, ResultFailure}},
                    ints({{0, 10}, {2, 10}, {3, 10}, {4, 10}, {5, 10}})},
        // A nested value on pin 0 leaves the outer broadcast running, so an
        // added pin delivered later in it still does not go to pin 0.
        NestingCase{"PinZeroThenAddedPinDuringBroadcast",
                    3,
                    0,
                    10,
                    {{1, 0, 20, ResultSuccess}, {5, 3, 30, ResultFailure}},
                    ints({{1, 10}, {1, 20}, {2, 20}, {3, 20}, {2, 10}, {1, 30}, {2, 30}, {3, 10}})},
        // Two levels deep: an added pin inside a broadcast inside a relay is
        // not forwarded, since the relay is still running.
        NestingCase{"AddedPinInsideBroadcastInsideRelay",
                    2,
                    1,
                    10,
                    {{2, 0, 20, ResultSuccess}, {3, 2, 30, ResultFailure}},
                    ints({{0, 10}, {2, 10}, {1, 20}, {2, 20}})}),
    [](const ::testing::TestParamInfo<NestingCase>& info) { return std::string(info.param.name); });

// A host object that only counts the values it receives.
class CountingHost final : public IGuiHost {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid != iidOf<gmpi::IMpUnknown>() && iid != iidOf<IGuiHost>())
            return ResultUnsupported;
        *out = this;
        addRef();
        return ResultSuccess;
    }
    int32_t addRef() override { return ++refs; }
    int32_t release() override { return --refs; }
    int32_t acceptPinValue(int32_t pinId, int32_t, const void*, int32_t) override {
        ++calls;
        lastPin = pinId;
        return ResultSuccess;
    }
    int32_t lookUpResource(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }
    int32_t openUriStream(const char*, IUriStream**) override { return ResultFailure; }
    int32_t enrolResourceName(const char*, const char*, gmpi::IString*) override {
        return ResultFailure;
    }

    int32_t refs = 0;
    int64_t calls = 0;
    int32_t lastPin = -1;
};

#ifdef __SANITIZE_ADDRESS__
constexpr bool underSanitizers = true;
#else
constexpr bool underSanitizers = false;
#endif

// The loop over the added pins ends after the largest index: 2^31 - 1 calls,
// a few seconds in an optimised build. The bound of the loop is tested on its
// own in the unit tests.
TEST_F(Splitters, ForwardUpToTheLargestIndex) {
    if (underSanitizers)
        GTEST_SKIP() << "too slow under the sanitizers";
    CountingHost counting;
    {
        void* out = nullptr;
        ASSERT_EQ(factory()->makeModuleWithoutHost(u"SplitterBool", Gui2Part, &out), ResultSuccess);
        gmpi_sdk::ComPtr<gmpi::IMpUserInterface2B> splitter(
            static_cast<gmpi::IMpUserInterface2B*>(static_cast<gmpi::IMpUnknown*>(out)));
        const uint8_t value = 1;
        // Not yet attached: the index becomes known, nothing is forwarded.
        EXPECT_EQ(splitter->receivePinValue(INT_MAX, 0, 1, &value), ResultFailure);
        ASSERT_EQ(splitter->attachHost(&counting), ResultSuccess);
        EXPECT_EQ(splitter->receivePinValue(0, 0, 1, &value), ResultSuccess);
        EXPECT_EQ(counting.calls, int64_t(INT_MAX));
        EXPECT_EQ(counting.lastPin, INT_MAX);
    }
    EXPECT_EQ(counting.refs, 0);
}

} // namespace
