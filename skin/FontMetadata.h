// The skin's text styles: its "global" metadata declares style categories with
// "FONT_CATEGORY" lines, each followed by lines of style keys ("font-family",
// "font-size", "font-color", "font-weight", "text-align" ...).
#pragma once

#include "../framework/DrawingApi.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Bits of FontStyle::styleFlags. They only accumulate while a style is read.
enum FontStyleFlag : int32_t {
    StyleAlignCentre = 0x08,
    StyleAlignRight = 0x10,
    StyleUnderline = 0x40,
    StyleBold = 0x80,
    StyleLight = 0x100,
    StyleItalic = 0x200,
};

// One text style. The member values are those of a freshly declared category.
// Colour words hold red in byte 0, green in byte 1, blue in byte 2 and alpha in
// byte 3.
struct FontStyle {
    std::string categoryName;          // lower-cased
    std::vector<std::string> families; // in order of preference
    int32_t styleFlags = 0;
    int32_t fontSize = 12;
    float sizeOverride = -1.0f; // used when above 0
    bool sizeBasis = false;     // the size means the family's second size factor
    int32_t pixelWidth = 8;
    int32_t pixelHeight = 12;
    uint32_t fontColor = 0xFFFFFFFF;
    uint32_t backgroundColor = 0;
    int32_t vst3VerticalOffset = 0;
    bool legacyVerticalOffset = true; // the host's own size, from the first family only
    int32_t formatSettingB = 1;
    int32_t formatSettingA = 0;
};

// The style of every name that a skin does not declare: "default", in Arial,
// opaque black.
FontStyle defaultFontStyle();

// The styles of one skin.
struct SkinFontMetadata {
    std::vector<FontStyle> styles; // in the order of their "FONT_CATEGORY" lines
    FontStyle defaultStyle;
    std::string skinUri; // where the host found the skin's "global" metadata

    // Replaces `styles` with those the stream's text declares; an empty or
    // unreadable stream leaves none. The stream stays the caller's.
    void parseStyles(IUriStream* stream);

    // Lower-cases `name` in place ('A'-'Z' only), then gives the first style of
    // that category name, else `defaultStyle`.
    const FontStyle& findStyle(std::string& name) const;

    // The answer findStyle gives for `name`, without changing or copying it,
    // from the index of category names that parseStyles builds. Valid while
    // `styles` is as the last parseStyles left it.
    const FontStyle& styleNamed(std::string_view name) const;

private:
    // Applies the tokens of one line to the style declared last.
    void applyStyleLine(const std::vector<std::string>& tokens);

    // A category name's hash and its style's position in `styles`.
    struct NameEntry {
        uint32_t hash;
        size_t position;
        bool operator<(const NameEntry& other) const {
            return hash != other.hash ? hash < other.hash : position < other.position;
        }
    };
    // Every style, by the hash of its name and then by position.
    std::vector<NameEntry> byName;
};
