// The reference host: its pin values as a scenario writes them and as they
// are printed, its reading of scenario lines and of its command line, where
// its pictures go, and its table of commands.
#include "framework/MpFactory.h"
#include "host/Rasteriser.h"
#include "host/refhost/Commands.h"
#include "host/refhost/Program.h"
#include "host/refhost/Values.h"
#include "tests/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <stdexcept>

namespace {

using refhost::describe;
using refhost::parseValue;
using testhost::bytesOf;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

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
        {"C# minor, take #2 ", u"C# minor, take #2 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseValue("text", c.utf8), bytesOf(c.wide)) << c.utf8;
        EXPECT_EQ(describe("text", parseValue("text", c.utf8)), "text \"" + c.utf8 + "\"");
    }
    EXPECT_EQ(describe("text", bytesOf(u"a\xD83D")), "text \"a\xEF\xBF\xBD\"");
    // Ill-formed UTF-8 is refused, not read as U+FFFD.
    for (const char* text : {"a\xFFz", "x\xF0\x9F\x98", "\xC0\xAF", "\xED\xA0\x80"})
        EXPECT_THROW(parseValue("text", text), std::runtime_error) << text;
}

TEST(RefHostValues, OtherTypesReadWholeAndPrint) {
    struct Case {
        const char* type;
        const char* text;
        const char* printed;
    };
    const Case cases[] = {
        {"float", "1.5", "float 1.5"},   {"float", "-inf", "float -inf"},
        {"float", "nan", "float nan"},   {"float", "-2e3", "float -2000"},
        {"int", "-7", "int -7"},         {"bool", "true", "bool true"},
        {"bool", "0", "bool false"},     {"bool", "1", "bool true"},
        {"bool", "false", "bool false"}, {"blob", "0102ff", "bytes 01 02 ff"},
        {"blob", "A0bC", "bytes a0 bc"}, {"blob", "", "bytes (none)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(c.type, parseValue(c.type, c.text)), c.printed) << c.type << c.text;
    EXPECT_EQ(describe("int", bytesOf(true)), "bytes 01") << "a size that does not fit the type";
    struct Refused {
        const char* type;
        const char* text;
        const char* message;
    };
    const Refused refused[] = {
        {"float", "x", "not a float: x"},
        {"float", "1.5abc", "not a float: 1.5abc"},
        {"float", "1e99", "not a float: 1e99"},
        {"float", "", "not a float: "},
        {"int", "seven", "not an int: seven"},
        {"int", "3000000000", "not an int: 3000000000"},
        {"int", "7.5", "not an int: 7.5"},
        {"bool", "maybe", "not a bool (true, false, 1 or 0): maybe"},
        {"bool", "True", "not a bool (true, false, 1 or 0): True"},
        {"blob", "123", "not a blob (pairs of hexadecimal digits): 123"},
        {"blob", "zz", "not a blob (pairs of hexadecimal digits): zz"},
        {"blob", "0x12", "not a blob (pairs of hexadecimal digits): 0x12"},
        {"colour", "1", "not a type (bool, int, float, text or blob): colour"},
        {"", "1", "not a type (bool, int, float, text or blob): "},
    };
    for (const Refused& r : refused) {
        try {
            parseValue(r.type, r.text);
            ADD_FAILURE() << "read: " << r.type << " " << r.text;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), r.message);
        }
    }
}

TEST(RefHostValues, AnswersCarryTheNameOfTheirResultCode) {
    EXPECT_EQ(refhost::answerText(ResultSuccess), "0 (ResultSuccess)");
    EXPECT_EQ(refhost::answerText(ResultFailure), "-1 (ResultFailure)");
    EXPECT_EQ(refhost::answerText(ResultUnsupported), "-2 (ResultUnsupported)");
    EXPECT_EQ(refhost::answerText(1), "1");
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// The scenario text run against the library linked into this program.
Outcome runLines(const std::string& text, const std::string& folder = "") {
    std::ostringstream out, err;
    const int status = refhost::runScenario(&factoryInstance(), text, folder, out, err);
    return {status, out.str(), err.str()};
}

Outcome runProgram(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const int status = refhost::runProgram(arguments, out, err);
    return {status, out.str(), err.str()};
}

// Every line is read whole: a word that is not what the command expects
// there, a missing word or a word too many refuses it, naming the line, the
// word and what was expected, and the run ends with status 1.
TEST(RefHostScenario, RefusesALineThatDoesNotReadWhole) {
    struct Case {
        std::string line; // line 2, after "module v KZ_V2dB float float"
        const char* message;
    };
    const Case cases[] = {
        {"set v 0 float 1.5abc", "line 2: not a float: 1.5abc"},
        {"set v 0 bool maybe", "line 2: not a bool (true, false, 1 or 0): maybe"},
        {"set v 0 blob 123", "line 2: not a blob (pairs of hexadecimal digits): 123"},
        {"set v 0 blob zz", "line 2: not a blob (pairs of hexadecimal digits): zz"},
        {"set v 0 int 3000000000", "line 2: not an int: 3000000000"},
        {"wait abc", "line 2: not a number of milliseconds: abc"},
        {"wait -5", "line 2: not a number of milliseconds: -5"},
        {"wait", "line 2: missing MS (wait MS)"},
        {"pointer v press", "line 2: missing FLAGS (pointer NAME EVENT FLAGS X Y)"},
        {"pointer v press 16", "line 2: missing X (pointer NAME EVENT FLAGS X Y)"},
        {"pointer v press 16 10", "line 2: missing Y (pointer NAME EVENT FLAGS X Y)"},
        {"pointer v drag 16 1 1", "line 2: not a pointer event (press, motion or release): drag"},
        {"module w KZ_V2dB float flaot",
         "line 2: not a type (bool, int, float, text or blob): flaot"},
        {"set v", "line 2: missing PIN (set NAME PIN TYPE VALUE)"},
        {"set v zero float 1", "line 2: not an int: zero"},
        {"set v 0 flaot 1", "line 2: not a type (bool, int, float, text or blob): flaot"},
        {"set v 0 float", "line 2: missing VALUE (set NAME PIN TYPE VALUE)"},
        {"set v 0 float 1 2", "line 2: unexpected word: 2 (set NAME PIN TYPE VALUE)"},
        {"wait 50 # a comment after a command", "line 2: unexpected word: # (wait MS)"},
        {"expect v 1", "line 2: missing TYPE (expect NAME PIN TYPE VALUE)"},
        {"paint v 0 10 v.png", "line 2: not a size (a float above 0): 0"},
        {"buffer v 4 -5", "line 2: not a number of frames: -5"},
        {"event v 0 bounce", "line 2: not an event kind (value, streamon, streamoff, message or "
                             "runstart): bounce"},
        {"module w \"KZ_V2dB", "line 2: no closing quote: \"KZ_V2dB"},
        {"module w KZ_Nothing", "line 2: cannot make KZ_Nothing: the factory answers -2 "
                                "(ResultUnsupported); tavri_refhost --list names the "
                                "registrations"},
        {"sett v 0 float 1", "line 2: unknown command: sett"},
        {"set v 0 text a\xFFz", "line 2: not UTF-8: byte 15 is ill-formed"},
        {"# caf\xC3", "line 2: not UTF-8: byte 6 is ill-formed"},
        {"set w 0 float 1", "line 2: no module named w"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Outcome run =
            runLines("module v KZ_V2dB float float\n" + c.line + "\nset v 0 float 1\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "tavri_refhost: " + std::string(c.message) + "\n");
        EXPECT_THAT(run.out, Not(HasSubstr("summary")));
    }
}

// One good line of each kind of value, each printed as it was written and
// then as the module received it: a splitter sends the value on to pin 0.
TEST(RefHostScenario, ReadsEveryKindOfValue) {
    struct Case {
        const char* module;
        std::string line;
        const char* sent; // what pin 0 sends, as the output prints it
    };
    const Case cases[] = {
        {"SplitterFloat float float", "store s 1 float -1.5e3", "float -1500"},
        {"SplitterFloat float float", "store s 1 float -inf", "float -inf"},
        {"SplitterInt int int", "store s 1 int -7", "int -7"},
        {"SplitterBool bool bool", "store s 1 bool true", "bool true"},
        {"SplitterBool bool bool", "store s 1 bool 0", "bool false"},
        {"SplitterText text text", "store s 1 text C# minor, take #2 ",
         "text \"C# minor, take #2 \""},
        {"SplitterText text text", "store s 1 text", "text \"\""},
        {"SplitterBlob blob blob", "store s 1 blob 0102fF", "bytes 01 02 ff"},
        {"SplitterBlob blob blob", "store s 1 blob", "bytes (none)"},
        {"SplitterInt int int", "store\ts 1  int\t-7", "int -7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string module = "module s " + std::string(c.module);
        const Outcome run = runLines(module + "\n  # a comment\n\n" + c.line + "\n");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, module + "\n" + c.line + "\n  answer -1 (ResultFailure)\n" +
                               "  s sends pin 0 " + c.sent + " (voice 0, IGuiHost)\n" +
                               "release s\nsummary: 0 of 0 expectation(s) held; no pictures\n");
    }
}

TEST(RefHostScenario, CountsTheExpectationsThatHeld) {
    const Outcome held = runLines("module v \"KZ_V2dB\" float float\r\n"
                                  "set v 0 float 1\r\n"
                                  "expect v 1 float -20\r\n");
    EXPECT_EQ(held.status, 0);
    EXPECT_EQ(held.out, "module v \"KZ_V2dB\" float float\n"
                        "set v 0 float 1\n"
                        "  v sends pin 1 float -20 (voice 0, IGuiHost)\n"
                        "expect v 1 float -20\n"
                        "  ok: v pin 1 is float -20\n"
                        "release v\n"
                        "summary: 1 of 1 expectation(s) held; no pictures\n");
    const Outcome failed = runLines("module v KZ_V2dB float float\n"
                                    "set v 0 float 1\n"
                                    "expect v 1 float -19\n"
                                    "expect v 0 float 1\n"
                                    "expect v 1 float -20\n");
    EXPECT_EQ(failed.status, 1);
    EXPECT_THAT(failed.out, HasSubstr("expect v 1 float -19\n"
                                      "  MISMATCH: v pin 1 is float -20, expected float -19\n"
                                      "expect v 0 float 1\n"
                                      "  MISMATCH: v pin 0 is never sent, expected float 1\n"));
    EXPECT_THAT(failed.out, HasSubstr("summary: 1 of 3 expectation(s) held; no pictures\n"));
}

// Pictures are written relative to the scenario's folder, whatever the
// current folder; a widget that draws nothing writes none, and a picture
// that cannot be written ends the run.
TEST(RefHostScenario, WritesPicturesBesideTheScenario) {
    testfiles::TempFolder folder;
    const std::string base = folder.path().string();
    const std::string line = "module ln KZLine bool float int text text bool\n"
                             "set ln 1 float 0.5\n"
                             "paint ln 8 6 line.png\n"
                             "module mb MouseBox int\n"
                             "paint mb 8 6 mousebox.png\n";
    const Outcome run = runLines(line, base);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("paint mb 8 6 mousebox.png\n"
                                   "  0 drawing call(s)\n"
                                   "  it draws nothing: no picture written\n"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "mousebox.png"));
    if (!testhost::canRasterise()) {
        EXPECT_THAT(run.out, HasSubstr("  no picture: this build does not write pictures\n"));
        EXPECT_THAT(run.out, HasSubstr("; no pictures: this build does not write them\n"));
        return;
    }
    const std::string picture = base + "/line.png";
    EXPECT_THAT(run.out, HasSubstr("  wrote " + picture + "\n"));
    EXPECT_TRUE(std::filesystem::is_regular_file(picture));
    EXPECT_THAT(run.out, HasSubstr("summary: 0 of 0 expectation(s) held; 1 picture(s) written in " +
                                   base + "\n"));

    const Outcome unwritable = runLines(line + "paint ln 8 6 no-such-folder/line.png\n", base);
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_THAT(unwritable.err, StartsWith("tavri_refhost: line 6: cannot write " + base +
                                           "/no-such-folder/line.png: "));
}

// The command line: a missing or unknown option is refused with the usage
// (status 2); a scenario that is no regular file, or a library that does not
// load, ends the run with the reason (status 1).
TEST(RefHostProgram, RefusesAWrongCommandLine) {
    std::ostringstream usage;
    refhost::printUsageSummary(usage);
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"--libary", "x", "s.txt"}, "unknown option --libary"},
        {{"--library"}, "--library needs a PATH"},
        {{"s.txt", "--library"}, "--library needs a PATH"},
        {{"--library", "--list"}, "--library needs a PATH"},
        {{}, "missing SCENARIO"},
        {{"a.txt", "b.txt"}, "more than one SCENARIO: a.txt and b.txt"},
        {{"--list", "KZ_V2dB", "s.txt"}, "--list takes no SCENARIO"},
        {{"-h"}, "unknown option -h"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome run = runProgram(c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "tavri_refhost: " + std::string(c.message) + "\n" + usage.str());
    }
    const Outcome help = runProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, StartsWith(usage.str()));
}

TEST(RefHostProgram, SaysWhyItCannotReadOrLoad) {
    testfiles::TempFolder folder;
    const std::string base = folder.path().string();
    const std::string scenario = folder.file("s.txt", "wait 0\n").string();
    const Outcome aFolder = runProgram({"--library", base + "/none.sem", base});
    EXPECT_EQ(aFolder.status, 1);
    EXPECT_EQ(aFolder.err, "tavri_refhost: cannot read " + base + ": not a regular file\n");
    const Outcome missing = runProgram({"--library", base + "/none.sem", base + "/none.txt"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "tavri_refhost: cannot read " + base + "/none.txt: no such file\n");

    const Outcome unloaded = runProgram({"--library", base + "/none.sem", scenario});
    EXPECT_EQ(unloaded.status, 1);
    EXPECT_THAT(unloaded.err, StartsWith("tavri_refhost: cannot load " + base + "/none.sem: "));
#ifdef _WIN32
    EXPECT_THAT(unloaded.err, HasSubstr("(error 126)\n"));
#else
    EXPECT_THAT(unloaded.err, HasSubstr("No such file or directory\n"));
#endif
    const Outcome notALibrary = runProgram({"--library", scenario, scenario});
    EXPECT_EQ(notALibrary.status, 1);
    EXPECT_THAT(notALibrary.err, StartsWith("tavri_refhost: cannot load " + scenario + ": "));
    EXPECT_GT(notALibrary.err.size(), ("tavri_refhost: cannot load " + scenario + ": \n").size());

    const Outcome resource = runLines("resource r Image .\n", base);
    EXPECT_EQ(resource.err,
              "tavri_refhost: line 1: cannot read " + base + "/.: not a regular file\n");
}

// A factory that makes nothing, for the listing's marks.
class EmptyFactory final : public gmpi::IMpFactory2 {
public:
    int32_t queryInterface(const InterfaceId&, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
    int32_t addRef() override { return 1; }
    int32_t release() override { return 1; }
    int32_t makeModule(const char16_t*, int32_t, gmpi::IMpUnknown*, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
    int32_t describeBuild(int32_t*, int32_t, char16_t*) override { return ResultFailure; }
    int32_t makeModuleWithoutHost(const char16_t*, int32_t, void** out) override {
        *out = nullptr;
        return ResultUnsupported;
    }
};

TEST(RefHostList, MarksWhatTheLibraryDoesNotMake) {
    EmptyFactory empty;
    std::ostringstream out, err;
    EXPECT_EQ(refhost::listModules(&empty, "", out, err), 1);
    EXPECT_THAT(out.str(),
                HasSubstr("       2  module   KZ_V2dB  (the library does not make it)\n"));
    EXPECT_THAT(out.str(), HasSubstr("       0  audio    GUISet2Trig  (the library does not make "
                                     "it)\n"));
    EXPECT_THAT(err.str(), HasSubstr("the library does not make "));

    std::ostringstream none, why;
    EXPECT_EQ(refhost::listModules(&empty, "KZ_Nothing", none, why), 1);
    EXPECT_EQ(none.str(), "");
    EXPECT_EQ(why.str(), "tavri_refhost: no registration of the module ID KZ_Nothing "
                         "(tavri_refhost --list names them)\n");
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
