// A real temporary program folder for the installer's core: the data file,
// "vstfiles" beside it, and a user interface that answers from a script and
// records what the installer showed.
#pragma once

#include "installer/core/Installer.h"
#include "installer/core/Text.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace installertest {

namespace fs = std::filesystem;

using testfiles::nameOf;
using testfiles::readBytes;
using testfiles::TempFolder;
using testfiles::writeBytes;

// The platform's path separator as text, to join names with.
inline const std::u16string separator(1, installer::pathSeparator);

// The names in a folder, sorted; empty when it does not exist.
std::vector<std::string> folderNames(const fs::path& folder);
// Marks a file hidden or system as the platform keeps it; false when the
// file system cannot keep the mark.
bool markHidden(const fs::path& path);
bool markSystem(const fs::path& path);

struct Shown {
    installer::MessageIcon icon;
    std::u16string title;
    std::u16string text;
    std::vector<std::u16string> logThen; // the form's log while the box was open
};

// Answers the installer from queues and records every call, in order.
class ScriptedUi final : public installer::UserInterface {
public:
    void loadForm(installer::Form1& form) override;
    void showForm(installer::Form1& form) override;
    void formChanged(Field field) override;
    void message(installer::MessageIcon icon, const std::u16string& title,
                 const std::u16string& text) override;
    bool askYesNo(const std::u16string& title, const std::u16string& text) override;
    std::u16string browseForFolder(const std::u16string& title) override;
    bool setTopmost(bool topmost) override;

    // What the user does once the form is shown.
    std::function<void(installer::Form1&)> user;
    // Called from inside each message box, as a window's own events could be.
    std::function<void(installer::Form1&)> duringMessage;
    std::deque<bool> yesNoAnswers;
    std::deque<std::u16string> pickedFolders;
    bool topmostWorks = true;

    std::vector<std::string> calls; // "load", "show", "topmost on", "changed Log", ...
    std::vector<Shown> messages;

private:
    installer::Form1* form_ = nullptr;
};

// A program folder with its data file and "vstfiles", and a plug-in folder
// path that does not exist yet.
class InstallerTest : public ::testing::Test {
protected:
    InstallerTest();

    fs::path program() const { return temp.path() / "program"; }
    fs::path vstfiles() const { return program() / "vstfiles"; }
    fs::path dataFile() const { return program() / "QUORVSTINSTALLER.001"; }
    void writeDataFile(const std::string& productId, const fs::path& folder,
                       const std::string& title);
    // Runs the program's start-up on the real file system.
    installer::Outcome run();

    TempFolder temp;
    fs::path plugins;
    ScriptedUi ui;
};

// The build's own file system (Windows or Linux).
installer::FileSystem& realFileSystem();

} // namespace installertest
