// "Better Joystick Image" through the export: the handle drawn at the
// reported position, presses on and off the handle, jumps, drags with and
// without the fine factor, the limits, the gradient behind the handle and
// the frame count.
#include "SkinWidgetFixture.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace testhost;

namespace {

using blackbox::boolSend;
using blackbox::expectRect;
using blackbox::floatSend;
using blackbox::intSend;
using blackbox::Send;

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

class BJoystickImageTest : public blackbox::SkinWidgetTest {
protected:
    // A fresh joystick of 100 x 100 with the handle at X = Y = 0.5, drawn once.
    GuiModule joystick(float x = 0.5f, float y = 0.5f) {
        offerPicture("ball.bmp", handle());
        GuiModule module = make(u"Better Joystick Image");
        place(module, 100, 100);
        module.set(Image, std::u16string(u"ball.bmp"));
        module.set(X, x);
        module.set(Y, y);
        paint(module);
        host.sent.clear();
        host.graphics.repaints.clear();
        return module;
    }
    GuiRect handleDrawn(const GuiModule& module) {
        const auto recording = paint(module);
        const auto blits = recording->of(DrawOp::BlitBitmap);
        EXPECT_EQ(blits.size(), 1u);
        return blits.empty() ? GuiRect{} : blits[0]->rect;
    }
    int32_t press(const GuiModule& m, float x, float y, int32_t flags = button) {
        return graphicsOf(m)->onPress(flags, GuiPoint{x, y});
    }
    int32_t move(const GuiModule& m, float x, float y, int32_t flags = button) {
        return graphicsOf(m)->onMotion(flags, GuiPoint{x, y});
    }
    // Reports the joystick's own sends back to it, as the host does.
    void reportBack(const GuiModule& m) {
        for (const SentValue& value : host.sent)
            if (value.pinId == X || value.pinId == Y)
                m.set(value.pinId, value.asFloat());
    }
};

TEST_F(BJoystickImageTest, DrawsTheHandleWhereTheReportedPositionPutsIt) {
    GuiModule module = joystick();
    expectRect(handleDrawn(module), GuiRect{40, 40, 60, 60}, "centre");
    module.set(X, 1.0f);
    module.set(Y, 1.0f);
    EXPECT_EQ(host.graphics.repaints.size(), 2u);
    expectRect(handleDrawn(module), GuiRect{80, 0, 100, 20}, "top right");
    module.set(X, 0.0f);
    module.set(Y, 0.0f);
    expectRect(handleDrawn(module), GuiRect{0, 80, 20, 100}, "bottom left");
    host.graphics.repaints.clear();
    module.set(X, 0.0f); // unchanged: no repaint
    EXPECT_TRUE(host.graphics.repaints.empty());
}

TEST_F(BJoystickImageTest, DrawsTheCurrentFrameWithoutThePadding) {
    offerPicture("frames.bmp", skinpictures::solidBmp(20, 60, 0xFF808080),
                 "frame_size 20 20\npadding 2 2 3 3");
    GuiModule module = make(u"Better Joystick Image");
    place(module, 100, 100);
    module.set(Image, std::u16string(u"frames.bmp"));
    EXPECT_EQ(sent(), (std::vector<Send>{intSend(FrameCount, 3)}));
    module.set(Position, 0.5f);
    module.set(X, 1.0f);
    const auto recording = paint(module);
    const auto blits = recording->of(DrawOp::BlitBitmap);
    ASSERT_EQ(blits.size(), 1u);
    // The handle is 26 x 24 with its padding: travel 74 across, 76 down.
    expectRect(blits[0]->rect, GuiRect{74, 76, 94, 96}, "destination");
    expectRect(*blits[0]->source, GuiRect{0, 20, 20, 40}, "source");
    EXPECT_EQ(blits[0]->interpolation, 1);
    EXPECT_EQ(testhost::floatBits(blits[0]->opacity), testhost::floatBits(1.0f));
}

TEST_F(BJoystickImageTest, JumpsToAPressWhenAsked) {
    GuiModule module = joystick(0.0f, 0.0f);
    module.set(JumpToClick, true);
    EXPECT_EQ(press(module, 50, 10), ResultSuccess);
    EXPECT_EQ(sent(), (std::vector<Send>{boolSend(MouseDown, true), floatSend(X, 0.5f),
                                         floatSend(Y, 1.0f)}));
    EXPECT_EQ(host.graphics.captureTakes, 1);
    // A jump beyond the travel is clamped.
    host.sent.clear();
    host.graphics.captured = false;
    module.set(MouseDown, false);
    press(module, 99, 99);
    EXPECT_EQ(sent(), (std::vector<Send>{boolSend(MouseDown, true), floatSend(X, 1.0f),
                                         floatSend(Y, 0.0f)}));
}

TEST_F(BJoystickImageTest, AJumpUsesWhatTheHostLeftAfterItsCallsFromThePress) {
    struct Case {
        const char* what;
        std::function<void(const GuiModule&)> changeInsideCapture;
        std::function<void(const GuiModule&)> changeInsidePressSend;
        std::vector<Send> sends;
    };
    const Case cases[] = {
        // (50 - 10) / (180 - 20) across; at the top down.
        {"bounds grown inside the capture",
         [](const GuiModule& m) { place(m, 180, 180); },
         nullptr,
         {boolSend(MouseDown, true), floatSend(X, 0.25f), floatSend(Y, 1.0f)}},
        // Without a picture there is no handle to jump.
        {"picture dropped inside the press send",
         nullptr,
         [](const GuiModule& m) { m.set(Image, std::u16string(u"missing.bmp")); },
         {boolSend(MouseDown, true)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GuiModule module = joystick(0.0f, 0.0f);
        module.set(JumpToClick, true);
        host.sent.clear();
        host.onCall = [&](HostCall call) {
            if (call == HostCall::TakePointerCapture && c.changeInsideCapture)
                c.changeInsideCapture(module);
        };
        host.onAccept = [&](const SentValue& value) {
            if (value.pinId == MouseDown && value.asBool() && c.changeInsidePressSend)
                c.changeInsidePressSend(module);
        };
        EXPECT_EQ(press(module, 50, 10), ResultSuccess);
        host.onCall = nullptr;
        host.onAccept = nullptr;
        EXPECT_EQ(sent(), c.sends);
    }
}

TEST_F(BJoystickImageTest, IgnoresPressesOffTheHandleUnlessAccepted) {
    GuiModule module = joystick();
    const auto graphics = graphicsOf(module);
    struct Case {
        GuiPoint point;
        bool onHandle;
    };
    for (const Case c : {Case{{50, 50}, true}, Case{{41, 41}, false}, // transparent corner
                         Case{{44, 44}, true}, Case{{20, 50}, false}, Case{{60, 50}, false}}) {
        EXPECT_EQ(graphics->probeHit(c.point), c.onHandle ? ResultSuccess : ResultFailure)
            << c.point.x << "," << c.point.y;
        host.graphics.captured = false;
        EXPECT_EQ(press(module, c.point.x, c.point.y), ResultSuccess);
        EXPECT_EQ(host.graphics.captured, c.onHandle) << c.point.x << "," << c.point.y;
        EXPECT_EQ(host.sent.empty(), !c.onHandle);
        graphics->onRelease(button, c.point);
        host.sent.clear();
    }
    // Accepting presses off the handle claims the whole area.
    module.set(AcceptOffHandle, true);
    EXPECT_EQ(graphics->probeHit(GuiPoint{20, 50}), ResultSuccess);
    EXPECT_EQ(press(module, 20, 50), ResultSuccess);
    EXPECT_TRUE(host.graphics.captured);
    EXPECT_EQ(sent(), (std::vector<Send>{boolSend(MouseDown, true)}));
    // A press without the first button does nothing.
    host.sent.clear();
    host.graphics.captured = false;
    EXPECT_EQ(press(module, 50, 50, 0), ResultSuccess);
    EXPECT_FALSE(host.graphics.captured);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(BJoystickImageTest, HitsTheHandleWhereTheLastRepaintDrewIt) {
    GuiModule module = joystick();
    module.set(X, 0.0f);
    const auto graphics = graphicsOf(module);
    EXPECT_EQ(graphics->probeHit(GuiPoint{50, 50}), ResultSuccess); // not yet repainted
    paint(module);
    EXPECT_EQ(graphics->probeHit(GuiPoint{50, 50}), ResultFailure);
    EXPECT_EQ(graphics->probeHit(GuiPoint{10, 50}), ResultSuccess);
}

TEST_F(BJoystickImageTest, DragsByThePointersTravelScaledByTheFineFactor) {
    GuiModule module = joystick();
    press(module, 50, 50);
    host.sent.clear();
    EXPECT_EQ(move(module, 58, 50), ResultSuccess); // 8 of 80 pixels of travel
    ASSERT_EQ(host.sent.size(), 1u);                // Y stays at the 0.5 it holds
    EXPECT_EQ(host.sent[0].pinId, X);
    EXPECT_NEAR(host.sent[0].asFloat(), 0.6f, 1e-6f);

    // Unreported, the position is unchanged: the next move starts from 0.5 again.
    host.sent.clear();
    move(module, 66, 50);
    EXPECT_NEAR(host.sent.at(0).asFloat(), 0.6f, 1e-6f);
    reportBack(module);

    host.sent.clear();
    move(module, 74, 50, fine); // without a fine factor reported: no move
    EXPECT_TRUE(host.sent.empty());
    module.set(FineFactor, 0.1f);
    move(module, 82, 50, fine);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_NEAR(host.sent[0].asFloat(), 0.61f, 1e-6f);

    // Y grows upward.
    reportBack(module);
    host.sent.clear();
    move(module, 82, 42);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].pinId, Y);
    EXPECT_NEAR(host.sent[0].asFloat(), 0.6f, 1e-6f);
}

TEST_F(BJoystickImageTest, KeepsThePositionWithinItsLimits) {
    GuiModule module = joystick();
    module.set(XMinimum, -0.5f);
    module.set(XMaximum, 0.7f);
    module.set(YMaximum, 1.5f);
    EXPECT_TRUE(host.graphics.repaints.empty()); // limits alone repaint nothing
    press(module, 50, 50);
    host.sent.clear();
    move(module, 90, 50);
    EXPECT_EQ(sent(), (std::vector<Send>{floatSend(X, 0.7f)}));
    move(module, -100, 50);
    EXPECT_EQ(sent().back(), floatSend(X, 0.0f));
    // A report beyond the limit is drawn at the limit; the pin keeps the report.
    module.set(X, 0.9f);
    const GuiRect drawn = handleDrawn(module);
    EXPECT_NEAR(drawn.left, 56.0f, 1e-5f);
    module.set(YMinimum, 0.25f);
    module.set(Y, 0.0f);
    EXPECT_NEAR(handleDrawn(module).top, 60.0f, 1e-5f);
}

TEST_F(BJoystickImageTest, FillsTheAreaWithItsGradient) {
    GuiModule module = joystick();
    // sRGB 96 decoded: about 0.117.
    const double grey = std::pow((96.0 / 255.0 + 0.055) / 1.055, 2.4);
    {
        const auto recording = paint(module);
        const auto stops = recording->of(DrawOp::MakeGradientStops);
        ASSERT_EQ(stops.size(), 1u);
        ASSERT_EQ(stops[0]->stops.size(), 2u);
        EXPECT_EQ(stops[0]->stops[0].position, 0.0f);
        EXPECT_EQ(floatBits(stops[0]->stops[0].colour.r), floatBits(0.0f));
        EXPECT_EQ(stops[0]->stops[0].colour.a, 1.0f);
        EXPECT_EQ(stops[0]->stops[1].position, 1.0f);
        EXPECT_NEAR(stops[0]->stops[1].colour.g, grey, 1e-6);
        EXPECT_EQ(stops[0]->stops[1].colour.r, stops[0]->stops[1].colour.b);
        EXPECT_EQ(stops[0]->stops[1].colour.a, 1.0f);
        const auto brushes = recording->of(DrawOp::MakeLinearGradientBrush);
        ASSERT_EQ(brushes.size(), 1u);
        EXPECT_EQ(brushes[0]->linear.start.y, 0.0f);
        EXPECT_EQ(brushes[0]->linear.end.x, 0.0f);
        EXPECT_EQ(brushes[0]->linear.end.y, 99.0f);
        ASSERT_TRUE(brushes[0]->spec.has_value());
        const float identity[6] = {1, 0, 0, 1, 0, 0};
        EXPECT_EQ(brushes[0]->spec->opacity, 1.0f);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(brushes[0]->spec->transform[i], identity[i]);
        const auto fills = recording->of(DrawOp::PaintRect);
        ASSERT_EQ(fills.size(), 1u);
        expectRect(fills[0]->rect, GuiRect{0, 0, 100, 100}, "fill");
        // The fill comes before the handle.
        EXPECT_EQ(recording->paints().back()->op, DrawOp::BlitBitmap);
    }
    module.set(TopColour, std::u16string(u"FF0000FF"));
    module.set(BottomColour, std::u16string(u"80FF0000"));
    {
        const auto recording = paint(module);
        const auto& stops = recording->of(DrawOp::MakeGradientStops).at(0)->stops;
        EXPECT_NEAR(stops[0].colour.b, 1.0f, 1e-6f);
        EXPECT_EQ(stops[0].colour.r, 0.0f);
        EXPECT_EQ(stops[0].colour.a, 1.0f);
        EXPECT_NEAR(stops[1].colour.r, 1.0f, 1e-6f);
        EXPECT_EQ(floatBits(stops[1].colour.a), floatBits(128 * 0.003921569f));
    }
    // Six digits give alpha 0 on both: nothing is painted behind the handle.
    module.set(TopColour, std::u16string(u"FF0000"));
    module.set(BottomColour, std::u16string(u"00FF00"));
    const auto recording = paint(module);
    EXPECT_TRUE(recording->of(DrawOp::PaintRect).empty());
    EXPECT_EQ(recording->of(DrawOp::BlitBitmap).size(), 1u);
}

TEST_F(BJoystickImageTest, SendsTheFrameCount) {
    offerPicture("tall.bmp", skinpictures::solidBmp(20, 400, 0xFF808080), "frame_size 20 20");
    GuiModule module = make(u"Better Joystick Image");
    module.set(Image, std::u16string(u"tall.bmp"));
    EXPECT_EQ(sent(), (std::vector<Send>{intSend(FrameCount, 20)}));
}

TEST_F(BJoystickImageTest, ReleasesThePressWithOrWithoutTheCapture) {
    GuiModule module = joystick();
    press(module, 50, 50);
    host.graphics.captured = false; // the host took it away
    host.sent.clear();
    EXPECT_EQ(graphicsOf(module)->onRelease(button, GuiPoint{50, 50}), ResultFailure);
    EXPECT_EQ(sent(), (std::vector<Send>{boolSend(MouseDown, false)}));
    EXPECT_EQ(host.graphics.captureDrops, 0);
    press(module, 50, 50);
    host.sent.clear();
    EXPECT_EQ(graphicsOf(module)->onRelease(button, GuiPoint{50, 50}), ResultSuccess);
    EXPECT_EQ(sent(), (std::vector<Send>{boolSend(MouseDown, false)}));
    EXPECT_EQ(host.graphics.captureDrops, 1);
    EXPECT_EQ(move(module, 60, 50), ResultFailure);
}

TEST_F(BJoystickImageTest, DoesNothingWithoutAPicture) {
    GuiModule module = make(u"Better Joystick Image");
    place(module, 100, 100);
    module.set(JumpToClick, true);
    module.set(AcceptOffHandle, true);
    const auto graphics = graphicsOf(module);
    EXPECT_EQ(graphics->probeHit(GuiPoint{50, 50}), ResultFailure);
    EXPECT_EQ(press(module, 50, 50), ResultSuccess);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(host.graphics.captureTakes, 0);
    const auto recording = paint(module);
    EXPECT_TRUE(recording->of(DrawOp::BlitBitmap).empty());
    EXPECT_EQ(recording->of(DrawOp::PaintRect).size(), 1u); // the gradient only
    GuiSize desired{};
    graphics->computeDesiredSize(GuiSize{30, 40}, &desired);
    EXPECT_EQ(desired.width, 30.0f);
    EXPECT_EQ(desired.height, 40.0f);
}

TEST_F(BJoystickImageTest, AModuleNoLargerThanItsHandleDoesNotMoveIt) {
    offerPicture("ball.bmp", handle());
    GuiModule module = make(u"Better Joystick Image");
    place(module, 20, 100);
    module.set(Image, std::u16string(u"ball.bmp"));
    module.set(X, 0.3f);
    module.set(JumpToClick, true);
    paint(module);
    host.sent.clear();
    press(module, 10, 50);
    // Across, the jump leaves X where it is; down, the handle's centre goes under the pointer.
    EXPECT_EQ(sent(), (std::vector<Send>{boolSend(MouseDown, true), floatSend(Y, 0.5f)}));
    reportBack(module);
    host.sent.clear();
    move(module, 15, 42);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].pinId, Y);
    EXPECT_NEAR(host.sent[0].asFloat(), 0.6f, 1e-6f);
}

} // namespace
