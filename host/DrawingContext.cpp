#include "DrawingContext.h"

#include "DrawingFactory.h"

#include <cmath>

namespace testhost {
namespace {

std::optional<BrushState> brushState(IBrush* brush) {
    if (const auto* ours = dynamic_cast<Brush*>(brush))
        return ours->state;
    return std::nullopt;
}

std::optional<BitmapState> bitmapState(IBitmap* bitmap) {
    const auto* ours = dynamic_cast<Bitmap*>(bitmap);
    if (!ours)
        return std::nullopt;
    return BitmapState{ours->id,  ours->pixels->width, ours->pixels->height,
                       ours->uri, ours->pixels,        ours->drawn};
}

// A gradient brush of either shape, made from stops of this host: the shape,
// the brush spec and the stops go on the call and into the brush (a missing
// spec is full opacity, untransformed). ResultFailure, the call marked, when the
// shape, the out pointer or the host's own stops are missing.
template <class Shape>
int32_t makeGradientBrush(DrawCall& call, const LedgerPtr& book, BrushState::Kind kind,
                          const Shape* shape, Shape DrawCall::*recordedShape,
                          Shape BrushState::*brushShape, const BrushSpec* brush,
                          IGradientStops* stops, IBrush** out) {
    if (out)
        *out = nullptr;
    const auto* ourStops = dynamic_cast<GradientStops*>(stops);
    if (!shape || !out || !ourStops) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.*recordedShape = *shape;
    if (brush)
        call.spec = *brush;
    call.stops = ourStops->stops;
    BrushState state;
    state.kind = kind;
    state.*brushShape = *shape;
    state.spec = brush ? *brush : BrushSpec{1.0f, {1, 0, 0, 1, 0, 0}};
    state.stops = ourStops->stops;
    *out = new Brush(book, state);
    return ResultSuccess;
}

// Runs the factory's hook as a drawing operation returns, after its work, as
// the host's other operations do: a test may call back into the module there.
class FinishedCall {
public:
    explicit FinishedCall(DrawingFactory* factory) : factory(factory) {}
    FinishedCall(const FinishedCall&) = delete;
    FinishedCall& operator=(const FinishedCall&) = delete;
    ~FinishedCall() {
        if (factory)
            notify(factory->onCall, HostCall::Draw);
    }

private:
    DrawingFactory* factory;
};

} // namespace

int32_t pixelExtent(float extent) {
    if (!(extent > 0.0f))
        return 0;
    return extent >= 16384.0f ? 16384 : int32_t(std::ceil(extent));
}

template <class Interface>
RecordingContext<Interface>::RecordingContext(DrawingFactory* factory, LedgerPtr ledger,
                                              GuiSize size)
    : factory(factory), book(std::move(ledger)), recording(std::make_shared<Recording>()) {
    recording->size = size;
}

template <class Interface> DrawCall& RecordingContext<Interface>::record(DrawOp op) {
    DrawCall call;
    call.op = op;
    call.clips = recording->clipStack;
    recording->calls.push_back(std::move(call));
    return recording->calls.back();
}

template <class Interface>
int32_t RecordingContext<Interface>::fetchFactory(IDrawingFactory** out) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::FetchFactory);
    if (!out) {
        call.missingArgument = true;
        return ResultFailure;
    }
    *out = factory;
    if (!factory)
        return ResultFailure;
    factory->addRef();
    return ResultSuccess;
}

template <class Interface>
int32_t RecordingContext<Interface>::makeSolidBrush(const GuiColour* colour, IBrush** out) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::MakeSolidBrush);
    if (out)
        *out = nullptr;
    if (!colour || !out) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.colour = *colour;
    BrushState state;
    state.colour = *colour;
    *out = new Brush(book, state);
    return ResultSuccess;
}

template <class Interface>
int32_t RecordingContext<Interface>::makeGradientStops(const GradientStop* stops, uint32_t count,
                                                       IGradientStops** out) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::MakeGradientStops);
    if (out)
        *out = nullptr;
    if (!out || (count > 0 && !stops) || count > 65536) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.stops.assign(stops, stops + count);
    *out = new GradientStops(book, call.stops);
    return ResultSuccess;
}

template <class Interface>
int32_t RecordingContext<Interface>::makeLinearGradientBrush(const LinearGradientSpec* spec,
                                                             const BrushSpec* brush,
                                                             IGradientStops* stops, IBrush** out) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::MakeLinearGradientBrush);
    return makeGradientBrush(call, book, BrushState::Kind::Linear, spec, &DrawCall::linear,
                             &BrushState::linear, brush, stops, out);
}

template <class Interface>
int32_t RecordingContext<Interface>::makeRadialGradientBrush(const RadialGradientSpec* spec,
                                                             const BrushSpec* brush,
                                                             IGradientStops* stops, IBrush** out) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::MakeRadialGradientBrush);
    return makeGradientBrush(call, book, BrushState::Kind::Radial, spec, &DrawCall::radial,
                             &BrushState::radial, brush, stops, out);
}

template <class Interface>
int32_t RecordingContext<Interface>::strokeLine(GuiPoint from, GuiPoint to, IBrush* brush,
                                                float width, gmpi::IMpUnknown*) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::StrokeLine);
    call.from = from;
    call.to = to;
    call.width = width;
    call.brush = brushState(brush);
    call.missingArgument = !call.brush;
    return call.brush ? ResultSuccess : ResultFailure;
}

template <class Interface>
int32_t RecordingContext<Interface>::paintRect(const GuiRect* rect, IBrush* brush) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::PaintRect);
    call.brush = brushState(brush);
    if (!rect || !call.brush) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.rect = *rect;
    return ResultSuccess;
}

template <class Interface>
int32_t RecordingContext<Interface>::paintRoundedRect(const GuiRoundedRect* rect, IBrush* brush) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::PaintRoundedRect);
    call.brush = brushState(brush);
    if (!rect || !call.brush) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.rounded = *rect;
    call.rect = rect->rect;
    return ResultSuccess;
}

template <class Interface>
int32_t RecordingContext<Interface>::paintEllipse(const GuiEllipse* ellipse, IBrush* brush) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::PaintEllipse);
    call.brush = brushState(brush);
    if (!ellipse || !call.brush) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.ellipse = *ellipse;
    return ResultSuccess;
}

template <class Interface>
int32_t RecordingContext<Interface>::blitBitmap(IBitmap* bitmap, const GuiRect* destination,
                                                float opacity, int32_t interpolation,
                                                const GuiRect* source) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::BlitBitmap);
    call.bitmap = bitmapState(bitmap);
    call.opacity = opacity;
    call.interpolation = interpolation;
    if (source)
        call.source = *source;
    if (!destination || !call.bitmap) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.rect = *destination;
    return ResultSuccess;
}

template <class Interface>
int32_t RecordingContext<Interface>::drawUtf8Text(const char* text, uint32_t length,
                                                  ITextFormat* format, const GuiRect* layout,
                                                  IBrush* brush, int32_t options) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::DrawText);
    if (text)
        call.text.assign(text, length);
    if (const auto* ours = dynamic_cast<TextFormat*>(format))
        call.format = ours->state;
    call.brush = brushState(brush);
    call.options = options;
    if (layout)
        call.rect = *layout;
    if ((!text && length > 0) || !call.format || !layout || !call.brush) {
        call.missingArgument = true;
        return ResultFailure;
    }
    return ResultSuccess;
}

template <class Interface> int32_t RecordingContext<Interface>::pushClipRect(const GuiRect* rect) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::PushClip);
    if (!rect) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.rect = *rect;
    recording->clipStack.push_back(*rect);
    return ResultSuccess;
}

template <class Interface> int32_t RecordingContext<Interface>::popClipRect() {
    const FinishedCall finished(factory);
    record(DrawOp::PopClip);
    if (recording->clipStack.empty()) {
        ++recording->unmatchedPops;
        return ResultFailure;
    }
    recording->clipStack.pop_back();
    return ResultSuccess;
}

template <class Interface> int32_t RecordingContext<Interface>::clearTo(const GuiColour* colour) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::Clear);
    if (!colour) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.colour = *colour;
    return ResultSuccess;
}

template <class Interface> int32_t RecordingContext<Interface>::beginFrame() {
    const FinishedCall finished(factory);
    record(DrawOp::BeginFrame);
    return ResultSuccess;
}

template <class Interface> int32_t RecordingContext<Interface>::endFrame() {
    const FinishedCall finished(factory);
    record(DrawOp::EndFrame);
    return ResultSuccess;
}

template <class Interface>
int32_t RecordingContext<Interface>::makeOffscreenTarget(const GuiSize* size,
                                                         IOffscreenTarget** out) {
    const FinishedCall finished(factory);
    DrawCall& call = record(DrawOp::MakeOffscreenTarget);
    if (out)
        *out = nullptr;
    if (!size || !out) {
        call.missingArgument = true;
        return ResultFailure;
    }
    call.size = *size;
    auto* target = new OffscreenTarget(factory, book, *size);
    call.target = target->recordingPointer();
    *out = target;
    return ResultSuccess;
}

template class RecordingContext<IDrawingContext>;
template class RecordingContext<IOffscreenTarget>;

DrawingContext::DrawingContext(DrawingFactory* factory, GuiSize size)
    : RecordingContext(factory, factory ? factory->ledger() : std::make_shared<DrawingLedger>(),
                       size) {}

int32_t DrawingContext::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>() || (offerContext && iid == iidOf<IDrawingContext>())) {
        *out = static_cast<IDrawingContext*>(this);
        addRef();
        return ResultSuccess;
    }
    return ResultUnsupported;
}

OffscreenTarget::OffscreenTarget(DrawingFactory* factory, LedgerPtr ledger, GuiSize size)
    : RecordingContext(factory, std::move(ledger), size) {
    this->ledger()->made("offscreen target");
}

OffscreenTarget::~OffscreenTarget() {
    if (bitmap)
        bitmap->release();
    ledger()->gone("offscreen target");
}

int32_t OffscreenTarget::queryInterface(const InterfaceId& iid, void** out) {
    if (!out)
        return ResultFailure;
    *out = nullptr;
    if (iid == iidOf<gmpi::IMpUnknown>() || iid == iidOf<IDrawingContext>()) {
        *out = static_cast<IDrawingContext*>(this);
        addRef();
        return ResultSuccess;
    }
    return ResultUnsupported;
}

int32_t OffscreenTarget::release() {
    const int32_t count = --refs;
    if (count == 0)
        delete this;
    return count;
}

int32_t OffscreenTarget::takeBitmap(IBitmap** out) {
    if (!out)
        return ResultFailure;
    if (!bitmap) {
        bitmap = new Bitmap(ledger(), pixelExtent(recorded().size.width),
                            pixelExtent(recorded().size.height));
        bitmap->drawn = recordingPointer();
    }
    bitmap->addRef();
    *out = bitmap;
    return ResultSuccess;
}

} // namespace testhost
