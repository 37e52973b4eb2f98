// Feeds arbitrary bytes to the font metadata reading as a skin's "global"
// text. Checks that every style comes out complete (a family, a lower-case
// name, opaque colours, only known flags, the fields no key sets untouched),
// that reading is repeatable, and that each name finds its first style.
#include "skin/FontMetadata.h"
#include "tests/MemoryStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

constexpr int32_t knownFlags =
    StyleAlignCentre | StyleAlignRight | StyleUnderline | StyleBold | StyleLight;

bool sameStyle(const FontStyle& a, const FontStyle& b) {
    return a.categoryName == b.categoryName && a.families == b.families &&
           a.styleFlags == b.styleFlags && a.fontSize == b.fontSize &&
           a.pixelWidth == b.pixelWidth && a.pixelHeight == b.pixelHeight &&
           a.fontColor == b.fontColor && a.backgroundColor == b.backgroundColor &&
           a.vst3VerticalOffset == b.vst3VerticalOffset &&
           a.legacyVerticalOffset == b.legacyVerticalOffset;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    SkinFontMetadata skin;
    skin.defaultStyle = defaultFontStyle();
    skin.skinUri = "fuzz";
    MemoryStream stream(text);
    skin.parseStyles(&stream);
    require(stream.refs == 0);
    require(skin.skinUri == "fuzz" && skin.defaultStyle.categoryName == "default");

    size_t lines = 1;
    for (const char c : text)
        lines += c == '\n' ? 1 : 0;
    require(skin.styles.size() <= lines);

    const FontStyle fresh;
    for (const FontStyle& style : skin.styles) {
        require(!style.families.empty());
        for (const char c : style.categoryName)
            require(!(c >= 'A' && c <= 'Z'));
        require((style.fontColor >> 24) == 0xFF);
        require(style.backgroundColor == 0 || (style.backgroundColor >> 24) == 0xFF);
        require((style.styleFlags & ~knownFlags) == 0);
        require(style.sizeOverride == fresh.sizeOverride && style.sizeBasis == fresh.sizeBasis);
        require(style.formatSettingA == fresh.formatSettingA &&
                style.formatSettingB == fresh.formatSettingB);
    }

    // Reading the same text again replaces the styles with equal ones.
    SkinFontMetadata again = skin;
    MemoryStream second(text);
    again.parseStyles(&second);
    require(again.styles.size() == skin.styles.size());
    for (size_t i = 0; i < skin.styles.size(); ++i)
        require(sameStyle(again.styles[i], skin.styles[i]));

    // Each name, in any case, finds the first style of that name.
    for (size_t i = 0; i < skin.styles.size() && i < 64; ++i) {
        std::string name = skin.styles[i].categoryName;
        for (char& c : name)
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
        const FontStyle& found = skin.findStyle(name);
        require(name == skin.styles[i].categoryName);
        require(found.categoryName == name);
        for (size_t j = 0; j < skin.styles.size(); ++j) {
            if (skin.styles[j].categoryName == name) {
                require(&found == &skin.styles[j]);
                break;
            }
        }
    }
    std::string missing = "\x01no such style";
    require(&skin.findStyle(missing) == &skin.defaultStyle ||
            skin.findStyle(missing).categoryName == missing);
    return 0;
}
