// The skin's font metadata: the styles its categories declare, each key's
// effect, the colour words, and the lookup by name.
#include "skin/FontMetadata.h"
#include "host/PinBytes.h"
#include "tests/MemoryStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testhost::floatBits;
using Families = std::vector<std::string>;

std::vector<FontStyle> parsed(const std::string& text) {
    SkinFontMetadata skin;
    MemoryStream stream(text);
    skin.parseStyles(&stream);
    EXPECT_EQ(stream.refs, 0);
    return skin.styles;
}

// The one style of a category «s» followed by `lines`.
FontStyle styleOf(const std::string& lines) {
    const std::vector<FontStyle> styles = parsed("FONT_CATEGORY s\n" + lines);
    EXPECT_EQ(styles.size(), 1u) << lines;
    return styles.empty() ? FontStyle{} : styles.front();
}

void expectSameStyle(const FontStyle& actual, const FontStyle& expected) {
    EXPECT_EQ(actual.categoryName, expected.categoryName);
    EXPECT_EQ(actual.families, expected.families);
    EXPECT_EQ(actual.styleFlags, expected.styleFlags);
    EXPECT_EQ(actual.fontSize, expected.fontSize);
    EXPECT_EQ(floatBits(actual.sizeOverride), floatBits(expected.sizeOverride));
    EXPECT_EQ(actual.sizeBasis, expected.sizeBasis);
    EXPECT_EQ(actual.pixelWidth, expected.pixelWidth);
    EXPECT_EQ(actual.pixelHeight, expected.pixelHeight);
    EXPECT_EQ(actual.fontColor, expected.fontColor);
    EXPECT_EQ(actual.backgroundColor, expected.backgroundColor);
    EXPECT_EQ(actual.vst3VerticalOffset, expected.vst3VerticalOffset);
    EXPECT_EQ(actual.legacyVerticalOffset, expected.legacyVerticalOffset);
    EXPECT_EQ(actual.formatSettingB, expected.formatSettingB);
    EXPECT_EQ(actual.formatSettingA, expected.formatSettingA);
}

TEST(FontStyleDefaults, OfACategoryAndOfTheDefaultStyle) {
    const FontStyle c;
    EXPECT_EQ(c.styleFlags, 0);
    EXPECT_EQ(c.fontSize, 12);
    EXPECT_EQ(floatBits(c.sizeOverride), floatBits(-1.0f));
    EXPECT_FALSE(c.sizeBasis);
    EXPECT_EQ(c.pixelWidth, 8);
    EXPECT_EQ(c.pixelHeight, 12);
    EXPECT_EQ(c.fontColor, 0xFFFFFFFFu);
    EXPECT_EQ(c.backgroundColor, 0u);
    EXPECT_EQ(c.vst3VerticalOffset, 0);
    EXPECT_TRUE(c.legacyVerticalOffset);
    EXPECT_EQ(c.formatSettingB, 1);
    EXPECT_EQ(c.formatSettingA, 0);

    // A declared category starts so, with "Verdana" when it names no family.
    FontStyle declared;
    declared.categoryName = "s";
    declared.families = {"Verdana"};
    expectSameStyle(styleOf(""), declared);

    FontStyle d;
    d.categoryName = "default";
    d.families = {"Arial"};
    d.fontColor = 0xFF000000;
    expectSameStyle(defaultFontStyle(), d);
}

TEST(FontMetadataParsing, AStyleWithSizeAndColour) {
    const std::vector<FontStyle> styles =
        parsed("FONT_CATEGORY Normal\r\nfont-size 14\r\nfont-color #FF8000\r\n");
    ASSERT_EQ(styles.size(), 1u);
    FontStyle expected;
    expected.categoryName = "normal";
    expected.families = {"Verdana"};
    expected.fontSize = 14;
    expected.pixelHeight = 14;
    expected.fontColor = 0xFF0080FF;
    expectSameStyle(styles[0], expected);
}

TEST(FontMetadataParsing, ColourWords) {
    struct Case {
        const char* line;
        uint32_t fontColor;
        uint32_t backgroundColor;
    } cases[] = {
        {"font-color #123456", 0xFF563412, 0},
        {"font-color 255", 0xFFFF0000, 0}, // a decimal 0xRRGGBB: blue 255
        {"font-color 1193046", 0xFF563412, 0},
        {"background-color #000000", 0xFFFFFFFF, 0xFF000000},
        {"font-color red", 0xFF000000, 0},
        {"font-color #", 0xFF000000, 0},
        {"font-color #0x80", 0xFF800000, 0},
        {"font-color #7FFFFFFF", 0xFFFFFFFF, 0},
        {"font-color #FFFFFFFF", 0xFFFFFFFF, 0}, // clamped to 0x7FFFFFFF: alpha is always 255
        {"font-color #-1", 0xFFFFFFFF, 0},
        {"font-color #12345678", 0xFF785634, 0}, // eight digits: the rotation mixes the bytes
        {"background-color 65280", 0xFFFFFFFF, 0xFF00FF00},
    };
    for (const Case& c : cases) {
        const FontStyle style = styleOf(std::string(c.line) + "\n");
        EXPECT_EQ(style.fontColor, c.fontColor) << c.line;
        EXPECT_EQ(style.backgroundColor, c.backgroundColor) << c.line;
    }
}

TEST(FontMetadataParsing, WeightAlignmentAndDecorationSetFlagsThatOnlyAccumulate) {
    struct Case {
        const char* lines;
        int32_t flags;
    } cases[] = {
        {"font-weight bold", StyleBold},
        {"font-weight Light", StyleLight},
        {"font-weight 700", StyleBold},
        {"font-weight 551", StyleBold},
        {"font-weight 550", 0},
        {"font-weight 301", 0},
        {"font-weight 300", StyleLight},
        {"font-weight -5", StyleLight},
        {"font-weight normal", 0},
        {"font-weight 400", 0},
        {"font-weight 0", 0},
        {"font-weight ''", 0},
        {"font-weight bold\nfont-weight light", StyleBold | StyleLight},
        {"font-weight bold\nfont-weight 400", StyleBold},
        {"text-align Center", StyleAlignCentre},
        {"text-align right", StyleAlignRight},
        {"text-align left", 0},
        {"text-align center\ntext-align right", StyleAlignCentre | StyleAlignRight},
        {"text-decoration Underline", StyleUnderline},
        {"text-decoration none", 0},
        {"Font-Weight bold\nTEXT-ALIGN right", 0}, // keys are case-sensitive
        {"font-weight", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(styleOf(std::string(c.lines) + "\n").styleFlags, c.flags) << c.lines;
}

TEST(FontMetadataParsing, NumbersAndSizes) {
    struct Case {
        const char* lines;
        int32_t fontSize, pixelHeight, pixelWidth, vst3Offset;
        bool legacyOffset;
    } cases[] = {
        {"font-size 20", 20, 20, 8, 0, true},
        {"font-size abc", 0, 0, 8, 0, true},
        {"font-size 12.5", 12, 12, 8, 0, true},
        {"font-size 99999999999", 2147483647, 2147483647, 8, 0, true},
        {"font-size 20\nGDI_pixelHeight 30", 20, 30, 8, 0, true},
        {"GDI_pixelHeight 30\nfont-size 20", 20, 20, 8, 0, true},
        {"GDI_pixelWidth -3", 12, 12, -3, 0, true},
        {"vst3-vertical-offset 4", 12, 12, 8, 4, true},
        {"legacy-vertical-offset 0", 12, 12, 8, 0, false},
        {"legacy-vertical-offset x", 12, 12, 8, 0, false},
        {"legacy-vertical-offset -1", 12, 12, 8, 0, true},
        {"font-size", 12, 12, 8, 0, true},
    };
    for (const Case& c : cases) {
        const FontStyle s = styleOf(std::string(c.lines) + "\n");
        EXPECT_EQ(s.fontSize, c.fontSize) << c.lines;
        EXPECT_EQ(s.pixelHeight, c.pixelHeight) << c.lines;
        EXPECT_EQ(s.pixelWidth, c.pixelWidth) << c.lines;
        EXPECT_EQ(s.vst3VerticalOffset, c.vst3Offset) << c.lines;
        EXPECT_EQ(s.legacyVerticalOffset, c.legacyOffset) << c.lines;
    }
}

TEST(FontMetadataParsing, FamiliesAccumulateInOrder) {
    struct Case {
        const char* lines;
        Families families;
    } cases[] = {
        {"font-family 'Segoe UI', Arial", {"Segoe UI", ",", "Arial"}},
        {"font-family Tahoma, Arial", {"Tahoma", "Arial"}},
        {"font-family Tahoma, Arial\nfont-family Courier", {"Tahoma", "Arial", "Courier"}},
        {"font-family \"Courier New\"", {"Courier New"}},
        {"font-family", {"Verdana"}},
        {"font-family ''", {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(styleOf(std::string(c.lines) + "\n").families, c.families) << c.lines;
}

TEST(FontMetadataParsing, LinesOutsideACategoryAndUnknownKeysChangeNothing) {
    const std::vector<FontStyle> styles = parsed("font-size 20\n"
                                                 "font-family Courier\n"
                                                 "FONT_CATEGORY\n"
                                                 "font-size 21\n"
                                                 "font_category Lower\n"
                                                 "\n"
                                                 "FONT_CATEGORY MiXeD-Ä_1 ignored\n"
                                                 "colour #FFFFFF\n"
                                                 "font-size 16");
    ASSERT_EQ(styles.size(), 1u);
    EXPECT_EQ(styles[0].categoryName, "mixed-\xC3\x84_1"); // only A-Z are lowered
    EXPECT_EQ(styles[0].fontSize, 16);
    EXPECT_EQ(styles[0].families, Families{"Verdana"});
    EXPECT_EQ(styles[0].fontColor, 0xFFFFFFFFu);
}

TEST(FontMetadataParsing, EmptyOrUnreadableTextsDeclareNothing) {
    EXPECT_TRUE(parsed("").empty());
    EXPECT_TRUE(parsed("\n\n  \t\n").empty());

    SkinFontMetadata skin;
    skin.defaultStyle = defaultFontStyle();
    skin.skinUri = "kept";
    MemoryStream first("FONT_CATEGORY a\nFONT_CATEGORY b\n");
    skin.parseStyles(&first);
    ASSERT_EQ(skin.styles.size(), 2u);
    MemoryStream silent("FONT_CATEGORY c\n");
    silent.answersSize = false; // no size: no text
    skin.parseStyles(&silent);
    EXPECT_TRUE(skin.styles.empty());
    skin.parseStyles(nullptr);
    EXPECT_TRUE(skin.styles.empty());
    EXPECT_EQ(skin.skinUri, "kept");
    EXPECT_EQ(skin.defaultStyle.categoryName, "default");
}

TEST(FontMetadataLookup, FindsTheFirstStyleOfALowerCasedName) {
    SkinFontMetadata skin;
    skin.defaultStyle = defaultFontStyle();
    MemoryStream stream("FONT_CATEGORY Title\nfont-size 30\n"
                        "FONT_CATEGORY title\nfont-size 40\n"
                        "FONT_CATEGORY body\n");
    skin.parseStyles(&stream);
    ASSERT_EQ(skin.styles.size(), 3u);
    EXPECT_EQ(skin.styles[1].categoryName, "title");

    std::string name = "TITLE";
    EXPECT_EQ(&skin.findStyle(name), &skin.styles[0]);
    EXPECT_EQ(name, "title");
    name = "Body";
    EXPECT_EQ(&skin.findStyle(name), &skin.styles[2]);
    for (const char* missing : {"heading", "", "bod", "body ", "default"}) {
        name = missing;
        EXPECT_EQ(&skin.findStyle(name), &skin.defaultStyle) << missing;
    }
}

TEST(FontMetadataLookup, TheIndexAnswersAsTheLookupDoes) {
    // Names in any case, declared twice, prefixes of one another, empty, with
    // bytes above 0x7F, two of one hash ("glbvs", "yacxa"), and names that no
    // category carries; and the same after another text replaces the first.
    const char* texts[] = {
        "FONT_CATEGORY Title\nFONT_CATEGORY title\nFONT_CATEGORY body\nFONT_CATEGORY bod\n"
        "FONT_CATEGORY b\xC3\xA9\nFONT_CATEGORY \xC3\x89\nFONT_CATEGORY default\n"
        "FONT_CATEGORY BODY\nFONT_CATEGORY a-b_c.9\nFONT_CATEGORY yacxa\nFONT_CATEGORY glbvs\n",
        "FONT_CATEGORY other\nFONT_CATEGORY Title\nFONT_CATEGORY glbvs\n",
        "",
    };
    const char* names[] = {"TITLE",    "title",   "Title",   "body",      "BODY",      "bod",
                           "Bod",      "bo",      "body ",   "b\xC3\xA9", "B\xC3\xA9", "\xC3\x89",
                           "\xC3\xA9", "default", "DEFAULT", "a-b_c.9",   "A-B_C.9",   "glbvs",
                           "yacxa",    "GLBVS",   "Yacxa",   "other",     "",          "missing"};
    SkinFontMetadata skin;
    skin.defaultStyle = defaultFontStyle();
    for (const char* text : texts) {
        MemoryStream stream(text);
        skin.parseStyles(&stream);
        for (const char* name : names) {
            std::string lowered = name;
            EXPECT_EQ(&skin.styleNamed(name), &skin.findStyle(lowered)) << name;
        }
    }
}

} // namespace
