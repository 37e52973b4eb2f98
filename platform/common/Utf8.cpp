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

Utf8Sequence readUtf8Sequence(std::string_view bytes) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    size_t length;
    char32_t c;
    // The second byte's range excludes overlong forms, surrogates and
    // characters above U+10FFFF, so that a sequence is known bad at its first
    // byte that no well-formed one could have.
    unsigned char low = 0x80, high = 0xBF;
    if (lead < 0x80) {
        return {lead, 1, true};
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {0, 1, false};
    }
    for (size_t k = 1; k < length; ++k) {
        if (k >= bytes.size())
            return {0, k, false};
        const unsigned char next = byte(k);
        const bool fits = k == 1 ? next >= low && next <= high : (next & 0xC0) == 0x80;
        if (!fits)
            return {0, k, false};
        c = c << 6 | (next & 0x3F);
    }
    return {c, length, true};
}

bool isWellFormedUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const Utf8Sequence sequence = readUtf8Sequence(bytes);
        if (!sequence.wellFormed)
            return false;
        bytes.remove_prefix(sequence.length);
    }
    return true;
}

std::u16string utf8ToUcs2(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const Utf8Sequence sequence = readUtf8Sequence(utf8);
        if (!sequence.wellFormed || sequence.character > 0xFFFF)
            failFromBytes();
        out += char16_t(sequence.character);
        utf8.remove_prefix(sequence.length);
    }
    return out;
}

void appendUtf8ToWide(std::u16string& wide, std::string_view utf8) {
    while (!utf8.empty()) {
        const Utf8Sequence sequence = readUtf8Sequence(utf8);
        if (!sequence.wellFormed) {
            wide += u'\uFFFD';
        } else if (sequence.character >= 0x10000) {
            const char32_t c = sequence.character - 0x10000;
            wide += char16_t(0xD800 + (c >> 10));
            wide += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            wide += char16_t(sequence.character);
        }
        utf8.remove_prefix(sequence.length);
    }
}

std::u16string utf8ToWide(std::string_view utf8) {
    std::u16string wide;
    wide.reserve(utf8.size());
    appendUtf8ToWide(wide, utf8);
    return wide;
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
