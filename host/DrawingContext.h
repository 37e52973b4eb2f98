// The test host's drawing contexts: each records every call it receives (see
// DrawingRecord.h). DrawingContext is what a test hands to onRepaint; the
// offscreen targets a module makes from it record into recordings of their
// own, which the parent's call records and their bitmaps carry.
#pragma once

#include "DrawingRecord.h"

#include <memory>

namespace testhost {

class DrawingFactory;

// The recording operations of IDrawingContext, for both kinds of context.
template <class Interface> class RecordingContext : public Interface {
public:
    int32_t fetchFactory(IDrawingFactory** out) override;
    int32_t makeSolidBrush(const GuiColour* colour, IBrush** out) override;
    int32_t makeGradientStops(const GradientStop* stops, uint32_t count,
                              IGradientStops** out) override;
    int32_t makeLinearGradientBrush(const LinearGradientSpec* spec, const BrushSpec* brush,
                                    IGradientStops* stops, IBrush** out) override;
    int32_t makeRadialGradientBrush(const RadialGradientSpec* spec, const BrushSpec* brush,
                                    IGradientStops* stops, IBrush** out) override;
    int32_t strokeLine(GuiPoint from, GuiPoint to, IBrush* brush, float width,
                       gmpi::IMpUnknown* strokeStyle) override;
    int32_t paintRect(const GuiRect* rect, IBrush* brush) override;
    int32_t paintRoundedRect(const GuiRoundedRect* rect, IBrush* brush) override;
    int32_t paintEllipse(const GuiEllipse* ellipse, IBrush* brush) override;
    int32_t blitBitmap(IBitmap* bitmap, const GuiRect* destination, float opacity,
                       int32_t interpolation, const GuiRect* source) override;
    int32_t drawUtf8Text(const char* text, uint32_t length, ITextFormat* format,
                         const GuiRect* layout, IBrush* brush, int32_t options) override;
    int32_t pushClipRect(const GuiRect* rect) override;
    int32_t popClipRect() override;
    int32_t clearTo(const GuiColour* colour) override;
    int32_t beginFrame() override;
    int32_t endFrame() override;
    int32_t makeOffscreenTarget(const GuiSize* size, IOffscreenTarget** out) override;

    const Recording& recorded() const { return *recording; }
    const std::shared_ptr<Recording>& recordingPointer() const { return recording; }
    const LedgerPtr& ledger() const { return book; }

protected:
    RecordingContext(DrawingFactory* factory, LedgerPtr ledger, GuiSize size);
    virtual ~RecordingContext() = default;

private:
    DrawCall& record(DrawOp op);

    DrawingFactory* factory;
    LedgerPtr book;
    std::shared_ptr<Recording> recording;
};

// The context a test passes to onRepaint; it belongs to the test and counts
// the references modules hold on it. It answers IDrawingContext.
class DrawingContext final : public RecordingContext<IDrawingContext> {
public:
    // Without a factory, fetchFactory gives none and the objects made are
    // counted in a ledger of the context's own.
    explicit DrawingContext(DrawingFactory* factory = nullptr, GuiSize size = {});
    DrawingContext(const DrawingContext&) = delete;
    DrawingContext& operator=(const DrawingContext&) = delete;

    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refs; }
    int32_t release() override { return --refs; }
    int32_t references() const { return refs; }

    // Switched off, queryInterface answers nothing but IMpUnknown.
    bool offerContext = true;

private:
    int32_t refs = 0;
};

// An offscreen target a module made; deleted by its last release.
class OffscreenTarget final : public RecordingContext<IOffscreenTarget> {
public:
    OffscreenTarget(DrawingFactory* factory, LedgerPtr ledger, GuiSize size);
    ~OffscreenTarget() override;

    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refs; }
    int32_t release() override;
    // The bitmap drawn into: the same one each time, carrying this target's recording.
    int32_t takeBitmap(IBitmap** out) override;

private:
    int32_t refs = 1;
    Bitmap* bitmap = nullptr; // one reference, once taken
};

// The context's size as whole pixels: NaN and negative give 0, at most 16384.
int32_t pixelExtent(float extent);

} // namespace testhost
