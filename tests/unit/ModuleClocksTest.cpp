// The modules that read a clock, driven through the clock seams: the
// double-click window in whole milliseconds and the random seed.
#include "framework/MpFactory.h"
#include "host/GuiModule.h"
#include "platform/Clocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace testhost;

namespace {

constinit int64_t monotonicNow = 0;
constinit uint32_t processNow = 0;

// Replaces the clocks for one test.
class DrivenClocks : public ::testing::Test {
protected:
    void SetUp() override {
        monotonicNow = 5'000'000'000'000;
        processNow = 1000;
        platform::replaceMonotonicClock([] { return monotonicNow; });
        platform::replaceProcessClock([] { return processNow; });
    }
    void TearDown() override {
        platform::replaceMonotonicClock(nullptr);
        platform::replaceProcessClock(nullptr);
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
    }
    GuiModule make(const std::u16string& id) { return GuiModule(&factoryInstance(), id, host); }

    TestHost host;
};

constexpr int32_t resultPin = 0, valuePin = 1, windowPin = 2, mouseDownPin = 3;
constexpr int64_t ms = 1'000'000;

using DoubleClickWindow = DrivenClocks;

struct WindowCase {
    float window;
    int64_t elapsedNs;
    bool fires;
};

TEST_F(DoubleClickWindow, CountsWholeMillisecondsFromPressToPress) {
    constexpr WindowCase cases[] = {
        {250.0f, 250 * ms + 900'000, true}, // 250.9 ms counts as 250
        {250.0f, 251 * ms, false},
        {250.9f, 250 * ms + 999'999, true}, // the window is truncated too
        {250.9f, 251 * ms, false},
        {0.0f, 999'999, true}, // the default window: less than 1 ms apart
        {0.0f, 1 * ms, false},
        {-0.5f, 999'999, true}, // between -1 and 0 acts as 0
        {-0.5f, 1 * ms, false},
        {-1.0f, 0, false}, // -1 or less never fires
        {0.0f, 0, true},
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.window) + " ms window, " + std::to_string(c.elapsedNs) +
                     " ns");
        host.sent.clear();
        GuiModule module = make(u"DblClckRes");
        module.receive(windowPin, bytesOf(c.window));
        module.receive(valuePin, bytesOf(1.0f));
        module.set(mouseDownPin, true);
        monotonicNow += 10 * ms; // the release's time does not count
        module.set(mouseDownPin, false);
        monotonicNow += c.elapsedNs - 10 * ms;
        module.set(mouseDownPin, true);
        EXPECT_EQ(host.sent.size(), c.fires ? 1u : 0u);
    }
}

TEST_F(DoubleClickWindow, EachPressRestartsTheTiming) {
    GuiModule module = make(u"DblClckRes");
    module.receive(windowPin, bytesOf(100.0f));
    module.receive(valuePin, bytesOf(1.0f));
    module.set(mouseDownPin, true);
    module.set(mouseDownPin, false);
    monotonicNow += 150 * ms;
    module.set(mouseDownPin, true); // outside the window, but the new start
    module.set(mouseDownPin, false);
    monotonicNow += 100 * ms;
    module.set(mouseDownPin, true);
    module.receive(valuePin, bytesOf(2.0f));
    module.set(mouseDownPin, false);
    monotonicNow += 60 * ms;
    module.set(mouseDownPin, true); // measured from the press before, not the first
    ASSERT_EQ(host.sent.size(), 2u);
    EXPECT_EQ(host.sent[0].pinId, resultPin);
    EXPECT_EQ(host.sent[0].asFloat(), 1.0f);
    EXPECT_EQ(host.sent[1].asFloat(), 2.0f);
}

TEST_F(DoubleClickWindow, AClockThatStepsBackStillCompares) {
    GuiModule module = make(u"DblClckRes");
    module.receive(windowPin, bytesOf(10.0f));
    module.receive(valuePin, bytesOf(1.0f));
    monotonicNow = INT64_MAX;
    module.set(mouseDownPin, true);
    module.set(mouseDownPin, false);
    monotonicNow = INT64_MIN;
    module.set(mouseDownPin, true); // wraps to 1 ns after: within the window
    EXPECT_EQ(host.sent.size(), 1u);
}

using RandomSeed = DrivenClocks;

constexpr int32_t minimumPin = 0, maximumPin = 1, outputPin = 2, nextPin = 3;

std::vector<uint32_t> draw(TestHost& host, GuiModule& module, int count) {
    host.sent.clear();
    for (int i = 0; i < count; ++i)
        module.set(nextPin, true);
    std::vector<uint32_t> out;
    for (const SentValue& value : host.sent) {
        EXPECT_EQ(value.pinId, outputPin);
        out.push_back(valueOf<uint32_t>(value.bytes));
    }
    return out;
}

TEST_F(RandomSeed, TheProcessClockSeedsTheSequence) {
    GuiModule ints = make(u"KZ_RndInt");
    ints.receive(maximumPin, bytesOf(int32_t(10)));
    EXPECT_EQ(draw(host, ints, 5), (std::vector<uint32_t>{7, 6, 7, 10, 0}));
    GuiModule floats = make(u"KZ_RndFloat");
    floats.receive(maximumPin, bytesOf(1.0f));
    // 0.061973158, 0.74613595, 0.089743018, 0.48888546, 0.30758837
    EXPECT_EQ(draw(host, floats, 5),
              (std::vector<uint32_t>{0x3D7DD791, 0x3F3F02C4, 0x3DB7CB30, 0x3EFA4F32, 0x3E9D7C39}));
}

TEST_F(RandomSeed, FullIntRangeTakesTheWordItself) {
    GuiModule module = make(u"KZ_RndInt");
    module.receive(minimumPin, bytesOf(INT32_MIN));
    module.receive(maximumPin, bytesOf(INT32_MAX));
    // INT32_MIN + word, in unsigned arithmetic.
    EXPECT_EQ(draw(host, module, 3),
              (std::vector<uint32_t>{266172694u ^ 0x80000000u, 3204629577u ^ 0x80000000u,
                                     385443340u ^ 0x80000000u}));
}

TEST_F(RandomSeed, ModulesMadeInOneTickDrawAlike) {
    GuiModule first = make(u"KZ_RndFloat");
    GuiModule second = make(u"KZ_RndFloat");
    first.receive(maximumPin, bytesOf(100.0f));
    second.receive(maximumPin, bytesOf(100.0f));
    EXPECT_EQ(draw(host, first, 4), draw(host, second, 4));
    processNow = 1001;
    GuiModule later = make(u"KZ_RndFloat");
    later.receive(maximumPin, bytesOf(100.0f));
    EXPECT_NE(draw(host, later, 4), draw(host, first, 4));
}

TEST_F(RandomSeed, ASeedOfZeroStaysZero) {
    processNow = 0;
    GuiModule floats = make(u"KZ_RndFloat");
    floats.receive(minimumPin, bytesOf(-3.0f));
    floats.receive(maximumPin, bytesOf(3.0f));
    GuiModule ints = make(u"KZ_RndInt");
    ints.receive(minimumPin, bytesOf(int32_t(-3)));
    ints.receive(maximumPin, bytesOf(int32_t(3)));
    // The minimum every time: sent once, then equal to the output held.
    EXPECT_EQ(draw(host, floats, 3), (std::vector<uint32_t>{0xC0400000}));
    EXPECT_EQ(draw(host, ints, 3), (std::vector<uint32_t>{uint32_t(-3)}));
}

TEST_F(RandomSeed, AWordThatRoundsToOneDrawsTheMaximum) {
    // From this seed the first word is 4294967208, at least 4294967168, so u rounds to 1.
    processNow = 22372349;
    GuiModule module = make(u"KZ_RndFloat");
    module.receive(minimumPin, bytesOf(2.0f));
    module.receive(maximumPin, bytesOf(5.0f));
    EXPECT_EQ(draw(host, module, 1), (std::vector<uint32_t>{0x40A00000}));
}

} // namespace
