// MouseBox through the export: its size on repaint, the pointer's position,
// fractions, angle and their changes while a button is held, the flips, and
// the release that zeroes the change outputs.
#include "LongItemLists.h"
#include "WidgetFixture.h"
#include "host/HostString.h"
#include "host/MenuItemSink.h"

#include <cmath>
#include <limits>

using namespace testhost;
using blackbox::floatOf;
using blackbox::intOf;
using blackbox::lastOn;
using blackbox::sameBits;
using blackbox::Sends;
using blackbox::sent;

namespace {

constexpr int32_t pinFlips = 0, pinHint = 1, pinMenuItems = 2, pinMenuSelection = 3,
                  pinMouseDown = 4, pinWidth = 5, pinHeight = 6, pinX = 7, pinY = 8,
                  pinXFraction = 9, pinYFraction = 10, pinAngle = 11, pinDeltaX = 12,
                  pinDeltaY = 13, pinDeltaXFraction = 14, pinDeltaYFraction = 15,
                  pinDeltaAngle = 16;

class MouseBoxTest : public blackbox::WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        makeWidget(u"MouseBox");
    }
    // Painted at (0, 0, 200, 100), as the host does before any press.
    void start(int32_t flips = 0) {
        set(pinFlips, flips);
        place({0, 0, 200, 100});
        paint();
        sends();
    }
    // The int a pin holds after these sends, from 0.
    static int32_t intOn(const Sends& all, int32_t pin) {
        const blackbox::Send* last = lastOn(all, pin);
        return last ? intOf(*last) : 0;
    }
};

TEST_F(MouseBoxTest, ARepaintReportsTheSizeInWholePixelsAndDrawsNothing) {
    place({10, 20, 210.9f, 120.5f});
    const auto drawn = paint();
    EXPECT_TRUE(drawn->calls.empty());
    EXPECT_EQ(sends(), (Sends{sent(pinWidth, 200), sent(pinHeight, 100)}));
    paint();
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(repaintRequests(), 1u); // the new bounds' only
}

TEST_F(MouseBoxTest, APressReportsThePositionAndZeroChanges) {
    start();
    EXPECT_EQ(press(150.7f, 50.2f), ResultSuccess);
    EXPECT_EQ(sends(),
              (Sends{sent(pinMouseDown, true), sent(pinX, 150), sent(pinY, 50),
                     sent(pinXFraction, 0.75f), sent(pinYFraction, 0.5f), sent(pinAngle, 0.25f)}));
    EXPECT_EQ(host.graphics.captureTakes, 1);
}

TEST_F(MouseBoxTest, EachMoveReportsTheChangeSinceThePreviousReport) {
    start();
    press(150.7f, 50.2f);
    sends();
    EXPECT_EQ(motion(100, 80, 0), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(pinX, 100), sent(pinY, 80), sent(pinXFraction, 0.5f),
                              sent(pinYFraction, 0.8f), sent(pinAngle, 0.5f), sent(pinDeltaX, -50),
                              sent(pinDeltaY, 30), sent(pinDeltaXFraction, -0.25f),
                              sent(pinDeltaYFraction, 0.8f - 0.5f), sent(pinDeltaAngle, 0.25f)}));
    EXPECT_EQ(motion(100, 79), ResultSuccess); // from the move, not from the press
    EXPECT_EQ(sends(), (Sends{sent(pinY, 79), sent(pinYFraction, 0.79f), sent(pinDeltaX, 0),
                              sent(pinDeltaY, -1), sent(pinDeltaXFraction, 0.0f),
                              sent(pinDeltaYFraction, 0.79f - 0.8f), sent(pinDeltaAngle, 0.0f)}));
}

TEST_F(MouseBoxTest, ChangesAreMeasuredFromWhatWasReportedNotFromWhatTheHostWroteBack) {
    start();
    // From inside the report the host writes its own values to the fraction pins.
    host.onAccept = [this](const SentValue& value) {
        if (value.pinId == pinAngle) {
            widget->set(pinXFraction, 0.9f);
            widget->set(pinYFraction, 0.1f);
        }
    };
    press(150.7f, 50.2f);
    EXPECT_EQ(sends(),
              (Sends{sent(pinMouseDown, true), sent(pinX, 150), sent(pinY, 50),
                     sent(pinXFraction, 0.75f), sent(pinYFraction, 0.5f), sent(pinAngle, 0.25f)}));
    motion(100, 80, 0);
    host.onAccept = nullptr;
    EXPECT_EQ(sends(), (Sends{sent(pinX, 100), sent(pinY, 80), sent(pinXFraction, 0.5f),
                              sent(pinYFraction, 0.8f), sent(pinAngle, 0.5f), sent(pinDeltaX, -50),
                              sent(pinDeltaY, 30), sent(pinDeltaXFraction, -0.25f),
                              sent(pinDeltaYFraction, 0.8f - 0.5f), sent(pinDeltaAngle, 0.25f)}));
}

TEST_F(MouseBoxTest, TheAngleChangeAcrossTheTopStaysSmall) {
    start();
    press(101, 0); // just right of straight above: the angle is near 0
    const Sends pressed = sends();
    ASSERT_TRUE(lastOn(pressed, pinAngle));
    EXPECT_LT(floatOf(*lastOn(pressed, pinAngle)), 0.01f);
    motion(99, 0); // just left: near 1
    const Sends moved = sends();
    ASSERT_TRUE(lastOn(moved, pinAngle) && lastOn(moved, pinDeltaAngle));
    EXPECT_GT(floatOf(*lastOn(moved, pinAngle)), 0.99f);
    const float change = floatOf(*lastOn(moved, pinDeltaAngle));
    EXPECT_LT(change, 0.0f);
    EXPECT_GT(change, -0.01f);
    motion(101, 0); // and back
    const Sends back = sends();
    ASSERT_TRUE(lastOn(back, pinDeltaAngle));
    EXPECT_TRUE(sameBits(floatOf(*lastOn(back, pinDeltaAngle)), -change));
}

struct FlipCase {
    int32_t flips;
    GuiPoint point;
    int32_t x, y;
};

TEST_F(MouseBoxTest, PinZeroCountsFromTheBottomAndFromTheRight) {
    const FlipCase cases[] = {
        {1, {5, 0}, 5, 99},
        {2, {0, 5}, 199, 5},
        {3, {0, 0}, 199, 99},
        {3, {199.9f, 99.9f}, 0, 0},
    };
    for (const FlipCase& c : cases) {
        SCOPED_TRACE(c.flips);
        makeWidget(u"MouseBox");
        start(c.flips);
        press(c.point.x, c.point.y);
        // The pins start at 0: a position of 0 is not sent.
        const Sends all = sends();
        EXPECT_EQ(intOn(all, pinX), c.x);
        EXPECT_EQ(intOn(all, pinY), c.y);
    }
}

TEST_F(MouseBoxTest, AReleaseZeroesTheChangesAndKeepsThePosition) {
    start();
    press(150.7f, 50.2f);
    motion(100, 80);
    sends();
    host.graphics.captured = false; // dropped without asking
    EXPECT_EQ(releaseAt(300, 300), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(pinMouseDown, false), sent(pinDeltaY, 0), sent(pinDeltaX, 0),
                              sent(pinDeltaAngle, 0.0f), sent(pinDeltaYFraction, 0.0f),
                              sent(pinDeltaXFraction, 0.0f)}));
    EXPECT_EQ(host.graphics.captureDrops, 1);
    EXPECT_EQ(releaseAt(0, 0), ResultSuccess);
    EXPECT_EQ(sends(), Sends{});
}

TEST_F(MouseBoxTest, AMoveWithoutTheCaptureSendsNothing) {
    start();
    EXPECT_EQ(motion(10, 10), ResultFailure);
    EXPECT_EQ(sends(), Sends{});
}

TEST_F(MouseBoxTest, AnyButtonStartsTracking) {
    start();
    EXPECT_EQ(press(20, 10, 0x20), ResultSuccess);
    EXPECT_EQ(sends().front(), sent(pinMouseDown, true));
    EXPECT_TRUE(host.graphics.captured);
}

TEST_F(MouseBoxTest, ACapturedPointerFarOutsideGivesClampedCoordinates) {
    start(3);
    press(-3e9f, -3e9f); // 199 - INT32_MIN does not fit
    const Sends pressed = sends();
    ASSERT_TRUE(lastOn(pressed, pinX));
    EXPECT_EQ(intOf(*lastOn(pressed, pinX)), std::numeric_limits<int32_t>::max());
    motion(3e9f, 3e9f);
    const Sends moved = sends();
    ASSERT_TRUE(lastOn(moved, pinX) && lastOn(moved, pinDeltaX));
    EXPECT_EQ(intOf(*lastOn(moved, pinX)), 199 - 2147483647);
    EXPECT_EQ(intOf(*lastOn(moved, pinDeltaX)), std::numeric_limits<int32_t>::min());
}

TEST_F(MouseBoxTest, BeforeItsFirstRepaintTheFractionsDivideByZero) {
    press(5, 5);
    const Sends pressed = sends();
    ASSERT_TRUE(lastOn(pressed, pinXFraction) && lastOn(pressed, pinYFraction));
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(sameBits(floatOf(*lastOn(pressed, pinXFraction)), infinity));
    EXPECT_TRUE(sameBits(floatOf(*lastOn(pressed, pinYFraction)), infinity));
}

TEST_F(MouseBoxTest, TheHintAndTheMenuUseTheImageBasePins) {
    set(pinHint, std::u16string(u"Drag here"));
    HostString text;
    EXPECT_EQ(widget->get()->hintTextAt(0, 0, &text), ResultSuccess);
    EXPECT_EQ(text.text, "Drag here");
    EXPECT_EQ(widget->get()->onContextMenuPick(2), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(pinMenuSelection, 2), sent(pinMenuSelection, -1)}));
}

TEST_F(MouseBoxTest, TheMenuOffersAtMostTheFirst65536ItemsOfItsList) {
    for (const blackbox::LongListCase& c : blackbox::longListCases()) {
        SCOPED_TRACE(c.what);
        set(pinMenuItems, c.list);
        MenuItemSink sink;
        EXPECT_EQ(widget->get()->fillContextMenu(0, 0, &sink), ResultSuccess);
        ASSERT_EQ(sink.items.size(), size_t(c.offered));
        EXPECT_EQ(sink.items.front(), (MenuItem{c.firstText, c.firstId, 0}));
        EXPECT_EQ(sink.items.back(), (MenuItem{c.lastText, c.lastId, 0}));
        if (c.separatorAt >= 0) {
            EXPECT_EQ(sink.items.at(size_t(c.separatorAt)).text, "----");
        }
        EXPECT_EQ(sink.references(), 0);
    }
}

} // namespace
