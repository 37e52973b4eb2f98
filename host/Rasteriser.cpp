#include "Rasteriser.h"

#ifdef TAVRI_HAVE_CAIRO
#include "../platform/Utf8.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>
#endif

namespace testhost {

#ifndef TAVRI_HAVE_CAIRO

bool canRasterise() {
    return false;
}

std::vector<uint8_t> rasterise(const Recording&, int32_t, int32_t) {
    return {};
}

bool rasteriseToPng(const Recording&, int32_t, int32_t, const std::string&, std::string* error) {
    if (error)
        *error = "this build has no rasteriser (cairo is used on Linux only)";
    return false;
}

#else

// Fontconfig keeps the fonts it has matched until the process ends; under the
// leak checker of sanitised builds those caches are no fault of a test.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace {

constexpr int maxNesting = 16;
constexpr int32_t maxExtent = 16384;

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct PatternDeleter {
    void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;
using Pattern = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

// Colours arrive in linear light; the picture is sRGB.
double toSrgb(float linear) {
    const double c = std::isnan(linear) ? 0.0 : std::clamp(double(linear), 0.0, 1.0);
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

double unit(float value) {
    return std::isnan(value) ? 0.0 : std::clamp(double(value), 0.0, 1.0);
}

bool finite(float v) {
    return std::isfinite(v);
}

void addStops(cairo_pattern_t* pattern, const std::vector<GradientStop>& stops, double opacity) {
    for (const GradientStop& s : stops)
        cairo_pattern_add_color_stop_rgba(pattern, unit(s.position), toSrgb(s.colour.r),
                                          toSrgb(s.colour.g), toSrgb(s.colour.b),
                                          unit(s.colour.a) * opacity);
}

// The brush's own transform (a 2 x 3 matrix applied to points as a row vector).
void applyBrushTransform(cairo_pattern_t* pattern, const BrushSpec& spec,
                         cairo_matrix_t toPattern) {
    const float* m = spec.transform;
    cairo_matrix_t brush;
    cairo_matrix_init(&brush, m[0], m[1], m[2], m[3], m[4], m[5]);
    if (cairo_matrix_invert(&brush) != CAIRO_STATUS_SUCCESS)
        return;
    cairo_matrix_t combined;
    cairo_matrix_multiply(&combined, &brush, &toPattern);
    cairo_pattern_set_matrix(pattern, &combined);
}

bool setSource(cairo_t* cr, const std::optional<BrushState>& brush) {
    if (!brush)
        return false;
    switch (brush->kind) {
    case BrushState::Kind::Solid:
        cairo_set_source_rgba(cr, toSrgb(brush->colour.r), toSrgb(brush->colour.g),
                              toSrgb(brush->colour.b), unit(brush->colour.a));
        return true;
    case BrushState::Kind::Linear: {
        const auto& g = brush->linear;
        Pattern pattern(cairo_pattern_create_linear(g.start.x, g.start.y, g.end.x, g.end.y));
        addStops(pattern.get(), brush->stops, unit(brush->spec.opacity));
        cairo_matrix_t identity;
        cairo_matrix_init_identity(&identity);
        applyBrushTransform(pattern.get(), brush->spec, identity);
        cairo_set_source(cr, pattern.get());
        return true;
    }
    case BrushState::Kind::Radial: {
        const auto& g = brush->radial;
        if (!(g.radiusX != 0.0f && g.radiusY != 0.0f && finite(g.radiusX) && finite(g.radiusY)))
            return false;
        // In a space where the ellipse is the unit circle about the centre.
        Pattern pattern(cairo_pattern_create_radial(
            g.originOffset.x / g.radiusX, g.originOffset.y / g.radiusY, 0.0, 0.0, 0.0, 1.0));
        addStops(pattern.get(), brush->stops, unit(brush->spec.opacity));
        cairo_matrix_t toUnit;
        cairo_matrix_init(&toUnit, 1.0 / g.radiusX, 0.0, 0.0, 1.0 / g.radiusY,
                          -g.centre.x / g.radiusX, -g.centre.y / g.radiusY);
        applyBrushTransform(pattern.get(), brush->spec, toUnit);
        cairo_set_source(cr, pattern.get());
        return true;
    }
    }
    return false;
}

void ellipticalArc(cairo_t* cr, double cx, double cy, double rx, double ry, double from,
                   double to) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0.0, 0.0, 1.0, from, to);
    cairo_restore(cr); // the path stays
}

void roundedRectPath(cairo_t* cr, const GuiRoundedRect& r) {
    const double l = r.rect.left, t = r.rect.top, rt = r.rect.right, b = r.rect.bottom;
    const double rx = std::min(std::fabs(double(r.radiusX)), std::fabs(rt - l) / 2);
    const double ry = std::min(std::fabs(double(r.radiusY)), std::fabs(b - t) / 2);
    if (!(rx > 0.0 && ry > 0.0)) {
        cairo_rectangle(cr, l, t, rt - l, b - t);
        return;
    }
    const double pi = 3.14159265358979323846;
    cairo_new_sub_path(cr);
    ellipticalArc(cr, rt - rx, t + ry, rx, ry, -pi / 2, 0.0);
    ellipticalArc(cr, rt - rx, b - ry, rx, ry, 0.0, pi / 2);
    ellipticalArc(cr, l + rx, b - ry, rx, ry, pi / 2, pi);
    ellipticalArc(cr, l + rx, t + ry, rx, ry, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

// Text that is not UTF-8 would stop cairo drawing altogether: each byte of an
// ill-formed sequence, and a zero byte, is shown as '?'.
std::string validUtf8(const std::string& text) {
    std::string out;
    for (std::string_view rest(text); !rest.empty();) {
        const platform::Utf8Sequence sequence = platform::readUtf8Sequence(rest);
        if (sequence.wellFormed && sequence.character != 0) {
            out.append(rest.substr(0, sequence.length));
            rest.remove_prefix(sequence.length);
        } else {
            out += '?';
            rest.remove_prefix(1);
        }
    }
    return out;
}

Surface paintRecording(const Recording& recording, int32_t width, int32_t height, int depth);

Surface bitmapSurface(const BitmapState& bitmap, int depth) {
    if (bitmap.drawn && depth < maxNesting)
        return paintRecording(*bitmap.drawn, bitmap.width, bitmap.height, depth + 1);
    if (!bitmap.pixels || bitmap.width <= 0 || bitmap.height <= 0)
        return nullptr;
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bitmap.width, bitmap.height));
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const PixelStore& pixels = *bitmap.pixels;
    for (int32_t y = 0; y < std::min(bitmap.height, pixels.height); ++y) {
        for (int32_t x = 0; x < std::min(bitmap.width, pixels.width); ++x) {
            const uint8_t* p = pixels.at(x, y);
            uint8_t* q = data + size_t(y) * size_t(stride) + size_t(x) * 4;
            // Both are B, G, R, A premultiplied; keep colour within alpha as cairo needs.
            q[3] = p[3];
            for (int k = 0; k < 3; ++k)
                q[k] = std::min(p[k], p[3]);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

void blit(cairo_t* cr, const DrawCall& call, int depth) {
    const Surface source = bitmapSurface(*call.bitmap, depth);
    if (!source)
        return;
    const GuiRect whole{0.0f, 0.0f, float(call.bitmap->width), float(call.bitmap->height)};
    const GuiRect from = call.source.value_or(whole);
    const GuiRect& to = call.rect;
    const double sw = from.right - from.left, sh = from.bottom - from.top;
    const double dw = to.right - to.left, dh = to.bottom - to.top;
    if (!(sw != 0.0 && sh != 0.0 && std::isfinite(sw) && std::isfinite(sh) && std::isfinite(dw) &&
          std::isfinite(dh)))
        return;
    cairo_save(cr);
    cairo_rectangle(cr, to.left, to.top, dw, dh);
    cairo_clip(cr);
    cairo_translate(cr, to.left, to.top);
    cairo_scale(cr, dw / sw, dh / sh);
    cairo_set_source_surface(cr, source.get(), -from.left, -from.top);
    cairo_pattern_set_filter(cairo_get_source(cr), call.interpolation == 0 ? CAIRO_FILTER_NEAREST
                                                                           : CAIRO_FILTER_BILINEAR);
    cairo_paint_with_alpha(cr, unit(call.opacity));
    cairo_restore(cr);
}

void text(cairo_t* cr, const DrawCall& call) {
    const TextFormatState& format = *call.format;
    const TextFormatRequest& request = format.request;
    if (!(request.size > 0.0f && finite(request.size)))
        return;
    cairo_save(cr);
    if (call.options & 2) { // clip to the layout
        cairo_rectangle(cr, call.rect.left, call.rect.top, call.rect.right - call.rect.left,
                        call.rect.bottom - call.rect.top);
        cairo_clip(cr);
    }
    const cairo_font_slant_t slant = request.style == 2   ? CAIRO_FONT_SLANT_ITALIC
                                     : request.style == 1 ? CAIRO_FONT_SLANT_OBLIQUE
                                                          : CAIRO_FONT_SLANT_NORMAL;
    cairo_select_font_face(cr, request.family.c_str(), slant,
                           request.weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD
                                                 : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, request.size);
    const std::string shown = validUtf8(call.text);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, shown.c_str(), &extents);
    double x = call.rect.left;
    if (format.placement == TextPlacementEnd)
        x = call.rect.right - extents.x_advance;
    else if (format.placement == TextPlacementCentre)
        x = (call.rect.left + call.rect.right - extents.x_advance) / 2;
    cairo_move_to(cr, x, call.rect.top + font.ascent);
    cairo_show_text(cr, shown.c_str());
    cairo_restore(cr);
}

void paintCall(cairo_t* cr, const DrawCall& call, int& clipDepth, int depth) {
    if (call.missingArgument)
        return;
    switch (call.op) {
    case DrawOp::StrokeLine:
        if (setSource(cr, call.brush)) {
            cairo_move_to(cr, call.from.x, call.from.y);
            cairo_line_to(cr, call.to.x, call.to.y);
            cairo_set_line_width(cr, finite(call.width) ? std::fabs(call.width) : 1.0);
            cairo_stroke(cr);
        }
        break;
    case DrawOp::PaintRect:
        if (setSource(cr, call.brush)) {
            cairo_rectangle(cr, call.rect.left, call.rect.top, call.rect.right - call.rect.left,
                            call.rect.bottom - call.rect.top);
            cairo_fill(cr);
        }
        break;
    case DrawOp::PaintRoundedRect:
        if (setSource(cr, call.brush)) {
            roundedRectPath(cr, call.rounded);
            cairo_fill(cr);
        }
        break;
    case DrawOp::PaintEllipse:
        if (setSource(cr, call.brush) && call.ellipse.radiusX != 0.0f &&
            call.ellipse.radiusY != 0.0f) {
            cairo_new_sub_path(cr);
            ellipticalArc(cr, call.ellipse.centre.x, call.ellipse.centre.y,
                          std::fabs(call.ellipse.radiusX), std::fabs(call.ellipse.radiusY), 0.0,
                          2 * 3.14159265358979323846);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        break;
    case DrawOp::BlitBitmap:
        blit(cr, call, depth);
        break;
    case DrawOp::DrawText:
        if (setSource(cr, call.brush))
            text(cr, call);
        break;
    case DrawOp::PushClip:
        cairo_save(cr);
        cairo_rectangle(cr, call.rect.left, call.rect.top, call.rect.right - call.rect.left,
                        call.rect.bottom - call.rect.top);
        cairo_clip(cr);
        ++clipDepth;
        break;
    case DrawOp::PopClip:
        if (clipDepth > 0) {
            cairo_restore(cr);
            --clipDepth;
        }
        break;
    case DrawOp::Clear:
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(cr, toSrgb(call.colour.r), toSrgb(call.colour.g),
                              toSrgb(call.colour.b), unit(call.colour.a));
        cairo_paint(cr);
        cairo_restore(cr);
        break;
    default:
        break;
    }
    cairo_new_path(cr);
}

Surface paintRecording(const Recording& recording, int32_t width, int32_t height, int depth) {
    if (width <= 0 || height <= 0 || width > maxExtent || height > maxExtent)
        return nullptr;
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    Context cr(cairo_create(surface.get()));
    int clipDepth = 0;
    for (const DrawCall& call : recording.calls)
        paintCall(cr.get(), call, clipDepth, depth);
    while (clipDepth-- > 0)
        cairo_restore(cr.get());
    cr.reset();
    cairo_surface_flush(surface.get());
    return surface;
}

} // namespace

bool canRasterise() {
    return true;
}

std::vector<uint8_t> rasterise(const Recording& recording, int32_t width, int32_t height) {
    const Surface surface = paintRecording(recording, width, height, 0);
    if (!surface)
        return {};
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const unsigned char* p = data + size_t(y) * size_t(stride) + size_t(x) * 4;
            uint8_t* q = rgba.data() + (size_t(y) * size_t(width) + size_t(x)) * 4;
            const unsigned a = p[3];
            for (int k = 0; k < 3; ++k)
                q[k] = a == 0 ? 0 : uint8_t(std::min(255u, (p[2 - k] * 255u + a / 2) / a));
            q[3] = uint8_t(a);
        }
    }
    return rgba;
}

bool rasteriseToPng(const Recording& recording, int32_t width, int32_t height,
                    const std::string& path, std::string* error) {
    const Surface surface = paintRecording(recording, width, height, 0);
    if (!surface) {
        if (error)
            *error = "cannot paint a picture of " + std::to_string(width) + " x " +
                     std::to_string(height);
        return false;
    }
    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        if (error)
            *error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

#endif

} // namespace testhost
