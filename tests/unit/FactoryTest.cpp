// The factory's registry and creation rules, on a factory of the test's own.
#include "framework/MpFactory.h"
#include "framework/MpGuiBase2.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Probe {
    int created = 0;
    int destroyed = 0;
    int attached = 0;
    bool attachThrows = false;
    gmpi::IMpUnknown* lastHost = nullptr;
};
Probe probe;

// A module of the older kinds: it takes its host at creation.
class LegacyModule final : public gmpi::IMpLegacyInitialization {
public:
    LegacyModule() { ++probe.created; }
    ~LegacyModule() { ++probe.destroyed; }
    int32_t queryInterface(const InterfaceId&, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
    int32_t addRef() override { return ++refs; }
    int32_t release() override {
        const int32_t count = --refs;
        if (count == 0)
            delete this;
        return count;
    }
    int32_t attachHost(gmpi::IMpUnknown* host) override {
        ++probe.attached;
        probe.lastHost = host;
        if (probe.attachThrows)
            throw "host Interfaces not supported";
        return ResultUnsupported; // not looked at
    }

private:
    int32_t refs = 1;
};

class PlainModule final : public SeGuiInvisibleBase {};

gmpi::IMpUnknown* makeLegacy() {
    return new LegacyModule;
}
gmpi::IMpUnknown* makeNothing() {
    return nullptr;
}
gmpi::IMpUnknown* makeThrowing() {
    throw std::runtime_error("no memory");
}
gmpi::IMpUnknown* makeOther() {
    return nullptr;
}

class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override { probe = Probe{}; }
    MpFactory factory;
    int hostObject = 0;
    gmpi::IMpUnknown* host = reinterpret_cast<gmpi::IMpUnknown*>(&hostObject); // never called
};

TEST_F(FactoryTest, TheFirstRegistrationOfAKeyWins) {
    EXPECT_EQ(factory.addModuleCreator(u"M", Gui2Part, &makeLegacy), 0);
    EXPECT_EQ(factory.addModuleCreator(u"M", Gui2Part, &makeOther), 0);
    EXPECT_EQ(factory.addModuleCreator(u"M", AudioPart, &makeOther), 0);
    EXPECT_EQ(factory.addModuleCreator(nullptr, Gui2Part, &makeOther), 0);
    ASSERT_EQ(factory.registry().size(), 2u);
    EXPECT_EQ(factory.registry().at(ModuleKey{Gui2Part, u"M"}), &makeLegacy);
}

TEST_F(FactoryTest, KeysOrderBySubTypeThenByUnsignedUnits) {
    factory.addModuleCreator(u"\u00e9", Gui2Part, &makeOther);
    factory.addModuleCreator(u"b", Gui2Part, &makeOther);
    factory.addModuleCreator(u"ba", Gui2Part, &makeOther);
    factory.addModuleCreator(u"\xd800", Gui2Part, &makeOther);
    factory.addModuleCreator(u"z", AudioPart, &makeOther);
    std::vector<std::u16string> order;
    for (const auto& [key, creator] : factory.registry())
        order.push_back(key.moduleId);
    EXPECT_EQ(order, (std::vector<std::u16string>{u"z", u"b", u"ba", u"\u00e9", u"\xd800"}));
}

TEST_F(FactoryTest, LegacyModulesAreAttachedAtCreation) {
    factory.addModuleCreator(u"Legacy", GuiPart, &makeLegacy);
    void* out = nullptr;
    ASSERT_EQ(factory.makeModule(u"Legacy", GuiPart, host, &out), ResultSuccess);
    EXPECT_EQ(probe.attached, 1);
    EXPECT_EQ(probe.lastHost, host);
    static_cast<gmpi::IMpUnknown*>(out)->release();

    ASSERT_EQ(factory.makeModuleWithoutHost(u"Legacy", GuiPart, &out), ResultSuccess);
    EXPECT_EQ(probe.attached, 1);
    static_cast<gmpi::IMpUnknown*>(out)->release();
    EXPECT_EQ(probe.destroyed, 2);
}

TEST_F(FactoryTest, SecondGenerationModulesAreNotAttachedByTheFactory) {
    factory.addModuleCreator(u"Plain", Gui2Part, &createModule<PlainModule>);
    void* out = nullptr;
    ASSERT_EQ(factory.makeModule(u"Plain", Gui2Part, host, &out), ResultSuccess);
    auto* made = static_cast<gmpi::IMpUnknown*>(out);
    auto* module = static_cast<MpGuiBase2*>(static_cast<gmpi::IMpUserInterface2B*>(made));
    EXPECT_EQ(module->getGuiHost(), nullptr);
    EXPECT_EQ(made->release(), 0);
}

TEST_F(FactoryTest, FailuresOfCreation) {
    factory.addModuleCreator(u"Throws", Gui2Part, &makeThrowing);
    factory.addModuleCreator(u"Null", Gui2Part, &makeNothing);
    factory.addModuleCreator(u"NoCreator", Gui2Part, nullptr);
    factory.addModuleCreator(u"Legacy", GuiPart, &makeLegacy);
    void* out = &out;
    EXPECT_EQ(factory.makeModule(u"Throws", Gui2Part, host, &out), ResultFailure);
    EXPECT_EQ(out, nullptr);
    out = &out;
    EXPECT_EQ(factory.makeModuleWithoutHost(u"Throws", Gui2Part, &out), ResultFailure);
    EXPECT_EQ(out, nullptr);
    out = &out;
    EXPECT_EQ(factory.makeModule(u"Null", Gui2Part, host, &out), ResultSuccess);
    EXPECT_EQ(out, nullptr);
    out = &out;
    EXPECT_EQ(factory.makeModule(u"NoCreator", Gui2Part, host, &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    out = &out;
    EXPECT_EQ(factory.makeModule(u"Missing", Gui2Part, host, &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    out = &out;
    EXPECT_EQ(factory.makeModule(nullptr, Gui2Part, host, &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory.makeModule(u"Legacy", GuiPart, host, nullptr), ResultFailure);
    EXPECT_EQ(probe.created, 0);

    // attachHost throws: the new object is released, not handed out.
    probe.attachThrows = true;
    out = &out;
    EXPECT_EQ(factory.makeModule(u"Legacy", GuiPart, host, &out), ResultFailure);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(probe.created, 1);
    EXPECT_EQ(probe.destroyed, 1);
}

TEST_F(FactoryTest, DescribeBuildCutsToTheBuffer) {
    struct Case {
        int32_t maxChars;
        std::u16string text;
    };
    const Case cases[] = {
        {64, u"GCC Compiler V1014 (Release)"},
        {29, u"GCC Compiler V1014 (Release)"},
        {28, u"GCC Compiler V1014 (Release"},
        {4, u"GCC"},
        {1, u""},
    };
    for (const Case& c : cases) {
        char16_t buffer[70];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        int32_t version = 0;
        EXPECT_EQ(factory.describeBuild(&version, c.maxChars, buffer), ResultSuccess);
        EXPECT_EQ(version, 30800);
        EXPECT_EQ(std::u16string(buffer), c.text);
        EXPECT_EQ(buffer[c.maxChars], u'#'); // nothing written past maxChars
    }
    char16_t untouched[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(factory.describeBuild(nullptr, 0, untouched), ResultSuccess);
    EXPECT_EQ(factory.describeBuild(nullptr, -3, untouched), ResultSuccess);
    EXPECT_EQ(untouched[0], u'#');
    EXPECT_EQ(factory.describeBuild(nullptr, 10, nullptr), ResultSuccess);
}

} // namespace
