// Black-box tests of the skinned widgets: a test host whose drawing factory
// loads the skin pictures that a test offers as resources, the widget's
// drawing interface, and a check that every drawing object was let go.
#pragma once

#include "LibraryFixture.h"
#include "SentLog.h"
#include "host/DrawingContext.h"
#include "host/DrawingFactory.h"
#include "tests/SkinPictures.h"

#include <memory>
#include <string>

namespace blackbox {

class SkinWidgetTest : public LibraryTest {
protected:
    SkinWidgetTest() { factory.serve(host); }
    void TearDown() override {
        // The modules are gone: the image cache has let its pictures go too.
        EXPECT_EQ(factory.ledger()->live(), 0) << factory.ledger()->describe();
        EXPECT_EQ(host.openStreams(), 0);
        host.graphics.drawingFactory = nullptr;
        LibraryTest::TearDown();
    }

    // The picture as resource `name` (kind "Image"), and its metadata text
    // beside it when given.
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

    static gmpi_sdk::ComPtr<gmpi_gui_api::IMpGraphics2> graphicsOf(const testhost::GuiModule& m) {
        return gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(m.unknown());
    }
    static void place(const testhost::GuiModule& m, float width, float height) {
        const GuiRect bounds{0.0f, 0.0f, width, height};
        graphicsOf(m)->acceptBounds(&bounds);
    }
    std::shared_ptr<const testhost::Recording> paint(const testhost::GuiModule& m) {
        testhost::DrawingContext context(&factory);
        EXPECT_EQ(graphicsOf(m)->onRepaint(&context), ResultSuccess);
        EXPECT_EQ(context.references(), 0);
        return context.recordingPointer();
    }
    std::vector<Send> sent() const { return sendsOf(host); }

    testhost::DrawingFactory factory;
};

inline Send floatSend(int32_t pin, float value) {
    return Send{pin, testhost::bytesOf(value)};
}
inline Send intSend(int32_t pin, int32_t value) {
    return Send{pin, testhost::bytesOf(value)};
}
inline Send boolSend(int32_t pin, bool value) {
    return Send{pin, testhost::bytesOf(value)};
}

inline void expectRect(const GuiRect& actual, const GuiRect& expected, const char* what = "") {
    using testhost::floatBits;
    EXPECT_EQ(floatBits(actual.left), floatBits(expected.left)) << what << " left";
    EXPECT_EQ(floatBits(actual.top), floatBits(expected.top)) << what << " top";
    EXPECT_EQ(floatBits(actual.right), floatBits(expected.right)) << what << " right";
    EXPECT_EQ(floatBits(actual.bottom), floatBits(expected.bottom)) << what << " bottom";
}

} // namespace blackbox
