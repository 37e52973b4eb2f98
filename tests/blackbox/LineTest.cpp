// KZLine through the export: what it paints, where its band lies for presses
// and hit tests, its pins' clamping and colours, and the mouse-down output.
#include "WidgetFixture.h"
#include "tests/AsciiText.h"

#include <cmath>
#include <string>

using namespace testhost;
using blackbox::sameBits;
using blackbox::sameColour;
using blackbox::samePoint;
using blackbox::sameRect;
using blackbox::Send;
using blackbox::Sends;
using blackbox::sent;
using blackbox::srgbByte;

namespace {

constexpr int32_t pinVertical = 0, pinPosition = 1, pinThickness = 2, pinLineColour = 3,
                  pinBackground = 4, pinMouseDown = 5;

const GuiColour orange{1.0000001f, 0.21586053f, 0.0f, 1.0f};
const GuiColour transparentBlack{0.0f, 0.0f, 0.0f, 0.0f};

class LineTest : public blackbox::WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        makeWidget(u"KZLine");
    }
    // Paints at the bounds and gives the one stroke.
    const DrawCall stroke(const GuiRect& rect) {
        place(rect);
        const auto drawn = paint();
        const auto strokes = drawn->of(DrawOp::StrokeLine);
        EXPECT_EQ(strokes.size(), 1u);
        return strokes.empty() ? DrawCall{} : *strokes[0];
    }
};

TEST_F(LineTest, AFreshLinePaintsTransparentBlackThenAnOrangeLineAlongTheTop) {
    EXPECT_TRUE(srgbByte(128) == 0.21586053f && srgbByte(255) == 1.0000001f);
    place({0, 0, 100, 20});
    const auto drawn = paint();
    EXPECT_EQ(blackbox::opsOf(*drawn),
              (std::vector<DrawOp>{DrawOp::MakeSolidBrush, DrawOp::PaintRect,
                                   DrawOp::MakeSolidBrush, DrawOp::StrokeLine}));
    const DrawCall& fill = drawn->calls[1];
    EXPECT_TRUE(sameRect(fill.rect, {0, 0, 100, 20}));
    ASSERT_TRUE(fill.brush);
    EXPECT_TRUE(sameColour(fill.brush->colour, transparentBlack));
    const DrawCall& line = drawn->calls[3];
    EXPECT_TRUE(samePoint(line.from, {0, 0}));
    EXPECT_TRUE(samePoint(line.to, {99, 0}));
    EXPECT_TRUE(sameBits(line.width, 1.0f));
    ASSERT_TRUE(line.brush);
    EXPECT_TRUE(sameColour(line.brush->colour, orange));
    EXPECT_EQ(sends(), Sends{});
}

struct StrokeCase {
    const char* name;
    bool vertical;
    float position;
    int32_t thickness;
    GuiRect bounds;
    GuiPoint from, to;
    float width;
};

TEST_F(LineTest, TheStrokeRunsAcrossTheAreaFromItsCornerAtThePosition) {
    const StrokeCase cases[] = {
        {"vertical at the middle", true, 0.5f, 1, {0, 0, 100, 20}, {49.5f, 0}, {49.5f, 19}, 1.0f},
        {"horizontal at the bottom", false, 1.0f, 1, {0, 0, 100, 20}, {0, 19}, {99, 19}, 1.0f},
        {"vertical at the left", true, 0.0f, 3, {0, 0, 100, 20}, {0, 0}, {0, 19}, 3.0f},
        {"thickness below 1", false, 0.25f, -5, {0, 0, 40, 9}, {0, 2}, {39, 2}, 1.0f},
        // The ends are measured from 0, not from the bounds' corner.
        {"bounds off the origin", false, 0.5f, 2, {10, 5, 110, 25}, {0, 9.5f}, {99, 9.5f}, 2.0f},
    };
    for (const StrokeCase& c : cases) {
        SCOPED_TRACE(c.name);
        set(pinVertical, c.vertical);
        set(pinPosition, c.position);
        set(pinThickness, c.thickness);
        const DrawCall line = stroke(c.bounds);
        EXPECT_TRUE(samePoint(line.from, c.from));
        EXPECT_TRUE(samePoint(line.to, c.to));
        EXPECT_TRUE(sameBits(line.width, c.width));
    }
}

TEST_F(LineTest, TheBackgroundIsTheBoundsRectangleAsAccepted) {
    place({10, 5, 110, 25});
    const auto drawn = paint();
    const auto fills = drawn->of(DrawOp::PaintRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_TRUE(sameRect(fills[0]->rect, {10, 5, 110, 25}));
}

struct BandCase {
    const char* name;
    bool vertical;
    float position;
    int32_t thickness;
    GuiRect paintedAt; // right 0: never painted
    GuiPoint point;
    bool hits;
};

TEST_F(LineTest, TheBandAroundExtentTimesPositionTakesPressesAndHitTests) {
    const float nan = std::nanf("");
    const BandCase cases[] = {
        {"vertical band start", true, 0.5f, 4, {0, 0, 100, 20}, {48, 7}, true},
        {"vertical band end", true, 0.5f, 4, {0, 0, 100, 20}, {52, -300}, true},
        {"vertical before the band", true, 0.5f, 4, {0, 0, 100, 20}, {47.9f, 10}, false},
        {"vertical after the band", true, 0.5f, 4, {0, 0, 100, 20}, {52.1f, 10}, false},
        {"at position 1, beyond the stroke", false, 1.0f, 1, {0, 0, 100, 20}, {5, 20.5f}, true},
        {"at position 1, its start", false, 1.0f, 1, {0, 0, 100, 20}, {5, 19.5f}, true},
        {"at position 1, on the stroke", false, 1.0f, 1, {0, 0, 100, 20}, {5, 19.0f}, false},
        {"before any repaint", false, 0.0f, 1, {0, 0, 0, 0}, {1000, 0.4f}, true},
        {"before any repaint, past half", false, 0.0f, 1, {0, 0, 0, 0}, {-3, 0.6f}, false},
        {"NaN coordinate", false, 0.0f, 1, {0, 0, 0, 0}, {0, nan}, false},
    };
    for (const BandCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeWidget(u"KZLine");
        set(pinVertical, c.vertical);
        set(pinPosition, c.position);
        set(pinThickness, c.thickness);
        if (c.paintedAt.right != 0) {
            place(c.paintedAt);
            paint();
        }
        const int32_t expected = c.hits ? ResultSuccess : ResultFailure;
        EXPECT_EQ(graphics->probeHit(c.point), expected);
        EXPECT_EQ(motion(c.point.x, c.point.y), expected);
        EXPECT_EQ(sends(), Sends{});
        EXPECT_EQ(press(c.point.x, c.point.y), c.hits ? 1 : 0);
        EXPECT_EQ(sends(), c.hits ? Sends{sent(pinMouseDown, true)} : Sends{});
    }
}

TEST_F(LineTest, TheBandFollowsANewSizeOnlyAfterTheRepaint) {
    set(pinPosition, 1.0f);
    place({0, 0, 100, 20});
    paint();
    place({0, 0, 100, 40});
    EXPECT_EQ(graphics->probeHit({0, 20}), ResultSuccess);
    EXPECT_EQ(graphics->probeHit({0, 40}), ResultFailure);
    paint();
    EXPECT_EQ(graphics->probeHit({0, 20}), ResultFailure);
    EXPECT_EQ(graphics->probeHit({0, 40}), ResultSuccess);
}

TEST_F(LineTest, PositionIsClampedAndRepaintsOnlyWhenItChanges) {
    repaintRequests();
    set(pinPosition, 1.5f);
    EXPECT_EQ(repaintRequests(), 1u);
    set(pinPosition, 1.0f); // the same clamped value
    EXPECT_EQ(repaintRequests(), 0u);
    EXPECT_TRUE(samePoint(stroke({0, 0, 100, 20}).from, {0, 19}));
    repaintRequests();
    set(pinPosition, -0.2f);
    EXPECT_EQ(repaintRequests(), 1u);
    EXPECT_TRUE(samePoint(stroke({0, 0, 100, 20}).from, {0, 0}));
    repaintRequests();
    set(pinPosition, -7.0f);
    EXPECT_EQ(repaintRequests(), 0u);
    // A NaN stays NaN and is never equal to itself: each report repaints.
    set(pinPosition, std::nanf(""));
    set(pinPosition, std::nanf(""));
    EXPECT_EQ(repaintRequests(), 2u);
}

TEST_F(LineTest, ThicknessIsAtLeastOneAndRepaintsOnlyWhenItChanges) {
    repaintRequests();
    set(pinThickness, int32_t(0));
    set(pinThickness, int32_t(-5));
    EXPECT_EQ(repaintRequests(), 0u); // 1.0 already
    set(pinThickness, int32_t(3));
    set(pinThickness, int32_t(3));
    EXPECT_EQ(repaintRequests(), 1u);
    EXPECT_TRUE(sameBits(stroke({0, 0, 10, 10}).width, 3.0f));
}

TEST_F(LineTest, OrientationRepaintsOnEveryReport) {
    repaintRequests();
    set(pinVertical, false);
    set(pinVertical, true);
    set(pinVertical, true);
    EXPECT_EQ(repaintRequests(), 3u);
}

struct ColourCase {
    const char* text;
    GuiColour colour;
};

TEST_F(LineTest, ColourTextsSetTheLineAndBackgroundAndEachReportRepaints) {
    const GuiColour red{1.0000001f, 0.0f, 0.0f, 0.50196081f};
    const ColourCase lineCases[] = {
        {"80FF0000", red},
        {"FF0000", {1.0000001f, 0.0f, 0.0f, 0.0f}}, // six digits: alpha 0
        {"", orange},
        {"FFFF8000", orange},
        {"#FFFFFFFF", transparentBlack},
        {" 0xff804020", {srgbByte(128), srgbByte(64), srgbByte(32), 1.0f}},
    };
    for (const ColourCase& c : lineCases) {
        SCOPED_TRACE(c.text);
        const std::u16string text = widenLatin1(c.text);
        repaintRequests();
        set(pinLineColour, text);
        set(pinBackground, text);
        set(pinBackground, text);
        EXPECT_EQ(repaintRequests(), 3u);
        place({0, 0, 4, 4});
        const auto drawn = paint();
        ASSERT_EQ(drawn->calls.size(), 4u);
        ASSERT_TRUE(drawn->calls[1].brush && drawn->calls[3].brush);
        const GuiColour background = c.text[0] ? c.colour : transparentBlack;
        EXPECT_TRUE(sameColour(drawn->calls[1].brush->colour, background));
        EXPECT_TRUE(sameColour(drawn->calls[3].brush->colour, c.colour));
    }
}

TEST_F(LineTest, APressOnTheLineSendsMouseDownOnceAndTakesTheCaptureEachTime) {
    place({0, 0, 100, 20});
    paint();
    EXPECT_EQ(press(50, 0.5f, 0x20), 1); // any button
    EXPECT_EQ(sends(), Sends{sent(pinMouseDown, true)});
    EXPECT_EQ(host.graphics.captureTakes, 1);
    EXPECT_EQ(press(3, 0), 1);
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(host.graphics.captureTakes, 2);
    EXPECT_EQ(press(3, 5), 0);
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(host.graphics.captureTakes, 2);
}

TEST_F(LineTest, AReleaseAnywhereClearsMouseDownAndDropsOnlyAHeldCapture) {
    place({0, 0, 100, 20});
    paint();
    press(10, 0);
    sends();
    EXPECT_EQ(releaseAt(500, 500), ResultSuccess);
    EXPECT_EQ(sends(), Sends{sent(pinMouseDown, false)});
    EXPECT_EQ(host.graphics.captureDrops, 1);

    press(10, 0);
    sends();
    host.graphics.captured = false; // the host took the capture away
    EXPECT_EQ(releaseAt(10, 0), ResultSuccess);
    EXPECT_EQ(sends(), Sends{sent(pinMouseDown, false)});
    EXPECT_EQ(host.graphics.captureDrops, 1);

    EXPECT_EQ(releaseAt(10, 0), ResultSuccess);
    EXPECT_EQ(sends(), Sends{});
}

TEST_F(LineTest, WithoutADrawingContextNothingIsDrawn) {
    place({0, 0, 10, 10});
    DrawingContext context(&drawing);
    context.offerContext = false;
    EXPECT_EQ(graphics->onRepaint(&context), ResultSuccess);
    EXPECT_TRUE(context.recorded().calls.empty());
    EXPECT_EQ(context.references(), 0);
}

} // namespace
