// Replacing a file with new bytes, whole or in pieces, and StringSaver's saves
// on top of it, with the disk made to fail at each step: the old file must
// survive every failure byte for byte, no new file may be left behind, and the
// failure must be reported.
#include "framework/MpFactory.h"
#include "host/GuiModule.h"
#include "platform/FileSystem.h"
#include "tests/AsciiText.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

using namespace testhost;
using testfiles::readBytes;
using testfiles::writeBytes;
namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char newFilePrefix[] = "~tavri-save-";
#else
constexpr char newFilePrefix[] = ".tavri-save-";
#endif

// Bytes of every value but LF, longer than one write of most systems' buffers.
std::string newBytes() {
    std::string bytes;
    for (size_t i = 0; i < 200'000; ++i)
        bytes += i % 256 == '\n' ? '\r' : char(i % 256);
    return bytes;
}
const std::string oldBytes("old\r\n\0\xFF bytes that must survive", 31);

// The names in a folder, sorted.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Lets the disk fail one step of a replacement, and records what the
// replace step was shown.
class DiskFaults final : public platform::FileFaults {
public:
    std::optional<size_t> spaceLeft; // bytes the disk takes before it is full
    bool flushFails = false;
    bool closeFails = false;
    bool replaceFails = false;
    int32_t replacesThatWork = -1;   // of the replace steps, before they fail; -1: all
    bool oldFileRemovedOnly = false; // the replace step only removes the old file

    fs::path shownNewFile;
    std::string newFileBytesThen;
    fs::path shownTarget;

    size_t writableBytes(size_t size) override {
        if (!spaceLeft)
            return size;
        const size_t taken = std::min(size, *spaceLeft);
        *spaceLeft -= taken;
        return taken;
    }
    bool flushWorks() override { return !flushFails; }
    bool closeWorks() override { return !closeFails; }
    bool replaceWorks(const fs::path& newFile, const fs::path& target) override {
        shownNewFile = newFile;
        newFileBytesThen = readBytes(newFile);
        shownTarget = target;
        if (replacesThatWork == 0)
            return false;
        if (replacesThatWork > 0)
            --replacesThatWork;
        return !replaceFails;
    }
    bool replaceRemovesOnly() override { return oldFileRemovedOnly; }
};

// Installs faults for one test.
class FileReplacement : public ::testing::Test {
protected:
    FileReplacement() { platform::setFileFaults(&faults); }
    ~FileReplacement() override { platform::setFileFaults(nullptr); }

    DiskFaults faults;
    testfiles::TempFolder temp;
};

struct FaultCase {
    const char* name;
    void (*apply)(DiskFaults&);
};

const FaultCase faultCases[] = {
    {"FullBeforeTheFirstByte", [](DiskFaults& f) { f.spaceLeft = 0; }},
    {"FullAfterSomeBytes", [](DiskFaults& f) { f.spaceLeft = 4096 + 17; }},
    {"FullBeforeTheLastByte", [](DiskFaults& f) { f.spaceLeft = newBytes().size() - 1; }},
    {"FlushFails", [](DiskFaults& f) { f.flushFails = true; }},
    {"CloseFails", [](DiskFaults& f) { f.closeFails = true; }},
    {"ReplaceFails", [](DiskFaults& f) { f.replaceFails = true; }},
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

std::string caseName(const ::testing::TestParamInfo<FaultCase>& info) {
    return info.param.name;
}

class FailedReplacement : public FileReplacement,
                          public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FailedReplacement, LeavesTheOldFileAndNoNewOne) {
    GetParam().apply(faults);
    const fs::path existing = temp.file("notes.txt", oldBytes);
    const fs::path neighbour = temp.file("other.txt", "other");
    const fs::path missing = temp.path() / "missing.txt";
    const auto before = namesIn(temp.path());

    EXPECT_FALSE(platform::replaceFileWith(existing, newBytes()));
    GetParam().apply(faults);
    EXPECT_FALSE(platform::replaceFileWith(missing, newBytes()));

    EXPECT_EQ(readBytes(existing), oldBytes);
    EXPECT_EQ(readBytes(neighbour), "other");
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(namesIn(temp.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Disk, FailedReplacement, ::testing::ValuesIn(faultCases), caseName);

// Writes newBytes() in pieces of an odd size; false as soon as a piece is refused.
bool writeInPieces(platform::NewFileBytes& file) {
    const std::string bytes = newBytes();
    for (size_t at = 0; at < bytes.size(); at += 7001)
        if (!file.write(std::string_view(bytes).substr(at, 7001)))
            return false;
    return true;
}

class FailedReplacementInPieces : public FileReplacement,
                                  public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FailedReplacementInPieces, LeavesTheOldFileAndNoNewOne) {
    GetParam().apply(faults);
    const fs::path existing = temp.file("notes.txt", oldBytes);
    const fs::path missing = temp.path() / "missing.txt";
    const auto before = namesIn(temp.path());

    EXPECT_FALSE(platform::replaceFileByWriting(existing, writeInPieces));
    GetParam().apply(faults);
    EXPECT_FALSE(platform::replaceFileByWriting(missing, writeInPieces));

    EXPECT_EQ(readBytes(existing), oldBytes);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(namesIn(temp.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Disk, FailedReplacementInPieces, ::testing::ValuesIn(faultCases),
                         caseName);

TEST_F(FileReplacement, PiecesMakeTheWholeNewFileAndAWriterThatGivesUpKeepsTheOld) {
    const fs::path existing = temp.file("notes.txt", oldBytes);
    const fs::path missing = temp.path() / "new.txt";
    for (const fs::path& target : {existing, missing}) {
        // A source that fails after a piece, as a read can.
        int calls = 0;
        EXPECT_FALSE(platform::replaceFileByWriting(target, [&](platform::NewFileBytes& file) {
            ++calls;
            EXPECT_TRUE(file.write("a piece"));
            return false;
        }));
        EXPECT_EQ(calls, 1);
    }
    EXPECT_EQ(readBytes(existing), oldBytes);
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"notes.txt"});

    for (const fs::path& target : {existing, missing}) {
        ASSERT_TRUE(platform::replaceFileByWriting(target, writeInPieces)) << target;
        EXPECT_EQ(readBytes(target), newBytes());
        EXPECT_EQ(faults.newFileBytesThen, newBytes());
        EXPECT_TRUE(fs::equivalent(faults.shownNewFile.parent_path(), target.parent_path()));
    }
    // No piece at all is an empty file.
    ASSERT_TRUE(
        platform::replaceFileByWriting(existing, [](platform::NewFileBytes&) { return true; }));
    EXPECT_EQ(readBytes(existing), "");
    EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string>{"new.txt", "notes.txt"}));
}

TEST_F(FileReplacement, PutsTheWholeNewFileInTheOldOnesPlace) {
    const fs::path existing = temp.file("notes.txt", oldBytes);
    const fs::path missing = temp.path() / "new.txt";
    for (const fs::path& target : {existing, missing}) {
        ASSERT_TRUE(platform::replaceFileWith(target, newBytes())) << target;
        EXPECT_EQ(readBytes(target), newBytes());
        // The new file was complete, beside the target, and of a name of its own.
        EXPECT_TRUE(fs::equivalent(faults.shownNewFile.parent_path(), target.parent_path()));
        EXPECT_TRUE(fs::equivalent(faults.shownTarget, target));
        EXPECT_EQ(faults.shownNewFile.filename().string().rfind(newFilePrefix, 0), 0u)
            << faults.shownNewFile;
        EXPECT_EQ(faults.newFileBytesThen, newBytes());
    }
    EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string>{"new.txt", "notes.txt"}));

    // A shorter text leaves nothing of the longer one.
    ASSERT_TRUE(platform::replaceFileWith(existing, "short"));
    EXPECT_EQ(readBytes(existing), "short");
    ASSERT_TRUE(platform::replaceFileWith(existing, ""));
    EXPECT_EQ(readBytes(existing), "");
}

TEST_F(FileReplacement, ANameWithoutAFolderIsInTheCurrentFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(temp.path());
    const bool created = platform::replaceFileWith("bare.txt", "one");
    const bool replaced = platform::replaceFileWith("bare.txt", "two");
    fs::current_path(before);
    EXPECT_TRUE(created);
    EXPECT_TRUE(replaced);
    EXPECT_EQ(readBytes(temp.path() / "bare.txt"), "two");
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"bare.txt"});
}

TEST_F(FileReplacement, LeavesPlacesThatAreNotWritableFilesAlone) {
    const fs::path folder = temp.folder("folder");
    temp.file("folder/inside.txt", "inside");
    const fs::path readOnly = temp.file("read-only.txt", oldBytes);
    fs::permissions(readOnly,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const auto before = namesIn(temp.path());

    EXPECT_FALSE(platform::replaceFileWith(folder, "x"));
    EXPECT_FALSE(platform::replaceFileWith(readOnly, "x"));
    EXPECT_FALSE(platform::replaceFileWith(temp.path() / "no such folder" / "f.txt", "x"));

    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"inside.txt"});
    EXPECT_EQ(readBytes(readOnly), oldBytes);
    EXPECT_EQ(namesIn(temp.path()), before);
}

TEST_F(FileReplacement, AFolderThatTakesNoNewFileLeavesTheOldOneAlone) {
    if (!testfiles::permissionFailuresHappen())
        GTEST_SKIP() << "permissions do not stop this process";
    const fs::path folder = temp.folder("locked");
    const fs::path file = temp.file("locked/notes.txt", oldBytes);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(platform::replaceFileWith(file, "x"));
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(readBytes(file), oldBytes);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"notes.txt"});
}

#ifdef _WIN32
TEST_F(FileReplacement, AReplacementThatRemovedTheOldFileOnlyStillEndsWithTheNewOne) {
    // ReplaceFileW fails at its last step: the old file is gone and the new
    // one has its own name. The new file is moved into place.
    faults.oldFileRemovedOnly = true;
    const fs::path file = temp.file("notes.txt", oldBytes);
    EXPECT_TRUE(platform::replaceFileWith(file, newBytes()));
    EXPECT_EQ(readBytes(file), newBytes());
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"notes.txt"});

    // When that move fails too, the new file is the only copy: it is kept,
    // and the failure is reported.
    faults.replacesThatWork = 1;
    EXPECT_FALSE(platform::replaceFileWith(file, "the only copy"));
    EXPECT_FALSE(fs::exists(file));
    const auto names = namesIn(temp.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].rfind(newFilePrefix, 0), 0u) << names[0];
    EXPECT_EQ(readBytes(temp.path() / names[0]), "the only copy");
}

TEST_F(FileReplacement, KeepsTheOldFilesAttributes) {
    const fs::path file = temp.file("notes.txt", oldBytes);
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), kept));
    ASSERT_TRUE(platform::replaceFileWith(file, "new"));
    EXPECT_EQ(GetFileAttributesW(file.c_str()) & (kept | FILE_ATTRIBUTE_READONLY), kept);
    EXPECT_EQ(readBytes(file), "new");
}
#else
TEST_F(FileReplacement, KeepsTheOldFilesPermissions) {
    const fs::path file = temp.file("notes.txt", oldBytes);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(platform::replaceFileWith(file, "new"));
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileReplacement, ALinkStaysAndItsFileIsReplaced) {
    const fs::path real = temp.file("real.txt", oldBytes);
    const fs::path link = temp.path() / "link.txt";
    fs::create_symlink("real.txt", link);
    ASSERT_TRUE(platform::replaceFileWith(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(real), "new");

    // A link to no file is left as it is rather than replaced by a file.
    const fs::path dangling = temp.path() / "dangling.txt";
    fs::create_symlink("nowhere.txt", dangling);
    EXPECT_FALSE(platform::replaceFileWith(dangling, "new"));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(temp.path() / "nowhere.txt"));
    EXPECT_EQ(namesIn(temp.path()),
              (std::vector<std::string>{"dangling.txt", "link.txt", "real.txt"}));
}

TEST_F(FileReplacement, ANamedPipeIsNotReplaced) {
    const fs::path pipe = temp.path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(platform::replaceFileWith(pipe, "x"));
    EXPECT_EQ(fs::status(pipe).type(), fs::file_type::fifo);
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"pipe"});
}
#endif

// ---- StringSaver on top of it ---------------------------------------------

enum SaverPin { SavedText = 0, SaveTrigger = 1, AutoSave = 2, SaveNameA = 3, SaveNameB = 4 };

// The text whose saved bytes are newBytes() (it has no LF, which the saver
// would write as CR LF).
std::u16string newText() {
    return widenLatin1(newBytes());
}

class SaverOnFaultyDisk : public FileReplacement, public ::testing::WithParamInterface<FaultCase> {
protected:
    ~SaverOnFaultyDisk() override {
        std::string report;
        EXPECT_TRUE(host.referencesBalanced(&report)) << report;
    }
    GuiModule make() { return GuiModule(&factoryInstance(), u"StringSaver", host); }

    TestHost host;
};

TEST_P(SaverOnFaultyDisk, ReportsTheFailureAndKeepsTheOldFile) {
    ASSERT_EQ(newBytes().find('\n'), std::string::npos);
    const fs::path existing = temp.file("notes.txt", oldBytes);
    const fs::path missing = temp.path() / "missing.txt";
    GuiModule saver = make();
    ASSERT_EQ(saver.set(SavedText, newText()), ResultSuccess);
    // By the trigger and by a name change with auto-save on.
    GetParam().apply(faults);
    ASSERT_EQ(saver.set(SaveNameA, existing.u16string()), ResultSuccess);
    EXPECT_EQ(saver.set(SaveTrigger, true), ResultFailure);
    GetParam().apply(faults);
    ASSERT_EQ(saver.set(AutoSave, false), ResultSuccess);
    ASSERT_EQ(saver.set(SaveNameB, missing.u16string()), ResultSuccess);
    EXPECT_EQ(saver.set(AutoSave, true), ResultFailure);
    GetParam().apply(faults);
    EXPECT_EQ(saver.set(SaveNameA, existing.u16string()), ResultFailure);

    EXPECT_EQ(readBytes(existing), oldBytes);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"notes.txt"});
    EXPECT_TRUE(host.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(Disk, SaverOnFaultyDisk, ::testing::ValuesIn(faultCases), caseName);

TEST_F(FileReplacement, TheSaverReportsSuccessOnlyForAFileSaved) {
    TestHost host;
    {
        GuiModule saver(&factoryInstance(), u"StringSaver", host);
        const fs::path file = temp.file("notes.txt", oldBytes);
        saver.set(SavedText, newText());
        saver.set(SaveNameA, file.u16string());
        EXPECT_EQ(saver.set(SaveTrigger, true), ResultSuccess);
        EXPECT_EQ(readBytes(file), newBytes());
        EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"notes.txt"});

        // A disk that fills up later fails the next save only.
        faults.spaceLeft = 10;
        saver.set(SavedText, u"a longer text than fits");
        EXPECT_EQ(saver.set(SaveTrigger, true), ResultFailure);
        EXPECT_EQ(readBytes(file), newBytes());
        faults.spaceLeft.reset();
        EXPECT_EQ(saver.set(SaveTrigger, true), ResultSuccess);
        EXPECT_EQ(readBytes(file), "a longer text than fits");
    }
    std::string report;
    EXPECT_TRUE(host.referencesBalanced(&report)) << report;
}

} // namespace
