// BJoystickImage ("Better Joystick Image"): a handle drawn from a skin
// picture and dragged inside the module's area; its position goes out as X
// (growing to the right) and Y (growing upward) between chosen limits. A
// press may make the handle jump to the pointer, presses off the handle may
// be accepted, the fine-adjustment modifier scales drags, and a vertical
// two-colour gradient may fill the area behind the handle.
#include "../../framework/GradientBrush.h"
#include "../../framework/MpFactory.h"
#include "../../framework/SrgbTables.h"
#include "../../platform/BoundaryGuard.h"
#include "../../platform/NumberText.h"
#include "../../skin/ImageBase.h"

namespace {

// A pointer coordinate as a fraction of the handle's travel; an axis on which
// the module is no larger than its handle has no travel and gives 0.
float travelRatio(float offset, float travel) {
    return travel > 0.0f ? offset / travel : 0.0f;
}

} // namespace

class BJoystickImage final : public ImageBase {
public:
    BJoystickImage() {
        registerPin(PinIndex::Position, positionPin, &ImageBase::onAnimationPosition);
        registerPin(PinIndex::ImageFile, imageFilePin, &ImageBase::onSetImageFile);
        registerPin(PinIndex::Hint, hintPin);
        registerPin(PinIndex::MenuItems, menuItemsPin);
        registerPin(PinIndex::MenuSelection, menuSelectionPin);
        registerPin(PinIndex::MouseDown, mouseDownPin);
        registerPin(PinIndex::FrameCount, frameCountPin);
        registerPin(PinIndex::X, xPin, &BJoystickImage::onSetX);
        registerPin(PinIndex::Y, yPin, &BJoystickImage::onSetY);
        registerPin(PinIndex::JumpToClick, jumpToClickPin);
        registerPin(PinIndex::AcceptOffHandle, acceptOffHandlePin);
        registerPin(PinIndex::XMinimum, xMinimumPin, &BJoystickImage::onSetXMinimum);
        registerPin(PinIndex::XMaximum, xMaximumPin, &BJoystickImage::onSetXMaximum);
        registerPin(PinIndex::YMinimum, yMinimumPin, &BJoystickImage::onSetYMinimum);
        registerPin(PinIndex::YMaximum, yMaximumPin, &BJoystickImage::onSetYMaximum);
        registerPin(PinIndex::TopColour, topColourPin, &BJoystickImage::onSetColours);
        registerPin(PinIndex::BottomColour, bottomColourPin, &BJoystickImage::onSetColours);
        registerPin(PinIndex::FineFactor, fineFactorPin);
    }
    ~BJoystickImage() override = default;

    int32_t onRepaint(gmpi::IMpUnknown* drawingHost) override {
        return guardedCall(ResultFailure, [&] {
            const auto context = gmpi_sdk::queryInterfaceOf<IDrawingContext>(drawingHost);
            if (!context)
                return ResultSuccess;
            const float w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
            const LinearGradientSpec line{GuiPoint{0.0f, 0.0f}, GuiPoint{0.0f, h - 1.0f}};
            const auto brush = twoStopLinearBrush(*context.get(), topColour, bottomColour, line);
            if (brush && (topColour.a > 0.0f || bottomColour.a > 0.0f))
                context->paintRect(&bounds, brush.get());

            if (currentBitmap() && metadata) {
                handleX = (w - handle.width) * positionX;
                handleY = (h - handle.height) * (1.0f - positionY);
                drawFrameAt(*context.get(), handleX, handleY);
            }
            return ResultSuccess;
        });
    }

    int32_t onPress(int32_t flags, GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            if (!(flags & gmpi_gui_api::PointerButtonDown) || !currentBitmap())
                return ResultSuccess;
            if (!hitsHandle(point) && !acceptOffHandlePin.get() && !jumpToClickPin.get())
                return ResultSuccess;
            const uint32_t press = beginPointerEvent();
            takePointerCapture();
            if (!pointerEventStands(press))
                return ResultSuccess;
            mouseDownPin.setAndSend(true);
            // The host may have changed the picture, the bounds or the pins
            // from inside those calls, or ended the press: what follows reads
            // them now.
            if (!pointerEventStands(press) || !currentBitmap())
                return ResultSuccess;
            const float travelX = bounds.right - bounds.left - handle.width;
            const float travelY = bounds.bottom - bounds.top - handle.height;
            lastRatioX = travelRatio(point.x, travelX);
            lastRatioY = 1.0f - travelRatio(point.y, travelY);
            if (jumpToClickPin.get()) {
                // The handle's centre under the pointer.
                const float x =
                    clampX(travelX > 0.0f ? (point.x - handle.width * 0.5f) / travelX : positionX);
                const float y = clampY(
                    travelY > 0.0f ? 1.0f - (point.y - handle.height * 0.5f) / travelY : positionY);
                xPin.setAndSend(x);
                sendWhileStands(press, yPin, y);
            }
            return ResultSuccess;
        });
    }

    int32_t onMotion(int32_t flags, GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            if (!queryPointerCapture())
                return ResultFailure;
            const float factor =
                (flags & gmpi_gui_api::PointerFineAdjust) ? fineFactorPin.get() : 1.0f;
            const float rx = travelRatio(point.x, bounds.right - bounds.left - handle.width);
            const float ry =
                1.0f - travelRatio(point.y, bounds.bottom - bounds.top - handle.height);
            const float x = clampX((rx - lastRatioX) * factor + positionX);
            const float y = clampY((ry - lastRatioY) * factor + positionY);
            // The move is complete before the host hears of it.
            lastRatioX = rx;
            lastRatioY = ry;
            xPin.setAndSend(x);
            yPin.setAndSend(y);
            return ResultSuccess;
        });
    }

    int32_t onRelease(int32_t, GuiPoint) override {
        const uint32_t release = beginPointerEvent();
        guardedCall([&] { mouseDownPin.setAndSend(false); });
        return guardedCall(ResultFailure, [&] { return endPress(release); });
    }

    int32_t probeHit(GuiPoint point) override {
        return guardedCall(ResultFailure, [&] {
            if (!currentBitmap())
                return ResultFailure;
            if (hitsHandle(point))
                return ResultSuccess;
            // Accepting presses off the handle claims the whole area.
            return acceptOffHandlePin.get() || jumpToClickPin.get() ? ResultSuccess : ResultFailure;
        });
    }

    float getAnimationPosition() override { return positionPin.get(); }
    void setAnimationPosition(float position) override { positionPin.setAndSend(position); }

    void onImageLoaded() override { measureHandle(handle, frameCountPin); }

    std::u16string getHintText() override { return hintPin.get(); }

    void onSetX() { moveHandle(positionX, clampX(xPin.get())); }
    void onSetY() { moveHandle(positionY, clampY(yPin.get())); }
    void onSetXMinimum() { minimumX = platform::clampUnit(xMinimumPin.get()); }
    void onSetXMaximum() { maximumX = platform::clampUnit(xMaximumPin.get()); }
    void onSetYMinimum() { minimumY = platform::clampUnit(yMinimumPin.get()); }
    void onSetYMaximum() { maximumY = platform::clampUnit(yMaximumPin.get()); }

    void onSetColours() {
        topColour = colourFromArgbText(topColourPin.get(), defaultTopColour);
        bottomColour = colourFromArgbText(bottomColourPin.get(), defaultBottomColour);
        requestRepaint(nullptr);
    }

private:
    // One axis of the handle to a clamped position; a change repaints.
    void moveHandle(float& position, float clamped) {
        if (clamped == position)
            return;
        position = clamped;
        requestRepaint(nullptr);
    }

    // The current frame where the last repaint drew it, alpha included.
    bool hitsHandle(GuiPoint point) {
        if (!metadata)
            return false;
        return hitsPicture(GuiPoint{point.x + (metadata->padLeft - handleX),
                                    point.y + (metadata->padTop - handleY)});
    }
    float clampX(float x) const { return x < minimumX ? minimumX : (x > maximumX ? maximumX : x); }
    float clampY(float y) const { return y < minimumY ? minimumY : (y > maximumY ? maximumY : y); }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t {
        Position = 0,
        ImageFile = 1,
        Hint = 2,
        MenuItems = 3,
        MenuSelection = 4,
        MouseDown = 5,
        FrameCount = 6,
        X = 7,
        Y = 8,
        JumpToClick = 9,
        AcceptOffHandle = 10,
        XMinimum = 11,
        XMaximum = 12,
        YMinimum = 13,
        YMaximum = 14,
        TopColour = 15,
        BottomColour = 16,
        FineFactor = 17,
        Count
    };
    MpGuiPin<float> positionPin;
    MpGuiPin<bool> mouseDownPin;
    MpGuiPin<int32_t> frameCountPin;
    MpGuiPin<float> xPin;
    MpGuiPin<float> yPin;
    MpGuiPin<bool> jumpToClickPin;
    MpGuiPin<bool> acceptOffHandlePin;
    MpGuiPin<float> xMinimumPin;
    MpGuiPin<float> xMaximumPin;
    MpGuiPin<float> yMinimumPin;
    MpGuiPin<float> yMaximumPin;
    StringGuiPin topColourPin;
    StringGuiPin bottomColourPin;
    MpGuiPin<float> fineFactorPin;

    GuiSize handle{0.0f, 0.0f}; // a frame with its paddings
    float handleX = 0.0f;
    float handleY = 0.0f;
    float lastRatioX = 0.0f;
    float lastRatioY = 0.0f;
    float positionX = 0.0f;
    float positionY = 0.0f;
    float minimumX = 0.0f;
    float minimumY = 0.0f;
    float maximumX = 1.0f;
    float maximumY = 1.0f;
    const GuiColour defaultTopColour = srgbColour(0, 0, 0, 1.0f);
    const GuiColour defaultBottomColour = srgbColour(96, 96, 96, 1.0f);
    GuiColour topColour = defaultTopColour;
    GuiColour bottomColour = defaultBottomColour;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"Better Joystick Image", &createModule<BJoystickImage>},
});
} // namespace
