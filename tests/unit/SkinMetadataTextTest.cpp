// The syntax shared by the skin metadata files: reading a stream whole,
// cutting the text into lines and each line into tokens, and decimal values.
#include "skin/SkinMetadataText.h"
#include "tests/MemoryStream.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::string>;

struct TokenCase {
    std::string line;
    Tokens tokens;
};

class TokenizeLine : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenizeLine, GivesTheTokensInOrder) {
    Tokens tokens;
    tokenizeLine(GetParam().line.c_str(), tokens);
    EXPECT_EQ(tokens, GetParam().tokens) << "line: " << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Separators, TokenizeLine,
    ::testing::Values(TokenCase{"frame_size 64 64", {"frame_size", "64", "64"}},
                      TokenCase{"a,b", {"a", "b"}}, TokenCase{"a , b", {"a", "b"}},
                      TokenCase{"a, b", {"a", "b"}}, TokenCase{"a ,b", {"a", "b"}},
                      TokenCase{"a   ,   b", {"a", "b"}},
                      // A second comma, or one after a tab, begins a token.
                      TokenCase{"a,,b", {"a", ",b"}}, TokenCase{"a ,, b", {"a", ",", "b"}},
                      TokenCase{"a\t,b", {"a", ",b"}}, TokenCase{",,,", {",", ","}},
                      TokenCase{",a", {",a"}}, TokenCase{"a,", {"a"}},
                      // Every C-locale white space byte separates; a last CR is white space.
                      TokenCase{" \t\v\fa\r", {"a"}}, TokenCase{"a\tb\rc", {"a", "b", "c"}},
                      TokenCase{"", {}}, TokenCase{"  \t ", {}}));

INSTANTIATE_TEST_SUITE_P(
    Quotes, TokenizeLine,
    ::testing::Values(TokenCase{"'x y' z", {"x y", "z"}}, TokenCase{"'x y',z", {"x y", ",z"}},
                      TokenCase{"''", {""}}, TokenCase{"\"\" ''", {"", ""}},
                      TokenCase{"abc'd e'f", {"abc", "d e", "f"}}, TokenCase{"'abc", {"abc"}},
                      TokenCase{"\"it's\" 'say \"hi\"'", {"it's", "say \"hi\""}},
                      TokenCase{"a\"b c\"", {"a", "b c"}},
                      TokenCase{"font-family 'Segoe UI', Arial",
                                {"font-family", "Segoe UI", ",", "Arial"}}));

TEST(TokenizeLine, TakesBytesFromHexEightyAsOrdinaryAndAppends) {
    Tokens tokens{"kept"};
    tokenizeLine("\xC3\xA9t\xC3\xA9 \xFF\xA0", tokens);
    EXPECT_EQ(tokens, (Tokens{"kept", "\xC3\xA9t\xC3\xA9", "\xFF\xA0"}));
    tokenizeLine(nullptr, tokens);
    EXPECT_EQ(tokens.size(), 3u);
}

struct LinesCase {
    std::string text;
    std::vector<std::string> lines;
};

class SplitLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(SplitLines, CutsAtLineFeeds) {
    EXPECT_EQ(splitSkinMetadataLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, SplitLines,
    ::testing::Values(LinesCase{"a\r\nb\r\n", {"a", "b", ""}}, LinesCase{"a\nb\n", {"a", "b", ""}},
                      LinesCase{"a\nb", {"a", "b"}}, LinesCase{"\nx", {"", "x"}},
                      LinesCase{"", {""}}, LinesCase{"\r\n", {"", ""}},
                      // Only a CR directly before the line feed goes; a last CR stays.
                      LinesCase{"a\r\r\nb\r", {"a\r", "b\r"}}, LinesCase{"a\n\rb", {"a", "\rb"}},
                      // A NUL byte ends its line's content.
                      LinesCase{std::string("a\0b\nc\0", 6), {"a", "c"}},
                      LinesCase{std::string("\0\0\0", 3), {""}}));

TEST(ReadSkinMetadataText, ReadsTheWholeStream) {
    MemoryStream stream("type knob\n");
    EXPECT_EQ(readSkinMetadataText(&stream), "type knob\n");
    EXPECT_EQ(stream.refs, 0);
}

TEST(ReadSkinMetadataText, LeavesNulBytesWhereTheStreamDeliversLess) {
    MemoryStream shortRead("hello");
    shortRead.deliverAtMost = 2;
    EXPECT_EQ(readSkinMetadataText(&shortRead), std::string("he\0\0\0", 5));

    MemoryStream longer("hello");
    longer.reportedSize = 8;
    EXPECT_EQ(readSkinMetadataText(&longer), std::string("hello\0\0\0", 8));

    MemoryStream shorter("hello");
    shorter.reportedSize = 3;
    EXPECT_EQ(readSkinMetadataText(&shorter), "hel");
}

TEST(ReadSkinMetadataText, GivesNoTextForAStreamWithoutAUsableSize) {
    struct Case {
        int64_t size;
        bool answers;
    };
    for (const Case c :
         {Case{0, false}, Case{0, true}, Case{-1, true},
          Case{std::numeric_limits<int64_t>::min(), true}, Case{maxSkinMetadataBytes + 1, true},
          Case{std::numeric_limits<int64_t>::max(), true}}) {
        MemoryStream stream("type knob");
        stream.reportedSize = c.size;
        stream.answersSize = c.answers;
        EXPECT_EQ(readSkinMetadataText(&stream), "") << c.size;
        EXPECT_EQ(stream.reads, 0) << c.size;
    }
    EXPECT_EQ(readSkinMetadataText(nullptr), "");
}

TEST(ReadSkinMetadataLines, TokenizesEveryLineBlankOnesIncluded) {
    MemoryStream stream("frame_size 64,64\r\n\r\n  type 'knob'");
    const std::vector<Tokens> lines = readSkinMetadataLines(&stream);
    EXPECT_EQ(lines, (std::vector<Tokens>{{"frame_size", "64", "64"}, {}, {"type", "knob"}}));
    EXPECT_EQ(readSkinMetadataLines(nullptr), std::vector<Tokens>{Tokens{}});
}

TEST(SkinMetadataDecimal, ReadsAsStrtolOnThirtyTwoBits) {
    struct Case {
        const char* token;
        int32_t value;
    };
    for (const Case c :
         {Case{"64", 64}, Case{"12.7", 12}, Case{"abc", 0}, Case{"", 0}, Case{" \t-7", -7},
          Case{"+3", 3}, Case{"0x10", 0}, Case{"42px", 42}, Case{"2147483647", 2147483647},
          Case{"2147483648", 2147483647}, Case{"99999999999999999999", 2147483647},
          Case{"-2147483648", std::numeric_limits<int32_t>::min()},
          Case{"-99999999999", std::numeric_limits<int32_t>::min()}})
        EXPECT_EQ(skinMetadataDecimal(c.token), c.value) << c.token;
}

} // namespace
