// The host's drawing objects and the records passed to them. Only
// IDrawingContext and IFontFamilyList are asked for by id; the others come back
// from host operations, each with one reference for the caller.
#pragma once

#include "MpTypes.h"

struct GuiPoint {
    float x;
    float y;
};

struct GuiSize {
    float width;
    float height;
};

struct GuiRect {
    float left;
    float top;
    float right;
    float bottom;
};

// A colour in linear light.
struct GuiColour {
    float r;
    float g;
    float b;
    float a;
};

struct GradientStop {
    float position;
    GuiColour colour;
};

struct BrushSpec {
    float opacity;
    float transform[6]; // 2 x 3 matrix, row by row
};

struct LinearGradientSpec {
    GuiPoint start;
    GuiPoint end;
};

struct RadialGradientSpec {
    GuiPoint centre;
    GuiPoint originOffset;
    float radiusX;
    float radiusY;
};

struct GuiRoundedRect {
    GuiRect rect;
    float radiusX;
    float radiusY;
};

struct GuiEllipse {
    GuiPoint centre;
    float radiusX;
    float radiusY;
};

// What a text format reports about its font; at most twelve values.
struct TextMetrics {
    float values[12];
};

enum PixelFormat : int32_t { PixelFormatSrgb = 4 };

struct IBrush : gmpi::IMpUnknown {
    virtual int32_t setBrushColour(const GuiColour* colour) = 0;
};

struct IGradientStops : gmpi::IMpUnknown {};

struct IBitmapPixels : gmpi::IMpUnknown {
    virtual uint8_t* pixelData() = 0;
    virtual int32_t rowBytes() = 0;
    virtual int32_t pixelFormat() = 0;
};

struct IBitmap : gmpi::IMpUnknown {
    virtual int32_t pixelSize(int32_t* width, int32_t* height) = 0;
    // flags: 1 to read, 3 to read and write. Releasing the pixels unlocks them.
    virtual int32_t lockPixels(IBitmapPixels** out, int32_t flags) = 0;
};

struct ITextFormat : gmpi::IMpUnknown {
    virtual int32_t setTextPlacement(int32_t placement) = 0; // 0 start, 1 end, 2 centre
    virtual int32_t setFormatSettingA(int32_t setting) = 0;
    virtual int32_t setFormatSettingB(int32_t setting) = 0;
    virtual int32_t fetchTextMetrics(TextMetrics* out) = 0;
    virtual int32_t setSpacing(float spacing, float baseline) = 0;
};

struct IFontFamilyList : gmpi::IMpUnknown {
    // Non-zero past the last family.
    virtual int32_t familyNameAt(int32_t index, gmpi::IString* name) = 0;
};

struct IDrawingFactory : gmpi::IMpUnknown {
    virtual int32_t makeTextFormat(const char* family, gmpi::IMpUnknown* fontCollection,
                                   int32_t weight, int32_t style, int32_t stretch, float size,
                                   const char* locale, ITextFormat** out) = 0;
    virtual int32_t loadImageUri(const char* uri, IBitmap** out) = 0;
};

struct IOffscreenTarget;

struct IDrawingContext : gmpi::IMpUnknown {
    virtual int32_t fetchFactory(IDrawingFactory** out) = 0;
    virtual int32_t makeSolidBrush(const GuiColour* colour, IBrush** out) = 0;
    virtual int32_t makeGradientStops(const GradientStop* stops, uint32_t count,
                                      IGradientStops** out) = 0;
    virtual int32_t makeLinearGradientBrush(const LinearGradientSpec* spec, const BrushSpec* brush,
                                            IGradientStops* stops, IBrush** out) = 0;
    virtual int32_t makeRadialGradientBrush(const RadialGradientSpec* spec, const BrushSpec* brush,
                                            IGradientStops* stops, IBrush** out) = 0;
    virtual int32_t strokeLine(GuiPoint from, GuiPoint to, IBrush* brush, float width,
                               gmpi::IMpUnknown* strokeStyle) = 0;
    virtual int32_t paintRect(const GuiRect* rect, IBrush* brush) = 0;
    virtual int32_t paintRoundedRect(const GuiRoundedRect* rect, IBrush* brush) = 0;
    virtual int32_t paintEllipse(const GuiEllipse* ellipse, IBrush* brush) = 0;
    virtual int32_t blitBitmap(IBitmap* bitmap, const GuiRect* destination, float opacity,
                               int32_t interpolation, const GuiRect* source) = 0;
    virtual int32_t drawUtf8Text(const char* text, uint32_t length, ITextFormat* format,
                                 const GuiRect* layout, IBrush* brush, int32_t options) = 0;
    virtual int32_t pushClipRect(const GuiRect* rect) = 0;
    virtual int32_t popClipRect() = 0;
    virtual int32_t clearTo(const GuiColour* colour) = 0;
    virtual int32_t beginFrame() = 0;
    virtual int32_t endFrame() = 0;
    virtual int32_t makeOffscreenTarget(const GuiSize* size, IOffscreenTarget** out) = 0;
};

// A drawing context that draws into a bitmap.
struct IOffscreenTarget : IDrawingContext {
    virtual int32_t takeBitmap(IBitmap** out) = 0;
};

// A resource stream opened by the host.
struct IUriStream : gmpi::IMpUnknown {
    virtual int32_t readBytes(void* buffer, int64_t count, int32_t reserved) = 0;
    virtual int32_t byteSize(int64_t* size) = 0;
};

template <> struct InterfaceIdentity<IDrawingContext> {
    static constexpr InterfaceId id = guid("A1D9751D-0C43-4F57-8958-E0BCE359B2FD");
};
template <> struct InterfaceIdentity<IFontFamilyList> {
    static constexpr InterfaceId id = guid("61568E7F-5256-49C6-95E6-10327EB33EC4");
};
