// MouseBox: an invisible area that reports what the pointer does while a
// button is held down on it: its position in pixels and as a fraction of the
// area, its angle around the centre, and how far each of these moved since the
// previous report; it also reports its own size. It loads no picture; the
// image base gives it hint text and a context menu.
#include "../../framework/MpFactory.h"
#include "../../platform/BoundaryGuard.h"
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
        return guardedCall(ResultFailure, [&] {
            boxWidth = platform::saturatingToInt32(double(bounds.right - bounds.left));
            boxHeight = platform::saturatingToInt32(double(bounds.bottom - bounds.top));
            widthPin.setAndSend(boxWidth);
            heightPin.setAndSend(boxHeight);
            return ResultSuccess;
        });
    }

    // Any button starts tracking; the change outputs start from 0.
    int32_t onPress(int32_t, GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            const uint32_t press = beginPointerEvent();
            takePointerCapture();
            if (!pointerEventStands(press))
                return ResultSuccess;
            const Report report = reportOf(positionOf(point), true);
            mouseDownPin.setAndSend(true);
            send(report, press);
            return ResultSuccess;
        });
    }

    // Reports the change since the previous press or move.
    int32_t onMotion(int32_t, GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            if (!queryPointerCapture())
                return ResultFailure;
            send(reportOf(positionOf(point), false), lastPointerEvent());
            return ResultSuccess;
        });
    }

    // Clears the press and the change outputs; the position outputs stay.
    int32_t onRelease(int32_t, GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            // A press the host begins from inside these calls stands.
            const uint32_t release = beginPointerEvent();
            mouseDownPin.setAndSend(false);
            sendWhileStands(release, deltaYPin, 0);
            sendWhileStands(release, deltaXPin, 0);
            sendWhileStands(release, deltaAnglePin, 0.0f);
            sendWhileStands(release, deltaYFractionPin, 0.0f);
            sendWhileStands(release, deltaXFractionPin, 0.0f);
            if (pointerEventStands(release))
                dropPointerCapture();
            return probeHit(point);
        });
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

    // The values of one report, all taken before the first is sent: the host
    // may write to the pins or call back from inside each send.
    struct Report {
        Position p;
        float xFraction, yFraction, angle;
        int32_t deltaX, deltaY;
        float deltaXFraction, deltaYFraction, deltaAngle;
    };

    // The report of a position, measured from the previous one (from itself
    // at a press), which it then becomes.
    Report reportOf(Position p, bool pressed) {
        Report r{p,
                 float(p.x) / float(boxWidth),
                 float(p.y) / float(boxHeight),
                 angleOf(p),
                 0,
                 0,
                 0.0f,
                 0.0f,
                 0.0f};
        if (pressed) {
            lastPointerX = p.x;
            lastPointerY = p.y;
            lastXFraction = r.xFraction;
            lastYFraction = r.yFraction;
            lastAngleFraction = r.angle;
        }
        r.deltaX = clamped(int64_t(p.x) - lastPointerX);
        r.deltaY = clamped(int64_t(p.y) - lastPointerY);
        r.deltaXFraction = r.xFraction - lastXFraction;
        r.deltaYFraction = r.yFraction - lastYFraction;
        // Across the top the angle jumps between 0 and 1: the change stays small.
        r.deltaAngle = r.angle - lastAngleFraction;
        if (r.deltaAngle > 0.5f)
            r.deltaAngle = r.deltaAngle - 1.0f;
        else if (r.deltaAngle < -0.5f)
            r.deltaAngle = r.deltaAngle + 1.0f;
        lastPointerX = p.x;
        lastPointerY = p.y;
        lastXFraction = r.xFraction;
        lastYFraction = r.yFraction;
        lastAngleFraction = r.angle;
        return r;
    }

    // Sends a report while pointer event `event` stands: a press or a
    // release that the host begins from inside a send ends it.
    void send(const Report& r, uint32_t event) {
        sendWhileStands(event, pointerXPin, r.p.x);
        sendWhileStands(event, pointerYPin, r.p.y);
        sendWhileStands(event, xFractionPin, r.xFraction);
        sendWhileStands(event, yFractionPin, r.yFraction);
        sendWhileStands(event, pointerAnglePin, r.angle);
        sendWhileStands(event, deltaXPin, r.deltaX);
        sendWhileStands(event, deltaYPin, r.deltaY);
        sendWhileStands(event, deltaXFractionPin, r.deltaXFraction);
        sendWhileStands(event, deltaYFractionPin, r.deltaYFraction);
        sendWhileStands(event, deltaAnglePin, r.deltaAngle);
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
