// The older GUI base: identity and its own reference count, pin traffic, and
// how it takes or refuses its host, directly and through the factory.
#include "framework/MpGuiBase.h"
#include "framework/MpFactory.h"
#include "host/TestHost.h"
#include "tests/unit/SlotOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testhost;

namespace {

int destroyedProbes = 0;

// Pin 0 int with a handler that sends pin 2, pin 1 float without handler,
// pin 2 int taking the voice, and a pin that tries index 0 again.
class OldProbe final : public MpGuiBase {
public:
    OldProbe() {
        registerPin(count, &OldProbe::onCount);
        registerPinNoHandler(1, level);
        registerIndexedPin(2, echo, &OldProbe::onEcho);
        registerPin(0, late, &OldProbe::onLate);
    }
    ~OldProbe() override { ++destroyedProbes; }

    void onCount() {
        handled.push_back("count " + std::to_string(count.get()));
        echo.setAndSend(count.get() * 2);
    }
    void onEcho(int32_t voice) { handled.push_back("echo voice " + std::to_string(voice)); }
    void onLate() { handled.push_back("late"); }

    std::vector<std::string> handled;
    MpGuiPinInt count;
    MpGuiPinFloat level;
    MpGuiPinInt echo;
    MpGuiPinInt late;
};

gmpi::IMpUnknown* makeProbe() {
    return static_cast<gmpi::IMpUserInterface*>(new OldProbe);
}

class OldGuiBase : public ::testing::Test {
protected:
    void TearDown() override {
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
    }
    TestHost host;
};

TEST_F(OldGuiBase, QueryInterfaceCountsWithTheObjectsOwnCountAndReleaseDestroys) {
    destroyedProbes = 0;
    auto* probe = new OldProbe;
    void* out = nullptr;
    EXPECT_EQ(probe->queryInterface(iidOf<gmpi::IMpUserInterface>(), &out), ResultSuccess);
    EXPECT_EQ(out, static_cast<gmpi::IMpUserInterface*>(probe));
    EXPECT_EQ(probe->release(), 1);
    EXPECT_EQ(probe->queryInterface(iidOf<gmpi::IMpUnknown>(), &out), ResultSuccess);
    EXPECT_EQ(out, static_cast<gmpi::IMpUserInterface*>(probe));
    EXPECT_EQ(probe->queryInterface(iidOf<gmpi::IMpLegacyInitialization>(), &out), ResultSuccess);
    auto* legacy = static_cast<gmpi::IMpLegacyInitialization*>(out);
    EXPECT_EQ(legacy, static_cast<gmpi::IMpLegacyInitialization*>(probe));
    // All interfaces count alike: 3 now.
    EXPECT_EQ(legacy->addRef(), 4);
    EXPECT_EQ(legacy->release(), 3);
    EXPECT_EQ(legacy->release(), 2);
    for (const InterfaceId& other : {iidOf<gmpi::IMpUserInterface2>(), iidOf<gmpi::IMpPlugin2>(),
                                     iidOf<IMpGraphicsWinGdi>()}) {
        out = &out;
        EXPECT_EQ(probe->queryInterface(other, &out), ResultUnsupported);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(probe->release(), 1);
    EXPECT_EQ(destroyedProbes, 0);
    EXPECT_EQ(probe->release(), 0);
    EXPECT_EQ(destroyedProbes, 1);
}

TEST_F(OldGuiBase, ReceivingStoresAndTheChangeReportRunsTheHandler) {
    auto* probe = new OldProbe;
    ASSERT_EQ(probe->attachHost(host.object()), ResultSuccess);
    const int32_t seven = 7;
    EXPECT_EQ(probe->receivePinValue(0, 3, 4, &seven), ResultSuccess);
    EXPECT_EQ(probe->count.get(), 7);
    EXPECT_TRUE(probe->handled.empty());
    EXPECT_EQ(probe->onPinChanged(0, 3), ResultSuccess);
    EXPECT_EQ(probe->handled, std::vector<std::string>{"count 7"});
    // The handler's send reaches the host with the pin's index, size and data, voice 0.
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].via, HostInterface::Legacy);
    EXPECT_EQ(host.sent[0].pinId, 2);
    EXPECT_EQ(host.sent[0].bytes, bytesOf(int32_t(14)));
    EXPECT_EQ(host.sent[0].voice, 0);

    // A pin without handler stores and reports success; the indexed one gets the voice.
    const float half = 0.5f;
    EXPECT_EQ(probe->receivePinValue(1, 0, 4, &half), ResultSuccess);
    EXPECT_EQ(probe->onPinChanged(1, 0), ResultSuccess);
    EXPECT_EQ(probe->level.get(), 0.5f);
    EXPECT_EQ(probe->onPinChanged(2, 9), ResultSuccess);
    EXPECT_EQ(probe->handled.back(), "echo voice 9");
    EXPECT_EQ(probe->handled.size(), 2u);
    probe->release();
}

TEST_F(OldGuiBase, IndicesThatThePinsDoNotHoldFail) {
    auto* probe = new OldProbe;
    const int32_t one = 1;
    for (const int32_t pin : {-1, 3, 99}) {
        EXPECT_EQ(probe->receivePinValue(pin, 0, 4, &one), ResultFailure);
        EXPECT_EQ(probe->onPinChanged(pin, 0), ResultFailure);
    }
    // The first pin registered under 0 stays; the later one is not reached.
    EXPECT_EQ(probe->registeredPins().size(), 3u);
    EXPECT_EQ(probe->registeredPins().at(0), &probe->count);
    probe->onPinChanged(0, 0);
    EXPECT_EQ(probe->handled, std::vector<std::string>{"count 0"});
    probe->release();
}

TEST_F(OldGuiBase, DefaultsAnswerSuccess) {
    auto* probe = new OldProbe;
    EXPECT_EQ(probe->onStartup(), ResultSuccess);
    EXPECT_EQ(probe->legacyHookA(), ResultSuccess);
    EXPECT_EQ(probe->legacyHookB(), ResultSuccess);
    EXPECT_EQ(probe->legacyHookC(), ResultSuccess);
    probe->release();
}

TEST_F(OldGuiBase, AHostCallingAttachHostWithoutTheLegacyInterfaceGetsUnsupported) {
    host.offer(HostInterface::Legacy, false);
    auto* probe = new OldProbe;
    // Through each of the three interfaces that carry it.
    EXPECT_EQ(static_cast<IoldSchoolInitialisation*>(probe)->attachHost(host.object()),
              ResultUnsupported);
    EXPECT_EQ(static_cast<gmpi::IMpLegacyInitialization*>(probe)->attachHost(host.object()),
              ResultUnsupported);
    EXPECT_EQ(probe->attachHost(nullptr), ResultUnsupported);
    EXPECT_EQ(probe->getLegacyHost(), nullptr);
    // Without a host a send answers ResultFailure and calls nothing.
    const int32_t v = 3;
    EXPECT_EQ(probe->sendPinToHost(0, 4, &v, 0), ResultFailure);
    probe->receivePinValue(0, 0, 4, &v);
    probe->onPinChanged(0, 0);
    EXPECT_EQ(probe->echo.get(), 6);
    EXPECT_TRUE(host.sent.empty());
    probe->release();
}

TEST_F(OldGuiBase, TheFactoryAttachesAtCreationAndFailsForAHostWithoutTheLegacyInterface) {
    MpFactory factory;
    factory.addModuleCreator(u"Probe", GuiPart, &makeProbe);
    destroyedProbes = 0;

    void* out = &out;
    host.offer(HostInterface::Legacy, false);
    EXPECT_EQ(factory.makeModule(u"Probe", GuiPart, host.object(), &out), ResultFailure);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(destroyedProbes, 1); // released, not leaked
    EXPECT_FALSE(attachingAtCreation());

    host.offer(HostInterface::Legacy, true);
    ASSERT_EQ(factory.makeModule(u"Probe", GuiPart, host.object(), &out), ResultSuccess);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(host.references(HostInterface::Legacy), 1);
    auto* made = static_cast<gmpi::IMpUserInterface*>(out);
    EXPECT_EQ(made->release(), 0);

    ASSERT_EQ(factory.makeModuleWithoutHost(u"Probe", GuiPart, &out), ResultSuccess);
    EXPECT_EQ(host.references(HostInterface::Legacy), 0);
    static_cast<gmpi::IMpUserInterface*>(out)->release();
    EXPECT_EQ(destroyedProbes, 3);
}

TEST_F(OldGuiBase, AttachingAgainReplacesTheHostAndTheEndReleasesIt) {
    auto* probe = new OldProbe;
    EXPECT_EQ(probe->attachHost(host.object()), ResultSuccess);
    EXPECT_EQ(probe->attachHost(host.object()), ResultSuccess);
    EXPECT_EQ(host.references(HostInterface::Legacy), 1);
    EXPECT_EQ(host.references(HostInterface::Gui), 0);
    probe->release();
}

using slots::slotOf;

TEST(OldGuiSlots, BaseAddsItsSlotsAfterTheInterface) {
    using Base = MpGuiBase_base;
    EXPECT_EQ(slotOf(&Base::queryInterface), 0);
    EXPECT_EQ(slotOf(&Base::onStartup), 3);
    EXPECT_EQ(slotOf(&Base::legacyHookC), 8);
    // 9 and 10: the destructor.
    EXPECT_EQ(slotOf(&Base::attachHost), 11);
    EXPECT_EQ(slotOf(&Base::sendPinToHost), 12);
    EXPECT_EQ(slotOf(&MpGuiBase::addRef), 1);
    EXPECT_EQ(slotOf(&MpGuiBase::release), 2);
    EXPECT_EQ(slotOf(&GuiPinOwner::sendPinToHost), 0);
}

} // namespace
