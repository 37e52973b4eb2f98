#include "Text.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <optional>

namespace installer {
namespace {

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += char16_t(c);
    } else {
        c -= 0x10000;
        out += char16_t(0xD800 + (c >> 10));
        out += char16_t(0xDC00 + (c & 0x3FF));
    }
}

// Strict UTF-8 decoding: no overlong forms, no surrogates, nothing above U+10FFFF.
std::optional<std::u16string> decodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += char16_t(lead);
            ++i;
            continue;
        }
        size_t length;
        char32_t c;
        char32_t least;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, c = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, c = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, c = lead & 0x07, least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (bytes.size() - i < length)
            return std::nullopt;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            c = c << 6 | (next & 0x3F);
        }
        if (c < least || c > 0x10FFFF || isSurrogate(c))
            return std::nullopt;
        appendUtf16(out, c);
        i += length;
    }
    return out;
}

char16_t foldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return char16_t(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return char16_t(c + 0x20);
    return c;
}

} // namespace

std::string toUtf8(std::u16string_view text) {
    return platform::wideToUtf8Portable(text);
}

std::u16string decodeText(std::string_view bytes) {
    if (auto text = decodeUtf8(bytes))
        return *std::move(text);
    std::u16string latin1;
    latin1.reserve(bytes.size());
    for (const char byte : bytes)
        latin1 += char16_t(static_cast<unsigned char>(byte));
    return latin1;
}

std::vector<std::u16string> splitLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

bool lessIgnoringCase(std::u16string_view a, std::u16string_view b) {
    const auto folded = [](char16_t x, char16_t y) { return foldCase(x) < foldCase(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded))
        return false;
    return a < b;
}

bool isBlank(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char16_t c) { return c == u' ' || c == u'\t'; });
}

} // namespace installer
