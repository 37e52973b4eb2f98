// The triggers and the two-stage triggers, through the export: sampling on
// every report of a trigger pin that holds true, the order of the latch and
// the output, and the change test of each value type.
#include "LibraryFixture.h"
#include "SentLog.h"

#include <cstring>
#include <limits>
#include <vector>

using namespace testhost;
using blackbox::Send;
using blackbox::sendsOf;

namespace {

using Sends = std::vector<Send>;

// Values of one type: the default a fresh pin holds, two others for the
// input, and one that the host stores in an output from outside.
struct TypeValues {
    const char* name;
    const char16_t* triggerId;
    const char16_t* twoStageId;
    Bytes none, a, b, outside;
};

void PrintTo(const TypeValues& t, std::ostream* os) {
    *os << t.name;
}

const TypeValues typeValues[] = {
    {"Int", u"TriggerInt", u"KZ_TriggerInt2", bytesOf(0), bytesOf(5), bytesOf(6), bytesOf(9)},
    {"Float", u"TriggerFloat", u"KZ_TriggerFloat2", bytesOf(0.0f), bytesOf(1.5f), bytesOf(-2.25f),
     bytesOf(3.0f)},
    {"String", u"TriggerString", u"KZ_TriggerString2", Bytes{}, bytesOf(u"ab"), bytesOf(u"abc"),
     bytesOf(u"x\u00e9z")},
    {"Bool", u"TriggerBool", u"KZ_TriggerBool2", bytesOf(false), bytesOf(true), bytesOf(false),
     bytesOf(false)},
    {"Blob", u"TriggerBlob", u"KZ_TriggerBlob2", Bytes{}, Bytes{1, 2, 3}, Bytes{1, 2, 4},
     Bytes{1, 2}},
};

std::string typeName(const ::testing::TestParamInfo<TypeValues>& info) {
    return info.param.name;
}

class TriggerTest : public blackbox::LibraryTest {
protected:
    // The host sets a pin and reports it; returns what the module sent meanwhile.
    Sends report(GuiModule& module, int32_t pinId, const Bytes& bytes) {
        host.sent.clear();
        EXPECT_EQ(module.receive(pinId, bytes), ResultSuccess);
        EXPECT_EQ(module.changed(pinId), ResultSuccess);
        return sendsOf(host);
    }
    // The host sets a pin without reporting it.
    void store(GuiModule& module, int32_t pinId, const Bytes& bytes) {
        EXPECT_EQ(module.receive(pinId, bytes), ResultSuccess);
    }

    const Bytes on = bytesOf(true);
    const Bytes off = bytesOf(false);
};

class Triggers : public TriggerTest, public ::testing::WithParamInterface<TypeValues> {
protected:
    static constexpr int32_t output = 0, input = 1, triggerA = 2, triggerB = 3;
};

TEST_P(Triggers, SampleTheInputOnEveryReportOfTrue) {
    const TypeValues& t = GetParam();
    GuiModule trigger = make(t.triggerId);
    ASSERT_TRUE(trigger);
    // Both pins hold the default: nothing to send.
    EXPECT_EQ(report(trigger, triggerA, on), Sends{});

    EXPECT_EQ(report(trigger, input, t.a), Sends{});
    EXPECT_EQ(report(trigger, triggerA, on), (Sends{{output, t.a}}));
    EXPECT_EQ(report(trigger, triggerB, on), Sends{});

    // A new input waits for the next report of true; pin 2 was true already.
    EXPECT_EQ(report(trigger, input, t.b), Sends{});
    EXPECT_EQ(report(trigger, triggerA, on), (Sends{{output, t.b}}));

    // Reports of false never send.
    EXPECT_EQ(report(trigger, input, t.a), Sends{});
    EXPECT_EQ(report(trigger, triggerA, off), Sends{});
    EXPECT_EQ(report(trigger, triggerB, off), Sends{});

    // A value stored in the output from outside stays until the next copy
    // that finds the input different from it.
    store(trigger, output, t.a);
    EXPECT_EQ(report(trigger, triggerB, on), Sends{});
    store(trigger, output, t.outside);
    EXPECT_EQ(report(trigger, triggerB, on), (Sends{{output, t.a}}));

    // A trigger delivered as a 4-byte integer counts as true when non-zero.
    store(trigger, output, t.outside);
    EXPECT_EQ(report(trigger, triggerA, bytesOf(int32_t(0x100))), (Sends{{output, t.a}}));
}

INSTANTIATE_TEST_SUITE_P(Types, Triggers, ::testing::ValuesIn(typeValues), typeName);

class TwoStageTriggers : public TriggerTest, public ::testing::WithParamInterface<TypeValues> {
protected:
    static constexpr int32_t input = 0, output = 1, triggerA = 2, triggerB = 3, latch = 4;
};

TEST_P(TwoStageTriggers, PassTheInputThroughTheLatch) {
    const TypeValues& t = GetParam();
    GuiModule trigger = make(t.twoStageId);
    ASSERT_TRUE(trigger);
    EXPECT_EQ(report(trigger, triggerB, on), Sends{});

    EXPECT_EQ(report(trigger, input, t.a), Sends{});
    EXPECT_EQ(report(trigger, triggerA, on), (Sends{{latch, t.a}, {output, t.a}}));
    EXPECT_EQ(report(trigger, triggerB, on), Sends{});

    EXPECT_EQ(report(trigger, input, t.b), Sends{});
    EXPECT_EQ(report(trigger, triggerB, on), (Sends{{latch, t.b}, {output, t.b}}));

    EXPECT_EQ(report(trigger, input, t.a), Sends{});
    EXPECT_EQ(report(trigger, triggerA, off), Sends{});
    EXPECT_EQ(report(trigger, triggerB, off), Sends{});
    EXPECT_EQ(report(trigger, triggerA, on), (Sends{{latch, t.a}, {output, t.a}}));

    // Values stored from outside: each stage sends only where it differs.
    EXPECT_EQ(report(trigger, latch, t.outside), Sends{});
    EXPECT_EQ(report(trigger, triggerA, on), (Sends{{latch, t.a}}));
    EXPECT_EQ(report(trigger, output, t.outside), Sends{});
    EXPECT_EQ(report(trigger, triggerA, on), (Sends{{output, t.a}}));

    store(trigger, latch, t.outside);
    store(trigger, output, t.outside);
    EXPECT_EQ(report(trigger, triggerB, bytesOf(int32_t(-1))),
              (Sends{{latch, t.a}, {output, t.a}}));
}

INSTANTIATE_TEST_SUITE_P(Types, TwoStageTriggers, ::testing::ValuesIn(typeValues), typeName);

// Change tests of particular types, for both families.
struct Family {
    const char* name;
    int32_t input;
    std::vector<int32_t> sends; // the pins a sample sends, in order
};

void PrintTo(const Family& f, std::ostream* os) {
    *os << f.name;
}

class TriggerTypes : public TriggerTest, public ::testing::WithParamInterface<Family> {
protected:
    std::u16string id(const char* type) const {
        const std::string name = GetParam().name;
        const std::string t = type;
        std::u16string out = name == "Trigger" ? u"Trigger" : u"KZ_Trigger";
        out.append(t.begin(), t.end());
        if (name != "Trigger")
            out += u"2";
        return out;
    }
    Sends sample(const Bytes& bytes) const {
        Sends sends;
        for (const int32_t pin : GetParam().sends)
            sends.push_back({pin, bytes});
        return sends;
    }
};

TEST_P(TriggerTypes, ANanIsSentOnEveryReportAndNegativeZeroEqualsZero) {
    GuiModule trigger = make(id("Float"));
    const Bytes nan = bytesOf(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(report(trigger, GetParam().input, nan), Sends{});
    EXPECT_EQ(report(trigger, 2, on), sample(nan));
    EXPECT_EQ(report(trigger, 3, on), sample(nan));
    EXPECT_EQ(report(trigger, 2, on), sample(nan));

    GuiModule fresh = make(id("Float"));
    EXPECT_EQ(report(fresh, GetParam().input, bytesOf(-0.0f)), Sends{});
    EXPECT_EQ(report(fresh, 2, on), Sends{});
}

TEST_P(TriggerTypes, TextsAndBlobsCompareByContent) {
    for (const char* type : {"String", "Blob"}) {
        SCOPED_TRACE(type);
        GuiModule trigger = make(id(type));
        const Bytes content = bytesOf(u"same");
        EXPECT_EQ(report(trigger, GetParam().input, content), Sends{});
        EXPECT_EQ(report(trigger, 2, on), sample(content));
        // A separate copy of the same content.
        const Bytes copy = bytesOf(u"same");
        EXPECT_EQ(report(trigger, GetParam().input, copy), Sends{});
        EXPECT_EQ(report(trigger, 3, on), Sends{});
        // Back to empty: sent with no bytes.
        EXPECT_EQ(report(trigger, GetParam().input, Bytes{}), Sends{});
        EXPECT_EQ(report(trigger, 2, on), sample(Bytes{}));
    }
}

TEST_P(TriggerTypes, WithoutHostSendNothing) {
    GuiModule trigger = make(id("Int"), false);
    EXPECT_EQ(report(trigger, GetParam().input, bytesOf(5)), Sends{});
    EXPECT_EQ(report(trigger, 2, on), Sends{});
    EXPECT_EQ(report(trigger, 3, on), Sends{});
}

INSTANTIATE_TEST_SUITE_P(Families, TriggerTypes,
                         ::testing::Values(Family{"Trigger", 1, {0}},
                                           Family{"TwoStage", 0, {4, 1}}),
                         [](const ::testing::TestParamInfo<Family>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
