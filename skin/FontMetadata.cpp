#include "FontMetadata.h"

#include "../platform/NumberText.h"
#include "SkinMetadataText.h"

#include <algorithm>

namespace {

char lowered(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

void lowerInPlace(std::string& text) {
    for (char& c : text)
        c = lowered(c);
}

// The first byte of a value, lower-cased; 0 for an empty value.
char firstLetter(const std::string& value) {
    return value.empty() ? '\0' : lowered(value.front());
}

int32_t decimal(const std::string& value) {
    return skinMetadataDecimal(value);
}

// "#RRGGBB" (base 16) or a decimal 0xRRGGBB number, as red in byte 0, green in
// byte 1, blue in byte 2 and alpha 255.
uint32_t colourWord(const std::string& value) {
    const int32_t read = !value.empty() && value.front() == '#'
                             ? platform::parseInt32(std::string_view(value).substr(1), 16)
                             : decimal(value);
    const uint32_t v = uint32_t(read);
    const uint32_t rotated = v << 16 | v >> 16;
    return rotated | (v & 0x0000FF00u) | 0xFF000000u;
}

void applyWeight(FontStyle& style, const std::string& value) {
    switch (firstLetter(value)) {
    case 'b':
        style.styleFlags |= StyleBold;
        return;
    case 'l':
        style.styleFlags |= StyleLight;
        return;
    default:
        break;
    }
    const int32_t weight = decimal(value);
    if (weight == 0)
        return;
    if (weight <= 300)
        style.styleFlags |= StyleLight;
    else if (weight > 550)
        style.styleFlags |= StyleBold;
}

// A hash of a name as findStyle sees it, with 'A'-'Z' lowered (FNV-1a).
uint32_t loweredNameHash(std::string_view name) {
    uint32_t hash = 2166136261u;
    for (char c : name)
        hash = (hash ^ static_cast<unsigned char>(lowered(c))) * 16777619u;
    return hash;
}

// Whether a category name (already lower-cased) is the requested name with
// 'A'-'Z' lowered.
bool isLoweredName(std::string_view category, std::string_view name) {
    if (category.size() != name.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (category[i] != lowered(name[i]))
            return false;
    return true;
}

} // namespace

FontStyle defaultFontStyle() {
    FontStyle style;
    style.categoryName = "default";
    style.families = {"Arial"};
    style.fontColor = 0xFF000000;
    return style;
}

void SkinFontMetadata::applyStyleLine(const std::vector<std::string>& tokens) {
    if (tokens.empty())
        return;
    const std::string& key = tokens[0];
    if (key == "FONT_CATEGORY") {
        if (tokens.size() < 2)
            return;
        FontStyle& style = styles.emplace_back();
        style.categoryName = tokens[1];
        lowerInPlace(style.categoryName);
        return;
    }
    if (styles.empty() || tokens.size() < 2)
        return;
    FontStyle& style = styles.back();
    const std::string& value = tokens[1];
    if (key == "font-family") {
        style.families.insert(style.families.end(), tokens.begin() + 1, tokens.end());
    } else if (key == "font-size") {
        style.fontSize = style.pixelHeight = decimal(value);
    } else if (key == "vst3-vertical-offset") {
        style.vst3VerticalOffset = decimal(value);
    } else if (key == "legacy-vertical-offset") {
        style.legacyVerticalOffset = decimal(value) != 0;
    } else if (key == "GDI_pixelHeight") {
        style.pixelHeight = decimal(value);
    } else if (key == "GDI_pixelWidth") {
        style.pixelWidth = decimal(value);
    } else if (key == "font-color") {
        style.fontColor = colourWord(value);
    } else if (key == "background-color") {
        style.backgroundColor = colourWord(value);
    } else if (key == "font-weight") {
        applyWeight(style, value);
    } else if (key == "text-align") {
        const char letter = firstLetter(value);
        if (letter == 'r')
            style.styleFlags |= StyleAlignRight;
        else if (letter == 'c')
            style.styleFlags |= StyleAlignCentre;
    } else if (key == "text-decoration") {
        if (firstLetter(value) == 'u')
            style.styleFlags |= StyleUnderline;
    }
}

void SkinFontMetadata::parseStyles(IUriStream* stream) {
    styles.clear();
    for (const std::vector<std::string>& tokens : readSkinMetadataLines(stream))
        applyStyleLine(tokens);
    for (FontStyle& style : styles)
        if (style.families.empty())
            style.families = {"Verdana"};

    byName.clear();
    byName.reserve(styles.size());
    for (size_t i = 0; i < styles.size(); ++i)
        byName.push_back({loweredNameHash(styles[i].categoryName), i});
    std::sort(byName.begin(), byName.end());
}

const FontStyle& SkinFontMetadata::findStyle(std::string& name) const {
    lowerInPlace(name);
    for (const FontStyle& style : styles)
        if (style.categoryName == name)
            return style;
    return defaultStyle;
}

const FontStyle& SkinFontMetadata::styleNamed(std::string_view name) const {
    // Names of one hash lie together in the order of their styles, so the
    // first that matches is the first style of that name.
    const uint32_t hash = loweredNameHash(name);
    auto entry = std::lower_bound(byName.begin(), byName.end(), NameEntry{hash, 0});
    for (; entry != byName.end() && entry->hash == hash; ++entry)
        if (isLoweredName(styles[entry->position].categoryName, name))
            return styles[entry->position];
    return defaultStyle;
}
