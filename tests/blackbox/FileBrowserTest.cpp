// FileBrowser on real folders, through the export. Folders list in the order
// the file system gives, so the tests compare lists as sets of items, or
// find an item's position in the list that was sent.
#include "LibraryFixture.h"
#include "host/MessageLoop.h"
#include "tests/TempFolder.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace testhost;
using testfiles::nameOf;
namespace fs = std::filesystem;

namespace {

enum Pin {
    Folder = 0,
    Extension = 1,
    HideExtensions = 2,
    Refresh = 3,
    Up = 4,
    Index = 5,
    List = 6,
    SelectedFile = 7
};

std::vector<std::u16string> splitList(const std::u16string& list) {
    std::vector<std::u16string> items;
    if (list.empty())
        return items;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(u',', start);
        items.push_back(list.substr(start, comma - start));
        if (comma == std::u16string::npos)
            return items;
        start = comma + 1;
    }
}

using Items = std::multiset<std::u16string>;

class FileBrowserTest : public blackbox::LibraryTest {
protected:
    // The sends on one pin, in order.
    std::vector<SentValue> sendsOn(int32_t pin) const {
        std::vector<SentValue> found;
        for (const SentValue& value : host.sent)
            if (value.pinId == pin)
                found.push_back(value);
        return found;
    }
    std::u16string lastText(int32_t pin) const {
        const auto found = sendsOn(pin);
        EXPECT_FALSE(found.empty()) << "nothing sent on pin " << pin;
        return found.empty() ? u"" : found.back().asText();
    }
    std::u16string lastList() const { return lastText(List); }
    Items listedItems() const {
        const auto items = splitList(lastList());
        return Items(items.begin(), items.end());
    }
    // The position of an item in the last list sent; -1 when it is not there.
    int32_t positionOf(const std::u16string& item) const { return positionOf(item, lastList()); }
    static int32_t positionOf(const std::u16string& item, const std::u16string& list) {
        const auto items = splitList(list);
        const auto it = std::find(items.begin(), items.end(), item);
        return it == items.end() ? -1 : int32_t(it - items.begin());
    }
    GuiModule browse(const fs::path& folder) {
        GuiModule browser = make(u"FileBrowser");
        browser.set(Folder, nameOf(folder));
        return browser;
    }

    testfiles::TempFolder temp;
};

TEST_F(FileBrowserTest, ListsFilesAndFoldersFilteredAndShortened) {
    temp.file("a.txt");
    temp.file("b.wav");
    temp.folder("Sub");
    temp.folder("Kit.wav");
    struct Case {
        std::u16string extension;
        bool hide;
        Items items;
    };
    const Case cases[] = {
        {u"", false, {u"a.txt", u"b.wav", u"Sub/", u"Kit.wav/"}},
        {u"wav", false, {u"b.wav", u"Sub/", u"Kit.wav/"}},
        {u"wav", true, {u"b", u"Sub/", u"Kit/"}},
        {u"", true, {u"a", u"b", u"Sub/", u"Kit/"}},
        {u"WAV", false, {u"Sub/", u"Kit.wav/"}},                      // exact letter case
        {u".wav", false, {u"Sub/", u"Kit.wav/"}},                     // the dot is added
        {std::u16string(u"txt\0", 4), false, {u"Sub/", u"Kit.wav/"}}, // names no file
    };
    GuiModule browser = make(u"FileBrowser");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        browser.set(Extension, c.extension);
        browser.set(HideExtensions, c.hide);
        browser.set(Folder, nameOf(temp.path()));
        EXPECT_EQ(listedItems(), c.items);
        const std::u16string list = lastList();
        EXPECT_NE(list.front(), u',');
        EXPECT_NE(list.back(), u',');
    }
}

TEST_F(FileBrowserTest, AnExtensionChangeWaitsForTheNextListing) {
    temp.file("a.txt");
    temp.file("b.wav");
    GuiModule browser = browse(temp.path());
    const size_t sends = host.sent.size();
    browser.set(Extension, u"wav");
    browser.set(HideExtensions, true);
    EXPECT_EQ(host.sent.size(), sends);
    browser.set(Refresh, false);
    EXPECT_EQ(host.sent.size(), sends);
    browser.set(Refresh, true);
    EXPECT_EQ(lastList(), u"b");
}

TEST_F(FileBrowserTest, SkippedEntriesLeaveOneCommaBetweenListedOnes) {
    for (const char* name : {"x.wav", "y.txt", "z.txt", "w.wav", "v.txt"})
        temp.file(name);
    GuiModule browser = make(u"FileBrowser");
    browser.set(Extension, u"wav");
    browser.set(Folder, nameOf(temp.path()));
    const std::u16string list = lastList();
    EXPECT_TRUE(list == u"x.wav,w.wav" || list == u"w.wav,x.wav") << list.size();
    browser.set(Extension, u"mid");
    browser.set(Refresh, true);
    EXPECT_EQ(lastList(), u"");
}

TEST_F(FileBrowserTest, ItemTextsAreCleanedButPositionsSelectTheRealNames) {
    temp.file("a,b.wav");
    temp.file("archive.tar.gz");
    temp.file(".hidden");
    temp.folder("release.2");
    GuiModule browser = make(u"FileBrowser");
    browser.set(HideExtensions, true);
    browser.set(Folder, nameOf(temp.path()));
    EXPECT_EQ(listedItems(), (Items{u"a_b", u"archive.tar", u"", u"release/"}));
    browser.set(HideExtensions, false);
    browser.set(Refresh, true);
    EXPECT_EQ(listedItems(), (Items{u"a_b.wav", u"archive.tar.gz", u".hidden", u"release.2/"}));
    browser.set(Index, positionOf(u"a_b.wav"));
    EXPECT_EQ(lastText(SelectedFile), nameOf(temp.path() / "a,b.wav"));
}

TEST_F(FileBrowserTest, AnIndexOutsideTheListDoesNothing) {
    temp.file("only.txt");
    GuiModule browser = make(u"FileBrowser");
    for (const int32_t index : {0, -1, 5}) // nothing listed yet
        browser.set(Index, index);
    EXPECT_TRUE(host.sent.empty());
    browser.set(Folder, nameOf(temp.path()));
    host.sent.clear();
    for (const int32_t index : {1, -1, -7, INT32_MAX, INT32_MIN})
        browser.set(Index, index);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(FileBrowserTest, TheIndexOfAFileSelectsItAndChangesNothingElse) {
    temp.file("one.txt");
    temp.file("two.txt");
    GuiModule browser = browse(temp.path());
    const int32_t position = positionOf(u"two.txt");
    host.sent.clear();
    browser.set(Index, position);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].pinId, SelectedFile);
    EXPECT_EQ(host.sent[0].asText(), nameOf(temp.path() / "two.txt"));
}

TEST_F(FileBrowserTest, TheIndexOfASubFolderListsItAndKeepsTheNumber) {
    temp.file("top.txt");
    const fs::path sub = temp.folder("Sub");
    temp.file("Sub/inner.txt");
    GuiModule browser = browse(temp.path());
    const int32_t position = positionOf(u"Sub/");
    host.sent.clear();
    browser.set(Index, position);
    EXPECT_EQ(lastText(Folder), nameOf(sub));
    EXPECT_EQ(lastList(), u"inner.txt");
    EXPECT_TRUE(sendsOn(Index).empty()) << "the chosen number stays";

    // Unless the selected file is listed in the sub-folder: then its position.
    temp.folder("Sub/Deeper");
    temp.file("Sub/Deeper/a.txt");
    temp.file("Sub/Deeper/b.txt");
    const std::u16string wanted = nameOf(sub / "Deeper" / "b.txt");
    browser.receive(SelectedFile, bytesOf(wanted));
    browser.set(Refresh, true);
    const int32_t deeper = positionOf(u"Deeper/");
    host.sent.clear();
    browser.set(Index, deeper);
    ASSERT_EQ(sendsOn(Index).size(), 1u);
    EXPECT_EQ(sendsOn(Index)[0].asInt(), positionOf(u"b.txt"));
}

TEST_F(FileBrowserTest, AFileNamedAsTheFolderIsSelectedInItsFolder) {
    temp.file("pick.wav");
    temp.file("other.txt");
    GuiModule browser = make(u"FileBrowser");
    browser.receive(Index, bytesOf(int32_t(9)));
    const fs::path file = temp.path() / "pick.wav";
    browser.set(Folder, nameOf(file));
    const std::vector<int32_t> order = [&] {
        std::vector<int32_t> pins;
        for (const SentValue& value : host.sent)
            pins.push_back(value.pinId);
        return pins;
    }();
    EXPECT_EQ(order, (std::vector<int32_t>{SelectedFile, Folder, Index, Index, List}));
    EXPECT_EQ(host.sent[0].asText(), nameOf(file));
    EXPECT_EQ(host.sent[1].asText(), nameOf(temp.path()));
    EXPECT_EQ(host.sent[2].asInt(), -1);
    EXPECT_EQ(host.sent[3].asInt(), positionOf(u"pick.wav"));

    // A file the filter does not list: the index ends at -1.
    host.sent.clear();
    browser.set(Extension, u"txt");
    browser.set(Folder, nameOf(file));
    EXPECT_EQ(sendsOn(Index).back().asInt(), -1);
    EXPECT_EQ(lastList(), u"other.txt");
}

#ifdef _WIN32
TEST_F(FileBrowserTest, WindowsPathsAreMatchedWithBackslashesOnly) {
    temp.file("take.wav");
    std::u16string folder = nameOf(temp.path());
    ASSERT_EQ(folder.find(u'/'), std::u16string::npos) << "a Windows temporary folder";
    ASSERT_EQ(folder.substr(1, 2), u":\\");
    GuiModule browser = make(u"FileBrowser");
    browser.set(Folder, folder + u"\\take.wav");
    EXPECT_EQ(sendsOn(Index).back().asInt(), 0);
    // Named with "/": the listing joins with a backslash and does not find it.
    browser.set(Folder, folder + u"/take.wav");
    EXPECT_EQ(lastText(SelectedFile), folder + u"/take.wav");
    EXPECT_EQ(sendsOn(Index).back().asInt(), -1);
    // Pin 7: the exact path matches; "/" or another letter case does not.
    host.sent.clear();
    browser.set(SelectedFile, folder + u"/take.wav");
    browser.set(SelectedFile, folder + u"\\TAKE.WAV");
    EXPECT_TRUE(sendsOn(Index).empty());
    browser.set(SelectedFile, folder + u"\\take.wav");
    ASSERT_EQ(sendsOn(Index).size(), 1u);
    EXPECT_EQ(sendsOn(Index)[0].asInt(), 0);
}
#endif

TEST_F(FileBrowserTest, ReportingAListedPathSelectsItsPosition) {
    temp.file("A.txt");
    temp.file("b.txt");
    GuiModule browser = browse(temp.path());
    const int32_t position = positionOf(u"b.txt");
    host.sent.clear();
    browser.set(SelectedFile, nameOf(temp.path() / "b.txt"));
    ASSERT_EQ(sendsOn(Index).size(), 1u);
    EXPECT_EQ(sendsOn(Index)[0].asInt(), position);
    host.sent.clear();
    browser.set(SelectedFile, nameOf(temp.path() / "b.txt")); // already that position
    browser.set(SelectedFile, nameOf(temp.path() / "a.txt")); // other letter case
    browser.set(SelectedFile, nameOf(temp.path() / "missing.txt"));
    browser.set(SelectedFile, u"");
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(FileBrowserTest, NamesAreFoundUnderTheDefaultFolder) {
    temp.folder("Sub");
    temp.file("Sub/in.txt");
    host.defaultFolder = nameOf(temp.path());
    GuiModule browser = make(u"FileBrowser");
    browser.set(Folder, u"Sub");
    EXPECT_EQ(lastList(), u"in.txt");
    browser.set(Folder, u"");
    EXPECT_EQ(lastList(), u"Sub/");
    // A name that exists nowhere: the empty list, the index left alone.
    host.sent.clear();
    browser.set(Folder, u"nowhere at all");
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].pinId, List);
    EXPECT_EQ(host.sent[0].asText(), u"");
    // Up from there: the parent of the joined name, the default folder.
    browser.set(Up, true);
    EXPECT_EQ(lastText(Folder), nameOf(temp.path()));
    EXPECT_EQ(lastList(), u"Sub/");
    EXPECT_EQ(host.resolvedNames, std::vector<std::u16string>(host.resolvedNames.size(), u""));
}

TEST_F(FileBrowserTest, WithoutALegacyHostThereIsNoDefaultFolder) {
    temp.file("x.txt");
    host.offer(HostInterface::Legacy, false);
    GuiModule browser = browse(temp.path());
    EXPECT_EQ(lastList(), u"x.txt");
    browser.set(Folder, u"");
    EXPECT_EQ(lastList(), u"");
    EXPECT_TRUE(host.resolvedNames.empty());
}

TEST_F(FileBrowserTest, AnUnattachedBrowserAsksNothingOfAnyHost) {
    temp.file("x.txt");
    GuiModule browser = make(u"FileBrowser", false);
    browser.set(Folder, u"");
    browser.set(Folder, nameOf(temp.path()));
    browser.set(Index, 0);
    browser.set(Up, true);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_TRUE(host.resolvedNames.empty());
}

TEST_F(FileBrowserTest, TheDefaultFolderBufferIsZeroFilledAndEndsInZero) {
    temp.file("x.txt");
    const std::u16string folder = nameOf(temp.path());
    host.resolveRaw = [&](const char16_t* name, int32_t maxChars, char16_t* out) {
        EXPECT_EQ(std::u16string(name), u"");
        EXPECT_EQ(maxChars, 500);
        std::copy(folder.begin(), folder.end(), out); // no terminator
        return ResultSuccess;
    };
    GuiModule browser = make(u"FileBrowser");
    browser.set(Folder, u"");
    EXPECT_EQ(lastList(), u"x.txt");
    host.resolveRaw = [](const char16_t*, int32_t maxChars, char16_t* out) {
        std::fill(out, out + maxChars, u'y');
        return ResultSuccess;
    };
    browser.set(Folder, u"");
    EXPECT_EQ(lastList(), u"");
}

TEST_F(FileBrowserTest, UpListsTheParentAndStaysAtTheRoot) {
    const fs::path sub = temp.folder("Sub");
    GuiModule browser = browse(sub);
    EXPECT_TRUE(sendsOn(List).empty()) << "an empty folder: the list stays empty";
    browser.receive(Index, bytesOf(int32_t(3)));
    browser.set(Up, false);
    EXPECT_TRUE(sendsOn(Folder).empty());
    browser.set(Up, true);
    EXPECT_EQ(lastText(Folder), nameOf(temp.path()));
    EXPECT_EQ(sendsOn(Index).back().asInt(), -1);
    EXPECT_EQ(lastList(), u"Sub/");

    // A folder named with a separator at its end loses only the separator.
    host.sent.clear();
    browser.set(Folder, nameOf(sub) + std::u16string(1, char16_t(fs::path::preferred_separator)));
    browser.set(Up, true);
    EXPECT_EQ(lastText(Folder), nameOf(sub));

    const fs::path root = temp.path().root_path();
    browser.set(Folder, nameOf(root));
    const std::u16string rootList = lastList();
    EXPECT_FALSE(rootList.empty());
    host.sent.clear();
    browser.set(Up, true);
    EXPECT_TRUE(sendsOn(Folder).empty()) << "the root stays the root";
    EXPECT_TRUE(sendsOn(List).empty()) << "and lists the same again";
}

TEST_F(FileBrowserTest, RefreshListsWhatIsThereNow) {
    temp.file("first.txt");
    GuiModule browser = browse(temp.path());
    temp.file("second.txt");
    browser.set(Refresh, true);
    EXPECT_EQ(listedItems(), (Items{u"first.txt", u"second.txt"}));
}

TEST_F(FileBrowserTest, SomethingThatIsNotAFolderListsAsEmpty) {
    const fs::path sub = temp.folder("Sub");
    temp.file("Sub/in.txt");
    GuiModule browser = browse(temp.path());
    const int32_t position = positionOf(u"Sub/");
    // The sub-folder turns into a file after the listing.
    fs::remove_all(sub);
    testfiles::writeBytes(sub, "now a file");
    host.sent.clear();
    browser.set(Index, position);
    EXPECT_EQ(lastText(Folder), nameOf(sub));
    EXPECT_EQ(lastList(), u"");
    host.sent.clear();
    browser.set(Index, 0);
    EXPECT_TRUE(host.sent.empty()) << "nothing is listed to choose";
    // The listed folder itself turns into a file.
    const fs::path other = temp.folder("Other");
    temp.file("Other/x.txt");
    browser.set(Folder, nameOf(other));
    EXPECT_EQ(lastList(), u"x.txt");
    fs::remove_all(other);
    testfiles::writeBytes(other, "file");
    browser.set(Refresh, true);
    EXPECT_EQ(lastList(), u"");
}

TEST_F(FileBrowserTest, FoldersThatCannotBeReadListAsEmpty) {
    if (!testfiles::permissionFailuresHappen())
        GTEST_SKIP() << "permissions do not stop this process";
    const fs::path locked = temp.folder("Locked");
    temp.folder("Locked/Inner");
    temp.file("Locked/Inner/x.txt");
    GuiModule browser = browse(locked / "Inner");
    EXPECT_EQ(lastList(), u"x.txt");
    // No search permission: the status of Inner cannot be read, so nothing is there.
    fs::permissions(locked, fs::perms::owner_read);
    host.sent.clear();
    browser.set(Folder, nameOf(locked / "Inner"));
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(lastList(), u"");
    // No read permission: the folder is there but lists nothing.
    fs::permissions(locked, fs::perms::owner_exec);
    browser.set(Folder, nameOf(locked / "Inner"));
    EXPECT_EQ(lastList(), u"x.txt");
    browser.set(Folder, nameOf(locked));
    EXPECT_EQ(lastList(), u"");
}

TEST_F(FileBrowserTest, WideNamesListAndNavigate) {
    temp.folder(fs::path(u"\u041F\u0430\u043F\u043A\u0430"));
    temp.file(fs::path(u"\u041F\u0430\u043F\u043A\u0430") / fs::path(u"\u65E5\u672C\u8A9E.wav"));
    temp.file(fs::path(u"\U0001F600 caf\u00E9.txt"));
    GuiModule browser = browse(temp.path());
    EXPECT_EQ(listedItems(),
              (Items{u"\u041F\u0430\u043F\u043A\u0430/", u"\U0001F600 caf\u00E9.txt"}));
    browser.set(Index, positionOf(u"\u041F\u0430\u043F\u043A\u0430/"));
    EXPECT_EQ(lastList(), u"\u65E5\u672C\u8A9E.wav");
    browser.set(Index, 0);
    const fs::path file = temp.path() / fs::path(u"\u041F\u0430\u043F\u043A\u0430") /
                          fs::path(u"\u65E5\u672C\u8A9E.wav");
    EXPECT_EQ(lastText(SelectedFile), nameOf(file));
    browser.set(Folder, nameOf(file));
    EXPECT_EQ(sendsOn(Index).back().asInt(), 0);
}

#ifndef _WIN32
TEST_F(FileBrowserTest, NamesThatAreNotTextShowReplacementsAndStillNavigate) {
    const fs::path odd = temp.folder(fs::path(std::string("odd\xFF")));
    temp.file(fs::path(std::string("odd\xFF/bad\xFE.txt")), "x");
    GuiModule browser = browse(temp.path());
    EXPECT_EQ(lastList(), u"odd\uFFFD/");
    browser.set(Index, 0);
    EXPECT_EQ(lastText(Folder), nameOf(temp.path()) + u"/odd\uFFFD");
    EXPECT_EQ(lastList(), u"bad\uFFFD.txt");
    browser.set(Index, 0);
    const std::u16string shown = nameOf(temp.path()) + u"/odd\uFFFD/bad\uFFFD.txt";
    EXPECT_EQ(lastText(SelectedFile), shown);
    // The shown path selects the same position again.
    browser.receive(Index, bytesOf(int32_t(-1)));
    host.sent.clear();
    browser.set(SelectedFile, shown);
    ASSERT_EQ(sendsOn(Index).size(), 1u);
    EXPECT_EQ(sendsOn(Index)[0].asInt(), 0);
}
#endif

TEST_F(FileBrowserTest, TheIndexIsNeverResetByTicks) {
    temp.file("a.txt");
    GuiModule browser = browse(temp.path());
    browser.set(Index, 0);
    host.sent.clear();
    pumpMessagesFor(100);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(FileBrowserTest, AListingMadeFromInsideASendKeepsListAndEntriesTogether) {
    const fs::path a = temp.folder("A"), b = temp.folder("B");
    temp.file("A/pick.txt");
    temp.file("B/b1.txt");
    GuiModule browser = make(u"FileBrowser");
    browser.receive(SelectedFile, bytesOf(nameOf(a / "pick.txt")));
    bool nested = false;
    // When the listing of A reports the selected file's position, the host
    // moves the browser to B.
    host.onAccept = [&](const SentValue& value) {
        if (value.pinId == Index && value.asInt() == 0 && !nested) {
            nested = true;
            browser.set(Folder, nameOf(b));
        }
    };
    browser.set(Folder, nameOf(a));
    ASSERT_TRUE(nested);
    EXPECT_EQ(lastList(), u"b1.txt");
    host.onAccept = nullptr;
    browser.receive(Index, bytesOf(int32_t(-1)));
    browser.set(Index, 0);
    EXPECT_EQ(lastText(SelectedFile), nameOf(b / "b1.txt"));
}

TEST_F(FileBrowserTest, AFolderSetFromInsideTheHandlingOfAnotherStands) {
    const fs::path a = temp.folder("A"), b = temp.folder("B");
    temp.file("A/a1.txt");
    temp.file("B/b1.txt");
    host.defaultFolder = nameOf(temp.path());
    struct Case {
        const char* what;
        std::u16string folder;  // set by the host first
        bool fromTheResolution; // else from inside the send of the selected file
    };
    const Case cases[] = {
        {"the default folder, resolved by the host", u"", true},
        {"a name under the default folder", u"A", true},
        {"a file, whose folder is listed", nameOf(a / "a1.txt"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.sent.clear();
        GuiModule browser = make(u"FileBrowser");
        bool nested = false;
        const auto moveToB = [&] {
            if (!std::exchange(nested, true))
                browser.set(Folder, nameOf(b));
        };
        if (c.fromTheResolution) {
            host.onCall = [&](HostCall call) {
                if (call == HostCall::ResolveFileName)
                    moveToB();
            };
        } else {
            host.onAccept = [&](const SentValue& value) {
                if (value.pinId == SelectedFile)
                    moveToB();
            };
        }
        browser.set(Folder, c.folder);
        host.onCall = nullptr;
        host.onAccept = nullptr;
        ASSERT_TRUE(nested);
        // B is listed, and its positions select its entries.
        EXPECT_EQ(lastList(), u"b1.txt");
        browser.set(Index, 0);
        EXPECT_EQ(lastText(SelectedFile), nameOf(b / "b1.txt"));
    }
}

} // namespace
