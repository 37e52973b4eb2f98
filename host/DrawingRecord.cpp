#include "DrawingRecord.h"

#include <algorithm>
#include <cstdio>

namespace testhost {

const char* opName(DrawOp op) {
    switch (op) {
    case DrawOp::FetchFactory:
        return "fetchFactory";
    case DrawOp::MakeSolidBrush:
        return "makeSolidBrush";
    case DrawOp::MakeGradientStops:
        return "makeGradientStops";
    case DrawOp::MakeLinearGradientBrush:
        return "makeLinearGradientBrush";
    case DrawOp::MakeRadialGradientBrush:
        return "makeRadialGradientBrush";
    case DrawOp::StrokeLine:
        return "strokeLine";
    case DrawOp::PaintRect:
        return "paintRect";
    case DrawOp::PaintRoundedRect:
        return "paintRoundedRect";
    case DrawOp::PaintEllipse:
        return "paintEllipse";
    case DrawOp::BlitBitmap:
        return "blitBitmap";
    case DrawOp::DrawText:
        return "drawUtf8Text";
    case DrawOp::PushClip:
        return "pushClipRect";
    case DrawOp::PopClip:
        return "popClipRect";
    case DrawOp::Clear:
        return "clearTo";
    case DrawOp::BeginFrame:
        return "beginFrame";
    case DrawOp::EndFrame:
        return "endFrame";
    case DrawOp::MakeOffscreenTarget:
        return "makeOffscreenTarget";
    }
    return "?";
}

std::vector<const DrawCall*> Recording::of(DrawOp op) const {
    std::vector<const DrawCall*> found;
    for (const DrawCall& call : calls)
        if (call.op == op)
            found.push_back(&call);
    return found;
}

std::vector<const DrawCall*> Recording::paints() const {
    std::vector<const DrawCall*> found;
    for (const DrawCall& call : calls) {
        switch (call.op) {
        case DrawOp::StrokeLine:
        case DrawOp::PaintRect:
        case DrawOp::PaintRoundedRect:
        case DrawOp::PaintEllipse:
        case DrawOp::BlitBitmap:
        case DrawOp::DrawText:
        case DrawOp::Clear:
            found.push_back(&call);
            break;
        default:
            break;
        }
    }
    return found;
}

namespace {

// Appends printf-style text (a helper that also keeps clear of GCC 12's
// false -Wrestrict reports on chains of string additions).
template <class... Args> void put(std::string& out, const char* format, Args... args) {
    char text[256];
    const int n = std::snprintf(text, sizeof text, format, args...);
    if (n > 0)
        out.append(text, std::min(size_t(n), sizeof text - 1));
}

void putRect(std::string& out, const GuiRect& r) {
    put(out, " (%g, %g, %g, %g)", double(r.left), double(r.top), double(r.right), double(r.bottom));
}

void putColour(std::string& out, const GuiColour& c) {
    put(out, " rgba(%g, %g, %g, %g)", double(c.r), double(c.g), double(c.b), double(c.a));
}

void putBrush(std::string& out, const std::optional<BrushState>& brush) {
    if (!brush) {
        out += " brush ?";
        return;
    }
    switch (brush->kind) {
    case BrushState::Kind::Solid:
        putColour(out, brush->colour);
        break;
    case BrushState::Kind::Linear:
        put(out, " linear gradient of %zu stops", brush->stops.size());
        break;
    case BrushState::Kind::Radial:
        put(out, " radial gradient of %zu stops", brush->stops.size());
        break;
    }
}

void describeInto(const Recording& recording, const std::string& indent, std::string& out) {
    for (const DrawCall& call : recording.calls) {
        out += indent;
        out += opName(call.op);
        switch (call.op) {
        case DrawOp::StrokeLine:
            put(out, " (%g, %g) to (%g, %g) width %g", double(call.from.x), double(call.from.y),
                double(call.to.x), double(call.to.y), double(call.width));
            putBrush(out, call.brush);
            break;
        case DrawOp::PaintRect:
        case DrawOp::PaintRoundedRect:
            putRect(out, call.rect);
            putBrush(out, call.brush);
            break;
        case DrawOp::PaintEllipse:
            put(out, " centre (%g, %g) radii %g, %g", double(call.ellipse.centre.x),
                double(call.ellipse.centre.y), double(call.ellipse.radiusX),
                double(call.ellipse.radiusY));
            putBrush(out, call.brush);
            break;
        case DrawOp::BlitBitmap:
            put(out, " bitmap %d to", call.bitmap ? int(call.bitmap->id) : 0);
            putRect(out, call.rect);
            put(out, " opacity %g", double(call.opacity));
            break;
        case DrawOp::DrawText:
            out += " \"";
            out += call.text;
            out += "\" in";
            putRect(out, call.rect);
            putBrush(out, call.brush);
            break;
        case DrawOp::PushClip:
            putRect(out, call.rect);
            break;
        case DrawOp::Clear:
        case DrawOp::MakeSolidBrush:
            putColour(out, call.colour);
            break;
        case DrawOp::MakeOffscreenTarget:
            put(out, " %g x %g", double(call.size.width), double(call.size.height));
            break;
        default:
            break;
        }
        if (call.missingArgument)
            out += " (missing argument)";
        out += "\n";
        if (call.target)
            describeInto(*call.target, indent + "  ", out);
    }
}

} // namespace

std::string Recording::describe() const {
    std::string out;
    describeInto(*this, "", out);
    return out;
}

} // namespace testhost
