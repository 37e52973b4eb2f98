// The stress run itself: it knows every registration, a case depends only on
// its seed (so a failure replays alone), and it reports what a faulty module
// does: host references it keeps, exceptions that reach the host.
#include "Profiles.h"
#include "StressCase.h"

#include "../blackbox/LibraryFixture.h"
#include "tests/RegistrationTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

using namespace stress;
namespace fs = std::filesystem;

const ModuleProfile& profileOf(const std::u16string& id, int32_t subType = Gui2Part) {
    for (const ModuleProfile& profile : moduleProfiles())
        if (profile.id == id && profile.subType == subType)
            return profile;
    ADD_FAILURE() << "no profile for " << narrowToAscii(id);
    return moduleProfiles().front();
}

CaseOptions optionsFor(uint64_t seed, int32_t steps) {
    CaseOptions options;
    options.seed = seed;
    options.steps = steps;
    options.workFolder = fs::path(::testing::TempDir()) / "tavri-stress-test";
    return options;
}

bool sameStats(const CaseStats& a, const CaseStats& b) {
    return a.moduleCalls == b.moduleCalls && a.nestedCalls == b.nestedCalls &&
           a.hostCalls == b.hostCalls && a.callsAtDepth == b.callsAtDepth &&
           a.nestedFrom == b.nestedFrom;
}

// Profiles are found by sub-type and ID, in whatever order either list has them.
TEST(StressProfiles, DescribeEveryRegistrationOnce) {
    const auto& profiles = moduleProfiles();
    EXPECT_EQ(profiles.size(), std::size(expectedRegistrations));
    for (const ExpectedRegistration& r : expectedRegistrations) {
        SCOPED_TRACE(narrowToAscii(r.moduleId));
        const auto found = std::count_if(profiles.begin(), profiles.end(), [&](const auto& p) {
            return p.subType == r.subType && p.id == r.moduleId;
        });
        EXPECT_EQ(found, 1);
    }
    for (const ModuleProfile& profile : profiles) {
        SCOPED_TRACE(profile.label());
        for (size_t p = 0; p < profile.pins.size(); ++p)
            EXPECT_EQ(profile.pins[p].index, int32_t(p)) << "pins in index order";
    }
}

// A case's seed is its registration's own: a registration added anywhere in
// the library, or a profile moved, changes no other case. CI's seeds name the
// same cases as long as the first value holds.
TEST(StressCase, SeedComesFromTheRegistrationItself) {
    EXPECT_EQ(caseSeed(1, Gui2Part, u"KZ_V2dB"), 0xEFB3F447010BCD4Bull);
    EXPECT_NE(caseSeed(1, Gui2Part, u"GUISet2Trig"), caseSeed(1, AudioPart, u"GUISet2Trig"));
    EXPECT_NE(caseSeed(1, Gui2Part, u"KZ_V2dB"), caseSeed(1, Gui2Part, u"KZ_dB2V"));
    EXPECT_NE(caseSeed(1, Gui2Part, u"KZ_V2dB"), caseSeed(2, Gui2Part, u"KZ_V2dB"));
    EXPECT_NE(caseSeed(1, Gui2Part, u"SplitterInt"), caseSeed(1, Gui2Part, u"SplitterIn"));
}

TEST(StressCase, DependsOnlyOnItsSeedWhateverRanBefore) {
    gmpi::IMpFactory2* factory = blackbox::library().factory();
    // A widget that reads no clock (timers tick in real time under wine).
    const ModuleProfile& picker = profileOf(u"PolarPicker");
    const CaseResult alone = runCase(factory, picker, optionsFor(5, 150));
    EXPECT_TRUE(alone.failures.empty()) << alone.failures.front();
    EXPECT_GT(alone.stats.nestedCalls, 0);
    EXPECT_GT(alone.stats.callsAtDepth.count(3), 0u) << "calls nested three deep";

    // Other cases first, the image cache and the timers used in between.
    runCase(factory, profileOf(u"JogShuttle"), optionsFor(5, 100));
    runCase(factory, profileOf(u"RadioButtons", GuiPart), optionsFor(9, 100));
    const CaseResult again = runCase(factory, picker, optionsFor(5, 150));
    EXPECT_TRUE(sameStats(alone.stats, again.stats));

    const CaseResult otherSeed = runCase(factory, picker, optionsFor(6, 150));
    EXPECT_FALSE(sameStats(alone.stats, otherSeed.stats));
}

TEST(StressCase, ReachesEveryKindOfModule) {
    gmpi::IMpFactory2* factory = blackbox::library().factory();
    for (const auto& [id, subType] : {std::pair(u"GUISet2Trig", int32_t(AudioPart)),
                                      std::pair(u"RadioButtons", int32_t(GuiPart)),
                                      std::pair(u"FileBrowser", int32_t(Gui2Part)),
                                      std::pair(u"SplitterText", int32_t(Gui2Part))}) {
        SCOPED_TRACE(narrowToAscii(id));
        const CaseResult result = runCase(factory, profileOf(id, subType), optionsFor(3, 200));
        EXPECT_TRUE(result.failures.empty()) << result.failures.front();
        EXPECT_GT(result.stats.moduleCalls, 200);
        EXPECT_GT(result.stats.hostCalls, 0);
        EXPECT_GT(result.stats.nestedCalls, 0);
    }
}

// A module of two float pins made by a factory of the test's own, with one
// fault a test can switch on.
enum class Fault { None, KeepsHostReference, Throws };

class FakeModule final : public gmpi::IMpUserInterface2 {
public:
    explicit FakeModule(Fault fault) : fault(fault) {}
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (iid == iidOf<gmpi::IMpUnknown>() || iid == iidOf<gmpi::IMpUserInterface2>()) {
            *out = this;
            addRef();
            return ResultSuccess;
        }
        return ResultUnsupported;
    }
    int32_t addRef() override { return ++refs; }
    int32_t release() override {
        const int32_t count = --refs;
        if (count == 0) {
            if (host && fault != Fault::KeepsHostReference)
                host->release();
            delete this;
        }
        return count;
    }
    int32_t attachHost(gmpi::IMpUnknown* given) override {
        void* out = nullptr;
        given->queryInterface(iidOf<IGuiHost>(), &out);
        if (host)
            host->release();
        host = static_cast<IGuiHost*>(out);
        return host ? ResultSuccess : ResultUnsupported;
    }
    int32_t hostHookA() override { return ResultSuccess; }
    int32_t receivePinValue(int32_t pinId, int32_t, int32_t, const void*) override {
        return pinId == 0 || pinId == 1 ? ResultSuccess : ResultFailure;
    }
    int32_t hostHookB() override { return ResultSuccess; }
    int32_t fillContextMenu(int32_t, int32_t, gmpi::IMpUnknown*) override { return ResultSuccess; }
    int32_t onContextMenuPick(int32_t) override { return ResultSuccess; }
    int32_t hintTextAt(int32_t, int32_t, gmpi::IMpUnknown*) override { return ResultUnsupported; }
    int32_t onPinChanged(int32_t pinId, int32_t) override {
        if (fault == Fault::Throws)
            throw std::runtime_error("pin " + std::to_string(pinId));
        const float value = 1.0f;
        if (host && (pinId == 0 || pinId == 1))
            host->acceptPinValue(1 - pinId, 4, &value, 0);
        return ResultSuccess;
    }

private:
    Fault fault;
    IGuiHost* host = nullptr;
    int32_t refs = 1;
};

class FakeFactory final : public gmpi::IMpFactory2 {
public:
    explicit FakeFactory(Fault fault) : fault(fault) {}
    int32_t queryInterface(const InterfaceId&, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t makeModule(const char16_t*, int32_t, gmpi::IMpUnknown*, void** out) override {
        *out = static_cast<gmpi::IMpUnknown*>(new FakeModule(fault));
        return ResultSuccess;
    }
    int32_t describeBuild(int32_t*, int32_t, char16_t*) override { return ResultFailure; }
    int32_t makeModuleWithoutHost(const char16_t*, int32_t, void**) override {
        return ResultFailure;
    }

private:
    Fault fault;
};

// The fake module's own profile and seed: nothing the library registers, or
// where, changes what this case does.
TEST(StressCase, ReportsWhatAFaultyModuleDoes) {
    const ModuleProfile fake{Gui2Part,
                             u"FakeTwoFloats",
                             ModuleKind::Invisible,
                             {{0, PinRole::Float}, {1, PinRole::Float}}};
    struct Case {
        Fault fault;
        const char* report; // part of the first failure; none for a sound module
    };
    for (const Case c : {Case{Fault::None, nullptr},
                         Case{Fault::KeepsHostReference, "IGuiHost holds 1 reference(s)"},
                         Case{Fault::Throws, "an exception reached the host from onPinChanged"}}) {
        FakeFactory factory(c.fault);
        const CaseResult result = runCase(&factory, fake, optionsFor(1, 100));
        if (!c.report) {
            EXPECT_TRUE(result.failures.empty()) << result.failures.front();
            EXPECT_GT(result.stats.nestedCalls, 0);
            continue;
        }
        ASSERT_FALSE(result.failures.empty()) << c.report;
        EXPECT_NE(result.failures.front().find(c.report), std::string::npos)
            << result.failures.front();
    }
}

} // namespace
