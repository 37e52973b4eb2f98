// PolarPicker: sets an angle and a radius with the pointer. A handle drawn
// from a skin picture sits at the polar position inside the area; a press puts
// it under the pointer and dragging moves it, the radius stopping at the edge
// of the travel. Behind the handle a disc filled with a two-colour radial
// gradient may be painted, with an inset of its own and a shifted centre.
#include "../../framework/GradientBrush.h"
#include "../../framework/MpFactory.h"
#include "../../framework/SrgbTables.h"
#include "../../platform/BoundaryGuard.h"
#include "../../platform/NumberText.h"
#include "../../skin/ImageBase.h"

#include <cmath>

using gmpi_sdk::ComPtr;

namespace {

constexpr float fullTurn = 6.28318548f;        // 2 pi as float32
constexpr float turnsPerRadian = 0.159154937f; // 1 / (2 pi) as float32

// How far along the travel the pointer puts the handle's centre, 0 at the
// start and 1 at the end. An area no larger than the handle has no travel on
// that axis: the handle stays at its middle.
float travelRatio(float coordinate, float handle, float extent) {
    const float travel = extent - handle;
    if (!(travel > 0.0f))
        return 0.5f;
    return (coordinate - handle * 0.5f) / travel;
}

} // namespace

class PolarPicker final : public ImageBase {
public:
    PolarPicker() {
        defaultEdgeColour = srgbColour(64, 128, 192, 1.0f);
        defaultCentreColour = srgbColour(0, 32, 64, 1.0f);
        edgeColour = defaultEdgeColour;
        centreColour = defaultCentreColour;

        registerPin(PinIndex::AnimationPosition, animationPositionPin,
                    &ImageBase::onAnimationPosition);
        registerPin(PinIndex::ImageFile, imageFilePin, &ImageBase::onSetImageFile);
        registerPin(PinIndex::Hint, hintPin);
        registerPin(PinIndex::MenuItems, menuItemsPin);
        registerPin(PinIndex::MenuSelection, menuSelectionPin);
        registerPin(PinIndex::MouseDown, mouseDownPin);
        registerPin(PinIndex::FrameCount, frameCountPin);
        registerPin(PinIndex::Angle, anglePin, &PolarPicker::onSetAngle);
        registerPin(PinIndex::Radius, radiusPin, &PolarPicker::onSetRadius);
        registerPin(PinIndex::CentreColour, centreColourPin, &PolarPicker::onSetColours);
        registerPin(PinIndex::EdgeColour, edgeColourPin, &PolarPicker::onSetColours);
        registerPin(PinIndex::Inset, insetPin, &PolarPicker::onSetInset);
        registerPin(PinIndex::CentreOffsetX, centreOffsetXPin, &PolarPicker::onSetCentreOffsetX);
        registerPin(PinIndex::CentreOffsetY, centreOffsetYPin, &PolarPicker::onSetCentreOffsetY);
    }
    ~PolarPicker() override = default;

    int32_t onRepaint(gmpi::IMpUnknown* drawingHost) override {
        return guardedCall(ResultFailure, [&] {
            const auto dc = gmpi_sdk::queryInterfaceOf<IDrawingContext>(drawingHost);
            if (!dc)
                return ResultSuccess;
            const float w = bounds.right - bounds.left;
            const float h = bounds.bottom - bounds.top;
            if (centreColour.a > 0.0f || edgeColour.a > 0.0f)
                paintDisc(*dc.get(), w, h);
            if (hasPicture())
                paintHandle(*dc.get(), w, h);
            return ResultSuccess;
        });
    }

    // With the first button and a picture, the handle jumps under the pointer
    // wherever the press is.
    int32_t onPress(int32_t flags, GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            if (!(flags & gmpi_gui_api::PointerButtonDown) || !hasPicture())
                return ResultSuccess;
            const uint32_t press = beginPointerEvent();
            takePointerCapture();
            if (!pointerEventStands(press))
                return ResultSuccess;
            mouseDownPin.setAndSend(true);
            // The host may have dropped the picture or ended the press from
            // inside those calls.
            if (pointerEventStands(press) && hasPicture())
                pointToPolar(point);
            return ResultSuccess;
        });
    }

    int32_t onMotion(int32_t, GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            if (!queryPointerCapture())
                return ResultFailure;
            pointToPolar(point);
            return ResultSuccess;
        });
    }

    int32_t onRelease(int32_t, GuiPoint) override {
        const uint32_t release = beginPointerEvent();
        guardedCall([&] { mouseDownPin.setAndSend(false); });
        return guardedCall(ResultFailure, [&] { return endPress(release); });
    }

    float getAnimationPosition() override { return animationPositionPin.get(); }
    void setAnimationPosition(float position) override {
        animationPositionPin.setAndSend(position);
    }

    void onImageLoaded() override { measureHandle(handle, frameCountPin); }

    std::u16string getHintText() override { return hintPin.get(); }

private:
    bool hasPicture() { return currentBitmap() && metadata; }

    // The handle's centre under the point as angle and radius on pins 7 and 8.
    void pointToPolar(GuiPoint point) {
        const float w = bounds.right - bounds.left;
        const float h = bounds.bottom - bounds.top;
        // From -1 to 1: u from the left to the right, v from the bottom to the top.
        const float u = 2.0f * travelRatio(point.x, handle.width, w) - 1.0f;
        const float v = 2.0f * (1.0f - travelRatio(point.y, handle.height, h)) - 1.0f;
        float r = float(std::hypot(double(u), double(v)));
        if (r > 1.0f)
            r = 1.0f;
        float a = 0.0f;
        if (r != 0.0f) {
            // atan2 in double, rounded once: the same on every runtime.
            float t = float(std::atan2(double(v), double(u)));
            if (v < 0.0f)
                t = t + fullTurn;
            a = t * turnsPerRadian;
        }
        anglePin.setAndSend(a);
        radiusPin.setAndSend(r);
    }

    void paintDisc(IDrawingContext& dc, float w, float h) {
        const float cx = w * 0.5f;
        const float cy = h * 0.5f;
        const GuiPoint centre{cx + centreOffsetX, cy + centreOffsetY};
        const float radiusX = cx - inset;
        const float radiusY = cy - inset;

        const RadialGradientSpec spec{centre, {0.0f, 0.0f}, radiusX, radiusY};
        ComPtr<IBrush> brush = twoStopRadialBrush(dc, centreColour, edgeColour, spec);
        if (!brush)
            dc.makeSolidBrush(&centreColour, brush.put());
        const GuiEllipse disc{centre, radiusX, radiusY};
        dc.paintEllipse(&disc, brush.get());
    }

    // The current frame, without its paddings, at the handle's place.
    void paintHandle(IDrawingContext& dc, float w, float h) {
        const float t = fullTurn * angle;
        const float c = float(std::cos(double(t)));
        const float s = float(std::sin(double(t)));
        const float left = ((c * radius + 1.0f) * 0.5f) * (w - handle.width);
        const float top = ((1.0f - radius * s) * 0.5f) * (h - handle.height);
        drawFrameAt(dc, left, top);
    }

    void onSetAngle() {
        angle = platform::clampUnit(anglePin.get());
        repaintAll();
    }

    void onSetRadius() {
        radius = platform::clampUnit(radiusPin.get());
        repaintAll();
    }

    void onSetInset() {
        inset = insetPin.get();
        if (inset < 0.0f)
            inset = 0.0f;
        repaintAll();
    }

    void onSetCentreOffsetX() {
        centreOffsetX = float(centreOffsetXPin.get());
        repaintAll();
    }

    void onSetCentreOffsetY() {
        centreOffsetY = float(centreOffsetYPin.get());
        repaintAll();
    }

    void onSetColours() {
        centreColour = colourFromArgbText(centreColourPin.get(), defaultCentreColour);
        edgeColour = colourFromArgbText(edgeColourPin.get(), defaultEdgeColour);
        repaintAll();
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        AnimationPosition = 0,
        ImageFile = 1,
        Hint = 2,
        MenuItems = 3,
        MenuSelection = 4,
        MouseDown = 5,
        FrameCount = 6,
        Angle = 7,
        Radius = 8,
        CentreColour = 9,
        EdgeColour = 10,
        Inset = 11,
        CentreOffsetX = 12,
        CentreOffsetY = 13,
        Count
    };
    MpGuiPin<float> animationPositionPin;
    MpGuiPin<bool> mouseDownPin;
    MpGuiPin<int32_t> frameCountPin;
    MpGuiPin<float> anglePin;
    MpGuiPin<float> radiusPin;
    StringGuiPin centreColourPin;
    StringGuiPin edgeColourPin;
    MpGuiPin<float> insetPin;
    MpGuiPin<int32_t> centreOffsetXPin;
    MpGuiPin<int32_t> centreOffsetYPin;

    GuiSize handle{0.0f, 0.0f}; // a frame with its paddings
    float angle = 0.0f;
    float radius = 0.0f;
    float inset = 100.0f;
    float centreOffsetX = 0.0f;
    float centreOffsetY = 0.0f;
    GuiColour defaultEdgeColour{};
    GuiColour defaultCentreColour{};
    GuiColour edgeColour{};
    GuiColour centreColour{};
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"PolarPicker", &createModule<PolarPicker>},
});
} // namespace
