#include "InstallerFixture.h"

#ifdef _WIN32
#include "installer/win32/Win32FileSystem.h"
#include <windows.h>
#else
#include "installer/linux/PosixFileSystem.h"
#include <sys/xattr.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

namespace installertest {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
#ifdef _WIN32
    const auto process = unsigned(GetCurrentProcessId());
#else
    const auto process = unsigned(getpid());
#endif
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() / ("tavri-installer-" + std::to_string(process) + "-" +
                                         std::to_string(stamp) + "-" + std::to_string(++counter));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> folderNames(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(narrow(entry.path().filename().u16string()));
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
    calls.push_back("message " + narrow(title));
    messages.push_back({icon, title, text, form_ ? form_->log() : std::vector<std::u16string>{}});
    if (duringMessage && form_)
        duringMessage(*form_);
}

bool ScriptedUi::askYesNo(const std::u16string& title, const std::u16string& text) {
    calls.push_back("ask " + narrow(title) + " " + narrow(text));
    if (yesNoAnswers.empty()) {
        ADD_FAILURE() << "unexpected question";
        return false;
    }
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::u16string ScriptedUi::browseForFolder(const std::u16string& title) {
    calls.push_back("browse " + narrow(title));
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
    writeFile(dataFile(), productId + "\r\n" + narrow(u16(folder)) + "\r\n" + title + "\r\n");
}

installer::Outcome InstallerTest::run() {
    return installer::Main(realFileSystem(), ui, u16(program()));
}

} // namespace installertest
