// The host's description of every registration and its pins
// (host/ModulePins.h), which the stress run's profiles are made from, checked
// against the built library.
#include "host/ModulePins.h"
#include "../blackbox/LibraryFixture.h"
#include "host/AudioHost.h"
#include "host/LegacyGuiModule.h"
#include "tests/RegistrationTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace testhost;

ModuleKind kindOf(int32_t subType, bool draws) {
    switch (subType) {
    case AudioPart:
        return ModuleKind::Audio;
    case GuiPart:
        return ModuleKind::Legacy;
    default:
        return draws ? ModuleKind::Widget : ModuleKind::Invisible;
    }
}

// A value of the pin's type.
Bytes valueOf(PinRole role) {
    const std::string_view type = pinTypeWord(role);
    if (type == "bool")
        return bytesOf(true);
    if (type == "int")
        return bytesOf(int32_t(1));
    if (type == "float")
        return bytesOf(1.0f);
    if (type == "blob")
        return Bytes{1, 2, 3};
    return bytesOf(u"x");
}

TEST(ModulePins, DescribeEveryRegistrationOnce) {
    const std::vector<ModuleDescription>& all = moduleDescriptions();
    EXPECT_EQ(all.size(), std::size(expectedRegistrations));
    for (const ExpectedRegistration& r : expectedRegistrations) {
        SCOPED_TRACE(narrowToAscii(r.moduleId));
        EXPECT_EQ(std::count_if(all.begin(), all.end(),
                                [&](const ModuleDescription& m) {
                                    return m.subType == r.subType && m.id == r.moduleId;
                                }),
                  1);
        const ModuleDescription* found = findModuleDescription(r.subType, r.moduleId);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->id, r.moduleId);
    }
    EXPECT_EQ(findModuleDescription(AudioPart, u"KZ_V2dB"), nullptr);
    for (const ModuleDescription& module : all) {
        SCOPED_TRACE(module.label());
        for (size_t p = 0; p < module.pins.size(); ++p) {
            EXPECT_EQ(module.pins[p].index, int32_t(p)) << "pins in index order";
            EXPECT_NE(std::string_view(module.pins[p].what), "");
        }
    }
}

using ModulePinsInTheLibrary = blackbox::LibraryTest;

// Each listed pin takes a value of its type, and where the host adds no pins
// the next index is refused; the kind is the one the module answers to.
TEST_F(ModulePinsInTheLibrary, EveryListedPinIsAcceptedAndTheNextRefused) {
    for (const ModuleDescription& module : moduleDescriptions()) {
        SCOPED_TRACE(module.label());
        const int32_t next = int32_t(module.pins.size());
        if (module.kind == ModuleKind::Audio) {
            AudioHost audioHost;
            AudioModule part(factory(), module.id, audioHost);
            ASSERT_TRUE(part);
            std::vector<float> samples(64);
            for (const PinDescription& pin : module.pins)
                EXPECT_EQ(part->attachBuffer(pin.index, samples.data()), ResultSuccess)
                    << "pin " << pin.index;
            EXPECT_EQ(part->attachBuffer(next, samples.data()), ResultFailure);
            part.reset();
            std::string report;
            EXPECT_TRUE(audioHost.referencesBalanced(&report)) << report;
            continue;
        }
        if (module.kind == ModuleKind::Legacy) {
            TestHost legacyHost;
            legacyHost.pinCount = next;
            LegacyGuiModule made(factory(), module.id, legacyHost);
            ASSERT_TRUE(made);
            for (const PinDescription& pin : module.pins)
                EXPECT_EQ(made.receive(pin.index, valueOf(pin.role)), ResultSuccess)
                    << "pin " << pin.index;
            EXPECT_TRUE(module.added) << "the host gives it its outputs";
            made.reset();
            std::string report;
            EXPECT_TRUE(legacyHost.referencesBalanced(&report)) << report;
            continue;
        }
        GuiModule made = make(module.id);
        ASSERT_TRUE(made);
        const bool draws =
            bool(gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(made.unknown()));
        EXPECT_EQ(module.kind, kindOf(module.subType, draws));
        for (const PinDescription& pin : module.pins)
            EXPECT_EQ(made.receive(pin.index, valueOf(pin.role)), ResultSuccess)
                << "pin " << pin.index;
        if (!module.added) {
            EXPECT_EQ(made.receive(next, bytesOf(int32_t(1))), ResultFailure) << "pin " << next;
        }
    }
}

} // namespace
