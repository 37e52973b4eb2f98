// Every expected registration can be made through the export and answers the
// module interface of its sub-type.
#include "LibraryFixture.h"
#include "tests/RegistrationTable.h"

using namespace testhost;

namespace {

const InterfaceId& primaryInterfaceOf(int32_t subType) {
    switch (subType) {
    case AudioPart:
        return iidOf<gmpi::IMpPlugin2>();
    case GuiPart:
        return iidOf<gmpi::IMpUserInterface>();
    default:
        return iidOf<gmpi::IMpUserInterface2>();
    }
}

using Registry = blackbox::LibraryTest;

TEST_F(Registry, EveryRegistrationIsMadeWithoutHost) {
    for (const ExpectedRegistration& r : expectedRegistrations) {
        SCOPED_TRACE(narrowToAscii(r.moduleId));
        void* out = nullptr;
        ASSERT_EQ(factory()->makeModuleWithoutHost(r.moduleId, r.subType, &out), ResultSuccess);
        ASSERT_NE(out, nullptr);
        auto* made = static_cast<gmpi::IMpUnknown*>(out);
        void* ui = nullptr;
        EXPECT_EQ(made->queryInterface(primaryInterfaceOf(r.subType), &ui), ResultSuccess);
        EXPECT_NE(ui, nullptr);
        if (ui)
            static_cast<gmpi::IMpUnknown*>(ui)->release();
        EXPECT_EQ(made->release(), 0);
    }
}

TEST_F(Registry, OtherSubTypesAndSpellingsAreUnsupported) {
    for (const ExpectedRegistration& r : expectedRegistrations) {
        SCOPED_TRACE(narrowToAscii(r.moduleId));
        std::u16string shouted(r.moduleId);
        for (char16_t& c : shouted)
            if (c >= u'a' && c <= u'z')
                c = char16_t(c - u'a' + u'A');
        void* out = &out;
        EXPECT_EQ(factory()->makeModule(shouted.c_str(), r.subType, host.object(), &out),
                  ResultUnsupported);
        EXPECT_EQ(out, nullptr);
        out = &out;
        EXPECT_EQ(factory()->makeModule(r.moduleId, 7, host.object(), &out), ResultUnsupported);
        EXPECT_EQ(out, nullptr);
    }
}

} // namespace
