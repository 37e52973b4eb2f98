// The terminal stand-in of the dialog, driven through its input on real
// temporary folders.
#include "installer/core/TerminalUi.h"
#include "InstallerFixture.h"

#include <sstream>

namespace installertest {
namespace {

struct Session {
    const char* name;
    std::string input; // here and in shown, "{plugins}" stands for the plug-in folder
    installer::Outcome outcome;
    std::vector<std::string> shown; // parts of the output, in order
    bool installed;
};
void PrintTo(const Session& c, std::ostream* out) {
    *out << c.name;
}

class TerminalUiTest : public InstallerTest, public ::testing::WithParamInterface<Session> {};

TEST_P(TerminalUiTest, RunsTheDialogFromItsInput) {
    writeBytes(vstfiles() / "a.sem", "a");
    writeDataFile("12", temp.path() / "Default", "TAVRI GUI MODULES");
    const auto withFolder = [this](std::string text) {
        for (size_t at; (at = text.find("{plugins}")) != std::string::npos;)
            text.replace(at, 9, installer::toUtf8(nameOf(plugins)));
        return text;
    };
    std::istringstream in(withFolder(GetParam().input));
    std::ostringstream out;
    installer::TerminalUi terminal(in, out);
    EXPECT_EQ(installer::Main(realFileSystem(), terminal, nameOf(program())), GetParam().outcome);

    const std::string shown = out.str();
    size_t from = 0;
    for (const std::string& expected : GetParam().shown) {
        const std::string part = withFolder(expected);
        const size_t at = shown.find(part, from);
        ASSERT_NE(at, std::string::npos) << "missing after " << from << ": " << part << "\n"
                                         << shown;
        from = at + part.size();
    }
    EXPECT_EQ(fs::exists(plugins / "QUORVST12" / "a.sem"), GetParam().installed);
    EXPECT_FALSE(fs::exists(temp.path() / "Default"));
}

const std::string screen =
    "== QUORVANE - Installer ==\nTAVRI GUI MODULES\n\nWelcome to QUORVANE.\n\n"
    "Thank you for installing our product.\n\nPlease indicate your VST files "
    "location and click INSTALL NOW to proceed.\n\nVST files location: ";
const std::string question = "Please confirm: CANCEL INSTALLATION? [y/n]";

INSTANTIATE_TEST_SUITE_P(
    Installer, TerminalUiTest,
    ::testing::Values(
        Session{"TypedFolderInstalled",
                "e\n{plugins}\ni\n\n",
                installer::Outcome::Installed,
                {screen, "Default\n", "VST files location: {plugins}", "[i] INSTALL NOW",
                 "[information] Thank You!: INSTALLATION COMPLETE"},
                true},
        Session{"BrowsedFolderInstalled",
                "b\n\nb\r\n{plugins}\r\ni\r\n\r\n",
                installer::Outcome::Installed,
                {"VST files location: (a folder, or an empty line to cancel)", "location: ",
                 "Default\n", "VST files location: {plugins}", "INSTALLATION COMPLETE"},
                true},
        Session{"CancelNoThenYes",
                "c\nn\nc\ny\n",
                installer::Outcome::Cancelled,
                {question, screen, question},
                false},
        Session{"EndOfInputCancels", "", installer::Outcome::Cancelled, {screen, question}, false},
        Session{"EmptyFolderRefused",
                "x\ne\n\ni\n\n c \nyes\n",
                installer::Outcome::Cancelled,
                {"Please answer i, c, b or e.",
                 "[warning] QUORVANE - Installer: Please indicate your VST files location.",
                 question},
                false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstallerTest, TerminalShowsTheStartUpError) {
    fs::remove(dataFile());
    std::istringstream in("\n");
    std::ostringstream out;
    installer::TerminalUi terminal(in, out);
    EXPECT_EQ(installer::Main(realFileSystem(), terminal, nameOf(program())),
              installer::Outcome::Failed);
    EXPECT_EQ(out.str(),
              "[error] INSTALLER SYSTEM ERROR: Can't access QUORVSTINSTALLER.DAT\n[Enter] OK\n");
}

} // namespace
} // namespace installertest
