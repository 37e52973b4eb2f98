// Wide text made readable in test messages and test names: each unit below
// 0x80 as that ASCII character, every other unit as '?'.
#pragma once

#include <string>
#include <string_view>

inline std::string narrowToAscii(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text)
        out += c < 0x80 ? char(c) : '?';
    return out;
}
