// Colour conversions for all 256 byte values, built once while the library loads.
#pragma once

#include "DrawingApi.h"

#include <string_view>

// Four rows of 256 floats, one after another in one block.
struct SrgbTables {
    float values[1024];

    const float* srgbToLinear() const { return values; }               // sRGB decoding of i / 255
    const float* pow22() const { return values + 256; }                // (i / 255) raised to 2.2
    const float* srgbToLinearHalfStep() const { return values + 512; } // of (i - 0.5) / 255
    // The sRGB encoding of (i / 255)^2.2; built, but no module of this library reads it.
    const float* pow22ToSrgb() const { return values + 768; }
};

// Fills the four rows of a block of 1024 floats.
void buildSrgbTables(float* table);

// The build step at the head of the library's static initialisers: the first
// one to run builds the shared tables.
void ensureSrgbTables();

// The shared tables; zero until built.
const SrgbTables& srgbTables();

// The float32 nearest 1/255 (slightly above it).
inline constexpr float byteScale = 0.003921568859368563f;

// Colour text: hexadecimal AARRGGBB read as one unsigned 32-bit number in base
// 16 (leading space, a sign and "0x" accepted). Red, green and blue are decoded
// from sRGB, alpha is linear. An empty text gives `fallback`.
GuiColour colourFromArgbText(std::u16string_view text, const GuiColour& fallback);

// The same for a colour already read as a number.
GuiColour colourFromArgb(uint32_t argb);

// A colour of 8-bit sRGB channels, decoded to linear, with a linear alpha.
GuiColour srgbColour(uint8_t red, uint8_t green, uint8_t blue, float alpha);
