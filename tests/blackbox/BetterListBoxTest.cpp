// BetterListBox through the export: its lines, strip and colours as drawn,
// selection by pressing, scrolling by dragging in the strip, and the skin text
// styles it takes from the shared font cache.
#include "LongItemLists.h"
#include "WidgetFixture.h"
#include "host/Painting.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace testhost;
using blackbox::ItemListModel;
using blackbox::ListedItem;
using blackbox::sameBits;
using blackbox::sameColour;
using blackbox::sameRect;
using blackbox::Sends;
using blackbox::sent;

namespace {

constexpr int32_t pinSelectedId = 0, pinItemList = 1, pinClick = 2, pinStyleName = 3,
                  pinTextColour = 4, pinBackgroundTop = 5, pinBackgroundBottom = 6,
                  pinSelection = 7, pinThumb = 8, pinStrip = 9, pinAutoHide = 10;
constexpr int32_t buttonDown = 0x10;
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

const char16_t* const tenItems = u"i0,i1,i2,i3,i4,i5,i6,i7,i8,i9";

Bytes bytesOfText(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::vector<std::string> textsOf(const Recording& recording) {
    std::vector<std::string> texts;
    for (const DrawCall* call : recording.of(DrawOp::DrawText))
        texts.push_back(call->text);
    return texts;
}

class BetterListBoxTest : public blackbox::WidgetTest {
protected:
    // Offers a skin whose "global" metadata is `text`. Skins stay in the
    // library's font cache for the whole run, so each gets a URI of its own.
    std::string offerSkin(const std::string& text) {
        static int skins = 0;
        const std::string uri = "listbox-skin-" + std::to_string(++skins) + "/global.txt";
        host.addResource("global", "ImageMeta", uri);
        host.addUriData(uri, bytesOfText(text));
        return uri;
    }

    // A box of ten items in the style «normal» of 14 pixels, placed at
    // 100 x 100: lines of 16 pixels, six of them in view.
    void makeTenItemBox() {
        offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
        makeWidget(u"BetterListBox");
        set(pinStyleName, std::u16string(u"normal"));
        set(pinItemList, std::u16string(tenItems));
        place({0, 0, 100, 100});
        sends();
        host.graphics.repaints.clear();
    }

    // Paints as a host paints a widget of that size: asks for its desired
    // size, gives it those bounds, then has it paint into a context of that size.
    std::shared_ptr<const Recording> paintAt(float width = 100, float height = 100) {
        const PaintResult result = paintModule(widget->unknown(), drawing, width, height);
        EXPECT_TRUE(result.painted);
        EXPECT_EQ(result.answer, ResultSuccess);
        EXPECT_EQ(result.error, "");
        return result.recording;
    }

    // The text calls of a paint, kept beyond the recording.
    std::vector<DrawCall> drawnTexts(float width = 100, float height = 100) {
        const auto recording = paintAt(width, height);
        std::vector<DrawCall> calls;
        for (const DrawCall* call : recording->of(DrawOp::DrawText))
            calls.push_back(*call);
        return calls;
    }

    // What a press, or a release, sends.
    Sends sendsOfPress(float x, float y, int32_t flags = buttonDown) {
        sends();
        EXPECT_EQ(press(x, y, flags), ResultSuccess);
        return sends();
    }
    Sends sendsOfRelease() {
        sends();
        EXPECT_EQ(releaseAt(0, 0), ResultSuccess);
        return sends();
    }
    void drag(float x, float y) { EXPECT_EQ(motion(x, y, buttonDown), ResultSuccess); }
    // Drags in the strip from y 50 down by one line height and a pixel, so many times.
    void scrollDown(int32_t lines) {
        sendsOfPress(95, 50);
        float y = 50;
        for (int32_t i = 0; i < lines; ++i)
            drag(95, y += 17);
        sendsOfRelease();
    }
};

TEST_F(BetterListBoxTest, SendsNothingAtCreationAndHoldsElevenPins) {
    makeWidget(u"BetterListBox");
    EXPECT_EQ(sends(), Sends{});
    for (int32_t pin = 0; pin <= pinAutoHide; ++pin)
        EXPECT_EQ(widget->changed(pin), ResultSuccess) << "pin " << pin;
    EXPECT_EQ(widget->receive(11, bytesOf(int32_t(1))), ResultFailure);
    EXPECT_EQ(widget->changed(11), ResultFailure);
}

TEST_F(BetterListBoxTest, AnEmptyStyleNameComesBackAsNormal) {
    makeWidget(u"BetterListBox");
    set(pinStyleName, std::u16string());
    EXPECT_EQ(sends(), (Sends{sent(pinStyleName, std::u16string(u"normal"))}));
    EXPECT_EQ(host.graphics.remeasures, 1);
    ASSERT_EQ(host.graphics.repaints.size(), 1u);
    EXPECT_FALSE(host.graphics.repaints[0].has_value());

    set(pinStyleName, std::u16string(u"title"));
    EXPECT_EQ(sends(), Sends{});
    EXPECT_EQ(host.graphics.remeasures, 2);
}

TEST_F(BetterListBoxTest, DrawsTheWholeLinesThatFitBesideTheStrip) {
    makeTenItemBox();
    const auto recording = paintAt();

    EXPECT_EQ(textsOf(*recording), (std::vector<std::string>{"i0", "i1", "i2", "i3", "i4", "i5"}));
    const auto texts = recording->of(DrawOp::DrawText);
    for (size_t k = 0; k < texts.size(); ++k) {
        const GuiRect expected{0, 16.0f * float(k), 88, 16.0f * float(k) + 16.0f};
        EXPECT_TRUE(sameRect(texts[k]->rect, expected)) << k;
        EXPECT_EQ(texts[k]->options, 2);
        ASSERT_TRUE(texts[k]->format.has_value());
        EXPECT_EQ(texts[k]->format->request.family, "Verdana");
        EXPECT_TRUE(sameBits(texts[k]->format->request.size, 14.0f));
        ASSERT_EQ(texts[k]->clips.size(), 1u);
        EXPECT_TRUE(sameRect(texts[k]->clips[0], GuiRect{0, 0, 88, 100}));
    }

    // The strip, then its thumb: six of ten lines in view, the first at the top.
    const auto rects = recording->of(DrawOp::PaintRect);
    ASSERT_GE(rects.size(), 3u);
    EXPECT_TRUE(sameRect(rects[0]->rect, GuiRect{88, 0, 100, 100}));
    EXPECT_TRUE(rects[0]->clips.empty());
    const float ratio = 6.0f / 10.0f;
    EXPECT_TRUE(sameRect(rects[1]->rect, GuiRect{90, 2, 98, 0.0f + 96.0f * ratio + 3.0f}));
    // The background fills the content area inside the clip.
    EXPECT_TRUE(sameRect(rects[2]->rect, GuiRect{0, 0, 88, 100}));
    ASSERT_EQ(recording->of(DrawOp::PopClip).size(), 1u);
    EXPECT_TRUE(recording->clipStack.empty());
}

TEST_F(BetterListBoxTest, ScrollsOneLinePerMotionBeyondALineHeight) {
    makeTenItemBox();
    const Sends pressed = sendsOfPress(90, 50);
    EXPECT_EQ(host.graphics.captureTakes, 1);
    EXPECT_EQ(pressed, Sends{}); // the strip never selects
    host.graphics.repaints.clear();

    drag(90, 67); // 17 > 16: one line, the anchor moves to 66
    EXPECT_EQ(host.graphics.repaints.size(), 1u);
    drag(90, 70); // 4 from the anchor: nothing
    EXPECT_EQ(host.graphics.repaints.size(), 1u);
    drag(90, 83); // 17 from the anchor: the second line
    EXPECT_EQ(host.graphics.repaints.size(), 2u);
    EXPECT_EQ(sendsOfRelease(), Sends{}); // the click pin was never raised
    EXPECT_EQ(host.graphics.captureDrops, 1);

    const auto recording = paintAt();
    EXPECT_EQ(textsOf(*recording), (std::vector<std::string>{"i2", "i3", "i4", "i5", "i6", "i7"}));
    const float t = 2.0f * 96.0f / 10.0f;
    const auto rects = recording->of(DrawOp::PaintRect);
    ASSERT_GE(rects.size(), 2u);
    EXPECT_TRUE(sameRect(rects[1]->rect, GuiRect{90, t + 2.0f, 98, t + 96.0f * 0.6f + 3.0f}));
}

TEST_F(BetterListBoxTest, ScrollingStopsAtBothEnds) {
    makeTenItemBox();
    scrollDown(9); // at most four lines: ten items, six in view
    EXPECT_EQ(textsOf(*paintAt()).front(), "i4");

    // Upwards: one line per motion, never above the first.
    sendsOfPress(95, 50);
    for (float y = 50; y > -120; y -= 17)
        drag(95, y - 17);
    sendsOfRelease();
    EXPECT_EQ(textsOf(*paintAt()).front(), "i0");
}

TEST_F(BetterListBoxTest, MotionScrollsOnlyWhileThePressInTheStripHoldsTheCapture) {
    makeTenItemBox();
    sendsOfPress(20, 50); // in the content: selects, does not scroll
    drag(20, 90);
    sendsOfRelease();
    sendsOfPress(95, 50);
    host.graphics.captured = false; // the host took the capture away
    drag(95, 90);
    sendsOfRelease();
    EXPECT_TRUE(host.graphics.repaints.empty());
    EXPECT_EQ(textsOf(*paintAt()).front(), "i0");
}

TEST_F(BetterListBoxTest, APressSelectsTheItemOfItsLineAndRaisesTheClick) {
    makeTenItemBox();
    scrollDown(2);
    host.graphics.repaints.clear();

    // Line 40 / 16 = 2 in view, so the line 4 below the first: the fifth item.
    EXPECT_EQ(sendsOfPress(20, 40), (Sends{sent(pinSelectedId, int32_t(4)), sent(pinClick, true)}));
    EXPECT_TRUE(host.graphics.captured);
    EXPECT_TRUE(host.graphics.repaints.empty()); // the highlight waits for the host
    EXPECT_EQ(sendsOfRelease(), (Sends{sent(pinClick, false)}));
    EXPECT_FALSE(host.graphics.captured);

    // The same line again: the id is unchanged and not sent.
    EXPECT_EQ(sendsOfPress(20, 47.9f), (Sends{sent(pinClick, true)}));
    EXPECT_EQ(sendsOfRelease(), (Sends{sent(pinClick, false)}));
}

TEST_F(BetterListBoxTest, PressesThatSelectNothing) {
    makeTenItemBox();
    struct Case {
        const char* what;
        float x, y;
        int32_t flags;
    } cases[] = {
        {"without the first button", 20, 20, 0x20000},
        {"in the strip", 88.5f, 20, buttonDown},
        {"past the last line", 20, 16 * 10 + 1, buttonDown},
        {"above the first line", 20, -17, buttonDown},
    };
    for (const Case& c : cases) {
        const int32_t takes = host.graphics.captureTakes;
        EXPECT_EQ(sendsOfPress(c.x, c.y, c.flags), Sends{}) << c.what;
        EXPECT_EQ(host.graphics.captureTakes, takes + (c.flags & buttonDown ? 1 : 0)) << c.what;
        sendsOfRelease();
    }
}

TEST_F(BetterListBoxTest, APressBelowTheLastWholeLineSelectsTheNextLine) {
    makeTenItemBox();
    // Line 6 is not drawn (it would end at 112), yet a press at y 99 selects it.
    EXPECT_EQ(sendsOfPress(20, 99), (Sends{sent(pinSelectedId, int32_t(6)), sent(pinClick, true)}));
    sendsOfRelease();
}

TEST_F(BetterListBoxTest, SeparatorsTakeNoLineButCountForScrolling) {
    offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
    makeWidget(u"BetterListBox");
    set(pinStyleName, std::u16string(u"normal"));
    set(pinItemList, std::u16string(u"A,----,B,<<<<,C=7"));
    // 40 pixels hold two lines of 16; five items (separators too) size the strip.
    const auto recording = paintAt(100, 40);
    EXPECT_EQ(textsOf(*recording), (std::vector<std::string>{"A", "B"}));
    const auto rects = recording->of(DrawOp::PaintRect);
    ASSERT_GE(rects.size(), 2u);
    EXPECT_TRUE(sameRect(rects[1]->rect, GuiRect{90, 2, 98, 0.0f + 36.0f * 0.4f + 3.0f}));

    EXPECT_EQ(sendsOfPress(20, 20), (Sends{sent(pinSelectedId, int32_t(2)), sent(pinClick, true)}));
    sendsOfRelease();
    // Scrolling may pass the last line by as many lines as there are separators.
    scrollDown(5);
    EXPECT_EQ(textsOf(*paintAt(100, 40)), (std::vector<std::string>{}));
    EXPECT_EQ(sendsOfPress(20, 1), Sends{});
    sendsOfRelease();
}

TEST_F(BetterListBoxTest, TheSelectionIsMatchedByIdUnderTheText) {
    makeTenItemBox();
    set(pinItemList, std::u16string(u"a=3,b=5,c=3,d"));
    set(pinSelectedId, int32_t(3));
    EXPECT_EQ(host.graphics.repaints.size(), 2u); // the new list, then the selection
    set(pinSelection, std::u16string(u"ff102030"));

    const auto recording = paintAt();
    std::vector<std::string> order;
    for (const DrawCall& call : recording->calls) {
        if (call.op == DrawOp::DrawText)
            order.push_back(call.text);
        else if (call.op == DrawOp::PaintRect && call.brush && call.clips.size() == 1 &&
                 call.rect.bottom - call.rect.top == 16)
            order.push_back("selected " + std::to_string(int(call.rect.top)));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"selected 0", "a", "b", "selected 32", "c", "d"}));
}

TEST_F(BetterListBoxTest, WithAutoHideAndEverythingInViewTheTextsTakeTheWholeWidth) {
    offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
    makeWidget(u"BetterListBox");
    set(pinStyleName, std::u16string(u"normal"));
    set(pinItemList, std::u16string(u"one,two,three"));
    set(pinSelectedId, int32_t(-1));
    set(pinAutoHide, true);
    const auto recording = paintAt();
    const auto texts = recording->of(DrawOp::DrawText);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_TRUE(sameRect(texts[2]->rect, GuiRect{0, 32, 100, 48}));
    const auto rects = recording->of(DrawOp::PaintRect);
    ASSERT_EQ(rects.size(), 1u); // the background only
    EXPECT_TRUE(sameRect(rects[0]->rect, GuiRect{0, 0, 100, 100}));
    // The right 12 pixels still never select.
    EXPECT_EQ(sendsOfPress(95, 5), Sends{});
    sendsOfRelease();

    // Without auto-hide the strip shows even though all fits.
    set(pinAutoHide, false);
    EXPECT_TRUE(sameBits(paintAt()->of(DrawOp::DrawText)[0]->rect.right, 88.0f));
}

TEST_F(BetterListBoxTest, TheFontColourServesWhileTheTextColourIsTransparent) {
    offerSkin("FONT_CATEGORY normal\nfont-color #FF0000\n");
    makeWidget(u"BetterListBox");
    set(pinStyleName, std::u16string(u"normal"));
    set(pinItemList, std::u16string(u"x"));
    const auto fromStyle = drawnTexts();
    ASSERT_EQ(fromStyle.size(), 1u);
    ASSERT_TRUE(fromStyle[0].brush.has_value());
    const GuiColour red = fromStyle[0].brush->colour;
    EXPECT_TRUE(sameBits(red.g, 0.0f));
    EXPECT_TRUE(sameBits(red.b, 0.0f));
    EXPECT_NEAR(red.r, 1.0f, 1e-6f);

    // The style's colour reads like colour text: the same sRGB row and alpha scale.
    set(pinTextColour, std::u16string(u"ffff0000"));
    const auto fromPin = drawnTexts();
    ASSERT_EQ(fromPin.size(), 1u);
    EXPECT_TRUE(sameColour(fromPin[0].brush->colour, red));

    // Six digits: alpha 0, so the style's colour again.
    set(pinTextColour, std::u16string(u"00ff00"));
    EXPECT_TRUE(sameColour(paintAt()->of(DrawOp::DrawText)[0]->brush->colour, red));
    set(pinTextColour, std::u16string(u"8000ff00"));
    const GuiColour green = paintAt()->of(DrawOp::DrawText)[0]->brush->colour;
    EXPECT_TRUE(sameBits(green.r, 0.0f));
    EXPECT_TRUE(sameBits(green.a, 128.0f * 0.003921569f));
}

TEST_F(BetterListBoxTest, UndeclaredStylesDrawInOpaqueBlackArial) {
    makeWidget(u"BetterListBox"); // no skin at all
    set(pinItemList, std::u16string(u"x"));
    const auto texts = drawnTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(sameColour(texts[0].brush->colour, GuiColour{0, 0, 0, 1}));
    EXPECT_EQ(texts[0].format->request.family, "Arial");
    EXPECT_TRUE(sameBits(texts[0].format->request.size, 12.0f));
    // Twelve pixels and two: lines of 14.
    EXPECT_TRUE(sameRect(texts[0].rect, GuiRect{0, 0, 88, 14}));
}

TEST_F(BetterListBoxTest, ColourPinsSetTheBackgroundAndTheStrip) {
    makeTenItemBox();
    const auto defaults = paintAt();
    set(pinBackgroundTop, std::u16string(u"ff40b0ff"));
    set(pinBackgroundBottom, std::u16string(u"ff005080"));
    set(pinThumb, std::u16string(u"ff80d0ff"));
    set(pinStrip, std::u16string(u"ff004070"));
    set(pinSelection, std::u16string(u"ffffffff"));
    const auto written = paintAt();

    // The defaults are those sRGB bytes, opaque.
    auto stopsOf = [](const Recording& r) { return r.of(DrawOp::MakeGradientStops).at(0)->stops; };
    auto brushesOf = [](const Recording& r) {
        std::vector<GuiColour> colours;
        for (const DrawCall* call : r.of(DrawOp::MakeSolidBrush))
            colours.push_back(call->colour);
        return colours;
    };
    const auto defaultStops = stopsOf(*defaults), writtenStops = stopsOf(*written);
    ASSERT_EQ(defaultStops.size(), 2u);
    ASSERT_EQ(writtenStops.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(sameBits(defaultStops[i].position, float(i)));
        EXPECT_TRUE(sameColour(defaultStops[i].colour, writtenStops[i].colour)) << i;
        EXPECT_TRUE(sameBits(defaultStops[i].colour.a, 1.0f));
    }
    const auto defaultBrushes = brushesOf(*defaults), writtenBrushes = brushesOf(*written);
    ASSERT_EQ(defaultBrushes.size(), 4u); // text, selection, thumb, strip
    ASSERT_EQ(writtenBrushes.size(), 4u);
    for (size_t i = 1; i < 4; ++i)
        EXPECT_TRUE(sameColour(defaultBrushes[i], writtenBrushes[i])) << i;

    const auto gradient = defaults->of(DrawOp::MakeLinearGradientBrush);
    ASSERT_EQ(gradient.size(), 1u);
    EXPECT_TRUE(sameBits(gradient[0]->linear.end.y, 99.0f));
    EXPECT_TRUE(sameBits(gradient[0]->linear.start.y, 0.0f));
    ASSERT_TRUE(gradient[0]->spec.has_value());
    EXPECT_TRUE(sameBits(gradient[0]->spec->opacity, 1.0f));
    const float identity[6] = {1, 0, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(sameBits(gradient[0]->spec->transform[i], identity[i])) << i;

    // Emptying a pin brings its default back.
    set(pinStrip, std::u16string());
    EXPECT_TRUE(sameColour(brushesOf(*paintAt())[3], defaultBrushes[3]));
}

TEST_F(BetterListBoxTest, TransparentBackgroundColoursPaintNoBackground) {
    makeTenItemBox();
    set(pinSelectedId, int32_t(-1));
    set(pinBackgroundTop, std::u16string(u"40b0ff"));
    set(pinBackgroundBottom, std::u16string(u"zz"));
    const auto recording = paintAt();
    EXPECT_TRUE(recording->of(DrawOp::MakeGradientStops).empty());
    EXPECT_EQ(recording->of(DrawOp::PaintRect).size(), 2u); // strip and thumb
    set(pinBackgroundBottom, std::u16string(u"01000000"));
    EXPECT_EQ(paintAt()->of(DrawOp::MakeGradientStops).size(), 1u);
}

TEST_F(BetterListBoxTest, ANewItemListReturnsToTheTop) {
    makeTenItemBox();
    scrollDown(3);
    EXPECT_EQ(textsOf(*paintAt()).front(), "i3");
    host.graphics.repaints.clear();
    set(pinItemList, std::u16string(u"j0,j1,j2,j3,j4,j5,j6,j7"));
    EXPECT_EQ(host.graphics.repaints.size(), 1u);
    EXPECT_EQ(textsOf(*paintAt()).front(), "j0");
}

TEST_F(BetterListBoxTest, AShorterListOrTallerBoundsPullTheViewBack) {
    makeTenItemBox();
    scrollDown(4);
    place({0, 0, 100, 160}); // all ten fit: the view goes back to the top
    EXPECT_EQ(textsOf(*paintAt(100, 160)).front(), "i0");
}

TEST_F(BetterListBoxTest, ItemListsTheReaderRefusesOrThatAreEmptyShowNoLines) {
    for (const char16_t* list : {u"range", u""}) {
        makeTenItemBox();
        set(pinItemList, std::u16string(list));
        const auto recording = paintAt();
        EXPECT_TRUE(recording->of(DrawOp::DrawText).empty());
        // The strip shows (auto-hide is off) without a thumb.
        ASSERT_EQ(recording->of(DrawOp::PaintRect).size(), 2u);
        EXPECT_TRUE(sameRect(recording->of(DrawOp::PaintRect)[0]->rect, GuiRect{88, 0, 100, 100}));
        EXPECT_EQ(sendsOfPress(20, 5), Sends{});
        sendsOfRelease();
        dropWidget();
    }
}

TEST_F(BetterListBoxTest, RangesScrollWithoutWalkingFromTheStart) {
    makeTenItemBox();
    set(pinItemList, std::u16string(u"range 1,2000000000"));
    scrollDown(3);
    EXPECT_EQ(textsOf(*paintAt()), (std::vector<std::string>{"4", "5", "6", "7", "8", "9"}));
    EXPECT_EQ(sendsOfPress(20, 17), (Sends{sent(pinSelectedId, int32_t(5)), sent(pinClick, true)}));
    sendsOfRelease();
}

struct ScrollRangeCase {
    const char* what;
    const char16_t* list;
    int32_t count; // as the box counts it: at most 2147483647
    GuiRect bounds;
    int32_t linesDown, linesUp;
    int32_t top; // the first line in view after the drag
};

// The first line in view stays within 0 .. max(0, count - lines in view),
// whatever the count and whatever the bounds make of the lines in view.
TEST_F(BetterListBoxTest, TheScrollPositionStaysWithinTheItemsAtAnyCountAndBounds) {
    const char16_t* const widest = u"range 0,2147483647";
    const ScrollRangeCase cases[] = {
        {"ten items, six in view", u"range 0,9", 10, {0, 0, 100, 100}, 9, 0, 4},
        {"six items, all in view", u"range 0,5", 6, {0, 0, 100, 100}, 3, 0, 0},
        {"ten items, bottom above the top: -6 lines",
         u"range 0,9",
         10,
         {0, 100, 100, 0},
         20,
         0,
         16},
        {"ten items, a height beyond 32 bits of lines",
         u"range 0,9",
         10,
         {0, 0, 100, -1e12f},
         2,
         0,
         2},
        {"the widest range, six in view", widest, 2147483647, {0, 0, 100, 100}, 2, 5, 0},
        {"the widest range, -1 line", widest, 2147483647, {0, 20, 100, 0}, 3, 1, 2},
        {"the widest range, -6 lines", widest, 2147483647, {0, 100, 100, 0}, 2, 0, 2},
        {"the widest range, no line", widest, 2147483647, {0, 0, 100, 0}, 4, 1, 3},
    };
    offerSkin("FONT_CATEGORY normal\nfont-size 14\n"); // lines of 16 pixels
    for (const ScrollRangeCase& c : cases) {
        SCOPED_TRACE(c.what);
        makeWidget(u"BetterListBox");
        set(pinStyleName, std::u16string(u"normal"));
        set(pinItemList, std::u16string(c.list));
        set(pinSelectedId, int32_t(-1));
        const GuiRect& b = c.bounds;
        place(b);
        scrollDown(c.linesDown);
        sendsOfPress(95, 50);
        for (float y = 50; y > 50 - 17.0f * float(c.linesUp); y -= 17)
            drag(95, y - 17);
        sendsOfRelease();

        // The thumb's top follows the first line in view.
        const float h = b.bottom - b.top;
        const auto recording = paint({100, 100});
        const auto rects = recording->of(DrawOp::PaintRect);
        ASSERT_GE(rects.size(), 2u);
        EXPECT_TRUE(
            sameBits(rects[1]->rect.top, float(c.top) * (h - 4.0f) / float(c.count) + 2.0f));
        // A press on the first line selects that line's item, when there is one.
        const Sends selected =
            c.top < c.count ? Sends{sent(pinSelectedId, c.top), sent(pinClick, true)} : Sends{};
        EXPECT_EQ(sendsOfPress(20, 1), selected);
        sendsOfRelease();
        dropWidget();
    }
}

TEST_F(BetterListBoxTest, WhatTheHostChangesFromInsideTheStyleLookUpIsWhatIsLaidOutAndDrawn) {
    makeTenItemBox();
    // A list set from inside the layout of another is the one laid out: all
    // ten items scroll.
    bool changed = false;
    host.onCall = [&](HostCall call) {
        if (call != HostCall::LookUpResource)
            return;
        const std::string& name = host.lookups.back().first;
        if (name == "global" && !std::exchange(changed, true))
            set(pinItemList, std::u16string(tenItems));
    };
    set(pinItemList, std::u16string(u"x"));
    EXPECT_TRUE(changed);
    scrollDown(9);
    EXPECT_EQ(textsOf(*paintAt()), (std::vector<std::string>{"i4", "i5", "i6", "i7", "i8", "i9"}));

    // Bounds set from inside a repaint's look-up are the ones painted.
    changed = false;
    host.onCall = [&](HostCall call) {
        if (call != HostCall::LookUpResource)
            return;
        const std::string& name = host.lookups.back().first;
        if (name == "global" && !std::exchange(changed, true))
            place({0, 0, 100, 60});
    };
    const auto recording = paint({100, 100});
    host.onCall = nullptr;
    EXPECT_TRUE(changed);
    EXPECT_EQ(textsOf(*recording), (std::vector<std::string>{"i4", "i5", "i6"}));
    const auto rects = recording->of(DrawOp::PaintRect);
    ASSERT_FALSE(rects.empty());
    EXPECT_TRUE(sameRect(rects[0]->rect, GuiRect{88, 0, 100, 60}));
}

TEST_F(BetterListBoxTest, AStyleSetFromInsideTheLayoutsLookUpIsTheOneLaidOut) {
    offerSkin("FONT_CATEGORY normal\nfont-size 14\nFONT_CATEGORY big\nfont-size 30\n");
    makeWidget(u"BetterListBox");
    set(pinItemList, std::u16string(tenItems));
    place({0, 0, 100, 100});
    // The style «big» set while «normal» is laid out: lines of 32 pixels.
    bool changed = false;
    host.onCall = [&](HostCall call) {
        if (call == HostCall::LookUpResource && !std::exchange(changed, true))
            set(pinStyleName, std::u16string(u"big"));
    };
    set(pinStyleName, std::u16string(u"normal"));
    host.onCall = nullptr;
    ASSERT_TRUE(changed);
    // A press on the second line selects the second item.
    EXPECT_EQ(sendsOfPress(20, 40), (Sends{sent(pinSelectedId, int32_t(1)), sent(pinClick, true)}));
    sendsOfRelease();
    // A repaint in the same bounds draws three lines of 32 pixels in «big».
    const auto texts = drawnTexts();
    ASSERT_EQ(texts.size(), 3u);
    for (size_t k = 0; k < texts.size(); ++k) {
        EXPECT_TRUE(sameBits(texts[k].format->request.size, 30.0f));
        EXPECT_TRUE(sameRect(texts[k].rect, GuiRect{0, 32.0f * float(k), 88, 32.0f * float(k + 1)}))
            << k;
    }
}

TEST_F(BetterListBoxTest, ItemTextsAreDrawnAsUtf8UpToTheirFirstNul) {
    makeWidget(u"BetterListBox");
    const std::u16string items = std::u16string(u"h\u00e9llo,") + u"\U0001F600," +
                                 char16_t(0xD800) + u"x," + std::u16string(u"ab\0cd", 5);
    set(pinItemList, items);
    EXPECT_EQ(textsOf(*paintAt()), (std::vector<std::string>{"h\xC3\xA9llo", "\xF0\x9F\x98\x80",
                                                             "\xEF\xBF\xBDx", "ab"}));
}

TEST_F(BetterListBoxTest, DesiredSizeIsAtLeastFour) {
    makeWidget(u"BetterListBox");
    struct Case {
        GuiSize available, desired;
    } cases[] = {
        {{2, 50}, {4, 50}},
        {{4, 4.5f}, {4, 4.5f}},
        {{-1, 0}, {4, 4}},
        {{nan, 300}, {nan, 300}},
    };
    for (const Case& c : cases) {
        GuiSize desired{};
        EXPECT_EQ(graphics->computeDesiredSize(c.available, &desired), ResultSuccess);
        EXPECT_TRUE(sameBits(desired.width, c.desired.width)) << c.available.width;
        EXPECT_TRUE(sameBits(desired.height, c.desired.height)) << c.available.height;
    }
}

TEST_F(BetterListBoxTest, BoundsAskForARepaintOnlyWhenTheyChangeButAlwaysLayOut) {
    makeTenItemBox();
    host.graphics.repaints.clear();
    host.lookups.clear();
    place({0, 0, 100, 100});
    EXPECT_TRUE(host.graphics.repaints.empty());
    EXPECT_FALSE(host.lookups.empty()); // the layout fetched the style again
    place({0, 0, 100, 101});
    EXPECT_EQ(host.graphics.repaints.size(), 1u);
}

TEST_F(BetterListBoxTest, ListBoxesShareTheFormatOfAStyleWhileOneLives) {
    const std::string uri = offerSkin("FONT_CATEGORY normal\nfont-size 14\nfont-color #00FF00\n");
    makeWidget(u"BetterListBox");
    set(pinStyleName, std::u16string(u"Normal"));
    set(pinItemList, std::u16string(u"x"));
    paintAt();
    GuiModule second = make(u"BetterListBox");
    EXPECT_EQ(second.set(pinStyleName, std::u16string(u"NORMAL")), ResultSuccess);
    const auto requests = drawing.formatRequests.size();
    EXPECT_EQ(requests, 1u);

    // The last box gone takes the format with it; the next box makes it again
    // from the styles read the first time, whatever the skin's file holds now.
    dropWidget();
    second.reset();
    EXPECT_EQ(drawing.ledger()->live("text format"), 0);
    host.addUriData(uri, bytesOfText("FONT_CATEGORY normal\nfont-size 30\n"));
    makeWidget(u"BetterListBox");
    set(pinStyleName, std::u16string(u"normal"));
    set(pinItemList, std::u16string(u"x"));
    const auto texts = drawnTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(drawing.formatRequests.size(), requests + 1);
    EXPECT_TRUE(sameBits(texts[0].format->request.size, 14.0f));
    EXPECT_TRUE(sameBits(texts[0].brush->colour.r, 0.0f));
    EXPECT_NEAR(texts[0].brush->colour.g, 1.0f, 1e-6f);
}

TEST_F(BetterListBoxTest, EveryRequestResolvesTheSkinThroughTheHost) {
    offerSkin("FONT_CATEGORY normal\n");
    makeWidget(u"BetterListBox");
    set(pinStyleName, std::u16string(u"normal")); // the first layout makes the format
    const std::pair<std::string, std::string> global{"global", "ImageMeta"};
    EXPECT_EQ(host.lookups, (std::vector<std::pair<std::string, std::string>>(3, global)));
    host.lookups.clear();
    set(pinItemList, std::u16string(u"x")); // cached: the skin and the format
    EXPECT_EQ(host.lookups.size(), 2u);
}

TEST_F(BetterListBoxTest, TextFormatsTakeTheStylesPlacementWeightAndSize) {
    offerSkin("FONT_CATEGORY heading\n"
              "font-family Tahoma, Arial\n"
              "font-weight bold\n"
              "font-weight light\n"
              "text-align right\n"
              "text-align center\n"
              "FONT_CATEGORY small\n"
              "legacy-vertical-offset 0\n"
              "GDI_pixelHeight 0\n"
              "font-weight 200\n");
    drawing.offerFamilyList = true;
    drawing.families = {"Arial", "Tahoma"};
    makeWidget(u"BetterListBox");
    set(pinItemList, std::u16string(u"x"));

    set(pinStyleName, std::u16string(u"Heading"));
    const auto heading = paintAt()->of(DrawOp::DrawText).at(0)->format;
    ASSERT_TRUE(heading.has_value());
    EXPECT_EQ(heading->request.family, "Tahoma");
    EXPECT_EQ(heading->request.weight, 400); // bold and light both
    EXPECT_EQ(heading->request.style, 0);
    EXPECT_EQ(heading->request.stretch, 5);
    EXPECT_TRUE(sameBits(heading->request.size, 12.0f));
    EXPECT_FALSE(heading->request.collectionGiven || heading->request.localeGiven);
    EXPECT_EQ(heading->placement, 2);
    EXPECT_EQ(heading->settingA, 0);
    EXPECT_EQ(heading->settingB, 1);
    EXPECT_FALSE(heading->spacingSet); // made by the factory itself

    // Through the factory wrapper: the first family the host has, a height of
    // at least 1, the wrapper's spacing.
    set(pinStyleName, std::u16string(u"small"));
    const auto small = paintAt()->of(DrawOp::DrawText).at(0)->format;
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->request.family, "Arial"); // the host has no Verdana
    EXPECT_EQ(small->request.weight, 300);
    EXPECT_TRUE(sameBits(small->request.size, 1.0f));
    EXPECT_EQ(small->placement, 0);
    EXPECT_TRUE(small->spacingSet);
}

TEST_F(BetterListBoxTest, WithoutAGraphicsHostNothingIsDrawnInText) {
    host.offer(HostInterface::Graphics, false);
    offerSkin("FONT_CATEGORY normal\n");
    makeWidget(u"BetterListBox");
    set(pinStyleName, std::u16string(u"normal"));
    set(pinItemList, std::u16string(u"a,b"));
    const auto recording = paintAt();
    EXPECT_TRUE(recording->of(DrawOp::DrawText).empty());
    EXPECT_EQ(sendsOfPress(20, 3).size(), 2u); // lines of 2 pixels without metrics: the second item
    sendsOfRelease();
}

TEST_F(BetterListBoxTest, AHostThatMakesNoFormatGetsNoTextButTheRestOfTheBox) {
    drawing.refuseFormat = [](const TextFormatRequest&) { return true; };
    makeTenItemBox();
    const auto recording = paintAt();
    EXPECT_TRUE(recording->of(DrawOp::DrawText).empty());
    EXPECT_FALSE(recording->of(DrawOp::PaintRect).empty());
    EXPECT_EQ(drawing.ledger()->live("text format"), 0);
}

TEST_F(BetterListBoxTest, WithoutADrawingContextNothingIsDrawn) {
    makeTenItemBox();
    DrawingContext context(&drawing, GuiSize{100, 100});
    context.offerContext = false;
    EXPECT_EQ(graphics->onRepaint(&context), ResultFailure);
    EXPECT_TRUE(context.recorded().calls.empty());
    EXPECT_EQ(context.references(), 0);
    EXPECT_EQ(graphics->onRepaint(nullptr), ResultFailure);
}

TEST_F(BetterListBoxTest, SurvivesTheHostSettingPinsFromInsideItsSends) {
    makeTenItemBox();
    host.onAccept = [this](const SentValue& value) {
        if (value.pinId == pinSelectedId) {
            set(pinSelectedId, value.asInt());
            set(pinItemList, std::u16string(u"z"));
        }
    };
    EXPECT_EQ(sendsOfPress(20, 20), (Sends{sent(pinSelectedId, int32_t(1)), sent(pinClick, true)}));
    host.onAccept = nullptr;
    sendsOfRelease();
    EXPECT_EQ(textsOf(*paintAt()), std::vector<std::string>{"z"});
}

// A list the host sets from inside a repaint's drawing calls: the repaint
// goes on with the lines of the list it began with, the next one draws the
// new list from its top. One set inside the style's look-up, before any line
// is drawn, is the one drawn.
TEST_F(BetterListBoxTest, AListSetFromInsideARepaintIsDrawnFromTheNextRepaintOn) {
    makeTenItemBox();
    scrollDown(2);
    const std::u16string newList = u"n0,n1,----,n2=40,n3,n4,n5,n6,n7,n8,n9,n10";
    int32_t texts = 0;
    DrawingContext* drawingInto = nullptr;
    drawing.onCall = [&](HostCall call) {
        if (call == HostCall::Draw && drawingInto &&
            drawingInto->recorded().calls.back().op == DrawOp::DrawText && ++texts == 2)
            set(pinItemList, newList);
    };
    {
        DrawingContext context(&drawing, GuiSize{100, 100});
        drawingInto = &context;
        EXPECT_EQ(graphics->onRepaint(&context), ResultSuccess);
        drawingInto = nullptr;
        EXPECT_EQ(textsOf(context.recorded()),
                  (std::vector<std::string>{"i2", "i3", "i4", "i5", "i6", "i7"}));
    }
    drawing.onCall = nullptr;
    EXPECT_EQ(texts, 6);
    EXPECT_EQ(textsOf(*paint({100, 100})),
              (std::vector<std::string>{"n0", "n1", "n2", "n3", "n4", "n5"}));
    EXPECT_EQ(sendsOfPress(20, 40),
              (Sends{sent(pinSelectedId, int32_t(40)), sent(pinClick, true)}));
    sendsOfRelease();

    bool changed = false;
    host.onCall = [&](HostCall call) {
        if (call == HostCall::LookUpResource && !std::exchange(changed, true))
            set(pinItemList, std::u16string(u"m0,m1"));
    };
    const auto recording = paint({100, 100});
    host.onCall = nullptr;
    EXPECT_TRUE(changed);
    EXPECT_EQ(textsOf(*recording), (std::vector<std::string>{"m0", "m1"}));
}

// A press selects from the list the host holds once it has the capture: one
// set from inside the capture call, which also returns the view to the top.
TEST_F(BetterListBoxTest, APressSelectsFromAListSetFromInsideItsCaptureCall) {
    makeTenItemBox();
    scrollDown(2);
    bool changed = false;
    host.onCall = [&](HostCall call) {
        if (call == HostCall::TakePointerCapture && !std::exchange(changed, true))
            set(pinItemList, std::u16string(u"a=100,----,b,c"));
    };
    EXPECT_EQ(sendsOfPress(20, 20),
              (Sends{sent(pinSelectedId, int32_t(102)), sent(pinClick, true)}));
    host.onCall = nullptr;
    EXPECT_TRUE(changed);
    EXPECT_EQ(sendsOfRelease(), (Sends{sent(pinClick, false)}));
}

// A list the host stores without reporting the change is what the next
// repaint draws and the next press selects from; the strip goes on counting
// the items of the last layout until the next one.
TEST_F(BetterListBoxTest, AListStoredWithoutAChangeReportIsDrawnAndCountedAtTheNextLayout) {
    makeTenItemBox();
    ASSERT_EQ(widget->receive(pinItemList, bytesOf(std::u16string(u"p,q=5,r"))), ResultSuccess);
    const auto recording = paint({100, 100});
    EXPECT_EQ(textsOf(*recording), (std::vector<std::string>{"p", "q", "r"}));
    const auto rects = recording->of(DrawOp::PaintRect);
    ASSERT_GE(rects.size(), 2u);
    EXPECT_TRUE(sameRect(rects[1]->rect, GuiRect{90, 2, 98, 96.0f * 0.6f + 3.0f}));
    EXPECT_EQ(sendsOfPress(20, 20), (Sends{sent(pinSelectedId, int32_t(5)), sent(pinClick, true)}));
    sendsOfRelease();

    place({0, 0, 100, 100}); // the same bounds: a layout and no repaint request
    const auto relaid = paint({100, 100});
    const auto laidOut = relaid->of(DrawOp::PaintRect);
    ASSERT_GE(laidOut.size(), 2u);
    EXPECT_TRUE(sameRect(laidOut[1]->rect, GuiRect{90, 2, 98, 99}));
}

// Long lists, 25 lines in view (bounds 100 x 400, lines of 16 pixels): what a
// repaint draws, a press sends and a drag step scrolls, at the top, in the
// middle and at the bottom, item by item as the list says.
class BetterListBoxLongListTest : public BetterListBoxTest {
protected:
    static constexpr float width = 100, height = 400;
    static constexpr int32_t inView = 25;

    void makeBox(const ItemListModel& model) {
        offerSkin("FONT_CATEGORY normal\nfont-size 14\n");
        makeWidget(u"BetterListBox");
        set(pinStyleName, std::u16string(u"normal"));
        set(pinSelection, std::u16string(u"ff102030"));
        set(pinItemList, model.list);
        lines = model.lines();
        count = int32_t(model.items.size());
        selected = lines.at(3).id;
        set(pinSelectedId, selected);
        place({0, 0, width, height});
        sends();
        repaintRequests();
        top = 0;
    }

    int32_t maxTop() const { return std::max(0, count - inView); }

    // Drags in the strip, one step per motion, until `line` is the first in
    // view: each step asks for one repaint. Steps past either end leave it there.
    void scrollTo(int32_t line, int32_t extraSteps = 0) {
        ASSERT_EQ(sendsOfPress(95, 50), Sends{});
        repaintRequests();
        const int32_t steps = std::abs(line - top) + extraSteps;
        const float step = line >= top ? 17.0f : -17.0f;
        float y = 50;
        for (int32_t i = 0; i < steps; ++i)
            drag(95, y += step);
        EXPECT_EQ(repaintRequests(), size_t(steps));
        ASSERT_EQ(sendsOfRelease(), Sends{}); // the click was never raised
        top = std::clamp(line, 0, maxTop());
    }

    // One repaint, compared call by call with the lines from `top` on.
    void expectView() {
        SCOPED_TRACE("first line in view " + std::to_string(top));
        const auto recording = paint({width, height});
        const auto brushes = recording->of(DrawOp::MakeSolidBrush);
        ASSERT_EQ(brushes.size(), 4u);
        const GuiColour textColour = brushes[0]->colour, selectionColour = brushes[1]->colour;

        // The strip, its thumb, and after the clip the background.
        const auto rects = recording->of(DrawOp::PaintRect);
        ASSERT_GE(rects.size(), 3u);
        EXPECT_TRUE(sameRect(rects[0]->rect, GuiRect{88, 0, 100, height}));
        const float t = float(top) * (height - 4.0f) / float(count);
        const float f = std::min(float(inView) / float(count), 1.0f);
        EXPECT_TRUE(
            sameRect(rects[1]->rect, GuiRect{90, t + 2.0f, 98, t + (height - 4.0f) * f + 3.0f}));
        EXPECT_TRUE(sameRect(rects[2]->rect, GuiRect{0, 0, 88, height}));

        struct Drawn {
            DrawOp op;
            GuiRect rect;
            std::string text;
            GuiColour colour;
        };
        std::vector<Drawn> drawn, expected;
        bool pastBackground = false;
        for (const DrawCall& call : recording->calls) {
            if (call.op == DrawOp::PaintRect && !pastBackground) {
                pastBackground = &call == rects[2];
            } else if (pastBackground &&
                       (call.op == DrawOp::PaintRect || call.op == DrawOp::DrawText)) {
                ASSERT_TRUE(call.brush.has_value());
                drawn.push_back({call.op, call.rect, call.text, call.brush->colour});
            }
        }
        for (int32_t k = 0; k < inView && top + k < int32_t(lines.size()); ++k) {
            const ListedItem& line = lines[size_t(top + k)];
            const GuiRect rect{0, 16.0f * float(k), 88, 16.0f * float(k + 1)};
            if (line.id == selected)
                expected.push_back({DrawOp::PaintRect, rect, "", selectionColour});
            expected.push_back({DrawOp::DrawText, rect, line.text, textColour});
        }
        ASSERT_EQ(drawn.size(), expected.size());
        for (size_t i = 0; i < drawn.size(); ++i) {
            SCOPED_TRACE("call " + std::to_string(i) + ": " + expected[i].text);
            EXPECT_EQ(drawn[i].op, expected[i].op);
            EXPECT_TRUE(sameRect(drawn[i].rect, expected[i].rect));
            EXPECT_EQ(drawn[i].text, expected[i].text);
            EXPECT_TRUE(sameColour(drawn[i].colour, expected[i].colour));
        }
        EXPECT_EQ(recording->of(DrawOp::PopClip).size(), 1u);
    }

    // Presses on lines of the view and the releases after them: each sends the
    // id of its line (when it is not the one held), then raises the click.
    void expectPresses() {
        SCOPED_TRACE("first line in view " + std::to_string(top));
        for (const float y : {8.0f, 20.0f, 16.0f * 12 + 1, 399.5f, 16.0f * 25 + 1}) {
            SCOPED_TRACE(y);
            const int64_t line = int64_t(top) + int64_t(y / 16.0f);
            Sends expected;
            if (line < int64_t(lines.size())) {
                const int32_t id = lines[size_t(line)].id;
                if (id != selected)
                    expected.push_back(sent(pinSelectedId, id));
                expected.push_back(sent(pinClick, true));
                selected = id;
            }
            EXPECT_EQ(sendsOfPress(20, y), expected);
            EXPECT_EQ(sendsOfRelease(),
                      line < int64_t(lines.size()) ? Sends{sent(pinClick, false)} : Sends{});
        }
        EXPECT_EQ(repaintRequests(), 0u); // the highlight waits for the host
    }

    std::vector<ListedItem> lines;
    int32_t count = 0;
    int32_t selected = 0;
    int32_t top = 0;
};

TEST_F(BetterListBoxLongListTest, ShowsSelectsAndScrollsEveryShapeOfItemAtEveryPosition) {
    struct Case {
        const char* what;
        ItemListModel model;
    };
    const Case cases[] = {
        {"100 items", blackbox::assortedItems(100)},
        {"100,000 items", blackbox::assortedItems(100000)},
        {"a range of 100,000", blackbox::rangeItems(-7, 99992)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeBox(c.model);
        const int32_t lastPage = int32_t(lines.size()) - inView;
        // The top, one line down, each side of the separators in the middle,
        // the last full page, the bottom (past the last line by the
        // separators), then three lines back up.
        std::vector<int32_t> stops = {0,       1, count / 2 - 30, count / 2 - 24, count / 2 - 2,
                                      lastPage};
        std::sort(stops.begin(), stops.end());
        for (const int32_t line : stops) {
            scrollTo(line);
            expectView();
            expectPresses();
        }
        scrollTo(maxTop(), 2); // two steps beyond the bottom change nothing
        expectView();
        expectPresses();
        scrollTo(maxTop() - 3);
        expectView();
        expectPresses();
        scrollTo(0, 5);
        expectView();
        dropWidget();
    }
}

} // namespace
