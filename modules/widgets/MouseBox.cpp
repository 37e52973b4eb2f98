// MouseBox: an invisible area that reports what the pointer does while a
// button is held down on it: its position in pixels and as a fraction of the
// area, its angle around the centre, and how far each of these moved since the
// previous report; it also reports its own size. It loads no picture; the
// image base gives it hint text and a context menu.
#include "../../framework/MpFactory.h"
#include "../../platform/NumberText.h"
#include "../../skin/ImageBase.h"

#include <cmath>

namespace {

constexpr float turnsPerRadian = 0.159154937f; // 1 / (2 pi) as float32

// Integer arithmetic on pointer coordinates, clamped to 32 bits: a captured
// pointer far outside the area must not overflow.
int32_t clamped(int64_t value) {
    return platform::saturatingToInt32(double(value));
}

} // namespace

class MouseBox final : public ImageBase {
public:
    MouseBox() {
        registerPin(PinIndex::FlipFlags, flipFlagsPin);
        registerPin(PinIndex::Hint, hintPin);
        registerPin(PinIndex::MenuItems, menuItemsPin);
        registerPin(PinIndex::MenuSelection, menuSelectionPin);
        registerPin(PinIndex::MouseDown, mouseDownPin);
        registerPin(PinIndex::Width, widthPin);
        registerPin(PinIndex::Height, heightPin);
        registerPin(PinIndex::PointerX, pointerXPin);
        registerPin(PinIndex::PointerY, pointerYPin);
        registerPin(PinIndex::XFraction, xFractionPin);
        registerPin(PinIndex::YFraction, yFractionPin);
        registerPin(PinIndex::PointerAngle, pointerAnglePin);
        registerPin(PinIndex::DeltaX, deltaXPin);
        registerPin(PinIndex::DeltaY, deltaYPin);
        registerPin(PinIndex::DeltaXFraction, deltaXFractionPin);
        registerPin(PinIndex::DeltaYFraction, deltaYFractionPin);
        registerPin(PinIndex::DeltaAngle, deltaAnglePin);
    }
    ~MouseBox() override = default;

    // Draws nothing; the size outputs follow the host's repaints.
    int32_t onRepaint(gmpi::IMpUnknown*) override {
        try {
            boxWidth = platform::saturatingToInt32(double(bounds.right - bounds.left));
            boxHeight = platform::saturatingToInt32(double(bounds.bottom - bounds.top));
            widthPin.setAndSend(boxWidth);
            heightPin.setAndSend(boxHeight);
            return ResultSuccess;
        } catch (...) {
            return ResultFailure;
        }
    }

    // Any button starts tracking; the change outputs start from 0.
    int32_t onPress(int32_t, GuiPoint point) override {
        try {
            takePointerCapture();
            const Position p = positionOf(point);
            lastPointerX = p.x;
            lastPointerY = p.y;
            lastXFraction = float(p.x) / float(boxWidth);
            lastYFraction = float(p.y) / float(boxHeight);
            lastAngleFraction = angleOf(p);
            mouseDownPin.setAndSend(true);
            sendOutputs(p);
            return ResultSuccess;
        } catch (...) {
            return ResultFailure;
        }
    }

    // Reports the change since the previous press or move.
    int32_t onMotion(int32_t, GuiPoint point) override {
        try {
            if (!queryPointerCapture())
                return ResultFailure;
            const Position p = positionOf(point);
            sendOutputs(p);
            lastPointerX = p.x;
            lastPointerY = p.y;
            lastXFraction = xFractionPin.get();
            lastYFraction = yFractionPin.get();
            lastAngleFraction = pointerAnglePin.get();
            return ResultSuccess;
        } catch (...) {
            return ResultFailure;
        }
    }

    // Clears the press and the change outputs; the position outputs stay.
    int32_t onRelease(int32_t, GuiPoint point) override {
        try {
            mouseDownPin.setAndSend(false);
            deltaYPin.setAndSend(0);
            deltaXPin.setAndSend(0);
            deltaAnglePin.setAndSend(0.0f);
            deltaYFractionPin.setAndSend(0.0f);
            deltaXFractionPin.setAndSend(0.0f);
            dropPointerCapture();
            return probeHit(point);
        } catch (...) {
            return ResultFailure;
        }
    }

    int32_t probeHit(GuiPoint) override { return ResultSuccess; }

    float getAnimationPosition() override { return 0.0f; }
    void setAnimationPosition(float) override {}
    void onImageLoaded() override {}
    std::u16string getHintText() override { return hintPin.get(); }

private:
    struct Position {
        int32_t x;
        int32_t y;
    };

    // Whole pixels, counted from the bottom and the right as pin 0's bits say.
    Position positionOf(GuiPoint point) const {
        int32_t x = platform::saturatingToInt32(double(point.x));
        int32_t y = platform::saturatingToInt32(double(point.y));
        const int32_t flips = flipFlagsPin.get();
        if (flips & 1)
            y = clamped(int64_t(boxHeight) - 1 - y);
        if (flips & 2)
            x = clamped(int64_t(boxWidth) - 1 - x);
        return {x, y};
    }

    // 0 above the centre, growing clockwise: 0.25 to the right, 0.5 below.
    float angleOf(Position p) const {
        const float across = float(boxWidth) * 0.5f - float(p.x);
        const float down = float(p.y) - float(boxHeight) * 0.5f;
        // atan2 in double, rounded once: the same on every runtime.
        return float(std::atan2(double(across), double(down))) * turnsPerRadian + 0.5f;
    }

    void sendOutputs(Position p) {
        pointerXPin.setAndSend(p.x);
        pointerYPin.setAndSend(p.y);
        xFractionPin.setAndSend(float(p.x) / float(boxWidth));
        yFractionPin.setAndSend(float(p.y) / float(boxHeight));
        pointerAnglePin.setAndSend(angleOf(p));
        deltaXPin.setAndSend(clamped(int64_t(p.x) - lastPointerX));
        deltaYPin.setAndSend(clamped(int64_t(p.y) - lastPointerY));
        deltaXFractionPin.setAndSend(xFractionPin.get() - lastXFraction);
        deltaYFractionPin.setAndSend(yFractionPin.get() - lastYFraction);
        // Across the top the angle jumps between 0 and 1: the change stays small.
        float d = pointerAnglePin.get() - lastAngleFraction;
        if (d > 0.5f)
            d = d - 1.0f;
        else if (d < -0.5f)
            d = d + 1.0f;
        deltaAnglePin.setAndSend(d);
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        FlipFlags = 0,
        Hint = 1,
        MenuItems = 2,
        MenuSelection = 3,
        MouseDown = 4,
        Width = 5,
        Height = 6,
        PointerX = 7,
        PointerY = 8,
        XFraction = 9,
        YFraction = 10,
        PointerAngle = 11,
        DeltaX = 12,
        DeltaY = 13,
        DeltaXFraction = 14,
        DeltaYFraction = 15,
        DeltaAngle = 16,
        Count
    };
    MpGuiPin<int32_t> flipFlagsPin;
    MpGuiPin<bool> mouseDownPin;
    MpGuiPin<int32_t> widthPin;
    MpGuiPin<int32_t> heightPin;
    MpGuiPin<int32_t> pointerXPin;
    MpGuiPin<int32_t> pointerYPin;
    MpGuiPin<float> xFractionPin;
    MpGuiPin<float> yFractionPin;
    MpGuiPin<float> pointerAnglePin;
    MpGuiPin<int32_t> deltaXPin;
    MpGuiPin<int32_t> deltaYPin;
    MpGuiPin<float> deltaXFractionPin;
    MpGuiPin<float> deltaYFractionPin;
    MpGuiPin<float> deltaAnglePin;

    // The size is 0 until the first repaint, which the host makes before any press.
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
    int32_t lastPointerX = 0;
    int32_t lastPointerY = 0;
    float lastXFraction = 0.0f;
    float lastYFraction = 0.0f;
    float lastAngleFraction = 0.0f;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"MouseBox", &createModule<MouseBox>},
});
} // namespace
