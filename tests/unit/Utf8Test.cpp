// The reader of UTF-8 sequences, the strict UTF-8 conversion of text pins and
// the lenient ones of the drawing side and of file names.
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

struct Valid {
    std::string utf8;
    std::u16string wide;
};

struct Sequence {
    std::string bytes;
    bool wellFormed;
    size_t length;
    char32_t character; // when well formed
};

// Each sequence stands at the front of its bytes; what follows it is not read.
const Sequence sequences[] = {
    {std::string(1, '\0'), true, 1, 0},
    {"A", true, 1, U'A'},
    {"\x7F", true, 1, 0x7F},
    {"\xC2\x80", true, 2, 0x80},
    {"\xDF\xBF", true, 2, 0x7FF},
    {"\xE0\xA0\x80", true, 3, 0x800},
    {"\xE2\x82\xAC", true, 3, 0x20AC},
    {"\xED\x9F\xBF", true, 3, 0xD7FF},
    {"\xEE\x80\x80", true, 3, 0xE000},
    {"\xEF\xBF\xBF", true, 3, 0xFFFF},
    {"\xF0\x90\x80\x80", true, 4, 0x10000},
    {"\xF0\x9F\x98\x80z", true, 4, 0x1F600},
    {"\xF4\x8F\xBF\xBF", true, 4, 0x10FFFF},
    {"\xC3\xA9\xC3\xA9", true, 2, 0xE9},
    // Lone continuation bytes and bytes that never start a sequence.
    {"\x80", false, 1, 0},
    {"\xBF\x80", false, 1, 0},
    {"\xF5\x80\x80\x80", false, 1, 0},
    {"\xF8\x88\x80\x80\x80", false, 1, 0},
    {"\xFE", false, 1, 0},
    {"\xFF", false, 1, 0},
    // Overlong forms: known bad at the lead byte or at the second byte.
    {"\xC0\xAF", false, 1, 0},
    {"\xC1\xBF", false, 1, 0},
    {"\xE0\x80\xAF", false, 1, 0},
    {"\xE0\x9F\xBF", false, 1, 0},
    {"\xF0\x80\x80\x80", false, 1, 0},
    {"\xF0\x8F\xBF\xBF", false, 1, 0},
    // Surrogates encoded in UTF-8, and characters above U+10FFFF.
    {"\xED\xA0\x80", false, 1, 0},
    {"\xED\xBF\xBF", false, 1, 0},
    {"\xF4\x90\x80\x80", false, 1, 0},
    {"\xF4\xBF\xBF\xBF", false, 1, 0},
    // Cut short at the end, or by a byte that does not continue it: the start
    // that was still good is one ill-formed sequence.
    {"\xC3", false, 1, 0},
    {"\xE2\x82", false, 2, 0},
    {"\xF0\x9F\x98", false, 3, 0},
    {"\xF0\x9F", false, 2, 0},
    {"\xC3(", false, 1, 0},
    {"\xE6\x97z", false, 2, 0},
    {"\xF0\x9F\x98\xC3\xA9", false, 3, 0},
    {std::string("\xE2\x82\0", 3), false, 2, 0},
};

TEST(Utf8Sequences, ReadsOneWellFormedSequenceOrTheExtentOfAnIllFormedOne) {
    for (const Sequence& c : sequences) {
        const platform::Utf8Sequence read = platform::readUtf8Sequence(c.bytes);
        EXPECT_EQ(read.wellFormed, c.wellFormed) << testing::PrintToString(c.bytes);
        EXPECT_EQ(read.length, c.length) << testing::PrintToString(c.bytes);
        if (c.wellFormed) {
            EXPECT_EQ(uint32_t(read.character), uint32_t(c.character))
                << testing::PrintToString(c.bytes);
        }
    }
}

TEST(Utf8Sequences, WellFormedTextHasOnlyWellFormedSequences) {
    for (const Sequence& c : sequences)
        EXPECT_EQ(platform::isWellFormedUtf8(c.bytes.substr(0, c.length)), c.wellFormed)
            << testing::PrintToString(c.bytes);
    EXPECT_TRUE(platform::isWellFormedUtf8(""));
    EXPECT_TRUE(platform::isWellFormedUtf8("a\xC3\xA9\xF0\x9F\x98\x80"));
    EXPECT_FALSE(platform::isWellFormedUtf8("a\xC3\xA9\xF0\x9F\x98"));
    EXPECT_FALSE(platform::isWellFormedUtf8("\xF0\x9F\x98\x80\x80"));
}

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

// Lenient decoding: pairs above U+FFFF, one U+FFFD for each ill-formed sequence.
const Valid lenientlyDecoded[] = {
    {"", u""},
    {"abc", u"abc"},
    {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    {"h\xC3\xA9llo", u"h\u00e9llo"},
    {"\xE2\x82\xAC", u"\u20ac"},
    {"\xEF\xBB\xBFx", u"\ufeffx"},
    {"a\xF0\x9F\x98\x80z", u"a\xd83d\xde00z"},
    {"\xF4\x8F\xBF\xBF", u"\xdbff\xdfff"},
    {"\xFF", u"\ufffd"},
    {"a\x80z", u"a\ufffdz"},
    {"\x80\x80", u"\ufffd\ufffd"},
    {"\xC3", u"\ufffd"},
    {"x\xF0\x9F\x98", u"x\ufffd"},
    {"\xE6\x97z", u"\ufffdz"},
    {"\xC3\xC3\xA9", u"\ufffd\u00e9"},
    {"\xC0\xAF", u"\ufffd\ufffd"},
    {"\xE0\x80\xAF", u"\ufffd\ufffd\ufffd"},
    {"\xED\xA0\x80", u"\ufffd\ufffd\ufffd"},
    {"\xF4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"},
    {"\xF8\x88\x80\x80\x80", u"\ufffd\ufffd\ufffd\ufffd\ufffd"},
};

TEST(LenientUtf8, DecodesPairsAboveTheBasicPlaneAndReplacesEachIllFormedSequence) {
    for (const Valid& c : lenientlyDecoded) {
        EXPECT_EQ(platform::utf8ToWide(c.utf8), c.wide) << testing::PrintToString(c.utf8);
        std::u16string appended = u"<";
        platform::appendUtf8ToWide(appended, c.utf8);
        EXPECT_EQ(appended, u"<" + c.wide) << testing::PrintToString(c.utf8);
    }
}

TEST(LenientUtf8, WellFormedTextSurvivesTheRoundTrip) {
    for (const Sequence& c : sequences) {
        if (!c.wellFormed)
            continue;
        const std::string text = c.bytes.substr(0, c.length);
        EXPECT_EQ(platform::wideToUtf8Portable(platform::utf8ToWide(text)), text)
            << testing::PrintToString(text);
    }
}

#ifdef _WIN32
// The real call agrees where a sequence is well formed, cut short, or bad at
// its first byte.
TEST(LenientUtf8, AgreesWithTheWin32Call) {
    for (const char* text :
         {"abc", "h\xC3\xA9llo", "\xE2\x82\xAC", "a\xF0\x9F\x98\x80z", "\xF4\x8F\xBF\xBF", "\xFF",
          "a\x80z", "\xC3", "x\xF0\x9F\x98", "\xE6\x97z", "\xC3\xC3\xA9", "\xC0\xAF"}) {
        const std::string utf8(text);
        std::u16string wide(utf8.size(), u'\0');
        wide.resize(
            size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()),
                                       reinterpret_cast<wchar_t*>(wide.data()), int(wide.size()))));
        EXPECT_EQ(platform::utf8ToWide(utf8), wide) << testing::PrintToString(utf8);
    }
}
#endif

} // namespace
