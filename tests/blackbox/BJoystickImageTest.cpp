// "Better Joystick Image" through the export: the handle drawn at the
// reported position, presses on and off the handle, jumps, drags with and
// without the fine factor, the limits, the gradient behind the handle and
// the frame count.
#include "WidgetFixture.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace testhost;

namespace {

using blackbox::floatOf;
using blackbox::sameBits;
using blackbox::sameRect;
using blackbox::sameSize;
using blackbox::Sends;
using blackbox::sent;

enum Pin {
    Position = 0,
    Image = 1,
    Hint = 2,
    MenuItems = 3,
    MenuSelection = 4,
    MouseDown = 5,
    FrameCount = 6,
    X = 7,
    Y = 8,
    JumpToClick = 9,
    AcceptOffHandle = 10,
    XMinimum = 11,
    XMaximum = 12,
    YMinimum = 13,
    YMaximum = 14,
    TopColour = 15,
    BottomColour = 16,
    FineFactor = 17,
};

constexpr int32_t button = gmpi_gui_api::PointerButtonDown;
constexpr int32_t fine = gmpi_gui_api::PointerFineAdjust;

// A 20 x 20 handle, opaque but for a transparent top-left corner of 4 x 4.
Bytes handle() {
    return skinpictures::bmp(
        20, 20, [](int32_t x, int32_t y) -> uint32_t { return x < 4 && y < 4 ? 0u : 0xFFE0E0E0u; });
}

class BJoystickImageTest : public blackbox::WidgetTest {
protected:
    // A fresh joystick of 100 x 100 with the handle at X = Y = 0.5, drawn once.
    void startJoystick(float x = 0.5f, float y = 0.5f) {
        offerPicture("ball.bmp", handle());
        makeWidget(u"Better Joystick Image");
        place({0, 0, 100, 100});
        set(Image, std::u16string(u"ball.bmp"));
        set(X, x);
        set(Y, y);
        paint();
        sends();
        host.graphics.repaints.clear();
    }
    GuiRect handleDrawn() {
        const auto recording = paint();
        const auto blits = recording->of(DrawOp::BlitBitmap);
        EXPECT_EQ(blits.size(), 1u);
        return blits.empty() ? GuiRect{} : blits[0]->rect;
    }
    // Reports the joystick's own sends back to it, as the host does.
    void reportBack(const Sends& all) {
        for (const blackbox::Send& send : all)
            if (send.pinId == X || send.pinId == Y)
                set(send.pinId, floatOf(send));
    }
};

TEST_F(BJoystickImageTest, DrawsTheHandleWhereTheReportedPositionPutsIt) {
    startJoystick();
    EXPECT_TRUE(sameRect(handleDrawn(), {40, 40, 60, 60})) << "centre";
    set(X, 1.0f);
    set(Y, 1.0f);
    EXPECT_EQ(repaintRequests(), 2u);
    EXPECT_TRUE(sameRect(handleDrawn(), {80, 0, 100, 20})) << "top right";
    set(X, 0.0f);
    set(Y, 0.0f);
    EXPECT_TRUE(sameRect(handleDrawn(), {0, 80, 20, 100})) << "bottom left";
    repaintRequests();
    set(X, 0.0f); // unchanged: no repaint
    EXPECT_EQ(repaintRequests(), 0u);
}

TEST_F(BJoystickImageTest, DrawsTheCurrentFrameWithoutThePadding) {
    offerPicture("frames.bmp", skinpictures::solidBmp(20, 60, 0xFF808080),
                 "frame_size 20 20\npadding 2 2 3 3");
    makeWidget(u"Better Joystick Image");
    place({0, 0, 100, 100});
    set(Image, std::u16string(u"frames.bmp"));
    EXPECT_EQ(sends(), (Sends{sent(FrameCount, int32_t(3))}));
    set(Position, 0.5f);
    set(X, 1.0f);
    const auto recording = paint();
    const auto blits = recording->of(DrawOp::BlitBitmap);
    ASSERT_EQ(blits.size(), 1u);
    // The handle is 26 x 24 with its padding: travel 74 across, 76 down.
    EXPECT_TRUE(sameRect(blits[0]->rect, {74, 76, 94, 96})) << "destination";
    EXPECT_TRUE(sameRect(*blits[0]->source, {0, 20, 20, 40})) << "source";
    EXPECT_EQ(blits[0]->interpolation, 1);
    EXPECT_TRUE(sameBits(blits[0]->opacity, 1.0f));
}

TEST_F(BJoystickImageTest, JumpsToAPressWhenAsked) {
    startJoystick(0.0f, 0.0f);
    set(JumpToClick, true);
    EXPECT_EQ(press(50, 10), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(MouseDown, true), sent(X, 0.5f), sent(Y, 1.0f)}));
    EXPECT_EQ(host.graphics.captureTakes, 1);
    // A jump beyond the travel is clamped.
    host.graphics.captured = false;
    set(MouseDown, false);
    press(99, 99);
    EXPECT_EQ(sends(), (Sends{sent(MouseDown, true), sent(X, 1.0f), sent(Y, 0.0f)}));
}

TEST_F(BJoystickImageTest, AJumpUsesWhatTheHostLeftAfterItsCallsFromThePress) {
    struct Case {
        const char* what;
        std::function<void()> changeInsideCapture;
        std::function<void()> changeInsidePressSend;
        Sends sends;
    };
    const Case cases[] = {
        // (50 - 10) / (180 - 20) across; at the top down.
        {"bounds grown inside the capture",
         [this] {
             place({0, 0, 180, 180});
         },
         nullptr,
         {sent(MouseDown, true), sent(X, 0.25f), sent(Y, 1.0f)}},
        // Without a picture there is no handle to jump.
        {"picture dropped inside the press send",
         nullptr,
         [this] { set(Image, std::u16string(u"missing.bmp")); },
         {sent(MouseDown, true)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startJoystick(0.0f, 0.0f);
        set(JumpToClick, true);
        sends();
        host.onCall = [&](HostCall call) {
            if (call == HostCall::TakePointerCapture && c.changeInsideCapture)
                c.changeInsideCapture();
        };
        host.onAccept = [&](const SentValue& value) {
            if (value.pinId == MouseDown && value.asBool() && c.changeInsidePressSend)
                c.changeInsidePressSend();
        };
        EXPECT_EQ(press(50, 10), ResultSuccess);
        host.onCall = nullptr;
        host.onAccept = nullptr;
        EXPECT_EQ(sends(), c.sends);
        dropWidget();
    }
}

TEST_F(BJoystickImageTest, IgnoresPressesOffTheHandleUnlessAccepted) {
    startJoystick();
    struct Case {
        GuiPoint point;
        bool onHandle;
    };
    for (const Case c : {Case{{50, 50}, true}, Case{{41, 41}, false}, // transparent corner
                         Case{{44, 44}, true}, Case{{20, 50}, false}, Case{{60, 50}, false}}) {
        EXPECT_EQ(graphics->probeHit(c.point), c.onHandle ? ResultSuccess : ResultFailure)
            << c.point.x << "," << c.point.y;
        host.graphics.captured = false;
        EXPECT_EQ(press(c.point.x, c.point.y), ResultSuccess);
        EXPECT_EQ(host.graphics.captured, c.onHandle) << c.point.x << "," << c.point.y;
        EXPECT_EQ(sends().empty(), !c.onHandle);
        releaseAt(c.point.x, c.point.y, button);
        sends();
    }
    // Accepting presses off the handle claims the whole area.
    set(AcceptOffHandle, true);
    EXPECT_EQ(graphics->probeHit(GuiPoint{20, 50}), ResultSuccess);
    EXPECT_EQ(press(20, 50), ResultSuccess);
    EXPECT_TRUE(host.graphics.captured);
    EXPECT_EQ(sends(), (Sends{sent(MouseDown, true)}));
    // A press without the first button does nothing.
    host.graphics.captured = false;
    EXPECT_EQ(press(50, 50, 0), ResultSuccess);
    EXPECT_FALSE(host.graphics.captured);
    EXPECT_EQ(sends(), Sends{});
}

TEST_F(BJoystickImageTest, HitsTheHandleWhereTheLastRepaintDrewIt) {
    startJoystick();
    set(X, 0.0f);
    EXPECT_EQ(graphics->probeHit(GuiPoint{50, 50}), ResultSuccess); // not yet repainted
    paint();
    EXPECT_EQ(graphics->probeHit(GuiPoint{50, 50}), ResultFailure);
    EXPECT_EQ(graphics->probeHit(GuiPoint{10, 50}), ResultSuccess);
}

TEST_F(BJoystickImageTest, DragsByThePointersTravelScaledByTheFineFactor) {
    startJoystick();
    press(50, 50);
    sends();
    EXPECT_EQ(motion(58, 50), ResultSuccess); // 8 of 80 pixels of travel
    Sends moved = sends();
    ASSERT_EQ(moved.size(), 1u); // Y stays at the 0.5 it holds
    EXPECT_EQ(moved[0].pinId, X);
    EXPECT_NEAR(floatOf(moved[0]), 0.6f, 1e-6f);

    // Unreported, the position is unchanged: the next move starts from 0.5 again.
    motion(66, 50);
    moved = sends();
    EXPECT_NEAR(floatOf(moved.at(0)), 0.6f, 1e-6f);
    reportBack(moved);

    sends();
    motion(74, 50, fine); // without a fine factor reported: no move
    EXPECT_EQ(sends(), Sends{});
    set(FineFactor, 0.1f);
    motion(82, 50, fine);
    moved = sends();
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_NEAR(floatOf(moved[0]), 0.61f, 1e-6f);

    // Y grows upward.
    reportBack(moved);
    sends();
    motion(82, 42);
    moved = sends();
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].pinId, Y);
    EXPECT_NEAR(floatOf(moved[0]), 0.6f, 1e-6f);
}

TEST_F(BJoystickImageTest, KeepsThePositionWithinItsLimits) {
    startJoystick();
    set(XMinimum, -0.5f);
    set(XMaximum, 0.7f);
    set(YMaximum, 1.5f);
    EXPECT_EQ(repaintRequests(), 0u); // limits alone repaint nothing
    press(50, 50);
    sends();
    motion(90, 50);
    EXPECT_EQ(sends(), (Sends{sent(X, 0.7f)}));
    motion(-100, 50);
    const Sends back = sends();
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(back.back(), sent(X, 0.0f));
    // A report beyond the limit is drawn at the limit; the pin keeps the report.
    set(X, 0.9f);
    const GuiRect drawn = handleDrawn();
    EXPECT_NEAR(drawn.left, 56.0f, 1e-5f);
    set(YMinimum, 0.25f);
    set(Y, 0.0f);
    EXPECT_NEAR(handleDrawn().top, 60.0f, 1e-5f);
}

TEST_F(BJoystickImageTest, FillsTheAreaWithItsGradient) {
    startJoystick();
    // sRGB 96 decoded: about 0.117.
    const double grey = std::pow((96.0 / 255.0 + 0.055) / 1.055, 2.4);
    {
        const auto recording = paint();
        const auto stops = recording->of(DrawOp::MakeGradientStops);
        ASSERT_EQ(stops.size(), 1u);
        ASSERT_EQ(stops[0]->stops.size(), 2u);
        EXPECT_TRUE(sameBits(stops[0]->stops[0].position, 0.0f));
        EXPECT_TRUE(sameBits(stops[0]->stops[0].colour.r, 0.0f));
        EXPECT_TRUE(sameBits(stops[0]->stops[0].colour.a, 1.0f));
        EXPECT_TRUE(sameBits(stops[0]->stops[1].position, 1.0f));
        EXPECT_NEAR(stops[0]->stops[1].colour.g, grey, 1e-6);
        EXPECT_TRUE(sameBits(stops[0]->stops[1].colour.r, stops[0]->stops[1].colour.b));
        EXPECT_TRUE(sameBits(stops[0]->stops[1].colour.a, 1.0f));
        const auto brushes = recording->of(DrawOp::MakeLinearGradientBrush);
        ASSERT_EQ(brushes.size(), 1u);
        EXPECT_TRUE(sameBits(brushes[0]->linear.start.y, 0.0f));
        EXPECT_TRUE(sameBits(brushes[0]->linear.end.x, 0.0f));
        EXPECT_TRUE(sameBits(brushes[0]->linear.end.y, 99.0f));
        ASSERT_TRUE(brushes[0]->spec.has_value());
        const float identity[6] = {1, 0, 0, 1, 0, 0};
        EXPECT_TRUE(sameBits(brushes[0]->spec->opacity, 1.0f));
        for (int i = 0; i < 6; ++i)
            EXPECT_TRUE(sameBits(brushes[0]->spec->transform[i], identity[i])) << i;
        const auto fills = recording->of(DrawOp::PaintRect);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_TRUE(sameRect(fills[0]->rect, {0, 0, 100, 100})) << "fill";
        // The fill comes before the handle.
        EXPECT_EQ(recording->paints().back()->op, DrawOp::BlitBitmap);
    }
    set(TopColour, std::u16string(u"FF0000FF"));
    set(BottomColour, std::u16string(u"80FF0000"));
    {
        const auto recording = paint();
        const auto& stops = recording->of(DrawOp::MakeGradientStops).at(0)->stops;
        EXPECT_NEAR(stops[0].colour.b, 1.0f, 1e-6f);
        EXPECT_TRUE(sameBits(stops[0].colour.r, 0.0f));
        EXPECT_TRUE(sameBits(stops[0].colour.a, 1.0f));
        EXPECT_NEAR(stops[1].colour.r, 1.0f, 1e-6f);
        EXPECT_TRUE(sameBits(stops[1].colour.a, 128 * 0.003921569f));
    }
    // Six digits give alpha 0 on both: nothing is painted behind the handle.
    set(TopColour, std::u16string(u"FF0000"));
    set(BottomColour, std::u16string(u"00FF00"));
    const auto recording = paint();
    EXPECT_TRUE(recording->of(DrawOp::PaintRect).empty());
    EXPECT_EQ(recording->of(DrawOp::BlitBitmap).size(), 1u);
}

TEST_F(BJoystickImageTest, SendsTheFrameCount) {
    offerPicture("tall.bmp", skinpictures::solidBmp(20, 400, 0xFF808080), "frame_size 20 20");
    makeWidget(u"Better Joystick Image");
    set(Image, std::u16string(u"tall.bmp"));
    EXPECT_EQ(sends(), (Sends{sent(FrameCount, int32_t(20))}));
}

TEST_F(BJoystickImageTest, ReleasesThePressWithOrWithoutTheCapture) {
    startJoystick();
    press(50, 50);
    host.graphics.captured = false; // the host took it away
    sends();
    EXPECT_EQ(releaseAt(50, 50, button), ResultFailure);
    EXPECT_EQ(sends(), (Sends{sent(MouseDown, false)}));
    EXPECT_EQ(host.graphics.captureDrops, 0);
    press(50, 50);
    sends();
    EXPECT_EQ(releaseAt(50, 50, button), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(MouseDown, false)}));
    EXPECT_EQ(host.graphics.captureDrops, 1);
    EXPECT_EQ(motion(60, 50), ResultFailure);
}

TEST_F(BJoystickImageTest, DoesNothingWithoutAPicture) {
    makeWidget(u"Better Joystick Image");
    place({0, 0, 100, 100});
    set(JumpToClick, true);
    set(AcceptOffHandle, true);
    EXPECT_EQ(graphics->probeHit(GuiPoint{50, 50}), ResultFailure);
    EXPECT_EQ(press(50, 50), ResultSuccess);
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(host.graphics.captureTakes, 0);
    const auto recording = paint();
    EXPECT_TRUE(recording->of(DrawOp::BlitBitmap).empty());
    EXPECT_EQ(recording->of(DrawOp::PaintRect).size(), 1u); // the gradient only
    GuiSize desired{};
    graphics->computeDesiredSize(GuiSize{30, 40}, &desired);
    EXPECT_TRUE(sameSize(desired, {30, 40}));
}

TEST_F(BJoystickImageTest, AModuleNoLargerThanItsHandleDoesNotMoveIt) {
    offerPicture("ball.bmp", handle());
    makeWidget(u"Better Joystick Image");
    place({0, 0, 20, 100});
    set(Image, std::u16string(u"ball.bmp"));
    set(X, 0.3f);
    set(JumpToClick, true);
    paint();
    sends();
    press(10, 50);
    // Across, the jump leaves X where it is; down, the handle's centre goes under the pointer.
    const Sends pressed = sends();
    EXPECT_EQ(pressed, (Sends{sent(MouseDown, true), sent(Y, 0.5f)}));
    reportBack(pressed);
    sends();
    motion(15, 42);
    const Sends moved = sends();
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].pinId, Y);
    EXPECT_NEAR(floatOf(moved[0]), 0.6f, 1e-6f);
}

} // namespace
