// The strict UTF-8 conversion of text pins and the lenient one of the drawing side.
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Valid {
    std::string utf8;
    std::u16string wide;
};

TEST(StrictUtf8, ConvertsTheBasicMultilingualPlaneBothWays) {
    const Valid cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"\xC3\xA9", u"\u00e9"},
        {"\xDF\xBF", u"\u07ff"},
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xE2\x82\xAC", u"\u20ac"},
        {"\xEF\xBB\xBF"
         "x",
         u"\ufeffx"}, // a byte-order mark is kept as a character
        {"\xED\x9F\xBF", u"\ud7ff"},
        {"\xEE\x80\x80", u"\ue000"},
        {"\xEF\xBF\xBF", u"\uffff"},
    };
    for (const Valid& c : cases) {
        EXPECT_EQ(platform::utf8ToUcs2(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(platform::ucs2ToUtf8(c.wide), c.utf8) << c.utf8;
    }
}

TEST(StrictUtf8, RefusesWhatIsNotUcs2) {
    const char* invalid[] = {
        "\x80",             // continuation byte first
        "\xC3",             // truncated
        "\xE2\x82",         // truncated
        "\xC0\xAF",         // overlong
        "\xC1\xBF",         // overlong
        "\xE0\x80\xAF",     // overlong
        "\xED\xA0\x80",     // an encoded surrogate
        "\xED\xBF\xBF",     // an encoded surrogate
        "\xF0\x9F\x98\x80", // above U+FFFF
        "\xF4\x8F\xBF\xBF", // above U+FFFF
        "\xF8\x88\x80\x80\x80",
        "\xFF",
        "a\xC3(", // bad continuation
    };
    for (const char* text : invalid) {
        try {
            platform::utf8ToUcs2(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const std::range_error& e) {
            EXPECT_STREQ(e.what(), "wstring_convert::from_bytes");
        }
    }
    for (const std::u16string& text :
         {std::u16string(u"\xd800"), std::u16string(u"a\xdc00"), std::u16string(u"\xd83d\xde00")}) {
        try {
            platform::ucs2ToUtf8(text);
            ADD_FAILURE() << "accepted a surrogate";
        } catch (const std::range_error& e) {
            EXPECT_STREQ(e.what(), "wstring_convert::to_bytes");
        }
    }
}

TEST(LenientUtf8, PairsBecomeFourBytesAndLoneSurrogatesReplacementCharacters) {
    const Valid cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {"\xE2\x82\xAC", u"\u20ac"},
        {"\xF0\x9F\x98\x80", u"\xd83d\xde00"},
        {"\xEF\xBF\xBD", u"\xd800"},
        {"\xEF\xBF\xBDx", u"\xdc00x"},
        {"\xEF\xBF\xBD\xEF\xBF\xBD", u"\xde00\xd83d"}, // reversed pair
        {"a\xEF\xBF\xBD", u"a\xd83d"},
    };
    for (const Valid& c : cases) {
        EXPECT_EQ(platform::wideToUtf8(c.wide), c.utf8) << c.utf8;
        EXPECT_EQ(platform::wideToUtf8Portable(c.wide), c.utf8) << c.utf8;
    }
}

} // namespace
