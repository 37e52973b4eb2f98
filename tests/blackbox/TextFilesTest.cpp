// StringLoader and StringSaver on real files, through the export.
#include "LibraryFixture.h"
#include "tests/AsciiText.h"
#include "tests/TempFolder.h"

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

using namespace testhost;
using testfiles::nameOf;
using testfiles::readBytes;
using testfiles::writeBytes;
namespace fs = std::filesystem;

namespace {

enum LoaderPin { LoadedText = 0, LoadTrigger = 1, AutoLoad = 2, LoadNameA = 3, LoadNameB = 4 };
enum SaverPin { SavedText = 0, SaveTrigger = 1, AutoSave = 2, SaveNameA = 3, SaveNameB = 4 };

class TextFiles : public blackbox::LibraryTest {
protected:
    // The texts the loader sent, in order.
    std::vector<std::u16string> loadedTexts() const {
        std::vector<std::u16string> texts;
        for (const SentValue& value : host.sent) {
            EXPECT_EQ(value.pinId, LoadedText);
            texts.push_back(value.asText());
        }
        return texts;
    }
    // Loads the file by name with auto-load on.
    std::vector<std::u16string> autoLoad(const std::u16string& name) {
        GuiModule loader = make(u"StringLoader");
        loader.set(AutoLoad, true);
        loader.set(LoadNameA, name);
        return loadedTexts();
    }
    // Saves by the trigger; the answer to the trigger's change.
    int32_t save(const std::u16string& name, const std::u16string& text) {
        GuiModule saver = make(u"StringSaver");
        saver.set(SavedText, text);
        saver.set(SaveNameA, name);
        const int32_t result = saver.set(SaveTrigger, true);
        EXPECT_TRUE(host.sent.empty());
        return result;
    }

    testfiles::TempFolder temp;
};

struct LoadCase {
    const char* what;
    std::string bytes;
    std::u16string text;
};

class Loading : public TextFiles, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(Loading, IsTheFileReadAsLatin1WithCrLfAsLf) {
    const LoadCase& c = GetParam();
    const fs::path file = temp.file("text.txt", c.bytes);
    const auto texts = autoLoad(nameOf(file));
    if (c.text.empty()) {
        // The pin already holds the empty text.
        EXPECT_TRUE(texts.empty());
    } else {
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], c.text);
    }
}

std::string allBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    return bytes;
}
// A CR LF pair split by the loader's 64 KiB reading blocks.
std::string straddling() {
    return std::string(65535, 'x') + "\r\ny";
}
std::u16string straddlingText() {
    return std::u16string(65535, u'x') + u"\ny";
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Loading,
    ::testing::Values(
        LoadCase{"crlf", "a\r\nb\r\n", u"a\nb\n"}, LoadCase{"utf8", "\xC3\xA9", u"\u00C3\u00A9"},
        LoadCase{"bom", "\xEF\xBB\xBFhi", u"\u00EF\u00BB\u00BFhi"},
        LoadCase{"ctrlZ", "x\x1Ay", u"x\u001Ay"},
        LoadCase{"zero", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        LoadCase{"lone cr", "a\rb", u"a\rb"}, LoadCase{"cr cr lf", "a\r\r\nb", u"a\r\nb"},
        LoadCase{"cr at end", "end\r", u"end\r"}, LoadCase{"lf cr", "a\n\rb", u"a\n\rb"},
        LoadCase{"empty", "", u""}, LoadCase{"all bytes", allBytes(), widenLatin1(allBytes())},
        LoadCase{"split pair", straddling(), straddlingText()}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST_F(TextFiles, LineEndsAreFoundWhereverTheyFall) {
    // CR LF, a lone CR and CR CR LF at every offset within the loader's
    // 16-byte steps and across its 8192-byte pieces.
    GuiModule loader = make(u"StringLoader");
    const fs::path file = temp.path() / "ends.txt";
    loader.set(LoadNameA, nameOf(file));
    size_t expectedSends = 0;
    for (const size_t lead : {size_t(0), size_t(8160), size_t(65500)}) {
        for (size_t offset = 0; offset < 40; ++offset) {
            const std::string before = std::string(lead, 'a') + std::string(offset, 'x');
            const std::string after(40, 'y');
            writeBytes(file, before + "\r\n" + after + "\r" + after + "\r\r\n" + after);
            loader.set(LoadTrigger, true);
            ++expectedSends;
            ASSERT_EQ(host.sent.size(), expectedSends) << lead << "+" << offset;
            EXPECT_EQ(host.sent.back().asText(),
                      widenLatin1(before + "\n" + after + "\r" + after + "\r\n" + after))
                << lead << "+" << offset;
        }
    }
}

TEST_F(TextFiles, AutoLoadReadsTheNameTheHostResolves) {
    const fs::path file = temp.file("real.txt", "resolved");
    host.resolveName = [&](const std::u16string& name) {
        return name == u"short" ? nameOf(file) : name;
    };
    EXPECT_EQ(autoLoad(u"short"), std::vector<std::u16string>{u"resolved"});
    EXPECT_EQ(host.resolvedNames, std::vector<std::u16string>{u"short"});
}

TEST_F(TextFiles, EachTriggerLoadsAgainAndSendsOnlyChanges) {
    const fs::path file = temp.file("t.txt", "one");
    GuiModule loader = make(u"StringLoader");
    loader.set(LoadNameB, nameOf(file));
    EXPECT_TRUE(host.sent.empty()) << "auto-load is off";
    loader.set(LoadTrigger, true);
    loader.set(LoadTrigger, true);
    loader.set(LoadTrigger, false);
    writeBytes(file, "two");
    loader.set(LoadTrigger, true);
    EXPECT_EQ(loadedTexts(), (std::vector<std::u16string>{u"one", u"two"}));
}

TEST_F(TextFiles, SwitchingAutoLoadOnLoadsNothingByItself) {
    const fs::path file = temp.file("t.txt", "text");
    GuiModule loader = make(u"StringLoader");
    loader.set(LoadNameA, nameOf(file));
    loader.set(AutoLoad, true);
    EXPECT_TRUE(host.sent.empty());
    loader.set(LoadNameA, nameOf(file));
    EXPECT_EQ(loadedTexts(), std::vector<std::u16string>{u"text"});
}

TEST_F(TextFiles, TheNamePinChangedLastDecides) {
    const fs::path a = temp.file("a.txt", "A"), b = temp.file("b.txt", "B");
    GuiModule loader = make(u"StringLoader");
    loader.set(LoadNameA, nameOf(a));
    loader.set(LoadNameB, nameOf(b));
    loader.set(LoadTrigger, true);
    loader.set(LoadNameA, nameOf(a));
    loader.set(LoadTrigger, true);
    EXPECT_EQ(loadedTexts(), (std::vector<std::u16string>{u"B", u"A"}));

    GuiModule saver = make(u"StringSaver");
    saver.set(SavedText, u"new");
    saver.set(SaveNameB, nameOf(b));
    saver.set(SaveNameA, nameOf(a));
    saver.set(SaveTrigger, true);
    EXPECT_EQ(readBytes(a), "new");
    EXPECT_EQ(readBytes(b), "B");
}

TEST_F(TextFiles, ANameSetFromInsideTheResolutionOfAnotherStands) {
    const fs::path a = temp.file("a.txt", "A"), b = temp.file("b.txt", "B");
    GuiModule loader = make(u"StringLoader");
    loader.set(AutoLoad, true);
    bool changed = false;
    host.onCall = [&](HostCall call) {
        if (call == HostCall::ResolveFileName && !std::exchange(changed, true))
            loader.set(LoadNameB, nameOf(b));
    };
    loader.set(LoadNameA, nameOf(a));
    host.onCall = nullptr;
    ASSERT_TRUE(changed);
    // The later name is loaded, and stays the one a trigger loads.
    writeBytes(b, "C");
    loader.set(LoadTrigger, true);
    EXPECT_EQ(loadedTexts(), (std::vector<std::u16string>{u"B", u"C"}));
}

TEST_F(TextFiles, NamesThatOpenNoFileLeaveThePinAlone) {
    const fs::path file = temp.file("kept.txt", "kept");
    const fs::path folder = temp.folder("folder");
    host.defaultFolder = nameOf(temp.path());
    GuiModule loader = make(u"StringLoader");
    loader.set(AutoLoad, true);
    loader.set(LoadNameA, nameOf(file));
    ASSERT_EQ(loadedTexts(), std::vector<std::u16string>{u"kept"});
    const std::u16string unopenable[] = {
        nameOf(temp.path() / "missing.txt"), nameOf(folder),
        u"",                            // the host resolves it to its default folder
        nameOf(file) + u'\0' + u"tail", // the host would see only the existing file's name
    };
    for (const std::u16string& name : unopenable) {
        loader.set(LoadNameA, name);
        loader.set(LoadTrigger, true);
    }
    EXPECT_EQ(loadedTexts().size(), 1u);
    // The name with a zero unit is not handed to the host.
    EXPECT_EQ(host.resolvedNames.size(), 4u);
}

TEST_F(TextFiles, AFileTooLargeForThePinLeavesItAlone) {
    const fs::path big = temp.file("big.txt", "");
    std::error_code error;
    fs::resize_file(big, (uintmax_t(1) << 30) + 1, error); // sparse on most file systems
    if (error)
        GTEST_SKIP() << "cannot make a 1 GiB file here";
    const fs::path small = temp.file("small.txt", "small");
    GuiModule loader = make(u"StringLoader");
    loader.set(AutoLoad, true);
    loader.set(LoadNameA, nameOf(small));
    loader.set(LoadNameA, nameOf(big));
    EXPECT_EQ(loadedTexts(), std::vector<std::u16string>{u"small"});
}

TEST_F(TextFiles, AnUnreadableFileLeavesThePinAlone) {
    if (!testfiles::permissionFailuresHappen())
        GTEST_SKIP() << "permissions do not stop this process";
    const fs::path file = temp.file("locked.txt", "secret");
    fs::permissions(file, fs::perms::none);
    EXPECT_TRUE(autoLoad(nameOf(file)).empty());
}

TEST_F(TextFiles, WithoutTheLegacyHostTheNameIsUsedUnchanged) {
    const fs::path file = temp.file("plain.txt", "plain");
    host.offer(HostInterface::Legacy, false);
    host.resolveName = [](const std::u16string&) { return std::u16string(u"elsewhere"); };
    EXPECT_EQ(autoLoad(nameOf(file)), std::vector<std::u16string>{u"plain"});
    EXPECT_TRUE(host.resolvedNames.empty());
}

TEST_F(TextFiles, AnUnattachedLoaderLoadsByTheNameUnchanged) {
    const fs::path file = temp.file("plain.txt", "plain");
    GuiModule loader = make(u"StringLoader", false);
    loader.set(AutoLoad, true);
    loader.set(LoadNameA, nameOf(file));
    EXPECT_TRUE(host.resolvedNames.empty());
    // Attached later, the same text loaded again is no change and not sent.
    ASSERT_EQ(loader->attachHost(host.object()), ResultSuccess);
    loader.set(LoadTrigger, true);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(TextFiles, TheResolutionBufferIsZeroFilledAndEndsInZero) {
    const fs::path file = temp.file("raw.txt", "raw");
    const std::u16string full = nameOf(file);
    // A host that writes the name without a terminator.
    host.resolveRaw = [&](const char16_t*, int32_t maxChars, char16_t* out) {
        EXPECT_EQ(maxChars, 500);
        std::copy(full.begin(), full.end(), out);
        return ResultSuccess;
    };
    EXPECT_EQ(autoLoad(u"raw"), std::vector<std::u16string>{u"raw"});

    // A host that fills the whole buffer: the name is cut to 499 units.
    host.sent.clear();
    host.resolveRaw = [&](const char16_t*, int32_t maxChars, char16_t* out) {
        std::fill(out, out + maxChars, u'x');
        return ResultSuccess;
    };
    EXPECT_TRUE(autoLoad(u"raw").empty());

    // A host that writes nothing and fails: the empty name loads nothing.
    host.resolveRaw = [](const char16_t*, int32_t, char16_t*) { return ResultFailure; };
    EXPECT_TRUE(autoLoad(nameOf(file)).empty());
}

TEST_F(TextFiles, WideNamesLoadAndSave) {
    const std::u16string names[] = {u"caf\u00E9.txt", u"\u65E5\u672C\u8A9E.txt",
                                    u"\u041F\u0440\u0438\u0432\u0435\u0442 \U0001F600.txt"};
    for (const std::u16string& name : names) {
        const fs::path file = temp.path() / fs::path(name);
        save(nameOf(file), u"wide\n");
        EXPECT_EQ(readBytes(file), "wide\r\n");
        host.sent.clear();
        EXPECT_EQ(autoLoad(nameOf(file)), std::vector<std::u16string>{u"wide\n"});
        host.sent.clear();
    }
}

#ifndef _WIN32
TEST_F(TextFiles, ALoneSurrogateNamesNoFile) {
    // Its nearest UTF-8 spelling would be U+FFFD; that file is not touched.
    const fs::path other = temp.file(fs::path(u"a\uFFFD.txt"), "other");
    const std::u16string name = nameOf(temp.path()) + u"/a\xD800.txt";
    EXPECT_TRUE(autoLoad(name).empty());
    save(name, u"x");
    EXPECT_EQ(readBytes(other), "other");
}
#endif

struct SaveCase {
    std::u16string text;
    std::string bytes;
};

class Saving : public TextFiles, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(Saving, AreOneBytePerCharacterWithLfAsCrLf) {
    const fs::path file = temp.path() / "out.txt";
    save(nameOf(file), GetParam().text);
    EXPECT_EQ(readBytes(file), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, Saving,
                         ::testing::Values(SaveCase{u"a\nb", "a\r\nb"}, SaveCase{u"\r\n", "\r\r\n"},
                                           SaveCase{u"\u00E9\u00FF", "\xE9\xFF"},
                                           SaveCase{std::u16string(u"a\0b", 3),
                                                    std::string("a\0b", 3)},
                                           SaveCase{u"\u001A\n\n", "\x1A\r\n\r\n"}));

TEST_F(TextFiles, TextThatCannotBeWrittenLeavesTheFileUntouched) {
    const fs::path existing = temp.file("existing.txt", "old bytes");
    const fs::path missing = temp.path() / "missing.txt";
    for (const std::u16string text : {u"new \u0100 text", u"emoji \U0001F600", u"\u20AC"}) {
        save(nameOf(existing), text);
        save(nameOf(missing), text);
    }
    EXPECT_EQ(readBytes(existing), "old bytes");
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(TextFiles, AnEmptyTextIsNeverWritten) {
    const fs::path existing = temp.file("existing.txt", "old");
    const fs::path missing = temp.path() / "missing.txt";
    save(nameOf(existing), u"");
    save(nameOf(missing), u"");
    EXPECT_EQ(readBytes(existing), "old");
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(TextFiles, SavingReplacesTheWholeFile) {
    const fs::path file = temp.file("long.txt", "a much longer old text");
    save(nameOf(file), u"short");
    EXPECT_EQ(readBytes(file), "short");
}

TEST_F(TextFiles, AutoSaveWritesOnNameChangesAndOnBeingSwitchedOn) {
    const fs::path file = temp.path() / "auto.txt";
    GuiModule saver = make(u"StringSaver");
    saver.set(SavedText, u"first");
    saver.set(AutoSave, true); // no name yet: nothing
    EXPECT_FALSE(fs::exists(file));
    saver.set(SaveNameA, nameOf(file));
    EXPECT_EQ(readBytes(file), "first");
    saver.set(SavedText, u"second"); // a text change never saves
    EXPECT_EQ(readBytes(file), "first");
    saver.set(AutoSave, true);
    EXPECT_EQ(readBytes(file), "second");
    saver.set(SavedText, u"third");
    saver.set(AutoSave, false);
    saver.set(SaveNameB, nameOf(file)); // auto-save off: the name alone saves nothing
    EXPECT_EQ(readBytes(file), "second");
    saver.set(SaveTrigger, false);
    EXPECT_EQ(readBytes(file), "second");
    saver.set(SaveTrigger, true);
    EXPECT_EQ(readBytes(file), "third");
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(TextFiles, TheSaverUsesItsNameUnresolved) {
    const fs::path file = temp.path() / "direct.txt";
    host.resolveName = [](const std::u16string&) { return std::u16string(u"elsewhere"); };
    save(nameOf(file), u"direct");
    EXPECT_EQ(readBytes(file), "direct");
    EXPECT_TRUE(host.resolvedNames.empty());
}

TEST_F(TextFiles, PlacesThatCannotBeWrittenAreLeftAlone) {
    const fs::path folder = temp.folder("folder");
    save(nameOf(folder), u"text");
    save(nameOf(temp.path() / "no such folder" / "f.txt"), u"text");
    save(nameOf(temp.path() / "f.txt") + u'\0' + u"tail", u"text");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_FALSE(fs::exists(temp.path() / "f.txt"));
}

TEST_F(TextFiles, ASaveThatFailsIsReportedAndChangesNothing) {
    const fs::path existing = temp.file("existing.txt", "old bytes");
    const fs::path readOnly = temp.file("read-only.txt", "read-only bytes");
    fs::permissions(readOnly,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const fs::path folder = temp.folder("folder");
    struct Case {
        const char* what;
        std::u16string name;
        std::u16string text;
        int32_t result;
    };
    const Case cases[] = {
        {"text above U+00FF", nameOf(existing), u"new \u0100", ResultFailure},
        {"read-only file", nameOf(readOnly), u"new", ResultFailure},
        {"folder", nameOf(folder), u"new", ResultFailure},
        {"missing folder", nameOf(temp.path() / "no such folder" / "f.txt"), u"new", ResultFailure},
        {"zero unit", nameOf(existing) + u'\0', u"new", ResultFailure},
#ifndef _WIN32
        // A device on which every write fails as on a full disk.
        {"full device", u"/dev/full", u"new", ResultFailure},
#endif
        // Nothing to save is no failure.
        {"empty text", nameOf(existing), u"", ResultSuccess},
        {"empty name", u"", u"new", ResultSuccess},
    };
    for (const Case& c : cases)
        EXPECT_EQ(save(c.name, c.text), c.result) << c.what;
    EXPECT_EQ(readBytes(existing), "old bytes");
    EXPECT_EQ(readBytes(readOnly), "read-only bytes");
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 3);

    EXPECT_EQ(save(nameOf(existing), u"new"), ResultSuccess);
    EXPECT_EQ(readBytes(existing), "new");
}

TEST_F(TextFiles, WhatTheSaverWritesTheLoaderReadsBack) {
    const fs::path file = temp.path() / "round.txt";
    const std::u16string text = u"line 1\nline 2\r\n\u00E9\u00FF\n";
    save(nameOf(file), text);
    EXPECT_EQ(autoLoad(nameOf(file)), std::vector<std::u16string>{text});
}

TEST_F(TextFiles, LineEndsAreFoundAcrossTheTextsPieces) {
    // The loader makes room for its text 32 KiB of the file at a time: CR LF,
    // a lone CR and CR CR LF at every offset around the end of the first piece
    // and of the first read block, in files of several blocks.
    GuiModule loader = make(u"StringLoader");
    const fs::path file = temp.path() / "pieces.txt";
    loader.set(LoadNameA, nameOf(file));
    const std::string tail(200000, 'z');
    size_t expectedSends = 0;
    for (const size_t lead : {size_t(32730), size_t(65500)}) {
        for (size_t offset = 0; offset < 40; ++offset) {
            const std::string before = std::string(lead, 'a') + std::string(offset, 'x');
            writeBytes(file, before + "\r\n" + "y\r" + "y\r\r\n" + tail + "\r");
            loader.set(LoadTrigger, true);
            ++expectedSends;
            ASSERT_EQ(host.sent.size(), expectedSends) << lead << "+" << offset;
            EXPECT_EQ(host.sent.back().asText(),
                      widenLatin1(before + "\n" + "y\r" + "y\r\n" + tail + "\r"))
                << lead << "+" << offset;
        }
    }
}

#ifndef _WIN32
TEST_F(TextFiles, AFileLongerThanItsReportedSizeIsReadWhole) {
    // The system reports no size for this file, but it has text: the loader
    // reads all of it, its zero bytes included.
    const std::string path = "/proc/self/cmdline";
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(autoLoad(nameOf(path)), std::vector<std::u16string>{widenLatin1(bytes)});
}
#endif

} // namespace
