// The item-list reader: both forms walked, counted and searched.
#include "framework/EnumListReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int32_t maxInt = std::numeric_limits<int32_t>::max();
constexpr int32_t minInt = std::numeric_limits<int32_t>::min();

struct Item {
    int32_t index;
    int32_t id;
    std::u16string text;
    bool operator==(const Item&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Item& item) {
    out << "{" << item.index << ", " << item.id << ", \"";
    for (const char16_t c : item.text)
        out << (c < 0x80 ? char(c) : '?');
    return out << "\"}";
}

std::vector<Item> walk(EnumListReader& reader, size_t limit = 100) {
    std::vector<Item> items;
    for (reader.first(); reader.item().index != -1 && items.size() < limit; reader.next())
        items.push_back({reader.item().index, reader.item().id, reader.item().text});
    return items;
}

struct WalkCase {
    const char16_t* text;
    bool isRange;
    int32_t count;
    std::vector<Item> items;
};

class EnumListWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(EnumListWalk, YieldsItsItemsAndCount) {
    const WalkCase& c = GetParam();
    EnumListReader reader(c.text);
    EXPECT_EQ(reader.isRange(), c.isRange);
    EXPECT_EQ(reader.count(), c.count);
    EXPECT_EQ(walk(reader), c.items);
    // Past the end it stays there; first() starts again.
    reader.next();
    EXPECT_EQ(reader.item().index, -1);
    EXPECT_EQ(walk(reader), c.items);
}

INSTANTIATE_TEST_SUITE_P(
    RangeForm, EnumListWalk,
    ::testing::Values(
        WalkCase{u"range 1,4", true, 4, {{0, 1, u"1"}, {1, 2, u"2"}, {2, 3, u"3"}, {3, 4, u"4"}}},
        WalkCase{u"range 5", true, 1, {{0, 5, u"5"}}}, WalkCase{u"range 4,1", true, 4, {}},
        WalkCase{u"range +3,-1", true, 5, {}}, WalkCase{u"range ", true, 1, {{0, 0, u"0"}}},
        WalkCase{u"rangeX", true, 1, {{0, 0, u"0"}}},
        // The character after "range" is skipped whatever it is.
        WalkCase{u"range12,3", true, 2, {{0, 2, u"2"}, {1, 3, u"3"}}},
        WalkCase{
            u"range -2,1", true, 4, {{0, -2, u"-2"}, {1, -1, u"-1"}, {2, 0, u"0"}, {3, 1, u"1"}}},
        WalkCase{u"range  7 , 8", true, 2, {{0, 7, u"7"}, {1, 8, u"8"}}},
        WalkCase{u"range 0x10,0x20", true, 1, {{0, 0, u"0"}}}, WalkCase{u"range 9,x", true, 10, {}},
        WalkCase{u"range 2147483646,2147483647",
                 true,
                 2,
                 {{0, 2147483646, u"2147483646"}, {1, 2147483647, u"2147483647"}}},
        WalkCase{u"range 2147483647,99999999999", true, 1, {{0, 2147483647, u"2147483647"}}},
        WalkCase{u"range -99999999999,-2147483647",
                 true,
                 2,
                 {{0, minInt, u"-2147483648"}, {1, -2147483647, u"-2147483647"}}}));

INSTANTIATE_TEST_SUITE_P(
    ListForm, EnumListWalk,
    ::testing::Values(
        WalkCase{u"Off,On", false, 2, {{0, 0, u"Off"}, {1, 1, u"On"}}},
        WalkCase{
            u"Low=10,Mid,High=20", false, 3, {{0, 10, u"Low"}, {1, 11, u"Mid"}, {2, 20, u"High"}}},
        WalkCase{u"  two words \t,\r\nnext\v ", false, 2, {{0, 0, u"two words"}, {1, 1, u"next"}}},
        WalkCase{u"a,----,b", false, 3, {{0, 0, u"a"}, {1, 1, u"----"}, {2, 2, u"b"}}},
        WalkCase{u"a,", false, 2, {{0, 0, u"a"}}},
        WalkCase{u",a", false, 1, {{0, 0, u""}, {1, 1, u"a"}}},
        WalkCase{u",,", false, 2, {{0, 0, u""}, {1, 1, u""}}}, WalkCase{u"", false, 0, {}},
        WalkCase{u"   ", false, 1, {{0, 0, u""}}},
        WalkCase{u"x = 7 ,y", false, 2, {{0, 7, u"x"}, {1, 8, u"y"}}},
        WalkCase{u"x=abc,y=5=6", false, 2, {{0, 0, u"x"}, {1, 5, u"y"}}},
        WalkCase{u"=3", false, 1, {{0, 3, u""}}},
        WalkCase{u"a=-1,b", false, 2, {{0, -1, u"a"}, {1, 0, u"b"}}},
        // The id after an item's "=" clamps; the next one wraps as 32 bits unsigned do.
        WalkCase{u"a=99999999999,b", false, 2, {{0, maxInt, u"a"}, {1, minInt, u"b"}}},
        WalkCase{u"Range 1,2", false, 2, {{0, 0, u"Range 1"}, {1, 1, u"2"}}},
        WalkCase{u"rang", false, 1, {{0, 0, u"rang"}}},
        WalkCase{
            u"\u00e9t\u00e9=2,\u4e2d", false, 2, {{0, 2, u"\u00e9t\u00e9"}, {1, 3, u"\u4e2d"}}}));

TEST(EnumListReader, RangeWithoutNumbersThrows) {
    EXPECT_THROW(EnumListReader(u"range"), std::out_of_range);
    EXPECT_THROW(enumListHasId(u"range", 0), std::out_of_range);
    EXPECT_THROW(enumListValidId(u"range", 0), std::out_of_range);
}

TEST(EnumListReader, WideRangeCountsAtMostTheLargestInt) {
    EnumListReader reader(u"range -2147483648,2147483647");
    EXPECT_EQ(reader.count(), maxInt);
    EXPECT_EQ(EnumListReader(u"range 2147483647,-2147483648").count(), maxInt);
    EXPECT_EQ(EnumListReader(u"range 0,2147483646").count(), maxInt);
    reader.first();
    EXPECT_EQ(reader.item().id, minInt);
    // The last item whose position still fits in 32 bits.
    ASSERT_TRUE(reader.seekIndex(maxInt));
    EXPECT_EQ(reader.item().id, -1);
    reader.next();
    EXPECT_EQ(reader.item().index, -1);
    EXPECT_FALSE(reader.seekId(maxInt));
}

TEST(EnumListReader, SeparatorsArePassedOverBySeeks) {
    EnumListReader reader(u"a,----,b");
    EXPECT_FALSE(reader.seekIndex(1));
    EXPECT_EQ(reader.item().index, -1);
    EXPECT_FALSE(reader.seekId(1));
    EXPECT_EQ(reader.item().index, -1);
    ASSERT_TRUE(reader.seekId(2));
    EXPECT_EQ(reader.item().text, u"b");

    EnumListReader twoFives(u"a,----=5,b=5");
    ASSERT_TRUE(twoFives.seekId(5));
    EXPECT_EQ(twoFives.item().index, 2);
    EXPECT_EQ(twoFives.item().text, u"b");

    EnumListReader leading(u"----,a,a");
    EXPECT_FALSE(leading.seekIndex(0));
    ASSERT_TRUE(leading.seekIndex(2));
    EXPECT_EQ(leading.item().id, 2);
    EXPECT_FALSE(leading.seekIndex(3));
    EXPECT_FALSE(leading.seekIndex(-1));
    EXPECT_EQ(leading.item().index, -1);
    leading.next();
    EXPECT_EQ(leading.item().index, -1) << "a failed seek leaves the reader past the end";
}

TEST(EnumListReader, SeparatorItems) {
    struct Case {
        const char16_t* text;
        bool separator;
    } cases[] = {
        {u"----", true},  {u"<<<<", true},  {u">>>>", true}, {u"||||", true},
        {u"-----", true}, {u"||||x", true}, {u"---", false}, {u"-<-<", false},
        {u"====", false}, {u"xxxx", false}, {u"", false},    {u" ----", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EnumListReader::isSeparator(c.text), c.separator) << Item{0, 0, c.text};
}

TEST(EnumListReader, RangeSeeksLandWithoutWalking) {
    EnumListReader reader(u"range 0,1000000");
    ASSERT_TRUE(reader.seekId(1000000));
    EXPECT_EQ(reader.item().index, 1000000);
    EXPECT_EQ(reader.item().text, u"1000000");
    reader.next();
    EXPECT_EQ(reader.item().index, -1);

    ASSERT_TRUE(reader.seekId(5));
    reader.next();
    EXPECT_EQ(reader.item().index, 6);
    EXPECT_EQ(reader.item().id, 6);
    EXPECT_EQ(reader.item().text, u"6");

    EXPECT_FALSE(reader.seekId(1000001));
    EXPECT_EQ(reader.item().index, -1);
    reader.next();
    EXPECT_EQ(reader.item().index, -1);
    EXPECT_FALSE(reader.seekId(-1));
    ASSERT_TRUE(reader.seekIndex(3));
    EXPECT_EQ(reader.item().id, 3);
    EXPECT_FALSE(reader.seekIndex(1000001));
    EXPECT_FALSE(reader.seekIndex(-1));

    EnumListReader offset(u"range -5,5");
    ASSERT_TRUE(offset.seekIndex(10));
    EXPECT_EQ(offset.item().id, 5);
    ASSERT_TRUE(offset.seekId(-5));
    EXPECT_EQ(offset.item().index, 0);

    EnumListReader reversed(u"range 4,1");
    EXPECT_FALSE(reversed.seekId(2));
    EXPECT_FALSE(reversed.seekIndex(0));

    EnumListReader top(u"range 2147483640,2147483647");
    ASSERT_TRUE(top.seekId(maxInt));
    EXPECT_EQ(top.item().index, 7);
    top.next();
    EXPECT_EQ(top.item().index, -1);
}

TEST(EnumListReader, HasIdAndValidId) {
    struct Case {
        const char16_t* text;
        int32_t id;
        bool has;
        int32_t valid;
    } cases[] = {
        {u"x=3,y=4", 9, false, 3},   {u"x=3,y=4", 4, true, 4},    {u"", 5, false, 0},
        {u"", 0, false, 0},          {u"range 5,9", 1, false, 5}, {u"range 5,9", 9, true, 9},
        {u"range 4,1", 2, false, 0}, {u"----=7,a", 7, false, 7},  {u",a", 0, true, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(enumListHasId(c.text, c.id), c.has) << Item{0, c.id, c.text};
        EXPECT_EQ(enumListValidId(c.text, c.id), c.valid) << Item{0, c.id, c.text};
    }
}

// A walk and the count agree on every list but those the reader documents.
TEST(EnumListReader, CountMatchesTheWalkOfLongLists) {
    std::u16string text;
    for (int i = 0; i < 1000; ++i) {
        if (i)
            text += u',';
        text.append(u"item").push_back(char16_t(u'a' + i % 26));
    }
    EnumListReader reader(text);
    EXPECT_EQ(reader.count(), 1000);
    const auto items = walk(reader, 2000);
    ASSERT_EQ(items.size(), 1000u);
    EXPECT_EQ(items.back(), (Item{999, 999, u"iteml"}));
}

// The reader's whole position: the item, and the item that next() gives after it.
struct Position {
    Item item;
    Item following;
    bool operator==(const Position&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Position& p) {
    return out << p.item << " then " << p.following;
}

Position positionOf(EnumListReader reader) {
    const Item item{reader.item().index, reader.item().id, reader.item().text};
    reader.next();
    return {item, {reader.item().index, reader.item().id, reader.item().text}};
}

// Where a walk from the first item stops at the first item that matches,
// or past the end: what every seek must leave.
template <class Match> Position walkedTo(const std::u16string& text, Match match) {
    EnumListReader reader(text);
    for (reader.first(); reader.item().index != -1; reader.next())
        if (match(reader.item()))
            break;
    return positionOf(reader);
}

// Seeks by position, by id and by line land where a walk lands, with the
// same item, the same following item, and the same state past the end; on
// one reader seeking again and again, in any order.
TEST(EnumListReader, SeeksLandWhereAWalkLands) {
    std::u16string longList;
    for (int i = 0; i < 300; ++i) {
        if (i)
            longList += u',';
        longList += i % 37 == 5 ? u"----" : i % 41 == 7 ? u" |||| " : u"w";
        if (i % 7 == 3) {
            longList += u'=';
            longList += char16_t(u'0' + i % 10);
            longList += u'0';
        }
    }
    std::u16string ascending; // runs of ids that ascend, with gaps between them
    for (int i = 0; i < 200; ++i) {
        ascending += i ? u"," : u"";
        ascending += i % 53 == 20 ? u"<<<<" : u"v";
        if (i % 3 == 0)
            for (const char c : "=" + std::to_string(i * 5))
                ascending += char16_t(c);
    }
    const std::u16string texts[] = {
        u"a,----,b",
        u"a,----=5,b=5",
        u"----,a,a",
        u",a",
        u"a,",
        u",,",
        u"",
        u"   ",
        u"x=3,y=4",
        u"Low=10,Mid,High=20",
        u"a=2147483646,b,c,d",  // a run of ids that wraps
        u"b=5,a=1,c",           // runs out of order
        u"a=5,b=3,c,d,e",       // runs that overlap: 5 twice
        u"a=1,b=1,c=1",         // one id three times
        u"----=7,a,<<<<=7,b=7", // separators with ids
        u"<<<<,>>>>,||||,----", // nothing but separators
        u"a, b = -3 ,c,=x,d=99999999999,e",
        longList,
        ascending,
    };
    for (const std::u16string& text : texts) {
        const Item shown{0, 0, text.size() < 60 ? text : u"(the long list)"};
        SCOPED_TRACE(::testing::Message() << shown);
        EnumListReader all(text);
        const auto items = walk(all, 1000);
        std::vector<int32_t> ids{minInt, maxInt, -1, 0, 1, 2, 7, 12345};
        for (const Item& item : items)
            ids.push_back(item.id);
        EnumListReader reader(text);
        for (int round = 0; round < 2; ++round) {
            for (int32_t index = -2; index <= int32_t(items.size()) + 1; ++index) {
                const int32_t at = round ? int32_t(items.size()) - 1 - index : index;
                SCOPED_TRACE(at);
                const Position byWalk = walkedTo(text, [at](const EnumListItem& item) {
                    return item.index == at && !EnumListReader::isSeparator(item.text);
                });
                EXPECT_EQ(reader.seekIndex(at), byWalk.item.index != -1);
                if (at >= 0) { // a negative position leaves the item as it was
                    EXPECT_EQ(positionOf(reader), byWalk);
                }

                int32_t lines = 0;
                const Position lineByWalk = walkedTo(text, [at, &lines](const EnumListItem& item) {
                    return !EnumListReader::isSeparator(item.text) && lines++ == at;
                });
                EXPECT_EQ(reader.seekLine(at), lineByWalk.item.index != -1);
                if (at >= 0) {
                    EXPECT_EQ(positionOf(reader), lineByWalk);
                }
            }
            for (const int32_t id : ids) {
                SCOPED_TRACE(id);
                const Position byWalk = walkedTo(text, [id](const EnumListItem& item) {
                    return item.id == id && !EnumListReader::isSeparator(item.text);
                });
                EXPECT_EQ(reader.seekId(id), byWalk.item.index != -1);
                EXPECT_EQ(positionOf(reader), byWalk);
            }
            std::reverse(ids.begin(), ids.end());
        }
    }
}

TEST(EnumListReader, LinesPassOverSeparators) {
    EnumListReader reader(u"A,----,B,<<<<,>>>>,C=7,||||");
    const std::vector<std::pair<int32_t, std::u16string>> lines = {{0, u"A"}, {2, u"B"}, {7, u"C"}};
    for (int32_t line = 0; line < 3; ++line) {
        ASSERT_TRUE(reader.seekLine(line)) << line;
        EXPECT_EQ(reader.item().id, lines[size_t(line)].first);
        EXPECT_EQ(reader.item().text, lines[size_t(line)].second);
    }
    EXPECT_FALSE(reader.seekLine(3));
    EXPECT_EQ(reader.item().index, -1);
    EXPECT_FALSE(reader.seekLine(-1));

    // In the range form a line is an item.
    EnumListReader range(u"range -5,5");
    ASSERT_TRUE(range.seekLine(10));
    EXPECT_EQ(range.item().id, 5);
    EXPECT_FALSE(range.seekLine(11));
    EXPECT_FALSE(range.seekLine(-1));
}

// Copies share the text and its index and move on their own.
TEST(EnumListReader, CopiesMoveOnTheirOwn) {
    std::u16string text = u"a,----,b=5,c";
    EnumListReader reader(std::move(text));
    EXPECT_EQ(reader.text(), u"a,----,b=5,c");
    ASSERT_TRUE(reader.seekLine(1));
    EnumListReader copy = reader;
    copy.next();
    EXPECT_EQ(copy.item().text, u"c");
    EXPECT_EQ(copy.item().id, 6);
    EXPECT_EQ(reader.item().text, u"b");
    ASSERT_TRUE(copy.seekId(0));
    EXPECT_EQ(reader.item().id, 5);
    reader.next();
    EXPECT_EQ(reader.item().text, u"c");
    EXPECT_EQ(&copy.text(), &reader.text());
}

} // namespace
