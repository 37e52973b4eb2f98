// What a module drew: every call on a drawing context with its arguments, the
// brushes as they were at the moment of use, the clip stack of each call, and
// the recordings of the offscreen targets it made.
#pragma once

#include "DrawingObjects.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testhost {

enum class DrawOp {
    FetchFactory,
    MakeSolidBrush,
    MakeGradientStops,
    MakeLinearGradientBrush,
    MakeRadialGradientBrush,
    StrokeLine,
    PaintRect,
    PaintRoundedRect,
    PaintEllipse,
    BlitBitmap,
    DrawText,
    PushClip,
    PopClip,
    Clear,
    BeginFrame,
    EndFrame,
    MakeOffscreenTarget,
};

const char* opName(DrawOp op);

// A bitmap as a drawing call used it.
struct BitmapState {
    int32_t id = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::string uri;
    std::shared_ptr<const PixelStore> pixels;
    std::shared_ptr<const Recording> drawn; // an offscreen target's recording
};

struct DrawCall {
    DrawOp op = DrawOp::BeginFrame;
    std::vector<GuiRect> clips;   // the clip stack at the call, innermost last
    bool missingArgument = false; // a pointer the call needs was null

    GuiPoint from{}, to{}; // strokeLine
    float width = 0.0f;    // strokeLine
    // paintRect, pushClip, blitBitmap's destination, drawUtf8Text's layout
    GuiRect rect{};
    GuiRoundedRect rounded{};
    GuiEllipse ellipse{};
    GuiColour colour{}; // makeSolidBrush, clearTo
    std::optional<BrushState> brush;
    std::vector<GradientStop> stops; // makeGradientStops
    LinearGradientSpec linear{};     // makeLinearGradientBrush
    RadialGradientSpec radial{};     // makeRadialGradientBrush
    std::optional<BrushSpec> spec;   // the gradient brush makers
    std::optional<BitmapState> bitmap;
    std::optional<GuiRect> source; // blitBitmap; none: the whole bitmap
    float opacity = 1.0f;
    int32_t interpolation = 0;
    std::string text; // the bytes drawUtf8Text was given
    std::optional<TextFormatState> format;
    int32_t options = 0;
    GuiSize size{};                    // makeOffscreenTarget
    std::shared_ptr<Recording> target; // makeOffscreenTarget: what was drawn into it
};

struct Recording {
    GuiSize size{};
    std::vector<DrawCall> calls;
    std::vector<GuiRect> clipStack; // as it stands now
    int32_t unmatchedPops = 0;

    // The calls of one kind, in order.
    std::vector<const DrawCall*> of(DrawOp op) const;
    // The calls that put something on the surface: strokes, fills, blits, text, clears.
    std::vector<const DrawCall*> paints() const;
    // One line per call, for test messages and the reference host.
    std::string describe() const;
};

} // namespace testhost
