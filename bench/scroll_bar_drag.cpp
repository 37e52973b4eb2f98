// One step of a drag of a ScrollBar, loaded through MP_GetFactory: the
// pointer's motion (the position moved, a repaint asked for, the new integer
// position sent) and the repaint that it causes, timed together. Next to it,
// the host calls that such a step amounts to, made straight on the same host
// and drawing context with the same arithmetic (target: under 3x): the
// capture asked about, the repaint asked for, the position sent, the drawing
// context asked for and released, and the two blitBitmap calls of the track
// and the thumb pictures. And next to a page
// report, which drops the thumb picture, with the repaint that has to redraw
// it shape by shape (target: under 0.5x). The host and the drawing context
// only count their calls, so that the widget's own work is what is timed.
#include "support/CountingContext.h"
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

#include "framework/ComPtr.h"
#include "framework/DrawingApi.h"
#include "framework/HostApi.h"
#include "framework/ModuleApi.h"

#include <algorithm>
#include <cstdint>

namespace {

using gmpi_sdk::ComPtr;

// The held bar's measures: range 1000, page 50, a track of 400 with a thumb
// of 28 (400 x 50 / 1000, at least its minimum), pressed at 165.
constexpr float barRange = 1000.0f, barPage = 50.0f, barLength = 400.0f, thumbLength = 28.0f;
constexpr float pressedAt = 165.0f;
// The pointer moves one pixel back and forth, so that every step moves the
// integer position and sends it.
constexpr float dragCoords[2] = {170.0f, 171.0f};

// A vertical bar of 20 x 400, range 1000, page 50, position 400, painted once,
// with its thumb held.
struct HeldBar {
    HeldBar() {
        const auto unknown =
            bench::makeModule(bench::library().factory(), u"ScrollBar", Gui2Part, host.object());
        module = gmpi_sdk::queryInterfaceOf<gmpi::IMpUserInterface2>(unknown.get());
        graphics = gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(unknown.get());
        if (!module || !graphics)
            return;
        module->attachHost(host.object());
        setInt(2, 1000);
        setInt(1, 50);
        setInt(0, 400);
        const GuiRect bounds{0, 0, 20, 400};
        graphics->acceptBounds(&bounds);
        graphics->onRepaint(&context);
        graphics->onPress(gmpi_gui_api::PointerButtonDown,
                          GuiPoint{10, pressedAt}); // the thumb spans 156.2 to 184.2
        graphics->onRepaint(&context);
    }
    void setInt(int32_t pin, int32_t value) {
        module->receivePinValue(pin, 0, 4, &value);
        module->onPinChanged(pin, 0);
    }
    bool ready() const { return graphics && host.captured; }

    bench::CountingHost host;
    bench::CountingDrawingContext context;
    ComPtr<gmpi::IMpUserInterface2> module;
    ComPtr<gmpi_gui_api::IMpGraphics2> graphics;
};

void dragStepBaseline(benchmark::State& state) {
    bench::CountingHost counting;
    bench::CountingDrawingContext context;
    const ComPtr<IBitmap> track(new bench::Bitmap), thumb(new bench::Bitmap);
    const GuiRect whole{0, 0, 20, barLength}, thumbSource{0, 0, 19, thumbLength};
    // Called through the interfaces, as the widget calls them; the repaint
    // receives the context as an IMpUnknown, as the widget does.
    IGraphicsHost* const graphicsHost = bench::opaque<IGraphicsHost>(&counting);
    IGuiHost* const guiHost = bench::opaque<IGuiHost>(&counting);
    gmpi::IMpUnknown* const drawingHost = bench::opaque<gmpi::IMpUnknown>(&context);
    counting.captured = true;
    float position = 400.0f, lastCoord = pressedAt;
    int32_t sent = 400;
    size_t step = 0;
    for (auto _ : state) {
        const float c = dragCoords[++step & 1];
        int32_t held = 0;
        graphicsHost->queryPointerCapture(&held);
        if (!held)
            continue;
        position += (c - lastCoord) * (barRange - barPage) / (barLength - thumbLength);
        lastCoord = c;
        position = std::clamp(position, 0.0f, barRange - barPage);
        graphicsHost->requestRepaint(nullptr);
        const int32_t n = int32_t(position);
        if (n != sent) {
            sent = n;
            guiHost->acceptPinValue(0, 4, &sent, 0);
        }
        void* found = nullptr;
        drawingHost->queryInterface(iidOf<IDrawingContext>(), &found);
        auto* const dc = static_cast<IDrawingContext*>(found);
        const float start = position * barLength / barRange;
        const GuiRect thumbAt{0, start, 19, start + thumbLength};
        dc->blitBitmap(track.get(), &whole, 1.0f, 1, &whole);
        dc->blitBitmap(thumb.get(), &thumbAt, 1.0f, 1, &thumbSource);
        dc->release();
    }
    if (counting.values != size_t(state.iterations()))
        state.SkipWithError("not every step sent the position");
}
BENCHMARK(dragStepBaseline);

// Drag steps of a bar whose thumb is held: each a motion and the repaint that follows it.
void dragStep(benchmark::State& state) {
    HeldBar bar;
    if (!bar.ready()) {
        state.SkipWithError("no held scroll bar");
        return;
    }
    const uint64_t callsBefore = bar.context.calls;
    const size_t sentBefore = bar.host.values, repaintsBefore = bar.host.repaints;
    uint64_t steps = 0;
    for (auto _ : state) {
        bar.graphics->onMotion(gmpi_gui_api::PointerButtonDown,
                               GuiPoint{10, dragCoords[++steps & 1]});
        bar.graphics->onRepaint(&bar.context);
    }
    if (bar.context.calls - callsBefore != 2 * steps)
        state.SkipWithError("a drag repaint did more than blit the two pictures");
    if (bar.host.values - sentBefore != steps || bar.host.repaints - repaintsBefore != steps)
        state.SkipWithError("not every step asked for a repaint and sent the position");
}
BENCHMARK(dragStep);

// A page report, which drops the thumb picture, and the repaint that draws it again.
void rebuildRepaint(benchmark::State& state) {
    HeldBar bar;
    if (!bar.ready()) {
        state.SkipWithError("no held scroll bar");
        return;
    }
    for (auto _ : state) {
        bar.setInt(1, 50);
        bar.graphics->onRepaint(&bar.context);
    }
}
BENCHMARK(rebuildRepaint);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(
        argc, argv, {{"dragStep", "dragStepBaseline", 3.0}, {"dragStep", "rebuildRepaint", 0.5}});
}
