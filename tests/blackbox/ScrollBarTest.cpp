// ScrollBar through the export: the thumb's geometry and pictures, paging and
// dragging, the host reporting the position back from inside a send, the step
// repeat (real thread timers under wine, the stand-in clock on Linux), and the
// picture cache that keeps a repaint during a drag down to two blits.
#include "WidgetFixture.h"
#include "host/MessageLoop.h"

#ifndef _WIN32
#include "platform/StandIn.h"
#endif

#include <functional>
#include <string>
#include <utility>

using namespace testhost;
using blackbox::opsOf;
using blackbox::sameBits;
using blackbox::sameColour;
using blackbox::samePoint;
using blackbox::sameRect;
using blackbox::Sends;
using blackbox::sent;
using blackbox::srgbByte;

namespace {

constexpr int32_t pinPosition = 0, pinPage = 1, pinRange = 2, pinDragging = 3, pinStepBack = 4,
                  pinStepForward = 5, pinTrackEnd = 6, pinTrackStart = 7, pinThumb = 8,
                  pinCentreLines = 9;
constexpr int32_t fineAdjust = 0x20000;

const GuiColour white{1.0000001f, 1.0000001f, 1.0000001f, 1.0f};
const GuiColour grey{0.21586053f, 0.21586053f, 0.21586053f, 1.0f};
const GuiColour blue{0.0f, 0.21586053f, 1.0000001f, 1.0f};
const GuiColour opaqueWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr float halfAlpha = 0.50196081f;

Sends position(int32_t value) {
    return {sent(pinPosition, value)};
}

class ScrollBarTest : public blackbox::WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        makeWidget(u"ScrollBar");
    }
    void TearDown() override {
        host.onAccept = nullptr;
        WidgetTest::TearDown();
    }

    // The host sets range, page and position, places the bar and paints it.
    void start(int32_t range, int32_t page, int32_t at, const GuiRect& rect = {0, 0, 20, 200}) {
        set(pinRange, range);
        set(pinPage, page);
        set(pinPosition, at);
        place(rect);
        paint();
        sends();
        repaintRequests();
    }

    // What pumping the message loop for a while brings.
    Sends quietFor(uint32_t ms) {
        sends();
        pumpMessagesFor(ms);
        return sends();
    }
    // Pumps until `count` values arrived and gives them.
    Sends nextSends(size_t count) {
        sends();
        EXPECT_TRUE(pumpMessagesUntil([&] { return host.sent.size() >= count; }));
        return sends();
    }

    // The host reports every position the bar sends back from inside the send.
    void echoPositions() {
        host.onAccept = [this](const SentValue& value) {
            if (value.pinId == pinPosition)
                widget->set(pinPosition, value.asInt());
        };
    }
};

// The pictures of one repaint: its blits and the targets drawn into.
struct Painted {
    std::shared_ptr<const Recording> recording;
    std::vector<const DrawCall*> blits;
    std::vector<const DrawCall*> targets;

    explicit Painted(std::shared_ptr<const Recording> drawn)
        : recording(std::move(drawn)), blits(recording->of(DrawOp::BlitBitmap)),
          targets(recording->of(DrawOp::MakeOffscreenTarget)) {}
    const DrawCall& thumbBlit() const { return *blits.at(1); }
    const DrawCall& trackBlit() const { return *blits.at(0); }
};

struct GeometryCase {
    const char* name;
    GuiRect bounds;
    GuiSize thumbSize;
    GuiRect thumbAt;
    GuiPoint gradientEnd;
    GuiRect highlight, shadow, face;
    GuiPoint chevrons[8]; // apex, arm end, for each of the four lines
};

TEST_F(ScrollBarTest, ThumbAndTrackPicturesFollowTheBarsMeasures) {
    const GeometryCase cases[] = {
        {"vertical 20 x 200",
         {0, 0, 20, 200},
         {20, 29},
         {0, 85.5f, 19, 113.5f},
         {0, 199},
         {0, 0, 17, 26},
         {2, 2, 19, 28},
         {1, 1, 18, 27},
         {{10, 9},
          {5.5f, 13.5f},
          {10, 9},
          {14.5f, 13.5f},
          {10, 19},
          {5.5f, 14.5f},
          {10, 19},
          {14.5f, 14.5f}}},
        {"horizontal 200 x 20",
         {0, 0, 200, 20},
         {29, 20},
         {85.5f, 0, 113.5f, 19},
         {199, 0},
         {0, 0, 26, 17},
         {2, 2, 28, 19},
         {1, 1, 27, 18},
         {{9, 10},
          {13.5f, 5.5f},
          {9, 10},
          {13.5f, 14.5f},
          {19, 10},
          {14.5f, 5.5f},
          {19, 10},
          {14.5f, 14.5f}}},
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeWidget(u"ScrollBar");
        set(pinRange, 100);
        set(pinPage, 10);
        set(pinPosition, 45);
        place(c.bounds);
        const Painted painted(paint());
        EXPECT_EQ(opsOf(*painted.recording),
                  (std::vector<DrawOp>{
                      DrawOp::MakeOffscreenTarget, DrawOp::MakeSolidBrush, DrawOp::MakeSolidBrush,
                      DrawOp::MakeGradientStops, DrawOp::MakeLinearGradientBrush,
                      DrawOp::BlitBitmap, DrawOp::MakeSolidBrush, DrawOp::MakeSolidBrush,
                      DrawOp::MakeOffscreenTarget, DrawOp::MakeSolidBrush, DrawOp::BlitBitmap}))
            << painted.recording->describe();
        ASSERT_EQ(painted.targets.size(), 2u);
        ASSERT_EQ(painted.blits.size(), 2u);

        // The track: a gradient from white at the start to grey at the end.
        const GuiSize whole{c.bounds.right, c.bounds.bottom};
        EXPECT_TRUE(sameBits(painted.targets[0]->size.width, whole.width));
        EXPECT_TRUE(sameBits(painted.targets[0]->size.height, whole.height));
        const Recording& track = *painted.targets[0]->target;
        EXPECT_EQ(opsOf(track), (std::vector<DrawOp>{DrawOp::BeginFrame, DrawOp::Clear,
                                                     DrawOp::PaintRect, DrawOp::EndFrame}));
        EXPECT_TRUE(sameColour(track.calls[1].colour, {0, 0, 0, 0}));
        const DrawCall& gradient = track.calls[2];
        EXPECT_TRUE(sameRect(gradient.rect, {0, 0, whole.width - 1, whole.height - 1}));
        ASSERT_TRUE(gradient.brush);
        ASSERT_EQ(gradient.brush->kind, BrushState::Kind::Linear);
        EXPECT_TRUE(samePoint(gradient.brush->linear.start, {0, 0}));
        EXPECT_TRUE(samePoint(gradient.brush->linear.end, c.gradientEnd));
        ASSERT_EQ(gradient.brush->stops.size(), 2u);
        EXPECT_TRUE(sameBits(gradient.brush->stops[0].position, 0.0f));
        EXPECT_TRUE(sameColour(gradient.brush->stops[0].colour, white));
        EXPECT_TRUE(sameBits(gradient.brush->stops[1].position, 1.0f));
        EXPECT_TRUE(sameColour(gradient.brush->stops[1].colour, grey));
        const BrushSpec& spec = gradient.brush->spec;
        EXPECT_TRUE(sameBits(spec.opacity, 1.0f));
        const float identity[6] = {1, 0, 0, 1, 0, 0};
        for (int i = 0; i < 6; ++i)
            EXPECT_TRUE(sameBits(spec.transform[i], identity[i]));
        EXPECT_TRUE(sameRect(painted.trackBlit().rect, {0, 0, whole.width, whole.height}));
        ASSERT_TRUE(painted.trackBlit().source);
        EXPECT_TRUE(sameRect(*painted.trackBlit().source, c.bounds));

        // The thumb: shadow, highlight and face, two chevrons, all opaque white
        // shades until a colour pin is reported.
        EXPECT_TRUE(sameBits(painted.targets[1]->size.width, c.thumbSize.width));
        EXPECT_TRUE(sameBits(painted.targets[1]->size.height, c.thumbSize.height));
        const Recording& thumb = *painted.targets[1]->target;
        const auto rounded = thumb.of(DrawOp::PaintRoundedRect);
        ASSERT_EQ(rounded.size(), 3u);
        const GuiRect expected[3] = {c.highlight, c.shadow, c.face};
        const GuiColour colours[3] = {opaqueWhite, opaqueWhite, blue};
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(sameRect(rounded[i]->rect, expected[i])) << i;
            EXPECT_TRUE(sameBits(rounded[i]->rounded.radiusX, 9.0f));
            EXPECT_TRUE(sameBits(rounded[i]->rounded.radiusY, 9.0f));
            ASSERT_TRUE(rounded[i]->brush);
            EXPECT_TRUE(sameColour(rounded[i]->brush->colour, colours[i])) << i;
        }
        const auto lines = thumb.of(DrawOp::StrokeLine);
        ASSERT_EQ(lines.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(samePoint(lines[i]->from, c.chevrons[2 * i])) << i;
            EXPECT_TRUE(samePoint(lines[i]->to, c.chevrons[2 * i + 1])) << i;
            EXPECT_TRUE(sameBits(lines[i]->width, 2.0f));
            ASSERT_TRUE(lines[i]->brush);
            EXPECT_TRUE(sameColour(lines[i]->brush->colour, opaqueWhite));
        }
        const DrawCall& blit = painted.thumbBlit();
        EXPECT_TRUE(sameRect(blit.rect, c.thumbAt));
        ASSERT_TRUE(blit.source);
        EXPECT_TRUE(sameRect(*blit.source, {0, 0, c.thumbSize.width - 1, c.thumbSize.height - 1}));
        EXPECT_TRUE(sameBits(blit.opacity, 1.0f));
        EXPECT_EQ(blit.interpolation, 1);
        EXPECT_EQ(painted.trackBlit().interpolation, 1);
    }
}

TEST_F(ScrollBarTest, ASquareBarIsVertical) {
    start(100, 10, 0, {0, 0, 20, 20});
    set(pinTrackEnd, std::u16string()); // rebuild the track
    const Painted painted(paint());
    const auto fills = painted.targets.at(0)->target->of(DrawOp::PaintRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_TRUE(samePoint(fills[0]->brush->linear.end, {0, 19}));
}

TEST_F(ScrollBarTest, TheTrackIsPlacedAtTheDrawingAreasCornerWhateverTheBounds) {
    start(100, 10, 45, {30, 40, 50, 240});
    const Painted painted(paint());
    EXPECT_TRUE(sameRect(painted.trackBlit().rect, {0, 0, 20, 200}));
    EXPECT_TRUE(sameRect(*painted.trackBlit().source, {0, 0, 20, 200}));
    EXPECT_TRUE(sameRect(painted.thumbBlit().rect, {0, 85.5f, 19, 113.5f}));
}

struct PressCase {
    const char* name;
    int32_t range, page, at;
    bool painted;
    float y;
    int32_t answer;
    Sends sends;
};

TEST_F(ScrollBarTest, PressesBesideTheThumbPageAndOnItStartTheDrag) {
    const PressCase cases[] = {
        {"before the thumb", 100, 10, 45, true, 50, 0, position(35)},
        {"after the thumb", 100, 10, 45, true, 120, 0, position(55)},
        {"on the thumb", 100, 10, 45, true, 100, 1, {sent(pinDragging, true)}},
        {"on its first pixel", 100, 10, 45, true, 85.5f, 1, {sent(pinDragging, true)}},
        {"on its last pixel", 100, 10, 45, true, 113.5f, 1, {sent(pinDragging, true)}},
        {"just after it", 100, 10, 45, true, 113.6f, 0, position(55)},
        {"back past the start", 100, 10, 5, true, 0, 0, position(0)},
        {"forward past the end", 100, 10, 85, true, 199.5f, 0, position(90)},
        {"page 0", 100, 0, 45, true, 10, 0, {}},
        {"range below page", 5, 10, 3, true, 199.5f, 0, position(0)},
        {"unpainted, at 0", 100, 10, 45, false, 0, 1, {sent(pinDragging, true)}},
        {"unpainted, after 0", 100, 10, 45, false, 0.5f, 0, position(55)},
        {"unpainted, before 0", 100, 10, 45, false, -0.5f, 0, position(35)},
    };
    for (const PressCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeWidget(u"ScrollBar");
        set(pinRange, c.range);
        set(pinPage, c.page);
        set(pinPosition, c.at);
        if (c.painted) {
            place({0, 0, 20, 200});
            paint();
        }
        sends();
        repaintRequests();
        const int32_t takes = host.graphics.captureTakes;
        EXPECT_EQ(press(10, c.y), c.answer);
        EXPECT_EQ(sends(), c.sends);
        EXPECT_EQ(host.graphics.captureTakes, takes + (c.answer == 1 ? 1 : 0));
        EXPECT_EQ(repaintRequests(), c.answer == 1 ? 1u : 0u);
    }
}

struct DragCase {
    const char* name;
    int32_t range, page;
    int32_t flags;
    float to;
    Sends sends;
    float thumbTop; // where the next repaint draws the thumb
};

TEST_F(ScrollBarTest, DraggingMovesThePositionByTheThumbsTravel) {
    const DragCase cases[] = {
        {"19 pixels", 100, 10, 0x10, 119, position(55), 104.5f},
        {"19 pixels, fine", 100, 10, 0x10 | fineAdjust, 119, {}, 86.45f},
        {"past the end", 100, 10, 0x10, 1000, position(90), 171},
        {"past the start", 100, 10, 0x10, -1000, position(0), 0},
        {"nothing to scroll", 10, 10, 0x10, 150, {}, 0},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeWidget(u"ScrollBar");
        start(c.range, c.page, c.range > c.page ? 45 : 0);
        EXPECT_EQ(press(10, 100), 1);
        sends();
        repaintRequests();
        EXPECT_EQ(motion(10, c.to, c.flags), 1);
        EXPECT_EQ(sends(), c.sends);
        EXPECT_EQ(repaintRequests(), 1u);
        const Painted painted(paint());
        EXPECT_TRUE(sameBits(painted.thumbBlit().rect.top, c.thumbTop))
            << painted.thumbBlit().rect.top;
    }
}

TEST_F(ScrollBarTest, AMotionWithoutTheCaptureDoesNothing) {
    start(100, 10, 45);
    press(10, 100);
    sends();
    repaintRequests();
    host.graphics.captured = false;
    EXPECT_EQ(motion(10, 150), 0);
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(repaintRequests(), 0u);
}

TEST_F(ScrollBarTest, OnlyTheIntegerPartOfTheDraggedPositionIsSentOncePerChange) {
    start(100, 10, 45);
    press(10, 100);
    sends();
    Sends all;
    for (float y = 101; y <= 105; y += 1) { // 0.526 a pixel
        motion(10, y);
        for (const auto& s : sends())
            all.push_back(s);
    }
    EXPECT_EQ(all, (Sends{sent(pinPosition, 46), sent(pinPosition, 47)}));
}

TEST_F(ScrollBarTest, AReportOfThePositionFromInsideTheDragsSendIsIgnored) {
    start(100, 10, 45);
    echoPositions();
    press(10, 100);
    sends();
    repaintRequests();
    motion(10, 107); // 48.68
    EXPECT_EQ(sends(), position(48));
    EXPECT_EQ(repaintRequests(), 1u); // the motion's own; the echo asked for none
    motion(10, 108);                  // 49.21: the fraction was kept
    EXPECT_EQ(sends(), position(49));
}

TEST_F(ScrollBarTest, AReportOfThePositionOutsideADragMovesTheThumb) {
    start(100, 10, 45);
    echoPositions();
    EXPECT_EQ(press(10, 50), 0);
    EXPECT_EQ(sends(), position(35));
    EXPECT_EQ(repaintRequests(), 1u); // the report's
    const Painted painted(paint());
    EXPECT_TRUE(sameBits(painted.thumbBlit().rect.top, 66.5f)); // 35 x 171 / 90
    set(pinPosition, -3);
    EXPECT_TRUE(sameBits(Painted(paint()).thumbBlit().rect.top, 0.0f));
    set(pinPosition, 1000); // no upper bound: the thumb stops at the end
    EXPECT_TRUE(sameBits(Painted(paint()).thumbBlit().rect.top, 171.0f));
}

TEST_F(ScrollBarTest, ARepaintDuringADragOnlyBlitsTheTwoPictures) {
    start(100, 10, 45);
    const int32_t trackId = Painted(paint()).trackBlit().bitmap->id;
    EXPECT_EQ(press(10, 100), 1);
    // The press dropped the thumb picture: it is drawn pressed, one pixel on.
    const Painted pressed(paint());
    ASSERT_EQ(pressed.targets.size(), 1u);
    const auto rounded = pressed.targets[0]->target->of(DrawOp::PaintRoundedRect);
    ASSERT_EQ(rounded.size(), 3u);
    EXPECT_TRUE(sameRect(rounded[0]->rect, {1, 1, 18, 27}));
    EXPECT_TRUE(sameRect(rounded[1]->rect, {2, 2, 19, 28}));
    EXPECT_TRUE(sameRect(rounded[2]->rect, {2, 2, 19, 28}));
    const auto lines = pressed.targets[0]->target->of(DrawOp::StrokeLine);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(samePoint(lines[0]->from, {11, 10}));
    EXPECT_TRUE(samePoint(lines[3]->to, {15.5f, 15.5f}));
    const int32_t thumbId = pressed.thumbBlit().bitmap->id;

    float lastTop = pressed.thumbBlit().rect.top;
    for (float y = 110; y <= 150; y += 10) {
        motion(10, y);
        const Painted painted(paint());
        EXPECT_EQ(opsOf(*painted.recording),
                  (std::vector<DrawOp>{DrawOp::BlitBitmap, DrawOp::BlitBitmap}))
            << painted.recording->describe();
        EXPECT_EQ(painted.trackBlit().bitmap->id, trackId);
        EXPECT_EQ(painted.thumbBlit().bitmap->id, thumbId);
        EXPECT_GT(painted.thumbBlit().rect.top, lastTop);
        lastTop = painted.thumbBlit().rect.top;
    }
    EXPECT_EQ(drawing.ledger()->live("bitmap"), 2);
}

TEST_F(ScrollBarTest, EachInputRedrawsOnlyThePicturesThatShowIt) {
    start(100, 10, 45);
    struct Change {
        const char* name;
        std::function<void()> apply;
        size_t targets; // offscreen pictures drawn by the next repaint
    };
    const Change changes[] = {
        {"position", [&] { set(pinPosition, 30); }, 0},
        {"page", [&] { set(pinPage, 20); }, 1},
        {"range", [&] { set(pinRange, 200); }, 1},
        {"centre lines (no handler)", [&] { set(pinCentreLines, true); }, 0},
        {"track end colour", [&] { set(pinTrackEnd, std::u16string(u"FF000000")); }, 2},
        {"thumb colour", [&] { set(pinThumb, std::u16string(u"FF000000")); }, 2},
        {"release", [&] { releaseAt(0, 0); }, 1},
        {"size",
         [&] {
             place({0, 0, 20, 300});
         },
         2},
        {"same size elsewhere",
         [&] {
             place({5, 5, 25, 305});
         },
         0},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        change.apply();
        EXPECT_EQ(Painted(paint()).targets.size(), change.targets);
    }
}

TEST_F(ScrollBarTest, ColourPinsSetTheGradientAndDeriveTheThumbsShades) {
    start(100, 10, 45);
    set(pinThumb, std::u16string(u"FF000000"));
    const Painted black(paint());
    const auto rounded = black.targets.at(1)->target->of(DrawOp::PaintRoundedRect);
    ASSERT_EQ(rounded.size(), 3u);
    const float lightShade = 2.0f * 0.333f;
    EXPECT_TRUE(sameBits(lightShade, 0.666f));
    EXPECT_TRUE(sameColour(rounded[0]->brush->colour, {lightShade, lightShade, lightShade, 1}));
    EXPECT_TRUE(sameColour(rounded[1]->brush->colour, {0, 0, 0, 1}));
    EXPECT_TRUE(sameColour(rounded[2]->brush->colour, {0, 0, 0, 1}));

    // Six digits: alpha 0 for the colour and both shades.
    set(pinThumb, std::u16string(u"0080FF"));
    const Painted fadedPaint(paint());
    const auto faded = fadedPaint.targets.at(1)->target->of(DrawOp::PaintRoundedRect);
    const float light = (srgbByte(255) + 2.0f) * 0.333f;
    EXPECT_TRUE(sameColour(faded.at(0)->brush->colour,
                           {2.0f * 0.333f, (srgbByte(128) + 2.0f) * 0.333f, light, 0}));
    EXPECT_TRUE(sameColour(faded.at(1)->brush->colour,
                           {0, srgbByte(128) * 0.333f, srgbByte(255) * 0.333f, 0}));
    EXPECT_TRUE(sameColour(faded.at(2)->brush->colour, {0, srgbByte(128), srgbByte(255), 0}));

    // The track: pin 7 at the start, pin 6 at the end; none when both are invisible.
    set(pinTrackEnd, std::u16string(u"80FF0000"));
    set(pinTrackStart, std::u16string(u"#1"));
    const Painted redTrack(paint());
    const auto fills = redTrack.targets.at(0)->target->of(DrawOp::PaintRect);
    ASSERT_EQ(fills.size(), 1u);
    ASSERT_EQ(fills[0]->brush->stops.size(), 2u);
    EXPECT_TRUE(sameColour(fills[0]->brush->stops[0].colour, {0, 0, 0, 0}));
    EXPECT_TRUE(sameColour(fills[0]->brush->stops[1].colour, {1.0000001f, 0, 0, halfAlpha}));
    set(pinTrackEnd, std::u16string(u"FFFFFF"));
    const Painted noTrack(paint());
    EXPECT_EQ(opsOf(*noTrack.targets.at(0)->target),
              (std::vector<DrawOp>{DrawOp::BeginFrame, DrawOp::Clear, DrawOp::EndFrame}));
    EXPECT_TRUE(noTrack.recording->of(DrawOp::MakeGradientStops).empty());
    // Empty texts bring the defaults back.
    set(pinTrackEnd, std::u16string());
    set(pinTrackStart, std::u16string());
    const Painted restoredPaint(paint());
    const auto restored = restoredPaint.targets.at(0)->target->of(DrawOp::PaintRect);
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_TRUE(sameColour(restored[0]->brush->stops[0].colour, white));
    EXPECT_TRUE(sameColour(restored[0]->brush->stops[1].colour, grey));
}

struct CentreLinesCase {
    const char* name;
    GuiRect bounds;
    GuiPoint blackFrom, blackTo, whiteFrom, whiteTo;
};

TEST_F(ScrollBarTest, CentreLinesLieOnePixelEitherSideOfTheMiddle) {
    const CentreLinesCase cases[] = {
        {"vertical", {0, 0, 20, 200}, {9, 20}, {9, 180}, {11, 20}, {11, 180}},
        {"horizontal", {0, 0, 200, 20}, {20, 9}, {180, 9}, {20, 11}, {180, 11}},
    };
    for (const CentreLinesCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeWidget(u"ScrollBar");
        set(pinCentreLines, true);
        place(c.bounds);
        const Painted painted(paint());
        const auto lines = painted.targets.at(0)->target->of(DrawOp::StrokeLine);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_TRUE(samePoint(lines[0]->from, c.blackFrom));
        EXPECT_TRUE(samePoint(lines[0]->to, c.blackTo));
        EXPECT_TRUE(samePoint(lines[1]->from, c.whiteFrom));
        EXPECT_TRUE(samePoint(lines[1]->to, c.whiteTo));
        EXPECT_TRUE(sameColour(lines[0]->brush->colour, {0, 0, 0, halfAlpha}));
        EXPECT_TRUE(
            sameColour(lines[1]->brush->colour, {1.0000001f, 1.0000001f, 1.0000001f, halfAlpha}));
        EXPECT_TRUE(sameBits(lines[0]->width, 1.0f));
        EXPECT_TRUE(sameBits(lines[1]->width, 1.0f));
    }
}

TEST_F(ScrollBarTest, EveryReleaseDropsTheThumbPictureAndEndsADrag) {
    start(100, 10, 45);
    EXPECT_EQ(releaseAt(3, 3), ResultSuccess); // no press before it
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(repaintRequests(), 1u);
    EXPECT_EQ(host.graphics.captureDrops, 0);

    press(10, 100);
    sends();
    EXPECT_EQ(releaseAt(500, 500), ResultSuccess);
    EXPECT_EQ(sends(), Sends{sent(pinDragging, false)});
    EXPECT_EQ(host.graphics.captureDrops, 1);
    // Unpressed again.
    const Painted unpressed(paint());
    const auto rounded = unpressed.targets.at(0)->target->of(DrawOp::PaintRoundedRect);
    EXPECT_TRUE(sameRect(rounded.at(0)->rect, {0, 0, 17, 26}));
}

TEST_F(ScrollBarTest, APressOrReleaseMadeFromInsideTheOtherIsTheOneThatStands) {
    struct Case {
        const char* what;
        bool releaseInsideTheCapture; // else a press inside the release's send
        Sends sends;
        bool pressed;
    };
    const Case cases[] = {
        {"a host that answers the capture with a release", true,
         Sends{sent(pinDragging, true), sent(pinDragging, false)}, false},
        {"a host that answers the release with a new press on the thumb", false,
         Sends{sent(pinDragging, false), sent(pinDragging, true)}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeWidget(u"ScrollBar");
        start(100, 10, 45);
        host.graphics.captured = false;
        bool nested = false;
        if (c.releaseInsideTheCapture) {
            host.onCall = [&](HostCall call) {
                if (call == HostCall::TakePointerCapture && !std::exchange(nested, true))
                    releaseAt(10, 100);
            };
            press(10, 100);
        } else {
            press(10, 100);
            sends();
            host.onAccept = [&](const SentValue& value) {
                if (value.pinId == pinDragging && !std::exchange(nested, true))
                    press(10, 100);
            };
            releaseAt(10, 100);
        }
        host.onCall = nullptr;
        host.onAccept = nullptr;
        EXPECT_EQ(sends(), c.sends);
        EXPECT_EQ(host.graphics.captured, c.pressed);
        // The thumb is drawn held (moved by a pixel) only while the press stands.
        const Painted painted(paint());
        const auto rounded = painted.targets.at(0)->target->of(DrawOp::PaintRoundedRect);
        const float p = c.pressed ? 1.0f : 0.0f;
        EXPECT_TRUE(sameRect(rounded.at(0)->rect, {p, p, 17 + p, 26 + p}));
    }
}

TEST_F(ScrollBarTest, WhatTheHostChangesFromInsideADrawingCallIsWhatTheNextRepaintShows) {
    // A held thumb is drawn anew; from inside each drawing call of that
    // repaint in turn, the host releases the press. The next repaint shows
    // the thumb released, whether it draws the picture again or not.
    const auto pressedPaint = [this] {
        makeWidget(u"ScrollBar");
        start(100, 10, 45);
        press(10, 100);
    };
    pressedPaint();
    int32_t calls = 0;
    drawing.onCall = [&](HostCall call) { calls += call == HostCall::Draw ? 1 : 0; };
    paint();
    drawing.onCall = nullptr;
    ASSERT_GT(calls, 0);
    for (int32_t k = 0; k < calls; ++k) {
        SCOPED_TRACE("a release inside drawing call " + std::to_string(k + 1));
        pressedPaint();
        int32_t call = 0;
        drawing.onCall = [&](HostCall c) {
            if (c == HostCall::Draw && call++ == k)
                releaseAt(10, 100);
        };
        paint();
        drawing.onCall = nullptr;
        const Painted painted(paint());
        const auto& thumb = painted.thumbBlit();
        ASSERT_TRUE(thumb.bitmap && thumb.bitmap->drawn);
        const auto rounded = thumb.bitmap->drawn->of(DrawOp::PaintRoundedRect);
        ASSERT_FALSE(rounded.empty());
        EXPECT_TRUE(sameRect(rounded.at(0)->rect, {0, 0, 17, 26}));
    }
}

TEST_F(ScrollBarTest, APictureForgottenFromInsideItsBlitLivesUntilTheRepaintEnds) {
    // The host holds a picture it blits only borrowed: a release made from
    // inside either blit of a repaint forgets the pressed thumb's picture, and
    // that picture lives on until the repaint has ended. After a release in
    // the track's blit, the thumb is drawn anew, released, and kept; after
    // one in the thumb's blit, the next repaint draws it.
    for (int32_t k = 0; k < 2; ++k) {
        SCOPED_TRACE("a release inside blit " + std::to_string(k + 1));
        makeWidget(u"ScrollBar");
        start(100, 10, 45);
        press(10, 100);
        paint();
        const int32_t pictures = drawing.ledger()->live("bitmap");
        int32_t call = 0, liveInside = -1;
        drawing.onCall = [&](HostCall c) {
            if (c == HostCall::Draw && call++ == k) {
                releaseAt(10, 100);
                liveInside = drawing.ledger()->live("bitmap");
            }
        };
        paint();
        drawing.onCall = nullptr;
        EXPECT_EQ(liveInside, pictures);
        EXPECT_EQ(drawing.ledger()->live("bitmap"), k == 0 ? pictures : pictures - 1);
    }
}

TEST_F(ScrollBarTest, TheHostCanLowerAStepPinFromInsideTheStepItStarted) {
    start(10, 2, 0);
    host.onAccept = [this](const SentValue& value) {
        if (value.pinId == pinPosition)
            widget->set(pinStepForward, false);
    };
    set(pinStepForward, true);
    EXPECT_EQ(sends(), position(1));
#ifndef _WIN32
    EXPECT_EQ(platform::standin::runningTimerCount(), 0u);
#endif
    EXPECT_EQ(quietFor(300), Sends{});
}

TEST_F(ScrollBarTest, AStepPinStepsAtOnceThenRepeatsAfterFifteenTicks) {
    start(10, 2, 0);
    set(pinStepForward, true);
    EXPECT_EQ(sends(), position(1));
#ifndef _WIN32
    // The stand-in clock gives exact ticks of 10 ms: 15 only count.
    EXPECT_EQ(quietFor(159), Sends{});
    EXPECT_EQ(quietFor(1), position(2));
    EXPECT_EQ(quietFor(10), position(3));
    EXPECT_EQ(nextSends(5), (Sends{sent(pinPosition, 4), sent(pinPosition, 5), sent(pinPosition, 6),
                                   sent(pinPosition, 7), sent(pinPosition, 8)}));
#else
    EXPECT_EQ(nextSends(7), (Sends{sent(pinPosition, 2), sent(pinPosition, 3), sent(pinPosition, 4),
                                   sent(pinPosition, 5), sent(pinPosition, 6), sent(pinPosition, 7),
                                   sent(pinPosition, 8)}));
#endif
    EXPECT_EQ(quietFor(100), Sends{}); // at the end
    set(pinStepForward, false);
#ifndef _WIN32
    EXPECT_EQ(platform::standin::runningTimerCount(), 0u);
#endif
    set(pinStepBack, true);
    EXPECT_EQ(sends(), position(7));
    set(pinStepBack, false);
    EXPECT_EQ(quietFor(300), Sends{});
}

TEST_F(ScrollBarTest, TheBackStepWinsAndEitherPinFallingEndsTheRepeat) {
    start(10, 2, 5);
    set(pinStepForward, true);
    set(pinStepBack, true);
    EXPECT_EQ(sends(), (Sends{sent(pinPosition, 6), sent(pinPosition, 5)}));
    EXPECT_EQ(nextSends(2), (Sends{sent(pinPosition, 4), sent(pinPosition, 3)}));
    set(pinStepBack, false); // the forward pin still holds true
    EXPECT_EQ(quietFor(300), Sends{});
}

TEST_F(ScrollBarTest, ReportingTrueAgainStepsAgainAndRestartsTheDelay) {
    start(10, 2, 0);
    set(pinStepForward, true);
    set(pinStepForward, true);
    EXPECT_EQ(sends(), (Sends{sent(pinPosition, 1), sent(pinPosition, 2)}));
#ifndef _WIN32
    pumpMessagesFor(100);
    set(pinStepForward, true); // the count starts again
    EXPECT_EQ(sends(), position(3));
    EXPECT_EQ(quietFor(159), Sends{});
    EXPECT_EQ(quietFor(1), position(4));
#endif
}

TEST_F(ScrollBarTest, WithNothingToScrollTheStepPinsDoNotStep) {
    start(10, 10, 0);
    const Painted painted(paint());
    EXPECT_TRUE(sameRect(painted.thumbBlit().rect, {0, 0, 19, 199})); // fills the track
    set(pinStepForward, true);
    set(pinStepBack, true);
    EXPECT_EQ(quietFor(300), Sends{});
#ifndef _WIN32
    EXPECT_EQ(platform::standin::runningTimerCount(), 0u);
#endif
}

TEST_F(ScrollBarTest, StepsFromAFractionalPositionDoNotClamp) {
    start(100, 10, 0);
    press(10, 0);
    motion(10, 19, 0x10 | fineAdjust); // 0.5
    releaseAt(10, 19);
    sends();
    set(pinStepBack, true); // -0.5: pin 0 carries 0, already sent
    set(pinStepBack, false);
    EXPECT_EQ(sends(), Sends{});
    const Painted painted(paint());
    EXPECT_TRUE(sameBits(painted.thumbBlit().rect.top, -0.5f * 171 / 90));
    set(pinStepForward, true); // back to 0.5
    set(pinStepForward, false);
    EXPECT_EQ(sends(), Sends{}); // 0.5 truncates to 0 again
}

TEST_F(ScrollBarTest, TheHostCanStopTheRepeatFromInsideATicksSend) {
    start(10, 2, 0);
    host.onAccept = [this](const SentValue& value) {
        if (value.pinId != pinPosition)
            return;
        widget->set(pinPosition, value.asInt());
        if (value.asInt() == 4)
            widget->set(pinStepForward, false);
    };
    set(pinStepForward, true);
    EXPECT_EQ(nextSends(3),
              (Sends{sent(pinPosition, 2), sent(pinPosition, 3), sent(pinPosition, 4)}));
    EXPECT_EQ(quietFor(300), Sends{});
}

TEST_F(ScrollBarTest, ABarReleasedWhileRepeatingGetsNoMoreTicks) {
    start(10, 2, 0);
    set(pinStepForward, true);
    sends();
    widget.reset();
    graphics.reset();
    EXPECT_EQ(quietFor(300), Sends{});
}

} // namespace
