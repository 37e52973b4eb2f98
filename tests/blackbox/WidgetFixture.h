// A widget of the library on a test host with a drawing side: placed, painted
// into recording contexts, and fed pointer events. After each test the widget
// is released and every drawing object it was given must be gone.
#pragma once

#include "LibraryFixture.h"
#include "SentLog.h"
#include "host/DrawingContext.h"
#include "host/DrawingFactory.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace blackbox {

using Sends = std::vector<Send>;

template <class T> Send sent(int32_t pin, const T& value) {
    return {pin, testhost::bytesOf(value)};
}

// The sRGB decoding of a colour byte as the library's tables hold it.
inline float srgbByte(int i) {
    const double x = i * double(0.003921568859368563f);
    return float(x <= 0.0404482362771082 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4));
}

inline bool sameBits(float a, float b) {
    return testhost::floatBits(a) == testhost::floatBits(b);
}

inline ::testing::AssertionResult sameColour(const GuiColour& got, const GuiColour& wanted) {
    if (sameBits(got.r, wanted.r) && sameBits(got.g, wanted.g) && sameBits(got.b, wanted.b) &&
        sameBits(got.a, wanted.a))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "colour (" << got.r << ", " << got.g << ", " << got.b
                                         << ", " << got.a << "), wanted (" << wanted.r << ", "
                                         << wanted.g << ", " << wanted.b << ", " << wanted.a << ")";
}

inline ::testing::AssertionResult sameRect(const GuiRect& got, const GuiRect& wanted) {
    if (sameBits(got.left, wanted.left) && sameBits(got.top, wanted.top) &&
        sameBits(got.right, wanted.right) && sameBits(got.bottom, wanted.bottom))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "rect (" << got.left << ", " << got.top << ", " << got.right << ", " << got.bottom
           << "), wanted (" << wanted.left << ", " << wanted.top << ", " << wanted.right << ", "
           << wanted.bottom << ")";
}

inline ::testing::AssertionResult samePoint(const GuiPoint& got, const GuiPoint& wanted) {
    if (sameBits(got.x, wanted.x) && sameBits(got.y, wanted.y))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "point (" << got.x << ", " << got.y << "), wanted ("
                                         << wanted.x << ", " << wanted.y << ")";
}

// The operations of a recording, in order.
inline std::vector<testhost::DrawOp> opsOf(const testhost::Recording& recording) {
    std::vector<testhost::DrawOp> ops;
    for (const testhost::DrawCall& call : recording.calls)
        ops.push_back(call.op);
    return ops;
}

class WidgetTest : public LibraryTest {
protected:
    void SetUp() override { drawing.serve(host); }

    void TearDown() override {
        widget.reset();
        graphics.reset();
        // With the widget gone the image cache has let its pictures go too.
        EXPECT_EQ(drawing.ledger()->live(), 0) << drawing.ledger()->describe();
        EXPECT_EQ(host.openStreams(), 0);
        host.graphics.drawingFactory = nullptr;
        LibraryTest::TearDown();
    }

    // Makes and attaches the widget; nothing sent so far is kept.
    void makeWidget(const std::u16string& id) {
        widget = std::make_unique<testhost::GuiModule>(factory(), id, host);
        ASSERT_EQ(widget->makeResult, ResultSuccess);
        ASSERT_TRUE(*widget);
        ASSERT_EQ(widget->attachResult, ResultSuccess);
        graphics = gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(widget->unknown());
        ASSERT_TRUE(graphics);
    }

    // A skin picture as resource `name` (kind "Image"), with its metadata
    // text beside it when given.
    void offerPicture(const std::string& name, const testhost::Bytes& picture,
                      const std::string& metadata = "") {
        host.addResource(name, "Image", "skin/" + name);
        host.addUriData("skin/" + name, picture);
        if (metadata.empty())
            return;
        const std::string text = name.substr(0, name.rfind('.')) + ".txt";
        host.addResource(text, "ImageMeta", "skin/" + text);
        host.addUriData("skin/" + text, testhost::Bytes(metadata.begin(), metadata.end()));
    }

    template <class T> void set(int32_t pin, const T& value) {
        ASSERT_EQ(widget->set(pin, value), ResultSuccess);
    }

    void place(const GuiRect& rect) { ASSERT_EQ(graphics->acceptBounds(&rect), ResultSuccess); }

    // One repaint into a fresh recording context, which the widget must leave
    // without references.
    std::shared_ptr<const testhost::Recording> paint() {
        testhost::DrawingContext context(&drawing);
        EXPECT_EQ(graphics->onRepaint(&context), ResultSuccess);
        EXPECT_EQ(context.references(), 0);
        return context.recordingPointer();
    }

    int32_t press(float x, float y, int32_t flags = 0x10) {
        return graphics->onPress(flags, GuiPoint{x, y});
    }
    int32_t motion(float x, float y, int32_t flags = 0x10) {
        return graphics->onMotion(flags, GuiPoint{x, y});
    }
    int32_t releaseAt(float x, float y, int32_t flags = 0) {
        return graphics->onRelease(flags, GuiPoint{x, y});
    }

    // What the widget sent since the last call.
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

    testhost::DrawingFactory drawing;
    std::unique_ptr<testhost::GuiModule> widget;
    gmpi_sdk::ComPtr<gmpi_gui_api::IMpGraphics2> graphics;
};

} // namespace blackbox
