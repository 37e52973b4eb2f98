// The installer's text helpers: decoding, line splitting and the file list's order.
#include "installer/core/Text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using installer::decodeText;
using Lines = std::vector<std::u16string>;

TEST(DecodeText, Utf8WhenValidOtherwiseEveryByteAsLatin1) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"plain", u"plain"},
        {"\xC3\xBA \xCE\xA9 \xE4\xB8\xAD", u"\u00FA \u03A9 \u4E2D"},
        {"\xF0\x9D\x84\x9E", u"\U0001D11E"},               // a surrogate pair
        {"M\xFAsica", u"M\u00FAsica"},                     // a single Latin-1 byte
        {"\xC3", u"\u00C3"},                               // cut short
        {"ok\xF0\x9F\x98", u"ok\u00F0\u009F\u0098"},       // cut short at the end
        {"\xA9t\xC3\xA9", u"\u00A9t\u00C3\u00A9"},         // a lone continuation byte
        {"\xC0\xAF", u"\u00C0\u00AF"},                     // overlong
        {"\xED\xA0\x80", u"\u00ED\u00A0\u0080"},           // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u0080\u0080"}, // above U+10FFFF
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeText(c.bytes), c.text) << c.bytes;
}

TEST(ToUtf8, PairsBecomeOneCharacterAndLoneSurrogatesTheReplacement) {
    EXPECT_EQ(installer::toUtf8(u"a\u00FA\u4E2D\U0001D11E"),
              "a\xC3\xBA\xE4\xB8\xAD\xF0\x9D\x84\x9E");
    EXPECT_EQ(installer::toUtf8(std::u16string(1, char16_t(0xD834)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(installer::toUtf8(std::u16string(1, char16_t(0xDD1E))), "\xEF\xBF\xBD");
}

TEST(SplitLines, EndsLinesAtCrLfLfOrCr) {
    struct Case {
        std::u16string text;
        Lines lines;
    };
    const Case cases[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\r\n", {u"a"}},
        {u"a\r\nb", {u"a", u"b"}},
        {u"a\nb\rc\r\nd", {u"a", u"b", u"c", u"d"}},
        {u"a\n\rb", {u"a", u"", u"b"}}, // LF CR is two breaks
        {u"\r\n\r\n", {u"", u""}},
        {u"a\r\r\nb", {u"a", u"", u"b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(installer::splitLines(c.text), c.lines) << installer::toUtf8(c.text);
}

TEST(LessIgnoringCase, OrdersWithoutRegardToCaseThenByCodeUnit) {
    Lines names{u"b.sem",         u"B.ini", u"a",  u"A", u"\u00E9t\u00E9",
                u"\u00C9T\u00C9", u"Z",     u"_x", u"ab"};
    std::sort(names.begin(), names.end(), installer::lessIgnoringCase);
    EXPECT_EQ(names, (Lines{u"_x", u"A", u"a", u"ab", u"B.ini", u"b.sem", u"Z", u"\u00C9T\u00C9",
                            u"\u00E9t\u00E9"}));
    EXPECT_FALSE(installer::lessIgnoringCase(u"a", u"a"));
}

TEST(IsBlank, OnlySpacesAndTabs) {
    EXPECT_TRUE(installer::isBlank(u""));
    EXPECT_TRUE(installer::isBlank(u" \t "));
    EXPECT_FALSE(installer::isBlank(u" x"));
}

} // namespace
