#include "InstallerFixture.h"

#ifdef _WIN32
#include "installer/win32/Win32FileSystem.h"
#include <windows.h>
#else
#include "installer/linux/PosixFileSystem.h"
#include <sys/xattr.h>
#endif

#include <algorithm>

namespace installertest {

std::vector<std::string> folderNames(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(installer::toUtf8(entry.path().filename().u16string()));
    std::sort(names.begin(), names.end());
    return names;
}

#ifdef _WIN32
static bool addAttribute(const fs::path& path, DWORD attribute) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           SetFileAttributesW(path.c_str(), attributes | attribute);
}
bool markHidden(const fs::path& path) {
    return addAttribute(path, FILE_ATTRIBUTE_HIDDEN);
}
bool markSystem(const fs::path& path) {
    return addAttribute(path, FILE_ATTRIBUTE_SYSTEM);
}
#else
// The DOS attributes as wine and Samba keep them.
static bool setDosAttributes(const fs::path& path, const char* value) {
    return setxattr(path.c_str(), "user.DOSATTRIB", value, std::char_traits<char>::length(value),
                    0) == 0;
}
bool markHidden(const fs::path& path) {
    return setDosAttributes(path, "0x22");
}
bool markSystem(const fs::path& path) {
    return setDosAttributes(path, "0x4");
}
#endif

installer::FileSystem& realFileSystem() {
#ifdef _WIN32
    static installer::Win32FileSystem files;
#else
    static installer::PosixFileSystem files;
#endif
    return files;
}

void ScriptedUi::loadForm(installer::Form1& form) {
    form_ = &form;
    calls.push_back("load");
}

void ScriptedUi::showForm(installer::Form1& form) {
    calls.push_back("show");
    if (user)
        user(form);
}

void ScriptedUi::formChanged(Field field) {
    static const char* const names[] = {"ProductId", "Folder", "Title", "Files", "Log"};
    calls.push_back(std::string("changed ") + names[int(field)]);
}

void ScriptedUi::message(installer::MessageIcon icon, const std::u16string& title,
                         const std::u16string& text) {
    calls.push_back("message " + installer::toUtf8(title));
    messages.push_back({icon, title, text, form_ ? form_->log() : std::vector<std::u16string>{}});
    if (duringMessage && form_)
        duringMessage(*form_);
}

bool ScriptedUi::askYesNo(const std::u16string& title, const std::u16string& text) {
    calls.push_back("ask " + installer::toUtf8(title) + " " + installer::toUtf8(text));
    if (yesNoAnswers.empty()) {
        ADD_FAILURE() << "unexpected question";
        return false;
    }
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::u16string ScriptedUi::browseForFolder(const std::u16string& title) {
    calls.push_back("browse " + installer::toUtf8(title));
    if (pickedFolders.empty()) {
        ADD_FAILURE() << "unexpected folder picker";
        return {};
    }
    std::u16string folder = pickedFolders.front();
    pickedFolders.pop_front();
    return folder;
}

bool ScriptedUi::setTopmost(bool topmost) {
    calls.push_back(topmost ? "topmost on" : "topmost off");
    return topmostWorks;
}

InstallerTest::InstallerTest() : plugins(temp.path() / "Plugins") {
    fs::create_directories(vstfiles());
    writeDataFile("12", plugins, "TAVRI GUI MODULES");
}

void InstallerTest::writeDataFile(const std::string& productId, const fs::path& folder,
                                  const std::string& title) {
    writeBytes(dataFile(),
               productId + "\r\n" + installer::toUtf8(nameOf(folder)) + "\r\n" + title + "\r\n");
}

installer::Outcome InstallerTest::run() {
    return installer::Main(realFileSystem(), ui, nameOf(program()));
}

} // namespace installertest
