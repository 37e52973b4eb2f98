// ARGB2Str: four colour channels from 0 to 1 and their colour text, eight
// lower-case hexadecimal digits AARRGGBB, kept in step both ways. All four
// channels map linearly (byte times the float nearest 1/255).
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../framework/SrgbTables.h"
#include "../../platform/NumberText.h"

#include <array>

namespace {

// The channel clamped to 0..1 (a NaN passes and gives 0), times 255 in float,
// truncated toward zero.
int32_t channelByte(float channel) {
    return platform::saturatingToInt32(double(platform::clampUnit(channel) * 255.0f));
}

} // namespace

class ARGB2Str final : public SeGuiInvisibleBase {
public:
    ARGB2Str() {
        registerPin(PinIndex::Alpha, pinAlpha, &ARGB2Str::onSetChannel);
        registerPin(PinIndex::Red, pinRed, &ARGB2Str::onSetChannel);
        registerPin(PinIndex::Green, pinGreen, &ARGB2Str::onSetChannel);
        registerPin(PinIndex::Blue, pinBlue, &ARGB2Str::onSetChannel);
        registerPin(PinIndex::Text, pinText, &ARGB2Str::onSetText);
    }

private:
    std::array<MpGuiPinFloat*, 4> channels() { return {&pinAlpha, &pinRed, &pinGreen, &pinBlue}; }

    // Two digits per channel, alpha first; a NaN channel writes "00".
    void onSetChannel() {
        constexpr char16_t digits[] = u"0123456789abcdef";
        std::u16string text;
        for (const MpGuiPinFloat* channel : channels()) {
            const int32_t byte = channelByte(channel->get());
            text += digits[(byte >> 4) & 15];
            text += digits[byte & 15];
        }
        pinText.setAndSend(text);
    }

    // The text as one unsigned 32-bit number in base 16; the text itself is
    // not rewritten.
    void onSetText() {
        const uint32_t argb = platform::parseUInt32(pinText.get(), 16);
        pinAlpha.setAndSend(float(argb >> 24) * byteScale);
        pinRed.setAndSend(float((argb >> 16) & 255) * byteScale);
        pinGreen.setAndSend(float((argb >> 8) & 255) * byteScale);
        pinBlue.setAndSend(float(argb & 255) * byteScale);
    }

    // Pin indices: the module's contract with the host.
    enum class PinIndex : int32_t { Alpha = 0, Red = 1, Green = 2, Blue = 3, Text = 4, Count };
    MpGuiPinFloat pinAlpha;
    MpGuiPinFloat pinRed;
    MpGuiPinFloat pinGreen;
    MpGuiPinFloat pinBlue;
    StringGuiPin pinText;
};

namespace {
[[maybe_unused]] const bool registered = initialiseModuleFile({
    {Gui2Part, u"ARGB2Str", &createModule<ARGB2Str>},
});
} // namespace
