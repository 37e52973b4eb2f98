#include "SrgbTables.h"

#include "../platform/NumberText.h"

#include <cmath>

namespace {

// Constant-initialised: zero and false until the first initialiser builds them.
constinit SrgbTables sharedTables{};
constinit bool srgbTablesBuilt = false;

double srgbDecode(double x) {
    return x <= 0.0404482362771082 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
}

[[maybe_unused]] const bool tablesFileInitialised = [] {
    ensureSrgbTables();
    return true;
}();

} // namespace

void buildSrgbTables(float* table) {
    float* decode = table;
    float* power = table + 256;
    float* halfStep = table + 512;
    float* encode = table + 768;
    const double k = double(byteScale);
    for (int i = 1; i < 256; ++i) {
        const double x = i * k;
        power[i] = float(std::pow(x, 2.2));
        decode[i] = float(srgbDecode(x));
        const float shifted = float(i) - 0.5f;
        halfStep[i] = float(srgbDecode(double(shifted) * k));
    }
    decode[0] = power[0] = halfStep[0] = 0.0f;
    for (int i = 1; i < 256; ++i) {
        const double z = std::pow(i * k, 2.2);
        encode[i] = float(
            z <= 0.00313066844250063 ? z * 12.92 : 1.055 * std::pow(z, 0.4166666666666667) - 0.055);
    }
}

void ensureSrgbTables() {
    if (!srgbTablesBuilt) {
        srgbTablesBuilt = true;
        buildSrgbTables(sharedTables.values);
    }
}

const SrgbTables& srgbTables() {
    return sharedTables;
}

GuiColour colourFromArgb(uint32_t argb) {
    return srgbColour(uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb),
                      float(argb >> 24) * byteScale);
}

GuiColour srgbColour(uint8_t red, uint8_t green, uint8_t blue, float alpha) {
    const float* decode = sharedTables.srgbToLinear();
    return GuiColour{decode[red], decode[green], decode[blue], alpha};
}

GuiColour colourFromArgbText(std::u16string_view text, const GuiColour& fallback) {
    if (text.empty())
        return fallback;
    return colourFromArgb(platform::parseUInt32(text, 16));
}
