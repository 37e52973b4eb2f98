// RadioButtons through the export: the outputs the selection lights in both
// modes, the host pressing and releasing buttons, and the re-send one tick
// after a release (real thread timers under wine, the stand-in clock on Linux).
#include "LibraryFixture.h"
#include "SentLog.h"
#include "host/LegacyGuiModule.h"
#include "host/MessageLoop.h"

#include <cmath>
#include <utility>
#include <vector>

using namespace testhost;
using blackbox::Send;

namespace {

using Sends = std::vector<Send>;

constexpr int32_t pinSelection = 0, pinToggle = 1;

Send out(int32_t pin, float level) {
    return {pin, bytesOf(level), 0, HostInterface::Legacy};
}
Send selection(int32_t s) {
    return {pinSelection, bytesOf(s), 0, HostInterface::Legacy};
}

class RadioButtonsTest : public blackbox::LibraryTest {
protected:
    void TearDown() override {
        radio.reset();
        LibraryTest::TearDown();
    }
    // Makes the module, and starts it when `pinCount` is given: three outputs by default.
    void make(int32_t pinCount = 5, bool startup = true) {
        host.pinCount = pinCount;
        radio = std::make_unique<LegacyGuiModule>(factory(), u"RadioButtons", host);
        ASSERT_EQ(radio->makeResult, ResultSuccess);
        ASSERT_TRUE(*radio);
        if (startup) {
            EXPECT_EQ((*radio)->onStartup(), ResultSuccess);
        }
        host.sent.clear();
    }
    Sends sends() { return blackbox::sendsOf(host); }
    Sends select(int32_t s) {
        host.sent.clear();
        EXPECT_EQ(radio->set(pinSelection, s), ResultSuccess);
        return sends();
    }
    Sends toggleMode(bool on) {
        host.sent.clear();
        EXPECT_EQ(radio->set(pinToggle, on), ResultSuccess);
        return sends();
    }
    // The host writes an output: the outputs are not the module's pins.
    Sends press(int32_t pin, const Bytes& bytes) {
        host.sent.clear();
        EXPECT_EQ(radio->receive(pin, bytes), ResultFailure);
        return sends();
    }
    Sends press(int32_t pin, float level) { return press(pin, bytesOf(level)); }
    // Pumps messages until `count` more values arrived; returns them.
    Sends afterTick(size_t count) {
        host.sent.clear();
        EXPECT_TRUE(pumpMessagesUntil([&] { return host.sent.size() >= count; }));
        return sends();
    }
    Sends quietFor(uint32_t ms) {
        host.sent.clear();
        pumpMessagesFor(ms);
        return sends();
    }

    std::unique_ptr<LegacyGuiModule> radio;
};

TEST_F(RadioButtonsTest, StartupCountsTheHostsPinsAndLightsTheSelection) {
    make(5, false);
    EXPECT_EQ((*radio)->onStartup(), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{out(3, 0.0f), out(4, 0.0f), out(2, 1.0f)}));
}

TEST_F(RadioButtonsTest, ASelectionSendsTheZerosInIndexOrderThenTheOne) {
    make();
    EXPECT_EQ(select(1), (Sends{out(2, 0.0f), out(4, 0.0f), out(3, 1.0f)}));
    EXPECT_EQ(select(2), (Sends{out(2, 0.0f), out(3, 0.0f), out(4, 1.0f)}));
    EXPECT_EQ(select(2), (Sends{out(2, 0.0f), out(3, 0.0f), out(4, 1.0f)})); // each report
}

TEST_F(RadioButtonsTest, ToggleModeCountsTheSelectionFromOneAndZeroLightsNone) {
    make();
    EXPECT_EQ(toggleMode(true), (Sends{out(2, 0.0f), out(3, 0.0f), out(4, 0.0f)}));
    EXPECT_EQ(select(3), (Sends{out(2, 0.0f), out(3, 0.0f), out(4, 1.0f)}));
    EXPECT_EQ(select(4), Sends{});
    EXPECT_EQ(select(1), (Sends{out(3, 0.0f), out(4, 0.0f), out(2, 1.0f)}));
    EXPECT_EQ(select(0), (Sends{out(2, 0.0f), out(3, 0.0f), out(4, 0.0f)}));
}

TEST_F(RadioButtonsTest, SwitchingTheModeReappliesTheSelection) {
    make();
    select(2);
    EXPECT_EQ(toggleMode(true), (Sends{out(2, 0.0f), out(4, 0.0f), out(3, 1.0f)}));
    EXPECT_EQ(toggleMode(false), (Sends{out(2, 0.0f), out(3, 0.0f), out(4, 1.0f)}));
}

TEST_F(RadioButtonsTest, ASelectionOutOfRangeSendsNothingButAPressTurnsItsIndexOff) {
    make();
    EXPECT_EQ(select(3), Sends{});
    EXPECT_EQ(press(2, 1.0f), (Sends{out(5, 0.0f), selection(0)}));
}

TEST_F(RadioButtonsTest, ANegativeSelectionNeverWritesTheModulesOwnPins) {
    for (const bool toggle : {false, true}) {
        SCOPED_TRACE(toggle ? "toggle mode" : "normal mode");
        make();
        toggleMode(toggle);
        EXPECT_EQ(select(-1), Sends{});
        EXPECT_EQ(press(3, 1.0f), Sends{selection(toggle ? 2 : 1)});
    }
}

TEST_F(RadioButtonsTest, ASelectionSetFromInsideTheSendsOfAnotherStands) {
    for (const bool toggle : {false, true}) {
        SCOPED_TRACE(toggle ? "toggle mode" : "normal mode");
        make();
        toggleMode(toggle);
        // From inside the first output sent for selection 0 (1 in toggle
        // mode, the first button either way), the host selects the last.
        bool nested = false;
        host.onAccept = [&](const SentValue&) {
            if (!std::exchange(nested, true))
                radio->set(pinSelection, toggle ? 3 : 2);
        };
        select(toggle ? 1 : 0);
        host.onAccept = nullptr;
        ASSERT_TRUE(nested);
        // Only the last button is lit, and it is the one a press turns off.
        const Sends all = sends();
        for (const int32_t pin : {2, 3, 4}) {
            const Send* last = nullptr;
            for (const Send& s : all)
                if (s.pinId == pin)
                    last = &s;
            ASSERT_NE(last, nullptr) << pin;
            EXPECT_EQ(valueOf<float>(last->bytes), pin == 4 ? 1.0f : 0.0f) << pin;
        }
        EXPECT_EQ(press(3, 1.0f), (Sends{out(4, 0.0f), selection(toggle ? 2 : 1)}));
    }
}

TEST_F(RadioButtonsTest, PressingAnotherOutputTurnsTheLitOneOffAndReportsTheSelection) {
    make();
    EXPECT_EQ(press(4, 1.0f), (Sends{out(2, 0.0f), selection(2)}));
    EXPECT_EQ(press(3, 0.25f), (Sends{out(4, 0.0f), selection(1)}));
}

TEST_F(RadioButtonsTest, PressingTheLitOutputChangesNothingInEitherMode) {
    make();
    EXPECT_EQ(press(2, 1.0f), Sends{});
    toggleMode(true);
    select(2);
    EXPECT_EQ(press(3, 0.5f), Sends{});
}

TEST_F(RadioButtonsTest, InNormalModeALitButtonComesBackAtOnceAndTheRowAfterOneTick) {
    make();
    select(1);
    EXPECT_EQ(press(3, 0.0f), Sends{out(3, 1.0f)});
    EXPECT_EQ(afterTick(3), (Sends{out(2, 0.0f), out(4, 0.0f), out(3, 1.0f)}));
    EXPECT_EQ(quietFor(100), Sends{}); // the module left the tick service
}

TEST_F(RadioButtonsTest, ReleasingAnUnlitButtonOnlyStartsTheTick) {
    make();
    EXPECT_EQ(press(4, -1.0f), Sends{});
    EXPECT_EQ(afterTick(3), (Sends{out(3, 0.0f), out(4, 0.0f), out(2, 1.0f)}));
}

TEST_F(RadioButtonsTest, ReleasesBeforeTheTickShareOneTick) {
    make();
    press(2, 0.0f);
    press(3, 0.0f);
    press(2, 0.0f);
    EXPECT_EQ(afterTick(3), (Sends{out(3, 0.0f), out(4, 0.0f), out(2, 1.0f)}));
    EXPECT_EQ(quietFor(100), Sends{});
}

TEST_F(RadioButtonsTest, AModuleReleasedBeforeItsTickIsNotTicked) {
    make();
    press(3, 0.0f);
    radio.reset();
    EXPECT_EQ(quietFor(100), Sends{});
}

TEST_F(RadioButtonsTest, InToggleModeReleasingTheLitButtonLightsNone) {
    make();
    toggleMode(true);
    select(2);
    EXPECT_EQ(press(3, 0.0f), Sends{selection(0)});
    EXPECT_EQ(press(2, 1.0f), Sends{selection(1)}); // nothing lit: no zero
    EXPECT_EQ(press(4, 1.0f), (Sends{out(2, 0.0f), selection(3)}));
    EXPECT_EQ(press(3, 0.0f), Sends{}); // not lit
    EXPECT_EQ(quietFor(50), Sends{});   // toggle mode starts no tick
}

TEST_F(RadioButtonsTest, TheHostValueIsReadFromAtMostItsDeliveredBytes) {
    struct Case {
        const char* name;
        Bytes bytes;
        bool pressed;
    };
    const Case cases[] = {
        {"1.0", bytesOf(1.0f), true},
        {"one byte 01: a tiny positive float", Bytes{1}, true},
        {"8 bytes: the first 4", {0, 0, 0x80, 0x3F, 0, 0, 0x80, 0xBF}, true},
        {"no bytes: 0.0", Bytes{}, false},
        {"-0.0", bytesOf(-0.0f), false},
        {"NaN", bytesOf(std::nanf("")), false},
        {"-inf", bytesOf(-INFINITY), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        make();
        select(1);
        EXPECT_EQ(press(4, c.bytes), c.pressed ? (Sends{out(3, 0.0f), selection(2)}) : Sends{});
    }
}

TEST_F(RadioButtonsTest, BeforeStartupOrWithTooFewHostPinsNothingIsLit) {
    make(5, false);
    EXPECT_EQ(select(1), Sends{});
    EXPECT_EQ(toggleMode(true), Sends{});
    for (const int32_t pinCount : {2, 1, 0, -5, INT32_MIN}) {
        SCOPED_TRACE(pinCount);
        make(pinCount);
        EXPECT_EQ(sends(), Sends{});
        EXPECT_EQ(select(0), Sends{});
        EXPECT_EQ(toggleMode(true), Sends{});
    }
}

TEST_F(RadioButtonsTest, ItsTwoPinsStoreAndTheOutputsAreNotItsOwn) {
    make();
    EXPECT_EQ(radio->receive(pinSelection, bytesOf(int32_t(2))), ResultSuccess);
    EXPECT_EQ(radio->receive(pinToggle, bytesOf(true)), ResultSuccess);
    EXPECT_EQ(sends(), Sends{}); // nothing until the change is reported
    EXPECT_EQ(radio->changed(2), ResultFailure);
    EXPECT_EQ((*radio)->legacyHookA(), ResultSuccess);
}

TEST_F(RadioButtonsTest, AHostWithoutTheLegacyInterfaceCannotMakeIt) {
    host.offer(HostInterface::Legacy, false);
    void* out = &out;
    EXPECT_EQ(factory()->makeModule(u"RadioButtons", GuiPart, host.object(), &out), ResultFailure);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory()->makeModule(u"RadioButtons", Gui2Part, host.object(), &out),
              ResultUnsupported);
}

} // namespace
