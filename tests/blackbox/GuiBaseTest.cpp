// The second-generation base as every invisible module has it, through the
// export: identity and lifetime, the defaults of the unused operations, and
// what becomes of values without a host or with a second one.
#include "LibraryFixture.h"

using namespace testhost;

namespace {

using GuiBase = blackbox::LibraryTest;

TEST_F(GuiBase, IdentityAndLifetime) {
    GuiModule module = make(u"KZ_V2dB", false);
    gmpi::IMpUnknown* object = module.unknown();
    // GuiModule holds two references: the created one and its queried interface.
    for (const InterfaceId* iid : {&iidOf<gmpi::IMpUnknown>(), &iidOf<gmpi::IMpUserInterface2>(),
                                   &iidOf<gmpi::IMpUserInterface2B>()}) {
        void* out = nullptr;
        EXPECT_EQ(object->queryInterface(*iid, &out), ResultSuccess);
        EXPECT_EQ(out, static_cast<void*>(object));
        EXPECT_EQ(object->release(), 2);
    }
    void* out = &out;
    EXPECT_EQ(object->queryInterface(iidOf<gmpi_gui_api::IMpGraphics>(), &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(object->addRef(), 3);
    EXPECT_EQ(object->release(), 2);
}

TEST_F(GuiBase, ReleaseFromOneDestroysTheModule) {
    void* out = nullptr;
    ASSERT_EQ(factory()->makeModule(u"KZ_dB2V", Gui2Part, host.object(), &out), ResultSuccess);
    auto* ui = static_cast<gmpi::IMpUserInterface2*>(static_cast<gmpi::IMpUnknown*>(out));
    EXPECT_EQ(ui->attachHost(host.object()), ResultSuccess);
    EXPECT_EQ(host.references(HostInterface::Gui), 1);
    EXPECT_EQ(ui->release(), 0);
    EXPECT_EQ(host.references(HostInterface::Gui), 0);
}

TEST_F(GuiBase, DefaultsOfTheUnusedOperations) {
    GuiModule module = make(u"KZ_V2dB");
    EXPECT_EQ(module->hostHookA(), ResultSuccess);
    EXPECT_EQ(module->hostHookB(), ResultFailure);
    EXPECT_EQ(module->fillContextMenu(1, 2, host.object()), ResultFailure);
    EXPECT_EQ(module->onContextMenuPick(3), ResultFailure);
    EXPECT_EQ(module->hintTextAt(1, 2, host.object()), ResultFailure);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(GuiBase, StoringRunsNoHandlerUntilTheChangeIsReported) {
    GuiModule module = make(u"KZ_V2dB");
    ASSERT_EQ(module.receive(0, bytesOf(1.0f), 5), ResultSuccess);
    EXPECT_TRUE(host.sent.empty());
    ASSERT_EQ(module.changed(0, 5), ResultSuccess);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].voice, 0); // sends always carry voice 0
    EXPECT_EQ(floatBits(host.sent[0].asFloat()), floatBits(-20.0f));
}

TEST_F(GuiBase, AttachingAgainReleasesTheEarlierHost) {
    GuiModule module = make(u"KZ_V2dB");
    EXPECT_EQ(module->attachHost(host.object()), ResultSuccess);
    EXPECT_EQ(host.references(HostInterface::Gui), 1);

    TestHost other;
    EXPECT_EQ(module->attachHost(other.object()), ResultSuccess);
    EXPECT_EQ(host.references(HostInterface::Gui), 0);
    module.set(0, 1.0f);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(other.sent.size(), 1u);
    module.reset();
    EXPECT_TRUE(other.referencesBalanced());
}

TEST_F(GuiBase, WithoutAHostSendsAreDroppedAndValuesKept) {
    host.offer(HostInterface::Gui, false);
    GuiModule module = make(u"KZ_V2dB");
    EXPECT_EQ(module.attachResult, ResultUnsupported);
    EXPECT_EQ(module->attachHost(nullptr), ResultUnsupported);
    EXPECT_EQ(module.set(0, 1.0f), ResultSuccess); // pin 1 now holds -20 dB, unsent
    EXPECT_TRUE(host.sent.empty());

    host.offer(HostInterface::Gui, true);
    EXPECT_EQ(module->attachHost(host.object()), ResultSuccess);
    module.set(0, 1.0f); // recomputes the stored -20 dB: nothing to send
    EXPECT_TRUE(host.sent.empty());
    module.set(0, 10.0f);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(floatBits(host.sent[0].asFloat()), floatBits(0.0f));
}

TEST_F(GuiBase, TheHostsAnswerToASendDoesNotStopTheModule) {
    host.acceptResult = ResultFailure;
    GuiModule module = make(u"KZ_Hz2Oct");
    EXPECT_EQ(module.set(0, 440.0f), ResultSuccess);
    EXPECT_EQ(host.sent.size(), 1u);
}

} // namespace
