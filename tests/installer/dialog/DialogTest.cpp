// The real dialog of QUORVSTINSTALLER.exe: each test copies the shipped program
// into a temporary folder, starts it, and drives its windows as a user would,
// from this process. Windows build only (under wine with a display).
#include "installer/core/Text.h"
#include "installer/win32/resource.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testfiles::readBytes;
using testfiles::writeBytes;
using Lines = std::vector<std::u16string>;

const wchar_t* wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
std::u16string fromWide(const wchar_t* text) {
    return reinterpret_cast<const char16_t*>(text);
}

// Polls until the condition holds; false when it has not after a minute,
// which only a hung program takes.
template <class Condition> bool waitUntil(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

fs::path thisProgramFolder() {
    wchar_t path[MAX_PATH * 4];
    GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
    return fs::path(path).parent_path();
}

// The shipping folder that the build lays out beside bin/.
fs::path shipFolder() {
    return thisProgramFolder().parent_path() / "ship";
}

std::u16string textOf(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::u16string text(size_t(length) + 1, u'\0');
    const auto got = SendMessageW(window, WM_GETTEXT, WPARAM(length + 1), LPARAM(text.data()));
    text.resize(size_t(got));
    return text;
}

std::u16string classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, int(std::size(name)));
    return fromWide(name);
}

Lines listItems(HWND list) {
    Lines items;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::u16string item(size_t(SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, u'\0');
        const auto got = SendMessageW(list, LB_GETTEXT, WPARAM(i), LPARAM(item.data()));
        item.resize(size_t(got < 0 ? 0 : got));
        items.push_back(item);
    }
    return items;
}

// The texts of a message box's labels.
Lines labelsOf(HWND box) {
    Lines labels;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (classOf(child) == u"Static" && !textOf(child).empty())
            labels.push_back(textOf(child));
    return labels;
}

void press(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

// Answers a message box as its button with that id would.
void answer(HWND box, int id) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(box, id)));
}

// Without a window manager wine leaves a window's caption and frame undrawn;
// this lets it draw them for the installer, so that the screenshot shows them.
void letWineDrawTheCaption() {
    if (!GetProcAddress(GetModuleHandleW(wide(u"ntdll.dll")), "wine_get_version"))
        return;
    RegSetKeyValueW(HKEY_CURRENT_USER,
                    wide(u"Software\\Wine\\AppDefaults\\QUORVSTINSTALLER.exe\\X11 Driver"),
                    wide(u"Decorated"), REG_SZ, wide(u"N"), 2 * sizeof(char16_t));
}

// One run of the installer from a program folder of its own.
class InstallerRun {
public:
    InstallerRun(const fs::path& program, const fs::path& currentFolder) {
        const fs::path exe = program / "QUORVSTINSTALLER.exe";
        std::u16string commandLine(1, u'"');
        commandLine.append(exe.u16string()).push_back(u'"');
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        started_ =
            CreateProcessW(exe.c_str(), reinterpret_cast<wchar_t*>(commandLine.data()), nullptr,
                           nullptr, FALSE, 0, nullptr, currentFolder.c_str(), &startup, &process_);
        if (started_)
            CloseHandle(process_.hThread);
        else
            error_ = GetLastError();
    }
    ~InstallerRun() {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hProcess);
    }
    InstallerRun(const InstallerRun&) = delete;
    InstallerRun& operator=(const InstallerRun&) = delete;

    bool started() const { return started_; }
    DWORD error() const { return error_; }
    bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // The visible dialog-class windows of the program with that caption.
    std::vector<HWND> windowsTitled(const std::u16string& title) const {
        struct Search {
            DWORD process;
            const std::u16string* title;
            std::vector<HWND> found;
        } search{process_.dwProcessId, &title, {}};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t caption[256] = {};
                GetWindowTextW(window, caption, int(std::size(caption)));
                if (owner == s.process && IsWindowVisible(window) && classOf(window) == u"#32770" &&
                    fromWide(caption) == *s.title)
                    s.found.push_back(window);
                return TRUE;
            },
            LPARAM(&search));
        return search.found;
    }
    // Waits for a window with that caption other than the ones given.
    HWND waitForWindow(const std::u16string& title, const std::vector<HWND>& besides = {}) const {
        HWND found = nullptr;
        waitUntil([&] {
            for (HWND window : windowsTitled(title))
                if (std::find(besides.begin(), besides.end(), window) == besides.end())
                    found = window;
            return found != nullptr || !running();
        });
        return found;
    }
    // The exit code once the program has ended; -1 when it does not end.
    long waitForExit() const {
        if (WaitForSingleObject(process_.hProcess, 60000) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return long(code);
    }

private:
    PROCESS_INFORMATION process_ = {};
    bool started_ = false;
    DWORD error_ = 0;
};

constexpr char16_t formTitle[] = u"QUORVANE - Installer";
constexpr char16_t welcome[] =
    u"Welcome to QUORVANE.\r\n\r\nThank you for installing our product.\r\n\r\n"
    u"Please indicate your VST files location and click INSTALL NOW to proceed.\r\n";

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        letWineDrawTheCaption();
        root = temp.path();
        program = root / "program";
        defaultFolder = root / "Default";
        plugins = root / fs::path(u"Plug-ins \u03A9\u00E9");
        fs::create_directories(program / "vstfiles");
        fs::copy_file(shipFolder() / "QUORVSTINSTALLER.exe", program / "QUORVSTINSTALLER.exe");
        fs::copy_file(shipFolder() / "vstfiles" / "TavriGUIModules_x64.sem",
                      program / "vstfiles" / "TavriGUIModules_x64.sem");
        writeBytes(program / "vstfiles" / "readme.txt", "read me");
        writeBytes(program / "vstfiles" / "hidden.txt", "hidden");
        writeBytes(program / "vstfiles" / "system.txt", "system");
        SetFileAttributesW((program / "vstfiles" / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesW((program / "vstfiles" / "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
        writeBytes(program / "QUORVSTINSTALLER.001",
                   "12\r\n" + installer::toUtf8(defaultFolder.u16string()) +
                       "\r\nTAVRI GUI MODULES\r\n");
    }
    // The installer is stopped before its folder goes.
    void TearDown() override { run.reset(); }

    // Starts the installer (from another current folder) and waits for its form.
    HWND start() {
        run = std::make_unique<InstallerRun>(program, root);
        EXPECT_TRUE(run->started()) << "error " << run->error();
        return run->started() ? run->waitForWindow(formTitle) : nullptr;
    }
    // Sets the folder box as typing would.
    static void typeFolder(HWND form, const std::u16string& text) {
        SendMessageW(GetDlgItem(form, IDC_XVSTDIR), WM_SETTEXT, 0, LPARAM(text.c_str()));
    }
    // Presses "CANCEL" and answers Yes; the program ends with 2.
    void cancel(HWND form) {
        press(GetDlgItem(form, IDC_COMMAND2));
        const HWND question = run->waitForWindow(u"Please confirm:");
        ASSERT_NE(question, nullptr);
        answer(question, IDYES);
        EXPECT_EQ(run->waitForExit(), 2);
    }

    testfiles::TempFolder temp;
    fs::path root;
    fs::path program;       // the installer's own folder
    fs::path defaultFolder; // the data file's plug-in folder
    fs::path plugins;       // the folder the user types
    std::unique_ptr<InstallerRun> run;
};

// The form's places in twips (left, top, width, height), in tab order.
struct Place {
    int id;
    int left, top, width, height;
};
constexpr Place places[] = {
    {IDC_TEXT1, 240, 540, 6135, 1215},    {IDC_LABEL1, 180, 1860, 1335, 315},
    {IDC_COMMAND1, 780, 2520, 2055, 555}, {IDC_COMMAND2, 3780, 2520, 2055, 555},
    {IDC_XPRODID, 7020, 1440, 975, 315},  {IDC_FILE1, 6960, 1920, 1215, 1650},
    {IDC_XVSTDIR, 1500, 1800, 3855, 375}, {IDC_COMMAND3, 5400, 1800, 975, 375},
    {IDC_LIST1, 6840, 3780, 3255, 1620},  {IDC_TITULO, 180, 120, 6195, 315},
};

TEST_F(DialogTest, ShowsForm1AsLaidOut) {
    const HWND form = start();
    ASSERT_NE(form, nullptr);

    const HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto x = [dpiX](int twips) { return MulDiv(twips, dpiX, 1440); };
    const auto y = [dpiY](int twips) { return MulDiv(twips, dpiY, 1440); };

    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, x(6630));
    EXPECT_EQ(client.bottom, y(3360));
    std::vector<int> tabOrder;
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        tabOrder.push_back(GetDlgCtrlID(child));
    std::vector<int> expectedOrder;
    for (const Place& place : places) {
        expectedOrder.push_back(place.id);
        RECT r;
        GetWindowRect(GetDlgItem(form, place.id), &r);
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, x(place.left)) << place.id;
        EXPECT_EQ(r.top, y(place.top)) << place.id;
        EXPECT_EQ(r.right - r.left, x(place.width)) << place.id;
        EXPECT_EQ(r.bottom - r.top, y(place.height)) << place.id;
        // The storage controls lie beyond the client area, out of sight.
        const bool storage =
            place.id == IDC_XPRODID || place.id == IDC_FILE1 || place.id == IDC_LIST1;
        EXPECT_EQ(r.left >= client.right, storage) << place.id;
    }
    EXPECT_EQ(tabOrder, expectedOrder);

    RECT frame;
    GetWindowRect(form, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_TRUE(GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);

    EXPECT_EQ(textOf(GetDlgItem(form, IDC_TITULO)), u"TAVRI GUI MODULES");
    EXPECT_EQ(textOf(GetDlgItem(form, IDC_TEXT1)), welcome);
    EXPECT_EQ(textOf(GetDlgItem(form, IDC_LABEL1)), u"VST files location:");
    EXPECT_EQ(textOf(GetDlgItem(form, IDC_XVSTDIR)), defaultFolder.u16string());
    EXPECT_EQ(textOf(GetDlgItem(form, IDC_COMMAND3)), u"Browse >");
    EXPECT_EQ(textOf(GetDlgItem(form, IDC_COMMAND1)), u"INSTALL NOW");
    EXPECT_EQ(textOf(GetDlgItem(form, IDC_COMMAND2)), u"CANCEL");
    EXPECT_EQ(textOf(GetDlgItem(form, IDC_XPRODID)), u"12");
    EXPECT_EQ(listItems(GetDlgItem(form, IDC_FILE1)),
              (Lines{u"readme.txt", u"TavriGUIModules_x64.sem"}));
    EXPECT_TRUE(listItems(GetDlgItem(form, IDC_LIST1)).empty());

    // The close box asks the question of "CANCEL".
    PostMessageW(form, WM_CLOSE, 0, 0);
    const HWND question = run->waitForWindow(u"Please confirm:");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(labelsOf(question), Lines{u"CANCEL INSTALLATION?"});
    answer(question, IDYES);
    EXPECT_EQ(run->waitForExit(), 2);
}

// Saves a screenshot of the form when the test command asks for one: the
// command names a folder, is told the form's place on the screen there, and
// answers once it has taken the picture.
void screenshot(HWND form) {
    wchar_t folder[MAX_PATH * 4];
    if (!GetEnvironmentVariableW(wide(u"TAVRI_SCREENSHOT_HANDSHAKE"), folder,
                                 DWORD(std::size(folder))))
        return;
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageW(form, WM_NULL, 0, 0);
    RECT r;
    GetWindowRect(form, &r);
    const fs::path handshake(folder);
    {
        std::ofstream place(handshake / "ready.part");
        place << (r.right - r.left) << 'x' << (r.bottom - r.top) << '+' << r.left << '+' << r.top;
    }
    fs::rename(handshake / "ready.part", handshake / "ready");
    EXPECT_TRUE(waitUntil([&] { return fs::exists(handshake / "taken"); }));
}

// The program's icon: one group of a 32 x 32 and a 16 x 16 picture in 16 colours.
TEST_F(DialogTest, CarriesAnIconOfItsOwn) {
    const HMODULE exe = LoadLibraryExW((program / "QUORVSTINSTALLER.exe").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr);
    const HRSRC group = FindResourceW(exe, MAKEINTRESOURCEW(IDI_FORM1), MAKEINTRESOURCEW(14));
    ASSERT_NE(group, nullptr); // RT_GROUP_ICON
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(exe, group)));
    ASSERT_NE(bytes, nullptr);
    const auto word = [bytes](size_t at) { return bytes[at] | bytes[at + 1] << 8; };
    ASSERT_EQ(word(4), 2); // pictures in the group
    for (size_t i = 0, entry = 6; i < 2; ++i, entry += 14) {
        EXPECT_EQ(bytes[entry], i == 0 ? 32 : 16); // width
        EXPECT_EQ(bytes[entry + 1], i == 0 ? 32 : 16);
        EXPECT_EQ(bytes[entry + 2], 16); // colours
        EXPECT_EQ(word(entry + 6), 4);   // bits per pixel
    }
    for (const int size : {32, 16}) {
        const HANDLE icon = LoadImageW(exe, MAKEINTRESOURCEW(IDI_FORM1), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr) << size;
        DestroyIcon(static_cast<HICON>(icon));
    }
    FreeLibrary(exe);
}

TEST_F(DialogTest, InstallsIntoTheTypedFolder) {
    const HWND form = start();
    ASSERT_NE(form, nullptr);
    typeFolder(form, plugins.u16string());
    screenshot(form);
    press(GetDlgItem(form, IDC_COMMAND1));

    const HWND done = run->waitForWindow(u"Thank You!");
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(labelsOf(done), Lines{u"INSTALLATION COMPLETE"});
    EXPECT_EQ(listItems(GetDlgItem(form, IDC_LIST1)),
              (Lines{u"Inicio", u"dir vst", u"dir vst 2", u"Copy readme.txt",
                     u"Copy TavriGUIModules_x64.sem"}));
    answer(done, IDOK);
    EXPECT_EQ(run->waitForExit(), 0);

    const fs::path product = plugins / "QUORVST12";
    std::vector<std::u16string> copied;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(product, error))
        copied.push_back(entry.path().filename().u16string());
    std::sort(copied.begin(), copied.end());
    EXPECT_EQ(copied, (Lines{u"TavriGUIModules_x64.sem", u"readme.txt"}));
    EXPECT_EQ(readBytes(product / "readme.txt"), "read me");
    EXPECT_EQ(readBytes(product / "TavriGUIModules_x64.sem"),
              readBytes(shipFolder() / "vstfiles" / "TavriGUIModules_x64.sem"));
    EXPECT_FALSE(fs::exists(defaultFolder));
}

TEST_F(DialogTest, FailedStepIsReportedAndNeverCompletes) {
    const HWND form = start();
    ASSERT_NE(form, nullptr);
    const fs::path unmakeable = root / "missing" / "Plugins";
    typeFolder(form, unmakeable.u16string());
    press(GetDlgItem(form, IDC_COMMAND1));

    const HWND error = run->waitForWindow(u"INSTALLER SYSTEM ERROR");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(labelsOf(error), Lines{u"Can't make the VST files folder " + unmakeable.u16string()});
    EXPECT_EQ(listItems(GetDlgItem(form, IDC_LIST1)), Lines{u"Inicio"});
    answer(error, IDOK);
    EXPECT_EQ(run->waitForExit(), 1);
    EXPECT_FALSE(fs::exists(root / "missing"));
}

TEST_F(DialogTest, CancelAnsweredNoKeepsTheDialogAndEmptyFolderIsRefused) {
    const HWND form = start();
    ASSERT_NE(form, nullptr);
    press(GetDlgItem(form, IDC_COMMAND2));
    const HWND question = run->waitForWindow(u"Please confirm:");
    ASSERT_NE(question, nullptr);
    answer(question, IDNO);
    ASSERT_TRUE(waitUntil([&] { return run->windowsTitled(u"Please confirm:").empty(); }));
    EXPECT_TRUE(run->running());

    typeFolder(form, u"");
    press(GetDlgItem(form, IDC_COMMAND1));
    const HWND refusal = run->waitForWindow(formTitle, {form});
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(labelsOf(refusal), Lines{u"Please indicate your VST files location."});
    answer(refusal, IDOK);
    ASSERT_TRUE(waitUntil([&] { return run->windowsTitled(formTitle).size() == 1; }));
    EXPECT_TRUE(run->running());
    EXPECT_TRUE(listItems(GetDlgItem(form, IDC_LIST1)).empty());

    cancel(form);
    EXPECT_FALSE(fs::exists(defaultFolder));
}

TEST_F(DialogTest, BrowseCancelledLeavesTheFolderText) {
    const HWND form = start();
    ASSERT_NE(form, nullptr);
    typeFolder(form, u"typed by hand");
    press(GetDlgItem(form, IDC_COMMAND3));
    // The shell's picker: the program's one other dialog, showing the title given.
    HWND picker = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        struct Search {
            DWORD process;
            HWND form;
            HWND found;
        } search{0, form, nullptr};
        GetWindowThreadProcessId(form, &search.process);
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s.process && window != s.form && IsWindowVisible(window) &&
                    classOf(window) == u"#32770")
                    s.found = window;
                return TRUE;
            },
            LPARAM(&search));
        picker = search.found;
        return picker != nullptr;
    }));
    const Lines labels = labelsOf(picker);
    EXPECT_NE(std::find(labels.begin(), labels.end(), u"VST files location:"), labels.end());
    answer(picker, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(picker) || !IsWindowVisible(picker); }));
    EXPECT_EQ(textOf(GetDlgItem(form, IDC_XVSTDIR)), u"typed by hand");
    cancel(form);
}

TEST_F(DialogTest, MissingDataFileStopsBeforeTheDialog) {
    fs::remove(program / "QUORVSTINSTALLER.001");
    run = std::make_unique<InstallerRun>(program, root);
    ASSERT_TRUE(run->started());
    const HWND error = run->waitForWindow(u"INSTALLER SYSTEM ERROR");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(labelsOf(error), Lines{u"Can't access QUORVSTINSTALLER.DAT"});
    EXPECT_TRUE(run->windowsTitled(formTitle).empty());
    answer(error, IDOK);
    EXPECT_EQ(run->waitForExit(), 1);
}

} // namespace
