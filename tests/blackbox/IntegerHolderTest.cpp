// ImgM2C, through the export: the output keeps the last reported input other
// than -1.
#include "LibraryFixture.h"
#include "SentLog.h"

#include <climits>
#include <vector>

using namespace testhost;
using blackbox::Send;
using blackbox::sendsOf;

namespace {

// One step: the host stores `value` on `pinId` and, when `report`, reports it.
struct Step {
    int32_t pinId;
    int32_t value;
    bool report;
    std::vector<int32_t> expectedOutputs; // values sent on pin 0
};

struct HolderCase {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const HolderCase& c, std::ostream* os) {
    *os << c.name;
}

class IntegerHolder : public blackbox::LibraryTest,
                      public ::testing::WithParamInterface<HolderCase> {};

TEST_P(IntegerHolder, HoldsTheLastValueOtherThanMinusOne) {
    GuiModule holder = make(u"ImgM2C");
    ASSERT_TRUE(holder);
    for (size_t i = 0; i < GetParam().steps.size(); ++i) {
        const Step& step = GetParam().steps[i];
        SCOPED_TRACE(i);
        host.sent.clear();
        EXPECT_EQ(holder.receive(step.pinId, bytesOf(step.value)), ResultSuccess);
        if (step.report) {
            EXPECT_EQ(holder.changed(step.pinId), ResultSuccess);
        }
        std::vector<Send> expected;
        for (const int32_t v : step.expectedOutputs)
            expected.push_back({0, bytesOf(v)});
        EXPECT_EQ(sendsOf(host), expected);
    }
}

constexpr int32_t output = 0, input = 1;

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerHolder,
    ::testing::Values(
        HolderCase{"MinusOneIsIgnored",
                   {{input, 3, true, {3}}, {input, -1, true, {}}, {input, 3, true, {}}}},
        HolderCase{"ZeroIsAnOrdinaryValue", {{input, 3, true, {3}}, {input, 0, true, {0}}}},
        HolderCase{"AFreshZeroSendsNothing", {{input, 0, true, {}}}},
        HolderCase{"OtherNegativeValuesPass",
                   {{input, -2, true, {-2}}, {input, INT_MIN, true, {INT_MIN}}}},
        // A value stored in the output from outside stays until a reported
        // input other than -1 differs from it; the input is looked at on
        // every report, changed or not.
        HolderCase{"OutputSetFromOutside",
                   {{input, 3, true, {3}},
                    {output, 8, true, {}},
                    {input, -1, true, {}},
                    {input, 8, true, {}},
                    {input, 8, false, {}},
                    {output, 4, false, {}},
                    {input, 8, true, {8}}}},
        HolderCase{"UnreportedInputIsNotLookedAt",
                   {{input, 5, false, {}}, {input, -1, true, {}}, {input, 5, true, {5}}}}),
    [](const ::testing::TestParamInfo<HolderCase>& info) { return std::string(info.param.name); });

TEST_F(IntegerHolder, WithoutHostSendsNothing) {
    GuiModule holder = make(u"ImgM2C", false);
    EXPECT_EQ(holder.set(1, int32_t(3)), ResultSuccess);
    EXPECT_EQ(holder.set(2, int32_t(3)), ResultFailure);
    EXPECT_TRUE(host.sent.empty());
}

} // namespace
