// The conversions between 16-bit file names and file-system paths.
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

namespace {

using platform::pathFromText;
using platform::textFromPath;

TEST(FileSystem, AZeroUnitNamesNoFile) {
    EXPECT_FALSE(pathFromText(std::u16string(u"a\0b", 3)));
    EXPECT_FALSE(pathFromText(std::u16string(1, u'\0')));
    ASSERT_TRUE(pathFromText(u""));
    EXPECT_TRUE(pathFromText(u"")->empty());
}

TEST(FileSystem, TextSurvivesTheRoundTrip) {
    const std::u16string names[] = {u"plain.txt", u"caf\u00E9", u"\u65E5\u672C\u8A9E",
                                    u"pair \U0001F600", u"\uFFFD\uFFFF"};
    for (const std::u16string& name : names) {
        const auto path = pathFromText(name);
        ASSERT_TRUE(path);
        EXPECT_EQ(textFromPath(*path), name);
    }
}

#ifdef _WIN32
TEST(FileSystem, WindowsNamesAreTheWideTextItself) {
    const std::u16string name = u"C:\\Music/sub\\\xD800lone";
    const auto path = pathFromText(name);
    ASSERT_TRUE(path);
    ASSERT_EQ(path->native().size(), name.size());
    for (size_t i = 0; i < name.size(); ++i)
        EXPECT_EQ(char16_t(path->native()[i]), name[i]);
    EXPECT_EQ(textFromPath(*path), name);
}
#else
TEST(FileSystem, LinuxNamesAreUtf8) {
    EXPECT_EQ(pathFromText(u"caf\u00E9 \U0001F600")->native(), "caf\xC3\xA9 \xF0\x9F\x98\x80");
    // A surrogate without its partner has no UTF-8 form.
    for (const std::u16string name : {u"a\xD800", u"\xDC00z", u"\xD800\xD800\xDC00"})
        EXPECT_FALSE(pathFromText(name));
}

TEST(FileSystem, BadUtf8IsShownWithReplacementCharacters) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\xFF", u"\uFFFD"},
        {"a\x80z", u"a\uFFFDz"},
        {"\xC3", u"\uFFFD"},                               // cut short at the end
        {"\xE6\x97z", u"\uFFFDz"},                         // one replacement for the valid prefix
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                     // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},           // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // above U+10FFFF
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textFromPath(std::filesystem::path(c.bytes)), c.text);
}
#endif

} // namespace
