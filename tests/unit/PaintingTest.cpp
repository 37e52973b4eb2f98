// A widget painted the way the reference host paints one: placed, painted
// into a recording, and rasterised where the build can.
#include "host/Painting.h"
#include "framework/MpGuiGfxBase.h"
#include "host/Rasteriser.h"
#include "host/TestHost.h"

#include <gtest/gtest.h>

namespace {

using gmpi_sdk::ComPtr;

// Fills the top half of its area with opaque green.
class Swatch final : public gmpi_gui::MpGuiGfxBase {
public:
    int32_t onRepaint(gmpi::IMpUnknown* drawingHost) override {
        auto dc = gmpi_sdk::queryInterfaceOf<IDrawingContext>(drawingHost);
        if (!dc)
            return ResultFailure;
        const GuiColour green{0.0f, 1.0f, 0.0f, 1.0f};
        ComPtr<IBrush> brush;
        dc->makeSolidBrush(&green, brush.put());
        const GuiRect top{0.0f, 0.0f, bounds.right - bounds.left, (bounds.bottom - bounds.top) / 2};
        dc->paintRect(&top, brush.get());
        return ResultSuccess;
    }
};

class Invisible final : public SeGuiInvisibleBase {};

TEST(PaintModule, PlacesTheWidgetAndRecordsWhatItPaints) {
    testhost::TestHost host;
    testhost::DrawingFactory factory;
    factory.serve(host);
    auto* widget = new Swatch;
    widget->attachHost(host.object());

    const testhost::PaintResult result =
        testhost::paintModule(static_cast<gmpi::IMpUserInterface2B*>(widget), factory, 8.0f, 4.0f);
    ASSERT_TRUE(result.painted) << result.error;
    EXPECT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(result.answer, ResultSuccess);
    EXPECT_EQ(result.desired.width, 8.0f);
    EXPECT_EQ(widget->getBounds().right, 8.0f);
    const auto fills = result.recording->of(testhost::DrawOp::PaintRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0]->rect.bottom, 2.0f);

    if (testhost::canRasterise()) {
        const auto picture = testhost::rasterise(*result.recording, 8, 4);
        ASSERT_EQ(picture.size(), 8u * 4u * 4u);
        EXPECT_EQ(picture[1], 255); // top row: green
        EXPECT_EQ(picture[3], 255);
        EXPECT_EQ(picture[(3 * 8 + 7) * 4 + 3], 0); // bottom row: untouched
    }
    widget->release();
    EXPECT_EQ(factory.ledger()->live(), 0) << factory.ledger()->describe();
    host.graphics.drawingFactory = nullptr;
    EXPECT_TRUE(host.referencesBalanced());
}

TEST(PaintModule, InvisibleModulesAreNotPainted) {
    testhost::DrawingFactory factory;
    auto* module = new Invisible;
    const testhost::PaintResult result =
        testhost::paintModule(static_cast<gmpi::IMpUserInterface2B*>(module), factory, 8.0f, 4.0f);
    EXPECT_FALSE(result.painted);
    EXPECT_EQ(result.error, "not a drawing module");
    module->release();
}

} // namespace
