// JogShuttle through the export: turning by dragging around the centre, the
// range and revolutions handlers, the picture hit test, the frame count, the
// frame drawn, and the skin picture shared through the image cache.
#include "WidgetFixture.h"
#include "host/HostString.h"
#include "host/MenuItemSink.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace testhost;

namespace {

using blackbox::floatOf;
using blackbox::sameBits;
using blackbox::sameRect;
using blackbox::sameSize;
using blackbox::Send;
using blackbox::Sends;
using blackbox::sent;

enum Pin {
    Phase = 0,
    Value = 1,
    Minimum = 2,
    Maximum = 3,
    Revolutions = 4,
    Image = 5,
    Hint = 6,
    MenuItems = 7,
    MenuSelection = 8,
    DownA = 9,
    DownB = 10,
    FramesA = 11,
    FramesB = 12,
    Turns = 13,
};

constexpr int32_t button = gmpi_gui_api::PointerButtonDown;

// A round knob of `frames` frames of 100 x 100: opaque within 45 pixels of
// each frame's centre, transparent outside.
Bytes knob(int32_t frames) {
    return skinpictures::bmp(100, 100 * frames, [](int32_t x, int32_t y) -> uint32_t {
        const int32_t dx = x - 50, dy = y % 100 - 50;
        return dx * dx + dy * dy <= 45 * 45 ? 0xFF3060A0u : 0x00000000u;
    });
}

class JogShuttleTest : public blackbox::WidgetTest {
protected:
    // A fresh dial in bounds (0, 0, 100, 100) showing a 4-frame knob.
    void startDial() {
        offerPicture("knob.bmp", knob(4), "frame_size 100 100");
        makeWidget(u"JogShuttle");
        place({0, 0, 100, 100});
        set(Image, std::u16string(u"knob.bmp"));
        sends();
    }
    // A slider picture: background rows 0-9 transparent; the handle
    // (2, 10)-(6, 14) opaque but for its last column; offset -1 at phase 0.
    void offerSliderPicture() {
        offerPicture("slide.bmp",
                     skinpictures::bmp(30, 14,
                                       [](int32_t x, int32_t y) -> uint32_t {
                                           return y >= 10 && x >= 2 && x < 5 ? 0xFF808080u : 0u;
                                       }),
                     "type slider\nframe_size 30 10\nhandle_rect 2 10 6 14\nhandle_range -1 21\n"
                     "padding 1 0 3 0");
    }
    static std::vector<int32_t> pinsOf(const Sends& all) {
        std::vector<int32_t> pins;
        for (const Send& send : all)
            pins.push_back(send.pinId);
        return pins;
    }
};

TEST_F(JogShuttleTest, AQuarterTurnClockwiseMovesAQuarterOfOneStep) {
    startDial();
    EXPECT_EQ(press(90, 50), ResultSuccess); // angle pi
    EXPECT_EQ(host.graphics.captureTakes, 1);
    EXPECT_EQ(sends(), (Sends{sent(DownA, true), sent(DownB, true)}));

    EXPECT_EQ(motion(50, 90), ResultSuccess); // angle 3 pi / 2
    const Sends turned = sends();
    ASSERT_EQ(pinsOf(turned), (std::vector<int32_t>{Value, Phase, Turns}));
    for (const Send& send : turned) {
        EXPECT_LT(floatOf(send), 0.25f) << send.pinId;
        EXPECT_GT(floatOf(send), 0.2499f) << send.pinId;
    }
    EXPECT_TRUE(sameBits(floatOf(turned[0]), floatOf(turned[1]))); // one turn sweeps 10 of 10

    // A quarter turn back returns to 0; turning further anticlockwise is held at the minimum.
    EXPECT_EQ(motion(90, 50), ResultSuccess);
    EXPECT_TRUE(sameBits(floatOf(sends().at(0)), 0.0f));
    EXPECT_EQ(motion(50, 10), ResultSuccess);
    EXPECT_EQ(sends(), Sends{});
}

TEST_F(JogShuttleTest, TurningAnticlockwiseFromTheMinimumSendsNothing) {
    startDial();
    press(90, 50);
    sends();
    EXPECT_EQ(motion(50, 10), ResultSuccess);
    EXPECT_EQ(sends(), Sends{});
}

TEST_F(JogShuttleTest, CrossingTheLeftOfTheCentreIsASmallStep) {
    startDial();
    struct Case {
        GuiPoint from, to;
        float sign; // anticlockwise on screen is negative
    };
    for (const Case c : {Case{{10, 49}, {10, 51}, -1.0f}, Case{{10, 51}, {10, 49}, 1.0f}}) {
        set(Value, 5.0f);
        press(50, 50);
        motion(c.from.x, c.from.y);
        set(Value, 5.0f);
        sends();
        motion(c.to.x, c.to.y);
        const Sends stepped = sends();
        ASSERT_EQ(pinsOf(stepped), (std::vector<int32_t>{Value, Phase, Turns}));
        const float turns = floatOf(stepped[2]);
        EXPECT_GT(turns * c.sign, 0.0f);
        EXPECT_LT(std::fabs(turns), 0.01f);
        EXPECT_LT(std::fabs(floatOf(stepped[0]) - 5.0f), 0.01f);
    }
}

TEST_F(JogShuttleTest, OneRevolutionSweepsTheWholeRange) {
    startDial();
    set(Revolutions, 1.0f);
    press(90, 50);
    motion(50, 90);
    sends();
    motion(10, 50); // half a turn from the start
    Sends turned = sends();
    ASSERT_EQ(pinsOf(turned), (std::vector<int32_t>{Value, Phase, Turns}));
    EXPECT_NEAR(floatOf(turned[0]), 5.0f, 2e-6f);
    EXPECT_NEAR(floatOf(turned[1]), 0.5f, 2e-7f);
    motion(50, 10);
    sends();
    motion(90, 50); // the full turn: the end of the range, phase 0
    turned = sends();
    ASSERT_EQ(pinsOf(turned), (std::vector<int32_t>{Value, Phase, Turns}));
    EXPECT_TRUE(sameBits(floatOf(turned[0]), 10.0f));
    EXPECT_TRUE(sameBits(floatOf(turned[1]), 0.0f));
}

TEST_F(JogShuttleTest, KeepsTheRangeAndTheValueInsideIt) {
    startDial();
    set(Revolutions, 2.5f);
    EXPECT_EQ(sends(), Sends{}); // phase of value 0 is 0, as the pin holds
    set(Value, 7.0f);
    EXPECT_EQ(sends(), (Sends{sent(Phase, 0.75f)}));

    set(Minimum, 12.0f); // not below the maximum: ignored
    set(Minimum, 10.0f);
    EXPECT_EQ(sends(), Sends{});
    set(Maximum, 5.0f); // below the value: the value follows
    EXPECT_EQ(sends(), (Sends{sent(Value, 5.0f), sent(Phase, 0.5f)}));

    set(Value, 25.0f); // clamped to 5: unchanged, nothing sent
    EXPECT_EQ(sends(), Sends{});
    set(Minimum, 6.0f); // above the maximum 5: ignored
    set(Minimum, 4.0f); // below the value: nothing moves
    EXPECT_EQ(sends(), Sends{});
    set(Value, -3.0f); // clamped to the minimum 4
    EXPECT_EQ(sends(), (Sends{sent(Phase, 0.0f)}));
    set(Minimum, 4.5f); // above the value: the value follows
    EXPECT_EQ(sends(), (Sends{sent(Value, 4.5f)}));
}

TEST_F(JogShuttleTest, AValueBeyondTheRangeTouchesOnlyThePhase) {
    startDial();
    set(Revolutions, 2.5f);
    set(Value, 25.0f);
    EXPECT_EQ(sends(), (Sends{sent(Phase, 0.5f)}));
    // A value that is no number changes nothing.
    set(Value, NAN);
    EXPECT_EQ(sends(), Sends{});
    press(90, 50);
    motion(50, 90); // held at the maximum: only the press is sent
    EXPECT_EQ(sends(), (Sends{sent(DownA, true), sent(DownB, true)}));
}

TEST_F(JogShuttleTest, PressesOnlyOnVisiblePixelsOfThePicture) {
    startDial();
    EXPECT_EQ(press(50, 50, 0), ResultSuccess); // no first button: nothing
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(host.graphics.captureTakes, 0);
    EXPECT_EQ(press(3, 3), ResultFailure);    // a transparent corner
    EXPECT_EQ(press(120, 50), ResultFailure); // beside the frame
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(host.graphics.captureTakes, 0);

    struct Case {
        GuiPoint point;
        int32_t answer;
    };
    for (const Case c : {Case{{50, 50}, ResultSuccess}, Case{{3, 3}, ResultFailure},
                         Case{{99.5f, 50}, ResultFailure}, Case{{50, 100}, ResultFailure},
                         Case{{-0.5f, 50}, ResultFailure}, Case{{NAN, 50}, ResultFailure},
                         Case{{5.5f, 50}, ResultSuccess}, Case{{50, -1}, ResultFailure}})
        EXPECT_EQ(graphics->probeHit(c.point), c.answer) << c.point.x << "," << c.point.y;
}

TEST_F(JogShuttleTest, TestsTheFrameShownInsideThePadding) {
    // Frame 1 is opaque only in its left half; frame 0 entirely.
    offerPicture("two.bmp",
                 skinpictures::bmp(20, 40,
                                   [](int32_t x, int32_t y) -> uint32_t {
                                       return y < 20 || x < 10 ? 0xFF808080u : 0u;
                                   }),
                 "frame_size 20 20\npadding 5 0 7 0");
    makeWidget(u"JogShuttle");
    set(Image, std::u16string(u"two.bmp"));
    EXPECT_EQ(graphics->probeHit(GuiPoint{22, 10}), ResultSuccess);
    // Coordinates are truncated toward zero: less than a pixel before the frame is its first.
    EXPECT_EQ(graphics->probeHit(GuiPoint{6.5f, 10}), ResultSuccess);
    EXPECT_EQ(graphics->probeHit(GuiPoint{5.9f, 10}), ResultFailure);
    EXPECT_EQ(graphics->probeHit(GuiPoint{7, 3.9f}), ResultFailure);
    set(Phase, 1.0f); // frame 1
    EXPECT_EQ(graphics->probeHit(GuiPoint{22, 10}), ResultFailure);
    EXPECT_EQ(graphics->probeHit(GuiPoint{10, 24.9f}), ResultSuccess);
    EXPECT_EQ(graphics->probeHit(GuiPoint{10, 25}), ResultFailure);

    GuiSize desired{};
    EXPECT_EQ(graphics->computeDesiredSize(GuiSize{300, 300}, &desired), ResultSuccess);
    EXPECT_TRUE(sameSize(desired, {27, 25}));
}

TEST_F(JogShuttleTest, TestsASliderPictureOnItsHandle) {
    offerSliderPicture();
    makeWidget(u"JogShuttle");
    set(Image, std::u16string(u"slide.bmp"));
    // Offset -1 at phase 0: the handle's first column cut, drawn from x = 3, y = 11.
    struct Case {
        float phase;
        GuiPoint point;
        int32_t answer;
    };
    for (const Case c :
         {Case{0.0f, {3, 11}, ResultSuccess}, Case{0.0f, {2.9f, 11}, ResultFailure},
          Case{0.0f, {4.9f, 14.9f}, ResultSuccess},
          Case{0.0f, {5, 11}, ResultFailure}, // the transparent last column
          Case{0.0f, {3, 15}, ResultFailure}, Case{0.0f, {3, 10.9f}, ResultFailure},
          // Offset -1 + trunc(0.5 x 22) = 10: drawn from x = 13.
          Case{0.5f, {13, 11}, ResultSuccess}, Case{0.5f, {12.9f, 11}, ResultFailure},
          Case{0.5f, {3, 11}, ResultFailure}}) {
        set(Phase, c.phase);
        EXPECT_EQ(graphics->probeHit(c.point), c.answer)
            << c.phase << ": " << c.point.x << "," << c.point.y;
    }
    // Every blit stays inside the handle and background as drawn.
    set(Phase, 0.0f);
    const auto recording = paint();
    const auto blits = recording->of(DrawOp::BlitBitmap);
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_TRUE(sameRect(*blits[1]->source, {3, 10, 6, 14})) << "handle source";
    EXPECT_TRUE(sameRect(blits[1]->rect, {3, 11, 6, 15})) << "handle destination";
}

TEST_F(JogShuttleTest, ASliderMovedFromInsideItsFirstBlitIsDrawnAtOneOffset) {
    // From inside the background's blit the host moves the handle to
    // offset 10; the handle's blit still draws offset -1 throughout (its
    // first column cut), and the next repaint draws the new place.
    offerSliderPicture();
    makeWidget(u"JogShuttle");
    set(Image, std::u16string(u"slide.bmp"));
    set(Phase, 0.0f);
    const auto before = paint();
    const auto firstBlit = std::find_if(before->calls.begin(), before->calls.end(),
                                        [](auto& c) { return c.op == DrawOp::BlitBitmap; });
    ASSERT_NE(firstBlit, before->calls.end());
    const auto blitCall = firstBlit - before->calls.begin();
    int32_t call = 0;
    drawing.onCall = [&](HostCall c) {
        if (c == HostCall::Draw && call++ == blitCall)
            set(Phase, 0.5f);
    };
    const auto during = paint();
    drawing.onCall = nullptr;
    const auto blits = during->of(DrawOp::BlitBitmap);
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_TRUE(sameRect(*blits[1]->source, {3, 10, 6, 14})) << "handle source";
    EXPECT_TRUE(sameRect(blits[1]->rect, {3, 11, 6, 15})) << "handle destination";
    const auto next = paint();
    const auto after = next->of(DrawOp::BlitBitmap);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_TRUE(sameRect(*after[1]->source, {2, 10, 6, 14})) << "moved handle source";
    EXPECT_TRUE(sameRect(after[1]->rect, {13, 11, 17, 15})) << "moved handle destination";
}

TEST_F(JogShuttleTest, ABargraphPictureIsHitEverywhere) {
    offerPicture("bar.bmp", skinpictures::solidBmp(10, 20, 0), "type bargraph\nframe_size 10 10");
    makeWidget(u"JogShuttle");
    set(Image, std::u16string(u"bar.bmp"));
    EXPECT_EQ(graphics->probeHit(GuiPoint{-50, 500}), ResultSuccess);
}

TEST_F(JogShuttleTest, MissesWhereTheFramesAreLargerThanThePicture) {
    offerPicture("small.bmp", skinpictures::solidBmp(10, 10, 0xFF808080), "frame_size 40 40");
    makeWidget(u"JogShuttle");
    set(Image, std::u16string(u"small.bmp"));
    EXPECT_EQ(graphics->probeHit(GuiPoint{5, 5}), ResultSuccess);
    EXPECT_EQ(graphics->probeHit(GuiPoint{15, 5}), ResultFailure);
    EXPECT_EQ(graphics->probeHit(GuiPoint{5, 30}), ResultFailure);
}

TEST_F(JogShuttleTest, CannotBeTurnedWithoutAPicture) {
    makeWidget(u"JogShuttle");
    place({0, 0, 100, 100});
    EXPECT_EQ(graphics->probeHit(GuiPoint{50, 50}), ResultFailure);
    EXPECT_EQ(press(50, 50), ResultFailure);
    GuiSize desired{};
    graphics->computeDesiredSize(GuiSize{300, 300}, &desired);
    EXPECT_TRUE(sameSize(desired, {10, 10}));
    // The placeholder is drawn.
    EXPECT_EQ(paint()->of(DrawOp::DrawText).size(), 1u);
}

TEST_F(JogShuttleTest, MovesOnlyWhileHoldingThePointer) {
    startDial();
    EXPECT_EQ(motion(50, 90), ResultFailure);
    EXPECT_EQ(sends(), Sends{});
    press(90, 50);
    sends();
    EXPECT_EQ(releaseAt(90, 50, button), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(DownA, false), sent(DownB, false)}));
    EXPECT_EQ(host.graphics.captureDrops, 1);
    EXPECT_EQ(motion(50, 90), ResultFailure);
    EXPECT_EQ(releaseAt(90, 50, button), ResultFailure);
    EXPECT_EQ(sends(), Sends{});
}

TEST_F(JogShuttleTest, WithNoRevolutionsATurnGoesToAnEndAndNoTurnNowhere) {
    startDial();
    set(Revolutions, 0.0f);
    press(90, 50);
    sends();
    motion(90, 50); // no turn: nothing
    EXPECT_EQ(sends(), Sends{});
    motion(50, 90);
    // The phase of no revolutions stays 0, as the pin holds.
    const Sends turned = sends();
    ASSERT_EQ(pinsOf(turned), (std::vector<int32_t>{Value, Turns}));
    EXPECT_TRUE(sameBits(floatOf(turned[0]), 10.0f));
}

TEST_F(JogShuttleTest, SendsTheFrameCountOfThePicture) {
    offerPicture("tall.bmp", skinpictures::solidBmp(8, 640, 0xFF808080), "frame_size 8 64");
    makeWidget(u"JogShuttle");
    set(Image, std::u16string(u"tall.bmp"));
    EXPECT_EQ(sends(), (Sends{sent(FramesB, int32_t(10)), sent(FramesA, int32_t(10))}));
    EXPECT_EQ(host.graphics.remeasures, 1);
}

TEST_F(JogShuttleTest, DrawsTheFrameThatItsPhaseSelects) {
    startDial();
    set(Phase, 0.7f); // trunc(0.7 x 3 + 0.5) = 2
    const auto recording = paint();
    const auto blits = recording->of(DrawOp::BlitBitmap);
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_TRUE(sameRect(*blits[0]->source, {0, 200, 100, 300})) << "source";
    EXPECT_TRUE(sameRect(blits[0]->rect, {0, 0, 100, 100})) << "destination";
    EXPECT_EQ(blits[0]->bitmap->uri, "skin/knob.bmp");
}

TEST_F(JogShuttleTest, SharesItsPictureWithEveryDialUntilTheLastGoes) {
    offerPicture("knob.bmp", knob(2), "frame_size 100 100");
    makeWidget(u"JogShuttle");
    {
        GuiModule second = make(u"JogShuttle");
        set(Image, std::u16string(u"knob.bmp"));
        ASSERT_EQ(second.set(Image, std::u16string(u"knob.bmp")), ResultSuccess);
        const auto a = paint(), b = paint(second);
        EXPECT_EQ(a->of(DrawOp::BlitBitmap)[0]->bitmap->id,
                  b->of(DrawOp::BlitBitmap)[0]->bitmap->id);
        EXPECT_EQ(drawing.imageLoads, std::vector<std::string>{"skin/knob.bmp"});
        dropWidget();
        EXPECT_EQ(drawing.ledger()->live("bitmap"), 1);
    }
    EXPECT_EQ(drawing.ledger()->live("bitmap"), 0);
    makeWidget(u"JogShuttle");
    set(Image, std::u16string(u"knob.bmp"));
    EXPECT_EQ(drawing.imageLoads.size(), 2u);
}

TEST_F(JogShuttleTest, TakesItsAlphaFromAMaskPicture) {
    offerPicture("masked.bmp", skinpictures::solidBmp(4, 4, 0xFFC8C8C8));
    offerPicture("masked_mask.bmp", skinpictures::bmp(4, 4, [](int32_t x, int32_t) {
                     return x < 2 ? 0xFF000000u : 0xFFFFFFFFu;
                 }));
    makeWidget(u"JogShuttle");
    set(Image, std::u16string(u"masked.bmp"));
    EXPECT_EQ(graphics->probeHit(GuiPoint{1, 1}), ResultSuccess);
    EXPECT_EQ(graphics->probeHit(GuiPoint{2, 1}), ResultFailure);
    const auto recording = paint();
    const auto& pixels = *recording->of(DrawOp::BlitBitmap).at(0)->bitmap->pixels;
    EXPECT_EQ(pixels.pixel(0, 3) >> 24, 0xFFu);
    EXPECT_EQ(pixels.pixel(3, 3), 0u);
}

TEST_F(JogShuttleTest, OffersItsMenuAndHint) {
    startDial();
    set(MenuItems, std::u16string(u"Reset=3,Fine"));
    set(Hint, std::u16string(u"Jog"));
    MenuItemSink sink;
    EXPECT_EQ(widget->get()->fillContextMenu(0, 0, &sink), ResultSuccess);
    EXPECT_EQ(sink.items, (std::vector<MenuItem>{{"Reset", 3, 0}, {"Fine", 4, 0}}));
    EXPECT_EQ(widget->get()->onContextMenuPick(4), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(MenuSelection, int32_t(4)), sent(MenuSelection, int32_t(-1))}));
    HostString text;
    EXPECT_EQ(widget->get()->hintTextAt(0, 0, &text), ResultSuccess);
    EXPECT_EQ(text.text, "Jog");
    text.text.clear();
    EXPECT_EQ(graphics->graphicsHintTextAt(GuiPoint{0, 0}, &text), ResultSuccess);
    EXPECT_EQ(text.text, "Jog");
}

} // namespace
