// The image widget base: loading pictures named by a pin, the frame an
// animation position selects, the drawing of each kind of picture and of the
// placeholder, the context menu, hint text, the release of the pointer and
// the widget's life as an image cache client.
#include "skin/ImageBase.h"
#include "framework/SrgbTables.h"
#include "host/DrawingContext.h"
#include "host/DrawingFactory.h"
#include "host/HostString.h"
#include "host/MenuItemSink.h"
#include "host/TestHost.h"
#include "tests/ExactValues.h"
#include "tests/SkinPictures.h"
#include "tests/unit/SlotOrder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using exactvalues::sameRect;
using gmpi_sdk::ComPtr;
using skinpictures::bmp;
using skinpictures::solidBmp;
using testhost::bytesOf;
using testhost::DrawOp;
using testhost::floatBits;

enum Pins { PositionPin, ImagePin, HintPin, MenuItemsPin, MenuSelectionPin, DownPinA, DownPinB };

// An image widget with the whole ImageBase set of pins and both mouse-down pins.
class PictureWidget final : public ImageBase {
public:
    explicit PictureWidget(bool* destroyed = nullptr) : destroyed(destroyed) {
        registerPin(positionPin, &ImageBase::onAnimationPosition);
        registerPin(imageFilePin, &ImageBase::onSetImageFile);
        registerPin(hintPin);
        registerPin(menuItemsPin);
        registerPin(menuSelectionPin);
        registerPin(mouseDownPinA);
        registerPin(mouseDownPinB);
    }
    ~PictureWidget() override {
        if (destroyed)
            *destroyed = true;
    }
    float getAnimationPosition() override { return positionPin.get(); }
    void setAnimationPosition(float position) override { positionPin.setAndSend(position); }
    void onImageLoaded() override {
        ++imagesLoaded;
        if (graphics)
            requestsBeforeLoaded = graphics->remeasures + int32_t(graphics->repaints.size());
    }
    std::u16string getHintText() override { return hintText; }

    void press() {
        mouseDownPinA.setAndSend(true);
        mouseDownPinB.setAndSend(true);
    }

    MpGuiPin<float> positionPin;
    std::u16string hintText;
    int32_t imagesLoaded = 0;
    const testhost::GraphicsHostState* graphics = nullptr; // the host's, when given
    int32_t requestsBeforeLoaded = -1;

private:
    bool* destroyed;
};

class ImageBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        factory.serve(host);
        widget = new PictureWidget;
        ASSERT_EQ(widget->attachHost(host.object()), ResultSuccess);
    }
    void TearDown() override {
        if (widget) {
            EXPECT_EQ(widget->release(), 0);
        }
        EXPECT_TRUE(ImageCache::instance().cached().empty());
        EXPECT_EQ(factory.ledger()->live(), 0) << factory.ledger()->describe();
        host.graphics.drawingFactory = nullptr;
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
    }

    void offerPicture(const std::string& name, const testhost::Bytes& picture,
                      const std::string& metadata = "") {
        skinpictures::offer(host, name, picture, metadata);
    }
    template <class T> void set(int32_t pin, const T& value) {
        const testhost::Bytes bytes = bytesOf(value);
        ASSERT_EQ(widget->receivePinValue(pin, 0, int32_t(bytes.size()), bytes.data()),
                  ResultSuccess);
        ASSERT_EQ(widget->onPinChanged(pin, 0), ResultSuccess);
    }
    void show(const std::u16string& name) { set(ImagePin, name); }
    std::shared_ptr<const testhost::Recording> paint() {
        testhost::DrawingContext context(&factory);
        EXPECT_EQ(widget->onRepaint(&context), ResultSuccess);
        EXPECT_EQ(context.references(), 0);
        return context.recordingPointer();
    }
    std::vector<GuiRect> sources(const testhost::Recording& recording) {
        std::vector<GuiRect> rects;
        for (const testhost::DrawCall* call : recording.of(DrawOp::BlitBitmap))
            rects.push_back(call->source.value_or(GuiRect{-1, -1, -1, -1}));
        return rects;
    }

    testhost::TestHost host;
    testhost::DrawingFactory factory;
    PictureWidget* widget = nullptr;
};

TEST_F(ImageBaseTest, LoadsThePictureThePinNamesAndSelectsItsFrame) {
    offerPicture("knob.png", solidBmp(20, 352, 0xFF808080), "frame_size 20 32");
    set(PositionPin, 0.5f);
    EXPECT_TRUE(host.graphics.repaints.empty()); // no picture yet: nothing to repaint
    widget->graphics = &host.graphics;
    show(u"knob.png");
    EXPECT_EQ(widget->requestsBeforeLoaded, 0); // told before the remeasure and repaints
    ASSERT_NE(widget->currentBitmap(), nullptr);
    ASSERT_NE(widget->metadata, nullptr);
    EXPECT_EQ(widget->maxFrame, 10);
    EXPECT_EQ(widget->imagesLoaded, 1);
    EXPECT_EQ(widget->sourceOffset, 160);
    EXPECT_EQ(host.graphics.remeasures, 1);
    // The new frame, then the whole widget once more.
    EXPECT_EQ(host.graphics.repaints.size(), 2u);
    EXPECT_EQ(host.lookups.front(), std::pair(std::string("knob.png"), std::string("Image")));
}

struct OffsetCase {
    const char* metadata;
    float position;
    int32_t offset;
};

class ImageBaseOffsets : public ImageBaseTest, public ::testing::WithParamInterface<OffsetCase> {};

TEST_P(ImageBaseOffsets, FollowTheKindOfPicture) {
    const OffsetCase& c = GetParam();
    offerPicture("p.png", solidBmp(20, 352, 0xFF808080), c.metadata);
    set(PositionPin, c.position);
    show(u"p.png");
    EXPECT_EQ(widget->sourceOffset, c.offset) << c.metadata << " at " << c.position;
}

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr const char* eleven = "frame_size 20 32"; // 352 / 32: 11 frames, maxFrame 10
constexpr const char* slider = "type slider\nhandle_range 10 90";
constexpr const char* bargraph = "type bargraph\nsegment_count 5\nsegment 0 10";

INSTANTIATE_TEST_SUITE_P(
    Animated, ImageBaseOffsets,
    ::testing::Values(OffsetCase{eleven, 0.5f, 160}, OffsetCase{eleven, 0.04f, 0},
                      OffsetCase{eleven, 0.06f, 32}, OffsetCase{eleven, 1.7f, 320},
                      OffsetCase{eleven, -0.3f, 0}, OffsetCase{eleven, 1.0f, 320},
                      OffsetCase{eleven, nan, 0},
                      OffsetCase{"type button\nframe_size 20 176", 0.6f, 176},
                      // A picture shorter than one frame: maxFrame -1.
                      OffsetCase{"frame_size 20 400", 1.0f, 0},
                      // A negative frame height gives no frame at all.
                      OffsetCase{"frame_size 20 -32", 1.0f, 0}));

INSTANTIATE_TEST_SUITE_P(
    Slider, ImageBaseOffsets,
    ::testing::Values(OffsetCase{slider, 0.25f, 30},
                      OffsetCase{"type slider\nhandle_range 10 90\norientation h", 0.25f, 30},
                      OffsetCase{"type slider\nhandle_range 10 90\nmouse_response c", 0.25f, 30},
                      OffsetCase{"type slider\nhandle_range 10 90\norientation v", 0.25f, 70},
                      OffsetCase{"type slider\nhandle_range 10 90\norientation re", 0.25f, 70},
                      OffsetCase{slider, 0.0f, 10}, OffsetCase{slider, 2.0f, 90},
                      OffsetCase{"type slider\nhandle_range -2147483648 2147483647", 1.0f,
                                 2147483647}));

INSTANTIATE_TEST_SUITE_P(Bargraph, ImageBaseOffsets,
                         ::testing::Values(OffsetCase{bargraph, 0.0f, -1},
                                           OffsetCase{bargraph, 0.5f, 29},
                                           OffsetCase{bargraph, 1.0f, 59},
                                           OffsetCase{"type bargraph\nsegment 3 4", 0.5f, 14}));

TEST_F(ImageBaseTest, RepaintsOnlyWhenTheOffsetChanges) {
    offerPicture("knob.png", solidBmp(20, 352, 0xFF808080), eleven);
    show(u"knob.png");
    host.graphics.repaints.clear();
    set(PositionPin, 0.04f); // still frame 0
    EXPECT_TRUE(host.graphics.repaints.empty());
    set(PositionPin, 0.06f);
    EXPECT_EQ(host.graphics.repaints.size(), 1u);
    EXPECT_FALSE(host.graphics.repaints[0].has_value());
    set(PositionPin, 0.07f);
    EXPECT_EQ(host.graphics.repaints.size(), 1u);
}

TEST_F(ImageBaseTest, AnEmptyNameDropsThePictureWithoutARepaint) {
    offerPicture("knob.png", solidBmp(20, 352, 0xFF808080), eleven);
    set(PositionPin, 1.0f);
    show(u"knob.png");
    host.graphics.repaints.clear();
    show(u"");
    EXPECT_EQ(widget->currentBitmap(), nullptr);
    EXPECT_EQ(widget->metadata, nullptr);
    EXPECT_EQ(widget->maxFrame, 0);
    EXPECT_TRUE(host.graphics.repaints.empty());
    EXPECT_EQ(host.graphics.remeasures, 1);
    // Positions do nothing without a picture; the offset stays as it was.
    set(PositionPin, 0.0f);
    EXPECT_TRUE(host.graphics.repaints.empty());
    EXPECT_EQ(widget->sourceOffset, 320);
    // The cache still holds the picture for the widget, which is still a client.
    EXPECT_EQ(factory.ledger()->live("bitmap"), 1);
}

TEST_F(ImageBaseTest, ANameThatDoesNotLoadLeavesNoPicture) {
    offerPicture("knob.png", solidBmp(20, 352, 0xFF808080), eleven);
    show(u"knob.png");
    host.graphics.repaints.clear();
    show(u"missing.png");
    EXPECT_EQ(widget->currentBitmap(), nullptr);
    EXPECT_EQ(widget->imagesLoaded, 1);
    EXPECT_TRUE(host.graphics.repaints.empty());
    EXPECT_EQ(host.graphics.remeasures, 1);
}

TEST_F(ImageBaseTest, APictureWithFramesOfNoHeightIsNotShown) {
    offerPicture("flat.png", solidBmp(20, 40, 0xFF808080), "frame_size 20 0");
    show(u"flat.png");
    EXPECT_EQ(widget->currentBitmap(), nullptr);
    EXPECT_EQ(widget->metadata, nullptr);
    EXPECT_EQ(widget->imagesLoaded, 0);
    EXPECT_EQ(host.graphics.remeasures, 0);
    EXPECT_EQ(paint()->of(DrawOp::BlitBitmap).size(), 0u);
}

TEST_F(ImageBaseTest, APictureCachedWithoutARecordIsNotShown) {
    ComPtr<testhost::Bitmap> made(new testhost::Bitmap(factory.ledger(), 4, 4));
    ImageCache::instance().addBitmap(*widget, &factory, "skin/made.png", made.get());
    host.addResource("made.png", "Image", "skin/made.png");
    show(u"made.png");
    EXPECT_EQ(widget->currentBitmap(), nullptr);
    EXPECT_EQ(widget->imagesLoaded, 0);
    EXPECT_EQ(made->references(), 2);
}

TEST_F(ImageBaseTest, ConvertsThePictureNameUpToItsFirstNul) {
    offerPicture("h\xC3\xA9.png", solidBmp(4, 4, 0xFF808080));
    show(std::u16string(u"h\u00e9.png\0junk", 11));
    EXPECT_NE(widget->currentBitmap(), nullptr);
}

TEST_F(ImageBaseTest, DrawsThePlaceholderWithoutAPicture) {
    const auto recording = paint();
    const SrgbTables& t = srgbTables();
    ASSERT_EQ(recording->of(DrawOp::MakeSolidBrush).size(), 1u);
    const auto fills = recording->of(DrawOp::PaintRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_TRUE(sameRect(fills[0]->rect, GuiRect{0, 0, 8, 10})) << "box";
    EXPECT_EQ(floatBits(fills[0]->brush->colour.r), floatBits(t.srgbToLinear()[255]));
    EXPECT_EQ(floatBits(fills[0]->brush->colour.a), floatBits(1.0f));
    const auto texts = recording->of(DrawOp::DrawText);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text, "X");
    EXPECT_TRUE(sameRect(texts[0]->rect, GuiRect{0, 0, 8, 10})) << "layout";
    EXPECT_EQ(floatBits(texts[0]->brush->colour.g), floatBits(t.srgbToLinear()[0]));
    EXPECT_EQ(texts[0]->options, 0);
    ASSERT_TRUE(texts[0]->format.has_value());
    const testhost::TextFormatRequest& request = texts[0]->format->request;
    EXPECT_EQ(request.family, "Arial");
    EXPECT_EQ(request.weight, 400);
    EXPECT_EQ(request.style, 0);
    EXPECT_EQ(request.stretch, 5);
    EXPECT_EQ(floatBits(request.size), floatBits(6.0f));
    EXPECT_FALSE(request.collectionGiven || request.localeGiven);
}

TEST_F(ImageBaseTest, DrawsThePlaceholderBoxWithoutAFactory) {
    testhost::DrawingContext context(nullptr);
    EXPECT_EQ(widget->onRepaint(&context), ResultSuccess);
    EXPECT_EQ(context.recorded().of(DrawOp::PaintRect).size(), 1u);
    EXPECT_EQ(context.recorded().of(DrawOp::DrawText).size(), 0u);
    EXPECT_EQ(context.ledger()->live(), 0);
}

TEST_F(ImageBaseTest, DrawsNothingWithoutADrawingContext) {
    testhost::DrawingContext context(&factory);
    context.offerContext = false;
    EXPECT_EQ(widget->onRepaint(&context), ResultSuccess);
    EXPECT_TRUE(context.recorded().calls.empty());
    EXPECT_EQ(context.references(), 0);
    EXPECT_EQ(widget->onRepaint(nullptr), ResultSuccess);
}

TEST_F(ImageBaseTest, DrawsTheCurrentFrameInsideThePadding) {
    offerPicture("knob.png", solidBmp(20, 352, 0xFF808080), "frame_size 20 32\npadding 3 4 5 6");
    set(PositionPin, 0.3f);
    show(u"knob.png");
    const auto recording = paint();
    const auto blits = recording->of(DrawOp::BlitBitmap);
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_TRUE(sameRect(*blits[0]->source, GuiRect{0, 96, 20, 128})) << "source";
    EXPECT_TRUE(sameRect(blits[0]->rect, GuiRect{5, 3, 25, 35})) << "destination";
    EXPECT_EQ(floatBits(blits[0]->opacity), floatBits(1.0f));
    EXPECT_EQ(blits[0]->interpolation, 1);
    EXPECT_EQ(blits[0]->bitmap->uri, "skin/knob.png");
}

TEST_F(ImageBaseTest, DrawsABargraphLitFromFrameZeroAndUnlitFromFrameOne) {
    offerPicture("bar.png", solidBmp(8, 60, 0xFF808080),
                 "type bargraph\nframe_size 8 30\nsegment_count 5\nsegment 0 10\npadding 2 2 2 2");
    set(PositionPin, 0.5f); // lit height 29
    show(u"bar.png");
    const auto recording = paint();
    const auto rects = sources(*recording);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_TRUE(sameRect(rects[0], GuiRect{0, 1, 8, 30})) << "lit source";
    EXPECT_TRUE(sameRect(rects[1], GuiRect{0, 30, 8, 31})) << "unlit source";
    const auto blits = recording->of(DrawOp::BlitBitmap);
    EXPECT_TRUE(sameRect(blits[0]->rect, GuiRect{0, 1, 8, 30})) << "lit destination";
    EXPECT_TRUE(sameRect(blits[1]->rect, GuiRect{0, 0, 8, 1})) << "unlit destination";
}

struct SliderDrawCase {
    const char* metadata;
    float position;
    GuiRect handleSource;
    GuiRect handleDestination;
};

class ImageBaseSliderDrawing : public ImageBaseTest,
                               public ::testing::WithParamInterface<SliderDrawCase> {};

TEST_P(ImageBaseSliderDrawing, DrawsTheBackgroundThenTheHandleAtItsOffset) {
    const SliderDrawCase& c = GetParam();
    offerPicture("s.png", solidBmp(40, 40, 0xFF808080), c.metadata);
    set(PositionPin, c.position);
    show(u"s.png");
    const auto recording = paint();
    const auto blits = recording->of(DrawOp::BlitBitmap);
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_TRUE(sameRect(*blits[0]->source, GuiRect{0, 0, 30, 20})) << "background source";
    EXPECT_TRUE(sameRect(blits[0]->rect, GuiRect{2, 1, 32, 21})) << "background destination";
    EXPECT_TRUE(sameRect(*blits[1]->source, c.handleSource)) << "handle source";
    EXPECT_TRUE(sameRect(blits[1]->rect, c.handleDestination)) << "handle destination";
}

// Frame 30 x 20 at padding left 2, top 1; handle (1, 22)-(9, 30) of the picture.
constexpr const char* horizontal =
    "type slider\nframe_size 30 20\npadding 1 0 2 0\nhandle_rect 1 22 9 30\nhandle_range 4 20";
constexpr const char* vertical = "type slider\nframe_size 30 20\npadding 1 0 2 0\n"
                                 "handle_rect 1 22 9 30\nhandle_range 4 20\norientation v";
constexpr const char* cutHorizontal =
    "type slider\nframe_size 30 20\npadding 1 0 2 0\nhandle_rect 1 22 9 30\nhandle_range -3 20";
constexpr const char* cutVertical = "type slider\nframe_size 30 20\npadding 1 0 2 0\n"
                                    "handle_rect 1 22 9 30\nhandle_range -3 20\norientation re";

INSTANTIATE_TEST_SUITE_P(
    Handles, ImageBaseSliderDrawing,
    ::testing::Values(
        // Offset 4 + trunc(0.5 x 16) = 12 along x.
        SliderDrawCase{horizontal, 0.5f, GuiRect{1, 22, 9, 30}, GuiRect{14, 23, 22, 31}},
        // Offset 20 - 8 = 12 along y.
        SliderDrawCase{vertical, 0.5f, GuiRect{1, 22, 9, 30}, GuiRect{3, 13, 11, 21}},
        // Offset -3: the handle's first 3 columns, or rows, are cut.
        SliderDrawCase{cutHorizontal, 0.0f, GuiRect{4, 22, 9, 30}, GuiRect{2, 23, 7, 31}},
        SliderDrawCase{cutVertical, 1.0f, GuiRect{1, 25, 9, 30}, GuiRect{3, 1, 11, 6}}));

TEST_F(ImageBaseTest, ReplacesThePictureOnEachLoad) {
    offerPicture("a.png", solidBmp(10, 10, 0xFF808080));
    offerPicture("b.png", solidBmp(12, 24, 0xFF808080), "frame_size 12 12");
    show(u"a.png");
    IBitmap* first = widget->currentBitmap();
    EXPECT_EQ(widget->maxFrame, 0);
    show(u"b.png");
    EXPECT_NE(widget->currentBitmap(), first);
    EXPECT_EQ(widget->maxFrame, 1);
    EXPECT_EQ(widget->metadata->frameHeight, 12);
    EXPECT_EQ(widget->imagesLoaded, 2);
    // The first picture is held by the cache alone.
    EXPECT_EQ(static_cast<testhost::Bitmap*>(first)->references(), 1);
}

TEST_F(ImageBaseTest, ReportsThePicturesResponseMode) {
    EXPECT_EQ(widget->getResponseMode(), ResponseUnset);
    offerPicture("s.png", solidBmp(10, 10, 0xFF808080), "orientation s");
    show(u"s.png");
    EXPECT_EQ(widget->getResponseMode(), ResponseS);
}

TEST_F(ImageBaseTest, OffersTheMenuItemsOfItsPin) {
    set(MenuItemsPin, std::u16string(u"Open=4,----,Save,Caf\u00e9,\U0001F600,\xD800x"));
    testhost::MenuItemSink sink;
    EXPECT_EQ(widget->fillContextMenu(3, 4, &sink), ResultSuccess);
    EXPECT_EQ(sink.references(), 0);
    const std::vector<testhost::MenuItem> expected = {{"Open", 4, 0},
                                                      {"----", 5, 0},
                                                      {"Save", 6, 0},
                                                      {"Caf\xC3\xA9", 7, 0},
                                                      {"\xF0\x9F\x98\x80", 8, 0},
                                                      {"\xEF\xBF\xBDx", 9, 0}};
    EXPECT_EQ(sink.items, expected);
}

TEST_F(ImageBaseTest, OffersNoItemsToASinkThatIsNoneOrForAMalformedList) {
    set(MenuItemsPin, std::u16string(u"a,b"));
    testhost::MenuItemSink refusing;
    refusing.offerSink = false;
    EXPECT_EQ(widget->fillContextMenu(0, 0, &refusing), ResultSuccess);
    EXPECT_TRUE(refusing.items.empty());
    EXPECT_EQ(widget->fillContextMenu(0, 0, nullptr), ResultSuccess);

    set(MenuItemsPin, std::u16string(u"range"));
    testhost::MenuItemSink sink;
    EXPECT_EQ(widget->fillContextMenu(0, 0, &sink), ResultFailure);
    EXPECT_TRUE(sink.items.empty());
    EXPECT_EQ(sink.references(), 0);

    set(MenuItemsPin, std::u16string(u"range 2,4"));
    EXPECT_EQ(widget->fillContextMenu(0, 0, &sink), ResultSuccess);
    EXPECT_EQ(sink.items, (std::vector<testhost::MenuItem>{{"2", 2, 0}, {"3", 3, 0}, {"4", 4, 0}}));
}

TEST_F(ImageBaseTest, SendsAPickAsAPulseOfItsId) {
    EXPECT_EQ(widget->onContextMenuPick(7), ResultSuccess);
    ASSERT_EQ(host.sent.size(), 2u);
    EXPECT_EQ(host.sent[0].pinId, MenuSelectionPin);
    EXPECT_EQ(host.sent[0].asInt(), 7);
    EXPECT_EQ(host.sent[1].asInt(), -1);
    host.sent.clear();
    // Picking -1 sends nothing; every other id arrives, 0 from a fresh pin included.
    widget->onContextMenuPick(-1);
    EXPECT_TRUE(host.sent.empty());
    auto* fresh = new PictureWidget;
    fresh->attachHost(host.object());
    fresh->onContextMenuPick(0);
    ASSERT_EQ(host.sent.size(), 2u);
    EXPECT_EQ(host.sent[0].pinId, MenuSelectionPin);
    EXPECT_EQ(host.sent[0].asInt(), 0);
    EXPECT_EQ(host.sent[0].bytes.size(), 4u);
    EXPECT_EQ(host.sent[1].asInt(), -1);
    fresh->release();
}

TEST_F(ImageBaseTest, GivesTheWidgetsHintTextOnlyWhenThereIsSome) {
    testhost::HostString text;
    text.text = "old";
    EXPECT_EQ(widget->hintTextAt(1, 2, &text), ResultUnsupported);
    EXPECT_EQ(text.text, "old");
    widget->hintText = std::u16string(u"Gain \u00b1\0rest", 11);
    EXPECT_EQ(widget->hintTextAt(1, 2, &text), ResultSuccess);
    EXPECT_EQ(text.text, "Gain \xC2\xB1");
    EXPECT_EQ(widget->hintTextAt(1, 2, nullptr), ResultUnsupported);
    testhost::TestHost notAString; // answers no IString
    EXPECT_EQ(widget->hintTextAt(1, 2, notAString.object()), ResultUnsupported);
}

TEST_F(ImageBaseTest, GivesTheHintPinsTextToTheGraphicsHost) {
    testhost::HostString text;
    text.text = "old";
    EXPECT_EQ(widget->graphicsHintTextAt(GuiPoint{1, 2}, &text), ResultSuccess);
    EXPECT_EQ(text.text, "");
    set(HintPin, std::u16string(u"Pan \u2190"));
    EXPECT_EQ(widget->graphicsHintTextAt(GuiPoint{1, 2}, &text), ResultSuccess);
    EXPECT_EQ(text.text, "Pan \xE2\x86\x90");
    // A surrogate unit does not convert: no hint, nothing thrown to the host.
    set(HintPin, std::u16string(u"\U0001F600"));
    text.text = "kept";
    EXPECT_EQ(widget->graphicsHintTextAt(GuiPoint{1, 2}, &text), ResultFailure);
    EXPECT_EQ(text.text, "kept");
    EXPECT_EQ(widget->graphicsHintTextAt(GuiPoint{1, 2}, nullptr), ResultFailure);
}

TEST_F(ImageBaseTest, ReleasesThePointerAndClearsTheMouseDownPins) {
    EXPECT_EQ(widget->onRelease(0, GuiPoint{0, 0}), ResultFailure);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(host.graphics.captureDrops, 0);

    host.graphics.captured = true;
    EXPECT_EQ(widget->onRelease(0, GuiPoint{0, 0}), ResultSuccess);
    EXPECT_EQ(host.graphics.captureDrops, 1);
    EXPECT_TRUE(host.sent.empty()); // both pins were false

    widget->press();
    host.sent.clear();
    host.graphics.captured = true;
    EXPECT_EQ(widget->onRelease(0, GuiPoint{0, 0}), ResultSuccess);
    ASSERT_EQ(host.sent.size(), 2u);
    EXPECT_EQ(host.sent[0].pinId, DownPinA);
    EXPECT_FALSE(host.sent[0].asBool());
    EXPECT_EQ(host.sent[1].pinId, DownPinB);
    EXPECT_FALSE(host.sent[1].asBool());
}

TEST_F(ImageBaseTest, FindsItsHostsAsACacheClient) {
    offerPicture("knob.png", solidBmp(4, 4, 0xFF808080));
    ComPtr<IBitmap> bitmap;
    ImageMetadata* metadata = nullptr;
    static_cast<ImageCacheClient*>(widget)->imageFor(bitmap.put(), "knob.png", &metadata);
    EXPECT_TRUE(bitmap);
    EXPECT_NE(metadata, nullptr);
}

TEST_F(ImageBaseTest, IsOneCacheClientUntilDestroyed) {
    offerPicture("knob.png", solidBmp(4, 4, 0xFF808080));
    show(u"knob.png");
    EXPECT_EQ(ImageCache::instance().clientCount(), 1);
    bool destroyed = false;
    auto* second = new PictureWidget(&destroyed);
    EXPECT_EQ(ImageCache::instance().clientCount(), 2);
    second->release();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(ImageCache::instance().cached().size(), 1u);
    widget->release();
    widget = nullptr;
    EXPECT_EQ(ImageCache::instance().clientCount(), 0);
    EXPECT_TRUE(ImageCache::instance().cached().empty());
}

TEST(ImageBaseLayout, AddsItsOperationsAfterTheDrawingBase) {
    using slots::slotOf;
    const int first = slotOf(&gmpi_gui::MpGuiGfxBase::graphicsHintTextAt) + 1;
    slots::expectSlotsInOrder("ImageBase",
                              {slotOf(&ImageBase::getAnimationPosition),
                               slotOf(&ImageBase::setAnimationPosition),
                               slotOf(&ImageBase::onImageLoaded), slotOf(&ImageBase::getHintText),
                               slotOf(&ImageBase::getResponseMode)},
                              first);
    EXPECT_EQ(slotOf(&ImageBase::fillContextMenu), slotOf(&MpGuiBase2::fillContextMenu));
    EXPECT_EQ(slotOf(&ImageBase::onRepaint), slotOf(&gmpi_gui::MpGuiGfxBase::onRepaint));
    // skinBitmap: the destructor's two slots, then currentBitmap.
    EXPECT_EQ(slotOf(&skinBitmap::currentBitmap), 2);
}

} // namespace
