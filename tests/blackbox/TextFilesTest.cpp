// StringLoader and StringSaver on real files, through the export.
#include "LibraryFixture.h"
#include "tests/AsciiText.h"
#include "tests/TempFolder.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <psapi.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

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
    // The loader makes room for its text 8 KiB of the file at a time: CR LF,
    // a lone CR and CR CR LF at every offset around the end of the fourth
    // piece and of the first read block, in files of several blocks.
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

// The most memory this process has held at once so far, in bytes.
size_t peakMemoryBytes() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)
               ? counters.PeakWorkingSetSize
               : 0;
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return size_t(usage.ru_maxrss) * 1024;
#endif
}

constexpr size_t mebibyte = size_t(1) << 20;

// Names of things that are not files on disk: pipes, devices, sockets. A
// loader that opened one could wait for ever (a pipe with no writer, or one
// whose writer never writes) or read without end (a device that never runs
// dry). The cases that could wait have "Promptly" in their names, which gives
// them a short ctest timeout as their bound.
class SpecialFiles : public TextFiles {
protected:
    struct Special {
        std::string what;
        std::u16string name;
    };

    // With the pin holding a file's text, each name is loaded by a name
    // change with auto-load on and by the trigger: none sends anything, as a
    // file that cannot be opened does not, and none makes the process hold
    // more memory; a regular file loads afterwards as before.
    void expectRefused(const std::vector<Special>& specials) {
        const fs::path kept = temp.file("kept.txt", "kept");
        GuiModule loader = make(u"StringLoader");
        loader.set(AutoLoad, true);
        loader.set(LoadNameA, nameOf(kept));
        ASSERT_EQ(loadedTexts(), std::vector<std::u16string>{u"kept"});
        const size_t peak = peakMemoryBytes();
        for (const Special& special : specials) {
            loader.set(LoadNameA, special.name);
            loader.set(LoadTrigger, true);
            EXPECT_EQ(host.sent.size(), 1u) << special.what;
        }
        EXPECT_LT(peakMemoryBytes(), peak + 64 * mebibyte);
        writeBytes(kept, "after");
        loader.set(LoadNameA, nameOf(kept));
        EXPECT_EQ(loadedTexts(), (std::vector<std::u16string>{u"kept", u"after"}));
    }
};

#ifndef _WIN32
// A descriptor closed at the end of the test.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0)
            close(fd);
    }
    const int fd;
};

TEST_F(SpecialFiles, PipesDevicesAndSocketsAreRefusedPromptly) {
    // A FIFO that no one writes to; one that holds bytes, with a writer that
    // stays; a link to the first.
    const fs::path idle = temp.path() / "idle fifo";
    const fs::path full = temp.path() / "full fifo";
    ASSERT_EQ(mkfifo(idle.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(full.c_str(), 0600), 0);
    const Descriptor writer(open(full.c_str(), O_RDWR | O_NONBLOCK));
    ASSERT_GE(writer.fd, 0);
    ASSERT_EQ(write(writer.fd, "data", 4), 4);
    fs::create_symlink(idle, temp.path() / "link to fifo");
    // An unnamed pipe reached by the name of its read end, its write end open.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const Descriptor readEnd(ends[0]), writeEnd(ends[1]);
    // A socket listening at a name.
    const Descriptor socket(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketName = (temp.path() / "socket").string();
    ASSERT_LT(socketName.size(), sizeof address.sun_path);
    socketName.copy(address.sun_path, socketName.size());
    ASSERT_EQ(bind(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(socket.fd, 1), 0);

    std::vector<Special> specials = {
        {"fifo without a writer", nameOf(idle)},
        {"fifo with bytes and a writer", nameOf(full)},
        {"link to a fifo", nameOf(temp.path() / "link to fifo")},
        {"unnamed pipe", nameOf("/proc/self/fd/" + std::to_string(readEnd.fd))},
        {"socket", nameOf(socketName)},
        // Devices that never run dry, and one that is always empty.
        {"/dev/zero", u"/dev/zero"},
        {"/dev/urandom", u"/dev/urandom"},
        {"/dev/null", u"/dev/null"},
        {"/dev/full", u"/dev/full"},
    };
    // Where they are here: the kernel log, whose reader waits for the next
    // message, and a block device.
    if (fs::is_character_file("/dev/kmsg"))
        specials.push_back({"/dev/kmsg", u"/dev/kmsg"});
    for (const char* disk : {"/dev/loop0", "/dev/vda", "/dev/sda", "/dev/nvme0n1"})
        if (fs::is_block_file(disk)) {
            specials.push_back({disk, nameOf(disk)});
            break;
        }
    expectRefused(specials);
}

TEST_F(SpecialFiles, AFileWithNoSizeThatNeverEndsIsReadOnlyToTheLimit) {
    // The page map reports no size and runs on for far more than the
    // loader's 1 GiB: the loader holds at most about that much while it
    // reads, then refuses the file.
    const char* const pageMap = "/proc/self/pagemap";
    {
        // It is read in whole entries of 8 bytes only.
        const Descriptor probe(open(pageMap, O_RDONLY));
        char entry[8];
        if (probe.fd < 0 || read(probe.fd, entry, sizeof entry) != 8)
            GTEST_SKIP() << "no page map to read here";
    }
    ASSERT_EQ(fs::file_size(pageMap), 0u);
    const fs::path kept = temp.file("kept.txt", "kept");
    GuiModule loader = make(u"StringLoader");
    loader.set(AutoLoad, true);
    loader.set(LoadNameA, nameOf(kept));
    const size_t peak = peakMemoryBytes();
    loader.set(LoadNameA, nameOf(pageMap));
    EXPECT_EQ(loadedTexts(), std::vector<std::u16string>{u"kept"});
    EXPECT_LT(peakMemoryBytes(), peak + 1024 * mebibyte + 128 * mebibyte);
}
#else
// A pipe server that never writes and never closes: a client that connects
// and reads would wait for ever.
class SilentPipe {
public:
    explicit SilentPipe(const std::u16string& name)
        : handle(CreateNamedPipeW(reinterpret_cast<const wchar_t*>(name.c_str()),
                                  PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                  PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr)) {}
    SilentPipe(const SilentPipe&) = delete;
    SilentPipe& operator=(const SilentPipe&) = delete;
    ~SilentPipe() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    const HANDLE handle;
};

TEST_F(SpecialFiles, DeviceNamesAndPipesAreRefusedPromptly) {
    const std::u16string pipeName = u"tavri-test-" + nameOf(temp.path().filename());
    const SilentPipe pipe(u"\\\\.\\pipe\\" + pipeName);
    ASSERT_NE(pipe.handle, INVALID_HANDLE_VALUE);
    const std::u16string folder = nameOf(temp.path()) + u"\\";
    std::vector<Special> specials = {
        {"pipe", u"\\\\.\\pipe\\" + pipeName},
        {"pipe, literal", u"\\\\?\\pipe\\" + pipeName},
        {"pipe, slashes", u"//./pipe/" + pipeName},
        {"pipe, object name", u"\\??\\pipe\\" + pipeName},
        {"pipe, rewritten", u"\\\\.\\C:\\..\\pipe\\" + pipeName},
        {"NUL", u"NUL"},
        {"CON", u"CON"},
        {"COM1", u"COM1"},
        {"LPT1", u"lpt1"},
        {"AUX", u"AUX"},
        {"PRN", u"PRN"},
        {"CONIN$", u"CONIN$"},
        {"CONOUT$", u"conout$"},
        {"NUL with an extension", u"nul.txt"},
        {"COM1 with a colon", u"COM1:"},
        {"CON in a folder", folder + u"CON"},
        {"NUL in a folder, extension and spaces", folder + u"Nul .txt"},
        {"COM with a small digit", folder + u"COM\u00B9"},
        {"NUL on a drive", u"C:NUL"},
        {"device namespace NUL", u"\\\\.\\NUL"},
        {"device namespace CON", u"\\\\.\\CON"},
        {"object name NUL", u"\\??\\NUL"},
        {"root of the devices", u"\\\\?\\GLOBALROOT\\Device\\Null"},
        {"volume", u"\\\\.\\C:"},
        {"volume, literal", u"\\\\?\\C:"},
        {"disk", u"\\\\.\\PhysicalDrive0"},
    };
    // Under wine, drive Z: holds the host system's own devices, which the
    // name alone does not show to be devices: the opened handle does.
    std::error_code error;
    if (fs::is_directory("Z:\\dev", error))
        for (const char* device : {"Z:\\dev\\zero", "Z:\\dev\\urandom", "Z:\\dev\\null"})
            specials.push_back({device, nameOf(device)});
    expectRefused(specials);
}

TEST_F(TextFiles, NamesThatOnlyResembleDevicesAndLiteralPathsLoad) {
    GuiModule loader = make(u"StringLoader");
    loader.set(AutoLoad, true);
    const char* const names[] = {"icon.txt", "console",   "COM10.txt",     "lpt.txt",
                                 "nullable", "CONIN.txt", "AUXILIARY.wav", "prn2"};
    size_t sends = 0;
    for (const char* name : names) {
        const fs::path file = temp.file(name, name);
        loader.set(LoadNameA, nameOf(file));
        ASSERT_EQ(host.sent.size(), ++sends) << name;
        EXPECT_EQ(host.sent.back().asText(), widenLatin1(name));
    }
    // A file's full path in the literal form: on its drive, and in a folder
    // named like a pipe.
    const fs::path literal = temp.file("literal.txt", "literal");
    loader.set(LoadNameA, u"\\\\?\\" + nameOf(fs::absolute(literal)));
    ASSERT_EQ(host.sent.size(), ++sends);
    EXPECT_EQ(host.sent.back().asText(), u"literal");
    const fs::path inPipeFolder = temp.folder("pipe") / "in pipe folder.txt";
    writeBytes(inPipeFolder, "in pipe folder");
    loader.set(LoadNameA, nameOf(inPipeFolder));
    ASSERT_EQ(host.sent.size(), ++sends);
    EXPECT_EQ(host.sent.back().asText(), u"in pipe folder");
}
#endif

// The text of bytes read as the loader reads them: each byte the unit of its
// value, CR LF as LF, one byte at a time. (Plain loops on pointers: these
// run over tens of megabytes in the unoptimised build.)
std::u16string modelText(const std::string& bytes) {
    std::u16string text(bytes.size(), u'\0');
    const char* const from = bytes.data();
    const size_t size = bytes.size();
    char16_t* const out = text.data();
    size_t used = 0;
    for (size_t i = 0; i < size; ++i)
        if (!(from[i] == '\r' && i + 1 < size && from[i + 1] == '\n'))
            out[used++] = char16_t(static_cast<unsigned char>(from[i]));
    text.resize(used);
    return text;
}

// Bytes of every value, with CR, LF, CR LF and CR CR LF often and in every
// position, CR LF across each of the loader's 64 KiB reading blocks, and a CR
// last.
std::string textBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    char* const out = bytes.data();
    uint32_t state = seed;
    for (size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const uint32_t pick = state >> 24;
        out[i] = pick < 24 ? '\r' : pick < 48 ? '\n' : char(state);
    }
    for (size_t at = 65535; at + 1 < size; at += 65536) {
        out[at] = '\r';
        out[at + 1] = '\n';
    }
    out[size - 1] = '\r';
    return bytes;
}

// Whether the bytes sent are exactly the text's units.
bool sentExactly(const SentValue& sent, const std::u16string& text) {
    return sent.bytes.size() == 2 * text.size() &&
           std::memcmp(sent.bytes.data(), text.data(), sent.bytes.size()) == 0;
}

TEST_F(TextFiles, TextsOfEverySizeAreExactlyTheFilesText) {
    // 0.1, 1, 10 and 64 MB, then small again: files of each size (the second
    // differs from the first in its first byte; the third is the first cut
    // short), loaded in turn, and again with nothing changed; each load that
    // changes the text sends exactly the text of its file. (The largest is
    // loaded twice only, to keep the unoptimised build quick.)
    GuiModule loader = make(u"StringLoader");
    const fs::path files[3] = {temp.path() / "a.txt", temp.path() / "b.txt", temp.path() / "c.txt"};
    uint32_t seed = 1;
    for (const size_t size :
         {size_t(100000), size_t(1000000), size_t(10000000), size_t(64000000), size_t(100000)}) {
        SCOPED_TRACE(size);
        const bool largest = size == 64000000;
        std::string bytes = textBytes(size, seed++);
        bytes[0] = 'a';
        writeBytes(files[0], bytes);
        std::u16string texts[3] = {modelText(bytes)};
        bytes[0] = 'b';
        writeBytes(files[1], bytes);
        texts[1] = texts[0];
        texts[1][0] = u'b';
        if (!largest) {
            bytes.resize(size - 1001);
            writeBytes(files[2], bytes);
            texts[2] = modelText(bytes);
        }
        for (const int turn : largest ? std::vector<int>{0, 1} : std::vector<int>{0, 1, 0, 2, 1}) {
            loader.set(LoadNameA, nameOf(files[turn]));
            loader.set(LoadTrigger, true);
            ASSERT_EQ(host.sent.size(), 1u);
            EXPECT_EQ(host.sent[0].pinId, LoadedText);
            EXPECT_TRUE(sentExactly(host.sent[0], texts[turn])) << "file " << turn;
            host.sent.clear();
        }
        if (!largest) {
            loader.set(LoadTrigger, true);
            EXPECT_TRUE(host.sent.empty());
        }
    }
}

#ifndef _WIN32
TEST_F(TextFiles, AFileWithNoSizeIsReadWholeHoweverLong) {
    // The kernel's symbol table reports no size and has megabytes of text:
    // the loader reads it in blocks of its own, and gives the same text as
    // the file's bytes read here.
    const char* const symbols = "/proc/kallsyms";
    std::ifstream in(symbols, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 3 * mebibyte)
        GTEST_SKIP() << "no long system file without a size here";
    ASSERT_EQ(fs::file_size(symbols), 0u);
    const auto texts = autoLoad(nameOf(symbols));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0] == modelText(bytes));
}
#endif

} // namespace
