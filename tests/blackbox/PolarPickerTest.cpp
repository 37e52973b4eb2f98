// PolarPicker through the export: presses and drags turned into angle and
// radius, the handle drawn where the host's reports put it, the gradient disc,
// and the pins it shares with the image base.
#include "WidgetFixture.h"
#include "host/HostString.h"

#include <cmath>

using namespace testhost;
using blackbox::sameBits;
using blackbox::sameColour;
using blackbox::samePoint;
using blackbox::sameRect;
using blackbox::Sends;
using blackbox::sent;
using blackbox::srgbByte;

namespace {

constexpr int32_t pinAnimation = 0, pinImage = 1, pinHint = 2, pinMenuSelection = 4,
                  pinMouseDown = 5, pinFrameCount = 6, pinAngle = 7, pinRadius = 8,
                  pinCentreColour = 9, pinEdgeColour = 10, pinInset = 11, pinOffsetX = 12,
                  pinOffsetY = 13;

class PolarPickerTest : public blackbox::WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        offerPicture("handle.bmp", skinpictures::solidBmp(20, 20, 0xFFFFFFFF));
        offerPicture("frames.bmp", skinpictures::solidBmp(20, 60, 0xFF808080), "frame_size 20 20");
        offerPicture("padded.bmp", skinpictures::solidBmp(20, 20, 0xFF808080),
                     "frame_size 20 20\npadding 1 2 3 4");
        makeWidget(u"PolarPicker");
    }

    // A picker of w x h with the 20 x 20 handle, painted once.
    void start(float w = 100, float h = 100, const char16_t* picture = u"handle.bmp") {
        set(pinImage, std::u16string(picture));
        place({0, 0, w, h});
        paint();
        sends();
        repaintRequests();
    }

    // Where the next repaint puts the handle; fails when it draws none.
    GuiRect handleAt() {
        const auto drawn = paint();
        const auto blits = drawn->of(DrawOp::BlitBitmap);
        EXPECT_EQ(blits.size(), 1u);
        return blits.empty() ? GuiRect{} : blits[0]->rect;
    }

    void report(float angle, float radius) {
        set(pinAngle, angle);
        set(pinRadius, radius);
    }
};

struct PressCase {
    const char* name;
    GuiPoint point;
    float angle, radius;
};

TEST_F(PolarPickerTest, APressPutsTheHandlesCentreUnderThePointer) {
    const PressCase cases[] = {
        {"centre", {50, 50}, 0, 0},
        {"right", {90, 50}, 0, 1},
        {"top", {50, 10}, 0.25f, 1},
        {"left", {10, 50}, 0.5f, 1},
        {"bottom (atan2 gives -pi/2, 2 pi is added)", {50, 90}, 0.75f, 1},
        {"corner: the radius stops at 1", {100, 0}, 0.125f, 1},
        {"half way up on the right", {70, 50}, 0, 0.5f},
    };
    for (const PressCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeWidget(u"PolarPicker");
        start();
        EXPECT_EQ(press(c.point.x, c.point.y), ResultSuccess);
        Sends expected{sent(pinMouseDown, true)};
        if (c.angle != 0)
            expected.push_back(sent(pinAngle, c.angle));
        if (c.radius != 0)
            expected.push_back(sent(pinRadius, c.radius));
        EXPECT_EQ(sends(), expected);
        EXPECT_TRUE(host.graphics.captured);
    }
}

TEST_F(PolarPickerTest, OnlyAFirstButtonPressWithAPictureTakesThePointer) {
    start(100, 100, u"");
    EXPECT_EQ(press(90, 50), ResultSuccess);
    set(pinImage, std::u16string(u"handle.bmp"));
    sends();
    EXPECT_EQ(press(90, 50, 0x20), ResultSuccess);
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(host.graphics.captureTakes, 0);
    EXPECT_EQ(press(90, 50, 0x10 | 0x20000), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(pinMouseDown, true), sent(pinRadius, 1.0f)}));
}

TEST_F(PolarPickerTest, ADragFollowsThePointerWhileTheCaptureIsHeld) {
    start();
    press(50, 50);
    sends();
    EXPECT_EQ(motion(50, 10, 0), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(pinAngle, 0.25f), sent(pinRadius, 1.0f)}));
    EXPECT_EQ(motion(10, 50), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(pinAngle, 0.5f)}));
    host.graphics.captured = false;
    EXPECT_EQ(motion(90, 50), ResultFailure);
    EXPECT_EQ(sends(), Sends{});
}

TEST_F(PolarPickerTest, AReleaseClearsMouseDownAndAnswersWhetherItHeldTheCapture) {
    start();
    press(50, 50);
    sends();
    host.graphics.captured = false;
    EXPECT_EQ(releaseAt(0, 0), ResultFailure);
    EXPECT_EQ(sends(), Sends{sent(pinMouseDown, false)});
    EXPECT_EQ(host.graphics.captureDrops, 0);
    press(50, 50);
    sends();
    EXPECT_EQ(releaseAt(0, 0), ResultSuccess);
    EXPECT_EQ(sends(), Sends{sent(pinMouseDown, false)});
    EXPECT_EQ(host.graphics.captureDrops, 1);
}

TEST_F(PolarPickerTest, AnAreaNoLargerThanTheHandleKeepsItAtTheCentre) {
    start(20, 60);
    press(3, 15);
    EXPECT_EQ(sends(), (Sends{sent(pinMouseDown, true), sent(pinAngle, 0.25f),
                              sent(pinRadius, 0.75f)})); // only y can travel
    start(20, 20);
    press(3, 15);
    EXPECT_EQ(sends(), (Sends{sent(pinAngle, 0.0f), sent(pinRadius, 0.0f)}));
}

TEST_F(PolarPickerTest, TheHandleMovesOnlyWhenTheHostReportsThePins) {
    start();
    EXPECT_TRUE(sameRect(handleAt(), {40, 40, 60, 60}));
    press(90, 50);
    EXPECT_TRUE(sameRect(handleAt(), {40, 40, 60, 60}));
    repaintRequests();
    report(0.0f, 1.0f);
    EXPECT_EQ(repaintRequests(), 2u);
    EXPECT_TRUE(sameRect(handleAt(), {80, 40, 100, 60}));
    report(0.0f, 1.0f); // each report repaints, changed or not
    EXPECT_EQ(repaintRequests(), 2u);
}

struct HandleCase {
    const char* name;
    float angle, radius;
    GuiRect at;
};

TEST_F(PolarPickerTest, ReportedAngleAndRadiusAreClampedAndPlaceTheHandle) {
    // Sine and cosine of a float32 turn are not exact: "about".
    const HandleCase cases[] = {
        {"top", 0.25f, 1, {40, 0, 60, 20}},
        {"centre", 0, 0, {40, 40, 60, 60}},
        {"left, half way", 0.5f, 0.5f, {20, 40, 40, 60}},
        {"angle below 0 draws as 0", -0.2f, 1, {80, 40, 100, 60}},
        {"angle above 1 draws as 1", 1.3f, 1, {80, 40, 100, 60}},
        {"radius above 1 draws as 1", 0.75f, 7, {40, 80, 60, 100}},
        {"radius below 0 draws as 0", 0.75f, -1, {40, 40, 60, 60}},
    };
    start();
    for (const HandleCase& c : cases) {
        SCOPED_TRACE(c.name);
        report(c.angle, c.radius);
        const GuiRect at = handleAt();
        EXPECT_NEAR(at.left, c.at.left, 1e-4);
        EXPECT_NEAR(at.top, c.at.top, 1e-4);
        EXPECT_TRUE(sameBits(at.right, at.left + 20.0f));
        EXPECT_TRUE(sameBits(at.bottom, at.top + 20.0f));
    }
}

TEST_F(PolarPickerTest, TheCurrentFrameIsDrawnWithoutItsPaddings) {
    start(100, 100, u"frames.bmp");
    EXPECT_EQ(sends(), Sends{});
    set(pinImage, std::u16string(u"frames.bmp"));
    EXPECT_EQ(sends(), Sends{}); // three frames: pin 6 holds 3 already
    set(pinAnimation, 0.5f);
    const auto drawn = paint();
    const auto blits = drawn->of(DrawOp::BlitBitmap);
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_TRUE(sameRect(blits[0]->rect, {40, 40, 60, 60}));
    ASSERT_TRUE(blits[0]->source);
    EXPECT_TRUE(sameRect(*blits[0]->source, {0, 20, 20, 40}));
    EXPECT_TRUE(sameBits(blits[0]->opacity, 1.0f));
    EXPECT_EQ(blits[0]->interpolation, 1);

    // The paddings widen the handle, so its travel: 73 x 77.
    makeWidget(u"PolarPicker");
    set(pinImage, std::u16string(u"padded.bmp"));
    EXPECT_EQ(sends(), (Sends{sent(pinFrameCount, 1)}));
    place({0, 0, 100, 100});
    report(0.0f, 1.0f);
    EXPECT_TRUE(sameRect(handleAt(), {73, 38.5f, 93, 58.5f}));
}

TEST_F(PolarPickerTest, TheFrameCountIsSentWhenAPictureLoads) {
    set(pinImage, std::u16string(u"frames.bmp"));
    EXPECT_EQ(sends(), (Sends{sent(pinFrameCount, 3)}));
    set(pinImage, std::u16string(u"handle.bmp"));
    EXPECT_EQ(sends(), (Sends{sent(pinFrameCount, 1)}));
    set(pinImage, std::u16string(u"missing.bmp"));
    EXPECT_EQ(sends(), Sends{});
    place({0, 0, 100, 100});
    EXPECT_TRUE(paint()->of(DrawOp::BlitBitmap).empty());
}

struct DiscCase {
    const char* name;
    GuiRect bounds;
    float inset;
    int32_t offsetX, offsetY;
    GuiPoint centre;
    float radiusX, radiusY;
};

TEST_F(PolarPickerTest, TheDiscIsARadialGradientInsetFromTheEdges) {
    const DiscCase cases[] = {
        {"inset 0", {0, 0, 100, 60}, 0, 0, 0, {50, 30}, 50, 30},
        {"shifted centre", {0, 0, 100, 60}, 0, 10, -5, {60, 25}, 50, 30},
        {"inset 10", {0, 0, 100, 60}, 10, 0, 0, {50, 30}, 40, 20},
        {"negative inset gives 0", {0, 0, 100, 60}, -4, 0, 0, {50, 30}, 50, 30},
        {"bounds off the origin", {30, 30, 130, 90}, 0, 0, 0, {50, 30}, 50, 30},
    };
    const GuiColour centre{0.0f, srgbByte(32), srgbByte(64), 1.0f};
    const GuiColour edge{srgbByte(64), srgbByte(128), srgbByte(192), 1.0f};
    for (const DiscCase& c : cases) {
        SCOPED_TRACE(c.name);
        set(pinInset, c.inset);
        set(pinOffsetX, c.offsetX);
        set(pinOffsetY, c.offsetY);
        place(c.bounds);
        const auto drawn = paint();
        EXPECT_EQ(blackbox::opsOf(*drawn),
                  (std::vector<DrawOp>{DrawOp::MakeGradientStops, DrawOp::MakeRadialGradientBrush,
                                       DrawOp::PaintEllipse}));
        const auto discs = drawn->of(DrawOp::PaintEllipse);
        ASSERT_EQ(discs.size(), 1u);
        const DrawCall& disc = *discs[0];
        EXPECT_TRUE(samePoint(disc.ellipse.centre, c.centre));
        EXPECT_TRUE(sameBits(disc.ellipse.radiusX, c.radiusX));
        EXPECT_TRUE(sameBits(disc.ellipse.radiusY, c.radiusY));
        ASSERT_TRUE(disc.brush);
        ASSERT_EQ(disc.brush->kind, BrushState::Kind::Radial);
        EXPECT_TRUE(samePoint(disc.brush->radial.centre, c.centre));
        EXPECT_TRUE(samePoint(disc.brush->radial.originOffset, {0, 0}));
        EXPECT_TRUE(sameBits(disc.brush->radial.radiusX, c.radiusX));
        EXPECT_TRUE(sameBits(disc.brush->radial.radiusY, c.radiusY));
        ASSERT_EQ(disc.brush->stops.size(), 2u);
        EXPECT_TRUE(sameBits(disc.brush->stops[0].position, 0.0f));
        EXPECT_TRUE(sameColour(disc.brush->stops[0].colour, centre));
        EXPECT_TRUE(sameBits(disc.brush->stops[1].position, 1.0f));
        EXPECT_TRUE(sameColour(disc.brush->stops[1].colour, edge));
        EXPECT_TRUE(sameBits(disc.brush->spec.opacity, 1.0f));
        const float identity[6] = {1, 0, 0, 1, 0, 0};
        for (int i = 0; i < 6; ++i)
            EXPECT_TRUE(sameBits(disc.brush->spec.transform[i], identity[i]));
    }
}

TEST_F(PolarPickerTest, UntilTheInsetIsReportedTheDiscLies100PixelsInside) {
    place({0, 0, 100, 60});
    const auto drawn = paint(); // no picture: the disc alone, its radii negative
    const auto discs = drawn->of(DrawOp::PaintEllipse);
    ASSERT_EQ(discs.size(), 1u);
    EXPECT_TRUE(sameBits(discs[0]->ellipse.radiusX, -50.0f));
    EXPECT_TRUE(sameBits(discs[0]->ellipse.radiusY, -70.0f));
}

TEST_F(PolarPickerTest, ColourTextsSetTheGradientAndInvisibleColoursPaintNoDisc) {
    place({0, 0, 100, 100});
    set(pinInset, 0.0f);
    set(pinCentreColour, std::u16string(u"80FF0000"));
    set(pinEdgeColour, std::u16string(u"FF0000")); // six digits: alpha 0
    auto drawn = paint();
    auto discs = drawn->of(DrawOp::PaintEllipse);
    ASSERT_EQ(discs.size(), 1u);
    EXPECT_TRUE(sameColour(discs[0]->brush->stops[0].colour, {1.0000001f, 0, 0, 0.50196081f}));
    EXPECT_TRUE(sameColour(discs[0]->brush->stops[1].colour, {1.0000001f, 0, 0, 0}));
    set(pinCentreColour, std::u16string(u"00FFFFFF"));
    drawn = paint();
    EXPECT_TRUE(drawn->calls.empty());
    repaintRequests();
    set(pinCentreColour, std::u16string());
    set(pinEdgeColour, std::u16string());
    EXPECT_EQ(repaintRequests(), 2u);
    drawn = paint();
    discs = drawn->of(DrawOp::PaintEllipse);
    ASSERT_EQ(discs.size(), 1u);
    EXPECT_TRUE(sameColour(discs[0]->brush->stops[0].colour, {0, srgbByte(32), srgbByte(64), 1}));
}

TEST_F(PolarPickerTest, TheHintAndTheMenuUseTheImageBasePins) {
    set(pinHint, std::u16string(u"Hue and saturation"));
    HostString text;
    EXPECT_EQ(widget->get()->hintTextAt(0, 0, &text), ResultSuccess);
    EXPECT_EQ(text.text, "Hue and saturation");
    EXPECT_EQ(widget->get()->onContextMenuPick(7), ResultSuccess);
    EXPECT_EQ(sends(), (Sends{sent(pinMenuSelection, 7), sent(pinMenuSelection, -1)}));
}

} // namespace
