// The export and the factory as a host meets them.
#include "LibraryFixture.h"

using namespace testhost;
using blackbox::library;

namespace {

using Factory = blackbox::LibraryTest;

TEST_F(Factory, GetFactoryHandsOutOneFactoryWithoutCounting) {
    void* first = nullptr;
    void* second = nullptr;
    ASSERT_EQ(library().getFactory(&first), ResultSuccess);
    ASSERT_EQ(library().getFactory(&second), ResultSuccess);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    auto* unknown = static_cast<gmpi::IMpUnknown*>(first);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(unknown->release(), 1);
    EXPECT_EQ(unknown->addRef(), 1);
    EXPECT_EQ(library().getFactory(nullptr), ResultFailure);

    // The three ids answer with the same pointer; others with none.
    for (const InterfaceId* iid :
         {&iidOf<gmpi::IMpUnknown>(), &iidOf<gmpi::IMpFactory>(), &iidOf<gmpi::IMpFactory2>()}) {
        void* out = nullptr;
        EXPECT_EQ(unknown->queryInterface(*iid, &out), ResultSuccess);
        EXPECT_EQ(out, first);
    }
    void* out = &out;
    EXPECT_EQ(unknown->queryInterface(iidOf<gmpi::IMpUserInterface2>(), &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(unknown->queryInterface(iidOf<gmpi::IMpUnknown>(), nullptr), ResultFailure);
    // After all that, the factory still makes modules.
    GuiModule module = make(u"KZ_V2dB");
    EXPECT_EQ(module.makeResult, ResultSuccess);
}

TEST_F(Factory, MakeModuleTouchesNoHostInterfaceOfASecondGenerationModule) {
    void* out = nullptr;
    ASSERT_EQ(factory()->makeModule(u"KZ_V2dB", Gui2Part, host.object(), &out), ResultSuccess);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(host.references(HostInterface::Gui), 0);
    EXPECT_EQ(static_cast<gmpi::IMpUnknown*>(out)->release(), 0);
}

TEST_F(Factory, UnknownKeysAndBadArguments) {
    struct Case {
        const char16_t* id;
        int32_t subType;
    };
    for (const Case& c :
         {Case{u"KZ_V2dB", AudioPart}, Case{u"KZ_V2dB", GuiPart}, Case{u"kz_v2db", Gui2Part},
          Case{u"KZ_V2dB ", Gui2Part}, Case{u"", Gui2Part}, Case{nullptr, Gui2Part}}) {
        void* out = &out;
        EXPECT_EQ(factory()->makeModule(c.id, c.subType, host.object(), &out), ResultUnsupported);
        EXPECT_EQ(out, nullptr);
        out = &out;
        EXPECT_EQ(factory()->makeModuleWithoutHost(c.id, c.subType, &out), ResultUnsupported);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(factory()->makeModule(u"KZ_V2dB", Gui2Part, host.object(), nullptr), ResultFailure);
    EXPECT_EQ(factory()->makeModuleWithoutHost(u"KZ_V2dB", Gui2Part, nullptr), ResultFailure);
}

TEST_F(Factory, DescribeBuild) {
    int32_t version = 0;
    char16_t text[40] = {};
    EXPECT_EQ(factory()->describeBuild(&version, 40, text), ResultSuccess);
    EXPECT_EQ(version, 30800);
    EXPECT_EQ(std::u16string(text), u"GCC Compiler V1014 (Release)");
    EXPECT_EQ(std::u16string(text).size(), 28u);
}

} // namespace
