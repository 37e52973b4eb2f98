// KZ_HoverBox: an area that draws nothing and never takes the pointer. Each
// hit test reports the point on two float outputs and pulses a bool output.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiGfxBase.h"

class KZ_HoverBox final : public gmpi_gui::MpGuiGfxBase {
public:
    KZ_HoverBox() {
        registerPin(xPin);
        registerPin(yPin);
        registerPin(hoverPin);
    }

    // Press, motion and release answer this too (the base's defaults).
    int32_t probeHit(GuiPoint point) override {
        try {
            xPin.setAndSend(point.x);
            yPin.setAndSend(point.y);
            boolPulse(hoverPin);
        } catch (...) {
        }
        return ResultFailure;
    }

private:
    MpGuiPin<float> xPin;
    MpGuiPin<float> yPin;
    MpGuiPin<bool> hoverPin;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"KZ_HoverBox", &createModule<KZ_HoverBox>},
});
} // namespace
