// DblClckRes through the export on the real monotonic clock: only what holds
// whatever the time between calls (the window is far wider or below zero).
// The millisecond boundaries are tested on a driven clock in the unit tests.
#include "LibraryFixture.h"

#include <limits>
#include <utility>

using namespace testhost;

namespace {

constexpr int32_t resultPin = 0, valuePin = 1, windowPin = 2, mouseDownPin = 3;

class DoubleClick : public blackbox::LibraryTest {
protected:
    GuiModule detector(float window, float value) {
        GuiModule module = make(u"DblClckRes");
        module.receive(windowPin, bytesOf(window));
        module.receive(valuePin, bytesOf(value));
        return module;
    }
    void press(const GuiModule& module) { module.set(mouseDownPin, true); }
    void release(const GuiModule& module) { module.set(mouseDownPin, false); }
    std::vector<float> results() const {
        std::vector<float> out;
        for (const SentValue& value : host.sent) {
            EXPECT_EQ(value.pinId, resultPin);
            out.push_back(value.asFloat());
        }
        return out;
    }
};

constexpr float wide = 1e9f; // milliseconds: some eleven days

TEST_F(DoubleClick, PressReleasePressCopiesTheValue) {
    GuiModule module = detector(wide, 0.75f);
    press(module);
    EXPECT_TRUE(host.sent.empty()) << "the first press never fires";
    release(module);
    press(module);
    EXPECT_EQ(results(), std::vector<float>{0.75f});
}

TEST_F(DoubleClick, TwoPressesWithoutAReleaseNeverFire) {
    GuiModule module = detector(wide, 0.75f);
    press(module);
    release(module);
    release(module);
    press(module);
    press(module);
    press(module);
    EXPECT_EQ(results(), std::vector<float>{0.75f}) << "only the press after the releases fires";
}

TEST_F(DoubleClick, EachQuickClickAfterTheFirstFires) {
    GuiModule module = detector(wide, 1.0f);
    press(module);
    release(module);
    press(module);
    module.receive(valuePin, bytesOf(2.0f));
    release(module);
    press(module);
    release(module);
    press(module); // the same value again: not sent
    EXPECT_EQ(results(), (std::vector<float>{1.0f, 2.0f}));
}

TEST_F(DoubleClick, AReleaseReportedFromInsideTheResultsSendArmsTheNextPress) {
    GuiModule module = detector(wide, 1.0f);
    press(module);
    release(module);
    bool nested = false;
    host.onAccept = [&](const SentValue&) {
        if (!std::exchange(nested, true))
            release(module);
    };
    press(module);
    host.onAccept = nullptr;
    ASSERT_TRUE(nested);
    module.receive(valuePin, bytesOf(2.0f));
    press(module);
    EXPECT_EQ(results(), (std::vector<float>{1.0f, 2.0f}));
}

TEST_F(DoubleClick, AValueEqualToTheResultIsNotSent) {
    GuiModule module = detector(wide, 0.0f);
    press(module);
    release(module);
    press(module);
    module.receive(valuePin, bytesOf(-0.0f));
    release(module);
    press(module);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(DoubleClick, WindowsThatNeverFire) {
    const float windows[] = {-1.0f, -2.5f, -1e30f, -std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN()};
    for (const float window : windows) {
        GuiModule module = detector(window, 0.5f);
        press(module);
        release(module);
        press(module);
    }
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(DoubleClick, AHugeWindowSaturatesAndFires) {
    const float windows[] = {1e30f, std::numeric_limits<float>::infinity()};
    for (const float window : windows) {
        GuiModule module = detector(window, 0.5f);
        press(module);
        release(module);
        press(module);
    }
    EXPECT_EQ(results(), (std::vector<float>{0.5f, 0.5f}));
}

} // namespace
