// The folder browser's listing when moving through the folder fails part-way.
#include "modules/logic/FolderListing.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Walks given entries like a directory iterator, failing to move on past the
// entry at failAfter.
class FailingIterator {
public:
    FailingIterator() = default;
    FailingIterator(std::vector<fs::directory_entry> entries, size_t failAfter)
        : entries(std::move(entries)), failAfter(failAfter) {}

    const fs::directory_entry& operator*() const { return entries[position]; }
    FailingIterator& increment(std::error_code& error) {
        if (position == failAfter) {
            error = std::make_error_code(std::errc::io_error);
            entries.clear(); // a failed step leaves the end behind, as directory_iterator does
            position = 0;
            return *this;
        }
        if (++position == entries.size()) {
            entries.clear();
            position = 0;
        }
        return *this;
    }
    bool operator==(const FailingIterator& other) const {
        return entries.empty() && other.entries.empty();
    }

private:
    std::vector<fs::directory_entry> entries;
    size_t position = 0;
    size_t failAfter = 0;
};

TEST(FolderListing, AFailurePartWayKeepsWhatWasListedInStep) {
    testfiles::TempFolder temp;
    std::vector<fs::directory_entry> entries;
    for (const char* name : {"a.txt", "b.wav", "c.txt", "d.txt"})
        entries.emplace_back(temp.file(name));
    entries.emplace(entries.begin() + 1, temp.folder("Sub"));
    // a.txt, Sub, b.wav, c.txt, d.txt; the step after c.txt fails.
    FolderListing::Rules rules;
    rules.selectedPath = testfiles::nameOf(temp.path() / "c.txt");
    FolderListing listing(rules);
    listing.addAll(FailingIterator(entries, 3));
    EXPECT_EQ(listing.listText, u"a.txt,Sub/,b.wav,c.txt");
    ASSERT_EQ(listing.entries.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(listing.entries[i].path, entries[i].path().native());
    EXPECT_TRUE(listing.entries[1].folder);
    EXPECT_FALSE(listing.entries[0].folder);
    EXPECT_EQ(listing.selected, 3);

    // A selected path past the failure is not found.
    rules.selectedPath = testfiles::nameOf(temp.path() / "d.txt");
    FolderListing cut(rules);
    cut.addAll(FailingIterator(entries, 0));
    EXPECT_EQ(cut.listText, u"a.txt");
    EXPECT_EQ(cut.entries.size(), 1u);
    EXPECT_EQ(cut.selected, -1);
}

TEST(FolderListing, ExtensionsAreTheStandardOnes) {
    for (const char* name : {"a.txt", "archive.tar.gz", ".hidden", ".", "..", "..a", "a.", "a..",
                             "noext", "...", ".a.b", ""}) {
        const fs::path path(name);
        EXPECT_EQ(fs::path::string_type(extensionOf(path.native())), path.extension().native())
            << name;
    }
}

TEST(FolderListing, EntriesWhoseStatusCannotBeReadAreFiles) {
    testfiles::TempFolder temp;
    std::error_code error;
    fs::create_directory_symlink(temp.path() / "gone", temp.path() / "dangling", error);
    if (error)
        GTEST_SKIP() << "no symbolic links here";
    FolderListing::Rules rules;
    FolderListing listing(rules);
    listing.addAll(fs::directory_iterator(temp.path()));
    EXPECT_EQ(listing.listText, u"dangling");
}

TEST(FolderListing, HidingExtensionsListsManyNamesPromptly) {
    // Names whose listed text holds no ".": a search for the last "." that
    // ran back through the list built so far would make this listing cost
    // the square of its length (minutes) instead of a fraction of a second;
    // "Promptly" in the name gives the case a short ctest timeout as its bound.
    testfiles::TempFolder temp;
    const std::vector<fs::directory_entry> entries = {
        fs::directory_entry(temp.file("alpha")),     fs::directory_entry(temp.file("comma,name")),
        fs::directory_entry(temp.file("sound.wav")), fs::directory_entry(temp.file(".hidden")),
        fs::directory_entry(temp.folder("Sub")),     fs::directory_entry(temp.folder("release.2"))};
    const std::u16string items[] = {u"alpha", u"comma_name", u"sound", u"", u"Sub/", u"release/"};
    constexpr size_t count = 200000;
    FolderListing::Rules rules;
    rules.hideExtensions = true;
    FolderListing listing(rules);
    std::u16string expected;
    for (size_t i = 0; i < count; ++i) {
        listing.add(entries[i % entries.size()]);
        if (i)
            expected += u',';
        expected += items[i % entries.size()];
    }
    EXPECT_EQ(listing.entries.size(), count);
    EXPECT_TRUE(listing.listText == expected);
}

} // namespace
