// KZ_HoverBox: an area that draws nothing and never takes the pointer. Each
// hit test reports the point on two float outputs and pulses a bool output.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiGfxBase.h"
#include "../../platform/BoundaryGuard.h"

class KZ_HoverBox final : public gmpi_gui::MpGuiGfxBase {
public:
    KZ_HoverBox() {
        registerPin(PinIndex::X, xPin);
        registerPin(PinIndex::Y, yPin);
        registerPin(PinIndex::Hover, hoverPin);
    }

    // Press, motion and release answer this too (the base's defaults).
    int32_t probeHit(GuiPoint point) override {
        guardedCall([&] {
            xPin.setAndSend(point.x);
            yPin.setAndSend(point.y);
            boolPulse(hoverPin);
        });
        return ResultFailure;
    }

private:
    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { X = 0, Y = 1, Hover = 2, Count };
    MpGuiPin<float> xPin;
    MpGuiPin<float> yPin;
    MpGuiPin<bool> hoverPin;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_HoverBox", &createModule<KZ_HoverBox>},
});
} // namespace
