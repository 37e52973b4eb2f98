// The installer QUORVSTINSTALLER: its form Form1, the start-up procedure and
// the two interfaces through which it reaches files and the user. The same
// core runs behind the Windows dialog and behind the Linux terminal stand-in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace installer {

#ifdef _WIN32
inline constexpr char16_t pathSeparator = u'\\';
#else
inline constexpr char16_t pathSeparator = u'/';
#endif

inline constexpr char16_t dataFileName[] = u"QUORVSTINSTALLER.001";
inline constexpr char16_t sourceFolderName[] = u"vstfiles";
inline constexpr char16_t productFolderPrefix[] = u"QUORVST";
inline constexpr char16_t formCaption[] = u"QUORVANE - Installer";
inline constexpr char16_t folderCaption[] = u"VST files location:";
inline constexpr char16_t welcomeText[] =
    u"Welcome to QUORVANE.\r\n\r\nThank you for installing our product.\r\n\r\n"
    u"Please indicate your VST files location and click INSTALL NOW to proceed.\r\n";
inline constexpr char16_t errorTitle[] = u"INSTALLER SYSTEM ERROR";

// The files and folders the installer touches. Paths are whole paths in the
// platform's form; every operation reports failure rather than throwing. A
// path that holds a zero names nothing: every operation fails for it.
class FileSystem {
public:
    // A file that a search ignoring hidden and system files finds: not a
    // folder, neither hidden nor system.
    virtual bool isNormalFile(const std::u16string& path) = 0;
    // Anything of that name, folder or file, whatever its attributes.
    virtual bool exists(const std::u16string& path) = 0;
    // A folder, or a link to one.
    virtual bool isFolder(const std::u16string& path) = 0;
    // Makes one folder; its parent must exist.
    virtual bool makeFolder(const std::u16string& path) = 0;
    // Copies a file, replacing a file of the target's name without ever losing
    // it: the copy is made as a new file beside the target and takes the
    // target's place only once it is complete. After a failure the target is
    // as it was, and no new file is left.
    virtual bool copyFile(const std::u16string& from, const std::u16string& to) = 0;
    // The whole content of a file; nothing when it cannot be read.
    virtual std::optional<std::string> readFile(const std::u16string& path) = 0;
    // The names of the files of a folder as a file list box shows them: no
    // folders, no hidden or system files, in no particular order. Nothing
    // when the folder cannot be listed.
    virtual std::optional<std::vector<std::u16string>> listFiles(const std::u16string& folder) = 0;

protected:
    ~FileSystem() = default;
};

enum class MessageIcon { Error, Warning, Information };

class Form1;

// The dialog and the message boxes. The form calls back into it; the form's
// state is read from the form itself.
class UserInterface {
public:
    // Creates the form's window, not yet shown (loading the form).
    virtual void loadForm(Form1& form) = 0;
    // Shows the form modally; returns once the form has ended.
    virtual void showForm(Form1& form) = 0;
    // A field of the form changed; the window shows the new value.
    enum class Field { ProductId, Folder, Title, Files, Log };
    virtual void formChanged(Field field) = 0;
    // A message box with an OK button.
    virtual void message(MessageIcon icon, const std::u16string& title,
                         const std::u16string& text) = 0;
    // A message box with Yes and No buttons; true for Yes.
    virtual bool askYesNo(const std::u16string& title, const std::u16string& text) = 0;
    // The shell's folder picker, owned by the form's window; "" when the user
    // cancels or anything fails.
    virtual std::u16string browseForFolder(const std::u16string& title) = 0;
    // Keeps the form's window on top of other windows, or lets it go; true on success.
    virtual bool setTopmost(bool topmost) = 0;

protected:
    ~UserInterface() = default;
};

// How the program ended; see exitCode.
enum class Outcome { Running, Installed, Cancelled, Failed };

// 0 installed (or still running), 1 failed, 2 cancelled by the user.
int exitCode(Outcome outcome);

// Module2: flag true keeps the window on top and returns 1 on success, 0 on
// failure; flag false lets it go and returns 0.
int32_t KeepOnTop(UserInterface& ui, bool flag);
// Module3: the folder the user picked, "" when cancelled or on any failure.
std::u16string PickFolder(UserInterface& ui, const std::u16string& title);

// The dialog's state (its controls by their form names) and its event handlers.
class Form1 {
public:
    Form1(FileSystem& files, UserInterface& ui, std::u16string programFolder);

    const std::u16string& programFolder() const { return programFolder_; }
    const std::u16string& productId() const { return xProdId_; }        // xProdId
    const std::u16string& folderText() const { return xvstdir_; }       // xvstdir
    const std::u16string& title() const { return TITULO_; }             // TITULO
    const std::u16string& filesPath() const { return File1Path_; }      // File1's path
    const std::vector<std::u16string>& files() const { return File1_; } // File1's entries
    const std::vector<std::u16string>& log() const { return List1_; }   // List1
    Outcome outcome() const { return outcome_; }
    bool ended() const { return outcome_ != Outcome::Running; }

    // The user edited the folder box; the window already shows the text.
    void editFolderText(std::u16string text) { xvstdir_ = std::move(text); }

    // Filled in by the start-up procedure.
    void setProductId(std::u16string text);
    void setFolderText(std::u16string text);
    void setTitle(std::u16string text);
    // Points File1 at a folder and lists it, sorted without regard to case;
    // false when the folder cannot be listed.
    bool setFilesPath(std::u16string folder);
    // Ends the program after a failure the form did not report itself.
    void fail(const std::u16string& text);

    void Form_Load();
    void Command1_Click(); // "INSTALL NOW"
    void Command2_Click(); // "CANCEL"
    void Command3_Click(); // "Browse >"

private:
    class Handling;
    void addLog(std::u16string line);
    bool haveFolder(const std::u16string& path);

    FileSystem& fs_;
    UserInterface& ui_;
    std::u16string programFolder_;
    std::u16string xProdId_;
    std::u16string xvstdir_;
    std::u16string TITULO_;
    std::u16string File1Path_;
    std::vector<std::u16string> File1_;
    std::vector<std::u16string> List1_;
    Outcome outcome_ = Outcome::Running;
    bool handling_ = false;
};

// Module1, the program's entry: reads the data file beside the program, fills
// and shows the form, and returns how the program ended.
Outcome Main(FileSystem& files, UserInterface& ui, const std::u16string& programFolder);

} // namespace installer
