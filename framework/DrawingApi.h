// The host's drawing objects and the records passed to them. Only
// IDrawingContext and IFontFamilyList are asked for by id; the others come back
// from host operations, each with one reference for the caller. Each slot's
// comment is its contract, in the words MpTypes.h explains; where the library
// does not read an answer, the line says so.
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

// What IBitmap::lockPixels is to allow.
enum BitmapLockFlags : int32_t {
    BitmapLockRead = 1,
    BitmapLockReadWrite = 3,
};

// Where ITextFormat places text across its layout rectangle.
enum TextPlacement : int32_t {
    TextPlacementStart = 0,
    TextPlacementEnd = 1,
    TextPlacementCentre = 2,
};

// A brush from IDrawingContext. Called on the interface thread.
struct IBrush : gmpi::IMpUnknown {
    // Module; colour borrowed. Answer unread.
    virtual int32_t setBrushColour(const GuiColour* colour) = 0;
};

// Only released, on the interface thread.
struct IGradientStops : gmpi::IMpUnknown {};

// A locked bitmap's pixels, 4 bytes each with alpha the fourth; releasing it unlocks.
// Called on the interface thread.
struct IBitmapPixels : gmpi::IMpUnknown {
    // Module. The first row's bytes, valid until this object is released.
    virtual uint8_t* pixelData() = 0;
    // Module. Bytes from the start of one row to the next.
    virtual int32_t rowBytes() = 0;
    // Module. A PixelFormat.
    virtual int32_t pixelFormat() = 0;
};

// A picture from IDrawingFactory or IOffscreenTarget. Called on the interface thread.
struct IBitmap : gmpi::IMpUnknown {
    // Module; fills width and height in pixels. Answer unread.
    virtual int32_t pixelSize(int32_t* width, int32_t* height) = 0;
    // Module; flags a BitmapLockFlags; *out +1, null when not locked. Answer unread.
    virtual int32_t lockPixels(IBitmapPixels** out, int32_t flags) = 0;
};

// A text format from IDrawingFactory. Called on the interface thread.
struct ITextFormat : gmpi::IMpUnknown {
    // Module; placement a TextPlacement. Answer unread.
    virtual int32_t setTextPlacement(int32_t placement) = 0;
    // Module; a setting as the skin's font metadata gives it. Answer unread.
    virtual int32_t setFormatSettingA(int32_t setting) = 0;
    // Module; a setting as the skin's font metadata gives it. Answer unread.
    virtual int32_t setFormatSettingB(int32_t setting) = 0;
    // Module; fills out (the library reads the first four values). Answer unread.
    virtual int32_t fetchTextMetrics(TextMetrics* out) = 0;
    // Module. Answer unread.
    virtual int32_t setSpacing(float spacing, float baseline) = 0;
};

// The font families a drawing factory knows. Called on the interface thread.
struct IFontFamilyList : gmpi::IMpUnknown {
    // Module; fills name (UTF-8). Non-zero past the last family.
    virtual int32_t familyNameAt(int32_t index, gmpi::IString* name) = 0;
};
template <> struct InterfaceIdentity<IFontFamilyList> {
    static constexpr InterfaceId id = guid("61568E7F-5256-49C6-95E6-10327EB33EC4");
};

// The host's maker of text formats and pictures; it may also answer IFontFamilyList.
// Called on the interface thread.
struct IDrawingFactory : gmpi::IMpUnknown {
    // Module; family borrowed, the collection and locale null; *out +1, null: none made.
    virtual int32_t makeTextFormat(const char* family, gmpi::IMpUnknown* fontCollection,
                                   int32_t weight, int32_t style, int32_t stretch, float size,
                                   const char* locale, ITextFormat** out) = 0;
    // Module; uri borrowed; *out +1, null when not loaded. Answer unread.
    virtual int32_t loadImageUri(const char* uri, IBitmap** out) = 0;
};

struct IOffscreenTarget;

// What a widget draws with inside onRepaint. Called on the interface thread.
struct IDrawingContext : gmpi::IMpUnknown {
    // Module; *out +1. Answer unread.
    virtual int32_t fetchFactory(IDrawingFactory** out) = 0;
    // Module; colour borrowed; *out +1. Answer unread.
    virtual int32_t makeSolidBrush(const GuiColour* colour, IBrush** out) = 0;
    // Module; count stops borrowed; *out +1. Answer unread.
    virtual int32_t makeGradientStops(const GradientStop* stops, uint32_t count,
                                      IGradientStops** out) = 0;
    // Module; spec, brush, stops borrowed; *out +1. Answer unread.
    virtual int32_t makeLinearGradientBrush(const LinearGradientSpec* spec, const BrushSpec* brush,
                                            IGradientStops* stops, IBrush** out) = 0;
    // Module; spec, brush, stops borrowed; *out +1. Answer unread.
    virtual int32_t makeRadialGradientBrush(const RadialGradientSpec* spec, const BrushSpec* brush,
                                            IGradientStops* stops, IBrush** out) = 0;
    // Module; brush borrowed, strokeStyle null. Answer unread.
    virtual int32_t strokeLine(GuiPoint from, GuiPoint to, IBrush* brush, float width,
                               gmpi::IMpUnknown* strokeStyle) = 0;
    // Module; rect, brush borrowed. Answer unread.
    virtual int32_t paintRect(const GuiRect* rect, IBrush* brush) = 0;
    // Module; rect, brush borrowed. Answer unread.
    virtual int32_t paintRoundedRect(const GuiRoundedRect* rect, IBrush* brush) = 0;
    // Module; ellipse, brush borrowed. Answer unread.
    virtual int32_t paintEllipse(const GuiEllipse* ellipse, IBrush* brush) = 0;
    // Module; bitmap, destination, source borrowed. Answer unread.
    virtual int32_t blitBitmap(IBitmap* bitmap, const GuiRect* destination, float opacity,
                               int32_t interpolation, const GuiRect* source) = 0;
    // Module; length bytes of UTF-8 text, format, layout, brush borrowed. Answer unread.
    virtual int32_t drawUtf8Text(const char* text, uint32_t length, ITextFormat* format,
                                 const GuiRect* layout, IBrush* brush, int32_t options) = 0;
    // Module; rect borrowed; clips drawing until the matching popClipRect. Answer unread.
    virtual int32_t pushClipRect(const GuiRect* rect) = 0;
    // Module; ends the last pushClipRect. Answer unread.
    virtual int32_t popClipRect() = 0;
    // Module; colour borrowed. Answer unread.
    virtual int32_t clearTo(const GuiColour* colour) = 0;
    // Module; begins drawing into an offscreen target. Answer unread.
    virtual int32_t beginFrame() = 0;
    // Module; ends drawing into an offscreen target. Answer unread.
    virtual int32_t endFrame() = 0;
    // Module; size borrowed; *out +1. Answer unread.
    virtual int32_t makeOffscreenTarget(const GuiSize* size, IOffscreenTarget** out) = 0;
};
template <> struct InterfaceIdentity<IDrawingContext> {
    static constexpr InterfaceId id = guid("A1D9751D-0C43-4F57-8958-E0BCE359B2FD");
};

// A drawing context that draws into a bitmap. Called on the interface thread.
struct IOffscreenTarget : IDrawingContext {
    // Module, after endFrame; *out +1: what was drawn. Answer unread.
    virtual int32_t takeBitmap(IBitmap** out) = 0;
};

// A resource stream opened by the host. Called on the interface thread.
struct IUriStream : gmpi::IMpUnknown {
    // Module; fills count bytes of buffer; reserved 0. Answer unread.
    virtual int32_t readBytes(void* buffer, int64_t count, int32_t reserved) = 0;
    // Module; fills size with the stream's length in bytes. Answer unread.
    virtual int32_t byteSize(int64_t* size) = 0;
};
