// Text between its 8-bit and 16-bit forms in tests: wide text made readable
// in test messages and test names, and bytes given to a pin as 16-bit text.
#pragma once

#include <string>
#include <string_view>

// Each unit below 0x80 as that ASCII character, every other unit as '?'.
inline std::string narrowToAscii(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text)
        out += c < 0x80 ? char(c) : '?';
    return out;
}

// Each byte as the unit of the same value (the Latin-1 reading of bytes).
inline std::u16string widenLatin1(std::string_view bytes) {
    std::u16string text;
    for (const char b : bytes)
        text += char16_t(static_cast<unsigned char>(b));
    return text;
}
