#include "Text.h"

#include "platform/Utf8.h"

#include <algorithm>

namespace installer {
namespace {

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
    if (platform::isWellFormedUtf8(bytes))
        return platform::utf8ToWide(bytes);
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

bool hasControlCharacter(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c < u' ' || c == 0x7F; });
}

} // namespace installer
