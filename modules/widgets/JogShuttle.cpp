// JogShuttle: a skinned dial turned by dragging the pointer around the
// module's centre. Each full turn changes the value by (maximum - minimum) /
// revolutions within the range; the fraction of the current turn goes out as
// the animation position, so the picture turns with the pointer, and the
// turns of each move go out too.
#include "../../framework/MpFactory.h"
#include "../../platform/BoundaryGuard.h"
#include "../../skin/ImageBase.h"

#include <cmath>

namespace {

constexpr float pi = 3.14159274f;
constexpr float twoPi = 6.28318548f;
constexpr float inverseTwoPi = 0.159154937f;

} // namespace

class JogShuttle final : public ImageBase {
public:
    JogShuttle() {
        registerPin(PinIndex::Phase, phasePin, &ImageBase::onAnimationPosition);
        registerPin(PinIndex::Value, valuePin, &JogShuttle::onSetValue);
        registerPin(PinIndex::Minimum, minimumPin, &JogShuttle::onSetMinimum);
        registerPin(PinIndex::Maximum, maximumPin, &JogShuttle::onSetMaximum);
        registerPin(PinIndex::Revolutions, revolutionsPin, &JogShuttle::onSetRevolutions);
        registerPin(PinIndex::ImageFile, imageFilePin, &ImageBase::onSetImageFile);
        registerPin(PinIndex::Hint, hintPin);
        registerPin(PinIndex::MenuItems, menuItemsPin);
        registerPin(PinIndex::MenuSelection, menuSelectionPin);
        registerPin(PinIndex::MouseDownA, mouseDownPinA);
        registerPin(PinIndex::MouseDownB, mouseDownPinB);
        registerPin(PinIndex::FrameCountA, frameCountPinA);
        registerPin(PinIndex::FrameCountB, frameCountPinB);
        registerPin(PinIndex::Turns, turnsPin);
    }
    ~JogShuttle() override = default;

    int32_t computeDesiredSize(GuiSize, GuiSize* desired) override {
        if (!desired)
            return ResultFailure;
        if (!currentBitmap() || !metadata) {
            *desired = GuiSize{10.0f, 10.0f};
            return ResultSuccess;
        }
        *desired = paddedFrameSize(*metadata);
        return ResultSuccess;
    }

    int32_t onPress(int32_t flags, GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            if (!hitsPicture(point))
                return ResultFailure;
            if (!(flags & gmpi_gui_api::PointerButtonDown))
                return ResultSuccess;
            const uint32_t press = beginPointerEvent();
            lastAngle = angleOf(point);
            // A press or a release the host begins from inside a send stands.
            mouseDownPinA.setAndSend(true);
            if (!pointerEventStands(press))
                return ResultSuccess;
            mouseDownPinB.setAndSend(true);
            if (!pointerEventStands(press))
                return ResultSuccess;
            takePointerCapture();
            return ResultSuccess;
        });
    }

    int32_t onMotion(int32_t, GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            if (!queryPointerCapture())
                return ResultFailure;
            const float angle = angleOf(point);
            float step = angle - lastAngle;
            lastAngle = angle;
            // Across the jump of the angle at the left of the centre a step stays small.
            if (step > pi)
                step -= twoPi;
            else if (step < -pi)
                step += twoPi;
            const float turns = inverseTwoPi * step;
            float v = turns * (maximum - minimum) / revolutions + currentValue;
            if (v < minimum)
                v = minimum;
            else if (v > maximum)
                v = maximum;
            // A step without a value (no turn while revolutions is 0) moves nothing.
            if (v == currentValue || std::isnan(v))
                return ResultSuccess;
            moveValueTo(v);
            turnsPin.setAndSend(turns);
            return ResultSuccess;
        });
    }

    int32_t onRelease(int32_t flags, GuiPoint point) override {
        return ImageBase::onRelease(flags, point);
    }

    int32_t probeHit(GuiPoint point) override {
        return guardedCall(ResultFailure,
                           [&] { return hitsPicture(point) ? ResultSuccess : ResultFailure; });
    }

    float getAnimationPosition() override { return phasePin.get(); }
    void setAnimationPosition(float position) override { phasePin.setAndSend(position); }

    void onImageLoaded() override {
        if (!metadata)
            return;
        const int32_t frames = frameCountOf(*metadata);
        const uint32_t load = pictureLoadCount();
        frameCountPinB.setAndSend(frames);
        // A picture loaded from inside the send has sent its own counts.
        if (pictureLoadCount() == load)
            frameCountPinA.setAndSend(frames);
    }

    std::u16string getHintText() override { return hintPin.get(); }
    // Always ResponseR, whatever the picture says.
    int32_t getResponseMode() override { return ResponseR; }

    void onSetValue() {
        const float v = valuePin.get();
        if (std::isnan(v))
            return;
        const float c = v > maximum ? maximum : (v < minimum ? minimum : v);
        if (c == currentValue)
            return;
        currentValue = c;
        updatePhase();
    }

    // A minimum at or above the maximum (or no number) is ignored.
    void onSetMinimum() {
        const float m = minimumPin.get();
        if (!(m < maximum))
            return;
        minimum = m;
        if (m > currentValue)
            moveValueTo(m);
    }

    void onSetMaximum() {
        const float m = maximumPin.get();
        if (!(minimum < m))
            return;
        maximum = m;
        if (currentValue > m)
            moveValueTo(m);
    }

    void onSetRevolutions() {
        revolutions = revolutionsPin.get();
        updatePhase();
    }

    // The fraction of the current turn, 0 <= p < 1, on the animation position.
    void updatePhase() {
        float p = (currentValue - minimum) * revolutions / (maximum - minimum);
        p = std::isfinite(p) ? p - std::trunc(p) : 0.0f;
        if (p < 0.0f)
            p += 1.0f;
        phasePin.setAndSend(p);
    }

private:
    // The value the dial moved to, sent, then the phase it gives.
    void moveValueTo(float v) {
        currentValue = v;
        valuePin.setAndSend(v);
        updatePhase();
    }

    // 0 to 2 pi around the module's centre, growing clockwise on screen.
    float angleOf(GuiPoint point) const {
        const float cx = (bounds.right - bounds.left) * 0.5f;
        const float cy = (bounds.bottom - bounds.top) * 0.5f;
        // atan2 in double, rounded once: the same on every runtime.
        const float a = float(std::atan2(double(point.y - cy), double(point.x - cx)));
        return a + pi;
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Phase = 0,
        Value = 1,
        Minimum = 2,
        Maximum = 3,
        Revolutions = 4,
        ImageFile = 5,
        Hint = 6,
        MenuItems = 7,
        MenuSelection = 8,
        MouseDownA = 9,
        MouseDownB = 10,
        FrameCountA = 11,
        FrameCountB = 12,
        Turns = 13,
        Count
    };
    MpGuiPin<float> phasePin;
    MpGuiPin<float> valuePin;
    MpGuiPin<float> minimumPin;
    MpGuiPin<float> maximumPin;
    MpGuiPin<float> revolutionsPin;
    MpGuiPin<int32_t> frameCountPinA;
    MpGuiPin<int32_t> frameCountPinB;
    MpGuiPin<float> turnsPin;

    float revolutions = 10.0f;
    float currentValue = 0.0f;
    float minimum = 0.0f;
    float maximum = 10.0f;
    float lastAngle = 0.0f;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"JogShuttle", &createModule<JogShuttle>},
});
} // namespace
