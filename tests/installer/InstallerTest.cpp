// The installer's core on real temporary folders: start-up, the file list,
// installing, cancelling and the folder picker.
#include "InstallerFixture.h"

using installer::Form1;
using installer::MessageIcon;
using installer::Outcome;

namespace installertest {
namespace {

using Lines = std::vector<std::u16string>;

// ---- Start-up ------------------------------------------------------------

TEST_F(InstallerTest, StartUpLoadsTheFormThenFillsAndShowsIt) {
    Lines seen;
    ui.user = [&](Form1& form) {
        seen = {form.productId(), form.folderText(), form.title(), form.filesPath()};
    };
    EXPECT_EQ(run(), Outcome::Running);
    EXPECT_EQ(seen, (Lines{u"12", nameOf(plugins), u"TAVRI GUI MODULES", nameOf(vstfiles())}));
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"load", "topmost on", "changed ProductId", "changed Folder",
                                        "changed Files", "changed Title", "show"}));
    EXPECT_TRUE(ui.messages.empty());
}

// A data file that a search ignoring hidden and system files does not find.
struct MissingDataFile {
    const char* name;
    std::function<bool(const fs::path&)> prepare; // false: the platform cannot do it
};
void PrintTo(const MissingDataFile& c, std::ostream* out) {
    *out << c.name;
}

class MissingDataFileTest : public InstallerTest,
                            public ::testing::WithParamInterface<MissingDataFile> {};

TEST_P(MissingDataFileTest, StopsBeforeTheDialogWithTheErrorMessage) {
    if (!GetParam().prepare(dataFile()))
        GTEST_SKIP() << "this file system keeps no such attribute";
    EXPECT_EQ(run(), Outcome::Failed);
    EXPECT_EQ(installer::exitCode(Outcome::Failed), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[0].title, u"INSTALLER SYSTEM ERROR");
    EXPECT_EQ(ui.messages[0].text, u"Can't access QUORVSTINSTALLER.DAT");
    EXPECT_EQ(ui.calls, std::vector<std::string>{"message INSTALLER SYSTEM ERROR"});
}

INSTANTIATE_TEST_SUITE_P(
    Installer, MissingDataFileTest,
    ::testing::Values(
        MissingDataFile{"Absent", [](const fs::path& path) { return fs::remove(path); }},
        MissingDataFile{"Hidden", [](const fs::path& path) { return markHidden(path); }},
        MissingDataFile{"System", [](const fs::path& path) { return markSystem(path); }},
        MissingDataFile{
            "Folder",
            [](const fs::path& path) { return fs::remove(path) && fs::create_directory(path); }}),
    [](const auto& info) { return std::string(info.param.name); });

struct DataFileCase {
    const char* name;
    std::string bytes;
    Lines fields; // product id, folder, title; empty: refused at start-up
};
void PrintTo(const DataFileCase& c, std::ostream* out) {
    *out << c.name;
}

class DataFileTest : public InstallerTest, public ::testing::WithParamInterface<DataFileCase> {};

TEST_P(DataFileTest, ReadsThreeLinesOrRefusesToStart) {
    writeBytes(dataFile(), GetParam().bytes);
    Lines seen;
    ui.user = [&](Form1& form) { seen = {form.productId(), form.folderText(), form.title()}; };
    const Outcome outcome = run();
    if (!GetParam().fields.empty()) {
        EXPECT_EQ(outcome, Outcome::Running);
        EXPECT_EQ(seen, GetParam().fields);
        EXPECT_TRUE(ui.messages.empty());
        return;
    }
    EXPECT_EQ(outcome, Outcome::Failed);
    EXPECT_EQ(ui.calls, std::vector<std::string>{"message INSTALLER SYSTEM ERROR"});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[0].text, nameOf(dataFile()) + u" has fewer than three lines");
}

INSTANTIATE_TEST_SUITE_P(
    Installer, DataFileTest,
    ::testing::Values(
        DataFileCase{"CrLf", "7\r\nC:\\VST\r\nTitle\r\n", {u"7", u"C:\\VST", u"Title"}},
        DataFileCase{"Lf", "7\nC:\\VST\nTitle\n", {u"7", u"C:\\VST", u"Title"}},
        DataFileCase{"Cr", "7\rC:\\VST\rTitle\r", {u"7", u"C:\\VST", u"Title"}},
        DataFileCase{"Mixed", "7\rC:\\VST\nTitle\r\n", {u"7", u"C:\\VST", u"Title"}},
        DataFileCase{"NoFinalBreak", "7\r\nC:\\VST\r\nTitle", {u"7", u"C:\\VST", u"Title"}},
        DataFileCase{"FurtherLinesIgnored", "7\r\nD\r\nT\r\nmore\r\n", {u"7", u"D", u"T"}},
        DataFileCase{"EmptyTitleLine", "7\r\nD\r\n\r\n", {u"7", u"D", u""}},
        DataFileCase{"ByteOrderMark",
                     "\xEF\xBB\xBF"
                     "7\r\nD\r\nT\r\n",
                     {u"7", u"D", u"T"}},
        DataFileCase{"Utf8",
                     "7\r\nC:\\M\xC3\xBAsica \xCE\xA9\r\nT\r\n",
                     {u"7", u"C:\\M\u00FAsica \u03A9", u"T"}},
        DataFileCase{
            "AnsiBytesKept", "7\r\nC:\\M\xFAsica\r\nT\r\n", {u"7", u"C:\\M\u00FAsica", u"T"}},
        DataFileCase{"Empty", "", {}}, DataFileCase{"OneLine", "7\r\n", {}},
        DataFileCase{"TwoLines", "7\r\nC:\\VST\r\n", {}},
        DataFileCase{"TwoLinesUnended", "7\r\nC:\\VST", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The product id names a folder inside the chosen plug-in folder; an id that
// could lead out of it stops the program at start-up, before anything is made.
struct ProductIdCase {
    const char* name;
    std::string id;
    bool accepted;
};
void PrintTo(const ProductIdCase& c, std::ostream* out) {
    *out << c.name;
}

class ProductIdTest : public InstallerTest, public ::testing::WithParamInterface<ProductIdCase> {};

TEST_P(ProductIdTest, IsAFolderNameInsideThePluginFolderOrRefused) {
    writeBytes(vstfiles() / "a.sem", "a");
    writeDataFile(GetParam().id, plugins, "Title");
    fs::create_directory(plugins);
    ui.user = [](Form1& form) { form.Command1_Click(); };
    const Outcome outcome = run();
    if (GetParam().accepted) {
        EXPECT_EQ(outcome, Outcome::Installed);
        const std::string product = "QUORVST" + GetParam().id;
        EXPECT_EQ(folderNames(plugins), std::vector<std::string>{product});
        EXPECT_EQ(readBytes(plugins / fs::path(installer::decodeText(product)) / "a.sem"), "a");
        return;
    }
    EXPECT_EQ(outcome, Outcome::Failed);
    EXPECT_EQ(ui.calls, std::vector<std::string>{"message INSTALLER SYSTEM ERROR"});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(
        ui.messages[0].text,
        nameOf(dataFile()) +
            u" has a product id with \"..\", \"/\", \"\\\", \":\" or a control character in it");
    // Nothing was made, here or anywhere above.
    EXPECT_TRUE(folderNames(plugins).empty());
    EXPECT_EQ(folderNames(temp.path()), (std::vector<std::string>{"Plugins", "program"}));
    EXPECT_EQ(folderNames(program()),
              (std::vector<std::string>{"QUORVSTINSTALLER.001", "vstfiles"}));
}

INSTANTIATE_TEST_SUITE_P(
    Installer, ProductIdTest,
    ::testing::Values(
        ProductIdCase{"Digits", "12", true}, ProductIdCase{"Empty", "", true},
        ProductIdCase{"Words", "Pro 2 (x64)", true}, ProductIdCase{"SingleDots", ".v1.2", true},
        ProductIdCase{"Accented", "caf\xC3\xA9", true}, ProductIdCase{"Parent", "..", false},
        ProductIdCase{"UpAndOut", "/../..", false},
        ProductIdCase{"UpAndOutBackslash", "\\..\\..", false},
        ProductIdCase{"DotsInside", "1..2", false}, ProductIdCase{"Slash", "a/b", false},
        ProductIdCase{"Backslash", "a\\b", false}, ProductIdCase{"Root", "/", false},
        ProductIdCase{"Drive", "C:", false}, ProductIdCase{"Stream", "12:data", false},
        ProductIdCase{"Tab", "1\t2", false},
        ProductIdCase{"Zero",
                      std::string("1\0"
                                  "2",
                                  3),
                      false}),
    [](const auto& info) { return std::string(info.param.name); });

// A zero or another control character in any line read from the data file
// stops the program at start-up, before anything is made or copied. With a
// zero, the system would read the folder line only up to it: here that names
// the user's own file, which every copy would then overwrite.
struct ControlCase {
    const char* name;
    int line; // 2 folder, 3 title
    std::string text;
};
void PrintTo(const ControlCase& c, std::ostream* out) {
    *out << c.name;
}

class ControlCharacterTest : public InstallerTest,
                             public ::testing::WithParamInterface<ControlCase> {
protected:
    // "{file}" stands for the user's file, "{temp}" for the folder it is in,
    // "/" for the separator.
    std::string lineText() const {
        std::string text = GetParam().text;
        for (size_t at; (at = text.find("{file}")) != std::string::npos;)
            text.replace(at, 6, installer::toUtf8(nameOf(userFile())));
        for (size_t at; (at = text.find("{temp}")) != std::string::npos;)
            text.replace(at, 6, installer::toUtf8(nameOf(temp.path())));
        std::replace(text.begin(), text.end(), '/', char(installer::pathSeparator));
        return text;
    }
    fs::path userFile() const { return temp.path() / "user.txt"; }
};

TEST_P(ControlCharacterTest, InADataFileLineStopsTheProgramBeforeAnythingIsMade) {
    writeBytes(userFile(), "the user's file");
    writeBytes(vstfiles() / "a.sem", "a");
    writeBytes(vstfiles() / "b.sem", "b");
    const std::string folder =
        GetParam().line == 2 ? lineText() : installer::toUtf8(nameOf(plugins));
    const std::string title = GetParam().line == 3 ? lineText() : "Title";
    writeBytes(dataFile(), "12\r\n" + folder + "\r\n" + title + "\r\n");
    ui.user = [](Form1& form) { form.Command1_Click(); };

    EXPECT_EQ(run(), Outcome::Failed);
    EXPECT_EQ(ui.calls, std::vector<std::string>{"message INSTALLER SYSTEM ERROR"});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[0].text, nameOf(dataFile()) + u" has a control character in line " +
                                       char16_t(u'0' + GetParam().line));
    EXPECT_EQ(readBytes(userFile()), "the user's file");
    EXPECT_EQ(folderNames(temp.path()), (std::vector<std::string>{"program", "user.txt"}));
    EXPECT_EQ(folderNames(program()),
              (std::vector<std::string>{"QUORVSTINSTALLER.001", "vstfiles"}));
}

INSTANTIATE_TEST_SUITE_P(
    Installer, ControlCharacterTest,
    ::testing::Values(ControlCase{"ZeroAfterAFileInTheFolder", 2,
                                  std::string("{file}\0/Plugins", 15)},
                      ControlCase{"ZeroAtTheEndOfTheFolder", 2, std::string("{file}\0", 7)},
                      ControlCase{"TabInTheFolder", 2, "{file}\t/Plugins"},
                      ControlCase{"EscapeInTheFolder", 2, "{temp}/Plug\x1Bins"},
                      ControlCase{"DeleteInTheFolder", 2, "{temp}/Plug\x7Fins"},
                      ControlCase{"ZeroInTheTitle", 3, std::string("Ti\0tle", 6)},
                      ControlCase{"BellInTheTitle", 3, "Title\a"}),
    [](const auto& info) { return std::string(info.param.name); });

// The real file system, except that files cannot be read (as root may read
// any file, a mode of 000 would not do).
class UnreadableFiles final : public installer::FileSystem {
public:
    bool isNormalFile(const std::u16string& path) override {
        return realFileSystem().isNormalFile(path);
    }
    bool exists(const std::u16string& path) override { return realFileSystem().exists(path); }
    bool isFolder(const std::u16string& path) override { return realFileSystem().isFolder(path); }
    bool makeFolder(const std::u16string& path) override {
        return realFileSystem().makeFolder(path);
    }
    bool copyFile(const std::u16string& from, const std::u16string& to) override {
        return realFileSystem().copyFile(from, to);
    }
    std::optional<std::string> readFile(const std::u16string&) override { return std::nullopt; }
    std::optional<std::vector<std::u16string>> listFiles(const std::u16string& folder) override {
        return realFileSystem().listFiles(folder);
    }
};

TEST_F(InstallerTest, UnreadableDataFileIsReportedBeforeTheDialog) {
    UnreadableFiles files;
    EXPECT_EQ(installer::Main(files, ui, nameOf(program())), Outcome::Failed);
    EXPECT_EQ(ui.calls, std::vector<std::string>{"message INSTALLER SYSTEM ERROR"});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[0].text, u"Can't read " + nameOf(dataFile()));
}

TEST_F(InstallerTest, MissingVstfilesIsReportedBeforeTheDialogShows) {
    fs::remove(vstfiles());
    EXPECT_EQ(run(), Outcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages[0].title, u"INSTALLER SYSTEM ERROR");
    EXPECT_EQ(ui.messages[0].text, u"Can't list the folder " + nameOf(vstfiles()));
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "show"), 0);
}

TEST_F(InstallerTest, FileListHasOnlyNormalFilesSortedWithoutRegardToCase) {
    for (const char* name :
         {"b.sem", "A.txt", "c.dat", "a.dat", "B.ini", "hidden.sem", "system.sem"})
        writeBytes(vstfiles() / name, name);
#ifndef _WIN32
    writeBytes(vstfiles() / ".dot", "a name beginning with a dot is hidden here");
#endif
    fs::create_directory(vstfiles() / "folder");
    const bool marked =
        markHidden(vstfiles() / "hidden.sem") && markSystem(vstfiles() / "system.sem");
    Lines files;
    ui.user = [&](Form1& form) { files = form.files(); };
    run();
    Lines expected{u"a.dat", u"A.txt", u"B.ini", u"b.sem", u"c.dat"};
    if (!marked) {
        expected.push_back(u"hidden.sem");
        expected.push_back(u"system.sem");
        std::sort(expected.begin(), expected.end(), installer::lessIgnoringCase);
    }
    EXPECT_EQ(files, expected);
}

// ---- "INSTALL NOW" -------------------------------------------------------

class InstallTest : public InstallerTest {
protected:
    // Starts the program, lets the user type a folder (when given) and press "INSTALL NOW".
    Outcome install(const std::u16string* folder = nullptr) {
        ui.user = [this, folder](Form1& form) {
            if (folder)
                form.editFolderText(*folder);
            form.Command1_Click();
            log = form.log();
        };
        return run();
    }
    fs::path product() const { return plugins / "QUORVST12"; }

    Lines log;
};

TEST_F(InstallTest, MakesBothFoldersAndCopiesEveryListedFile) {
    writeBytes(vstfiles() / "TavriGUIModules_x64.sem", "library");
    writeBytes(vstfiles() / "readme.txt", "text");
    writeBytes(vstfiles() / "hidden.sem", "hidden");
    writeBytes(vstfiles() / "system.sem", "system");
    const bool marked =
        markHidden(vstfiles() / "hidden.sem") && markSystem(vstfiles() / "system.sem");
    fs::create_directory(vstfiles() / "folder");

    EXPECT_EQ(install(), Outcome::Installed);
    EXPECT_EQ(installer::exitCode(Outcome::Installed), 0);

    // The product id follows "QUORVST" without a separator.
    EXPECT_EQ(folderNames(plugins), std::vector<std::string>{"QUORVST12"});
    if (marked) {
        EXPECT_EQ(folderNames(product()),
                  (std::vector<std::string>{"TavriGUIModules_x64.sem", "readme.txt"}));
    }
    EXPECT_EQ(readBytes(product() / "TavriGUIModules_x64.sem"), "library");
    EXPECT_EQ(readBytes(product() / "readme.txt"), "text");
    EXPECT_EQ(readBytes(vstfiles() / "readme.txt"), "text");

    const Lines expectedLog{u"Inicio", u"dir vst", u"dir vst 2", u"Copy readme.txt",
                            u"Copy TavriGUIModules_x64.sem"};
    EXPECT_EQ(log, expectedLog);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.messages[0].title, u"Thank You!");
    EXPECT_EQ(ui.messages[0].text, u"INSTALLATION COMPLETE");
    EXPECT_EQ(ui.messages[0].logThen, expectedLog);
}

TEST_F(InstallTest, EmptyVstfilesStillMakesBothFolders) {
    EXPECT_EQ(install(), Outcome::Installed);
    EXPECT_TRUE(fs::is_directory(product()));
    EXPECT_TRUE(folderNames(product()).empty());
    EXPECT_EQ(log, (Lines{u"Inicio", u"dir vst", u"dir vst 2"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"INSTALLATION COMPLETE");
}

TEST_F(InstallTest, ExistingProductFolderKeepsOtherFilesAndReplacesNamesakes) {
    writeBytes(vstfiles() / "a.sem", "new a");
    fs::create_directories(product());
    writeBytes(product() / "a.sem", "old a, longer than the new one");
    writeBytes(product() / "keep.txt", "kept");

    EXPECT_EQ(install(), Outcome::Installed);
    EXPECT_EQ(readBytes(product() / "a.sem"), "new a");
    EXPECT_EQ(readBytes(product() / "keep.txt"), "kept");
    EXPECT_EQ(log, (Lines{u"Inicio", u"dir vst", u"dir vst 2", u"Copy a.sem"}));
}

TEST_F(InstallTest, FolderNamesOutsideAnyCodePageAreKept) {
    writeBytes(vstfiles() / "a.sem", "a");
    plugins = temp.path() / fs::path(u"Plug-ins \u03A9\u00E9\u4E2D \U0001D11E");
    const std::u16string folder = nameOf(plugins);
    EXPECT_EQ(install(&folder), Outcome::Installed);
    EXPECT_EQ(readBytes(plugins / "QUORVST12" / "a.sem"), "a");
    EXPECT_EQ(folderNames(temp.path()),
              (std::vector<std::string>{"Plug-ins \xCE\xA9\xC3\xA9\xE4\xB8\xAD \xF0\x9D\x84\x9E",
                                        "program"}));
}

TEST_F(InstallTest, EmptyFolderTextIsRefusedAndTheDialogStaysOpen) {
    writeBytes(vstfiles() / "a.sem", "a");
    Outcome afterRefusals = Outcome::Failed;
    ui.user = [&](Form1& form) {
        for (const char16_t* text : {u"", u"  \t"}) {
            form.editFolderText(text);
            form.Command1_Click();
        }
        afterRefusals = form.outcome();
        EXPECT_TRUE(form.log().empty());
        form.editFolderText(nameOf(plugins));
        form.Command1_Click();
    };
    EXPECT_EQ(run(), Outcome::Installed);
    EXPECT_EQ(afterRefusals, Outcome::Running);
    ASSERT_EQ(ui.messages.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ui.messages[i].icon, MessageIcon::Warning);
        EXPECT_EQ(ui.messages[i].title, u"QUORVANE - Installer");
        EXPECT_EQ(ui.messages[i].text, u"Please indicate your VST files location.");
    }
    EXPECT_EQ(ui.messages[2].text, u"INSTALLATION COMPLETE");
    EXPECT_EQ(readBytes(product() / "a.sem"), "a");
}

// A folder typed or picked with a control character in it is refused before
// anything is made, and the dialog stays open for another.
struct ChosenFolderCase {
    const char* name;
    std::u16string text; // "{file}": the user's file; "{temp}": its folder and a separator
    bool picked;         // through "Browse >", else typed
};
void PrintTo(const ChosenFolderCase& c, std::ostream* out) {
    *out << c.name;
}

class ChosenFolderTest : public InstallTest,
                         public ::testing::WithParamInterface<ChosenFolderCase> {};

TEST_P(ChosenFolderTest, WithAControlCharacterIsRefusedBeforeAnythingIsMade) {
    const fs::path userFile = temp.path() / "user.txt";
    writeBytes(userFile, "the user's file");
    writeBytes(vstfiles() / "a.sem", "a");
    std::u16string text = GetParam().text;
    if (const size_t at = text.find(u"{file}"); at != std::u16string::npos)
        text.replace(at, 6, nameOf(userFile));
    if (const size_t at = text.find(u"{temp}"); at != std::u16string::npos)
        text.replace(at, 6, nameOf(temp.path()) + separator);
    if (GetParam().picked)
        ui.pickedFolders = {text};
    Outcome afterRefusal = Outcome::Failed;
    Lines logAfterRefusal{u"not run"};
    ui.user = [&](Form1& form) {
        if (GetParam().picked)
            form.Command3_Click();
        else
            form.editFolderText(text);
        form.Command1_Click();
        afterRefusal = form.outcome();
        logAfterRefusal = form.log();
        EXPECT_EQ(readBytes(userFile), "the user's file");
        EXPECT_EQ(folderNames(temp.path()), (std::vector<std::string>{"program", "user.txt"}));
        form.editFolderText(nameOf(plugins));
        form.Command1_Click();
    };
    EXPECT_EQ(run(), Outcome::Installed);
    EXPECT_EQ(afterRefusal, Outcome::Running);
    EXPECT_TRUE(logAfterRefusal.empty());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(ui.messages[0].title, u"QUORVANE - Installer");
    EXPECT_EQ(ui.messages[0].text,
              u"Please indicate a VST files location without control characters.");
    EXPECT_EQ(ui.messages[1].text, u"INSTALLATION COMPLETE");
    EXPECT_EQ(readBytes(userFile), "the user's file");
    EXPECT_EQ(readBytes(product() / "a.sem"), "a");
}

INSTANTIATE_TEST_SUITE_P(
    Installer, ChosenFolderTest,
    ::testing::Values(
        ChosenFolderCase{"TypedZeroAfterAFile", std::u16string(u"{file}\0Plugins", 14), false},
        ChosenFolderCase{"TypedTab", u"{file}\tPlugins", false},
        ChosenFolderCase{"TypedCarriageReturn", u"{file}\rPlugins", false},
        ChosenFolderCase{"PickedZeroAfterAFile", std::u16string(u"{file}\0", 7), true},
        ChosenFolderCase{"PickedEscape", u"{temp}Plug\x1Bins", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Each failing step ends the program with a message naming the step and the
// path, never with "INSTALLATION COMPLETE".
class FailedInstallTest : public InstallTest {
protected:
    void expectFailure(const std::u16string& text, const Lines& expectedLog) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(ui.messages[0].title, u"INSTALLER SYSTEM ERROR");
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(log, expectedLog);
    }
};

TEST_F(FailedInstallTest, PluginFolderWhoseParentIsMissing) {
    writeBytes(vstfiles() / "a.sem", "a");
    const std::u16string folder = nameOf(temp.path() / "missing" / "Plugins");
    EXPECT_EQ(install(&folder), Outcome::Failed);
    expectFailure(u"Can't make the VST files folder " + folder, {u"Inicio"});
    EXPECT_FALSE(fs::exists(temp.path() / "missing"));
}

// A file where a folder should be is no folder to install into: the step
// fails and the file is left alone, even when there is nothing to copy.
TEST_F(FailedInstallTest, PluginFolderThatIsAFile) {
    writeBytes(plugins, "a file where the folder should be");
    EXPECT_EQ(install(), Outcome::Failed);
    expectFailure(u"Can't make the VST files folder " + nameOf(plugins), {u"Inicio"});
    EXPECT_EQ(readBytes(plugins), "a file where the folder should be");
}

TEST_F(FailedInstallTest, ProductFolderThatIsAFile) {
    fs::create_directory(plugins);
    writeBytes(product(), "a file where the folder should be");
    EXPECT_EQ(install(), Outcome::Failed);
    expectFailure(u"Can't make the product folder " + nameOf(product()), {u"Inicio", u"dir vst"});
    EXPECT_EQ(readBytes(product()), "a file where the folder should be");
}

#ifndef _WIN32
TEST_F(FailedInstallTest, ProductFolderThatIsALinkToNothing) {
    fs::create_directory(plugins);
    fs::create_symlink(temp.path() / "nowhere", product());
    EXPECT_EQ(install(), Outcome::Failed);
    expectFailure(u"Can't make the product folder " + nameOf(product()), {u"Inicio", u"dir vst"});
    EXPECT_FALSE(fs::exists(temp.path() / "nowhere"));
}

TEST_F(InstallTest, FoldersThatAreLinksToFoldersAreUsedAsTheyAre) {
    writeBytes(vstfiles() / "a.sem", "a");
    const fs::path real = temp.folder("real plug-ins");
    fs::create_symlink(real, plugins);
    fs::create_directory(real / "product");
    fs::create_symlink(real / "product", real / "QUORVST12");
    EXPECT_EQ(install(), Outcome::Installed);
    EXPECT_EQ(readBytes(real / "product" / "a.sem"), "a");
    EXPECT_TRUE(fs::is_symlink(real / "QUORVST12"));
}
#endif

TEST_F(FailedInstallTest, FileThatCannotBeCopiedKeepsTheCopiesBefore) {
    for (const char* name : {"a.sem", "b.sem", "c.sem"})
        writeBytes(vstfiles() / name, name);
    ui.user = [this](Form1& form) {
        fs::remove(vstfiles() / "b.sem"); // listed at start-up, gone by now
        form.Command1_Click();
        log = form.log();
    };
    EXPECT_EQ(run(), Outcome::Failed);
    const std::u16string from = nameOf(vstfiles()) + separator + u"b.sem";
    const std::u16string to = nameOf(product()) + separator + u"b.sem";
    expectFailure(u"Can't copy " + from + u" to " + to,
                  {u"Inicio", u"dir vst", u"dir vst 2", u"Copy a.sem"});
    EXPECT_EQ(folderNames(product()), std::vector<std::string>{"a.sem"});
}

TEST_F(InstallTest, HandlersAreIgnoredWhileAMessageBoxIsOpenAndAfterTheEnd) {
    writeBytes(vstfiles() / "a.sem", "a");
    ui.duringMessage = [](Form1& form) {
        form.Command1_Click();
        form.Command2_Click();
        form.Command3_Click();
    };
    EXPECT_EQ(install(), Outcome::Installed);
    EXPECT_EQ(log, (Lines{u"Inicio", u"dir vst", u"dir vst 2", u"Copy a.sem"}));
    EXPECT_EQ(ui.messages.size(), 1u); // no second install, question or picker
    EXPECT_EQ(ui.calls.back(), "message Thank You!");

    ScriptedUi quiet;
    Form1 ended(realFileSystem(), quiet, nameOf(program()));
    ended.fail(u"stop");
    ended.editFolderText(nameOf(plugins));
    ended.Command1_Click();
    ended.Command2_Click();
    ended.Command3_Click();
    EXPECT_TRUE(ended.log().empty());
    EXPECT_EQ(quiet.calls, std::vector<std::string>{"message INSTALLER SYSTEM ERROR"});
}

// ---- "CANCEL" --------------------------------------------------------------

struct CancelCase {
    const char* name;
    std::deque<bool> answers; // one press of "CANCEL" for each
    Outcome outcome;
};
void PrintTo(const CancelCase& c, std::ostream* out) {
    *out << c.name;
}

class CancelTest : public InstallerTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, AsksForConfirmationAndInstallsNothing) {
    ui.yesNoAnswers = GetParam().answers;
    ui.user = [presses = GetParam().answers.size()](Form1& form) {
        for (size_t i = 0; i < presses; ++i)
            form.Command2_Click();
    };
    EXPECT_EQ(run(), GetParam().outcome);
    EXPECT_EQ(
        std::count(ui.calls.begin(), ui.calls.end(), "ask Please confirm: CANCEL INSTALLATION?"),
        long(GetParam().answers.size()));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(fs::exists(plugins));
}

INSTANTIATE_TEST_SUITE_P(Installer, CancelTest,
                         ::testing::Values(CancelCase{"Yes", {true}, Outcome::Cancelled},
                                           CancelCase{"No", {false}, Outcome::Running},
                                           CancelCase{
                                               "NoThenYes", {false, true}, Outcome::Cancelled}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExitCode, NamesHowTheProgramEnded) {
    EXPECT_EQ(installer::exitCode(Outcome::Installed), 0);
    EXPECT_EQ(installer::exitCode(Outcome::Failed), 1);
    EXPECT_EQ(installer::exitCode(Outcome::Cancelled), 2);
}

// ---- "Browse >", KeepOnTop, PickFolder --------------------------------------

TEST_F(InstallerTest, BrowseSetsTheChosenFolderAndACancelLeavesTheText) {
    const std::u16string chosen = nameOf(temp.path() / "Chosen");
    ui.pickedFolders = {u"", chosen};
    Lines texts;
    ui.user = [&](Form1& form) {
        form.editFolderText(u"typed by hand");
        form.Command3_Click();
        texts.push_back(form.folderText());
        form.Command3_Click();
        texts.push_back(form.folderText());
    };
    run();
    EXPECT_EQ(texts, (Lines{u"typed by hand", chosen}));
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "browse VST files location:"), 2);
    // Only the chosen folder changed the box; the cancelled picker left it alone.
    EXPECT_EQ(ui.calls.back(), "changed Folder");
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "changed Folder"), 2);
}

// A user interface whose folder picker fails by throwing.
class ThrowingPicker final : public installer::UserInterface {
public:
    void loadForm(Form1&) override {}
    void showForm(Form1&) override {}
    void formChanged(Field) override {}
    void message(MessageIcon, const std::u16string&, const std::u16string&) override {}
    bool askYesNo(const std::u16string&, const std::u16string&) override { return false; }
    std::u16string browseForFolder(const std::u16string&) override { throw std::bad_alloc(); }
    bool setTopmost(bool) override { return true; }
};

TEST(PickFolder, AnyFailureGivesAnEmptyText) {
    ThrowingPicker ui;
    EXPECT_EQ(installer::PickFolder(ui, u"VST files location:"), u"");
}

struct KeepOnTopCase {
    bool flag;
    bool works;
    int32_t result;
    const char* call;
};

TEST(KeepOnTop, ReturnsTheResultOnlyWhenKeepingOnTop) {
    const KeepOnTopCase cases[] = {
        {true, true, 1, "topmost on"},
        {true, false, 0, "topmost on"},
        {false, true, 0, "topmost off"},
        {false, false, 0, "topmost off"},
    };
    for (const KeepOnTopCase& c : cases) {
        ScriptedUi ui;
        ui.topmostWorks = c.works;
        EXPECT_EQ(installer::KeepOnTop(ui, c.flag), c.result) << c.flag << c.works;
        EXPECT_EQ(ui.calls, std::vector<std::string>{c.call});
    }
}

} // namespace
} // namespace installertest
