// KZLine: fills its area with a background colour and strokes one horizontal
// or vertical line across it; a bool output is true while the pointer is held
// down on the line.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiGfxBase.h"
#include "../../framework/SrgbTables.h"
#include "../../platform/BoundaryGuard.h"
#include "../../platform/NumberText.h"

using gmpi_sdk::ComPtr;

class Line final : public gmpi_gui::MpGuiGfxBase {
public:
    Line() {
        defaultLineColour = srgbColour(255, 128, 0, 1.0f);
        defaultBackgroundColour = srgbColour(0, 0, 0, 0.0f);
        lineColour = defaultLineColour;
        backgroundColour = defaultBackgroundColour;

        registerPin(PinIndex::Vertical, verticalPin, &Line::onSetVertical);
        registerPin(PinIndex::Position, positionPin, &Line::onSetPosition);
        registerPin(PinIndex::Thickness, thicknessPin, &Line::onSetThickness);
        registerPin(PinIndex::LineColour, lineColourPin, &Line::onSetLineColour);
        registerPin(PinIndex::BackgroundColour, backgroundColourPin, &Line::onSetBackgroundColour);
        registerPin(PinIndex::MouseDown, mouseDownPin);
    }

    int32_t onRepaint(gmpi::IMpUnknown* drawingHost) override {
        return guardedCall(ResultFailure, [&] {
            const auto dc = gmpi_sdk::queryInterfaceOf<IDrawingContext>(drawingHost);
            if (!dc)
                return ResultSuccess;
            drawnWidth = bounds.right - bounds.left;
            drawnHeight = bounds.bottom - bounds.top;

            ComPtr<IBrush> background;
            dc->makeSolidBrush(&backgroundColour, background.put());
            dc->paintRect(&bounds, background.get());
            ComPtr<IBrush> stroke;
            dc->makeSolidBrush(&lineColour, stroke.put());
            background.reset();

            // The stroke is measured from the drawing area's corner, not from bounds.
            GuiPoint from{}, to{};
            if (vertical) {
                const float x = (drawnWidth - 1.0f) * position;
                from = {x, 0.0f};
                to = {x, drawnHeight - 1.0f};
            } else {
                const float y = (drawnHeight - 1.0f) * position;
                from = {0.0f, y};
                to = {drawnWidth - 1.0f, y};
            }
            dc->strokeLine(from, to, stroke.get(), thickness, nullptr);
            return ResultSuccess;
        });
    }

    // Any button counts; 1 when the press is on the line, else 0.
    int32_t onPress(int32_t, GuiPoint point) override {
        return guardedCall(ResultFailure, [&]() -> int32_t {
            if (!isOnLine(point))
                return ResultSuccess;
            const uint32_t press = beginPointerEvent();
            mouseDownPin.setAndSend(true);
            // A release the host makes from inside the send ends the press.
            if (pointerEventStands(press))
                takePointerCapture();
            return 1;
        });
    }

    // Ends the press wherever the pointer is released.
    int32_t onRelease(int32_t, GuiPoint) override {
        return guardedCall(ResultFailure, [&] {
            // A press the host begins from inside these calls stands.
            const uint32_t release = beginPointerEvent();
            if (queryPointerCapture() && pointerEventStands(release))
                dropPointerCapture();
            sendWhileStands(release, mouseDownPin, false);
            return ResultSuccess;
        });
    }

    int32_t probeHit(GuiPoint point) override {
        return isOnLine(point) ? ResultSuccess : ResultFailure;
    }

private:
    void onSetVertical() {
        vertical = verticalPin.get();
        requestRepaint();
    }

    void onSetPosition() {
        const float v = platform::clampUnit(positionPin.get());
        if (!(v == position)) {
            position = v;
            requestRepaint();
        }
    }

    void onSetThickness() {
        float t = float(thicknessPin.get());
        if (t < 1.0f)
            t = 1.0f;
        if (t != thickness) {
            thickness = t;
            requestRepaint();
        }
    }

    void onSetLineColour() {
        lineColour = colourFromArgbText(lineColourPin.get(), defaultLineColour);
        requestRepaint();
    }

    void onSetBackgroundColour() {
        backgroundColour = colourFromArgbText(backgroundColourPin.get(), defaultBackgroundColour);
        requestRepaint();
    }

    // The band of the stroke's width around extent × position across the
    // line, as the area measured at the last repaint; both edges count and a
    // NaN is off the line. The other coordinate is not looked at.
    bool isOnLine(GuiPoint point) const {
        const float c = vertical ? point.x : point.y;
        const float extent = vertical ? drawnWidth : drawnHeight;
        const float start = extent * position - 0.5f * thickness;
        return start <= c && c <= start + thickness;
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Vertical = 0,
        Position = 1,
        Thickness = 2,
        LineColour = 3,
        BackgroundColour = 4,
        MouseDown = 5,
        Count
    };
    MpGuiPin<bool> verticalPin;
    MpGuiPin<float> positionPin;
    MpGuiPin<int32_t> thicknessPin;
    StringGuiPin lineColourPin;
    StringGuiPin backgroundColourPin;
    MpGuiPin<bool> mouseDownPin;

    bool vertical = false;
    float position = 0.0f;
    float thickness = 1.0f;
    float drawnWidth = 0.0f;
    float drawnHeight = 0.0f;
    GuiColour defaultLineColour{};
    GuiColour defaultBackgroundColour{};
    GuiColour lineColour{};
    GuiColour backgroundColour{};
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZLine", &createModule<Line>},
});
} // namespace
