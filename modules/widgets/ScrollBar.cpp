// ScrollBar: shows and sets an integer scroll position within a range, with a
// thumb as long as the page. Presses beside the thumb page, dragging the thumb
// moves the position (twenty times slower with the fine-adjust modifier), and
// two bool inputs step it while they are true, repeating after a delay. The
// track and the thumb are drawn into offscreen pictures that are kept until
// something they show changes, so that a repaint during a drag only blits.
// The file is over 450 lines because it is one widget whose pointer handling,
// stepping and two pictures share the bar's measures and state; split, each
// part would need the whole class.
#include "../../framework/GradientBrush.h"
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiGfxBase.h"
#include "../../framework/SrgbTables.h"
#include "../../framework/TimerService.h"
#include "../../platform/BoundaryGuard.h"
#include "../../platform/NumberText.h"
#include "../../platform/ScopedValue.h"

#include <algorithm>
#include <vector>

using gmpi_sdk::ComPtr;

namespace {

// The bar's measures for an area of w x h.
struct BarMeasures {
    bool horizontal; // wider than high; a square area is vertical
    float length;    // along the track
    float thickness; // across it
    float margin;    // the bevel's offset
    float radius;    // of the rounded corners
    float chevron;   // arm length of the chevrons

    BarMeasures(float w, float h)
        : horizontal(w > h), length(horizontal ? w : h), thickness(horizontal ? h : w),
          margin(0.1f * thickness), radius((thickness - margin) * 0.5f), chevron(0.5f * radius) {}
};

// The floats the colour pins mix the thumb's shades with.
constexpr float shadeScale = 0.333f;
// 128 / 255: the alpha of the centre lines.
constexpr float halfAlpha = 128.0f * byteScale;
// Ticks after a step that only count, before the repeat begins.
constexpr int32_t repeatDelayTicks = 15;

} // namespace

class ScrollBar final : public gmpi_gui::MpGuiGfxBase, public TimerClient {
public:
    ScrollBar() {
        defaultTrackEndColour = srgbColour(128, 128, 128, 1.0f);
        defaultTrackStartColour = srgbColour(255, 255, 255, 1.0f);
        defaultThumbColour = srgbColour(0, 128, 255, 1.0f);
        trackEndColour = defaultTrackEndColour;
        trackStartColour = defaultTrackStartColour;
        thumbColour = defaultThumbColour;

        registerPin(PinIndex::Position, positionPin, &ScrollBar::onSetPosition);
        registerPin(PinIndex::PageSize, pageSizePin, &ScrollBar::onSetPageSize);
        registerPin(PinIndex::Range, rangePin, &ScrollBar::onSetRange);
        registerPin(PinIndex::Dragging, draggingPin);
        registerPin(PinIndex::StepBack, stepBackPin, &ScrollBar::onStepBack);
        registerPin(PinIndex::StepForward, stepForwardPin, &ScrollBar::onStepForward);
        registerPin(PinIndex::TrackEndColour, trackEndColourPin, &ScrollBar::onSetColours);
        registerPin(PinIndex::TrackStartColour, trackStartColourPin, &ScrollBar::onSetColours);
        registerPin(PinIndex::ThumbColour, thumbColourPin, &ScrollBar::onSetColours);
        registerPin(PinIndex::CentreLines, centreLinesPin);
        TimerClient::setTickPeriod(10);
    }

    int32_t onRepaint(gmpi::IMpUnknown* drawingHost) override {
        return guardedCall(ResultFailure, [&] {
            if (const auto dc = gmpi_sdk::queryInterfaceOf<IDrawingContext>(drawingHost))
                paint(*dc.get());
            return ResultSuccess;
        });
    }

    // Beside the thumb: a page back or forward, 0. On the thumb: starts the drag, 1.
    int32_t onPress(int32_t, GuiPoint point) override {
        return guardedCall(ResultFailure, [&]() -> int32_t {
            const float c = drawnWidth > drawnHeight ? point.x : point.y;
            // A page never moves below 0 (std::max keeps a NaN, as a test of < 0 would).
            if (c < thumbStart) {
                setPosition(std::max(position - pageSize, 0.0f));
                return ResultSuccess;
            }
            if (c > thumbEnd) {
                setPosition(std::max(std::min(position + pageSize, range - pageSize), 0.0f));
                return ResultSuccess;
            }
            // The press is in place before the host hears of it: a release it
            // answers with from inside its calls then ends it.
            const uint32_t press = beginPointerEvent();
            dragLastCoord = c;
            thumbPressed = true;
            forgetThumb();
            draggingPin.setAndSend(true);
            if (!pointerEventStands(press))
                return 1;
            // After the send: the host may have reported a new position inside it.
            dragLastSent = truncated(position);
            takePointerCapture();
            if (pointerEventStands(press))
                requestRepaint();
            return 1;
        });
    }

    int32_t onMotion(int32_t flags, GuiPoint point) override {
        return guardedCall(ResultFailure, [&]() -> int32_t {
            if (!queryPointerCapture())
                return ResultSuccess;
            const bool horizontal = drawnWidth > drawnHeight;
            const float c = horizontal ? point.x : point.y;
            const float extent =
                horizontal ? bounds.right - bounds.left : bounds.bottom - bounds.top;
            const float scale = (flags & gmpi_gui_api::PointerFineAdjust) ? 0.05f : 1.0f;
            const float travel = extent - thumbLength;
            if (range <= pageSize || travel <= 0.0f) {
                dragLastCoord = c; // the thumb cannot travel: the position stays
            } else {
                position = position + (c - dragLastCoord) * scale * (range - pageSize) / travel;
                dragLastCoord = c;
                if (position < 0.0f)
                    position = 0.0f;
                else
                    position = std::min(position, range - pageSize);
            }
            requestRepaint();

            // Only the integer part reaches the host, once per change; a report
            // of it from inside the send must not undo the fraction.
            const int32_t n = truncated(position);
            if (n != dragLastSent) {
                {
                    const ClearingFlagScope sending(sendingPosition);
                    positionPin.setAndSend(n);
                }
                dragLastSent = n;
            }
            return 1;
        });
    }

    // Every release ends the drag and redraws the thumb unpressed.
    int32_t onRelease(int32_t, GuiPoint) override {
        return guardedCall(ResultFailure, [&] {
            // Ended before the host hears of it: a press it answers with from
            // inside its calls then stands.
            const uint32_t release = beginPointerEvent();
            thumbPressed = false;
            forgetThumb();
            if (queryPointerCapture() && pointerEventStands(release))
                dropPointerCapture();
            sendWhileStands(release, draggingPin, false);
            if (pointerEventStands(release))
                requestRepaint();
            return ResultSuccess;
        });
    }

    // The repeat of a held step pin: the first ticks after a step only count.
    bool onTick() override {
        if (repeatCount < repeatDelayTicks) {
            ++repeatCount;
            return true;
        }
        if (stepBackPin.get()) {
            stepBack();
            return true;
        }
        if (stepForwardPin.get()) {
            stepForward();
            return true;
        }
        return false;
    }

private:
    static int32_t truncated(float value) { return platform::saturatingToInt32(value); }

    void onSetPosition() {
        if (sendingPosition)
            return;
        position = float(positionPin.get());
        if (position < 0.0f)
            position = 0.0f;
        requestRepaint();
    }

    void onSetPageSize() {
        pageSize = std::max(0.0f, float(pageSizePin.get()));
        forgetThumb();
        requestRepaint();
    }

    void onSetRange() {
        range = std::max(0.0f, float(rangePin.get()));
        forgetThumb();
        requestRepaint();
    }

    void onSetColours() {
        trackEndColour = colourFromArgbText(trackEndColourPin.get(), defaultTrackEndColour);
        trackStartColour = colourFromArgbText(trackStartColourPin.get(), defaultTrackStartColour);
        thumbColour = colourFromArgbText(thumbColourPin.get(), defaultThumbColour);
        const GuiColour& c = thumbColour;
        thumbLightShade = {(c.r + 2.0f) * shadeScale, (c.g + 2.0f) * shadeScale,
                           (c.b + 2.0f) * shadeScale, c.a};
        thumbDarkShade = {c.r * shadeScale, c.g * shadeScale, c.b * shadeScale, c.a};
        forgetTrack();
        forgetThumb();
        requestRepaint();
    }

    void onStepBack() { stepWhileHeld(stepBackPin, &ScrollBar::stepBack); }
    void onStepForward() { stepWhileHeld(stepForwardPin, &ScrollBar::stepForward); }

    // A step pin's report: one step while it holds true and there is room, and
    // the repeat after it. The repeat starts only while the pin still asks for
    // it: the host may lower it from inside the step's send.
    void stepWhileHeld(const MpGuiPin<bool>& held, void (ScrollBar::*step)()) {
        if (!(held.get() && range > pageSize)) {
            stopTicking();
            return;
        }
        (this->*step)();
        if (held.get() && range > pageSize) {
            startTicking();
            repeatCount = 0;
        }
    }

    // Steps do not clamp after moving; pin 0 carries the truncated value.
    void stepBack() {
        if (position > 0.0f)
            setPosition(position - 1.0f);
    }

    void stepForward() {
        if (range - pageSize > position)
            setPosition(position + 1.0f);
    }

    // A page or a step: the thumb moves on screen when the host reports pin 0.
    void setPosition(float moved) {
        position = moved;
        positionPin.setAndSend(truncated(position));
    }

    // The track and the thumb from their pictures, each drawn again first
    // when something it shows has changed. The host may change what they
    // show from inside any drawing call: a picture drawn while that happened
    // serves this repaint only, and the next one draws it again.
    void paint(IDrawingContext& dc) {
        const Painting painting(*this);
        const float w = bounds.right - bounds.left;
        const float h = bounds.bottom - bounds.top;
        const BarMeasures bar(w, h);
        placeThumb(bar);
        if (!(w == drawnWidth) || !(h == drawnHeight)) {
            drawnWidth = w;
            drawnHeight = h;
            forgetTrack();
            forgetThumb();
        }
        ComPtr<IBitmap> drawn;
        IBitmap* const track =
            pictureOf(trackBitmap, trackChanges, drawn, [&] { return drawTrack(dc, bar, w, h); });
        // The track picture covers the drawing area from its corner.
        const GuiRect wholeArea{0.0f, 0.0f, w, h};
        dc.blitBitmap(track, &wholeArea, 1.0f, 1, &wholeArea);

        const float thumbW = bar.horizontal ? thumbLength : w;
        const float thumbH = bar.horizontal ? h : thumbLength;
        IBitmap* const thumb = pictureOf(thumbBitmap, thumbChanges, drawn,
                                         [&] { return drawThumb(dc, bar, thumbW, thumbH); });
        const float x = bar.horizontal ? thumbStart : 0.0f;
        const float y = bar.horizontal ? 0.0f : thumbStart;
        const GuiRect destination{x, y, x + thumbW - 1.0f, y + thumbH - 1.0f};
        const GuiRect source{0.0f, 0.0f, thumbW - 1.0f, thumbH - 1.0f};
        dc.blitBitmap(thumb, &destination, 1.0f, 1, &source);
    }

    // The picture `kept` holds, else one drawn now and kept. One drawn while
    // the host changed what it shows (`changes` moved meanwhile) is not kept:
    // `drawn` holds it for this repaint only.
    template <class Draw>
    static IBitmap* pictureOf(ComPtr<IBitmap>& kept, const uint32_t& changes,
                              ComPtr<IBitmap>& drawn, Draw draw) {
        if (kept)
            return kept.get();
        const uint32_t seen = changes;
        drawn = draw();
        if (seen == changes)
            kept = drawn;
        return drawn.get();
    }

    // A repaint in progress, nested ones counted. The host holds a picture it
    // blits only borrowed, so a picture forgotten from inside a repaint lives
    // on until the outermost repaint ends.
    class Painting {
    public:
        explicit Painting(ScrollBar& bar) : bar(bar) { ++bar.paintDepth; }
        Painting(const Painting&) = delete;
        Painting& operator=(const Painting&) = delete;
        ~Painting() {
            if (--bar.paintDepth == 0 && !bar.retired.empty()) {
                // Taken out first: the host may call back while they go.
                const auto released = std::move(bar.retired);
                bar.retired.clear();
            }
        }

    private:
        ScrollBar& bar;
    };

    // A picture is forgotten when something it shows changes.
    void forgetTrack() {
        retire(trackBitmap);
        ++trackChanges;
    }
    void forgetThumb() {
        retire(thumbBitmap);
        ++thumbChanges;
    }
    void retire(ComPtr<IBitmap>& picture) {
        if (paintDepth > 0 && picture)
            retired.push_back(std::move(picture));
        picture.reset();
    }

    void placeThumb(const BarMeasures& bar) {
        if (pageSize < range) {
            const float minimum = (bar.thickness - bar.margin) + 2.0f * bar.chevron + 2.0f;
            thumbLength = std::max(pageSize * bar.length / range, minimum);
            const float free = bar.length - thumbLength;
            thumbStart = std::min(free, position * free / (range - pageSize));
        } else {
            thumbStart = 0.0f;
            thumbLength = bar.length;
        }
        thumbEnd = thumbStart + thumbLength - 1.0f;
    }

    static ComPtr<IBrush> solidBrush(IDrawingContext& dc, const GuiColour& colour) {
        ComPtr<IBrush> brush;
        dc.makeSolidBrush(&colour, brush.put());
        return brush;
    }

    // An offscreen target of w x h with its frame begun and cleared to
    // transparent; null when the context makes none.
    static ComPtr<IOffscreenTarget> beginOffscreen(IDrawingContext& dc, float w, float h) {
        ComPtr<IOffscreenTarget> target;
        const GuiSize size{w, h};
        dc.makeOffscreenTarget(&size, target.put());
        if (!target)
            return {};
        target->beginFrame();
        const GuiColour clear{0.0f, 0.0f, 0.0f, 0.0f};
        target->clearTo(&clear);
        return target;
    }

    static ComPtr<IBitmap> finish(IOffscreenTarget& target) {
        target.endFrame();
        ComPtr<IBitmap> bitmap;
        target.takeBitmap(bitmap.put());
        return bitmap;
    }

    // The optional gradient and centre lines; objects are made with the main context.
    ComPtr<IBitmap> drawTrack(IDrawingContext& dc, const BarMeasures& bar, float w, float h) {
        const ComPtr<IOffscreenTarget> target = beginOffscreen(dc, w, h);
        if (!target)
            return {};

        const auto white = solidBrush(dc, srgbColour(255, 255, 255, halfAlpha));
        const auto black = solidBrush(dc, srgbColour(0, 0, 0, halfAlpha));

        if (trackEndColour.a > 0.0f || trackStartColour.a > 0.0f) {
            const LinearGradientSpec spec{
                {0.0f, 0.0f}, bar.horizontal ? GuiPoint{w - 1.0f, 0.0f} : GuiPoint{0.0f, h - 1.0f}};
            const ComPtr<IBrush> gradient =
                twoStopLinearBrush(dc, trackStartColour, trackEndColour, spec);
            const GuiRect all{0.0f, 0.0f, w - 1.0f, h - 1.0f};
            target->paintRect(&all, gradient.get());
        }

        // One bar thickness clear of each end, one pixel either side of the middle.
        if (centreLinesPin.get()) {
            if (bar.horizontal) {
                target->strokeLine({h, h / 2 - 1.0f}, {w - h, h / 2 - 1.0f}, black.get(), 1.0f,
                                   nullptr);
                target->strokeLine({h, h / 2 + 1.0f}, {w - h, h / 2 + 1.0f}, white.get(), 1.0f,
                                   nullptr);
            } else {
                target->strokeLine({w / 2 - 1.0f, w}, {w / 2 - 1.0f, h - w}, black.get(), 1.0f,
                                   nullptr);
                target->strokeLine({w / 2 + 1.0f, w}, {w / 2 + 1.0f, h - w}, white.get(), 1.0f,
                                   nullptr);
            }
        }
        return finish(*target.get());
    }

    // A bevelled rounded bar with a chevron at each end; a pressed thumb draws
    // its highlight, face and chevrons one pixel right and down.
    ComPtr<IBitmap> drawThumb(IDrawingContext& dc, const BarMeasures& bar, float w, float h) {
        const auto light = solidBrush(dc, thumbLightShade);
        const auto dark = solidBrush(dc, thumbDarkShade);
        const ComPtr<IOffscreenTarget> target = beginOffscreen(dc, w, h);
        if (!target)
            return {};

        const float p = thumbPressed ? 1.0f : 0.0f;
        const float m = bar.margin;
        const float r = bar.radius;
        const GuiRoundedRect highlight{{p, p, p + w - m - 1.0f, p + h - m - 1.0f}, r, r};
        target->paintRoundedRect(&highlight, light.get());
        const GuiRoundedRect shadow{{m, m, w - 1.0f, h - 1.0f}, r, r};
        target->paintRoundedRect(&shadow, dark.get());
        const auto face = solidBrush(dc, thumbColour);
        const GuiRoundedRect faceRect{
            {p + m / 2, p + m / 2, p + w - m / 2 - 1.0f, p + h - m / 2 - 1.0f}, r, r};
        target->paintRoundedRect(&faceRect, face.get());

        const float half = bar.thickness / 2;
        const float q = bar.chevron;
        auto chevron = [&](GuiPoint apex, GuiPoint armA, GuiPoint armB) {
            target->strokeLine(apex, armA, light.get(), 2.0f, nullptr);
            target->strokeLine(apex, armB, light.get(), 2.0f, nullptr);
        };
        if (bar.horizontal) {
            const float left = p + r;
            const float right = p + w - 1.0f - r;
            chevron({left, p + half}, {left + q, p + half - q}, {left + q, p + half + q});
            chevron({right, p + half}, {right - q, p + half - q}, {right - q, p + half + q});
        } else {
            const float top = p + r;
            const float bottom = p + h - 1.0f - r;
            chevron({p + half, top}, {p + half - q, top + q}, {p + half + q, top + q});
            chevron({p + half, bottom}, {p + half - q, bottom - q}, {p + half + q, bottom - q});
        }
        return finish(*target.get());
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Position = 0,
        PageSize = 1,
        Range = 2,
        Dragging = 3,
        StepBack = 4,
        StepForward = 5,
        TrackEndColour = 6,
        TrackStartColour = 7,
        ThumbColour = 8,
        CentreLines = 9,
        Count
    };
    MpGuiPin<int32_t> positionPin;
    MpGuiPin<int32_t> pageSizePin;
    MpGuiPin<int32_t> rangePin;
    MpGuiPin<bool> draggingPin;
    MpGuiPin<bool> stepBackPin;
    MpGuiPin<bool> stepForwardPin;
    StringGuiPin trackEndColourPin;
    StringGuiPin trackStartColourPin;
    StringGuiPin thumbColourPin;
    MpGuiPin<bool> centreLinesPin;

    float position = 0.0f;
    float pageSize = 0.0f;
    float range = 0.0f;
    float thumbStart = 0.0f;
    float thumbEnd = 0.0f;
    float thumbLength = 0.0f;
    float drawnWidth = 0.0f;
    float drawnHeight = 0.0f;
    float dragLastCoord = 0.0f;
    int32_t dragLastSent = 0;
    int32_t repeatCount = 0;
    bool sendingPosition = false; // raised for the length of one send of the position
    bool thumbPressed = false;
    GuiColour defaultTrackEndColour{};
    GuiColour defaultTrackStartColour{};
    GuiColour defaultThumbColour{};
    GuiColour trackEndColour{};
    GuiColour trackStartColour{};
    GuiColour thumbColour{};
    GuiColour thumbLightShade{1.0f, 1.0f, 1.0f, 1.0f};
    GuiColour thumbDarkShade{1.0f, 1.0f, 1.0f, 1.0f};
    uint32_t trackChanges = 0; // times each picture was forgotten
    uint32_t thumbChanges = 0;
    int32_t paintDepth = 0;
    // Released before the pins, as the pictures are the last members.
    std::vector<ComPtr<IBitmap>> retired; // forgotten during a repaint
    ComPtr<IBitmap> trackBitmap;
    ComPtr<IBitmap> thumbBitmap;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"ScrollBar", &createModule<ScrollBar>},
});
} // namespace
