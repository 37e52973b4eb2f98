// The drawing context of the benchmarks that repaint: it counts the calls it
// receives, and makes brushes, gradient stops, pictures and offscreen targets
// that do nothing, so that only the widget's own work is timed.
#pragma once

#include "framework/DrawingApi.h"
#include "framework/ModuleApi.h"
#include "host/SelfDeleting.h"

#include <cstdint>

namespace bench {

class Brush final : public testhost::SelfDeleting<IBrush> {
public:
    int32_t setBrushColour(const GuiColour*) override { return ResultSuccess; }
};

class Stops final : public testhost::SelfDeleting<IGradientStops> {};

class Bitmap final : public testhost::SelfDeleting<IBitmap> {
public:
    int32_t pixelSize(int32_t* width, int32_t* height) override {
        *width = *height = 0;
        return ResultSuccess;
    }
    int32_t lockPixels(IBitmapPixels** out, int32_t) override {
        *out = nullptr;
        return ResultFailure;
    }
};

// Counts every call, and the pictures and texts drawn apart; the objects it
// makes do nothing.
template <class Interface> class CountingContext : public Interface {
public:
    int32_t fetchFactory(IDrawingFactory** out) override {
        *out = nullptr;
        return ResultFailure;
    }
    int32_t makeSolidBrush(const GuiColour*, IBrush** out) override {
        ++calls;
        *out = new Brush;
        return ResultSuccess;
    }
    int32_t makeGradientStops(const GradientStop*, uint32_t, IGradientStops** out) override {
        ++calls;
        *out = new Stops;
        return ResultSuccess;
    }
    int32_t makeLinearGradientBrush(const LinearGradientSpec*, const BrushSpec*, IGradientStops*,
                                    IBrush** out) override {
        ++calls;
        *out = new Brush;
        return ResultSuccess;
    }
    int32_t makeRadialGradientBrush(const RadialGradientSpec*, const BrushSpec*, IGradientStops*,
                                    IBrush** out) override {
        ++calls;
        *out = new Brush;
        return ResultSuccess;
    }
    int32_t strokeLine(GuiPoint, GuiPoint, IBrush*, float, gmpi::IMpUnknown*) override {
        return count();
    }
    int32_t paintRect(const GuiRect*, IBrush*) override { return count(); }
    int32_t paintRoundedRect(const GuiRoundedRect*, IBrush*) override { return count(); }
    int32_t paintEllipse(const GuiEllipse*, IBrush*) override { return count(); }
    // Never inlined into the baseline's loop, as the widget cannot inline it.
    [[gnu::noinline]] int32_t blitBitmap(IBitmap*, const GuiRect*, float, int32_t,
                                         const GuiRect*) override {
        ++blits;
        return count();
    }
    int32_t drawUtf8Text(const char*, uint32_t, ITextFormat*, const GuiRect*, IBrush*,
                         int32_t) override {
        ++texts;
        return count();
    }
    int32_t pushClipRect(const GuiRect*) override { return count(); }
    int32_t popClipRect() override { return count(); }
    int32_t clearTo(const GuiColour*) override { return count(); }
    int32_t beginFrame() override { return count(); }
    int32_t endFrame() override { return count(); }
    int32_t makeOffscreenTarget(const GuiSize*, IOffscreenTarget** out) override;

    uint64_t calls = 0;
    uint64_t blits = 0;
    uint64_t texts = 0;

private:
    int32_t count() {
        ++calls;
        return ResultSuccess;
    }
};

class Target final : public CountingContext<testhost::SelfDeleting<IOffscreenTarget>> {
public:
    int32_t takeBitmap(IBitmap** out) override {
        *out = new Bitmap;
        return ResultSuccess;
    }
};

template <class Interface>
int32_t CountingContext<Interface>::makeOffscreenTarget(const GuiSize*, IOffscreenTarget** out) {
    ++calls;
    *out = new Target;
    return ResultSuccess;
}

// The context a repaint receives; it belongs to the benchmark.
class CountingDrawingContext final : public CountingContext<IDrawingContext> {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override {
        *out = nullptr;
        if (!(iid == iidOf<gmpi::IMpUnknown>()) && !(iid == iidOf<IDrawingContext>()))
            return ResultUnsupported;
        *out = static_cast<IDrawingContext*>(this);
        return ResultSuccess;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
};

} // namespace bench
