// ImgM2C: the output (pin 0) keeps the last value other than -1 reported on
// the input (pin 1). Fed with a pin that sends a picked item id and then -1,
// it holds the id.
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"

class ImgM2C final : public SeGuiInvisibleBase {
public:
    ImgM2C() {
        registerPin(PinIndex::Output, pinOutput);
        registerPin(PinIndex::Input, pinInput, &ImgM2C::onSetInput);
    }

private:
    void onSetInput() {
        if (pinInput.get() != -1)
            pinOutput.setAndSend(pinInput.get());
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Output = 0, Input = 1, Count };
    MpGuiPinInt pinOutput;
    MpGuiPinInt pinInput;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"ImgM2C", &createModule<ImgM2C>},
});
} // namespace
