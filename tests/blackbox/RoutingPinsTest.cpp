// The pin lists of the routing modules, through the export: every registered
// index answers, the next one does not, and a module without host sends nothing.
#include "LibraryFixture.h"
#include "tests/RegistrationTable.h"

using namespace testhost;

namespace {

struct PinList {
    const char16_t* moduleId;
    int32_t pinCount;
};

void PrintTo(const PinList& p, std::ostream* os) {
    *os << narrowToAscii(p.moduleId);
}

class RoutingPins : public blackbox::LibraryTest, public ::testing::WithParamInterface<PinList> {
protected:
    // Delivers a 4-byte 1 on every pin and reports it; then the first index
    // past the list, and -1.
    void exercise(GuiModule& module) {
        const int32_t count = GetParam().pinCount;
        for (int32_t pin = 0; pin < count; ++pin) {
            SCOPED_TRACE(pin);
            EXPECT_EQ(module.receive(pin, bytesOf(int32_t(1))), ResultSuccess);
            EXPECT_EQ(module.changed(pin), ResultSuccess);
        }
        for (const int32_t pin : {count, -1}) {
            SCOPED_TRACE(pin);
            EXPECT_EQ(module.receive(pin, bytesOf(int32_t(1))), ResultFailure);
            EXPECT_EQ(module.changed(pin), ResultFailure);
        }
    }
};

TEST_P(RoutingPins, AnswerOnTheirRegisteredIndices) {
    GuiModule module = make(GetParam().moduleId);
    ASSERT_TRUE(module);
    EXPECT_EQ(module.attachResult, ResultSuccess);
    exercise(module);
}

TEST_P(RoutingPins, WithoutHostAnswerAlikeAndSendNothing) {
    GuiModule module = make(GetParam().moduleId, false);
    ASSERT_TRUE(module);
    exercise(module);
    EXPECT_TRUE(host.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Modules, RoutingPins,
    ::testing::Values(
        PinList{u"SplitterInt", 1}, PinList{u"SplitterFloat", 1}, PinList{u"SplitterText", 1},
        PinList{u"SplitterBool", 1}, PinList{u"SplitterBlob", 1}, PinList{u"CheckValveLR_Bool", 2},
        PinList{u"CheckValveLR_Float", 2}, PinList{u"CheckValveLR_Int", 2},
        PinList{u"CheckValveRL_Bool", 2}, PinList{u"CheckValveRL_Float", 2},
        PinList{u"CheckValveRL_Int", 2}, PinList{u"TriggerInt", 4}, PinList{u"TriggerFloat", 4},
        PinList{u"TriggerString", 4}, PinList{u"TriggerBool", 4}, PinList{u"TriggerBlob", 4},
        PinList{u"KZ_TriggerInt2", 5}, PinList{u"KZ_TriggerFloat2", 5},
        PinList{u"KZ_TriggerString2", 5}, PinList{u"KZ_TriggerBool2", 5},
        PinList{u"KZ_TriggerBlob2", 5}, PinList{u"ImgM2C", 2}, PinList{u"Fixed_Int", 4},
        PinList{u"Fixed_Float", 4}, PinList{u"Fixed_String", 4}, PinList{u"Fixed_Bool", 4}),
    [](const ::testing::TestParamInfo<PinList>& info) {
        return narrowToAscii(info.param.moduleId);
    });

} // namespace
