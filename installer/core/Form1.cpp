// Form1's event handlers and the two procedures they call (Module2's
// KeepOnTop, Module3's PickFolder).
#include "Installer.h"
#include "Text.h"
#include "platform/BoundaryGuard.h"
#include "platform/ScopedValue.h"

#include <algorithm>
#include <optional>

namespace installer {

int exitCode(Outcome outcome) {
    switch (outcome) {
    case Outcome::Failed:
        return 1;
    case Outcome::Cancelled:
        return 2;
    default:
        return 0;
    }
}

int32_t KeepOnTop(UserInterface& ui, bool flag) {
    if (flag)
        return ui.setTopmost(true) ? 1 : 0;
    ui.setTopmost(false);
    return 0;
}

std::u16string PickFolder(UserInterface& ui, const std::u16string& title) {
    return guardedCall(std::u16string(), [&] { return ui.browseForFolder(title); });
}

Form1::Form1(FileSystem& files, UserInterface& ui, std::u16string programFolder)
    : fs_(files), ui_(ui), programFolder_(std::move(programFolder)) {}

void Form1::setProductId(std::u16string text) {
    xProdId_ = std::move(text);
    ui_.formChanged(UserInterface::Field::ProductId);
}

void Form1::setFolderText(std::u16string text) {
    xvstdir_ = std::move(text);
    ui_.formChanged(UserInterface::Field::Folder);
}

void Form1::setTitle(std::u16string text) {
    TITULO_ = std::move(text);
    ui_.formChanged(UserInterface::Field::Title);
}

bool Form1::setFilesPath(std::u16string folder) {
    File1Path_ = std::move(folder);
    auto names = fs_.listFiles(File1Path_);
    File1_.clear();
    if (names) {
        File1_ = *std::move(names);
        std::sort(File1_.begin(), File1_.end(), lessIgnoringCase);
    }
    ui_.formChanged(UserInterface::Field::Files);
    return names.has_value();
}

void Form1::fail(const std::u16string& text) {
    ui_.message(MessageIcon::Error, errorTitle, text);
    outcome_ = Outcome::Failed;
}

void Form1::addLog(std::u16string line) {
    List1_.push_back(std::move(line));
    ui_.formChanged(UserInterface::Field::Log);
}

// Makes a folder of steps 2 and 3 unless it is there already. Anything else
// of that name, a file above all, fails the step: the copies would go over it.
bool Form1::haveFolder(const std::u16string& path) {
    if (fs_.isFolder(path))
        return true;
    return !fs_.exists(path) && fs_.makeFolder(path + pathSeparator);
}

void Form1::Form_Load() {
    KeepOnTop(ui_, true);
}

// A handler does nothing once the program has ended, nor while another one
// waits for the user (a message box or the folder picker is open).
class Form1::Handling {
public:
    explicit Handling(Form1& form) {
        if (!form.ended() && !form.handling_)
            flag_.emplace(form.handling_);
    }
    explicit operator bool() const { return flag_.has_value(); }

private:
    std::optional<ClearingFlagScope> flag_; // raises form.handling_ while it lives
};

void Form1::Command1_Click() {
    const Handling handling(*this);
    if (!handling)
        return;
    // An empty folder text would make the folders at the root of the current drive.
    if (isBlank(xvstdir_)) {
        ui_.message(MessageIcon::Warning, formCaption, u"Please indicate your VST files location.");
        return;
    }
    // Typed or picked, the folder is checked whole before it becomes a path.
    if (hasControlCharacter(xvstdir_)) {
        ui_.message(MessageIcon::Warning, formCaption,
                    u"Please indicate a VST files location without control characters.");
        return;
    }
    addLog(u"Inicio");
    if (!haveFolder(xvstdir_))
        return fail(u"Can't make the VST files folder " + xvstdir_);
    addLog(u"dir vst");
    const std::u16string target = xvstdir_ + pathSeparator + productFolderPrefix + xProdId_;
    if (!haveFolder(target))
        return fail(u"Can't make the product folder " + target);
    addLog(u"dir vst 2");
    for (const std::u16string& name : File1_) {
        const std::u16string from = File1Path_ + pathSeparator + name;
        const std::u16string to = target + pathSeparator + name;
        if (!fs_.copyFile(from, to))
            return fail(u"Can't copy " + from + u" to " + to);
        addLog(u"Copy " + name);
    }
    ui_.message(MessageIcon::Information, u"Thank You!", u"INSTALLATION COMPLETE");
    outcome_ = Outcome::Installed;
}

void Form1::Command2_Click() {
    const Handling handling(*this);
    if (!handling)
        return;
    if (ui_.askYesNo(u"Please confirm:", u"CANCEL INSTALLATION?"))
        outcome_ = Outcome::Cancelled;
}

void Form1::Command3_Click() {
    const Handling handling(*this);
    if (!handling)
        return;
    std::u16string folder = PickFolder(ui_, folderCaption);
    if (!folder.empty())
        setFolderText(std::move(folder));
}

} // namespace installer
