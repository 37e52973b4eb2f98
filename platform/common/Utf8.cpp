#include "../Utf8.h"

#include <stdexcept>

namespace platform {
namespace {

[[noreturn]] void failFromBytes() {
    throw std::range_error("wstring_convert::from_bytes");
}

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::u16string utf8ToUcs2(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += char16_t(lead);
            ++i;
            continue;
        }
        size_t length;
        char32_t c;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            c = lead & 0x0F;
        } else {
            failFromBytes(); // continuation byte, overlong lead or a character above U+FFFF
        }
        if (utf8.size() - i < length)
            failFromBytes();
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                failFromBytes();
            c = c << 6 | (next & 0x3F);
        }
        if ((length == 3 && c < 0x800) || isSurrogate(c))
            failFromBytes();
        out += char16_t(c);
        i += length;
    }
    return out;
}

std::string ucs2ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        if (isSurrogate(unit))
            throw std::range_error("wstring_convert::to_bytes");
        appendUtf8(out, unit);
    }
    return out;
}

std::string wideToUtf8Portable(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (isSurrogate(c)) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

} // namespace platform
