// The fixed values, through the export: the value copied to output B and
// then output A on every report, and the lock that sets an output back.
#include "LibraryFixture.h"
#include "SentLog.h"

#include <limits>
#include <vector>

using namespace testhost;
using blackbox::Send;
using blackbox::sendsOf;

namespace {

using Sends = std::vector<Send>;

constexpr int32_t valuePin = 0, lockPin = 1, outA = 2, outB = 3;

// The default a fresh pin holds, the value under test and another one.
struct FixedType {
    const char16_t* moduleId;
    const char* name;
    Bytes none, value, other;
};

void PrintTo(const FixedType& t, std::ostream* os) {
    *os << t.name;
}

class FixedValueTest : public blackbox::LibraryTest {
protected:
    Sends report(GuiModule& module, int32_t pinId, const Bytes& bytes) {
        host.sent.clear();
        EXPECT_EQ(module.receive(pinId, bytes), ResultSuccess);
        EXPECT_EQ(module.changed(pinId), ResultSuccess);
        return sendsOf(host);
    }
};

class FixedValues : public FixedValueTest, public ::testing::WithParamInterface<FixedType> {};

TEST_P(FixedValues, CopyTheValueAndHoldTheOutputsWhenLocked) {
    const FixedType& t = GetParam();
    GuiModule fixed = make(t.moduleId);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(report(fixed, valuePin, t.value), (Sends{{outB, t.value}, {outA, t.value}}));
    // Unchanged outputs are not sent again.
    EXPECT_EQ(report(fixed, valuePin, t.value), Sends{});

    // Unlocked: the host may change an output; the next report of the value
    // sets it back.
    EXPECT_EQ(report(fixed, outA, t.other), Sends{});
    EXPECT_EQ(report(fixed, outB, t.other), Sends{});
    EXPECT_EQ(report(fixed, valuePin, t.value), (Sends{{outB, t.value}, {outA, t.value}}));
    EXPECT_EQ(report(fixed, outA, t.other), Sends{});
    EXPECT_EQ(report(fixed, valuePin, t.value), (Sends{{outA, t.value}}));

    // Turning the lock on restores nothing by itself.
    EXPECT_EQ(report(fixed, outB, t.other), Sends{});
    EXPECT_EQ(report(fixed, lockPin, bytesOf(true)), Sends{});
    // Locked: an output the host changes is sent back at once.
    EXPECT_EQ(report(fixed, outB, t.other), (Sends{{outB, t.value}}));
    EXPECT_EQ(report(fixed, outA, t.other), (Sends{{outA, t.value}}));
    EXPECT_EQ(report(fixed, outA, t.value), Sends{});

    // Unlocked again, as a 4-byte zero.
    EXPECT_EQ(report(fixed, lockPin, bytesOf(int32_t(0))), Sends{});
    EXPECT_EQ(report(fixed, outA, t.other), Sends{});
}

TEST_P(FixedValues, AFreshDefaultSendsNothing) {
    GuiModule fixed = make(GetParam().moduleId);
    EXPECT_EQ(report(fixed, valuePin, GetParam().none), Sends{});
}

TEST_P(FixedValues, WithoutHostSendNothing) {
    GuiModule fixed = make(GetParam().moduleId, false);
    EXPECT_EQ(report(fixed, valuePin, GetParam().value), Sends{});
    EXPECT_EQ(report(fixed, lockPin, bytesOf(true)), Sends{});
    EXPECT_EQ(report(fixed, outA, GetParam().other), Sends{});
}

INSTANTIATE_TEST_SUITE_P(
    Types, FixedValues,
    ::testing::Values(
        FixedType{u"Fixed_Int", "Int", bytesOf(0), bytesOf(5), bytesOf(7)},
        FixedType{u"Fixed_Float", "Float", bytesOf(0.0f), bytesOf(1.5f), bytesOf(-0.0f)},
        FixedType{u"Fixed_String", "String", Bytes{}, bytesOf(u"fixed"), bytesOf(u"fixes")},
        FixedType{u"Fixed_Bool", "Bool", bytesOf(false), bytesOf(true), bytesOf(false)}),
    [](const ::testing::TestParamInfo<FixedType>& info) { return std::string(info.param.name); });

using FixedFloat = FixedValueTest;

TEST_F(FixedFloat, ANanIsSentOnEveryReport) {
    GuiModule fixed = make(u"Fixed_Float");
    const Bytes nan = bytesOf(std::numeric_limits<float>::quiet_NaN());
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(report(fixed, valuePin, nan), (Sends{{outB, nan}, {outA, nan}}));
    report(fixed, lockPin, bytesOf(true));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(report(fixed, outA, nan), (Sends{{outA, nan}}));
        EXPECT_EQ(report(fixed, outB, bytesOf(1.0f)), (Sends{{outB, nan}}));
    }
}

TEST_F(FixedFloat, NegativeZeroEqualsZero) {
    GuiModule fixed = make(u"Fixed_Float");
    EXPECT_EQ(report(fixed, valuePin, bytesOf(-0.0f)), Sends{});
    report(fixed, lockPin, bytesOf(true));
    EXPECT_EQ(report(fixed, outA, bytesOf(0.0f)), Sends{});
}

} // namespace
