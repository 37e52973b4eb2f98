// The host's description of every registration and its pins
// (host/ModulePins.h), which the stress run's profiles and the reference
// host's listing read, checked against the built library; and that listing,
// run against it.
#include "host/ModulePins.h"
#include "../blackbox/LibraryFixture.h"
#include "host/AudioHost.h"
#include "host/LegacyGuiModule.h"
#include "host/refhost/Program.h"
#include "tests/RegistrationTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
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

struct Listing {
    int status;
    std::string out;
    std::string err;
};

Listing list(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--library", ModuleLibrary::defaultPath(), "--list"});
    std::ostringstream out, err;
    const int status = refhost::runProgram(arguments, out, err);
    return {status, out.str(), err.str()};
}

TEST(RefHostList, NamesEveryRegistrationTheLibraryMakes) {
    const Listing all = list({});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.err, "");
    std::istringstream lines(all.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "sub-type  made by  module ID");
    for (const ModuleDescription& module : moduleDescriptions()) {
        std::getline(lines, line);
        const std::string id = narrowToAscii(module.id);
        EXPECT_EQ(line.substr(std::min(line.size(), size_t(19))),
                  id.find(' ') == std::string::npos ? id : "\"" + id + "\"");
    }
    std::getline(lines, line);
    EXPECT_EQ(line, std::to_string(moduleDescriptions().size()) +
                        " registrations (sub-type 0: audio part, 1: older GUI kind, 2: GUI); "
                        "tavri_refhost --list MODULE-ID lists one's pins");
    EXPECT_NE(all.out.find("       2  module   \"Better Joystick Image\"\n"), std::string::npos);
    EXPECT_NE(all.out.find("       1  legacy   RadioButtons\n"), std::string::npos);
    EXPECT_NE(all.out.find("       0  audio    GUISet2Trig\n"), std::string::npos);
}

TEST(RefHostList, ListsTheModulesPinsInIndexOrder) {
    const Listing volts = list({"KZ_V2dB"});
    EXPECT_EQ(volts.status, 0) << volts.err;
    EXPECT_EQ(volts.out,
              "KZ_V2dB: sub-type 2, an invisible GUI module; in a scenario: module NAME KZ_V2dB\n"
              "    pin  type   direction  what it does\n"
              "      0  float  in/out     volts; a change sets pin 1\n"
              "      1  float  in/out     decibels; a change sets pin 0\n");
    const Listing pulse = list({"GUISet2Trig"});
    EXPECT_EQ(pulse.status, 0) << pulse.err;
    EXPECT_NE(pulse.out.find("GUISet2Trig: sub-type 0, an audio part; in a scenario: audio NAME "
                             "GUISet2Trig\n"
                             "    pin  type   direction  what it does\n"
                             "      0  bool   in         trigger: each change starts a pulse\n"),
              std::string::npos)
        << pulse.out;
    EXPECT_NE(pulse.out.find("      4  audio  out        the pulse\n\nGUISet2Trig: sub-type 2, an "
                             "invisible GUI module"),
              std::string::npos)
        << pulse.out;
    const Listing split = list({"SplitterInt"});
    EXPECT_NE(split.out.find("      0  int    in/out     a value on it goes on to every added "
                             "pin\n   1...  int    in/out     added by the host"),
              std::string::npos)
        << split.out;
    const Listing none = list({"KZ_Nothing"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "tavri_refhost: no registration of the module ID KZ_Nothing "
                        "(tavri_refhost --list names them)\n");
}

} // namespace
