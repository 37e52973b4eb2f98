// The reference host's pin values as a scenario writes them and as they are
// printed, and its table of commands.
#include "host/refhost/Commands.h"
#include "host/refhost/Values.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <stdexcept>

namespace {

using refhost::describe;
using refhost::parseValue;
using testhost::bytesOf;

TEST(RefHostValues, TextIsReadAsUtf8AndReachesTheModuleAsUtf16) {
    struct Case {
        std::string utf8;
        std::u16string wide;
    };
    const Case cases[] = {
        {"", u""},
        {"h\xC3\xA9llo", u"h\u00E9llo"},
        {"\xE2\x82\xAC 5", u"\u20AC 5"},
        {"a\xF0\x9F\x98\x80z", u"a\U0001F600z"}, // a pair, then what follows
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80", u"\U0001F600\U0001F600"},
        {"a\xFFz", u"a\uFFFDz"},
        {"x\xF0\x9F\x98", u"x\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseValue("text", c.utf8), bytesOf(c.wide)) << c.utf8;
        if (c.wide.find(u'\uFFFD') == std::u16string::npos) {
            EXPECT_EQ(describe("text", parseValue("text", c.utf8)), "text \"" + c.utf8 + "\"");
        }
    }
    EXPECT_EQ(describe("text", bytesOf(u"a\xD83D")), "text \"a\xEF\xBF\xBD\"");
}

TEST(RefHostValues, OtherTypesReadAndPrint) {
    struct Case {
        const char* type;
        const char* text;
        const char* printed;
    };
    const Case cases[] = {
        {"float", "1.5", "float 1.5"},        {"float", "-inf", "float -inf"},
        {"float", "nan", "float nan"},        {"int", "-7", "int -7"},
        {"bool", "true", "bool true"},        {"bool", "0", "bool false"},
        {"blob", "0102ff", "bytes 01 02 ff"}, {"blob", "", "bytes (none)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(c.type, parseValue(c.type, c.text)), c.printed) << c.type << c.text;
    EXPECT_EQ(describe("int", bytesOf(true)), "bytes 01") << "a size that does not fit the type";
    for (const auto& [type, text] : {std::pair{"float", "x"},
                                     {"float", "1e99"},
                                     {"int", "seven"},
                                     {"int", "3000000000"},
                                     {"colour", "1"}})
        EXPECT_THROW(parseValue(type, text), std::runtime_error) << type << " " << text;
}

TEST(RefHostCommands, EveryCommandIsFoundByNameAndListedInTheUsage) {
    std::ostringstream usage;
    refhost::printUsage(usage);
    std::set<std::string_view> names;
    for (const refhost::Command& command : refhost::commandTable()) {
        EXPECT_TRUE(names.insert(command.name).second) << "twice: " << command.name;
        EXPECT_EQ(refhost::findCommand(command.name), &command);
        ASSERT_NE(command.run, nullptr) << command.name;
        const std::string line =
            "  " + std::string(command.name) + " " + std::string(command.synopsis) + " ";
        EXPECT_NE(usage.str().find(line), std::string::npos) << line;
        EXPECT_NE(usage.str().find(command.help), std::string::npos) << command.help;
    }
    EXPECT_EQ(names.size(), 21u);
    EXPECT_EQ(refhost::findCommand("sett"), nullptr);
    EXPECT_EQ(refhost::findCommand(""), nullptr);
}

} // namespace
