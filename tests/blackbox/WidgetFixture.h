// The fixture of the drawn widgets: a widget of the library on a test host
// with a drawing side, placed, painted into recording contexts and fed pointer
// events; for the skinned widgets, the skin pictures a test offers as
// resources. After each test the widgets are released and every drawing
// object they were given must be gone.
//
// One way of asserting serves all widget tests:
// - what a widget sent is compared whole, in order:
//       EXPECT_EQ(sends(), (Sends{sent(pinX, 1.0f), sent(pinDown, true)}));
//   where a value is known only roughly, the test reads it out of the sends
//   (lastOn, floatOf) and gives its tolerance to EXPECT_NEAR;
// - what was drawn is compared by the exact bits of its floats, with
//   EXPECT_TRUE(sameBits / samePoint / sameSize / sameRect / sameColour(got,
//   wanted)), which shows both values when they differ.
#pragma once

#include "LibraryFixture.h"
#include "SentLog.h"
#include "host/DrawingContext.h"
#include "host/DrawingFactory.h"
#include "tests/ExactValues.h"
#include "tests/SkinPictures.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace blackbox {

using Sends = std::vector<Send>;

// One value as a widget sends it, through IGuiHost.
template <class T> Send sent(int32_t pin, const T& value) {
    return {pin, testhost::bytesOf(value)};
}

// The last value sent on a pin among these; none when there is none.
inline const Send* lastOn(const Sends& all, int32_t pin) {
    const Send* last = nullptr;
    for (const Send& s : all)
        if (s.pinId == pin)
            last = &s;
    return last;
}
inline float floatOf(const Send& send) {
    return testhost::valueOf<float>(send.bytes);
}
inline int32_t intOf(const Send& send) {
    return testhost::valueOf<int32_t>(send.bytes);
}

// The sRGB decoding of a colour byte as the library's tables hold it.
inline float srgbByte(int i) {
    const double x = i * double(0.003921568859368563f);
    return float(x <= 0.0404482362771082 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4));
}

// Drawn values compared by their bits.
using exactvalues::sameBits;
using exactvalues::sameColour;
using exactvalues::samePoint;
using exactvalues::sameRect;
using exactvalues::sameSize;

// The operations of a recording, in order.
inline std::vector<testhost::DrawOp> opsOf(const testhost::Recording& recording) {
    std::vector<testhost::DrawOp> ops;
    for (const testhost::DrawCall& call : recording.calls)
        ops.push_back(call.op);
    return ops;
}

class WidgetTest : public LibraryTest {
protected:
    WidgetTest() { drawing.serve(host); }

    void TearDown() override {
        dropWidget();
        // With the widgets gone the image cache has let its pictures go too.
        EXPECT_EQ(drawing.ledger()->live(), 0) << drawing.ledger()->describe();
        EXPECT_EQ(drawing.references(), 0);
        EXPECT_EQ(host.openStreams(), 0);
        host.graphics.drawingFactory = nullptr;
        LibraryTest::TearDown();
    }

    // The widget under test: made and attached, in place of any made before;
    // nothing sent so far is kept.
    void makeWidget(const std::u16string& id) {
        widget = std::make_unique<testhost::GuiModule>(factory(), id, host);
        ASSERT_EQ(widget->makeResult, ResultSuccess);
        ASSERT_TRUE(*widget);
        ASSERT_EQ(widget->attachResult, ResultSuccess);
        graphics = graphicsOf(*widget);
        ASSERT_TRUE(graphics);
    }
    void dropWidget() {
        graphics.reset();
        widget.reset();
    }

    // The host sets a pin: stores the value, then reports the change.
    template <class T> void set(int32_t pin, const T& value) {
        ASSERT_EQ(widget->set(pin, value), ResultSuccess);
    }

    void place(const GuiRect& rect) { ASSERT_EQ(graphics->acceptBounds(&rect), ResultSuccess); }

    // One repaint into a fresh recording context of that size, which the
    // widget must leave without references.
    std::shared_ptr<const testhost::Recording> paint(GuiSize size = {}) {
        testhost::DrawingContext context(&drawing, size);
        EXPECT_EQ(graphics->onRepaint(&context), ResultSuccess);
        EXPECT_EQ(context.references(), 0);
        return context.recordingPointer();
    }

    int32_t press(float x, float y, int32_t flags = gmpi_gui_api::PointerButtonDown) {
        return graphics->onPress(flags, GuiPoint{x, y});
    }
    int32_t motion(float x, float y, int32_t flags = gmpi_gui_api::PointerButtonDown) {
        return graphics->onMotion(flags, GuiPoint{x, y});
    }
    int32_t releaseAt(float x, float y, int32_t flags = 0) {
        return graphics->onRelease(flags, GuiPoint{x, y});
    }

    // What the widgets sent since the last call.
    Sends sends() {
        Sends all = sendsOf(host);
        host.sent.clear();
        return all;
    }
    // Repaint requests since the last call (all of the whole module).
    size_t repaintRequests() {
        const size_t count = host.graphics.repaints.size();
        for (const auto& area : host.graphics.repaints)
            EXPECT_FALSE(area.has_value());
        host.graphics.repaints.clear();
        return count;
    }

    // Another module beside the widget, for what widgets share.
    static gmpi_sdk::ComPtr<gmpi_gui_api::IMpGraphics2> graphicsOf(const testhost::GuiModule& m) {
        return gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(m.unknown());
    }
    std::shared_ptr<const testhost::Recording> paint(const testhost::GuiModule& m) {
        testhost::DrawingContext context(&drawing);
        EXPECT_EQ(graphicsOf(m)->onRepaint(&context), ResultSuccess);
        EXPECT_EQ(context.references(), 0);
        return context.recordingPointer();
    }

    // For the skinned widgets: a skin picture as resource `name` (kind
    // "Image"), with its metadata text beside it when given.
    void offerPicture(const std::string& name, const testhost::Bytes& picture,
                      const std::string& metadata = "") {
        skinpictures::offer(host, name, picture, metadata);
    }

    testhost::DrawingFactory drawing;
    std::unique_ptr<testhost::GuiModule> widget;
    gmpi_sdk::ComPtr<gmpi_gui_api::IMpGraphics2> graphics;
};

} // namespace blackbox
