// ARGB2Str: four colour channels from 0 to 1 and their colour text, eight
// lower-case hexadecimal digits AARRGGBB, kept in step both ways. All four
// channels map linearly (byte times the float nearest 1/255).
#include "../../framework/MpFactory.h"
#include "../../framework/MpGuiBase2.h"
#include "../../framework/SrgbTables.h"
#include "../../platform/NumberText.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

// The channel clamped to 0..1, times 255 in float, truncated toward zero; a
// NaN gives 0.
int32_t channelByte(float channel) {
    if (channel > 0.0f && channel < 1.0f) [[likely]]
        return int32_t(channel * 255.0f);
    return channel >= 1.0f ? 255 : 0;
}

// The two lower-case hexadecimal digits of every byte, as the 4 bytes that the
// two units make in memory.
constexpr std::array<uint32_t, 256> digitPairs = [] {
    constexpr char16_t digits[] = u"0123456789abcdef";
    std::array<uint32_t, 256> pairs{};
    for (size_t byte = 0; byte < pairs.size(); ++byte)
        pairs[byte] =
            std::bit_cast<uint32_t>(std::array<char16_t, 2>{digits[byte >> 4], digits[byte & 15]});
    return pairs;
}();

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

    // Two digits per channel, alpha first; a NaN channel writes "00". The
    // digits are put together whole rather than unit by unit, so that the
    // text's comparison and copy read them back without waiting.
    void onSetChannel() {
        std::array<uint32_t, 4> pairs;
        for (size_t c = 0; c < pairs.size(); ++c)
            pairs[c] = digitPairs[size_t(channelByte(channels()[c]->get()) & 255)];
        char16_t text[8];
        std::memcpy(text, pairs.data(), sizeof text);
        pinText.setAndSendText(std::u16string_view(text, 8));
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
